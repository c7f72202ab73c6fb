#pragma once
// The version of the common controls the window system provides, as
// major << 16 | minor. Code that uses newer styles and messages asks it first.

constexpr int ComCtlVersionIE3 = 0x00040046; // 4.70
constexpr int ComCtlVersionIE4 = 0x00040047;
constexpr int ComCtlVersionIE401 = 0x00040048;
constexpr int ComCtlVersionIE5 = 0x00050050;
constexpr int ComCtlVersionIE501 = 0x00050051;
constexpr int ComCtlVersionIE6 = 0x00060000;

// Every style and message of the common controls here is available: 6.0.
constexpr int GetComCtlVersion() noexcept { return ComCtlVersionIE6; }
