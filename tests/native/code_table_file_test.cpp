#include "tables/code_table_file.h"

#include "raw_table_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace tovi {
namespace {

using test::entry;
using test::field;
using test::le32;

std::string header(const std::vector<std::int32_t>& counts,
                   const std::vector<std::int32_t>& starts) {
    std::string out;
    for (const auto c : counts)
        out += le32(c);
    for (const auto s : starts)
        out += le32(s);
    return out;
}

// A consistent header for the given bucket counts.
std::string headerFor(const std::vector<std::int32_t>& counts) {
    std::vector<std::int32_t> starts{0};
    for (const auto c : counts)
        starts.push_back(starts.back() + c);
    return header(counts, starts);
}

std::vector<std::int32_t> keypadCounts(std::initializer_list<std::pair<int, std::int32_t>> set) {
    std::vector<std::int32_t> counts(9, 0);
    for (const auto& [bucket, count] : set)
        counts[bucket] = count;
    return counts;
}

const std::string kZhong = "\xD6\xD0";       // 中
const std::string kGuo = "\xB9\xFA";         // 国
const std::string kRen = "\xC8\xCB";         // 人
const std::string kZhongGuo = kZhong + kGuo; // 中国

// Bucket "1": 11 中, 1234 中国; bucket "3": 3 人; the others empty.
std::string smallKeypadFile() {
    return headerFor(keypadCounts({{0, 2}, {2, 1}})) + entry("11", kZhong) +
           entry("1234", kZhongGuo) + entry("3", kRen);
}

TEST(CodeTableLayout, SchemesOneAndTwoHaveLayouts) {
    EXPECT_EQ(layoutOfScheme(Scheme::Keypad), CodeTableLayout::Digits);
    EXPECT_EQ(layoutOfScheme(Scheme::Pinyin), CodeTableLayout::Letters);
    EXPECT_EQ(layoutOfScheme(Scheme::A), std::nullopt);
    EXPECT_EQ(layoutOfScheme(Scheme::D), std::nullopt);
}

TEST(CodeTableLayout, BucketOfKeys) {
    EXPECT_EQ(bucketOf(CodeTableLayout::Digits, u'1'), 0u);
    EXPECT_EQ(bucketOf(CodeTableLayout::Digits, u'9'), 8u);
    EXPECT_EQ(bucketOf(CodeTableLayout::Digits, u'0'), std::nullopt);
    EXPECT_EQ(bucketOf(CodeTableLayout::Digits, u'/'), std::nullopt);
    EXPECT_EQ(bucketOf(CodeTableLayout::Digits, u':'), std::nullopt);
    EXPECT_EQ(bucketOf(CodeTableLayout::Letters, u'a'), 0u);
    EXPECT_EQ(bucketOf(CodeTableLayout::Letters, u'z'), 25u);
    EXPECT_EQ(bucketOf(CodeTableLayout::Letters, u'A'), std::nullopt);
    EXPECT_EQ(bucketOf(CodeTableLayout::Letters, u'{'), std::nullopt);
    EXPECT_EQ(bucketOf(CodeTableLayout::Letters, u'\u4E2D'), std::nullopt);
}

TEST(CodeTableFile, ParsesKeypadFile) {
    const auto parsed = parseCodeTable(smallKeypadFile(), CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok()) << describe(parsed.fault);
    EXPECT_EQ(parsed.skipped(), 0u);
    const CodeTableData& t = parsed.table;
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t.codeBytes(1), "1234");
    EXPECT_EQ(t.textBytes(1), kZhongGuo);
    EXPECT_EQ(t.code(1), u"1234");
    EXPECT_EQ(t.text(1), u"中国");
    EXPECT_EQ(t.text(2), u"人");
    EXPECT_EQ(std::vector<std::int32_t>(t.starts().begin(), t.starts().end()),
              (std::vector<std::int32_t>{0, 2, 2, 3, 3, 3, 3, 3, 3, 3}));
    EXPECT_EQ(t.count(0), 2);
    EXPECT_EQ(t.count(1), 0);
    EXPECT_EQ(t.count(2), 1);
}

