// TSplashForm_Login_OrloM2: the application's first window and so its main one (taskbar entry,
// title caption, what a second start looks for). In use it is the backdrop: it lies exactly
// under the skinned window and, on a 32-bit display, shows the skin's alpha-blended pictures
// through the skinned window's see-through parts. Its one-second timer watches started clients
// and performs the reconnect asked for after the server tree is filled.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/timer.h"
#include "platform/forms.h"

namespace orlo {
class TuClientApp;
}

namespace orlo::ui {

class TMainForm;

class TSplashForm {
  public:
    explicit TSplashForm(const std::string& title);
    ~TSplashForm();

    platform::Form& form() const { return *form_; }

    // Moves the skinned window onto this one (once its skin is loaded) and raises it.
    void AlginMainForm();
    // Repaints the layered backdrop from the skin's pictures (32-bit displays only).
    void UpdateForm();
    // The application became active: the skinned window, then any visible dialog, on top.
    void ActivateForms();
    void TimerTimer();
    // After the skinned window was dragged: take its place and repaint.
    void FollowMainForm();

    TMainForm* MainForm = nullptr;
    // Raised after the main window, in this order, when visible: change-password, new-account,
    // settings.
    std::vector<platform::Form*> Dialogs;

  private:
    std::unique_ptr<platform::Form> form_;
    std::unique_ptr<TTimer> timer_;
    bool destroying_ = false;
};

}  // namespace orlo::ui
