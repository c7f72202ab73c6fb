#include "FileDialogFixture.h"

#include "platform/ui/graphics/ImageList.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/shell/FileIcons.h"
#include "platform/win/shell/IconPixels.h"

namespace {

using OwnFileDialog = FileDialogTest;

// A theme that tells the fixture's types by extension and has a stock icon
// for each type and place it knows, none for text and the other places.
class TStockIconTheme : public IFileIconTheme {
public:
    String MimeTypeOf(const String& path, bool folder) override {
        if (folder) return u"inode/directory";
        const String extension = LowerCase(ExtractFileExt(path));
        return extension == u".mp4" ? u"video/mp4" : extension == u".mkv" ? u"video/x-matroska" : u"text/plain";
    }
    HICON MimeTypeIcon(const String& mimeType, int size) override {
        const LPCWSTR stock = mimeType == u"video/mp4"          ? IDI_ERROR
                              : mimeType == u"video/x-matroska" ? IDI_WARNING
                              : mimeType == u"inode/directory"  ? IDI_INFORMATION
                                                                : nullptr;
        return Stock(stock, size);
    }
    HICON NamedIcon(const String& name, int size) override {
        return Stock(name == u"user-home" ? IDI_QUESTION : nullptr, size);
    }
    static HICON Stock(LPCWSTR name, int size) {
        return name ? static_cast<HICON>(LoadImageW(nullptr, name, IMAGE_ICON, size, size, 0)) : nullptr;
    }
};

std::vector<uint32_t> ImagePixels(TImageList* images, int index) {
    return TakeIconPixels(ImageList_GetIcon(images->Handle(), index, ILD_NORMAL));
}

TEST_F(OwnFileDialog, ListsFoldersAndMatchingFilesAndAcceptsATypedName) {
    TOpenDialog* dialog = Dialog();
    TIdleSteps steps({
        [&] {
            EXPECT_EQ(Shown()->Folder(), folder);
            EXPECT_EQ(Listed(), (std::vector<String>{u"sub", u"a.mp4", u"B.MKV"}));
            EXPECT_FALSE(IsWindowEnabled(main->Handle())) << "the owner waits for the dialog";
            Shown()->FilterCombo()->SetFocus();
            DesktopPress(VK_DOWN);
        },
        [&] {
            EXPECT_EQ(Listed(), (std::vector<String>{u"sub", u"a.mp4", u"B.MKV", u"c.txt"}));
            TypeName(u"a.mp4");
            DesktopPress(VK_RETURN);
        },
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->FileName(), In(u"a.mp4"));
    EXPECT_EQ(dialog->Files()->Count(), 1);
    EXPECT_EQ(dialog->FilterIndex(), 2);
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
}

TEST_F(OwnFileDialog, CancelKeepsTheFileNameAndAQuitEndsTheDialogCancelled) {
    TOpenDialog* dialog = Dialog();
    dialog->SetFileName(u"/before/x.mp4");
    {
        TIdleSteps steps({[] { DesktopPress(VK_ESCAPE); }});
        EXPECT_FALSE(dialog->Execute());
    }
    {
        TIdleSteps steps({[] { PostQuitMessage(3); }});
        EXPECT_FALSE(dialog->Execute());
    }
    EXPECT_EQ(dialog->FileName(), u"/before/x.mp4");
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is posted again";
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(OwnFileDialog, ASaveDialogTakesANameFromTheInputMethodAndAddsTheDefaultExtension) {
    const struct {
        const char* name;
        std::function<void()> typing;
        const char16_t* expected;
    } cases[] = {
        {"committed text and typed text", [] { DesktopImeCommit(u"视频"); Type(u".mp4"); }, u"视频.mp4"},
        {"no extension: the default one", [] { Type(u"out"); }, u"out.mp4"},
        {"an extension of its own", [] { Type(u"out.mkv"); }, u"out.mkv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TSaveDialog* dialog = Dialog<TSaveDialog>();
        dialog->SetDefaultExt(u"mp4");
        TIdleSteps steps({[&] {
            Shown()->FileNameControl()->SetFocus();
            c.typing();
            DesktopPress(VK_RETURN);
        }});
        EXPECT_TRUE(dialog->Execute());
        EXPECT_EQ(dialog->FileName(), In(c.expected));
    }
}

TEST_F(OwnFileDialog, CtrlClickedFilesFillFilesInListOrder) {
    TOpenDialog* dialog = Dialog({ofAllowMultiSelect});
    TIdleSteps steps({
        [&] {
            ASSERT_EQ(Listed(), (std::vector<String>{u"sub", u"a.mp4", u"B.MKV"}));
            DesktopClick(ItemPoint(2));
            DesktopKey(VK_CONTROL, true);
            DesktopClick(ItemPoint(1));
            DesktopKey(VK_CONTROL, false);
        },
        [&] {
            EXPECT_EQ(Shown()->FileList()->SelCount(), 2);
            DesktopPress(VK_RETURN);
        },
    });
    EXPECT_TRUE(dialog->Execute());
    ASSERT_EQ(dialog->Files()->Count(), 2);
    EXPECT_EQ(dialog->Files()->Strings(0), In(u"a.mp4"));
    EXPECT_EQ(dialog->Files()->Strings(1), In(u"B.MKV"));
    EXPECT_EQ(dialog->FileName(), In(u"a.mp4"));
}

TEST_F(OwnFileDialog, AMissingFileOrFolderIsRefusedWhenItMustExist) {
    const struct {
        TOpenOption option;
        const char16_t* typed;
    } cases[] = {{ofFileMustExist, u"missing.mp4"}, {ofPathMustExist, u"none/x.mp4"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(String(c.typed));
        TOpenDialog* dialog = Dialog({c.option});
        bool lastStepRun = false;
        TIdleSteps steps({
            [&] {
                TypeName(c.typed);
                DesktopPress(VK_RETURN);
            },
            [] {
                EXPECT_TRUE(MessageBoxShown());
                DesktopPress(VK_RETURN);
            },
            [&] {
                EXPECT_FALSE(MessageBoxShown());
                EXPECT_TRUE(Shown() && IsWindowVisible(Shown()->Handle())) << "the dialog stays open";
                lastStepRun = true;
                DesktopPress(VK_ESCAPE);
            },
        });
        EXPECT_FALSE(dialog->Execute());
        EXPECT_TRUE(lastStepRun);
    }
}

TEST_F(OwnFileDialog, ReplacingAFileIsAskedNoKeepsTheDialogYesAccepts) {
    TSaveDialog* dialog = Dialog<TSaveDialog>({ofOverwritePrompt});
    bool lastStepRun = false;
    TIdleSteps steps({
        [] {
            TypeName(u"a.mp4");
            DesktopPress(VK_RETURN);
        },
        [] {
            EXPECT_TRUE(MessageBoxShown());
            DesktopPress('N', u"n");
        },
        [] {
            EXPECT_FALSE(MessageBoxShown());
            DesktopPress(VK_RETURN);
        },
        [&] {
            EXPECT_TRUE(MessageBoxShown());
            lastStepRun = true;
            DesktopPress(VK_RETURN);
        },
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_TRUE(lastStepRun) << "No kept the dialog open";
    EXPECT_EQ(dialog->FileName(), In(u"a.mp4"));
}

TEST_F(OwnFileDialog, FoldersOpenByTypingByDoubleClickAndBackspaceGoesUp) {
    TOpenDialog* dialog = Dialog();
    bool lastStepRun = false;
    TIdleSteps steps({
        [] {
            TypeName(u"sub");
            DesktopPress(VK_RETURN);
        },
        [&] {
            EXPECT_EQ(Shown()->Folder(), In(u"sub"));
            EXPECT_EQ(Shown()->FileNameControl()->Text(), u"");
            EXPECT_TRUE(Listed().empty());
            Shown()->FileList()->SetFocus();
            DesktopPress(VK_BACK);
        },
        [&] {
            EXPECT_EQ(Shown()->Folder(), folder);
            const POINT sub = ItemPoint(0);
            DesktopClick(sub);
            DesktopClick(sub);
        },
        [&] {
            EXPECT_EQ(Shown()->Folder(), In(u"sub"));
            ClickOn(Shown()->UpButton());
        },
        [&] {
            EXPECT_EQ(Shown()->Folder(), folder);
            lastStepRun = true;
            // A full path accepts whatever the filter shows.
            TypeName(In(u"c.txt"));
            DesktopPress(VK_RETURN);
        },
    });
    EXPECT_TRUE(dialog->Execute());
    EXPECT_TRUE(lastStepRun);
    EXPECT_EQ(dialog->FileName(), In(u"c.txt"));
}

TEST_F(OwnFileDialog, TheComboStyleOffersTheHistory) {
    TOpenDialog* dialog = Dialog();
    dialog->SetFileEditStyle(fsComboBox);
    dialog->HistoryList()->Add(In(u"B.MKV"));
    TIdleSteps steps({[] {
        auto* combo = dynamic_cast<TComboBox*>(Shown()->FileNameControl());
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->Items()->Count(), 1);
        combo->SetItemIndex(0);
        DesktopPress(VK_RETURN);
    }});
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->FileName(), In(u"B.MKV"));
}

TEST_F(OwnFileDialog, ThePlacesOfferTheUsersFoldersAndOpenThem) {
    const std::filesystem::path config = FreshTestFolder("filedialog-config");
    std::ofstream(config / "user-dirs.dirs") << "XDG_VIDEOS_DIR=\"" << In(u"sub").ToUtf8() << "\"\n";
    const char* before = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = before ? before : "";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    TOpenDialog* dialog = Dialog();
    TIdleSteps steps({
        [&] {
            TListBox* places = Shown()->Places();
            EXPECT_EQ(places->Items()->Strings(0), u"主文件夹");
            const int videos = places->Items()->IndexOf(u"视频");
            ASSERT_GE(videos, 0);
            EXPECT_EQ(Shown()->PlaceFolders()[size_t(videos)], In(u"sub"));
            EXPECT_GE(places->Items()->IndexOf(u"文件系统"), 0);
            places->SetFocus();
            places->SetItemIndex(videos - 1);
            DesktopPress(VK_DOWN);
        },
        [&] {
            EXPECT_EQ(Shown()->Folder(), In(u"sub"));
            DesktopPress(VK_ESCAPE);
        },
    });
    EXPECT_FALSE(dialog->Execute());
    if (before) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
}

TEST_F(OwnFileDialog, EntriesAndPlacesShowTheThemesPictureElseOurArtwork) {
    const std::vector<uint32_t> ownFile = TakeIconPixels(ArtworkIcon(TFileIconKind::File, 16));
    const std::vector<uint32_t> ownFolder = TakeIconPixels(ArtworkIcon(TFileIconKind::Folder, 16));
    const auto stock = [](LPCWSTR name) { return TakeIconPixels(TStockIconTheme::Stock(name, 16)); };
    const struct {
        bool themed;
        std::vector<std::vector<uint32_t>> entries; // sub, a.mp4, B.MKV, c.txt
        std::vector<uint32_t> home, root;
    } cases[] = {
        {true, {stock(IDI_INFORMATION), stock(IDI_ERROR), stock(IDI_WARNING), ownFile}, stock(IDI_QUESTION), ownFolder},
        {false, {ownFolder, ownFile, ownFile, ownFile}, ownFolder, ownFolder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.themed ? "themed" : "no theme");
        TStockIconTheme theme;
        IFileIconTheme* const previous = SetFileIconTheme(c.themed ? &theme : nullptr);
        TOpenDialog* dialog = Dialog();
        dialog->SetFilterIndex(2);
        TIdleSteps steps({[&] {
            TListItems* items = Shown()->FileList()->Items();
            ASSERT_EQ(Listed(), (std::vector<String>{u"sub", u"a.mp4", u"B.MKV", u"c.txt"}));
            for (int i = 0; i < items->Count(); ++i)
                EXPECT_EQ(ImagePixels(Shown()->Icons(), items->Item(i)->ImageIndex()), c.entries[size_t(i)]) << i;
            TListBox* places = Shown()->Places();
            EXPECT_EQ(ImagePixels(Shown()->Icons(), Shown()->PlaceImage(0)), c.home);
            const int root = places->Items()->IndexOf(u"文件系统");
            ASSERT_GE(root, 0);
            EXPECT_EQ(ImagePixels(Shown()->Icons(), Shown()->PlaceImage(root)), c.root);
            DesktopPress(VK_ESCAPE);
        }});
        EXPECT_FALSE(dialog->Execute());
        SetFileIconTheme(previous);
    }
}

TEST_F(OwnFileDialog, ResizingKeepsTheButtonsRightAndGivesTheListTheRoom) {
    TOpenDialog* dialog = Dialog();
    TIdleSteps steps({[] {
        TFileDialogForm* form = Shown();
        EXPECT_EQ(form->BorderStyle(), bsSizeable);
        const auto rightGap = [form](TControl* c) {
            return form->ClientWidth() - form->ScreenToClient(c->ClientToScreen({c->Width(), 0})).X;
        };
        const int okGap = rightGap(form->OkButton()), cancelGap = rightGap(form->CancelButton());
        const int listWidth = form->FileList()->Width(), listHeight = form->FileList()->Height();
        form->SetBounds(form->Left(), form->Top(), form->Width() + 200, form->Height() + 100);
        EXPECT_EQ(rightGap(form->OkButton()), okGap);
        EXPECT_EQ(rightGap(form->CancelButton()), cancelGap);
        EXPECT_EQ(form->FileList()->Width(), listWidth + 200);
        EXPECT_EQ(form->FileList()->Height(), listHeight + 100);
        EXPECT_EQ(form->FileNameControl()->Width(), 640 - 104 - 96 + 200);
        DesktopPress(VK_ESCAPE);
    }});
    EXPECT_FALSE(dialog->Execute());
}

TEST_F(OwnFileDialog, StartFoldersThatDoNotExistStartAtTheLastFolderOrHome) {
    RememberFileDialogFolder(String());
    const struct {
        const char* name;
        String initial, fileName, expected;
    } cases[] = {
        {"an existing folder", folder + u"/sub/", u"", In(u"sub")},
        {"a Windows path", u"C:\\conversion", u"", HomeFolder()},
        {"the root of a drive", u"\\", u"", HomeFolder()},
        {"the folder of the file name", u"", In(u"a.mp4"), folder},
        {"a missing folder", In(u"none"), u"", HomeFolder()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileDialogStartFolder(c.initial, c.fileName), c.expected);
    }
    RememberFileDialogFolder(In(u"sub"));
    EXPECT_EQ(FileDialogStartFolder(u"", u""), In(u"sub"));
    EXPECT_EQ(FileDialogStartFolder(u"C:\\conversion", u""), In(u"sub"));
    RememberFileDialogFolder(String());
}

} // namespace
