// A range of a host context: two anchors (character positions) with gravities, kept in place by
// the context when text before or inside them changes.
#pragma once

#include "com_object.h"
#include "tsf_declarations.h"

namespace tovi::tsfhost {

class Context;

class Range final : public ITfRangeACP {
public:
    Range(Context* context, LONG start, LONG end);
    Microsoft::WRL::ComPtr<Range> clone() const;
    LONG start() const { return start_; }
    LONG end() const { return end_; }
    void set(LONG start, LONG end);
    void setGravity(TfGravity start, TfGravity end) {
        startGravity_ = start;
        endGravity_ = end;
    }
    // Moves the anchors for the replacement of [start, oldEnd) by text ending at newEnd.
    void adjust(LONG start, LONG oldEnd, LONG newEnd);
    // The host range behind a range a text service passes back, or null for a foreign one.
    static Range* from(ITfRange* range);

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    TOVI_TSFHOST_REFCOUNT(Range)

    // ITfRange
    STDMETHODIMP GetText(TfEditCookie ec, DWORD flags, WCHAR* text, ULONG max,
                         ULONG* count) override;
    STDMETHODIMP SetText(TfEditCookie ec, DWORD flags, const WCHAR* text, LONG count) override;
    STDMETHODIMP GetFormattedText(TfEditCookie ec, IDataObject** object) override;
    STDMETHODIMP GetEmbedded(TfEditCookie ec, REFGUID service, REFIID riid,
                             IUnknown** object) override;
    STDMETHODIMP InsertEmbedded(TfEditCookie ec, DWORD flags, IDataObject* object) override;
    STDMETHODIMP ShiftStart(TfEditCookie ec, LONG count, LONG* shifted,
                            const TF_HALTCOND* halt) override;
    STDMETHODIMP ShiftEnd(TfEditCookie ec, LONG count, LONG* shifted,
                          const TF_HALTCOND* halt) override;
    STDMETHODIMP ShiftStartToRange(TfEditCookie ec, ITfRange* range, TfAnchor anchor) override;
    STDMETHODIMP ShiftEndToRange(TfEditCookie ec, ITfRange* range, TfAnchor anchor) override;
    STDMETHODIMP ShiftStartRegion(TfEditCookie ec, TfShiftDir dir, BOOL* noRegion) override;
    STDMETHODIMP ShiftEndRegion(TfEditCookie ec, TfShiftDir dir, BOOL* noRegion) override;
    STDMETHODIMP IsEmpty(TfEditCookie ec, BOOL* empty) override;
    STDMETHODIMP Collapse(TfEditCookie ec, TfAnchor anchor) override;
    STDMETHODIMP IsEqualStart(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                              BOOL* equal) override;
    STDMETHODIMP IsEqualEnd(TfEditCookie ec, ITfRange* with, TfAnchor anchor, BOOL* equal) override;
    STDMETHODIMP CompareStart(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                              LONG* result) override;
    STDMETHODIMP CompareEnd(TfEditCookie ec, ITfRange* with, TfAnchor anchor,
                            LONG* result) override;
    STDMETHODIMP AdjustForInsert(TfEditCookie ec, ULONG count, BOOL* insertOk) override;
    STDMETHODIMP GetGravity(TfGravity* start, TfGravity* end) override;
    STDMETHODIMP SetGravity(TfEditCookie ec, TfGravity start, TfGravity end) override;
    STDMETHODIMP Clone(ITfRange** clone) override;
    STDMETHODIMP GetContext(ITfContext** context) override;

    // ITfRangeACP
    STDMETHODIMP GetExtent(LONG* anchor, LONG* count) override;
    STDMETHODIMP SetExtent(LONG anchor, LONG count) override;

private:
    ~Range();
    HRESULT shift(TfEditCookie ec, LONG& anchor, LONG count, LONG* shifted);
    // Moves the start (or the end) to an anchor of `range`.
    HRESULT shiftToRange(TfEditCookie ec, ITfRange* range, TfAnchor anchor, bool start);
    ULONG references_ = 1;
    Microsoft::WRL::ComPtr<Context> context_;
    LONG start_;
    LONG end_;
    TfGravity startGravity_ = TF_GRAVITY_BACKWARD;
    TfGravity endGravity_ = TF_GRAVITY_FORWARD;
};

// {61D127D6-11E4-4112-9B1F-CCC9CD8F26CA}: answered by host ranges only, to find their object.
inline constexpr IID kHostRangeIid = {
    0x61d127d6, 0x11e4, 0x4112, {0x9b, 0x1f, 0xcc, 0xc9, 0xcd, 0x8f, 0x26, 0xca}};

} // namespace tovi::tsfhost
