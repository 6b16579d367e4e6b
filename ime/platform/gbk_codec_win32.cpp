#include "gbk_codec.h"

#include "code_page.h"

namespace tovi::platform {

// MultiByteToWideChar keeps no per-call set-up worth saving.
struct GbkCodec::State {};

GbkCodec::GbkCodec() = default;
GbkCodec::~GbkCodec() = default;

std::optional<std::size_t> GbkCodec::decode(std::string_view gbk, std::span<char16_t> out) {
    return gbkToUtf16(gbk, out);
}

std::optional<std::size_t> GbkCodec::encode(std::u16string_view text, std::span<char> out) {
    return utf16ToGbk(text, out);
}

} // namespace tovi::platform
