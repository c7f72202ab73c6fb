#include "support/storage/XcTranslateString.h"

#include <utility>

#include "platform/rtl/AppServices.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Properties.h"
#include "support/utils/ScFileVersionInfo.h"
#include "support/utils/SupportUnit.h"

namespace {

inline constexpr TResStringRec RsDefaultRootValueReplaced{
    0xF206, u"The Default Root Value \"%0:s\" has been replaced with \"%1:s\".\r\n"
            u"Please change the value in the FileVersionInfo Project Properties."};
inline constexpr TResStringRec RsInformation{0xF207, u"Information"};

const TResStringRec* const XcTranslateStringStrings[] = {&RsDefaultRootValueReplaced, &RsInformation};

// As the window system's message box takes them.
constexpr uint32_t MbIconInformation = 0x40;

String& ProgramFileNameSetting() {
    static String fileName;
    return fileName;
}

bool IsForm(const TComponent* component) {
    for (TClass cls = component->ClassType(); cls; cls = cls->ClassParent())
        if (cls->ClassName() == u"TCustomForm") return true;
    return false;
}

String SizeText(const TDisplaySize& size) { return Format(u"%dx%d", {size.Width, size.Height}); }

} // namespace

RTL_PUBLISHED(TXcTranslateString, c) {
    c.Property("DateFormat", &TXcTranslateString::DateFormat, &TXcTranslateString::SetDateFormat);
    c.Property("DateTimeFormat", &TXcTranslateString::DateTimeFormat, &TXcTranslateString::SetDateTimeFormat);
    c.Property("LeftDelimiter", &TXcTranslateString::LeftDelimiter, &TXcTranslateString::SetLeftDelimiter);
    c.Property("RightDelimiter", &TXcTranslateString::RightDelimiter, &TXcTranslateString::SetRightDelimiter);
    c.Property("TimeFormat", &TXcTranslateString::TimeFormat, &TXcTranslateString::SetTimeFormat);
    c.Property("OnProcessCommand", &TXcTranslateString::OnProcessCommand, &TXcTranslateString::OnProcessCommand)
        .OfType(ProcessCommandEventType());
}

const TTypeInfo* ProcessCommandEventType() {
    static const TTypeInfo* type =
        NamedMethodType<TProcessCommandEvent>("TProcessCommandEvent", {"Sender", "Command", "Handled", "Value"});
    return type;
}

String XcProgramFileName() {
    const String& setting = ProgramFileNameSetting();
    return setting.empty() ? ProgramFileName() : setting;
}

String SetXcProgramFileName(const String& fileName) { return std::exchange(ProgramFileNameSetting(), fileName); }

TXcTranslateString::TXcTranslateString(TComponent* owner) : TXcComponent(owner) {}

String TXcTranslateString::TranslateString(const String& text) {
    bool changed = false;
    return TranslateString(text, changed);
}

String TXcTranslateString::TranslateString(const String& text, bool& changed) {
    changed = false;
    String result;
    String rest = text;
    while (!rest.empty()) {
        const size_t left = leftDelimiter_.empty() ? String::npos : rest.find(leftDelimiter_);
        if (left == String::npos) {
            result += rest;
            break;
        }
        result += rest.substr(0, left);
        rest.erase(0, left + leftDelimiter_.size());
        const size_t right = rightDelimiter_.empty() ? String::npos : rest.find(rightDelimiter_);
        const String command = right == String::npos ? String() : rest.substr(0, right);
        String value;
        if (ProcessCommand(command, value)) {
            result += value;
            rest.erase(0, right == String::npos ? 0 : right + rightDelimiter_.size());
            changed = true;
        } else {
            // The right delimiter stays: with equal delimiters it opens the next command.
            result += command;
            rest.erase(0, command.size());
        }
    }
    return result;
}

bool TXcTranslateString::ProcessCommand(const String& command, String& value) {
    const String name = AnsiUpperCase(Trim(command));
    const auto program = [] { return XcProgramFileName(); };
    const auto bareName = [&] { return ChangeFileExt(ExtractFileName(program()), String()); };
    bool handled = true;
    if (name == u"APPL_NAME") {
        value = VersionText(vtProductName);
        if (value.empty()) value = bareName();
    } else if (name == u"COMPANY_NAME") {
        value = VersionText(vtCompanyName);
    } else if (name == u"FILEVERSION") {
        value = VersionText(vtFileVersion);
    } else if (name == u"PRODUCTVERSION") {
        value = VersionText(vtProductVersion);
    } else if (name == u"DATE") {
        value = FormatDateTime(dateFormat_, Now());
    } else if (name == u"TIME") {
        value = FormatDateTime(timeFormat_, Now());
    } else if (name == u"DATETIME") {
        value = FormatDateTime(dateTimeFormat_, Now());
    } else if (name == u"EXENAME") {
        value = program();
    } else if (name == u"FILENAME") {
        value = bareName();
    } else if (name == u"FULLDIREXE") {
        value = ExtractFileDir(program());
    } else if (name == u"FORMNAME") {
        const TComponent* form = OwningForm();
        value = form ? form->Name() : String();
    } else if (name == u"FORMCAPTION") {
        TComponent* form = OwningForm();
        value = form && IsPublishedProp(form, u"Caption") ? GetStrProp(form, String(u"Caption")) : String();
    } else if (name == u"SCREENSIZE") {
        value = SizeText(AppServices().PrimaryScreenSize());
    } else if (name == u"DESKTOPSIZE") {
        value = SizeText(AppServices().DesktopSize());
    } else {
        handled = false;
    }
    if (OnProcessCommand) OnProcessCommand(this, name, handled, value);
    return handled;
}

const String& TXcTranslateString::VersionText(TVersionText which) {
    static constexpr const char16_t* commands[] = {u"APPL_NAME", u"COMPANY_NAME", u"FILEVERSION", u"PRODUCTVERSION"};
    static constexpr const char16_t* standIns[] = {u"MyXCLApplication", u"MyCompany", u"0.0.0.0", u"0.0.0.0"};
    TCachedText& cached = versionTexts_[which];
    if (!cached.Read) {
        try {
            const TScFileVersionInfo info(XcProgramFileName());
            const String texts[] = {info.ProductName(), info.CompanyName(), info.FileVersion(), info.ProductVersion()};
            cached.Value = texts[which];
        } catch (const EScFileVersionInfoError&) {
            cached.Value = standIns[which];
            AppServices().MessageBox(Format(LoadResString(RsDefaultRootValueReplaced), {String(commands[which]), String(standIns[which])}),
                                     LoadResString(RsInformation), MbIconInformation);
        }
        cached.Read = true;
    }
    return cached.Value;
}

TComponent* TXcTranslateString::OwningForm() const {
    for (TComponent* owner = Owner(); owner; owner = owner->Owner())
        if (IsForm(owner)) return owner;
    return nullptr;
}

extern const TSupportUnit XcTranslateStringUnit{u"XcTranslateString",
                                                SC_UNIT_VERSION("src/support/storage/XcTranslateString.cpp"), XcTranslateStringStrings};
