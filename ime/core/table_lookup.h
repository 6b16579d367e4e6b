// The engine's searches on whatever code table the background load has completed; nothing is
// found while none has.
#pragma once

#include "engine/code_lookup.h"
#include "tables/code_table.h"

#include <functional>

namespace tovi {

class TableLookup final : public CodeLookup {
public:
    // The table to search, or null while none is loaded; asked at every call.
    using TableSource = std::function<CodeTable*()>;
    explicit TableLookup(TableSource table) : table_(std::move(table)) {}

    // Keypad scheme: findByCode, or findByWildcard for a code with a "z" after its first key.
    // Pinyin: findByLetters. Another scheme than the table's finds nothing. A stale table is
    // loaded again first.
    CandidateList search(Scheme scheme, const std::u16string& code, const LookupOptions& options,
                         ExactMatch& exact) override;
    // Keypad scheme: findByWildcard.
    CandidateList wildcard(const std::u16string& code, const LookupOptions& options) override;
    CandidateList continuations(const std::u16string& lastCode, const std::u16string& lastCommitted,
                                const LookupOptions& options) override;
    void promote(const std::u16string& code, const std::u16string& text) override;

private:
    TableSource table_;
};

} // namespace tovi
