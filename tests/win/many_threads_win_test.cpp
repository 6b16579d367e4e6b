// Several GUI threads of one process type through the real tovi.ime with the real tables, as
// IMM32 drives a module in an application whose threads each take keyboard input: every thread has
// its own top-level window, input context and UI window, pumps its own messages, and makes every
// call on its context itself.
//
// Typing in turns: the focus moves from thread to thread as the manager moves it (the old context
// deactivated, the new one activated, each on its own thread) and the focus thread types words of
// its own, while the other threads run what the system sends them: their context deselected and
// selected again, NotifyIME, their UI window's notifications and activation, their windows' paints
// and timers, and one of them destroys its context and makes a new one. Each thread must receive
// exactly its own words, in order.
//
// Overlapping keys: every thread types its words and makes those calls at the same time.
//
// In both, nothing may crash or hang, no IME message may reach a thread's windows from another
// thread, nothing of a thread's context, UI window or message list may change while that thread is
// not calling the module, and the module, called on one thread, may not lock or send messages to
// the context of another, nor show, move or send messages to another thread's windows.
//
// Each scenario runs in a child process, so that a crash or a hang is reported as such (with the
// crash site and what every thread was doing) and the other scenarios still run.
// TOVI_THREADS_SEED sets the seed (printed with every run), TOVI_THREADS_KEYS the number of key
// events per scenario and TOVI_THREADS_COUNT the number of threads (1 to 4).
#include "platform/win32_handle.h"
#include "tool_windows_fixture.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tovi {
namespace {

#ifndef TOVI_DIST_DIR
#define TOVI_DIST_DIR L""
#endif

using NotifyImeFn = BOOL(WINAPI*)(HIMC, DWORD, DWORD, DWORD);

// What NI_CONTEXTUPDATED names as changed (the DDK's IMC_SET* codes).
constexpr DWORD kSetConversionMode = 0x0002;
constexpr DWORD kSetOpenStatus = 0x0006;
constexpr DWORD kSetCandidatePos = 0x0008;
constexpr DWORD kSetCompositionWindow = 0x000C;

// The child's exit codes.
constexpr int kPassed = 0;
constexpr int kFaults = 1;
constexpr int kNoSetUp = 2;
constexpr int kHung = 3;
constexpr int kCrashed = 4;

constexpr std::size_t kMostThreads = 4;

// Codes of the real tables whose first candidate is the word, committed by one confirm: in the
// keypad table codes with a single exact entry, in the pinyin table the first of the code's words.
struct Word {
    const char* code;
    const wchar_t* text;
};
constexpr std::size_t kWordsPerThread = 6;
using WordSet = std::array<Word, kWordsPerThread>;
constexpr std::array<WordSet, kMostThreads> kKeypadWords{{
    {{{"31323442", L"我们"},
      {"34523442", L"他们"},
      {"34345115", L"人民"},
      {"15153431", L"工作"},
      {"51315115", L"发展"},
      {"55544341", L"经济"}}},
    {{{"24114533", L"国家"},
      {"22124222", L"时间"},
      {"33331354", L"朋友"},
      {"15512434", L"世界"},
      {"13242335", L"历史"},
      {"22514131", L"电话"}}},
    {{{"22513341", L"电脑"},
      {"12134125", L"城市"},
      {"31114331", L"生活"},
      {"43322411", L"汽车"},
      {"15315245", L"医院"},
      {"42554143", L"北京"}}},
    {{{"21214331", L"上海"},
      {"42223543", L"音乐"},
      {"42144252", L"新闻"},
      {"32311425", L"手机"},
      {"22352121", L"晚上"},
      {"22212121", L"早上"}}},
}};
constexpr std::array<WordSet, kMostThreads> kPinyinWords{{
    {{{"nihao", L"你好"},
      {"women", L"我们"},
      {"renmin", L"人民"},
      {"gongzuo", L"工作"},
      {"fazhan", L"发展"},
      {"shehui", L"社会"}}},
    {{{"guojia", L"国家"},
      {"shijian", L"时间"},
      {"xuesheng", L"学生"},
      {"pengyou", L"朋友"},
      {"shijie", L"世界"},
      {"zhengfu", L"政府"}}},
    {{{"lishi", L"历史"},
      {"wenhua", L"文化"},
      {"dianhua", L"电话"},
      {"diannao", L"电脑"},
      {"chengshi", L"城市"},
      {"shenghuo", L"生活"}}},
    {{{"gongsi", L"公司"},
      {"qiche", L"汽车"},
      {"yiyuan", L"医院"},
      {"xuexiao", L"学校"},
      {"beijing", L"北京"},
      {"shanghai", L"上海"}}},
}};

// Settings: the scheme, caret following, and the prompt and info windows with their timers.
constexpr unsigned kCaretFollow = 0x80;
constexpr unsigned kKeypadSettings = kKeypadScheme | kCaretFollow | kRootHints | kOperationHints;
constexpr unsigned kPinyinSettings = kPinyinScheme | kCaretFollow | kRootHints | kOperationHints;

unsigned long environmentNumber(const char* name, unsigned long fallback) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return fallback;
    char* end = nullptr;
    const unsigned long number = std::strtoul(value, &end, 0);
    return end && *end == '\0' ? number : fallback;
}

std::string utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

// A committed text, quoted, with its code units when it is not plain text.
std::string shown(const std::wstring& text) {
    std::string out = "\"" + utf8(text) + "\"";
    for (const wchar_t unit : text)
        if (unit < 0x20 || (unit >= 0xD800 && unit <= 0xDFFF)) {
            out += " (";
            for (const wchar_t u : text) {
                char buffer[8];
                std::snprintf(buffer, sizeof(buffer), "%04X ", static_cast<unsigned>(u));
                out += buffer;
            }
            out.back() = ')';
            break;
        }
    return out;
}

std::string format(const char* pattern, ...) {
    char buffer[1024];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(buffer, sizeof(buffer), pattern, arguments);
    va_end(arguments);
    return buffer;
}

// Lines written straight to the standard output handle, whole, from any thread; the crash
// report writes without the lock, which the crashed thread may hold.
std::mutex gOutputLock;
void writeRaw(const char* text, std::size_t length) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(length), &written, nullptr);
}
void say(const std::string& line) {
    const std::string text = line + "\n";
    const std::lock_guard<std::mutex> lock(gOutputLock);
    writeRaw(text.data(), text.size());
}

std::string messageName(UINT message) {
    switch (message) {
    case WM_IME_STARTCOMPOSITION:
        return "WM_IME_STARTCOMPOSITION";
    case WM_IME_ENDCOMPOSITION:
        return "WM_IME_ENDCOMPOSITION";
    case WM_IME_COMPOSITION:
        return "WM_IME_COMPOSITION";
    case WM_IME_SETCONTEXT:
        return "WM_IME_SETCONTEXT";
    case WM_IME_NOTIFY:
        return "WM_IME_NOTIFY";
    case WM_IME_CONTROL:
        return "WM_IME_CONTROL";
    case WM_IME_SELECT:
        return "WM_IME_SELECT";
    case WM_IME_CHAR:
        return "WM_IME_CHAR";
    case WM_SHOWWINDOW:
        return "WM_SHOWWINDOW";
    case WM_WINDOWPOSCHANGING:
        return "WM_WINDOWPOSCHANGING";
    case WM_WINDOWPOSCHANGED:
        return "WM_WINDOWPOSCHANGED";
    case WM_MOVE:
        return "WM_MOVE";
    case WM_SIZE:
        return "WM_SIZE";
    case WM_PAINT:
        return "WM_PAINT";
    case WM_SETTEXT:
        return "WM_SETTEXT";
    default:
        return format("message 0x%04X", message);
    }
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 63);
    return name;
}

