#include "core/module.h"

#include "engine/scheme_engines.h"
#include "engine/virtual_keys.h"
#include "platform/shared_memory.h"
#include "platform/shared_section.h"
#include "platform/shared_section_name.h"
#include "recording_host.h"
#include "tables/code_table_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <new>
#include <sys/wait.h>
#include <unistd.h>

namespace tovi {
namespace {

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SharedMemory::removeName(name);
        platform::setSharedSectionName(name);
    }
    void TearDown() override {
        if (module)
            module->codeTableLoader().waitIdle(); // the section goes away below
        module.reset();
        platform::setSharedSectionName(u"tovi.VemoraH");
        platform::SharedMemory::removeName(name);
    }
    // The test's folder serves as both the installation folder and the user's, unless a user
    // folder of its own is given.
    Module& build(std::u16string userFolder = {}) {
        if (userFolder.empty())
            userFolder = folder.installFolder();
        module = std::make_unique<Module>(
            host, platform::InstallFolder(folder.installFolder(), userFolder), 1);
        return *module;
    }
    // A key as the system reports it, through the module: the press and, when claimed, its
    // translation.
    bool press(unsigned key, std::uint32_t keyData = 1, char16_t unit = 0) {
        keys[key] |= 0x80;
        const bool claimed = module->processKey(1, KeyEvent{key, 0, keyData, keys});
        if (claimed)
            module->toAscii(1, KeyEvent{key, unit, 0, keys});
        return claimed;
    }
    bool release(unsigned key, std::uint32_t keyData = 0xC0000001) {
        keys[key] &= 0x7F;
        return module->processKey(1, KeyEvent{key, 0, keyData, keys});
    }
    // A keypad digit pressed and released.
    void keypad(int digit) {
        const unsigned key = vk::Numpad0 + static_cast<unsigned>(digit);
        press(key, 1, static_cast<char16_t>(u'0' + digit));
        release(key);
    }
    // A keypad table where 1, 2 and 0 type "中".
    void writeKeypadTable() {
        CodeTableData keypadTable(CodeTableLayout::Digits);
        ASSERT_EQ(keypadTable.append(u"12", u"中"), EntryFault::None);
        ASSERT_EQ(keypadTable.append(u"1234", u"中国"), EntryFault::None);
        folder.write("toviwb.mb", writeCodeTable(keypadTable));
    }

    const std::u16string name = u"tovi-test-section";
    test::TempFolder folder;
    test::RecordingHost host;
    std::unique_ptr<Module> module;
    std::uint8_t keys[256] = {};
};

TEST_F(ModuleTest, EachProcessTakesTheNextInstanceNumber) {
    EXPECT_EQ(takeInstanceNumber(), 1u);
    for (std::uint32_t expected = 2; expected <= 3; ++expected) {
        const pid_t child = fork();
        if (child == 0)
            _exit(static_cast<int>(takeInstanceNumber()));
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(static_cast<std::uint32_t>(WEXITSTATUS(status)), expected);
    }
    EXPECT_EQ(platform::sharedControlSection()->instanceCounter, 3u);
}

TEST_F(ModuleTest, BuildingLoadsTheSettingsOfItsFolderAndTheEndWritesNothing) {
    const std::string file = "IME_SKIN 2 IME_SETTINGS 193";
    folder.write("config.ini", file);
    build();
    EXPECT_EQ(module->settings().skin, 2);
    EXPECT_EQ(module->settings().scheme(), Scheme::Pinyin);
    EXPECT_NE(dynamic_cast<PinyinEngine*>(module->engine()), nullptr);
    module->settings().statusX = 300; // changed without a save: another process may have saved
    module->codeTableLoader().waitIdle();
    module.reset();
    EXPECT_EQ(folder.read("config.ini"), file);
}

TEST_F(ModuleTest, AFirstStartWithoutChangesWritesNoFile) {
    writeKeypadTable();
    const test::TempFolder profile;
    build(profile.installFolder() + u"\\tovi");
    module->codeTableLoader().waitIdle();
    keypad(1);
    keypad(2);
    keypad(0);
    EXPECT_EQ(host.commits, (std::vector<std::u16string>{u"中"}));
    EXPECT_TRUE(module->saveSettingsIfChanged());
    module.reset();
    EXPECT_FALSE(std::filesystem::exists(folder.file("config.ini")));
    // Not even the user's folder is made.
    EXPECT_FALSE(std::filesystem::exists(profile.file("tovi")));
}

TEST_F(ModuleTest, SettingsAreWrittenWhenTheyChangeAndOnlyThen) {
    build();
    module->settings().statusX = 300;
    module->settings().skin = 1;
    EXPECT_TRUE(module->saveSettingsIfChanged());
    const std::string saved = "IME_SETTINGS 161\r\nIME_SKIN 1\r\nIME_STATUS_X 300\r\n"
                              "IME_STATUS_Y 718\r\n";
    EXPECT_EQ(folder.read("config.ini"), saved);
    // Unchanged: nothing is written, as another process's save shows.
    folder.write("config.ini", "IME_SKIN 4");
    EXPECT_TRUE(module->saveSettingsIfChanged());
    EXPECT_EQ(folder.read("config.ini"), "IME_SKIN 4");
}

