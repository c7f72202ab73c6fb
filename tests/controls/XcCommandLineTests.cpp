#include <gtest/gtest.h>

#include <vector>

#include "controls/XcCommandLine.h"

namespace {

std::vector<String> SplitCommandLine(const String& line) {
    std::vector<String> params;
    for (int i = 0; i <= CommandLineParamCount(line); ++i) params.push_back(CommandLineParam(line, i));
    while (!params.empty() && params.back().empty()) params.pop_back();
    return params;
}

} // namespace

TEST(XcCommandLineTest, SplitsAtBlanksAndKeepsQuotedBlanks) {
    struct Case {
        const char16_t* line;
        std::vector<String> params;
    };
    const std::vector<Case> cases = {
        {u"prog a b", {u"prog", u"a", u"b"}},
        {u"  prog\t \"a b\"  c ", {u"prog", u"a b", u"c"}},
        {u"prog \"\" \"\"x", {u"prog", u"x"}},
        {u"\"/opt/my app/run\" -i \"/home/u/视频 1.mp4\"", {u"/opt/my app/run", u"-i", u"/home/u/视频 1.mp4"}},
        {u"prog a\"b c\"d", {u"prog", u"ab cd"}},
        {u"prog \"open", {u"prog", u"open"}},
        {u"", {}},
        {u" \"\" ", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.params) << String(c.line);
    EXPECT_EQ(CommandLineParam(u"prog a", 5), String());
    EXPECT_EQ(CommandLineParamCount(u"prog a b"), 2);
    EXPECT_EQ(CommandLineParamCount(u"prog"), 0);
    EXPECT_EQ(CommandLineParamCount(u""), 0);
}

TEST(XcCommandLineTest, NextParamReturnsWhereTheNextOneStarts) {
    const String line = u"a \"b c\" d";
    String param;
    size_t at = NextCommandLineParam(line, 0, param);
    EXPECT_EQ(param, String(u"a"));
    at = NextCommandLineParam(line, at, param);
    EXPECT_EQ(param, String(u"b c"));
    EXPECT_EQ(at, 7u);
    at = NextCommandLineParam(line, at, param);
    EXPECT_EQ(param, String(u"d"));
    NextCommandLineParam(line, at, param);
    EXPECT_TRUE(param.empty());
}

TEST(XcCommandLineTest, ParametersOfAnyLengthStayWhole) {
    const String longPath = u"/" + String(4999, u'x');
    const String quoted = u"/home/" + String(5000, u'y') + u" z";
    EXPECT_EQ(CommandLineParam(u"prog " + longPath + u" tail", 1), longPath);
    EXPECT_EQ(CommandLineParam(u"prog \"" + quoted + u"\"", 1), quoted);
}

TEST(XcCommandLineTest, SplitProgramAndParamsRequotesParamsHoldingBlanks) {
    String program, params;
    SplitProgramAndParams(u"\"/usr/bin/my player\"  -a \"b c\" \"\" d", program, params);
    EXPECT_EQ(program, String(u"/usr/bin/my player"));
    EXPECT_EQ(params, String(u"-a \"b c\" d"));
    SplitProgramAndParams(u"prog", program, params);
    EXPECT_EQ(program, String(u"prog"));
    EXPECT_EQ(params, String());
}