bool isImeMessage(UINT message) {
    return (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_COMPOSITION) ||
           (message >= WM_IME_SETCONTEXT && message <= WM_IME_KEYUP);
}

// A window of the module: its UI window and tool windows.
bool isModuleWindow(HWND window) {
    const std::wstring name = classOf(window);
    return name == L"ZHPYUI" || name.rfind(L"DEDU_", 0) == 0;
}

// What a module does to a window when it shows, moves, repaints or tells it something; the system
// itself sends none of these to the module's windows from another thread. (A system that carries
// out such a call on the window's own thread hides where it came from; the watch on the module's
// own calls finds those.)
bool movesOrPaints(UINT message) {
    switch (message) {
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_MOVE:
    case WM_SIZE:
    case WM_PAINT:
    case WM_SETTEXT:
        return true;
    default:
        return message >= WM_USER && message < 0x8000;
    }
}

// Watches what the thread that makes it receives from other threads: an IME message to any of
// its windows, or a message that shows, moves, paints or tells something to a window of the
// module. The application never sends one across threads, so each comes from a call that another
// thread made into the module.
class ForeignMessageWatch {
public:
    using Report = std::function<void(HWND, UINT, WPARAM)>;
    explicit ForeignMessageWatch(Report report) : report_(std::move(report)) {
        TlsSetValue(slot(), this);
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &ForeignMessageWatch::onMessage, nullptr,
                                  GetCurrentThreadId());
    }
    ~ForeignMessageWatch() {
        if (hook_)
            UnhookWindowsHookEx(hook_);
        TlsSetValue(slot(), nullptr);
    }
    ForeignMessageWatch(const ForeignMessageWatch&) = delete;
    ForeignMessageWatch& operator=(const ForeignMessageWatch&) = delete;
    bool watching() const { return hook_ != nullptr; }

private:
    static DWORD slot() {
        static const DWORD index = TlsAlloc();
        return index;
    }
    // The system calls it before the window procedure of every message sent to a window of this
    // thread; `sameThread` tells whether this thread sent it.
    static LRESULT CALLBACK onMessage(int code, WPARAM sameThread, LPARAM data) {
        if (code == HC_ACTION && !sameThread)
            if (auto* watch = static_cast<ForeignMessageWatch*>(TlsGetValue(slot()))) {
                const auto* sent = reinterpret_cast<const CWPSTRUCT*>(data);
                if (isImeMessage(sent->message) ||
                    (movesOrPaints(sent->message) && isModuleWindow(sent->hwnd)))
                    watch->report_(sent->hwnd, sent->message, sent->wParam);
            }
        return CallNextHookEx(nullptr, code, sameThread, data);
    }

    Report report_;
    HHOOK hook_ = nullptr;
};

// ---- The child process: one scenario in one scheme.

struct Ime {
    HMODULE module = nullptr;
    ImeSelectFn select = nullptr;
    ImeProcessKeyFn processKey = nullptr;
    ImeToAsciiExFn toAscii = nullptr;
    ImeSetActiveContextFn setActive = nullptr;
    NotifyImeFn notify = nullptr;
};

class Worker;

// What the whole run shares: set up before the threads start, then only counters and flags.
struct Run {
    Ime ime;
    bool pinyin = false;
    std::uint32_t seed = 0;
    unsigned long keyTarget = 0;
    std::vector<std::unique_ptr<Worker>> workers;
    std::atomic<unsigned long> keyEvents{0};
    std::atomic<int> faults{0};
    std::atomic<bool> stop{false};
    std::atomic<unsigned> turn{0};
    std::mutex faultLock;
    std::map<std::string, unsigned long> faultKinds;
    int faultsShown = 0;

    const WordSet& words(std::size_t thread) const {
        return pinyin ? kPinyinWords[thread] : kKeypadWords[thread];
    }
    void recordFault(const std::string& who, const std::string& kind, const std::string& detail);
};
Run* gRun = nullptr;

// Every fault is counted by kind; the first few of each kind are printed at once, with what every
// thread was doing. A run stops after kFaultLimit faults.
constexpr unsigned long kShownPerKind = 3;
constexpr int kFaultsShown = 60;
constexpr int kFaultLimit = 5000;

std::string threadSteps();

void Run::recordFault(const std::string& who, const std::string& kind, const std::string& detail) {
    const int number = ++faults;
    bool show = false;
    {
        const std::lock_guard<std::mutex> lock(faultLock);
        show = ++faultKinds[kind] <= kShownPerKind && faultsShown < kFaultsShown;
        faultsShown += show;
    }
    if (show)
        say(format("FAULT %d, %s: %s\n    %s\n    (the threads were at: %s)", number, who.c_str(),
                   kind.c_str(), detail.c_str(), threadSteps().c_str()));
    if (number >= kFaultLimit)
        stop = true;
}

// Everything of a thread that only its own calls may change: its context's block, candidate
// block and fields, its UI window's context slot and private block, and its message list.
struct ThreadState {
    std::string compositionBlock;
    std::string candidateBlock;
    std::string uiPrivate;
    std::string messageList;
    LONG_PTR uiContext = 0;
    HWND contextWindow = nullptr;
    BOOL open = FALSE;
    DWORD conversion = 0;
    DWORD sentence = 0;
    DWORD queuedMessages = 0;
    HIMCC compositionHandle = nullptr;

    // Empty when equal, else what differs.
    std::string difference(const ThreadState& o) const {
        if (compositionBlock != o.compositionBlock)
            return "its context's composition-string block";
        if (candidateBlock != o.candidateBlock)
            return "its context's candidate block";
        if (uiPrivate != o.uiPrivate)
            return "its UI window's private block";
        if (messageList != o.messageList)
            return "its message list, after ImeToAsciiEx had returned";
        if (uiContext != o.uiContext)
            return "its UI window's context slot";
        if (contextWindow != o.contextWindow)
            return "its context's window";
        if (open != o.open || conversion != o.conversion || sentence != o.sentence)
            return "its context's open status or conversion mode";
        if (queuedMessages != o.queuedMessages)
            return "its context's message buffer";
        if (compositionHandle != o.compositionHandle)
            return "its context's composition-string handle";
        return {};
    }
};

std::string blockBytes(HIMCC handle) {
    std::string bytes;
    if (!handle)
        return bytes;
    if (const void* data = ImmLockIMCC(handle)) {
        bytes.assign(static_cast<const char*>(data), ImmGetIMCCSize(handle));
        ImmUnlockIMCC(handle);
    }
    return bytes;
}

LRESULT CALLBACK applicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One GUI thread: its window, context and UI window, and the jobs the controller gives it. Every
// member is used on the worker's own thread only, except the job hand-over, the step and progress
// counters (atomic) and the results, which the controller reads once the worker is done.
class Worker {
public:
    Worker(Run& run, std::size_t index)
        : run_(run), index_(index),
          random_(run.seed ^ static_cast<std::uint32_t>((index + 1) * 0x9E3779B9u)) {}
    ~Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Starts the thread and waits until its windows and context exist.
    bool start() {
        DWORD id = 0;
        thread_.reset(CreateThread(nullptr, 0, &Worker::threadStart, this, 0, &id));
        threadId_ = id;
        if (!thread_)
            return false;
        const HANDLE waits[] = {done_.get(), thread_.get()};
        return WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0 && ready_;
    }
    // Hands the thread its next job; done() is signalled when it has run.
    void post(std::function<void()> job) {
        {
            const std::lock_guard<std::mutex> lock(jobLock_);
            job_ = std::move(job);
        }
        ResetEvent(done_.get());
        SetEvent(wake_.get());
    }
    HANDLE done() const { return done_.get(); }
    HANDLE thread() const { return thread_.get(); }
    DWORD threadId() const { return threadId_.load(); }
    std::size_t index() const { return index_; }
    const char* step() const { return step_.load(); }
    unsigned long progress() const { return progress_.load(); }

