#pragma once
// The bases of the extended controls' dialogs: the framework's common dialog
// whose Execute each dialog writes. The variants tell the dialogs that
// derive from them apart (P: the desktop alert; F: the folder dialog).

#include "platform/ui/dialogs/Dialogs.h"

class TXcCommonDialog : public TCommonDialog {
    RTL_CLASS(TXcCommonDialog, TCommonDialog);

public:
    using TCommonDialog::TCommonDialog;
};

class TXcCommonDialogP : public TXcCommonDialog {
    RTL_CLASS(TXcCommonDialogP, TXcCommonDialog);

public:
    using TXcCommonDialog::TXcCommonDialog;
};

class TXcCommonDialogF : public TXcCommonDialog {
    RTL_CLASS(TXcCommonDialogF, TXcCommonDialog);

public:
    using TXcCommonDialog::TXcCommonDialog;
};
