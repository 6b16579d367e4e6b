#include "tsf_compositions.h"

namespace tovi::tsf {

TsfCompositions& compositions() {
    static TsfCompositions target;
    return target;
}

void TsfCompositions::add(CompositionClient* client) {
    clients_.insert({client, GetCurrentThreadId()});
}

void TsfCompositions::remove(CompositionClient* client) {
    clients_.erase({client, 0});
}

CompositionClient* TsfCompositions::find(ContextHandle context) const {
    const auto found = clients_.find({reinterpret_cast<CompositionClient*>(context), 0});
    if (found == clients_.end() || found->thread != GetCurrentThreadId())
        return nullptr;
    return found->client;
}

void TsfCompositions::startComposition(ContextHandle context) {
    if (CompositionClient* client = find(context))
        client->compositionChanged();
}

void TsfCompositions::updateComposition(ContextHandle context) {
    if (CompositionClient* client = find(context))
        client->compositionChanged();
}

void TsfCompositions::endComposition(ContextHandle context) {
    if (CompositionClient* client = find(context))
        client->compositionChanged();
}

void TsfCompositions::commitText(ContextHandle context, std::u16string_view text) {
    if (CompositionClient* client = find(context))
        client->commit(text);
}

} // namespace tovi::tsf
