// The thirteen soft-keyboard layouts: symbols for the 47 character keys, unshifted and shifted.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tovi {

inline constexpr std::size_t kSoftKeyCount = 47;
inline constexpr std::size_t kSoftLayoutCount = 13;
// The unit a layout holds for a key without a symbol (ideographic space).
inline constexpr char16_t kNoSoftSymbol = u'\u3000';

// The virtual-key codes of the 47 keys in key order: the digits, the letters, then
// ; = , - . / ` [ \ ] '.
inline constexpr std::array<std::uint8_t, kSoftKeyCount> kSoftKeyVirtualKeys{
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46,
    0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56,
    0x57, 0x58, 0x59, 0x5A, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE};

// One symbol per key, in key order.
using SoftKeyRow = std::array<char16_t, kSoftKeyCount>;

struct SoftLayout {
    std::u16string_view name; // at most 9 units
    SoftKeyRow plain;
    SoftKeyRow shifted;
};

// The layouts in index order; never changed.
const std::array<SoftLayout, kSoftLayoutCount>& softLayouts();

// The key's place in key order, or nothing for any other virtual key.
std::optional<std::size_t> softKeyIndex(unsigned virtualKey);

// A layout as the system's soft-keyboard data holds it: two rows (unshifted, shifted) of 256
// units indexed by virtual-key code, U+3000 wherever the layout has no symbol.
struct SoftKeyboardCodes {
    std::array<char16_t, 256> plain;
    std::array<char16_t, 256> shifted;
};
SoftKeyboardCodes softKeyboardCodes(const SoftLayout& layout);

} // namespace tovi
