// The category explorer on the real desktop: a form with a string tree shaped
// like the shell's (no header, tree lines, buttons, root lines, 16 x 16 state
// images), "任务列表" expanded over five categories, one selected. Once the
// form shows, the screen is saved as PNG and checked: the selection colour on
// the selected row, the dotted line alternating beside the categories, and ink
// of the Chinese captions. The exit code tells whether every probe held.
//   tree-demo <output.png>   (run under Xvfb by the xvfb-labelled test)

#include <cstdio>
#include <vector>

#include <QImage>

#include "DemoDesktop.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UiUnits.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/User.h"
#include "treeview/ViewStringTree.h"

namespace {

const char16_t* const kCategories[] = {u"电影", u"电视剧", u"音乐视频", u"家庭录像", u"课程"};
constexpr int kSelectedCategory = 2;
constexpr TColor kStateColors[] = {clGreen, clTeal};

QString outputPath;
int exitCode = 1;

// The screen's colour at a client point of the tree.
struct TScreenProbe {
    QImage screen;
    POINT origin;
    TColor At(int x, int y) const {
        const QRgb rgb = screen.pixel(origin.x + x, origin.y + y);
        return TColor(RGB(qRed(rgb), qGreen(rgb), qBlue(rgb)));
    }
};

bool Check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    return ok;
}

bool ProbeScreen(TViewStringTree* tree, PViewNode selected, PViewNode firstCategory) {
    TScreenProbe probe{QGuiApplication::primaryScreen()->grabWindow(0).toImage(), POINT{0, 0}};
    ClientToScreen(tree->Handle(), &probe.origin);
    bool ok = true;

    const TColor selection = tree->Colors()->Color(tree->Focused() ? TVTColors::FocusedSelectionColor
                                                                   : TVTColors::UnfocusedSelectionColor);
    const TRect text = tree->DisplayRect(selected, kNoColumn, true);
    int selectionPixels = 0;
    for (int x = text.Left; x < text.Right; ++x) selectionPixels += probe.At(x, text.Top + 1) == ColorToRGB(selection);
    ok = Check(selectionPixels > text.Width() / 2, "the selected row shows the selection colour") && ok;

    // The vertical line of the categories' level runs at Indent + Indent / 2.
    const int lineX = int(tree->Indent() + tree->Indent() / 2);
    const TRect first = tree->DisplayRect(firstCategory, kNoColumn, false);
    const TColor line = TColor(ColorToRGB(tree->Colors()->Color(TVTColors::TreeLineColor)));
    int alternations = 0;
    for (int y = first.Top; y < first.Top + 2 * tree->DefaultNodeHeight(); ++y) {
        const TColor a = probe.At(lineX, y), b = probe.At(lineX, y + 1);
        alternations += a != b && (a == line || b == line);
    }
    ok = Check(alternations > int(tree->DefaultNodeHeight()), "the dotted line alternates across rows") && ok;

    const TRect caption = tree->DisplayRect(firstCategory, kNoColumn, true);
    int ink = 0;
    for (int y = caption.Top; y < caption.Bottom; ++y)
        for (int x = caption.Left; x < caption.Right; ++x) ink += probe.At(x, y) != ColorToRGB(tree->Color());
    ok = Check(ink > 30, "the Chinese caption leaves ink") && ok;
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (!InstallDemoDesktop(argc, argv, outputPath)) return 2;
    RegisterUiUnits();
    InitializeUnits();

    TForm* form = Application().CreateForm<TForm>();
    form->SetCaption(u"分类");
    form->SetBounds(60, 40, 320, 300);

    TImageList states(nullptr);
    states.SetSize(16, 16);
    for (TColor color : kStateColors) {
        TBitmap square;
        square.SetSize(16, 16);
        square.Canvas()->Brush()->SetColor(clFuchsia);
        square.Canvas()->FillRect(TRect{0, 0, 16, 16});
        square.Canvas()->Brush()->SetColor(color);
        square.Canvas()->FillRect(TRect{3, 3, 13, 13});
        states.AddMasked(&square, clFuchsia);
    }

    auto* tree = new TViewStringTree(form);
    tree->SetParent(form);
    tree->SetAlign(alClient);
    tree->SetStateImages(&states);
    tree->SetNodeDataSize(sizeof(void*));
    PViewNode root = tree->AddChildNode(nullptr);
    std::vector<PViewNode> categories;
    for (size_t i = 0; i < std::size(kCategories); ++i) categories.push_back(tree->AddChildNode(root));
    tree->OnGetText = [&](TBaseViewTree*, PViewNode node, TColumnIndex, TVSTTextType, String& text) {
        if (node == root) text = u"任务列表";
        for (size_t i = 0; i < categories.size(); ++i)
            if (node == categories[i]) text = kCategories[i];
    };
    tree->OnGetImageIndex = [&](TBaseViewTree*, PViewNode node, TVTImageKind kind, TColumnIndex, bool&, int& index) {
        if (kind == ikState) index = node == root ? 0 : 1;
    };
    for (PViewNode node : categories) tree->InvalidateRow(node);
    tree->ToggleExpanded(root);
    tree->SetNodeSelected(categories[kSelectedCategory], true);
    tree->SetFocusedNode(categories[kSelectedCategory]);
    form->Show();
    tree->SetFocus();

    // Once the form shows, the screen is saved and probed, and the program ends.
    TTimer grab(nullptr);
    grab.SetInterval(800);
    grab.SetOnTimer([&](TObject*) {
        grab.SetEnabled(false);
        const bool saved = SaveScreen(outputPath);
        exitCode = saved && ProbeScreen(tree, categories[kSelectedCategory], categories[0]) ? 0 : 1;
        Application().Terminate();
    });
    Application().Run();
    tree->SetStateImages(nullptr);
    FinalizeUnits();
    UninstallQtDesktop();
    return exitCode;
}
