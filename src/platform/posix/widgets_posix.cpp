// Headless widgets: every kind keeps its state in memory; tests act as the user through
// platform/headless_widgets.h.
#include <algorithm>
#include <map>

#include "platform/headless_widgets.h"
#include "platform/headless_windows.h"
#include "platform/widgets.h"

namespace orlo::platform {
namespace {

class HeadlessWidget;
HeadlessWidget*& FocusedWidget() {
    static HeadlessWidget* focused = nullptr;
    return focused;
}

// What every headless kind shares; the user actions reach widgets through it.
class HeadlessWidget {
  public:
    HeadlessWidget(Form& form, WidgetEvents events)
        : form_(&form), events_(std::move(events)), font_(HeadlessFormFont(form.Handle())) {}
    virtual ~HeadlessWidget() {
        if (FocusedWidget() == this) FocusedWidget() = nullptr;
    }
    const WidgetEvents& events() const { return events_; }
    Form& form() const { return *form_; }
    bool usable() const { return visible_ && enabled_; }
    virtual void OnClick() {
        if (events_.on_click) events_.on_click();
    }

  protected:
    Form* form_;
    WidgetEvents events_;
    std::string name_, text_;
    Bounds bounds_;
    bool visible_ = true, enabled_ = true;
    FontSpec font_;
    std::optional<Rgb> color_;
};

template <typename Interface>
class Base : public Interface, public HeadlessWidget {
  public:
    using HeadlessWidget::HeadlessWidget;
    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(this); }
    void SetName(const std::string& name) override { name_ = name; }
    void SetBounds(Bounds bounds) override { bounds_ = bounds; }
    Bounds GetBounds() const override { return bounds_; }
    void SetVisible(bool visible) override { visible_ = visible; }
    bool Visible() const override { return visible_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    bool Enabled() const override { return enabled_; }
    void SetText(const std::string& text) override { text_ = text; }
    std::string Text() const override { return text_; }
    void SetFont(const FontSpec& font) override { font_ = font; }
    FontSpec Font() const override { return font_; }
    void SetColor(std::optional<Rgb> color) override { color_ = color; }
    std::optional<Rgb> Color() const override { return color_; }
    void SetCursor(Cursor) override {}
    void Focus() override { HeadlessFocus(*this); }
};

class ImageButton final : public Base<ImageButtonWidget> {
  public:
    using Base::Base;
    void SetPictures(Pictures pictures) override { pictures_ = std::move(pictures); }

  private:
    Pictures pictures_;
};

class Label final : public Base<LabelWidget> {
  public:
    using Base::Base;
    void SetAlignment(TextAlignment) override {}
};

class Image final : public Base<ImageWidget> {
  public:
    using Base::Base;
    void SetPicture(Bytes image, Layout) override { image_ = std::move(image); }
    std::optional<std::pair<int, int>> PictureSize() const override { return ImageSize(image_); }
    // The backdrop draws it: hidden here, and shown again when handed back.
    void SetDrawnByBackdrop(bool backdrop) override { SetVisible(!backdrop); }

  private:
    Bytes image_;
};

class Edit final : public Base<EditWidget> {
  public:
    using Base::Base;
    void SetPasswordChar(char32_t) override {}
    void SetHint(const std::string& hint, const FontSpec&) override { hint_ = hint; }
    std::string Hint() const override { return hint_; }
    bool Focused() const override { return FocusedWidget() == static_cast<const HeadlessWidget*>(this); }

  private:
    std::string hint_;
};

class Tree final : public Base<TreeWidget> {
  public:
    using Base::Base;
    void BeginUpdate() override {}
    void EndUpdate() override {}
    void Clear() override {
        nodes_.clear();
        top_ = selected_ = -1;
    }
    int AddRoot(const std::string& text) override { return Add(-1, text); }
    int AddChild(int parent, const std::string& text) override { return Valid(parent) ? Add(parent, text) : -1; }
    void ExpandAll() override {}
    int NodeCount() const override { return static_cast<int>(nodes_.size()); }
    std::string NodeText(int node) const override { return Valid(node) ? nodes_[node].text : std::string(); }
    int NodeParent(int node) const override { return Valid(node) ? nodes_[node].parent : -1; }
    void SetTopItem(int node) override {
        if (Valid(node)) top_ = node;
    }
    int TopItem() const override { return top_ >= 0 ? top_ : (nodes_.empty() ? -1 : 0); }
    void Select(int node) override {
        selected_ = Valid(node) ? node : -1;
        if (events_.on_change) events_.on_change();
    }
    int Selected() const override { return selected_; }
    // Rows of 16 pixels from the top item, every node expanded.
    int NodeAt(int x, int y) const override {
        if (x < 0 || y < 0) return -1;
        const int row = TopItem() + y / 16;
        return row >= 0 && row < NodeCount() ? row : -1;
    }
    void SetNodeStyler(std::function<std::optional<NodeStyle>(int, bool)> styler) override {
        styler_ = std::move(styler);
    }
    void SetSelectionFilter(std::function<bool(int)> allow) override { filter_ = std::move(allow); }

