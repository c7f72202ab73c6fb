#include "support/utils/ScFileVersionInfo.h"

#include <cerrno>
#include <cstring>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Format.h"
#include "support/utils/SupportUnit.h"

namespace {

// Identifiers 0xF030-0xF03F.
constexpr TResStringRec SNoVersionInfo{0xF030, u"File contains no version information"};
constexpr TResStringRec SIllegalLanguageIndex{0xF031, u"Illegal language index"};

constexpr const TResStringRec* ScFileVersionInfoStrings[] = {&SNoVersionInfo, &SIllegalLanguageIndex};

constexpr const char16_t* StandardKeys[] = {
    u"Comments",         u"CompanyName", u"FileDescription", u"FileVersion",    u"InternalName", u"LegalCopyright",
    u"LegalTradeMarks", u"OriginalFilename", u"ProductName", u"ProductVersion", u"SpecialBuild", u"PrivateBuild",
};

[[noreturn]] void NoVersionInfo() { throw EScFileVersionInfoError(LoadResString(SNoVersionInfo)); }

TVersionEntry EntryAt(std::span<const uint8_t> block, size_t offset, size_t limit, bool wide) {
    std::optional<TVersionEntry> entry = ReadVersionEntry(block, offset, limit, wide);
    if (!entry) NoVersionInfo();
    return *entry;
}

uint32_t LittleEndian(std::span<const uint8_t> bytes) {
    uint32_t value = 0;
    for (size_t i = bytes.size(); i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

// Hex digits of a string table's key, with any "0x" taken out first.
String CleanLanguageKey(const String& key) {
    String clean;
    for (char16_t c : StringReplace(key, u"0x", u"", rfReplaceAll | rfIgnoreCase))
        if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')) clean += c;
    return clean;
}

String VersionText(uint32_t high, uint32_t low) {
    return Format(u"%u.%u.%u.%u", {high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF});
}

} // namespace

extern const TSupportUnit ScFileVersionInfoUnit{u"ScFileVersionInfo",
                                                SC_UNIT_VERSION("src/support/utils/ScFileVersionInfo.cpp"), ScFileVersionInfoStrings};

TScFileVersionInfo::TScFileVersionInfo(const String& fileName) {
    uint32_t handle = 0;
    const uint32_t size = GetFileVersionInfoSizeW(fileName, &handle);
    if (size == 0) NoVersionInfo();
    buffer_.resize(size);
    if (!GetFileVersionInfoW(fileName, handle, size, buffer_.data())) RaiseLastOSError(errno, fileName);
    Parse();
}

TScFileVersionInfo::TScFileVersionInfo(std::vector<uint8_t> block) : buffer_(std::move(block)) { Parse(); }

std::unique_ptr<TScFileVersionInfo> TScFileVersionInfo::Attach(std::vector<uint8_t> block) {
    return std::unique_ptr<TScFileVersionInfo>(new TScFileVersionInfo(std::move(block)));
}

void TScFileVersionInfo::Parse() {
    const std::span<const uint8_t> block(buffer_);
    wide_ = IsWideVersionBlock(block);
    const TVersionEntry root = EntryAt(block, 0, block.size(), wide_);
    if (!SameText(root.Key, u"VS_VERSION_INFO") || root.ValueLength != sizeof(VS_FIXEDFILEINFO)) NoVersionInfo();
    std::memcpy(&fixedInfo_, &buffer_[root.ValueStart], sizeof fixedInfo_);
    if (fixedInfo_.dwSignature != VS_FFI_SIGNATURE) NoVersionInfo();

    for (size_t offset = AlignVersionOffset(root.ValueStart + sizeof fixedInfo_); offset < root.End;) {
        const TVersionEntry child = EntryAt(block, offset, root.End, wide_);
        if (SameText(child.Key, u"StringFileInfo"))
            ParseStringTables(child);
        else if (SameText(child.Key, u"VarFileInfo"))
            ParseTranslations(child);
        else
            break;
        offset = AlignVersionOffset(child.End);
    }

    const uint32_t flags = fixedInfo_.dwFileFlags & fixedInfo_.dwFileFlagsMask;
    const std::pair<uint32_t, TFileFlag> bits[] = {
        {VS_FF_DEBUG, ffDebug},           {VS_FF_INFOINFERRED, ffInfoInferred}, {VS_FF_PATCHED, ffPatched},
        {VS_FF_PRERELEASE, ffPreRelease}, {VS_FF_PRIVATEBUILD, ffPrivateBuild}, {VS_FF_SPECIALBUILD, ffSpecialBuild},
    };
    for (const auto& [bit, flag] : bits)
        if (flags & bit) fileFlags_.Include(flag);
    FillLanguageItems();
}

void TScFileVersionInfo::ParseStringTables(const TVersionEntry& stringFileInfo) {
    const std::span<const uint8_t> block(buffer_);
    for (size_t offset = stringFileInfo.ChildrenStart; offset < stringFileInfo.End;) {
        const TVersionEntry table = EntryAt(block, offset, stringFileInfo.End, wide_);
        const String key = CleanLanguageKey(table.Key);
        if (table.ValueLength != 0 || key.Length() != 8) NoVersionInfo();
        languages_.push_back({static_cast<uint16_t>(StrToIntDef(u"$" + key.substr(0, 4), 0)),
                              static_cast<uint16_t>(StrToIntDef(u"$" + key.substr(4, 4), 0))});
        const int language = LanguageCount() - 1;
        for (size_t at = table.ChildrenStart; at < table.End;) {
            const TVersionEntry item = EntryAt(block, at, table.End, wide_);
            itemList_.emplace_back(item.Key + u"=" + ValueText(item), language);
            at = AlignVersionOffset(item.End);
        }
        offset = AlignVersionOffset(table.End);
    }
}

void TScFileVersionInfo::ParseTranslations(const TVersionEntry& varFileInfo) {
    if (varFileInfo.ChildrenStart >= varFileInfo.End) return;
    const TVersionEntry var = EntryAt(std::span<const uint8_t>(buffer_), varFileInfo.ChildrenStart, varFileInfo.End, wide_);
    if (!SameText(var.Key, u"Translation")) return;
    translations_.clear();
    for (size_t i = 0; i < var.ValueLength / 4u; ++i) {
        const uint32_t pair = LittleEndian({&buffer_[var.ValueStart + 4 * i], 4});
        translations_.push_back({static_cast<uint16_t>(pair & 0xFFFF), static_cast<uint16_t>(pair >> 16)});
    }
}

String TScFileVersionInfo::ValueText(const TVersionEntry& entry) const {
    const auto* value = &buffer_[entry.ValueStart];
    // Text up to its first NUL within Units units of Unit bytes.
    const auto cut = [](const uint8_t* bytes, size_t units, bool wide) {
        std::u16string text;
        for (size_t i = 0; i < units; ++i) {
            const char16_t c = wide ? static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8) : bytes[i];
            if (c == 0) break;
            text += c;
        }
        return wide ? String(std::move(text)) : DecodeCodePage(std::string(text.begin(), text.end()), CP_ACP);
    };
    if (entry.ValueLength == 0) return String();
    if (entry.Type == 0) {
        if (entry.ValueLength <= 4)
            return Format(u"$%.*x", {2 * entry.ValueLength, LittleEndian({value, entry.ValueLength})});
        return wide_ ? cut(value, entry.ValueSize / 2, true) : String();
    }
    if (entry.Type != 1) NoVersionInfo();
    return wide_ ? cut(value, entry.ValueLength, true) : cut(value, entry.End - entry.ValueStart, false);
}

void TScFileVersionInfo::FillLanguageItems() {
    items_.Clear();
    for (const auto& [item, language] : itemList_)
        if (language == languageIndex_) items_.Add(item);
}

void TScFileVersionInfo::SetLanguageIndex(int index) {
    if (index < 0 || index >= LanguageCount()) throw EScFileVersionInfoError(LoadResString(SIllegalLanguageIndex));
    if (index == languageIndex_) return;
    languageIndex_ = index;
    FillLanguageItems();
}

String TScFileVersionInfo::ItemByKeyIndex(int index) const {
    if (index < 1 || index > 12) throw ERangeError("Range check error");
    for (int i = 0; i < items_.Count(); ++i)
        if (SameText(items_.Names(i), StandardKeys[index - 1])) return items_.ValueFromIndex(i);
    return String();
}

String TScFileVersionInfo::BinFileVersion() const {
    return VersionText(fixedInfo_.dwFileVersionMS, fixedInfo_.dwFileVersionLS);
}

String TScFileVersionInfo::BinProductVersion() const {
    return VersionText(fixedInfo_.dwProductVersionMS, fixedInfo_.dwProductVersionLS);
}

String TScFileVersionInfo::VersionPart(const String& version, int part) {
    const String text = StringReplace(version, u",", u".", rfReplaceAll);
    const size_t first = text.find(u'.');
    const size_t second = first == String::npos ? String::npos : text.find(u'.', first + 1);
    const size_t third = second == String::npos ? String::npos : text.find(u'.', second + 1);
    const size_t last = text.rfind(u'.');
    const auto between = [&](size_t from, size_t to) {
        return from == String::npos || to == String::npos ? String() : text.substr(from + 1, to - from - 1);
    };
    switch (part) {
    case 0: return Trim(first == String::npos ? text : text.substr(0, first));
    case 1: return Trim(between(first, second));
    case 2: return Trim(between(second, third));
    default: return Trim(last == String::npos ? text : text.substr(last + 1));
    }
}
