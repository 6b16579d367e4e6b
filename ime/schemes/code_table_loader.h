// Loads the shared code table on a background thread so that start-up and scheme changes do not
// wait for it. The input thread sees no table until a load is complete; loads run one at a time,
// and a load overtaken by a newer request is thrown away when it ends.
//
// A load that throws (a host short of address space cannot allocate a large table's index) is
// caught on its thread and publishes nothing; the next use of the table loads again, so typing
// resumes once memory is back.
#pragma once

#include "platform/shared_section.h"
#include "tables/code_table.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace tovi {

class CodeTableLoader {
public:
    // The reporter is shared with the loading thread, which may outlive the loader.
    CodeTableLoader(std::shared_ptr<CodeTableReporter> reporter,
                    platform::SharedControlSection* section, std::uint32_t instanceNumber);
    // A load still running is abandoned: it ends on its own and frees its table.
    ~CodeTableLoader();
    CodeTableLoader(const CodeTableLoader&) = delete;
    CodeTableLoader& operator=(const CodeTableLoader&) = delete;

    // Drops the current table and starts loading the scheme's; returns at once.
    void start(Scheme scheme);
    // The table of the last request once its load is complete, else null. When that load could
    // not run or threw, starts it again. Input thread only.
    CodeTable* table();
    // Blocks until no load runs (for tests and benchmarks).
    void waitIdle();

    // Tests load their own small tables.
    void setOptions(const CodeTableOptions& options);
    // Test seam: called on the loading thread at the start of every load, once the table object
    // is made and before it maps or reads anything. A test makes it throw std::bad_alloc to
    // stand for an allocation of the load that fails. Empty in the module.
    void setLoadFault(std::function<void()> fault);

private:
    struct State;
    // Starts the loading thread unless one runs or every request is served.
    void spawnIfNeeded();
    std::shared_ptr<State> state_;
    std::unique_ptr<CodeTable> current_;
};

} // namespace tovi
