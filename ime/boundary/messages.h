// Messages and committed text from the module to the application of an input context.
#pragma once

#include "imm_ddk.h"

#include <string_view>

namespace tovi {

// Sends one message: into the running ImeToAsciiEx's list, or else through the context's
// message buffer and ImmGenerateMessage. Returns false when it could not be queued.
bool GenerateMessage(HIMC context, UINT message, WPARAM wParam, LPARAM lParam);

// Queues messages in the context's message buffer and has IMM32 deliver them.
bool generateThroughBuffer(HIMC context, const TRANSMSG* messages, std::size_t count);

// Commits text (at most 254 units are kept) as the context's result string: the composition
// message with GCS_RESULTSTR, then the end-composition message.
void CommitText(HIMC context, std::u16string_view text);
void CommitChar(HIMC context, char16_t unit);

// Ends the composition; with a result the pending commit becomes the result string, without
// one the engine's code is cleared and the result string emptied.
bool EndComposition(HIMC context, bool withResult);

} // namespace tovi
