// 32-bit and 64-bit processes typing at once over one table, as on a 64-bit Windows where 64-bit
// programs load System32\tovi.ime and 32-bit ones SysWOW64\tovi.ime: every edit made in a process
// of one architecture is typed by a process of the other at its next key, whichever started first
// and whichever ended, because both modules describe the shared pools in one named object.
#include "typist.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tovi {
namespace {

using wintest::Typist;

#ifndef TOVI_WIN32_TYPIST
#define TOVI_WIN32_TYPIST L""
#endif

enum class Bits { B32, B64 };

const wchar_t* label(Bits bits) {
    return bits == Bits::B32 ? L"32" : L"64";
}

class MixedBitness : public ::testing::Test {
protected:
    void SetUp() override {
        // The 32-bit tree is built before the tests run: a missing typist is a failure.
        ASSERT_NE(GetFileAttributesW(TOVI_WIN32_TYPIST), INVALID_FILE_ATTRIBUTES)
            << "no 32-bit typist at " << testing::PrintToString(std::wstring(TOVI_WIN32_TYPIST))
            << ": build the 32-bit tree (TOVI_WIN32_TREE) first";
        wintest::writeTypistFolder(scratch.path());
    }

    // A loaded typist of `bits`, its table ready.
    std::unique_ptr<Typist> start(Bits bits) {
        auto typist = std::make_unique<Typist>(bits == Bits::B32 ? std::wstring(TOVI_WIN32_TYPIST)
                                                                 : wintest::typistBesideMe());
        EXPECT_EQ(typist->failure(), L"");
        EXPECT_EQ(typist->ask(L"bits"), label(bits));
        EXPECT_EQ(typist->ask(L"load"), L"ok");
        return typist;
    }

