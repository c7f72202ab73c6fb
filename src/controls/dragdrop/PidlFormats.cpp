#include "controls/dragdrop/PidlFormats.h"

#include <cstring>

#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/FileFormats.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Format.h"
#include "platform/win/shell/ItemIdLists.h"
#include "platform/win/shell/ShellFolder.h"

RTL_PUBLISHED_NONE(TPIDLsToFilenamesStrings);
RTL_PUBLISHED_NONE(TPIDLClipboardFormat);
RTL_PUBLISHED_NONE(TPIDLDataFormat);

namespace {

constexpr size_t kItemIdTerminatorSize = 2;

TItemIdBytes BytesOfList(const ITEMIDLIST* list) {
    return TItemIdBytes(reinterpret_cast<const char*>(list), ILGetSize(list));
}

// A list's bytes without its terminator (the desktop's empty list gives nothing).
TItemIdBytes WithoutTerminator(const TItemIdBytes& list) {
    return list.size() > kItemIdTerminatorSize ? list.substr(0, list.size() - kItemIdTerminatorSize) : TItemIdBytes();
}

TIntfPtr<IShellFolder> DesktopFolder() {
    TIntfPtr<IShellFolder> desktop;
    if (SHGetDesktopFolder(desktop) != S_OK || !desktop) throw Exception(u"Failed to get interface to Desktop");
    return desktop;
}

// The list of Name parsed by the desktop; empty when it cannot be parsed.
TItemIdBytes ParsedList(IShellFolder& desktop, const String& name) {
    ITEMIDLIST* list = nullptr;
    if (desktop.ParseDisplayName(nullptr, nullptr, name.c_str(), nullptr, &list, nullptr) != S_OK || !list)
        return {};
    TItemIdBytes bytes = BytesOfList(list);
    ILFree(list);
    return bytes;
}

// The length of the items Folder and Other share from their start.
size_t SharedItemsLength(const TItemIdBytes& folder, const TItemIdBytes& other) {
    const size_t limit = folder.size() - kItemIdTerminatorSize;
    size_t matched = 0;
    while (matched < limit && matched + kItemIdTerminatorSize <= other.size()) {
        const auto count = static_cast<uint16_t>(uint8_t(folder[matched]) | uint8_t(folder[matched + 1]) << 8);
        const auto otherCount = static_cast<uint16_t>(uint8_t(other[matched]) | uint8_t(other[matched + 1]) << 8);
        if (count == 0 || count != otherCount || folder.compare(matched, count, other, matched, count) != 0) break;
        matched += count;
    }
    return matched;
}

} // namespace

void TPIDLList::Add(const ITEMIDLIST* list) {
    if (!list) return;
    ITEMIDLIST* copy = ILClone(list);
    if (!copy) throw EOutOfMemory(u"Out of memory");
    items_.push_back(copy);
    Changed();
}

void TPIDLList::Assign(const TPIDLList& source) {
    ClearItems();
    for (const ITEMIDLIST* list : source.items_) items_.push_back(ILClone(list));
    Changed();
}

void TPIDLList::Assign(const std::vector<TItemIdBytes>& lists) {
    ClearItems();
    for (const TItemIdBytes& list : lists) items_.push_back(ILClone(reinterpret_cast<const ITEMIDLIST*>(list.data())));
    Changed();
}

void TPIDLList::Clear() {
    ClearItems();
    Changed();
}

void TPIDLList::ClearItems() {
    for (ITEMIDLIST* list : items_) CoTaskMemFree(list);
    items_.clear();
}

void TPIDLList::Changed() {
    if (OnChanging) OnChanging(nullptr);
}

TItemIdBytes TPIDLList::Bytes(int index) const { return BytesOfList((*this)[index]); }

std::vector<TItemIdBytes> TPIDLList::AllBytes() const {
    std::vector<TItemIdBytes> result;
    for (int i = 0; i < Count(); ++i) result.push_back(Bytes(i));
    return result;
}

String TPIDLList::ObjectPath(int object) const {
    const TItemIdBytes absolute = WithoutTerminator(Bytes(0)) + Bytes(object + 1);
    String path;
    if (!GetPathFromIDList(reinterpret_cast<const ITEMIDLIST*>(absolute.data()), path)) return String();
    return path;
}

String TPIDLsToFilenamesStrings::Get(int index) const {
    if (index < 0 || index > pidls_.Count() - 2) throw Exception(u"Filename index out of range");
    return pidls_.ObjectPath(index);
}

