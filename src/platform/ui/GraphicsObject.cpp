#include "platform/ui/GraphicsObject.h"

RTL_PUBLISHED_NONE(TGraphicsObject);

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}
