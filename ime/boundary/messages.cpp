#include "messages.h"

#include "context_private.h"
#include "message_sink.h"
#include "process_host.h"
#include "thread_ui.h"

#include <algorithm>
#include <cwchar>

namespace tovi {

namespace {

// Whether `context` belongs to another thread. IMM32 delivers a context's messages to its window
// synchronously, so they must come from the window's own thread: a message generated for another
// thread's context would run that thread's window code here, beside that thread. Such a context
// is not even locked.
bool ofAnotherThread(HIMC context) {
    const ProcessHost* host = processHost();
    return host && host->ofAnotherThread(context);
}

// Clears the engine's code and candidates, unless they are another thread's composition.
void clearThisThreadsInput() {
    ProcessHost* host = processHost();
    Module* module = modulePtr();
    if (host && module && module->engine() && !host->inputOfAnotherThread())
        module->engine()->Clear();
}

} // namespace

MessageSink& messageSink() {
    if (ThreadUi* ui = threadUiPtr())
        return ui->sink;
    // Outside attach..detach nothing is collected: ImeToAsciiEx installs no sink then, and this
    // one is never installed.
    static MessageSink idle;
    return idle;
}

void MessageSink::install(LPTRANSMSGLIST list, HIMC context) {
    list_ = list;
    context_ = context;
    installed_ = true;
    messages_.clear();
}

void MessageSink::append(const TRANSMSG& message) {
    if (messages_.size() < kMaxMessages)
        messages_.push_back(message);
}

UINT MessageSink::finish() {
    installed_ = false;
    const UINT capacity = list_ ? list_->uMsgCount : 0;
    UINT delivered = 0;
    overflowed_ = messages_.size() >= capacity && !messages_.empty();
    if (!overflowed_) {
        std::copy(messages_.begin(), messages_.end(), transMsgEntries(list_));
        delivered = static_cast<UINT>(messages_.size());
    } else {
        generateThroughBuffer(context_, messages_.data(), messages_.size());
    }
    messages_.clear();
    list_ = nullptr;
    context_ = nullptr;
    return delivered;
}

void MessageSink::remove() {
    installed_ = false;
    messages_.clear();
    list_ = nullptr;
    context_ = nullptr;
}

bool generateThroughBuffer(HIMC context, const TRANSMSG* messages, std::size_t count) {
    if (ofAnotherThread(context))
        return false;
    ContextLock ic(context);
    if (!ic || !IsWindow(ic->hWnd) || count == 0)
        return false;
    const DWORD total = ic->dwNumMsgBuf + static_cast<DWORD>(count);
    HIMCC buffer = ImmReSizeIMCC(ic->hMsgBuf, total * sizeof(TRANSMSG));
    if (!buffer)
        return false;
    ic->hMsgBuf = buffer;
    {
        ComponentLock<TRANSMSG> entries(buffer);
        if (!entries)
            return false;
        std::copy(messages, messages + count, entries.get() + ic->dwNumMsgBuf);
    }
    ic->dwNumMsgBuf = total;
    ImmGenerateMessage(context);
    return true;
}

bool GenerateMessage(HIMC context, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!context)
        return false;
    const TRANSMSG entry{message, wParam, lParam};
    // The list of the running ImeToAsciiEx holds its own context's messages only.
    if (MessageSink& sink = messageSink(); sink.installed() && sink.context() == context) {
        sink.append(entry);
        return true;
    }
    return generateThroughBuffer(context, &entry, 1);
}

bool EndComposition(HIMC context, bool withResult) {
    if (ofAnotherThread(context))
        return false;
    ContextLock ic(context);
    if (!ic)
        return false;
    {
        ContextPrivateLock block(*ic);
        if (block) {
            if (withResult) {
                const std::size_t length =
                    wcsnlen(block->pendingCommit, kAreaUnits - 1); // bounded by the area
                std::copy_n(block->pendingCommit, length, block->lastResult);
                block->lastResult[length] = L'\0';
                std::copy_n(block->pendingCommit, length, block->result);
                block->result[length] = L'\0';
                block->header.dwResultStrLen = static_cast<DWORD>(length);
            } else {
                clearThisThreadsInput();
                block->result[0] = L'\0';
                block->header.dwResultStrLen = 0;
            }
            block->header.dwCompStrLen = 0;
        } else if (!withResult) {
            clearThisThreadsInput();
        }
    }
    GenerateMessage(context, WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    GenerateMessage(context, WM_IME_ENDCOMPOSITION, 0, 0);
    return true;
}

void CommitText(HIMC context, std::u16string_view text) {
    text = text.substr(0, kAreaUnits - 1);
    if (ofAnotherThread(context))
        return;
    ContextLock ic(context);
    if (!ic)
        return;
    {
        ContextPrivateLock block(*ic);
        if (!block)
            return; // not a context the module selected: nowhere to put the result
        std::copy(text.begin(), text.end(), block->pendingCommit);
        block->pendingCommit[text.size()] = L'\0';
    }
    EndComposition(context, true);
    ContextPrivateLock block(*ic);
    if (block) {
        block->pendingCommit[0] = L'\0';
        block->composition[0] = L'\0';
    }
}

void CommitChar(HIMC context, char16_t unit) {
    CommitText(context, std::u16string_view(&unit, 1));
}

void initContextPrivate(ContextPrivate& block) {
    block.header.dwSize = sizeof(ContextPrivate);
    block.header.dwCompStrOffset = offsetof(ContextPrivate, composition);
    block.header.dwCompStrLen = 0;
    block.composition[0] = L'\0';
    block.header.dwResultStrOffset = offsetof(ContextPrivate, result);
    block.header.dwResultStrLen = 0;
    block.result[0] = L'\0';
    block.header.dwCursorPos = 0;
}

} // namespace tovi
