// Top-level windows of the launcher itself. Win32: real windows of registered classes.
// Headless (Linux): in-memory windows whose state tests read back.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/windows_list.h"

namespace orlo::platform {

enum class FormBorder { Single, None, Dialog };

struct FormSpec {
    std::string class_name;  // registered as is; start-up searches for the splash class by name
    std::string caption;
    int client_width = 0;
    int client_height = 0;
    FormBorder border = FormBorder::Single;
    bool minimize_box = true;
    bool centred = true;
    bool on_taskbar = false;  // the application's main window owns the taskbar entry
};

struct FormEvents {
    std::function<void()> on_close;  // the user closed the window
};

class Form {
  public:
    virtual ~Form() = default;
    virtual WindowHandle Handle() const = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
    virtual void Minimize() = 0;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
};

// Never null; the window is created hidden.
std::unique_ptr<Form> CreateForm(const FormSpec& spec, FormEvents events);

}  // namespace orlo::platform
