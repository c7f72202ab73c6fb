#include "platform/win/controls/folderdialog/FolderTree.h"

#include "platform/rtl/Files.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/shell/ItemIdLists.h"
#include "platform/win/shell/NameOrder.h"
#include "platform/win/shell/ShellFolder.h"

namespace {

String TakeName(STRRET& name, const ITEMIDLIST* list) {
    String text;
    return StrRetToString(&name, list, text) == S_OK ? text : String();
}

// The normalised form of an absolute path; empty for anything else.
String Normalised(const String& path) {
    ITEMIDLIST* list = ItemIdListFromPath(path);
    String result;
    if (!GetPathFromIDList(list, result)) result.clear();
    ILFree(list);
    return result;
}

bool IsInside(const String& path, const String& folder) {
    if (folder == u"/") return path.size() > 1 && path[0] == u'/';
    return path.size() > folder.size() && path.starts_with(folder.Std()) && path[folder.size()] == u'/';
}

HTREEITEM Related(HWND tree, UINT code, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

struct TSubfolder {
    String name, path;
    bool hasChildren;
};

// The folder's visible subfolders in the shell's order.
std::vector<TSubfolder> Subfolders(const String& path) {
    std::vector<TSubfolder> result;
    TIntfPtr<IShellFolder> desktop;
    if (Failed(SHGetDesktopFolder(desktop))) return result;
    ITEMIDLIST* list = nullptr;
    if (Failed(desktop->ParseDisplayName(nullptr, nullptr, path.c_str(), nullptr, &list, nullptr))) return result;
    void* bound = nullptr;
    const HRESULT bind = desktop->BindToObject(list, nullptr, IShellFolder::IID, &bound);
    ILFree(list);
    if (Failed(bind)) return result;
    const auto folder = TIntfPtr<IShellFolder>::Adopt(static_cast<IShellFolder*>(bound));
    TIntfPtr<IEnumIDList> items;
    if (Failed(folder->EnumObjects(nullptr, SHCONTF_FOLDERS, items))) return result;
    ITEMIDLIST* item = nullptr;
    while (items->Next(1, &item, nullptr) == S_OK) {
        STRRET name, full;
        ULONG attributes = SFGAO_HASSUBFOLDER;
        folder->GetAttributesOf(1, &item, &attributes);
        if (folder->GetDisplayNameOf(item, SHGDN_NORMAL, &name) == S_OK &&
            folder->GetDisplayNameOf(item, SHGDN_FORPARSING, &full) == S_OK)
            result.push_back({TakeName(name, item), TakeName(full, item), (attributes & SFGAO_HASSUBFOLDER) != 0});
        ILFree(item);
    }
    return result;
}

} // namespace

String JoinPath(const String& folder, const String& name) {
    return folder == u"/" ? u"/" + name : folder + u"/" + name;
}

TFolderTree::TFolderTree(HWND tree, const String& root) : tree_(tree) {
    const String path = Normalised(root).empty() ? String(u"/") : Normalised(root);
    String name = path;
    if (path != u"/") name = path.substr(path.rfind(u'/') + 1);
    root_ = Insert(TVI_ROOT, TVI_LAST, name, path, true);
}

HTREEITEM TFolderTree::Insert(HTREEITEM parent, HTREEITEM after, const String& name, const String& path,
                              bool hasChildren) {
    nodes_.push_back(std::make_unique<TNode>(TNode{path}));
    String text = name;
    TVINSERTSTRUCTW insert{parent, after, {}};
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = text.data();
    insert.item.cChildren = hasChildren ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(nodes_.back().get());
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

TFolderTree::TNode* TFolderTree::NodeOf(HTREEITEM item) const {
    if (!item) return nullptr;
    TVITEMW fields;
    fields.mask = TVIF_PARAM | TVIF_HANDLE;
    fields.hItem = item;
    if (!SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&fields))) return nullptr;
    return reinterpret_cast<TNode*>(fields.lParam);
}

String TFolderTree::PathOf(HTREEITEM item) const {
    const TNode* node = NodeOf(item);
    return node ? node->path : String();
}

void TFolderTree::List(HTREEITEM item) {
    TNode* node = NodeOf(item);
    if (!node || node->listed) return;
    node->listed = true;
    const std::vector<TSubfolder> subfolders = Subfolders(node->path);
    for (const TSubfolder& sub : subfolders) Insert(item, TVI_LAST, sub.name, sub.path, sub.hasChildren);
    if (subfolders.empty()) {
        TVITEMW fields;
        fields.mask = TVIF_CHILDREN | TVIF_HANDLE;
        fields.hItem = item;
        fields.cChildren = 0;
        SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&fields));
    }
}

void TFolderTree::Expanding(const NMTREEVIEWW& change) {
    if (change.action == TVE_EXPAND) List(change.itemNew.hItem);
}

HTREEITEM TFolderTree::ChildWithPath(HTREEITEM parent, const String& path) const {
    for (HTREEITEM child = Related(tree_, TVGN_CHILD, parent); child; child = Related(tree_, TVGN_NEXT, child))
        if (PathOf(child) == path) return child;
    return nullptr;
}

HTREEITEM TFolderTree::Reveal(const String& path) {
    const String target = Normalised(path);
    const String rootPath = PathOf(root_);
    if (target == rootPath) return root_;
    if (target.empty() || !IsInside(target, rootPath)) return nullptr;
    HTREEITEM item = root_;
    size_t end = rootPath == u"/" ? 0 : rootPath.size();
    while (item && end < target.size()) {
        List(item);
        SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        const size_t start = end + 1;
        end = target.find(u'/', start);
        if (end == String::npos) end = target.size();
        const String prefix = target.substr(0, end);
        HTREEITEM child = ChildWithPath(item, prefix);
        // A hidden folder is not listed, but shown when it is asked for.
        if (!child && DirectoryExists(prefix)) child = Added(item, target.substr(start, end - start));
        item = child;
    }
    return item;
}

HTREEITEM TFolderTree::Added(HTREEITEM parent, const String& name) {
    TNode* node = NodeOf(parent);
    if (!node) return nullptr;
    const String path = JoinPath(node->path, name);
    if (!node->listed) {
        // Listing the folder now finds the new one too.
        TVITEMW fields;
        fields.mask = TVIF_CHILDREN | TVIF_HANDLE;
        fields.hItem = parent;
        fields.cChildren = 1;
        SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&fields));
        return Reveal(path);
    }
    HTREEITEM after = TVI_FIRST;
    for (HTREEITEM child = Related(tree_, TVGN_CHILD, parent); child; child = Related(tree_, TVGN_NEXT, child)) {
        const String childPath = PathOf(child);
        if (CompareFileNames(childPath.substr(childPath.rfind(u'/') + 1), name) > 0) break;
        after = child;
    }
    HTREEITEM item = Insert(parent, after, name, path, false);
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    return item;
}
