#include "platform/win/controls/folderdialog/BrowseForFolder.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/rtl/Files.h"
#include "platform/win/controls/ControlTexts.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/folderdialog/FolderTree.h"
#include "platform/win/controls/folderdialog/NewFolderBox.h"
#include "platform/win/controls/folderdialog/ShellDialog.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/shell/ItemIdLists.h"
#include "platform/win/text/Text.h"

namespace {

constexpr char16_t kBrowseDialogClass[] = u"BrowseForFolderDialog";
constexpr SIZE kClassicClient{330, 380}, kNewStyleClient{400, 440}, kSmallestClient{320, 300};
constexpr int kMargin = 10, kGap = 8, kButtonWidth = 75, kNewFolderWidth = 110, kButtonHeight = 24, kEditHeight = 22;

// The last component of a folder path; "/" for the root.
String FolderName(const String& path) {
    const size_t slash = path.rfind(u'/');
    return path == u"/" || slash == String::npos ? path : path.substr(slash + 1);
}

class TBrowseDialog final : public TShellDialog {
public:
    explicit TBrowseDialog(BROWSEINFOW& info)
        : info_(info), newStyle_(info.ulFlags & BIF_NEWDIALOGSTYLE),
          hasStatus_((info.ulFlags & BIF_STATUSTEXT) && !newStyle_),
          hasNewFolder_(newStyle_ && !(info.ulFlags & BIF_NONEWFOLDERBUTTON)),
          hasEdit_(info.ulFlags & BIF_EDITBOX) {}

    ITEMIDLIST* Run();

private:
    enum class TEnd { Open, Accepted, Cancelled };

    void Build();
    void Layout(int width, int height);
    void Centre();
    int Callback(UINT message, LPARAM lParam);
    void Selected(HTREEITEM item);
    bool SelectPath(const String& path);
    void Accept();
    void NewFolder();
    LRESULT DialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool DialogKey(const MSG& msg) override;

    BROWSEINFOW& info_;
    const bool newStyle_, hasStatus_, hasNewFolder_, hasEdit_;
    HWND prompt_ = nullptr, status_ = nullptr, tree_ = nullptr, label_ = nullptr, edit_ = nullptr;
    HWND newFolder_ = nullptr, ok_ = nullptr, cancel_ = nullptr;
    std::unique_ptr<TFolderTree> folders_;
    int lineHeight_ = 16, labelWidth_ = 0;
    SIZE frame_{}; // what the frame adds to the client size
    bool initialized_ = false, selectionTold_ = false;
    String selected_, chosen_;
    TEnd end_ = TEnd::Open;
};

ITEMIDLIST* TBrowseDialog::Run() {
    const HWND owner = info_.hwndOwner ? GetAncestor(info_.hwndOwner, GA_ROOT) : nullptr;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | (newStyle_ ? WS_THICKFRAME : 0);
    const SIZE client = newStyle_ ? kNewStyleClient : kClassicClient;
    if (!CreateDialogWindow(kBrowseDialogClass, owner, LoadResString(SBrowseFolderCaption), style, client))
        return nullptr;
    RECT window, inside;
    GetWindowRect(Window(), &window);
    GetClientRect(Window(), &inside);
    frame_ = {(window.right - window.left) - inside.right, (window.bottom - window.top) - inside.bottom};
    Build();
    Layout(client.cx, client.cy);
    Centre();

    String root = u"/";
    if (info_.pidlRoot && !GetPathFromIDList(info_.pidlRoot, root)) root = u"/";
    folders_ = std::make_unique<TFolderTree>(tree_, root);
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folders_->Root()));
    SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(folders_->Root()));

    // The caller hears of the dialog before it is shown, then of the selection it starts with.
    initialized_ = true;
    Callback(BFFM_INITIALIZED, 0);
    if (!selectionTold_ && Window() && !selected_.empty()) {
        ITEMIDLIST* list = ItemIdListFromPath(selected_);
        Callback(BFFM_SELCHANGED, reinterpret_cast<LPARAM>(list));
        ILFree(list);
    }
    if (!Window()) return nullptr;
    if (!RunModal([this] { return end_ != TEnd::Open; }, tree_) || end_ != TEnd::Accepted) return nullptr;

    if (info_.pszDisplayName) {
        const String name = FolderName(chosen_);
        const size_t length = std::min<size_t>(name.size(), MAX_PATH - 1);
        std::memcpy(info_.pszDisplayName, name.c_str(), length * sizeof(char16_t));
        info_.pszDisplayName[length] = u'\0';
    }
    return ItemIdListFromPath(chosen_);
}

