#include "keyboard_compartments.h"

#include <optional>

namespace tovi::tsf {
namespace {

ComPtr<ITfCompartment> compartmentOf(IUnknown* owner, REFGUID guid) {
    ComPtr<ITfCompartment> compartment;
    if (!owner)
        return compartment;
    ComPtr<ITfCompartmentMgr> manager;
    if (FAILED(owner->QueryInterface(IID_ITfCompartmentMgr,
                                     reinterpret_cast<void**>(manager.put()))) ||
        !manager)
        return compartment;
    if (FAILED(manager->GetCompartment(guid, compartment.put())))
        compartment.reset();
    return compartment;
}

// The compartment's number; nothing when it is unset or holds something else.
std::optional<LONG> numberIn(IUnknown* owner, REFGUID guid) {
    const ComPtr<ITfCompartment> compartment = compartmentOf(owner, guid);
    if (!compartment)
        return std::nullopt;
    VARIANT value;
    VariantInit(&value);
    std::optional<LONG> number;
    if (SUCCEEDED(compartment->GetValue(&value)) && value.vt == VT_I4)
        number = value.lVal;
    VariantClear(&value);
    return number;
}

} // namespace

bool keyboardOpen(ITfThreadMgr* threads) {
    return numberIn(threads, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE).value_or(1) != 0;
}

void openKeyboard(ITfThreadMgr* threads, TfClientId client) {
    if (const ComPtr<ITfCompartment> compartment =
            compartmentOf(threads, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE)) {
        VARIANT open;
        VariantInit(&open);
        open.vt = VT_I4;
        open.lVal = 1;
        compartment->SetValue(client, &open);
    }
}

bool keyboardDisabledIn(ITfContext* context) {
    return numberIn(context, GUID_COMPARTMENT_KEYBOARD_DISABLED).value_or(0) != 0 ||
           numberIn(context, GUID_COMPARTMENT_EMPTYCONTEXT).value_or(0) != 0;
}

void OpenCloseWatch::start(ITfThreadMgr* threads, ITfCompartmentEventSink* sink) {
    stop();
    const ComPtr<ITfCompartment> compartment =
        compartmentOf(threads, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE);
    if (!compartment || !sink)
        return;
    source_ = compartment.query<ITfSource>(IID_ITfSource);
    if (source_ && FAILED(source_->AdviseSink(IID_ITfCompartmentEventSink, sink, &cookie_))) {
        cookie_ = TF_INVALID_COOKIE;
        source_.reset();
    }
}

void OpenCloseWatch::stop() {
    if (source_ && cookie_ != TF_INVALID_COOKIE)
        source_->UnadviseSink(cookie_);
    cookie_ = TF_INVALID_COOKIE;
    source_.reset();
}

} // namespace tovi::tsf
