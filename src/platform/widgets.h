// Child controls of a form: what the skin and the dialogs are built from. Win32: real child
// windows drawn the way a skinned launcher looks; headless: in-memory state that tests read and
// drive (platform/headless_widgets.h). Texts are UTF-8; pictures are image file bytes.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codec/bytes.h"
#include "platform/forms.h"

namespace orlo::platform {

struct WidgetEvents {
    std::function<void()> on_click;
    std::function<void(int x, int y)> on_mouse_down;  // left button, client coordinates of the widget
    std::function<void()> on_mouse_enter;
    std::function<void()> on_mouse_leave;
    std::function<void()> on_focus_enter;
    std::function<void()> on_focus_exit;
    std::function<void()> on_change;  // edit text, tree selection, combo selection
};

enum class Cursor { Default, Hand };

// Later widgets of a form lie above earlier ones.
class Widget {
  public:
    virtual ~Widget() = default;
    virtual WindowHandle Handle() const = 0;
    // The skin's name of the control; readable from outside the process (tests, probes).
    virtual void SetName(const std::string& name) = 0;
    virtual void SetBounds(Bounds bounds) = 0;
    virtual Bounds GetBounds() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    // Caption of buttons and labels, an edit's text.
    virtual void SetText(const std::string& text) = 0;
    virtual std::string Text() const = 0;
    virtual void SetFont(const FontSpec& font) = 0;
    virtual FontSpec Font() const = 0;
    // Background; none = transparent where the kind can be (labels, image buttons), else the
    // platform's default.
    virtual void SetColor(std::optional<Rgb> color) = 0;
    virtual std::optional<Rgb> Color() const = 0;
    virtual void SetCursor(Cursor cursor) = 0;
    virtual void Focus() = 0;
};

// Paints one of four pictures by state (normal, mouse over, pressed, disabled); an empty
// picture falls back to the normal one. Click on release inside.
class ImageButtonWidget : public Widget {
  public:
    struct Pictures {
        Bytes normal, hot, down, disabled;
    };
    virtual void SetPictures(Pictures pictures) = 0;
};

enum class TextAlignment { Left, Center, Right };

class LabelWidget : public Widget {
  public:
    virtual void SetAlignment(TextAlignment alignment) = 0;
};

// A picture; GIFs animate.
class ImageWidget : public Widget {
  public:
    struct Layout {
        bool stretch = false, proportional = false, center = false;
    };
    virtual void SetPicture(Bytes image, Layout layout) = 0;
    // The picture's own pixel size; none when it holds no picture or the bytes are no image.
    virtual std::optional<std::pair<int, int>> PictureSize() const = 0;
    // Hidden here because the backdrop window draws it; controls above it still blend with it.
    virtual void SetDrawnByBackdrop(bool backdrop) = 0;
};

// One line, vertically centred; Enter is swallowed. A grey hint shows while the text is empty
// and the edit unfocused.
class EditWidget : public Widget {
  public:
    virtual void SetPasswordChar(char32_t character) = 0;  // 0: plain text
    virtual void SetHint(const std::string& hint, const FontSpec& font) = 0;
    virtual std::string Hint() const = 0;
    virtual bool Focused() const = 0;
};

// Read-only tree, selection shown when unfocused, no root lines, no border. Node ids are the
// tree's own and stay valid until Clear; -1 is none.
class TreeWidget : public Widget {
  public:
    struct NodeStyle {
        Rgb color;
        bool bold = false;
    };
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual void Clear() = 0;
    virtual int AddRoot(const std::string& text) = 0;
    virtual int AddChild(int parent, const std::string& text) = 0;
    virtual void ExpandAll() = 0;
    virtual int NodeCount() const = 0;
    virtual std::string NodeText(int node) const = 0;
    virtual int NodeParent(int node) const = 0;
    virtual void SetTopItem(int node) = 0;
    virtual int TopItem() const = 0;
    virtual void Select(int node) = 0;
    virtual int Selected() const = 0;
    virtual int NodeAt(int x, int y) const = 0;
    // Asked before each node is drawn; none keeps the tree's own look.
    virtual void SetNodeStyler(std::function<std::optional<NodeStyle>(int node, bool selected)> styler) = 0;
    // Asked before the user's selection moves to `node`; false keeps the old selection.
    virtual void SetSelectionFilter(std::function<bool(int node)> allow) = 0;
};

// Drop-down list with owner-drawn entries. Flat (not Ctl3D): a one-pixel frame of RGB 7F 9D B9
// and the button picture stretched over the drop button's place.
class ComboWidget : public Widget {
  public:
    virtual void SetItems(std::vector<std::string> items) = 0;
    virtual std::vector<std::string> Items() const = 0;
    virtual void SetItemIndex(int index) = 0;  // outside the entries: none
    virtual int ItemIndex() const = 0;
    virtual void SetDroppedDown(bool dropped) = 0;
    virtual bool DroppedDown() const = 0;
    virtual void SetFlat(bool flat) = 0;
    virtual void SetButtonPicture(Bytes image) = 0;
    virtual void SetDropDownCount(int count) = 0;
};

enum class ProgressStyle { Blue, Red, Green, Color, Custom };

// Glass-look progress bar.
class ProgressWidget : public Widget {
  public:
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
    virtual int Minimum() const = 0;
    virtual int Maximum() const = 0;
    // The bar colour is used by Color and Custom; none keeps the defaults.
    virtual void SetStyle(ProgressStyle style,
                          std::optional<Rgb> bar,
                          std::optional<Rgb> background,
                          std::optional<Rgb> border) = 0;
};

// The system's embedded web browser: silent (no script error dialogs), no new windows. Where the
// system has none it is an empty area and Navigate does nothing.
class BrowserWidget : public Widget {
  public:
    virtual bool Available() const = 0;
    virtual void Navigate(const std::string& url) = 0;
    virtual std::string Location() const = 0;
};

// A flat caption button.
class FlatButtonWidget : public Widget {};

class CheckBoxWidget : public Widget {
  public:
    virtual void SetChecked(bool checked) = 0;
    virtual bool Checked() const = 0;
};

// A push button of a dialog; one with a modal result ends the form's modal run with it.
class PushButtonWidget : public Widget {
  public:
    virtual void SetModalResult(ModalResult result) = 0;
    virtual void SetDefault(bool is_default) = 0;  // Enter presses it
    virtual void SetCancel(bool is_cancel) = 0;    // Escape presses it
};

// A sunken line.
class BevelWidget : public Widget {};

std::unique_ptr<ImageButtonWidget> CreateImageButton(Form& form, WidgetEvents events);
std::unique_ptr<LabelWidget> CreateLabel(Form& form, WidgetEvents events);
std::unique_ptr<ImageWidget> CreateImage(Form& form, WidgetEvents events);
std::unique_ptr<EditWidget> CreateEdit(Form& form, WidgetEvents events);
std::unique_ptr<TreeWidget> CreateTree(Form& form, WidgetEvents events);
std::unique_ptr<ComboWidget> CreateCombo(Form& form, WidgetEvents events);
std::unique_ptr<ProgressWidget> CreateProgress(Form& form, WidgetEvents events);
std::unique_ptr<BrowserWidget> CreateBrowser(Form& form, WidgetEvents events);
std::unique_ptr<FlatButtonWidget> CreateFlatButton(Form& form, WidgetEvents events);
std::unique_ptr<CheckBoxWidget> CreateCheckBox(Form& form, WidgetEvents events);
std::unique_ptr<PushButtonWidget> CreatePushButton(Form& form, WidgetEvents events);
std::unique_ptr<BevelWidget> CreateBevel(Form& form, WidgetEvents events);

// Whether picture bytes decode as an image the platform can draw; the pixel size when they do.
std::optional<std::pair<int, int>> ImageSize(ByteView image);

}  // namespace orlo::platform
