#pragma once

// Open and save dialogs that can show or hide the file dialog's places bar
// where the system has the newer dialog, and fall back to the plain dialogs
// elsewhere.

#include "ui/FileDialog.h"

class TAgOpenDialog : public platform::OpenDialog {
public:
    explicit TAgOpenDialog(QObject *owner = nullptr);

    bool ShowPlacesBar = true;

    bool Execute() override;

protected:
    platform::FileDialogFunction dialogFunction_;
};

class TAgSaveDialog : public TAgOpenDialog {
public:
    explicit TAgSaveDialog(QObject *owner = nullptr);

    bool Execute() override;
};

// Whether the running system has the newer file dialog; asked afresh each time.
bool IsNewDialogAvailable();

// The dialog functions: the system call with the places bar set as the
// component about to be shown asks.
int OpenFileNameHook(platform::FileDialogRecord &record);
int SaveFileNameHook(platform::FileDialogRecord &record);
