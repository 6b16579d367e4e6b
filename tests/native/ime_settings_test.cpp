#include "tables/ime_settings.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include <string>
#include <vector>

namespace tovi {
namespace {

using test::TempFolder;

constexpr char kDefaultFile[] = "IME_SETTINGS 161\r\nIME_SKIN 0\r\nIME_STATUS_X 10\r\n"
                                "IME_STATUS_Y 718\r\n";

void expectDefaults(const ImeSettings& s) {
    EXPECT_EQ(s.flags, 161u);
    EXPECT_EQ(s.statusX, 10);
    EXPECT_EQ(s.statusY, 718);
    EXPECT_EQ(s.skin, 0);
}

platform::InstallFolder in(const TempFolder& folder) {
    return platform::InstallFolder(folder.installFolder(), folder.installFolder());
}

ImeSettings loadFrom(const TempFolder& folder, const std::string& text) {
    folder.write("config.ini", text);
    return ImeSettings(in(folder));
}

TEST(ImeSettingsLoad, MissingFileGivesDefaultsAndReportsFailure) {
    TempFolder folder;
    ImeSettings s(in(folder));
    expectDefaults(s);
    EXPECT_EQ(s.schemeIndex(), 1);
    EXPECT_TRUE(s.has(flag::FullWidthSymbols));
    EXPECT_TRUE(s.has(flag::CaretFollow));
    for (const auto bit :
         {flag::FullWidthLetters, flag::RootHints, flag::OperationHints, flag::WordAssociation,
          flag::ProgressiveHints, flag::VerticalLayout, flag::WebSearch})
        EXPECT_FALSE(s.has(bit)) << bit;
    s.skin = 4;
    EXPECT_FALSE(s.loadSettings());
    expectDefaults(s);
}

TEST(ImeSettingsLoad, KeyMissingFromFileKeepsItsDefault) {
    TempFolder folder;
    folder.write("config.ini", "IME_SKIN 3");
    ImeSettings s(in(folder));
    EXPECT_EQ(s.skin, 3);
    EXPECT_EQ(s.flags, 161u);
    EXPECT_EQ(s.statusX, 10);
    EXPECT_EQ(s.statusY, 718);
    s.statusX = 99;
    EXPECT_TRUE(s.loadSettings());
    EXPECT_EQ(s.statusX, 99);
}

TEST(ImeSettingsLoad, ValuesAreSignedDecimalsAndKeysCaseSensitive) {
    TempFolder folder;
    const auto s = loadFrom(folder, "IME_SETTINGS 0x400\nIME_STATUS_X -5\nime_skin 2\n"
                                    "IME_STATUS_Y +12px\n");
    EXPECT_EQ(s.flags, 0u);
    EXPECT_EQ(s.statusX, -5);
    EXPECT_EQ(s.statusY, 12);
    EXPECT_EQ(s.skin, 0);
}

TEST(ImeSettingsLoad, WordsPairByPositionNotByLine) {
    TempFolder folder;
    auto s = loadFrom(folder, "IME_SKIN IME_SETTINGS 3");
    EXPECT_EQ(s.skin, 0);
    EXPECT_EQ(s.flags, 161u);

    s = loadFrom(folder, "IME_SKIN\n\n  2 IME_STATUS_Y\t\t-1\r\n");
    EXPECT_EQ(s.skin, 2);
    EXPECT_EQ(s.statusY, -1);
}

TEST(ImeSettingsLoad, TrailingKeyWithoutValueIsIgnored) {
    TempFolder folder;
    const auto s = loadFrom(folder, "IME_STATUS_X 40 IME_SKIN 1 IME_STATUS_X");
    EXPECT_EQ(s.statusX, 40);
    EXPECT_EQ(s.skin, 1);
}

TEST(ImeSettingsLoad, LastOccurrenceOfAKeyWins) {
    TempFolder folder;
    const auto s = loadFrom(folder, "IME_SKIN 1\nIME_SKIN 4\nIME_SETTINGS 33\nIME_SETTINGS 65\n");
    EXPECT_EQ(s.skin, 4);
    EXPECT_EQ(s.schemeIndex(), 2);
}

TEST(ImeSettingsLoad, OverlongWordsAreCutWithoutShiftingThePairs) {
    TempFolder folder;
    const std::string longKey(5000, 'K');
    const std::string longValue(5000, '7');
    const auto s = loadFrom(folder, longKey + " 1 IME_SKIN " + longValue + " IME_STATUS_X 3");
    EXPECT_EQ(s.skin, 2147483647); // only the first 19 digits count, held at the 32-bit maximum
    EXPECT_EQ(s.statusX, 3);
}

TEST(ImeSettingsLoad, ValuesBeyond32BitsAreHeldAtTheEnds) {
    TempFolder folder;
    const auto s = loadFrom(folder, "IME_STATUS_X 99999999999 IME_STATUS_Y -99999999999");
    EXPECT_EQ(s.statusX, 2147483647);
    EXPECT_EQ(s.statusY, -2147483647 - 1);
}

TEST(ImeSettingsLoad, NonAsciiAndControlBytesAreJustWords) {
    TempFolder folder;
    // 100 words of high and control bytes (invalid GBK among them), then a known pair.
    std::string junk;
    for (int w = 0; w < 100; ++w) {
        for (int i = 0; i < 7; ++i)
            junk += static_cast<char>(i % 2 ? 0x80 + (w * 7 + i) % 0x7F : 1 + (w + i) % 8);
        junk += ' ';
    }
    const auto s = loadFrom(folder, junk + std::string("\0\0 x", 4) + " IME_SKIN 2\n");
    EXPECT_EQ(s.skin, 2);
    EXPECT_EQ(s.flags, 161u);
}

TEST(ImeSettingsSave, WritesFourKeysInFixedOrderWithCrLf) {
    TempFolder folder;
    folder.write("config.ini", "IME_STATUS_Y 5 IME_STATUS_X 6 IME_SKIN 2 IME_SETTINGS 1057");
    ImeSettings s(in(folder));
    ASSERT_TRUE(s.saveSettings());
    EXPECT_EQ(folder.read("config.ini"),
              "IME_SETTINGS 1057\r\nIME_SKIN 2\r\nIME_STATUS_X 6\r\nIME_STATUS_Y 5\r\n");
}

TEST(ImeSettingsSave, DefaultsGiveTheDocumentedFile) {
    TempFolder folder;
    ImeSettings s(in(folder));
    ASSERT_TRUE(s.saveSettings());
    EXPECT_EQ(folder.read("config.ini"), kDefaultFile);
}

TEST(ImeSettingsSave, HighFlagBitsRoundTrip) {
    TempFolder folder;
    ImeSettings s(in(folder));
    s.flags = 0x80000421u;
    ASSERT_TRUE(s.saveSettings());
    EXPECT_EQ(folder.read("config.ini").substr(0, 26), "IME_SETTINGS -2147482591\r\n");
    EXPECT_EQ(ImeSettings(in(folder)).flags, 0x80000421u);
}

TEST(ImeSettingsSave, AFailedSaveKeepsTheUsersValuesAndTheOldFile) {
    TempFolder folder;
    folder.write("config.ini", "IME_SKIN 2");
    ImeSettings s(in(folder));
    // A folder where the new file should go: the save fails for every user, root included.
    std::filesystem::create_directory(folder.file("config.ini.new"));
    s.flags = 0x7FF;
    s.skin = 3;
    EXPECT_FALSE(s.saveSettings());
    EXPECT_EQ(s.flags, 0x7FFu);
    EXPECT_EQ(s.skin, 3);
    EXPECT_EQ(folder.read("config.ini"), "IME_SKIN 2");
    EXPECT_TRUE(s.changedSinceStored());
    EXPECT_EQ(s.stored().skin, 2);
}

TEST(ImeSettingsSave, AFolderThatCannotBeReachedKeepsTheUsersValues) {
    ImeSettings s(
        platform::InstallFolder(u"/nonexistent-tovi-folder/sub", u"/nonexistent-tovi-folder/sub"));
    s.flags = 0x7FF;
    s.skin = 3;
    EXPECT_FALSE(s.saveSettings());
    EXPECT_EQ(s.flags, 0x7FFu);
    EXPECT_EQ(s.skin, 3);
}

TEST(ImeSettingsStored, TheRecordAsReadOrWrittenCountsAsStored) {
    TempFolder folder;
    ImeSettings missing(in(folder)); // no file: the defaults count as stored
    EXPECT_FALSE(missing.changedSinceStored());
    folder.write("config.ini", "IME_SKIN 3 IME_STATUS_X 40");
    ImeSettings s(in(folder));
    EXPECT_FALSE(s.changedSinceStored());
    EXPECT_EQ(s.stored(), (ImeSettings::Values{161, 40, 718, 3}));
    s.statusY = 5;
    EXPECT_TRUE(s.changedSinceStored());
    ASSERT_TRUE(s.saveSettings());
    EXPECT_FALSE(s.changedSinceStored());
    EXPECT_EQ(s.stored().statusY, 5);
    s.flags ^= flag::FullWidthLetters;
    EXPECT_TRUE(s.changedSinceStored());
    s.flags ^= flag::FullWidthLetters; // back to what the file holds
    EXPECT_FALSE(s.changedSinceStored());
}

// A process may be killed in the middle of a save.
TEST(ImeSettingsSave, AProcessKilledWhileSavingLeavesTheOldFileOrTheNew) {
    TempFolder folder;
    const std::string first = "IME_SETTINGS 161\r\nIME_SKIN 1\r\nIME_STATUS_X 10\r\n"
                              "IME_STATUS_Y 718\r\n";
    const std::string second = "IME_SETTINGS 161\r\nIME_SKIN 2\r\nIME_STATUS_X 10\r\n"
                               "IME_STATUS_Y 718\r\n";
    folder.write("config.ini", first);
    std::mt19937 random(20261208);
    for (int kill = 0; kill < 40; ++kill) {
        const pid_t child = ::fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            ImeSettings settings(in(folder));
            for (int n = 0;; ++n) {
                settings.skin = 1 + n % 2;
                settings.saveSettings();
            }
        }
        ::usleep(200 + random() % 3000);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = folder.read("config.ini");
        ASSERT_TRUE(now == first || now == second) << "after kill " << kill << ": " << now;
    }
}

class RecordingHandler : public SchemeChangeHandler {
public:
    explicit RecordingHandler(ImeSettings& s) : settings(s) {}
    void beforeSchemeChange() override { calls.push_back("before " + std::to_string(index())); }
    void afterSchemeChange() override { calls.push_back("after " + std::to_string(index())); }
    int index() const { return settings.schemeIndex(); }

