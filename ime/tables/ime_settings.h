// The per-process settings record and its file "config.ini": the user's copy when there is one,
// else the installation folder's; saves go to the user's folder.
#pragma once

#include "platform/install_folder.h"
#include "tables/scheme.h"

#include <cstdint>

namespace tovi {

// Bits of ImeSettings::flags.
namespace flag {
inline constexpr std::uint32_t FullWidthSymbols = 0x1;
inline constexpr std::uint32_t FullWidthLetters = 0x2;
inline constexpr std::uint32_t RootHints = 0x4;
inline constexpr std::uint32_t OperationHints = 0x8;
inline constexpr std::uint32_t WordAssociation = 0x10;
inline constexpr std::uint32_t SchemeLow = 0x20;
inline constexpr std::uint32_t SchemeHigh = 0x40;
inline constexpr std::uint32_t CaretFollow = 0x80;
inline constexpr std::uint32_t ProgressiveHints = 0x100;
inline constexpr std::uint32_t VerticalLayout = 0x200;
inline constexpr std::uint32_t WebSearch = 0x400;
} // namespace flag

// Told by setScheme around a real change of scheme, so that the engine of the old scheme can
// clear its input and a new engine, with its tables, can be built for the new one.
class SchemeChangeHandler {
public:
    virtual ~SchemeChangeHandler() = default;
    virtual void beforeSchemeChange() = 0;
    virtual void afterSchemeChange() = 0;
};

class ImeSettings {
public:
    // Full-width symbols, the keypad scheme, the candidate window following the caret.
    static constexpr std::uint32_t kDefaultFlags =
        flag::FullWidthSymbols | flag::SchemeLow | flag::CaretFollow;
    static constexpr std::int32_t kDefaultStatusX = 10;
    static constexpr std::int32_t kDefaultStatusY = 718;
    static constexpr std::int32_t kDefaultSkin = 0;

    // Starts from the defaults, then reads "config.ini" from `folder`.
    explicit ImeSettings(platform::InstallFolder folder);

    // The four saved fields, to compare the record with what the file holds.
    struct Values {
        std::uint32_t flags;
        std::int32_t statusX;
        std::int32_t statusY;
        std::int32_t skin;
        bool operator==(const Values&) const = default;
    };

    // Reads "config.ini" (the user's copy first). A key missing from the file keeps its
    // current value. False (with the defaults set) when the file cannot be opened. Either way
    // the record as read counts as stored.
    bool loadSettings();
    // Writes the four keys to the user's "config.ini", beside the old file and then in its place.
    // False when the file cannot be written; the record keeps the user's values and the file its
    // old content.
    bool saveSettings();

    Values values() const { return Values{flags, statusX, statusY, skin}; }
    // What the file held at the last load or the last successful save.
    const Values& stored() const { return stored_; }
    bool changedSinceStored() const { return values() != stored_; }

    void resetToDefaults();

    // From bits 5 and 6 of flags.
    Scheme scheme() const;
    int schemeIndex() const { return tovi::schemeIndex(scheme()); }
    // Switches to another scheme; the current one does nothing.
    void setScheme(Scheme scheme);
    void setSchemeChangeHandler(SchemeChangeHandler* handler) { schemeHandler_ = handler; }

    bool has(std::uint32_t mask) const { return (flags & mask) != 0; }

    std::uint32_t flags = kDefaultFlags;
    std::int32_t statusX = kDefaultStatusX;
    std::int32_t statusY = kDefaultStatusY;
    std::int32_t skin = kDefaultSkin;

private:
    platform::InstallFolder folder_;
    Values stored_{kDefaultFlags, kDefaultStatusX, kDefaultStatusY, kDefaultSkin};
    SchemeChangeHandler* schemeHandler_ = nullptr;
};

} // namespace tovi
