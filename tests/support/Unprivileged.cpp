#include "tests/support/Unprivileged.h"

#include <csignal>
#include <grp.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnak::test {
namespace {

constexpr unsigned WatchdogSeconds = 60;

bool Become(const Identity& identity) {
    ::umask(identity.Umask);
    if (::geteuid() != 0) {
        return identity.User == ::geteuid();
    }
    return ::setgroups(identity.OtherGroups.size(), identity.OtherGroups.data()) == 0 &&
           ::setgid(identity.Group) == 0 && ::setuid(identity.User) == 0;
}

std::string Run(const std::optional<Identity>& identity,
                const std::function<std::string()>& check) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return "no child process";
    }
    if (child == 0) {
        ::close(channel[0]);
        ::alarm(WatchdogSeconds);
        const std::string findings =
            identity && !Become(*identity) ? "cannot become the test's user" : check();
        (void)!::write(channel[1], findings.data(), findings.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string findings;
    char buffer[512];
    ssize_t got;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0) {
        findings.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) {
        findings += " child hung";
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        findings += " child failed";
    }
    return findings;
}

} // namespace

std::string InChildWithoutPrivileges(const std::function<std::string()>& check) {
    return Run(::geteuid() == 0 ? std::optional(Identity{Nobody, Nobody}) : std::nullopt, check);
}

std::string InChildAs(const Identity& identity, const std::function<std::string()>& check) {
    return Run(identity, check);
}

std::string InChild(const std::function<std::string()>& check) { return Run(std::nullopt, check); }

} // namespace varnak::test
