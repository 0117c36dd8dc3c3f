#pragma once

// POSIX only: file permissions are tested by a process that they actually stop.

#include <functional>
#include <string>

namespace varnak::test {

// Runs check in a child process, as the unprivileged user "nobody" when we are root (file
// permissions stop no write of root's). GoogleTest assertions made in the child never
// reach the parent, so the child reports its findings as text instead: empty when all was
// as expected.
std::string InChildWithoutPrivileges(const std::function<std::string()>& check);

} // namespace varnak::test
