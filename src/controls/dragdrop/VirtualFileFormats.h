#pragma once
// Files that need not exist on disk: their descriptors (wide, 592 bytes
// each) with the names shown as a string list, and their contents produced
// on demand.

#include <vector>

#include "controls/dragdrop/ContentLists.h"
#include "controls/dragdrop/DataFormat.h"
#include "controls/dragdrop/FileContentsFormats.h"
#include "platform/rtl/StringList.h"

class TAnsiFileGroupDescriptorClipboardFormat;
class TUnicodeFileGroupDescriptorClipboardFormat;

// The names of a list of wide descriptors, with an object per name. Only
// appending inserts: an insert elsewhere does nothing.
class TFileDescriptorToFilenameStrings : public TStrings {
    RTL_CLASS(TFileDescriptorToFilenameStrings, TStrings);

public:
    // A wide descriptor: 72 bytes of attributes and 260 UTF-16 units of name.
    static constexpr size_t kDescriptorSize = 592;

    explicit TFileDescriptorToFilenameStrings(TMemoryList& descriptors) : descriptors_(descriptors) {}

    // At Count only: a zeroed descriptor holding the name (cut to 259 units).
    void InsertObject(int index, const String& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    // Appends a whole descriptor with no object.
    void AddDescriptor(TMemoryList::TBlock descriptor);

protected:
    String Get(int index) const override;
    int GetCount() const override { return descriptors_.Count(); }
    TObject* GetObject(int index) const override { return objects_.at(static_cast<size_t>(index)); }
    void PutObject(int index, TObject* object) override { objects_.at(static_cast<size_t>(index)) = object; }

private:
    TMemoryList& descriptors_;
    std::vector<TObject*> objects_;
};

class TVirtualFileStreamDataFormat : public TCustomDataFormat {
    RTL_CLASS(TVirtualFileStreamDataFormat, TCustomDataFormat);

public:
    // Without an owner its formats come from the process map.
    explicit TVirtualFileStreamDataFormat(TDragDropComponent* owner);
    static void DeclareConversions();

    TStrings& FileNames() noexcept { return fileNames_; }
    void SetFileNames(const TStrings& names) { fileNames_.Assign(names); }
    TMemoryList& FileDescriptors() noexcept { return descriptors_; }
    TOnGetStreamEvent& OnGetStream() noexcept { return fileContents_->OnGetStream; }
    TFileContentsStreamOnDemandClipboardFormat& FileContentsClipboardFormat() noexcept { return *fileContents_; }

    bool Assign(TClipboardFormat& source) override;
    bool AssignTo(TClipboardFormat& dest) override;
    void Clear() override;
    // Descriptors, and contents that came or a handler that makes them.
    bool HasData() const override;
    // Until both descriptors and contents came.
    bool NeedsData() const override;

private:
    TMemoryList descriptors_;
    TFileDescriptorToFilenameStrings fileNames_{descriptors_};
    bool hasContents_ = false;
    TFileContentsStreamOnDemandClipboardFormat* fileContents_;
    TAnsiFileGroupDescriptorClipboardFormat* ansiGroup_;
    TUnicodeFileGroupDescriptorClipboardFormat* unicodeGroup_;
};
