#include "../ControlFixture.h"
#include "platform/ui/stdctrls/ComboBox.h"
#include "platform/ui/stdctrls/Edits.h"
#include "platform/ui/stdctrls/ListBox.h"
#include "platform/ui/stdctrls/StdButtons.h"
#include "platform/win/User.h"
#include "platform/win/paint/Composite.h"

namespace {

// A dialog of every kind of standard control, shown, and what the desktop composes of it.
class ControlsDialogTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        form = ShownForm({100, 100, 660, 500});
        form->SetColor(clBtnFace);
        edit = Place<TEdit>(form, 16, 16, 250, 23);
        edit->SetText(u"我的视频.mp4");
        memo = Place<TMemo>(form, 16, 50, 250, 80);
        memo->Lines()->Add(u"第一行");
        checked = Place<TCheckBox>(form, 16, 140, 120, 20);
        checked->SetCaption(u"加入字幕");
        checked->SetChecked(true);
        unchecked = Place<TCheckBox>(form, 150, 140, 120, 20);
        unchecked->SetCaption(u"关机");
        group = Place<TGroupBox>(form, 16, 170, 250, 60);
        group->SetCaption(u"画面比例");
        wide = Place<TRadioButton>(group, 10, 24, 100, 20);
        wide->SetCaption(u"16:9");
        wide->SetChecked(true);
        narrow = Place<TRadioButton>(group, 130, 24, 100, 20);
        narrow->SetCaption(u"4:3");
        combo = Place<TComboBox>(form, 16, 240, 250, 24);
        combo->SetStyle(csDropDownList);
        combo->Items()->Add(u"MP4");
        combo->SetItemIndex(0);
        list = Place<TListBox>(form, 290, 16, 200, 200);
        list->SetStyle(lbOwnerDrawFixed);
        list->SetItemHeight(17);
        for (const char16_t* item : {u"电影", u"音乐"}) list->Items()->Add(item);
        list->OnDrawItem = [this](TWinControl*, int, TRect rect, TOwnerDrawState) {
            list->Canvas()->Brush()->SetColor(clRed);
            list->Canvas()->FillRect(rect);
        };
        ok = Place<TButton>(form, 290, 300, 85, 27);
        ok->SetCaption(u"确定");
        ok->SetDefault(true);
        cancel = Place<TButton>(form, 390, 300, 85, 27);
        cancel->SetCaption(u"取消");
        cancel->SetCancel(true);
        PumpMessages();
    }

    template <class T>
    T* Place(TWinControl* parent, int left, int top, int width, int height) {
        auto* control = new T(form);
        control->SetBounds(left, top, width, height);
        control->SetParent(parent);
        return control;
    }
    // The colour the desktop shows at a client point of Control.
    uint32_t ShownAt(TControl* control, int x, int y) {
        PumpMessages();
        const TPoint p = control->ClientToScreen({x, y});
        return ComposeDesktop(RECT{p.X, p.Y, p.X + 1, p.Y + 1}).Pixel(p.X, p.Y) & 0xFFFFFF;
    }
    // Whether a row of Control's client area, from X0 to X1, shows Color anywhere.
    bool RowShows(TControl* control, int y, int x0, int x1, TColor color) {
        for (int x = x0; x < x1; ++x)
            if (ShownAt(control, x, y) == Rgb(color)) return true;
        return false;
    }
    // How many pixels of that row show something else than Color.
    int RowDiffers(TControl* control, int y, int x0, int x1, TColor color) {
        int n = 0;
        for (int x = x0; x < x1; ++x) n += ShownAt(control, x, y) != Rgb(color);
        return n;
    }
    static uint32_t Rgb(TColor color) { return PixelOf(COLORREF(ColorToRGB(color))) & 0xFFFFFF; }

    TForm* form = nullptr;
    TEdit* edit = nullptr;
    TMemo* memo = nullptr;
    TCheckBox* checked = nullptr;
    TCheckBox* unchecked = nullptr;
    TGroupBox* group = nullptr;
    TRadioButton* wide = nullptr;
    TRadioButton* narrow = nullptr;
    TComboBox* combo = nullptr;
    TListBox* list = nullptr;
    TButton* ok = nullptr;
    TButton* cancel = nullptr;
};

TEST_F(ControlsDialogTest, EachControlShowsAtItsPlace) {
    // Edits and the list: a window-coloured field with text, the owner's rows drawn by it.
    EXPECT_EQ(ShownAt(edit, edit->ClientWidth() - 4, 4), Rgb(clWindow));
    EXPECT_TRUE(RowShows(edit, edit->ClientHeight() / 2, 0, 60, clWindowText));
    EXPECT_TRUE(RowShows(memo, 8, 0, 60, clWindowText));
    EXPECT_EQ(ShownAt(list, 20, 5), Rgb(clRed));
    EXPECT_EQ(ShownAt(list, 20, 17 * 2 + 5), Rgb(clWindow)) << "below the rows";
    // The check mark: the checked box has dark pixels in its middle, the unchecked one none.
    const int boxMiddle = checked->Height() / 2;
    EXPECT_TRUE(RowShows(checked, boxMiddle, 3, 10, clWindowText));
    EXPECT_FALSE(RowShows(unchecked, boxMiddle, 3, 10, clWindowText));
    EXPECT_EQ(ShownAt(checked, checked->Width() - 3, 2), Rgb(clBtnFace)) << "the parent's colour behind the caption";
    // The radio buttons: only the checked one has its dot.
    EXPECT_TRUE(RowShows(wide, wide->Height() / 2, 3, 10, clWindowText));
    EXPECT_FALSE(RowShows(narrow, narrow->Height() / 2, 3, 10, clWindowText));
    // The group box's frame runs below its caption; the face shows outside the controls.
    EXPECT_TRUE(RowShows(group, group->Height() - 2, 4, 40, clBtnShadow));
    EXPECT_EQ(ShownAt(form, 280, 350), Rgb(clBtnFace));
    // The drop-down list shows its item in the field.
    EXPECT_TRUE(RowShows(combo, combo->ClientHeight() / 2, 2, 40, clWindowText));
}

TEST_F(ControlsDialogTest, TheDefaultButtonHasItsFrameAndTheFocusedOneItsFocusRectangle) {
    // The default button's dark frame; the other button's corner is its light edge.
    EXPECT_EQ(ShownAt(ok, 0, 0), Rgb(clWindowFrame));
    EXPECT_NE(ShownAt(cancel, 0, 0), Rgb(clWindowFrame));
    // Focus on Cancel: it takes the frame while focused and draws the dotted rectangle inside.
    cancel->SetFocus();
    PumpMessages();
    EXPECT_EQ(ShownAt(cancel, 0, 0), Rgb(clWindowFrame));
    EXPECT_NE(ShownAt(ok, 0, 0), Rgb(clWindowFrame));
    // The dotted line runs inside the frame and the edges, above the caption.
    const int inset = 4;
    EXPECT_GT(RowDiffers(cancel, inset, inset, cancel->Width() - inset, clBtnFace), cancel->Width() / 4);
    EXPECT_EQ(RowDiffers(ok, inset, inset, ok->Width() - inset, clBtnFace), 0);
}

} // namespace
