// A host that records what the engine asks of the outside world, for tests.
#pragma once

#include "engine/ime_host.h"
#include "platform/utf8_path.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tovi::test {

// The message numbers the Windows layer sends for the composition calls.
namespace msg {
inline constexpr std::uint32_t ImeStartComposition = 0x10D;
inline constexpr std::uint32_t ImeEndComposition = 0x10E;
inline constexpr std::uint32_t ImeComposition = 0x10F;
} // namespace msg

// A composition message as the boundary would send it for the host call.
struct HostMessage {
    ContextHandle context;
    std::uint32_t message;
    bool operator==(const HostMessage&) const = default;
};

class RecordingHost : public ImeHost {
public:
    void startComposition(ContextHandle context) override {
        messages.push_back({context, msg::ImeStartComposition});
        log.push_back("start");
    }
    void updateComposition(ContextHandle context) override {
        messages.push_back({context, msg::ImeComposition});
        log.push_back("update");
    }
    void endComposition(ContextHandle context) override {
        messages.push_back({context, msg::ImeEndComposition});
        log.push_back("end");
    }
    void commitText(ContextHandle context, std::u16string_view text) override {
        commits.emplace_back(text);
        commitContexts.push_back(context);
        log.push_back("commit " + platform::toUtf8(text));
    }
    void invalidateWindows() override { ++invalidations; }
    void invalidateStatusWindow() override { ++statusInvalidations; }
    void invalidateCandidateWindow() override { ++candidateInvalidations; }
    void showInfoMessage(std::u16string_view text, unsigned milliseconds) override {
        infos.emplace_back(text);
        infoTimes.push_back(milliseconds);
    }
    void beep() override { ++beeps; }
    bool isKeyDown(unsigned virtualKey) override { return liveKeys[virtualKey & 0xFF]; }
    void openUrl(std::u16string_view url) override { urls.emplace_back(url); }
    void startProgram(std::u16string_view commandLine) override {
        programs.emplace_back(commandLine);
    }
    void sendBackspace() override { log.push_back("backspace"); }
    std::shared_ptr<CodeTableReporter> codeTableReporter() override { return boxes; }

    std::vector<HostMessage> messages;
    std::vector<std::u16string> commits;
    std::vector<ContextHandle> commitContexts;
    // Messages and commits in the order they happened: "start", "update", "end",
    // "commit <text>".
    std::vector<std::string> log;
    int invalidations = 0;
    int statusInvalidations = 0;
    int candidateInvalidations = 0;
    int beeps = 0;
    std::vector<std::u16string> infos;
    std::vector<unsigned> infoTimes;
    std::vector<std::u16string> urls;
    std::vector<std::u16string> programs;
    // Message boxes as "caption: text"; the loading thread may add to them.
    struct Boxes : CodeTableReporter {
        void messageBox(std::u16string_view text, std::u16string_view caption, Style) override {
            const std::lock_guard lock(mutex);
            shown.push_back(std::u16string(caption) + u": " + std::u16string(text));
        }
        std::mutex mutex;
        std::vector<std::u16string> shown;
    };
    std::shared_ptr<Boxes> boxes = std::make_shared<Boxes>();
    bool liveKeys[256] = {};
};

} // namespace tovi::test
