#include "platform/ui/graphics/GraphicsUnit.h"

#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/GraphicStrings.h"
#include "platform/ui/graphics/Icon.h"
#include "platform/ui/graphics/Picture.h"

void InitializeGraphicClasses() {
    RegisterResStrings(kGraphicStrings);
    RegisterClasses({TBitmap::StaticClass(), TIcon::StaticClass(), TPicture::StaticClass()});
    RegisterFileFormat(u"bmp", LoadResString(SVBitmaps), TBitmap::StaticClass());
    RegisterFileFormat(u"ico", LoadResString(SVIcons), TIcon::StaticClass());
}

void FinalizeGraphicClasses() {
    UnregisterGraphicClass(TIcon::StaticClass());
    UnregisterGraphicClass(TBitmap::StaticClass());
    UnRegisterClass(TPicture::StaticClass());
    UnRegisterClass(TIcon::StaticClass());
    UnRegisterClass(TBitmap::StaticClass());
    UnregisterResStrings(kGraphicStrings);
}
