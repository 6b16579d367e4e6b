// Collects the messages the module generates while ImeToAsciiEx runs, into the list the
// input-method manager passed in.
#pragma once

#include "imm_ddk.h"

#include <vector>

namespace tovi {

class MessageSink {
public:
    // Most messages one key can produce that the sink keeps; more are dropped.
    static constexpr std::size_t kMaxMessages = 256;

    // Starts collecting into `list` for `context`; a null list holds nothing.
    void install(LPTRANSMSGLIST list, HIMC context);
    bool installed() const { return installed_; }
    // The context the list belongs to while installed.
    HIMC context() const { return context_; }
    // Appends one message. A list of capacity n holds n - 1; the rest still gets delivered.
    void append(const TRANSMSG& message);
    // Stops collecting and returns the number of messages the list now holds. When they did
    // not all fit, every message goes, in order, through the context's message buffer instead
    // and the list holds none.
    UINT finish();
    // Drops the list without delivering anything (a key release).
    void remove();
    // Whether the last finish had more messages than the list could hold.
    bool overflowed() const { return overflowed_; }

private:
    LPTRANSMSGLIST list_ = nullptr;
    HIMC context_ = nullptr;
    bool installed_ = false;
    bool overflowed_ = false;
    std::vector<TRANSMSG> messages_;
};

// The calling thread's sink.
MessageSink& messageSink();

} // namespace tovi
