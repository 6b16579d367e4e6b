// The real tovi.ime loaded by processes under Wine: the shared control object counts every process
// that uses the module, and neither attach nor detach reads or writes a file.
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tovi {
namespace {

using wintest::InstallPathValue;
using wintest::ScratchFolder;

// The instance counter sits at offset 4 of the shared control object, which every process that
// uses the module opens, whatever its architecture.
std::uint32_t instanceCounter() {
    const platform::UniqueHandle mapping(
        OpenFileMappingW(FILE_MAP_READ, FALSE, L".VemoraToviImeSharedControl"));
    if (!mapping)
        return 0;
    const auto* words = static_cast<const volatile std::uint32_t*>(
        MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 8));
    if (!words)
        return 0;
    const std::uint32_t counter = words[1];
    UnmapViewOfFile(const_cast<std::uint32_t*>(words));
    return counter;
}

// Child mode: load the module, report the counter as the exit code, unload. With `use` the
// process also calls an export that builds the module, which takes the process's number.
int childMain(bool use) {
    HMODULE module = LoadLibraryW(L"tovi.ime");
    if (!module)
        return 1000;
    if (use) {
        using ImeSelectFn = BOOL(WINAPI*)(HIMC, BOOL);
        const auto imeSelect = reinterpret_cast<ImeSelectFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "ImeSelect")));
        if (!imeSelect || !imeSelect(nullptr, FALSE))
            return 1001;
    }
    const auto counter = static_cast<int>(instanceCounter());
    FreeLibrary(module);
    return counter;
}

class ModuleLoad : public ::testing::Test {
protected:
    ScratchFolder scratch;
    InstallPathValue installPath{scratch.path()};
};

TEST_F(ModuleLoad, TheSharedControlObjectCountsEveryProcess) {
    HMODULE module = LoadLibraryW(L"tovi.ime");
    ASSERT_NE(module, nullptr) << GetLastError();
    // Used here too, so that this process holds the object (and its count) for the children.
    using ImeSelectFn = BOOL(WINAPI*)(HIMC, BOOL);
    const auto imeSelect =
        reinterpret_cast<ImeSelectFn>(reinterpret_cast<void*>(GetProcAddress(module, "ImeSelect")));
    ASSERT_TRUE(imeSelect && imeSelect(nullptr, FALSE));
    const std::uint32_t mine = instanceCounter();
    EXPECT_GE(mine, 1u);

    // A process that only loads the module takes no number.
    auto idle = wintest::startSelf(L"--child");
    ASSERT_TRUE(idle);
    EXPECT_EQ(wintest::waitExitCode(idle), static_cast<long>(mine));

    // Each later process that uses it gets the next number, and this one sees the count grow.
    for (std::uint32_t expected = mine + 1; expected <= mine + 2; ++expected) {
        auto child = wintest::startSelf(L"--child-use");
        ASSERT_TRUE(child);
        EXPECT_EQ(wintest::waitExitCode(child), static_cast<long>(expected));
        EXPECT_EQ(instanceCounter(), expected);
    }
    FreeLibrary(module);
}

// Settings are written when they change; a process that read them and changed nothing ends
// without writing, so that it never overwrites what another process chose meanwhile.
TEST_F(ModuleLoad, AProcessThatUsesTheModuleWithoutChangesLeavesConfigAsItWas) {
    wintest::writeBytes(scratch.file(L"config.ini"), "IME_STATUS_X 77\nIME_SKIN 4\n");
    auto child = wintest::startSelf(L"--child-use");
    ASSERT_TRUE(child);
    EXPECT_GE(wintest::waitExitCode(child), 1);
    EXPECT_EQ(wintest::readBytes(scratch.file(L"config.ini")), "IME_STATUS_X 77\nIME_SKIN 4\n");
    EXPECT_FALSE(wintest::exists(wintest::userFolder()));
}

// Attach runs under the loader lock in every process that loads the module: it reads no file, so
// a process that never uses the module leaves config.ini as it found it.
TEST_F(ModuleLoad, AProcessThatOnlyLoadsTheModuleReadsAndWritesNoSettings) {
    wintest::writeBytes(scratch.file(L"config.ini"), "IME_SKIN 4\n");
    auto child = wintest::startSelf(L"--child");
    ASSERT_TRUE(child);
    EXPECT_LT(wintest::waitExitCode(child), 1000);
    EXPECT_EQ(wintest::readBytes(scratch.file(L"config.ini")), "IME_SKIN 4\n");
    EXPECT_FALSE(wintest::exists(wintest::userFolder()));
}

TEST_F(ModuleLoad, MissingFolderLoadsDefaultsAndStillUnloads) {
    wintest::removeInstallPathKey();
    HMODULE module = LoadLibraryW(L"tovi.ime");
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}

} // namespace
} // namespace tovi

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--child")
        return tovi::childMain(false);
    if (argc > 1 && std::string(argv[1]) == "--child-use")
        return tovi::childMain(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
