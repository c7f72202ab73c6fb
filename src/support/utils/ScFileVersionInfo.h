#pragma once
// The version information of a file, parsed from its whole block: the fixed
// information, the strings of every string table and the translation list.
// Every entry is checked against its parent and the block; anything malformed
// raises "File contains no version information".

#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "platform/rtl/Set.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/VersionInfo.h"
#include "support/utils/ScBase.h"

RTL_DECLARE_EXCEPTION(EScFileVersionInfoError, EScError);

enum class TFileFlag { ffDebug, ffInfoInferred, ffPatched, ffPreRelease, ffPrivateBuild, ffSpecialBuild };
using enum TFileFlag;
using TFileFlags = TSet<TFileFlag>;

struct TLangIdRec {
    uint16_t LangId;
    uint16_t CodePage;
    uint32_t Pair() const noexcept { return uint32_t{CodePage} << 16 | LangId; }
    friend bool operator==(const TLangIdRec&, const TLangIdRec&) = default;
};

class TScFileVersionInfo : public TObject {
public:
    // The block of FileName (GetFileVersionInfoW). Raises EScFileVersionInfoError
    // "File contains no version information"; EOSError when reading fails.
    explicit TScFileVersionInfo(const String& fileName);
    // A block at hand.
    static std::unique_ptr<TScFileVersionInfo> Attach(std::vector<uint8_t> block);

    // The values of the standard keys in Items: empty when absent.
    String Comments() const { return ItemByKeyIndex(1); }
    String CompanyName() const { return ItemByKeyIndex(2); }
    String FileDescription() const { return ItemByKeyIndex(3); }
    String FileVersion() const { return ItemByKeyIndex(4); }
    String InternalName() const { return ItemByKeyIndex(5); }
    String LegalCopyright() const { return ItemByKeyIndex(6); }
    String LegalTradeMarks() const { return ItemByKeyIndex(7); }
    String OriginalFilename() const { return ItemByKeyIndex(8); }
    String ProductName() const { return ItemByKeyIndex(9); }
    String ProductVersion() const { return ItemByKeyIndex(10); }
    String SpecialBuild() const { return ItemByKeyIndex(11); }
    String PrivateBuild() const { return ItemByKeyIndex(12); }
    // Index 1 to 12 in the order above.
    String ItemByKeyIndex(int index) const;

    // "%u.%u.%u.%u" of the fixed information's versions.
    String BinFileVersion() const;
    String BinProductVersion() const;
    // The parts of the text FileVersion (ProductVersion) with "," read as ".":
    // before the first ".", between the first and second, between the second
    // and third (empty without such a "."), after the last; trimmed.
    String FileVersionMajor() const { return VersionPart(FileVersion(), 0); }
    String FileVersionMinor() const { return VersionPart(FileVersion(), 1); }
    String FileVersionRelease() const { return VersionPart(FileVersion(), 2); }
    String FileVersionBuild() const { return VersionPart(FileVersion(), 3); }
    String ProductVersionMajor() const { return VersionPart(ProductVersion(), 0); }
    String ProductVersionMinor() const { return VersionPart(ProductVersion(), 1); }
    String ProductVersionRelease() const { return VersionPart(ProductVersion(), 2); }
    String ProductVersionBuild() const { return VersionPart(ProductVersion(), 3); }

    uint32_t FileOS() const noexcept { return fixedInfo_.dwFileOS; }
    uint32_t FileType() const noexcept { return fixedInfo_.dwFileType; }
    uint32_t FileSubType() const noexcept { return fixedInfo_.dwFileSubtype; }
    const VS_FIXEDFILEINFO& FixedInfo() const noexcept { return fixedInfo_; }
    // The flags the mask covers.
    TFileFlags FileFlags() const noexcept { return fileFlags_; }

    // "key=value" of the current language's string table, in block order.
    const TStringList& Items() const noexcept { return items_; }
    // One per string table, in block order; the current one's is Languages()[LanguageIndex()].
    const std::vector<TLangIdRec>& Languages() const noexcept { return languages_; }
    int LanguageCount() const noexcept { return static_cast<int>(languages_.size()); }
    int LanguageIndex() const noexcept { return languageIndex_; }
    // Raises EScFileVersionInfoError "Illegal language index".
    void SetLanguageIndex(int index);
    const std::vector<TLangIdRec>& Translations() const noexcept { return translations_; }
    int TranslationCount() const noexcept { return static_cast<int>(translations_.size()); }

private:
    explicit TScFileVersionInfo(std::vector<uint8_t> block);
    void Parse();
    void ParseStringTables(const TVersionEntry& stringFileInfo);
    void ParseTranslations(const TVersionEntry& varFileInfo);
    String ValueText(const TVersionEntry& entry) const;
    void FillLanguageItems();
    static String VersionPart(const String& version, int part);

    std::vector<uint8_t> buffer_;
    bool wide_ = true;
    VS_FIXEDFILEINFO fixedInfo_{};
    TFileFlags fileFlags_;
    std::vector<std::pair<String, int>> itemList_; // "key=value" and its language's index
    TStringList items_;
    std::vector<TLangIdRec> languages_;
    int languageIndex_ = 0;
    std::vector<TLangIdRec> translations_;
};
