// A source in asynchronous mode is read after the drop on a worker thread;
// the drop returns at once and the end is reported to the source.

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "DragDropFixture.h"
#include "controls/dragdrop/AsyncOperation.h"
#include "controls/dragdrop/DropTarget.h"
#include "platform/rtl/Threads.h"
#include "platform/ui/ControlFixture.h"
#include "platform/ui/StartedUiUnits.h"

namespace {

class TAsyncTestSource : public TImplements<TStoredDataObject, IAsyncOperation> {
public:
    explicit TAsyncTestSource(bool async) : async_(async) {}
    HRESULT SetAsyncMode(BOOL value) override {
        async_ = value;
        return S_OK;
    }
    HRESULT GetAsyncMode(BOOL* value) override {
        *value = async_;
        return S_OK;
    }
    HRESULT StartOperation(IInterface*) override {
        started = true;
        return S_OK;
    }
    HRESULT InOperation(BOOL* value) override {
        *value = started && !ended;
        return S_OK;
    }
    HRESULT EndOperation(HRESULT result, IInterface*, DWORD effect) override {
        endResult = result;
        endEffect = effect;
        ended = true;
        return S_OK;
    }

    std::atomic<bool> started = false, ended = false;
    std::atomic<HRESULT> endResult = S_FALSE;
    std::atomic<DWORD> endEffect = 0xFF;

private:
    std::atomic<BOOL> async_;
};

class DropAsyncTransferTest : public FormTest {
protected:
    void SetUp() override {
        StartDragDropUnits();
        form_ = ShownForm({0, 0, 300, 200});
        target_ = new TDropFileTarget(form_);
        target_->DragTypes = TDragTypes{dtCopy, dtMove, dtLink};
        target_->AllowAsyncTransfer = true;
        target_->SetTarget(form_);
        target_->OnStartAsyncTransfer = [this](TObject*) { ++starts_; };
        target_->OnEndAsyncTransfer = [this](TObject*) { endThread_ = std::this_thread::get_id(); };
        PumpMessages();
    }
    void TearDown() override {
        FormTest::TearDown();
        StopDragDropUnits();
    }

    TIntfPtr<TAsyncTestSource> Source(bool async) {
        auto source = MakeIntf<TAsyncTestSource>(async);
        source->SetFiles({u"/tmp/a.mkv"});
        return source;
    }
    POINTL Middle() {
        const TPoint p = form_->ClientToScreen({150, 100});
        return POINTL{p.X, p.Y};
    }
    HRESULT Enter(IDataObject* data) {
        DWORD effect = DROPEFFECT_COPY;
        return target_->DragEnter(data, MK_LBUTTON, Middle(), effect);
    }
    HRESULT DropOn(IDataObject* data) {
        DWORD effect = DROPEFFECT_COPY;
        return target_->Drop(data, MK_LBUTTON, Middle(), effect);
    }
    // Runs the calls the worker queues until the transfer has ended.
    void AwaitEnd() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (target_->AsyncTransfer() && std::chrono::steady_clock::now() < deadline) CheckSynchronize(10);
    }

    TStartedUiUnits units_;
    TForm* form_ = nullptr;
    TDropFileTarget* target_ = nullptr;
    int starts_ = 0;
    std::thread::id endThread_;
};

} // namespace

TEST_F(DropAsyncTransferTest, TheDropReturnsAtOnceAndTheHandlerRunsOnAWorker) {
    std::promise<void> gate;
    std::shared_future<void> opened = gate.get_future().share();
    std::atomic<bool> dropped = false;
    std::thread::id dropThread;
    std::vector<String> files;
    target_->OnDrop = [&](TObject*, TShiftState, TPoint, DWORD&) {
        opened.wait();
        dropThread = std::this_thread::get_id();
        files = StringsOf(target_->Files());
        dropped = true;
    };
    auto source = Source(true);
    ASSERT_EQ(Enter(source.get()), S_OK);
    EXPECT_EQ(DropOn(source.get()), S_OK);
    EXPECT_FALSE(dropped);
    EXPECT_TRUE(target_->AsyncTransfer());
    EXPECT_EQ(starts_, 1);
    auto other = Source(false);
    EXPECT_EQ(Enter(other.get()), E_UNEXPECTED) << "a new drag while the transfer runs";
    gate.set_value();
    AwaitEnd();
    EXPECT_TRUE(dropped);
    EXPECT_NE(dropThread, std::this_thread::get_id());
    EXPECT_EQ(endThread_, std::this_thread::get_id());
    EXPECT_EQ(files, (std::vector<String>{u"/tmp/a.mkv"}));
    EXPECT_TRUE(source->ended);
    EXPECT_EQ(source->endResult, S_OK);
    EXPECT_EQ(source->endEffect, DROPEFFECT_COPY);
    EXPECT_EQ(target_->DataObject(), nullptr);
    EXPECT_EQ(target_->Files().Count(), 0);
}

TEST_F(DropAsyncTransferTest, ASourceInSynchronousModeIsReadAtTheDrop) {
    std::thread::id dropThread;
    target_->OnDrop = [&](TObject*, TShiftState, TPoint, DWORD&) { dropThread = std::this_thread::get_id(); };
    auto source = Source(false);
    Enter(source.get());
    EXPECT_EQ(DropOn(source.get()), S_OK);
    EXPECT_EQ(dropThread, std::this_thread::get_id());
    EXPECT_EQ(starts_, 0);
    EXPECT_FALSE(source->started);
}

TEST_F(DropAsyncTransferTest, AFailureOnTheWorkerReachesTheSourceWithItsCode) {
    constexpr HRESULT kReadFault = static_cast<HRESULT>(0x8003001E);
    target_->OnDrop = [](TObject*, TShiftState, TPoint, DWORD&) { throw EOleSysError(u"read", kReadFault); };
    auto source = Source(true);
    Enter(source.get());
    EXPECT_EQ(DropOn(source.get()), S_OK);
    AwaitEnd();
    EXPECT_EQ(source->endResult, kReadFault);
    EXPECT_EQ(source->endEffect, DROPEFFECT_COPY);
    EXPECT_FALSE(target_->AsyncTransfer());
}
