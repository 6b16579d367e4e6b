#include "platform/shared_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tovi::platform {
namespace {

class SharedMemoryTest : public ::testing::Test {
protected:
    void SetUp() override { SharedMemory::removeName(name); }
    void TearDown() override { SharedMemory::removeName(name); }
    const std::u16string name =
        u"tovi-test-shm-" + std::u16string(1, static_cast<char16_t>(u'a' + getpid() % 26));
};

TEST_F(SharedMemoryTest, FirstOpenCreatesAZeroedBlockLaterOpensShareIt) {
    auto first = SharedMemory::openOrCreate(name, 8192);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->existed());
    EXPECT_EQ(first->size(), 8192u);
    const auto* bytes = static_cast<const unsigned char*>(first->data());
    for (std::size_t i = 0; i < 8192; ++i)
        ASSERT_EQ(bytes[i], 0) << i;

    auto second = SharedMemory::openOrCreate(name, 4096);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->existed());
    std::memcpy(second->data(), "shared", 7);
    EXPECT_STREQ(static_cast<const char*>(first->data()), "shared");
}

TEST_F(SharedMemoryTest, AnotherProcessSeesTheSameBytes) {
    auto block = SharedMemory::openOrCreate(name, 4096);
    ASSERT_TRUE(block);
    const pid_t child = fork();
    if (child == 0) {
        auto mine = SharedMemory::openOrCreate(name, 4096);
        if (mine && mine->existed())
            std::memcpy(mine->data(), "from child", 11);
        _exit(mine ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_STREQ(static_cast<const char*>(block->data()), "from child");
}

TEST_F(SharedMemoryTest, RefusesAnExistingBlockSmallerThanAsked) {
    auto small = SharedMemory::openOrCreate(name, 4096);
    ASSERT_TRUE(small);
    EXPECT_FALSE(SharedMemory::openOrCreate(name, 1 << 20));
    EXPECT_FALSE(SharedMemory::openOrCreate(name, 0));
}

TEST_F(SharedMemoryTest, MovedFromBlockOwnsNothing) {
    auto block = SharedMemory::openOrCreate(name, 4096);
    ASSERT_TRUE(block);
    SharedMemory moved = std::move(*block);
    EXPECT_EQ(block->data(), nullptr);
    EXPECT_NE(moved.data(), nullptr);
    static_cast<char*>(moved.data())[0] = 'x';
}

} // namespace
} // namespace tovi::platform
