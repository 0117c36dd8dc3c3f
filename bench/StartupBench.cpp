#include "app/CVarnakApp.h"
#include "bench/BenchSupport.h"
#include "core/JobSettings.h"
#include "platform/registry/FileRegistry.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/headless/HeadlessBackend.h"
#include "store/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace varnak {
namespace {

using bench::Scratch;

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

BENCHMARK(BM_StartupWithEveryPage)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndSave)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace varnak
