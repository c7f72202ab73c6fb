#include "controls/dragdrop/FileFormats.h"

#include <algorithm>
#include <cstring>

#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/PidlFormats.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/win/dataxfer/DropFiles.h"

RTL_PUBLISHED_NONE(TFileClipboardFormat);
RTL_PUBLISHED_NONE(TAnsiFilenameClipboardFormat);
RTL_PUBLISHED_NONE(TUnicodeFilenameClipboardFormat);
RTL_PUBLISHED_NONE(TCustomFilenameMapClipboardFormat);
RTL_PUBLISHED_NONE(TAnsiFilenameMapClipboardFormat);
RTL_PUBLISHED_NONE(TUnicodeFilenameMapClipboardFormat);
RTL_PUBLISHED_NONE(TFileDataFormat);
RTL_PUBLISHED_NONE(TFileMapDataFormat);

namespace {

constexpr size_t kDropFilesHeaderSize = sizeof(DROPFILES);

std::vector<String> NamesOf(const TUnicodeStrings& strings) {
    std::vector<String> names;
    names.reserve(static_cast<size_t>(strings.Count()));
    for (int i = 0; i < strings.Count(); ++i) names.push_back(strings[i]);
    return names;
}

void SetNames(TUnicodeStrings& strings, const std::vector<String>& names) {
    strings.BeginUpdate();
    try {
        strings.Clear();
        strings.SetCapacity(static_cast<int>(names.size()));
        for (const String& name : names) strings.Add(name);
    } catch (...) {
        strings.EndUpdate();
        throw;
    }
    strings.EndUpdate();
}

} // namespace

bool TFileClipboardFormat::DecodeBlock(const uint8_t* data, size_t size) {
    if (size <= kDropFilesHeaderSize) return false;
    const TDropFilesIndex index = IndexDropFiles(data, size);
    files_.BeginUpdate();
    files_.Clear();
    files_.SetCapacity(static_cast<int>(index.names.size()));
    for (size_t i = 0; i < index.names.size(); ++i) files_.Add(DropFilesName(index, data, i));
    files_.EndUpdate();
    return true;
}

size_t TFileClipboardFormat::BlockSize() const {
    size_t size = kDropFilesHeaderSize + 2;
    for (int i = 0; i < files_.Count(); ++i) {
        const String name = files_[i];
        size += wide_ ? 2 * (name.size() + 1) : name.ToUtf8().size() + 1;
    }
    return size;
}

bool TFileClipboardFormat::EncodeBlock(uint8_t* buffer, size_t size) {
    if (size <= kDropFilesHeaderSize) return false;
    std::vector<String> names = NamesOf(files_);
    std::vector<uint8_t> block = WriteDropFiles(names, POINT{}, false, wide_);
    while (block.size() > size) {
        names.pop_back();
        block = WriteDropFiles(names, POINT{}, false, wide_);
    }
    std::memcpy(buffer, block.data(), block.size());
    return true;
}

void TAnsiFilenameClipboardFormat::DeclareConversions() { AddConversion<TFileDataFormat, TAnsiFilenameClipboardFormat>(3); }

bool TAnsiFilenameClipboardFormat::Assign(TCustomDataFormat& source) {
    auto* files = dynamic_cast<TFileDataFormat*>(&source);
    if (!files) return TCustomAnsiTextClipboardFormat::Assign(source);
    if (files->Files().Count() == 0) return false;
    SetFilename(files->Files()[0]);
    return true;
}

bool TAnsiFilenameClipboardFormat::AssignTo(TCustomDataFormat& dest) {
    auto* files = dynamic_cast<TFileDataFormat*>(&dest);
    if (!files) return TCustomAnsiTextClipboardFormat::AssignTo(dest);
    files->Files().Clear();
    files->Files().Add(Filename());
    return true;
}

void TUnicodeFilenameClipboardFormat::DeclareConversions() {
    AddConversion<TFileDataFormat, TUnicodeFilenameClipboardFormat>(2);
}

bool TUnicodeFilenameClipboardFormat::DecodeBlock(const uint8_t* data, size_t size) {
    TCustomUnicodeTextClipboardFormat::DecodeBlock(data, size);
    const size_t nul = text_.Std().find(u'\0');
    if (nul != std::u16string::npos) text_.Std().resize(nul);
    return true;
}

