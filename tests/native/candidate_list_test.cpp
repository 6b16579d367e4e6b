#include "tables/candidate_list.h"

#include "recording_host.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

std::vector<std::u16string> ofLengths(std::initializer_list<int> lengths) {
    std::vector<std::u16string> items;
    for (const int n : lengths)
        items.emplace_back(static_cast<std::size_t>(n), u'字');
    return items;
}

class RecordingPromoter : public CandidatePromoter {
public:
    void promote(const std::u16string& code, const std::u16string& text) override {
        promoted.emplace_back(code, text);
    }
    std::vector<std::pair<std::u16string, std::u16string>> promoted;
};

TEST(CandidateListPaging, HorizontalPagesStopBeforeTheRowOverflows) {
    EXPECT_EQ(CandidateList(ofLengths({1, 10, 10, 10}), u"1", nullptr, false).pageSize(), 3);
    EXPECT_EQ(CandidateList(ofLengths({20, 20, 20}), u"1", nullptr, false).pageSize(), 1);
    EXPECT_EQ(CandidateList(ofLengths({1, 1, 1}), u"1", nullptr, false).pageSize(), 3);
    EXPECT_EQ(CandidateList({}, u"1", nullptr, false).pageSize(), 0);
}

TEST(CandidateListPaging, VerticalPagesHoldNine) {
    EXPECT_EQ(
        CandidateList(ofLengths({20, 20, 20, 20, 20, 20, 20, 20, 20, 20}), u"1", nullptr, true)
            .pageSize(),
        9);
}

TEST(CandidateListPaging, PagingForwardAndBackReturnsToTheSamePages) {
    test::RecordingHost host;
    CandidateList list(ofLengths(std::initializer_list<int>(
                           {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1})),
                       u"1", nullptr, false);
    EXPECT_EQ(list.pageSize(), 9);
    list.nextPage(host, false);
    EXPECT_EQ(list.first(), 9);
    EXPECT_EQ(list.pageSize(), 9);
    list.nextPage(host, false);
    EXPECT_EQ(list.first(), 18);
    EXPECT_EQ(list.pageSize(), 2);
    EXPECT_EQ(host.candidateInvalidations, 2);
    list.previousPage(host);
    EXPECT_EQ(list.first(), 9);
    EXPECT_EQ(list.pageSize(), 9);
    EXPECT_TRUE(host.infos.empty());
    EXPECT_EQ(host.beeps, 0);
}

TEST(CandidateListPaging, EndsAreRefusedWithABeepAndAMessage) {
    test::RecordingHost host;
    CandidateList list(ofLengths({1, 1}), u"1", nullptr, false);
    list.nextPage(host, false);
    EXPECT_EQ(list.first(), 0);
    EXPECT_EQ(host.infos.back(), u"已至最后页！");
    list.previousPage(host);
    EXPECT_EQ(host.infos.back(), u"已至最前页！");
    EXPECT_EQ(host.beeps, 2);
    EXPECT_EQ(host.infoTimes, (std::vector<unsigned>{9000, 9000}));
}

TEST(CandidateListItems, ItemTextIsEmptyBeyondThePage) {
    CandidateList list({u"中", u"国"}, u"1", nullptr, false);
    EXPECT_EQ(list.itemText(1), u"国");
    EXPECT_EQ(list.itemText(2), u"");
    EXPECT_EQ(list.itemText(-1), u"");
    list.clear();
    EXPECT_EQ(list.totalCount(), 0);
    EXPECT_EQ(list.itemText(0), u"");
}

TEST(CandidateListItems, TheVeryFirstCandidateIsNeverPromoted) {
    RecordingPromoter table;
    test::RecordingHost host;
    CandidateList list(ofLengths({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}), u"23", &table, false);
    list.markSelected(0);
    EXPECT_TRUE(table.promoted.empty());
    list.markSelected(2);
    ASSERT_EQ(table.promoted.size(), 1u);
    EXPECT_EQ(table.promoted[0].first, u"23");
    list.nextPage(host, false);
    list.markSelected(0); // first of page 2 is not the very first
    EXPECT_EQ(table.promoted.size(), 2u);
    CandidateList({u"中", u"国"}, u"1", nullptr, false).markSelected(1); // no table: nothing
}

} // namespace
} // namespace tovi