    bool UserSelect(int node) {
        if (!Valid(node)) return false;
        if (filter_ && !filter_(node)) return false;
        Select(node);
        return true;
    }
    std::optional<NodeStyle> Style(int node) const {
        if (!styler_ || !Valid(node)) return std::nullopt;
        return styler_(node, node == selected_);
    }

  private:
    struct Node {
        int parent;
        std::string text;
    };
    bool Valid(int node) const { return node >= 0 && node < NodeCount(); }
    int Add(int parent, const std::string& text) {
        nodes_.push_back({parent, text});
        return NodeCount() - 1;
    }

    std::vector<Node> nodes_;
    int top_ = -1, selected_ = -1;
    std::function<std::optional<NodeStyle>(int, bool)> styler_;
    std::function<bool(int)> filter_;
};

class Combo final : public Base<ComboWidget> {
  public:
    using Base::Base;
    void SetItems(std::vector<std::string> items) override {
        items_ = std::move(items);
        index_ = -1;
    }
    std::vector<std::string> Items() const override { return items_; }
    void SetItemIndex(int index) override {
        index_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
    }
    int ItemIndex() const override { return index_; }
    std::string Text() const override { return index_ >= 0 ? items_[index_] : std::string(); }
    void SetDroppedDown(bool dropped) override { dropped_ = dropped; }
    bool DroppedDown() const override { return dropped_; }
    void SetFlat(bool) override {}
    void SetButtonPicture(Bytes) override {}
    void SetDropDownCount(int) override {}

  private:
    std::vector<std::string> items_;
    int index_ = -1;
    bool dropped_ = false;
};

class Progress final : public Base<ProgressWidget> {
  public:
    using Base::Base;
    void SetRange(int minimum, int maximum) override {
        min_ = minimum;
        max_ = std::max(minimum, maximum);
        SetPosition(position_);
    }
    void SetPosition(int position) override { position_ = std::clamp(position, min_, max_); }
    int Position() const override { return position_; }
    int Minimum() const override { return min_; }
    int Maximum() const override { return max_; }
    void SetStyle(ProgressStyle, std::optional<Rgb>, std::optional<Rgb>, std::optional<Rgb>) override {}

  private:
    int min_ = 0, max_ = 100, position_ = 0;
};

class Browser final : public Base<BrowserWidget> {
  public:
    using Base::Base;
    bool Available() const override { return true; }
    void Navigate(const std::string& url) override { location_ = url; }
    std::string Location() const override { return location_; }

  private:
    std::string location_;
};

class FlatButton final : public Base<FlatButtonWidget> {
  public:
    using Base::Base;
};

class CheckBox final : public Base<CheckBoxWidget> {
  public:
    using Base::Base;
    void SetChecked(bool checked) override { checked_ = checked; }
    bool Checked() const override { return checked_; }
    void OnClick() override {
        checked_ = !checked_;
        HeadlessWidget::OnClick();
    }

  private:
    bool checked_ = false;
};

class PushButton final : public Base<PushButtonWidget> {
  public:
    using Base::Base;
    void SetModalResult(ModalResult result) override { result_ = result; }
    void SetDefault(bool) override {}
    void SetCancel(bool) override {}
    void OnClick() override {
        HeadlessWidget::OnClick();
        if (result_ != ModalResult::None) form().EndModal(result_);
    }