    wintest::ScratchFolder scratch;
    wintest::InstallPathValue installPath{scratch.path()};
};

Bits other(Bits bits) {
    return bits == Bits::B32 ? Bits::B64 : Bits::B32;
}

// The parameter is the architecture of the process that starts first.
class MixedBitnessInBothOrders : public MixedBitness, public ::testing::WithParamInterface<Bits> {};

TEST_P(MixedBitnessInBothOrders, EveryEditInOneArchitectureIsTypedByTheOtherAtItsNextKey) {
    const auto first = start(GetParam());
    const auto second = start(other(GetParam()));
    ASSERT_EQ(first->ask(L"type 12"), L"中");
    ASSERT_EQ(second->ask(L"type 12"), L"中");

    // A promotion with Ctrl and a keypad digit, then an added and a deleted word, each way.
    EXPECT_EQ(first->ask(L"promote 12 3"), L"种子们");
    EXPECT_EQ(second->ask(L"type 12"), L"种子们");
    EXPECT_EQ(second->ask(L"promote 12 3"), L"钟表");
    EXPECT_EQ(first->ask(L"type 12"), L"钟表");

    EXPECT_EQ(first->ask(L"add 14 文"), L"ok");
    EXPECT_EQ(first->ask(L"delete 13 人"), L"ok");
    EXPECT_EQ(second->ask(L"type 14"), L"文");
    EXPECT_EQ(second->ask(L"type 13"), L"入口");
    EXPECT_EQ(second->ask(L"add 15 字"), L"ok");
    EXPECT_EQ(second->ask(L"delete 14 文"), L"ok");
    EXPECT_EQ(first->ask(L"type 15"), L"字");
    EXPECT_EQ(first->ask(L"type 14"), L"-");
    EXPECT_EQ(first->ask(L"type 12"), L"钟表");

    EXPECT_TRUE(first->quit());
    EXPECT_TRUE(second->quit());
}

// The parameter is the architecture of the process that holds the pools while every process of
// the other architecture ends and others come back.
TEST_P(MixedBitnessInBothOrders, OneArchitectureEndsAndComesBackWhileTheOtherHoldsThePools) {
    const Bits holding = GetParam();
    const auto holder = start(holding);
    ASSERT_EQ(holder->ask(L"type 12"), L"中");
    {
        const auto one = start(other(holding));
        const auto two = start(other(holding));
        EXPECT_EQ(one->ask(L"promote 12 2"), L"钟表");
        EXPECT_EQ(two->ask(L"add 14 文"), L"ok");
        EXPECT_EQ(two->ask(L"type 12"), L"钟表");
        EXPECT_TRUE(one->quit());
        EXPECT_TRUE(two->quit());
    }
    EXPECT_EQ(holder->ask(L"type 12"), L"钟表");
    EXPECT_EQ(holder->ask(L"type 14"), L"文");

    const auto back = start(other(holding));
    EXPECT_EQ(back->ask(L"type 12"), L"钟表");
    EXPECT_EQ(back->ask(L"type 14"), L"文");
    EXPECT_EQ(back->ask(L"delete 14 文"), L"ok");
    EXPECT_EQ(holder->ask(L"type 14"), L"-");
    EXPECT_EQ(holder->ask(L"promote 12 2"), L"中");
    EXPECT_EQ(back->ask(L"type 12"), L"中");
    EXPECT_TRUE(back->quit());
    EXPECT_TRUE(holder->quit());
}

INSTANTIATE_TEST_SUITE_P(FirstOrHolding, MixedBitnessInBothOrders,
                         ::testing::Values(Bits::B64, Bits::B32),
                         [](const ::testing::TestParamInfo<Bits>& info) {
                             return info.param == Bits::B32 ? "Bits32" : "Bits64";
                         });

// As reported: after two 32-bit processes typed and saved, a 64-bit and a 32-bit process start
// and neither typed.
TEST_F(MixedBitness, AfterTwo32BitProcessesSavedA64BitAndA32BitProcessStartAndBothType) {
    const auto one = start(Bits::B32);
    const auto two = start(Bits::B32);
    ASSERT_EQ(one->ask(L"type 12"), L"中");
    ASSERT_EQ(two->ask(L"type 12"), L"中");
    EXPECT_EQ(one->ask(L"promote 12 3"), L"种子们");
    EXPECT_EQ(two->ask(L"promote 12 3"), L"钟表");
    EXPECT_EQ(two->ask(L"add 14 文"), L"ok");

    const auto wide = start(Bits::B64);
    const auto narrow = start(Bits::B32);
    for (Typist* typist : {wide.get(), narrow.get(), one.get(), two.get()}) {
        EXPECT_EQ(typist->ask(L"type 12"), L"钟表");
        EXPECT_EQ(typist->ask(L"type 14"), L"文");
        EXPECT_EQ(typist->ask(L"type 13"), L"人");
    }
    for (Typist* typist : {one.get(), two.get(), wide.get(), narrow.get()})
        EXPECT_TRUE(typist->quit());
}

// The same after the savers ended: the two newcomers meet only the file and whatever the ended
// processes left in the shared objects.
TEST_F(MixedBitness, AfterTwo32BitProcessesSavedAndEndedA64BitAndA32BitProcessStartAndBothType) {
    {
        const auto one = start(Bits::B32);
        const auto two = start(Bits::B32);
        EXPECT_EQ(one->ask(L"promote 12 3"), L"种子们");
        EXPECT_EQ(two->ask(L"add 14 文"), L"ok");
        EXPECT_TRUE(one->quit());
        EXPECT_TRUE(two->quit());
    }
    const auto wide = start(Bits::B64);
    const auto narrow = start(Bits::B32);
    for (Typist* typist : {wide.get(), narrow.get()}) {
        EXPECT_EQ(typist->ask(L"type 12"), L"种子们");
        EXPECT_EQ(typist->ask(L"type 14"), L"文");
    }
    EXPECT_EQ(narrow->ask(L"promote 12 2"), L"中");
    EXPECT_EQ(wide->ask(L"type 12"), L"中");
    EXPECT_TRUE(wide->quit());
    EXPECT_TRUE(narrow->quit());
}

} // namespace
} // namespace tovi
