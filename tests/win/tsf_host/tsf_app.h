// A Text Services Framework application for tests: a COM apartment, the thread's text-services
// manager activated with a client id, documents (a window, a TextStore, a document manager and
// a context each), focus moved between them, and the message loop of a TSF-aware application:
// every WM_KEYDOWN/WM_KEYUP goes to the keystroke manager first (TestKeyDown then KeyDown, and
// the same for key-ups), and only keys no text service ate are translated and dispatched.
//
// Under Wine 8 the manager is the host's own (ThreadManager and the classes it hands out), as
// Wine's msctf cannot run a composing text service; registration and profiles are the system's.
//
// Typical use:
//   TsfApp app;                                    // two documents, the first focused
//   TextServiceDll dll(L"...\\service.dll");       // registered until the end of the scope
//   app.activate(clsid);                           // created and activated for the thread
//   app.tap('A'); app.tap(VK_SPACE);               // real keys, handled before returning
//   app.committedText(0); app.composition(0);      // read back
#pragma once

#include "keyboard.h"
#include "text_store.h"
#include "thread_manager.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tovi::tsfhost {

// A key message the loop handled, and whether a text service ate it; or one that reached a
// window (eaten is then false).
struct KeyMessage {
    UINT message;
    WPARAM key;
    bool eaten;
    HWND window;
};

class TsfApp {
public:
    explicit TsfApp(int documents = 2, CharacterCell cell = {});
    ~TsfApp();
    TsfApp(const TsfApp&) = delete;
    TsfApp& operator=(const TsfApp&) = delete;

    // S_OK when the apartment, manager, windows and documents are all up.
    HRESULT status() const { return status_; }
    ThreadManager& threads() { return *threads_.Get(); }
    TfClientId clientId() const { return client_; }

    int documentCount() const { return static_cast<int>(documents_.size()); }
    HWND window(int document) const { return documents_.at(document).window; }
    TextStore& store(int document) { return *documents_.at(document).store.Get(); }
    ITfDocumentMgr* documentManager(int document) const {
        return documents_.at(document).manager.Get();
    }
    ITfContext* context(int document) const { return documents_.at(document).context.Get(); }

    // Gives `document`'s window the foreground and the keyboard focus; the focus association
    // (AssociateFocus) moves the manager's focus with it. True when both hold.
    bool focus(int document);
    // The document whose manager has the focus, or -1.
    int focusedDocument() const;

    // Creates and activates a registered text service for the thread.
    HRESULT activate(REFCLSID clsid) { return threads_->activateTextService(clsid); }
    void deactivateTextServices() { threads_->deactivateTextServices(); }

    // Real keys (keyboard.h), each returning once the loop handled all their key messages
    // (false after `timeout` ms without).
    bool press(WORD key);
    bool release(WORD key);
    bool tap(WORD key);
    bool chord(std::initializer_list<WORD> modifiers, WORD key);
    bool repeat(WORD key, int count);
    // Types lower-case letters and digits as taps.
    bool type(const std::wstring& keys);

    // Handles the queued messages.
    void pump();
    // Handles messages until `done` holds; false after `timeout` ms.
    bool pumpUntil(const std::function<bool()>& done, DWORD timeout = 5000);
    // Every key message the loop took, in order, with whether a text service ate it.
    const std::vector<KeyMessage>& handledKeys() const { return handled_; }
    // The key and character messages that reached the documents' windows.
    const std::vector<KeyMessage>& windowKeys() const { return delivered_; }
    void clearKeys();

    // The document's text, and the text outside its compositions (what was committed).
    std::wstring text(int document);
    std::wstring committedText(int document);
    // The first composition of the document's context as [start, end), read through
    // ITfContextComposition::EnumCompositions; none when nothing is being composed.
    std::optional<std::pair<LONG, LONG>> composition(int document);
    // The screen rectangle the document gives for [start, end).
    RECT textRect(int document, LONG start, LONG end) {
        return store(document).screenRect(start, end);
    }
    // The display attribute a text service set on the character at `position` (the GUID its
    // atom stands for), or GUID_NULL.
    GUID displayAttributeAt(int document, LONG position);
    // Ends the document's compositions as the application does (ITfCompositionSink is told).
    HRESULT terminateCompositions(int document);
    // The visible top-level windows of this process other than the documents' (a candidate
    // window, a status window), topmost first.
    std::vector<HWND> otherWindows() const;
    std::vector<Microsoft::WRL::ComPtr<ITfLangBarItem>> languageBarItems() const {
        return threads_->languageBarItems();
    }

private:
    struct Document {
        HWND window = nullptr;
        Microsoft::WRL::ComPtr<TextStore> store;
        Microsoft::WRL::ComPtr<ITfDocumentMgr> manager;
        Microsoft::WRL::ComPtr<ITfContext> context;
    };
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT handleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HWND window);
    void dispatch(MSG& msg);
    bool waitForKeys(size_t before, int sent, DWORD timeout = 5000);
    Document* documentOf(HWND window);

    HRESULT status_ = E_FAIL;
    bool comStarted_ = false;
    Microsoft::WRL::ComPtr<ThreadManager> threads_;
    Microsoft::WRL::ComPtr<ITfKeystrokeMgr> keystrokes_;
    TfClientId client_ = TF_CLIENTID_NULL;
    std::vector<Document> documents_;
    std::vector<KeyMessage> handled_;
    std::vector<KeyMessage> delivered_;
};

} // namespace tovi::tsfhost