TEST(CodeTableFile, WritesTheExactBytesItParsed) {
    const std::string file = smallKeypadFile();
    const auto parsed = parseCodeTable(file, CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(writeCodeTable(parsed.table), file);
}

TEST(CodeTableFile, WritesTablesBuiltInUtf16) {
    CodeTableData table(CodeTableLayout::Digits);
    EXPECT_EQ(table.append(u"11", u"中"), EntryFault::None);
    EXPECT_EQ(table.append(u"1234", u"中国"), EntryFault::None);
    EXPECT_EQ(table.append(u"3", u"人"), EntryFault::None);
    EXPECT_EQ(writeCodeTable(table), smallKeypadFile());
}

TEST(CodeTableFile, EmptyTableIsHeaderOfZeros) {
    EXPECT_EQ(writeCodeTable(CodeTableData(CodeTableLayout::Digits)), std::string(19 * 4, '\0'));
    const auto parsed = parseCodeTable(std::string(19 * 4, '\0'), CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok());
    EXPECT_TRUE(parsed.table.empty());
}

TEST(CodeTableFile, PinyinFileHas26CountsAnd27Starts) {
    CodeTableData table(CodeTableLayout::Letters);
    ASSERT_EQ(table.append(u"a", u"啊"), EntryFault::None);
    ASSERT_EQ(table.append(u"zhong", u"中"), EntryFault::None);
    ASSERT_EQ(table.append(u"zhongguo", u"中国"), EntryFault::None);
    const std::string file = writeCodeTable(table);

    std::vector<std::int32_t> counts(26, 0);
    counts[0] = 1;
    counts[25] = 2;
    const std::string expected = headerFor(counts) + entry("a", "\xB0\xA1") +
                                 entry("zhong", kZhong) + entry("zhongguo", kZhongGuo);
    EXPECT_EQ(file, expected);
    EXPECT_EQ(expected.size(), (26 + 27) * 4 + 5 + 9 + 14);

    const auto parsed = parseCodeTable(file, CodeTableLayout::Letters);
    ASSERT_TRUE(parsed.ok());
    ASSERT_EQ(parsed.table.size(), 3u);
    EXPECT_EQ(parsed.table.code(2), u"zhongguo");
    EXPECT_EQ(parsed.table.starts()[25], 1);
    EXPECT_EQ(parsed.table.starts()[26], 3);
}

TEST(CodeTableFile, RoundTripsEveryBucketAndLongestFields) {
    CodeTableData table(CodeTableLayout::Digits);
    const std::u16string longText(63, u'中'); // 126 bytes
    for (char16_t key = u'1'; key <= u'9'; ++key) {
        ASSERT_EQ(table.append(std::u16string(1, key), u"人"), EntryFault::None);
        ASSERT_EQ(table.append(std::u16string(127, key), longText + u"a"), EntryFault::None);
    }
    const auto parsed = parseCodeTable(writeCodeTable(table), CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok());
    ASSERT_EQ(parsed.table.size(), 18u);
    for (std::size_t i = 0; i < 18; ++i) {
        EXPECT_EQ(parsed.table.code(i), table.code(i));
        EXPECT_EQ(parsed.table.text(i), table.text(i));
    }
    EXPECT_EQ(parsed.table.textBytes(1).size(), 127u);
    EXPECT_EQ(parsed.table.text(1).size(), 64u);
    EXPECT_EQ(writeCodeTable(parsed.table), writeCodeTable(table));
}

TEST(CodeTableFile, AppendRefusesWhatTheFileCannotHold) {
    CodeTableData table(CodeTableLayout::Digits);
    EXPECT_EQ(table.append(u"", u"中"), EntryFault::BadLength);
    EXPECT_EQ(table.append(u"1", u""), EntryFault::BadLength);
    EXPECT_EQ(table.append(std::u16string(128, u'1'), u"中"), EntryFault::BadLength);
    EXPECT_EQ(table.append(u"1", std::u16string(64, u'中')), EntryFault::BadLength); // 128 bytes
    EXPECT_EQ(table.append(u"0", u"中"), EntryFault::WrongBucket);
    EXPECT_EQ(table.append(u"a", u"中"), EntryFault::WrongBucket);
    EXPECT_EQ(table.append(u"1", u"\U0001F600"), EntryFault::NotGbk);
    EXPECT_EQ(table.appendGbk("1", std::string("a\0b", 3)), EntryFault::NotGbk);
    EXPECT_EQ(table.appendGbk("1", "\xFF\xFF"), EntryFault::NotGbk);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.starts().back(), 0);
}

