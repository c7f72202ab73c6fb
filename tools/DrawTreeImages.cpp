// Draws the tree view's image strips and its header-split cursor
// (resources/treeview):
//   ostrel-tree-images <folder>
// BITMAP/VT_CHECK_LIGHT, VT_CHECK_DARK, VT_TICK_LIGHT, VT_TICK_DARK, VT_FLAT
// and VT_XP: 25 images of 16 x 16 side by side: 0 blank, then in fours
// (normal, hot, pressed, disabled) radio buttons unchecked (1-4) and checked
// (5-8), check boxes unchecked (9-12), checked (13-16) and mixed (17-20), and
// push buttons (21-24). BITMAP/VT_UTILITIES: 9 images of 16 x 16: drop marks
// left and right, sort glyphs descending and ascending (plain, then light),
// and the hover bar's left end, middle and right end (16 x 3 at the top).
// CURSOR/VT_HEADERSPLIT: 32 x 32, a split bar with arrows both ways.
// BITMAP/VT_XPBUTTONPLUS and VT_XPBUTTONMINUS: the 9 x 9 shaded expand
// buttons, a grey frame with rounded corners around a white-to-silver
// gradient and a dark plus or minus; magenta corners are transparent.
//
// All but VT_XP use only white, silver, grey and black besides the magenta
// of transparent pixels, so that loading them maps those four onto the
// system's window, face, shadow and text colours. VT_XP keeps its colours.

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/IcoFile.h"

namespace {

using TRgb = uint32_t; // 0xRRGGBB

constexpr TRgb kKey = 0xFF00FF;
constexpr TRgb kWhite = 0xFFFFFF, kSilver = 0xC0C0C0, kGray = 0x808080, kBlack = 0x000000;
constexpr int kCell = 16;

class TStrip {
public:
    explicit TStrip(int images) : width_(images * kCell), pixels_(size_t(width_) * kCell, kKey) {}

    void Set(int x, int y, TRgb color) {
        if (x >= 0 && x < width_ && y >= 0 && y < kCell) pixels_[size_t(y) * size_t(width_) + size_t(x)] = color;
    }
    // Art rows at (X, Y): every character of Ink takes the colour at its place in Colors.
    void Paint(int x, int y, std::initializer_list<const char*> art, const std::string& ink,
               std::initializer_list<TRgb> colors) {
        int row = 0;
        for (const char* line : art) {
            for (int column = 0; line[column]; ++column)
                if (const auto at = ink.find(line[column]); at != std::string::npos)
                    Set(x + column, y + row, colors.begin()[at]);
            ++row;
        }
    }

    bool Save(const std::filesystem::path& path) const {
        const HBITMAP bitmap = NewDibSection(width_, -kCell, 32);
        BITMAP bm{};
        GetObjectW(ToGdiObject(bitmap), sizeof bm, &bm);
        auto* bits = static_cast<uint32_t*>(bm.bmBits);
        for (size_t i = 0; i < pixels_.size(); ++i) bits[i] = pixels_[i];
        const std::vector<uint8_t> file = WriteBmp(bitmap, 24);
        DeleteObject(ToGdiObject(bitmap));
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        return !file.empty() && bool(out);
    }

private:
    int width_;
    std::vector<TRgb> pixels_;
};

// --- Check images -------------------------------------------------------------

// A 13 x 13 outline: 'x' inside. Pixels inside that touch the outside form
// ring 0 (the frame), those touching ring 0 ring 1, and so on.
using TOutline = std::array<const char*, 13>;

constexpr TOutline kSquare = {"xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx",
                              "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx",
                              "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx"};
constexpr TOutline kRounded = {".xxxxxxxxxxx.", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx",
                               "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx",
                               "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", ".xxxxxxxxxxx."};
constexpr TOutline kCircle = {"....xxxxx....", "..xxxxxxxxx..", ".xxxxxxxxxxx.", ".xxxxxxxxxxx.", "xxxxxxxxxxxxx",
                              "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", "xxxxxxxxxxxxx", ".xxxxxxxxxxx.",
                              ".xxxxxxxxxxx.", "..xxxxxxxxx..", "....xxxxx...."};
constexpr int kOutlineAt = 1; // the outline's offset in its cell

// The ring of every pixel of the outline, -1 outside.
std::array<std::array<int, 13>, 13> Rings(const TOutline& outline) {
    std::array<std::array<int, 13>, 13> ring{};
    auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < 13 && y < 13 && outline[y][x] == 'x'; };
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x) ring[y][x] = inside(x, y) ? 99 : -1;
    for (int level = 0; level < 7; ++level)
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x) {
                if (ring[y][x] != 99) continue;
                const int around[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
                for (const auto& [nx, ny] : around)
                    if (!inside(nx, ny) || ring[ny][nx] == level - 1) ring[y][x] = level;
            }
    return ring;
}

