#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "TestPins.h"
#include "platform/media/Enumerators.h"
#include "platform/media/MemAllocator.h"

using namespace media_test;

namespace {

// An output pin on one host filter and an input pin on another; every object
// made must be freed by the end of the test.
class BaseClassTest : public ::testing::Test {
protected:
    void SetUp() override {
        objectsBefore_ = TBCBaseObject::ObjectCount();
        upstream_ = MakeIntf<THostFilter>();
        downstream_ = MakeIntf<THostFilter>();
        out_ = upstream_->Add<TFakeOutputPin>();
        in_ = downstream_->Add<TFakeInputPin>();
        out_->Types.push_back(Yv12Type());
        in_->Types.push_back(Yv12Type());
    }
    void TearDown() override {
        upstream_->Stop();
        downstream_->Stop();
        DisconnectPair(out_, in_);
        out_ = nullptr;
        in_ = nullptr;
        upstream_.Reset();
        downstream_.Reset();
        EXPECT_EQ(TBCBaseObject::ObjectCount(), objectsBefore_);
    }

    TIntfPtr<THostFilter> upstream_, downstream_;
    TFakeOutputPin* out_ = nullptr;
    TFakeInputPin* in_ = nullptr;

private:
    int objectsBefore_ = 0;
};

struct TConnectCase {
    const char* name;
    std::function<void(BaseClassTest&, TFakeOutputPin&, TFakeInputPin&, THostFilter&)> arrange;
    bool fullType; // connect with a fully specified YV12 type instead of none
    HRESULT expected;
};

constexpr HRESULT kRememberedError = static_cast<HRESULT>(0x80041234);

TEST_F(BaseClassTest, ConnectResultsFollowTheProtocol) {
    const TConnectCase cases[] = {
        {"connects", [](auto&, auto&, auto&, auto&) {}, false, S_OK},
        {"paused filter", [](auto&, auto&, auto&, THostFilter& up) { up.Pause(); }, false, VFW_E_NOT_STOPPED},
        {"connected twice",
         [](auto&, TFakeOutputPin& out, TFakeInputPin& in, auto&) { ASSERT_EQ(out.Connect(&in, nullptr), S_OK); },
         false, VFW_E_ALREADY_CONNECTED},
        {"every type refused",
         [](auto&, auto&, TFakeInputPin& in, auto&) { in.Accepted = {MEDIASUBTYPE_RGB32}; }, false,
         VFW_E_NO_ACCEPTABLE_TYPES},
        {"E_FAIL from CheckMediaType", [](auto&, TFakeOutputPin& out, auto&, auto&) { out.CheckResult = E_FAIL; },
         true, VFW_E_TYPE_NOT_ACCEPTED},
        {"positive CheckMediaType", [](auto&, TFakeOutputPin& out, auto&, auto&) { out.CheckResult = S_FALSE; },
         true, VFW_E_TYPE_NOT_ACCEPTED},
        {"other error remembered",
         [](auto&, auto&, TFakeInputPin& in, auto&) { in.CheckResult = kRememberedError; }, false,
         kRememberedError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.arrange(*this, *out_, *in_, *upstream_);
        const TMediaType full = Yv12Type();
        EXPECT_EQ(out_->Connect(in_, c.fullType ? &full.get() : nullptr), c.expected);
        upstream_->Stop();
    }
}

TEST_F(BaseClassTest, ConnectingToAPinOfTheSameDirectionFails) {
    auto* otherOut = downstream_->Add<TFakeOutputPin>(u"Out2");
    otherOut->Types.push_back(Yv12Type());
    EXPECT_EQ(out_->Connect(otherOut, nullptr), VFW_E_INVALID_DIRECTION);
    EXPECT_FALSE(out_->IsConnected());
}

TEST_F(BaseClassTest, ReceivingPinTypesComeFirstUnlessTheFlagIsSet) {
    out_->Types = {Rgb32Type()};
    for (bool ownFirst : {false, true}) {
        SCOPED_TRACE(ownFirst);
        out_->SetTryOwnTypesFirst(ownFirst);
        ASSERT_EQ(out_->Connect(in_, nullptr), S_OK);
        EXPECT_EQ(in_->CurrentMediaType()->subtype, ownFirst ? MEDIASUBTYPE_RGB32 : MEDIASUBTYPE_YV12);
        EXPECT_TRUE(MediaTypesEqual(out_->CurrentMediaType().get(), in_->CurrentMediaType().get()));
        DisconnectPair(out_, in_);
    }
}

TEST_F(BaseClassTest, AllocatorIsTheInputPinsUnlessItRefusesIt) {
    for (HRESULT answer : {S_OK, E_FAIL}) {
        SCOPED_TRACE(answer);
        in_->OwnAllocatorResult = answer;
        ASSERT_EQ(out_->Connect(in_, nullptr), S_OK);
        ASSERT_NE(out_->Allocator(), nullptr);
        EXPECT_EQ(out_->Allocator() == in_->Offered(), answer == S_OK);
        // Either way both ends agree on the allocator in use.
        EXPECT_EQ(in_->Allocator(), out_->Allocator());
        DisconnectPair(out_, in_);
    }
}

TEST_F(BaseClassTest, DisconnectNeedsAStoppedFilterAndAConnection) {
    EXPECT_EQ(out_->Disconnect(), S_FALSE);
    ASSERT_EQ(out_->Connect(in_, nullptr), S_OK);
    ASSERT_EQ(upstream_->Pause(), S_OK);
    EXPECT_EQ(out_->Disconnect(), VFW_E_NOT_STOPPED);
    ASSERT_EQ(upstream_->Stop(), S_OK);
    EXPECT_EQ(out_->Disconnect(), S_OK);
    TIntfPtr<IPin> other;
    EXPECT_EQ(out_->ConnectedTo(other), VFW_E_NOT_CONNECTED);
}

TEST_F(BaseClassTest, ConnectionMediaTypeOfAnUnconnectedPinIsEmpty) {
    AM_MEDIA_TYPE type;
    EXPECT_EQ(out_->ConnectionMediaType(&type), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(type.majortype, GUID_NULL);
    ASSERT_EQ(out_->Connect(in_, nullptr), S_OK);
    EXPECT_EQ(out_->ConnectionMediaType(&type), S_OK);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_YV12);
    FreeMediaType(type);
}

TEST_F(BaseClassTest, StopVisitsEveryPinAndReturnsTheFirstFailure) {
    auto* out2 = upstream_->Add<TFakeOutputPin>(u"Out2");
    auto* in2 = downstream_->Add<TFakeInputPin>(u"In2");
    out2->Types.push_back(Yv12Type());
    ASSERT_EQ(out_->Connect(in_, nullptr), S_OK);
    ASSERT_EQ(out2->Connect(in2, nullptr), S_OK);
    ASSERT_EQ(upstream_->Pause(), S_OK);
    out_->InactiveResult = E_FAIL;
    out2->InactiveResult = kRememberedError;
    EXPECT_EQ(upstream_->Stop(), E_FAIL);
    EXPECT_EQ(out2->InactiveCalls, 1);
    EXPECT_TRUE(upstream_->IsStopped());
    DisconnectPair(out2, in2);
}

TEST_F(BaseClassTest, PinEnumeratorStartsAgainWithoutRepeatingAPin) {
    TIntfPtr<IEnumPins> pins;
    ASSERT_EQ(upstream_->EnumPins(pins), S_OK);
    TIntfPtr<IPin> got[2];
    ULONG fetched = 0;
    ASSERT_EQ(pins->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(got[0].get(), static_cast<IPin*>(out_));
    auto* added = upstream_->Add<TFakeOutputPin>(u"Added");
    EXPECT_EQ(pins->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].get(), static_cast<IPin*>(added));
    EXPECT_EQ(pins->Next(2, got, nullptr), E_INVALIDARG);
}

TEST_F(BaseClassTest, TypeEnumeratorIsOutOfSyncUntilReset) {
    TIntfPtr<IEnumMediaTypes> types;
    ASSERT_EQ(in_->EnumMediaTypes(types), S_OK);
    in_->IncrementTypeVersion();
    AM_MEDIA_TYPE* type = nullptr;
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(1, &type, &fetched), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_EQ(types->Skip(1), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_EQ(types->Next(1, &type, &fetched), VFW_E_ENUM_OUT_OF_SYNC);
    ASSERT_EQ(types->Reset(), S_OK);
    ASSERT_EQ(types->Next(1, &type, &fetched), S_OK);
    EXPECT_TRUE(MediaTypesEqual(*type, in_->Types[0].get()));
    DeleteMediaType(type);
    EXPECT_EQ(types->Next(1, &type, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
}

TEST_F(BaseClassTest, SegmentAndEventsPassDownstream) {
    ASSERT_EQ(out_->Connect(in_, nullptr), S_OK);
    EXPECT_EQ(out_->DeliverNewSegment(10, 20, 1.0), S_OK);
    EXPECT_EQ(in_->CurrentStartTime(), 10);
    EXPECT_EQ(in_->CurrentStopTime(), 20);
    EXPECT_EQ(out_->DeliverBeginFlush(), S_OK);
    EXPECT_TRUE(in_->IsFlushing());
    EXPECT_EQ(out_->DeliverEndFlush(), S_OK);
    EXPECT_FALSE(in_->IsFlushing());
    EXPECT_EQ(out_->BeginFlush(), E_UNEXPECTED);
}

TEST(MediaTypeRecordsTest, PartialMatch) {
    const TMediaType yv12 = Yv12Type(), rgb = Rgb32Type();
    TMediaType anything;
    anything->bFixedSizeSamples = false;
    TMediaType videoOnly;
    videoOnly->majortype = MEDIATYPE_Video;
    TMediaType audioOnly;
    audioOnly->majortype = MEDIATYPE_Audio;
    struct {
        const TMediaType& pattern;
        const TMediaType& type;
        bool matches;
    } const cases[] = {
        {anything, yv12, true},   {anything, rgb, true},  {videoOnly, yv12, true},
        {audioOnly, yv12, false}, {yv12, yv12, true},     {yv12, rgb, false},
        {Yv12Type(64, 32), Yv12Type(64, 48), false},
    };
    for (const auto& c : cases) EXPECT_EQ(MediaTypeMatchesPartial(c.pattern.get(), c.type.get()), c.matches);
}

TEST(MediaTypeRecordsTest, CopyOwnsItsFormatBlock) {
    const TMediaType yv12 = Yv12Type();
    TMediaType copy(yv12.get());
    EXPECT_NE(copy->pbFormat, yv12->pbFormat);
    EXPECT_TRUE(MediaTypesEqual(copy.get(), yv12.get()));
    copy.Clear();
    EXPECT_EQ(copy->cbFormat, 0u);
}

TEST(MemAllocatorTest, DecommitReleasesAWaitingGetBuffer) {
    auto allocator = MakeIntf<TMemAllocator>();
    ALLOCATOR_PROPERTIES props{1, 64, 16, 0}, actual{};
    ASSERT_EQ(allocator->SetProperties(props, actual), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    TIntfPtr<IMediaSample> held, waited;
    ASSERT_EQ(allocator->GetBuffer(held, nullptr, nullptr, 0), S_OK);
    BYTE* buffer = nullptr;
    held->GetPointer(&buffer);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer) % 16, 0u);
    std::atomic<HRESULT> result{S_OK};
    std::thread waiter([&] { result = allocator->GetBuffer(waited, nullptr, nullptr, 0); });
    while (result == S_OK && allocator->OutstandingCount() != 1) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    allocator->Decommit();
    waiter.join();
    EXPECT_EQ(result, VFW_E_NOT_COMMITTED);
    EXPECT_FALSE(waited);
    held.Reset();
    EXPECT_EQ(allocator->OutstandingCount(), 0);
}

TEST(MemAllocatorTest, SamplesComeBackCleared) {
    auto allocator = MakeIntf<TMemAllocator>();
    ALLOCATOR_PROPERTIES props{1, 64, 1, 0}, actual{};
    ASSERT_EQ(allocator->SetProperties(props, actual), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    TIntfPtr<IMediaSample> sample;
    ASSERT_EQ(allocator->GetBuffer(sample, nullptr, nullptr, 0), S_OK);
    const REFERENCE_TIME start = 5, stop = 9;
    sample->SetTime(&start, &stop);
    sample->SetDiscontinuity(true);
    sample->SetActualDataLength(3);
    sample->SetMediaType(&Rgb32Type().get());
    sample.Reset();
    ASSERT_EQ(allocator->GetBuffer(sample, nullptr, nullptr, 0), S_OK);
    REFERENCE_TIME a, b;
    EXPECT_EQ(sample->GetTime(&a, &b), VFW_E_SAMPLE_TIME_NOT_SET);
    EXPECT_EQ(sample->IsDiscontinuity(), S_FALSE);
    EXPECT_EQ(sample->GetActualDataLength(), 64);
    AM_MEDIA_TYPE* type = nullptr;
    EXPECT_EQ(sample->GetMediaType(&type), S_FALSE);
}

} // namespace