    // ---- Jobs, run on the worker's thread.

    // Makes the context the thread's active one, as the manager does when the focus arrives.
    void activate() {
        act("ImeSetActiveContext TRUE", [&] {
            active_ = true;
            run_.ime.setActive(context_, TRUE);
            SendMessageW(ui_, WM_IME_SETCONTEXT, TRUE, ISC_SHOWUIALL);
            SendMessageW(ui_, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
        });
    }
    // The focus leaves the thread.
    void deactivate() {
        act("ImeSetActiveContext FALSE", [&] {
            active_ = false;
            run_.ime.setActive(context_, FALSE);
            SendMessageW(ui_, WM_IME_SETCONTEXT, FALSE, ISC_SHOWUIALL);
        });
    }
    // Types the first word until the table has loaded (it loads in the background at start).
    void warmUp() {
        activate();
        const Word& word = run_.words(index_)[0];
        for (int attempt = 0; attempt < 150 && !warm_; ++attempt) {
            typing_ = true;
            typeKeys(word);
            typing_ = false;
            warm_ = !commits_.empty() && commits_.back() == word.text;
            if (!warm_)
                idle(20);
        }
        commits_.clear();
    }
    bool warm() const { return warm_; }
    // The focus thread's turn: `count` words of its own, each checked when its confirm is done.
    void typeTurn(unsigned count) {
        typing_ = true;
        for (unsigned i = 0; i < count && !run_.stop; ++i) {
            const Word& word = run_.words(index_)[nextWord_++ % kWordsPerThread];
            expected_.push_back(word.text);
            const std::size_t before = commits_.size();
            typeKeys(word);
            std::wstring got;
            for (std::size_t c = before; c < commits_.size(); ++c)
                got += (c > before ? L" | " : L"") + commits_[c];
            if (commits_.size() != before + 1 || commits_.back() != word.text)
                fault("typing a word committed something else",
                      format("typing %s for %s (turn %u) committed %s", word.code,
                             shown(word.text).c_str(), run_.turn.load(),
                             commits_.size() == before ? "nothing" : shown(got).c_str()));
        }
        typing_ = false;
    }
    // What the system makes a thread without the focus run, until `turnOver` is set.
    void background(HANDLE turnOver) {
        while (WaitForSingleObject(turnOver, 0) == WAIT_TIMEOUT && !run_.stop) {
            managerCall(false);
            idle(kBackgroundPause, turnOver);
        }
    }
    // Keys and the manager's calls at the same time as the other threads, until the run has had
    // its key events.
    void overlap() {
        activate();
        typing_ = true;
        keyPause_ = kOverlapPause;
        while (run_.keyEvents < run_.keyTarget && !run_.stop) {
            const unsigned roll = pick(100);
            if (roll < 60)
                typeKeys(run_.words(index_)[nextWord_++ % kWordsPerThread]);
            else if (roll < 72)
                randomKey();
            else
                managerCall(true);
        }
        typing_ = false;
    }
    // Closes everything as the thread ends: the UI window, the context and the window.
    void finish() {
        act("thread ends", [&] {
            if (ui_)
                DestroyWindow(std::exchange(ui_, nullptr));
            if (context_) {
                run_.ime.select(context_, FALSE);
                published_ = nullptr;
                ImmAssociateContext(window_, nullptr);
                ImmDestroyContext(std::exchange(context_, nullptr));
            }
            if (window_)
                DestroyWindow(std::exchange(window_, nullptr));
        });
        quit_ = true;
    }

    // A fault found on this thread.
    void fault(const std::string& kind, const std::string& detail) {
        faults_.push_back(kind + ": " + detail);
        run_.recordFault(format("thread %zu during \"%s\"", index_, step_.load()), kind, detail);
    }
    // The thread's context, for the watch on the module's calls; null while it has none.
    HIMC publishedContext() const { return published_.load(); }

    // ---- Results, read by the controller once the worker is done.
    const std::vector<std::wstring>& commits() const { return commits_; }
    const std::vector<std::wstring>& expected() const { return expected_; }
    std::string summary() const {
        std::size_t own = 0;
        for (const std::wstring& commit : commits_)
            for (const Word& word : run_.words(index_))
                own += commit == word.text;
        return format("thread %zu: %lu key events, %zu commits (%zu of its own words), %lu "
                      "manager calls, %lu contexts made again, %zu faults",
                      index_, keyEvents_, commits_.size(), own, managerCalls_, recreated_,
                      faults_.size());
    }

    // ---- The application's window procedure, on this thread.
    void onImeMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        // A result string message with an empty result ends a composition without text, as a
        // cancelled one does; only text is a commit.
        const std::wstring text =
            message == WM_IME_COMPOSITION && (lParam & GCS_RESULTSTR) && context_
                ? wintest::resultString(context_)
                : L"";
        if (!text.empty()) {
            commits_.push_back(text);
            if (!typing_)
                fault("a commit reached a thread that was typing nothing", shown(text));
            else if (const std::string wrong = textFault(text); !wrong.empty())
                fault(wrong + " committed", shown(text));
        }
        // As DefWindowProc passes them to the UI window.
        if (message != WM_IME_SETCONTEXT && ui_)
            SendMessageW(ui_, message, wParam, lParam);
    }

private:
    static DWORD WINAPI threadStart(void* self) {
        auto* worker = static_cast<Worker*>(self);
        worker->threadId_ = GetCurrentThreadId();
        worker->main();
        return 0;
    }

    void main() {
        ForeignMessageWatch watch([this](HWND window, UINT message, WPARAM wParam) {
            fault(format("%s reached a thread's %s window from another thread",
                         messageName(message).c_str(), utf8(classOf(window)).c_str()),
                  format("wParam %llu", static_cast<unsigned long long>(wParam)));
        });
        ready_ = watch.watching() && setUp();
        SetEvent(done_.get());
        if (!ready_)
            return;
        snapshot();
        while (!quit_) {
            const HANDLE wake = wake_.get();
            const DWORD woken = MsgWaitForMultipleObjects(1, &wake, FALSE, 100, QS_ALLINPUT);
            checkUntouched("waiting");
            step_ = "waiting";
            pump();
            snapshot();
            if (woken != WAIT_OBJECT_0)
                continue;
            std::function<void()> job;
            {
                const std::lock_guard<std::mutex> lock(jobLock_);
                job = std::move(job_);
                job_ = nullptr;
            }
            if (job)
                job();
            step_ = "done";
            SetEvent(done_.get());
        }
    }

    // The thread's window, its context and its UI window, as the application and IMM32 make them.
    bool setUp() {
        const int column = static_cast<int>(index_ % 2);
        const int row = static_cast<int>(index_ / 2);
        window_ = CreateWindowExW(0, L"tovi-threads-app", L"editor", WS_OVERLAPPEDWINDOW,
                                  40 + 500 * column, 60 + 400 * row, 460, 340, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        if (!window_)
            return false;
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        if (!makeContext())
            return false;
        ui_ = CreateWindowExW(0, L"ZHPYUI", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              run_.ime.module, nullptr);
        if (!ui_)
            return false;
        SetWindowLongPtrW(ui_, IMMGWL_IMC, reinterpret_cast<LONG_PTR>(context_));
        list_.assign(sizeof(TRANSMSGLIST) + kListCapacity * sizeof(TRANSMSG), kUnused);
        return true;
    }

    // A new context associated with the window and selected once, as IMM32 selects the module
    // into a context made while it is the thread's input method.
    bool makeContext() {
        context_ = ImmCreateContext();
        if (!context_)
            return false;
        published_ = context_;
        ImmAssociateContext(window_, context_);
        INPUTCONTEXT* ic = ImmLockIMC(context_);
        if (!ic)
            return false;
        ic->hWnd = window_;
        ImmUnlockIMC(context_);
        return run_.ime.select(context_, TRUE) != FALSE;
    }

    // One step of the thread: nothing of the thread may have changed since its last step; after
    // it, the thread's messages are handled (timers, paints) as an application's loop does.
    template <typename Body>
    void act(const char* name, Body&& body) {
        checkUntouched(name);
        step_ = name;
        body();
        pump();
        snapshot();
        ++progress_;
    }

    void pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // Handles the thread's messages for about `milliseconds`, or until `until` is set.
    void idle(DWORD milliseconds, HANDLE until = nullptr) {
        const ULONGLONG end = GetTickCount64() + milliseconds;
        for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
            const DWORD count = until ? 1 : 0;
            if (MsgWaitForMultipleObjects(count, &until, FALSE, static_cast<DWORD>(end - now),
                                          QS_ALLINPUT) == WAIT_OBJECT_0 &&
                until)
                break;
            act("handling messages", [] {});
        }
    }

