// Code page 936 conversion for many strings in a row (loading and saving a code table). It
// gives the same results as the functions of code_page.h but keeps its converter between calls.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace tovi::platform {

// One per thread: the converter keeps state between calls.
class GbkCodec {
public:
    GbkCodec();
    ~GbkCodec();
    GbkCodec(const GbkCodec&) = delete;
    GbkCodec& operator=(const GbkCodec&) = delete;

    // As gbkToUtf16(gbk, out).
    std::optional<std::size_t> decode(std::string_view gbk, std::span<char16_t> out);
    // As utf16ToGbk(text, out).
    std::optional<std::size_t> encode(std::u16string_view text, std::span<char> out);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace tovi::platform
