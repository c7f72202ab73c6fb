#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "platform/rtl/Interfaces.h"

namespace {

class IShape : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{5C7D2E1A-8F43-4B6C-9A0E-1D2F3A4B5C6D}");
    virtual double Area() = 0;
};

class ISquare : public IShape {
public:
    static constexpr TGUID IID = TGUID::Parse("{0B8E4D6C-2A1F-4E3D-8C7B-6A5F4E3D2C1B}");
    using Inherited = IShape;
    virtual double Side() = 0;
};

class INamed : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{9F8E7D6C-5B4A-4938-A726-15F4E3D2C1B0}");
    virtual const char* Name() = 0;
};

class IUnused : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{11111111-2222-3333-4444-555555555555}");
};

int destroyed = 0;

class TSquare : public TImplements<TInterfacedObject, ISquare> {
public:
    explicit TSquare(double side, TIntfPtr<IShape>* keeper = nullptr) : side_(side) {
        // Handing out `this` while constructing must not free the object.
        TIntfPtr<IShape> self(this);
        if (keeper) *keeper = self;
    }
    ~TSquare() override { ++destroyed; }
    double Area() override { return side_ * side_; }
    double Side() override { return side_; }

private:
    double side_;
};

class TNamedSquare : public TImplements<TSquare, INamed> {
public:
    using TImplements::TImplements;
    const char* Name() override { return "named"; }
};

class InterfacesTest : public testing::Test {
protected:
    void SetUp() override { destroyed = 0; }
};

TEST_F(InterfacesTest, GuidTextRoundTripsAndMalformedTextRaises) {
    const String text = "{5C7D2E1A-8F43-4B6C-9A0E-1D2F3A4B5C6D}";
    EXPECT_EQ(StringToGUID(text), IShape::IID);
    EXPECT_EQ(GUIDToString(IShape::IID), text);
    EXPECT_EQ(StringToGUID("{5c7d2e1a-8f43-4b6c-9a0e-1d2f3a4b5c6d}"), IShape::IID);
    EXPECT_EQ(IShape::IID.D1, 0x5C7D2E1Au);
    EXPECT_EQ(IShape::IID.D4[7], 0x6D);
    for (const char* bad : {"", "5C7D2E1A-8F43-4B6C-9A0E-1D2F3A4B5C6D", "{5C7D2E1A-8F43-4B6C-9A0E-1D2F3A4B5C6G}",
                            "{5C7D2E1A_8F43-4B6C-9A0E-1D2F3A4B5C6D}", "{5C7D2E1A-8F43-4B6C-9A0E-1D2F3A4B5C6D}x"}) {
        try {
            StringToGUID(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + String(bad) + "' is not a valid GUID value");
        }
    }
    const TGUID a = CreateGUID(), b = CreateGUID();
    EXPECT_NE(a, b);
    EXPECT_EQ(a.D3 >> 12, 4);
    EXPECT_EQ(a.D4[0] & 0xC0, 0x80);
}

TEST_F(InterfacesTest, LastReferenceFreesOnceAndConstructorMayHandOutThis) {
    {
        TIntfPtr<TSquare> square = MakeIntf<TSquare>(3.0);
        EXPECT_EQ(square->RefCount(), 1);
        TIntfPtr<IShape> shape = square;
        TIntfPtr<IShape> moved = std::move(shape);
        EXPECT_FALSE(shape);
        EXPECT_EQ(square->RefCount(), 2);
        moved = moved; // self-assignment keeps the reference
        EXPECT_EQ(moved->Area(), 9.0);
        square.Reset();
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);

    // A reference kept by the constructor outlives the creator's.
    TIntfPtr<IShape> kept;
    MakeIntf<TSquare>(2.0, &kept).Reset();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(kept->Area(), 4.0);
    kept.Reset();
    EXPECT_EQ(destroyed, 2);
}

