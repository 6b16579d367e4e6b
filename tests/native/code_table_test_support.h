// Helpers of the code-table tests: table files, a recording reporter, names of their own for the
// shared objects of each test, and forked processes.
#pragma once

#include "platform/named_mutex.h"
#include "platform/shared_memory.h"
#include "platform/shared_section.h"
#include "platform/shared_section_name.h"
#include "shared_names.h"
#include "tables/code_table.h"
#include "tables/code_table_file.h"
#include "temp_folder.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tovi::test {

using Entries = std::vector<std::pair<std::u16string, std::u16string>>;

inline std::string tableFile(CodeTableLayout layout, const Entries& entries) {
    CodeTableData data(layout);
    for (const auto& [code, text] : entries)
        if (data.append(code, text) != EntryFault::None)
            return {};
    return writeCodeTable(data);
}

struct Box {
    std::u16string text;
    std::u16string caption;
    CodeTableReporter::Style style;
    bool operator==(const Box&) const = default;
};

class RecordingReporter : public CodeTableReporter {
public:
    void messageBox(std::u16string_view text, std::u16string_view caption, Style style) override {
        boxes.push_back(Box{std::u16string(text), std::u16string(caption), style});
    }
    std::vector<Box> boxes;
};

// Runs `body` in a forked process and returns its exit code (-1 when it did not exit).
int inChild(const std::function<int()>& body);

} // namespace tovi::test
