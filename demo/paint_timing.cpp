// How long the real tovi.ime takes to paint its candidate window with a full page (nine
// candidates of the real keypad table), in both layouts, under the system it runs on: the
// window is invalidated and painted many times and the mean time printed.
#include "window_session.h"

#include <chrono>
#include <cstdio>

namespace {

using namespace tovi::demo;

void time(const char* label, unsigned flags) {
    WindowSession session(flags, 0);
    if (!session.ready()) {
        std::printf("%s: the module did not load\n", label);
        return;
    }
    session.type("1");
    const HWND candidates = WindowSession::window(L"DEDU_CAND");
    if (!candidates) {
        std::printf("%s: no candidate window\n", label);
        return;
    }
    constexpr int kPaints = 500;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kPaints; ++i) {
        InvalidateRect(candidates, nullptr, FALSE);
        UpdateWindow(candidates);
    }
    GdiFlush();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double micros =
        std::chrono::duration<double, std::micro>(elapsed).count() / static_cast<double>(kPaints);
    std::printf("%-40s %8.1f us a paint (%d paints)\n", label, micros, kPaints);
}

} // namespace

int main() {
    const unsigned list = kFullWidthSymbols | kKeypadScheme | kProgressiveHints;
    time("candidate window, horizontal, full page", list);
    time("candidate window, vertical, full page", list | kVerticalLayout);
    return 0;
}
