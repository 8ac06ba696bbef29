#pragma once
#include <cstdint>
#include <string>

namespace platform {

constexpr uint32_t MB_OK = 0x00000000;
constexpr uint32_t MB_ICONERROR = 0x00000010;
constexpr int IDOK = 1;

// A modal box with an OK button. An empty caption shows the system's default, "Error". Without a display (or
// with ZORVEL_MESSAGEBOX=stderr) the message is one line on standard error instead: "caption: text".
int MessageBox(const std::string& text, const std::string& caption, uint32_t style);

}  // namespace platform
