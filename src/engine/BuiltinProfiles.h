#pragma once
// The profiles the program ships with and the categories that group them.

#include <array>

#include "engine/ProfileTables.h"

class TAVProfileList;

// In the order users see them.
enum class TProfileCategory {
    pcCommonVideo, pcHdVideo, pcIPhone, pcIPad, pcIPodAppleTv, pcAndroidPhone, pcAndroidTablet, pcFeaturePhone,
    pcPsp, pcPlayStation, pcXbox, pcNintendo, pcPortablePlayer, pcTv, pcWebVideo, pcDisc, pcDvCamcorder, pcAudio,
    pcRingtone, pcImages, pcUser
};

// The names shown to users (UTF-8), by ordinal; profiles name their category by them.
extern const std::array<const char*, kValueCount<TProfileCategory::pcUser>> ProfileCategoryNames;

// Sets the list's categories and appends the built-in profiles, owned by the list.
void AddBuiltinProfiles(TAVProfileList& list);
