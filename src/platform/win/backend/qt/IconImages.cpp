#include "platform/win/backend/qt/IconImages.h"

#include <QPainter>
#include <QPixmap>

#include <vector>

#include "platform/win/icons/Icon.h"
#include "platform/win/icons/Icons.h"

QImage ImageOfIcon(HICON icon, POINT* hotSpot) {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    POINT hot{};
    if (!CursorPixels(HCURSOR(icon), width, height, pixels, hot)) return QImage();
    if (hotSpot) *hotSpot = hot;
    return QImage(reinterpret_cast<const uchar*>(pixels.data()), width, height, width * 4, QImage::Format_ARGB32)
        .copy();
}

QIcon WindowIconOf(HICON smallIcon, HICON bigIcon) {
    QIcon icon;
    for (const HICON each : {smallIcon, bigIcon}) {
        const QImage image = ImageOfIcon(each);
        if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

HICON IconOfImage(const QImage& image, int size) {
    if (image.isNull() || size <= 0) return nullptr;
    QImage square(size, size, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    {
        const QImage fitted = image.width() > size || image.height() > size
                                  ? image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                  : image;
        QPainter painter(&square);
        painter.drawImage((size - fitted.width()) / 2, (size - fitted.height()) / 2, fitted);
    }
    square = square.convertToFormat(QImage::Format_ARGB32);
    auto icon = std::make_unique<TIconObject>();
    icon->image.Reset(size, size);
    for (int y = 0; y < size; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(square.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            icon->image.Color(x, y) = row[x];
            icon->image.Mask(x, y) = row[x] >> 24 == 0;
        }
    }
    icon->image.DetectAlpha();
    return AddIcon(std::move(icon));
}
