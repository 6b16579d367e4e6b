// The program's sink for the capture component: a dispatch object whose first own method, after
// those of IUnknown and IDispatch, is QueryWord. The component may call it through the v-table
// or by name through IDispatch::Invoke; both reach the same handler.
#pragma once

#include <windows.h>

#include <cstddef>

namespace tovi::screen {

// What the sink reports to: the character under the pointer at (x, y).
class QueryWordHandler {
public:
    virtual HRESULT queryWord(LONG x, LONG y, const wchar_t* text, std::size_t length,
                              LONG cursorIndex) = 0;

protected:
    ~QueryWordHandler() = default;
};

// The sink's interface as the component sees it. The unused arguments are passed on unread.
struct IScreenQuerySink : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE QueryWord(LONG unused1, LONG x, LONG y, BSTR text,
                                                LONG* cursorIndex, LONG unused2, LONG unused3) = 0;
};

// Lives inside the form that owns it: the form lets go of the component, and with it every
// outside reference, before the sink goes away, so the count only guards against misuse.
class QuerySink final : public IScreenQuerySink {
public:
    static constexpr DISPID kQueryWordId = 1;

    explicit QuerySink(QueryWordHandler& handler) : handler_(handler) {}
    QuerySink(const QuerySink&) = delete;
    QuerySink& operator=(const QuerySink&) = delete;
    virtual ~QuerySink() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT* argumentError) override;

    HRESULT STDMETHODCALLTYPE QueryWord(LONG unused1, LONG x, LONG y, BSTR text, LONG* cursorIndex,
                                        LONG unused2, LONG unused3) override;

private:
    QueryWordHandler& handler_;
    LONG references_ = 1; // the owner's
};

} // namespace tovi::screen
