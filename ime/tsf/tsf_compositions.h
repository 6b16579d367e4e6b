// The process's composition target for the text services: the engine's context handle of a
// text service is the service's address, and each call goes to that service when it is still
// active and runs on the calling thread (a service is used only on its own thread).
#pragma once

#include "boundary/composition_target.h"

#include <functional>
#include <set>
#include <string_view>
#include <windows.h>

namespace tovi::tsf {

// What the engine asks of one text service.
class CompositionClient {
public:
    virtual ~CompositionClient() = default;
    // The code changed, or the composition started or ended: the document catches up.
    virtual void compositionChanged() = 0;
    // `text` goes into the document in place of the composition.
    virtual void commit(std::u16string_view text) = 0;
};

class TsfCompositions final : public CompositionTarget {
public:
    // The handle the engine knows `client` by.
    static ContextHandle handleOf(const CompositionClient* client) {
        return reinterpret_cast<ContextHandle>(client);
    }
    void add(CompositionClient* client);
    void remove(CompositionClient* client);

    void startComposition(ContextHandle context) override;
    void updateComposition(ContextHandle context) override;
    void endComposition(ContextHandle context) override;
    void commitText(ContextHandle context, std::u16string_view text) override;

private:
    CompositionClient* find(ContextHandle context) const;

    struct Entry {
        CompositionClient* client;
        DWORD thread;
        bool operator<(const Entry& other) const { return std::less<>{}(client, other.client); }
    };
    std::set<Entry> clients_;
};

// The process's target; the calls reach it inside the module gate.
TsfCompositions& compositions();

} // namespace tovi::tsf
