#pragma once
// Visual themes are off: every themed painting path takes its classic one.

class TThemeServices {
public:
    bool ThemesEnabled() const noexcept { return false; }
};

TThemeServices& ThemeServices();