    ThreadState capture() const {
        ThreadState s;
        s.messageList.assign(list_.begin(), list_.end());
        if (ui_) {
            s.uiContext = GetWindowLongPtrW(ui_, IMMGWL_IMC);
            if (const auto block =
                    reinterpret_cast<HGLOBAL>(GetWindowLongPtrW(ui_, IMMGWL_PRIVATE)))
                if (const void* data = GlobalLock(block)) {
                    s.uiPrivate.assign(static_cast<const char*>(data), GlobalSize(block));
                    GlobalUnlock(block);
                }
        }
        if (!context_)
            return s;
        if (INPUTCONTEXT* ic = ImmLockIMC(context_)) {
            s.contextWindow = ic->hWnd;
            s.open = ic->fOpen;
            s.conversion = ic->fdwConversion;
            s.sentence = ic->fdwSentence;
            s.queuedMessages = ic->dwNumMsgBuf;
            s.compositionHandle = ic->hCompStr;
            s.compositionBlock = blockBytes(ic->hCompStr);
            s.candidateBlock = blockBytes(ic->hCandInfo);
            ImmUnlockIMC(context_);
        }
        return s;
    }
    void snapshot() { state_ = capture(); }
    // Between two of its steps a thread runs nothing: whatever changed was done by a call that
    // another thread made into the module.
    void checkUntouched(const char* next) {
        const std::string changed = capture().difference(state_);
        if (!changed.empty())
            fault(changed + " changed while the thread ran nothing",
                  format("after \"%s\", before \"%s\"", step_.load(), next));
    }

    // ---- Keys.

    static UINT scanOf(UINT vk) {
        if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
            return std::array<UINT, 10>{
                0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49}[vk - VK_NUMPAD0];
        return MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    }
    // One key press or release as IMM32 hands it to the module for this thread's context: to
    // ImeProcessKey, and when claimed to ImeToAsciiEx with the thread's own message list, whose
    // messages then go to the thread's window.
    void keyEvent(UINT vk, bool down, wchar_t unit) {
        act(down ? "key press" : "key release", [&] {
            ++keyEvents_;
            ++run_.keyEvents;
            if (down)
                keys_[vk] |= 0x80;
            else
                keys_[vk] &= 0x7F;
            const UINT scan = scanOf(vk);
            const bool extended = vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN;
            const LPARAM data = static_cast<LPARAM>((down ? 1u : 0xC0000001u) | (scan << 16) |
                                                    (extended ? 1u << 24 : 0u));
            if (!run_.ime.processKey(context_, vk, data, keys_))
                return;
            std::fill(list_.begin(), list_.end(), kUnused);
            auto* list = reinterpret_cast<TRANSMSGLIST*>(list_.data());
            list->uMsgCount = kListCapacity;
            const UINT count =
                run_.ime.toAscii(vk | (static_cast<UINT>(unit) << 16), scan | (down ? 0u : 0x8000u),
                                 keys_, list, 0, context_);
            if (count >= kListCapacity) {
                fault("ImeToAsciiEx reported more messages than its list holds",
                      format("%u messages for a list of %u", count, kListCapacity));
                return;
            }
            const auto* entries = reinterpret_cast<const BYTE*>(transMsgEntries(list) + count);
            const auto* end = list_.data() + list_.size();
            if (std::any_of(entries, end, [](BYTE b) { return b != kUnused; }))
                fault("the message list holds more than ImeToAsciiEx reported",
                      format("%u messages reported", count));
            const std::vector<TRANSMSG> messages(transMsgEntries(list),
                                                 transMsgEntries(list) + count);
            for (const TRANSMSG& m : messages)
                SendMessageW(window_, m.message, m.wParam, m.lParam);
        });
    }
    void tap(UINT vk, wchar_t unit) {
        keyEvent(vk, true, unit);
        if (keyPause_)
            idle(keyPause_);
        keyEvent(vk, false, 0);
        if (keyPause_)
            idle(keyPause_);
    }
    // Escape, the word's code and its confirm: keypad digits and keypad 0, or letters and Space.
    void typeKeys(const Word& word) {
        tap(VK_ESCAPE, 0x1B);
        for (const char* c = word.code; *c; ++c) {
            if (*c >= '0' && *c <= '9')
                tap(VK_NUMPAD0 + static_cast<UINT>(*c - '0'), static_cast<wchar_t>(*c));
            else
                tap(static_cast<UINT>(*c - 'a' + 'A'), static_cast<wchar_t>(*c));
        }
        if (run_.pinyin)
            tap(VK_SPACE, L' ');
        else
            tap(VK_NUMPAD0, L'0');
    }
    void randomKey() {
        static constexpr UINT keys[] = {VK_ESCAPE, VK_BACK,  VK_SPACE,   VK_RETURN, VK_LEFT,
                                        VK_NEXT,   VK_PRIOR, VK_DECIMAL, '1',       '2'};
        const UINT vk = keys[pick(static_cast<unsigned>(std::size(keys)))];
        if (vk == VK_LEFT || vk == VK_NEXT || vk == VK_PRIOR) {
            tap(vk, 0);
            return;
        }
        if (vk == VK_ESCAPE)
            tap(vk, 0x1B);
        else if (vk == VK_BACK)
            tap(vk, 0x08);
        else if (vk == VK_RETURN)
            tap(vk, L'\r');
        else if (vk == VK_DECIMAL)
            tap(vk, L'.');
        else
            tap(vk, static_cast<wchar_t>(vk));
    }

    // ---- The manager's calls on this thread's context and UI window.

