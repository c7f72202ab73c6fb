#pragma once
// Objects with a published property of every kind the XML persistence handles,
// for its tests and the fuzz targets that read settings documents. Local to
// the one source of a program that includes this.

#include <cstdint>
#include <string>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/StringList.h"

namespace {

enum class TMood { mdCalm, mdHappy, mdAngry };
using enum TMood;
RTL_ENUM(TMood, mdCalm, mdHappy, mdAngry);
using TMoods = TSet<TMood>;

class TTrack : public TCollectionItem {
    RTL_CLASS(TTrack, TCollectionItem);

public:
    using TCollectionItem::TCollectionItem;
    String Name;
    int Volume = 100;
};
RTL_PUBLISHED(TTrack, c) {
    c.Property("Name", &TTrack::Name, &TTrack::Name);
    c.Property("Volume", &TTrack::Volume, &TTrack::Volume).Default(100);
}

class TTag : public TCollectionItem {
    RTL_CLASS(TTag, TCollectionItem);

public:
    using TCollectionItem::TCollectionItem;
};
RTL_PUBLISHED_NONE(TTag);

class TFrame : public TPersistent {
    RTL_CLASS(TFrame, TPersistent);

public:
    int Width = 0;
};
RTL_PUBLISHED(TFrame, c) { c.Property("Width", &TFrame::Width, &TFrame::Width).Default(0); }

// One property of every kind the persistence handles.
class TSample : public TPersistent {
    RTL_CLASS(TSample, TPersistent);

public:
    // Tracks holds items of TrackClass, TTrack or a class derived from it.
    explicit TSample(TClass trackClass = TTrack::StaticClass())
        : tracks(this, trackClass), tags(this, TTag::StaticClass()) {}
    TFrame* Frame() { return &frame; }
    TStringList* Lines() { return &lines; }
    TOwnedCollection* Tracks() { return &tracks; }
    TOwnedCollection* Tags() { return &tags; }
    TTrack* Track(int i) { return static_cast<TTrack*>(tracks.Items(i)); }

    int Count = 5;
    int Serial = 0;
    char16_t Letter = u'a';
    char Byte = 'b';
    bool Enabled = true;
    bool Verbose = false;
    TMood Mood = mdCalm;
    TMoods Moods{mdCalm};
    TMoods Flags;
    double Ratio = 0;
    double Stamp = 0;
    double Day = 0;
    double Hour = 0;
    int64_t Size = 0;
    String Title;
    std::string Utf8;
    String Hidden;
    TFrame frame;
    TStringList lines;
    TOwnedCollection tracks;
    TOwnedCollection tags;
};
RTL_PUBLISHED(TSample, c) {
    using T = TSample;
    c.Property("Count", &T::Count, &T::Count).Default(5);
    c.Property("Serial", &T::Serial, &T::Serial);
    c.Property("Letter", &T::Letter, &T::Letter).Default(u'a');
    c.Property("Byte", &T::Byte, &T::Byte).Default('b');
    c.Property("Enabled", &T::Enabled, &T::Enabled).Default(true);
    c.Property("Verbose", &T::Verbose, &T::Verbose);
    c.Property("Mood", &T::Mood, &T::Mood).Default(mdCalm);
    c.Property("Moods", &T::Moods, &T::Moods).Default(TMoods{mdCalm});
    c.Property("Flags", &T::Flags, &T::Flags);
    c.Property("Ratio", &T::Ratio, &T::Ratio);
    c.Property("Stamp", &T::Stamp, &T::Stamp).AsDateTime();
    c.Property("Day", &T::Day, &T::Day).AsDate();
    c.Property("Hour", &T::Hour, &T::Hour).AsTime();
    c.Property("Size", &T::Size, &T::Size);
    c.Property("Title", &T::Title, &T::Title);
    c.Property("Utf8", &T::Utf8, &T::Utf8);
    c.Property("Hidden", &T::Hidden, &T::Hidden).Stored(false);
    c.Property("Frame", &T::Frame);
    c.Property("Lines", &T::Lines);
    c.Property("Tracks", &T::Tracks);
    c.Property("Tags", &T::Tags);
}

// An object whose stored content is all in objects of its own.
class TNotes : public TPersistent {
    RTL_CLASS(TNotes, TPersistent);

public:
    TStringList* Lines() { return &lines; }
    int Width = 0;
    TStringList lines;
};
RTL_PUBLISHED(TNotes, c) {
    c.Property("Width", &TNotes::Width, &TNotes::Width).Default(0);
    c.Property("Lines", &TNotes::Lines);
}

class TNotebook : public TPersistent {
    RTL_CLASS(TNotebook, TPersistent);

public:
    TNotes* Notes() { return &notes; }
    TNotes notes;
};
RTL_PUBLISHED(TNotebook, c) { c.Property("Notes", &TNotebook::Notes); }

}  // namespace
