// What the settings dialog shows and changes, apart from its window: which check box stands for
// which settings flag, the skins its list offers and the files each skin installs.
#pragma once

#include "platform/install_folder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tovi {

// A check box of the dialog and the settings flag it shows.
struct FlagCheckBox {
    int control;
    std::uint32_t flag;
};

inline constexpr std::size_t kFlagCheckBoxCount = 9;
// Two of them (root hints, operation hints) are present but not visible.
const std::array<FlagCheckBox, kFlagCheckBoxCount>& flagCheckBoxes();

// The check of each box (in flagCheckBoxes order) for a flag word.
std::array<bool, kFlagCheckBoxCount> checksFromFlags(std::uint32_t flags);
// The flag word with each box's flag set or cleared from its check; other bits kept.
std::uint32_t flagsFromChecks(std::uint32_t flags,
                              const std::array<bool, kFlagCheckBoxCount>& checks);

// The list of skins, in list (and skin index) order.
inline constexpr std::size_t kSkinCount = 5;
inline constexpr std::array<std::u16string_view, kSkinCount> kSkinEntries{
    u"default.bmp", u"skin-01.bmp", u"skin-02.bmp", u"skin-03.bmp", u"skin-04.bmp"};

// The pictures the module shows, read from the user's folder when a skin was chosen there and
// from the installation folder otherwise. The settings dialog previews the installed status
// picture until a skin is chosen.
inline constexpr std::u16string_view kInstalledStatusPicture = u"tovi.bmp";
inline constexpr std::u16string_view kInstalledCandidatePicture = u"tovi_cand.bmp";

// The status picture of a list entry: "\skin\" and the entry. Only names from the list are
// used; anything else gives the default skin's.
std::u16string statusSkinPicture(std::u16string_view entry);
// The candidate background of a skin index; an index outside the list (a hand-edited
// config.ini) gives skin 0's.
std::u16string candidateSkinPicture(std::int64_t skin);

// Largest picture file taken from a skin: far above any real one.
inline constexpr std::size_t kMaxSkinPictureBytes = 8u << 20;

// Makes the skin picture `chosen` the one the module shows as `shown` (kInstalledStatusPicture or
// kInstalledCandidatePicture): copied into the user's folder, never into the installation folder.
// Nothing is written when the picture in use already holds the same bytes. False when the skin
// picture cannot be read (missing, too large) or the copy cannot be written; the picture in use
// stays as it was.
bool useSkinPicture(const platform::InstallFolder& folder, std::u16string_view chosen,
                    std::u16string_view shown);

} // namespace tovi
