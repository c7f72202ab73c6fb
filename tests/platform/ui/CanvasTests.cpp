#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "DibFixture.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Canvas.h"
#include "platform/win/backend/qt/QtShapeRasterizer.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/text/FontEngine.h"
#include "platform/win/text/Text.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A canvas on a white DIB with a red pen, a blue brush and the test face
// (16 pixels high, 8 wide per character, each glyph a box inset by one).
class CanvasTest : public GdiObjectsTest {
protected:
    void SetUp() override {
        GdiObjectsTest::SetUp();
        dib_ = std::make_unique<TDibDc>(24, 20);
        canvas_ = std::make_unique<TCanvas>();
        canvas_->SetHandle(dib_->dc);
        canvas_->Pen()->SetColor(clRed);
        canvas_->Brush()->SetColor(clBlue);
        canvas_->Font()->SetName(kTestFaceName);
        canvas_->Font()->SetHeight(-16);
        canvas_->Font()->SetColor(clBlack);
    }
    void TearDown() override {
        canvas_.reset();
        dib_.reset();
        GdiObjectsTest::TearDown();
    }
    std::string Row(int y) const { return dib_->Row(y, {{kWhite, '.'}, {kRed, 'r'}, {kBlue, 'b'}, {0, '#'}}); }

    std::unique_ptr<TDibDc> dib_;
    std::unique_ptr<TCanvas> canvas_;
};

TEST_F(CanvasTest, SelectsEachObjectOnlyWhenADrawingCallNeedsIt) {
    const HDC dc = dib_->dc;
    const HGDIOBJ pen0 = GetCurrentObject(dc, OBJ_PEN), font0 = GetCurrentObject(dc, OBJ_FONT);
    EXPECT_EQ(canvas_->State(), TCanvasState{csHandleValid});

    canvas_->FillRect(TRect{0, 0, 2, 2}); // the brush only
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), ToGdiObject(canvas_->Brush()->Handle()));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen0);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font0);
    EXPECT_FALSE(canvas_->Pen()->HandleAllocated());
    EXPECT_FALSE(canvas_->Font()->HandleAllocated());

    canvas_->LineTo(3, 3); // now the pen
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), ToGdiObject(canvas_->Pen()->Handle()));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font0);

    canvas_->TextExtent(u"a"); // and the font with its colour
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ToGdiObject(canvas_->Font()->Handle()));
    EXPECT_EQ(canvas_->State(), (TCanvasState{csHandleValid, csFontValid, csPenValid, csBrushValid}));

    // Leaving the DC gives it back its own objects.
    canvas_->SetHandle(nullptr);
    EXPECT_NE(GetCurrentObject(dc, OBJ_BRUSH), ToGdiObject(canvas_->Brush()->Handle()));
    EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), ToGdiObject(canvas_->Pen()->Handle()));
    EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), ToGdiObject(canvas_->Font()->Handle()));
    EXPECT_NE(GetCurrentObject(dc, OBJ_BRUSH), nullptr);
    EXPECT_EQ(canvas_->State(), TCanvasState{});
}

TEST_F(CanvasTest, AChangedObjectIsDeselectedAtOnceAndItsNewHandleDrawsNext) {
    canvas_->MoveTo(0, 1);
    canvas_->LineTo(4, 1);
    const HPEN redPen = canvas_->Pen()->Handle();
    canvas_->Pen()->SetColor(clBlue);
    EXPECT_NE(GetCurrentObject(dib_->dc, OBJ_PEN), ToGdiObject(redPen));
    EXPECT_FALSE(canvas_->State().Contains(csPenValid));
    canvas_->LineTo(8, 1);
    EXPECT_EQ(Row(1).substr(0, 9), "rrrrbbbb.");
    EXPECT_EQ(GetCurrentObject(dib_->dc, OBJ_PEN), ToGdiObject(canvas_->Pen()->Handle()));

    // Refresh forgets every selection; drawing selects again.
    canvas_->Refresh();
    EXPECT_EQ(canvas_->State(), TCanvasState{csHandleValid});
    canvas_->FillRect(TRect{0, 3, 2, 4});
    EXPECT_EQ(Row(3).substr(0, 3), "bb.");
}

