// Processes that may read but not write what the others share: a process below the integrity of
// the shared objects' creator gets no write access to them, as named objects get the default
// protection. It must still type, from code tables of its own, follow the others' saves where it
// can read them, and write nothing they read. Wine enforces the access lists of named objects, so
// the tests make the shared objects themselves with a list that lets other processes only read.
#include "platform/shared_section.h"
#include "platform/win32_handle.h"
#include "tables/code_table.h"
#include "tables/code_table_control.h"
#include "tables/code_table_file.h"
#include "typist.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <algorithm>
#include <atomic>

namespace tovi {
namespace {

using wintest::Typist;

constexpr wchar_t kControlName[] = L".VemoraToviImeSharedControl";

// A named file mapping this test creates, mapped read-write through the creator's handle.
class CreatedMapping {
public:
    // `othersMayOnlyRead`: every other opener gets read access only.
    CreatedMapping(const std::wstring& name, std::size_t size, bool othersMayOnlyRead) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (othersMayOnlyRead && !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                     L"D:P(A;;GR;;;WD)", SDDL_REVISION_1, &descriptor, nullptr))
            return;
        SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
        handle_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, descriptor ? &attributes : nullptr,
                                         PAGE_READWRITE, 0, static_cast<DWORD>(size),
                                         name.c_str()));
        existed_ = GetLastError() == ERROR_ALREADY_EXISTS;
        if (descriptor)
            LocalFree(descriptor);
        if (handle_)
            view_ = MapViewOfFile(handle_.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, size);
    }
    ~CreatedMapping() {
        if (view_)
            UnmapViewOfFile(view_);
    }
    CreatedMapping(const CreatedMapping&) = delete;
    CreatedMapping& operator=(const CreatedMapping&) = delete;

    // Made by this test just now, and mapped.
    bool made() const { return view_ && !existed_; }
    void* view() const { return view_; }

private:
    platform::UniqueHandle handle_;
    void* view_ = nullptr;
    bool existed_ = false;
};

class Silent final : public CodeTableReporter {
public:
    void messageBox(std::u16string_view, std::u16string_view, Style) override { ++boxes; }
    int boxes = 0;
};

class RestrictedSharing : public ::testing::Test {
protected:
    void SetUp() override { wintest::writeTypistFolder(scratch.path()); }

    CodeTableOptions keypadOptions() const {
        CodeTableOptions options;
        options.scheme = Scheme::Keypad;
        options.folder = platform::InstallFolder::fromSystem();
        options.instanceNumber = 1;
        return options;
    }

    wintest::ScratchFolder scratch;
    wintest::InstallPathValue installPath{scratch.path()};
    Silent reporter;
};

TEST_F(RestrictedSharing, AProcessThatMayOnlyReadTheControlObjectTypesAndFollowsTheOthersSaves) {
    CreatedMapping control(kControlName, sizeof(platform::SharedControlSection), true);
    ASSERT_TRUE(control.made());
    auto* section = static_cast<platform::SharedControlSection*>(control.view());
    ASSERT_TRUE(platform::adoptLayout(*section));
    // This process writes through the object it made: its table shares the pools.
    CodeTable table(keypadOptions(), reporter, section);
    table.load();
    ASSERT_TRUE(table.loaded());
    ASSERT_FALSE(table.ownPools());

    Typist typist(wintest::typistBesideMe());
    ASSERT_EQ(typist.ask(L"shares"), L"0");
    ASSERT_EQ(typist.ask(L"load"), L"ok");
    EXPECT_EQ(typist.ask(L"type 12"), L"中");
    table.promote(u"12", u"种子们");
    EXPECT_EQ(typist.ask(L"type 12"), L"种子们");

    // Its own promotion reaches the file and its own table, and nothing that this process reads.
    const CodeTableSchemeControl& shared = codeTableControl(*section).schemes[0];
    const std::uint32_t generation = shared.generation;
    EXPECT_EQ(typist.ask(L"promote 12 3"), L"钟表");
    EXPECT_EQ(typist.ask(L"type 12"), L"钟表");
    EXPECT_EQ(typist.ask(L"type 13"), L"人");
    EXPECT_EQ(shared.generation, generation);
    EXPECT_EQ(section->instanceCounter, 0u);
    EXPECT_TRUE(typist.quit());
    EXPECT_EQ(reporter.boxes, 0);
}

TEST_F(RestrictedSharing, AProcessThatMayOnlyReadThePoolsTypesFromPoolsOfItsOwn) {
    CreatedMapping control(kControlName, sizeof(platform::SharedControlSection), false);
    ASSERT_TRUE(control.made());
    auto* section = static_cast<platform::SharedControlSection*>(control.view());
    ASSERT_TRUE(platform::adoptLayout(*section));
    const auto names = codeTableNames(Scheme::Keypad);
    CreatedMapping codePool(std::wstring(names->codePool.begin(), names->codePool.end()),
                            kCodeTablePoolBytes, true);
    ASSERT_TRUE(codePool.made());

    Typist typist(wintest::typistBesideMe());
    ASSERT_EQ(typist.ask(L"shares"), L"1");
    ASSERT_EQ(typist.ask(L"load"), L"ok");
    EXPECT_EQ(typist.ask(L"type 12"), L"中");
    const auto* units = static_cast<const char16_t*>(codePool.view());
    EXPECT_TRUE(std::all_of(units, units + 4096, [](char16_t u) { return u == 0; }));

    // Another process's save, as the control object shows it: a new file, the pools stale and
    // the generation moved on.
    CodeTableData reordered(CodeTableLayout::Digits);
    for (const auto& [code, word] : {std::pair{u"12", u"钟表"},
                                     {u"12", u"中"},
                                     {u"12", u"种子们"},
                                     {u"13", u"人"},
                                     {u"13", u"入口"},
                                     {u"9", u"九"}})
        reordered.append(code, word);
    wintest::writeBytes(scratch.file(L"toviwb.mb"), writeCodeTable(reordered));
    CodeTableSchemeControl& shared = codeTableControl(*section).schemes[0];
    shared.stale = 1;
    std::atomic_ref<std::uint32_t>(shared.generation).fetch_add(1);
    EXPECT_EQ(typist.ask(L"type 12"), L"钟表");
    EXPECT_TRUE(typist.quit());
}

TEST_F(RestrictedSharing, AControlObjectOfAnotherLayoutIsLeftAloneAndTheProcessStillTypes) {
    CreatedMapping control(kControlName, sizeof(platform::SharedControlSection), false);
    ASSERT_TRUE(control.made());
    auto* section = static_cast<platform::SharedControlSection*>(control.view());
    section->layout = platform::kSharedControlLayout + 1;

    Typist typist(wintest::typistBesideMe());
    ASSERT_EQ(typist.ask(L"shares"), L"0");
    ASSERT_EQ(typist.ask(L"load"), L"ok");
    EXPECT_EQ(typist.ask(L"type 12"), L"中");
    EXPECT_EQ(typist.ask(L"promote 12 2"), L"钟表");
    EXPECT_EQ(typist.ask(L"type 12"), L"钟表");
    EXPECT_TRUE(typist.quit());
    const auto* bytes = reinterpret_cast<const unsigned char*>(section);
    EXPECT_TRUE(std::all_of(bytes + 4, bytes + sizeof(platform::SharedControlSection),
                            [](unsigned char b) { return b == 0; }));
}

} // namespace
} // namespace tovi
