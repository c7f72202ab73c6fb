#pragma once
// The folders of a "SysTreeView32", listed through the shell's folder
// objects: one root item, each folder's subfolders (hidden ones left out,
// sorted by name) listed when the folder is first expanded. An item's
// parameter is its folder's node; the tree's owner passes the tree's
// TVN_ITEMEXPANDINGW notifications on to Expanding.

#include <memory>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/controls/Controls.h"

class TFolderTree {
public:
    // Makes the root item of the folder Root (an absolute path) in Tree.
    TFolderTree(HWND tree, const String& root);
    TFolderTree(const TFolderTree&) = delete;
    TFolderTree& operator=(const TFolderTree&) = delete;

    HTREEITEM Root() const { return root_; }
    // The folder path of an item; empty for null.
    String PathOf(HTREEITEM item) const;
    // The item shown for Path (absolute), its ancestors expanded on the way
    // (a hidden folder joins the tree then); null when the path is outside
    // the root or names no folder.
    HTREEITEM Reveal(const String& path);
    // Lists a folder's children before it first opens.
    void Expanding(const NMTREEVIEWW& change);
    // A new folder Name just made in Parent's folder joins the tree; answers its item.
    HTREEITEM Added(HTREEITEM parent, const String& name);

private:
    struct TNode {
        String path;
        bool listed = false;
    };
    HTREEITEM Insert(HTREEITEM parent, HTREEITEM after, const String& name, const String& path, bool hasChildren);
    TNode* NodeOf(HTREEITEM item) const;
    void List(HTREEITEM item);
    HTREEITEM ChildWithPath(HTREEITEM parent, const String& path) const;

    HWND tree_;
    std::vector<std::unique_ptr<TNode>> nodes_;
    HTREEITEM root_ = nullptr;
};

// Path with Name appended.
String JoinPath(const String& folder, const String& name);
