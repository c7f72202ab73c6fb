#pragma once
// The desktop's own file chooser, as the file dialogs ask it: one request,
// answered by the chosen files, a cancel, or "not available" (no desktop
// service to ask), in which case the dialog shows its own window. The Qt
// backend registers the implementation that talks to the desktop; tests
// register fakes or point that implementation at a private bus.

#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/Types.h"

struct TFileChooserFilter {
    String name;
    std::vector<String> patterns; // as the dialog's filter has them ("*.mp4", "*.*")
};

struct TFileChooserRequest {
    bool save = false;
    HWND owner = nullptr; // the dialog's owner; the chooser stays above its top-level
    String title;
    bool multiple = false;
    std::vector<TFileChooserFilter> filters;
    int currentFilter = 0; // index into filters
    String currentFolder;  // empty: the chooser's choice
    String currentName;    // save: the proposed name
    String currentFile;    // save: an existing file to propose, empty when none
};

enum class TFileChooserOutcome { Chosen, Cancelled, Unavailable };

struct TFileChooserAnswer {
    TFileChooserOutcome outcome = TFileChooserOutcome::Unavailable;
    std::vector<String> files; // absolute paths, in the chooser's order
    int filter = -1;           // index into the request's filters; -1 when not told
};

class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    // Runs the window system's modal loop until answered; the thread's other
    // windows are disabled meanwhile and exactly those enabled again.
    virtual TFileChooserAnswer Choose(const TFileChooserRequest& request) = 0;
};

// Registers Chooser (null: none) and returns the previous one; it must
// outlive its registration.
IFileChooser* SetFileChooser(IFileChooser* chooser);
IFileChooser* FileChooser();

// Keeps Chooser registered while in scope.
class TFileChooserScope {
public:
    explicit TFileChooserScope(IFileChooser& chooser) : previous_(SetFileChooser(&chooser)) {}
    ~TFileChooserScope() { SetFileChooser(previous_); }
    TFileChooserScope(const TFileChooserScope&) = delete;
    TFileChooserScope& operator=(const TFileChooserScope&) = delete;

private:
    IFileChooser* previous_;
};

// Which file dialog Execute shows: the desktop's, falling back to ours, or
// ours only. The default comes from OSTREL_FILE_DIALOG ("builtin": ours only).
enum class TFileDialogMode { fdDesktopThenOwn, fdOwnOnly };
TFileDialogMode FileDialogMode();
void SetFileDialogMode(TFileDialogMode mode);
