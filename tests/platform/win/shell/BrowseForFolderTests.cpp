#include "../WindowFixture.h"

#include <functional>
#include <map>
#include <vector>

#include "ShellFixture.h"
#include "platform/rtl/TaskAllocator.h"
#include "platform/win/backend/qt/QtNameCollation.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/folderdialog/BrowseForFolder.h"

namespace {

String TextOf(HWND hwnd) {
    String text(size_t(GetWindowTextLengthW(hwnd)), u'\0');
    text.resize(size_t(GetWindowTextW(hwnd, text.data(), int(text.size()) + 1)));
    return text;
}

String ClassOf(HWND hwnd) {
    char16_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

HWND ChildOfClass(HWND parent, const String& cls) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == cls) return child;
    return nullptr;
}

RECT WindowRectOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// The texts of a tree item's children as listed now.
std::vector<String> ChildTexts(HWND tree, HTREEITEM item) {
    std::vector<String> texts;
    for (auto child = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(item)));
         child; child = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(child)))) {
        char16_t text[256] = {};
        TVITEMW fields;
        fields.mask = TVIF_TEXT | TVIF_HANDLE;
        fields.hItem = child;
        fields.pszText = text;
        fields.cchTextMax = 256;
        SendMessageW(tree, TVM_GETITEMW, 0, LPARAM(&fields));
        texts.push_back(text);
    }
    return texts;
}

HTREEITEM ChildWithText(HWND tree, HTREEITEM item, const String& text) {
    HTREEITEM child = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(item)));
    for (const String& t : ChildTexts(tree, item)) {
        if (t == text) return child;
        child = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(child)));
    }
    return nullptr;
}

// What the callback heard.
struct THeard {
    UINT message;
    String text; // the path of SELCHANGED's list, VALIDATEFAILEDW's text
};

// A folder tree with odd names under a temporary root, an owner on a screen
// whose work area starts at x = 40, and the dialog driven by the callback and
// by steps run each time the dialog waits for input.
class BrowseForFolderTest : public WindowTest {
protected:
    using TStep = std::function<void(HWND dialog)>;
    static constexpr RECT kWork{40, 0, 1600, 860};

    void SetUp() override {
        WindowTest::SetUp();
        TDesktopMetrics desktop;
        desktop.Monitors = {{RECT{0, 0, 1600, 900}, kWork, true, u"first"}};
        SetDesktopMetrics(desktop);
        owner_ = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 700, 500});
        SetActiveWindow(owner_);
        tree_.Folder("x");
        tree_.Folder("视频 文件/sub");
        tree_.Folder(".hidden");
        tree_.File("file.txt");
        root_.reset(ItemIdListFromPath(tree_.Path()));
        TakeMessageBeeps();
    }

    // Runs the dialog: the callback's answers come from Answers (by message),
    // Steps run while it waits; a dialog still up after the last step fails and is closed.
    ITEMIDLIST* Browse(UINT flags, std::vector<TStep> steps, const char16_t* title = u"选择文件夹") {
        BROWSEINFOW info;
        info.hwndOwner = owner_;
        info.pidlRoot = root_.get();
        info.pszDisplayName = displayName_;
        info.lpszTitle = title;
        info.ulFlags = flags;
        info.lpfn = &BrowseForFolderTest::Callback;
        info.lParam = reinterpret_cast<LPARAM>(this);
        size_t next = 0;
        Answer(owner_, WM_ENTERIDLE, [&](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            const HWND dialog = reinterpret_cast<HWND>(lParam);
            if (next < steps.size()) {
                steps[next++](dialog);
            } else {
                ADD_FAILURE() << "the dialog is still up after the last step";
                PostMessageW(dialog_, WM_CLOSE, 0, 0);
            }
            return 0;
        });
        ITEMIDLIST* result = SHBrowseForFolderW(&info);
        Answer(owner_, WM_ENTERIDLE, nullptr);
        EXPECT_EQ(next, steps.size()) << "steps left";
        return result;
    }

    static int Callback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
        auto* test = reinterpret_cast<BrowseForFolderTest*>(data);
        test->dialog_ = dialog;
        THeard heard{message, {}};
        if (message == BFFM_SELCHANGED) heard.text = PathOfList(reinterpret_cast<const ITEMIDLIST*>(lParam));
        if (message == BFFM_VALIDATEFAILEDW) heard.text = reinterpret_cast<LPCWSTR>(lParam);
        test->heard_.push_back(heard);
        const auto found = test->answers_.find(message);
        return found == test->answers_.end() ? 0 : found->second(dialog, lParam);
    }

    std::vector<UINT> HeardMessages() const {
        std::vector<UINT> messages;
        for (const THeard& h : heard_) messages.push_back(h.message);
        return messages;
    }
    String LastSelection() const {
        for (auto it = heard_.rbegin(); it != heard_.rend(); ++it)
            if (it->message == BFFM_SELCHANGED) return it->text;
        return u"<none>";
    }
    static void SetSelection(HWND dialog, const String& path) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
    }
    static void TypeInEdit(HWND dialog, const String& text) {
        SetWindowTextW(GetDlgItem(dialog, IDC_BROWSE_EDIT), text.c_str());
    }

    TShellTempTree tree_;
    TItemIdListPtr root_;
    HWND owner_ = nullptr, dialog_ = nullptr;
    char16_t displayName_[MAX_PATH] = u"untouched";
    std::vector<THeard> heard_;
    std::map<UINT, std::function<int(HWND, LPARAM)>> answers_;

