// Drags from other programs reach our drop targets through the presenter's
// QWindows: the offer becomes a data object once, targets hear only about
// the windows they registered, their answers go back to the desktop without
// ever reporting a move, and the drop is finished on the desktop before the
// target's Drop runs.

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>

#include "PresenterFixture.h"
#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/dataxfer/Media.h"

namespace {

const QByteArray kUriList = "file:///tmp/%E8%A7%86%E9%A2%91%20a.mp4\r\n# a comment\r\nsmb://x/y";
const QByteArray kTwoFiles = "file:///home/u/a.mkv\r\nfile://localhost/home/u/b.mkv\r\n";
constexpr Qt::DropActions kAllActions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

enum class TCall { Enter, Over, Leave, Drop };

struct TTargetCall {
    TCall call;
    DWORD keyState;
    POINTL point;
    DWORD allowed;
};

// A registered target recording its calls and answering Answer (or what
// AnswerFor makes of the data at enter).
class TDesktopDropTestTarget : public TImplements<TInterfacedObject, IDropTarget> {
public:
    HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect) override {
        calls.push_back({TCall::Enter, keyState, point, effect});
        entered = data;
        if (answerFor) answer = answerFor(*data);
        effect = answer;
        return S_OK;
    }
    HRESULT DragOver(DWORD keyState, POINTL point, DWORD& effect) override {
        calls.push_back({TCall::Over, keyState, point, effect});
        effect = answer;
        return S_OK;
    }
    HRESULT DragLeave() override {
        calls.push_back({TCall::Leave, 0, {}, 0});
        entered.Reset();
        return S_OK;
    }
    HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect) override {
        calls.push_back({TCall::Drop, keyState, point, effect});
        entered.Reset();
        dropped = data;
        if (onDrop) onDrop(*data);
        effect = answer;
        return S_OK;
    }

    std::vector<TCall> Calls() const {
        std::vector<TCall> result;
        for (const TTargetCall& c : calls) result.push_back(c.call);
        return result;
    }

    DWORD answer = DROPEFFECT_COPY;
    std::function<DWORD(IDataObject&)> answerFor;
    std::function<void(IDataObject&)> onDrop;
    std::vector<TTargetCall> calls;
    TIntfPtr<IDataObject> entered, dropped;
};

struct TQtAnswer {
    bool accepted;
    Qt::DropAction action;
    QRect rect;
};

std::optional<TBytes> DroppedBytesOf(IDataObject& data, CLIPFORMAT format) {
    FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    if (data.GetData(wanted, medium) != S_OK) return std::nullopt;
    std::optional<TBytes> bytes = BytesOfMedium(medium);
    ReleaseStgMedium(&medium);
    return bytes;
}

// The names of an HDROP.
std::vector<String> NamesOf(HDROP drop) {
    std::vector<String> names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        String name(DragQueryFileW(drop, i, nullptr, 0), u'\0');
        DragQueryFileW(drop, i, name.data(), UINT(name.size() + 1));
        names.push_back(name);
    }
    return names;
}

