// A typist: a child process (typist_child.exe, of either architecture) that loads the real
// tovi.ime and answers commands sent over a named pipe, one message each way:
//   bits                 "32" or "64"
//   shares               "1" when the process writes the shared control object, "0" when it
//                        fell back to a block of its own
//   load                 loads the module and waits for its table: "ok" or what failed
//   type CODE            types a keypad code and keypad 0: the committed word, or "-"
//   promote CODE SLOT    types a code and Ctrl with keypad SLOT: the committed word, or "-"
//   add CODE WORD        the word maker's addition, through a code table of the process's
//   delete CODE WORD     own over the shared pools: "ok" or "refused"
//   quit                 unloads the module and ends: "bye"
// Every wait for an answer is bounded and ends early when the child ends.
#pragma once

#include "platform/win32_handle.h"

#include <string>

namespace tovi::wintest {

class Typist {
public:
    // Starts `program` (a typist_child.exe) and waits until it is connected; see failure().
    explicit Typist(const std::wstring& program);
    // Asks a running child to quit and waits for it; ends it when it does not.
    ~Typist();
    Typist(const Typist&) = delete;
    Typist& operator=(const Typist&) = delete;

    const std::wstring& failure() const { return failure_; }
    // The answer to `command`, or "error: ..." when none came in time.
    std::wstring ask(const std::wstring& command, DWORD milliseconds = 60000);
    // Asks "quit" and waits for the process to end: true when it ended by itself.
    bool quit();

private:
    // Waits for an overlapped operation on the pipe; false on a time-out or when the child ended.
    bool await(OVERLAPPED& operation, DWORD milliseconds);

    std::wstring failure_;
    platform::UniqueHandle pipe_;
    platform::UniqueHandle event_;
    platform::UniqueHandle process_;
};

// The path of typist_child.exe beside this program.
std::wstring typistBesideMe();

// The keypad table of the typists' tests: "12" lists 中 钟表 种子们 in that order, "13" 人 入口,
// and "9" is 九, the word a typist types until its table is loaded. The words of a code differ
// in length, so that strings written in one order never pass for another order's.
std::string typistTable();
// Writes that table and a config.ini that starts in the keypad scheme into `folder`.
void writeTypistFolder(const std::wstring& folder);

} // namespace tovi::wintest