    // `focused`: the thread has the focus (overlap), so its activation may come and go; a thread
    // without it gets only a focus that passes through one of its windows.
    void managerCall(bool focused) {
        ++managerCalls_;
        const bool recreator = index_ + 1 == run_.workers.size() && index_ > 0;
        switch (pick(20)) {
        case 0:
        case 1:
        case 2:
            act("ImeSelect FALSE then TRUE", [&] {
                run_.ime.select(context_, FALSE);
                run_.ime.select(context_, TRUE);
            });
            break;
        case 3:
        case 4:
        case 5:
        case 6:
            notifyIme();
            break;
        case 7:
        case 8:
        case 9:
        case 10:
        case 11:
            notifyUiWindow();
            break;
        case 12:
        case 13:
            act("activation passes", [&] {
                const BOOL first = focused ? FALSE : TRUE;
                run_.ime.setActive(context_, first);
                SendMessageW(ui_, WM_IME_SETCONTEXT, first, ISC_SHOWUIALL);
                run_.ime.setActive(context_, !first);
                SendMessageW(ui_, WM_IME_SETCONTEXT, !first, ISC_SHOWUIALL);
            });
            break;
        case 14:
            if (recreator) {
                recreateContext();
                break;
            }
            [[fallthrough]];
        default:
            act("handling messages", [] {});
            break;
        }
    }
    void notifyIme() {
        static constexpr DWORD actions[][2] = {{NI_COMPOSITIONSTR, CPS_CANCEL},
                                               {NI_COMPOSITIONSTR, CPS_COMPLETE},
                                               {NI_COMPOSITIONSTR, CPS_CONVERT},
                                               {NI_COMPOSITIONSTR, CPS_REVERT},
                                               {NI_SELECTCANDIDATESTR, 0},
                                               {NI_CHANGECANDIDATELIST, 0},
                                               {NI_SETCANDIDATE_PAGESTART, 0},
                                               {NI_SETCANDIDATE_PAGESIZE, 0},
                                               {NI_OPENCANDIDATE, 0},
                                               {NI_CLOSECANDIDATE, 0},
                                               {NI_CONTEXTUPDATED, kSetOpenStatus},
                                               {NI_CONTEXTUPDATED, kSetConversionMode},
                                               {NI_CONTEXTUPDATED, kSetCandidatePos},
                                               {NI_CONTEXTUPDATED, kSetCompositionWindow}};
        const auto& action = actions[pick(static_cast<unsigned>(std::size(actions)))];
        act("NotifyIME", [&] { run_.ime.notify(context_, action[0], 0, action[1]); });
    }
    void notifyUiWindow() {
        static constexpr WPARAM notes[] = {IMN_SETCANDIDATEPOS,   IMN_SETCOMPOSITIONWINDOW,
                                           IMN_SETCONVERSIONMODE, IMN_SETOPENSTATUS,
                                           IMN_OPENSTATUSWINDOW,  IMN_CLOSESTATUSWINDOW};
        const WPARAM note = notes[pick(static_cast<unsigned>(std::size(notes)))];
        const POINT at{static_cast<LONG>(pick(400)), static_cast<LONG>(pick(300))};
        act("WM_IME_NOTIFY", [&] {
            if (note == IMN_SETCANDIDATEPOS || note == IMN_SETCOMPOSITIONWINDOW)
                if (INPUTCONTEXT* ic = ImmLockIMC(context_)) {
                    ic->cfCompForm.ptCurrentPos = at;
                    ImmUnlockIMC(context_);
                }
            SendMessageW(ui_, WM_IME_NOTIFY, note, note == IMN_SETCANDIDATEPOS ? 1 : 0);
            if (note == IMN_CLOSESTATUSWINDOW)
                SendMessageW(ui_, WM_IME_NOTIFY, IMN_OPENSTATUSWINDOW, 0);
        });
    }
    // The application destroys its context and makes a new one for the same window: IMM32
    // deselects the old one first, and the UI window follows the thread's context.
    void recreateContext() {
        ++recreated_;
        act("context destroyed and made again", [&] {
            SetWindowLongPtrW(ui_, IMMGWL_IMC, 0);
            run_.ime.select(context_, FALSE);
            published_ = nullptr;
            ImmAssociateContext(window_, nullptr);
            ImmDestroyContext(std::exchange(context_, nullptr));
            if (!makeContext()) {
                fault("no new context", "ImmCreateContext failed");
                run_.stop = true;
                return;
            }
            SetWindowLongPtrW(ui_, IMMGWL_IMC, reinterpret_cast<LONG_PTR>(context_));
            if (active_) {
                run_.ime.setActive(context_, TRUE);
                SendMessageW(ui_, WM_IME_SETCONTEXT, TRUE, ISC_SHOWUIALL);
            }
        });
    }

    // ---- Faults.

    // Empty for text an application may receive, else what is wrong with it.
    static std::string textFault(const std::wstring& text) {
        for (const wchar_t unit : text) {
            if (unit < 0x20 || unit == 0x7F)
                return "a control character";
            if (unit >= 0xD800 && unit <= 0xDFFF)
                return "half of a surrogate pair";
        }
        return {};
    }
    unsigned pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }

    static constexpr UINT kListCapacity = 32;
    // How long a thread without the focus handles its messages between two of the system's
    // calls: a few calls for every key the focus thread types.
    static constexpr DWORD kBackgroundPause = 10;
    // How long a thread typing at the same time as the others handles its messages after each
    // key: moments in which it runs nothing while the others go on, so that what they do to its
    // context shows.
    static constexpr DWORD kOverlapPause = 1;
    static constexpr BYTE kUnused = 0xA5;

    Run& run_;
    const std::size_t index_;
    std::mt19937 random_;
    platform::UniqueHandle thread_;
    std::atomic<DWORD> threadId_{0};
    platform::UniqueHandle wake_{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    platform::UniqueHandle done_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::mutex jobLock_;
    std::function<void()> job_;
    bool ready_ = false;
    bool quit_ = false;
    std::atomic<const char*> step_{"starting"};
    std::atomic<HIMC> published_{nullptr};
    std::atomic<unsigned long> progress_{0};

    HWND window_ = nullptr;
    HWND ui_ = nullptr;
    HIMC context_ = nullptr;
    BYTE keys_[256] = {};
    std::vector<BYTE> list_;
    ThreadState state_;
    bool active_ = false;
    DWORD keyPause_ = 0;
    bool typing_ = false;
    bool warm_ = false;
    std::size_t nextWord_ = 0;
    std::vector<std::wstring> commits_;
    std::vector<std::wstring> expected_;
    std::vector<std::string> faults_;
    unsigned long keyEvents_ = 0, managerCalls_ = 0, recreated_ = 0;
};

LRESULT CALLBACK applicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* worker = reinterpret_cast<Worker*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!worker)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_NOTIFY:
        worker->onImeMessage(message, wParam, lParam);
        return 0;
    case WM_IME_SETCONTEXT: // the test activates the UI window itself, as the manager would
    case WM_IME_CHAR:
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::string threadSteps() {
    std::string steps;
    if (!gRun)
        return steps;
    for (const auto& worker : gRun->workers)
        steps += format("%s%zu \"%s\"", steps.empty() ? "" : ", ", worker->index(), worker->step());
    return steps;
}

// ---- The module's own calls on contexts and windows.

// Every call into the module is made on the thread that owns the context and the UI window it
// names, so the module has no reason to lock or post messages to the context of another thread,
// nor to show, move or send messages to another thread's windows: that is how messages and text
// reach the wrong window, and a thread that waits on another that waits on it hangs. The test
// watches the module's calls of these functions through its import table; the calls still go to
// IMM32 and USER32 unchanged.

Worker* currentWorker() {
    for (const auto& worker : gRun->workers)
        if (worker->threadId() == GetCurrentThreadId())
            return worker.get();
    return nullptr;
}

void noteForeignUse(Worker* owner, const std::string& kind, const std::string& what) {
    Worker* caller = currentWorker();
    if (!owner || owner == caller)
        return;
    const std::string detail = format("%s of thread %zu, which was at \"%s\"", what.c_str(),
                                      owner->index(), owner->step());
    if (caller)
        caller->fault(kind, detail);
    else
        gRun->recordFault("a thread of the module", kind, detail);
}

void noteContextUse(const char* function, HIMC context) {
    if (!gRun || !context)
        return;
    Worker* owner = nullptr;
    for (const auto& worker : gRun->workers)
        if (worker->publishedContext() == context)
            owner = worker.get();
    noteForeignUse(owner,
                   format("the module called %s for the context of another thread", function),
                   "the context");
}

void noteWindowUse(const char* function, HWND window) {
    if (!gRun || !window)
        return;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    Worker* owner = nullptr;
    for (const auto& worker : gRun->workers)
        if (worker->threadId() == thread)
            owner = worker.get();
    noteForeignUse(owner, format("the module called %s on a window of another thread", function),
                   "a " + utf8(classOf(window)) + " window");
}

