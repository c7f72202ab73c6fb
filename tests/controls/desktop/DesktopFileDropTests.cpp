// Files dragged or copied in a file manager reach a file drop target set up
// as the main window's: through the desktop's drag events and clipboard, the
// platform's bridge, the data formats and the drop target's handlers.

#include <QClipboard>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>

#include "../dragdrop/ScrollingPanel.h"
#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/DropTarget.h"
#include "platform/ui/StartedUiUnits.h"
#include "platform/win/backend/qt/PresenterWindow.h"
#include "platform/win/backend/qt/QtPresenter.h"
#include "platform/win/backend/qttest/OffscreenDesktop.h"

namespace {

class TOffscreenDesktopEnvironment : public testing::Environment {
public:
    void SetUp() override {
        desktop_ = std::make_unique<TOffscreenDesktop>(std::vector<TOffscreenScreen>{{"Primary", QRect(0, 0, 1280, 800)}});
    }
    void TearDown() override { desktop_.reset(); }

private:
    std::unique_ptr<TOffscreenDesktop> desktop_;
};

[[maybe_unused]] testing::Environment* const desktopEnvironment =
    testing::AddGlobalTestEnvironment(new TOffscreenDesktopEnvironment);

const QByteArray kOneFile = "file:///tmp/%E8%A7%86%E9%A2%91%20a.mp4\r\n";
const QByteArray kTwoFiles = "file:///tmp/a.mkv\r\nfile:///tmp/b.mkv\r\n";
constexpr Qt::DropActions kEveryAction = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

struct TDesktopAnswer {
    bool accepted;
    Qt::DropAction action;
};

class DesktopFileDropTest : public FormTest {
protected:
    void SetUp() override {
        StartDragDropUnits();
        form_ = ShownForm({100, 100, 500, 400});
        sibling_ = new TTestPanel(form_);
        sibling_->SetBounds(10, 10, 100, 100);
        sibling_->SetParent(form_);
        taskList_ = new TScrollingTestPanel(form_);
        taskList_->SetBounds(150, 10, 300, 250);
        taskList_->SetParent(form_);
        dropFile_ = new TDropFileTarget(form_);
        dropFile_->DragTypes = TDragTypes{dtCopy, dtMove, dtLink};
        dropFile_->GetDataOnEnter = true;
        dropFile_->OptimizedMove = true;
        dropFile_->SetTarget(taskList_);
        // The main window's two handlers.
        dropFile_->OnDragOver = [this](TObject*, TShiftState, TPoint, DWORD& effect) {
            effect = dropFile_->Files().Count() < 2 ? DROPEFFECT_LINK : DROPEFFECT_NONE;
        };
        dropFile_->OnDrop = [this](TObject*, TShiftState, TPoint, DWORD&) {
            ++drops_;
            sourceFinishedAtDrop_ = sourceFinished_;
            if (dropFile_->Files().Count() > 0) dropped_ = dropFile_->Files()[0];
            PumpMessages(); // the new-conversion wizard's modal loop
        };
        PumpMessages();
        SettleDesktop();
    }
    void TearDown() override {
        InstalledQtPresenter()->Drops().Leave();
        SettleDesktop();
        FormTest::TearDown();
        StopDragDropUnits();
    }

    QPoint WindowPoint(TWinControl* control, int x, int y) {
        const TPoint screen = control->ClientToScreen({x, y});
        RECT top{};
        GetWindowRect(form_->Handle(), &top);
        return QPoint(screen.X - top.left, screen.Y - top.top);
    }
    QWindow* DesktopWindow() { return InstalledQtPresenter()->WindowOf(form_->Handle()); }

