#include "ListViewFixture.h"

#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/input/Input.h"

namespace {

class HeaderWindow : public ListViewTest {
protected:
    // Three items 100, 0 and 80 pixels wide, laid out at the parent's top.
    HWND Header(DWORD style) {
        const HWND header = CreateWindowExW(0, u"SysHeader32", u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                            reinterpret_cast<HMENU>(uintptr_t(5)), nullptr, nullptr);
        const std::pair<const char16_t*, int> items[] = {{u"名称", 100}, {u"Hidden", 0}, {u"Size", 80}};
        for (const auto& [text, width] : items) {
            HDITEMW item{};
            item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
            item.pszText = const_cast<LPWSTR>(text);
            item.cxy = width;
            item.fmt = HDF_STRING | HDF_LEFT;
            SendMessageW(header, HDM_INSERTITEMW, WPARAM(100), reinterpret_cast<LPARAM>(&item));
        }
        RECT area{0, 0, 400, 300};
        WINDOWPOS pos{};
        HDLAYOUT layout{&area, &pos};
        SendMessageW(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
        SetWindowPos(header, nullptr, pos.x, pos.y, pos.cx, pos.cy, SWP_NOZORDER);
        height = pos.cy;
        EXPECT_EQ(area.top, pos.cy) << "the layout leaves the rest below the header";
        RunUntilIdle();
        notes.clear();
        return header;
    }
    static int Width(HWND header, int index) {
        HDITEMW item{};
        item.mask = HDI_WIDTH;
        SendMessageW(header, HDM_GETITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
        return item.cxy;
    }
    int height = 0;
};

TEST_F(HeaderWindow, ItemsLieSideBySideAndAnswerTheirTextWithinTheBuffer) {
    const HWND header = Header(HDS_BUTTONS);
    EXPECT_GT(height, 10);
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
    const RECT expected[] = {{0, 0, 100, height}, {100, 0, 100, height}, {100, 0, 180, height}};
    for (int i = 0; i < 3; ++i) {
        RECT r{};
        ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)));
        EXPECT_EQ(r, expected[i]) << "item " << i;
    }
    HDITEMW item{};
    item.mask = HDI_TEXT;
    SendMessageW(header, HDM_GETITEMW, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.cchTextMax, 5) << "without a buffer the room the text needs";
    char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
    item.pszText = buffer;
    item.cchTextMax = 3;
    SendMessageW(header, HDM_GETITEMW, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(String(buffer), u"Si");
    EXPECT_EQ(buffer[3], u'x') << "written past the size given";
    EXPECT_TRUE(SendMessageW(header, HDM_DELETEITEM, 1, 0));
    RECT r{};
    SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(Width(header, 1), 80);
}

TEST_F(HeaderWindow, HitTestFindsItemsAndDividers) {
    const HWND header = Header(HDS_BUTTONS);
    struct TCase {
        int x;
        UINT flags;
        int item;
    } const cases[] = {
        {10, HHT_ONHEADER, 0},   {95, HHT_ONHEADER, 0}, {97, HHT_ONDIVIDER, 0},
        {99, HHT_ONDIVIDER, 0},  {102, HHT_ONDIVOPEN, 1}, // the hidden item opens to the right of its divider
        {110, HHT_ONHEADER, 2},  {178, HHT_ONDIVIDER, 2}, {250, HHT_NOWHERE, -1},
    };
    for (const TCase& c : cases) {
        HDHITTESTINFO info{{c.x, height / 2}, 0, 0};
        EXPECT_EQ(SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), c.item) << "x " << c.x;
        EXPECT_EQ(info.flags, c.flags) << "x " << c.x;
    }
}

TEST_F(HeaderWindow, ButtonItemsReportClicksOnlyWhenReleasedOverThem) {
    const HWND buttons = Header(HDS_BUTTONS);
    Click(buttons, 140, height / 2);
    RunUntilIdle();
    Drag(buttons, {20, height / 2}, {140, height / 2}); // let go elsewhere: no click
    EXPECT_EQ(notes, (std::vector<TListViewNote>{{HDN_ITEMCLICKW, 2, -1}}));
    DestroyWindow(buttons);
    const HWND flat = Header(0);
    Click(flat, 140, height / 2);
    RunUntilIdle();
    EXPECT_TRUE(notes.empty());
}

