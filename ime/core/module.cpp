#include "core/module.h"

#include "platform/shared_section.h"

namespace tovi {

Module::Module(ImeHost& host, platform::InstallFolder folder, std::uint32_t instanceNumber)
    : host_(host), folder_(std::move(folder)), instanceNumber_(instanceNumber),
      settings_(std::make_unique<ImeSettings>(folder_)), settingsSaver_(*settings_, host_),
      loader_(std::make_unique<CodeTableLoader>(host_.codeTableReporter(),
                                                platform::sharedControlSection(), instanceNumber_)),
      lookup_([this] { return loader_->table(); }),
      wordMaker_(host_, *settings_, *loader_,
                 [this](std::u16string_view word) { return proposeWordCode(word); }) {
    settings_->setSchemeChangeHandler(this);
    publishedStatusX = settings_->statusX;
    engine_ = createEngine(settings_->scheme(), services());
    CodeTableOptions options;
    options.nameSuffix = platform::sharedNameSuffix();
    options.folder = folder_;
    loader_->setOptions(options);
    loader_->start(settings_->scheme());
}

Module::~Module() {
    settings_->setSchemeChangeHandler(nullptr);
}

EngineServices Module::services() {
    return EngineServices{host_,   *settings_,    flags_,  process_,
                          lookup_, softKeyboard_, quotes_, folder_};
}

bool Module::processKey(ContextHandle context, const KeyEvent& key) {
    const ImeSettings::Values before = settings_->values();
    const bool claimed = engine_ && engine_->ProcessKey(context, key);
    applyRequestedScheme();
    saveIfKeyChanged(before);
    return claimed;
}

void Module::toAscii(ContextHandle context, const KeyEvent& key) {
    const ImeSettings::Values before = settings_->values();
    if (engine_)
        engine_->ToAscii(context, key);
    applyRequestedScheme();
    saveIfKeyChanged(before);
}

void Module::saveIfKeyChanged(const ImeSettings::Values& before) {
    // Only what the key itself changed triggers a write: a change a window made without saving
    // (the status window clamped to a smaller screen) is not the user's choice.
    if (settings_->values() != before)
        saveSettingsIfChanged();
}

void Module::applyRequestedScheme() {
    if (const std::optional<Scheme> scheme = std::exchange(process_.requestedScheme, {}))
        settings_->setScheme(*scheme);
}

void Module::resetInput() {
    if (engine_) {
        engine_->ResetInput();
        return;
    }
    host_.showInfo(schemeHint(settings_->scheme()));
    host_.invalidateWindows();
}

void Module::beforeSchemeChange() {
    resetInput();
    if (engine_)
        engine_->SendEndComposition();
}

void Module::afterSchemeChange() {
    resetInput();
    engine_ = createEngine(settings_->scheme(), services());
    hints_.reset();
    charCodes_.reset();
    loader_->start(settings_->scheme());
}

const CodeHintTable& Module::hints() {
    if (!hints_) {
        if (settings_->scheme() == Scheme::Keypad)
            hints_ = std::make_unique<LoadedCodeHintTable>(*settings_, folder_);
        else
            hints_ = std::make_unique<CodeHintTable>();
    }
    return *hints_;
}

const CharCodeMap& Module::charCodes() {
    if (!charCodes_)
        charCodes_.emplace(settings_->scheme(), folder_);
    return *charCodes_;
}

std::u16string Module::currentCodeHint(const std::u16string& input) {
    return hints().hintFor(input);
}

std::u16string Module::proposeWordCode(std::u16string_view word) {
    return makeWordCode(charCodes(), word, settings_->scheme());
}

std::uint32_t takeInstanceNumber() {
    platform::SharedControlSection* section = platform::sharedControlSection();
    return section ? platform::nextInstanceNumber(*section) : 0;
}

} // namespace tovi
