#include "engine/ime_engine.h"

namespace tovi {
namespace {

// The engine core on its own: full-width forms, the hotkeys and the cancelling keys work, and
// keys of the scheme go to the application. It serves the two typing schemes until their own
// engines take over.
class CoreOnlyEngine final : public ImeEngine {
public:
    using ImeEngine::ImeEngine;
    void OnChar(char16_t) override {}
    bool OnKey(unsigned) override { return false; }
    bool IsCodeLong() const override { return code_.size() > 4; }
};

} // namespace

std::unique_ptr<ImeEngine> createEngine(int schemeIndex, Module& module) {
    if (schemeIndex == 1 || schemeIndex == 2)
        return std::make_unique<CoreOnlyEngine>(module);
    return nullptr; // schemes without an engine: every key goes to the application
}

} // namespace tovi
