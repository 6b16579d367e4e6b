#include "code_table_lookup.h"

#include <utility>

namespace tovi {
namespace {

SearchOptions searchOptions(const LookupState& state) {
    SearchOptions options;
    options.traditionalOutput = state.traditionalOutput;
    options.selectionPending = state.selectionPending;
    return options;
}

} // namespace

CodeTableLookup::CodeTableLookup(CodeTable& table, StateSource state, ExactMatchSink exactSink)
    : table_(table), state_(std::move(state)), exactSink_(std::move(exactSink)) {}

CandidateList CodeTableLookup::search(int schemeIndex, const std::u16string& code) {
    const LookupState state = state_ ? state_() : LookupState{};
    if (schemeIndex != table_.schemeIndex())
        return CandidateList({}, code, this, state.verticalLayout);
    table_.refreshIfStale();
    const SearchOptions options = searchOptions(state);
    std::vector<std::u16string> items;
    if (schemeIndex == 1) {
        if (code.size() >= 2 && code.find(u'z', 1) != std::u16string::npos)
            items = findByWildcard(table_.view(), code, options);
        else if (!code.empty()) {
            items = findByCode(table_.view(), code, options, exact_);
            if (exactSink_)
                exactSink_(exact_);
        }
    } else if (schemeIndex == 2) {
        items = findByLetters(table_.view(), code, options);
    }
    return CandidateList(std::move(items), code, this, state.verticalLayout);
}

CandidateList CodeTableLookup::wildcard(const std::u16string& code) {
    const LookupState state = state_ ? state_() : LookupState{};
    if (table_.schemeIndex() != 1)
        return CandidateList({}, code, this, state.verticalLayout);
    table_.refreshIfStale();
    auto items = findByWildcard(table_.view(), code, searchOptions(state));
    return CandidateList(std::move(items), code, this, state.verticalLayout);
}

CandidateList CodeTableLookup::continuations(const std::u16string& lastCode,
                                             const std::u16string& lastCommitted) {
    const LookupState state = state_ ? state_() : LookupState{};
    auto items = findContinuations(table_.view(), lastCode, lastCommitted, searchOptions(state));
    return CandidateList(std::move(items), lastCode, this, state.verticalLayout);
}

std::u16string CodeTableLookup::textToCommit(const std::u16string& text) {
    const LookupState state = state_ ? state_() : LookupState{};
    return tovi::textToCommit(text, CommitContext{state.engineCode, state.ctrlSelect,
                                                  state.wordAssociation, state.lastCommitted});
}

void CodeTableLookup::promote(const std::u16string& code, const std::u16string& text) {
    const LookupState state = state_ ? state_() : LookupState{};
    if (!state.ctrlSelect)
        return;
    table_.promote(
        code, tovi::textToCommit(text, CommitContext{state.engineCode, true, state.wordAssociation,
                                                     state.lastCommitted}));
}

} // namespace tovi
