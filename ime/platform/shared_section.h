// The 4096-byte control section shared by every process that loads the module, 32-bit and 64-bit
// alike: the process instance counter and the code tables' control block. It lives in a named
// shared-memory object beside the code-table pools, so that the System32 and SysWOW64 images,
// which have an image section each, describe the pools in one place. Every field has a fixed
// width and the same offset in both builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovi::platform {

// Set in `layout` by the first process that uses a section. It names this layout of the section,
// of the code-table control block inside it and of the pools it describes; a build that lays any
// of them out differently uses another value, and a process that finds another value in the
// shared object never touches the pools that object describes.
inline constexpr std::uint32_t kSharedControlLayout = 0x32435654; // "TVC2"

struct alignas(8) SharedControlSection {
    std::uint32_t layout;          // offset 0: kSharedControlLayout, or 0 before the first use
    std::uint32_t instanceCounter; // offset 4
    // Offset 8, 8-aligned on both builds for the control block's 64-bit fields.
    std::uint8_t codeTableBlock[4088];
};
static_assert(sizeof(SharedControlSection) == 4096);
static_assert(alignof(SharedControlSection) == 8);
static_assert(offsetof(SharedControlSection, layout) == 0);
static_assert(offsetof(SharedControlSection, instanceCounter) == 4);
static_assert(offsetof(SharedControlSection, codeTableBlock) == 8);

// The process's view of the section, mapped on the first call and kept until the module unloads.
// Safe from any thread at any time (two threads calling at once map it once); never throws.
//
// On Windows, when the shared object cannot be opened for writing (a process of lower integrity
// than its creator) or holds another layout, this is a block private to the process: nothing
// written there reaches another process, and the code tables then keep pools of their own
// (isProcessPrivate). Never null on Windows. On POSIX, a shared-memory object mapped on first use;
// null when it cannot be mapped or holds another layout.
SharedControlSection* sharedControlSection();

// True when `section` is the block private to this process that sharedControlSection() falls back
// to: the pools its control block would describe must not be the shared ones.
bool isProcessPrivate(const SharedControlSection* section);

// For a process that fell back to its private block: the shared object, mapped read-only, so that
// the process can follow the other processes' edits without writing anything they read. Null when
// it cannot be opened even for reading, holds another layout, or the process did not fall back.
const SharedControlSection* watchedSharedSection();

// Sets up a section that may be fresh: a zero layout becomes this one. False when the section
// already holds another layout.
bool adoptLayout(SharedControlSection& section);

// Appended to the names of the other shared objects (the code-table pools and mutexes): empty
// in the module; on POSIX, hosts that choose their own section get objects of their own too.
std::u16string sharedNameSuffix();

// Adds one to the instance counter and returns the new value. The increment is atomic, so that
// two processes attaching at once never get the same number.
std::uint32_t nextInstanceNumber(SharedControlSection& section);

} // namespace tovi::platform
