#include "code_page.h"

#include <cerrno>
#include <iconv.h>

namespace tovi::platform {
namespace {

// One conversion descriptor per call keeps the functions reentrant and free of global state.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid())
            iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Runs a whole conversion; returns bytes written or nullopt on any error (invalid input, no
// room, incomplete input).
std::optional<std::size_t> convert(const char* to, const char* from, const char* in,
                                   std::size_t inBytes, char* out, std::size_t outBytes) {
    IconvHandle cd(to, from);
    if (!cd.valid())
        return std::nullopt;
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out;
    std::size_t outLeft = outBytes;
    if (iconv(cd.get(), &inPtr, &inBytes, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
        return std::nullopt;
    if (iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
        return std::nullopt;
    return outBytes - outLeft;
}

} // namespace

std::optional<std::size_t> gbkToUtf16(std::string_view gbk, std::span<char16_t> out) {
    if (gbk.empty())
        return 0;
    const auto bytes = convert("UTF-16LE", "CP936", gbk.data(), gbk.size(),
                               reinterpret_cast<char*>(out.data()), out.size_bytes());
    if (!bytes)
        return std::nullopt;
    return *bytes / sizeof(char16_t);
}

std::optional<std::size_t> utf16ToGbk(std::u16string_view text, std::span<char> out) {
    if (text.empty())
        return 0;
    return convert("CP936", "UTF-16LE", reinterpret_cast<const char*>(text.data()),
                   text.size() * sizeof(char16_t), out.data(), out.size());
}

} // namespace tovi::platform
