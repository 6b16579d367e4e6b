#include "module.h"

#include "platform/shared_section.h"

#include <new>

namespace tovi {
namespace {
std::unique_ptr<Module>& moduleOwner() {
    static std::unique_ptr<Module> owner;
    return owner;
}
} // namespace

Module::Module(ImeHost& host) : host_(host) {
    if (auto* section = platform::sharedControlSection())
        instanceNumber_ = platform::nextInstanceNumber(*section);
    settings_ = std::make_unique<ImeSettings>();
    settings_->setSchemeChangeHandler(this);
    publishedStatusX = settings_->statusX;
    engine_ = createEngine(settings_->schemeIndex(), *this);
    loader_ = std::make_unique<CodeTableLoader>(host_.codeTableReporter(),
                                                platform::sharedControlSection(), instanceNumber_);
    CodeTableOptions options;
    options.nameSuffix = platform::sharedNameSuffix();
    loader_->setOptions(options);
    startCodeTableLoad();
    loadSchemeTables();
}

Module::~Module() {
    settings_->setSchemeChangeHandler(nullptr);
    settings_->saveSettings();
}

void Module::resetInput() {
    if (settings_->schemeIndex() == 2)
        host_.showInfoMessage(u"组词方法:先输入声母，再输入韵母。", 20000);
    else
        host_.showInfoMessage(u"", 9000);
    if (engine_)
        engine_->Clear();
    host_.invalidateWindows();
    if (engine_)
        engine_->SendEndComposition();
}

void Module::beforeSchemeChange() {
    resetInput();
    if (engine_)
        engine_->SendEndComposition();
}

void Module::afterSchemeChange() {
    resetInput();
    retiredEngine_ = std::move(engine_);
    engine_ = createEngine(settings_->schemeIndex(), *this);
    loadSchemeTables();
    startCodeTableLoad();
}

void Module::loadSchemeTables() {
    const int scheme = settings_->schemeIndex();
    hints_.reset();
    charCodes_ = CharCodeMap(scheme);
    if (scheme == 1)
        hints_ = std::make_unique<LoadedCodeHintTable>(*settings_);
    else
        hints_ = std::make_unique<CodeHintTable>();
}

void Module::startCodeTableLoad() {
    loader_->start(settings_->schemeIndex());
}

std::u16string Module::currentCodeHint(const std::u16string& input) const {
    return hints_ ? hints_->hintFor(input) : std::u16string();
}

std::u16string Module::proposeWordCode(std::u16string_view word) const {
    return makeWordCode(charCodes_, word, settings_->schemeIndex());
}

CodeTableLookup* ModuleLookup::current() {
    CodeTable* table = module_.codeTableLoader().table();
    if (table != table_) {
        table_ = table;
        lookup_.reset();
        if (table) {
            lookup_ = std::make_unique<CodeTableLookup>(
                *table,
                [this] {
                    LookupState state;
                    const InputFlags& flags = module_.flags();
                    state.selectionPending = flags.selectionPending;
                    state.ctrlSelect = flags.ctrlSelect;
                    state.traditionalOutput = flags.traditionalOutput;
                    state.wordAssociation = module_.settings().has(flag::WordAssociation);
                    state.verticalLayout = module_.settings().has(flag::VerticalLayout);
                    if (const ImeEngine* engine = module_.engine()) {
                        state.engineCode = engine->GetCode();
                        state.lastCommitted = engine->lastCommitted();
                    }
                    return state;
                },
                [this](const ExactMatch& exact) {
                    module_.flags().exactMatchCount = static_cast<int>(exact.count);
                    module_.flags().singleExactMatch = exact.single;
                });
        }
    }
    return lookup_.get();
}

CandidateList ModuleLookup::search(int schemeIndex, const std::u16string& code) {
    CodeTableLookup* lookup = current();
    return lookup ? lookup->search(schemeIndex, code) : CandidateList();
}

CandidateList ModuleLookup::wildcard(const std::u16string& code) {
    CodeTableLookup* lookup = current();
    return lookup ? lookup->wildcard(code) : CandidateList();
}

CandidateList ModuleLookup::continuations(const std::u16string& lastCode,
                                          const std::u16string& lastCommitted) {
    CodeTableLookup* lookup = current();
    return lookup ? lookup->continuations(lastCode, lastCommitted) : CandidateList();
}

std::u16string ModuleLookup::textToCommit(const std::u16string& text) {
    CodeTableLookup* lookup = current();
    return lookup ? lookup->textToCommit(text) : text;
}

Module* modulePtr() {
    return moduleOwner().get();
}

bool attachModule(ImeHost& host) {
    if (moduleOwner())
        return true;
    try {
        moduleOwner() = std::make_unique<Module>(host);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void detachModule() {
    moduleOwner().reset();
}

} // namespace tovi
