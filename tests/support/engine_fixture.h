// An engine built without a module: a small test scheme with fixed candidates, and what it is
// built with owned by the test.
#pragma once

#include "engine/ime_engine.h"
#include "engine/virtual_keys.h"
#include "recording_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>

namespace tovi::test {

// Letters build the code and search; digits select (or extend a code without candidates); Confirm
// takes the first candidate; the paging commands page; Backspace removes the last unit.
class TestEngine : public ImeEngine {
public:
    using ImeEngine::ImeEngine;
    void OnChar(char16_t unit) override {
        chars += unit;
        if ((unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z')) {
            if (code_.empty())
                SendStartComposition();
            AppendCode(unit);
            Search();
            SendCompositionUpdate();
        } else if (unit >= u'1' && unit <= u'9') {
            if (hasCandidates())
                SelectCandidate(unit - u'1');
            else
                AppendCode(unit);
        }
    }
    void OnCommand(EngineCommand command) override {
        commands.push_back(command);
        if (command == EngineCommand::Confirm && hasCandidates())
            SelectCandidate(0);
        else if (command == EngineCommand::PreviousPage || command == EngineCommand::NextPage)
            turnPage(command == EngineCommand::NextPage);
        else if (command == EngineCommand::Backspace)
            RemoveLastCode();
    }
    bool OnKey(unsigned key) override {
        return (key >= 'A' && key <= 'Z') || vk::isNumpadDigit(key);
    }
    bool IsCodeLong() const override { return code_.size() > 4; }
    void setCode(std::u16string code) { code_ = std::move(code); }

    std::u16string chars;                // every digit or letter received
    std::vector<EngineCommand> commands; // every command received
};

class FixedLookup : public CodeLookup {
public:
    CandidateList search(Scheme, const std::u16string& code, const LookupOptions&,
                         ExactMatch&) override {
        return CandidateList(items, code, false);
    }
    CandidateList wildcard(const std::u16string& code, const LookupOptions&) override {
        return CandidateList(items, code, false);
    }
    CandidateList continuations(const std::u16string&, const std::u16string&,
                                const LookupOptions&) override {
        return CandidateList(association, u"", false);
    }
    void promote(const std::u16string& code, const std::u16string& text) override {
        promoted.emplace_back(code + u":" + text);
    }

    std::vector<std::u16string> items{u"中", u"中国", u"，"};
    std::vector<std::u16string> association;
    std::vector<std::u16string> promoted;
};

// What an engine is built with, owned by the test: the host records, the lookup answers with
// fixed candidates, the settings live in a folder of the test's own.
struct EngineWorld {
    TempFolder folder;
    platform::InstallFolder installFolder{folder.installFolder()};
    RecordingHost host;
    ImeSettings settings{installFolder};
    InputFlags flags;
    ProcessState process;
    FixedLookup lookup;
    SoftKeyboard softKeyboard;
    QuoteState quotes;

    EngineServices services() {
        return EngineServices{host,   settings,     flags,  process,
                              lookup, softKeyboard, quotes, installFolder};
    }
};

// Drives an engine key by key as the input-method manager does: ProcessKey for presses and
// releases, ToAscii for the claimed presses. As the module does, it switches the scheme a key
// asked for once the key is handled.
class EngineTest : public ::testing::Test, protected EngineWorld {
protected:
    static constexpr ContextHandle kContext = 0x1234;

    void SetUp() override {
        engine_ = std::make_unique<TestEngine>(services());
        std::memset(keys, 0, sizeof(keys));
    }

    // Puts another engine in place of the test scheme's.
    void useEngine(std::unique_ptr<ImeEngine> engine) { engine_ = std::move(engine); }
    ImeEngine& engine() { return *engine_; }
    TestEngine& testEngine() { return static_cast<TestEngine&>(*engine_); }

    // A key press as the system reports it; a claimed press goes on to ToAscii.
    bool press(unsigned key, char16_t unit = 0, std::uint32_t keyData = 0x00000001) {
        keys[key] |= 0x80;
        const bool claimed = engine().ProcessKey(kContext, KeyEvent{key, 0, keyData, keys});
        applyRequestedScheme();
        if (claimed) {
            engine().ToAscii(kContext, KeyEvent{key, unit, 0, keys});
            applyRequestedScheme();
        }
        return claimed;
    }
    bool release(unsigned key, std::uint32_t keyData = 0xC0000001) {
        keys[key] &= 0x7F;
        const bool claimed = engine().ProcessKey(kContext, KeyEvent{key, 0, keyData, keys});
        applyRequestedScheme();
        return claimed;
    }
    bool tap(unsigned key, char16_t unit = 0) {
        const bool claimed = press(key, unit);
        release(key);
        return claimed;
    }
    void typeLetters(std::u16string_view letters) {
        for (const char16_t c : letters)
            tap(static_cast<unsigned>(c - u'a' + 'A'), c);
    }
    void applyRequestedScheme() {
        if (process.requestedScheme)
            settings.setScheme(*std::exchange(process.requestedScheme, {}));
    }

    std::unique_ptr<ImeEngine> engine_;
    std::uint8_t keys[256];
};

} // namespace tovi::test
