#include "core/settings_saver.h"

#include "engine/info_messages.h"

namespace tovi {

bool SettingsSaver::saveIfChanged() {
    if (!settings_.changedSinceStored())
        return true;
    if (failed_ && *failed_ == settings_.values())
        return false;
    if (settings_.saveSettings()) {
        failed_.reset();
        failureShown_ = false;
        return true;
    }
    failed_ = settings_.values();
    if (!failureShown_) {
        failureShown_ = true;
        host_.showInfo(info::SettingsNotSaved);
    }
    return false;
}

} // namespace tovi
