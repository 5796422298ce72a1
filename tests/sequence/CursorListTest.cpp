#include "CursorList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

namespace {

using List = CursorList<std::int8_t>;

List ListOf(std::initializer_list<std::int8_t> values) {
    List list;
    for (const std::int8_t value : values) {
        list.Add();
        list.Current() = value;
    }
    return list;
}

TEST(CursorList, EmptyListWalkReportsFalseAndStaysNowhere) {
    List list;
    list.Reset();
    EXPECT_FALSE(list.Next());
    EXPECT_EQ(list.Index(), -1);
    EXPECT_EQ(list.Size(), 0u);
}

TEST(CursorList, WalkVisitsEveryElementAndStopsOnTheLast) {
    List list = ListOf({4, 5, 6});
    list.Reset();
    std::vector<int> seen;
    while (list.Next()) {
        seen.push_back(list.Current());
    }
    EXPECT_EQ(seen, (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(list.Index(), 2);
    EXPECT_EQ(list.Current(), 6);
    EXPECT_FALSE(list.Next());
    EXPECT_EQ(list.Index(), 2);
}

TEST(CursorList, SelectInsideAndOutsideTheList) {
    List list;
    for (int i = 0; i < 14; ++i) {
        list.Add();
        list.Current() = static_cast<std::int8_t>(i * 2);
    }
    struct Case {
        std::ptrdiff_t position;
        bool found;
        std::ptrdiff_t index;
    };
    for (const Case& c : {Case{13, true, 13}, Case{0, true, 0}, Case{14, false, -1},
                          Case{-1, false, -1}, Case{1000, false, -1}}) {
        list.Select(5);
        EXPECT_EQ(list.Select(c.position), c.found) << c.position;
        EXPECT_EQ(list.Index(), c.index) << c.position;
    }
    ASSERT_TRUE(list.Select(13));
    EXPECT_EQ(list.Current(), 26);
}

TEST(CursorList, AddAfterClearStartsAtZeroAndAppendsInOrder) {
    List list = ListOf({9, 9});
    list.Clear();
    EXPECT_EQ(list.Index(), -1);
    list.Add();
    EXPECT_EQ(list.Size(), 1u);
    EXPECT_EQ(list.Current(), 0);
    list.Current() = 1;
    list.Add();
    list.Current() = 2;
    list.Add();
    EXPECT_EQ(list.Index(), 2);
    EXPECT_EQ(std::vector<std::int8_t>(list.Elements().begin(), list.Elements().end()),
              (std::vector<std::int8_t>{1, 2, 0}));
}

TEST(CursorList, AddInsertsAfterTheCursorOrAtTheFront) {
    List list = ListOf({1, 2, 3});
    list.Select(0);
    list.Add();
    list.Current() = 7;
    EXPECT_EQ(list.Index(), 1);
    list.Reset();
    list.Add();
    list.Current() = 8;
    EXPECT_EQ(list.Index(), 0);
    EXPECT_EQ(std::vector<std::int8_t>(list.Elements().begin(), list.Elements().end()),
              (std::vector<std::int8_t>{8, 1, 7, 2, 3}));
}

TEST(CursorList, CurrentWithTheCursorNowhereIsRefused) {
    List list = ListOf({1});
    list.Reset();
    EXPECT_THROW(list.Current(), std::logic_error);
    list.Select(5);
    EXPECT_THROW(list.Current() = 3, std::logic_error);
    list.Clear();
    EXPECT_THROW(list.Current(), std::logic_error);
    EXPECT_EQ(list.Size(), 0u);
}

TEST(CursorList, AppendRangeMatchesAddingOneByOne) {
    const std::int8_t values[] = {3, 0, 11};
    List bulk = ListOf({1});
    bulk.AppendRange(values);
    List single = ListOf({1, 3, 0, 11});
    EXPECT_EQ(bulk, single);
    EXPECT_EQ(bulk.Index(), 3);
}

TEST(CursorList, MillionsOfStepsCostOneByteEach) {
    List list;
    for (int i = 0; i < 3'000'000; ++i) {
        list.Add();
        list.Current() = static_cast<std::int8_t>(i % 14);
    }
    EXPECT_EQ(list.Size(), 3'000'000u);
    EXPECT_EQ(sizeof(decltype(list.Elements())::element_type), 1u);
    // Contiguous: the last element sits exactly Size() - 1 bytes after the first.
    EXPECT_EQ(&list.Elements().back() - &list.Elements().front(), 2'999'999);
}

} // namespace
