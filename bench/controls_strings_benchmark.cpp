// The extended controls' string work, each beside a reference measured in the
// same run:
//   a TUnicodeStringList of 100,000 file names (Text assignment, Add, IndexOf
//   of the last name, Assign to a framework list)      vs TStringList doing the same
//   splitting a command line of 100,000 characters     vs one of 1,000 (per character; linear is 1)
//   LimitText of a 10,000-character text to half its width
//                                                      vs one DrawTextW(DT_CALCRECT) of the text
// Each figure is the median of several rounds; the ratios come last
// (targets: at most 1.5, 1.5 and 20).

#include <cstdio>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "controls/XcCommandLine.h"
#include "controls/XcMaxPixel.h"
#include "controls/dragdrop/UnicodeStrings.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Application.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kFileNames = 100000;
constexpr int kListRounds = 7;

String FileName(int i) {
    const String number(std::to_string(i));
    return u"/home/user/视频/假期 " + number + u"/clip 𠮷" + number + u".mp4";
}

std::vector<String> FileNames() {
    std::vector<String> names;
    for (int i = 0; i < kFileNames; ++i) names.push_back(FileName(i));
    return names;
}

String Lines(const std::vector<String>& strings) {
    String text;
    for (const String& s : strings) {
        if (!text.empty()) text += u"\r\n";
        text += s;
    }
    return text;
}

// Milliseconds of the four list operations on List (IndexOf in microseconds),
// cleared again before each round where needed.
struct TListTimes {
    double text, add, indexOf, assign;
};

template <class List>
TListTimes TimeList(const String& text, const std::vector<String>& names) {
    List list;
    TStringList target;
    const String& last = names.back();
    volatile int found = 0;
    TListTimes times{};
    times.text = 1e3 * TTiming(kListRounds).Prepare([&] { list.Clear(); }).MedianSeconds([&] { list.SetText(text); });
    times.add = 1e3 * TTiming(kListRounds).Prepare([&] { list.Clear(); }).MedianSeconds([&] {
        for (const String& name : names) list.Add(name);
    });
    times.indexOf = 1e6 * TTiming(kListRounds).Repeat(100).MedianSeconds([&] { found = list.IndexOf(last); });
    times.assign = 1e3 * TTiming(kListRounds).Prepare([&] { target.Clear(); }).MedianSeconds([&] { target.Assign(&list); });
    return times;
}

// A command line of about Length characters: a program, switches, plain and quoted paths.
String CommandLineOf(size_t length) {
    String line = u"\"/opt/ostrel converter/bin/run\"";
    for (int i = 0; line.size() < length; ++i)
        line += i % 3 == 0 ? u" -i \"/home/user/视频 " + String(std::to_string(i)) + u".mp4\""
                           : u" /tmp/out" + String(std::to_string(i)) + u".mkv";
    return line;
}

// Nanoseconds per character to take every parameter of Line.
double SplitNanosPerChar(const String& line, int repeat) {
    volatile size_t sink = 0;
    const double seconds = TTiming(21).Repeat(repeat).MedianSeconds([&] {
        String param;
        for (size_t at = NextCommandLineParam(line, 0, param); !param.empty(); at = NextCommandLineParam(line, at, param))
            sink = sink + param.size();
    });
    return 1e9 * seconds / double(line.size());
}

String LongText() {
    String text;
    for (int i = 0; text.size() < 10000; ++i) text += i % 4 == 0 ? String(u"视频文件𠮷 ") : String(u"clip name ");
    return text.substr(0, 10000);
}

} // namespace

int main() {
    const std::vector<String> names = FileNames();
    const String text = Lines(names);
    const TListTimes unicode = TimeList<TUnicodeStringList>(text, names);
    const TListTimes framework = TimeList<TStringList>(text, names);

    const String shortLine = CommandLineOf(1000), longLine = CommandLineOf(100000);
    const double shortSplit = SplitNanosPerChar(shortLine, 100);
    const double longSplit = SplitNanosPerChar(longLine, 1);

    auto* form = new TForm(&Application());
    form->SetBounds(0, 0, 400, 300);
    form->Show();
    TFont font;
    font.SetHeight(-13);
    TControlCanvas canvas;
    canvas.SetControl(form);
    canvas.SetFont(&font);
    const String longText = LongText();
    RECT measured{0, 0, 0, 0};
    const double drawText = 1e6 * TTiming(21).MedianSeconds([&] {
        measured = RECT{0, 0, 0, 0};
        DrawTextW(canvas.Handle(), longText.c_str(), longText.Length(), &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    });
    TXcMaxPixel limit(form);
    limit.SetLength(measured.right / 2);
    String limited;
    const double limitText = 1e6 * TTiming(21).MedianSeconds([&] {
        limited = longText;
        limit.LimitText(limited, &font);
    });

    std::printf("%d file names                 TUnicodeStringList   TStringList\n", kFileNames);
    std::printf("  Text assignment                %10.2f ms   %8.2f ms\n", unicode.text, framework.text);
    std::printf("  Add                            %10.2f ms   %8.2f ms\n", unicode.add, framework.add);
    std::printf("  IndexOf of the last name       %10.3f us   %8.1f us\n", unicode.indexOf, framework.indexOf);
    std::printf("  Assign to a TStringList        %10.2f ms   %8.2f ms\n", unicode.assign, framework.assign);
    std::printf("splitting a command line  %zu characters: %.2f ns per character; %zu characters: %.2f ns\n",
                longLine.size(), longSplit, shortLine.size(), shortSplit);
    std::printf("LimitText of %d characters to %d pixels (kept %d): %.1f us; one DrawTextW(DT_CALCRECT) of it (%d pixels): %.1f us\n",
                longText.Length(), limit.Length(), limited.Length(), limitText, int(measured.right), drawText);
    std::printf("ratio TUnicodeStringList / TStringList: Text %.2f  Add %.2f  IndexOf %.2g  Assign %.2f (target at most 1.5)\n",
                unicode.text / framework.text, unicode.add / framework.add, unicode.indexOf / framework.indexOf,
                unicode.assign / framework.assign);
    std::printf("ratio per character 100,000 / 1,000: %.2f (target at most 1.5)\n", longSplit / shortSplit);
    std::printf("ratio LimitText / DrawTextW: %.2f (target at most 20)\n", limitText / drawText);
    canvas.SetControl(nullptr);
    delete form;
    FreeApplication();
    FreeScreen();
    return 0;
}
