// The loop both file layers use to read a whole file into memory.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>

namespace tovi::platform {

// Reads until the end of a file or `maxBytes`, with a buffer first sized to `expectedBytes` (the
// file's size when opened): growing it step by step would touch twice the memory. The file may
// still grow meanwhile, so reading goes on past that size. `readSome(destination, n)` reads at
// most n bytes and returns how many (0 at the end), or none on an error.
template <typename ReadSome>
std::optional<std::string> readToEnd(std::size_t expectedBytes, std::size_t maxBytes,
                                     ReadSome readSome) {
    std::string bytes(std::min(expectedBytes, maxBytes), '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() >= maxBytes)
                break;
            bytes.resize(std::min(maxBytes, bytes.size() + 4096));
        }
        const std::optional<std::size_t> n = readSome(bytes.data() + filled, bytes.size() - filled);
        if (!n)
            return std::nullopt;
        if (*n == 0)
            break;
        filled += *n;
    }
    bytes.resize(filled);
    return bytes;
}

} // namespace tovi::platform
