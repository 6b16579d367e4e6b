#include "engine/idle_engine.h"

#include "engine/ime_messages.h"

namespace tovi {

void IdleEngine::sendCompositionUpdate() {
    if (context_)
        host_.generateMessage(context_, msg::ImeComposition, 0, 0);
}

void IdleEngine::sendEndComposition() {
    if (context_)
        host_.generateMessage(context_, msg::ImeEndComposition, 0, 0);
}

std::unique_ptr<ImeEngine> createEngine(int, ImeHost& host) {
    return std::make_unique<IdleEngine>(host);
}

} // namespace tovi
