#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Lists.h"

namespace {

// Records its destruction in a shared log.
class Tracked : public TObject {
public:
    Tracked(int id, std::vector<int>& freed) : id_(id), freed_(freed) {}
    ~Tracked() override { freed_.push_back(id_); }
    int id() const { return id_; }

private:
    int id_;
    std::vector<int>& freed_;
};

int Value(void* p) { return *static_cast<int*>(p); }

std::vector<int> Values(const TList& list) {
    std::vector<int> out;
    for (void* p : list) out.push_back(Value(p));
    return out;
}

} // namespace

TEST(ListTest, EditingOperationsKeepOrder) {
    int v[5] = {0, 1, 2, 3, 4};
    TList list;
    for (int& x : v) list.Add(&x);
    list.Move(0, 3);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 3, 0, 4}));
    list.Move(4, 1);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 4, 2, 3, 0}));
    list.Exchange(0, 4);
    EXPECT_EQ(Values(list), (std::vector<int>{0, 4, 2, 3, 1}));
    EXPECT_EQ(list.Remove(&v[2]), 2);
    EXPECT_EQ(list.Remove(&v[2]), -1);
    EXPECT_EQ(list.Extract(&v[3]), &v[3]);
    EXPECT_EQ(list.Extract(&v[3]), nullptr);
    list.Insert(0, &v[3]);
    list.Insert(list.Count(), &v[2]);
    EXPECT_EQ(Values(list), (std::vector<int>{3, 0, 4, 1, 2}));
    EXPECT_EQ(Value(list.First()), 3);
    EXPECT_EQ(Value(list.Last()), 2);
    list.Sort([](void* a, void* b) { return Value(a) - Value(b); });
    EXPECT_EQ(Values(list), (std::vector<int>{0, 1, 2, 3, 4}));
    list.SetCount(2);
    EXPECT_EQ(Values(list), (std::vector<int>{0, 1}));
    list.SetCount(3);
    EXPECT_EQ(list.Items(2), nullptr);
}

TEST(ListTest, BadIndexesRaiseWithTheIndex) {
    int x = 0;
    TList list;
    list.Add(&x);
    const auto message = [](auto&& op) -> std::string {
        try {
            op();
        } catch (const EListError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(message([&] { list.Items(1); }), "List index out of bounds (1)");
    EXPECT_EQ(message([&] { list.Items(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(message([&] { list.Insert(2, &x); }), "List index out of bounds (2)");
    EXPECT_EQ(message([&] { list.Delete(1); }), "List index out of bounds (1)");
    EXPECT_EQ(message([&] { list.Move(0, 1); }), "List index out of bounds (1)");
    EXPECT_EQ(message([&] { TList().First(); }), "List index out of bounds (0)");
    EXPECT_EQ(message([&] { list.SetCapacity(0); }), "List capacity out of bounds (0)");
    list.Insert(1, &x); // appending at Count is allowed
    EXPECT_EQ(list.Count(), 2);
}

TEST(ObjectListTest, OwnedItemsAreFreedExceptExtractedOnes) {
    std::vector<int> freed;
    Tracked* kept = nullptr;
    {
        TObjectList list;
        for (int i = 0; i < 5; ++i) list.Add(new Tracked(i, freed));
        list.Delete(0);
        EXPECT_EQ(list.Remove(list.Items(0)), 0);
        kept = static_cast<Tracked*>(list.Extract(list.Items(0)));
        list.SetItems(0, new Tracked(9, freed)); // replaces item 3
        EXPECT_EQ(freed, (std::vector<int>{0, 1, 3}));
    }
    EXPECT_EQ(freed, (std::vector<int>{0, 1, 3, 4, 9}));
    EXPECT_EQ(kept->id(), 2);
    delete kept;

    freed.clear();
    Tracked notOwned(7, freed);
    {
        TObjectList list(false);
        list.Add(&notOwned);
        list.Clear();
        list.Add(&notOwned);
    }
    EXPECT_TRUE(freed.empty());
}
