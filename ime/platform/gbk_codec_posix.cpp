#include "gbk_codec.h"

#include <algorithm>
#include <iconv.h>

namespace tovi::platform {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
}

bool isAscii(std::u16string_view s) {
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; });
}

// One whole conversion on a kept descriptor, reset before and flushed after.
std::optional<std::size_t> convert(iconv_t cd, const char* in, std::size_t inBytes, char* out,
                                   std::size_t outBytes) {
    if (cd == kNoConverter)
        return std::nullopt;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out;
    std::size_t outLeft = outBytes;
    if (iconv(cd, &inPtr, &inBytes, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        return std::nullopt;
    }
    return outBytes - outLeft;
}

} // namespace

struct GbkCodec::State {
    iconv_t toUtf16 = iconv_open("UTF-16LE", "CP936");
    iconv_t toGbk = iconv_open("CP936", "UTF-16LE");
    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        if (toUtf16 != kNoConverter)
            iconv_close(toUtf16);
        if (toGbk != kNoConverter)
            iconv_close(toGbk);
    }
};

GbkCodec::GbkCodec() : state_(std::make_unique<State>()) {}
GbkCodec::~GbkCodec() = default;

std::optional<std::size_t> GbkCodec::decode(std::string_view gbk, std::span<char16_t> out) {
    if (gbk.empty())
        return 0;
    // Code page 936 keeps ASCII as it is; codes are nothing else.
    if (isAscii(gbk)) {
        if (gbk.size() > out.size())
            return std::nullopt;
        std::copy(gbk.begin(), gbk.end(), out.begin());
        return gbk.size();
    }
    const auto bytes = convert(state_->toUtf16, gbk.data(), gbk.size(),
                               reinterpret_cast<char*>(out.data()), out.size_bytes());
    if (!bytes)
        return std::nullopt;
    return *bytes / sizeof(char16_t);
}

std::optional<std::size_t> GbkCodec::encode(std::u16string_view text, std::span<char> out) {
    if (text.empty())
        return 0;
    if (isAscii(text)) {
        if (text.size() > out.size())
            return std::nullopt;
        std::copy(text.begin(), text.end(), out.begin());
        return text.size();
    }
    return convert(state_->toGbk, reinterpret_cast<const char*>(text.data()),
                   text.size() * sizeof(char16_t), out.data(), out.size());
}

} // namespace tovi::platform
