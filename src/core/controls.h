// The controller reaches the window's controls only through these interfaces, so the same
// logic drives real Win32 controls and the in-memory ones of the headless backend. Texts are
// UTF-8.
#pragma once
#include <string>
#include <vector>

namespace orlo {

class IControl {
  public:
    virtual ~IControl() = default;
    // The skin's class name of the control, e.g. "TuResolutionCombobox".
    virtual std::string ClassName() const = 0;
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
};

// A form's components in creation order. The container keeps ownership.
class IComponentContainer {
  public:
    virtual ~IComponentContainer() = default;
    virtual int ComponentCount() const = 0;
    virtual IControl* Component(int index) const = 0;
};

}  // namespace orlo
