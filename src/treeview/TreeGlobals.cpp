#include "treeview/TreeGlobals.h"

#include <array>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/Screen.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/input/Input.h"
#include "platform/win/system/Modules.h"
#include "platform/win/system/SystemMetrics.h"

namespace {

struct TTreeShared {
    TTreeGlobalState state;
    std::array<std::unique_ptr<TImageList>, kTreeImageSetCount> images;
    // Held while an image set loads.
    TCriticalSection imageLock;
};

TTreeShared& Shared() {
    static TTreeShared shared;
    return shared;
}

struct TTreeStripResource {
    TTreeImageSet set;
    const char16_t* name;
    bool mapColors;
};
constexpr TTreeStripResource kTreeStrips[] = {
    {TTreeImageSet::LightCheck, u"VT_CHECK_LIGHT", true}, {TTreeImageSet::DarkCheck, u"VT_CHECK_DARK", true},
    {TTreeImageSet::LightTick, u"VT_TICK_LIGHT", true},   {TTreeImageSet::DarkTick, u"VT_TICK_DARK", true},
    {TTreeImageSet::Flat, u"VT_FLAT", true},              {TTreeImageSet::XP, u"VT_XP", false},
    {TTreeImageSet::Utilities, u"VT_UTILITIES", true},
};

constexpr int kTreeImageSize = 16;
// The system check images' transparent colour.
constexpr TColor kSystemCheckMask = clRed;

std::unique_ptr<TImageList>& ImageSlot(TTreeImageSet set) { return Shared().images[size_t(set)]; }

// An empty list of Size x Size images with the flags given.
std::unique_ptr<TImageList> NewImageList(int width, int height, UINT flags) {
    auto list = std::make_unique<TImageList>(nullptr);
    list->SetHandle(ImageList_Create(width, height, flags, 0, list->AllocBy()));
    return list;
}

HINSTANCE TreeModule() { return GetModuleHandleW(nullptr); }

} // namespace

const TTreeGlobalState& TreeGlobals() noexcept { return Shared().state; }

TTreeSystemCalls& TreeSystemCalls() noexcept {
    static TTreeSystemCalls calls{OleInitialize, OleUninitialize, timeBeginPeriod, timeEndPeriod};
    return calls;
}

bool ProcessorHasMmx() noexcept {
    // Every processor the program runs on has it; the blends need none anyway.
    return true;
}

TCustomImageList* TreeImageSet(TTreeImageSet set) noexcept { return ImageSlot(set).get(); }

void LoadCheckImageSet(TCustomImageList& list, const String& name, bool mapColors) {
    TLock<TCriticalSection> guard(Shared().imageLock);
    TBitmap strip;
    strip.SetHandle(mapColors ? CreateMappedBitmap(TreeModule(), reinterpret_cast<INT_PTR>(name.c_str()), 0, nullptr, 0)
                              : LoadBitmapW(TreeModule(), name.c_str()));
    const int size = strip.Height();
    if (size < 1) {
        const String message = u"Internal image \"" + name + u"\" is missing or corrupt.";
        AssertionFailed(message.ToUtf8().c_str(), __FILE__, __LINE__);
    }
    list.BeginUpdate();
    list.Clear();
    list.SetSize(size, size);
    const TColor mask = strip.Canvas()->Pixel(0, 0);
    TBitmap square;
    square.SetSize(size, size);
    for (int i = 0; i < strip.Width() / size; ++i) {
        BitBlt(square.Canvas()->Handle(), 0, 0, size, size, strip.Canvas()->Handle(), i * size, 0, SRCCOPY);
        list.AddMasked(&square, mask);
    }
    list.EndUpdate();
}

