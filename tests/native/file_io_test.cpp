// Opening the module's data files by their module paths.
#include "platform/file_io.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tovi::platform {
namespace {

TEST(OpenFile, OpensARegularFileForReadingAndWriting) {
    test::TempFolder folder;
    folder.write("config.ini", "IME_SKIN 1");
    EXPECT_TRUE(openFile(folder.installFolder() + u"\\config.ini", "rb"));
    EXPECT_TRUE(openFile(folder.installFolder() + u"\\new.ini", "wb"));
}

// A folder opens for reading on POSIX, but no read of it ever reaches the end of the file.
TEST(OpenFile, RefusesAFolderInPlaceOfAFile) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder.file("vemoraSP.pmt"));
    EXPECT_FALSE(openFile(folder.installFolder() + u"\\vemoraSP.pmt", "rb"));
    EXPECT_FALSE(openFile(folder.installFolder() + u"\\vemoraSP.pmt", "wb"));
}

TEST(OpenFile, RefusesADeviceThatNeverEnds) {
    if (!std::filesystem::exists("/dev/zero"))
        GTEST_SKIP() << "no /dev/zero";
    test::TempFolder folder;
    std::filesystem::create_symlink("/dev/zero", folder.file("codePyMain.pmt"));
    EXPECT_FALSE(openFile(folder.installFolder() + u"\\codePyMain.pmt", "rb"));
}

} // namespace
} // namespace tovi::platform
