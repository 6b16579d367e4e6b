// Which keys have full-width forms, which are punctuation, and which punctuation commits
// without feedback to the candidate list.
#pragma once

namespace tovi {

// Space, digits, letters and the OEM punctuation keys.
bool isFullWidthKey(unsigned virtualKey);
// The OEM punctuation keys, and the digit keys while Shift is down.
bool isPunctuationKey(unsigned virtualKey, bool shiftDown);
// "，。、；─：“”？！…（）〔〕〈〉《》～‘’"
bool isNoFeedbackPunctuation(char16_t unit);

} // namespace tovi
