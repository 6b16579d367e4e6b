// The outside screen-capture component "XdictGrb.GrabProxy", driven by late binding: its
// properties and its one method are reached by name through IDispatch, so no type library of
// it is needed.
#pragma once

#include "win32_owners.h"

#include <optional>

namespace tovi::screen {

inline constexpr wchar_t kGrabProgId[] = L"XdictGrb.GrabProxy";

class GrabComponent {
public:
    // Creates the component and starts it: GrabEnabled TRUE, GrabInterval 500, GrabMode 1, then
    // AdviseGrab with `sink`. On any failure nothing is kept and the error is returned.
    HRESULT start(IDispatch* sink);
    bool running() const { return static_cast<bool>(object_); }
    // Flips GrabEnabled and returns its value as read back; none when the component failed.
    std::optional<bool> toggleEnabled();
    // Lets go of the component (it drops the sink).
    void release() { object_.reset(); }

private:
    HRESULT put(const wchar_t* name, VARIANT value);
    HRESULT get(const wchar_t* name, VARIANT* result);
    HRESULT call(const wchar_t* name, VARIANT argument);
    HRESULT dispatchId(const wchar_t* name, DISPID* id);

    ComRef<IDispatch> object_;
};

} // namespace tovi::screen
