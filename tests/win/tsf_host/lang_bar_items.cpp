// The language-bar item manager of the host's thread manager: it keeps the items text services
// add and their sinks, so a test can read an item's information and status and click it.
#include "thread_manager.h"

#include <algorithm>

namespace tovi::tsfhost {
namespace {

GUID itemGuid(ITfLangBarItem* item) {
    TF_LANGBARITEMINFO info{};
    if (item && SUCCEEDED(item->GetInfo(&info)))
        return info.guidItem;
    return GUID_NULL;
}

} // namespace

STDMETHODIMP ThreadManager::EnumItems(IEnumTfLangBarItems** items) {
    if (items)
        *items = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ThreadManager::GetItem(REFGUID guid, ITfLangBarItem** item) {
    if (!item)
        return E_INVALIDARG;
    *item = nullptr;
    for (const auto& held : items_)
        if (itemGuid(held.Get()) == guid) {
            *item = held.Get();
            (*item)->AddRef();
            return S_OK;
        }
    return TF_E_NOOBJECT;
}

STDMETHODIMP ThreadManager::AddItem(ITfLangBarItem* item) {
    if (!item)
        return E_INVALIDARG;
    if (std::any_of(items_.begin(), items_.end(),
                    [item](const auto& held) { return held.Get() == item; }))
        return E_INVALIDARG;
    items_.emplace_back(item);
    return S_OK;
}

STDMETHODIMP ThreadManager::RemoveItem(ITfLangBarItem* item) {
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [item](const auto& held) { return held.Get() == item; });
    if (found == items_.end())
        return E_INVALIDARG;
    items_.erase(found);
    return S_OK;
}

STDMETHODIMP ThreadManager::AdviseItemSink(ITfLangBarItemSink* sink, DWORD* cookie, REFGUID item) {
    if (!sink || !cookie)
        return E_INVALIDARG;
    *cookie = nextCookie_++;
    itemSinks_.push_back(ItemSink{*cookie, item, sink});
    return S_OK;
}

STDMETHODIMP ThreadManager::UnadviseItemSink(DWORD cookie) {
    const auto found =
        std::find_if(itemSinks_.begin(), itemSinks_.end(),
                     [cookie](const ItemSink& sink) { return sink.cookie == cookie; });
    if (found == itemSinks_.end())
        return CONNECT_E_NOCONNECTION;
    itemSinks_.erase(found);
    return S_OK;
}

STDMETHODIMP ThreadManager::GetItemFloatingRect(DWORD, REFGUID, RECT* rect) {
    if (rect)
        *rect = RECT{};
    return E_NOTIMPL;
}

STDMETHODIMP ThreadManager::GetItemsStatus(ULONG count, const GUID* guids, DWORD* status) {
    if (!guids || !status)
        return E_INVALIDARG;
    for (ULONG i = 0; i < count; ++i) {
        Microsoft::WRL::ComPtr<ITfLangBarItem> item;
        status[i] = 0;
        if (SUCCEEDED(GetItem(guids[i], &item)))
            item->GetStatus(&status[i]);
    }
    return S_OK;
}

STDMETHODIMP ThreadManager::GetItemNum(ULONG* count) {
    if (!count)
        return E_INVALIDARG;
    *count = static_cast<ULONG>(items_.size());
    return S_OK;
}

STDMETHODIMP ThreadManager::GetItems(ULONG count, ITfLangBarItem** items, TF_LANGBARITEMINFO* info,
                                     DWORD* status, ULONG* fetched) {
    if (!items || !info || !status)
        return E_INVALIDARG;
    ULONG got = 0;
    for (; got < count && got < items_.size(); ++got) {
        items[got] = items_[got].Get();
        items[got]->AddRef();
        items[got]->GetInfo(&info[got]);
        status[got] = 0;
        items[got]->GetStatus(&status[got]);
    }
    if (fetched)
        *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

STDMETHODIMP ThreadManager::AdviseItemsSink(ULONG count, ITfLangBarItemSink** sinks,
                                            const GUID* guids, DWORD* cookies) {
    if (!sinks || !guids || !cookies)
        return E_INVALIDARG;
    for (ULONG i = 0; i < count; ++i) {
        const HRESULT hr = AdviseItemSink(sinks[i], &cookies[i], guids[i]);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

STDMETHODIMP ThreadManager::UnadviseItemsSink(ULONG count, DWORD* cookies) {
    if (!cookies)
        return E_INVALIDARG;
    for (ULONG i = 0; i < count; ++i)
        UnadviseItemSink(cookies[i]);
    return S_OK;
}

} // namespace tovi::tsfhost
