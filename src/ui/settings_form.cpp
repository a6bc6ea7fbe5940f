#include "ui/settings_form.h"

#include "platform/display.h"

namespace orlo::ui {
namespace {

template <typename Widget>
std::unique_ptr<Widget> Place(std::unique_ptr<Widget> w,
                              const std::string& name,
                              platform::Bounds b,
                              const std::string& text = std::string()) {
    w->SetName(name);
    w->SetBounds(b);
    if (!text.empty()) w->SetText(text);
    return w;
}

}  // namespace

platform::Bounds CentredOver(const platform::Bounds& owner, const platform::Bounds& dialog) {
    return {owner.left + (owner.width - dialog.width) / 2, owner.top + (owner.height - dialog.height) / 2, dialog.width,
            dialog.height};
}

TFrmSetting::TFrmSetting() {
    platform::FormSpec spec;
    spec.class_name = "TFrmSetting";
    spec.caption = "游戏设置";
    spec.client_width = 258;
    spec.client_height = 169;
    spec.border = platform::FormBorder::Tool;
    spec.minimize_box = false;
    spec.centred = false;
    platform::FormEvents events;
    events.on_close_query = [this](platform::ModalResult result) {
        if (closing_) FormCloseQuery(State(), result == platform::ModalResult::Ok, *closing_);
        return true;
    };
    form_ = platform::CreateForm(spec, std::move(events));
    platform::Form& f = *form_;

    // Created in tab order; the labels and the line take no focus.
    chkMainI = Place(platform::CreateCheckBox(f, {}), "chkMainI", {8, 11, 97, 17}, "经典界面");
    chkMainI->SetChecked(true);
    chkMainI->SetEnabled(false);
    chkWindow = Place(platform::CreateCheckBox(f, {}), "chkWindow", {134, 11, 97, 17}, "窗口模式");
    chkWindow->SetChecked(true);
    LabelDisplaySize = Place(platform::CreateLabel(f, {}), "LabelDisplaySize", {8, 38, 36, 13}, "分辨率");
    cbbScreenSize = Place(platform::CreateCombo(f, {}), "cbbScreenSize", {72, 34, 178, 21});
    chkVBlank = Place(platform::CreateCheckBox(f, {}), "chkVBlank", {8, 61, 97, 17}, "垂直同步");
    chkVBlank->SetChecked(true);
    chk3D = Place(platform::CreateCheckBox(f, {}), "chk3D", {8, 84, 97, 17}, "3D加速");
    chk3D->SetChecked(true);
    platform::WidgetEvents hover;
    // Hover feedback only: the label has no click action.
    hover.on_mouse_enter = [this] {
        platform::FontSpec font = LabHomePath->Font();
        font.color = {0, 0, 0xFF};
        LabHomePath->SetFont(font);
    };
    hover.on_mouse_leave = [this] {
        platform::FontSpec font = LabHomePath->Font();
        font.color = {0, 0, 0};
        LabHomePath->SetFont(font);
    };
    LabHomePath = Place(platform::CreateLabel(f, std::move(hover)), "LabHomePath", {8, 107, 129, 13}, "重新设置vu目录");
    platform::FontSpec underlined = LabHomePath->Font();
    underlined.underline = true;
    LabHomePath->SetFont(underlined);
    Bevel1 = Place(platform::CreateBevel(f, {}), "Bevel1", {8, 128, 242, 2});
    BitBtn1 = Place(platform::CreatePushButton(f, {}), "BitBtn1", {94, 136, 75, 25}, "确定");
    BitBtn1->SetDefault(true);
    BitBtn1->SetModalResult(platform::ModalResult::Ok);
    BitBtn2 = Place(platform::CreatePushButton(f, {}), "BitBtn2", {175, 136, 75, 25}, "取消");
    BitBtn2->SetCancel(true);
    BitBtn2->SetModalResult(platform::ModalResult::Cancel);

    // FormCreate: the display's sizes, once.
    cbbScreenSize->SetItems(EnumDisplayModes(platform::DisplayModes()));
}

SettingsDialogState TFrmSetting::State() const {
    SettingsDialogState s;
    s.chkMainI = chkMainI->Checked();
    s.chkWindow = chkWindow->Checked();
    s.chkVBlank = chkVBlank->Checked();
    s.chk3D = chk3D->Checked();
    s.screen_sizes = cbbScreenSize->Items();
    s.screen_size_index = cbbScreenSize->ItemIndex();
    return s;
}

void TFrmSetting::LoadConfig(const LauncherSettings& settings) {
    SettingsDialogState s = State();
    ui::LoadConfig(s, settings);
    chkWindow->SetChecked(s.chkWindow);
    chkVBlank->SetChecked(s.chkVBlank);
    chk3D->SetChecked(s.chk3D);
    cbbScreenSize->SetItemIndex(s.screen_size_index);
}

bool TFrmSetting::Execute(const platform::Bounds& owner, LauncherSettings& settings) {
    platform::Bounds b = form_->GetBounds();
    form_->SetBounds(CentredOver(owner, b));
    LoadConfig(settings);
    closing_ = &settings;
    const platform::ModalResult result = form_->ShowModal();
    closing_ = nullptr;
    return result == platform::ModalResult::Ok;
}

}  // namespace orlo::ui