TEST(CodeTableFile, DecodesAsciiAndMixedTexts) {
    const std::string file = headerFor(keypadCounts({{0, 3}})) + entry("11", "abc") +
                             entry("12", "T" + kZhong) + entry("13", "\x80");
    const auto parsed = parseCodeTable(file, CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok());
    ASSERT_EQ(parsed.table.size(), 3u);
    EXPECT_EQ(parsed.table.text(0), u"abc");
    EXPECT_EQ(parsed.table.text(1), u"T中");
    EXPECT_EQ(parsed.table.text(2), u"€"); // code page 936's one single byte above ASCII
}

TEST(CodeTableFile, AppendKeepsBucketsGrouped) {
    CodeTableData table(CodeTableLayout::Digits);
    ASSERT_EQ(table.append(u"2", u"中"), EntryFault::None);
    EXPECT_EQ(table.append(u"1", u"国"), EntryFault::WrongBucket);
    EXPECT_EQ(table.append(u"2", u"国"), EntryFault::None);
    EXPECT_EQ(table.append(u"9", u"人"), EntryFault::None);
    EXPECT_EQ(table.size(), 3u);
    EXPECT_EQ(table.count(0), 0);
    EXPECT_EQ(table.count(1), 2);
    EXPECT_EQ(table.count(8), 1);
}

TEST(CodeTableFile, BucketCountsMatchEntries) {
    CodeTableData table(CodeTableLayout::Digits);
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(table.append(u"5" + std::u16string(1, char16_t(u'0' + i % 10)), u"中"),
                  EntryFault::None);
    const auto parsed = parseCodeTable(writeCodeTable(table), CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.table.count(4), 40);
    EXPECT_EQ(parsed.table.starts()[4], 0);
    EXPECT_EQ(parsed.table.starts()[5], 40);
    EXPECT_EQ(parsed.table.starts()[9], 40);
}

// Header faults

TEST(CodeTableFile, RefusesFileShorterThanHeader) {
    EXPECT_EQ(parseCodeTable(std::string(), CodeTableLayout::Digits).fault,
              CodeTableFault::ShortHeader);
    EXPECT_EQ(parseCodeTable(std::string(75, '\0'), CodeTableLayout::Digits).fault,
              CodeTableFault::ShortHeader);
    // A keypad-sized header is too short for the pinyin layout.
    EXPECT_EQ(parseCodeTable(std::string(76, '\0'), CodeTableLayout::Letters).fault,
              CodeTableFault::ShortHeader);
    EXPECT_EQ(parseCodeTable(std::string(211, '\0'), CodeTableLayout::Letters).fault,
              CodeTableFault::ShortHeader);
    EXPECT_TRUE(parseCodeTable(std::string(212, '\0'), CodeTableLayout::Letters).ok());
}

TEST(CodeTableFile, RefusesFirstStartOtherThanZero) {
    auto counts = keypadCounts({{0, 1}});
    std::vector<std::int32_t> starts{1, 2, 2, 2, 2, 2, 2, 2, 2, 2};
    const auto parsed = parseCodeTable(
        header(counts, starts) + entry("1", kZhong) + entry("1", kGuo), CodeTableLayout::Digits);
    EXPECT_EQ(parsed.fault, CodeTableFault::BadHeader);
    EXPECT_TRUE(parsed.table.empty());
}

