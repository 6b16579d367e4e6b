// A typist for the tests of processes that share the code tables (see typist.h): it connects to
// the pipe named on its command line and answers one command per message until told to quit or
// the pipe breaks.
#include "core/module.h"
#include "ime_driver.h"
#include "platform/install_folder.h"
#include "platform/shared_section.h"
#include "tables/code_table.h"

#include <windows.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tovi {
namespace {

class Silent final : public CodeTableReporter {
public:
    void messageBox(std::u16string_view, std::u16string_view, Style) override {}
};

std::u16string u16(const std::wstring& s) {
    return std::u16string(s.begin(), s.end());
}

// The word maker's edits, through a table of this process's own over the shared pools.
bool edit(bool add, const std::wstring& code, const std::wstring& word) {
    Silent reporter;
    CodeTableOptions options;
    options.scheme = Scheme::Keypad;
    options.folder = platform::InstallFolder::fromSystem();
    options.instanceNumber = takeInstanceNumber();
    options.nameSuffix = platform::sharedNameSuffix();
    CodeTable table(options, reporter, platform::sharedControlSection());
    table.load();
    const auto quiet = [](std::u16string_view) {};
    return table.loaded() && (add ? table.addWord(u16(code), u16(word), quiet)
                                  : table.deleteWord(u16(code), u16(word), quiet));
}

class Session {
public:
    std::wstring answer(const std::wstring& line) {
        std::wistringstream words(line);
        std::wstring command, code, argument;
        words >> command >> code >> argument;
        if (command == L"bits")
            return std::to_wstring(sizeof(void*) * 8);
        if (command == L"shares")
            return platform::isProcessPrivate(platform::sharedControlSection()) ? L"0" : L"1";
        if (command == L"load")
            return load();
        if (command == L"type" || command == L"promote") {
            if (!driver_)
                return L"not loaded";
            const auto word = command == L"type" ? driver_->typeCode(code)
                                                 : driver_->promote(code, _wtoi(argument.c_str()));
            return word ? *word : L"-";
        }
        if (command == L"add" || command == L"delete")
            return edit(command == L"add", code, argument) ? L"ok" : L"refused";
        return L"unknown command " + command;
    }

private:
    std::wstring load() {
        driver_ = std::make_unique<wintest::ImeDriver>();
        if (!driver_->failure().empty())
            return driver_->failure();
        // The probe word of the tests' table: its code is one digit that nothing else uses.
        return driver_->awaitTable(L"9", L"九", 30000) ? L"ok" : L"no table";
    }

    std::unique_ptr<wintest::ImeDriver> driver_;
};

int serve(const std::wstring& pipeName) {
    const HANDLE pipe = CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        return 2;
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
    Session session;
    std::vector<wchar_t> buffer(8192);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(pipe, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(wchar_t)),
                      &got, nullptr))
            break; // the test ended
        const std::wstring command(buffer.data(), got / sizeof(wchar_t));
        const bool quit = command == L"quit";
        const std::wstring answer = quit ? L"bye" : session.answer(command);
        DWORD written = 0;
        if (quit) {
            // The module goes before the answer, so that the test sees a process that let go.
            session = Session();
        }
        WriteFile(pipe, answer.data(), static_cast<DWORD>(answer.size() * sizeof(wchar_t)),
                  &written, nullptr);
        if (quit)
            break;
    }
    CloseHandle(pipe);
    return 0;
}

} // namespace
} // namespace tovi

int main(int argc, char** argv) {
    if (argc < 2)
        return 1;
    const std::string name = argv[1]; // the test names its pipes in ASCII
    return tovi::serve(std::wstring(name.begin(), name.end()));
}
