#include "tests/toolkit/TestBackend.h"

#include "platform/toolkit/headless/HeadlessBackend.h"

namespace varnak::test {

std::unique_ptr<toolkit::ScriptedBackend> MakeTestBackend() {
    return std::make_unique<toolkit::headless::ScriptedHeadlessBackend>();
}

} // namespace varnak::test