  private:
    ModalResult result_ = ModalResult::None;
};

class Bevel final : public Base<BevelWidget> {
  public:
    using Base::Base;
};

HeadlessWidget* Internal(const Widget& widget) { return dynamic_cast<HeadlessWidget*>(const_cast<Widget*>(&widget)); }

template <typename Kind>
std::unique_ptr<Kind> Make(Form& form, WidgetEvents events) {
    return std::make_unique<Kind>(form, std::move(events));
}

}  // namespace

std::unique_ptr<ImageButtonWidget> CreateImageButton(Form& f, WidgetEvents e) { return Make<ImageButton>(f, e); }
std::unique_ptr<LabelWidget> CreateLabel(Form& f, WidgetEvents e) { return Make<Label>(f, e); }
std::unique_ptr<ImageWidget> CreateImage(Form& f, WidgetEvents e) { return Make<Image>(f, e); }
std::unique_ptr<EditWidget> CreateEdit(Form& f, WidgetEvents e) { return Make<Edit>(f, e); }
std::unique_ptr<TreeWidget> CreateTree(Form& f, WidgetEvents e) { return Make<Tree>(f, e); }
std::unique_ptr<ComboWidget> CreateCombo(Form& f, WidgetEvents e) { return Make<Combo>(f, e); }
std::unique_ptr<ProgressWidget> CreateProgress(Form& f, WidgetEvents e) { return Make<Progress>(f, e); }
std::unique_ptr<BrowserWidget> CreateBrowser(Form& f, WidgetEvents e) { return Make<Browser>(f, e); }
std::unique_ptr<FlatButtonWidget> CreateFlatButton(Form& f, WidgetEvents e) { return Make<FlatButton>(f, e); }
std::unique_ptr<CheckBoxWidget> CreateCheckBox(Form& f, WidgetEvents e) { return Make<CheckBox>(f, e); }
std::unique_ptr<PushButtonWidget> CreatePushButton(Form& f, WidgetEvents e) { return Make<PushButton>(f, e); }
std::unique_ptr<BevelWidget> CreateBevel(Form& f, WidgetEvents e) { return Make<Bevel>(f, e); }

void HeadlessClick(Widget& widget) {
    if (auto* w = Internal(widget); w && w->usable()) w->OnClick();
}

void HeadlessMouseDown(Widget& widget, int x, int y) {
    auto* w = Internal(widget);
    if (w && w->usable() && w->events().on_mouse_down) w->events().on_mouse_down(x, y);
}

void HeadlessMouseEnter(Widget& widget) {
    auto* w = Internal(widget);
    if (w && w->usable() && w->events().on_mouse_enter) w->events().on_mouse_enter();
}

void HeadlessMouseLeave(Widget& widget) {
    auto* w = Internal(widget);
    if (w && w->usable() && w->events().on_mouse_leave) w->events().on_mouse_leave();
}

void HeadlessFocus(Widget& widget) {
    auto* w = Internal(widget);
    if (!w || !w->usable() || FocusedWidget() == w) return;
    if (HeadlessWidget* old = FocusedWidget(); old && old->events().on_focus_exit) {
        FocusedWidget() = nullptr;
        old->events().on_focus_exit();
    }
    FocusedWidget() = w;
    if (w->events().on_focus_enter) w->events().on_focus_enter();
}

void HeadlessType(Widget& edit, const std::string& text) {
    auto* w = Internal(edit);
    if (!w || !w->usable()) return;
    std::string typed = text;
    std::erase_if(typed, [](char c) { return c == '\r' || c == '\n'; });
    edit.SetText(typed);
    if (w->events().on_change) w->events().on_change();
}

bool HeadlessUserSelect(Widget& list, int index) {
    auto* w = Internal(list);
    if (!w || !w->usable()) return false;
    if (auto* tree = dynamic_cast<Tree*>(&list)) return tree->UserSelect(index);
    if (auto* combo = dynamic_cast<Combo*>(&list)) {
        combo->SetItemIndex(index);
        if (w->events().on_change) w->events().on_change();
        return combo->ItemIndex() == index;
    }
    return false;
}

std::optional<TreeWidget::NodeStyle> HeadlessNodeStyle(TreeWidget& tree, int node) {
    auto* t = dynamic_cast<Tree*>(&tree);
    return t ? t->Style(node) : std::nullopt;
}

bool HeadlessHintShown(const EditWidget& edit) {
    return !edit.Focused() && edit.Text().empty() && !edit.Hint().empty();
}

std::string HeadlessLastNavigation(const BrowserWidget& browser) { return browser.Location(); }

}  // namespace orlo::platform