using LockContextFn = LPINPUTCONTEXT(WINAPI*)(HIMC);
using GenerateMessageFn = BOOL(WINAPI*)(HIMC);
using ShowWindowFn = BOOL(WINAPI*)(HWND, int);
using SetWindowPosFn = BOOL(WINAPI*)(HWND, HWND, int, int, int, int, UINT);
using MoveWindowFn = BOOL(WINAPI*)(HWND, int, int, int, int, BOOL);
using SetWindowRgnFn = int(WINAPI*)(HWND, HRGN, BOOL);
using SendMessageFn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using DestroyWindowFn = BOOL(WINAPI*)(HWND);
LockContextFn gLockContext = nullptr;
GenerateMessageFn gGenerateMessage = nullptr;
ShowWindowFn gShowWindow = nullptr;
SetWindowPosFn gSetWindowPos = nullptr;
MoveWindowFn gMoveWindow = nullptr;
SetWindowRgnFn gSetWindowRgn = nullptr;
SendMessageFn gSendMessage = nullptr;
DestroyWindowFn gDestroyWindow = nullptr;

LPINPUTCONTEXT WINAPI lockContextWatched(HIMC context) {
    noteContextUse("ImmLockIMC", context);
    return gLockContext(context);
}
BOOL WINAPI generateMessageWatched(HIMC context) {
    noteContextUse("ImmGenerateMessage", context);
    return gGenerateMessage(context);
}
BOOL WINAPI showWindowWatched(HWND window, int how) {
    noteWindowUse("ShowWindow", window);
    return gShowWindow(window, how);
}
BOOL WINAPI setWindowPosWatched(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags) {
    noteWindowUse("SetWindowPos", window);
    return gSetWindowPos(window, after, x, y, cx, cy, flags);
}
BOOL WINAPI moveWindowWatched(HWND window, int x, int y, int cx, int cy, BOOL repaint) {
    noteWindowUse("MoveWindow", window);
    return gMoveWindow(window, x, y, cx, cy, repaint);
}
int WINAPI setWindowRgnWatched(HWND window, HRGN region, BOOL redraw) {
    noteWindowUse("SetWindowRgn", window);
    return gSetWindowRgn(window, region, redraw);
}
LRESULT WINAPI sendMessageWatched(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    noteWindowUse("SendMessageW", window);
    return gSendMessage(window, message, wParam, lParam);
}
BOOL WINAPI destroyWindowWatched(HWND window) {
    noteWindowUse("DestroyWindow", window);
    return gDestroyWindow(window);
}

// Points the module's import of `name` from `library` at `replacement`; returns what it called
// before, or null when the module does not import it.
void* replaceImport(HMODULE module, const char* library, const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return nullptr;
    for (auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name; ++entry) {
        if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), library) != 0)
            continue;
        const DWORD namesAt =
            entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesAt);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0)
                continue;
            DWORD protection = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE,
                                &protection))
                return nullptr;
            void* const original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection,
                           &protection);
            return original;
        }
    }
    return nullptr;
}

template <typename Fn>
bool watchImport(HMODULE module, const char* library, const char* name, Fn replacement,
                 Fn& original) {
    original = reinterpret_cast<Fn>(
        replaceImport(module, library, name, reinterpret_cast<void*>(replacement)));
    return original != nullptr;
}

// Watches those of the functions that the module imports; says which it does not.
void watchModuleCalls(HMODULE module) {
    std::string unwatched;
    const auto watch = [&](const char* library, const char* name, auto replacement,
                           auto& original) {
        if (!watchImport(module, library, name, replacement, original))
            unwatched += std::string(unwatched.empty() ? "" : ", ") + name;
    };
    watch("imm32.dll", "ImmLockIMC", &lockContextWatched, gLockContext);
    watch("imm32.dll", "ImmGenerateMessage", &generateMessageWatched, gGenerateMessage);
    watch("user32.dll", "ShowWindow", &showWindowWatched, gShowWindow);
    watch("user32.dll", "SetWindowPos", &setWindowPosWatched, gSetWindowPos);
    watch("user32.dll", "MoveWindow", &moveWindowWatched, gMoveWindow);
    watch("user32.dll", "SetWindowRgn", &setWindowRgnWatched, gSetWindowRgn);
    watch("user32.dll", "SendMessageW", &sendMessageWatched, gSendMessage);
    watch("user32.dll", "DestroyWindow", &destroyWindowWatched, gDestroyWindow);
    if (!unwatched.empty())
        say("NOTE: the module does not import " + unwatched +
            ": its calls of them are not watched");
}

// ---- Crash and hang reports.

// The crash report allocates nothing: the heap may be what is broken.
class CrashLine {
public:
    void add(const char* pattern, ...) {
        va_list arguments;
        va_start(arguments, pattern);
        const int room = static_cast<int>(sizeof(text_)) - length_;
        const int n = room > 1 ? std::vsnprintf(text_ + length_, static_cast<std::size_t>(room),
                                                pattern, arguments)
                               : 0;
        va_end(arguments);
        length_ = std::min(length_ + std::max(n, 0), static_cast<int>(sizeof(text_)) - 1);
    }
    // The module holding `address` and the offset in it, and the address as the linker placed
    // it, for addr2line on the file.
    void addAddress(DWORD64 address) {
        HMODULE module = nullptr;
        if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                    GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCWSTR>(address), &module)) {
            add("0x%llx", static_cast<unsigned long long>(address));
            return;
        }
        char path[MAX_PATH] = {};
        GetModuleFileNameA(module, path, MAX_PATH);
        const char* name = path;
        for (const char* c = path; *c; ++c)
            if (*c == '\\' || *c == '/')
                name = c + 1;
        const auto base = reinterpret_cast<DWORD64>(module);
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            reinterpret_cast<const BYTE*>(module) + dos->e_lfanew);
        add("%s+0x%llx (linked at 0x%llx)", name, static_cast<unsigned long long>(address - base),
            static_cast<unsigned long long>(nt->OptionalHeader.ImageBase + (address - base)));
    }
    void addSteps() {
        add("    the threads were at:");
        if (gRun)
            for (const auto& worker : gRun->workers)
                add(" %zu \"%s\"", worker->index(), worker->step());
    }
    void write() {
        add("\n");
        writeRaw(text_, static_cast<std::size_t>(length_));
        length_ = 0;
    }

private:
    char text_[1024] = {};
    int length_ = 0;
};

#if defined(__x86_64__)
// Whether a code address lies in the named module (the 64-bit crash report's unwinding).
bool inModule(DWORD64 address, const wchar_t* name) {
    HMODULE module = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(address), &module) &&
           module == GetModuleHandleW(name);
}
#endif

LONG WINAPI onCrash(EXCEPTION_POINTERS* exception) {
    static std::atomic<bool> reported{false};
    if (reported.exchange(true))
        TerminateProcess(GetCurrentProcess(), kCrashed); // a second fault, or one in the report
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    CrashLine line;
    line.add("CRASH: exception 0x%08lX at ", static_cast<unsigned long>(record->ExceptionCode));
    line.addAddress(reinterpret_cast<DWORD64>(record->ExceptionAddress));
    bool inWorker = false;
    if (gRun)
        for (const auto& worker : gRun->workers)
            if (worker->threadId() == GetCurrentThreadId()) {
                line.add(" in thread %zu during \"%s\"", worker->index(), worker->step());
                inWorker = true;
            }
    if (!inWorker)
        line.add(" in a thread of the test's controller or of the module");
    line.add(", seed %u, turn %u", gRun ? gRun->seed : 0u, gRun ? gRun->turn.load() : 0u);
    line.write();
    if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2) {
        line.add("    %s of address 0x%llx",
                 record->ExceptionInformation[0] == 1 ? "write" : "read",
                 static_cast<unsigned long long>(record->ExceptionInformation[1]));
        line.write();
    }
    bool inHeap = false;
