// Checks and lists code-table files (".mb"). The checker frames the file on its own, so that it
// finds what a reader would trip over and says where.
#pragma once

#include "tables/code_table_file.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovi::tools {

enum class TableProblem : std::uint8_t {
    Header,           // short header, negative count, starts that are not the sums of the counts
    Framing,          // a length byte of 0 or above 127, or the file ends inside an entry
    TrailingBytes,    // bytes after the last entry
    NotGbk,           // a code or text that code page 936 does not define, or with a NUL
    BadKey,           // a code character that is not a key of the layout
    WrongBucket,      // a code that does not begin with its bucket's key
    SplitCode,        // entries of one code that do not stand together
    ExactAfterLonger, // an entry after a longer code that begins with its code
    Duplicate,        // the same code and text twice
};
inline constexpr std::size_t kTableProblemKinds = 9;

std::string_view describe(TableProblem problem);

struct TableReport {
    std::size_t entries = 0; // as the header says
    std::array<std::size_t, kTableProblemKinds> counts{};
    // The first problems, as "entry N (code …): what", for a person to read.
    std::vector<std::string> details;

    std::size_t count(TableProblem p) const { return counts[static_cast<std::size_t>(p)]; }
    std::size_t total() const;
    bool ok() const { return total() == 0; }
};

// Checks a whole file: header, framing, every field, bucket membership and the order of the
// entries (exact matches of a code before its continuations, a code's entries together, no
// duplicates; see table_builder.h). Tables that users have edited may break the order rules;
// the tables that are shipped must not.
TableReport verifyCodeTable(std::string_view file, CodeTableLayout layout);

// The file as UTF-8 text: a header line, then one line per bucket and per entry
// ("code<TAB>text"). Empty with `error` set when the file can't be read as a table.
std::string dumpCodeTable(std::string_view file, CodeTableLayout layout, std::string& error);

// The layout a file's name implies (toviwb.mb: keypad, tovipy.mb: pinyin), if any.
std::optional<CodeTableLayout> layoutFromFileName(std::string_view name);

} // namespace tovi::tools
