// A desktop drop of many files, in one run:
//   the platform's road: a text/uri-list of local files becomes a CF_HDROP
//   block, read back name by name through DragQueryFileW;
//   the drop target's road: the same list becomes the drag's data object,
//   whose CF_HDROP block a file drop target reads into Files when the drag
//   enters (TFileClipboardFormat) and clears when it leaves (target: at most
//   1.5 times the platform's road);
//   both at 10,000 and 100,000 files, to show the work grows linearly;
//   the drop target's DragOver while 1 and while 10,000 files are dragged: it
//   reads no data and allocates nothing (target: the same time, ratio at most
//   1.2);
//   copying the bytes (the URI list and the block), for scale.
// Prints the ratios last.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AllocationCount.h"
#include "BenchTiming.h"
#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/DropTarget.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/Forms.h"
#include "platform/ui/UiUnits.h"
#include "platform/win/dataxfer/DropFiles.h"
#include "platform/win/dataxfer/IncomingData.h"
#include "platform/win/dataxfer/Media.h"
#include "platform/win/dataxfer/UriList.h"

namespace {

constexpr size_t kNameLength = 28; // "/home/user/视频/clip 00000.mp4"

std::string UriList(int files) {
    std::string list = "# dropped files\r\n";
    char line[128];
    for (int i = 0; i < files; ++i) {
        std::snprintf(line, sizeof line, "file:///home/user/%%E8%%A7%%86%%E9%%A2%%91/clip%%20%05d.mp4\r\n", i);
        list += line;
    }
    return list;
}

// Converts and reads back; the number of characters read.
size_t ConvertAndRead(const std::string& list) {
    HDROP drop = CreateDropFilesHandle(LocalFilesFromUriList(list, "box"));
    size_t characters = 0;
    std::u16string name;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        name.resize(DragQueryFileW(drop, i, nullptr, 0) + 1);
        characters += DragQueryFileW(drop, i, name.data(), UINT(name.size()));
    }
    DragFinish(drop);
    return characters;
}

class TTaskList : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
};

// A form whose task list has a file drop target set up as the main window's.
class TDropBench {
public:
    TDropBench() {
        RegisterUiUnits(units_);
        units_.Initialize();
        StartDragDropUnits();
        form_ = new TForm(&Application());
        form_->SetBounds(0, 0, 500, 400);
        taskList_ = new TTaskList(form_);
        taskList_->SetBounds(10, 10, 300, 250);
        taskList_->SetParent(form_);
        target_ = new TDropFileTarget(form_);
        target_->DragTypes = TDragTypes{dtCopy, dtMove, dtLink};
        target_->GetDataOnEnter = true;
        target_->SetTarget(taskList_);
        target_->OnDragOver = [this](TObject*, TShiftState, TPoint, DWORD& effect) {
            effect = target_->Files().Count() < 2 ? DROPEFFECT_LINK : DROPEFFECT_NONE;
        };
        form_->Show();
    }
    ~TDropBench() {
        FreeApplication();
        StopDragDropUnits();
        units_.Finalize();
    }

    // Converts, enters (reading Files) and leaves; the number of characters read.
    size_t EnterAndLeave(const std::string& list) {
        const TIntfPtr<TStoredDataObject> data = MakeIncomingDataObject(LocalFilesFromUriList(list, "box"), {});
        DWORD effect = kAllEffects;
        target_->DragEnter(data.get(), MK_LBUTTON, Middle(), effect);
        size_t characters = 0;
        for (int i = 0; i < target_->Files().Count(); ++i) characters += target_->Files()[i].size();
        target_->DragLeave();
        return characters;
    }

    // Enters with the files of List and leaves when Run is done.
    void WhileDragging(const std::string& list, const std::function<void()>& run) {
        const TIntfPtr<TStoredDataObject> data = MakeIncomingDataObject(LocalFilesFromUriList(list, "box"), {});
        DWORD effect = kAllEffects;
        target_->DragEnter(data.get(), MK_LBUTTON, Middle(), effect);
        run();
        target_->DragLeave();
    }
    // A move of one pixel to and fro.
    DWORD DragOver() {
        POINTL at = Middle();
        at.x += (step_ ^= 1);
        DWORD effect = kAllEffects;
        target_->DragOver(MK_LBUTTON, at, effect);
        return effect;
    }

private:
    static constexpr DWORD kAllEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    POINTL Middle() const {
        const TPoint p = taskList_->ClientToScreen({150, 125});
        return {p.X, p.Y};
    }

    TUnitRegistry units_;
    TForm* form_;
    TTaskList* taskList_;
    TDropFileTarget* target_;
    int step_ = 0;
};

} // namespace

int main() {
    const TTiming timing(15);
    TDropBench bench;
    double platformPerFile[2] = {}, targetPerFile[2] = {};
    double platformRoad = 0, targetRoad = 0, copy = 0;
    int round = 0;
    for (int files : {10000, 100000}) {
        const std::string list = UriList(files);
        const std::vector<uint8_t> block = WriteDropFiles(LocalFilesFromUriList(list, "box"));
        size_t read = 0, entered = 0;
        const double platform = timing.MedianSeconds([&] { read = ConvertAndRead(list); });
        const double target = timing.MedianSeconds([&] { entered = bench.EnterAndLeave(list); });
        if (read != size_t(files) * kNameLength || entered != read) {
            std::printf("read %zu and %zu characters, expected %zu\n", read, entered, size_t(files) * kNameLength);
            return 2;
        }
        const double copied = timing.MedianSeconds([&] {
            std::string listCopy = list;
            std::vector<uint8_t> blockCopy = block;
            if (listCopy.empty() || blockCopy.empty()) std::abort();
        });
        std::printf("%6d files: platform road %8.3f ms, drop target road %8.3f ms, copy the bytes %8.3f ms\n", files,
                    platform * 1e3, target * 1e3, copied * 1e3);
        platformPerFile[round] = platform / files;
        targetPerFile[round++] = target / files;
        if (files == 10000) {
            platformRoad = platform;
            targetRoad = target;
            copy = copied;
        }
    }

    double over[2] = {};
    long allocations[2] = {};
    round = 0;
    DWORD effect = 0;
    for (int files : {1, 10000}) {
        bench.WhileDragging(UriList(files), [&] {
            over[round] = TTiming(31).Repeat(10000).MedianSeconds([&] { effect |= bench.DragOver(); });
            allocations[round] = AllocationsPerCall([&] { effect |= bench.DragOver(); });
        });
        std::printf("DragOver while %5d files are dragged: %7.1f ns, %ld allocations\n", files, over[round] * 1e9,
                    allocations[round]);
        ++round;
    }
    if (effect != (DROPEFFECT_LINK)) {
        std::printf("DragOver answered %u, expected a link for one file and nothing for many\n", unsigned(effect));
        return 2;
    }

    std::printf("ratio convert-and-read/copy at 10,000 files: %.1f\n", platformRoad / copy);
    std::printf("time per file, 100,000 against 10,000 files: platform road %.2f, drop target road %.2f\n",
                platformPerFile[1] / platformPerFile[0], targetPerFile[1] / targetPerFile[0]);
    std::printf("ratio DragOver with 10,000 files/with 1 file: %.2f (at most 1.2)\n", over[1] / over[0]);
    std::printf("ratio drop target road/platform road at 10,000 files: %.2f (at most 1.5)\n", targetRoad / platformRoad);
    return 0;
}
