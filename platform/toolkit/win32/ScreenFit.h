#pragma once

#include <windows.h>

namespace varnak::toolkit::win32 {

// Where a dialog goes on a screen too small for it: the design's layout at the current font
// and DPI may be larger than the work area, and then the client scrolls instead of running
// off the screen, so that every control stays reachable.
struct ScreenFit {
    RECT Window{};        // the window's place, in screen coordinates
    bool VScroll = false; // the client gets a vertical scroll bar
    bool HScroll = false;
};

// The place for a window whose client needs content, inside a frame of frame (the
// non-client width and height), with scroll bars of bars (a vertical bar's width and a
// horizontal bar's height): centred in the work area, and no larger than it.
ScreenFit FitToWorkArea(SIZE content, SIZE frame, SIZE bars, const RECT& work);

} // namespace varnak::toolkit::win32
