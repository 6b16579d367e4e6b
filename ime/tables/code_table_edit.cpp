// Edits of a loaded code table: promotion of a chosen word and the word maker. Each runs under
// the scheme's mutex on an index brought up to date first, so that it never writes back a table
// older than another process's save.
#include "code_table.h"

#include "platform/gbk_codec.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tovi {
namespace {

bool isKey(CodeTableLayout layout, char16_t c) {
    return layout == CodeTableLayout::Digits ? (c >= u'0' && c <= u'9') : (c >= u'a' && c <= u'z');
}

// Bytes of `s` in code page 936, when it has a form that fits one field of the file.
std::optional<std::size_t> fieldBytes(platform::GbkCodec& codec, std::u16string_view s) {
    if (s.empty() || s.size() > kMaxFieldBytes || s.find(u'\0') != std::u16string_view::npos)
        return std::nullopt;
    std::array<char, 2 * kMaxFieldBytes> bytes{};
    const auto n = codec.encode(s, bytes);
    if (!n || *n == 0 || *n > kMaxFieldBytes)
        return std::nullopt;
    return n;
}

constexpr std::u16string_view kNoTable = u"码表尚未载入！";
constexpr std::u16string_view kBusy = u"码表正忙，请稍后再试！";
constexpr std::u16string_view kPoolFull = u"码表空间已满，无法加词！";
constexpr std::u16string_view kTooLarge = u"码表过大，无法修改！";

} // namespace

void CodeTable::warn(std::u16string_view text) {
    if (warnings_ && *warnings_)
        (*warnings_)(text);
    else
        reporter_.messageBox(text, u"提示", CodeTableReporter::Style::Warning);
}

namespace {

// Sends a table's warnings to a sink for one call.
class WarningsTo {
public:
    WarningsTo(const CodeTable::WarningSink*& slot, const CodeTable::WarningSink& sink)
        : slot_(slot), old_(std::exchange(slot, &sink)) {}
    ~WarningsTo() { slot_ = old_; }
    WarningsTo(const WarningsTo&) = delete;
    WarningsTo& operator=(const WarningsTo&) = delete;

private:
    const CodeTable::WarningSink*& slot_;
    const CodeTable::WarningSink* old_;
};

} // namespace

bool CodeTable::checkWord(std::u16string_view code, std::u16string_view text,
                          std::u16string_view noTextMessage) {
    if (code.empty()) {
        warn(u"请输入编码！");
        return false;
    }
    // The code must be typed on the current scheme's keys: digits for the keypad scheme, letters
    // for pinyin.
    if (!layout_ || !bucketOf(*layout_, code.front()) || code.size() > kMaxFieldBytes ||
        !std::all_of(code.begin(), code.end(), [this](char16_t c) { return isKey(*layout_, c); })) {
        warn(u"请输入正确的编码！");
        return false;
    }
    if (text.empty()) {
        warn(noTextMessage);
        return false;
    }
    return true;
}

void CodeTable::publishStarts(CodeTableSchemeControl& control) const {
    const std::vector<std::int32_t>& starts = index_->starts;
    for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
        control.counts[k] = starts[k + 1] - starts[k];
        control.starts[k] = starts[k];
    }
    control.starts[starts.size() - 1] = starts.back();
}

