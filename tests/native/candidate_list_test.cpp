#include "tables/candidate_list.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

std::vector<std::u16string> ofLengths(std::initializer_list<int> lengths) {
    std::vector<std::u16string> items;
    for (const int n : lengths)
        items.emplace_back(static_cast<std::size_t>(n), u'字');
    return items;
}

TEST(CandidateListPaging, HorizontalPagesStopBeforeTheRowOverflows) {
    EXPECT_EQ(CandidateList(ofLengths({1, 10, 10, 10}), u"1", false).pageSize(), 3);
    EXPECT_EQ(CandidateList(ofLengths({20, 20, 20}), u"1", false).pageSize(), 1);
    EXPECT_EQ(CandidateList(ofLengths({1, 1, 1}), u"1", false).pageSize(), 3);
    // A row holds 23 units: 13 + 10 fit, 13 + 11 do not.
    EXPECT_EQ(CandidateList(ofLengths({13, 10, 5}), u"1", false).pageSize(), 2);
    EXPECT_EQ(CandidateList(ofLengths({13, 11}), u"1", false).pageSize(), 1);
    EXPECT_EQ(CandidateList({}, u"1", false).pageSize(), 0);
}

TEST(CandidateListPaging, VerticalPagesHoldNine) {
    EXPECT_EQ(
        CandidateList(ofLengths({20, 20, 20, 20, 20, 20, 20, 20, 20, 20}), u"1", true).pageSize(),
        9);
}

TEST(CandidateListPaging, PagingForwardAndBackReturnsToTheSamePages) {
    CandidateList list(ofLengths(std::initializer_list<int>(
                           {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1})),
                       u"1", false);
    EXPECT_EQ(list.pageSize(), 9);
    EXPECT_TRUE(list.nextPage(false));
    EXPECT_EQ(list.first(), 9);
    EXPECT_EQ(list.pageSize(), 9);
    EXPECT_TRUE(list.nextPage(false));
    EXPECT_EQ(list.first(), 18);
    EXPECT_EQ(list.pageSize(), 2);
    EXPECT_TRUE(list.previousPage());
    EXPECT_EQ(list.first(), 9);
    EXPECT_EQ(list.pageSize(), 9);
}

TEST(CandidateListPaging, EndsAreRefusedAndThePageStays) {
    CandidateList list(ofLengths({1, 1}), u"1", false);
    EXPECT_FALSE(list.nextPage(false));
    EXPECT_FALSE(list.previousPage());
    EXPECT_EQ(list.first(), 0);
    EXPECT_EQ(list.pageSize(), 2);
}

TEST(CandidateListItems, ItemTextIsEmptyBeyondThePage) {
    CandidateList list({u"中", u"国"}, u"1", false);
    EXPECT_EQ(list.itemText(1), u"国");
    EXPECT_EQ(list.itemText(2), u"");
    EXPECT_EQ(list.itemText(-1), u"");
    list.clear();
    EXPECT_EQ(list.totalCount(), 0);
    EXPECT_EQ(list.itemText(0), u"");
}

} // namespace
} // namespace tovi
