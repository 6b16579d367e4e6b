// An engine that claims no key: keys go to the application. It stands for schemes that have no
// engine, and keeps the module safe whatever the settings hold.
#pragma once

#include "engine/ime_engine.h"

namespace tovi {

class IdleEngine : public ImeEngine {
public:
    explicit IdleEngine(ImeHost& host) : host_(host) {}

    bool processKey(ContextHandle, unsigned, std::uint32_t, KeyState) override { return false; }
    void toAscii(ContextHandle context, std::uint32_t, KeyState) override { context_ = context; }
    void clear() override {}
    std::u16string code() const override { return {}; }
    void sendCompositionUpdate() override;
    void sendEndComposition() override;

private:
    ImeHost& host_;
    ContextHandle context_ = 0;
};

} // namespace tovi