TEST_F(ModuleTest, AHotkeyThatChangesSettingsSavesThemAtOnce) {
    constexpr std::uint32_t kRightCtrlPress = 0x011D0001;
    constexpr std::uint32_t kRightCtrlRelease = 0xC11D0001;
    build();
    module->settings().statusY = 700; // as a window may set it without saving
    press('A');                       // the first key clears the guard
    release('A');
    EXPECT_FALSE(std::filesystem::exists(folder.file("config.ini"))); // the key changed nothing
    press(vk::Control, kRightCtrlPress);
    release(vk::Control, kRightCtrlRelease);
    ASSERT_EQ(module->settings().scheme(), Scheme::Pinyin);
    EXPECT_EQ(ImeSettings(platform::InstallFolder(folder.installFolder(), folder.installFolder()))
                  .scheme(),
              Scheme::Pinyin);
    // Shift+Space flips full-width letters; the file follows with the key.
    keys[vk::Shift] = 0x80;
    release(vk::Shift); // as the engine counts key events, the next one acts
    keys[vk::Shift] = 0x80;
    press(vk::Space, 1, u' ');
    ASSERT_TRUE(module->settings().has(flag::FullWidthLetters));
    EXPECT_TRUE(ImeSettings(platform::InstallFolder(folder.installFolder(), folder.installFolder()))
                    .has(flag::FullWidthLetters));
}

// A folder where config.ini's new copy should go makes every save fail, for root too.
TEST_F(ModuleTest, AFailedSaveKeepsTheSettingsAndSaysSoOnceUntilASaveSucceeds) {
    build();
    const auto blocker = folder.file("config.ini.new");
    std::filesystem::create_directory(blocker);
    module->settings().statusX = 300;
    module->settings().flags |= flag::VerticalLayout;
    EXPECT_FALSE(module->saveSettingsIfChanged());
    EXPECT_EQ(module->settings().statusX, 300);
    EXPECT_TRUE(module->settings().has(flag::VerticalLayout));
    EXPECT_TRUE(module->settingsSaveFailing());
    EXPECT_EQ(host.infos, (std::vector<std::u16string>{u"设置保存失败！"}));

    module->settings().statusX = 400;
    EXPECT_FALSE(module->saveSettingsIfChanged());
    EXPECT_FALSE(module->saveSettingsIfChanged());
    EXPECT_EQ(host.infos.size(), 1u); // said once
    EXPECT_EQ(module->settings().statusX, 400);
    EXPECT_FALSE(std::filesystem::exists(folder.file("config.ini")));

    std::filesystem::remove(blocker);
    module->settings().statusX = 500;
    EXPECT_TRUE(module->saveSettingsIfChanged());
    EXPECT_FALSE(module->settingsSaveFailing());
    const ImeSettings saved(
        platform::InstallFolder(folder.installFolder(), folder.installFolder()));
    EXPECT_EQ(saved.statusX, 500);
    EXPECT_TRUE(saved.has(flag::VerticalLayout));

    // Failing again after a success is said again.
    std::filesystem::create_directory(blocker);
    module->settings().statusX = 600;
    EXPECT_FALSE(module->saveSettingsIfChanged());
    EXPECT_EQ(host.infos.size(), 2u);
    EXPECT_EQ(host.infos.back(), u"设置保存失败！");
}

// A host short of address space cannot load the table: the module types nothing but lives, and
// types again once memory is back. Runs under ThreadSanitizer too.
TEST_F(ModuleTest, ATableLoadThatThrowsTypesNothingUntilMemoryIsBack) {
    writeKeypadTable();
    build();
    module->codeTableLoader().waitIdle();
    std::atomic<bool> failing{true};
    module->codeTableLoader().setLoadFault([&] {
        if (failing)
            throw std::bad_alloc();
    });
    module->settings().setScheme(Scheme::Pinyin);
    module->settings().setScheme(Scheme::Keypad); // the keypad table loads again, and throws
    module->codeTableLoader().waitIdle();
    EXPECT_EQ(module->codeTableLoader().table(), nullptr);

    keypad(1);
    keypad(2);
    keypad(0);
    EXPECT_TRUE(host.commits.empty());
    module->codeTableLoader().waitIdle();
    module->resetInput();

    failing = false; // memory is back: the next key starts the load again
    keypad(1);
    module->codeTableLoader().waitIdle();
    keypad(2);
    keypad(0);
    EXPECT_EQ(host.commits, (std::vector<std::u16string>{u"中"}));
    const std::lock_guard lock(host.boxes->mutex);
    EXPECT_TRUE(host.boxes->shown.empty());
}

TEST_F(ModuleTest, SchemeChangeClearsInputAndRebuildsTheEngine) {
    build();
    module->settings().setScheme(Scheme::Keypad); // unchanged: nothing happens
    EXPECT_EQ(host.invalidations, 0);
    module->settings().setScheme(Scheme::Pinyin);
    EXPECT_EQ(module->settings().scheme(), Scheme::Pinyin);
    EXPECT_NE(dynamic_cast<PinyinEngine*>(module->engine()), nullptr);
    EXPECT_GE(host.invalidations, 1);
    EXPECT_EQ(host.infos.back(), u"组词方法:先输入声母，再输入韵母。");
}

