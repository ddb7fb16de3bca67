// Hints as tooltips. One tooltip serves every windowed control of the
// user-interface thread. It asks for a control's hint only when the tip is
// about to show, so a hint changed since (an action's, say) is the one the
// user reads, and an empty hint shows nothing.
#pragma once

#include <windows.h>

namespace cv {

// Shows the hint of the toolkit control that the window is, or failing that
// of the nearest parent window that is one: a system control's inner window
// (the field of an editable combo box) shows its control's hint.
void AddHintWindow(HWND window);
// Forgets the control's window and the inner windows added for it. Called
// before they are destroyed: the tooltip's hold on a window has to be let go
// of while the window is still there.
void RemoveHintWindows(HWND window);

} // namespace cv
