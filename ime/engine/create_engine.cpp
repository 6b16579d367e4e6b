#include "engine/ime_engine.h"

#include "engine/scheme_engines.h"

namespace tovi {

std::unique_ptr<ImeEngine> createEngine(int schemeIndex, Module& module) {
    if (schemeIndex == 1)
        return std::make_unique<KeypadEngine>(module);
    if (schemeIndex == 2)
        return std::make_unique<PinyinEngine>(module);
    return nullptr; // schemes without an engine: every key goes to the application
}

} // namespace tovi
