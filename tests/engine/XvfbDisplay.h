#pragma once
// An X server of the test's own: Xvfb on a display number it finds free,
// stopped when the object dies.

#include <string>
#include <sys/types.h>

class TXvfbDisplay {
public:
    // One screen of Width x Height at 24 bits with a white root window.
    // Raises Exception when Xvfb cannot be started (also when it is missing).
    TXvfbDisplay(int width, int height);
    ~TXvfbDisplay();
    TXvfbDisplay(const TXvfbDisplay&) = delete;
    TXvfbDisplay& operator=(const TXvfbDisplay&) = delete;

    // ":<number>"
    const std::string& Name() const noexcept { return name_; }

private:
    void Stop();

    pid_t pid_ = 0;
    std::string name_;
};
