// Where the engine's compositions go when another front end than IMM32 drives the module: the
// process host hands its four composition calls to the target instead of turning them into
// WM_IME_* messages. The target routes them by the engine's context handle.
#pragma once

#include "engine/ime_host.h"

#include <string_view>

namespace tovi {

class CompositionTarget {
public:
    virtual ~CompositionTarget() = default;
    virtual void startComposition(ContextHandle context) = 0;
    virtual void updateComposition(ContextHandle context) = 0;
    virtual void endComposition(ContextHandle context) = 0;
    virtual void commitText(ContextHandle context, std::u16string_view text) = 0;
};

} // namespace tovi
