#pragma once
// The desktop's text/uri-list: one URI a line (CR LF or LF, the last line may
// lack its end), lines starting with '#' are comments.

#include <string_view>
#include <vector>

#include "platform/rtl/String.h"

// The local file paths of a URI list: "file:" URIs whose host is empty,
// "localhost" or this machine's host name, percent-decoded from UTF-8. Other
// URIs, and paths that are not valid UTF-8 or contain a NUL, are skipped.
std::vector<String> LocalFilesFromUriList(std::string_view list);
// The same with the machine's host name given.
std::vector<String> LocalFilesFromUriList(std::string_view list, std::string_view hostName);
