#pragma once

#include "platform/toolkit/Backend.h"

#include <memory>

namespace varnak::test {

// The backend the behaviour tests run on; each test executable links one definition, so
// that the same test sources run on every backend.
std::unique_ptr<toolkit::Backend> MakeTestBackend();

} // namespace varnak::test
