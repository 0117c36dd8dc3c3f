#pragma once

// What the benchmarks share: a scratch folder, and the peak memory of a piece of work.

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnak::bench {

// A folder of its own for one benchmark, removed afterwards.
class Scratch {
public:
    Scratch()
        : path_(std::filesystem::temp_directory_path() /
                ("varnak-bench-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~Scratch() { std::filesystem::remove_all(path_); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A figure of /proc/self/status in KiB: VmRSS (resident now) or VmHWM (resident at the peak).
inline long StatusKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string name; status >> name;) {
        long value = 0;
        if (name == field + ":" && status >> value) {
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

// The most memory that work holds at once, in MiB: run once in a child process, whose peak
// resident size is set back to its size before the work (Linux's clear_refs) and read after.
// Linux and glibc only, as the benchmarks are.
inline double PeakMiB(const std::function<void()>& work) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::malloc_trim(0); // so that the work's memory is counted, not reused from ours
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = StatusKiB("VmRSS");
        work();
        const long grown = StatusKiB("VmHWM") - before;
        (void)!::write(channel[1], &grown, sizeof grown);
        ::_exit(0);
    }
    ::close(channel[1]);
    long grown = -1024;
    if (child < 0 || ::read(channel[0], &grown, sizeof grown) != sizeof grown) {
        grown = -1024;
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return static_cast<double>(grown) / 1024.0;
}

} // namespace varnak::bench
