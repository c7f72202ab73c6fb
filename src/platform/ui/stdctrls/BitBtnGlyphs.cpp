#include "platform/ui/stdctrls/BitBtnGlyphs.h"

#include <array>

namespace {

constexpr int kSize = 16;
using TPattern = std::array<const char*, kSize>;

// '.' transparent, 'g' green, 'r' red, 'b' navy, 'k' black, 'y' yellow.
constexpr TPattern kCheck = {
    "................", "................", "............gg..", "...........ggg..", "..........ggg...",
    ".........ggg....", "..g.....ggg.....", "..gg...ggg......", "..ggg.ggg.......", "...ggggg........",
    "....ggg.........", ".....g..........", "................", "................", "................",
    "................"};
constexpr TPattern kDoubleCheck = {
    "................", "..........g...gg", ".........gg..ggg", "........gg..ggg.", "..g....gg..ggg..",
    "..gg..gg..ggg...", "..ggggg..ggg....", "...ggg..ggg.....", "....g..ggg......", ".......gg.......",
    "................", "................", "................", "................", "................",
    "................"};
constexpr TPattern kCross = {
    "................", "................", "...rr......rr...", "...rrr....rrr...", "....rrr..rrr....",
    ".....rrrrrr.....", "......rrrr......", "......rrrr......", ".....rrrrrr.....", "....rrr..rrr....",
    "...rrr....rrr...", "...rr......rr...", "................", "................", "................",
    "................"};
constexpr TPattern kNo = {
    "................", ".....rrrrrr.....", "...rrr....rrr...", "..rr........rr..", "..r.r........r..",
    ".r...r.......rr.", ".r....r.......r.", ".r.....r......r.", ".r......r.....r.", ".r.......r....r.",
    ".rr.......r..rr.", "..r........r.r..", "..rr........rr..", "...rrr....rrr...", ".....rrrrrr.....",
    "................"};
constexpr TPattern kQuestion = {
    "................", ".....bbbbb......", "....bb...bb.....", "....bb...bb.....", ".........bb.....",
    "........bb......", ".......bb.......", "......bb........", "......bb........", "................",
    "......bb........", "......bb........", "................", "................", "................",
    "................"};
constexpr TPattern kDoor = {
    "................", "..kkkkkkkkkk....", "..k.kkkkkkkk....", "..k..kyyyyyk....", "..k..kyyyyyk....",
    "..k..kyyyyyk....", "..k..kyyyyyk....", "..k..kyykyyk....", "..k..kyyyyyk....", "..k..kyyyyyk....",
    "..k..kyyyyyk....", "..k..kyyyyyk....", "..k..kyyyyyk....", "..kkkkkkkkkk....", "................",
    "................"};
constexpr TPattern kRetry = {
    "................", "......ggggg.....", "....gg.....gg.g.", "...g.........gg.", "..g.......gggggg",
    "..g.............", ".g..............", ".g..............", ".g..............", ".g..............",
    "..g.........g...", "..g........g....", "...g......g.....", "....gg..gg......", "......gg........",
    "................"};
constexpr TPattern kIgnore = {
    "................", "................", "................", "................", "................",
    "................", "................", "..bb..bb..bb....", "..bb..bb..bb....", "................",
    "................", "................", "................", "................", "................",
    "................"};

const TPattern* PatternOf(TBitBtnKind kind) {
    switch (kind) {
    case bkOK:
    case bkYes: return &kCheck;
    case bkAll: return &kDoubleCheck;
    case bkCancel:
    case bkAbort: return &kCross;
    case bkNo: return &kNo;
    case bkHelp: return &kQuestion;
    case bkClose: return &kDoor;
    case bkRetry: return &kRetry;
    case bkIgnore: return &kIgnore;
    case bkCustom: break;
    }
    return nullptr;
}

TColor ColorOf(char key) {
    switch (key) {
    case 'g': return clGreen;
    case 'r': return clRed;
    case 'b': return clNavy;
    case 'k': return clBlack;
    case 'y': return clYellow;
    default: return clOlive;
    }
}

} // namespace

void MakeKindGlyph(TBitBtnKind kind, TBitmap& bitmap) {
    const TPattern* pattern = PatternOf(kind);
    if (!pattern) {
        bitmap.Assign(nullptr);
        return;
    }
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(kSize, kSize);
    TCanvas* canvas = bitmap.Canvas();
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) canvas->SetPixel(x, y, ColorOf((*pattern)[size_t(y)][x]));
}
