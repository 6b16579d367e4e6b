// The process-wide state of the input method, built from an installation folder: the settings,
// the engine of the current scheme, the process-wide input state, the code-table loader and its
// lookups, the soft keyboard and the per-scheme tables. Portable: the boundary owns one per
// process, tests build their own.
#pragma once

#include "core/settings_saver.h"
#include "core/table_lookup.h"
#include "core/word_maker.h"
#include "engine/engine_services.h"
#include "engine/ime_engine.h"
#include "schemes/char_code_map.h"
#include "schemes/code_hint_table.h"
#include "schemes/code_table_loader.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace tovi {

class Module : private SchemeChangeHandler {
public:
    // Loads the settings from `folder` and builds the engine for their scheme; the scheme's code
    // table loads in the background. `instanceNumber` is the process's number (its bit in the
    // code tables' mask).
    Module(ImeHost& host, platform::InstallFolder folder, std::uint32_t instanceNumber);
    // Writes nothing: the settings reach the file when they change, not when a process ends
    // (which would let the last process to end overwrite what the others chose).
    ~Module() override;
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    ImeSettings& settings() { return *settings_; }
    const ImeSettings& settings() const { return *settings_; }
    // The engine of the current scheme; null for a scheme without one.
    ImeEngine* engine() { return engine_.get(); }
    InputFlags& flags() { return flags_; }
    ProcessState& process() { return process_; }
    const ProcessState& process() const { return process_; }
    SoftKeyboard& softKeyboard() { return softKeyboard_; }
    ImeHost& host() { return host_; }
    CodeTableLoader& codeTableLoader() { return *loader_; }
    const platform::InstallFolder& folder() const { return folder_; }
    WordMaker& wordMaker() { return wordMaker_; }

    // A key through the engine; a scheme change the key asked for happens once it is handled,
    // and when the key changed settings (hotkeys flip flags and switch schemes) they are saved.
    // Without an engine no key is the module's.
    bool processKey(ContextHandle context, const KeyEvent& key);
    void toAscii(ContextHandle context, const KeyEvent& key);

    // Writes config.ini when the settings differ from what was last read or written; callers
    // that change settings outside a key (window actions, the settings dialog) call it after the
    // change. A failure keeps the settings in memory and is shown once (see SettingsSaver).
    bool saveSettingsIfChanged() { return settingsSaver_.saveIfChanged(); }
    // True from a failed save until a successful one.
    bool settingsSaveFailing() const { return settingsSaver_.failing(); }

    // Shows the scheme's hint, clears the code and candidates, repaints the windows and ends the
    // composition.
    void resetInput();

    // The hint shown after a typed code in the candidate window.
    std::u16string currentCodeHint(const std::u16string& input);
    // The code proposed for a new word in the word maker.
    std::u16string proposeWordCode(std::u16string_view word);

    // The status window's left edge as the status window publishes it.
    std::int32_t publishedStatusX = 0;

private:
    void beforeSchemeChange() override;
    void afterSchemeChange() override;
    void applyRequestedScheme();
    void saveIfKeyChanged(const ImeSettings::Values& before);
    EngineServices services();
    // The code hint table and the character code map of the current scheme, read at their first
    // use after a change of scheme, not while the module is built.
    const CodeHintTable& hints();
    const CharCodeMap& charCodes();

    ImeHost& host_;
    const platform::InstallFolder folder_;
    const std::uint32_t instanceNumber_;
    std::unique_ptr<ImeSettings> settings_;
    SettingsSaver settingsSaver_;
    InputFlags flags_;
    ProcessState process_;
    SoftKeyboard softKeyboard_;
    QuoteState quotes_;
    std::unique_ptr<CodeTableLoader> loader_;
    TableLookup lookup_;
    WordMaker wordMaker_;
    std::unique_ptr<ImeEngine> engine_;
    std::unique_ptr<CodeHintTable> hints_;
    std::optional<CharCodeMap> charCodes_;
};

// Increments the cross-process instance counter and returns its new value; 0 when the shared
// section cannot be mapped.
std::uint32_t takeInstanceNumber();

} // namespace tovi
