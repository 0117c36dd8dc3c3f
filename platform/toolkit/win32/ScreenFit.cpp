#include "platform/toolkit/win32/ScreenFit.h"

#include <algorithm>

namespace varnak::toolkit::win32 {

ScreenFit FitToWorkArea(SIZE content, SIZE frame, SIZE bars, const RECT& work) {
    const LONG workWidth = work.right - work.left;
    const LONG workHeight = work.bottom - work.top;
    ScreenFit fit;
    // Each bar takes room from the other direction, so a second look may need the other.
    for (int pass = 0; pass < 2; ++pass) {
        fit.VScroll = content.cy + frame.cy + (fit.HScroll ? bars.cy : 0) > workHeight;
        fit.HScroll = content.cx + frame.cx + (fit.VScroll ? bars.cx : 0) > workWidth;
    }
    const LONG width = std::min(content.cx + frame.cx + (fit.VScroll ? bars.cx : 0), workWidth);
    const LONG height = std::min(content.cy + frame.cy + (fit.HScroll ? bars.cy : 0), workHeight);
    fit.Window.left = work.left + (workWidth - width) / 2;
    fit.Window.top = work.top + (workHeight - height) / 2;
    fit.Window.right = fit.Window.left + width;
    fit.Window.bottom = fit.Window.top + height;
    return fit;
}

} // namespace varnak::toolkit::win32