private:
    TDesktopMetricsScope desktopScope_;
};

TEST_F(BrowseForFolderTest, TheCallbackSelectsAFolderAndOkReturnsIt) {
    const String x = tree_.Path("x");
    answers_[BFFM_INITIALIZED] = [&](HWND dialog, LPARAM) {
        EXPECT_FALSE(IsWindowVisible(dialog)) << "not shown yet";
        SetSelection(dialog, x);
        return 0;
    };
    const TItemIdListPtr result(Browse(BIF_NEWDIALOGSTYLE | BIF_STATUSTEXT | BIF_EDITBOX,
                                       {[&](HWND dialog) {
                                            EXPECT_EQ(dialog, dialog_);
                                            EXPECT_FALSE(IsWindowEnabled(owner_));
                                            EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_BROWSE_EDIT)), String(u"x"));
                                            EXPECT_EQ(GetDlgItem(dialog, IDC_BROWSE_STATUS), nullptr)
                                                << "no status line in the new style";
                                            SendMessageW(dialog, BFFM_ENABLEOK, 0, 0);
                                            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
                                            DesktopPress(VK_RETURN); // refused while OK is disabled
                                        },
                                        [&](HWND dialog) {
                                            SendMessageW(dialog, BFFM_ENABLEOK, 0, 1);
                                            const HWND ok = GetDlgItem(dialog, IDOK);
                                            RECT r;
                                            GetClientRect(ok, &r);
                                            Click(ok, r.right / 2, r.bottom / 2);
                                        }}));
    ASSERT_NE(result, nullptr);
    ASSERT_GE(heard_.size(), 2u);
    EXPECT_EQ(heard_[0].message, UINT(BFFM_INITIALIZED));
    EXPECT_EQ(heard_[1].message, UINT(BFFM_SELCHANGED));
    EXPECT_EQ(LastSelection(), x);
    char16_t path[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDListW(result.get(), path));
    EXPECT_EQ(String(path), x);
    EXPECT_EQ(String(displayName_), String(u"x"));
    TIntfPtr<IMalloc> malloc;
    ASSERT_EQ(SHGetMalloc(malloc), S_OK);
    EXPECT_GT(malloc->DidAlloc(result.get()), 0);
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_EQ(GetActiveWindow(), owner_);
    EXPECT_FALSE(IsWindow(dialog_));
}

