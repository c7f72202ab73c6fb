#pragma once
// The user's folders as the desktop names them: the home folder and the
// folders of "user-dirs.dirs" in $XDG_CONFIG_HOME (default ~/.config).
//
// The file is read as data, never run: a line sets a folder with
// XDG_<NAME>_DIR="$HOME/relative" or XDG_<NAME>_DIR="/absolute" (a backslash
// takes the next character as it stands); anything else is skipped, and a
// later line wins. A folder the file does not set is the home folder, except
// the desktop, which is ~/Desktop.

#include <string_view>

#include "platform/rtl/String.h"

enum class TUserFolder { Desktop, Documents, Download, Music, Pictures, PublicShare, Templates, Videos };

// $HOME, else the password database's entry; "/" when neither answers.
String HomeFolder();
// $XDG_CONFIG_HOME when it is absolute, else ~/.config.
String ConfigHomeFolder();
// $XDG_DATA_HOME when it is absolute, else ~/.local/share.
String DataHomeFolder();
// The folder as the user's file names it now (read on each call).
String UserFolder(TUserFolder folder);
// The folder as Text (the contents of a "user-dirs.dirs") names it for Home;
// empty when the text does not set it.
String UserFolderFromText(std::string_view text, TUserFolder folder, const String& home);
