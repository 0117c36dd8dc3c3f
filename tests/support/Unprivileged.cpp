#include "tests/support/Unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnak::test {

std::string InChildWithoutPrivileges(const std::function<std::string()>& check) {
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
        std::string findings;
        constexpr uid_t Nobody = 65534;
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)) {
            findings = "cannot drop privileges";
        } else {
            findings = check();
        }
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
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        findings += " child failed";
    }
    return findings;
}

} // namespace varnak::test