void TPIDLsToFilenamesStrings::Assign(TPersistent* source) {
    auto* names = dynamic_cast<TUnicodeStrings*>(source);
    if (!names) {
        TUnicodeStrings::Assign(source);
        return;
    }
    std::vector<String> list;
    for (int i = 0; i < names->Count(); ++i) list.push_back(names->Strings(i));
    Updating([&] { NamesToPidls(list, pidls_); });
}

TItemIdBytes CommonFolderOf(const std::vector<String>& names) {
    if (names.empty()) return {};
    const TIntfPtr<IShellFolder> desktop = DesktopFolder();
    TItemIdBytes common;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::u16string& name = names[i].Std();
        const size_t slash = name.rfind(u'/');
        const String folderPart(name.substr(0, slash == std::u16string::npos ? 0 : slash + 1));
        const TItemIdBytes folder = ParsedList(*desktop, folderPart);
        if (folder.empty()) throw Exception(Format(u"Invalid filename: %s", {folderPart}));
        if (i == 0) {
            common = folder;
            continue;
        }
        const size_t matched = SharedItemsLength(common, folder);
        if (matched < common.size() - kItemIdTerminatorSize) common = common.substr(0, matched) + TItemIdBytes(2, '\0');
        if (matched == 0) break;
    }
    return common;
}

bool NamesToPidls(const std::vector<String>& names, TPIDLList& lists) {
    lists.Clear();
    if (names.empty()) return false;
    const TItemIdBytes folder = CommonFolderOf(names);
    if (folder.empty()) return false;
    const TItemIdBytes folderItems = WithoutTerminator(folder);
    std::vector<TItemIdBytes> result{folder};
    const TIntfPtr<IShellFolder> desktop = DesktopFolder();
    for (const String& name : names) {
        const TItemIdBytes absolute = ParsedList(*desktop, name);
        if (absolute.size() < folderItems.size() + kItemIdTerminatorSize) return false;
        result.push_back(absolute.substr(folderItems.size()));
    }
    lists.Assign(result);
    return true;
}

TPIDLClipboardFormat::TPIDLClipboardFormat() : TCustomSimpleClipboardFormat(ClassClipboardFormat()) {}

bool TPIDLClipboardFormat::DecodeBlock(const uint8_t* data, size_t size) {
    const std::vector<TItemIdBytes> lists = ReadCida(data, size);
    pidls_.Assign(lists);
    return !lists.empty();
}

bool TPIDLClipboardFormat::EncodeBlock(uint8_t* buffer, size_t size) {
    const std::vector<uint8_t> block = WriteCida(pidls_.AllBytes());
    if (block.empty() || block.size() != size) return false;
    std::memcpy(buffer, block.data(), size);
    return true;
}

size_t TPIDLClipboardFormat::BlockSize() const {
    const size_t count = static_cast<size_t>(pidls_.Count());
    size_t size = 4 + 4 * count;
    for (int i = 0; i < pidls_.Count(); ++i) size += ILGetSize(pidls_[i]);
    return count == 0 ? 0 : size;
}

TPIDLDataFormat::TPIDLDataFormat(TDragDropComponent* owner) : TCustomDataFormat(owner) {
    pidls_.OnChanging = [this](TObject*) { NotifyChanging(); };
}

void TPIDLDataFormat::DeclareConversions() {
    AddConversion<TPIDLDataFormat, TPIDLClipboardFormat>(0);
    AddConversion<TPIDLDataFormat, TFileClipboardFormat>(1);
}

bool TPIDLDataFormat::Assign(TClipboardFormat& source) {
    if (auto* pidl = dynamic_cast<TPIDLClipboardFormat*>(&source)) {
        pidls_.Assign(pidl->PIDLs());
        return true;
    }
    if (auto* files = dynamic_cast<TFileClipboardFormat*>(&source)) {
        std::vector<String> names;
        for (int i = 0; i < files->Files().Count(); ++i) names.push_back(files->Files()[i]);
        return NamesToPidls(names, pidls_);
    }
    return TCustomDataFormat::Assign(source);
}

bool TPIDLDataFormat::AssignTo(TClipboardFormat& dest) {
    if (auto* pidl = dynamic_cast<TPIDLClipboardFormat*>(&dest)) {
        pidl->PIDLs().Assign(pidls_);
        return true;
    }
    if (auto* files = dynamic_cast<TFileClipboardFormat*>(&dest)) {
        files->Files().Assign(&filenames_);
        return true;
    }
    return TCustomDataFormat::AssignTo(dest);
}