enum class TLook { Normal, Hot, Pressed, Disabled };
enum class TMark { None, Dot, Check, Tick, Square };

// How one set looks. Colours of the frame's rings are given for the upper
// left and the lower right half; Fill gives the inside's colour by row.
struct TCheckStyle {
    std::function<TRgb(TLook, int ring, bool upperLeft)> frame;
    int frameRings;
    std::function<TRgb(TLook, int y)> fill;
    // The ring just inside the frame of a hot check box or radio button.
    TRgb hotRing;
    TRgb mark, disabledMark;
    TMark checkMark;
    const TOutline& buttonOutline;
    std::function<TRgb(TLook, int ring, bool upperLeft)> buttonFrame;
    std::function<TRgb(TLook, int y)> buttonFace;
};

void PaintMark(TStrip& strip, int left, TMark mark, TRgb color) {
    switch (mark) {
    case TMark::None: break;
    case TMark::Dot: strip.Paint(left + 5, 5, {".xxx.", "xxxxx", "xxxxx", "xxxxx", ".xxx."}, "x", {color}); break;
    case TMark::Square:
        strip.Paint(left + 4, 4, {"xxxxxxx", "xxxxxxx", "xxxxxxx", "xxxxxxx", "xxxxxxx", "xxxxxxx", "xxxxxxx"}, "x",
                    {color});
        break;
    case TMark::Check:
        strip.Paint(left + 3, 4,
                    {".......x", "......xx", "x....xxx", "xx..xxx.", "xxxxxx..", ".xxxx...", "..xx...."}, "x",
                    {color});
        break;
    case TMark::Tick:
        strip.Paint(left + 2, 2,
                    {"...........xx", "..........xxx", ".........xxx.", "........xxx..", ".......xxx...",
                     "xx....xxx....", "xxx..xxx.....", ".xxxxxx......", "..xxxx.......", "...xx........"},
                    "x", {color});
        break;
    }
}

void PaintGlyph(TStrip& strip, int image, const TOutline& outline, TLook look, const TCheckStyle& style,
                const std::function<TRgb(TLook, int, bool)>& frame, const std::function<TRgb(TLook, int)>& fill,
                int frameRings, TMark mark, bool hotRing) {
    const auto rings = Rings(outline);
    const int left = image * kCell;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x) {
            const int ring = rings[y][x];
            if (ring < 0) continue;
            TRgb color = fill(look, y + kOutlineAt);
            if (ring < frameRings) color = frame(look, ring, x + y < 12);
            else if (hotRing && ring == frameRings && look == TLook::Hot) color = style.hotRing;
            strip.Set(left + kOutlineAt + x, kOutlineAt + y, color);
        }
    PaintMark(strip, left, mark, look == TLook::Disabled ? style.disabledMark : style.mark);
}

