#include "screen_form.h"

#include "about_box.h"
#include "caret_point.h"
#include "code_page_936.h"
#include "dict_file.h"
#include "pointer_move.h"
#include "query_text.h"
#include "resident_instance.h"
#include "resources/screen_ids.h"

#include <shellapi.h>

#include <string_view>

namespace tovi::screen {
namespace {

constexpr int kClientWidth = 283;
constexpr int kClientHeight = 207;
constexpr int kPictureHeight = 206;
constexpr COLORREF kCardColour = RGB(240, 251, 255);
constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
// No taskbar button (tool window), always on top, never taking the focus from the application
// whose text is being looked up.
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_WINDOWEDGE | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;

constexpr UINT_PTR kCheckTimer = 1;
constexpr UINT kCheckMilliseconds = 1000;
constexpr UINT_PTR kCloseTimer = 2;
constexpr UINT kCloseMilliseconds = 3000;

constexpr wchar_t kTip[] = L"朔昕字典";
constexpr wchar_t kTipWithoutCapture[] = L"朔昕字典（屏幕取词组件不可用）";
constexpr wchar_t kStopItem[] = L"停止(&S)";
constexpr wchar_t kStartItem[] = L"启动(&S)";

OwnedFont heiti(int pixels) {
    return OwnedFont(CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, L"黑体"));
}

std::wstring toWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

} // namespace

ScreenForm::ScreenForm(HINSTANCE instance, ScreenArguments arguments)
    : instance_(instance), arguments_(std::move(arguments)) {}

ScreenForm::~ScreenForm() {
    // The window (if still there) goes first: its destruction releases the component while the
    // sink still exists.
    window_.reset();
    grab_.release();
}

bool ScreenForm::registerClass() const {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool ScreenForm::create() {
    loadDictionary();
    if (!registerClass())
        return false;
    wordFont_ = heiti(16);
    textFont_ = heiti(14);
    cardBrush_ = OwnedBrush(CreateSolidBrush(kCardColour));
    background_ = OwnedBitmap(static_cast<HBITMAP>(
        LoadImageW(instance_, MAKEINTRESOURCEW(kCardPicture), IMAGE_BITMAP, 0, 0, 0)));
    icon_ = OwnedIcon(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kScreenIcon),
                                                    IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                    GetSystemMetrics(SM_CYSMICON), 0)));

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    window_ = OwnedWindow(CreateWindowExW(kExStyle, kFormClass, kFormCaption, kStyle, 0, 0,
                                          frame.right - frame.left, frame.bottom - frame.top,
                                          nullptr, nullptr, instance_, this));
    if (!window_)
        return false;
    createLabels();
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

    if (arguments_.mode == ScreenMode::OneShot) {
        showOneShot();
        return true;
    }
    markResident(window_.get());
    menu_ = OwnedMenu(CreatePopupMenu());
    if (menu_) {
        AppendMenuW(menu_.get(), MF_STRING, kCommandToggleGrab, kStopItem);
        AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu_.get(), MF_STRING, kCommandAbout, L"关于(&A)...");
        AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu_.get(), MF_STRING, kCommandExit, L"退出(&X)");
    }
    tray_ = std::make_unique<TrayIcon>(window_.get(), kTrayCallbackMessage, icon_.get(), kTip);
    startCapture();
    return true;
}

void ScreenForm::loadDictionary() {
    if (loadDictFile(programFolder() + L"dict.txt", dict_, nullptr) == DictFileStatus::Missing)
        MessageBoxW(nullptr, L"字典文件不存在！", L"霁川汉字字典", MB_ICONINFORMATION);
}

void ScreenForm::createLabels() {
    struct Label {
        int id;
        RECT place; // left, top, width, height
        DWORD style;
        HFONT font;
    };
    const Label labels[] = {
        {kWordLabel, {19, 45, 244, 16}, SS_LEFTNOWORDWRAP, wordFont_.get()},
        {kKeyLabel, {19, 70, 244, 14}, SS_LEFTNOWORDWRAP, textFont_.get()},
        {kDescriptionLabel, {19, 96, 244, 84}, SS_LEFT, textFont_.get()},
    };
    for (const Label& label : labels) {
        const HWND control = CreateWindowExW(
            0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX | label.style, label.place.left,
            label.place.top, label.place.right, label.place.bottom, window_.get(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(label.id)), instance_, nullptr);
        if (control && label.font)
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(label.font), FALSE);
    }
}

void ScreenForm::startCapture() {
    const HRESULT hr = grab_.start(&sink_);
    if (SUCCEEDED(hr))
        return;
    // Without the component the program runs on: the tray says so and the switch is off.
    if (tray_)
        tray_->setTip(kTipWithoutCapture);
    if (menu_)
        EnableMenuItem(menu_.get(), kCommandToggleGrab, MF_BYCOMMAND | MF_GRAYED);
}

void ScreenForm::showOneShot() {
    SetTimer(window_.get(), kCloseTimer, kCloseMilliseconds, nullptr);
    const std::wstring text = toWide(arguments_.text);
    const std::optional<std::string> gbk = wideToGbk(text);
    if (!gbk || !worthLookingUp(*gbk))
        return;
    const DictEntry* entry = dict_.lookup(*gbk);
    if (!entry)
        return;
    ScreenPoint point{};
    if (const std::optional<ScreenPoint> caret = foregroundCaretPoint()) {
        point = *caret;
    } else {
        // No caret to follow: open next to the pointer instead.
        POINT cursor{};
        GetCursorPos(&cursor);
        point = {cursor.x, cursor.y};
    }
    showCard(text, *entry, point);
}

