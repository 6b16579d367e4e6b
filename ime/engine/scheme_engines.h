// The two typing schemes: five-stroke shape codes on the numeric keypad and pinyin on the letter
// keys.
#pragma once

#include "engine/ime_engine.h"
#include "engine/pi_table.h"
#include "tables/prompt_table.h"

#include <optional>

namespace tovi {

class KeypadEngine : public ImeEngine {
public:
    explicit KeypadEngine(const EngineServices& services) : ImeEngine(services) {}
    bool SpaceSelects() const override { return true; }
    void OnChar(char16_t unit) override;
    void OnCommand(EngineCommand command) override;
    bool OnKey(unsigned virtualKey) override;
    bool IsCodeLong() const override { return code_.size() > 4; }
    // As a digit does while the candidates wait for a selection.
    void OnCandidateClicked(int slot) override { selectAt(slot); }

    // The companion's command line for the last committed character; empty when nothing has
    // been committed yet. The program path is quoted, so a folder with spaces stays one path.
    std::u16string companionCommandLine() const;

private:
    void extendOrSelect(char16_t digit);
    void selectAt(int slot);
    void confirm();
    void backspace();
    void associate();
    void openList(char16_t listCode);
};

class PinyinEngine : public ImeEngine {
public:
    explicit PinyinEngine(const EngineServices& services) : ImeEngine(services) {}
    void OnChar(char16_t unit) override;
    void OnCommand(EngineCommand command) override;
    bool OnKey(unsigned virtualKey) override;
    bool IsCodeLong() const override { return code_.size() > 4; }
    void OnClear() override { spaceSelects_ = false; }

    // The prompt row for the current code (the empty code once the code is long).
    void GetPromptRow(std::array<std::u16string, PromptRow::kFields>& destination) override;
    // The key table, read from the installation folder at its first use.
    const PiTable& keyTable();

private:
    // Read at their first use, not when the engine is built.
    std::optional<PromptTable> promptTable_;
    std::optional<PiTable> keyTable_;
};

} // namespace tovi