TStrip CheckStrip(const TCheckStyle& style) {
    TStrip strip(25);
    const TLook looks[] = {TLook::Normal, TLook::Hot, TLook::Pressed, TLook::Disabled};
    const struct {
        const TOutline& outline;
        TMark mark;
    } groups[] = {{kCircle, TMark::None}, {kCircle, TMark::Dot}, {kSquare, TMark::None},
                  {kSquare, style.checkMark}, {kSquare, TMark::Square}};
    int image = 1;
    for (const auto& group : groups)
        for (const TLook look : looks)
            PaintGlyph(strip, image++, group.outline, look, style, style.frame, style.fill, style.frameRings,
                       group.mark, true);
    for (const TLook look : looks)
        PaintGlyph(strip, image++, style.buttonOutline, look, style, style.buttonFrame, style.buttonFace, 2,
                   TMark::None, false);
    return strip;
}

// The classic inside: the window colour, the face colour when pressed or disabled.
TRgb ClassicFill(TLook look, int) { return look == TLook::Pressed || look == TLook::Disabled ? kSilver : kWhite; }

// A raised push button, sunken when pressed, flat grey when disabled.
TRgb ClassicButtonFrame(TLook look, int ring, bool upperLeft) {
    if (look == TLook::Disabled) return ring == 0 ? kGray : kSilver;
    const bool lit = upperLeft != (look == TLook::Pressed);
    if (ring == 0) return lit ? kWhite : kBlack;
    return lit ? kSilver : kGray;
}
TRgb ClassicButtonFace(TLook look, int) { return look == TLook::Hot ? kWhite : kSilver; }

TCheckStyle LightStyle(TMark mark) {
    return TCheckStyle{[](TLook, int, bool) { return kGray; }, 1, ClassicFill, kSilver, kBlack, kGray, mark,
                       kSquare, ClassicButtonFrame, ClassicButtonFace};
}

// A sunken frame of two rings: shadow over dark shadow at the upper left, light over face at the lower right.
TCheckStyle DarkStyle(TMark mark) {
    auto frame = [](TLook, int ring, bool upperLeft) {
        if (ring == 0) return upperLeft ? kGray : kWhite;
        return upperLeft ? kBlack : kSilver;
    };
    return TCheckStyle{frame, 2, ClassicFill, kSilver, kBlack, kGray, mark, kSquare, ClassicButtonFrame,
                       ClassicButtonFace};
}

TCheckStyle FlatStyle() {
    auto frame = [](TLook look, int, bool) { return look == TLook::Hot ? kBlack : kGray; };
    auto buttonFrame = [](TLook look, int ring, bool) {
        if (ring == 0) return look == TLook::Disabled ? kGray : kBlack;
        return look == TLook::Pressed ? kGray : kSilver;
    };
    return TCheckStyle{frame, 1, ClassicFill, kWhite, kBlack, kGray, TMark::Check, kSquare, buttonFrame,
                       ClassicButtonFace};
}

// Two colours mixed: Part of 0-Steps of the way from A to B.
TRgb Mix(TRgb a, TRgb b, int part, int steps) {
    TRgb result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int from = int(a >> shift & 0xFF), to = int(b >> shift & 0xFF);
        result |= TRgb(from + (to - from) * part / steps) << shift;
    }
    return result;
}

// Soft blue frames, a light gradient inside, an amber hot ring and a green mark.
TCheckStyle XpStyle() {
    constexpr TRgb kFrame = 0x2A5C8C, kDisabledFrame = 0xC5C2B2, kDisabledFill = 0xF4F3EC;
    auto frame = [=](TLook look, int, bool) { return look == TLook::Disabled ? kDisabledFrame : kFrame; };
    auto fill = [=](TLook look, int y) {
        switch (look) {
        case TLook::Disabled: return kDisabledFill;
        case TLook::Pressed: return Mix(0xB9B8AE, 0xEAE9E2, y, kCell);
        default: return Mix(0xDCDCD4, 0xFFFFFF, y, kCell);
        }
    };
    auto buttonFrame = [=](TLook look, int ring, bool upperLeft) {
        if (ring == 0) return look == TLook::Disabled ? kDisabledFrame : TRgb(0x1F4E7A);
        if (look == TLook::Disabled) return kDisabledFill;
        if (look == TLook::Pressed) return upperLeft ? TRgb(0xC9C7BC) : TRgb(0xF0EFE9);
        return upperLeft ? kWhite : TRgb(0xD6D3C8);
    };
    auto buttonFace = [=](TLook look, int y) {
        switch (look) {
        case TLook::Disabled: return kDisabledFill;
        case TLook::Pressed: return Mix(0xD4D2C8, 0xE9E8E1, y, kCell);
        case TLook::Hot: return Mix(0xFFFFFF, 0xFCE6B4, y, kCell);
        default: return Mix(0xFFFFFF, 0xE8E7DF, y, kCell);
        }
    };
    return TCheckStyle{frame, 1, fill, 0xF5B94A, 0x22A022, kDisabledFrame, TMark::Check, kRounded, buttonFrame,
                       buttonFace};
}

