#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"

namespace {

std::vector<String> Items(const TStrings& list) {
    std::vector<String> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}

template <class Op>
String ErrorOf(Op&& op) {
    try {
        op();
    } catch (const EStringListError& e) {
        return e.Message();
    }
    return "no error";
}

class Counted : public TObject {
public:
    explicit Counted(int& alive) : alive_(alive) { ++alive_; }
    ~Counted() override { --alive_; }

private:
    int& alive_;
};

} // namespace

TEST(StringListTest, SortedAddFollowsDuplicatesMode) {
    struct Case {
        TDuplicates mode;
        std::vector<String> expected;
        bool raises;
    };
    const Case cases[] = {
        {dupIgnore, {"apple", "Banana", "cherry"}, false},
        {dupAccept, {"apple", "BANANA", "Banana", "cherry"}, false},
        {dupError, {"apple", "Banana", "cherry"}, true},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetDuplicates(c.mode);
        list.SetSorted(true);
        for (const char* s : {"cherry", "Banana", "apple"}) list.Add(s);
        if (c.raises)
            EXPECT_EQ(ErrorOf([&] { list.Add("BANANA"); }), "String list does not allow duplicates");
        else
            EXPECT_EQ(list.Add("BANANA"), 1);
        EXPECT_EQ(Items(list), c.expected) << static_cast<int>(c.mode);
        int index = -1;
        EXPECT_TRUE(list.Find("banana", index));
        EXPECT_EQ(index, 1);
        EXPECT_FALSE(list.Find("blueberry", index));
        EXPECT_EQ(index, static_cast<int>(c.expected.size()) - 1);
        EXPECT_EQ(list.IndexOf("CHERRY"), index);
    }
}

TEST(StringListTest, SortingCaseAndSortedRestrictions) {
    TStringList list;
    list.SetCommaText("b,B,a,C");
    list.Sort();
    EXPECT_EQ(list.CommaText(), "a,b,B,C"); // stable for equal keys
    list.SetCaseSensitive(true);
    list.SetSorted(true);
    EXPECT_EQ(list.CommaText(), "B,C,a,b");
    EXPECT_EQ(list.IndexOf("c"), -1);
    list.SetCaseSensitive(false); // re-sorts under the new comparison
    EXPECT_EQ(list.CommaText(), "a,B,b,C");
    for (auto op : std::initializer_list<std::function<void()>>{
             [&] { list.Insert(0, "x"); }, [&] { list.SetStrings(0, "x"); }, [&] { list.Exchange(0, 1); },
             [&] { list.Move(0, 1); }})
        EXPECT_EQ(ErrorOf(op), "Operation not allowed on sorted list");
    EXPECT_EQ(ErrorOf([&] { list.Strings(4); }), "List index out of bounds (4)");
    EXPECT_EQ(ErrorOf([&] { list.Delete(-1); }), "List index out of bounds (-1)");

    list.SetSorted(false);
    list.CustomSort([](TStringList& l, int a, int b) { return l[b].Length() - l[a].Length() + CompareStr(l[a], l[b]); });
    EXPECT_EQ(list.CommaText(), "B,C,a,b");
}

TEST(StringListTest, NamesAndValues) {
    TStringList list;
    list.SetText("Path=/usr/bin\nempty=\nnoseparator\nKey=a=b\n");
    EXPECT_EQ(list.Names(0), "Path");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.Values("PATH"), "/usr/bin");
    EXPECT_EQ(list.Values("key"), "a=b");
    EXPECT_EQ(list.Values("noseparator"), "");
    EXPECT_EQ(list.IndexOfName("empty"), 1);
    EXPECT_EQ(list.ValueFromIndex(3), "a=b");
    list.SetValues("path", "/bin");
    EXPECT_EQ(list[0], "path=/bin");
    list.SetValues("new", "1");
    EXPECT_EQ(list[4], "new=1");
    list.SetValues("empty", "");
    EXPECT_EQ(list.IndexOfName("empty"), -1);
    list.SetValueFromIndex(0, "x");
    EXPECT_EQ(list[0], "path=x");
    list.SetNameValueSeparator(u':');
    list.SetValues("host", "example");
    EXPECT_EQ(list.Values("HOST"), "example");
}