TEST_F(BrowseForFolderTest, EveryWayOfCancellingReturnsNullAndLeavesTheNameAlone) {
    const std::pair<const char*, TStep> ways[] = {
        {"Escape", [](HWND) { DesktopPress(VK_ESCAPE); }},
        {"the cancel button", [](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); }},
        {"the close box", [](HWND dialog) { SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& [name, way] : ways) {
        SCOPED_TRACE(name);
        heard_.clear();
        EXPECT_EQ(Browse(BIF_NEWDIALOGSTYLE, {way}), nullptr);
        EXPECT_EQ(String(displayName_), String(u"untouched"));
        // Without a selection made by the caller, the root is the first one told.
        EXPECT_EQ(HeardMessages(), (std::vector<UINT>{BFFM_INITIALIZED, BFFM_SELCHANGED}));
        EXPECT_EQ(LastSelection(), tree_.Path());
        EXPECT_TRUE(IsWindowEnabled(owner_));
    }
}

TEST_F(BrowseForFolderTest, WmQuitEndsTheDialogAsCancelledAndIsPostedAgain) {
    const HWND other = Create(WS_POPUP | WS_VISIBLE, RECT{800, 100, 900, 200});
    const HWND disabledBefore = Create(WS_POPUP | WS_VISIBLE | WS_DISABLED, RECT{800, 300, 900, 400});
    EXPECT_EQ(Browse(BIF_NEWDIALOGSTYLE, {[&](HWND) {
                         EXPECT_FALSE(IsWindowEnabled(other));
                         PostQuitMessage(3);
                     }}),
              nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_FALSE(IsWindowEnabled(disabledBefore));
    EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(BrowseForFolderTest, ATypedTextThatNamesNoFolderGoesToTheCallback) {
    int keepOpen = 1;
    answers_[BFFM_VALIDATEFAILEDW] = [&](HWND, LPARAM) { return keepOpen; };
    const TItemIdListPtr none(Browse(BIF_NEWDIALOGSTYLE | BIF_EDITBOX,
                                     {[&](HWND dialog) {
                                          TypeInEdit(dialog, u"no such folder");
                                          DesktopPress(VK_RETURN); // kept open
                                      },
                                      [&](HWND dialog) {
                                          EXPECT_EQ(heard_.back().message, UINT(BFFM_VALIDATEFAILEDW));
                                          EXPECT_EQ(heard_.back().text, String(u"no such folder"));
                                          keepOpen = 0;
                                          TypeInEdit(dialog, tree_.Path("file.txt")); // a file is no folder
                                          DesktopPress(VK_RETURN);
                                      }}));
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(heard_.back().text, tree_.Path("file.txt"));

    // Typed folders, absolute or relative to the selection, are accepted.
    const std::pair<String, String> typed[] = {
        {tree_.Path("视频 文件/sub"), tree_.Path("视频 文件/sub")},
        {u"视频 文件/sub/..", tree_.Path("视频 文件")},
    };
    for (const auto& [text, path] : typed) {
        SCOPED_TRACE(text.ToUtf8());
        heard_.clear();
        const TItemIdListPtr result(Browse(BIF_EDITBOX, {[&](HWND dialog) {
                                               TypeInEdit(dialog, text);
                                               DesktopPress(VK_RETURN);
                                           }}));
        EXPECT_EQ(PathOfList(result.get()), path);
        EXPECT_EQ(HeardMessages(), (std::vector<UINT>{BFFM_INITIALIZED, BFFM_SELCHANGED}));
    }
}

TEST_F(BrowseForFolderTest, EnterAnswersForTheFocusedButtonAndTabWalksTheChildren) {
    struct TCase {
        int focus; // the child focused before Enter
        bool chosen;
    };
    const TCase cases[] = {{IDC_BROWSE_TREE, true}, {IDC_BROWSE_EDIT, true}, {IDOK, true}, {IDCANCEL, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.focus);
        const TItemIdListPtr result(Browse(BIF_NEWDIALOGSTYLE | BIF_EDITBOX, {[&](HWND dialog) {
                                               SetFocus(GetDlgItem(dialog, c.focus));
                                               DesktopPress(VK_RETURN);
                                           }}));
        EXPECT_EQ(result != nullptr, c.chosen);
    }

    // Tab goes round the children that take the focus, in their order; Shift+Tab goes back.
    // Each key is taken once the step has run, so each step sees where the last one went.
    std::vector<int> order;
    std::vector<TStep> steps;
    const auto record = [&](HWND) { order.push_back(GetDlgCtrlID(GetFocus())); };
    for (int i = 0; i < 5; ++i)
        steps.push_back([&](HWND dialog) {
            record(dialog);
            DesktopPress(VK_TAB);
        });
    steps.push_back([&](HWND dialog) {
        record(dialog);
        DesktopPressWith(VK_SHIFT, VK_TAB);
    });
    steps.push_back([&](HWND dialog) {
        record(dialog);
        DesktopPress(VK_ESCAPE);
    });
    Browse(BIF_NEWDIALOGSTYLE | BIF_EDITBOX, steps);
    EXPECT_EQ(order, (std::vector<int>{IDC_BROWSE_TREE, IDC_BROWSE_EDIT, IDC_BROWSE_NEWFOLDER, IDOK, IDCANCEL,
                                       IDC_BROWSE_TREE, IDCANCEL}));
}

TEST_F(BrowseForFolderTest, TheStyleFlagsChooseTheChildrenAndTheFrame) {
    struct TCase {
        UINT flags;
        bool status, edit, newFolder, sizable;
    };
    const TCase cases[] = {
        {BIF_STATUSTEXT, true, false, false, false},
        {BIF_STATUSTEXT | BIF_EDITBOX | BIF_NEWDIALOGSTYLE, false, true, true, true},
        {BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON, false, false, false, true},
        {BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_VALIDATE | BIF_EDITBOX, false, true, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.flags);
        Browse(c.flags, {[&](HWND dialog) {
                   const HWND status = GetDlgItem(dialog, IDC_BROWSE_STATUS);
                   EXPECT_EQ(status != nullptr, c.status);
                   EXPECT_EQ(GetDlgItem(dialog, IDC_BROWSE_EDIT) != nullptr, c.edit);
                   EXPECT_EQ(GetDlgItem(dialog, IDC_BROWSE_NEWFOLDER) != nullptr, c.newFolder);
                   EXPECT_EQ((GetWindowLongPtrW(dialog, GWL_STYLE) & WS_THICKFRAME) != 0, c.sizable);
                   EXPECT_EQ(ClassOf(GetDlgItem(dialog, IDC_BROWSE_TREE)), String(u"SysTreeView32"));
                   EXPECT_EQ(TextOf(GetDlgItem(dialog, IDOK)), String(u"确定"));
                   EXPECT_EQ(TextOf(GetDlgItem(dialog, IDCANCEL)), String(u"取消"));
                   if (status) {
                       SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, LPARAM(u"状态"));
                       EXPECT_EQ(TextOf(status), String(u"状态"));
                   }
                   DesktopPress(VK_ESCAPE);
               }});
    }
}

TEST_F(BrowseForFolderTest, ACarriageReturnInTheTitleStartsASecondPromptLine) {
    int oneLine = 0, twoLines = 0;
    for (auto [title, height] : {std::pair{u"标题", &oneLine}, std::pair{u"标题\r状态文字", &twoLines}}) {
        Browse(BIF_NEWDIALOGSTYLE, {[&](HWND dialog) {
                   const HWND prompt = GetDlgItem(dialog, IDC_BROWSE_PROMPT);
                   EXPECT_EQ(TextOf(prompt), String(title));
                   const RECT r = WindowRectOf(prompt);
                   *height = r.bottom - r.top;
                   DesktopPress(VK_ESCAPE);
               }},
               title);
    }
    EXPECT_GT(oneLine, 0);
    EXPECT_GE(twoLines, 2 * oneLine);
}

TEST_F(BrowseForFolderTest, TheTreeListsVisibleFoldersWhenTheyAreFirstExpanded) {
    answers_[BFFM_INITIALIZED] = [&](HWND dialog, LPARAM) {
        const HWND tree = GetDlgItem(dialog, IDC_BROWSE_TREE);
        const auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        EXPECT_EQ(ChildTexts(tree, root), (std::vector<String>{u"x", u"视频 文件"}));
        const HTREEITEM videos = ChildWithText(tree, root, u"视频 文件");
        EXPECT_TRUE(ChildTexts(tree, videos).empty()) << "not listed before it opens";
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, LPARAM(videos));
        EXPECT_EQ(ChildTexts(tree, videos), std::vector<String>{u"sub"});

        // A folder made meanwhile shows when its parent first opens; a missing path selects nothing.
        tree_.Folder("x/later");
        SetSelection(dialog, tree_.Path("x/later"));
        EXPECT_EQ(LastSelection(), tree_.Path("x/later"));
        SetSelection(dialog, tree_.Path("x/missing"));
        SetSelection(dialog, u"/elsewhere");
        SetSelection(dialog, tree_.Path("file.txt"));
        EXPECT_EQ(LastSelection(), tree_.Path("x/later"));

        // A hidden folder asked for is shown, in its place by name.
        SetSelection(dialog, tree_.Path(".hidden"));
        EXPECT_EQ(LastSelection(), tree_.Path(".hidden"));
        EXPECT_EQ(ChildTexts(tree, root), (std::vector<String>{u".hidden", u"x", u"视频 文件"}));

        // An item-id list selects too.
        const TItemIdListPtr list(ItemIdListFromPath(tree_.Path("视频 文件/sub")));
        SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(list.get()));
        EXPECT_EQ(LastSelection(), tree_.Path("视频 文件/sub"));
        return 0;
    };
    const TItemIdListPtr result(Browse(0, {[](HWND) { DesktopPress(VK_RETURN); }}));
    EXPECT_EQ(PathOfList(result.get()), tree_.Path("视频 文件/sub"));
    EXPECT_EQ(String(displayName_), String(u"sub"));
}