TEST_F(CanvasTest, PrimitivesDrawWithThePenAndTheBrush) {
    canvas_->Rectangle(1, 1, 6, 5);
    EXPECT_EQ(Row(0).substr(0, 7), ".......");
    EXPECT_EQ(Row(1).substr(0, 7), ".rrrrr.");
    EXPECT_EQ(Row(2).substr(0, 7), ".rbbbr.");
    EXPECT_EQ(Row(4).substr(0, 7), ".rrrrr.");

    canvas_->Brush()->SetStyle(bsClear);
    canvas_->Pen()->SetWidth(1);
    canvas_->Rectangle(8, 1, 12, 4);
    EXPECT_EQ(Row(2).substr(7, 6), ".r..r.");

    canvas_->Brush()->SetColor(clRed); // solid again
    canvas_->FrameRect(TRect{14, 1, 18, 4});
    EXPECT_EQ(Row(1).substr(13, 6), ".rrrr.");
    EXPECT_EQ(Row(2).substr(13, 6), ".r..r.");

    canvas_->Pen()->SetStyle(psClear);
    canvas_->Brush()->SetColor(clBlue);
    const TPoint triangle[] = {{0, 10}, {8, 10}, {0, 18}};
    InstallQtShapeRasterizer();
    canvas_->Polygon(triangle);
    EXPECT_EQ(dib_->At(1, 11), kBlue);
    EXPECT_EQ(dib_->At(7, 17), kWhite);

    canvas_->Pen()->SetStyle(psSolid);
    canvas_->Ellipse(10, 8, 22, 20);
    EXPECT_EQ(dib_->At(16, 8), kRed);  // the outline
    EXPECT_EQ(dib_->At(16, 14), kBlue); // inside
    EXPECT_EQ(dib_->At(10, 8), kWhite); // outside the corner

    const TPoint path[] = {{0, 6}, {3, 6}, {3, 8}};
    canvas_->Polyline(path);
    EXPECT_EQ(Row(6).substr(0, 5), "rrrr.");
    EXPECT_EQ(dib_->At(3, 7), kRed);
    EXPECT_EQ(dib_->At(3, 8), kWhite);
}

TEST_F(CanvasTest, LinesMoveThePenPositionAndPixelsReadAndWriteColours) {
    canvas_->SetPenPos(TPoint{2, 0});
    EXPECT_EQ(canvas_->PenPos(), (TPoint{2, 0}));
    canvas_->LineTo(6, 0);
    EXPECT_EQ(canvas_->PenPos(), (TPoint{6, 0}));
    EXPECT_EQ(Row(0).substr(0, 8), "..rrrr..");

    canvas_->SetPixel(0, 5, clBtnShadow);
    EXPECT_EQ(COLORREF(canvas_->Pixel(0, 5)), GetSysColor(COLOR_BTNSHADOW));
    canvas_->SetPixel(1, 5, clLime);
    EXPECT_EQ(canvas_->Pixel(1, 5), clLime);
    EXPECT_EQ(canvas_->Pixel(2, 5), clWhite);
}

TEST_F(CanvasTest, TextOutWritesTheFontColourOnTheBrushAndMovesThePen) {
    EXPECT_EQ(canvas_->TextExtent(u"ab"), (TSize{16, 16}));
    EXPECT_EQ(canvas_->TextWidth(u"abc"), 24);
    EXPECT_EQ(canvas_->TextHeight(u"a"), 16);

    canvas_->TextOut(2, 1, u"a");
    EXPECT_EQ(dib_->At(2, 1), kBlue); // the cell's inset edge: the brush behind the glyph
    EXPECT_EQ(dib_->At(5, 8), 0u);    // the glyph's box in the font colour
    EXPECT_EQ(dib_->At(1, 8), kWhite);
    EXPECT_EQ(dib_->At(10, 8), kWhite);
    EXPECT_EQ(canvas_->PenPos(), (TPoint{10, 1}));

    dib_->Fill(kWhite);
    canvas_->Brush()->SetStyle(bsClear);
    canvas_->Font()->SetColor(clRed);
    canvas_->TextOut(2, 1, u"a");
    EXPECT_EQ(dib_->At(2, 1), kWhite);
    EXPECT_EQ(dib_->At(5, 8), kRed);
}

