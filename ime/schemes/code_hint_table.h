// The hints shown after a typed keypad code in the candidate window, read from "codePyMain.pmt".
// Every scheme but the keypad scheme gets the plain table, which knows no hints.
#pragma once

#include "platform/install_folder.h"

#include <map>
#include <string>

namespace tovi {

class ImeSettings;

class CodeHintTable {
public:
    virtual ~CodeHintTable() = default;
    virtual std::u16string hintFor(std::u16string) const { return {}; }
};

class LoadedCodeHintTable : public CodeHintTable {
public:
    // Reads "codePyMain.pmt" from the installation folder; a missing file leaves it empty. The
    // settings decide at each lookup whether the keypad scheme is active.
    LoadedCodeHintTable(const ImeSettings& settings, const platform::InstallFolder& folder);
    std::u16string hintFor(std::u16string input) const override;

    // One line into the table: the key up to the first tab or space, then, after the run of
    // them, the hint as it stands. A line with neither is a key with an empty hint.
    void addLine(std::u16string_view line);
    std::size_t size() const { return hints_.size(); }

    static constexpr std::size_t kMaxLine = 998;

private:
    const ImeSettings& settings_;
    std::map<std::u16string, std::u16string, std::less<>> hints_;
};

} // namespace tovi
