// The framework's image lists: change notification, images added, keyed,
// moved and streamed, disabled drawing, references freed with the list, and
// the drag picture.

#include <gtest/gtest.h>

#include <string>

#include "ControlFixture.h"
#include "graphics/GraphicsFixture.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/ui/graphics/ImageListReference.h"
#include "platform/win/system/SystemColors.h"

namespace {

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kGrey = 0x404040;

// A pf32bit bitmap of rows of letters: r red, g green, b blue, f fuchsia, w white.
void Paint(TBitmap& bitmap, std::initializer_list<std::string> rows) {
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(int(rows.begin()->size()), int(rows.size()));
    int y = 0;
    for (const std::string& row : rows) {
        for (int x = 0; x < int(row.size()); ++x) {
            const TColor color = row[x] == 'r' ? kRed : row[x] == 'g' ? kGreen : row[x] == 'b' ? kBlue
                                 : row[x] == 'f' ? clFuchsia : clWhite;
            bitmap.Canvas()->SetPixel(x, y, color);
        }
        ++y;
    }
}

// What the list draws of each image on a grey canvas, a letter per pixel
// (r, g, b, f, w, '.' grey, '?' other), images side by side.
std::string Drawn(TCustomImageList& list, bool enabled = true) {
    TBitmap canvas;
    canvas.SetPixelFormat(pf32bit);
    canvas.SetSize(list.Width() * list.Count(), list.Height());
    canvas.Canvas()->Brush()->SetColor(kGrey);
    canvas.Canvas()->FillRect(TRect{0, 0, canvas.Width(), canvas.Height()});
    for (int i = 0; i < list.Count(); ++i) list.Draw(canvas.Canvas(), i * list.Width(), 0, i, enabled);
    std::string out;
    for (int y = 0; y < canvas.Height(); ++y) {
        if (y) out += '/';
        for (int x = 0; x < canvas.Width(); ++x) {
            const TColor c = canvas.Canvas()->Pixel(x, y);
            out += c == kRed ? 'r' : c == kGreen ? 'g' : c == kBlue ? 'b' : c == clFuchsia ? 'f' : c == clWhite ? 'w'
                 : c == kGrey ? '.' : '?';
        }
    }
    return out;
}

struct TCounter {
    int changes = 0;
    TChangeLink link;
    explicit TCounter(TCustomImageList& list) {
        link.OnChange = [this](TObject*) { ++changes; };
        list.RegisterChanges(&link);
    }
};

class CustomImageListTest : public GraphicsTest {};

TEST_F(CustomImageListTest, ANewSizeClearsTheListAndTellsEachLinkAndOnChangeOnce) {
    TImageList list(nullptr, 2, 1);
    TBitmap strip;
    Paint(strip, {"rrggbb"});
    ASSERT_EQ(list.Add(&strip, nullptr), 0);
    ASSERT_EQ(list.Count(), 3);
    TCounter first(list), second(list);
    int onChange = 0;
    list.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++onChange;
    };
    list.SetWidth(3);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(first.changes, 1);
    EXPECT_EQ(second.changes, 1);
    EXPECT_EQ(onChange, 1);
    list.SetSize(3, 1); // unchanged: nothing told
    EXPECT_EQ(first.changes, 1);
    list.UnRegisterChanges(&second.link);
    EXPECT_EQ(second.link.Sender(), nullptr);
    list.SetHeight(2);
    EXPECT_EQ(first.changes, 2);
    EXPECT_EQ(second.changes, 1);
}

TEST_F(CustomImageListTest, ABatchIsToldOnceAtTheOutermostEndUpdateAndAnEmptyBatchNotAtAll) {
    TImageList list(nullptr, 1, 1);
    TCounter counter(list);
    TBitmap image;
    Paint(image, {"r"});
    list.BeginUpdate();
    list.BeginUpdate();
    for (int i = 0; i < 5; ++i) list.Add(&image, nullptr);
    list.EndUpdate();
    EXPECT_EQ(counter.changes, 0);
    list.EndUpdate();
    EXPECT_EQ(counter.changes, 1);
    EXPECT_EQ(list.Count(), 5);

    list.BeginUpdate();
    list.EndUpdate();
    list.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(counter.changes, 1);
    list.Delete(0);
    EXPECT_EQ(counter.changes, 2);
}

