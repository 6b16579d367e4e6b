// The IME message numbers the engine sends, as the system defines them.
#pragma once

#include <cstdint>

namespace tovi::msg {

inline constexpr std::uint32_t ImeStartComposition = 0x10D;
inline constexpr std::uint32_t ImeEndComposition = 0x10E;
inline constexpr std::uint32_t ImeComposition = 0x10F;
inline constexpr std::intptr_t GcsResultStr = 0x800;

} // namespace tovi::msg
