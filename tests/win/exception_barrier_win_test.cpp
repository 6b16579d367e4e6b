// No exception leaves the module: an allocation that fails inside a key, in the real exports
// with a real IMM32 context, gives the export's failure value, and the next keys type as before;
// one that fails inside the background table load stays on the loading thread, and typing
// resumes once memory is back. This program replaces the global allocator so that a test can
// make allocations fail.
#include "boundary/exports.h"
#include "boundary/process_host.h"
#include "tables/code_table_file.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <string>

namespace {
std::atomic<bool> gFailAllocations{false};
// Large allocations fail on every thread but the one that started the program, as in a host
// whose address space is too fragmented for a large table: the input thread goes on.
std::atomic<bool> gFailLargeBackgroundAllocations{false};
constexpr std::size_t kLargeAllocation = 16 * 1024;
const DWORD gMainThread = GetCurrentThreadId();
std::atomic<int> gFailedAllocations{0};

bool failsNow(std::size_t size) {
    return gFailAllocations.load() ||
           (gFailLargeBackgroundAllocations.load() && size >= kLargeAllocation &&
            GetCurrentThreadId() != gMainThread);
}
} // namespace

void* operator new(std::size_t size) {
    if (failsNow(size)) {
        ++gFailedAllocations;
        throw std::bad_alloc();
    }
    if (void* p = HeapAlloc(GetProcessHeap(), 0, size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}
void operator delete(void* p, std::size_t) noexcept {
    ::operator delete(p);
}

namespace tovi {
namespace {

// Every allocation fails while one of these lives.
class FailingAllocations {
public:
    FailingAllocations() { gFailAllocations = true; }
    ~FailingAllocations() { gFailAllocations = false; }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
};

// Large allocations of the loading thread fail while one of these lives.
class FailingLargeBackgroundAllocations {
public:
    FailingLargeBackgroundAllocations() { gFailLargeBackgroundAllocations = true; }
    ~FailingLargeBackgroundAllocations() { gFailLargeBackgroundAllocations = false; }
    FailingLargeBackgroundAllocations(const FailingLargeBackgroundAllocations&) = delete;
    FailingLargeBackgroundAllocations& operator=(const FailingLargeBackgroundAllocations&) = delete;
};

class ExceptionBarrier : public ::testing::Test {
protected:
    void SetUp() override {
        CodeTableData keypad(CodeTableLayout::Digits);
        keypad.append(u"12", u"中");
        keypad.append(u"1234", u"中国");
        wintest::writeBytes(scratch.file(L"toviwb.mb"), writeCodeTable(keypad));
        gFailedAllocations = 0;
        InitGlobals(GetModuleHandleW(nullptr));
        himc = ImmCreateContext();
        ASSERT_NE(himc, nullptr);
    }
    void TearDown() override {
        ImmDestroyContext(himc);
        if (Module* module = processHost() ? processHost()->builtModule() : nullptr)
            module->codeTableLoader().waitIdle();
        FreeGlobals();
    }
    // Builds the module, selects the context and waits for the table.
    void ready() {
        ASSERT_TRUE(ImeSelect(himc, TRUE));
        Module* module = modulePtr();
        ASSERT_NE(module, nullptr);
        module->codeTableLoader().waitIdle();
    }
    // A keypad digit as IMM32 hands it over: ImeProcessKey, then ImeToAsciiEx when claimed.
    // Returns the number of messages the list received, or -1 when the key was not claimed.
    int keypad(int digit) {
        const UINT key = VK_NUMPAD0 + static_cast<UINT>(digit);
        BYTE keys[256] = {};
        keys[key] = 0x80;
        if (!ImeProcessKey(himc, key, 1, keys))
            return -1;
        struct {
            TRANSMSGLIST list;
            TRANSMSG more[15];
        } buffer{};
        buffer.list.uMsgCount = 16;
        const UINT packed = key | (static_cast<UINT>(u'0' + digit) << 16);
        return static_cast<int>(ImeToAsciiEx(packed, 0x52, keys, &buffer.list, 0, himc));
    }
    std::wstring resultString() const { return wintest::resultString(himc); }
    // A keypad table large enough that loading it needs large allocations: "12" and "1234" with
    // 3125 six-digit codes of "3" and the digits 1 to 5 around them.
    void writeLargeKeypadTable() {
        CodeTableData keypad(CodeTableLayout::Digits);
        keypad.append(u"12", u"中");
        keypad.append(u"1234", u"中国");
        for (int n = 0; n < 3125; ++n) {
            std::u16string code = u"3";
            for (int k = n, digit = 0; digit < 5; ++digit, k /= 5)
                code += static_cast<char16_t>(u'1' + k % 5);
            keypad.append(code, u"国");
        }
        wintest::writeBytes(scratch.file(L"toviwb.mb"), writeCodeTable(keypad));
    }

    wintest::ScratchFolder scratch;
    wintest::InstallPathValue installPath{scratch.path()};
    HIMC himc = nullptr;
};

TEST_F(ExceptionBarrier, AFailedAllocationInAKeyReturnsNothingAndTypingGoesOn) {
    ready();
    int messages = 0;
    {
        const FailingAllocations failing;
        messages = keypad(1);
    }
    EXPECT_GT(gFailedAllocations.load(), 0); // the key did try to allocate
    EXPECT_EQ(messages, 0);
    EXPECT_EQ(modulePtr()->engine()->GetCode(), u""); // the half-typed key left nothing behind

    EXPECT_GT(keypad(1), 0);
    EXPECT_GT(keypad(2), 0);
    EXPECT_GT(keypad(0), 0);
    EXPECT_EQ(resultString(), L"中");
}

TEST_F(ExceptionBarrier, AModuleThatCannotBeBuiltLeavesKeysToTheApplicationUntilItCan) {
    {
        const FailingAllocations failing;
        EXPECT_EQ(keypad(1), -1); // building the module failed: the key is the application's
    }
    EXPECT_GT(gFailedAllocations.load(), 0);
    EXPECT_EQ(processHost()->builtModule(), nullptr);
    ready(); // the next use builds it
    EXPECT_GT(keypad(1), 0);
    EXPECT_GT(keypad(2), 0);
    EXPECT_GT(keypad(0), 0);
    EXPECT_EQ(resultString(), L"中");
}

TEST_F(ExceptionBarrier, ATableLoadShortOfMemoryLeavesTheHostTypingOnceMemoryIsBack) {
    writeLargeKeypadTable();
    {
        const FailingLargeBackgroundAllocations failing;
        ready(); // the module is built; its table load runs out of memory on its thread
        EXPECT_GT(gFailedAllocations.load(), 0);
        Module* module = modulePtr();
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(module->codeTableLoader().table(), nullptr); // this use loads again, and fails
        module->codeTableLoader().waitIdle();
        // The module takes keys and types nothing.
        keypad(1);
        keypad(2);
        keypad(0);
        EXPECT_EQ(resultString(), L"");
        module->codeTableLoader().waitIdle();
        module->resetInput();
    }
    const int failed = gFailedAllocations.load();
    EXPECT_GT(keypad(1), 0); // memory is back: this key's lookup loads the table again
    modulePtr()->codeTableLoader().waitIdle();
    EXPECT_GT(keypad(2), 0);
    EXPECT_GT(keypad(0), 0);
    EXPECT_EQ(resultString(), L"中");
    EXPECT_EQ(gFailedAllocations.load(), failed);
}

} // namespace
} // namespace tovi
