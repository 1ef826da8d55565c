#include "AgOpenDialog.h"

using namespace platform;

namespace {
// The places-bar switch of the dialog about to be shown: a hook receives
// only the record, not the component.
bool placesBarSwitch = true;

int runHook(FileDialogRecord &record, FileDialogFunction systemCall)
{
    FileDialogRecord own;
    static_cast<FileDialogRecordBase &>(own) = record;
    own.FlagsEx = placesBarSwitch ? 0 : OFN_EX_NOPLACESBAR;
    own.lStructSize = FileDialogRecordNewSize;
    const int result = systemCall(own);
    record = own;
    return result;
}
} // namespace

TAgOpenDialog::TAgOpenDialog(QObject *owner) : OpenDialog(owner), dialogFunction_(OpenFileNameHook) {}

bool TAgOpenDialog::Execute()
{
    if (!IsNewDialogAvailable())
        return OpenDialog::Execute();
    placesBarSwitch = ShowPlacesBar;
    return runDialog(dialogFunction_);
}

TAgSaveDialog::TAgSaveDialog(QObject *owner) : TAgOpenDialog(owner)
{
    dialogFunction_ = SaveFileNameHook;
}

bool TAgSaveDialog::Execute()
{
    if (IsNewDialogAvailable())
        return TAgOpenDialog::Execute();
    return runDialog(getSaveFileName);
}

bool IsNewDialogAvailable()
{
    return isNewFileDialogAvailable();
}

int OpenFileNameHook(FileDialogRecord &record)
{
    return runHook(record, getOpenFileName);
}

int SaveFileNameHook(FileDialogRecord &record)
{
    return runHook(record, getSaveFileName);
}