std::unique_ptr<TImageList> CreateSystemCheckImages(UINT imageListFlags, bool flat) {
    const int width = GetSystemMetrics(SM_CXMENUCHECK) + 3, height = GetSystemMetrics(SM_CYMENUCHECK) + 3;
    auto list = NewImageList(width, height, imageListFlags | ILC_MASK);
    list->SetBkColor(clWhite);
    TBitmap image;
    image.SetSize(width, height);
    TCanvas& canvas = *image.Canvas();
    auto addImage = [&](const std::function<void(HDC)>& draw) {
        canvas.Brush()->SetColor(kSystemCheckMask);
        canvas.FillRect(TRect{0, 0, width, height});
        draw(canvas.Handle());
        list->AddMasked(&image, kSystemCheckMask);
    };
    addImage([](HDC) {});
    for (UINT i = 0; i < 20; ++i) {
        UINT state = i < 8 ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
        if (i >= 16) state |= DFCS_BUTTON3STATE;
        constexpr UINT kLooks[] = {0, DFCS_HOT, DFCS_PUSHED, DFCS_INACTIVE};
        state |= kLooks[i % 4];
        if ((i >= 4 && i <= 7) || i >= 12) state |= DFCS_CHECKED;
        if (flat) state |= DFCS_FLAT;
        addImage([&](HDC dc) {
            RECT r{1, 2, width - 2, height - 1};
            DrawFrameControl(dc, &r, DFC_BUTTON, state);
        });
    }
    // The push buttons come from a resource set, centred.
    TCustomImageList* buttons = TreeImageSet(flat ? TTreeImageSet::Flat : TTreeImageSet::DarkCheck);
    const int x = (width - buttons->Width()) / 2, y = (height - buttons->Height()) / 2;
    for (int i = 21; i <= 24; ++i)
        addImage([&](HDC dc) { ImageList_Draw(buttons->Handle(), i, dc, x, y, ILD_TRANSPARENT); });
    return list;
}

void ReloadMappedImageSets() {
    for (const TTreeStripResource& strip : kTreeStrips)
        if (strip.mapColors && ImageSlot(strip.set)) LoadCheckImageSet(*ImageSlot(strip.set), strip.name, true);
}

void SetUpTreeGlobals(TClass baseTree, TClass stringTree) {
    TTreeGlobalState& state = Shared().state;
    if (state.Initialized) return;
    state.Initialized = true;
    state.MmxAvailable = ProcessorHasMmx();
    state.WideTextPlatform = true;
    state.Windows2000 = state.WindowsXP = false;
    state.VistaOrLater = true;

    state.OleInitialized = TreeSystemCalls().OleInitialize(nullptr) >= 0;
    state.ReferenceFormat = CLIPFORMAT(RegisterClipboardFormatW(kTreeReferenceFormatName));

    const UINT flags = state.WideTextPlatform ? ILC_COLOR32 | ILC_MASK : ILC_COLOR16 | ILC_MASK;
    for (const TTreeStripResource& strip : kTreeStrips) {
        ImageSlot(strip.set) = NewImageList(kTreeImageSize, kTreeImageSize, flags);
        LoadCheckImageSet(*ImageSlot(strip.set), strip.name, strip.mapColors);
    }
    ImageSlot(TTreeImageSet::SystemCheck) = CreateSystemCheckImages(flags, false);
    ImageSlot(TTreeImageSet::SystemFlatCheck) = CreateSystemCheckImages(flags, true);

    TreeSystemCalls().TimeBeginPeriod(1);

    Screen().SetCursors(crHeaderSplit, LoadCursorW(TreeModule(), u"VT_HEADERSPLIT"));
    Screen().SetCursors(crVertSplit, LoadCursorW(TreeModule(), u"VT_VERTSPLIT"));

    state.Formats = RegisterTreeClipboardFormats(baseTree, stringTree);
}

void TearDownTreeGlobals() {
    TTreeGlobalState& state = Shared().state;
    TreeSystemCalls().TimeEndPeriod(1);
    for (auto& list : Shared().images) list.reset();
    if (state.OleInitialized) TreeSystemCalls().OleUninitialize();
    state = TTreeGlobalState{};
}

void InitializeTreeGlobals() { Shared().state = TTreeGlobalState{}; }

void FinalizeTreeGlobals() {
    if (Shared().state.Initialized) TearDownTreeGlobals();
    FreeClipboardFormatRegistry();
}
