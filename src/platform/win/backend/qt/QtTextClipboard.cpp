#include "platform/win/backend/qt/QtTextClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/win/backend/qt/QtStrings.h"

std::optional<String> TQtTextClipboard::GetText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText()) return std::nullopt;
    return StringOf(data->text());
}

void TQtTextClipboard::SetText(const String& text) {
    QGuiApplication::clipboard()->setText(QStringOf(text), QClipboard::Clipboard);
}

void TQtTextClipboard::Clear() { QGuiApplication::clipboard()->clear(QClipboard::Clipboard); }

void TQtTextClipboard::SetFlavours(const std::optional<String>& text, const std::vector<TTextFlavour>& flavours) {
    if (!text && flavours.empty()) {
        Clear();
        return;
    }
    auto* data = new QMimeData;
    if (text) data->setText(QStringOf(*text));
    for (const TTextFlavour& flavour : flavours)
        data->setData(QString::fromStdString(flavour.mimeType),
                      QByteArray(flavour.bytes.data(), qsizetype(flavour.bytes.size())));
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}