void CodeTable::promote(std::u16string_view code, std::u16string_view text) {
    CodeTableSchemeControl* shared = control();
    if (code.empty() || text.empty() || !editable() || !loaded_ || partial_)
        return;
    SchemeLock lock(mutex_, options_.lockMilliseconds);
    if (!lock.owns() || !ensureCurrentLocked(*shared))
        return;

    const CodeTableView index = view();
    const auto [first, last] = index.bucket(code.front());
    std::optional<std::size_t> front;
    for (std::size_t i = first; i < last; ++i) {
        if (!isPrefixMatch(index.code(i), code))
            continue;
        if (!front)
            front = i;
        if (index.text(i) == text) {
            if (i == *front)
                return;
            // Entry i goes to the front; the ones between move up one place.
            std::vector<IndexEntry>& entries = editableIndex().entries;
            std::rotate(entries.begin() + static_cast<std::ptrdiff_t>(*front),
                        entries.begin() + static_cast<std::ptrdiff_t>(i),
                        entries.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            saveLocked(*shared);
            return;
        }
    }
}

// Runs an edit of the word maker with the scheme's lock held and the index current; refuses
// with a message when there is no table, it is partial, or the lock cannot be had.
template <typename Edit>
bool CodeTable::underEditLock(Edit edit) {
    CodeTableSchemeControl* shared = control();
    if (!editable() || !loaded_) {
        warn(kNoTable);
        return false;
    }
    if (partial_) {
        warn(kTooLarge);
        return false;
    }
    SchemeLock lock(mutex_, options_.lockMilliseconds);
    if (!lock.owns()) {
        warn(kBusy);
        return false;
    }
    if (!ensureCurrentLocked(*shared)) {
        warn(kNoTable);
        return false;
    }
    return edit(*shared);
}

bool CodeTable::addWord(std::u16string_view code, std::u16string_view text,
                        const WarningSink& warnings) {
    const WarningsTo redirected(warnings_, warnings);
    if (!checkWord(code, text, u"请输入要造的词组！"))
        return false;
    platform::GbkCodec codec;
    const auto codeBytes = fieldBytes(codec, code);
    const auto textBytes = fieldBytes(codec, text);
    if (!codeBytes) {
        warn(u"请输入正确的编码！");
        return false;
    }
    if (!textBytes) {
        warn(u"词组过长或含有码表不能保存的字符！");
        return false;
    }
    return underEditLock([&](CodeTableSchemeControl& control) {
        return insertWord(control, code, text, *codeBytes, *textBytes);
    });
}

bool CodeTable::insertWord(CodeTableSchemeControl& control, std::u16string_view code,
                           std::u16string_view text, std::size_t codeBytes, std::size_t textBytes) {
    CodeTableSchemeControl* shared = &control;
    const std::size_t bucket = *bucketOf(*layout_, code.front());
    const CodeTableView index = view();
    const auto [first, last] = index.bucket(code.front());
    // Before the first entry the new code prefixes; else before the first entry not below it
    // at any position; else at the end of the bucket.
    std::size_t at = last;
    std::size_t match = first;
    while (match < last && !isPrefixMatch(index.code(match), code))
        ++match;
    if (match < last) {
        at = match;
        if (index.text(at) == text) {
            warn(u"该词组已经存在！");
            return false;
        }
    } else {
        for (std::size_t i = first; i < last; ++i) {
            const std::u16string_view entry = index.code(i);
            bool before = entry.size() >= code.size();
            for (std::size_t p = 1; before && p < code.size(); ++p)
                before = code[p] <= entry[p];
            if (before) {
                at = i;
                break;
            }
        }
    }

    // New slots at the fill offsets, each as long as the string's bytes plus its terminator.
    const std::size_t units = options_.poolBytes / sizeof(char16_t);
    const auto codeFill = static_cast<std::size_t>(std::max(shared->codeFill, 0));
    const auto textFill = static_cast<std::size_t>(std::max(shared->textFill, 0));
    if (codeFill + codeBytes + 1 > units || textFill + textBytes + 1 > units) {
        warn(kPoolFull);
        return false;
    }
    char16_t* codeSlot = static_cast<char16_t*>(codePool_->data()) + codeFill;
    char16_t* textSlot = static_cast<char16_t*>(textPool_->data()) + textFill;
    std::copy(code.begin(), code.end(), codeSlot);
    codeSlot[code.size()] = u'\0';
    std::copy(text.begin(), text.end(), textSlot);
    textSlot[text.size()] = u'\0';
    shared->codeFill = static_cast<std::int32_t>(codeFill + codeBytes + 1);
    shared->textFill = static_cast<std::int32_t>(textFill + textBytes + 1);

    Index& edited = editableIndex();
    edited.entries.insert(
        edited.entries.begin() + static_cast<std::ptrdiff_t>(at),
        IndexEntry{static_cast<std::uint32_t>(codeFill), static_cast<std::uint32_t>(textFill),
                   static_cast<std::uint8_t>(code.size()), static_cast<std::uint8_t>(text.size())});
    for (std::size_t k = bucket + 1; k < edited.starts.size(); ++k)
        ++edited.starts[k];
    publishStarts(*shared);
    saveLocked(*shared);
    return true;
}

bool CodeTable::deleteWord(std::u16string_view code, std::u16string_view text,
                           const WarningSink& warnings) {
    const WarningsTo redirected(warnings_, warnings);
    if (!checkWord(code, text, u"请输入要删除的词组！"))
        return false;
    return underEditLock(
        [&](CodeTableSchemeControl& control) { return removeWord(control, code, text); });
}

bool CodeTable::removeWord(CodeTableSchemeControl& control, std::u16string_view code,
                           std::u16string_view text) {
    CodeTableSchemeControl* shared = &control;
    const std::size_t bucket = *bucketOf(*layout_, code.front());
    const CodeTableView index = view();
    const auto [first, last] = index.bucket(code.front());
    for (std::size_t i = first; i < last; ++i) {
        if (!isPrefixMatch(index.code(i), code) || index.text(i) != text)
            continue;
        // Its strings stay in the pools until the next refill.
        Index& edited = editableIndex();
        edited.entries.erase(edited.entries.begin() + static_cast<std::ptrdiff_t>(i));
        for (std::size_t k = bucket + 1; k < edited.starts.size(); ++k)
            --edited.starts[k];
        publishStarts(*shared);
        saveLocked(*shared);
        return true;
    }
    warn(u"没有您要删除的词组！");
    return false;
}

} // namespace tovi
