#include "controls/dragdrop/VirtualFileFormats.h"

#include <cstring>

#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/FileGroupFormats.h"
#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TFileDescriptorToFilenameStrings);
RTL_PUBLISHED_NONE(TVirtualFileStreamDataFormat);

namespace {

constexpr size_t kVirtualFileHead = TFileGroupDescriptorCustomClipboardFormat::kDescriptorHead;
constexpr size_t kVirtualFileNameUnits = TFileGroupDescriptorCustomClipboardFormat::kNameField;

// A wide descriptor with the attributes of Head (72 bytes, or zeroes) and Name.
TMemoryList::TBlock WideDescriptor(const uint8_t* head, const String& name) {
    TMemoryList::TBlock block(TFileDescriptorToFilenameStrings::kDescriptorSize, 0);
    if (head) std::memcpy(block.data(), head, kVirtualFileHead);
    const std::u16string units = DescriptorNameUtf16(name);
    std::memcpy(block.data() + kVirtualFileHead, units.data(), 2 * units.size());
    return block;
}

} // namespace

void TFileDescriptorToFilenameStrings::InsertObject(int index, const String& s, TObject* object) {
    if (index != Count()) return;
    AddDescriptor(WideDescriptor(nullptr, s));
    objects_.back() = object;
}

void TFileDescriptorToFilenameStrings::AddDescriptor(TMemoryList::TBlock descriptor) {
    objects_.push_back(nullptr);
    descriptors_.Add(std::move(descriptor));
}

void TFileDescriptorToFilenameStrings::Delete(int index) {
    descriptors_.Delete(index);
    objects_.erase(objects_.begin() + index);
}

void TFileDescriptorToFilenameStrings::Clear() {
    descriptors_.Clear();
    objects_.clear();
}

String TFileDescriptorToFilenameStrings::Get(int index) const {
    const TMemoryList::TBlock& block = descriptors_[index];
    std::u16string name(kVirtualFileNameUnits, u'\0');
    std::memcpy(name.data(), block.data() + kVirtualFileHead, 2 * kVirtualFileNameUnits);
    name.resize(std::min(name.find(u'\0'), name.size()));
    return name;
}

TVirtualFileStreamDataFormat::TVirtualFileStreamDataFormat(TDragDropComponent* owner) : TCustomDataFormat(owner) {
    if (!owner) FillCompatibleFormats(dfdProvider);
    TClipboardFormats& formats = CompatibleFormats();
    fileContents_ = &formats.Get<TFileContentsStreamOnDemandClipboardFormat>();
    ansiGroup_ = &formats.Get<TAnsiFileGroupDescriptorClipboardFormat>();
    unicodeGroup_ = &formats.Get<TUnicodeFileGroupDescriptorClipboardFormat>();
}

void TVirtualFileStreamDataFormat::DeclareConversions() {
    AddConversion<TVirtualFileStreamDataFormat, TFileContentsStreamOnDemandClipboardFormat>(0);
    AddConversion<TVirtualFileStreamDataFormat, TAnsiFileGroupDescriptorClipboardFormat>(1);
    AddConversion<TVirtualFileStreamDataFormat, TUnicodeFileGroupDescriptorClipboardFormat>(0);
}

bool TVirtualFileStreamDataFormat::Assign(TClipboardFormat& source) {
    if (auto* contents = dynamic_cast<TFileContentsStreamOnDemandClipboardFormat*>(&source)) {
        hasContents_ = contents->HasData();
        return true;
    }
    auto* group = dynamic_cast<TFileGroupDescriptorCustomClipboardFormat*>(&source);
    if (!group) return TCustomDataFormat::Assign(source);
    NotifyChanging();
    fileNames_.Clear();
    const bool wide = dynamic_cast<TUnicodeFileGroupDescriptorClipboardFormat*>(group) != nullptr;
    for (uint32_t i = 0; i < group->Count(); ++i) {
        const uint8_t* descriptor = group->Descriptor(i);
        fileNames_.AddDescriptor(wide ? TMemoryList::TBlock(descriptor, descriptor + group->DescriptorSize())
                                      : WideDescriptor(descriptor, group->GetFilename(i)));
    }
    return true;
}

bool TVirtualFileStreamDataFormat::AssignTo(TClipboardFormat& dest) {
    if (auto* contents = dynamic_cast<TFileContentsStreamOnDemandClipboardFormat*>(&dest)) return contents->Assign(*this);
    auto* group = dynamic_cast<TFileGroupDescriptorCustomClipboardFormat*>(&dest);
    if (!group) return TCustomDataFormat::AssignTo(dest);
    const bool wide = dynamic_cast<TUnicodeFileGroupDescriptorClipboardFormat*>(group) != nullptr;
    if (!wide && descriptors_.Count() == 0) return false;
    group->SetCount(static_cast<uint32_t>(descriptors_.Count()));
    for (int i = 0; i < descriptors_.Count(); ++i) {
        const auto index = static_cast<uint32_t>(i);
        if (wide) {
            std::memcpy(group->Descriptor(index), descriptors_[i].data(), group->DescriptorSize());
        } else {
            std::memcpy(group->Descriptor(index), descriptors_[i].data(), kVirtualFileHead);
            group->SetFilename(index, fileNames_[i]);
        }
    }
    return true;
}

void TVirtualFileStreamDataFormat::Clear() {
    NotifyChanging();
    fileNames_.Clear();
    hasContents_ = false;
}

bool TVirtualFileStreamDataFormat::HasData() const {
    return descriptors_.Count() > 0 && (hasContents_ || fileContents_->OnGetStream);
}

bool TVirtualFileStreamDataFormat::NeedsData() const { return !(descriptors_.Count() > 0 && hasContents_); }