TEST_F(CanvasTest, TextRectClipsToItsRectangleWhichAnOpaqueBrushFills) {
    canvas_->TextRect(TRect{4, 2, 22, 18}, 0, 2, u"ab");
    EXPECT_EQ(dib_->At(2, 8), kWhite);  // inside the first glyph but left of the rectangle
    EXPECT_EQ(dib_->At(5, 8), 0u);      // the first glyph's right part
    EXPECT_EQ(dib_->At(12, 8), 0u);     // the second glyph
    EXPECT_EQ(dib_->At(19, 8), kBlue);  // the rectangle filled beyond the text
    EXPECT_EQ(dib_->At(23, 8), kWhite); // right of the rectangle
    EXPECT_EQ(dib_->At(10, 1), kWhite); // above it
    EXPECT_EQ(dib_->At(10, 18), kWhite); // below it

    dib_->Fill(kWhite);
    canvas_->Brush()->SetStyle(bsClear);
    canvas_->TextRect(TRect{4, 2, 22, 18}, 0, 2, u"ab");
    EXPECT_EQ(dib_->At(5, 8), 0u);
    EXPECT_EQ(dib_->At(19, 8), kWhite);
    EXPECT_EQ(dib_->At(2, 8), kWhite);

    // With a format: DrawTextW's layout, measuring when asked.
    TRect bounds{0, 0, 100, 0};
    String text = u"ab\ncd e";
    canvas_->TextRect(bounds, text, DT_CALCRECT);
    EXPECT_EQ(bounds, (TRect{0, 0, 32, 32}));
    TRect line{0, 0, 20, 16};
    String path = u"abcdefgh";
    canvas_->TextRect(line, path, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    EXPECT_LT(path.size(), 8u);
}

TEST_F(CanvasTest, DrawingCallsAnnounceThemselvesBeforeAndAfter) {
    std::vector<std::string> log;
    canvas_->OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, canvas_.get());
        log.push_back(dib_->At(0, 0) == kWhite ? "changing, not drawn" : "changing, drawn");
    };
    canvas_->OnChange = [&](TObject*) { log.push_back(dib_->At(0, 0) == kBlue ? "changed, drawn" : "changed"); };
    canvas_->FillRect(TRect{0, 0, 1, 1});
    EXPECT_EQ(log, (std::vector<std::string>{"changing, not drawn", "changed, drawn"}));

    log.clear();
    canvas_->TextExtent(u"x");
    canvas_->MoveTo(1, 1);
    canvas_->Pixel(0, 0);
    EXPECT_TRUE(log.empty()) << "measuring and moving draw nothing";
}

TEST_F(CanvasTest, CopyRectStretchesAnotherCanvasThroughTheCopyMode) {
    TDibDc sourceDib(2, 1);
    SetPixel(sourceDib.dc, 0, 0, kRed);
    SetPixel(sourceDib.dc, 1, 0, kBlue);
    TCanvas source;
    source.SetHandle(sourceDib.dc);

    EXPECT_EQ(canvas_->CopyMode(), cmSrcCopy);
    canvas_->CopyRect(TRect{0, 0, 4, 2}, &source, TRect{0, 0, 2, 1});
    EXPECT_EQ(Row(0).substr(0, 5), "rrbb.");
    EXPECT_EQ(Row(1).substr(0, 5), "rrbb.");

    canvas_->SetCopyMode(cmNotSrcCopy);
    canvas_->CopyRect(TRect{0, 3, 1, 4}, &source, TRect{0, 0, 1, 1});
    EXPECT_EQ(dib_->At(0, 3), RGB(0, 255, 255));
}

TEST_F(CanvasTest, ClipRectAnswersTheDrawableBounds) {
    EXPECT_EQ(canvas_->ClipRect(), (TRect{0, 0, 24, 20}));
    IntersectClipRect(dib_->dc, 2, 3, 10, 7);
    EXPECT_EQ(canvas_->ClipRect(), (TRect{2, 3, 10, 7}));
    canvas_->FillRect(TRect{0, 0, 24, 20});
    EXPECT_EQ(Row(3), "..bbbbbbbb..............");
    EXPECT_EQ(Row(2), "........................");
}

class TLazyCanvas : public TCanvas {
public:
    explicit TLazyCanvas(HDC dc) : dc_(dc) {}
    int created = 0;

protected:
    void CreateHandle() override {
        ++created;
        SetHandle(dc_);
    }

private:
    HDC dc_;
};

TEST_F(CanvasTest, ACanvasWithoutADcAsksForOneAndRefusesToDrawWithoutIt) {
    TCanvas bare;
    EXPECT_FALSE(bare.HandleAllocated());
    try {
        bare.FillRect(TRect{0, 0, 1, 1});
        FAIL() << "drew without a DC";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), String("Canvas does not allow drawing"));
    }
    EXPECT_THROW(bare.TextWidth(u"a"), EInvalidOperation);

    TLazyCanvas lazy(dib_->dc);
    lazy.Brush()->SetColor(clRed);
    lazy.FillRect(TRect{0, 0, 2, 1});
    lazy.FillRect(TRect{2, 0, 3, 1});
    EXPECT_EQ(lazy.created, 1);
    EXPECT_EQ(lazy.Handle(), dib_->dc);
    EXPECT_EQ(Row(0).substr(0, 4), "rrr.");
    canvas_->SetHandle(nullptr); // the fixture's canvas lets go first
}

TEST_F(CanvasTest, LockKeepsOtherThreadsOutUntilTheLastUnlock) {
    canvas_->Lock();
    canvas_->Lock();
    EXPECT_EQ(canvas_->LockCount(), 2);
    bool locked = true;
    std::thread([&] { locked = canvas_->TryLock(); }).join();
    EXPECT_FALSE(locked);
    canvas_->Unlock();
    canvas_->Unlock();
    EXPECT_EQ(canvas_->LockCount(), 0);
    std::thread([&] {
        locked = canvas_->TryLock();
        if (locked) canvas_->Unlock();
    }).join();
    EXPECT_TRUE(locked);
}

} // namespace
