// The real tovi_tsf.dll as regsvr32 and the framework see it under Wine: its registration (the
// COM class, the zh-CN profile with its name and icon, the categories) and unregistration, its
// class object, and the display attribute its text service provides.
#include "tsf/com_ptr.h"
#include "tsf/tsf_guids.h"
#include "tsf/tsf_sdk.h"

#include <gtest/gtest.h>

#include <string>

namespace tovi {
namespace {

using tsf::ComPtr;

using ServerFn = HRESULT(WINAPI*)();
using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

std::wstring guidText(const GUID& guid) {
    wchar_t text[64] = {};
    StringFromGUID2(guid, text, 64);
    return text;
}

const std::wstring kClassKey = L"Software\\Classes\\CLSID\\" + guidText(tsf::kTextServiceClsid);
const std::wstring kTipKey = L"Software\\Microsoft\\CTF\\TIP\\" + guidText(tsf::kTextServiceClsid);

std::wstring readString(const std::wstring& key, const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    DWORD bytes = sizeof(value);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value,
                     &bytes) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

bool keyExists(const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

// Whether the framework lists the profile for zh-CN as a keyboard text service.
bool profileListed() {
    ComPtr<ITfInputProcessorProfiles> profiles;
    if (FAILED(CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ITfInputProcessorProfiles,
                                reinterpret_cast<void**>(profiles.put()))))
        return false;
    ComPtr<IEnumTfLanguageProfiles> list;
    if (FAILED(profiles->EnumLanguageProfiles(tsf::kLanguageId, list.put())) || !list)
        return false;
    TF_LANGUAGEPROFILE profile{};
    ULONG fetched = 0;
    while (list->Next(1, &profile, &fetched) == S_OK && fetched == 1)
        if (IsEqualCLSID(profile.clsid, tsf::kTextServiceClsid) &&
            IsEqualGUID(profile.guidProfile, tsf::kProfileGuid) &&
            IsEqualGUID(profile.catid, GUID_TFCAT_TIP_KEYBOARD))
            return true;
    return false;
}

class TsfRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        dll_ = LoadLibraryW(L"tovi_tsf.dll");
        ASSERT_NE(dll_, nullptr);
        registerServer = function<ServerFn>("DllRegisterServer");
        unregisterServer = function<ServerFn>("DllUnregisterServer");
        canUnload = function<ServerFn>("DllCanUnloadNow");
        getClassObject = function<GetClassObjectFn>("DllGetClassObject");
        ASSERT_TRUE(registerServer && unregisterServer && canUnload && getClassObject);
    }
    void TearDown() override {
        if (unregisterServer)
            unregisterServer();
        if (dll_)
            FreeLibrary(dll_);
        CoUninitialize();
    }
    template <typename Fn>
    Fn function(const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll_, name)));
    }
    std::wstring dllPath() const {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(dll_, path, MAX_PATH);
        return path;
    }

    HMODULE dll_ = nullptr;
    ServerFn registerServer = nullptr;
    ServerFn unregisterServer = nullptr;
    ServerFn canUnload = nullptr;
    GetClassObjectFn getClassObject = nullptr;
};