bool TUnicodeFilenameClipboardFormat::Assign(TCustomDataFormat& source) {
    auto* files = dynamic_cast<TFileDataFormat*>(&source);
    if (!files) return TCustomUnicodeTextClipboardFormat::Assign(source);
    if (files->Files().Count() == 0) return false;
    SetFilename(files->Files()[0]);
    return true;
}

bool TUnicodeFilenameClipboardFormat::AssignTo(TCustomDataFormat& dest) {
    auto* files = dynamic_cast<TFileDataFormat*>(&dest);
    if (!files) return TCustomUnicodeTextClipboardFormat::AssignTo(dest);
    files->Files().Add(Filename());
    return true;
}

bool TCustomFilenameMapClipboardFormat::DecodeBlock(const uint8_t* data, size_t size) {
    const std::vector<String> names = ReadNameList(data, size, wide_);
    SetNames(fileMaps_, names);
    return !names.empty();
}

std::vector<uint8_t> TCustomFilenameMapClipboardFormat::Encoded() const {
    const std::vector<uint8_t> block = WriteDropFiles(NamesOf(fileMaps_), POINT{}, false, wide_);
    return std::vector<uint8_t>(block.begin() + kDropFilesHeaderSize, block.end());
}

bool TCustomFilenameMapClipboardFormat::EncodeBlock(uint8_t* buffer, size_t size) {
    const std::vector<uint8_t> block = Encoded();
    if (block.size() != size) return false;
    std::memcpy(buffer, block.data(), size);
    return true;
}

TFileDataFormat::TFileDataFormat(TDragDropComponent* owner) : TCustomDataFormat(owner) {
    files_.OnChanging = [this](TObject*) { NotifyChanging(); };
}

void TFileDataFormat::DeclareConversions() {
    AddConversion<TFileDataFormat, TFileClipboardFormat>(0);
    AddConversion<TFileDataFormat, TPIDLClipboardFormat>(1);
}

bool TFileDataFormat::Assign(TClipboardFormat& source) {
    if (auto* drop = dynamic_cast<TFileClipboardFormat*>(&source)) {
        files_.Assign(&drop->Files());
        return true;
    }
    if (auto* pidl = dynamic_cast<TPIDLClipboardFormat*>(&source)) {
        files_.Assign(&pidl->Filenames());
        return true;
    }
    return TCustomDataFormat::Assign(source);
}

bool TFileDataFormat::AssignTo(TClipboardFormat& dest) {
    if (auto* drop = dynamic_cast<TFileClipboardFormat*>(&dest)) {
        drop->Files().Assign(&files_);
        return true;
    }
    if (auto* pidl = dynamic_cast<TPIDLClipboardFormat*>(&dest)) {
        pidl->Filenames().Assign(&files_);
        return pidl->PIDLs().Count() > 0;
    }
    return TCustomDataFormat::AssignTo(dest);
}

TFileMapDataFormat::TFileMapDataFormat(TDragDropComponent* owner) : TCustomDataFormat(owner) {
    fileMaps_.OnChanging = [this](TObject*) { NotifyChanging(); };
}

void TFileMapDataFormat::DeclareConversions() {
    AddConversion<TFileMapDataFormat, TAnsiFilenameMapClipboardFormat>(0);
    AddConversion<TFileMapDataFormat, TUnicodeFilenameMapClipboardFormat>(-1);
}

bool TFileMapDataFormat::Assign(TClipboardFormat& source) {
    if (auto* map = dynamic_cast<TCustomFilenameMapClipboardFormat*>(&source)) {
        fileMaps_.Assign(&map->FileMaps());
        return true;
    }
    return TCustomDataFormat::Assign(source);
}

bool TFileMapDataFormat::AssignTo(TClipboardFormat& dest) {
    if (auto* map = dynamic_cast<TCustomFilenameMapClipboardFormat*>(&dest)) {
        map->FileMaps().Assign(&fileMaps_);
        return true;
    }
    return TCustomDataFormat::AssignTo(dest);
}
