// The process-wide state of the input method: one instance per process that loaded the module,
// built at process attach and torn down at detach. Code reaches it through modulePtr(), which
// is null before attach and after detach.
#pragma once

#include "tables/ime_settings.h"
#include "ui/char_conversions.h"

#include <cstdint>
#include <memory>

namespace tovi {

class Module {
public:
    // Takes the next process instance number from the shared section and loads the settings.
    Module();
    // Saves the settings.
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    ImeSettings& settings() { return *settings_; }
    const ImeSettings& settings() const { return *settings_; }
    QuoteState& quotes() { return quotes_; }
    // The instance counter's value right after this process incremented it; 0 when the shared
    // section could not be mapped.
    std::uint32_t instanceNumber() const { return instanceNumber_; }

private:
    std::uint32_t instanceNumber_ = 0;
    std::unique_ptr<ImeSettings> settings_;
    QuoteState quotes_;
};

// The process's module, or null outside attach..detach.
Module* modulePtr();
// Builds the module (process attach) and tears it down (process detach).
void attachModule();
void detachModule();

} // namespace tovi
