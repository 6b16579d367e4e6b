#include "text_service_dll.h"

#include <wrl/client.h>

namespace tovi::tsfhost {
namespace {

Microsoft::WRL::ComPtr<ITfInputProcessorProfiles> profiles() {
    Microsoft::WRL::ComPtr<ITfInputProcessorProfiles> object;
    CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                     IID_PPV_ARGS(&object));
    return object;
}

} // namespace

TextServiceDll::TextServiceDll(const std::wstring& path) {
    module_ = LoadLibraryW(path.c_str());
    if (!module_) {
        status_ = HRESULT_FROM_WIN32(GetLastError());
        return;
    }
    const auto registerServer = function<HRESULT(WINAPI*)()>("DllRegisterServer");
    status_ = registerServer ? registerServer() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

TextServiceDll::~TextServiceDll() {
    if (!module_)
        return;
    if (SUCCEEDED(status_))
        if (const auto unregister = function<HRESULT(WINAPI*)()>("DllUnregisterServer"))
            unregister();
    FreeLibrary(module_);
}

std::vector<LanguageProfile> languageProfiles(LANGID langid) {
    std::vector<LanguageProfile> found;
    const auto object = profiles();
    Microsoft::WRL::ComPtr<IEnumTfLanguageProfiles> each;
    if (!object || FAILED(object->EnumLanguageProfiles(langid, &each)) || !each)
        return found;
    TF_LANGUAGEPROFILE profile{};
    ULONG fetched = 0;
    while (each->Next(1, &profile, &fetched) == S_OK && fetched == 1)
        found.push_back(LanguageProfile{profile.clsid, profile.guidProfile, profile.langid,
                                        profile.catid, profile.fActive != FALSE});
    return found;
}

bool findProfile(LANGID langid, REFCLSID clsid, LanguageProfile* found) {
    for (const LanguageProfile& profile : languageProfiles(langid))
        if (profile.clsid == clsid) {
            if (found)
                *found = profile;
            return true;
        }
    return false;
}

HRESULT enableProfile(const LanguageProfile& profile) {
    const auto object = profiles();
    if (!object)
        return E_FAIL;
    return object->EnableLanguageProfile(profile.clsid, profile.langid, profile.profile, TRUE);
}

bool profileEnabled(const LanguageProfile& profile) {
    const auto object = profiles();
    BOOL enabled = FALSE;
    return object &&
           SUCCEEDED(object->IsEnabledLanguageProfile(profile.clsid, profile.langid,
                                                      profile.profile, &enabled)) &&
           enabled;
}

} // namespace tovi::tsfhost
