#include "platform/win/backend/qt/QtTextClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/win/backend/qt/QtStrings.h"

// Qt tells of every change of the clipboard, ours and other programs'.
TQtTextClipboard::TQtTextClipboard() {
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, &context_, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard) ++changes_;
    });
}

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

std::optional<std::string> TQtTextClipboard::GetFlavour(std::string_view mimeType) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    const QString type = QString::fromUtf8(mimeType.data(), qsizetype(mimeType.size()));
    if (!data || !data->hasFormat(type)) return std::nullopt;
    const QByteArray bytes = data->data(type);
    return std::string(bytes.constData(), size_t(bytes.size()));
}
