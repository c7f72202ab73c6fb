#pragma once
// Puts the window system on the desktop through Qt, chosen at start-up by the
// program (and by the tests of the presenter); without it windows stay in
// memory. Needs the QGuiApplication on the calling thread, the GUI thread:
// its top-level windows are presented, its waits run Qt's event loop, and the
// screens feed the desktop metrics. The desktop's clipboard, icon theme and
// the user's collation of names come with it.

#include "platform/rtl/String.h"
#include "platform/win/Types.h"

void InstallQtDesktop();
// Back to the in-memory presenter and the window system's own waits; the
// metrics are those from before. Before the QGuiApplication goes.
void UninstallQtDesktop();

// A screen's work area in place of what Qt reports (by QScreen::name); tests.
void OverrideWorkArea(const String& screenName, const RECT& workArea);
void ClearWorkAreaOverrides();