#if defined(__x86_64__)
    // The calls that led there, unwound with the modules' unwind tables.
    CONTEXT context = *exception->ContextRecord;
    ULONG_PTR stackLow = 0;
    ULONG_PTR stackHigh = 0;
    GetCurrentThreadStackLimits(&stackLow, &stackHigh);
    inHeap = inModule(context.Rip, L"ntdll.dll");
    bool allocator = false;
    for (int frame = 0; frame < 24 && context.Rip; ++frame) {
        line.add("    #%d ", frame);
        line.addAddress(context.Rip);
        line.write();
        allocator = allocator || inModule(context.Rip, L"msvcrt.dll");
        DWORD64 imageBase = 0;
        if (RUNTIME_FUNCTION* function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr)) {
            void* handlerData = nullptr;
            DWORD64 establisher = 0;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context,
                             &handlerData, &establisher, nullptr);
        } else {
            if (context.Rsp < stackLow || context.Rsp + 8 > stackHigh)
                break;
            context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
            context.Rsp += 8;
        }
        if (context.Rsp < stackLow || context.Rsp >= stackHigh)
            break;
    }
    inHeap = inHeap && allocator;
#endif
    if (inHeap) {
        line.add("    the crash is inside the heap's allocator: the heap was corrupted before");
        line.write();
    }
    line.addSteps();
    line.write();
    TerminateProcess(GetCurrentProcess(), kCrashed);
    return EXCEPTION_EXECUTE_HANDLER;
}

// How long a thread may go without finishing a step before the run counts as hung.
constexpr DWORD kStallMilliseconds = 20000;

// Waits until the workers have done their jobs; one that finishes no step for
// kStallMilliseconds is hung, and the run ends there with a report.
void await(const std::vector<Worker*>& workers) {
    std::vector<HANDLE> done;
    std::vector<unsigned long> last;
    std::vector<ULONGLONG> since;
    for (Worker* w : workers) {
        done.push_back(w->done());
        last.push_back(w->progress());
        since.push_back(GetTickCount64());
    }
    for (;;) {
        if (WaitForMultipleObjects(static_cast<DWORD>(done.size()), done.data(), TRUE, 500) <
            WAIT_OBJECT_0 + done.size())
            return;
        std::string stuck;
        for (std::size_t i = 0; i < workers.size(); ++i) {
            if (workers[i]->progress() != last[i] ||
                WaitForSingleObject(done[i], 0) == WAIT_OBJECT_0) {
                last[i] = workers[i]->progress();
                since[i] = GetTickCount64();
            } else if (GetTickCount64() - since[i] >= kStallMilliseconds) {
                stuck += format("%sthread %zu in \"%s\"", stuck.empty() ? "" : ", ",
                                workers[i]->index(), workers[i]->step());
            }
        }
        if (stuck.empty())
            continue;
        say(format("HANG: a thread finished no step for %lu s: %s; the threads were at: %s; "
                   "seed %u, turn %u",
                   kStallMilliseconds / 1000, stuck.c_str(), threadSteps().c_str(), gRun->seed,
                   gRun->turn.load()));
        TerminateProcess(GetCurrentProcess(), kHung);
    }
}

std::vector<Worker*> allWorkers(Run& run) {
    std::vector<Worker*> all;
    for (const auto& w : run.workers)
        all.push_back(w.get());
    return all;
}

void runOn(Worker& worker, std::function<void()> job) {
    worker.post(std::move(job));
    await({&worker});
}