TEST_F(CustomImageListTest, AddMaskedKeysOnTheColourGivenOrTheBottomLeftPixel) {
    struct {
        TColor key;
        const char* drawn;
    } cases[] = {
        {clDefault, "rg/.."}, // bottom-left is blue
        {kRed, ".g/bb"},
        {clNone, "rg/bb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.drawn);
        TImageList list(nullptr, 2, 2);
        TBitmap image;
        Paint(image, {"rg", "bb"});
        ASSERT_EQ(list.AddMasked(&image, c.key), 0);
        EXPECT_EQ(Drawn(list), c.drawn);
    }
}

TEST_F(CustomImageListTest, DisabledImagesDrawTheirShapeEmbossedInHighlightAndShadow) {
    TImageList list(nullptr, 4, 4);
    TBitmap image;
    Paint(image, {"ffff", "frrf", "frrf", "ffff"});
    list.AddMasked(&image, clFuchsia);
    TBitmap target;
    target.SetPixelFormat(pf32bit);
    target.SetSize(8, 8);
    TCanvas* canvas = target.Canvas();
    canvas->Brush()->SetColor(kGrey);
    canvas->FillRect(TRect{0, 0, 8, 8});
    canvas->Brush()->SetColor(kGreen);
    list.Draw(canvas, 2, 2, 0, false);

    const TColor shadow = TColor(GetSysColor(COLOR_BTNSHADOW)), light = TColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    ASSERT_NE(shadow, light);
    // The shape covers (3, 3)-(4, 4); its highlight copy lies one down and right.
    for (auto [x, y] : {std::pair{3, 3}, {4, 3}, {3, 4}, {4, 4}}) EXPECT_EQ(canvas->Pixel(x, y), shadow) << x << "," << y;
    for (auto [x, y] : {std::pair{5, 4}, {5, 5}, {4, 5}}) EXPECT_EQ(canvas->Pixel(x, y), light) << x << "," << y;
    for (auto [x, y] : {std::pair{2, 2}, {5, 3}, {3, 5}, {6, 6}}) EXPECT_EQ(canvas->Pixel(x, y), kGrey) << x << "," << y;
    EXPECT_EQ(canvas->Brush()->Color(), kGreen); // the canvas keeps its brush
    EXPECT_EQ(canvas->CopyMode(), cmSrcCopy);
}

TEST_F(CustomImageListTest, ImagesMoveInsertAndDeleteInOrder) {
    TImageList list(nullptr, 1, 1);
    TBitmap strip, white;
    Paint(strip, {"rgb"});
    Paint(white, {"w"});
    list.Add(&strip, nullptr);
    list.Move(0, 2);
    EXPECT_EQ(Drawn(list), "gbr");
    list.Move(2, 0);
    EXPECT_EQ(Drawn(list), "rgb");
    list.Insert(1, &white, nullptr);
    EXPECT_EQ(Drawn(list), "rwgb");
    list.InsertMasked(4, &white, clWhite);
    EXPECT_EQ(Drawn(list), "rwgb.");
    list.Delete(0);
    EXPECT_EQ(Drawn(list), "wgb.");
    list.Replace(0, &strip, nullptr);
    EXPECT_EQ(Drawn(list), "rgb.");
    list.ReplaceMasked(1, &white, clWhite);
    EXPECT_EQ(Drawn(list), "r.b.");
    EXPECT_THROW(list.Delete(4), EInvalidOperation);
    EXPECT_THROW(list.Move(0, 4), EInvalidOperation);
    EXPECT_THROW(list.Insert(6, &white, nullptr), EInvalidOperation);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(CustomImageListTest, ResourceLoadFillsTheListFromAStripKeyedOnTheMaskColour) {
    TBitmap strip;
    Paint(strip, {"rfgf", "ffbb"});
    TMemoryStream stream;
    strip.SaveToStream(stream);
    AddTestResource(u"BITMAP", u"IMAGELIST_TEST_STRIP", StreamBytes(stream));
    TImageList list(nullptr, 2, 2);
    TBitmap image;
    Paint(image, {"ww", "ww"});
    list.Add(&image, nullptr);
    TCounter counter(list);
    ASSERT_TRUE(list.ResourceLoad(rtBitmap, u"imagelist_test_strip", clFuchsia));
    EXPECT_EQ(counter.changes, 1);
    EXPECT_EQ(Drawn(list), "r.g./..bb");
    EXPECT_FALSE(list.ResourceLoad(rtBitmap, u"NO_SUCH_STRIP", clFuchsia));
    EXPECT_EQ(list.Count(), 2);
}

// A list whose data is kept elsewhere and whose drawing is its own.
class TOwnDrawnList : public TImageList {
public:
    using TImageList::TImageList;
    std::vector<UINT> drawn;
    int changes = 0;

protected:
    void DoDraw(int, TCanvas*, int, int, UINT style, bool) override { drawn.push_back(style); }
    void Change() override {
        ++changes;
        TImageList::Change();
    }
    void ReadData(TStream&) override {}
    void WriteData(TStream&) override {}
};

TEST_F(CustomImageListTest, ImagesAndPropertiesSurviveAComponentStreamAndSubclassesReplaceTheData) {
    TImageList list(nullptr, 2, 1);
    list.SetBkColor(kBlue);
    TBitmap strip;
    Paint(strip, {"rfgf"});
    list.AddMasked(&strip, clFuchsia);
    TMemoryStream stream;
    WriteComponent(stream, &list);

    stream.SetPosition(0);
    TImageList read(nullptr);
    ReadComponent(stream, &read);
    EXPECT_EQ(read.Width(), 2);
    EXPECT_EQ(read.BkColor(), kBlue);
    read.SetBkColor(clNone);
    EXPECT_EQ(Drawn(read), "r.g.");

    // The subclass keeps no data in the stream: what it reads back is empty.
    TOwnDrawnList written(nullptr, 2, 1), own(nullptr);
    written.Add(&strip, nullptr);
    TMemoryStream ownStream;
    WriteComponent(ownStream, &written);
    ownStream.SetPosition(0);
    ReadComponent(ownStream, &own);
    EXPECT_EQ(own.Width(), 2);
    EXPECT_EQ(own.Count(), 0);
    own.Add(&strip, nullptr);
    own.Draw(nullptr, 0, 0, 0); // no canvas: nothing drawn
    TBitmap target;
    target.SetSize(1, 1);
    own.Draw(target.Canvas(), 0, 0, 1, dsSelected, itMask);
    own.DrawOverlay(target.Canvas(), 0, 0, 0, 2, dsTransparent, itImage);
    EXPECT_EQ(own.drawn, (std::vector<UINT>{ILD_SELECTED | ILD_MASK, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(3)}));
    EXPECT_GT(own.changes, 0);
}

TEST_F(CustomImageListTest, AFreedListLeavesItsLinksWithoutSenderAndItsReferencesEmpty) {
    auto list = std::make_unique<TImageList>(nullptr);
    TChangeLink link;
    list->RegisterChanges(&link);
    int told = 0;
    TImageListReference reference([&] { ++told; });
    reference.Set(list.get());
    EXPECT_EQ(told, 1);
    list->SetWidth(8);
    EXPECT_EQ(told, 2);
    list.reset();
    EXPECT_EQ(link.Sender(), nullptr);
    EXPECT_EQ(reference.Get(), nullptr);
    EXPECT_EQ(told, 3);

    // A reference that moves to another list no longer hears the first.
    TImageList first(nullptr), second(nullptr);
    reference.Set(&first);
    reference.Set(&second);
    told = 0;
    first.SetWidth(4);
    EXPECT_EQ(told, 0);
    second.SetWidth(4);
    EXPECT_EQ(told, 1);
}

// A control drawing image 0 of its Images.
class TImageControl : public TGraphicControl {
public:
    explicit TImageControl(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 16, 16); }
    TCustomImageList* Images() const { return images_.Get(); }
    void SetImages(TCustomImageList* value) { images_.Set(value); }
    int invalidated = 0;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(kGrey);
        Canvas()->FillRect(ClientRect());
        if (Images()) Images()->Draw(Canvas(), 0, 0, 0);
    }

private:
    TImageListReference images_{[this] {
        ++invalidated;
        Invalidate();
    }};
};

