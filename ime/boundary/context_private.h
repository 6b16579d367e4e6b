// The module's per-context block: the context's composition-string memory, enlarged to hold a
// COMPOSITIONSTRING header and four text areas of the module's own.
#pragma once

#include "context_lock.h"

#include <cstddef>

namespace tovi {

inline constexpr std::size_t kAreaUnits = 255; // 254 units of text and the terminator

struct ContextPrivate {
    COMPOSITIONSTRING header;
    wchar_t composition[10]; // kept empty: the module draws the composition itself
    wchar_t result[kAreaUnits];
    wchar_t pendingCommit[kAreaUnits];
    wchar_t lastResult[kAreaUnits];
    BYTE unused[22];
};
static_assert(sizeof(wchar_t) == 2);
static_assert(sizeof(ContextPrivate) == 1672);
static_assert(offsetof(ContextPrivate, composition) == 100);
static_assert(offsetof(ContextPrivate, result) == 120);
static_assert(offsetof(ContextPrivate, pendingCommit) == 630);
static_assert(offsetof(ContextPrivate, lastResult) == 1140);

// Locks the context's block only when it really is the module's block: a context the module
// never selected still has the system's smaller one, which must not be written past its end.
class ContextPrivateLock : public ComponentLock<ContextPrivate> {
public:
    explicit ContextPrivateLock(const INPUTCONTEXT& ic)
        : ComponentLock<ContextPrivate>(ownBlock(ic.hCompStr)) {}

private:
    static HIMCC ownBlock(HIMCC block) {
        return block && ImmGetIMCCSize(block) >= sizeof(ContextPrivate) ? block : nullptr;
    }
};

// Prepares a freshly sized block: empty composition and result strings at their offsets.
void initContextPrivate(ContextPrivate& block);

} // namespace tovi
