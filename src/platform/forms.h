// Top-level windows of the launcher itself. Win32: real windows of registered classes.
// Headless (Linux): in-memory windows whose state tests read back.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codec/bytes.h"
#include "platform/windows_list.h"

namespace orlo::platform {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Left and top are screen coordinates for a form (its outer rectangle) and client coordinates
// of the owning form for a widget.
struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Bounds&) const = default;
};

struct FontSpec {
    std::string face = "Tahoma";
    int height = -11;  // as a form font's Height: negative = character height in pixels, positive = cell height
    Rgb color;
    bool bold = false, italic = false, underline = false, strike_out = false;
    bool operator==(const FontSpec&) const = default;
};

enum class FormBorder { Single, None, Dialog, Tool };

// What the window does beyond an ordinary one.
enum class FormRole {
    Plain,
    // The skinned window: its bare client area does not take hits (clicks there reach no window
    // of ours unless the colour key lets them through to the one below).
    Skinned,
    // The backdrop under the skinned window: never erases, is never activated by a click,
    // ignores z-order change requests and shows without activation.
    Backdrop,
};

enum class ModalResult { None, Ok, Cancel };

struct FormSpec {
    std::string class_name;  // registered as is; start-up searches for the splash class by name
    std::string caption;
    int client_width = 0;
    int client_height = 0;
    FormBorder border = FormBorder::Single;
    bool minimize_box = true;
    bool centred = true;
    bool on_taskbar = false;  // the application's main window owns the taskbar entry
    FormRole role = FormRole::Plain;
    std::optional<Rgb> color;  // the bare client area; the system's button face when unset
    FontSpec font;             // default font of the widgets made on the form
};

struct FormEvents {
    std::function<void()> on_close;                   // the user closed the window
    std::function<void(int x, int y)> on_mouse_down;  // left button on the bare client area
    std::function<void()> on_moved;                   // the position changed
    std::function<void()> on_drag_end;                // a BeginDrag move ended
    std::function<void()> on_app_activate;            // this application became the active one
    std::function<void()> on_shown;                   // the window became visible
    std::function<bool(ModalResult)> on_close_query;  // a modal form may close with that result
};

// A picture for the per-pixel-alpha layered window, at a position in its client area.
struct LayeredImage {
    int left = 0, top = 0;
    Bytes image;  // image file bytes (PNG, JPEG, BMP, GIF, ICO, EMF)
};

class Form {
  public:
    virtual ~Form() = default;
    virtual WindowHandle Handle() const = 0;
    virtual void Show() = 0;
    // Visible without taking activation from the active window.
    virtual void ShowNoActivate() = 0;
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
    virtual void Minimize() = 0;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;

    virtual Bounds GetBounds() const = 0;
    virtual void SetBounds(Bounds bounds) = 0;
    virtual void SetClientSize(int width, int height) = 0;
    virtual void CenterOnScreen() = 0;
    virtual void SetBorder(FormBorder border) = 0;
    virtual void SetColor(Rgb color) = 0;
    // Pixels of this colour become see-through (clicks there go to the window below); none: opaque.
    virtual void SetTransparentColor(std::optional<Rgb> color) = 0;
    // Top of the z-order, without activating.
    virtual void BringToFront() = 0;
    // The user drags the window: a move as by its caption, on the left button already down.
    // `by_caption` false moves it through the system move command (0xF012) and raises
    // on_drag_end when the move ends; true sends a caption hit (the backdrop's way).
    virtual void BeginDrag(bool by_caption) = 0;
    // While locked nothing of the window repaints; unlocking repaints it at once.
    virtual void LockUpdates(bool locked) = 0;
    virtual void Repaint() = 0;
    // Turns the window into a per-pixel-alpha layered window showing these pictures (each at its
    // own pixel size) over full transparency. False when it cannot.
    virtual bool ShowLayeredImages(const std::vector<LayeredImage>& images) = 0;

    // Shows the form modally over the application until a button with a modal result is pressed
    // or the form is closed (Cancel); on_close_query may refuse. Timers and posted tasks run
    // meanwhile.
    virtual ModalResult ShowModal() = 0;
    virtual void EndModal(ModalResult result) = 0;
};

// Never null; the window is created hidden.
std::unique_ptr<Form> CreateForm(const FormSpec& spec, FormEvents events);

// Minimises the whole application (every top-level window of this process).
void MinimizeApplication();

}  // namespace orlo::platform
