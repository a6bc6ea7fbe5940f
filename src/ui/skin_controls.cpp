#include "ui/skin_controls.h"

#include <map>

#include "core/client_app.h"
#include "ui/skin_properties.h"
#include "ui/skin_values.h"

namespace orlo::ui {
namespace {

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// Properties every kind accepts and that change nothing on screen.
bool IsInertProperty(std::string_view path) {
    static constexpr std::string_view kInert[] = {
        "HelpContext",
        "HelpKeyword",
        "HelpType",
        "AlignWithMargins",
        "CustomHint",
        "ParentCustomHint",
        "TabOrder",
        "TabStop",
        "ParentFont",
        "ParentColor",
        "ShowHint",
        "ParentShowHint",
        "Anchors",
        "Align",
        "DoubleBuffered",
        "ParentDoubleBuffered",
        "BevelInner",
        "BevelKind",
        "BevelOuter",
        "Style",
        "Ctl3D",
        "ParentCtl3D",
        "BiDiMode",
        "ParentBiDiMode",
        "DragCursor",
        "DragKind",
        "DragMode",
        "ImeMode",
        "ImeName",
        "Constraints.MinWidth",
        "Constraints.MinHeight",
        "Constraints.MaxWidth",
        "Constraints.MaxHeight",
        "ExplicitLeft",
        "ExplicitTop",
        "ExplicitWidth",
        "ExplicitHeight",
    };
    if (StartsWith(path, "Margins.") || StartsWith(path, "On")) return true;
    for (std::string_view p : kInert)
        if (p == path) return true;
    return false;
}

// Calls the controller when there is one; the button is disabled for the duration, so a second
// click cannot start the same call again, and enabled again however the call ends.
template <typename Call>
void CallDisabled(IControl& button, Call&& call) {
    std::shared_ptr<IuApplication> app = g_Application();
    if (!app) return;
    button.SetEnabled(false);
    try {
        call(*app);
    } catch (...) {
        // The controller reports its own failures; the button must come back regardless.
    }
    button.SetEnabled(true);
}

template <typename Call>
void CallApp(Call&& call) {
    if (std::shared_ptr<IuApplication> app = g_Application()) call(*app);
}

std::optional<std::string> TextOf(const SkinValue& v) { return AsText(v); }

void SetFontColorOf(platform::Widget& widget, TColor color) {
    platform::FontSpec font = widget.Font();
    font.color = ToRgb(color);
    widget.SetFont(font);
}

}  // namespace

TColor ToTColor(platform::Rgb rgb) { return {rgb.red, rgb.green, rgb.blue}; }
platform::Rgb ToRgb(TColor color) { return {color.red, color.green, color.blue}; }

platform::WidgetEvents SkinControl::Events() {
    platform::WidgetEvents e;
    e.on_click = [this] { Click(); };
    e.on_mouse_down = [this](int x, int y) {
        MouseDown();
        if (OnMouseDown) OnMouseDown(x, y);
    };
    e.on_focus_enter = [this] {
        if (OnEnter) OnEnter();
    };
    e.on_focus_exit = [this] {
        if (OnExit) OnExit();
    };
    e.on_change = [this] {
        if (OnChange) OnChange();
    };
    return e;
}

bool SkinControl::ApplyProperty(std::string_view path, const SkinValue& value) {
    platform::Widget& w = widget();
    if (path == "Name") {
        auto name = TextOf(value);
        if (!name) return false;
        Name = *name;
        w.SetName(Name);
        return true;
    }
    if (path == "Left" || path == "Top" || path == "Width" || path == "Height") {
        auto n = AsInteger(value);
        if (!n || *n < -100000 || *n > 100000) return false;
        platform::Bounds b = w.GetBounds();
        const int v = static_cast<int>(*n);
        if (path == "Left") b.left = v;
        if (path == "Top") b.top = v;
        if (path == "Width") b.width = v;
        if (path == "Height") b.height = v;
        w.SetBounds(b);
        return true;
    }
    if (path == "Tag") {
        auto n = AsInteger(value);
        if (!n) return false;
        Tag = static_cast<int>(*n);
        return true;
    }
    if (path == "Visible" || path == "Enabled") {
        auto b = AsBool(value);
        if (!b) return false;
        path == "Visible" ? w.SetVisible(*b) : w.SetEnabled(*b);
        return true;
    }
    if (path == "Hint") {
        auto hint = TextOf(value);
        if (!hint) return false;
        Hint = *hint;
        return true;
    }
    if (path == "Cursor") {
        auto ident = AsIdent(value);
        if (ident) w.SetCursor(*ident == "crHandPoint" ? platform::Cursor::Hand : platform::Cursor::Default);
        return ident || AsInteger(value);
    }
    if (StartsWith(path, "Font.")) {
        platform::FontSpec font = w.Font();
        if (!ApplyFontProperty(font, path.substr(5), value)) return false;
        w.SetFont(font);
        return true;
    }
    if (path == "Color") {
        if (value.tag != ValueTag::Ident && !AsInteger(value)) return false;
        w.SetColor(ColorFromValue(value));
        return true;
    }
    return IsInertProperty(path);
}

// ---- image buttons ----

TuImageButton::TuImageButton(platform::Form& form, std::string class_name)
    : SkinKind(form, std::move(class_name), {"TuImageButton"}) {
    widget_ = platform::CreateImageButton(form, Events());
}

bool TuImageButton::ApplyProperty(std::string_view path, const SkinValue& value) {
    static const std::map<std::string_view, Bytes platform::ImageButtonWidget::Pictures::*> kPictures = {
        {"Picture.Data", &platform::ImageButtonWidget::Pictures::normal},
        {"PictureHot.Data", &platform::ImageButtonWidget::Pictures::hot},
        {"PictureDown.Data", &platform::ImageButtonWidget::Pictures::down},
        {"PictureDisabled.Data", &platform::ImageButtonWidget::Pictures::disabled},
    };
    if (auto it = kPictures.find(path); it != kPictures.end()) {
        if (value.tag != ValueTag::Binary) return false;
        pictures_.*(it->second) = value.binary;
        w().SetPictures(pictures_);
        return true;
    }
    if (class_name_ == "TuURLButton" && path == "URL") {
        auto url = TextOf(value);
        if (!url) return false;
        URL = *url;
        return true;
    }
    if (class_name_ == "TuURLButton" && path == "URLKind") {
        static const std::map<std::string_view, TuURLKind> kKinds = {{"ukCustom", ukCustom},
                                                                     {"ukHomePage", ukHomePage},
                                                                     {"ukPayPage", ukPayPage},
                                                                     {"ukContactPage", ukContactPage}};
        auto ident = AsIdent(value);
        auto it = ident ? kKinds.find(*ident) : kKinds.end();
        if (it == kKinds.end()) return false;
        URLKind = it->second;
        return true;
    }
    return SkinControl::ApplyProperty(path, value);
}

void TuImageButton::Click() {
    const std::string& k = class_name_;
    if (k == "TuURLButton") {
        CallDisabled(*this, [this](IuApplication& app) { app.OpenURL(URL); });
    } else if (k == "TuStartBtton") {
        CallDisabled(*this, [](IuApplication& app) { app.StartGame(); });
    } else if (k == "TuQQBtton") {
        CallDisabled(*this, [](IuApplication& app) { app.LoginQueryQQandWXUrl(2); });
    } else if (k == "TuWeiXinBtton") {
        CallDisabled(*this, [](IuApplication& app) { app.LoginQueryQQandWXUrl(1); });
    } else if (k == "Tu360Btton") {
        CallDisabled(*this, [](IuApplication& app) { app.Start360(); });
    } else if (k == "TuCloseButton") {
        if (std::shared_ptr<IuApplication> app = g_Application()) {
            app->CloseApplication();
        } else {
            form_.Hide();
        }
    } else if (k == "TuMinimizeButton") {
        platform::MinimizeApplication();
    } else if (k == "TuConfigButton") {
        CallApp([](IuApplication& app) { app.ShowSettingsDialog(); });
    } else if (k == "TuRegisterButton") {
        CallApp([](IuApplication& app) { app.ShowRegisterDialog(); });
    } else if (k == "TuChangePassButton") {
        CallApp([](IuApplication& app) { app.ShowChangePasswordDialog(); });
    } else if (k == "TuGetBackPassButton") {
        CallApp([](IuApplication& app) { app.ShowGetBackPasswordDialog(); });
    } else if (k == "TuRepairButton") {
        CallApp([](IuApplication& app) { app.Repair(); });
    } else if (k == "TuResolutionButton") {
        CallApp([](IuApplication& app) { app.ToggleResolutionList(); });
    } else if (k == "TuPhoneRepairButton") {
        CallApp([](IuApplication& app) { app.ShowPhoneRegisterDialog(); });
    }
}

// ---- the login switch ----

TLoginExchange::TLoginExchange(platform::Form& form) : SkinKind(form, "TLoginExchange", {"TCheckImageButton"}) {
    widget_ = platform::CreateImageButton(form, Events());
    widget_->SetBounds({0, 0, 150, 35});
}

bool TLoginExchange::ApplyProperty(std::string_view path, const SkinValue& value) {
    if (path == "Picture.Data" || path == "PictureDisabled.Data") {
        if (value.tag != ValueTag::Binary) return false;
        (path == "Picture.Data" ? picture_ : picture_disabled_) = value.binary;
        ShowState();
        return true;
    }
    if (path == "Check") {
        auto b = AsBool(value);
        if (!b) return false;
        SetChecked(*b);
        return true;
    }
    return SkinControl::ApplyProperty(path, value);
}

void TLoginExchange::SetChecked(bool checked) {
    check_ = checked;
    ShowState();
}

// Checked shows the picture, unchecked the "disabled" one: the switch's two faces.
void TLoginExchange::ShowState() {
    const Bytes& face = check_ ? (picture_.empty() ? picture_disabled_ : picture_)
                               : (picture_disabled_.empty() ? picture_ : picture_disabled_);
    w().SetPictures({face, face, face, face});
}

void TLoginExchange::Click() {
    SetChecked(!check_);
    CallApp([](IuApplication& app) { app.SetLoginPasswd(); });
}

// ---- labels ----

TuLable::TuLable(platform::Form& form, std::string class_name) : SkinKind(form, std::move(class_name), {}) {
    widget_ = platform::CreateLabel(form, Events());
    if (class_name_ == "TuInfLable") widget_->SetColor(platform::Rgb{0, 0, 0});
}

bool TuLable::ApplyProperty(std::string_view path, const SkinValue& value) {
    if (path == "Caption") {
        auto text = TextOf(value);
        if (!text) return false;
        SetCaption(*text);
        return true;
    }
    if (path == "Alignment") {
        auto ident = AsIdent(value);
        if (!ident) return false;
        w().SetAlignment(*ident == "taCenter"         ? platform::TextAlignment::Center
                         : *ident == "taRightJustify" ? platform::TextAlignment::Right
                                                      : platform::TextAlignment::Left);
        return true;
    }
    if (path == "Transparent") {
        auto b = AsBool(value);
        if (!b) return false;
        // The information label is always opaque.
        if (*b && class_name_ == "TuLable") w().SetColor(std::nullopt);
        return true;
    }
    return path == "AutoSize" || path == "WordWrap" || path == "Layout" || SkinControl::ApplyProperty(path, value);
}

void TuLable::SetFontColor(TColor color) { SetFontColorOf(w(), color); }
TColor TuLable::FontColor() const { return ToTColor(w().Font().color); }

// ---- image ----

TuImage::TuImage(platform::Form& form) : SkinKind(form, "TuImage", {}) {
    widget_ = platform::CreateImage(form, Events());
}

bool TuImage::ApplyProperty(std::string_view path, const SkinValue& value) {
    if (path == "Picture.Data") {
        if (value.tag != ValueTag::Binary) return false;
        auto image = StandardPictureImage(value.binary);
        if (!image) return false;
        image_ = std::move(*image);
        w().SetPicture(image_, layout_);
        return true;
    }
    if (path == "Stretch" || path == "Proportional" || path == "Center" || path == "AutoSize") {
        auto b = AsBool(value);
        if (!b) return false;
        if (path == "Stretch") layout_.stretch = *b;
        if (path == "Proportional") layout_.proportional = *b;
        if (path == "Center") layout_.center = *b;
        if (path == "AutoSize") auto_size_ = *b;
        if (!image_.empty()) w().SetPicture(image_, layout_);
        return true;
    }
    return path == "Transparent" || path == "IncrementalDisplay" || SkinControl::ApplyProperty(path, value);
}

void TuImage::Loaded() {
    if (!auto_size_) return;
    if (auto size = w().PictureSize()) {
        platform::Bounds b = w().GetBounds();
        b.width = size->first;
        b.height = size->second;
        w().SetBounds(b);
    }
}

// ---- edits ----

TuEdit::TuEdit(platform::Form& form, std::string class_name) : SkinKind(form, std::move(class_name), {"TuEdit"}) {
    FHelpTextFont.face = "宋体";
    FHelpTextFont.height = -12;  // 9 points
    FHelpTextFont.color = {0xC0, 0xC0, 0xC0};
    widget_ = platform::CreateEdit(form, Events());
    // The preset goes straight into the shown hint: there is nothing to restore until a skin
    // or the controller assigns one.
    if (class_name_ == "TuIDEdit") {
        FHelpText = "用户名/邮箱/手机号";
    } else {
        FHelpText = "请输入密码";
        widget_->SetPasswordChar(U'*');
    }
    ShowHint();
}

bool TuEdit::ApplyProperty(std::string_view path, const SkinValue& value) {
    if (path == "Text") {
        auto text = TextOf(value);
        if (!text) return false;
        SetText(*text);
        return true;
    }
    if (path == "HelpText") {
        auto text = TextOf(value);
        if (!text) return false;
        SetHint(*text);
        return true;
    }
    if (StartsWith(path, "HelpTextFont.")) {
        if (!ApplyFontProperty(FHelpTextFont, path.substr(13), value)) return false;
        ShowHint();
        return true;
    }
    return path == "AutoSize" || path == "MaxLength" || path == "BorderStyle" || path == "ReadOnly" ||
           SkinControl::ApplyProperty(path, value);
}

void TuEdit::SetHint(const std::string& hint) {
    if (FHelpTextDef.empty()) FHelpTextDef = hint;
    FHelpText = hint;
    if (Text().empty() && hint.empty()) SetText(std::string());
    ShowHint();
}

void TuEdit::ShowHint() { w().SetHint(FHelpText, FHelpTextFont); }

// ---- server tree ----

TuTreeView::TuTreeView(platform::Form& form) : SkinKind(form, "TuTreeView", {}) {
    widget_ = platform::CreateTree(form, Events());
    widget_->SetSelectionFilter([this](int node) { return !OnChanging || OnChanging(node); });
    widget_->SetNodeStyler(
        [this](int node, bool selected) { return OnCustomDraw ? OnCustomDraw(node, selected) : std::nullopt; });
}

bool TuTreeView::ApplyProperty(std::string_view path, const SkinValue& value) {
    return path == "ReadOnly" || path == "ShowLines" || path == "ShowRoot" || path == "HideSelection" ||
           path == "BorderStyle" || path == "RowSelect" || path == "Indent" || SkinControl::ApplyProperty(path, value);
}

void TuTreeView::ClearNodes() {
    w().Clear();
    data_.clear();
}

int TuTreeView::AddRoot(const std::string& text) {
    const int node = w().AddRoot(text);
    if (node >= 0) data_.resize(static_cast<size_t>(node) + 1, nullptr);
    return node;
}

int TuTreeView::AddChild(int parent, const std::string& text, void* data) {
    const int node = w().AddChild(parent, text);
    if (node < 0) return node;
    data_.resize(std::max(data_.size(), static_cast<size_t>(node) + 1), nullptr);
    data_[static_cast<size_t>(node)] = data;
    return node;
}

void* TuTreeView::NodeData(int node) const {
    return node >= 0 && static_cast<size_t>(node) < data_.size() ? data_[static_cast<size_t>(node)] : nullptr;
}

// ---- combo boxes ----

TuCombobox::TuCombobox(platform::Form& form, std::string class_name) : SkinKind(form, std::move(class_name), {}) {
    widget_ = platform::CreateCombo(form, Events());
}

bool TuCombobox::ApplyProperty(std::string_view path, const SkinValue& value) {
    if (path == "Items.Strings") {
        if (value.tag != ValueTag::List) return false;
        std::vector<std::string> items;
        for (const SkinValue& item : value.list)
            if (auto text = TextOf(item)) items.push_back(*text);
        SetItems(std::move(items));
        return true;
    }
    if (path == "ItemIndex") {
        auto n = AsInteger(value);
        if (!n) return false;
        SetItemIndex(static_cast<int>(*n));
        return true;
    }
    if (path == "DropDownCount") {
        auto n = AsInteger(value);
        if (!n || *n < 1 || *n > 100) return false;
        w().SetDropDownCount(static_cast<int>(*n));
        return true;
    }
    if (class_name_ == "TuResolutionCombobox" && path == "Ctl3D") {
        auto b = AsBool(value);
        if (!b) return false;
        w().SetFlat(!*b);
        return true;
    }
    if (class_name_ == "TuResolutionCombobox" && path == "ButtonPicture.Data") {
        if (value.tag != ValueTag::Binary) return false;
        auto image = StandardPictureImage(value.binary);
        if (!image) return false;
        w().SetButtonPicture(std::move(*image));
        return true;
    }
    return path == "Text" || path == "Sorted" || path == "ItemHeight" || SkinControl::ApplyProperty(path, value);
}

std::string TuCombobox::SelectedText() const {
    const int i = ItemIndex();
    const auto items = Items();
    return i >= 0 && static_cast<size_t>(i) < items.size() ? items[static_cast<size_t>(i)] : std::string();
}

// ---- progress bars ----

TuProgressBar::TuProgressBar(platform::Form& form, std::string class_name) : SkinKind(form, std::move(class_name), {}) {
    widget_ = platform::CreateProgress(form, Events());
}

bool TuProgressBar::ApplyProperty(std::string_view path, const SkinValue& value) {
    if (path == "Style") {
        static const std::map<std::string_view, platform::ProgressStyle> kStyles = {
            {"pbsBlue", platform::ProgressStyle::Blue},
            {"pbsRed", platform::ProgressStyle::Red},
            {"pbsGreen", platform::ProgressStyle::Green},
            {"pbsColor", platform::ProgressStyle::Color},
            {"pbsCustom", platform::ProgressStyle::Custom}};
        auto ident = AsIdent(value);
        auto it = ident ? kStyles.find(*ident) : kStyles.end();
        if (it == kStyles.end()) return false;
        style_ = it->second;
        return true;
    }
    if (path == "Color" || path == "BackgroundColor" || path == "BorderColor") {
        if (value.tag != ValueTag::Ident && !AsInteger(value)) return false;
        (path == "Color" ? bar_ : path == "BackgroundColor" ? background_ : border_) = ColorFromValue(value);
        return true;
    }
    if (path == "Min" || path == "Max" || path == "Position") {
        auto n = AsInteger(value);
        if (!n) return false;
        const int v = static_cast<int>(*n);
        if (path == "Position") SetPosition(v);
        if (path == "Min") SetRange(v, Maximum());
        if (path == "Max") SetRange(Minimum(), v);
        return true;
    }
    return path == "Transparent" || StartsWith(path, "Colors") || SkinControl::ApplyProperty(path, value);
}

void TuProgressBar::Loaded() { w().SetStyle(style_, bar_, background_, border_); }

// ---- browser ----

TuWebBrowser::TuWebBrowser(platform::Form& form) : SkinKind(form, "TuWebBrowser", {}) {
    widget_ = platform::CreateBrowser(form, Events());
}

bool TuWebBrowser::ApplyProperty(std::string_view path, const SkinValue& value) {
    if (path == "OpenUrl") {
        auto url = TextOf(value);
        if (!url) return false;
        open_url_ = *url;
        return true;
    }
    return StartsWith(path, "ControlData") || path == "Silent" || path == "Offline" ||
           SkinControl::ApplyProperty(path, value);
}

// ---- phone button ----

TuPhoneBtn::TuPhoneBtn(platform::Form& form) : SkinKind(form, "TuPhoneBtn", {}) {
    widget_ = platform::CreateFlatButton(form, Events());
}

bool TuPhoneBtn::ApplyProperty(std::string_view path, const SkinValue& value) {
    if (path == "Caption") {
        auto text = TextOf(value);
        if (!text) return false;
        SetCaption(*text);
        return true;
    }
    return path == "Flat" || path == "AutoSize" || path == "Transparent" || SkinControl::ApplyProperty(path, value);
}

void TuPhoneBtn::SetFontColor(TColor color) { SetFontColorOf(w(), color); }
TColor TuPhoneBtn::FontColor() const { return ToTColor(w().Font().color); }

// ---- the factory ----

std::unique_ptr<SkinControl> CreateSkinControl(std::string_view class_name, platform::Form& form) {
    static constexpr std::string_view kImageButtons[] = {
        "TuImageButton",  "TuURLButton",         "TuStartBtton",       "TuMinimizeButton",    "TuCloseButton",
        "TuConfigButton", "TuRegisterButton",    "TuChangePassButton", "TuGetBackPassButton", "TuResolutionButton",
        "TuRepairButton", "TuPhoneRepairButton", "TuQQBtton",          "TuWeiXinBtton",       "Tu360Btton",
    };
    const std::string name(class_name);
    for (std::string_view b : kImageButtons)
        if (b == class_name) return std::make_unique<TuImageButton>(form, name);
    if (class_name == "TLoginExchange") return std::make_unique<TLoginExchange>(form);
    if (class_name == "TuLable" || class_name == "TuInfLable") return std::make_unique<TuLable>(form, name);
    if (class_name == "TuImage") return std::make_unique<TuImage>(form);
    if (class_name == "TuIDEdit" || class_name == "TuPWEdit") return std::make_unique<TuEdit>(form, name);
    if (class_name == "TuTreeView") return std::make_unique<TuTreeView>(form);
    if (class_name == "TuServerCombobox" || class_name == "TuResolutionCombobox")
        return std::make_unique<TuCombobox>(form, name);
    if (class_name == "TuCurProgressBar" || class_name == "TuAllProgressBar")
        return std::make_unique<TuProgressBar>(form, name);
    if (class_name == "TuWebBrowser") return std::make_unique<TuWebBrowser>(form);
    if (class_name == "TuPhoneBtn") return std::make_unique<TuPhoneBtn>(form);
    return nullptr;
}

}  // namespace orlo::ui
