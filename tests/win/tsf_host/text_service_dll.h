// A text service's in-process server registered for the life of the object: the DLL is loaded,
// its DllRegisterServer called, and at the end DllUnregisterServer called and the DLL freed. Also
// the profiles the system lists for a language, and their enabling.
#pragma once

#include "tsf_declarations.h"

#include <string>
#include <vector>

namespace tovi::tsfhost {

class TextServiceDll {
public:
    explicit TextServiceDll(const std::wstring& path);
    ~TextServiceDll();
    TextServiceDll(const TextServiceDll&) = delete;
    TextServiceDll& operator=(const TextServiceDll&) = delete;

    // S_OK once registered; the load failure or DllRegisterServer's failure otherwise.
    HRESULT status() const { return status_; }
    HMODULE module() const { return module_; }
    // An export of the DLL, or null.
    template <typename Function>
    Function function(const char* name) const {
        return reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_ = nullptr;
    HRESULT status_ = E_FAIL;
};

struct LanguageProfile {
    CLSID clsid;
    GUID profile;
    LANGID langid;
    GUID category;
    bool active;
};

// The profiles ITfInputProcessorProfiles lists for `langid`.
std::vector<LanguageProfile> languageProfiles(LANGID langid);
// The profile of `clsid` for `langid`; false when there is none.
bool findProfile(LANGID langid, REFCLSID clsid, LanguageProfile* found);
// Enables the profile for the user (ITfInputProcessorProfiles::EnableLanguageProfile).
HRESULT enableProfile(const LanguageProfile& profile);
// Whether the profile is enabled.
bool profileEnabled(const LanguageProfile& profile);

} // namespace tovi::tsfhost
