#pragma once
// The desktop's file chooser through the desktop portal's FileChooser
// interface (OpenFile, SaveFile). The request's Response signal is
// subscribed on its predictable path before the call, so a fast answer is
// not lost; the window system's modal loop runs while the desktop's dialog
// is open, and a WM_QUIT ending that loop closes the request. No Qt
// application, no bus, no portal, an error reply or no reply within the
// bounded time: unavailable.

#include <QString>

#include "platform/win/backend/qt/DbusBus.h"
#include "platform/win/shell/FileChooser.h"

class TPortalFileChooser final : public IFileChooser {
public:
    // How long the portal may take to take the request (not the user to choose).
    static constexpr int kReplyMilliseconds = 5000;

    explicit TPortalFileChooser(TDbusBus bus = {}, int replyMilliseconds = kReplyMilliseconds);
    TFileChooserAnswer Choose(const TFileChooserRequest& request) override;

private:
    TDbusBus bus_;
    int replyMilliseconds_;
};

// A dialog mask as the portal's glob that matches regardless of case:
// "*.mp4" gives "*.[mM][pP]4"; "*.*" gives "*".
QString PortalPattern(const String& mask);
