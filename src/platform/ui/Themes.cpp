#include "platform/ui/Themes.h"

TThemeServices& ThemeServices() {
    static TThemeServices services;
    return services;
}
