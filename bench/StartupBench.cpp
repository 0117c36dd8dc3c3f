#include "app/CVarnakApp.h"
#include "core/JobSettings.h"
#include "platform/registry/FileRegistry.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/headless/HeadlessBackend.h"
#include "store/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace varnak {
namespace {

// A folder of its own for one benchmark, removed afterwards.
class Scratch {
public:
    Scratch()
        : path_(std::filesystem::temp_directory_path() /
                ("varnak-bench-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~Scratch() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

void SetText(platform::Registry& registry, const std::string& subKey, const std::string& name,
             const std::string& text) {
    std::unique_ptr<platform::RegistryKey> key;
    registry.CreateKey(subKey, platform::KeyReadWriteAccess, key);
    const std::string bytes = text + '\0';
    key->SetValue(name, platform::RegSz, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                  static_cast<std::uint32_t>(bytes.size()));
}

// Start-up to an open dialog, then every page shown once: the dialog and each page list
// the overlay folder themselves, so this is five listings of range(0) overlays.
void BM_StartupWithEveryPage(benchmark::State& state) {
    Scratch scratch;
    const auto overlays = scratch.Path() / "overlays";
    std::filesystem::create_directory(overlays);
    for (int number = 1; number <= state.range(0); ++number) {
        std::ofstream(overlays / (std::to_string(number) + ".mac"));
    }
    platform::FileRegistry registry(scratch.Path() / "registry.reg");
    SetText(registry, "SOFTWARE\\quet\\quetprint", "WorkingDirectory", overlays.string());

    for (auto _ : state) {
        toolkit::headless::ScriptedHeadlessBackend backend;
        backend.SetUser([](toolkit::Driver& user) {
            for (int tab = 1; tab <= 3; ++tab) {
                user.SelectTab(tab);
            }
            user.PressEscape();
        });
        CVarnakApp app(backend.Get(), registry, "-R\"ticket.prn\"");
        app.InitInstance();
    }
    state.counters["pages"] = 5;
}

// One job's worth of registry traffic: Load at start, Save after OK (each save is an
// atomic, synced replace of the registry file).
void BM_LoadAndSave(benchmark::State& state) {
    Scratch scratch;
    platform::FileRegistry registry(scratch.Path() / "registry.reg");
    SettingsStore store(registry);
    JobSettings saved;
    saved.SetLastPageNumbers("5,8,12");
    store.Save(saved);
    for (auto _ : state) {
        JobSettings settings;
        store.Load(settings);
        settings.SetNumberOfCopies(settings.NumberOfCopies() + 1);
        store.Save(settings);
    }
}

// A registry file of range(0) keys, as a full export of a machine's registry has: one job's
// registry traffic, from a fresh start as every job is: Load, the five overlay listings of the
// dialog and its pages, and the Save after OK.
void BM_JobWithALargeRegistryFile(benchmark::State& state) {
    Scratch scratch;
    const auto file = scratch.Path() / "registry.reg";
    {
        std::ofstream out(file, std::ios::binary);
        out << "REGEDIT4\r\n";
        for (int i = 0; i < state.range(0); ++i) {
            out << "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor" << i % 97 << "\\Product" << i
                << "]\r\n\"Version\"=\"1.0\"\r\n\"Installed\"=dword:00000001\r\n";
        }
    }
    for (auto _ : state) {
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
    state.counters["keys"] = static_cast<double>(state.range(0));
}

BENCHMARK(BM_StartupWithEveryPage)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JobWithALargeRegistryFile)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace varnak
