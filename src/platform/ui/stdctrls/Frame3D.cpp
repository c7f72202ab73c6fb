#include "platform/ui/stdctrls/Frame3D.h"

#include "platform/ui/Canvas.h"

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
    canvas->Pen()->SetWidth(1);
    for (int i = 0; i < width && rect.Width() > 0 && rect.Height() > 0; ++i) {
        const int right = rect.Right - 1, bottom = rect.Bottom - 1;
        canvas->Pen()->SetColor(topColor);
        const TPoint topLeft[] = {{rect.Left, bottom}, {rect.Left, rect.Top}, {right, rect.Top}};
        canvas->Polyline(topLeft);
        canvas->Pen()->SetColor(bottomColor);
        const TPoint bottomRight[] = {{right, rect.Top}, {right, bottom}, {rect.Left - 1, bottom}};
        canvas->Polyline(bottomRight);
        rect = {rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    }
}
