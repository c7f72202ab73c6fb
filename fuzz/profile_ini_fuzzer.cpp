// Reads arbitrary bytes as "Profiles.ini" (loaded as the file would be) into
// the engine's profile list. The list saved, loaded into a fresh list and
// saved again must give the same lines, and no more profiles may come out
// than the file counts.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/AVProfile.h"
#include "engine/AVProfileList.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// The lines of the INI file List's custom profiles are saved to.
String Saved(const TAVProfileList& list) {
    TMemIniFile ini{String()};
    list.SaveCustomProfiles(ini);
    TStringList lines;
    ini.GetStrings(lines);
    return lines.Text();
}

void Load(TAVProfileList& list, const String& text) {
    TStringList lines;
    lines.SetText(text);
    TMemIniFile ini{String()};
    ini.SetStrings(lines);
    list.LoadCustomProfiles(ini);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TBytesStream in(TBytes(data, data + size));
    TStringList lines;
    lines.LoadFromStream(in);
    TMemIniFile ini{String()};
    ini.SetStrings(lines);
    TAVProfileList list(nullptr);
    list.LoadCustomProfiles(ini);
    Require(list.Count() <= std::max(0, ini.ReadInteger(kProfileSection, u"ProfileCount", 0)));

    const String saved = Saved(list);
    TAVProfileList again(nullptr);
    Load(again, saved);
    Require(again.Count() == list.Count());
    Require(Saved(again) == saved);
    return 0;
}