class ImageListHolderTest : public FormTest {};

TEST_F(ImageListHolderTest, AControlsImagesAreClearedWhenTheListIsFreedAndNeverDrawnAfterwards) {
    TForm* form = ShownForm(TRect{50, 50, 250, 200});
    auto* control = new TImageControl(form);
    control->SetParent(form);
    auto* list = new TImageList(nullptr, 16, 16);
    TBitmap image;
    image.SetPixelFormat(pf32bit);
    image.SetSize(16, 16);
    image.Canvas()->Brush()->SetColor(kRed);
    image.Canvas()->FillRect(TRect{0, 0, 16, 16});
    list->Add(&image, nullptr);
    control->SetImages(list);
    PumpMessages();
    EXPECT_EQ(form->Canvas()->Pixel(5, 5), kRed);

    const int before = control->invalidated;
    delete list;
    EXPECT_EQ(control->Images(), nullptr);
    EXPECT_EQ(control->invalidated, before + 1);
    PumpMessages();
    EXPECT_EQ(form->Canvas()->Pixel(5, 5), kGrey);

    // A list of the same owner goes with the form, before or after the control.
    auto* sibling = new TImageList(form);
    control->SetImages(sibling);
    form->Release();
    PumpMessages();
}

TEST_F(ImageListHolderTest, TheDragPictureFollowsTheListsDragOperations) {
    TForm* form = ShownForm(TRect{50, 50, 250, 200});
    TImageList list(nullptr, 4, 4);
    TBitmap strip;
    Paint(strip, {"rrrrgggg", "rrrrgggg", "rrrrgggg", "rrrrgggg"});
    list.Add(&strip, nullptr);
    EXPECT_FALSE(list.DragMove(1, 1));
    EXPECT_TRUE(list.SetDragImage(1, 2, 3));
    EXPECT_FALSE(list.SetDragImage(2, 0, 0));
    EXPECT_EQ(list.GetHotSpot(), (TPoint{2, 3}));

    ASSERT_TRUE(list.BeginDrag(form->Handle(), 10, 20));
    EXPECT_TRUE(list.Dragging());
    POINT position{}, hot{};
    ASSERT_NE(ImageList_GetDragImage(&position, &hot), nullptr);
    EXPECT_EQ(position.x, 10);
    EXPECT_EQ(position.y, 20);
    EXPECT_EQ(hot.x, 2);
    EXPECT_EQ(hot.y, 3);
    EXPECT_TRUE(list.DragMove(30, 40));
    ImageList_GetDragImage(&position, &hot);
    EXPECT_EQ(position.x, 30);

    // A new picture during the drag stays where the old one was.
    EXPECT_TRUE(list.SetDragImage(0, 1, 1));
    ImageList_GetDragImage(&position, &hot);
    EXPECT_EQ(position.y, 40);
    EXPECT_EQ(hot.x, 1);
    list.HideDragImage();
    list.ShowDragImage();
    list.DragUnlock();
    EXPECT_TRUE(list.DragLock(nullptr, 5, 6));

    EXPECT_TRUE(list.EndDrag());
    EXPECT_FALSE(list.Dragging());
    EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr);
    EXPECT_FALSE(list.EndDrag());
}

} // namespace
