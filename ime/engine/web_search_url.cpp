// The address of a web search for a committed text: the text goes into the query as UTF-8,
// percent-encoded, and the address fits the 255-unit buffer the shell is handed.
#include "engine/ime_engine.h"

namespace tovi {
namespace {

constexpr std::u16string_view kSearchAddress = u"https://www.baidu.com/s?wd=";
// The buffer's 255 units less its terminator.
constexpr std::size_t kMaxUrlUnits = 254;
constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point at `at`, which moves past it: a surrogate pair is one code point, a surrogate
// without its partner the replacement character.
char32_t nextCodePoint(std::u16string_view text, std::size_t& at) {
    const char32_t unit = text[at++];
    if (isHighSurrogate(unit) && at < text.size() && isLowSurrogate(text[at]))
        return 0x10000 + ((unit - 0xD800) << 10) + (text[at++] - 0xDC00);
    if (isHighSurrogate(unit) || isLowSurrogate(unit))
        return kReplacement;
    return unit;
}

// The characters a query keeps as they are.
bool isUnreserved(char32_t c) {
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9') ||
           c == U'-' || c == U'.' || c == U'_' || c == U'~';
}

void appendEscapedByte(std::u16string& out, unsigned byte) {
    constexpr char16_t kHex[] = u"0123456789ABCDEF";
    out += u'%';
    out += kHex[(byte >> 4) & 0xF];
    out += kHex[byte & 0xF];
}

// A code point as the query carries it: itself when unreserved, else its UTF-8 bytes escaped.
std::u16string encodedCodePoint(char32_t c) {
    std::u16string out;
    if (isUnreserved(c)) {
        out += static_cast<char16_t>(c);
    } else if (c < 0x80) {
        appendEscapedByte(out, c);
    } else if (c < 0x800) {
        appendEscapedByte(out, 0xC0 | (c >> 6));
        appendEscapedByte(out, 0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        appendEscapedByte(out, 0xE0 | (c >> 12));
        appendEscapedByte(out, 0x80 | ((c >> 6) & 0x3F));
        appendEscapedByte(out, 0x80 | (c & 0x3F));
    } else {
        appendEscapedByte(out, 0xF0 | (c >> 18));
        appendEscapedByte(out, 0x80 | ((c >> 12) & 0x3F));
        appendEscapedByte(out, 0x80 | ((c >> 6) & 0x3F));
        appendEscapedByte(out, 0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace

std::u16string ImeEngine::webSearchUrl(std::u16string_view text) {
    std::u16string url(kSearchAddress);
    // Whole characters only: a text too long for the buffer ends before the first character
    // that does not fit, never inside its escapes.
    for (std::size_t at = 0; at < text.size();) {
        const std::u16string encoded = encodedCodePoint(nextCodePoint(text, at));
        if (url.size() + encoded.size() > kMaxUrlUnits)
            break;
        url += encoded;
    }
    return url;
}

} // namespace tovi
