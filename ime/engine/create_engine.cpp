#include "engine/ime_engine.h"

#include "engine/scheme_engines.h"

namespace tovi {

std::unique_ptr<ImeEngine> createEngine(Scheme scheme, const EngineServices& services) {
    switch (scheme) {
    case Scheme::Keypad:
        return std::make_unique<KeypadEngine>(services);
    case Scheme::Pinyin:
        return std::make_unique<PinyinEngine>(services);
    case Scheme::A:
    case Scheme::D:
        break;
    }
    return nullptr; // schemes without an engine: every key goes to the application
}

} // namespace tovi