TEST(CodeTableFile, RefusesCountsAndStartsThatDisagree) {
    // Bucket "1" claims 2 entries but bucket "2" starts at 1.
    auto counts = keypadCounts({{0, 2}});
    std::vector<std::int32_t> starts{0, 1, 2, 2, 2, 2, 2, 2, 2, 2};
    EXPECT_EQ(parseCodeTable(header(counts, starts) + entry("1", kZhong) + entry("1", kGuo),
                             CodeTableLayout::Digits)
                  .fault,
              CodeTableFault::BadHeader);
    // Counts that sum to more than the last start.
    counts = keypadCounts({{0, 1}, {8, 5}});
    starts = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(
        parseCodeTable(header(counts, starts) + entry("1", kZhong), CodeTableLayout::Digits).fault,
        CodeTableFault::BadHeader);
}

TEST(CodeTableFile, RefusesNegativeCounts) {
    // Consistent sums, but bucket "1" is negative and bucket "2" makes up for it.
    auto counts = keypadCounts({{0, -1}, {1, 2}});
    std::vector<std::int32_t> starts{0, -1, 1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(
        parseCodeTable(header(counts, starts) + entry("2", kZhong), CodeTableLayout::Digits).fault,
        CodeTableFault::BadHeader);
}

TEST(CodeTableFile, RefusesStartsThatOverflow) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    auto counts = keypadCounts({{0, kMax}, {1, 2}});
    std::vector<std::int32_t> starts{0, kMax, std::numeric_limits<std::int32_t>::min() + 1};
    starts.resize(10, starts.back());
    EXPECT_EQ(parseCodeTable(header(counts, starts), CodeTableLayout::Digits).fault,
              CodeTableFault::BadHeader);
}