TEST(StringListTest, DelimitedTextRoundTrips) {
    const std::vector<std::vector<String>> lists = {
        {"plain", "with space", "with,comma", "with\"quote", "", "  padded  ", "tab\there"},
        {""},
        {"", ""},
        {"a", ""},
        {"", "a"},
        {u"中文", u"é"},
    };
    for (bool strict : {false, true}) {
        for (const auto& items : lists) {
            TStringList out;
            for (const String& s : items) out.Add(s);
            out.SetStrictDelimiter(strict);
            TStringList in;
            in.SetStrictDelimiter(strict);
            in.SetDelimitedText(out.DelimitedText());
            EXPECT_EQ(Items(in), items) << out.DelimitedText() << " strict=" << strict;
            in.SetCommaText(out.CommaText());
            EXPECT_EQ(Items(in), items) << out.CommaText();
        }
    }
}

TEST(StringListTest, DelimitedTextReadingRules) {
    struct Case {
        const char* text;
        bool strict;
        char16_t delimiter;
        std::vector<String> items;
    };
    const Case cases[] = {
        {"a b, c", false, u',', {"a", "b", "c"}},
        {"a b, c", true, u',', {"a b", " c"}},
        {"  \"x \"\"y\"\" \" ,z", false, u',', {"x \"y\" ", "z"}},
        {"a;b;", true, u';', {"a", "b", ""}},
        {"a,,b", false, u',', {"a", "", "b"}},
        {"\"unterminated", false, u',', {"unterminated"}},
        {"", false, u',', {}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetStrictDelimiter(c.strict);
        list.SetDelimiter(c.delimiter);
        list.SetDelimitedText(c.text);
        EXPECT_EQ(Items(list), c.items) << c.text;
    }
    TStringList list;
    list.SetCommaText("a,b");
    EXPECT_EQ(list.CommaText(), "a,b");
    list.Add("c d");
    list.SetDelimiter(u';');
    list.SetQuoteChar(u'\'');
    EXPECT_EQ(list.DelimitedText(), "a;b;'c d'");
    EXPECT_EQ(list.CommaText(), "a,b,\"c d\"");
    EXPECT_EQ(list.Delimiter(), u';'); // CommaText leaves the settings as they were
}

TEST(StringListTest, TextLineBreaks) {
    TStringList list;
    list.SetText("one\r\ntwo\rthree\n\nfive");
    EXPECT_EQ(Items(list), (std::vector<String>{"one", "two", "three", "", "five"}));
    EXPECT_EQ(list.Text(), "one\ntwo\nthree\n\nfive\n");
    list.SetTrailingLineBreak(false);
    list.SetLineBreak("\r\n");
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\n\r\nfive");
    list.SetLineBreak("||");
    list.SetText("a||b\nc||");
    EXPECT_EQ(Items(list), (std::vector<String>{"a", "b\nc"}));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringListTest, UpdateBracketFiresOnePairOfEvents) {
    TStringList list;
    std::vector<std::string> log;
    list.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        log.push_back("changing");
    };
    list.OnChange = [&](TObject*) { log.push_back("change"); };
    list.Add("a");
    EXPECT_EQ(log, (std::vector<std::string>{"changing", "change"}));
    log.clear();
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("b");
    list.SetText("x\ny\nz");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(log, (std::vector<std::string>{"changing"}));
    list.EndUpdate();
    EXPECT_EQ(log, (std::vector<std::string>{"changing", "change"}));
    log.clear();
    list.SetCommaText("p,q");
    EXPECT_EQ(log, (std::vector<std::string>{"changing", "change"}));
    log.clear();
    EXPECT_THROW(list.Insert(5, "bad"), EStringListError);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(StringListTest, OwnedObjectsAreFreed) {
    int alive = 0;
    {
        TStringList list(true);
        list.AddObject("a", new Counted(alive));
        list.AddObject("b", new Counted(alive));
        list.AddObject("c", new Counted(alive));
        TObject* b = list.Objects(1);
        EXPECT_EQ(list.IndexOfObject(b), 1);
        list.Move(1, 2);
        EXPECT_EQ(list.Objects(2), b);
        list.Delete(0);
        EXPECT_EQ(alive, 2);
        list.SetObjects(0, new Counted(alive));
        EXPECT_EQ(alive, 2);
        list.SetText("x");
        EXPECT_EQ(alive, 0);
        list.AddObject("d", new Counted(alive));
    }
    EXPECT_EQ(alive, 0);
}

TEST(StringListTest, AssignAndAddStringsCopyItemsAndObjects) {
    TStringList source;
    source.SetDelimiter(u';');
    source.AddObject("one", &source);
    source.Add("two");
    TStringList copy;
    copy.Add("old");
    copy.Assign(source);
    EXPECT_EQ(copy.DelimitedText(), "one;two");
    EXPECT_EQ(copy.Objects(0), &source);
    copy.AddStrings(copy);
    EXPECT_EQ(copy.DelimitedText(), "one;two;one;two");
}

TEST(StringListTest, ObjectsMoveToAnOwningListOnlyFromListsThatDoNotOwnThem) {
    struct Case {
        bool sourceOwns, targetOwns, raises;
    };
    const Case cases[] = {{false, false, false}, {false, true, false}, {true, false, false}, {true, true, true}};
    for (const Case& c : cases) {
        int alive = 0;
        {
            TStringList source(c.sourceOwns);
            source.AddObject("one", new Counted(alive));
            source.Add("two");
            TStringList assigned(c.targetOwns), added(c.targetOwns);
            assigned.Add("old");
            added.Add("old");
            if (c.raises) {
                const String message = "Cannot copy objects owned by another string list";
                EXPECT_EQ(ErrorOf([&] { assigned.Assign(source); }), message);
                EXPECT_EQ(ErrorOf([&] { added.AddStrings(source); }), message);
                EXPECT_EQ(ErrorOf([&] { source.AddStrings(source); }), message);
                EXPECT_EQ(Items(assigned), std::vector<String>{"old"});
                EXPECT_EQ(Items(added), std::vector<String>{"old"});
                EXPECT_EQ(source.Count(), 2);
            } else {
                assigned.Assign(source);
                EXPECT_EQ(assigned.Objects(0), source.Objects(0));
                if (c.targetOwns) source.SetObjects(0, nullptr);
                else if (!c.sourceOwns) delete source.Objects(0);
            }
        }
        EXPECT_EQ(alive, 0) << c.sourceOwns << c.targetOwns;
    }
    TStringList owner(true), names(true);
    owner.Add("no object");
    names.Assign(owner);
    EXPECT_EQ(Items(names), std::vector<String>{"no object"});
}

TEST(StringListTest, IgnoredDuplicateFreesTheObjectItWasGiven) {
    int alive = 0;
    {
        TStringList list(true);
        list.SetSorted(true);
        auto* kept = new Counted(alive);
        list.AddObject("a", kept);
        EXPECT_EQ(list.AddObject("A", new Counted(alive)), 0);
        EXPECT_EQ(alive, 1);
        EXPECT_EQ(list.AddObject("a", kept), 0);
        EXPECT_EQ(list.Objects(0), kept);
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}

TEST(StringListTest, FilesAndStreamsInUtf8WithByteOrderMarks) {
    const String path = String(std::getenv("OSTREL_HOME")) + "/list.txt";
    TStringList list;
    list.SetText(u"中文\nline two");
    list.SaveToFile(path);
    TStringList loaded;
    loaded.LoadFromFile(path);
    EXPECT_EQ(Items(loaded), Items(list));

    struct Case {
        TBytes bytes;
        std::vector<String> items;
    };
    const Case cases[] = {
        {{0xEF, 0xBB, 0xBF, 'a', '\r', '\n', 'b'}, {"a", "b"}},
        {{0xFF, 0xFE, 'a', 0, '\n', 0, 0x2D, 0x4E}, {"a", u"中"}},
        {{0xFE, 0xFF, 0, 'a'}, {"a"}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        TBytesStream stream(c.bytes);
        loaded.LoadFromStream(stream);
        EXPECT_EQ(Items(loaded), c.items);
    }
    TBytesStream gbk(TBytes{0xD6, 0xD0, '\n'});
    loaded.LoadFromStream(gbk, 936);
    EXPECT_EQ(loaded[0], u"中");
    TBytesStream out;
    loaded.SaveToStream(out, 936);
    EXPECT_EQ(out.Bytes(), gbk.Bytes());
}
