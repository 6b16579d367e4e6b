// A module with a small test scheme and fixed candidates, driven key by key as the input-method
// manager drives it: ProcessKey for presses and releases, ToAscii for the claimed presses.
#pragma once

#include "boundary/module.h"
#include "engine/virtual_keys.h"
#include "platform/shared_memory.h"
#include "platform/shared_section_name.h"
#include "recording_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tovi::test {

// Letters build the code and search; digits select (or extend a code without candidates); Space
// takes the first candidate; '-' and
// '+' page; '^' removes the last unit.
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
        } else if (unit == u'*' && hasCandidates()) {
            SelectCandidate(0);
        } else if (unit == u'-') {
            candidates_.previousPage(module_.host());
        } else if (unit == u'+') {
            candidates_.nextPage(module_.host(), false);
        } else if (unit == u'^') {
            RemoveLastCode();
        }
    }
    bool OnKey(unsigned key) override {
        return (key >= 'A' && key <= 'Z') || vk::isNumpadDigit(key);
    }
    bool IsCodeLong() const override { return code_.size() > 4; }
    void setCode(std::u16string code) { code_ = std::move(code); }

    std::u16string chars; // every internal character received
};

class FixedLookup : public CodeLookup, public CandidatePromoter {
public:
    CandidateList search(int, const std::u16string& code) override {
        return CandidateList(items, code, this, false);
    }
    CandidateList wildcard(const std::u16string& code) override {
        return CandidateList(items, code, this, false);
    }
    CandidateList continuations(const std::u16string&, const std::u16string&) override {
        return CandidateList(association, u"", this, false);
    }
    std::u16string textToCommit(const std::u16string& text) override { return text; }
    void promote(const std::u16string& code, const std::u16string& text) override {
        promoted.emplace_back(code + u":" + text);
    }

    std::vector<std::u16string> items{u"中", u"中国", u"，"};
    std::vector<std::u16string> association;
    std::vector<std::u16string> promoted;
};

class EngineTest : public ::testing::Test {
protected:
    static constexpr ContextHandle kContext = 0x1234;

    void SetUp() override {
        platform::SharedMemory::removeName(kSection);
        platform::setSharedSectionName(kSection);
        ASSERT_TRUE(attachModule(host));
        module().setLookup(&lookup);
        module().currentContext = kContext;
        module().installEngine(std::make_unique<TestEngine>(module()));
        std::memset(keys, 0, sizeof(keys));
    }
    void TearDown() override {
        module().codeTableLoader().waitIdle(); // the section goes away below
        detachModule();
        platform::setSharedSectionName(u"tovi.VemoraH");
        platform::SharedMemory::removeName(kSection);
    }

    Module& module() { return *modulePtr(); }
    ImeEngine& engine() { return *module().engine(); }
    TestEngine& testEngine() { return static_cast<TestEngine&>(engine()); }

    // A key press as the system reports it; a claimed press goes on to ToAscii.
    bool press(unsigned key, char16_t unit = 0, std::uint32_t keyData = 0x00000001) {
        keys[key] |= 0x80;
        if (!module().engine())
            return false;
        const bool claimed = engine().ProcessKey(kContext, key, keyData, keys);
        if (claimed && module().engine())
            engine().ToAscii(kContext, key | (std::uint32_t{unit} << 16), keys);
        return claimed;
    }
    bool release(unsigned key, std::uint32_t keyData = 0xC0000001) {
        keys[key] &= 0x7F;
        return module().engine() && engine().ProcessKey(kContext, key, keyData, keys);
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

    static constexpr char16_t kSection[] = u"tovi-test-engine";
    TempFolder folder;
    RecordingHost host;
    FixedLookup lookup;
    std::uint8_t keys[256];
};

} // namespace tovi::test
