// What the processes share about the code tables, besides the pools themselves: the control
// block in the shared section and the names of each scheme's pools and mutex.
//
// Everything is per scheme, so that a process of one scheme never acts on state that a process
// of the other scheme wrote. The fields other than `generation` and `mappedMask` are only read
// and written while holding the scheme's named mutex. The 32-bit and the 64-bit module share the
// block: every field has a fixed width and the same offset in both builds.
#pragma once

#include "platform/shared_section.h"
#include "tables/scheme.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tovi {

// Each pool is exactly this large: 26,214,400 UTF-16 units.
inline constexpr std::size_t kCodeTablePoolBytes = 0x3200000;

struct CodeTableSchemeControl {
    // Bumped by every save and every refill; a process whose index was built at another value
    // loads again. Unlike the mask it never misses a process, however many there are.
    std::uint32_t generation;
    // Bit (instance number mod 32) set when that process has a current index; 0 after a save.
    std::uint32_t mappedMask;
    std::uint8_t stale;  // 1 after a save: the pools no longer match the file
    std::uint8_t filled; // 1 once a refill completed; 0 while one runs or after a crash
    std::uint8_t reserved[2];
    std::int32_t codeFill;   // fill offset of the code pool, in UTF-16 units
    std::int32_t textFill;   // fill offset of the text pool, in UTF-16 units
    std::uint32_t poolUnits; // size of each pool the refill wrote, in units
    // The file the pools were filled from. Aligned by hand: a 32-bit build would otherwise be free
    // to place them at offsets 4 modulo 8.
    alignas(8) std::uint64_t fileSize;
    alignas(8) std::uint64_t fileHash;
    std::int32_t counts[26]; // bucket counts of the table loaded last (9 used by scheme 1)
    std::int32_t starts[27]; // bucket starts (10 used by scheme 1)
    // Whose tables the pools hold: an identity of the user folder of the process that filled
    // them (tableOwner). A process of another user never uses or writes such pools.
    alignas(8) std::uint64_t owner;
};
static_assert(offsetof(CodeTableSchemeControl, generation) == 0);
static_assert(offsetof(CodeTableSchemeControl, mappedMask) == 4);
static_assert(offsetof(CodeTableSchemeControl, stale) == 8);
static_assert(offsetof(CodeTableSchemeControl, codeFill) == 12);
static_assert(offsetof(CodeTableSchemeControl, textFill) == 16);
static_assert(offsetof(CodeTableSchemeControl, poolUnits) == 20);
static_assert(offsetof(CodeTableSchemeControl, fileSize) == 24);
static_assert(offsetof(CodeTableSchemeControl, fileHash) == 32);
static_assert(offsetof(CodeTableSchemeControl, counts) == 40);
static_assert(offsetof(CodeTableSchemeControl, starts) == 144);
static_assert(offsetof(CodeTableSchemeControl, owner) == 256);
static_assert(sizeof(CodeTableSchemeControl) == 264);
static_assert(alignof(CodeTableSchemeControl) == 8);

// Lives in SharedControlSection::codeTableBlock, zero-filled at first.
struct CodeTableControlBlock {
    CodeTableSchemeControl schemes[2]; // scheme 1 (keypad), scheme 2 (pinyin)
};
static_assert(sizeof(CodeTableControlBlock) == 528);
static_assert(offsetof(CodeTableControlBlock, schemes[1]) == 264);
static_assert(sizeof(CodeTableControlBlock) <=
              sizeof(platform::SharedControlSection{}.codeTableBlock));
// The block starts at offset 8 of an 8-aligned section, enough for its 64-bit fields.
static_assert(offsetof(platform::SharedControlSection, codeTableBlock) %
                  alignof(CodeTableControlBlock) ==
              0);

// The block inside a mapped section. The section's bytes are an unsigned char array, in which
// the control block lives.
inline CodeTableControlBlock& codeTableControl(platform::SharedControlSection& section) {
    return *reinterpret_cast<CodeTableControlBlock*>(section.codeTableBlock);
}
inline const CodeTableControlBlock&
codeTableControl(const platform::SharedControlSection& section) {
    return *reinterpret_cast<const CodeTableControlBlock*>(section.codeTableBlock);
}

// The shared objects of one scheme.
struct CodeTableNames {
    std::u16string codePool;
    std::u16string textPool;
    std::u16string mutex;
};

// Names for schemes 1 and 2, none for the others. `suffix` is empty in the module; tests add
// one so that their runs do not share pools.
std::optional<CodeTableNames> codeTableNames(Scheme scheme, std::u16string_view suffix = {});

// The scheme's file name ("tovi.mb" for schemes without a table).
std::u16string_view codeTableFileName(Scheme scheme);

// The identity that CodeTableSchemeControl::owner records for pools filled by a process whose
// user folder is `userFolder`: never 0, which a fresh block holds.
std::uint64_t tableOwner(std::u16string_view userFolder);

} // namespace tovi
