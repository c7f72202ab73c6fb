#include "platform/ui/stdctrls/BorderStyle.h"

void AddBorderStyle(TCreateParams& params, TBorderStyle style, bool ctl3D) {
    if (style != kSingleBorder) return;
    if (ctl3D)
        params.ExStyle |= WS_EX_CLIENTEDGE;
    else
        params.Style |= WS_BORDER;
}
