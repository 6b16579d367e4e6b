#include "registration.h"

#include "com_ptr.h"
#include "dll_instance.h"
#include "tsf_guids.h"
#include "tsf_sdk.h"

#include <array>
#include <string>

namespace tovi::tsf {
namespace {

// The categories: a keyboard text service that provides a display attribute, works in
// immersive (Store) applications and in the system tray's input indicator. It shows its own
// windows, so it does not claim UI-less operation.
const std::array<GUID, 4> kCategories = {GUID_TFCAT_TIP_KEYBOARD,
                                         GUID_TFCAT_DISPLAYATTRIBUTEPROVIDER,
                                         kCategoryImmersiveSupport, kCategorySystraySupport};

std::wstring guidText(const GUID& guid) {
    wchar_t text[64] = {};
    if (StringFromGUID2(guid, text, 64) == 0)
        return {};
    return text;
}

std::wstring classKeyPath() {
    return L"Software\\Classes\\CLSID\\" + guidText(kTextServiceClsid);
}

bool setString(HKEY key, const wchar_t* name, const std::wstring& value) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          bytes) == ERROR_SUCCESS;
}

class RegistryKey {
public:
    RegistryKey(HKEY parent, const std::wstring& path) {
        if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~RegistryKey() {
        if (key_)
            RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

HRESULT registerClass() {
    const std::wstring path = dllPath();
    if (path.empty())
        return SELFREG_E_CLASS;
    const RegistryKey cls(HKEY_LOCAL_MACHINE, classKeyPath());
    if (!cls.get() || !setString(cls.get(), nullptr, kClassDescription))
        return SELFREG_E_CLASS;
    const RegistryKey server(cls.get(), L"InprocServer32");
    if (!server.get() || !setString(server.get(), nullptr, path) ||
        !setString(server.get(), L"ThreadingModel", L"Apartment"))
        return SELFREG_E_CLASS;
    return S_OK;
}

HRESULT registerProfile() {
    ComPtr<ITfInputProcessorProfiles> profiles;
    HRESULT result =
        CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                         IID_ITfInputProcessorProfiles, reinterpret_cast<void**>(profiles.put()));
    if (FAILED(result))
        return result;
    result = profiles->Register(kTextServiceClsid);
    if (FAILED(result))
        return result;
    const std::wstring icon = dllPath();
    const std::wstring name = kProfileName;
    result = profiles->AddLanguageProfile(kTextServiceClsid, kLanguageId, kProfileGuid,
                                          name.c_str(), static_cast<ULONG>(name.size()),
                                          icon.c_str(), static_cast<ULONG>(icon.size()), 0);
    if (FAILED(result))
        return result;
    return profiles->EnableLanguageProfile(kTextServiceClsid, kLanguageId, kProfileGuid, TRUE);
}

HRESULT registerCategories() {
    ComPtr<ITfCategoryMgr> categories;
    HRESULT result =
        CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfCategoryMgr,
                         reinterpret_cast<void**>(categories.put()));
    if (FAILED(result))
        return result;
    for (const GUID& category : kCategories) {
        result = categories->RegisterCategory(kTextServiceClsid, category, kTextServiceClsid);
        if (FAILED(result))
            return result;
    }
    return S_OK;
}

void unregisterProfileAndCategories() {
    ComPtr<ITfCategoryMgr> categories;
    if (SUCCEEDED(CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITfCategoryMgr, reinterpret_cast<void**>(categories.put()))))
        for (const GUID& category : kCategories)
            categories->UnregisterCategory(kTextServiceClsid, category, kTextServiceClsid);
    ComPtr<ITfInputProcessorProfiles> profiles;
    if (SUCCEEDED(CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITfInputProcessorProfiles,
                                   reinterpret_cast<void**>(profiles.put()))))
        profiles->Unregister(kTextServiceClsid);
}

// COM for the calling thread for a scope, when the caller had not set it up already.
class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialised_)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

} // namespace

HRESULT registerServer() {
    const ComScope com;
    HRESULT result = registerClass();
    if (SUCCEEDED(result))
        result = registerProfile();
    if (SUCCEEDED(result))
        result = registerCategories();
    if (FAILED(result)) {
        unregisterProfileAndCategories();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, classKeyPath().c_str());
    }
    return result;
}

HRESULT unregisterServer() {
    const ComScope com;
    unregisterProfileAndCategories();
    const LSTATUS status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, classKeyPath().c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

} // namespace tovi::tsf
