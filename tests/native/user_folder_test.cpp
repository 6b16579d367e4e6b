// The user's folder: the files the module writes (settings, code tables, skin copies) are read
// from the user's copy first and written only there, and the shared pools never mix two users'
// tables.
#include "code_table_test_support.h"

#include "platform/install_folder.h"
#include "tables/code_table_index.h"
#include "tables/ime_settings.h"
#include "ui/settings_dialog_model.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tovi {
namespace {

using test::Entries;
using test::TempFolder;
using Candidates = std::vector<std::u16string>;

const Entries kInstalled = {{u"12", u"中"}, {u"12", u"钟"}, {u"13", u"人"}, {u"2", u"二"}};
const Entries kOtherUsers = {{u"12", u"钟"}, {u"12", u"中"}, {u"2", u"二"}};

class UserFolder : public ::testing::Test {
protected:
    TempFolder install;
    TempFolder profile; // the user's profile; "tovi" inside it is the user's folder
    std::filesystem::path user = profile.file("tovi");

    platform::InstallFolder folders() const {
        return platform::InstallFolder(install.installFolder(),
                                       profile.installFolder() + u"\\tovi");
    }
};

TEST_F(UserFolder, FilesAreReadFromTheUsersCopyFirstAndWrittenOnlyThere) {
    const platform::InstallFolder f = folders();
    install.write("config.ini", "installed");
    EXPECT_EQ(f.fileToRead(u"config.ini"), install.installFolder() + u"\\config.ini");
    EXPECT_EQ(f.fileToRead(u"tovi.bmp"), install.installFolder() + u"\\tovi.bmp"); // none at all
    EXPECT_FALSE(std::filesystem::exists(user)); // asking where to read makes nothing

    const auto target = f.fileToWrite(u"config.ini");
    ASSERT_TRUE(target);
    EXPECT_EQ(*target, profile.installFolder() + u"\\tovi\\config.ini");
    EXPECT_TRUE(std::filesystem::is_directory(user));
    EXPECT_EQ(f.fileToRead(u"config.ini"), install.installFolder() + u"\\config.ini");
    profile.write("tovi/config.ini", "the user's");
    EXPECT_EQ(f.fileToRead(u"config.ini"), *target);

    // Without a user folder nothing is written anywhere.
    EXPECT_FALSE(platform::InstallFolder(install.installFolder()).fileToWrite(u"config.ini"));
    EXPECT_EQ(install.read("config.ini"), "installed");
}

TEST_F(UserFolder, SettingsAreSavedIntoTheUsersFolderAndReadBackFromIt) {
    install.write("config.ini", "IME_SKIN 2");
    ImeSettings settings(folders());
    EXPECT_EQ(settings.skin, 2);
    settings.statusX = 300;
    ASSERT_TRUE(settings.saveSettings());
    EXPECT_EQ(install.read("config.ini"), "IME_SKIN 2");
    EXPECT_EQ(profile.read("tovi/config.ini"),
              "IME_SETTINGS 161\r\nIME_SKIN 2\r\nIME_STATUS_X 300\r\nIME_STATUS_Y 718\r\n");
    const ImeSettings again(folders());
    EXPECT_EQ(again.statusX, 300);
    EXPECT_EQ(again.skin, 2);
}

TEST_F(UserFolder, AChosenSkinIsCopiedIntoTheUsersFolder) {
    std::filesystem::create_directory(install.file("skin"));
    install.write("tovi.bmp", "default picture");
    install.write("skin/skin-01.bmp", "skin one");
    // The picture in use again: nothing to write, not even the folder.
    EXPECT_TRUE(useSkinPicture(folders(), kInstalledStatusPicture, kInstalledStatusPicture));
    EXPECT_FALSE(std::filesystem::exists(user));

    EXPECT_TRUE(
        useSkinPicture(folders(), statusSkinPicture(u"skin-01.bmp"), kInstalledStatusPicture));
    EXPECT_EQ(profile.read("tovi/tovi.bmp"), "skin one");
    EXPECT_EQ(install.read("tovi.bmp"), "default picture");
    EXPECT_EQ(folders().fileToRead(kInstalledStatusPicture),
              profile.installFolder() + u"\\tovi\\tovi.bmp");
    // A skin file that is missing leaves the picture in use alone.
    EXPECT_FALSE(
        useSkinPicture(folders(), statusSkinPicture(u"skin-02.bmp"), kInstalledStatusPicture));
    EXPECT_EQ(profile.read("tovi/tovi.bmp"), "skin one");
}

class UserTables : public UserFolder {
protected:
    test::SharedNames names;
    test::RecordingReporter reporter;

