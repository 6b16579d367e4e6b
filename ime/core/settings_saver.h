// Writes the settings to config.ini when they differ from what the file holds, so that each
// change a process makes reaches the file at once and nothing is written when nothing changed.
#pragma once

#include "engine/ime_host.h"
#include "tables/ime_settings.h"

#include <optional>

namespace tovi {

class SettingsSaver {
public:
    SettingsSaver(ImeSettings& settings, ImeHost& host) : settings_(settings), host_(host) {}

    // Saves the record when it differs from what was last read or written. A save that fails
    // keeps the record as the user left it and is shown once, with an info message; later
    // failures stay quiet until a save succeeds. Values that already failed are not written
    // again until they change. True when the file holds the record afterwards.
    bool saveIfChanged();

    // True from a failed save until a successful one.
    bool failing() const { return failureShown_; }

private:
    ImeSettings& settings_;
    ImeHost& host_;
    // The values of the last save that failed.
    std::optional<ImeSettings::Values> failed_;
    bool failureShown_ = false;
};

} // namespace tovi
