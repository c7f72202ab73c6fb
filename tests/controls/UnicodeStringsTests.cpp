#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "controls/dragdrop/UnicodeStrings.h"
#include "controls/dragdrop/UnicodeStringsAdapter.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"

namespace {

std::vector<String> Contents(const TUnicodeStrings& list) {
    std::vector<String> strings;
    for (int i = 0; i < list.Count(); ++i) strings.push_back(list[i]);
    return strings;
}

// A list holding Strings whose notifications are written to Events as '<' (changing) and '>' (changed).
struct TNotedList {
    explicit TNotedList(std::initializer_list<const char16_t*> strings) {
        for (const char16_t* s : strings) list.Add(s);
        list.OnChanging = [this](TObject*) { events += '<'; };
        list.OnChange = [this](TObject*) { events += '>'; };
    }
    TUnicodeStringList list;
    std::string events;
};

} // namespace

TEST(UnicodeStringListTest, IndexOfFindsTheLastEqualString) {
    TNotedList noted({u"a", u"b", u"a"});
    EXPECT_EQ(noted.list.IndexOf(u"a"), 2);
    EXPECT_EQ(noted.list.IndexOf(u"b"), 1);
    EXPECT_EQ(noted.list.IndexOf(u"A"), -1);
}

TEST(UnicodeStringListTest, EachEditNotifiesOncePair) {
    struct Case {
        const char* name;
        void (*edit)(TUnicodeStrings&);
        std::vector<String> result;
    };
    const Case cases[] = {
        {"Exchange", [](TUnicodeStrings& l) { l.Exchange(0, 1); }, {u"y", u"x", u"z"}},
        {"Move", [](TUnicodeStrings& l) { l.Move(0, 2); }, {u"y", u"z", u"x"}},
        {"Put", [](TUnicodeStrings& l) { l.SetStrings(1, u"q"); }, {u"x", u"q", u"z"}},
        {"Insert", [](TUnicodeStrings& l) { l.Insert(1, u"q"); }, {u"x", u"q", u"y", u"z"}},
        {"Delete", [](TUnicodeStrings& l) { l.Delete(0); }, {u"y", u"z"}},
        {"Clear", [](TUnicodeStrings& l) { l.Clear(); }, {}},
        {"empty Text", [](TUnicodeStrings& l) { l.SetText(u""); }, {}},
        {"Text", [](TUnicodeStrings& l) { l.SetText(u"p\r\nq"); }, {u"p", u"q"}},
    };
    for (const Case& c : cases) {
        TNotedList noted({u"x", u"y", u"z"});
        c.edit(noted.list);
        EXPECT_EQ(Contents(noted.list), c.result) << c.name;
        EXPECT_EQ(noted.events, "<>") << c.name;
    }
}

TEST(UnicodeStringListTest, IndexErrorsLeaveTheListUnchanged) {
    struct Case {
        const char* name;
        void (*edit)(TUnicodeStrings&);
        const char16_t* message;
    };
    const Case cases[] = {
        {"Exchange", [](TUnicodeStrings& l) { l.Exchange(5, -1); }, u"List index out of bounds (5)"},
        {"Exchange second", [](TUnicodeStrings& l) { l.Exchange(0, 2); }, u"List index out of bounds (2)"},
        {"Move", [](TUnicodeStrings& l) { l.Move(-1, 0); }, u"List index out of bounds (-1)"},
        {"Get", [](TUnicodeStrings& l) { (void)l.Strings(2); }, u"List index out of bounds (2)"},
        {"Put", [](TUnicodeStrings& l) { l.SetStrings(2, u"q"); }, u"List index out of bounds (2)"},
        {"Insert", [](TUnicodeStrings& l) { l.Insert(3, u"q"); }, u"List index out of bounds (3)"},
        {"Delete", [](TUnicodeStrings& l) { l.Delete(2); }, u"List index out of bounds (2)"},
    };
    for (const Case& c : cases) {
        TNotedList noted({u"x", u"y"});
        try {
            c.edit(noted.list);
            ADD_FAILURE() << c.name << " raises";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), String(c.message)) << c.name;
        }
        EXPECT_EQ(Contents(noted.list), (std::vector<String>{u"x", u"y"})) << c.name;
        EXPECT_EQ(noted.events, "") << c.name;
    }
}

