// PVemoraScreen: shows the input code and description of a Chinese character or word.
//   PVemoraScreen.exe            resident in the tray; the capture component reports the
//                                character under the pointer
//   PVemoraScreen.exe get TEXT   one card for TEXT next to the caret, closed after 3 seconds
#include "resident_instance.h"
#include "screen_arguments.h"
#include "screen_form.h"
#include "win32_owners.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

tovi::screen::ScreenArguments commandLineArguments() {
    int count = 0;
    const tovi::screen::OwnedArgv argv(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::u16string> arguments;
    for (int i = 1; argv && i < count; ++i) {
        const std::wstring_view argument = argv.get()[i];
        arguments.emplace_back(argument.begin(), argument.end());
    }
    return tovi::screen::parseArguments(arguments);
}

int run(HINSTANCE instance) {
    using namespace tovi::screen;
    ScreenArguments arguments = commandLineArguments();
    if (arguments.mode == ScreenMode::Resident && residentInstanceRunning())
        return 0;
    const ComApartment com;
    ScreenForm form(instance, std::move(arguments));
    if (!form.create())
        return 1;
    MSG message;
    BOOL got = FALSE;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return got == -1 ? 1 : static_cast<int>(message.wParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        return run(instance);
    } catch (...) {
        return 1;
    }
}