TEST_F(BrowseForFolderTest, TheTreeListsFoldersInTheOrderOfTheUsersCollation) {
    for (const char* name : {"音乐", "下载", "电影10", "电影2"}) tree_.Folder(name);
    const struct {
        const char* locale;
        std::vector<String> names;
    } cases[] = {
        // Pinyin (dian, shi, xia, yin) and Chinese before Latin; numbers by value.
        {"zh_CN", {u"电影2", u"电影10", u"视频 文件", u"下载", u"音乐", u"x"}},
        // By code units: 下 U+4E0B, 电 U+7535, 视 U+89C6, 音 U+97F3.
        {"C", {u"x", u"下载", u"电影2", u"电影10", u"视频 文件", u"音乐"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        TQtNameCollation collation{QLocale(QString::fromLatin1(c.locale))};
        const TNameCollationScope installed(collation);
        answers_[BFFM_INITIALIZED] = [&](HWND dialog, LPARAM) {
            const HWND tree = GetDlgItem(dialog, IDC_BROWSE_TREE);
            const auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
            EXPECT_EQ(ChildTexts(tree, root), c.names);
            return 0;
        };
        const TItemIdListPtr result(Browse(0, {[](HWND) { DesktopPress(VK_ESCAPE); }}));
        EXPECT_EQ(result, nullptr);
    }
}

TEST_F(BrowseForFolderTest, TheNewFolderButtonAsksForANameAndSelectsTheFolderItMakes) {
    answers_[BFFM_INITIALIZED] = [&](HWND dialog, LPARAM) {
        SetSelection(dialog, tree_.Path("x"));
        return 0;
    };
    const TItemIdListPtr result(
        Browse(BIF_NEWDIALOGSTYLE, {[](HWND dialog) {
                                        SendMessageW(GetDlgItem(dialog, IDC_BROWSE_NEWFOLDER), BM_CLICK, 0, 0);
                                    },
                                    [&](HWND box) {
                                        EXPECT_NE(box, dialog_) << "the name box waits";
                                        EXPECT_FALSE(IsWindowEnabled(dialog_));
                                        const HWND edit = ChildOfClass(box, u"EDIT");
                                        EXPECT_EQ(TextOf(edit), String(u"新建文件夹"));
                                        SetWindowTextW(edit, u"新 文件夹");
                                        DesktopPress(VK_RETURN);
                                    },
                                    [&](HWND dialog) {
                                        EXPECT_EQ(dialog, dialog_);
                                        EXPECT_EQ(LastSelection(), tree_.Path("x/新 文件夹"));
                                        DesktopPress(VK_RETURN);
                                    }}));
    EXPECT_TRUE(std::filesystem::is_directory(tree_.Path("x/新 文件夹").ToUtf8()));
    EXPECT_EQ(PathOfList(result.get()), tree_.Path("x/新 文件夹"));
}

TEST_F(BrowseForFolderTest, TheCallerMaySubclassMoveAndExtendTheDialogBeforeItShows) {
    static std::vector<UINT> seen;
    static WNDPROC previous;
    static int helpClicks;
    seen.clear();
    helpClicks = 0;
    const WNDPROC subclass = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_SHOWWINDOW || message == WM_PAINT) seen.push_back(message);
        if (message == WM_SHOWWINDOW && wParam && std::count(seen.begin(), seen.end(), WM_SHOWWINDOW) == 1)
            SetWindowPos(hwnd, nullptr, 55, 66, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (message == WM_COMMAND && LOWORD(wParam) == 0xFFFF) ++helpClicks;
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    };
    RECT centred{};
    answers_[BFFM_INITIALIZED] = [&](HWND dialog, LPARAM) {
        centred = WindowRectOf(dialog);
        previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclass)));
        const HWND ok = GetDlgItem(dialog, IDOK);
        RECT r = WindowRectOf(ok);
        ScreenToClient(dialog, reinterpret_cast<POINT*>(&r.left));
        CreateWindowExW(0, u"BUTTON", u"帮助(&H)", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, r.top, 75, 24, dialog,
                        HMENU(uintptr_t(0xFFFF)), nullptr, nullptr);
        return 0;
    };
    Browse(BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON,
           {[&](HWND dialog) {
                ASSERT_FALSE(seen.empty());
                EXPECT_EQ(seen.front(), UINT(WM_SHOWWINDOW)) << "shown before the first paint";
                const RECT moved = WindowRectOf(dialog);
                EXPECT_EQ(moved.left, 55);
                EXPECT_EQ(moved.top, 66);
                const HWND help = GetDlgItem(dialog, 0xFFFF);
                ASSERT_NE(help, nullptr);
                RECT r;
                GetClientRect(help, &r);
                Click(help, r.right / 2, r.bottom / 2);
            },
            [&](HWND) {
                EXPECT_EQ(helpClicks, 1);
                DesktopPress(VK_ESCAPE);
            }});
    // Before the caller moved it, it stood in the middle of the work area, whose left edge is at 40.
    EXPECT_EQ((centred.left + centred.right) / 2, (kWork.left + kWork.right) / 2);
    EXPECT_EQ((centred.top + centred.bottom) / 2, (kWork.top + kWork.bottom) / 2);
    EXPECT_NEAR(centred.left - kWork.left, kWork.right - centred.right, 1);
}

