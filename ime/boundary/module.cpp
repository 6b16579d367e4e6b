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
