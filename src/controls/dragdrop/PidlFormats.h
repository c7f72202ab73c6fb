#pragma once
// Shell item-ID lists: a parent folder and the objects relative to it, as
// carried by "Shell IDList Array", turned into whole paths and back.

#include <vector>

#include "controls/dragdrop/CidaBlock.h"
#include "controls/dragdrop/DataFormat.h"
#include "controls/dragdrop/SimpleClipboardFormat.h"
#include "controls/dragdrop/UnicodeStrings.h"
#include "platform/rtl/TaskAllocator.h"

// Owned lists, item 0 the folder (absolute), the others the objects
// relative to it. OnChanging fires after every change.
class TPIDLList {
public:
    TPIDLList() = default;
    ~TPIDLList() { ClearItems(); }
    TPIDLList(const TPIDLList&) = delete;
    TPIDLList& operator=(const TPIDLList&) = delete;

    // A copy of List; a null list is ignored.
    void Add(const ITEMIDLIST* list);
    void Add(const TItemIdBytes& bytes) { Add(reinterpret_cast<const ITEMIDLIST*>(bytes.data())); }
    void Assign(const TPIDLList& source);
    void Assign(const std::vector<TItemIdBytes>& lists);
    void Clear();
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    const ITEMIDLIST* operator[](int index) const { return items_.at(static_cast<size_t>(index)); }
    TItemIdBytes Bytes(int index) const;
    std::vector<TItemIdBytes> AllBytes() const;
    // The object I + 1's path: the folder followed by its list; empty
    // when it has none in the file system.
    String ObjectPath(int object) const;

    TNotifyEvent OnChanging;

private:
    void ClearItems();
    void Changed();

    std::vector<ITEMIDLIST*> items_;
};

// The paths of a list's objects, as a read-only string list; assigning names
// turns them into lists.
class TPIDLsToFilenamesStrings : public TUnicodeStrings {
    RTL_CLASS(TPIDLsToFilenamesStrings, TUnicodeStrings);

public:
    explicit TPIDLsToFilenamesStrings(TPIDLList& pidls) : pidls_(pidls) {}
    void Insert(int, const String&) override {}
    void Clear() override {}
    void Delete(int) override {}
    void Assign(TPersistent* source) override;

protected:
    int GetCount() const override { return pidls_.Count() >= 2 ? pidls_.Count() - 1 : 0; }
    // Raises "Filename index out of range".
    String Get(int index) const override;
    void Put(int, const String&) override {}

private:
    TPIDLList& pidls_;
};

// The common folder of full paths as an item-ID list; empty without names.
// Raises "Invalid filename: %s" for a folder that cannot be parsed.
TItemIdBytes CommonFolderOf(const std::vector<String>& names);
// The folder and the objects' relative lists of Names into Lists; false
// (and Lists empty) when it cannot be done.
bool NamesToPidls(const std::vector<String>& names, TPIDLList& lists);

class TPIDLClipboardFormat : public TCustomSimpleClipboardFormat {
    RTL_CLASS(TPIDLClipboardFormat, TCustomSimpleClipboardFormat);

public:
    TPIDLClipboardFormat();
    static CLIPFORMAT ClassClipboardFormat() { return DRAGDROP_REGISTERED_FORMAT(u"Shell IDList Array"); }
    TPIDLList& PIDLs() noexcept { return pidls_; }
    TPIDLsToFilenamesStrings& Filenames() noexcept { return filenames_; }

    bool DecodeBlock(const uint8_t* data, size_t size) override;
    bool EncodeBlock(uint8_t* buffer, size_t size) override;
    size_t BlockSize() const override;
    void Clear() override { pidls_.Clear(); }
    bool HasData() const override { return pidls_.Count() > 0; }

private:
    TPIDLList pidls_;
    TPIDLsToFilenamesStrings filenames_{pidls_};
};

class TPIDLDataFormat : public TCustomDataFormat {
    RTL_CLASS(TPIDLDataFormat, TCustomDataFormat);

public:
    explicit TPIDLDataFormat(TDragDropComponent* owner);
    static void DeclareConversions();
    TPIDLList& PIDLs() noexcept { return pidls_; }
    TPIDLsToFilenamesStrings& Filenames() noexcept { return filenames_; }

    bool Assign(TClipboardFormat& source) override;
    bool AssignTo(TClipboardFormat& dest) override;
    void Clear() override { pidls_.Clear(); }
    bool HasData() const override { return pidls_.Count() > 0; }

private:
    TPIDLList pidls_;
    TPIDLsToFilenamesStrings filenames_{pidls_};
};
