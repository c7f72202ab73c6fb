#include <gtest/gtest.h>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Collection.h"

namespace {

class TPoint : public TCollectionItem {
    RTL_CLASS(TPoint, TCollectionItem);

public:
    using TCollectionItem::TCollectionItem;
    int X() const { return x_; }
    void SetX(int v) {
        x_ = v;
        Changed(false);
    }
    String DisplayName() const override { return name_.empty() ? TCollectionItem::DisplayName() : name_; }
    void SetDisplayName(const String& v) override {
        name_ = v;
        TCollectionItem::SetDisplayName(v);
    }
    void Assign(TPersistent* source) override {
        if (auto* p = dynamic_cast<TPoint*>(source)) {
            x_ = p->x_;
            name_ = p->name_;
        } else {
            TCollectionItem::Assign(source);
        }
    }

private:
    int x_ = 0;
    String name_;
};
RTL_PUBLISHED(TPoint, c) { c.Property("X", &TPoint::X, &TPoint::SetX).Default(0); }

class TOtherItem : public TCollectionItem {
    RTL_CLASS(TOtherItem, TCollectionItem);

public:
    using TCollectionItem::TCollectionItem;
};
RTL_PUBLISHED_NONE(TOtherItem);

// Counts change notifications.
class TPoints : public TOwnedCollection {
public:
    using TOwnedCollection::TOwnedCollection;
    TPoint* Add() { return static_cast<TPoint*>(TCollection::Add()); }
    TPoint* Items(int i) const { return static_cast<TPoint*>(TCollection::Items(i)); }
    int updates = 0;
    TCollectionItem* lastUpdated = nullptr;

protected:
    void Update(TCollectionItem* item) override {
        ++updates;
        lastUpdated = item;
    }
};

class TShape : public TPersistent {
    RTL_CLASS(TShape, TPersistent);

public:
    TShape() : points_(this, TPoint::StaticClass()) {}
    TPoints* Points() { return &points_; }
    String GetNamePath() const override { return "Shape1"; }

private:
    TPoints points_;
};
RTL_PUBLISHED(TShape, c) { c.Property("Points", &TShape::Points); }

std::vector<int> Indexes(const TPoints& points) {
    std::vector<int> result;
    for (int i = 0; i < points.Count(); ++i) result.push_back(points.Items(i)->Index());
    return result;
}

TEST(CollectionTest, IndexesDisplayNamesAndIds) {
    TShape shape;
    TPoints& points = *shape.Points();
    TPoint* a = points.Add();
    TPoint* b = points.Add();
    TPoint* c = static_cast<TPoint*>(points.Insert(0));
    EXPECT_EQ(Indexes(points), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(points.Items(0), c);
    EXPECT_EQ(a->Index(), 1);
    EXPECT_EQ((std::vector<int>{a->ID(), b->ID(), c->ID()}), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(points.FindItemID(1), b);
    EXPECT_EQ(points.FindItemID(7), nullptr);
    EXPECT_EQ(a->DisplayName(), "TPoint");
    a->SetDisplayName("Start");
    EXPECT_EQ(a->DisplayName(), "Start");
    EXPECT_EQ(a->GetNamePath(), "Shape1.Points[1]");

    b->SetIndex(0);
    EXPECT_EQ(points.Items(0), b);
    EXPECT_EQ(c->Index(), 1);
    points.Delete(0); // b
    EXPECT_EQ(Indexes(points), (std::vector<int>{0, 1}));
    EXPECT_EQ(a->Index(), 1);
    delete c; // an item freed on its own leaves the collection
    EXPECT_EQ(points.Count(), 1);
    EXPECT_EQ(a->Index(), 0);
    EXPECT_THROW(points.Items(1), EListError);
    EXPECT_THROW(points.Insert(5), EListError);
    EXPECT_EQ(points.Count(), 1);
    TPoint* d = points.Add();
    EXPECT_EQ(d->ID(), 3); // identifiers are not reused
}

TEST(CollectionTest, UpdatesWaitForTheLastEndUpdate) {
    TShape shape;
    TPoints& points = *shape.Points();
    TPoint* a = points.Add();
    EXPECT_EQ(points.updates, 1);
    a->SetX(5);
    EXPECT_EQ(points.updates, 2);
    EXPECT_EQ(points.lastUpdated, a);
    points.BeginUpdate();
    points.BeginUpdate();
    points.Add()->SetX(1);
    points.Add();
    points.EndUpdate();
    EXPECT_EQ(points.updates, 2);
    points.EndUpdate();
    EXPECT_EQ(points.updates, 3);
    EXPECT_EQ(points.lastUpdated, nullptr);
    points.Clear();
    EXPECT_EQ(points.Count(), 0);
    EXPECT_EQ(points.updates, 4);
}

TEST(CollectionTest, AssignCopiesItemsAndForeignClassesRaise) {
    TShape from, to;
    from.Points()->Add()->SetX(1);
    from.Points()->Add()->SetX(2);
    to.Points()->Add()->SetX(9);
    to.Points()->Assign(from.Points());
    ASSERT_EQ(to.Points()->Count(), 2);
    EXPECT_EQ(to.Points()->Items(1)->X(), 2);

    TOwnedCollection others(nullptr, TOtherItem::StaticClass());
    new TOtherItem(&others);
    try {
        others.Items(0)->Assign(to.Points()->Items(0));
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TPoint to a TOtherItem");
    }
    try {
        from.Assign(nullptr);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TShape");
    }
    EXPECT_EQ(others.GetNamePath(), "TOwnedCollection");
    EXPECT_EQ(others.Items(0)->GetNamePath(), "TOwnedCollection[0]");
}

} // namespace
