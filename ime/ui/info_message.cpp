#include "ui/info_message.h"

#include <algorithm>

namespace tovi {

void InfoMessage::post(std::u16string_view text, std::uint32_t durationMs, Rgb textColour,
                       Rgb background) {
    std::size_t kept = std::min(text.size(), kMaxUnits);
    // Never keep half of a surrogate pair.
    if (kept < text.size() && kept > 0 && text[kept - 1] >= 0xD800 && text[kept - 1] <= 0xDBFF)
        --kept;
    text_.assign(text.substr(0, kept));
    textColour_ = textColour;
    background_ = background;
    durationMs_ = durationMs;
    timerRunning_ = true;
}

} // namespace tovi
