// The component kinds a skin may hold. Each is a platform widget with the kind's defaults and
// skin properties; the buttons forward their clicks to the controller through IuApplication.
// The kinds know nothing of servers or accounts: the main window binds them after loading.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/controls.h"
#include "platform/widgets.h"
#include "ui/skin_stream.h"

namespace orlo::ui {

// What the skin reader and the main window see of every kind.
class SkinControl {
  public:
    virtual ~SkinControl() = default;
    virtual IControl& AsControl() = 0;
    virtual platform::Widget& widget() = 0;
    // Applies one property of the skin; false when the kind cannot (the reader skips it).
    virtual bool ApplyProperty(std::string_view path, const SkinValue& value);
    // Reading of the skin has finished.
    virtual void Loaded() {}

    std::string Name;
    int Tag = 0;
    std::string Hint;

    // Handlers the main window wires after loading (Part of binding); empty ones do nothing.
    std::function<void()> OnEnter, OnExit, OnChange;
    std::function<void(int x, int y)> OnMouseDown;

  protected:
    explicit SkinControl(platform::Form& form) : form_(form) {}
    platform::WidgetEvents Events();
    // The kind's own reaction to a mouse-down, before OnMouseDown.
    virtual void MouseDown() {}
    virtual void Click() {}
    platform::Form& form_;
};

// The IControl side every kind shares, over its widget.
template <typename Interface, typename Widget>
class SkinKind : public Interface, public SkinControl {
  public:
    std::string ClassName() const override { return class_name_; }
    bool InheritsFrom(std::string_view name) const override {
        if (name == class_name_) return true;
        for (std::string_view base : bases_)
            if (base == name) return true;
        return false;
    }
    bool Enabled() const override { return widget_->Enabled(); }
    void SetEnabled(bool enabled) override { widget_->SetEnabled(enabled); }
    bool Visible() const override { return widget_->Visible(); }
    void SetVisible(bool visible) override { widget_->SetVisible(visible); }
    IControl& AsControl() override { return *this; }
    platform::Widget& widget() override { return *widget_; }
    Widget& w() const { return *widget_; }

  protected:
    SkinKind(platform::Form& form, std::string class_name, std::vector<std::string_view> bases)
        : SkinControl(form), class_name_(std::move(class_name)), bases_(std::move(bases)) {}
    std::string class_name_;
    std::vector<std::string_view> bases_;
    std::unique_ptr<Widget> widget_;
};

enum TuURLKind { ukCustom = 0, ukHomePage = 1, ukPayPage = 2, ukContactPage = 3 };

// TuImageButton and the kinds that differ from it only in their click.
class TuImageButton : public SkinKind<IControl, platform::ImageButtonWidget> {
  public:
    TuImageButton(platform::Form& form, std::string class_name);
    bool ApplyProperty(std::string_view path, const SkinValue& value) override;

    std::string URL;  // TuURLButton
    TuURLKind URLKind = ukCustom;

  protected:
    void Click() override;

  private:
    platform::ImageButtonWidget::Pictures pictures_;
};

// TCheckImageButton as the login switch: a click flips Check and tells the controller.
class TLoginExchange : public SkinKind<ICheckControl, platform::ImageButtonWidget> {
  public:
    explicit TLoginExchange(platform::Form& form);
    bool ApplyProperty(std::string_view path, const SkinValue& value) override;
    bool Checked() const override { return check_; }
    void SetChecked(bool checked) override;

  protected:
    void Click() override;

  private:
    void ShowState();
    Bytes picture_, picture_disabled_;
    bool check_ = false;
};

// TuLable (transparent) and TuInfLable (black, opaque: the information label).
class TuLable : public SkinKind<ILabelControl, platform::LabelWidget> {
  public:
    TuLable(platform::Form& form, std::string class_name);
    bool ApplyProperty(std::string_view path, const SkinValue& value) override;
    void SetCaption(const std::string& caption) override { w().SetText(caption); }
    std::string Caption() const override { return w().Text(); }
    void SetFontColor(TColor color) override;
    TColor FontColor() const override;

  protected:
    void MouseDown() override { form_.BeginDrag(false); }
};

class TuImage : public SkinKind<IControl, platform::ImageWidget> {
  public:
    explicit TuImage(platform::Form& form);
    bool ApplyProperty(std::string_view path, const SkinValue& value) override;
    void Loaded() override;
    // The image file the picture holds; empty without one.
    const Bytes& PictureImage() const { return image_; }

  protected:
    void MouseDown() override { form_.BeginDrag(false); }