void TBrowseDialog::Build() {
    prompt_ = Child(u"STATIC", info_.lpszTitle ? String(info_.lpszTitle) : String(), SS_LEFT | SS_NOPREFIX,
                    IDC_BROWSE_PROMPT);
    if (hasStatus_) status_ = Child(u"STATIC", String(), SS_LEFT | SS_NOPREFIX, IDC_BROWSE_STATUS);
    tree_ = Child(u"SysTreeView32", String(),
                  WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS, IDC_BROWSE_TREE,
                  WS_EX_CLIENTEDGE);
    const String labelText = LoadResString(SBrowseFolderLabel);
    if (hasEdit_) {
        label_ = Child(u"STATIC", labelText, SS_LEFT, -1);
        edit_ = Child(u"EDIT", String(), WS_TABSTOP | ES_AUTOHSCROLL, IDC_BROWSE_EDIT, WS_EX_CLIENTEDGE);
    }
    if (hasNewFolder_)
        newFolder_ =
            Child(u"BUTTON", LoadResString(SBrowseNewFolder), WS_TABSTOP | BS_PUSHBUTTON, IDC_BROWSE_NEWFOLDER);
    ok_ = Child(u"BUTTON", LoadResString(SMsgDlgOK), WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
    cancel_ = Child(u"BUTTON", LoadResString(SMsgDlgCancel), WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);

    HDC dc = GetDC(Window());
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(Font()));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    lineHeight_ = tm.tmHeight;
    SIZE label{};
    GetTextExtentPoint32W(dc, labelText.c_str(), int(labelText.size()), &label);
    labelWidth_ = label.cx;
    SelectObject(dc, old);
    ReleaseDC(Window(), dc);
}

void TBrowseDialog::Layout(int width, int height) {
    const int inner = std::max(1, width - 2 * kMargin);
    // The prompt takes the lines its text needs at this width (a carriage return starts one).
    RECT promptRect{0, 0, inner, 0};
    const String prompt = info_.lpszTitle ? String(info_.lpszTitle) : String();
    HDC dc = GetDC(Window());
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(Font()));
    if (!prompt.empty()) DrawTextW(dc, prompt.c_str(), int(prompt.size()), &promptRect, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(Window(), dc);
    const int promptHeight = std::max(lineHeight_, int(promptRect.bottom));

    int y = kMargin;
    MoveWindow(prompt_, kMargin, y, inner, promptHeight, TRUE);
    y += promptHeight + kGap / 2;
    if (status_) {
        MoveWindow(status_, kMargin, y, inner, lineHeight_, TRUE);
        y += lineHeight_ + kGap / 2;
    }
    const int buttonsTop = height - kMargin - kButtonHeight;
    int treeBottom = buttonsTop - kGap;
    if (edit_) {
        const int editTop = buttonsTop - kGap - kEditHeight;
        MoveWindow(label_, kMargin, editTop + (kEditHeight - lineHeight_) / 2, labelWidth_, lineHeight_, TRUE);
        const int editLeft = kMargin + labelWidth_ + kGap / 2;
        MoveWindow(edit_, editLeft, editTop, std::max(1, width - kMargin - editLeft), kEditHeight, TRUE);
        treeBottom = editTop - kGap;
    }
    MoveWindow(tree_, kMargin, y, inner, std::max(1, treeBottom - y), TRUE);
    const int cancelLeft = width - kMargin - kButtonWidth;
    MoveWindow(cancel_, cancelLeft, buttonsTop, kButtonWidth, kButtonHeight, TRUE);
    MoveWindow(ok_, cancelLeft - kGap - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight, TRUE);
    if (newFolder_) MoveWindow(newFolder_, kMargin, buttonsTop, kNewFolderWidth, kButtonHeight, TRUE);
}

