#include "tests/toolkit/TestBackend.h"

#include "platform/toolkit/win32/Win32Driver.h"

namespace varnak::test {

std::unique_ptr<toolkit::ScriptedBackend> MakeTestBackend() {
    return std::make_unique<toolkit::win32::ScriptedWin32Backend>();
}

} // namespace varnak::test
