#include "ui/settings_dialog_model.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

TEST(SettingsDialogModel, CheckBoxesShowTheirFlagsAndSetOnlyThem) {
    // 全角符号 (1061), 竖排显示 (1074) and 启动百度搜索 (1075) on; the scheme bits are no box's.
    const std::uint32_t flags = 0x1 | 0x200 | 0x400 | 0x20;
    const auto checks = checksFromFlags(flags);
    for (std::size_t i = 0; i < kFlagCheckBoxCount; ++i) {
        const int control = flagCheckBoxes()[i].control;
        EXPECT_EQ(checks[i], control == 1061 || control == 1074 || control == 1075) << control;
    }
    EXPECT_EQ(flagsFromChecks(0x20, checks), flags);
    std::array<bool, kFlagCheckBoxCount> all{};
    all.fill(true);
    EXPECT_EQ(flagsFromChecks(0x40, all),
              0x40u | 0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x80 | 0x100 | 0x200 | 0x400);
    EXPECT_EQ(flagsFromChecks(0xFFFFFFFF, {}), 0x20u | 0x40u | 0xFFFFF800u);
}

TEST(SettingsDialogModel, SkinsNameOnlyTheirOwnFiles) {
    EXPECT_EQ(statusSkinPicture(u"skin-02.bmp"), u"\\skin\\skin-02.bmp");
    EXPECT_EQ(statusSkinPicture(u"default.bmp"), u"\\skin\\default.bmp");
    EXPECT_EQ(statusSkinPicture(u"..\\..\\config.ini"), u"\\skin\\default.bmp");
    EXPECT_EQ(candidateSkinPicture(0), u"\\skin\\cand-0.bmp");
    EXPECT_EQ(candidateSkinPicture(4), u"\\skin\\cand-4.bmp");
    EXPECT_EQ(candidateSkinPicture(5), u"\\skin\\cand-0.bmp"); // a hand-edited index
    EXPECT_EQ(candidateSkinPicture(-7), u"\\skin\\cand-0.bmp");
}

} // namespace
} // namespace tovi