  private:
    Bytes image_;
    platform::ImageWidget::Layout layout_;
    bool auto_size_ = false;
};

// TuEdit's kinds: TuIDEdit (account) and TuPWEdit (password).
class TuEdit : public SkinKind<IEditControl, platform::EditWidget> {
  public:
    TuEdit(platform::Form& form, std::string class_name);
    bool ApplyProperty(std::string_view path, const SkinValue& value) override;
    void SetText(const std::string& text) override { w().SetText(text); }
    std::string Text() const override { return w().Text(); }
    // The HelpText property: also the hint to restore while none was given.
    void SetHint(const std::string& hint) override;
    std::string Hint() const override { return FHelpText; }
    const std::string& HelpTextDef() const { return FHelpTextDef; }

  private:
    void ShowHint();
    std::string FHelpTextDef;
    std::string FHelpText;
    platform::FontSpec FHelpTextFont;
};

class TuTreeView : public SkinKind<ITreeControl, platform::TreeWidget> {
  public:
    explicit TuTreeView(platform::Form& form);
    bool ApplyProperty(std::string_view path, const SkinValue& value) override;
    void BeginUpdate() override { w().BeginUpdate(); }
    void EndUpdate() override { w().EndUpdate(); }
    void ClearNodes() override;
    int AddRoot(const std::string& text) override;
    int AddChild(int parent, const std::string& text, void* data) override;
    void ExpandAll() override { w().ExpandAll(); }
    int NodeCount() const override { return w().NodeCount(); }
    std::string NodeText(int node) const override { return w().NodeText(node); }
    void* NodeData(int node) const override;
    int NodeParent(int node) const override { return w().NodeParent(node); }
    void SetTopItem(int node) override { w().SetTopItem(node); }
    int TopItem() const override { return w().TopItem(); }
    void Select(int node) override { w().Select(node); }
    int Selected() const override { return w().Selected(); }
    bool Enabled() const override { return w().Enabled(); }

    // Handlers the main window wires: may the selection move there; how a node is drawn.
    std::function<bool(int node)> OnChanging;
    std::function<std::optional<platform::TreeWidget::NodeStyle>(int node, bool selected)> OnCustomDraw;

  private:
    std::vector<void*> data_;
};

// TuServerCombobox and TuResolutionCombobox.
class TuCombobox : public SkinKind<IListControl, platform::ComboWidget> {
  public:
    TuCombobox(platform::Form& form, std::string class_name);
    bool ApplyProperty(std::string_view path, const SkinValue& value) override;
    void SetItems(std::vector<std::string> items) override { w().SetItems(std::move(items)); }
    std::vector<std::string> Items() const override { return w().Items(); }
    int ItemIndex() const override { return w().ItemIndex(); }
    void SetItemIndex(int index) override { w().SetItemIndex(index); }
    std::string SelectedText() const override;
    void SetDroppedDown(bool dropped) override { w().SetDroppedDown(dropped); }
    bool DroppedDown() const override { return w().DroppedDown(); }
};

// TuCurProgressBar and TuAllProgressBar.
class TuProgressBar : public SkinKind<IProgressControl, platform::ProgressWidget> {
  public:
    TuProgressBar(platform::Form& form, std::string class_name);
    bool ApplyProperty(std::string_view path, const SkinValue& value) override;
    void Loaded() override;
    void SetRange(int minimum, int maximum) override { w().SetRange(minimum, maximum); }
    void SetPosition(int position) override { w().SetPosition(position); }
    int Position() const override { return w().Position(); }
    int Minimum() const override { return w().Minimum(); }
    int Maximum() const override { return w().Maximum(); }

  private:
    platform::ProgressStyle style_ = platform::ProgressStyle::Green;
    std::optional<platform::Rgb> bar_, background_, border_;
};

class TuWebBrowser : public SkinKind<IBrowserControl, platform::BrowserWidget> {
  public:
    explicit TuWebBrowser(platform::Form& form);
    bool ApplyProperty(std::string_view path, const SkinValue& value) override;
    std::string OpenUrl() const override { return open_url_; }
    void Navigate(const std::string& url) override { w().Navigate(url); }

  private:
    std::string open_url_;
};

// The flat "send phone code" button; its caption is what the countdown rewrites.
class TuPhoneBtn : public SkinKind<ILabelControl, platform::FlatButtonWidget> {
  public:
    explicit TuPhoneBtn(platform::Form& form);
    bool ApplyProperty(std::string_view path, const SkinValue& value) override;
    void SetCaption(const std::string& caption) override { w().SetText(caption); }
    std::string Caption() const override { return w().Text(); }
    void SetFontColor(TColor color) override;
    TColor FontColor() const override;
};

// One of the registered kinds, made on the form; null for any other class name.
std::unique_ptr<SkinControl> CreateSkinControl(std::string_view class_name, platform::Form& form);

TColor ToTColor(platform::Rgb rgb);
platform::Rgb ToRgb(TColor color);

}  // namespace orlo::ui
