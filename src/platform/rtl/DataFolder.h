#pragma once
// Where the program keeps its data and writes its output by default.

#include "platform/rtl/String.h"

// $HOME, else the user's entry in the password database; without a trailing '/'.
String HomeFolder();
// $OSTREL_HOME when set, else ${XDG_DATA_HOME:-~/.local/share}/ostrel-converter
// (a relative XDG_DATA_HOME is ignored); without a trailing '/'.
String DataFolder();
// Creates the data folder and its Config/ folder and makes it the current folder.
void EnterDataFolder();
// ~/Conversion
String DefaultOutputFolder();
