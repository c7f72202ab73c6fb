#pragma once
// Objects with a property of every kind the XML persistence handles, for the
// targets that read settings documents, and what a reader may raise for a
// document that does not read.

#include <cstdint>
#include <string>
#include <typeinfo>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/StringList.h"
#include "support/xml/XmlDomPersistent.h"

enum class TFuzzMood { fmCalm, fmHappy, fmAngry };
using enum TFuzzMood;
RTL_ENUM(TFuzzMood, fmCalm, fmHappy, fmAngry);
using TFuzzMoods = TSet<TFuzzMood>;

class TFuzzInner : public TPersistent {
    RTL_CLASS(TFuzzInner, TPersistent);

public:
    TStringList* Notes() { return &notes; }

    int Width = 0;
    TStringList notes;
};
RTL_PUBLISHED(TFuzzInner, c) {
    c.Property("Width", &TFuzzInner::Width, &TFuzzInner::Width).Default(0);
    c.Property("Notes", &TFuzzInner::Notes);
}

class TFuzzItem : public TCollectionItem {
    RTL_CLASS(TFuzzItem, TCollectionItem);

public:
    using TCollectionItem::TCollectionItem;
    TFuzzInner* Inner() { return &inner; }

    String Name;
    int Volume = 100;
    bool Muted = false;
    TFuzzInner inner;
};
RTL_PUBLISHED(TFuzzItem, c) {
    c.Property("Name", &TFuzzItem::Name, &TFuzzItem::Name);
    c.Property("Volume", &TFuzzItem::Volume, &TFuzzItem::Volume).Default(100);
    c.Property("Muted", &TFuzzItem::Muted, &TFuzzItem::Muted).Default(false);
    c.Property("Inner", &TFuzzItem::Inner);
}

class TFuzzSettings : public TPersistent {
    RTL_CLASS(TFuzzSettings, TPersistent);

public:
    TFuzzSettings() : items(this, TFuzzItem::StaticClass()) {}
    TFuzzInner* Inner() { return &inner; }
    TStringList* Lines() { return &lines; }
    TOwnedCollection* Items() { return &items; }

    int Count = 5;
    int Serial = 0;
    char16_t Letter = u'a';
    char Byte = 'b';
    bool Enabled = true;
    bool Verbose = false;
    TFuzzMood Mood = fmCalm;
    TFuzzMoods Moods{fmCalm};
    TFuzzMoods Flags;
    double Ratio = 0;
    double Stamp = 0;
    double Day = 0;
    double Hour = 0;
    int64_t Size = 0;
    String Title;
    std::string Bytes;
    String Hidden;
    TFuzzInner inner;
    TStringList lines;
    TOwnedCollection items;
};
RTL_PUBLISHED(TFuzzSettings, c) {
    using T = TFuzzSettings;
    c.Property("Count", &T::Count, &T::Count).Default(5);
    c.Property("Serial", &T::Serial, &T::Serial);
    c.Property("Letter", &T::Letter, &T::Letter).Default(u'a');
    c.Property("Byte", &T::Byte, &T::Byte).Default('b');
    c.Property("Enabled", &T::Enabled, &T::Enabled).Default(true);
    c.Property("Verbose", &T::Verbose, &T::Verbose);
    c.Property("Mood", &T::Mood, &T::Mood).Default(fmCalm);
    c.Property("Moods", &T::Moods, &T::Moods).Default(TFuzzMoods{fmCalm});
    c.Property("Flags", &T::Flags, &T::Flags);
    c.Property("Ratio", &T::Ratio, &T::Ratio);
    c.Property("Stamp", &T::Stamp, &T::Stamp).AsDateTime();
    c.Property("Day", &T::Day, &T::Day).AsDate();
    c.Property("Hour", &T::Hour, &T::Hour).AsTime();
    c.Property("Size", &T::Size, &T::Size);
    c.Property("Title", &T::Title, &T::Title);
    c.Property("Bytes", &T::Bytes, &T::Bytes);
    c.Property("Hidden", &T::Hidden, &T::Hidden).Stored(false);
    c.Property("Inner", &T::Inner);
    c.Property("Lines", &T::Lines);
    c.Property("Items", &T::Items);
}

// A value that does not convert, and "<!-" not followed by "-" in the text.
inline bool IsDocumented(const Exception& e) {
    return dynamic_cast<const EXmlDomPersistent*>(&e) || dynamic_cast<const EPropertyConvertError*>(&e) ||
           (typeid(e) == typeid(Exception) && e.Message().starts_with(u"Invalid node "));
}
