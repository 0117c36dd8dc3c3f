// The registry file at the sizes and shapes that shared machines meet: one job and one save
// on a large file beside reading its bytes, and the hostile shapes that once cost quadratic
// time or memory (a deep key path, a long run of blank lines, a long hex value behind a long
// name), each with its peak memory.
#include "bench/BenchSupport.h"
#include "core/JobSettings.h"
#include "platform/registry/FileRegistry.h"
#include "platform/registry/RegFile.h"
#include "store/SettingsStore.h"

#include <benchmark/benchmark.h>

namespace varnak {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file of range(0) keys, as a full export of a machine's registry has.
std::string LargeFile(std::int64_t keys) {
    std::string text = "REGEDIT4\r\n";
    for (std::int64_t i = 0; i < keys; ++i) {
        text += "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor" + std::to_string(i % 97) + "\\Product" +
                std::to_string(i) + "]\r\n\"Version\"=\"1.0\"\r\n\"Installed\"=dword:00000001\r\n";
    }
    return text;
}

// One job's registry traffic, from a fresh start as every job is: Load, the five overlay
// lookups of the dialog and its pages, and the Save after OK.
void Job(const fs::path& file) {
    platform::FileRegistry registry(file);
    SettingsStore store(registry);
    JobSettings settings;
    store.Load(settings);
    for (int page = 0; page < 5; ++page) {
        std::unique_ptr<platform::RegistryKey> key;
        registry.OpenKey("SOFTWARE\\quet\\quetprint", platform::KeyReadAccess, key);
    }
    settings.SetNumberOfCopies(settings.NumberOfCopies() + 1);
    store.Save(settings);
}

void BM_ReadTheFilesBytes(benchmark::State& state) {
    bench::Scratch scratch;
    const auto file = scratch.Path() / "registry.reg";
    WriteFile(file, LargeFile(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadBytes(file));
    }
    state.counters["keys"] = static_cast<double>(state.range(0));
}

void BM_Job(benchmark::State& state) {
    bench::Scratch scratch;
    const auto file = scratch.Path() / "registry.reg";
    WriteFile(file, LargeFile(state.range(0)));
    for (auto _ : state) {
        Job(file);
    }
    state.counters["keys"] = static_cast<double>(state.range(0));
    state.counters["peak_MiB"] = bench::PeakMiB([&] { Job(file); });
}

// A save alone, as the lock sees it: re-read, merge and replace (the file is another one at
// every save, so it is read and parsed again each time).
void BM_Save(benchmark::State& state) {
    bench::Scratch scratch;
    const auto file = scratch.Path() / "registry.reg";
    WriteFile(file, LargeFile(state.range(0)));
    platform::FileRegistry registry(file);
    SettingsStore store(registry);
    JobSettings settings;
    store.Load(settings);
    for (auto _ : state) {
        settings.SetNumberOfCopies(settings.NumberOfCopies() + 1);
        store.Save(settings);
    }
    state.counters["keys"] = static_cast<double>(state.range(0));
}

// Parsing a hostile file: time, and peak memory once.
void Parse(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform::RegFile::Parse(text));
    }
    state.counters["file_KiB"] = static_cast<double>(text.size()) / 1024;
    state.counters["peak_MiB"] = bench::PeakMiB([&] { (void)platform::RegFile::Parse(text); });
}

// One key line range(0) bytes long: a path of range(0) / 2 levels.
void BM_DeepKeyPath(benchmark::State& state) {
    std::string path = "HKEY_LOCAL_MACHINE";
    while (static_cast<std::int64_t>(path.size()) < state.range(0)) {
        path += "\\a";
    }
    Parse(state, "REGEDIT4\r\n[" + path + "]\r\n");
}

// range(0) MiB of blank lines after the header.
void BM_BlankLines(benchmark::State& state) {
    Parse(state, "REGEDIT4\n" + std::string(static_cast<std::size_t>(state.range(0)) << 20, '\n'));
}

// A hex value behind a 2 MB name, continued over range(0) lines.
void BM_HexContinuations(benchmark::State& state) {
    std::string text = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"" + std::string(2'000'000, 'n') +
                       "\"=hex:00,\\\r\n";
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        text += "  01,\\\r\n";
    }
    text += "  02\r\n";
    Parse(state, text);
}

BENCHMARK(BM_ReadTheFilesBytes)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Job)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepKeyPath)->Arg(60000)->Arg(120000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_BlankLines)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_HexContinuations)->Arg(400000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace varnak
