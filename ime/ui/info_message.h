// The one short message of the info window, such as "已至最前页！". A message stays until the
// next one replaces it: its timer running out changes nothing on screen, and posting the empty
// string is how a message is taken away.
#pragma once

#include "ui/colour.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tovi {

class InfoMessage {
public:
    static constexpr std::size_t kMaxUnits = 99;
    static constexpr std::uintptr_t kTimerId = 1000;
    static constexpr Rgb kDefaultText{0, 0, 0};
    static constexpr Rgb kDefaultBackground{255, 255, 0};

    // Replaces the message with the first 99 units of `text`. The painter then stops any running
    // message timer, starts one of `durationMs()` and repaints.
    void post(std::u16string_view text, std::uint32_t durationMs, Rgb textColour = kDefaultText,
              Rgb background = kDefaultBackground);
    // The message timer ran out: it stops; the message stays.
    void timerExpired() { timerRunning_ = false; }

    const std::u16string& text() const { return text_; }
    Rgb textColour() const { return textColour_; }
    Rgb background() const { return background_; }
    std::uint32_t durationMs() const { return durationMs_; }
    bool timerRunning() const { return timerRunning_; }

private:
    std::u16string text_;
    Rgb textColour_ = kDefaultText;
    Rgb background_ = kDefaultBackground;
    std::uint32_t durationMs_ = 0;
    bool timerRunning_ = false;
};

} // namespace tovi
