#include "typing_session.h"

#include "platform/shared_memory.h"
#include "platform/shared_section_name.h"

#include <chrono>

namespace tovi::bench {

TypingSession::TypingSession(const platform::InstallFolder& folder, Scheme scheme,
                             const std::u16string& sectionName)
    : sectionName_(sectionName) {
    platform::SharedMemory::removeName(sectionName_);
    platform::setSharedSectionName(sectionName_);
    const auto start = std::chrono::steady_clock::now();
    module_ = std::make_unique<Module>(host_, folder, 1);
    module_->settings().setScheme(scheme);
    module_->codeTableLoader().waitIdle();
    loadMs_ =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

TypingSession::~TypingSession() {
    module_->codeTableLoader().waitIdle();
    module_.reset();
    platform::SharedMemory::removeName(sectionName_);
}

bool TypingSession::tableLoaded() {
    const CodeTable* table = module_->codeTableLoader().table();
    return table && table->view().size() > 0;
}

void TypingSession::startWord() {
    module_->resetInput();
    host_.committed.clear();
}

void TypingSession::press(unsigned virtualKey, char16_t unit, ShownCandidates& shown) {
    keys_[virtualKey] |= 0x80;
    if (module_->processKey(kContext, KeyEvent{virtualKey, 0, 0x00000001, keys_}))
        module_->toAscii(kContext, KeyEvent{virtualKey, unit, 0, keys_});
    fetch(shown);
}

void TypingSession::release(unsigned virtualKey) {
    keys_[virtualKey] &= 0x7F;
    module_->processKey(kContext, KeyEvent{virtualKey, 0, 0xC0000001, keys_});
}

int TypingSession::totalCount() {
    const ImeEngine* engine = module_->engine();
    return engine ? engine->candidates().totalCount() : 0;
}

// As the boundary's candidateView gathers it for the window.
void TypingSession::fetch(ShownCandidates& shown) {
    shown.page.clear();
    const ImeEngine* engine = module_->engine();
    if (!engine) {
        shown.code.clear();
        shown.codeHint.clear();
        shown.hasPreviousPage = shown.hasNextPage = false;
        return;
    }
    shown.code = engine->GetCode();
    shown.codeHint = module_->currentCodeHint(shown.code);
    const CandidateList& list = engine->candidates();
    for (int i = 0; i < list.pageSize(); ++i)
        shown.page.push_back(list.itemText(i));
    shown.hasPreviousPage = list.hasPreviousPage();
    shown.hasNextPage = list.hasNextPage();
}

} // namespace tovi::bench