std::vector<String> FilesOf(IDataObject& data) {
    FORMATETC wanted{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    if (data.GetData(wanted, medium) != S_OK) return {};
    std::vector<String> names = NamesOf(static_cast<HDROP>(medium.hGlobal));
    ReleaseStgMedium(&medium);
    return names;
}

class DesktopDropTest : public PresenterTest {
protected:
    void SetUp() override {
        PresenterTest::SetUp();
        form_ = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
        child_ = Create(WS_CHILD | WS_VISIBLE, RECT{50, 50, 250, 200}, form_);
        target_ = MakeIntf<TDesktopDropTestTarget>();
        ASSERT_EQ(RegisterDragDrop(child_, target_.get()), S_OK);
        offer_.setData("text/uri-list", kUriList);
    }
    void TearDown() override {
        Presenter().Drops().Leave();
        SettleDesktop();
        PresenterTest::TearDown();
    }

    // A drag event at a client point of Hwnd, sent to its top-level QWindow.
    template <class TEvent>
    TQtAnswer Drag(HWND hwnd, int x, int y, Qt::DropActions actions = kAllActions,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButtons buttons = Qt::LeftButton) {
        TEvent event(QtPoint(hwnd, x, y), actions, &offer_, buttons, modifiers);
        QCoreApplication::sendEvent(QtWindow(form_), &event);
        return {event.isAccepted(), event.dropAction(), event.answerRect()};
    }
    TQtAnswer Enter(HWND hwnd, int x, int y, Qt::DropActions actions = kAllActions,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return Drag<QDragEnterEvent>(hwnd, x, y, actions, modifiers);
    }
    TQtAnswer Move(HWND hwnd, int x, int y, Qt::DropActions actions = kAllActions,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return Drag<QDragMoveEvent>(hwnd, x, y, actions, modifiers);
    }
    void Leave() {
        QDragLeaveEvent event;
        QCoreApplication::sendEvent(QtWindow(form_), &event);
    }
    TQtAnswer Drop(HWND hwnd, int x, int y, Qt::DropActions actions = kAllActions) {
        QDropEvent event(QPointF(QtPoint(hwnd, x, y)), actions, &offer_, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(QtWindow(form_), &event);
        return {event.isAccepted(), event.dropAction(), QRect()};
    }

    HWND form_ = nullptr, child_ = nullptr;
    TIntfPtr<TDesktopDropTestTarget> target_;
    QMimeData offer_;
};

TEST_F(DesktopDropTest, TheTargetHearsOnlyWhileThePointerIsOverItsWindow) {
    const TQtAnswer outside = Enter(form_, 10, 10);
    EXPECT_FALSE(outside.accepted);
    EXPECT_TRUE(outside.rect.isEmpty());
    Move(form_, 20, 20);
    EXPECT_TRUE(target_->calls.empty());

    const TQtAnswer over = Move(child_, 5, 5);
    EXPECT_TRUE(over.accepted);
    EXPECT_TRUE(over.rect.isEmpty()) << "an empty answer rectangle keeps positions coming";
    Move(child_, 6, 7);
    ASSERT_EQ(target_->Calls(), (std::vector{TCall::Enter, TCall::Over}));
    const POINT screen = ScreenPoint(child_, 6, 7);
    EXPECT_EQ(target_->calls[1].point, (POINTL{screen.x, screen.y}));

    Move(form_, 20, 20);
    EXPECT_EQ(target_->Calls(), (std::vector{TCall::Enter, TCall::Over, TCall::Leave}));
    Move(child_, 5, 5);
    Leave();
    EXPECT_EQ(target_->Calls(), (std::vector{TCall::Enter, TCall::Over, TCall::Leave, TCall::Enter, TCall::Leave}));
}

TEST_F(DesktopDropTest, TheOfferBecomesOneDataObjectWithTheLocalFilesOnly) {
    Enter(child_, 5, 5);
    ASSERT_TRUE(target_->entered);
    IDataObject& data = *target_->entered;
    EXPECT_EQ(FilesOf(data), (std::vector<String>{u"/tmp/视频 a.mp4"}));
    FORMATETC fileName{CLIPFORMAT(RegisterClipboardFormatW(u"FileName")), nullptr, DVASPECT_CONTENT, -1,
                       TYMED_HGLOBAL};
    EXPECT_EQ(data.QueryGetData(fileName), DV_E_FORMATETC);
    Move(form_, 20, 20);
    Move(child_, 8, 8);
    EXPECT_EQ(target_->entered.get(), &data) << "made once per drag";
}

TEST_F(DesktopDropTest, AnOfferOfNoLocalFileHasNoFileList) {
    offer_.setData("text/uri-list", "smb://x/y\r\nhttp://example.org/a.mp4\r\n");
    Enter(child_, 5, 5);
    ASSERT_TRUE(target_->entered);
    FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(target_->entered->QueryGetData(files), DV_E_FORMATETC);
}

TEST_F(DesktopDropTest, OfferedTextArrivesWideAndAsUtf8) {
    offer_.setText(QString::fromUtf8("中文 text"));
    Enter(child_, 5, 5);
    ASSERT_TRUE(target_->entered);
    const std::string utf8 = "中文 text";
    EXPECT_EQ(DroppedBytesOf(*target_->entered, CF_TEXT), TBytes(utf8.begin(), utf8.end() + 1));
    const std::u16string wide = u"中文 text";
    const auto* units = reinterpret_cast<const uint8_t*>(wide.c_str());
    EXPECT_EQ(DroppedBytesOf(*target_->entered, CF_UNICODETEXT), TBytes(units, units + 2 * (wide.size() + 1)));
}

TEST_F(DesktopDropTest, TheAnswerGoesBackWithoutEverReportingAMove) {
    struct TCase {
        const char* name;
        DWORD answer;
        Qt::DropActions offered;
        bool accepted;
        Qt::DropAction action;
    };
    const TCase cases[] = {
        {"link offered", DROPEFFECT_LINK, kAllActions, true, Qt::LinkAction},
        {"link not offered", DROPEFFECT_LINK, Qt::CopyAction | Qt::MoveAction, true, Qt::CopyAction},
        {"move", DROPEFFECT_MOVE, kAllActions, true, Qt::CopyAction},
        {"copy with scrolling", DROPEFFECT_COPY | DROPEFFECT_SCROLL, kAllActions, true, Qt::CopyAction},
        {"none", DROPEFFECT_NONE, kAllActions, false, Qt::IgnoreAction},
        {"move of a source that only moves", DROPEFFECT_MOVE, Qt::MoveAction, false, Qt::IgnoreAction},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        target_->answer = c.answer;
        const TQtAnswer entered = Enter(child_, 5, 5, c.offered);
        const TQtAnswer moved = Move(child_, 6, 6, c.offered);
        for (const TQtAnswer& a : {entered, moved}) {
            EXPECT_EQ(a.accepted, c.accepted);
            if (c.accepted) {
                EXPECT_EQ(a.action, c.action);
            }
        }
        Leave();
    }
}

TEST_F(DesktopDropTest, KeyStateAndAllowedEffectsComeFromTheEvent) {
    struct TCase {
        Qt::KeyboardModifiers modifiers;
        Qt::DropActions offered;
        DWORD keyState;
        DWORD allowed;
    };
    const TCase cases[] = {
        {Qt::NoModifier, kAllActions, MK_LBUTTON, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK},
        {Qt::ControlModifier, Qt::CopyAction, MK_LBUTTON | MK_CONTROL, DROPEFFECT_COPY},
        {Qt::ShiftModifier | Qt::AltModifier, Qt::MoveAction | Qt::LinkAction, MK_LBUTTON | MK_SHIFT | MK_ALT,
         DROPEFFECT_MOVE | DROPEFFECT_LINK},
    };
    for (const TCase& c : cases) {
        target_->calls.clear();
        Enter(child_, 5, 5, c.offered, c.modifiers);
        Move(child_, 6, 6, c.offered, c.modifiers);
        ASSERT_EQ(target_->calls.size(), 2u);
        for (const TTargetCall& call : target_->calls) {
            EXPECT_EQ(call.keyState, c.keyState);
            EXPECT_EQ(call.allowed, c.allowed);
        }
        Leave();
    }
}

TEST_F(DesktopDropTest, ATaskListTargetLinksOneFileAndRefusesTwo) {
    target_->answerFor = [](IDataObject& data) {
        return FilesOf(data).size() == 1 ? DROPEFFECT_LINK : DROPEFFECT_NONE;
    };
    EXPECT_EQ(Enter(child_, 5, 5).action, Qt::LinkAction);
    Leave();
    offer_.setData("text/uri-list", kTwoFiles);
    EXPECT_FALSE(Enter(child_, 5, 5).accepted);
    EXPECT_FALSE(Move(child_, 6, 6).accepted);
}

TEST_F(DesktopDropTest, TheDesktopDropIsAcceptedBeforeTheTargetsDropRuns) {
    const CLIPFORMAT performed = CLIPFORMAT(RegisterClipboardFormatW(u"Performed DropEffect"));
    HRESULT setData = E_FAIL;
    target_->onDrop = [&](IDataObject& data) {
        FORMATETC format{performed, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium;
        medium.tymed = TYMED_HGLOBAL;
        const DWORD effect = DROPEFFECT_COPY;
        medium.hGlobal = GlobalFromBytes(&effect, sizeof effect);
        setData = data.SetData(format, medium, TRUE);
        if (setData != S_OK) ReleaseStgMedium(&medium);
    };
    Enter(child_, 5, 5);
    Move(child_, 9, 9);
    const TQtAnswer dropped = Drop(child_, 10, 11);
    EXPECT_TRUE(dropped.accepted);
    EXPECT_EQ(dropped.action, Qt::CopyAction);
    EXPECT_EQ(target_->Calls(), (std::vector{TCall::Enter, TCall::Over})) << "Drop waits for the posted message";

    SettleDesktop();
    ASSERT_EQ(target_->Calls(), (std::vector{TCall::Enter, TCall::Over, TCall::Drop}));
    const POINT screen = ScreenPoint(child_, 10, 11);
    EXPECT_EQ(target_->calls[2].point, (POINTL{screen.x, screen.y}));
    EXPECT_EQ(setData, S_OK);
    ASSERT_TRUE(target_->dropped);
    EXPECT_EQ(FilesOf(*target_->dropped), (std::vector<String>{u"/tmp/视频 a.mp4"}));
    EXPECT_EQ(dynamic_cast<TInterfacedObject*>(target_->dropped.get())->RefCount(), 1)
        << "the bridge let go of the snapshot";
}

TEST_F(DesktopDropTest, ADropHandlerRunningAModalLoopDoesNotHoldTheDesktopDropUp) {
    bool desktopDropReturned = false, returnedBeforeHandler = false;
    target_->onDrop = [&](IDataObject&) {
        returnedBeforeHandler = desktopDropReturned;
        int turns = 0;
        TModalLoopOptions options;
        options.idle = [&] { ++turns; };
        RunModalLoop([&] { return turns > 0; }, options);
    };
    Enter(child_, 5, 5);
    Drop(child_, 5, 5);
    desktopDropReturned = true;
    SettleDesktop();
    EXPECT_TRUE(returnedBeforeHandler);
    EXPECT_EQ(target_->Calls().back(), TCall::Drop);
}

TEST_F(DesktopDropTest, ARefusedDropLeavesTheTarget) {
    target_->answer = DROPEFFECT_NONE;
    Enter(child_, 5, 5);
    EXPECT_FALSE(Drop(child_, 5, 5).accepted);
    SettleDesktop();
    EXPECT_EQ(target_->Calls(), (std::vector{TCall::Enter, TCall::Leave}));
}

// An edit that records the files dropped on it.
class DesktopDropFilesTest : public DesktopDropTest {
protected:
    void SetUp() override {
        DesktopDropTest::SetUp();
        edit_ = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE, 300, 50, 80, 24, form_, nullptr, nullptr,
                                nullptr);
        DragAcceptFiles(edit_, TRUE);
        editProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DroppedFilesProc)));
        drops_.clear();
    }
    static LRESULT DroppedFilesProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_DROPFILES) {
            drops_.push_back(reinterpret_cast<HDROP>(wParam));
            return 0;
        }
        return CallWindowProcW(editProc_, hwnd, message, wParam, lParam);
    }

    HWND edit_ = nullptr;
    static inline WNDPROC editProc_ = nullptr;
    static inline std::vector<HDROP> drops_;
};