TEST_F(ModuleTest, ARightCtrlTapSwitchesSchemesOnceTheKeyIsHandled) {
    constexpr std::uint32_t kRightCtrlPress = 0x011D0001;
    constexpr std::uint32_t kRightCtrlRelease = 0xC11D0001;
    build();
    press('A'); // the first key clears the guard
    release('A');
    press(vk::Control, kRightCtrlPress);
    EXPECT_TRUE(release(vk::Control, kRightCtrlRelease));
    EXPECT_EQ(module->settings().scheme(), Scheme::Pinyin);
    EXPECT_NE(dynamic_cast<PinyinEngine*>(module->engine()), nullptr);
    EXPECT_FALSE(module->process().requestedScheme);
    // The new engine types at once.
    EXPECT_TRUE(press('Z'));
    press(vk::Control, kRightCtrlPress);
    release(vk::Control, kRightCtrlRelease);
    EXPECT_NE(dynamic_cast<KeypadEngine*>(module->engine()), nullptr);
}

TEST_F(ModuleTest, SchemeTablesFollowTheScheme) {
    // codePyMain.pmt: "1<TAB>横区" in UTF-16LE with a mark.
    folder.write("codePyMain.pmt", std::string("\xFF\xFE"
                                               "1\0\t\0\x2A\x6A\x3A\x53",
                                               10));
    build();
    EXPECT_EQ(module->currentCodeHint(u"1"), u"横区");
    module->settings().setScheme(Scheme::Pinyin);
    EXPECT_EQ(module->currentCodeHint(u"1"), u""); // the plain table at once
    EXPECT_NE(module->engine(), nullptr);
    module->settings().setScheme(Scheme::D);
    EXPECT_EQ(module->engine(), nullptr);              // no engine, tables still rebuilt
    EXPECT_EQ(module->proposeWordCode(u"中国"), u"0"); // no codes: only the separator part
    EXPECT_FALSE(module->processKey(1, KeyEvent{'A', 0, 1, keys}));
    module->settings().setScheme(Scheme::Keypad);
    EXPECT_NE(module->engine(), nullptr);
    EXPECT_EQ(module->currentCodeHint(u"1"), u"横区");
}

// The word maker as its dialog uses it: the application's selection arrives through the
// clipboard, the tables propose its code, and the word goes into the scheme's table and out again.
TEST_F(ModuleTest, TheWordMakerProposesACodeForTheSelectionAddsAndDeletesIt) {
    CodeTableData data(CodeTableLayout::Digits);
    ASSERT_EQ(data.append(u"115", u"上"), EntryFault::None);
    ASSERT_EQ(data.append(u"121", u"下"), EntryFault::None);
    folder.write("toviwb.mb", writeCodeTable(data));
    folder.write("config.ini", "IME_SETTINGS " + std::to_string(0x20 | 0x8) + "\r\n");
    build();
    module->codeTableLoader().waitIdle();
    WordMaker& maker = module->wordMaker();

    maker.takeSelection(u"上下");
    EXPECT_EQ(maker.word(), u"上下");
    EXPECT_EQ(maker.proposedCode(), u"1151"); // three of the first code, one of the second
    maker.takeSelection(std::nullopt);        // no text on the clipboard: the word stays
    EXPECT_EQ(maker.word(), u"上下");
    maker.takeSelection(std::u16string(300, u'字'));
    EXPECT_EQ(maker.word().size(), WordMaker::kMaxWordUnits);

    ASSERT_TRUE(maker.add(u"1151", u"上下"));
    EXPECT_EQ(host.infos.back(), u"加词操作已经成功！");
    const CodeTableView added = module->codeTableLoader().table()->view();
    ASSERT_EQ(added.size(), 3u);
    // A code longer than the dialog's buffer is cut to nine units.
    ASSERT_TRUE(maker.add(u"115111111111", u"上下"));
    const CodeTableView cut = module->codeTableLoader().table()->view();
    ASSERT_EQ(cut.size(), 4u);
    bool found = false;
    for (std::size_t i = 0; i < cut.size(); ++i)
        found = found || cut.code(i) == u"115111111";
    EXPECT_TRUE(found);

    // A refusal says why in the info window and writes nothing.
    const std::string before = folder.read("toviwb.mb");
    EXPECT_FALSE(maker.add(u"1151", u"上下"));
    EXPECT_EQ(host.infos.back(), u"该词组已经存在！");
    EXPECT_FALSE(maker.add(u"abc", u"上下"));
    EXPECT_EQ(host.infos.back(), u"请输入正确的编码！");
    EXPECT_EQ(folder.read("toviwb.mb"), before);
    EXPECT_TRUE(host.boxes->shown.empty());

    ASSERT_TRUE(maker.remove(u"1151", u"上下"));
    EXPECT_EQ(host.infos.back(), u"删词操作已经成功！");
    EXPECT_EQ(maker.word(), u"上下");
}

} // namespace
} // namespace tovi
