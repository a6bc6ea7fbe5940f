// TFrmSetting, the game settings dialog ("游戏设置"): window mode, vertical sync, 3-D
// acceleration and the game window size. Made once at start-up and hidden; each request centres
// it on the main window, loads the settings into it and shows it modally.
#pragma once
#include <memory>

#include "core/launcher_state.h"
#include "platform/widgets.h"
#include "ui/settings_dialog_logic.h"

namespace orlo::ui {

class TFrmSetting {
  public:
    TFrmSetting();

    platform::Form& form() const { return *form_; }
    // The settings into the controls.
    void LoadConfig(const LauncherSettings& settings);
    // Centred on `owner`, modal; true when closed with OK (the settings then hold the choice).
    bool Execute(const platform::Bounds& owner, LauncherSettings& settings);

    // What the controls hold now.
    SettingsDialogState State() const;

    std::unique_ptr<platform::CheckBoxWidget> chkMainI, chkWindow, chkVBlank, chk3D;
    std::unique_ptr<platform::LabelWidget> LabelDisplaySize, LabHomePath;
    std::unique_ptr<platform::ComboWidget> cbbScreenSize;
    std::unique_ptr<platform::BevelWidget> Bevel1;
    std::unique_ptr<platform::PushButtonWidget> BitBtn1, BitBtn2;

  private:
    std::unique_ptr<platform::Form> form_;
    LauncherSettings* closing_ = nullptr;  // the settings FormCloseQuery writes during Execute
};

// Left and top that centre a dialog of that size over the owner (truncating toward zero).
platform::Bounds CentredOver(const platform::Bounds& owner, const platform::Bounds& dialog);

}  // namespace orlo::ui
