#include "platform/win/backend/qt/QtShapeRasterizer.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>

#include "platform/win/gdi/Shapes.h"

namespace {

// Larger shapes than this are not rasterised (nothing of ours draws them).
constexpr qint64 kMaxPixels = qint64{1} << 26;

QRectF Box(const RECT& r) { return QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top); }

// The pixels whose centres the filled path covers.
TRegion Cover(const QPainterPath& path) {
    const QRect bounds = path.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if (bounds.isEmpty() || qint64(bounds.width()) * bounds.height() > kMaxPixels) return TRegion();
    QImage image(bounds.size(), QImage::Format_Alpha8);
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.translate(-bounds.left(), -bounds.top());
        painter.fillPath(path, Qt::black);
    }
    std::vector<RECT> runs;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < image.width();) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && row[x]) ++x;
            runs.push_back(RECT{bounds.left() + start, bounds.top() + y, bounds.left() + x, bounds.top() + y + 1});
        }
    }
    return TRegion::FromRects(runs);
}

class TQtShapeRasterizer : public IShapeRasterizer {
public:
    TRegion Ellipse(const RECT& box) override {
        QPainterPath path;
        path.addEllipse(Box(box));
        return Cover(path);
    }

    TRegion RoundRect(const RECT& box, int cornerWidth, int cornerHeight) override {
        QPainterPath path;
        path.addRoundedRect(Box(box), cornerWidth / 2.0, cornerHeight / 2.0);
        return Cover(path);
    }

    TRegion Polygon(std::span<const POINT> points, bool winding) override {
        QPolygonF polygon;
        for (const POINT& p : points) polygon << QPointF(p.x + 0.5, p.y + 0.5);
        QPainterPath path;
        path.addPolygon(polygon);
        path.closeSubpath();
        path.setFillRule(winding ? Qt::WindingFill : Qt::OddEvenFill);
        return Cover(path);
    }

    TRegion Stroke(std::span<const POINT> points, bool closed, int width) override {
        if (points.empty()) return TRegion();
        QPainterPath line;
        line.moveTo(points[0].x + 0.5, points[0].y + 0.5);
        for (size_t i = 1; i < points.size(); ++i) line.lineTo(points[i].x + 0.5, points[i].y + 0.5);
        if (closed) line.closeSubpath();
        QPainterPathStroker stroker;
        stroker.setWidth(width);
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        return Cover(stroker.createStroke(line));
    }
};

} // namespace

void InstallQtShapeRasterizer() { SetShapeRasterizer(std::make_shared<TQtShapeRasterizer>()); }
