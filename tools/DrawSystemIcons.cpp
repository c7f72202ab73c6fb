// Draws the icons the platform embeds (resources/platform/ICON): the program
// icon, the four message-box icons and the file dialogs' pictures of a
// folder, a video, an audio file, an image and any other file (when the
// desktop has no icon theme), each at 16, 32 and 48 pixels with
// straight alpha, antialiased by sampling every pixel 4 x 4 times:
//   ostrel-system-icons <folder>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/icons/IcoFile.h"

namespace {

// A colour with straight alpha, channels 0-1.
struct TColor {
    double r = 0, g = 0, b = 0, a = 0;
};

// A layer: whether a point of the unit square (y down) is inside, and its colour there.
struct TLayer {
    std::function<bool(double, double)> inside;
    std::function<TColor(double, double)> color;
};

TColor Solid(int rgb) { return TColor{(rgb >> 16 & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, 1}; }
std::function<TColor(double, double)> Fill(int rgb) {
    return [c = Solid(rgb)](double, double) { return c; };
}
// From Top at y = 0 to Bottom at y = 1.
std::function<TColor(double, double)> Gradient(int top, int bottom) {
    return [a = Solid(top), b = Solid(bottom)](double, double y) {
        return TColor{a.r + (b.r - a.r) * y, a.g + (b.g - a.g) * y, a.b + (b.b - a.b) * y, 1};
    };
}

bool Disc(double x, double y, double cx, double cy, double radius) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}
bool Box(double x, double y, double left, double top, double right, double bottom) {
    return x >= left && x <= right && y >= top && y <= bottom;
}
// A bar of half-width W from (X0, Y0) to (X1, Y1) with round ends.
bool Bar(double x, double y, double x0, double y0, double x1, double y1, double w) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return Disc(x, y, x0 + t * dx, y0 + t * dy, w);
}
// Left of every edge of the polygon taken clockwise (y down).
bool Convex(double x, double y, std::initializer_list<std::pair<double, double>> points) {
    const auto* p = points.begin();
    const size_t n = points.size();
    for (size_t i = 0; i < n; ++i) {
        const auto [x0, y0] = p[i];
        const auto [x1, y1] = p[(i + 1) % n];
        if ((x1 - x0) * (y - y0) - (y1 - y0) * (x - x0) < 0) return false;
    }
    return true;
}
bool RoundedSquare(double x, double y, double inset, double radius) {
    const double lo = inset + radius, hi = 1 - inset - radius;
    const double cx = std::clamp(x, lo, hi), cy = std::clamp(y, lo, hi);
    return Disc(x, y, cx, cy, radius);
}

TIconImage Render(const std::vector<TLayer>& layers, int size) {
    TIconImage image;
    image.Reset(size, size);
    constexpr int kSamples = 4;
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            double r = 0, g = 0, b = 0, a = 0; // premultiplied sums
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double x = (px + (sx + 0.5) / kSamples) / size, y = (py + (sy + 0.5) / kSamples) / size;
                    TColor out;
                    for (const TLayer& layer : layers) {
                        if (!layer.inside(x, y)) continue;
                        const TColor c = layer.color(x, y);
                        const double outA = c.a + out.a * (1 - c.a);
                        auto mix = [&](double s, double d) { return (s * c.a + d * out.a * (1 - c.a)) / outA; };
                        out = TColor{mix(c.r, out.r), mix(c.g, out.g), mix(c.b, out.b), outA};
                    }
                    r += out.r * out.a, g += out.g * out.a, b += out.b * out.a, a += out.a;
                }
            const int n = kSamples * kSamples;
            const auto byte = [](double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
            const uint32_t alpha = byte(a / n);
            image.Color(px, py) = alpha ? alpha << 24 | byte(r / a) << 16 | byte(g / a) << 8 | byte(b / a) : 0;
            image.Mask(px, py) = alpha == 0;
        }
    image.DetectAlpha();
    return image;
}

using TShapes = std::vector<TLayer>;

// A rounded tile with a play triangle over a conversion arrow.
TShapes Program() {
    return {
        {[](double x, double y) { return RoundedSquare(x, y, 0.04, 0.2); }, Gradient(0x2AA7C9, 0x125C8A)},
        {[](double x, double y) { return Convex(x, y, {{0.30, 0.20}, {0.74, 0.44}, {0.30, 0.68}}); }, Fill(0xFFFFFF)},
        {[](double x, double y) { return Box(x, y, 0.18, 0.76, 0.66, 0.84); }, Fill(0xFFC233)},
        {[](double x, double y) { return Convex(x, y, {{0.64, 0.68}, {0.84, 0.80}, {0.64, 0.92}}); }, Fill(0xFFC233)},
    };
}

TShapes Error() {
    return {
        {[](double x, double y) { return Disc(x, y, 0.5, 0.5, 0.47); }, Gradient(0xE8483C, 0xA8170F)},
        {[](double x, double y) {
             return Bar(x, y, 0.32, 0.32, 0.68, 0.68, 0.075) || Bar(x, y, 0.68, 0.32, 0.32, 0.68, 0.075);
         },
         Fill(0xFFFFFF)},
    };
}

TShapes Warning() {
    return {
        {[](double x, double y) { return Convex(x, y, {{0.5, 0.03}, {0.98, 0.93}, {0.02, 0.93}}); }, Fill(0x8A6A00)},
        {[](double x, double y) { return Convex(x, y, {{0.5, 0.11}, {0.91, 0.88}, {0.09, 0.88}}); },
         Gradient(0xFFE45C, 0xF2B600)},
        {[](double x, double y) { return Bar(x, y, 0.5, 0.36, 0.5, 0.62, 0.055) || Disc(x, y, 0.5, 0.76, 0.065); },
         Fill(0x202020)},
    };
}