TEST_F(BrowseForFolderTest, TheNewStyleDialogResizesItsChildren) {
    Browse(BIF_NEWDIALOGSTYLE | BIF_EDITBOX, {[&](HWND dialog) {
               RECT client;
               GetClientRect(dialog, &client);
               const RECT tree = WindowRectOf(GetDlgItem(dialog, IDC_BROWSE_TREE));
               const RECT cancel = WindowRectOf(GetDlgItem(dialog, IDCANCEL));
               const RECT frame = WindowRectOf(dialog);
               SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + 100, frame.bottom - frame.top + 50,
                            SWP_NOMOVE | SWP_NOZORDER);
               const RECT grownTree = WindowRectOf(GetDlgItem(dialog, IDC_BROWSE_TREE));
               const RECT movedCancel = WindowRectOf(GetDlgItem(dialog, IDCANCEL));
               EXPECT_EQ(grownTree.right - grownTree.left, tree.right - tree.left + 100);
               EXPECT_EQ(grownTree.bottom - grownTree.top, tree.bottom - tree.top + 50);
               EXPECT_EQ(movedCancel.left, cancel.left + 100);
               EXPECT_EQ(movedCancel.top, cancel.top + 50);

               // It does not shrink below a usable size.
               SetWindowPos(dialog, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER);
               GetClientRect(dialog, &client);
               EXPECT_GE(client.right, 320);
               EXPECT_GE(client.bottom, 300);
               DesktopPress(VK_ESCAPE);
           }});
}

} // namespace
