// The 4096-byte control section shared by every process that loads the module. It holds the
// code tables' stale flag, the process instance counter and the code-table control block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovi::platform {

struct SharedControlSection {
    std::uint8_t staleFlag;            // offset 0
    std::uint8_t reserved[3];          // offsets 1-3
    std::uint32_t instanceCounter;     // offset 4
    std::uint8_t codeTableBlock[4088]; // offset 8: the code tables' control block
};
static_assert(sizeof(SharedControlSection) == 4096);
static_assert(offsetof(SharedControlSection, instanceCounter) == 4);
static_assert(offsetof(SharedControlSection, codeTableBlock) == 8);

// The process's view of the section. On Windows it is a shared section of the module image; on
// POSIX a shared-memory object mapped on first use. Null only when POSIX cannot map it.
SharedControlSection* sharedControlSection();

// Appended to the names of the other shared objects (the code-table pools and mutexes): empty
// in the module; on POSIX, hosts that choose their own section get objects of their own too.
std::u16string sharedNameSuffix();

// Adds one to the instance counter and returns the new value. The increment is atomic, so that
// two processes attaching at once never get the same number.
std::uint32_t nextInstanceNumber(SharedControlSection& section);

} // namespace tovi::platform
