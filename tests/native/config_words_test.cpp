#include "tables/config_words.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace tovi {
namespace {

TEST(ConfigValue, ReadsLikeASignedDecimal) {
    EXPECT_EQ(configValue("161"), 161);
    EXPECT_EQ(configValue("+7"), 7);
    EXPECT_EQ(configValue("-0"), 0);
    EXPECT_EQ(configValue("12abc"), 12);
    EXPECT_EQ(configValue("abc"), 0);
    EXPECT_EQ(configValue(""), 0);
    EXPECT_EQ(configValue("--3"), 0);
    EXPECT_EQ(configValue("0x400"), 0);
}

TEST(ConfigValue, OnlyTheFirstNineteenBytesCount) {
    EXPECT_EQ(configValue("0000000000000000001"), 1);  // 19 bytes
    EXPECT_EQ(configValue("00000000000000000001"), 0); // the 20th byte is cut
    EXPECT_EQ(configValue("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(configValue("2147483648"), 2147483647);
}

struct FileDeleter {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::unique_ptr<std::FILE, FileDeleter> memoryFile(const std::string& text) {
    std::FILE* f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    return std::unique_ptr<std::FILE, FileDeleter>(f);
}

TEST(ConfigWordReader, SplitsOnAnyWhiteSpaceAndCutsLongWords) {
    const auto file = memoryFile(" a\tbb\r\n\v\fccc " + std::string(300, 'x') + "y z");
    ConfigWordReader words(file.get());
    EXPECT_EQ(words.next(), "a");
    EXPECT_EQ(words.next(), "bb");
    EXPECT_EQ(words.next(), "ccc");
    EXPECT_EQ(words.next(), std::string(kMaxConfigWord, 'x'));
    EXPECT_EQ(words.next(), "z");
    EXPECT_EQ(words.next(), std::nullopt);
    EXPECT_EQ(words.next(), std::nullopt);
}

TEST(ConfigWordReader, KeepsGbkCharactersWhole) {
    // 中 is D6 D0 and 文 is CE C4 in GBK; their bytes never read as white space.
    const auto file = memoryFile("\xD6\xD0\xCE\xC4 1");
    ConfigWordReader words(file.get());
    EXPECT_EQ(words.next(), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(words.next(), "1");
}

} // namespace
} // namespace tovi
