// The builder and the decoder side by side with copying a buffer of the ticket's size, the
// least any builder must do: allocate the result and write each of its bytes once. After the
// usual table, the builder/copy and decoder/copy ratios per mode and size.
#include "core/CommandBuilder.h"
#include "core/TicketEnvelope.h"
#include "explain/TicketDecoder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace varnak {
namespace {

constexpr std::int64_t Sizes[] = {1000, 100000, 1000000};

// Alternating separation sheets and modifications exercise both kinds of page group.
JobSettings DocumentJob(std::uint32_t entries) {
    JobSettings settings;
    for (std::uint32_t page = 1; page <= entries; ++page) {
        settings.AddPageEntry({.Page = page, .FormOverlay = page % 2 ? 0u : 12u});
    }
    return settings;
}

// Every other chapter has a separator page, each with its copy-set separator.
JobSettings ChapterJob(std::uint32_t entries) {
    JobSettings settings;
    settings.SetSepPageAfterCopySetOnly(true);
    for (std::uint32_t chapter = 1; chapter <= entries; ++chapter) {
        settings.AddChapterEntry(
            {.LastPage = chapter * 10, .CopyCount = 2, .FormOverlay = chapter % 2 ? 0u : 15u});
    }
    return settings;
}

JobSettings Job(bool documentMode, std::int64_t entries) {
    const auto count = static_cast<std::uint32_t>(entries);
    return documentMode ? DocumentJob(count) : ChapterJob(count);
}

void Build(benchmark::State& state, bool documentMode) {
    const JobSettings settings = Job(documentMode, state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildCommandString(settings, documentMode));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Decode(benchmark::State& state, bool documentMode) {
    const std::string ticket =
        TicketEnvelope::Wrap(BuildCommandString(Job(documentMode, state.range(0)), documentMode));
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeTicket(ticket));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ticket.size()));
}

void Copy(benchmark::State& state, bool documentMode) {
    const std::string ticket =
        TicketEnvelope::Wrap(BuildCommandString(Job(documentMode, state.range(0)), documentMode));
    for (auto _ : state) {
        auto copy = std::make_unique_for_overwrite<char[]>(ticket.size());
        std::memcpy(copy.get(), ticket.data(), ticket.size());
        benchmark::DoNotOptimize(copy.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ticket.size()));
}

// Keeps each run's processor time by name and prints the ratios once every run is done.
// Processor time, not elapsed time, so that other work on the machine counts less.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With --benchmark_repetitions the median, which comes after the runs, is kept.
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                times_[run.run_name.function_name + "/" + run.run_name.args] =
                    run.GetAdjustedCPUTime();
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-10s %10s %12s %12s\n", "mode", "entries", "build/copy", "decode/copy");
        for (const char* mode : {"document", "chapter"}) {
            for (std::int64_t size : Sizes) {
                const std::string suffix = std::string(mode) + "/" + std::to_string(size);
                const auto copy = times_.find("copy/" + suffix);
                if (copy == times_.end() || !times_.count("build/" + suffix) ||
                    !times_.count("decode/" + suffix)) {
                    continue;
                }
                std::printf("%-10s %10lld %11.2fx %11.2fx\n", mode, static_cast<long long>(size),
                            times_["build/" + suffix] / copy->second,
                            times_["decode/" + suffix] / copy->second);
            }
        }
    }

private:
    std::map<std::string, double> times_;
};

void Register() {
    for (const bool documentMode : {true, false}) {
        const std::string mode = documentMode ? "document" : "chapter";
        for (const auto& [name, function] :
             {std::pair{"build/", &Build}, {"decode/", &Decode}, {"copy/", &Copy}}) {
            auto* benchmark = benchmark::RegisterBenchmark(
                (name + mode).c_str(), [function, documentMode](benchmark::State& state) {
                    function(state, documentMode);
                });
            benchmark->Unit(benchmark::kMillisecond);
            for (std::int64_t size : Sizes) {
                benchmark->Arg(size);
            }
        }
    }
}

} // namespace
} // namespace varnak

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    varnak::Register();
    varnak::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
