#include "boundary/module.h"

#include "platform/shared_memory.h"
#include "platform/shared_section.h"
#include "platform/shared_section_name.h"
#include "recording_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

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
        if (modulePtr())
            modulePtr()->codeTableLoader().waitIdle(); // the section goes away below
        detachModule();
        platform::setSharedSectionName(u"tovi.VemoraH");
        platform::SharedMemory::removeName(name);
    }
    const std::u16string name = u"tovi-test-section";
    test::TempFolder folder;
    test::RecordingHost host;
};

TEST_F(ModuleTest, EachAttachTakesTheNextInstanceNumber) {
    EXPECT_EQ(modulePtr(), nullptr);
    attachModule(host);
    ASSERT_NE(modulePtr(), nullptr);
    EXPECT_EQ(modulePtr()->instanceNumber(), 1u);
    attachModule(host); // a second attach in the same process changes nothing
    EXPECT_EQ(modulePtr()->instanceNumber(), 1u);

    // Other processes attaching count on from here.
    for (std::uint32_t expected = 2; expected <= 3; ++expected) {
        modulePtr()->codeTableLoader().waitIdle(); // no thread may hold a lock across fork
        const pid_t child = fork();
        if (child == 0) {
            // The fork copied this process's module; start as a freshly loaded one would.
            detachModule();
            attachModule(host);
            const auto number = static_cast<int>(modulePtr()->instanceNumber());
            modulePtr()->codeTableLoader().waitIdle();
            _exit(number);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(static_cast<std::uint32_t>(WEXITSTATUS(status)), expected);
    }
    EXPECT_EQ(platform::sharedControlSection()->instanceCounter, 3u);
}

TEST_F(ModuleTest, AttachLoadsSettingsAndDetachSavesThem) {
    folder.write("config.ini", "IME_SKIN 2 IME_SETTINGS 193");
    attachModule(host);
    ASSERT_NE(modulePtr(), nullptr);
    EXPECT_EQ(modulePtr()->settings().skin, 2);
    EXPECT_EQ(modulePtr()->settings().schemeIndex(), 2);
    modulePtr()->settings().statusX = 300;
    detachModule();
    EXPECT_EQ(modulePtr(), nullptr);
    EXPECT_EQ(folder.read("config.ini"),
              "IME_SETTINGS 193\r\nIME_SKIN 2\r\nIME_STATUS_X 300\r\nIME_STATUS_Y 718\r\n");
}

TEST_F(ModuleTest, SchemeChangeClearsInputAndRebuildsTheEngine) {
    attachModule(host);
    Module& module = *modulePtr();
    module.settings().setScheme(1); // unchanged: nothing happens
    EXPECT_EQ(host.invalidations, 0);
    module.settings().setScheme(2);
    EXPECT_EQ(module.settings().schemeIndex(), 2);
    EXPECT_GE(host.invalidations, 1);
    EXPECT_EQ(host.infos.back(), u"组词方法:先输入声母，再输入韵母。");
}

TEST_F(ModuleTest, SchemeChangeRebuildsTheSchemeTables) {
    // codePyMain.pmt: "1<TAB>横区" in UTF-16LE with a mark.
    folder.write("codePyMain.pmt", std::string("\xFF\xFE"
                                               "1\0\t\0\x2A\x6A\x3A\x53",
                                               10));
    attachModule(host);
    Module& module = *modulePtr();
    EXPECT_EQ(module.currentCodeHint(u"1"), u"横区");
    module.settings().setScheme(2);
    EXPECT_EQ(module.currentCodeHint(u"1"), u""); // the plain table at once
    EXPECT_NE(module.engine(), nullptr);
    module.settings().setScheme(3);
    EXPECT_EQ(module.engine(), nullptr);              // no engine, tables still rebuilt
    EXPECT_EQ(module.proposeWordCode(u"中国"), u"0"); // no codes: only the separator part
    module.settings().setScheme(1);
    EXPECT_NE(module.engine(), nullptr);
    EXPECT_EQ(module.currentCodeHint(u"1"), u"横区");
}

TEST_F(ModuleTest, SecureDesktopIsRememberedForGood) {
    attachModule(host);
    EXPECT_TRUE(modulePtr()->mayLaunch());
    modulePtr()->markSecureDesktop();
    EXPECT_FALSE(modulePtr()->mayLaunch());
}

} // namespace
} // namespace tovi
