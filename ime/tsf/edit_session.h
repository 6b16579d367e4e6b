// An edit session that runs a function with the session's cookie: the only way a text service
// reads or changes a document.
#pragma once

#include "com_object.h"

#include <functional>
#include <msctf.h>

namespace tovi::tsf {

class EditSession final : public ITfEditSession, public RefCounted<EditSession> {
public:
    explicit EditSession(std::function<void(TfEditCookie)> body) : body_(std::move(body)) {}
    TOVI_COM_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE DoEditSession(TfEditCookie cookie) override;

private:
    std::function<void(TfEditCookie)> body_;
};

// Runs `body` in a read-write session of `context`: at once when `synchronous` (inside a key
// handler, where the framework grants it), whenever the document allows otherwise. False when
// the session was refused.
bool requestEditSession(ITfContext* context, TfClientId client, bool synchronous,
                        std::function<void(TfEditCookie)> body);

} // namespace tovi::tsf