// --- Utility glyphs -----------------------------------------------------------

TStrip UtilityStrip() {
    TStrip strip(9);
    // Drop marks: a bar along the cell's edge with arrow heads pointing into the cell.
    const std::initializer_list<const char*> leftMark = {
        "xx..", "xxx.", "xxxx", "xxx.", "xx..", "xx..", "xx..", "xx..",
        "xx..", "xx..", "xxx.", "xxxx", "xxx.", "xx.."};
    const std::initializer_list<const char*> rightMark = {
        "..xx", ".xxx", "xxxx", ".xxx", "..xx", "..xx", "..xx", "..xx",
        "..xx", "..xx", ".xxx", "xxxx", ".xxx", "..xx"};
    strip.Paint(0 * kCell, 1, leftMark, "x", {kBlack});
    strip.Paint(1 * kCell + 12, 1, rightMark, "x", {kBlack});
    // Sort glyphs: solid triangles, then light outlined chevrons.
    strip.Paint(2 * kCell + 3, 5, {"xxxxxxxxx", ".xxxxxxx.", "..xxxxx..", "...xxx...", "....x...."}, "x", {kBlack});
    strip.Paint(3 * kCell + 3, 6, {"....x....", "...xxx...", "..xxxxx..", ".xxxxxxx.", "xxxxxxxxx"}, "x", {kBlack});
    strip.Paint(4 * kCell + 4, 6, {"x.....x", ".x...x.", "..x.x..", "...x..."}, "x", {kGray});
    strip.Paint(5 * kCell + 4, 6, {"...x...", "..x.x..", ".x...x.", "x.....x"}, "x", {kGray});
    // The hover bar, three rows high: rounded ends around a plain middle.
    constexpr TRgb kHoverLight = 0xF8D37A, kHover = 0xE8A33A;
    strip.Paint(6 * kCell, 0, {"..llllllllllllll", ".hhhhhhhhhhhhhhh", "..hhhhhhhhhhhhhh"}, "lh", {kHoverLight, kHover});
    strip.Paint(7 * kCell, 0, {"llllllllllllllll", "hhhhhhhhhhhhhhhh", "hhhhhhhhhhhhhhhh"}, "lh", {kHoverLight, kHover});
    strip.Paint(8 * kCell, 0, {"llllllllllllll..", "hhhhhhhhhhhhhhh.", "hhhhhhhhhhhhhh.."}, "lh", {kHoverLight, kHover});
    return strip;
}

// --- Cursor -------------------------------------------------------------------

// Two bars with arrows to both sides, black with a white outline; the hot
// spot lies between the bars.
bool SaveHeaderSplitCursor(const std::filesystem::path& path) {
    constexpr int kSize = 32;
    const char* const art[] = {
        "..........ww.ww..........",
        "..........wbwbw..........",
        "..........wbwbw..........",
        "..........wbwbw..........",
        "....w.....wbwbw.....w....",
        "...wbw....wbwbw....wbw...",
        "..wbbw....wbwbw....wbbw..",
        ".wbbbwwwwwwbwbwwwwwwbbbw.",
        "wbbbbbbbbbbbwbbbbbbbbbbbw",
        ".wbbbwwwwwwbwbwwwwwwbbbw.",
        "..wbbw....wbwbw....wbbw..",
        "...wbw....wbwbw....wbw...",
        "....w.....wbwbw.....w....",
        "..........wbwbw..........",
        "..........wbwbw..........",
        "..........wbwbw..........",
        "..........ww.ww..........",
    };
    constexpr int kLeft = 4, kTop = 8;
    TIconImage image;
    image.Reset(kSize, kSize);
    for (int row = 0; row < int(std::size(art)); ++row)
        for (int column = 0; art[row][column]; ++column) {
            const char c = art[row][column];
            if (c == '.') continue;
            image.Color(kLeft + column, kTop + row) = c == 'b' ? 0xFF000000 : 0xFFFFFFFF;
            image.Mask(kLeft + column, kTop + row) = 0;
        }
    image.DetectAlpha();
    const POINT hotSpot{kLeft + 12, kTop + 8};
    const std::vector<uint8_t> file = WriteIcoFile(std::span<const TIconImage>(&image, 1), std::span(&hotSpot, 1));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return !file.empty() && bool(out);
}

