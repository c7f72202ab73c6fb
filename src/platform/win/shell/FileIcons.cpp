#include "platform/win/shell/FileIcons.h"

#include <atomic>

#include "platform/win/icons/Icons.h"

namespace {

std::atomic<IFileIconTheme*> InstalledTheme{nullptr};

} // namespace

IFileIconTheme* FileIconTheme() { return InstalledTheme.load(); }

IFileIconTheme* SetFileIconTheme(IFileIconTheme* theme) { return InstalledTheme.exchange(theme); }

TFileIconKind FileIconKindOf(const String& mimeType) {
    if (mimeType == u"inode/directory") return TFileIconKind::Folder;
    if (mimeType.starts_with(u"video/")) return TFileIconKind::Video;
    if (mimeType.starts_with(u"audio/")) return TFileIconKind::Audio;
    if (mimeType.starts_with(u"image/")) return TFileIconKind::Image;
    return TFileIconKind::File;
}

HICON ArtworkIcon(TFileIconKind kind, int size) {
    static const char16_t* const names[] = {u"SHELL_FOLDER", u"SHELL_VIDEO", u"SHELL_AUDIO", u"SHELL_IMAGE",
                                            u"SHELL_FILE"};
    return static_cast<HICON>(LoadImageW(nullptr, names[int(kind)], IMAGE_ICON, size, size, 0));
}

String FileMimeType(const String& path, bool folder) {
    if (IFileIconTheme* theme = FileIconTheme()) return theme->MimeTypeOf(path, folder);
    return folder ? u"inode/directory" : u"application/octet-stream";
}

HICON MimeTypeIcon(const String& mimeType, int size) {
    IFileIconTheme* theme = FileIconTheme();
    if (const HICON icon = theme ? theme->MimeTypeIcon(mimeType, size) : nullptr) return icon;
    return ArtworkIcon(FileIconKindOf(mimeType), size);
}

HICON PlaceIcon(const String& name, int size) {
    IFileIconTheme* theme = FileIconTheme();
    if (const HICON icon = theme ? theme->NamedIcon(name, size) : nullptr) return icon;
    return ArtworkIcon(TFileIconKind::Folder, size);
}
