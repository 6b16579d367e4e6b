// The searches through the code order list exactly what a scan of the bucket lists, in the same
// order, with the same counts: on tables made to trip the sort key, and on the real tables.
#include "dict_source.h"
#include "table_builder.h"
#include "tables/code_order.h"
#include "tables/table_candidates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace tovi {
namespace {

using Candidates = std::vector<std::u16string>;

// The search as a plain scan of the bucket: every prefix match in bucket order, at most 150;
// with a selection pending the scan stops at the first longer code.
Candidates scanByCode(const CodeTableView& table, std::u16string_view code, bool pending,
                      ExactMatch& exact) {
    Candidates found;
    exact = ExactMatch{};
    const auto [first, last] = table.bucket(code.front());
    for (std::size_t i = first; i < last && found.size() < kMaxCodeCandidates; ++i) {
        const std::u16string_view entry = table.code(i);
        if (!isPrefixMatch(entry, code))
            continue;
        if (entry.size() > code.size() && pending)
            break;
        exact.count += entry.size() == code.size() ? 1 : 0;
        found.push_back(std::u16string(table.text(i)) + std::u16string(entry.substr(code.size())));
    }
    exact.single = exact.count == 1;
    return found;
}

Candidates scanByLetters(const CodeTableView& table, std::u16string_view code) {
    Candidates found;
    const auto [first, last] = table.bucket(code.front());
    for (std::size_t i = first; i < last; ++i) {
        const std::u16string_view entry = table.code(i);
        if (isPrefixMatch(entry, code))
            found.push_back(std::u16string(table.text(i)) +
                            std::u16string(entry.substr(code.size())));
    }
    return found;
}

// Compares both searches for `code`, with and without a pending selection.
void expectSameAsScan(const CodeTableView& table, std::u16string_view code) {
    SCOPED_TRACE(std::string(code.begin(), code.end()));
    for (const bool pending : {false, true}) {
        SearchOptions options;
        options.selectionPending = pending;
        ExactMatch listed{7, true};
        ExactMatch scanned;
        ASSERT_EQ(findByCode(table, code, options, listed),
                  scanByCode(table, code, pending, scanned))
            << "pending " << pending;
        ASSERT_EQ(listed.count, scanned.count) << "pending " << pending;
        ASSERT_EQ(listed.single, scanned.single) << "pending " << pending;
    }
    ASSERT_EQ(findByLetters(table, code, {}), scanByLetters(table, code));
}

// Every prefix of every code of the table, and codes that find nothing.
void expectEveryPrefixSameAsScan(const CodeTableData& data) {
    const CodeTableIndex index(data);
    const CodeTableView view = index.view();
    ASSERT_EQ(view.byCode.size(), view.size());
    std::set<std::u16string> codes;
    for (std::size_t i = 0; i < data.size(); ++i)
        for (std::size_t n = 1; n <= data.code(i).size(); ++n)
            codes.insert(std::u16string(data.code(i).substr(0, n)));
    for (const std::u16string& code : codes) {
        expectSameAsScan(view, code);
        expectSameAsScan(view, code + u'0');
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

TEST(CodeOrder, ListsAsTheScanDoesWhereTheSortKeyCannotDecide) {
    CodeTableData letters(CodeTableLayout::Letters);
    // Codes longer than the key holds that differ only at the end, equal codes out of their
    // order and apart, a code unit above 255, a promoted entry ahead of shorter codes, and a
    // bucket with more matches than the keypad lists.
    const std::u16string a = u"阿";
    for (int i = 0; i < 400; ++i) {
        const std::u16string code = u"a" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
                                    std::u16string(1, static_cast<char16_t>(u'a' + i / 26 % 26));
        ASSERT_EQ(letters.append(code, a), EntryFault::None);
        if (i % 3 == 0) {
            ASSERT_EQ(letters.append(u"a", u"啊"), EntryFault::None);
        }
    }
    for (const auto& [code, text] :
         std::vector<std::pair<std::u16string, std::u16string>>{{u"zhonghuarenmin", u"中华人民"},
                                                                {u"zhonghuarenmen", u"中华人们"},
                                                                {u"zhong", u"中"},
                                                                {u"zhonghuarenmin", u"中華人民"},
                                                                {u"zhonghua", u"中华"},
                                                                {u"zhong", u"钟"},
                                                                {u"z\u4E2D", u"中"},
                                                                {u"z\u4E2Da", u"中啊"},
                                                                {u"zh", u"知"},
                                                                {u"z", u"在"}}) {
        ASSERT_EQ(letters.append(code, text), EntryFault::None);
    }
    expectEveryPrefixSameAsScan(letters);

    CodeTableData digits(CodeTableLayout::Digits);
    for (int i = 0; i < 600; ++i) {
        const std::u16string code = u"3" + std::u16string(1, static_cast<char16_t>(u'1' + i % 5)) +
                                    (i % 4 == 0 ? u"" : std::u16string(1, u'1' + i / 5 % 5));
        ASSERT_EQ(digits.append(code, i % 2 ? u"工" : u"式"), EntryFault::None);
    }
    expectEveryPrefixSameAsScan(digits);
}

// The tables built from the installed dictionaries: every code of up to three keys, and every
// prefix of a spread of longer codes.
void expectRealTableSameAsScan(const std::string& source, Scheme scheme) {
    const std::filesystem::path path = std::filesystem::path("/usr/share/rime-data") / source;
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << source << " is not installed";
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const tools::DictSource dict = tools::readRimeDict(bytes);
    ASSERT_TRUE(dict.ok()) << dict.error;
    const tools::BuiltTable built = tools::buildCodeTable(dict.entries, scheme);
    const CodeTableIndex index(built.table);
    const CodeTableView view = index.view();
    ASSERT_EQ(view.byCode.size(), view.size());
    std::set<std::u16string> codes;
    for (std::size_t i = 0; i < view.size(); ++i) {
        const std::u16string_view code = view.code(i);
        const std::size_t longest =
            i % 97 == 0 ? code.size() : std::min<std::size_t>(code.size(), 3);
        for (std::size_t n = 1; n <= longest; ++n)
            codes.insert(std::u16string(code.substr(0, n)));
    }
    for (const std::u16string& code : codes) {
        expectSameAsScan(view, code);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

TEST(CodeOrder, ListsAsTheScanDoesOnTheRealKeypadTable) {
    expectRealTableSameAsScan("wubi86.dict.yaml", Scheme::Keypad);
}

TEST(CodeOrder, ListsAsTheScanDoesOnTheRealPinyinTable) {
    expectRealTableSameAsScan("pinyin_simp.dict.yaml", Scheme::Pinyin);
}

TEST(CodeOrder, StartsThatDisagreeWithTheEntriesGiveNoOrder) {
    constexpr std::u16string_view units = u"11\u4E0012\u4E2D";
    const std::vector<IndexEntry> entries{{0, 2, 2, 1}, {3, 5, 2, 1}};
    const std::vector<std::int32_t> starts{0, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    CodeTableView view{CodeTableLayout::Digits, starts, units.data(), units.data(), entries, {}};
    EXPECT_TRUE(sortEntriesByCode(view).empty());
    const std::vector<std::int32_t> aligned{0, 2, 2, 2, 2, 2, 2, 2, 2, 2};
    view.starts = aligned;
    const std::vector<std::uint32_t> order = sortEntriesByCode(view);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{0, 1}));
    view.byCode = order;
    EXPECT_EQ(prefixRange(view, u"12"), (std::pair<std::size_t, std::size_t>{1, 2}));
}

} // namespace
} // namespace tovi
