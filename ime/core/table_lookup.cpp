#include "core/table_lookup.h"

#include "tables/table_candidates.h"

namespace tovi {
namespace {

SearchOptions searchOptions(const LookupOptions& options) {
    SearchOptions search;
    search.traditionalOutput = options.traditionalOutput;
    search.selectionPending = options.selectionPending;
    return search;
}

} // namespace

CandidateList TableLookup::search(Scheme scheme, const std::u16string& code,
                                  const LookupOptions& options, ExactMatch& exact) {
    CodeTable* table = table_();
    if (!table)
        return {};
    if (scheme != table->scheme())
        return CandidateList({}, code, options.verticalLayout);
    table->refreshIfStale();
    if (scheme == Scheme::Keypad) {
        if (code.size() >= 2 && code.find(u'z', 1) != std::u16string::npos)
            return CandidateList(findByWildcard(table->view(), code, searchOptions(options)), code,
                                 options.verticalLayout);
        if (!code.empty())
            return CandidateList::of(
                listByCode(table->heldView(), code, searchOptions(options), exact), code,
                options.verticalLayout);
    } else if (scheme == Scheme::Pinyin) {
        return CandidateList::of(listByLetters(table->heldView(), code, searchOptions(options)),
                                 code, options.verticalLayout);
    }
    return CandidateList(std::vector<std::u16string>{}, code, options.verticalLayout);
}

CandidateList TableLookup::wildcard(const std::u16string& code, const LookupOptions& options) {
    CodeTable* table = table_();
    if (!table)
        return {};
    if (table->scheme() != Scheme::Keypad)
        return CandidateList({}, code, options.verticalLayout);
    table->refreshIfStale();
    auto items = findByWildcard(table->view(), code, searchOptions(options));
    return CandidateList(std::move(items), code, options.verticalLayout);
}

CandidateList TableLookup::continuations(const std::u16string& lastCode,
                                         const std::u16string& lastCommitted,
                                         const LookupOptions& options) {
    CodeTable* table = table_();
    if (!table)
        return {};
    auto items = findContinuations(table->view(), lastCode, lastCommitted, searchOptions(options));
    return CandidateList(std::move(items), lastCode, options.verticalLayout);
}

void TableLookup::promote(const std::u16string& code, const std::u16string& text) {
    if (CodeTable* table = table_())
        table->promote(code, text);
}

} // namespace tovi