TEST_F(InterfacesTest, DestructorTakingAReferenceToItselfFreesOnce) {
    class TSelfReferencing : public TImplements<TInterfacedObject, INamed> {
    public:
        ~TSelfReferencing() override {
            TIntfPtr<INamed> self(this);
            ++destroyed;
        }
        const char* Name() override { return "self"; }
    };
    MakeIntf<TSelfReferencing>().Reset();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(InterfacesTest, QueryAnswersListedInterfacesAndTheirAncestors) {
    TIntfPtr<IInterface> unknown = MakeIntf<TNamedSquare>(5.0);
    const auto count = [&] { return dynamic_cast<TInterfacedObject&>(*unknown).RefCount(); };

    TIntfPtr<ISquare> square;
    ASSERT_TRUE(Supports(unknown, square));
    EXPECT_EQ(square->Side(), 5.0);
    TIntfPtr<IShape> shape = IntfCast<IShape>(square); // ancestor named by Inherited
    EXPECT_EQ(shape->Area(), 25.0);
    EXPECT_STREQ(IntfCast<INamed>(shape)->Name(), "named");
    EXPECT_EQ(IntfCast<IInterface>(shape), unknown);
    EXPECT_EQ(count(), 3);

    EXPECT_TRUE(Supports(unknown, INamed::IID));
    EXPECT_FALSE(Supports(unknown, IUnused::IID));
    EXPECT_EQ(count(), 3); // Supports by identifier leaves the count alone

    void* raw = &raw;
    EXPECT_EQ(unknown->QueryInterface(IUnused::IID, &raw), E_NOINTERFACE);
    EXPECT_EQ(raw, nullptr);
    try {
        IntfCast<IUnused>(unknown);
        ADD_FAILURE();
    } catch (const EIntfCastError& e) {
        EXPECT_EQ(e.Message(), "Interface not supported");
    }

    TIntfPtr<INamed> none;
    EXPECT_FALSE(Supports(static_cast<IShape*>(nullptr), none));
    TObject plain;
    EXPECT_FALSE(Supports(&plain, IInterface::IID));
    EXPECT_TRUE(Supports(dynamic_cast<TObject*>(square.get()), ISquare::IID));
    EXPECT_EQ(count(), 3);
    square.Reset();
    shape.Reset();
    EXPECT_EQ(count(), 1);
    unknown.Reset();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(InterfacesTest, ContainedPartSharesTheControllersCount) {
    class TLabel : public TImplements<TContainedObject, INamed> {
    public:
        using TImplements::TImplements;
        const char* Name() override { return "label"; }
    };
    // The controller answers INamed through the part it owns.
    class TLabelledSquare : public TSquare {
    public:
        TLabelledSquare() : TSquare(1.0), label_(std::make_unique<TLabel>(static_cast<ISquare*>(this))) {}
        bool GetInterface(const TGUID& iid, void** obj) override {
            return TSquare::GetInterface(iid, obj) || label_->GetInterface(iid, obj);
        }

    private:
        std::unique_ptr<TLabel> label_;
    };

    TIntfPtr<IShape> shape = MakeIntf<TLabelledSquare>();
    TIntfPtr<INamed> named = IntfCast<INamed>(shape);
    EXPECT_STREQ(named->Name(), "label");
    EXPECT_EQ(dynamic_cast<TInterfacedObject&>(*shape).RefCount(), 2);
    // The part answers only its own interfaces.
    EXPECT_FALSE(Supports(named, IShape::IID));
    shape.Reset();
    EXPECT_EQ(destroyed, 0);
    named.Reset();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(InterfacesTest, CountsStayExactAcrossThreads) {
    TIntfPtr<IShape> shape = MakeIntf<TSquare>(1.0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([shape] {
            for (int i = 0; i < 10000; ++i) {
                TIntfPtr<IShape> copy = shape;
                TIntfPtr<ISquare> square;
                Supports(copy, square);
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(dynamic_cast<TInterfacedObject&>(*shape).RefCount(), 1);
    shape.Reset();
    EXPECT_EQ(destroyed, 1);
}

} // namespace
