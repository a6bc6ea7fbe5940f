// How tests act as the user on headless widgets (Linux build only).
#pragma once
#include <optional>
#include <string>

#include "platform/widgets.h"

namespace orlo::platform {

// Each acts only on a visible, enabled widget, as a user could.
void HeadlessClick(Widget& widget);
void HeadlessMouseDown(Widget& widget, int x, int y);
void HeadlessMouseEnter(Widget& widget);
void HeadlessMouseLeave(Widget& widget);
// Moves the focus: the focused widget's exit event, then this one's enter event.
void HeadlessFocus(Widget& widget);
// Typing replaces an edit's text; Enter is swallowed as on the real edit.
void HeadlessType(Widget& edit, const std::string& text);
// The user picks a tree node or combo entry; false when the tree's filter refuses.
bool HeadlessUserSelect(Widget& list, int index);

// The style the tree's styler gives the node (drawn selected when it is the selection).
std::optional<TreeWidget::NodeStyle> HeadlessNodeStyle(TreeWidget& tree, int node);
// Whether an edit shows its grey hint now.
bool HeadlessHintShown(const EditWidget& edit);
// Whether a browser navigated somewhere (headless has a browser).
std::string HeadlessLastNavigation(const BrowserWidget& browser);

}  // namespace orlo::platform
