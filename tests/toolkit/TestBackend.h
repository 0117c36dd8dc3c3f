#pragma once

#include "platform/toolkit/ScriptedBackend.h"

#include <memory>

namespace varnak::test {

// The backend the behaviour tests run on, with the user they play; each test executable
// links one definition, so that the same test sources run on every backend.
std::unique_ptr<toolkit::ScriptedBackend> MakeTestBackend();

} // namespace varnak::test
