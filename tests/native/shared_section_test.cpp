#include "platform/shared_memory.h"
#include "platform/shared_section.h"
#include "platform/shared_section_name.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace tovi::platform {
namespace {

TEST(SharedSectionLayout, AFreshSectionTakesThisLayoutAndKeepsIt) {
    SharedControlSection section{};
    EXPECT_TRUE(adoptLayout(section));
    EXPECT_EQ(section.layout, kSharedControlLayout);
    EXPECT_TRUE(adoptLayout(section));
    EXPECT_EQ(section.instanceCounter, 0u);
}

TEST(SharedSectionLayout, ASectionOfAnotherLayoutIsRefusedAndLeftAsItIs) {
    SharedControlSection section{};
    section.layout = kSharedControlLayout + 1;
    EXPECT_FALSE(adoptLayout(section));
    EXPECT_EQ(section.layout, kSharedControlLayout + 1);
}

class SharedSectionObject : public ::testing::Test {
protected:
    void SetUp() override { SharedMemory::removeName(name); }
    void TearDown() override {
        setSharedSectionName(u"tovi.VemoraH");
        SharedMemory::removeName(name);
    }
    const std::u16string name = u"tovi-test-layout-" + std::u16string(1, u'a' + getpid() % 26);
};

TEST_F(SharedSectionObject, TheFirstUseSetsTheLayoutUp) {
    setSharedSectionName(name);
    SharedControlSection* section = sharedControlSection();
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->layout, kSharedControlLayout);
    EXPECT_EQ(sharedControlSection(), section);
    EXPECT_FALSE(isProcessPrivate(section));
}

TEST_F(SharedSectionObject, AnObjectOfAnotherLayoutIsNotUsed) {
    auto foreign = SharedMemory::openOrCreate(name, sizeof(SharedControlSection));
    ASSERT_TRUE(foreign);
    // "TVC1": the layout of an older build, whose blocks record no owner of the pools.
    static_cast<SharedControlSection*>(foreign->data())->layout = 0x31435654;
    setSharedSectionName(name);
    EXPECT_EQ(sharedControlSection(), nullptr);
    EXPECT_EQ(static_cast<SharedControlSection*>(foreign->data())->instanceCounter, 0u);
}

} // namespace
} // namespace tovi::platform
