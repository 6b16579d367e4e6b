#include "ime_settings.h"

#include "config_words.h"
#include "platform/file_io.h"
#include "platform/file_replace.h"

#include <string>

namespace tovi {
namespace {
constexpr char16_t kConfigFile[] = u"config.ini";
} // namespace

ImeSettings::ImeSettings(platform::InstallFolder folder) : folder_(std::move(folder)) {
    loadSettings();
}

void ImeSettings::resetToDefaults() {
    flags = kDefaultFlags;
    statusX = kDefaultStatusX;
    statusY = kDefaultStatusY;
    skin = kDefaultSkin;
}

bool ImeSettings::loadSettings() {
    const auto file = platform::openFile(folder_.fileToRead(kConfigFile), "rb");
    if (!file) {
        resetToDefaults();
        stored_ = values();
        return false;
    }
    ConfigWordReader words(file.get());
    for (;;) {
        const auto key = words.next();
        const auto value = key ? words.next() : std::nullopt;
        if (!value)
            break;
        const std::int32_t number = configValue(*value);
        if (*key == "IME_SETTINGS")
            flags = static_cast<std::uint32_t>(number);
        else if (*key == "IME_SKIN")
            skin = number;
        else if (*key == "IME_STATUS_X")
            statusX = number;
        else if (*key == "IME_STATUS_Y")
            statusY = number;
    }
    stored_ = values();
    return true;
}

bool ImeSettings::saveSettings() {
    // The file is ANSI text with CR LF line ends; numbers are plain ASCII.
    const std::string text = "IME_SETTINGS " + std::to_string(static_cast<std::int32_t>(flags)) +
                             "\r\nIME_SKIN " + std::to_string(skin) + "\r\nIME_STATUS_X " +
                             std::to_string(statusX) + "\r\nIME_STATUS_Y " +
                             std::to_string(statusY) + "\r\n";
    // Written beside the old file and put in its place, so that a process ended during the save
    // leaves the old settings or the new, never an empty file. A failure changes nothing in
    // memory: the user's choices stay in force for this process.
    // Only ever into the user's folder: the installation folder is not the user's to write.
    const auto path = folder_.fileToWrite(kConfigFile);
    if (!path || !platform::replaceFileContents(*path, text))
        return false;
    stored_ = values();
    return true;
}

Scheme ImeSettings::scheme() const {
    return schemeFromIndex((flags & flag::SchemeLow ? 1 : 0) + (flags & flag::SchemeHigh ? 2 : 0));
}

void ImeSettings::setScheme(Scheme scheme) {
    if (scheme == this->scheme())
        return;
    const int index = tovi::schemeIndex(scheme);
    if (schemeHandler_)
        schemeHandler_->beforeSchemeChange();
    flags = (flags & ~(flag::SchemeLow | flag::SchemeHigh)) | (index % 2 ? flag::SchemeLow : 0) |
            (index / 2 ? flag::SchemeHigh : 0);
    if (schemeHandler_)
        schemeHandler_->afterSchemeChange();
}

} // namespace tovi
