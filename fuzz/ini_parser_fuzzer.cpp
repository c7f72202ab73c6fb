// Feeds arbitrary bytes to the INI parser in both name modes, reads every value
// it found as each type, and checks that the lines it would write read back the
// same, also after a key was written into every section and a section erased.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// The sections and values a reader gets out of the file, as one text.
String Contents(const TMemIniFile& ini) {
    String text;
    TStringList sections, values;
    ini.ReadSections(sections);
    for (int s = 0; s < sections.Count(); ++s) {
        const String section = sections[s];
        Require(ini.SectionExists(section));
        ini.ReadSectionValues(section, values);
        text += u'[';
        text += section;
        text += u"]\n";
        text += values.Text();
    }
    return text;
}

// Every value read as each type.
void ReadTyped(const TMemIniFile& ini) {
    TStringList sections, keys;
    ini.ReadSections(sections);
    for (int s = 0; s < sections.Count(); ++s) {
        const String section = sections[s];
        ini.ReadSection(section, keys);
        for (int k = 0; k < keys.Count(); ++k) {
            const String key = keys[k];
            Require(ini.ValueExists(section, key));
            (void)ini.ReadInteger(section, key, -1);
            (void)ini.ReadInt64(section, key, -1);
            (void)ini.ReadBool(section, key, false);
            (void)ini.ReadFloat(section, key, -1.5);
            (void)ini.ReadDateTime(section, key, -2);
            (void)ini.ReadTime(section, key, -2);
        }
    }
}

// What a copy parsed from the lines Ini would write holds.
String ContentsOfWritten(const TMemIniFile& ini) {
    TStringList lines;
    ini.GetStrings(lines);
    TMemIniFile copy(String(), ini.CaseSensitive());
    copy.SetStrings(lines);
    return Contents(copy);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TBytesStream in(TBytes(data, data + size));
    TStringList lines;
    lines.LoadFromStream(in); // as a file is loaded
    const String value = lines.Count() > 0 ? lines[0] : String();
    for (bool caseSensitive : {false, true}) {
        TMemIniFile ini(String(), caseSensitive);
        ini.SetStrings(lines);
        if (!caseSensitive) ReadTyped(ini); // the typed conversions do not depend on the name mode
        Require(ContentsOfWritten(ini) == Contents(ini));

        TStringList sections;
        ini.ReadSections(sections);
        const String written = u"written";
        for (int s = 0; s < sections.Count(); ++s) {
            const String section = sections[s];
            try {
                ini.WriteString(section, written, value);
            } catch (const EIniFileException&) {
                continue; // a section name that cannot be written, such as an empty one
            }
            Require(ini.ReadString(section, written, u"-") == value);
        }
        ini.WriteString(u"new section", u"written", value);
        if (sections.Count() > 0) {
            ini.DeleteKey(sections[0], u"written");
            ini.EraseSection(sections[sections.Count() - 1]);
        }
        Require(ContentsOfWritten(ini) == Contents(ini));
    }
    return 0;
}
