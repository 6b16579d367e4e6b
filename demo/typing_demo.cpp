// The main job's typing demonstration: the real tovi.ime, with the real tables of its package
// folder, typed into as IMM32 drives it (ImeProcessKey for presses and releases, ImeToAsciiEx
// for the claimed presses), printing every committed text.
#include "typist.h"

#include <cstdio>
#include <string>

namespace {

using tovi::demo::Typist;

void print(const char* label, const std::wstring& text) {
    char utf8[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8,
                        sizeof(utf8) - 1, nullptr, nullptr);
    std::printf("  %-36s -> %s\n", label, utf8);
}

} // namespace

int main() {
    HMODULE module = LoadLibraryW(L"tovi.ime");
    HIMC context = ImmCreateContext();
    Typist typist(module, context);
    if (!module || !typist.ready()) {
        std::printf("cannot load tovi.ime\n");
        return 1;
    }
    typist.selectContext();
    std::printf("Typing into tovi.ime:\n");
    int failures = 0;
    // The table loads in the background: until it is there a code finds nothing (and keypad 0
    // on the emptied code types a space), so the first word is tried until it comes.
    const auto keypad = [&](const char* digits) {
        for (const char* d = digits; *d; ++d)
            typist.tap(VK_NUMPAD0 + (*d - '0'), static_cast<wchar_t>(*d));
    };
    // Keypad 0 confirms; a code with several exact matches takes a second confirm.
    const auto confirm = [&] {
        std::wstring text = typist.tap(VK_NUMPAD0, L'0');
        return text.empty() ? typist.tap(VK_NUMPAD0, L'0') : text;
    };
    std::wstring word;
    for (int attempt = 0; attempt < 100 && word != L"中国"; ++attempt) {
        keypad("23212411");
        word = confirm();
        if (word != L"中国") {
            typist.tap(VK_ESCAPE, L'\x1b');
            Sleep(50);
        }
    }
    print("keypad 23212411, keypad 0", word);
    failures += word != L"中国";
    keypad("2321");
    const std::wstring more = confirm();
    print("keypad 2321, keypad 0", more);
    failures += more.empty() || more == L" ";

    // The right-Ctrl tap switches to pinyin.
    typist.modifier(VK_RCONTROL, true);
    typist.tap(VK_CONTROL, 0, true);
    typist.modifier(VK_RCONTROL, false);
    std::wstring pinyin;
    for (int attempt = 0; attempt < 100 && pinyin != L"你好"; ++attempt) {
        for (const char* c = "nihao"; *c; ++c)
            typist.tap(static_cast<UINT>(*c - 'a' + 'A'), static_cast<wchar_t>(*c));
        pinyin = typist.tap(VK_SPACE, L' ');
        if (pinyin != L"你好") {
            typist.tap(VK_ESCAPE, L'\x1b');
            Sleep(50);
        }
    }
    print("nihao, Space", pinyin);
    failures += pinyin != L"你好";
    for (const char* c = "zhongguo"; *c; ++c)
        typist.tap(static_cast<UINT>(*c - 'a' + 'A'), static_cast<wchar_t>(*c));
    const std::wstring first = typist.tap(VK_SPACE, L' ');
    print("zhongguo, Space", first);
    failures += first != L"中国";
    for (const char* c = "zhongguo"; *c; ++c)
        typist.tap(static_cast<UINT>(*c - 'a' + 'A'), static_cast<wchar_t>(*c));
    typist.tap(VK_NEXT, 0);  // next page
    typist.tap(VK_PRIOR, 0); // and back
    const std::wstring second = typist.tap('2', L'2');
    print("zhongguo, page down and up, 2", second);
    failures += second.empty() || second == first;

    ImmDestroyContext(context);
    FreeLibrary(module);
    std::printf(failures ? "typing demo FAILED\n" : "typing demo passed\n");
    return failures ? 1 : 0;
}