TEST(CodeTableFile, RefusesCountFarBeyondFileSize) {
    // Two billion entries promised by a file of a few bytes: refused before any allocation.
    const auto counts = keypadCounts({{0, 2'000'000'000}});
    EXPECT_EQ(parseCodeTable(headerFor(counts) + entry("1", kZhong), CodeTableLayout::Digits).fault,
              CodeTableFault::TooManyEntries);
    // One entry more than four bytes each could hold.
    const auto two = keypadCounts({{0, 2}});
    EXPECT_EQ(parseCodeTable(headerFor(two) + "\x01"
                                              "1\x01"
                                              "a",
                             CodeTableLayout::Digits)
                  .fault,
              CodeTableFault::TooManyEntries);
}

TEST(CodeTableFile, RefusesFileLargerThanPoolsCouldHold) {
    std::string file = std::string(19 * 4, '\0');
    file.resize(kMaxCodeTableFileBytes + 1, '\0');
    EXPECT_EQ(parseCodeTable(file, CodeTableLayout::Digits).fault, CodeTableFault::TooLarge);
    file.resize(kMaxCodeTableFileBytes);
    EXPECT_TRUE(parseCodeTable(file, CodeTableLayout::Digits).ok()); // zeros after N = 0
}

// Entry framing faults

TEST(CodeTableFile, RefusesEveryTruncation) {
    const std::string file = smallKeypadFile();
    for (std::size_t size = 0; size < file.size(); ++size) {
        const auto parsed = parseCodeTable(file.substr(0, size), CodeTableLayout::Digits);
        // Three entries need at least 12 bytes after the header.
        const auto expected = size < 19 * 4        ? CodeTableFault::ShortHeader
                              : size - 19 * 4 < 12 ? CodeTableFault::TooManyEntries
                                                   : CodeTableFault::Truncated;
        EXPECT_EQ(parsed.fault, expected) << "size " << size;
        EXPECT_TRUE(parsed.table.empty());
    }
}

TEST(CodeTableFile, RefusesZeroLengths) {
    const auto one = headerFor(keypadCounts({{0, 1}}));
    EXPECT_EQ(
        parseCodeTable(one + std::string("\0\x02", 2) + kZhong, CodeTableLayout::Digits).fault,
        CodeTableFault::BadLength);
    EXPECT_EQ(
        parseCodeTable(one + field("1") + std::string(1, '\0') + "xx", CodeTableLayout::Digits)
            .fault,
        CodeTableFault::BadLength);
}

TEST(CodeTableFile, RefusesLengthsAbove127) {
    const auto one = headerFor(keypadCounts({{0, 1}}));
    // 128 bytes are present, so only the length rule refuses them.
    const std::string code128(128, '1');
    EXPECT_EQ(parseCodeTable(one + "\x80" + code128 + field(kZhong), CodeTableLayout::Digits).fault,
              CodeTableFault::BadLength);
    EXPECT_EQ(
        parseCodeTable(one + field("1") + "\xFF" + std::string(255, 'a'), CodeTableLayout::Digits)
            .fault,
        CodeTableFault::BadLength);
    // 127 is the longest field.
    std::string chinese127;
    for (int i = 0; i < 63; ++i)
        chinese127 += kZhong;
    chinese127 += "a";
    const auto parsed = parseCodeTable(one + field(std::string(127, '1')) + field(chinese127),
                                       CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.table.textBytes(0).size(), 127u);
    EXPECT_EQ(parsed.table.text(0).size(), 64u);
}

// Entry content faults: skipped, the rest kept

TEST(CodeTableFile, SkipsEntriesOutsideTheirBucket) {
    // Bucket "1" holds an entry of bucket "2" and one with no bucket; bucket "2" holds a "1".
    const std::string file = headerFor(keypadCounts({{0, 4}, {1, 2}})) + entry("11", kZhong) +
                             entry("21", kGuo) + entry("01", kGuo) + entry("12", kGuo) +
                             entry("1", kRen) + entry("22", kRen);
    const auto parsed = parseCodeTable(file, CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.skippedWrongBucket, 3u);
    ASSERT_EQ(parsed.table.size(), 3u);
    EXPECT_EQ(parsed.table.code(0), u"11");
    EXPECT_EQ(parsed.table.code(1), u"12");
    EXPECT_EQ(parsed.table.code(2), u"22");
    EXPECT_EQ(parsed.table.count(0), 2);
    EXPECT_EQ(parsed.table.count(1), 1);
    EXPECT_EQ(parsed.table.starts()[9], 3);
    // What is written back is consistent.
    const auto again = parseCodeTable(writeCodeTable(parsed.table), CodeTableLayout::Digits);
    EXPECT_TRUE(again.ok());
    EXPECT_EQ(again.skipped(), 0u);
}

TEST(CodeTableFile, SkipsPinyinEntriesOutsideTheirBucket) {
    std::vector<std::int32_t> counts(26, 0);
    counts[0] = 2;
    const std::string file = headerFor(counts) + entry("A", kZhong) + entry("ai", kRen);
    const auto parsed = parseCodeTable(file, CodeTableLayout::Letters);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.skippedWrongBucket, 1u);
    ASSERT_EQ(parsed.table.size(), 1u);
    EXPECT_EQ(parsed.table.code(0), u"ai");
}

TEST(CodeTableFile, SkipsEntriesThatAreNotGbk) {
    const std::string file = headerFor(keypadCounts({{0, 5}})) + entry("11", "\xFF\xFF") +
                             entry("12", "\xD6") + entry("13", std::string("\xD6\x00", 2)) +
                             entry(std::string("1\x00", 2), kZhong) + entry("15", kZhongGuo);
    const auto parsed = parseCodeTable(file, CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.skippedNotGbk, 4u);
    ASSERT_EQ(parsed.table.size(), 1u);
    EXPECT_EQ(parsed.table.code(0), u"15");
    EXPECT_EQ(parsed.table.text(0), u"中国");
    EXPECT_EQ(parsed.table.count(0), 1);
}

TEST(CodeTableFile, IgnoresBytesAfterTheLastEntry) {
    const auto parsed = parseCodeTable(smallKeypadFile() + "garbage", CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.table.size(), 3u);
}

TEST(CodeTableFile, AcceptsByteSpans) {
    const std::string file = smallKeypadFile();
    const auto parsed =
        parseCodeTable(std::as_bytes(std::span(file.data(), file.size())), CodeTableLayout::Digits);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.table.size(), 3u);
}

} // namespace
} // namespace tovi
