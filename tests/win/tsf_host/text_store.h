// An application's document for the Text Services Framework: a single line of text with a
// selection, shown in a window, exposed to the framework as ITextStoreACP. Text services read and
// write it only under the locks it grants; the application changes it and tells the framework.
#pragma once

#include "com_object.h"
#include "tsf_declarations.h"

#include <windows.h>

#include <string>

namespace tovi::tsfhost {

// Where the document draws its text: character `i` occupies the cell
// [left + i * width, left + (i + 1) * width) x [top, top + height) of the window's client area,
// so a test knows on which screen pixels any range lies.
struct CharacterCell {
    int left = 8;
    int top = 8;
    int width = 16;
    int height = 20;
};

// A message the document's window receives to grant an asynchronous lock request later, as an
// application that is busy when the request comes does.
constexpr UINT kGrantQueuedLockMessage = WM_APP + 0x54;

class TextStore final : public ITextStoreACP {
public:
    TextStore(HWND window, CharacterCell cell);
    TextStore(const TextStore&) = delete;
    TextStore& operator=(const TextStore&) = delete;

    // The application's side. These change the document outside any lock and tell the advised
    // sink; they fail (false) while a lock is held, as the framework forbids it.
    bool replaceAll(const std::wstring& text);
    bool select(LONG start, LONG end);
    const std::wstring& text() const { return text_; }
    LONG selectionStart() const { return selStart_; }
    LONG selectionEnd() const { return selEnd_; }
    // The screen rectangle of [start, end) (a caret-wide one when empty), from the cell layout.
    RECT screenRect(LONG start, LONG end) const;
    CharacterCell cell() const { return cell_; }
    // When true, asynchronous lock requests are granted from the window's message loop (through
    // kGrantQueuedLockMessage) rather than at once; true by default.
    void setDeferAsyncLocks(bool defer) { deferAsync_ = defer; }
    // Grants a queued lock request; the window procedure calls it for kGrantQueuedLockMessage.
    void grantQueuedLock();
    // How many lock requests were granted synchronously and asynchronously, and how many
    // read-write ones; a test sees through them how a text service edits.
    int syncGrants() const { return syncGrants_; }
    int asyncGrants() const { return asyncGrants_; }
    int writeGrants() const { return writeGrants_; }
    bool hasSink() const { return sink_ != nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    TOVI_TSFHOST_REFCOUNT(TextStore)

    // ITextStoreACP
    STDMETHODIMP AdviseSink(REFIID riid, IUnknown* unknown, DWORD mask) override;
    STDMETHODIMP UnadviseSink(IUnknown* unknown) override;
    STDMETHODIMP RequestLock(DWORD lockFlags, HRESULT* session) override;
    STDMETHODIMP GetStatus(TS_STATUS* status) override;
    STDMETHODIMP QueryInsert(LONG testStart, LONG testEnd, ULONG count, LONG* resultStart,
                             LONG* resultEnd) override;
    STDMETHODIMP GetSelection(ULONG index, ULONG count, TS_SELECTION_ACP* selection,
                              ULONG* fetched) override;
    STDMETHODIMP SetSelection(ULONG count, const TS_SELECTION_ACP* selection) override;
    STDMETHODIMP GetText(LONG start, LONG end, WCHAR* plain, ULONG plainRequested,
                         ULONG* plainReturned, TS_RUNINFO* runs, ULONG runsRequested,
                         ULONG* runsReturned, LONG* next) override;
    STDMETHODIMP SetText(DWORD flags, LONG start, LONG end, const WCHAR* text, ULONG count,
                         TS_TEXTCHANGE* change) override;
    STDMETHODIMP GetFormattedText(LONG start, LONG end, IDataObject** object) override;
    STDMETHODIMP GetEmbedded(LONG position, REFGUID service, REFIID riid,
                             IUnknown** object) override;
    STDMETHODIMP QueryInsertEmbedded(const GUID* service, const FORMATETC* format,
                                     BOOL* insertable) override;
    STDMETHODIMP InsertEmbedded(DWORD flags, LONG start, LONG end, IDataObject* object,
                                TS_TEXTCHANGE* change) override;
    STDMETHODIMP InsertTextAtSelection(DWORD flags, const WCHAR* text, ULONG count, LONG* start,
                                       LONG* end, TS_TEXTCHANGE* change) override;
    STDMETHODIMP InsertEmbeddedAtSelection(DWORD flags, IDataObject* object, LONG* start, LONG* end,
                                           TS_TEXTCHANGE* change) override;
    STDMETHODIMP RequestSupportedAttrs(DWORD flags, ULONG count,
                                       const TS_ATTRID* attributes) override;
    STDMETHODIMP RequestAttrsAtPosition(LONG position, ULONG count, const TS_ATTRID* attributes,
                                        DWORD flags) override;
    STDMETHODIMP RequestAttrsTransitioningAtPosition(LONG position, ULONG count,
                                                     const TS_ATTRID* attributes,
                                                     DWORD flags) override;
    STDMETHODIMP FindNextAttrTransition(LONG start, LONG halt, ULONG count,
                                        const TS_ATTRID* attributes, DWORD flags, LONG* next,
                                        BOOL* found, LONG* foundOffset) override;
    STDMETHODIMP RetrieveRequestedAttrs(ULONG count, TS_ATTRVAL* values, ULONG* fetched) override;
    STDMETHODIMP GetEndACP(LONG* end) override;
    STDMETHODIMP GetActiveView(TsViewCookie* view) override;
    STDMETHODIMP GetACPFromPoint(TsViewCookie view, const POINT* point, DWORD flags,
                                 LONG* position) override;
    STDMETHODIMP GetTextExt(TsViewCookie view, LONG start, LONG end, RECT* rect,
                            BOOL* clipped) override;
    STDMETHODIMP GetScreenExt(TsViewCookie view, RECT* rect) override;
    STDMETHODIMP GetWnd(TsViewCookie view, HWND* window) override;

private:
    ~TextStore() = default;
    HRESULT grant(DWORD lockFlags);
    bool canRead() const { return (lock_ & TS_LF_READ) != 0; }
    bool canWrite() const { return (lock_ & TS_LF_READWRITE) == TS_LF_READWRITE; }
    bool validRange(LONG start, LONG end) const;
    void replace(LONG start, LONG end, const WCHAR* text, ULONG count, TS_TEXTCHANGE* change);

    static constexpr TsViewCookie kView = 1;
    ULONG references_ = 1;
    HWND window_;
    CharacterCell cell_;
    std::wstring text_;
    LONG selStart_ = 0;
    LONG selEnd_ = 0;
    TsActiveSelEnd activeEnd_ = TS_AE_END;
    Microsoft::WRL::ComPtr<ITextStoreACPSink> sink_;
    DWORD sinkMask_ = 0;
    DWORD lock_ = 0;
    DWORD queuedLock_ = 0;
    bool deferAsync_ = true;
    int syncGrants_ = 0;
    int asyncGrants_ = 0;
    int writeGrants_ = 0;
};

} // namespace tovi::tsfhost
