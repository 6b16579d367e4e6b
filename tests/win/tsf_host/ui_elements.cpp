// The UI-element manager of the host's thread manager. The application is not UI-less: every
// element a text service begins is to be shown by the service itself (show = TRUE), and is kept
// until it ends so that a test can see it.
#include "thread_manager.h"

namespace tovi::tsfhost {

std::vector<Microsoft::WRL::ComPtr<ITfUIElement>> ThreadManager::uiElements() const {
    std::vector<Microsoft::WRL::ComPtr<ITfUIElement>> elements;
    for (const auto& [id, element] : elements_)
        elements.push_back(element);
    return elements;
}

STDMETHODIMP ThreadManager::BeginUIElement(ITfUIElement* element, BOOL* show, DWORD* id) {
    if (!element || !show || !id)
        return E_INVALIDARG;
    *id = ++lastElement_;
    elements_[*id] = element;
    *show = TRUE;
    return S_OK;
}

STDMETHODIMP ThreadManager::UpdateUIElement(DWORD id) {
    return elements_.count(id) ? S_OK : E_INVALIDARG;
}

STDMETHODIMP ThreadManager::EndUIElement(DWORD id) {
    return elements_.erase(id) ? S_OK : E_INVALIDARG;
}

STDMETHODIMP ThreadManager::GetUIElement(DWORD id, ITfUIElement** element) {
    if (!element)
        return E_INVALIDARG;
    *element = nullptr;
    const auto found = elements_.find(id);
    if (found == elements_.end())
        return E_INVALIDARG;
    *element = found->second.Get();
    (*element)->AddRef();
    return S_OK;
}

STDMETHODIMP ThreadManager::EnumUIElements(IEnumTfUIElements** elements) {
    if (elements)
        *elements = nullptr;
    return E_NOTIMPL;
}

} // namespace tovi::tsfhost
