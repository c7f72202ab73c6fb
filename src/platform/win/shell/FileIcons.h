#pragma once
// The pictures the file dialogs show for files, folders and places: the
// desktop's icon theme, which the desktop backend installs at start-up, and
// our own artwork (resources/platform/ICON/SHELL_*) when no theme is
// installed or the theme has no picture. Every icon answered is new and the
// caller destroys it.

#include "platform/rtl/String.h"
#include "platform/win/Types.h"

// What the desktop knows of file types and its icon theme.
class IFileIconTheme {
public:
    virtual ~IFileIconTheme() = default;
    // The MIME type of the file Path by its name ("video/mp4"); "inode/directory" for a folder.
    virtual String MimeTypeOf(const String& path, bool folder) = 0;
    // The theme's picture of MimeType (its own, else its generic one), Size
    // pixels square; null when the theme has none.
    virtual HICON MimeTypeIcon(const String& mimeType, int size) = 0;
    // The theme's picture called Name ("folder-videos"); null when it has none.
    virtual HICON NamedIcon(const String& name, int size) = 0;
};

// The installed theme, or null.
IFileIconTheme* FileIconTheme();
// Installs Theme (null removes it) and returns the previous one. It must
// outlive its installation.
IFileIconTheme* SetFileIconTheme(IFileIconTheme* theme);

// Keeps Theme installed while in scope.
class TFileIconThemeScope {
public:
    explicit TFileIconThemeScope(IFileIconTheme& theme) : previous_(SetFileIconTheme(&theme)) {}
    ~TFileIconThemeScope() { SetFileIconTheme(previous_); }
    TFileIconThemeScope(const TFileIconThemeScope&) = delete;
    TFileIconThemeScope& operator=(const TFileIconThemeScope&) = delete;

private:
    IFileIconTheme* previous_;
};

// Our own artwork, one picture for each kind of MIME type.
enum class TFileIconKind { Folder, Video, Audio, Image, File };
// "inode/directory" a folder, "video/…", "audio/…" and "image/…" their kinds, anything else a file.
TFileIconKind FileIconKindOf(const String& mimeType);
// Our own picture of Kind, Size pixels square.
HICON ArtworkIcon(TFileIconKind kind, int size);

// The MIME type of Path by the installed theme; without one "inode/directory"
// for a folder and "application/octet-stream" for a file.
String FileMimeType(const String& path, bool folder);
// The theme's picture of MimeType, else our artwork of its kind.
HICON MimeTypeIcon(const String& mimeType, int size);
// The theme's picture called Name, else our folder: for the places of a dialog.
HICON PlaceIcon(const String& name, int size);
