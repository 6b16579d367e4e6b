#include "tsf_app.h"

#include "context.h"
#include "document_manager.h"
#include "function_session.h"

#include <algorithm>

namespace tovi::tsfhost {
namespace {

constexpr wchar_t kWindowClass[] = L"ToviTsfHostDocument";

bool isKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

} // namespace

TsfApp::TsfApp(int documents, CharacterCell cell) {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comStarted_ = SUCCEEDED(hr);
    if (FAILED(hr)) {
        status_ = hr;
        return;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass); // fails harmlessly when a former app registered it

    threads_ = makeCom<ThreadManager>();
    hr = threads_->ActivateEx(&client_, 0);
    if (SUCCEEDED(hr))
        hr = threads_.As(&keystrokes_);
    for (int i = 0; SUCCEEDED(hr) && i < documents; ++i) {
        Document document;
        const std::wstring title = L"tovi TSF document " + std::to_wstring(i + 1);
        document.window = CreateWindowExW(
            0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60 + i * 180, 520,
            140, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!document.window) {
            hr = HRESULT_FROM_WIN32(GetLastError());
            break;
        }
        SetWindowLongPtrW(document.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        document.store = makeCom<TextStore>(document.window, cell);
        TfEditCookie storeCookie = 0;
        hr = threads_->CreateDocumentMgr(&document.manager);
        if (SUCCEEDED(hr))
            hr = document.manager->CreateContext(client_, 0,
                                                 static_cast<ITextStoreACP*>(document.store.Get()),
                                                 &document.context, &storeCookie);
        if (SUCCEEDED(hr))
            hr = document.manager->Push(document.context.Get());
        Microsoft::WRL::ComPtr<ITfDocumentMgr> previous;
        if (SUCCEEDED(hr))
            hr = threads_->AssociateFocus(document.window, document.manager.Get(), &previous);
        documents_.push_back(std::move(document));
    }
    status_ = hr;
    if (SUCCEEDED(hr) && !documents_.empty() && !focus(0))
        status_ = E_FAIL;
}

TsfApp::~TsfApp() {
    if (threads_) {
        threads_->deactivateTextServices();
        for (Document& document : documents_) {
            Microsoft::WRL::ComPtr<ITfDocumentMgr> previous;
            if (document.window)
                threads_->AssociateFocus(document.window, nullptr, &previous);
            if (document.manager)
                document.manager->Pop(TF_POPF_ALL);
        }
        threads_->Deactivate();
    }
    for (Document& document : documents_)
        if (document.window)
            DestroyWindow(document.window);
    documents_.clear();
    keystrokes_.Reset();
    threads_.Reset();
    pump();
    if (comStarted_)
        CoUninitialize();
}

TsfApp::Document* TsfApp::documentOf(HWND window) {
    for (Document& document : documents_)
        if (document.window == window)
            return &document;
    return nullptr;
}

LRESULT CALLBACK TsfApp::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* app = reinterpret_cast<TsfApp*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!app)
        return DefWindowProcW(window, message, wParam, lParam);
    return app->handleWindowMessage(window, message, wParam, lParam);
}

LRESULT TsfApp::handleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Document* document = documentOf(window);
    switch (message) {
    case WM_SETFOCUS:
        if (threads_)
            threads_->windowFocused(window);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
        delivered_.push_back(KeyMessage{message, wParam, false, window});
        break;
    case WM_PAINT:
        paint(window);
        return 0;
    default:
        if (message == kGrantQueuedLockMessage && document) {
            // The store may go away inside the grant (a text service pops the document).
            const Microsoft::WRL::ComPtr<TextStore> store = document->store;
            store->grantQueuedLock();
            return 0;
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TsfApp::paint(HWND window) {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window, &paint);
    if (Document* document = documentOf(window)) {
        const CharacterCell cell = document->store->cell();
        const std::wstring& text = document->store->text();
        SetBkMode(dc, TRANSPARENT);
        for (size_t i = 0; i < text.size(); ++i)
            TextOutW(dc, cell.left + static_cast<int>(i) * cell.width, cell.top, &text[i], 1);
    }
    EndPaint(window, &paint);
}

bool TsfApp::focus(int document) {
    const HWND target = window(document);
    SetForegroundWindow(target);
    SetActiveWindow(target);
    ::SetFocus(target);
    pump();
    return GetFocus() == target && focusedDocument() == document;
}

int TsfApp::focusedDocument() const {
    Microsoft::WRL::ComPtr<ITfDocumentMgr> focused;
    threads_->GetFocus(&focused);
    for (size_t i = 0; i < documents_.size(); ++i)
        if (focused && documents_[i].manager.Get() == focused.Get())
            return static_cast<int>(i);
    return -1;
}

void TsfApp::dispatch(MSG& msg) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
        const bool down = msg.message == WM_KEYDOWN;
        BOOL eaten = FALSE;
        if (down ? SUCCEEDED(keystrokes_->TestKeyDown(msg.wParam, msg.lParam, &eaten))
                 : SUCCEEDED(keystrokes_->TestKeyUp(msg.wParam, msg.lParam, &eaten))) {
            if (eaten) {
                eaten = FALSE;
                if (down)
                    keystrokes_->KeyDown(msg.wParam, msg.lParam, &eaten);
                else
                    keystrokes_->KeyUp(msg.wParam, msg.lParam, &eaten);
            }
        }
        handled_.push_back(KeyMessage{msg.message, msg.wParam, eaten != FALSE, msg.hwnd});
        if (eaten)
            return;
    } else if (isKeyMessage(msg.message)) {
        handled_.push_back(KeyMessage{msg.message, msg.wParam, false, msg.hwnd});
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void TsfApp::pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        dispatch(msg);
}

