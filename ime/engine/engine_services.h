// What an engine uses from its surroundings, handed to it at construction: the host, the
// settings, the process-wide input state, the code lookup, the soft keyboard, the quote state
// and the installation folder. The engine reaches nothing else.
#pragma once

#include "engine/code_lookup.h"
#include "engine/ime_host.h"
#include "engine/input_flags.h"
#include "platform/char_conversions.h"
#include "platform/install_folder.h"
#include "tables/ime_settings.h"
#include "tables/soft_keyboard.h"

#include <optional>

namespace tovi {

// Facts about the process that outlive an engine, and the one request an engine makes of its
// owner.
struct ProcessState {
    // Set by the first ImeSelect that selects a context; never cleared.
    bool contextSelected = false;
    // The logon desktop: a process there must never start a program or open a URL, which would
    // hand a shell to whoever sits at the lock screen. Once seen, for good.
    bool secureDesktop = false;
    // A key asked for this scheme. The owner switches once the key's handling has returned,
    // since the switch replaces the engine that handles the key.
    std::optional<Scheme> requestedScheme;

    bool mayLaunch() const { return !secureDesktop; }
};

struct EngineServices {
    ImeHost& host;
    ImeSettings& settings;
    InputFlags& flags;
    ProcessState& process;
    CodeLookup& lookup;
    const SoftKeyboard& softKeyboard;
    QuoteState& quotes;
    const platform::InstallFolder& folder;
};

} // namespace tovi
