// The keyboard's compartments: whether the thread's keyboard is open (the system's on/off toggle
// and an application's open status set it) and whether a document takes keyboard input at all
// (password fields and views without text say they do not). A closed keyboard or such a
// document leaves every key to the application.
#pragma once

#include "com_ptr.h"
#include "tsf_sdk.h"

namespace tovi::tsf {

// An unset compartment counts as open: a thread whose application never touched it types.
bool keyboardOpen(ITfThreadMgr* threads);
// Opens the thread's keyboard: a user who switches to the service wants it on, whatever an
// earlier service or the system left there.
void openKeyboard(ITfThreadMgr* threads, TfClientId client);
// The document asks for no keyboard input (disabled, or an empty context).
bool keyboardDisabledIn(ITfContext* context);

// A compartment event sink advised on the thread's open/close compartment while it lives.
class OpenCloseWatch {
public:
    OpenCloseWatch() = default;
    OpenCloseWatch(const OpenCloseWatch&) = delete;
    OpenCloseWatch& operator=(const OpenCloseWatch&) = delete;
    ~OpenCloseWatch() { stop(); }

    void start(ITfThreadMgr* threads, ITfCompartmentEventSink* sink);
    void stop();

private:
    ComPtr<ITfSource> source_;
    DWORD cookie_ = TF_INVALID_COOKIE;
};

} // namespace tovi::tsf
