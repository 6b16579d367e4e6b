#include "char_conversions.h"

#include <array>
#include <utility>

namespace tovi {
namespace {

// Punctuation and symbols; the quotes are handled apart because they alternate.
constexpr std::array<std::pair<char16_t, char16_t>, 31> kPunctuation{{
    {u'~', u'\uFF5E'}, {u'!', u'\uFF01'}, {u'@', u'\u25CE'}, {u'#', u'\uFF03'}, {u'$', u'\uFFE5'},
    {u'%', u'\uFF05'}, {u'^', u'\u2026'}, {u'&', u'\uFF06'}, {u'*', u'\u3002'}, {u':', u'\uFF1A'},
    {u')', u'\uFF09'}, {u'(', u'\uFF08'}, {u'<', u'\u300A'}, {u'>', u'\u300B'}, {u',', u'\uFF0C'},
    {u'.', u'\u3002'}, {u'/', u'\u3001'}, {u'?', u'\uFF1F'}, {u';', u'\uFF1B'}, {u'`', u'\uFF40'},
    {u'[', u'\u3010'}, {u']', u'\u3011'}, {u'{', u'\u300E'}, {u'}', u'\u300F'}, {u'\\', u'\u00F7'},
    {u'-', u'\uFF0C'}, {u'_', u'\u2014'}, {u'=', u'\uFF1D'}, {u'+', u'\uFF1B'}, {u'|', u'\u00A7'},
    {u' ', u'\u3000'},
}};

char16_t alternate(bool& opens, char16_t opening, char16_t closing) {
    const char16_t result = opens ? opening : closing;
    opens = !opens;
    return result;
}

} // namespace

char16_t toFullWidth(char16_t c, QuoteState& quotes) {
    // Row 0xA3 of GBK holds the full-width letters and digits at ASCII + 0x80, which are the
    // Unicode forms at ASCII + 0xFEE0; computing them directly does not depend on the system's
    // code page.
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
        return static_cast<char16_t>(c + 0xFEE0);
    if (c == u'\'')
        return alternate(quotes.singleOpens, u'\u2018', u'\u2019');
    if (c == u'"')
        return alternate(quotes.doubleOpens, u'\u201C', u'\u201D');
    for (const auto& [ascii, wide] : kPunctuation)
        if (ascii == c)
            return wide;
    return 0;
}

} // namespace tovi