TEST_F(TsfRegistration, RegistersAnApartmentThreadedInProcessClass) {
    ASSERT_EQ(registerServer(), S_OK);
    EXPECT_EQ(readString(kClassKey + L"\\InprocServer32", nullptr), dllPath());
    EXPECT_EQ(readString(kClassKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
}

TEST_F(TsfRegistration, ListsTheChineseProfileWithItsNameAndIcon) {
    ASSERT_EQ(registerServer(), S_OK);
    EXPECT_TRUE(profileListed());
    const std::wstring profileKey =
        kTipKey + L"\\LanguageProfile\\0x00000804\\" + guidText(tsf::kProfileGuid);
    EXPECT_EQ(readString(profileKey, L"Description"), L"tovi 输入法");
    EXPECT_EQ(readString(profileKey, L"IconFile"), dllPath());
    const auto icon =
        static_cast<HICON>(LoadImageW(dll_, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(icon, nullptr);
    if (icon)
        DestroyIcon(icon);
}

TEST_F(TsfRegistration, PutsTheServiceInItsCategories) {
    ASSERT_EQ(registerServer(), S_OK);
    const std::wstring items = kTipKey + L"\\Category\\Item\\" + guidText(tsf::kTextServiceClsid);
    EXPECT_TRUE(keyExists(items + L"\\" + guidText(GUID_TFCAT_TIP_KEYBOARD)));
    EXPECT_TRUE(keyExists(items + L"\\" + guidText(GUID_TFCAT_DISPLAYATTRIBUTEPROVIDER)));
    EXPECT_TRUE(keyExists(items + L"\\" + guidText(tsf::kCategoryImmersiveSupport)));
    EXPECT_TRUE(keyExists(items + L"\\" + guidText(tsf::kCategorySystraySupport)));
}

TEST_F(TsfRegistration, UnregisteringRemovesClassProfileAndCategories) {
    ASSERT_EQ(registerServer(), S_OK);
    ASSERT_EQ(unregisterServer(), S_OK);
    EXPECT_FALSE(keyExists(kClassKey));
    EXPECT_FALSE(keyExists(kTipKey + L"\\Category\\Item"));
    EXPECT_FALSE(profileListed());
    // Twice is no failure: there is nothing left to remove.
    EXPECT_EQ(unregisterServer(), S_OK);
}

TEST_F(TsfRegistration, ClassObjectServesOnlyTheTextServiceClass) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(getClassObject(GUID_TFCAT_TIP_KEYBOARD, IID_IClassFactory,
                             reinterpret_cast<void**>(factory.put())),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(getClassObject(tsf::kTextServiceClsid, IID_IClassFactory,
                             reinterpret_cast<void**>(factory.put())),
              S_OK);
    EXPECT_EQ(canUnload(), S_FALSE); // the class object is alive
    ComPtr<IUnknown> service;
    ASSERT_EQ(
        factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(service.put())),
        S_OK);
    EXPECT_TRUE(service.query<IUnknown>(tsf::kIidTextInputProcessorEx));
    EXPECT_TRUE(service.query<ITfKeyEventSink>(IID_ITfKeyEventSink));
    EXPECT_TRUE(service.query<ITfCompositionSink>(IID_ITfCompositionSink));
    EXPECT_TRUE(service.query<ITfThreadMgrEventSink>(IID_ITfThreadMgrEventSink));
    EXPECT_FALSE(service.query<IClassFactory>(IID_IClassFactory));
    service.reset();
    factory.reset();
    EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(TsfRegistration, ProvidesTheCodeDisplayAttribute) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(tsf::kTextServiceClsid, IID_IClassFactory,
                             reinterpret_cast<void**>(factory.put())),
              S_OK);
    ComPtr<tsf::IDisplayAttributeProvider> provider;
    ASSERT_EQ(factory->CreateInstance(nullptr, tsf::kIidDisplayAttributeProvider,
                                      reinterpret_cast<void**>(provider.put())),
              S_OK);
    ComPtr<IEnumTfDisplayAttributeInfo> list;
    ASSERT_EQ(provider->EnumDisplayAttributeInfo(list.put()), S_OK);
    ITfDisplayAttributeInfo* infos[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(list->Next(2, infos, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    const auto info = ComPtr<ITfDisplayAttributeInfo>::adopt(infos[0]);
    GUID guid{};
    ASSERT_EQ(info->GetGUID(&guid), S_OK);
    EXPECT_TRUE(IsEqualGUID(guid, tsf::kCodeDisplayAttributeGuid));
    TF_DISPLAYATTRIBUTE attribute{};
    ASSERT_EQ(info->GetAttributeInfo(&attribute), S_OK);
    EXPECT_EQ(attribute.bAttr, TF_ATTR_INPUT);
    EXPECT_EQ(attribute.lsStyle, TF_LS_DOT);
    ComPtr<ITfDisplayAttributeInfo> byGuid;
    EXPECT_EQ(provider->GetDisplayAttributeInfo(tsf::kCodeDisplayAttributeGuid, byGuid.put()),
              S_OK);
    EXPECT_EQ(provider->GetDisplayAttributeInfo(GUID_TFCAT_TIP_KEYBOARD, byGuid.put()),
              E_INVALIDARG);
}

} // namespace
} // namespace tovi
