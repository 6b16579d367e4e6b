// The tables built from the installed Debian dictionaries (rime-data-wubi,
// rime-data-pinyin-simp): every GB 2312 hanzi the dictionary holds can be typed, and the
// commonest words come first. Skipped where the dictionaries are not installed.
#include "dict_source.h"
#include "platform/code_page.h"
#include "table_builder.h"
#include "table_check.h"
#include "tables/code_table_index.h"
#include "tables/table_candidates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>

namespace tovi::tools {
namespace {

const std::filesystem::path kRimeData = "/usr/share/rime-data";

// The 6,763 hanzi of GB 2312: GBK rows 0xB0 to 0xF7, cells 0xA1 to 0xFE, less the five empty
// cells at the end of row 0xD7.
std::vector<char16_t> gb2312Hanzi() {
    std::vector<char16_t> hanzi;
    for (int row = 0xB0; row <= 0xF7; ++row) {
        for (int cell = 0xA1; cell <= 0xFE; ++cell) {
            if (row == 0xD7 && cell >= 0xFA)
                continue;
            const std::string bytes{static_cast<char>(row), static_cast<char>(cell)};
            const auto text = platform::gbkToUtf16(bytes);
            EXPECT_TRUE(text && text->size() == 1) << row << ' ' << cell;
            if (text && text->size() == 1)
                hanzi.push_back((*text)[0]);
        }
    }
    return hanzi;
}

DictSource readSource(const std::string& name) {
    std::ifstream in(kRimeData / name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return readRimeDict(bytes);
}

// Builds the scheme's table from its dictionary, writes and reads it back as the module would,
// and checks it.
void checkScheme(const std::string& source, Scheme scheme, const std::u16string& code) {
    if (!std::filesystem::exists(kRimeData / source))
        GTEST_SKIP() << source << " is not installed";
    const DictSource dict = readSource(source);
    ASSERT_TRUE(dict.ok()) << dict.error;
    const BuiltTable built = buildCodeTable(dict.entries, scheme);
    const std::string file = writeCodeTable(built.table);
    const TableReport report = verifyCodeTable(file, layoutOf(scheme));
    EXPECT_TRUE(report.ok()) << (report.details.empty() ? "" : report.details[0]);
    const CodeTableParse parse = parseCodeTable(file, layoutOf(scheme));
    ASSERT_TRUE(parse.ok());
    EXPECT_EQ(parse.table.size(), built.counts.kept);

    // Typable: a one-character entry in the table.
    std::set<char16_t> inSource, typable;
    for (const DictEntry& e : dict.entries)
        if (e.text.size() == 1)
            inSource.insert(e.text[0]);
    for (std::size_t i = 0; i < parse.table.size(); ++i)
        if (parse.table.text(i).size() == 1)
            typable.insert(parse.table.text(i)[0]);
    std::size_t held = 0;
    for (const char16_t c : gb2312Hanzi()) {
        if (!inSource.contains(c))
            continue;
        ++held;
        EXPECT_TRUE(typable.contains(c)) << "U+" << std::hex << static_cast<int>(c);
    }
    std::cout << source << ": " << held << " of 6763 GB 2312 hanzi in the source, all typable; "
              << built.counts.kept << " entries\n";
    EXPECT_GT(held, 6000u);

    const CodeTableIndex index(parse.table);
    std::vector<std::u16string> candidates;
    if (scheme == Scheme::Keypad) {
        ExactMatch exact;
        candidates = findByCode(index.view(), code, {}, exact);
    } else {
        candidates = findByLetters(index.view(), code, {});
    }
    ASSERT_FALSE(candidates.empty());
    EXPECT_EQ(candidates.front(), u"中国");
}

TEST(RealTables, KeypadTableTypesGb2312AndPutsZhongguoFirst) {
    checkScheme("wubi86.dict.yaml", Scheme::Keypad, u"23212411");
}

TEST(RealTables, PinyinTableTypesGb2312AndPutsZhongguoFirst) {
    checkScheme("pinyin_simp.dict.yaml", Scheme::Pinyin, u"zhongguo");
}

} // namespace
} // namespace tovi::tools