    template <class TEvent>
    TDesktopAnswer Drag(TWinControl* control, int x, int y) {
        TEvent event(WindowPoint(control, x, y), kEveryAction, &offer_, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(DesktopWindow(), &event);
        return {event.isAccepted(), event.dropAction()};
    }
    TDesktopAnswer Drop(TWinControl* control, int x, int y) {
        QDropEvent event(QPointF(WindowPoint(control, x, y)), kEveryAction, &offer_, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(DesktopWindow(), &event);
        sourceFinished_ = true;
        return {event.isAccepted(), event.dropAction()};
    }

    TStartedUiUnits units_;
    TForm* form_ = nullptr;
    TTestPanel* sibling_ = nullptr;
    TScrollingTestPanel* taskList_ = nullptr;
    TDropFileTarget* dropFile_ = nullptr;
    QMimeData offer_;
    bool sourceFinished_ = false, sourceFinishedAtDrop_ = false;
    int drops_ = 0;
    String dropped_;
};

} // namespace

TEST_F(DesktopFileDropTest, ADroppedFileReachesTheHandlerAsAFullPathAfterTheSourceIsDone) {
    offer_.setData("text/uri-list", kOneFile);
    EXPECT_TRUE((Drag<QDragEnterEvent>(taskList_, 20, 60).accepted));
    const TDesktopAnswer over = Drag<QDragMoveEvent>(taskList_, 22, 60);
    EXPECT_TRUE(over.accepted);
    EXPECT_EQ(over.action, Qt::LinkAction);
    const TDesktopAnswer dropped = Drop(taskList_, 22, 60);
    EXPECT_TRUE(dropped.accepted);
    EXPECT_EQ(dropped.action, Qt::LinkAction);
    EXPECT_EQ(drops_, 0) << "the handler runs after the source has its answer";
    PumpMessages();
    EXPECT_EQ(drops_, 1);
    EXPECT_TRUE(sourceFinishedAtDrop_);
    EXPECT_EQ(dropped_, String(u"/tmp/视频 a.mp4"));
    EXPECT_EQ(dropFile_->Files().Count(), 0);
}

TEST_F(DesktopFileDropTest, TwoFilesAreRefused) {
    offer_.setData("text/uri-list", kTwoFiles);
    Drag<QDragEnterEvent>(taskList_, 20, 60);
    EXPECT_FALSE((Drag<QDragMoveEvent>(taskList_, 22, 60).accepted));
    EXPECT_FALSE(Drop(taskList_, 22, 60).accepted);
    PumpMessages();
    EXPECT_EQ(drops_, 0);
}

TEST_F(DesktopFileDropTest, ADragAcrossAnUnregisteredSiblingLeavesAutoScrollOn) {
    offer_.setData("text/uri-list", kOneFile);
    EXPECT_FALSE((Drag<QDragEnterEvent>(sibling_, 5, 5).accepted));
    Drag<QDragMoveEvent>(sibling_, 50, 50);
    EXPECT_TRUE((Drag<QDragMoveEvent>(taskList_, 20, 60).accepted));
    EXPECT_TRUE(dropFile_->AutoScroll);
    EXPECT_TRUE(dropFile_->ShowImage());
    Drop(taskList_, 20, 60);
    PumpMessages();
    EXPECT_EQ(dropped_, String(u"/tmp/视频 a.mp4"));
}

TEST_F(DesktopFileDropTest, FilesCopiedInAFileManagerPasteAsNames) {
    auto* copied = new QMimeData;
    copied->setData("text/uri-list", kTwoFiles);
    copied->setData("x-special/gnome-copied-files", "cut\nfile:///tmp/a.mkv\nfile:///tmp/b.mkv");
    QGuiApplication::clipboard()->setMimeData(copied);
    SettleDesktop();
    std::vector<String> pasted;
    dropFile_->OnDrop = [&](TObject*, TShiftState, TPoint, DWORD&) {
        for (int i = 0; i < dropFile_->Files().Count(); ++i) pasted.push_back(dropFile_->Files()[i]);
    };
    EXPECT_TRUE(dropFile_->CanPasteFromClipboard());
    EXPECT_EQ(dropFile_->PasteFromClipboard(), DROPEFFECT_COPY) << "a cut is pasted as a copy";
    EXPECT_EQ(pasted, (std::vector<String>{u"/tmp/a.mkv", u"/tmp/b.mkv"}));
    QGuiApplication::clipboard()->clear();
    SettleDesktop();
}
