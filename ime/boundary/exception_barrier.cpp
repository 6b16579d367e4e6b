#include "exception_barrier.h"

#include "process_host.h"
#include "thread_ui.h"

namespace tovi {

ModuleGate& moduleGate() {
    static ModuleGate gate;
    return gate;
}

void recoverFromFault() noexcept {
    const GateEntry entry(moduleGate(), kEntryWait);
    if (!entry.entered())
        return;
    ProcessHost* host = processHost();
    if (!host)
        return;
    if (ThreadUi* ui = host->currentThreadUi())
        ui->sink.remove();
    Module* module = host->builtModule();
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
