#include "skins/SkinsUnits.h"

#include "platform/ui/graphics/PictureFormats.h"
#include "skins/PNGGraphic.h"
#include "skins/SkinsBrand.h"

void RegisterSkinsUnits(TUnitRegistry& units) {
    units.Register(
        "acPNG",
        [] {
            RegisterFileFormat(u"png", String(u"Portable network graphics (") + kSkinsBrand + u")",
                               TPNGGraphic::StaticClass());
        },
        [] { UnregisterGraphicClass(TPNGGraphic::StaticClass()); }, {"GraphicClasses"});
}