    ImeSettings& settings;
    std::vector<std::string> calls;
};

TEST(ImeSettingsScheme, SameIndexChangesNothing) {
    TempFolder folder;
    ImeSettings s(in(folder));
    RecordingHandler handler(s);
    s.setSchemeChangeHandler(&handler);
    s.setScheme(Scheme::Keypad);
    EXPECT_TRUE(handler.calls.empty());
    EXPECT_EQ(s.flags, 161u);
}

TEST(ImeSettingsScheme, SwitchClearsInputBeforeAndRebuildsAfter) {
    TempFolder folder;
    ImeSettings s(in(folder));
    RecordingHandler handler(s);
    s.setSchemeChangeHandler(&handler);
    s.setScheme(Scheme::Pinyin);
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"before 1", "after 2"}));
    EXPECT_EQ(s.flags & 0x60u, 0x40u);
    EXPECT_EQ(s.flags & ~0x60u, 161u & ~0x60u);
    s.setScheme(Scheme::D);
    EXPECT_EQ(s.flags & 0x60u, 0x60u);
    s.setScheme(Scheme::A);
    EXPECT_EQ(s.flags & 0x60u, 0u);
    EXPECT_EQ(s.schemeIndex(), 0);
}

TEST(ImeSettingsScheme, NewIndexReachesTheFileOnlyWithTheNextSave) {
    TempFolder folder;
    ImeSettings s(in(folder));
    ASSERT_TRUE(s.saveSettings());
    s.setScheme(Scheme::Pinyin);
    EXPECT_EQ(folder.read("config.ini"), kDefaultFile);
    ASSERT_TRUE(s.saveSettings());
    EXPECT_EQ(ImeSettings(in(folder)).schemeIndex(), 2);
}

} // namespace
} // namespace tovi
