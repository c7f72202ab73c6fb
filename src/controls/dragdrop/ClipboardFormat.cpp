#include "controls/dragdrop/ClipboardFormat.h"

#include <array>

#include "controls/dragdrop/DataFormat.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Format.h"

RTL_PUBLISHED_NONE(TClipboardFormat);

TClipboardFormat::TClipboardFormat(CLIPFORMAT format, DWORD tymed) {
    formatEtc_.cfFormat = format;
    formatEtc_.ptd = nullptr;
    formatEtc_.dwAspect = DVASPECT_CONTENT;
    formatEtc_.lindex = -1;
    formatEtc_.tymed = tymed;
}

String TClipboardFormat::ClipboardFormatName() const {
    std::array<char16_t, 256> buffer{};
    const int length = GetClipboardFormatNameW(ClipboardFormat(), buffer.data(), 255);
    return String(buffer.data(), static_cast<size_t>(length > 0 ? length : 0));
}

void TClipboardFormat::SetClipboardFormatName(const String&) {
    throw Exception(Format(u"%s.ClipboardFormat is read-only", {ClassName()}));
}

DWORD TClipboardFormat::AvailableMedia(IDataObject& data) const {
    DWORD media = 0;
    FORMATETC query = formatEtc_;
    for (DWORD bit = 1; bit != 0 && bit <= formatEtc_.tymed; bit <<= 1) {
        if (!(formatEtc_.tymed & bit)) continue;
        query.tymed = bit;
        if (data.QueryGetData(query) == S_OK) media |= bit;
    }
    return media;
}

bool TClipboardFormat::HasValidFormats(IDataObject& data) const { return AvailableMedia(data) != 0; }

bool TClipboardFormat::AcceptFormat(const FORMATETC& format) const {
    return format.cfFormat == formatEtc_.cfFormat && format.ptd == nullptr &&
           format.dwAspect == formatEtc_.dwAspect && (format.tymed & formatEtc_.tymed) != 0;
}

bool TClipboardFormat::GetData(IDataObject& data) {
    Clear();
    STGMEDIUM medium;
    FORMATETC request = formatEtc_;
    request.tymed = AvailableMedia(data);
    if (request.tymed == 0 || data.GetData(request, medium) != S_OK) return false;
    return GetDataFromMedium(data, medium);
}

bool TClipboardFormat::GetDataFromMedium(IDataObject& data, STGMEDIUM& medium) {
    bool result = false;
    try {
        Clear();
        if (medium.tymed & formatEtc_.tymed) result = ReadFromMedium(data, medium);
    } catch (...) {
        ReleaseStgMedium(&medium);
        throw;
    }
    ReleaseStgMedium(&medium);
    return result;
}

bool TClipboardFormat::SetData(IDataObject& data, const FORMATETC& format, STGMEDIUM& medium) {
    FORMATETC ours = formatEtc_;
    if (SetDataToMedium(format, medium) && data.SetData(ours, medium, TRUE) == S_OK) return true;
    ReleaseStgMedium(&medium);
    return false;
}

bool TClipboardFormat::SetDataToMedium(const FORMATETC& format, STGMEDIUM& medium) {
    medium = STGMEDIUM();
    if (format.cfFormat != formatEtc_.cfFormat || format.dwAspect != formatEtc_.dwAspect ||
        (format.tymed & formatEtc_.tymed) == 0)
        return false;
    return WriteToMedium(format, medium);
}

bool TClipboardFormat::ReadFromMedium(IDataObject&, STGMEDIUM&) { return false; }
bool TClipboardFormat::WriteToMedium(const FORMATETC&, STGMEDIUM&) { return false; }
bool TClipboardFormat::Assign(TCustomDataFormat&) { return false; }
bool TClipboardFormat::AssignTo(TCustomDataFormat&) { return false; }

void TClipboardFormats::Add(TClipboardFormat* format) {
    items_.push_back(format);
    if (ownsObjects_ && dataFormat_) format->SetDataFormat(dataFormat_);
}

TClipboardFormat* TClipboardFormats::FindFormat(TClass formatClass) const {
    for (TClipboardFormat* format : items_)
        if (format->InheritsFrom(formatClass)) return format;
    return nullptr;
}

TClipboardFormat* TClipboardFormats::GetFormat(TClass formatClass) const {
    if (TClipboardFormat* format = FindFormat(formatClass)) return format;
    const String owner = dataFormat_ ? dataFormat_->ClassName() : String();
    throw Exception(Format(u"Clipboard format %s does not exist in %s's list of copatible formats",
                           {formatClass->ClassName(), owner}));
}

void TClipboardFormats::Clear() {
    if (ownsObjects_)
        while (!items_.empty()) {
            TClipboardFormat* last = items_.back();
            items_.pop_back();
            delete last;
        }
    items_.clear();
}

String ClipboardFormatToString(UINT format) {
    static constexpr const char16_t* kPredefined[] = {
        u"CF_TEXT",    u"CF_BITMAP", u"CF_METAFILEPICT", u"CF_SYLK",        u"CF_DIF",         u"CF_TIFF",
        u"CF_OEMTEXT", u"CF_DIB",    u"CF_PALETTE",      u"CF_PENDATA",     u"CF_RIFF",        u"CF_WAVE",
        u"CF_UNICODETEXT", u"CF_ENHMETAFILE", u"CF_HDROP", u"CF_LOCALE", u"CF_DIBV5", u"CF_MAX_XP"};
    if (format >= 1 && format <= std::size(kPredefined)) return kPredefined[format - 1];
    switch (format) {
    case 128: return u"CF_OWNERDISPLAY";
    case 129: return u"CF_DSPTEXT";
    case 130: return u"CF_DSPBITMAP";
    case 131: return u"CF_DSPMETAFILEPICT";
    case 142: return u"CF_DSPENHMETAFILE";
    default: break;
    }
    std::array<char16_t, 256> buffer{};
    const int length = GetClipboardFormatNameW(format, buffer.data(), 255);
    return String(buffer.data(), static_cast<size_t>(length > 0 ? length : 0));
}
