// The keys: the engine decides each press and release as ImeProcessKey decides it, and a claimed
// press goes on to the engine with its character as ImeToAsciiEx hands it over. A key the engine
// does not claim is left to the application, and so is every key while the thread's keyboard is
// closed or the document takes no keyboard input.
#include "boundary/exception_barrier.h"
#include "boundary/process_host.h"
#include "text_service.h"

namespace tovi::tsf {

bool TextService::decide(ITfContext* context, WPARAM key, LPARAM data, bool release) {
    if (!keyboardOpen(threadMgr_.get()) || keyboardDisabledIn(context))
        return false;
    ProcessHost* host = processHost();
    Module* module = host ? host->module() : nullptr;
    if (!module)
        return false;
    const KeyInput input = readKey(key, data, release);
    return module->processKey(compositions().handleOf(this), input.event);
}

HRESULT TextService::handleKey(ITfContext* context, WPARAM key, LPARAM data, bool release,
                               bool test, BOOL* eaten) {
    if (!eaten)
        return E_INVALIDARG;
    *eaten = FALSE;
    return guarded<HRESULT>(S_OK, [&] {
        if (test) {
            const bool claimed = decide(context, key, data, release);
            testedKey_.remember(key, data, release, claimed);
            *eaten = claimed ? TRUE : FALSE;
            if (button_)
                button_->refresh();
            return S_OK;
        }
        const std::optional<bool> tested = testedKey_.take(key, data, release);
        const bool claimed = tested ? *tested : decide(context, key, data, release);
        *eaten = claimed ? TRUE : FALSE;
        if (!claimed)
            return S_OK;
        ProcessHost* host = processHost();
        Module* module = host ? host->module() : nullptr;
        if (!module)
            return S_OK;
        insideKey_ = true;
        struct Leave {
            bool& flag;
            ~Leave() { flag = false; }
        } leave{insideKey_};
        if (!release) {
            KeyInput input = readKey(key, data, false);
            input.event.character = translatedCharacter(input);
            input.event.keyData = 0; // ImeToAsciiEx hands over no key data
            module->toAscii(compositions().handleOf(this), input.event);
        }
        updateDocument(context, true);
        if (button_)
            button_->refresh();
        return S_OK;
    });
}

HRESULT TextService::OnSetFocus(BOOL) {
    return S_OK;
}

HRESULT TextService::OnTestKeyDown(ITfContext* context, WPARAM key, LPARAM data, BOOL* eaten) {
    return handleKey(context, key, data, false, true, eaten);
}

HRESULT TextService::OnTestKeyUp(ITfContext* context, WPARAM key, LPARAM data, BOOL* eaten) {
    return handleKey(context, key, data, true, true, eaten);
}

HRESULT TextService::OnKeyDown(ITfContext* context, WPARAM key, LPARAM data, BOOL* eaten) {
    return handleKey(context, key, data, false, false, eaten);
}

HRESULT TextService::OnKeyUp(ITfContext* context, WPARAM key, LPARAM data, BOOL* eaten) {
    return handleKey(context, key, data, true, false, eaten);
}

HRESULT TextService::OnPreservedKey(ITfContext*, REFGUID, BOOL* eaten) {
    if (eaten)
        *eaten = FALSE;
    return S_OK;
}

} // namespace tovi::tsf
