#include "code_table_index.h"

#include "tables/code_order.h"

#include "platform/char_conversions.h"

#include <algorithm>
#include <array>

namespace tovi {
namespace {

// "，" "。" "、" "；" "：" "？" "！" "…" "/" "*" "《" "》" "“" "”" "‘" "’" "（" "）" "-" "％"
// "＠" "￥" "＄" "℃" "·" "." "#" "＋" "－" "×" "÷" "＝" "§" "※" "★" "●"
constexpr std::array<std::u16string_view, 36> kSymbols = {
    u"\uFF0C", u"\u3002", u"\u3001", u"\uFF1B", u"\uFF1A", u"\uFF1F", u"\uFF01", u"\u2026",
    u"/",      u"*",      u"\u300A", u"\u300B", u"\u201C", u"\u201D", u"\u2018", u"\u2019",
    u"\uFF08", u"\uFF09", u"-",      u"\uFF05", u"\uFF20", u"\uFFE5", u"\uFF04", u"\u2103",
    u"\u00B7", u".",      u"#",      u"\uFF0B", u"\uFF0D", u"\u00D7", u"\u00F7", u"\uFF1D",
    u"\u00A7", u"\u203B", u"\u2605", u"\u25CF",
};

} // namespace

std::u16string candidateText(std::u16string_view text, std::u16string_view rest,
                             const SearchOptions& options) {
    std::u16string s;
    s.reserve(text.size() + rest.size() + 1);
    s.append(text);
    s.append(rest);
    if (options.traditionalOutput && !s.empty()) {
        // The traditional form has the same length; the extra unit holds the terminator.
        std::u16string converted(s.size() + 1, u'\0');
        converted.resize(toTraditional(s, converted));
        return converted;
    }
    return s;
}

std::pair<std::size_t, std::size_t> CodeTableView::bucket(char16_t key) const {
    const auto b = bucketOf(layout, key);
    if (!b || starts.size() != bucketCount(layout) + 1)
        return {0, 0};
    const std::size_t entries = size();
    const auto clamp = [entries](std::int32_t start) {
        return start < 0 ? std::size_t{0} : std::min(static_cast<std::size_t>(start), entries);
    };
    const std::size_t first = clamp(starts[*b]);
    return {first, std::max(first, clamp(starts[*b + 1]))};
}

CodeTableIndex::CodeTableIndex(const CodeTableData& data)
    : layout_(data.layout()), starts_(data.starts().begin(), data.starts().end()),
      units_(data.units().data()) {
    entries_.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::u16string_view code = data.code(i);
        const std::u16string_view text = data.text(i);
        entries_.push_back(IndexEntry{static_cast<std::uint32_t>(code.data() - units_),
                                      static_cast<std::uint32_t>(text.data() - units_),
                                      static_cast<std::uint8_t>(code.size()),
                                      static_cast<std::uint8_t>(text.size())});
    }
    byCode_ = sortEntriesByCode(view());
}

CodeTableView CodeTableIndex::view() const {
    return CodeTableView{layout_, starts_, units_, units_, entries_, byCode_};
}

std::span<const std::u16string_view> codeSymbols() {
    return kSymbols;
}

std::vector<std::u16string> findByWildcard(const CodeTableView& table, std::u16string_view code,
                                           const SearchOptions& options) {
    std::vector<std::u16string> candidates;
    if (code.size() < 2)
        return candidates;
    const std::size_t wildcard = std::min(code.find(u'z', 1), code.size());
    const std::u16string_view fixed = code.substr(1, wildcard - 1);
    const auto [first, last] = table.bucket(code.front());
    for (std::size_t i = first; i < last; ++i) {
        const std::u16string_view entryCode = table.code(i);
        if (entryCode.size() == code.size() && entryCode.substr(1, fixed.size()) == fixed)
            candidates.push_back(candidateText(table.text(i), entryCode.substr(wildcard), options));
    }
    return candidates;
}

std::vector<std::u16string> findContinuations(const CodeTableView& table, std::u16string_view code,
                                              std::u16string_view text,
                                              const SearchOptions& options) {
    std::vector<std::u16string> candidates;
    if (code.empty())
        return candidates;
    // Positions 1 .. length - 2: the last typed character is not compared.
    const std::u16string_view compared = code.size() > 2 ? code.substr(1, code.size() - 2) : u"";
    const auto [first, last] = table.bucket(code.front());
    for (std::size_t i = first; i < last; ++i) {
        const std::u16string_view entryCode = table.code(i);
        if (entryCode.size() < compared.size() + 1 ||
            entryCode.substr(1, compared.size()) != compared)
            continue;
        std::u16string candidate = candidateText(table.text(i), {}, options);
        if (candidate.size() > text.size() && std::u16string_view(candidate).starts_with(text))
            candidates.push_back(std::move(candidate));
    }
    return candidates;
}

std::u16string textToCommit(std::u16string_view candidate, const CommitContext& context) {
    if (candidate.empty())
        return {};
    // A candidate is a text that may be followed by code keys (ASCII): its first character, then
    // every following character above 128, is the text. "T恤" stays whole; "中国21" loses "21".
    std::size_t run = 1;
    while (run < candidate.size() && candidate[run] > 128)
        ++run;
    std::u16string_view committed = candidate.substr(0, run);

    // An association candidate repeats the text just committed; only the continuation goes out.
    if (context.engineCode.starts_with(u' ') && !context.ctrlSelect && context.wordAssociation &&
        context.lastCommitted.size() < committed.size())
        committed.remove_prefix(context.lastCommitted.size());
    return std::u16string(committed);
}

} // namespace tovi