// One 9 x 9 shaded button: corners in the key colour, a grey-blue frame, a
// vertical gradient inside and the bar (and, for plus, the stem) in dark blue.
bool SaveShadedButton(const std::filesystem::path& path, bool plus) {
    constexpr int kButton = 9;
    std::vector<TRgb> pixels(size_t(kButton * kButton), kKey);
    auto set = [&](int x, int y, TRgb c) { pixels[size_t(y * kButton + x)] = c; };
    for (int y = 0; y < kButton; ++y)
        for (int x = 0; x < kButton; ++x) {
            const bool corner = (x == 0 || x == kButton - 1) && (y == 0 || y == kButton - 1);
            if (corner) continue;
            const bool frame = x == 0 || y == 0 || x == kButton - 1 || y == kButton - 1;
            const int shade = 0xFF - (y * 0x30) / (kButton - 1);
            set(x, y, frame ? 0x7A90AC : TRgb(shade << 16 | shade << 8 | (0xFF - (y * 0x18) / (kButton - 1))));
        }
    for (int i = 2; i < kButton - 2; ++i) {
        set(i, kButton / 2, 0x1F3A68);
        if (plus) set(kButton / 2, i, 0x1F3A68);
    }
    const HBITMAP bitmap = NewDibSection(kButton, -kButton, 32);
    BITMAP bm{};
    GetObjectW(ToGdiObject(bitmap), sizeof bm, &bm);
    auto* bits = static_cast<uint32_t*>(bm.bmBits);
    for (size_t i = 0; i < pixels.size(); ++i) bits[i] = pixels[i];
    const std::vector<uint8_t> file = WriteBmp(bitmap, 24);
    DeleteObject(ToGdiObject(bitmap));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return !file.empty() && bool(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ostrel-tree-images <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder / "BITMAP");
    std::filesystem::create_directories(folder / "CURSOR");
    const struct {
        const char* name;
        TStrip strip;
    } strips[] = {
        {"VT_CHECK_LIGHT", CheckStrip(LightStyle(TMark::Check))},
        {"VT_CHECK_DARK", CheckStrip(DarkStyle(TMark::Check))},
        {"VT_TICK_LIGHT", CheckStrip(LightStyle(TMark::Tick))},
        {"VT_TICK_DARK", CheckStrip(DarkStyle(TMark::Tick))},
        {"VT_FLAT", CheckStrip(FlatStyle())},
        {"VT_XP", CheckStrip(XpStyle())},
        {"VT_UTILITIES", UtilityStrip()},
    };
    bool ok = true;
    for (const auto& s : strips) ok = s.strip.Save(folder / "BITMAP" / s.name) && ok;
    ok = SaveHeaderSplitCursor(folder / "CURSOR" / "VT_HEADERSPLIT") && ok;
    ok = SaveShadedButton(folder / "BITMAP" / "VT_XPBUTTONPLUS", true) && ok;
    ok = SaveShadedButton(folder / "BITMAP" / "VT_XPBUTTONMINUS", false) && ok;
    if (!ok) std::fprintf(stderr, "ostrel-tree-images: could not write every file into %s\n", argv[1]);
    return ok ? 0 : 1;
}
