// A context of a host document: what a text service edits. It reaches the application's
// document only through its ITextStoreACP, under the locks the store grants, runs edit sessions
// (synchronous and queued), hands out ranges that follow the text, holds compositions, the
// display-attribute property and the text-edit sinks.
#pragma once

#include "com_object.h"
#include "tsf_declarations.h"

#include <cstring>
#include <deque>
#include <map>
#include <vector>

namespace tovi::tsfhost {

class Composition;
class Property;
class Range;
class ThreadManager;

class Context final : public ITfContext,
                      public ITfInsertAtSelection,
                      public ITfContextComposition,
                      public ITfSource,
                      public ITextStoreACPSink {
public:
    Context(ThreadManager* threads, ITfDocumentMgr* manager, TfClientId owner,
            ITextStoreACP* store);

    // The host's side ---------------------------------------------------------------------------
    // Connects to the store (AdviseSink) when pushed, and lets go of everything when popped.
    HRESULT attach();
    void detach();
    // The compositions, oldest first, as [start, end) positions.
    std::vector<std::pair<LONG, LONG>> compositionSpans() const;
    // The value a text service set for the property `guid` on the character at `position`
    // (VT_EMPTY when none).
    VARIANT propertyValueAt(REFGUID guid, LONG position) const;
    // Ends every composition through its owner's ITfCompositionSink, in a write session, as the
    // application does when it takes the text back (focus lost, document closed).
    HRESULT terminateCompositions();

    // What ranges, compositions and properties use ----------------------------------------------
    bool canRead(TfEditCookie ec) const { return ec != 0 && ec == cookie_; }
    bool canWrite(TfEditCookie ec) const { return canRead(ec) && writable_; }
    void track(Range* range) { ranges_.push_back(range); }
    void untrack(Range* range);
    // Replaces [start, end) with `text` in the store and moves every range; `newEnd` receives the
    // end of the new text.
    HRESULT replace(LONG start, LONG end, const WCHAR* text, LONG count, LONG* newEnd);
    HRESULT length(LONG* end);
    ITextStoreACP* store() const { return store_.Get(); }
    void removeComposition(Composition* composition);
    CLSID sessionOwner() const;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    TOVI_TSFHOST_REFCOUNT(Context)

    // ITfContext
    STDMETHODIMP RequestEditSession(TfClientId client, ITfEditSession* session, DWORD flags,
                                    HRESULT* result) override;
    STDMETHODIMP InWriteSession(TfClientId client, BOOL* writing) override;
    STDMETHODIMP GetSelection(TfEditCookie ec, ULONG index, ULONG count, TF_SELECTION* selection,
                              ULONG* fetched) override;
    STDMETHODIMP SetSelection(TfEditCookie ec, ULONG count, const TF_SELECTION* selection) override;
    STDMETHODIMP GetStart(TfEditCookie ec, ITfRange** start) override;
    STDMETHODIMP GetEnd(TfEditCookie ec, ITfRange** end) override;
    STDMETHODIMP GetActiveView(ITfContextView** view) override;
    STDMETHODIMP EnumViews(IEnumTfContextViews** views) override;
    STDMETHODIMP GetStatus(TF_STATUS* status) override;
    STDMETHODIMP GetProperty(REFGUID guid, ITfProperty** property) override;
    STDMETHODIMP GetAppProperty(REFGUID guid, ITfReadOnlyProperty** property) override;
    STDMETHODIMP TrackProperties(const GUID** properties, ULONG count, const GUID** app,
                                 ULONG appCount, ITfReadOnlyProperty** property) override;
    STDMETHODIMP EnumProperties(IEnumTfProperties** properties) override;
    STDMETHODIMP GetDocumentMgr(ITfDocumentMgr** manager) override;
    STDMETHODIMP CreateRangeBackup(TfEditCookie ec, ITfRange* range,
                                   ITfRangeBackup** backup) override;

    // ITfInsertAtSelection
    STDMETHODIMP InsertTextAtSelection(TfEditCookie ec, DWORD flags, const WCHAR* text, LONG count,
                                       ITfRange** range) override;
    STDMETHODIMP InsertEmbeddedAtSelection(TfEditCookie ec, DWORD flags, IDataObject* object,
                                           ITfRange** range) override;

    // ITfContextComposition
    STDMETHODIMP StartComposition(TfEditCookie ec, ITfRange* range, ITfCompositionSink* sink,
                                  ITfComposition** composition) override;
    STDMETHODIMP EnumCompositions(IEnumITfCompositionView** compositions) override;
    STDMETHODIMP FindComposition(TfEditCookie ec, ITfRange* range,
                                 IEnumITfCompositionView** compositions) override;
    STDMETHODIMP TakeOwnership(TfEditCookie ec, ITfCompositionView* view, ITfCompositionSink* sink,
                               ITfComposition** composition) override;

    // ITfSource: ITfTextEditSink and ITfTextLayoutSink
    STDMETHODIMP AdviseSink(REFIID riid, IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP UnadviseSink(DWORD cookie) override;

    // ITextStoreACPSink
    STDMETHODIMP OnTextChange(DWORD flags, const TS_TEXTCHANGE* change) override;
    STDMETHODIMP OnSelectionChange() override;
    STDMETHODIMP OnLayoutChange(TsLayoutCode code, TsViewCookie view) override;
    STDMETHODIMP OnStatusChange(DWORD flags) override;
    STDMETHODIMP OnAttrsChange(LONG start, LONG end, ULONG count,
                               const TS_ATTRID* attributes) override;
    STDMETHODIMP OnLockGranted(DWORD flags) override;
    STDMETHODIMP OnStartEditTransaction() override;
    STDMETHODIMP OnEndEditTransaction() override;

private:
    struct Request {
        Microsoft::WRL::ComPtr<ITfEditSession> session;
        TfClientId client;
        bool write;
    };
    struct Sink {
        DWORD cookie;
        IID iid;
        Microsoft::WRL::ComPtr<IUnknown> sink;
    };
    ~Context();
    HRESULT run(const Request& request);

    ULONG references_ = 1;
    ThreadManager* threads_;
    Microsoft::WRL::ComPtr<ITfCompartmentMgr> compartments_;
    Microsoft::WRL::ComPtr<ITfDocumentMgr> manager_;
    TfClientId owner_;
    Microsoft::WRL::ComPtr<ITextStoreACP> store_;
    bool attached_ = false;
    std::vector<Range*> ranges_;
    std::vector<Microsoft::WRL::ComPtr<Composition>> compositions_;
    struct GuidLess {
        bool operator()(const GUID& a, const GUID& b) const {
            return memcmp(&a, &b, sizeof(GUID)) < 0;
        }
    };
    std::map<GUID, Microsoft::WRL::ComPtr<Property>, GuidLess> properties_;
    std::vector<Sink> sinks_;
    DWORD nextSinkCookie_ = 1;
    // The edit session being run: its cookie (0 outside sessions), access and client.
    TfEditCookie cookie_ = 0;
    TfEditCookie lastCookie_ = 0x100;
    bool writable_ = false;
    TfClientId sessionClient_ = TF_CLIENTID_NULL;
    bool changed_ = false;
    bool selectionChanged_ = false;
    // A synchronous request waiting for its OnLockGranted, and queued asynchronous ones.
    const Request* syncRequest_ = nullptr;
    HRESULT syncResult_ = S_OK;
    std::deque<Request> queue_;
};

} // namespace tovi::tsfhost
