// The gate that lets the threads of a process into the module one at a time, and the module used
// from several threads through it, as the GUI threads of an application use it. Run under
// ThreadSanitizer too, which reports any use of the module's state outside the gate.
#include "core/module.h"
#include "core/module_gate.h"

#include "engine/virtual_keys.h"
#include "platform/shared_memory.h"
#include "platform/shared_section_name.h"
#include "recording_host.h"
#include "tables/code_table_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <map>
#include <thread>
#include <vector>

namespace tovi {
namespace {

using namespace std::chrono_literals;

TEST(ModuleGate, ThreadsEnterOneAtATimeAndAgainOnTheirOwn) {
    ModuleGate gate;
    int inside = 0; // plain ints: only the gate keeps the threads apart
    int total = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                const GateEntry outer(gate, 10s);
                ASSERT_TRUE(outer.entered());
                const GateEntry inner(gate, 0ms); // a call back into the module on one thread
                ASSERT_TRUE(inner.entered());
                EXPECT_EQ(gate.depth(), 2u);
                EXPECT_EQ(++inside, 1);
                ++total;
                --inside;
            }
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(total, 8000);
    EXPECT_EQ(gate.depth(), 0u);
}

TEST(ModuleGate, AThreadThatCannotEnterGivesUpAfterItsWait) {
    ModuleGate gate;
    std::promise<void> held;
    std::promise<void> done;
    std::thread holder([&] {
        const GateEntry entry(gate, 0ms);
        held.set_value();
        done.get_future().wait();
    });
    held.get_future().wait();
    EXPECT_FALSE(gate.enter(20ms));
    EXPECT_EQ(gate.depth(), 0u);
    done.set_value();
    holder.join();
    EXPECT_TRUE(gate.enter(0ms));
    gate.leave();
}

TEST(ModuleGate, AModalLoopLetsOtherThreadsInAndResumesAtItsDepth) {
    ModuleGate gate;
    ASSERT_TRUE(gate.enter(0ms));
    ASSERT_TRUE(gate.enter(0ms));
    bool otherRan = false;
    {
        const ModuleGate::Released loop(gate);
        EXPECT_EQ(gate.depth(), 0u);
        std::thread other([&] {
            const GateEntry entry(gate, 10s);
            otherRan = entry.entered();
        });
        other.join();
    }
    EXPECT_TRUE(otherRan);
    EXPECT_EQ(gate.depth(), 2u);
    // A thread that does not hold the gate releases nothing.
    std::thread outsider([&] {
        const ModuleGate::Released nothing(gate);
        EXPECT_EQ(gate.depth(), 0u);
    });
    outsider.join();
    EXPECT_EQ(gate.depth(), 2u);
    gate.leave();
    gate.leave();
}

// Four GUI threads of one process type their own words through the gate: each context gets its
// own commits and nothing else.
TEST(ModuleThreads, FourThreadsTypingThroughTheGateEachCommitTheirOwnWords) {
    const std::u16string section = u"tovi-test-threads-section";
    platform::SharedMemory::removeName(section);
    platform::setSharedSectionName(section);
    test::TempFolder folder;
    CodeTableData data(CodeTableLayout::Digits);
    ASSERT_EQ(data.append(u"12", u"中"), EntryFault::None);
    ASSERT_EQ(data.append(u"13", u"国"), EntryFault::None);
    ASSERT_EQ(data.append(u"14", u"人"), EntryFault::None);
    ASSERT_EQ(data.append(u"15", u"民"), EntryFault::None);
    folder.write("toviwb.mb", writeCodeTable(data));
    test::RecordingHost host;
    ModuleGate gate;
    std::optional<Module> module;
    {
        const GateEntry entry(gate, 0ms);
        module.emplace(host,
                       platform::InstallFolder(folder.installFolder(), folder.installFolder()), 1);
        module->codeTableLoader().waitIdle();
    }
    const char16_t second[4] = {u'2', u'3', u'4', u'5'};
    constexpr int kWords = 150;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            std::uint8_t keys[256] = {};
            const ContextHandle context = 0x100 + static_cast<ContextHandle>(t);
            const auto tap = [&](unsigned key, char16_t unit) {
                keys[key] = 0x80;
                if (module->processKey(context, KeyEvent{key, 0, 1, keys}))
                    module->toAscii(context, KeyEvent{key, unit, 0, keys});
                keys[key] = 0;
                module->processKey(context, KeyEvent{key, 0, 0xC0000001, keys});
            };
            for (int word = 0; word < kWords; ++word) {
                // The focus is on one thread at a time: a word is typed in one go.
                const GateEntry entry(gate, 10s);
                ASSERT_TRUE(entry.entered());
                tap(vk::Numpad1, u'1');
                tap(vk::Numpad1 + static_cast<unsigned>(second[t] - u'1'), second[t]);
                tap(vk::Numpad0, u'0');
            }
        });
    for (std::thread& t : threads)
        t.join();

    const GateEntry entry(gate, 0ms);
    std::map<ContextHandle, std::vector<std::u16string>> byContext;
    for (std::size_t i = 0; i < host.commits.size(); ++i)
        byContext[host.commitContexts[i]].push_back(host.commits[i]);
    const std::u16string expected[4] = {u"中", u"国", u"人", u"民"};
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(byContext[0x100 + static_cast<ContextHandle>(t)],
                  std::vector<std::u16string>(kWords, expected[t]))
            << "thread " << t;
    }
    EXPECT_EQ(byContext.size(), 4u);
    module.reset();
    platform::setSharedSectionName(u"tovi.VemoraH");
    platform::SharedMemory::removeName(section);
}

} // namespace
} // namespace tovi