TEST_F(DesktopDropFilesTest, AWindowAcceptingFilesGetsThemAsWmDropFiles) {
    offer_.setData("text/uri-list", kTwoFiles);
    const TQtAnswer over = Enter(edit_, 3, 4, Qt::CopyAction | Qt::MoveAction);
    EXPECT_TRUE(over.accepted);
    EXPECT_EQ(over.action, Qt::CopyAction);
    EXPECT_EQ(Drop(edit_, 7, 9).action, Qt::CopyAction);
    EXPECT_TRUE(drops_.empty()) << "posted, not sent";
    SettleDesktop();
    ASSERT_EQ(drops_.size(), 1u);
    const HDROP drop = drops_[0];
    EXPECT_EQ(NamesOf(drop), (std::vector<String>{u"/home/u/a.mkv", u"/home/u/b.mkv"}));
    POINT client{};
    EXPECT_TRUE(DragQueryPoint(drop, &client));
    EXPECT_EQ(client, (POINT{7, 9}));
    DragFinish(drop);
    EXPECT_EQ(GlobalSize(drop), 0u);
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 0u);
    EXPECT_TRUE(target_->calls.empty());
}

TEST_F(DesktopDropFilesTest, ARegisteredTargetAboveTakesTheDropAndAnOfferWithoutFilesIsRefused) {
    const HWND inner = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, child_, nullptr,
                                       nullptr, nullptr);
    DragAcceptFiles(inner, TRUE);
    Enter(inner, 3, 3);
    Drop(inner, 3, 3);
    SettleDesktop();
    EXPECT_EQ(target_->Calls(), (std::vector{TCall::Enter, TCall::Drop}));

    offer_.setData("text/uri-list", "smb://x/y\r\n");
    EXPECT_FALSE(Enter(edit_, 3, 4).accepted);
    EXPECT_FALSE(Drop(edit_, 3, 4).accepted);
    SettleDesktop();
    EXPECT_TRUE(drops_.empty());
}

} // namespace
