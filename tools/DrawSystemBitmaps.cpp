// Draws the system bitmaps the platform embeds (resources/platform/BITMAP)
// with the drawing layer's own frame controls, in the classic colours:
//   ostrel-system-bitmaps <folder>
// OBM_CHECKBOXES: 13 x 13 glyphs in four columns (unchecked, checked, pushed,
// pushed and checked) and three rows (check boxes, radio buttons, three-state
// boxes); OBM_COMBO: the drop-down arrow.

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/system/SystemColors.h"

namespace {

bool Save(const HBITMAP bitmap, const std::string& path) {
    const std::vector<uint8_t> file = WriteBmp(bitmap, 24);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return !file.empty() && bool(out);
}

HBITMAP CheckBoxes() {
    const HBITMAP bitmap = NewDibSection(52, 39, 24);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(bitmap));
    const UINT kinds[] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
    const UINT states[] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column) {
            RECT cell{column * 13, row * 13, column * 13 + 13, row * 13 + 13};
            FillRect(dc, &cell, GetSysColorBrush(COLOR_BTNFACE));
            DrawFrameControl(dc, &cell, DFC_BUTTON, kinds[row] | states[column]);
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

HBITMAP ComboArrow() {
    const HBITMAP bitmap = NewDibSection(7, 4, 24);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(bitmap));
    const RECT all{0, 0, 7, 4};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    for (int y = 0; y < 4; ++y) {
        const RECT line{y, y, 7 - y, y + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNTEXT));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ostrel-system-bitmaps <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (const auto& [name, bitmap] : {std::pair{"OBM_CHECKBOXES", CheckBoxes()}, std::pair{"OBM_COMBO", ComboArrow()}}) {
        ok = Save(bitmap, folder + "/" + name) && ok;
        DeleteObject(ToGdiObject(bitmap));
    }
    return ok ? 0 : 1;
}
