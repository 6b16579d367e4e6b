// Loads the shared code table on a background thread so that start-up and scheme changes do not
// wait for it. The input thread sees no table until a load is complete; loads run one at a time,
// and a load overtaken by a newer request is thrown away when it ends.
#pragma once

#include "platform/shared_section.h"
#include "tables/code_table.h"

#include <cstdint>
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
    // The table of the last request once its load is complete, else null. Input thread only.
    CodeTable* table();
    // Blocks until no load runs (for tests and benchmarks).
    void waitIdle();

    // Tests load their own small tables.
    void setOptions(const CodeTableOptions& options);

private:
    struct State;
    std::shared_ptr<State> state_;
    std::unique_ptr<CodeTable> current_;
};

} // namespace tovi
