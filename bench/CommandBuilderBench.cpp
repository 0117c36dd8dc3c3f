#include "core/CommandBuilder.h"

#include <benchmark/benchmark.h>

namespace varnak {
namespace {

// Alternating separation sheets and modifications exercise both kinds of page group.
void BM_BuildDocumentMode(benchmark::State& state) {
    JobSettings settings;
    const auto count = static_cast<std::uint32_t>(state.range(0));
    for (std::uint32_t page = 1; page <= count; ++page) {
        settings.AddPageEntry({.Page = page, .FormOverlay = page % 2 ? 0u : 12u});
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildCommandString(settings, true));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_BuildChapterMode(benchmark::State& state) {
    JobSettings settings;
    settings.SetSepPageAfterCopySetOnly(true);
    const auto count = static_cast<std::uint32_t>(state.range(0));
    for (std::uint32_t chapter = 1; chapter <= count; ++chapter) {
        settings.AddChapterEntry(
            {.LastPage = chapter * 10, .CopyCount = 2, .FormOverlay = chapter % 2 ? 0u : 15u});
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildCommandString(settings, false));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_BuildDocumentMode)->Arg(10)->Arg(1000)->Arg(100000)->Arg(1000000);
BENCHMARK(BM_BuildChapterMode)->Arg(10)->Arg(1000)->Arg(100000)->Arg(1000000);

} // namespace
} // namespace varnak
