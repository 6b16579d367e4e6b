// Virtual-key codes the engine reads, with the values the system gives them.
#pragma once

namespace tovi::vk {

inline constexpr unsigned Back = 0x08;
inline constexpr unsigned Return = 0x0D;
inline constexpr unsigned Shift = 0x10;
inline constexpr unsigned Control = 0x11;
inline constexpr unsigned Menu = 0x12;
inline constexpr unsigned Capital = 0x14;
inline constexpr unsigned Escape = 0x1B;
inline constexpr unsigned Space = 0x20;
inline constexpr unsigned Prior = 0x21;
inline constexpr unsigned Next = 0x22;
inline constexpr unsigned End = 0x23;
inline constexpr unsigned Home = 0x24;
inline constexpr unsigned Left = 0x25;
inline constexpr unsigned Up = 0x26;
inline constexpr unsigned Right = 0x27;
inline constexpr unsigned Down = 0x28;
inline constexpr unsigned Delete = 0x2E;
inline constexpr unsigned Numpad0 = 0x60;
inline constexpr unsigned Numpad1 = 0x61;
inline constexpr unsigned Numpad9 = 0x69;
inline constexpr unsigned Multiply = 0x6A;
inline constexpr unsigned Add = 0x6B;
inline constexpr unsigned Subtract = 0x6D;
inline constexpr unsigned Decimal = 0x6E;
inline constexpr unsigned Divide = 0x6F;
inline constexpr unsigned RShift = 0xA1;
inline constexpr unsigned OemPlus = 0xBB;
inline constexpr unsigned OemComma = 0xBC;
inline constexpr unsigned OemMinus = 0xBD;
inline constexpr unsigned OemPeriod = 0xBE;

inline constexpr bool isNumpadDigit(unsigned key) {
    return key >= Numpad0 && key <= Numpad9;
}

} // namespace tovi::vk