HRESULT ScreenForm::queryWord(LONG x, LONG y, const wchar_t* text, std::size_t length,
                              LONG cursorIndex) {
    const PickedCharacter picked =
        characterAt(reinterpret_cast<const char16_t*>(text), length, cursorIndex);
    switch (picked.fault) {
    case PickFault::None:
        break;
    case PickFault::NoText:
        return E_POINTER;
    case PickFault::IndexOutside:
    case PickFault::Surrogate:
        return E_INVALIDARG;
    }
    if (!window_)
        return E_UNEXPECTED;
    // The timer is armed even when nothing is shown, so a card still up goes away.
    queried_ = {x, y};
    SetTimer(window_.get(), kCheckTimer, kCheckMilliseconds, nullptr);
    const std::wstring character(1, static_cast<wchar_t>(picked.unit));
    const std::optional<std::string> gbk = wideToGbk(character);
    if (!gbk || !worthLookingUp(*gbk))
        return S_OK;
    if (const DictEntry* entry = dict_.lookup(*gbk))
        showCard(character, *entry, queried_);
    return S_OK;
}

void ScreenForm::showCard(const std::wstring& word, const DictEntry& entry, ScreenPoint point) {
    setLabel(kWordLabel, word);
    setLabel(kKeyLabel, gbkToWide(entry.key));
    setLabel(kDescriptionLabel, gbkToWide(entry.description));
    RECT frame{};
    GetWindowRect(window_.get(), &frame);
    const CardSize size{frame.right - frame.left, frame.bottom - frame.top};
    // The work area of the monitor under the point (the primary one's on a single screen).
    ScreenRect area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromPoint({point.x, point.y}, MONITOR_DEFAULTTONEAREST), &monitor))
        area = {monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                monitor.rcWork.bottom};
    const ScreenPoint at = placeCard(point, size, area);
    SetWindowPos(window_.get(), HWND_TOPMOST, at.x, at.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void ScreenForm::setLabel(int id, const std::wstring& text) {
    const HWND label = GetDlgItem(window_.get(), id);
    if (!label)
        return;
    SetWindowTextW(label, text.c_str());
    // The labels are transparent: the card repaints the picture under the old text first.
    RECT area{};
    GetWindowRect(label, &area);
    MapWindowPoints(nullptr, window_.get(), reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(window_.get(), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ScreenForm::paintBackground(HDC dc) const {
    const RECT client{0, 0, kClientWidth, kClientHeight};
    FillRect(dc, &client, cardBrush_.get());
    if (!background_)
        return;
    const HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    const HGDIOBJ old = SelectObject(memory, background_.get());
    BitBlt(dc, 0, 0, kClientWidth, kPictureHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void ScreenForm::popUpMenu() {
    if (!menu_)
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    // The menu closes on a click elsewhere only when its owner is the foreground window.
    SetForegroundWindow(window_.get());
    TrackPopupMenu(menu_.get(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window_.get(), nullptr);
    PostMessageW(window_.get(), WM_NULL, 0, 0);
}

void ScreenForm::command(int id) {
    switch (id) {
    case kCommandToggleGrab:
        toggleGrab();
        break;
    case kCommandAbout:
        if (menu_)
            EnableMenuItem(menu_.get(), kCommandAbout, MF_BYCOMMAND | MF_GRAYED);
        showAboutBox(instance_, window_.get());
        if (menu_)
            EnableMenuItem(menu_.get(), kCommandAbout, MF_BYCOMMAND | MF_ENABLED);
        break;
    case kCommandExit:
        window_.reset();
        break;
    default:
        break;
    }
}

void ScreenForm::toggleGrab() {
    if (!grab_.running() || !menu_)
        return;
    const std::optional<bool> enabled = grab_.toggleEnabled();
    if (!enabled)
        return;
    ModifyMenuW(menu_.get(), kCommandToggleGrab, MF_BYCOMMAND | MF_STRING, kCommandToggleGrab,
                *enabled ? kStopItem : kStartItem);
}

void ScreenForm::timer(UINT_PTR id) {
    if (id == kCloseTimer) {
        KillTimer(window_.get(), kCloseTimer);
        window_.reset();
        return;
    }
    if (id != kCheckTimer)
        return;
    POINT cursor{};
    if (!GetCursorPos(&cursor))
        return;
    if (pointerMovedAway(queried_, {cursor.x, cursor.y})) {
        ShowWindow(window_.get(), SW_HIDE);
        KillTimer(window_.get(), kCheckTimer);
    }
}

void ScreenForm::destroyed() {
    const HWND window = window_.get();
    KillTimer(window, kCheckTimer);
    KillTimer(window, kCloseTimer);
    unmarkResident(window);
    grab_.release();
    tray_.reset();
    PostQuitMessage(0);
}

LRESULT CALLBACK ScreenForm::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<ScreenForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->window_.release();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // Nothing unwinds into the system's message dispatch.
    try {
        return form->handle(window, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT ScreenForm::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        paintBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ACTIVATE:
        // Keeps the active look whenever the card is activated after all.
        if (LOWORD(wParam) != WA_INACTIVE)
            SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
        break;
    case WM_TIMER:
        timer(wParam);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0)
            command(LOWORD(wParam));
        return 0;
    case kTrayCallbackMessage:
        if (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN)
            popUpMenu();
        break;
    case WM_DESTROY:
        destroyed();
        return 0;
    default:
        if (message == taskbarCreated_ && taskbarCreated_ != 0 && tray_)
            tray_->restore();
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tovi::screen
