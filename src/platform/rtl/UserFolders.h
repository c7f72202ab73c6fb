#pragma once
// The user's well-known folders as the desktop names them: the XDG user
// folders of ${XDG_CONFIG_HOME:-~/.config}/user-dirs.dirs.

#include <string_view>

#include "platform/rtl/String.h"

enum class TUserFolder { ufDesktop, ufDocuments, ufDownload, ufMusic, ufPictures, ufVideos, ufTemplates };

// The folder the user-dirs file names for Kind ("$HOME/..." or an absolute
// path, in double quotes); without an entry, or with one naming the home
// folder itself, the conventional default under the home folder ("Desktop",
// "Documents", ...). Without a trailing '/'.
String UserFolder(TUserFolder kind);

// The entry for Kind in the text of a user-dirs file, with $HOME expanded to
// Home; empty when there is none or it is neither absolute nor under $HOME.
String ParseUserFolder(std::string_view userDirs, TUserFolder kind, const String& home);
