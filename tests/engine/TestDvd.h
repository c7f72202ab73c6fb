#pragma once
// A VIDEO_TS folder that dvdauthor makes from our own PAL program streams
// (25 pictures a second, each of the brightness TestPictureLuma gives for its
// number). Title set 1: title 1 (6 s, chapters asked at 0, 2 and 4 s) and
// title 2 (3 s, chapters at 0 and 1.5 s), one audio track each. Title set 2:
// title 3 (4 s, one chapter) with two audio tracks.

#include "platform/rtl/String.h"

constexpr int kTestDvdRate = 25;

// Authors the folder on the first call of the test program; its path. Raises
// Exception when dvdauthor fails or is missing.
String TestDvdFolder();
// A DVD-Video ISO image of that folder, which genisoimage makes on the first
// call; its path. Raises Exception when genisoimage fails or is missing.
String TestDvdImage();
