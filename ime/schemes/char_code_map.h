// Each character's code in the current scheme, and the code proposed for a new word.
#pragma once

#include "platform/install_folder.h"
#include "tables/scheme.h"

#include <map>
#include <string>

namespace tovi {

class CharCodeMap {
public:
    CharCodeMap() = default;
    // The codes of the single characters in the scheme's code-table file in `folder`: a character's
    // longest code, the first of equal length. A missing or broken file gives an empty map.
    CharCodeMap(Scheme scheme, const platform::InstallFolder& folder);

    std::u16string codeOf(char16_t character) const;
    // Records a character's code (the longest wins, the first of equal length).
    void add(char16_t character, std::u16string_view code);
    std::size_t size() const { return codes_.size(); }

private:
    std::map<char16_t, std::u16string> codes_;
};

// What stands between the parts of a proposed word code in a scheme.
std::u16string_view codeSeparator(Scheme scheme);

// The code proposed for a word: up to three units of the first character's code, then for each
// further character taken (all of a word of up to four, else the second, third and last) the
// separator and the first unit of its code. A character without a code ends the proposal.
std::u16string makeWordCode(const CharCodeMap& map, std::u16string_view word, Scheme scheme);

} // namespace tovi
