#include "exception_barrier.h"

#include "message_sink.h"
#include "win32_module.h"

namespace tovi {

void recoverFromFault() noexcept {
    messageSink().remove();
    Win32Module* win32 = win32Module();
    Module* module = win32 ? win32->builtModule() : nullptr;
    if (!module)
        return;
    module->process().requestedScheme.reset();
    try {
        if (ImeEngine* engine = module->engine())
            engine->Clear();
    } catch (...) {
        // The input stays as it was; the next key starts from there.
    }
}

} // namespace tovi