// The focus moves from thread to thread; the focus thread types a few words while the others run
// what the system sends them.
void typeInTurns(Run& run, std::mt19937& random) {
    const auto pick = [&](unsigned n) {
        return std::uniform_int_distribution<unsigned>(0, n - 1)(random);
    };
    const auto count = static_cast<unsigned>(run.workers.size());
    const platform::UniqueHandle turnOver{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    unsigned focus = 0;
    while (run.keyEvents < run.keyTarget && !run.stop) {
        ++run.turn;
        const unsigned next = count > 1 ? (focus + 1 + pick(count - 1)) % count : focus;
        if (next != focus) {
            Worker& from = *run.workers[focus];
            Worker& to = *run.workers[next];
            runOn(from, [&from] { from.deactivate(); });
            runOn(to, [&to] { to.activate(); });
            focus = next;
        }
        const unsigned words = 1 + pick(3);
        ResetEvent(turnOver.get());
        Worker& typist = *run.workers[focus];
        for (const auto& w : run.workers) {
            Worker* worker = w.get();
            if (worker == &typist)
                worker->post([worker, words] { worker->typeTurn(words); });
            else
                worker->post([worker, &turnOver] { worker->background(turnOver.get()); });
        }
        await({&typist});
        SetEvent(turnOver.get());
        await(allWorkers(run));
    }
}

// Ends the run when it cannot start; other threads may be running already.
[[noreturn]] void setUpFailed(const std::string& what) {
    say("SETUP: " + what);
    wintest::removeInstallPathKey();
    TerminateProcess(GetCurrentProcess(), kNoSetUp);
    ExitProcess(kNoSetUp);
}

int runScenario(bool inTurns, bool pinyin, std::uint32_t seed, unsigned long keys,
                std::size_t threads) {
    SetUnhandledExceptionFilter(onCrash);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const std::wstring dist = TOVI_DIST_DIR;
    wintest::ScratchFolder scratch;
    wintest::InstallPathValue installPath{scratch.path()};
    for (const wchar_t* file : {L"toviwb.mb", L"tovipy.mb", L"codePyMain.pmt", L"vemoraPY.pmt",
                                L"vemoraSP.pmt", L"deduSPNum.pi"})
        CopyFileW((dist + L"\\" + file).c_str(), scratch.file(file).c_str(), FALSE);
    wintest::writeBytes(scratch.file(L"config.ini"),
                        "IME_SETTINGS " +
                            std::to_string(pinyin ? kPinyinSettings : kKeypadSettings) + "\r\n");

    Run run;
    run.pinyin = pinyin;
    run.seed = seed;
    run.keyTarget = keys;
    run.ime.module = LoadLibraryW(L"tovi.ime");
    if (!run.ime.module) {
        say("SETUP: tovi.ime does not load");
        return kNoSetUp;
    }
    run.ime.select = exported<ImeSelectFn>(run.ime.module, "ImeSelect");
    run.ime.processKey = exported<ImeProcessKeyFn>(run.ime.module, "ImeProcessKey");
    run.ime.toAscii = exported<ImeToAsciiExFn>(run.ime.module, "ImeToAsciiEx");
    run.ime.setActive = exported<ImeSetActiveContextFn>(run.ime.module, "ImeSetActiveContext");
    run.ime.notify = exported<NotifyImeFn>(run.ime.module, "NotifyIME");
    if (!run.ime.select || !run.ime.processKey || !run.ime.toAscii || !run.ime.setActive ||
        !run.ime.notify) {
        say("SETUP: tovi.ime lacks an export");
        return kNoSetUp;
    }
    watchModuleCalls(run.ime.module);
    WNDCLASSW cls{};
    cls.lpfnWndProc = applicationProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"tovi-threads-app";
    RegisterClassW(&cls);

    for (std::size_t i = 0; i < threads; ++i)
        run.workers.push_back(std::make_unique<Worker>(run, i));
    gRun = &run;
    for (const auto& worker : run.workers)
        if (!worker->start())
            setUpFailed(format("thread %zu has no window, context or UI window", worker->index()));

    const auto began = std::chrono::steady_clock::now();
    Worker& first = *run.workers[0];
    runOn(first, [&first] { first.warmUp(); });
    if (!first.warm())
        setUpFailed("the table did not load");
    run.keyEvents = 0;

    std::mt19937 random(seed);
    if (inTurns) {
        typeInTurns(run, random);
    } else {
        for (const auto& w : run.workers) {
            Worker* worker = w.get();
            worker->post([worker] { worker->overlap(); });
        }
        await(allWorkers(run));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

    // In turns, each thread's commits are exactly the words it typed, in order.
    int wrongCommits = 0;
    for (const auto& worker : run.workers) {
        say("    " + worker->summary());
        if (!inTurns || worker->commits() == worker->expected())
            continue;
        ++wrongCommits;
        const auto& got = worker->commits();
        const auto& want = worker->expected();
        std::size_t at = 0;
        while (at < got.size() && at < want.size() && got[at] == want[at])
            ++at;
        say(format("WRONG COMMITS: thread %zu typed %zu words and received %zu commits; the first "
                   "difference is at %zu: %s where %s was typed",
                   worker->index(), want.size(), got.size(), at,
                   at < got.size() ? shown(got[at]).c_str() : "nothing",
                   at < want.size() ? shown(want[at]).c_str() : "nothing"));
    }

    // The threads end as an application's do; the module is unloaded after them.
    for (const auto& w : run.workers) {
        Worker* worker = w.get();
        runOn(*worker, [worker] { worker->finish(); });
    }
    for (const auto& worker : run.workers)
        WaitForSingleObject(worker->thread(), 10000);
    FreeLibrary(run.ime.module);
    for (int i = 0; i < 1000 && GetModuleHandleW(L"tovi.ime"); ++i)
        Sleep(10);

    for (const auto& [kind, count] : run.faultKinds)
        say(format("    %lu x %s", count, kind.c_str()));
    say(format("%s, %s scheme, seed %u: %zu threads, %u turns, %lu key events in %.1f s",
               inTurns ? "typing in turns" : "overlapping keys", pinyin ? "pinyin" : "keypad", seed,
               threads, run.turn.load(), run.keyEvents.load(), seconds));
    const bool passed = run.faults == 0 && wrongCommits == 0;
    gRun = nullptr;
    run.workers.clear();
    return passed ? kPassed : kFaults;
}

// ---- The tests, each running one scenario in a child process.

// Starts this program again with `arguments` and this process's output as its own.
platform::UniqueHandle startChild(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + wintest::ownExecutable() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    for (const DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        SetHandleInformation(GetStdHandle(which), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &info))
        return {};
    CloseHandle(info.hThread);
    return platform::UniqueHandle(info.hProcess);
}

const char* meaning(long code) {
    switch (code) {
    case kPassed:
        return "passed";
    case kFaults:
        return "faults found (listed above)";
    case kNoSetUp:
        return "could not set up";
    case kHung:
        return "hung (see HANG above)";
    case kCrashed:
        return "crashed (see CRASH above)";
    default:
        return "ended unexpectedly";
    }
}

class ManyThreads : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring dist = TOVI_DIST_DIR;
        if (dist.empty() ||
            GetFileAttributesW((dist + L"\\toviwb.mb").c_str()) == INVALID_FILE_ATTRIBUTES ||
            GetFileAttributesW((dist + L"\\tovipy.mb").c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "no real tables in the package folder";
    }

    void scenario(const char* name, const char* scheme) {
        const auto seed = static_cast<std::uint32_t>(
            environmentNumber("TOVI_THREADS_SEED", std::random_device{}()));
        const unsigned long keys = environmentNumber("TOVI_THREADS_KEYS", 600);
        const unsigned long threads =
            std::clamp(environmentNumber("TOVI_THREADS_COUNT", kMostThreads), 1ul,
                       static_cast<unsigned long>(kMostThreads));
        std::printf("%s, %s scheme: seed %u, %lu key events, %lu threads\n", name, scheme, seed,
                    keys, threads);
        std::fflush(stdout);
        const std::string arguments =
            format("--many-threads %s %s %u %lu %lu", name, scheme, seed, keys, threads);
        const auto child = startChild(std::wstring(arguments.begin(), arguments.end()));
        ASSERT_TRUE(child);
        // The run ends itself when a thread hangs; this bound is for a run that cannot (one whose
        // module does not unload, say).
        const DWORD bound = 60000 + 50 * static_cast<DWORD>(std::min(keys, 1000000ul));
        if (WaitForSingleObject(child.get(), bound) != WAIT_OBJECT_0) {
            TerminateProcess(child.get(), 99);
            wintest::removeInstallPathKey();
            ADD_FAILURE() << "the run did not end in " << bound / 1000
                          << " s; TOVI_THREADS_SEED=" << seed;
            return;
        }
        DWORD exitCode = 0;
        GetExitCodeProcess(child.get(), &exitCode);
        // A run that crashed or hung ended without removing the installation folder's value.
        wintest::removeInstallPathKey();
        const auto code = static_cast<long>(exitCode);
        EXPECT_EQ(code, kPassed) << name << ", " << scheme << " scheme: " << meaning(code)
                                 << "; run again with TOVI_THREADS_SEED=" << seed;
    }
};

TEST_F(ManyThreads, TypingInTurnsKeypadScheme) {
    scenario("turns", "keypad");
}

TEST_F(ManyThreads, TypingInTurnsPinyinScheme) {
    scenario("turns", "pinyin");
}

TEST_F(ManyThreads, OverlappingKeysKeypadScheme) {
    scenario("overlap", "keypad");
}

TEST_F(ManyThreads, OverlappingKeysPinyinScheme) {
    scenario("overlap", "pinyin");
}

// A thread with a window that receives one IME message from itself and then handles what other
// threads send it, until told to quit.
struct WatchedThread {
    platform::UniqueHandle ready{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    platform::UniqueHandle quit{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HWND window = nullptr;
    bool watching = false;
    std::vector<UINT> reported;

    static DWORD WINAPI main(void* self) {
        auto& t = *static_cast<WatchedThread*>(self);
        ForeignMessageWatch watch(
            [&t](HWND, UINT message, WPARAM) { t.reported.push_back(message); });
        t.watching = watch.watching();
        t.window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
        SendMessageW(t.window, WM_IME_NOTIFY, IMN_SETCANDIDATEPOS, 1);
        SetEvent(t.ready.get());
        const HANDLE quit = t.quit.get();
        while (MsgWaitForMultipleObjects(1, &quit, FALSE, 10000, QS_ALLINPUT) != WAIT_OBJECT_0) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        }
        DestroyWindow(t.window);
        return 0;
    }
};

// The watch that finds messages from other threads, without the module: a message another thread
// sends is reported, one the thread sends itself is not.
TEST(ForeignMessages, OnlyWhatAnotherThreadSendsIsReported) {
    WatchedThread watched;
    const platform::UniqueHandle thread{
        CreateThread(nullptr, 0, &WatchedThread::main, &watched, 0, nullptr)};
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(watched.ready.get(), 10000), WAIT_OBJECT_0);
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(watched.window, WM_IME_COMPOSITION, 0, GCS_RESULTSTR, SMTO_BLOCK,
                                  10000, &result),
              0);
    SetEvent(watched.quit.get());
    ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(watched.watching);
    EXPECT_EQ(watched.reported, std::vector<UINT>{WM_IME_COMPOSITION});
}

} // namespace
} // namespace tovi

int main(int argc, char** argv) {
    // --many-threads turns|overlap keypad|pinyin SEED KEYS THREADS runs one scenario.
    if (argc == 7 && std::strcmp(argv[1], "--many-threads") == 0)
        return tovi::runScenario(
            std::strcmp(argv[2], "turns") == 0, std::strcmp(argv[3], "pinyin") == 0,
            static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10)),
            std::strtoul(argv[5], nullptr, 10), std::strtoul(argv[6], nullptr, 10));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
