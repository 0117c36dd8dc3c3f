#include "core/JobSettings.h"
#include "core/NumberText.h"
#include "platform/registry/FileRegistry.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/headless/HeadlessBackend.h"
#include "ui/COptionsDlg.h"
#include "ui/ControlIds.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace varnak {
namespace {

// "first,first+1,...": count page numbers.
std::string PageNumbers(std::uint32_t first, std::uint32_t count) {
    std::string text;
    for (std::uint32_t page = first; page < first + count; ++page) {
        if (!text.empty()) {
            text += ',';
        }
        AppendUnsigned(text, page);
    }
    return text;
}

struct PageIds {
    int Tab;
    int List;
    int Numbers;
    int Apply;
    int Delete;
};

// One Apply of n page numbers onto a list that already holds n entries: half of the numbers
// update existing entries, half create new ones. Only the Apply is timed; between Applies
// the new entries are deleted again from the end, so that every Apply meets the same list
// and the heap stays as it is.
void ApplyOnFullList(benchmark::State& state, const PageIds& page) {
    const auto count = static_cast<std::uint32_t>(state.range(0));
    const std::string existing = PageNumbers(1, count);
    const std::string applied = PageNumbers(count / 2 + 1, count);
    // No registry file: nothing loaded, no overlays; the dialog never saves.
    platform::FileRegistry registry(std::filesystem::temp_directory_path() /
                                    "varnak-bench-no-registry.reg");
    const std::string commandLine;
    toolkit::headless::ScriptedHeadlessBackend backend;
    JobSettings settings;
    COptionsDlg dialog(backend.Get(), registry, &settings, commandLine);
    const auto entries = [&] {
        return page.Tab == 0 ? settings.ChapterEntryCount() : settings.PageEntryCount();
    };
    backend.SetUser([&](toolkit::Driver& user) {
        user.SelectTab(page.Tab);
        user.Type(page.Numbers, existing);
        user.Click(page.Apply);
        user.Type(page.Numbers, applied);
        for (auto _ : state) {
            user.Click(page.Apply);
            state.PauseTiming();
            if (entries() != count + count / 2) {
                state.SkipWithError("Apply did not update and create as expected");
                break;
            }
            // The new entries' rows are the last ones (the chapter page's "Last" row aside).
            for (std::uint32_t row = count + count / 2; row-- > count;) {
                user.SelectRow(page.List, static_cast<int>(row));
                user.Click(page.Delete);
            }
            state.ResumeTiming();
        }
    });
    dialog.DoModal();
    if (entries() != count) {
        state.SkipWithError("Delete did not restore the list");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_DocumentPageApply(benchmark::State& state) {
    ApplyOnFullList(state, {3, ids::IDC_PAGE_LIST, ids::IDC_PAGE_NUMBERS, ids::IDC_PAGE_APPLY,
                            ids::IDC_PAGE_DELETE});
}

void BM_ChapterPageApply(benchmark::State& state) {
    ApplyOnFullList(state, {0, ids::IDC_CHAPTER_LIST, ids::IDC_CHAPTER_PAGE_NUMBERS,
                            ids::IDC_CHAPTER_APPLY, ids::IDC_CHAPTER_DELETE});
}

BENCHMARK(BM_DocumentPageApply)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChapterPageApply)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace varnak
