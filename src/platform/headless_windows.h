// What tests read back from the headless windows and how they act as the user (Linux build
// only; Windows has real ones).
#pragma once
#include <functional>
#include <optional>
#include <vector>

#include "platform/forms.h"
#include "platform/windows_list.h"

namespace orlo::platform {

// The window BringWindowToFront last acted on; 0 before any, or once that window is gone.
WindowHandle HeadlessFrontWindow();

// Whether the form was minimised and not shown again since.
bool HeadlessMinimized(WindowHandle window);

// The user closes the window: its close event runs when it has one, otherwise it hides.
void HeadlessClose(WindowHandle window);

// Stacking: a higher number lies above a lower one (raised by showing and BringToFront).
int HeadlessZOrder(WindowHandle window);
std::optional<Rgb> HeadlessTransparentColor(WindowHandle window);
// What ShowLayeredImages last showed; empty before.
std::vector<LayeredImage> HeadlessLayeredImages(WindowHandle window);
bool HeadlessUpdatesLocked(WindowHandle window);
// How many drags the form started, by kind.
int HeadlessDragRequests(WindowHandle window, bool by_caption);

// The user drags the form by (dx, dy): it moves, then on_moved and (for a move the form
// started through BeginDrag(false)) on_drag_end run.
void HeadlessDragBy(WindowHandle window, int dx, int dy);
void HeadlessMouseDownOnForm(WindowHandle window, int x, int y);
void HeadlessActivateApp(WindowHandle window);
// The font a form gives the widgets made on it.
FontSpec HeadlessFormFont(WindowHandle window);

// Decides what the user does in a modal form: called by ShowModal with the form, returns how it
// closes. Without a handler ShowModal closes with Cancel at once.
void HeadlessSetModalHandler(std::function<ModalResult(Form&)> handler);

}  // namespace orlo::platform
