#include <gtest/gtest.h>

#include "platform/win/WindowFixture.h"
#include "platform/win/dataxfer/DropRegistry.h"
#include "platform/win/dataxfer/StoredDataObject.h"

namespace {

class TDropRegistryTarget : public TImplements<TInterfacedObject, IDropTarget> {
public:
    HRESULT DragEnter(IDataObject*, DWORD, POINTL, DWORD&) override { return S_OK; }
    HRESULT DragOver(DWORD, POINTL, DWORD&) override { return S_OK; }
    HRESULT DragLeave() override { return S_OK; }
    HRESULT Drop(IDataObject*, DWORD, POINTL, DWORD&) override { return S_OK; }
};

class DropRegistryTest : public WindowTest {
protected:
    TIntfPtr<TDropRegistryTarget> target = MakeIntf<TDropRegistryTarget>();
};

TEST_F(DropRegistryTest, RegistrationCodes) {
    HWND top = Create(WS_OVERLAPPEDWINDOW, {0, 0, 200, 100});
    EXPECT_EQ(RegisterDragDrop(top, target.get()), S_OK);
    EXPECT_EQ(target->RefCount(), 2); // the registration holds one
    EXPECT_EQ(RegisterDragDrop(top, target.get()), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(RegisterDragDrop(nullptr, target.get()), DRAGDROP_E_INVALIDHWND);
    EXPECT_EQ(RegisterDragDrop(top, nullptr), E_INVALIDARG);
    EXPECT_EQ(RevokeDragDrop(top), S_OK);
    EXPECT_EQ(target->RefCount(), 1);
    EXPECT_EQ(RevokeDragDrop(top), DRAGDROP_E_NOTREGISTERED);
    EXPECT_EQ(RevokeDragDrop(nullptr), DRAGDROP_E_INVALIDHWND);
    EXPECT_EQ(RegisterDragDrop(top, target.get()), S_OK); // again after a revocation
    RevokeDragDrop(top);
}

TEST_F(DropRegistryTest, RegistrationDiesWithItsWindowAndItsChildren) {
    HWND top = Create(WS_OVERLAPPEDWINDOW, {0, 0, 200, 100});
    HWND child = Create(WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, top);
    auto second = MakeIntf<TDropRegistryTarget>();
    ASSERT_EQ(RegisterDragDrop(top, target.get()), S_OK);
    ASSERT_EQ(RegisterDragDrop(child, second.get()), S_OK);
    DestroyWindow(top);
    EXPECT_EQ(target->RefCount(), 1);
    EXPECT_EQ(second->RefCount(), 1);
    EXPECT_FALSE(FindDropTarget(child));
}

TEST_F(DropRegistryTest, TargetIsTheFirstRegisteredWindowGoingUp) {
    HWND top = Create(WS_OVERLAPPEDWINDOW, {0, 0, 200, 100});
    HWND panel = Create(WS_CHILD | WS_VISIBLE, {0, 0, 100, 100}, top);
    HWND deep = Create(WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, panel);
    HWND owned = Create(WS_POPUP, {0, 0, 50, 50}, top); // owned, not a child
    HWND found = deep;
    EXPECT_FALSE(FindDropTarget(deep, &found));
    EXPECT_EQ(found, nullptr);

    ASSERT_EQ(RegisterDragDrop(panel, target.get()), S_OK);
    EXPECT_EQ(FindDropTarget(deep, &found).get(), static_cast<IDropTarget*>(target.get()));
    EXPECT_EQ(found, panel);
    EXPECT_EQ(FindDropTarget(panel, &found).get(), static_cast<IDropTarget*>(target.get()));
    EXPECT_FALSE(FindDropTarget(top));

    auto topTarget = MakeIntf<TDropRegistryTarget>();
    ASSERT_EQ(RegisterDragDrop(top, topTarget.get()), S_OK);
    EXPECT_EQ(FindDropTarget(deep, &found).get(), static_cast<IDropTarget*>(target.get()));
    EXPECT_FALSE(FindDropTarget(owned)); // an owner is not a parent
    RevokeDragDrop(panel);
    EXPECT_EQ(FindDropTarget(deep, &found).get(), static_cast<IDropTarget*>(topTarget.get()));
    EXPECT_EQ(found, top);
    RevokeDragDrop(top);
}

TEST_F(DropRegistryTest, DragAcceptFilesSetsAndClearsTheStyle) {
    HWND top = Create(WS_OVERLAPPEDWINDOW, {0, 0, 200, 100});
    DragAcceptFiles(top, TRUE);
    EXPECT_TRUE(GetWindowLongPtrW(top, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    DragAcceptFiles(top, FALSE);
    EXPECT_FALSE(GetWindowLongPtrW(top, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST(OleRuntimeTest, InitialisationIsCounted) {
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE); // OLE initialised it
    CoUninitialize();
    OleUninitialize();
    OleUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
    OleUninitialize(); // one too many does no harm
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    OleUninitialize();
}

TEST(OleRuntimeTest, NoClassIsRegistered) {
    constexpr TGUID kDragImageHelper = TGUID::Parse("{4657278A-411B-11D2-839A-00C04FD918D0}");
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(kDragImageHelper, nullptr, CLSCTX_INPROC_SERVER, IDropTarget::IID, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
}

TEST(OleRuntimeTest, ClipboardHoldsAnObjectUntilClearedOrFlushed) {
    EXPECT_EQ(OleSetClipboard(nullptr), S_OK);
    auto data = MakeIntf<TStoredDataObject>();
    EXPECT_EQ(OleSetClipboard(data.get()), S_OK);
    EXPECT_EQ(data->RefCount(), 2);
    EXPECT_EQ(OleIsCurrentClipboard(data.get()), S_OK);
    TIntfPtr<IDataObject> current;
    EXPECT_EQ(OleGetClipboard(current), S_OK);
    EXPECT_EQ(current.get(), static_cast<IDataObject*>(data.get()));
    current.Reset();
    EXPECT_EQ(OleSetClipboard(nullptr), S_OK);
    EXPECT_EQ(data->RefCount(), 1);
    EXPECT_EQ(OleIsCurrentClipboard(data.get()), S_FALSE);
    OleSetClipboard(data.get());
    EXPECT_EQ(OleFlushClipboard(), S_OK);
    EXPECT_EQ(data->RefCount(), 1);
}

} // namespace

namespace {

TEST_F(DropRegistryTest, FilesGoToTheFirstWindowGoingUpThatAcceptsThem) {
    HWND top = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
    HWND panel = Create(WS_CHILD | WS_VISIBLE, {10, 10, 210, 110}, top);
    HWND edit = Create(WS_CHILD | WS_VISIBLE, {0, 0, 100, 50}, panel);
    EXPECT_EQ(FindFilesAcceptingWindow(edit), nullptr);
    DragAcceptFiles(panel, TRUE);
    EXPECT_EQ(FindFilesAcceptingWindow(edit), panel);
    DragAcceptFiles(edit, TRUE);
    EXPECT_EQ(FindFilesAcceptingWindow(edit), edit);

    std::vector<String> received;
    POINT where{};
    BOOL inClient = FALSE;
    Answer(edit, WM_DROPFILES, [&](WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        const auto drop = reinterpret_cast<HDROP>(wParam);
        inClient = DragQueryPoint(drop, &where);
        WCHAR name[64];
        for (UINT i = 0, n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); i < n; ++i)
            received.emplace_back(name, DragQueryFileW(drop, i, name, 64));
        DragFinish(drop);
        return 0;
    });
    POINT screen{30, 20};
    ClientToScreen(edit, &screen);
    ASSERT_TRUE(PostDroppedFiles(edit, {u"/tmp/视频 a.mp4", u"/b"}, screen));
    RunUntilIdle();
    EXPECT_EQ(received, (std::vector<String>{u"/tmp/视频 a.mp4", u"/b"}));
    EXPECT_EQ(where, (POINT{30, 20}));
    EXPECT_TRUE(inClient);

    screen = {-5, 5};
    ClientToScreen(edit, &screen);
    ASSERT_TRUE(PostDroppedFiles(edit, {u"/c"}, screen));
    RunUntilIdle();
    EXPECT_EQ(where, (POINT{-5, 5}));
    EXPECT_FALSE(inClient);
    EXPECT_FALSE(PostDroppedFiles(nullptr, {u"/c"}, screen));
}

} // namespace
