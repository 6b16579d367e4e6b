#include "platform/gbk_codec.h"
#include "platform/named_mutex.h"

#include "code_table_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <unistd.h>

namespace tovi::platform {
namespace {

std::u16string uniqueName() {
    static int serial = 0;
    const std::string s =
        "tovi.test.mutex." + std::to_string(::getpid()) + "." + std::to_string(++serial);
    return std::u16string(s.begin(), s.end());
}

TEST(NamedMutex, ExcludesOtherProcessesUntilReleased) {
    const auto name = uniqueName();
    auto mutex = NamedMutex::open(name);
    ASSERT_TRUE(mutex);
    {
        NamedMutexLock lock(*mutex, 1000);
        ASSERT_TRUE(lock.owns());
        EXPECT_EQ(test::inChild([&] {
                      auto other = NamedMutex::open(name);
                      return other && other->lock(50) == LockResult::TimedOut ? 0 : 1;
                  }),
                  0);
    }
    EXPECT_EQ(test::inChild([&] {
                  auto other = NamedMutex::open(name);
                  if (!other || other->lock(1000) != LockResult::Acquired)
                      return 1;
                  other->unlock();
                  return 0;
              }),
              0);
    NamedMutex::removeName(name);
}

TEST(NamedMutex, AnOwnerThatDiesIsReportedToTheNext) {
    const auto name = uniqueName();
    EXPECT_EQ(test::inChild([&] {
                  auto mutex = NamedMutex::open(name);
                  // Ends holding it, as a crash would.
                  ::_exit(mutex && mutex->lock(1000) == LockResult::Acquired ? 0 : 1);
                  return 1;
              }),
              0);
    auto mutex = NamedMutex::open(name);
    ASSERT_TRUE(mutex);
    EXPECT_EQ(mutex->lock(1000), LockResult::Recovered);
    mutex->unlock();
    EXPECT_EQ(mutex->lock(1000), LockResult::Acquired);
    mutex->unlock();
    NamedMutex::removeName(name);
}

TEST(GbkCodec, AgreesWithTheSingleCallConversions) {
    GbkCodec codec;
    std::array<char16_t, 8> units{};
    EXPECT_EQ(codec.decode("\xD6\xD0\xB9\xFA"
                           "ab",
                           units),
              4u);
    EXPECT_EQ(std::u16string(units.data(), 4), u"中国ab");
    EXPECT_EQ(codec.decode("\xD6", units), std::nullopt);
    // A failure leaves the converter usable.
    EXPECT_EQ(codec.decode("\xB9\xFA", units), 1u);
    EXPECT_EQ(codec.decode("123", std::span(units).first(2)), std::nullopt);
    std::array<char, 8> bytes{};
    EXPECT_EQ(codec.encode(u"中a", bytes), 3u);
    EXPECT_EQ(std::string(bytes.data(), 3), "\xD6\xD0"
                                            "a");
    EXPECT_EQ(codec.encode(u"\U0001F600", bytes), std::nullopt);
    EXPECT_EQ(codec.encode(u"国", bytes), 2u);
}

} // namespace
} // namespace tovi::platform
