#include "platform/win/backend/qt/IconImages.h"

#include <QPixmap>

#include <vector>

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
