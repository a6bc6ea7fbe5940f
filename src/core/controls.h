// The controller reaches the window's controls only through these interfaces, so the same
// logic drives real Win32 controls and the in-memory ones of the headless backend. Texts are
// UTF-8.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orlo {

class IControl {
  public:
    virtual ~IControl() = default;
    // The skin's class name of the control, e.g. "TuResolutionCombobox".
    virtual std::string ClassName() const = 0;
    // Whether the control is of that kind or derived from it (a skin kind may extend another).
    virtual bool InheritsFrom(std::string_view class_name) const { return ClassName() == class_name; }
    virtual bool Enabled() const { return true; }
    virtual void SetEnabled(bool /*enabled*/) {}
    virtual bool Visible() const { return true; }
    virtual void SetVisible(bool /*visible*/) {}
};

struct TColor {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const TColor&) const = default;
};

class ILabelControl : public IControl {
  public:
    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetFontColor(TColor color) = 0;
    virtual TColor FontColor() const = 0;
};

class IEditControl : public IControl {
  public:
    virtual void SetText(const std::string& text) = 0;
    virtual std::string Text() const = 0;
    // The grey hint shown while the edit is empty.
    virtual void SetHint(const std::string& hint) = 0;
    virtual std::string Hint() const = 0;
};

class IListControl : public IControl {
  public:
    virtual void SetItems(std::vector<std::string> items) = 0;
    virtual std::vector<std::string> Items() const = 0;
    // -1 when no entry is selected.
    virtual int ItemIndex() const = 0;
    // An index outside the entries selects nothing.
    virtual void SetItemIndex(int index) = 0;
    // Empty when no entry is selected.
    virtual std::string SelectedText() const = 0;
    virtual void SetDroppedDown(bool /*dropped*/) {}
    virtual bool DroppedDown() const { return false; }
};

// A two-state switch (the login switch).
class ICheckControl : public IControl {
  public:
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool checked) = 0;
};

class IProgressControl : public IControl {
  public:
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
    virtual int Minimum() const = 0;
    virtual int Maximum() const = 0;
};

// The embedded web page.
class IBrowserControl : public IControl {
  public:
    // The page the skin names for when the server list has been loaded.
    virtual std::string OpenUrl() const = 0;
    virtual void Navigate(const std::string& url) = 0;
};

// The server tree: groups as root nodes, servers under them. Node ids are the tree's own;
// -1 means none.
class ITreeControl : public IControl {
  public:
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual void ClearNodes() = 0;
    virtual int AddRoot(const std::string& text) = 0;
    // `data` is what the node stands for (a server item); the tree does not own it.
    virtual int AddChild(int parent, const std::string& text, void* data) = 0;
    virtual void ExpandAll() = 0;
    virtual int NodeCount() const = 0;
    virtual std::string NodeText(int node) const = 0;
    virtual void* NodeData(int node) const = 0;
    virtual int NodeParent(int node) const = 0;
    virtual void SetTopItem(int node) = 0;
    virtual int TopItem() const = 0;
    virtual void Select(int node) = 0;
    virtual int Selected() const = 0;
    bool Enabled() const override = 0;
};

// A form's components in creation order. The container keeps ownership.
class IComponentContainer {
  public:
    virtual ~IComponentContainer() = default;
    virtual int ComponentCount() const = 0;
    virtual IControl* Component(int index) const = 0;
};

}  // namespace orlo