TShapes Information() {
    return {
        {[](double x, double y) { return Disc(x, y, 0.5, 0.5, 0.47); }, Gradient(0x4A90E2, 0x1A5BB0)},
        {[](double x, double y) { return Disc(x, y, 0.5, 0.27, 0.075) || Box(x, y, 0.43, 0.40, 0.57, 0.78); },
         Fill(0xFFFFFF)},
    };
}

TShapes Question() {
    return {
        {[](double x, double y) { return Disc(x, y, 0.5, 0.5, 0.47); }, Gradient(0x4A90E2, 0x1A5BB0)},
        {[](double x, double y) {
             // The hook: a ring open towards the lower left, then the stem and the dot.
             const double dx = x - 0.5, dy = y - 0.37, d2 = dx * dx + dy * dy;
             const bool ring = d2 <= 0.19 * 0.19 && d2 >= 0.1 * 0.1 && !(dx < 0 && dy > 0);
             return ring || Box(x, y, 0.455, 0.52, 0.545, 0.64) || Disc(x, y, 0.5, 0.77, 0.065);
         },
         Fill(0xFFFFFF)},
    };
}

// A sheet with its top right corner folded, and Drawing on it.
TShapes Sheet(TShapes drawing) {
    TShapes shapes{
        {[](double x, double y) { return Convex(x, y, {{0.14, 0.02}, {0.63, 0.02}, {0.88, 0.27}, {0.88, 0.98}, {0.14, 0.98}}); },
         Fill(0x7A7A7A)},
        {[](double x, double y) { return Convex(x, y, {{0.20, 0.08}, {0.60, 0.08}, {0.82, 0.30}, {0.82, 0.92}, {0.20, 0.92}}); },
         Gradient(0xFFFFFF, 0xE4E4E4)},
        {[](double x, double y) { return Convex(x, y, {{0.60, 0.06}, {0.84, 0.30}, {0.60, 0.30}}); }, Fill(0xBDBDBD)},
    };
    shapes.insert(shapes.end(), drawing.begin(), drawing.end());
    return shapes;
}

// A tab on the back, the front lower and lighter.
TShapes Folder() {
    return {
        {[](double x, double y) { return Box(x, y, 0.02, 0.12, 0.44, 0.32) || Box(x, y, 0.02, 0.20, 0.98, 0.90); },
         Fill(0x946A16)},
        {[](double x, double y) { return Box(x, y, 0.08, 0.18, 0.40, 0.30) || Box(x, y, 0.08, 0.26, 0.92, 0.84); },
         Fill(0xD59E32)},
        {[](double x, double y) { return Box(x, y, 0.02, 0.36, 0.98, 0.90); }, Fill(0x946A16)},
        {[](double x, double y) { return Box(x, y, 0.08, 0.42, 0.92, 0.84); }, Gradient(0xFBDA72, 0xE8B040)},
    };
}

// A blue screen with a play triangle.
TShapes Video() {
    return Sheet({
        {[](double x, double y) { return Box(x, y, 0.26, 0.40, 0.76, 0.82); }, Gradient(0x3C8EE0, 0x1C5FB0)},
        {[](double x, double y) { return Convex(x, y, {{0.42, 0.49}, {0.63, 0.61}, {0.42, 0.73}}); }, Fill(0xFFFFFF)},
    });
}

// An orange note.
TShapes Audio() {
    return Sheet({
        {[](double x, double y) {
             return Disc(x, y, 0.42, 0.74, 0.10) || Bar(x, y, 0.50, 0.74, 0.50, 0.38, 0.04) ||
                    Bar(x, y, 0.50, 0.38, 0.68, 0.48, 0.05);
         },
         Fill(0xE0662A)},
    });
}

// A sky, a hill and the sun.
TShapes Image() {
    return Sheet({
        {[](double x, double y) { return Box(x, y, 0.26, 0.40, 0.76, 0.82); }, Gradient(0x8FD0F5, 0x5AA8DE)},
        {[](double x, double y) { return Convex(x, y, {{0.46, 0.54}, {0.70, 0.82}, {0.26, 0.82}}); }, Fill(0x3A9A3E)},
        {[](double x, double y) { return Disc(x, y, 0.64, 0.52, 0.07); }, Fill(0xFFD23C)},
    });
}

// Lines of text.
TShapes File() {
    return Sheet({
        {[](double x, double y) {
             return Box(x, y, 0.30, 0.42, 0.72, 0.48) || Box(x, y, 0.30, 0.56, 0.72, 0.62) ||
                    Box(x, y, 0.30, 0.70, 0.60, 0.76);
         },
         Fill(0x8C8C8C)},
    });
}

bool Save(const TShapes& shapes, const std::string& path) {
    std::vector<TIconImage> images;
    for (int size : {16, 32, 48}) images.push_back(Render(shapes, size));
    const std::vector<uint8_t> file = WriteIcoFile(images);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return bool(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ostrel-system-icons <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (const auto& [name, shapes] : {std::pair{"IDI_APPLICATION", Program()}, std::pair{"IDI_ERROR", Error()},
                                       std::pair{"IDI_WARNING", Warning()}, std::pair{"IDI_INFORMATION", Information()},
                                       std::pair{"IDI_QUESTION", Question()}, std::pair{"SHELL_FOLDER", Folder()},
                                       std::pair{"SHELL_VIDEO", Video()}, std::pair{"SHELL_AUDIO", Audio()},
                                       std::pair{"SHELL_IMAGE", Image()}, std::pair{"SHELL_FILE", File()}})
        ok = Save(shapes, folder + "/" + name) && ok;
    return ok ? 0 : 1;
}
