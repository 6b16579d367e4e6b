#include "module.h"

#include "platform/shared_section.h"

namespace tovi {
namespace {
std::unique_ptr<Module>& moduleOwner() {
    static std::unique_ptr<Module> owner;
    return owner;
}
} // namespace

Module::Module() {
    if (auto* section = platform::sharedControlSection())
        instanceNumber_ = platform::nextInstanceNumber(*section);
    settings_ = std::make_unique<ImeSettings>();
}

Module::~Module() {
    settings_->saveSettings();
}

Module* modulePtr() {
    return moduleOwner().get();
}

void attachModule() {
    if (!moduleOwner())
        moduleOwner() = std::make_unique<Module>();
}

void detachModule() {
    moduleOwner().reset();
}

} // namespace tovi
