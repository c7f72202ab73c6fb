#pragma once
// Expansion of macros written between delimiters ("%APPL_NAME%") inside a
// text: the program's version texts, its path, the date and time, the nearest
// owning form and the screen's size. Unknown commands may be answered by
// OnProcessCommand.

#include <array>
#include <functional>

#include "platform/rtl/TypeInfo.h"
#include "support/storage/XcTypes.h"

// The program the macros describe (EXENAME, FILENAME, FULLDIREXE and the
// version texts): the running program unless a test names another file; a
// file without a version block stands for a program without one.
String XcProgramFileName();
// Empty restores the running program. Returns the previous setting.
String SetXcProgramFileName(const String& fileName);

// (sender, trimmed upper-case command, var handled, var value).
using TProcessCommandEvent = std::function<void(TObject* sender, const String& command, bool& handled, String& value)>;

class TXcTranslateString : public TXcComponent {
    RTL_CLASS(TXcTranslateString, TXcComponent);

public:
    explicit TXcTranslateString(TComponent* owner);

    // Date-time patterns of FormatDateTime.
    const String& DateFormat() const noexcept { return dateFormat_; }
    void SetDateFormat(const String& value) { dateFormat_ = value; }
    const String& DateTimeFormat() const noexcept { return dateTimeFormat_; }
    void SetDateTimeFormat(const String& value) { dateTimeFormat_ = value; }
    const String& TimeFormat() const noexcept { return timeFormat_; }
    void SetTimeFormat(const String& value) { timeFormat_ = value; }
    // An empty delimiter is never found: nothing is expanded.
    const String& LeftDelimiter() const noexcept { return leftDelimiter_; }
    void SetLeftDelimiter(const String& value) { leftDelimiter_ = value; }
    const String& RightDelimiter() const noexcept { return rightDelimiter_; }
    void SetRightDelimiter(const String& value) { rightDelimiter_ = value; }

    // The text with every command between the delimiters replaced by its
    // value; a command nobody handles stays without its delimiters. Changed
    // tells whether any command was handled.
    String TranslateString(const String& text, bool& changed);
    String TranslateString(const String& text);
    // The value of one command (the text between the delimiters); false when
    // nobody handles it.
    bool ProcessCommand(const String& command, String& value);

    TProcessCommandEvent OnProcessCommand;

private:
    enum TVersionText { vtProductName, vtCompanyName, vtFileVersion, vtProductVersion };
    struct TCachedText {
        bool Read = false;
        String Value;
    };

    // Read once; a program without version information gets a stand-in,
    // announced once in a message box.
    const String& VersionText(TVersionText which);
    TComponent* OwningForm() const;

    String dateFormat_ = u"dd_mm_yyyy";
    String dateTimeFormat_ = u"dd_mm_yyyy hh_nn_ss";
    String leftDelimiter_ = u"%";
    String rightDelimiter_ = u"%";
    String timeFormat_ = u"hh_nn_ss";
    std::array<TCachedText, 4> versionTexts_;
};

const TTypeInfo* ProcessCommandEventType();
