#pragma once
// Text files that earlier versions of the program wrote in the ANSI code page
// of the system they ran on (GBK on a Chinese one) rather than in UTF-8: read
// them in the code page they are in, so that they can be written back in it.

#include <string>
#include <string_view>

#include "platform/rtl/String.h"

// The ANSI code page of the user's locale (LC_ALL, LC_CTYPE, LANG) as that
// system gave it: 936 (GBK) for simplified Chinese, 950 for traditional Chinese
// (Taiwan, Hong Kong, Macao), 932 for Japanese, 949 for Korean; 936, the code
// page of the program's own language, for every other locale.
int LegacyAnsiCodePage();

struct TDecodedText {
    String Text;
    int CodePage = CP_UTF8;
    // Encoding Text in CodePage gives the bytes back (after a UTF-8 byte-order
    // mark, which is skipped); false when some bytes read as U+FFFD.
    bool Exact = true;
};

// UTF-8 when the bytes are UTF-8; else the legacy ANSI code page when the bytes
// are text in it; else UTF-8 with U+FFFD for each byte that is not.
TDecodedText DecodeLegacyText(std::string_view bytes);

// Text in CodePage when that code page holds every character of it, else in UTF-8.
std::string EncodeLegacyText(const String& text, int codePage);
