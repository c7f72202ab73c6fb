#pragma once
// Objects with published properties as XML documents and back.
//
// The root element "data" (for a collection: its class name) carries the
// attribute PropFormat and holds one element named after the object's class
// with the object's properties, or one "o" element per collection item. In
// the node layout each property is a child element holding its value, in the
// attr layout an attribute; objects held in class properties are always
// nested elements. Ordinal values equal to their declared default, zero
// numbers and empty strings are not written. The reader never creates objects:
// it fills the ones the instance holds. A missing ordinal or 64-bit value
// without a declared default leaves the property unchanged.

#include <cstdint>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/String.h"

enum class TPropFormat { pfAuto, pfAttr, pfNode };
using enum TPropFormat;

// "auto", "attr", "node". Auto stands for the node layout.
String PropFormatText(TPropFormat format);

RTL_DECLARE_EXCEPTION(EXmlDomPersistent, Exception);

class TXmlDomWriter : public TObject {
public:
    // Output formats xofNone, xofFlat, xofIndent; the file is UTF-8 without
    // declaration and replaced atomically. File errors come from the document's SaveFile.
    static void SaveToFile(TPersistent* instance, const String& fileName, TPropFormat propFormat,
                           uint8_t outputFormat);
    // The same document as one line.
    static String SaveToString(TPersistent* instance, TPropFormat propFormat = pfAuto);
};

class TXmlDomReader : public TObject {
public:
    // A file that does not parse raises EXmlDomPersistent naming the file and the
    // place of the error, and reads nothing: a damaged file must not be half read
    // and then saved over. A text that does not parse is read as far as it was
    // built. A value that does not convert raises EXmlDomPersistent, or EPropertyConvertError
    // for unknown enumeration and set names, and ends the load there.
    // An 8-bit character property takes a first character beyond Latin-1 as "?".
    // A string list reads "Count" lines, an absent entry "l<i>" as an empty
    // line; a Count of more than 65536 lines beyond its entries raises
    // EXmlDomPersistent "Invalid line count (%d)." and leaves the list as it was.
    static void LoadFromFile(TPersistent* instance, const String& fileName);
    static void LoadFromString(TPersistent* instance, const String& xml);
};