TEST_F(HeaderWindow, DraggingADividerResizesTheItemWithTheSplitCursor) {
    for (const DWORD style : {DWORD(0), DWORD(HDS_FULLDRAG)}) {
        SCOPED_TRACE(style ? "full drag" : "outline drag");
        const HWND header = Header(HDS_BUTTONS | style);
        DesktopMouseMove(ScreenPoint(header, 99, height / 2));
        RunUntilIdle();
        EXPECT_EQ(DesktopCursor(), LoadCursorW(nullptr, IDC_SIZEWE));
        Drag(header, {99, height / 2}, {139, height / 2});
        EXPECT_EQ(Width(header, 0), 140);
        const auto tracks = NotesOf(HDN_TRACKW);
        ASSERT_FALSE(tracks.empty());
        EXPECT_EQ(tracks.back(), (TListViewNote{HDN_TRACKW, 0, 140}));
        EXPECT_EQ(NotesOf(HDN_BEGINTRACKW), (std::vector<TListViewNote>{{HDN_BEGINTRACKW, 0, 100}}));
        EXPECT_EQ(NotesOf(HDN_ENDTRACKW), (std::vector<TListViewNote>{{HDN_ENDTRACKW, 0, 140}}));
        EXPECT_EQ(NotesOf(HDN_ITEMCHANGEDW).back(), (TListViewNote{HDN_ITEMCHANGEDW, 0, 140}));
        EXPECT_TRUE(NotesOf(HDN_ITEMCLICKW).empty()) << "a divider drag is no click";
        EXPECT_EQ(GetCapture(), nullptr);
        DestroyWindow(header);
    }
}

TEST_F(HeaderWindow, ARefusedTrackKeepsTheWidthAndADoubleClickOnADividerNotifies) {
    const HWND header = Header(HDS_BUTTONS | HDS_FULLDRAG);
    refuseTracking = true;
    Drag(header, {178, height / 2}, {220, height / 2});
    EXPECT_EQ(Width(header, 2), 80);
    EXPECT_TRUE(NotesOf(HDN_TRACKW).empty());
    Advance(1000);
    Click(header, 178, height / 2);
    Click(header, 178, height / 2);
    RunUntilIdle();
    EXPECT_EQ(NotesOf(HDN_DIVIDERDBLCLICKW), (std::vector<TListViewNote>{{HDN_DIVIDERDBLCLICKW, 2, -1}}));
}

TEST_F(HeaderWindow, ItemsDrawTheirBitmapBeforeTheTextAndTheSortArrowAfterIt) {
    const HWND header = Header(HDS_BUTTONS);
    const HDC screen = GetDC(header);
    const HBITMAP red = CreateCompatibleBitmap(screen, 8, 8);
    const HDC dc = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(red));
    const HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    const RECT all{0, 0, 8, 8};
    FillRect(dc, &all, brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(header, screen);
    HDITEMW item{};
    item.mask = HDI_BITMAP | HDI_FORMAT;
    item.hbm = red;
    item.fmt = HDF_BITMAP | HDF_STRING | HDF_SORTUP;
    SendMessageW(header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    UpdateWindow(header);
    RunUntilIdle();
    EXPECT_EQ(ScreenPixel(header, 6 + 4, height / 2), RGB(255, 0, 0)) << "the bitmap at the item's left";
    EXPECT_NE(ScreenPixel(header, 120, height / 2), RGB(255, 0, 0)) << "the next item";
    bool arrow = false; // a shadow-coloured triangle near the right edge
    for (int x = 80; x < 96; ++x)
        for (int y = 2; y < height - 2; ++y) arrow = arrow || ScreenPixel(header, x, y) == GetSysColor(COLOR_BTNSHADOW);
    EXPECT_TRUE(arrow);
    DestroyWindow(header);
    DeleteObject(ToGdiObject(red));
    DeleteObject(ToGdiObject(brush));
}

} // namespace
