#pragma once
// An X server of the test's own: Xvfb on a display number it finds free,
// stopped when the object dies.

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// A rectangle of the screen in one colour (0xRRGGBB).
struct TScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    uint32_t rgb = 0;
};

class TXvfbDisplay {
public:
    // Whether an Xvfb program is on the PATH.
    static bool Installed();

    // One screen of Width x Height at 24 bits with a white root window.
    // Raises Exception when Xvfb cannot be started (also when it is missing).
    TXvfbDisplay(int width, int height);
    ~TXvfbDisplay();
    TXvfbDisplay(const TXvfbDisplay&) = delete;
    TXvfbDisplay& operator=(const TXvfbDisplay&) = delete;

    // ":<number>"
    const std::string& Name() const noexcept { return name_; }

    // Makes Rects, over white, the root window's background; every grab that
    // begins after the call returns shows them. Raises Exception when the
    // display does not answer.
    void PaintRootWindow(const std::vector<TScreenRect>& rects) const;

private:
    void Stop();

    pid_t pid_ = 0;
    std::string name_;
    int width_;
    int height_;
};
