// What building the process-wide Module costs the thread that builds it, with the real tables
// of build/dist in its installation folder. The background table load is waited for outside the
// timing; so is the first key, which reads the code hints.
#include "bench_support.h"
#include "core/module.h"
#include "platform/shared_memory.h"
#include "platform/shared_section_name.h"

#include <benchmark/benchmark.h>

namespace tovi {
namespace {

// The real tables in a folder of the benchmark's own, and a shared section of its own.
struct Setting {
    Setting() {
        platform::SharedMemory::removeName(kSection);
        platform::setSharedSectionName(kSection);
    }
    ~Setting() {
        platform::setSharedSectionName(u"tovi.VemoraH");
        platform::SharedMemory::removeName(kSection);
    }
    std::unique_ptr<Module> build() {
        return std::make_unique<Module>(host, folder.installFolder(), 1);
    }

    static constexpr char16_t kSection[] = u"tovi-attach-bench";
    const bench::DistFolder folder{"tovi-attach-bench",
                                   {"toviwb.mb", "tovipy.mb", "codePyMain.pmt", "deduSPNum.pi"}};
    bench::QuietHost host;
};

void ModuleBuild(benchmark::State& state) {
    Setting setting;
    for (auto _ : state) {
        auto module = setting.build();
        state.PauseTiming();
        module->codeTableLoader().waitIdle();
        module.reset();
        state.ResumeTiming();
    }
}
// A fixed count: every iteration also waits, untimed, for the background table load.
BENCHMARK(ModuleBuild)->Unit(benchmark::kMillisecond)->Iterations(200);

// The per-scheme tables the build no longer reads, at their first use: the code hints at the
// first key of the keypad scheme, the character code map at the first word proposal.
template <typename FirstUse>
void timeFirstUse(benchmark::State& state, FirstUse firstUse) {
    Setting setting;
    for (auto _ : state) {
        state.PauseTiming();
        auto module = setting.build();
        module->codeTableLoader().waitIdle();
        state.ResumeTiming();
        firstUse(*module);
        state.PauseTiming();
        module.reset();
        state.ResumeTiming();
    }
}

void FirstCodeHint(benchmark::State& state) {
    timeFirstUse(state, [](Module& m) { benchmark::DoNotOptimize(m.currentCodeHint(u"1")); });
}
BENCHMARK(FirstCodeHint)->Unit(benchmark::kMillisecond)->Iterations(50);

void FirstWordProposal(benchmark::State& state) {
    timeFirstUse(state, [](Module& m) { benchmark::DoNotOptimize(m.proposeWordCode(u"中国")); });
}
BENCHMARK(FirstWordProposal)->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace
} // namespace tovi
