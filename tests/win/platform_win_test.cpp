// The platform layer's Windows side, run for real under Wine.
#include "platform/char_conversions.h"
#include "platform/code_page.h"
#include "platform/file_io.h"
#include "platform/install_folder.h"
#include "platform/shared_memory.h"
#include "platform/shared_section.h"
#include "platform/win32_handle.h"
#include "tables/ime_settings.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

namespace tovi {
namespace {

using wintest::InstallPathValue;
using wintest::ScratchFolder;

std::u16string u16(const std::wstring& w) {
    return std::u16string(w.begin(), w.end());
}

TEST(WinCodePage, UsesCodePage936WhateverTheSystemCodePage) {
    EXPECT_EQ(platform::utf16ToGbk(u"中国 ab1"), std::string("\xD6\xD0\xB9\xFA ab1"));
    EXPECT_EQ(platform::gbkToUtf16("\xD6\xD0\xB9\xFA ab1"), std::u16string(u"中国 ab1"));
    EXPECT_EQ(platform::gbkToUtf16("\xD6"), std::nullopt);
    EXPECT_EQ(platform::utf16ToGbk(u"\U0001F600"), std::nullopt);
    std::array<char, 3> small{'x', 'x', 'x'};
    EXPECT_EQ(platform::utf16ToGbk(u"中国", std::span(small).first(2)), std::nullopt);
    EXPECT_EQ(small[2], 'x');
}

TEST(WinInstallFolder, ReadsTheRegistryValueAtEveryCall) {
    wintest::removeInstallPathKey();
    EXPECT_EQ(platform::installPath(), u"");
    EXPECT_EQ(platform::installFilePath(u"config.ini"), u"\\config.ini");
    {
        InstallPathValue value(L"C:\\IME");
        EXPECT_EQ(platform::installFilePath(u"config.ini"), u"C:\\IME\\config.ini");
    }
    EXPECT_EQ(platform::installPath(), u"");
    InstallPathValue chinese(L"D:\\输入法");
    EXPECT_EQ(platform::installPath(), u"D:\\输入法");
}

TEST(WinInstallFolder, LongValuesAreReadWhole) {
    const std::wstring folder = L"C:\\" + std::wstring(400, L'x');
    InstallPathValue value(folder);
    EXPECT_EQ(platform::installPath(), u16(folder));
}

TEST(WinFiles, OpensWidePathsAndSettingsRoundTrip) {
    ScratchFolder scratch;
    const std::wstring folder = scratch.path();
    InstallPathValue value(folder);
    wintest::writeBytes(scratch.file(L"config.ini"), "IME_SKIN 2\r\nIME_STATUS_Y -3\r\n");
    ImeSettings settings(platform::InstallFolder::fromSystem());
    EXPECT_EQ(settings.skin, 2);
    EXPECT_EQ(settings.statusY, -3);
    settings.setScheme(Scheme::Pinyin);
    ASSERT_TRUE(settings.saveSettings());
    // Into the user's folder; the installed file stays as it was.
    EXPECT_EQ(wintest::readBytes(scratch.userFile(L"config.ini")),
              "IME_SETTINGS 193\r\nIME_SKIN 2\r\nIME_STATUS_X 10\r\nIME_STATUS_Y -3\r\n");
    EXPECT_EQ(wintest::readBytes(scratch.file(L"config.ini")), "IME_SKIN 2\r\nIME_STATUS_Y -3\r\n");

    // A file open for writing elsewhere can still be read, as the data files are shared.
    const auto writer = platform::openFile(u16(scratch.file(L"文件.txt")), "wb");
    ASSERT_TRUE(writer);
    EXPECT_TRUE(platform::openFile(u16(scratch.file(L"文件.txt")), "rb"));
}

TEST(WinFiles, ReadsWholeFilesUpToTheLimitWhileOthersWrite) {
    ScratchFolder scratch;
    const std::u16string path = u16(scratch.file(L"码表.mb"));
    std::string bytes(70000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    wintest::writeBytes(scratch.file(L"码表.mb"), bytes);
    EXPECT_EQ(platform::readWholeFile(path, bytes.size() + 1), bytes);
    EXPECT_EQ(platform::readWholeFile(path, 100), bytes.substr(0, 100));
    EXPECT_EQ(platform::readWholeFile(u16(scratch.file(L"none.mb")), 100), std::nullopt);

    // Held open for writing by another handle, as a process saving a table holds it.
    const platform::UniqueHandle writer(
        CreateFileW(scratch.file(L"码表.mb").c_str(), GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    // Grown after it was opened: what was written is read too.
    ASSERT_NE(SetFilePointer(writer.get(), 0, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer.get(), "tail", 4, &written, nullptr));
    EXPECT_EQ(platform::readWholeFile(path, bytes.size() + 10), bytes + "tail");
}

TEST(WinSharedMemory, SecondOpenSeesTheFirstBlock) {
    auto first = platform::SharedMemory::openOrCreate(u"tovi-wintest-block", 65536);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->existed());
    static_cast<char*>(first->data())[65535] = 'z';
    auto second = platform::SharedMemory::openOrCreate(u"tovi-wintest-block", 65536);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->existed());
    EXPECT_EQ(static_cast<const char*>(second->data())[65535], 'z');
    EXPECT_FALSE(platform::SharedMemory::openOrCreate(u"tovi-wintest-block", 1 << 24));
}

TEST(WinSharedSection, ThreadsAskingAtOnceGetTheOneSharedMapping) {
    // Released together, so that their first calls overlap.
    const platform::UniqueHandle go(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(go);
    std::vector<platform::SharedControlSection*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (auto& slot : seen)
        threads.emplace_back([&go, &slot] {
            WaitForSingleObject(go.get(), 10000);
            slot = platform::sharedControlSection();
        });
    SetEvent(go.get());
    for (auto& thread : threads)
        thread.join();
    platform::SharedControlSection* section = platform::sharedControlSection();
    ASSERT_NE(section, nullptr);
    for (platform::SharedControlSection* s : seen)
        EXPECT_EQ(s, section);
    EXPECT_FALSE(platform::isProcessPrivate(section));
    EXPECT_EQ(section->layout, platform::kSharedControlLayout);
    EXPECT_EQ(platform::watchedSharedSection(), nullptr);
    // Another mapping of the object shows the same bytes.
    const platform::UniqueHandle mapping(
        OpenFileMappingW(FILE_MAP_READ, FALSE, L".VemoraToviImeSharedControl"));
    ASSERT_TRUE(mapping);
    const auto* other = static_cast<const volatile std::uint32_t*>(
        MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof(platform::SharedControlSection)));
    ASSERT_NE(other, nullptr);
    section->instanceCounter += 7;
    EXPECT_EQ(other[1], section->instanceCounter);
    UnmapViewOfFile(const_cast<std::uint32_t*>(other));
}

TEST(WinTraditional, ConvertsEvenWhereTheSystemCannot) {
    std::array<char16_t, 8> out{};
    const std::u16string_view source = u"简体中文";
    ASSERT_EQ(toTraditional(source, out), 4u);
    EXPECT_EQ(std::u16string(out.data()), u"簡體中文");
    EXPECT_EQ(toTraditional(u"", out), 0u);
    EXPECT_EQ(out[0], u'\0');
}

} // namespace
} // namespace tovi
