#pragma once
// What every tree of the program shares: the check-image sets and utility
// glyphs, the header-split cursor, the OLE initialisation, the timer
// resolution and the tree's clipboard formats. The first tree constructed sets
// it up (SetUpTreeGlobals); the unit's finalisation tears it down, and does
// nothing of the sort when no tree was ever made.
//
// On this platform the text is always wide, the processor always has MMX and
// the system reports a version of Vista or later; themes are never in use.

#include <cstdint>
#include <memory>

#include "platform/rtl/TObject.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/graphics/ImageList.h"
#include "treeview/TreeClipboardFormats.h"

// Screen cursor numbers of the tree: the header's column splitter, and the
// vertical splitter, which has no picture of its own and shows the default.
inline constexpr TCursor crHeaderSplit = 63;
inline constexpr TCursor crVertSplit = 62;

// The shared image sets, in the order set-up makes them.
enum class TTreeImageSet {
    LightCheck,      // "VT_CHECK_LIGHT"
    DarkCheck,       // "VT_CHECK_DARK"
    LightTick,       // "VT_TICK_LIGHT"
    DarkTick,        // "VT_TICK_DARK"
    Flat,            // "VT_FLAT"
    XP,              // "VT_XP", colours kept
    Utilities,       // "VT_UTILITIES": drop marks, sort glyphs, hover bar
    SystemCheck,     // drawn as the system draws check boxes
    SystemFlatCheck, // the same, flat
};
inline constexpr int kTreeImageSetCount = 9;

struct TTreeGlobalState {
    bool Initialized = false;
    // OleInitialize succeeded: OleUninitialize is owed.
    bool OleInitialized = false;
    bool MmxAvailable = false;
    bool WideTextPlatform = false;
    bool Windows2000 = false;
    bool WindowsXP = false;
    bool VistaOrLater = false;
    // "View Tree Reference": registered, but offered through no format list.
    CLIPFORMAT ReferenceFormat = 0;
    TTreeFormatIds Formats;
};
const TTreeGlobalState& TreeGlobals() noexcept;

// Sets up the shared state unless it is set up already. The tree classes
// given are those the clipboard formats are registered for.
void SetUpTreeGlobals(TClass baseTree, TClass stringTree);
// Ends the timer resolution, frees the image sets and uninitialises OLE when owed.
void TearDownTreeGlobals();

bool ProcessorHasMmx() noexcept;

// A shared image set; null while the state is not set up.
TCustomImageList* TreeImageSet(TTreeImageSet set) noexcept;
// Refills List with the square images of the strip bitmap Name, transparent
// where the strip has the colour of its top-left pixel; MapColors takes white,
// silver, grey and black to the window, face, shadow and text colours. A
// missing or empty strip fails the assertion
// 'Internal image "<name>" is missing or corrupt.'.
void LoadCheckImageSet(TCustomImageList& list, const String& name, bool mapColors);
// A new set of 25 images of the system's check-mark size + 3 drawn as the
// system draws radio buttons and check boxes (images 1-20), with the push
// buttons of the flat or the dark check set (21-24).
std::unique_ptr<TImageList> CreateSystemCheckImages(UINT imageListFlags, bool flat);
// After a change of the system colours: the colour-mapped sets load again.
void ReloadMappedImageSets();

// Unit start-up (the flags cleared) and finalisation (torn down when set up,
// the format list freed).
void InitializeTreeGlobals();
void FinalizeTreeGlobals();

// The system calls of set-up and tear-down, replaceable by tests.
struct TTreeSystemCalls {
    HRESULT (*OleInitialize)(LPVOID);
    void (*OleUninitialize)();
    uint32_t (*TimeBeginPeriod)(uint32_t);
    uint32_t (*TimeEndPeriod)(uint32_t);
};
TTreeSystemCalls& TreeSystemCalls() noexcept;
