#include "tests/toolkit/TestBackend.h"

#include "platform/toolkit/win32/Win32Backend.h"

namespace varnak::test {

std::unique_ptr<toolkit::Backend> MakeTestBackend() {
    return std::make_unique<toolkit::win32::Win32Backend>();
}

} // namespace varnak::test
