#include "support/xml/XmlEncodings.h"

#include <iterator>

namespace {

struct TCodePage {
    int codePage;
    const char16_t* name;
};

constexpr TCodePage kCodePages[] = {
    {932, u"shift-jis"},     {1200, u"utf-16"},       {1250, u"windows-1250"}, {1251, u"windows-1251"},
    {1252, u"windows-1252"}, {1253, u"windows-1253"}, {1254, u"windows-1254"}, {1255, u"windows-1255"},
    {1256, u"windows-1256"}, {1257, u"windows-1257"}, {1258, u"windows-1258"}, {28591, u"iso-8859-1"},
    {28592, u"iso-8859-2"},  {28593, u"iso-8859-3"},  {28594, u"iso-8859-4"},  {28595, u"iso-8859-5"},
    {28596, u"iso-8859-6"},  {28597, u"iso-8859-7"},  {28598, u"iso-8859-8"},  {28599, u"iso-8859-9"},
    {50220, u"iso-2022-jp"}, {51932, u"euc-jp"},      {65001, u"utf-8"},
};

constexpr const char16_t* kLatin1Entities[] = {
    u"nbsp",   u"iexcl",  u"cent",   u"pound",  u"curren", u"yen",    u"brvbar", u"sect",   u"uml",    u"copy",
    u"ordf",   u"laquo",  u"not",    u"shy",    u"reg",    u"macr",   u"deg",    u"plusmn", u"sup2",   u"sup3",
    u"acute",  u"micro",  u"para",   u"middot", u"cedil",  u"sup1",   u"ordm",   u"raquo",  u"frac14", u"frac12",
    u"frac34", u"iquest", u"Agrave", u"Aacute", u"Acirc",  u"Atilde", u"Auml",   u"Aring",  u"AElig",  u"Ccedil",
    u"Egrave", u"Eacute", u"Ecirc",  u"Euml",   u"Igrave", u"Iacute", u"Icirc",  u"Iuml",   u"ETH",    u"Ntilde",
    u"Ograve", u"Oacute", u"Ocirc",  u"Otilde", u"Ouml",   u"times",  u"Oslash", u"Ugrave", u"Uacute", u"Ucirc",
    u"Uuml",   u"Yacute", u"THORN",  u"szlig",  u"agrave", u"aacute", u"acirc",  u"atilde", u"auml",   u"aring",
    u"aelig",  u"ccedil", u"egrave", u"eacute", u"ecirc",  u"euml",   u"igrave", u"iacute", u"icirc",  u"iuml",
    u"eth",    u"ntilde", u"ograve", u"oacute", u"ocirc",  u"otilde", u"ouml",   u"divide", u"oslash", u"ugrave",
    u"uacute", u"ucirc",  u"uuml",   u"yacute", u"thorn",  u"yuml",
};
static_assert(std::size(kLatin1Entities) == 96);

}  // namespace

int CodePageOfName(const String& name) {
    for (const TCodePage& row : kCodePages)
        if (SameText(name, row.name)) return row.codePage;
    return 0;
}

int DeclaredCodePage(const String& data) {
    const size_t at = data.find(u"encoding=");
    if (at == String::npos) return 0;
    const size_t quotePos = at + 9;
    if (quotePos >= data.size() || (data[quotePos] != u'"' && data[quotePos] != u'\'')) return 0;
    const size_t close = data.find(data[quotePos], quotePos + 1);
    if (close == String::npos) return 0;
    return CodePageOfName(data.substr(quotePos + 1, close - quotePos - 1));
}

char16_t CharOfEntity(const String& name) {
    if (name == u"quot") return u'"';
    if (name == u"amp") return u'&';
    if (name == u"apos") return u'\'';
    if (name == u"lt") return u'<';
    if (name == u"gt") return u'>';
    for (size_t i = 0; i < std::size(kLatin1Entities); ++i)
        if (name == kLatin1Entities[i]) return static_cast<char16_t>(160 + i);
    return 0;
}
