#pragma once

// POSIX only: file permissions are tested by a process that they actually stop.

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace varnak::test {

// Who a child process runs as. The kernel needs no account for an id, so a test can make up
// users and a group of its own.
struct Identity {
    uid_t User;
    gid_t Group;
    std::vector<gid_t> OtherGroups = {};
    mode_t Umask = 022;
};

inline constexpr uid_t Nobody = 65534;

// Runs check in a child process, as the unprivileged user "nobody" when we are root (file
// permissions stop no write of root's). GoogleTest assertions made in the child never
// reach the parent, so the child reports its findings as text instead: empty when all was
// as expected. A child that hangs is ended after a minute and reported.
std::string InChildWithoutPrivileges(const std::function<std::string()>& check);

// The same as a given identity; only root can take one, so the caller skips otherwise.
std::string InChildAs(const Identity& identity, const std::function<std::string()>& check);

// The same as ourselves: for what could hang or crash the test process.
std::string InChild(const std::function<std::string()>& check);

} // namespace varnak::test