// Centred on the work area of the owner's monitor, wherever that area begins.
void TBrowseDialog::Centre() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner_ ? owner_ : Window(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    RECT box;
    GetWindowRect(Window(), &box);
    const int x = work.left + ((work.right - work.left) - (box.right - box.left)) / 2;
    const int y = work.top + ((work.bottom - work.top) - (box.bottom - box.top)) / 2;
    SetWindowPos(Window(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TBrowseDialog::Callback(UINT message, LPARAM lParam) {
    if (!info_.lpfn || !Window()) return 0;
    if (message == BFFM_SELCHANGED) selectionTold_ = true;
    return info_.lpfn(Window(), message, lParam, info_.lParam);
}

void TBrowseDialog::Selected(HTREEITEM item) {
    selected_ = folders_ ? folders_->PathOf(item) : String();
    if (edit_) SetWindowTextW(edit_, FolderName(selected_).c_str());
    if (!initialized_) return;
    ITEMIDLIST* list = selected_.empty() ? nullptr : ItemIdListFromPath(selected_);
    Callback(BFFM_SELCHANGED, reinterpret_cast<LPARAM>(list));
    ILFree(list);
}

bool TBrowseDialog::SelectPath(const String& path) {
    const HTREEITEM item = folders_ ? folders_->Reveal(path) : nullptr;
    if (!item) return false;
    SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    SendMessageW(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    return true;
}

void TBrowseDialog::Accept() {
    if (!IsWindowEnabled(ok_)) return;
    String path = selected_;
    if (edit_) {
        String text(size_t(GetWindowTextLengthW(edit_)), u'\0');
        text.resize(size_t(GetWindowTextW(edit_, text.data(), int(text.size()) + 1)));
        if (text != FolderName(selected_)) {
            path = !text.empty() && text[0] == u'/' ? text : JoinPath(selected_, text);
            if (text.empty() || selected_.empty() || !DirectoryExists(path)) {
                // A text that names no folder: the caller decides whether the dialog ends, without a folder.
                if (info_.lpfn && Callback(BFFM_VALIDATEFAILEDW, reinterpret_cast<LPARAM>(text.c_str())) == 0)
                    end_ = TEnd::Cancelled;
                else
                    MessageBeep(MB_OK);
                return;
            }
            ITEMIDLIST* list = ItemIdListFromPath(path);
            GetPathFromIDList(list, path);
            ILFree(list);
        }
    }
    if (path.empty()) return;
    chosen_ = path;
    end_ = TEnd::Accepted;
}

void TBrowseDialog::NewFolder() {
    HTREEITEM parent = reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!parent) parent = folders_->Root();
    const String folder = folders_->PathOf(parent);
    const String proposal = LoadResString(SNewFolderDefaultName);
    String name = proposal;
    for (int n = 2; DirectoryExists(JoinPath(folder, name)) || FileExists(JoinPath(folder, name)); ++n)
        name = proposal + u" (" + String(std::to_string(n)) + u")";
    if (!AskNewFolderName(Window(), name)) return;
    const bool valid = !name.empty() && name != u"." && name != u".." && name.find(u'/') == String::npos;
    if (!valid || !CreateDir(JoinPath(folder, name))) {
        const String text = LoadResString(SNewFolderFailed) + u"\n" + name;
        MessageBoxW(Window(), text.c_str(), LoadResString(SNewFolderCaption).c_str(), MB_OK | MB_ICONERROR);
        return;
    }
    if (const HTREEITEM item = folders_->Added(parent, name)) {
        SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        SendMessageW(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    }
    SetFocus(tree_);
}

LRESULT TBrowseDialog::DialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case BFFM_SETSELECTIONW: {
        if (!lParam) return FALSE;
        String path;
        if (wParam)
            path = reinterpret_cast<LPCWSTR>(lParam);
        else if (!GetPathFromIDList(reinterpret_cast<const ITEMIDLIST*>(lParam), path))
            return FALSE;
        return SelectPath(path);
    }
    case BFFM_SETSTATUSTEXTW:
        if (status_) SetWindowTextW(status_, lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"");
        return 0;
    case BFFM_ENABLEOK: EnableWindow(ok_, lParam != 0); return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom != tree_ || !folders_) break;
        const auto& change = *reinterpret_cast<const NMTREEVIEWW*>(lParam);
        if (header->code == TVN_ITEMEXPANDINGW) folders_->Expanding(change);
        if (header->code == TVN_SELCHANGEDW) Selected(change.itemNew.hItem);
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) break;
        switch (LOWORD(wParam)) {
        case IDOK: Accept(); return 0;
        case IDCANCEL: end_ = TEnd::Cancelled; return 0;
        case IDC_BROWSE_NEWFOLDER: NewFolder(); return 0;
        }
        break;
    case WM_CLOSE: end_ = TEnd::Cancelled; return 0;
    case WM_SIZE: Layout(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_GETMINMAXINFO:
        if (newStyle_) {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = {kSmallestClient.cx + frame_.cx, kSmallestClient.cy + frame_.cy};
        }
        return 0;
    case WM_ENTERIDLE: // the new-folder box waits: the owner hears of it
        if (owner_ && IsWindow(owner_)) SendMessageW(owner_, WM_ENTERIDLE, wParam, lParam);
        return 0;
    }
    return TShellDialog::DialogMessage(message, wParam, lParam);
}

bool TBrowseDialog::DialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    switch (msg.wParam) {
    case VK_RETURN: {
        const HWND focus = GetFocus();
        // A push button with the focus (new folder, cancel, one the caller added) answers for itself.
        const LRESULT code = focus ? SendMessageW(focus, WM_GETDLGCODE, 0, 0) : 0;
        const bool pushButton = focus && focus != ok_ && GetParent(focus) == Window() &&
                                (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
        if (pushButton)
            SendMessageW(focus, BM_CLICK, 0, 0);
        else
            Accept();
        return true;
    }
    case VK_ESCAPE: end_ = TEnd::Cancelled; return true;
    case VK_TAB: Tab(GetKeyState(VK_SHIFT) < 0); return true;
    }
    return false;
}

} // namespace

ITEMIDLIST* SHBrowseForFolderW(BROWSEINFOW* info) {
    if (!info) return nullptr;
    TBrowseDialog dialog(*info);
    return dialog.Run();
}
