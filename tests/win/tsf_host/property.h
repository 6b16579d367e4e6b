// A property of a host context (the display attribute, GUID_PROP_ATTRIBUTE, among others): values
// a text service sets on ranges, kept on ranges that follow the text.
#pragma once

#include "com_object.h"
#include "range.h"
#include "tsf_declarations.h"

#include <vector>

namespace tovi::tsfhost {

class Context;

class Property final : public ITfProperty {
public:
    Property(Context* context, REFGUID type) : context_(context), type_(type) {}
    // The value on the character at `position`, VT_EMPTY when none (the caller clears it).
    VARIANT valueAt(LONG position) const;
    // Lets go of the context and the values (the context is going away).
    void release();

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    TOVI_TSFHOST_REFCOUNT(Property)

    // ITfReadOnlyProperty
    STDMETHODIMP GetType(GUID* type) override;
    STDMETHODIMP EnumRanges(TfEditCookie ec, IEnumTfRanges** ranges, ITfRange* target) override;
    STDMETHODIMP GetValue(TfEditCookie ec, ITfRange* range, VARIANT* value) override;
    STDMETHODIMP GetContext(ITfContext** context) override;
    // ITfProperty
    STDMETHODIMP FindRange(TfEditCookie ec, ITfRange* range, ITfRange** found,
                           TfAnchor anchor) override;
    STDMETHODIMP SetValueStore(TfEditCookie ec, ITfRange* range, ITfPropertyStore* store) override;
    STDMETHODIMP SetValue(TfEditCookie ec, ITfRange* range, const VARIANT* value) override;
    STDMETHODIMP Clear(TfEditCookie ec, ITfRange* range) override;

private:
    struct Span {
        Microsoft::WRL::ComPtr<Range> range;
        VARIANT value;
    };
    ~Property();
    // Removes the values on spans overlapping [start, end) (all for a null range).
    void clear(const Range* range);
    ULONG references_ = 1;
    Microsoft::WRL::ComPtr<Context> context_;
    GUID type_;
    std::vector<Span> spans_;
};

} // namespace tovi::tsfhost
