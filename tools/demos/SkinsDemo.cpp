// The PNG decoder on the real desktop, for looking at: a grid of the icon
// themes' own 48x48 pictures, each loaded by file name through the picture
// registry (so the skin units' registration for ".png" is what reaches the
// decoder) and drawn over a checker board. The bitmaps' own drawing is used:
// it shows the colour of every pixel, transparent ones included. Once the form
// shows, the screen is saved as PNG and the program ends. Run by
// scripts/screenshot.sh under Xvfb.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "DemoDesktop.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UiUnits.h"
#include "platform/ui/graphics/Picture.h"
#include "skins/PNGGraphic.h"
#include "skins/SkinsUnits.h"

namespace {

constexpr int kIconColumns = 10, kIconRows = 6;
constexpr int kCellSize = 64;   // room for a 48-pixel icon and its margin
constexpr int kCheckerSize = 8; // squares of the board the icons lie on
constexpr int kCaptionHeight = 28;

// Colourful icons (not the one-colour symbolic ones), spread over the themes' 48x48 folders.
std::vector<std::filesystem::path> IconFiles(size_t wanted) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("/usr/share/icons", ec)) {
        const std::string path = entry.path().string();
        if (entry.path().extension() == ".png" && path.find("/48x48/") != std::string::npos &&
            path.find("symbolic") == std::string::npos)
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<std::filesystem::path> chosen;
    const size_t step = std::max<size_t>(1, files.size() / wanted);
    for (size_t i = 0; i < files.size() && chosen.size() < wanted; i += step) chosen.push_back(files[i]);
    return chosen;
}

class TIconBoard : public TCustomControl {
public:
    TIconBoard(TComponent* owner, TWinControl* parent) : TCustomControl(owner) {
        for (const std::filesystem::path& file : IconFiles(kIconColumns * kIconRows)) {
            auto picture = std::make_unique<TPicture>();
            try {
                picture->LoadFromFile(String::FromUtf8(file.string()));
            } catch (const EInvalidGraphic& e) {
                std::fprintf(stderr, "%s: %s\n", file.c_str(), e.what());
                continue;
            }
            pictures_.push_back(std::move(picture));
        }
        SetAlign(alClient);
        SetParentColor(false);
        SetColor(clWindow);
        SetParent(parent);
    }
    size_t Count() const noexcept { return pictures_.size(); }

protected:
    void Paint() override {
        const TRect r = ClientRect();
        Canvas()->Brush()->SetColor(clBtnFace);
        Canvas()->FillRect(r);
        Canvas()->TextOut(10, 6, String(u"PNG 解码：") + IntToStr(int(pictures_.size())) + u" 个主题图标（/usr/share/icons）");
        const int width = kIconColumns * kCellSize, height = kIconRows * kCellSize;
        for (int y = 0; y < height; y += kCheckerSize)
            for (int x = 0; x < width; x += kCheckerSize) {
                Canvas()->Brush()->SetColor((x / kCheckerSize + y / kCheckerSize) % 2 ? TColor(0x00CCCCCC) : clWhite);
                Canvas()->FillRect(TRect{10 + x, kCaptionHeight + y, 10 + x + kCheckerSize, kCaptionHeight + y + kCheckerSize});
            }
        for (size_t i = 0; i < pictures_.size(); ++i) {
            TGraphic* icon = pictures_[i]->Graphic();
            const int column = int(i) % kIconColumns, row = int(i) / kIconColumns;
            Canvas()->Draw(10 + column * kCellSize + (kCellSize - icon->Width()) / 2,
                           kCaptionHeight + row * kCellSize + (kCellSize - icon->Height()) / 2, icon);
        }
    }

private:
    std::vector<std::unique_ptr<TPicture>> pictures_;
};

QString outputPath;
int exitCode = 1;

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (!InstallDemoDesktop(argc, argv, outputPath)) return 2;
    RegisterUiUnits();
    RegisterSkinsUnits();
    InitializeUnits();

    TForm* form = Application().CreateForm<TForm>();
    form->BeginLoading();
    form->SetCaption(u"皮肤图像");
    form->SetBounds(60, 40, kIconColumns * kCellSize + 36, kIconRows * kCellSize + kCaptionHeight + 60);
    auto* board = new TIconBoard(form, form);
    form->EndLoading();
    std::printf("%zu icons decoded\n", board->Count());

    TTimer grab(nullptr);
    grab.SetInterval(800);
    grab.SetOnTimer([&](TObject*) {
        grab.SetEnabled(false);
        exitCode = SaveScreen(outputPath) ? 0 : 1;
        Application().Terminate();
    });
    Application().Run();
    FinalizeUnits();
    UninstallQtDesktop();
    return exitCode;
}