    std::unique_ptr<CodeTable> table(std::uint32_t instance, platform::InstallFolder folder) {
        CodeTableOptions options;
        options.scheme = Scheme::Keypad;
        options.folder = std::move(folder);
        options.instanceNumber = instance;
        options.nameSuffix = names.suffix();
        options.poolBytes = 1 << 20;
        return std::make_unique<CodeTable>(options, reporter, names.section());
    }
    static Candidates byCode(const CodeTable& t, std::u16string_view code) {
        ExactMatch exact;
        return findByCode(t.view(), code, SearchOptions{}, exact);
    }
    const CodeTableSchemeControl& shared() const {
        return codeTableControl(*names.section()).schemes[0];
    }
};

TEST_F(UserTables, TheFirstSaveWritesTheWholeTableIntoTheUsersFolderForEveryProcess) {
    const std::string installed = test::tableFile(CodeTableLayout::Digits, kInstalled);
    install.write("toviwb.mb", installed);
    auto first = table(1, folders());
    auto second = table(2, folders());
    first->load();
    second->load();
    ASSERT_TRUE(first->loaded() && second->loaded());
    EXPECT_FALSE(std::filesystem::exists(user)); // loading writes nothing

    ASSERT_TRUE(first->addWord(u"14", u"文", [](std::u16string_view) {}));
    EXPECT_EQ(install.read("toviwb.mb"), installed);
    const Entries withWord = {
        {u"12", u"中"}, {u"12", u"钟"}, {u"13", u"人"}, {u"14", u"文"}, {u"2", u"二"}};
    EXPECT_EQ(profile.read("tovi/toviwb.mb"), test::tableFile(CodeTableLayout::Digits, withWord));

    // The other process loads the user's copy; a promotion goes there too.
    EXPECT_FALSE(second->isCurrent());
    second->refreshIfStale();
    EXPECT_EQ(byCode(*second, u"14"), (Candidates{u"文"}));
    second->promote(u"12", u"钟");
    first->refreshIfStale();
    EXPECT_EQ(byCode(*first, u"12"), (Candidates{u"钟", u"中"}));
    EXPECT_EQ(install.read("toviwb.mb"), installed);
    EXPECT_TRUE(reporter.boxes.empty());
}

TEST_F(UserTables, PoolsFilledFromAnotherUsersTablesAreNeitherUsedNorWritten) {
    install.write("toviwb.mb", test::tableFile(CodeTableLayout::Digits, kInstalled));
    auto mine = table(1, folders());
    mine->load();
    ASSERT_TRUE(mine->loaded() && !mine->ownPools());
    const CodeTableSchemeControl before = shared();

    // Another user of the same session, with a table of their own.
    TempFolder otherProfile;
    otherProfile.write("toviwb.mb", test::tableFile(CodeTableLayout::Digits, kOtherUsers));
    auto theirs =
        table(2, platform::InstallFolder(install.installFolder(), otherProfile.installFolder()));
    theirs->load();
    ASSERT_TRUE(theirs->loaded());
    EXPECT_TRUE(theirs->ownPools());
    EXPECT_EQ(byCode(*theirs, u"12"), (Candidates{u"钟", u"中"}));
    ASSERT_TRUE(theirs->addWord(u"15", u"它", [](std::u16string_view) {}));
    theirs->refreshIfStale();
    EXPECT_EQ(byCode(*theirs, u"15"), (Candidates{u"它"}));

    // The shared pools still hold this user's table, as filled.
    EXPECT_EQ(shared().owner, before.owner);
    EXPECT_EQ(shared().fileHash, before.fileHash);
    EXPECT_EQ(shared().codeFill, before.codeFill);
    EXPECT_EQ(shared().filled, 1);
    EXPECT_EQ(shared().stale, 0);
    mine->refreshIfStale();
    EXPECT_FALSE(mine->ownPools());
    EXPECT_FALSE(mine->lastLoad().refilled);
    EXPECT_EQ(byCode(*mine, u"12"), (Candidates{u"中", u"钟"}));
    EXPECT_TRUE(byCode(*mine, u"15").empty());
    EXPECT_TRUE(reporter.boxes.empty());
}

} // namespace
} // namespace tovi
