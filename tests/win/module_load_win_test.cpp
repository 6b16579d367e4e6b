// The real tovi.ime loaded by processes under Wine: the shared section counts every process that
// attaches, and detach writes no settings (they are saved when they change).
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tovi {
namespace {

using wintest::InstallPathValue;
using wintest::ScratchFolder;

// The instance counter sits at offset 4 of the module's shared section.
std::uint32_t instanceCounter(HMODULE module) {
    std::uint32_t size = 0;
    auto* section =
        static_cast<volatile std::uint32_t*>(wintest::findSection(module, ".VemoraH", &size));
    return section && size >= 8 ? section[1] : 0;
}

// Child mode: load the module, report the counter as the exit code, unload. With `use` the
// process also calls an export that needs the settings.
int childMain(bool use) {
    HMODULE module = LoadLibraryW(L"tovi.ime");
    if (!module)
        return 1000;
    const auto counter = static_cast<int>(instanceCounter(module));
    if (use) {
        using ImeSelectFn = BOOL(WINAPI*)(HIMC, BOOL);
        const auto imeSelect = reinterpret_cast<ImeSelectFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "ImeSelect")));
        if (!imeSelect || !imeSelect(nullptr, FALSE))
            return 1001;
    }
    FreeLibrary(module);
    return counter;
}

class ModuleLoad : public ::testing::Test {
protected:
    ScratchFolder scratch;
    InstallPathValue installPath{scratch.path()};
};

TEST_F(ModuleLoad, SharedSectionIsFourKilobytesAndCountsEveryProcess) {
    HMODULE module = LoadLibraryW(L"tovi.ime");
    ASSERT_NE(module, nullptr) << GetLastError();
    std::uint32_t size = 0;
    ASSERT_NE(wintest::findSection(module, ".VemoraH", &size), nullptr);
    EXPECT_EQ(size, 4096u);
    const std::uint32_t mine = instanceCounter(module);
    EXPECT_GE(mine, 1u);

    // Each later process gets the next number, and this one sees the count grow.
    for (std::uint32_t expected = mine + 1; expected <= mine + 2; ++expected) {
        auto child = wintest::startSelf(L"--child");
        ASSERT_TRUE(child);
        EXPECT_EQ(wintest::waitExitCode(child), static_cast<long>(expected));
        EXPECT_EQ(instanceCounter(module), expected);
    }
    FreeLibrary(module);
}

// A process that used the module and changed nothing leaves config.ini as it found it, so the
// last process to end does not overwrite what the others chose.
TEST_F(ModuleLoad, AProcessThatUsedTheModuleWritesNoSettingsAtItsEnd) {
    wintest::writeBytes(scratch.file(L"config.ini"), "IME_STATUS_X 77\nIME_SKIN 4\n");
    auto child = wintest::startSelf(L"--child-use");
    ASSERT_TRUE(child);
    EXPECT_GE(wintest::waitExitCode(child), 1);
    EXPECT_EQ(wintest::readBytes(scratch.file(L"config.ini")), "IME_STATUS_X 77\nIME_SKIN 4\n");
}

// Attach runs under the loader lock in every process that loads the module: it reads no file, so
// a process that never uses the module leaves config.ini as it found it.
TEST_F(ModuleLoad, AProcessThatOnlyLoadsTheModuleReadsAndWritesNoSettings) {
    wintest::writeBytes(scratch.file(L"config.ini"), "IME_SKIN 4\n");
    auto child = wintest::startSelf(L"--child");
    ASSERT_TRUE(child);
    EXPECT_GE(wintest::waitExitCode(child), 1);
    EXPECT_EQ(wintest::readBytes(scratch.file(L"config.ini")), "IME_SKIN 4\n");
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
