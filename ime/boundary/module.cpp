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
    engine_ = createEngine(settings_->schemeIndex(), host_);
}

Module::~Module() {
    settings_->setSchemeChangeHandler(nullptr);
    settings_->saveSettings();
}

void Module::resetInput() {
    engine_->clear();
    host_.invalidateWindows();
    engine_->sendEndComposition();
}

void Module::beforeSchemeChange() {
    resetInput();
    engine_->sendEndComposition();
}

void Module::afterSchemeChange() {
    resetInput();
    engine_.reset();
    engine_ = createEngine(settings_->schemeIndex(), host_);
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