TEST(UnicodeStringListTest, GrowsByFourThenSixteenThenAQuarter) {
    for (const auto& [capacity, grown] : {std::pair{0, 4}, {8, 12}, {12, 28}, {64, 80}, {80, 100}}) {
        TUnicodeStringList list;
        list.SetCapacity(capacity);
        for (int i = 0; i < capacity; ++i) list.Add(u"s");
        EXPECT_EQ(list.Capacity(), capacity);
        list.Add(u"one more");
        EXPECT_EQ(list.Capacity(), grown) << capacity;
        list.Clear();
        EXPECT_EQ(list.Capacity(), grown) << "Clear keeps the capacity";
    }
}

TEST(UnicodeStringListTest, CapacityBelowCountIsAProgrammingError) {
    TNotedList noted({u"x", u"y"});
    EXPECT_THROW(noted.list.SetCapacity(1), EAssertionFailed);
}

TEST(UnicodeStringListTest, TextCutsAtLineBreaksAndStopsAtNul) {
    struct Case {
        String text;
        std::vector<String> strings;
    };
    const std::vector<Case> cases = {
        {u"a\r\nb", {u"a", u"b"}},
        {u"a\n\nb", {u"a", u"", u"b"}},
        {u"a\r\n", {u"a"}},
        {u"a\rb\n\rc", {u"a", u"b", u"", u"c"}},
        {u"\r\n", {u""}},
        {String(u"a\nb\0c", 5), {u"a", u"b"}},
        {u"视频 1.mp4\r\n𠮷.mp4", {u"视频 1.mp4", u"𠮷.mp4"}},
    };
    for (const Case& c : cases) {
        TUnicodeStringList list;
        list.SetText(c.text);
        EXPECT_EQ(Contents(list), c.strings);
    }
    TNotedList noted({u"a", u"", u"b"});
    EXPECT_EQ(noted.list.Text(), String(u"a\r\n\r\nb"));
    EXPECT_EQ(TUnicodeStringList().Text(), String());
}

TEST(UnicodeStringListTest, AssignsFromAndToAFrameworkList) {
    TStringList framework;
    framework.SetText(u"c\nA\nb");
    TNotedList noted({u"old"});
    noted.list.Assign(&framework);
    EXPECT_EQ(Contents(noted.list), (std::vector<String>{u"c", u"A", u"b"}));
    EXPECT_EQ(noted.events, "<>");

    TStringList back;
    back.Add(u"stale");
    int backChanges = 0;
    back.OnChange = [&](TObject*) { ++backChanges; };
    back.Assign(&noted.list);
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back[0], String(u"c"));
    EXPECT_EQ(back[1], String(u"A"));
    EXPECT_EQ(back[2], String(u"b"));
    EXPECT_EQ(backChanges, 1);

    TUnicodeStringList copy;
    copy.Assign(&noted.list);
    EXPECT_EQ(Contents(copy), Contents(noted.list));
    TPersistent foreign;
    EXPECT_THROW(copy.Assign(&foreign), EConvertError);
    EXPECT_THROW(foreign.Assign(&copy), EConvertError);
}

TEST(UnicodeStringsAdapterTest, ForwardsToAFrameworkListItDoesNotOwn) {
    TStringList framework;
    int frameworkChanges = 0;
    framework.OnChange = [&](TObject*) { ++frameworkChanges; };
    {
        TUnicodeStringsAdapter adapter(&framework);
        adapter.SetText(u"x\r\ny");
        adapter.Insert(0, u"w");
        adapter.Exchange(1, 2);
        adapter.Delete(0);
        EXPECT_EQ(adapter.Count(), 2);
        EXPECT_EQ(adapter.IndexOf(u"x"), 1);
    }
    ASSERT_EQ(framework.Count(), 2);
    EXPECT_EQ(framework[0], String(u"y"));
    EXPECT_EQ(framework[1], String(u"x"));
    EXPECT_GT(frameworkChanges, 0);
}
