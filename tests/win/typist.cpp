#include "typist.h"

#include "tables/code_table_file.h"
#include "win_test_support.h"

#include <vector>

namespace tovi::wintest {

std::wstring typistBesideMe() {
    const std::wstring self = ownExecutable();
    return self.substr(0, self.find_last_of(L'\\') + 1) + L"typist_child.exe";
}

std::string typistTable() {
    CodeTableData table(CodeTableLayout::Digits);
    for (const auto& [code, word] : {std::pair{u"12", u"中"},
                                     {u"12", u"钟表"},
                                     {u"12", u"种子们"},
                                     {u"13", u"人"},
                                     {u"13", u"入口"},
                                     {u"9", u"九"}})
        table.append(code, word);
    return writeCodeTable(table);
}

void writeTypistFolder(const std::wstring& folder) {
    writeBytes(folder + L"\\toviwb.mb", typistTable());
    writeBytes(folder + L"\\config.ini", "IME_SETTINGS 161\r\n");
}

Typist::Typist(const std::wstring& program) {
    static unsigned serial = 0;
    const std::wstring name = L"\\\\.\\pipe\\tovi-typist-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial);
    pipe_.reset(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                 PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 65536,
                                 65536, 0, nullptr));
    event_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!pipe_ || !event_) {
        failure_ = L"no pipe";
        return;
    }
    std::wstring commandLine = L"\"" + program + L"\" " + name;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        failure_ = L"cannot start " + program + L": " + std::to_wstring(GetLastError());
        return;
    }
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    OVERLAPPED connect{};
    connect.hEvent = event_.get();
    if (!ConnectNamedPipe(pipe_.get(), &connect)) {
        const DWORD error = GetLastError();
        if (error == ERROR_IO_PENDING ? !await(connect, 60000) : error != ERROR_PIPE_CONNECTED)
            failure_ = L"the child did not connect";
    }
}

Typist::~Typist() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT && !quit())
        TerminateProcess(process_.get(), 99);
}

bool Typist::quit() {
    if (!process_)
        return false;
    if (ask(L"quit", 30000) != L"bye")
        return false;
    return WaitForSingleObject(process_.get(), 30000) == WAIT_OBJECT_0;
}

bool Typist::await(OVERLAPPED& operation, DWORD milliseconds) {
    const HANDLE waits[] = {event_.get(), process_.get()};
    const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, milliseconds);
    if (woken != WAIT_OBJECT_0) {
        CancelIo(pipe_.get());
        DWORD ignored = 0;
        GetOverlappedResult(pipe_.get(), &operation, &ignored, TRUE);
        return false;
    }
    DWORD ignored = 0;
    return GetOverlappedResult(pipe_.get(), &operation, &ignored, FALSE);
}

std::wstring Typist::ask(const std::wstring& command, DWORD milliseconds) {
    if (!failure_.empty())
        return L"error: " + failure_;
    OVERLAPPED write{};
    write.hEvent = event_.get();
    ResetEvent(event_.get());
    const auto bytes = static_cast<DWORD>(command.size() * sizeof(wchar_t));
    if (!WriteFile(pipe_.get(), command.data(), bytes, nullptr, &write) &&
        (GetLastError() != ERROR_IO_PENDING || !await(write, milliseconds)))
        return L"error: the command was not taken";

    std::vector<wchar_t> answer(8192);
    OVERLAPPED read{};
    read.hEvent = event_.get();
    ResetEvent(event_.get());
    DWORD got = 0;
    if (!ReadFile(pipe_.get(), answer.data(), static_cast<DWORD>(answer.size() * sizeof(wchar_t)),
                  nullptr, &read)) {
        if (GetLastError() != ERROR_IO_PENDING || !await(read, milliseconds))
            return L"error: no answer to \"" + command + L"\"";
    }
    if (!GetOverlappedResult(pipe_.get(), &read, &got, FALSE))
        return L"error: no answer to \"" + command + L"\"";
    return std::wstring(answer.data(), got / sizeof(wchar_t));
}

} // namespace tovi::wintest