bool TsfApp::pumpUntil(const std::function<bool()>& done, DWORD timeout) {
    const ULONGLONG deadline = GetTickCount64() + timeout;
    for (;;) {
        pump();
        if (done())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
    }
}

bool TsfApp::waitForKeys(size_t before, int sent, DWORD timeout) {
    if (sent <= 0)
        return false;
    return pumpUntil([&] { return handled_.size() >= before + static_cast<size_t>(sent); },
                     timeout);
}

bool TsfApp::press(WORD key) {
    return waitForKeys(handled_.size(), keyboard::press(key));
}

bool TsfApp::release(WORD key) {
    return waitForKeys(handled_.size(), keyboard::release(key));
}

bool TsfApp::tap(WORD key) {
    return waitForKeys(handled_.size(), keyboard::tap(key));
}

bool TsfApp::chord(std::initializer_list<WORD> modifiers, WORD key) {
    return waitForKeys(handled_.size(), keyboard::chord(modifiers, key));
}

bool TsfApp::repeat(WORD key, int count) {
    return waitForKeys(handled_.size(), keyboard::repeat(key, count));
}

bool TsfApp::type(const std::wstring& keys) {
    for (const wchar_t c : keys) {
        WORD key = 0;
        if (c >= L'a' && c <= L'z')
            key = static_cast<WORD>('A' + (c - L'a'));
        else if (c >= L'0' && c <= L'9')
            key = static_cast<WORD>(c);
        else
            return false;
        if (!tap(key))
            return false;
    }
    return true;
}

void TsfApp::clearKeys() {
    handled_.clear();
    delivered_.clear();
}

std::wstring TsfApp::text(int document) {
    return store(document).text();
}

std::wstring TsfApp::committedText(int document) {
    std::wstring text = store(document).text();
    const auto span = composition(document);
    if (span && span->first <= span->second && span->second <= static_cast<LONG>(text.size()))
        text.erase(static_cast<size_t>(span->first),
                   static_cast<size_t>(span->second - span->first));
    return text;
}

std::optional<std::pair<LONG, LONG>> TsfApp::composition(int document) {
    Microsoft::WRL::ComPtr<ITfContextComposition> compositions;
    Microsoft::WRL::ComPtr<IEnumITfCompositionView> views;
    if (FAILED(context(document)->QueryInterface(IID_PPV_ARGS(&compositions))) ||
        FAILED(compositions->EnumCompositions(&views)) || !views)
        return std::nullopt;
    Microsoft::WRL::ComPtr<ITfCompositionView> view;
    ULONG fetched = 0;
    if (views->Next(1, &view, &fetched) != S_OK || fetched != 1)
        return std::nullopt;
    Microsoft::WRL::ComPtr<ITfRange> range;
    Microsoft::WRL::ComPtr<ITfRangeACP> acp;
    LONG start = 0, count = 0;
    if (FAILED(view->GetRange(&range)) || FAILED(range.As(&acp)) ||
        FAILED(acp->GetExtent(&start, &count)))
        return std::nullopt;
    return std::make_pair(start, start + count);
}

GUID TsfApp::displayAttributeAt(int document, LONG position) {
    GUID found = GUID_NULL;
    ITfContext* target = context(document);
    auto session = makeCom<FunctionSession>([&](TfEditCookie ec) {
        Microsoft::WRL::ComPtr<ITfProperty> property;
        Microsoft::WRL::ComPtr<ITfRange> start;
        HRESULT hr = target->GetProperty(GUID_PROP_ATTRIBUTE, &property);
        if (SUCCEEDED(hr))
            hr = target->GetStart(ec, &start);
        LONG shifted = 0;
        if (SUCCEEDED(hr))
            hr = start->ShiftStart(ec, position, &shifted, nullptr);
        if (SUCCEEDED(hr))
            hr = start->ShiftEnd(ec, 1, &shifted, nullptr);
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(hr))
            hr = property->GetValue(ec, start.Get(), &value);
        if (hr == S_OK && value.vt == VT_I4) {
            Microsoft::WRL::ComPtr<ITfCategoryMgr> categories;
            if (SUCCEEDED(CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_PPV_ARGS(&categories))))
                categories->GetGUID(static_cast<TfGuidAtom>(value.lVal), &found);
        }
        VariantClear(&value);
        return hr;
    });
    HRESULT result = E_FAIL;
    target->RequestEditSession(client_, session.Get(), TF_ES_SYNC | TF_ES_READ, &result);
    return found;
}

HRESULT TsfApp::terminateCompositions(int document) {
    // The host's document managers hand out host contexts only.
    auto* manager = static_cast<DocumentManager*>(documentManager(document));
    Context* host = manager->hostContext(context(document));
    return host ? host->terminateCompositions() : E_UNEXPECTED;
}

std::vector<HWND> TsfApp::otherWindows() const {
    struct Search {
        const TsfApp* app;
        std::vector<HWND> found;
        static BOOL CALLBACK visit(HWND window, LPARAM data) {
            auto* search = reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process != GetCurrentProcessId() || !IsWindowVisible(window))
                return TRUE;
            for (const Document& document : search->app->documents_)
                if (document.window == window)
                    return TRUE;
            search->found.push_back(window);
            return TRUE;
        }
    } search{this, {}};
    EnumWindows(Search::visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace tovi::tsfhost
