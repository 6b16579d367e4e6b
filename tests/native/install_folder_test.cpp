#include "platform/install_folder.h"
#include "platform/install_folder_override.h"

#include <gtest/gtest.h>

namespace tovi::platform {
namespace {

class InstallFolder : public ::testing::Test {
protected:
    void TearDown() override { setInstallFolder(u""); }
};

TEST_F(InstallFolder, JoinsFolderAndNameWithABackslash) {
    setInstallFolder(u"C:\\IME");
    EXPECT_EQ(installPath(), u"C:\\IME");
    EXPECT_EQ(installFilePath(u"config.ini"), u"C:\\IME\\config.ini");
    EXPECT_EQ(installFilePath(u"\\skin\\cand-0.bmp"), u"C:\\IME\\\\skin\\cand-0.bmp");
}

TEST_F(InstallFolder, NoFolderGivesARootedName) {
    EXPECT_EQ(installFilePath(u"config.ini"), u"\\config.ini");
}

TEST_F(InstallFolder, NarrowFormKeepsTheLowByteOfEachUnit) {
    setInstallFolder(u"D:\\输入"); // U+8F93 U+5165
}

} // namespace
} // namespace tovi::platform
