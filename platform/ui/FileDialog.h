#pragma once

// The system's file dialogs, run from a file-dialog record as the Windows
// calls are, and the system's version record.

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

namespace platform {

// Flags of the record
constexpr std::uint32_t OFN_READONLY = 0x1;
constexpr std::uint32_t OFN_OVERWRITEPROMPT = 0x2;
constexpr std::uint32_t OFN_HIDEREADONLY = 0x4;
constexpr std::uint32_t OFN_EXTENSIONDIFFERENT = 0x400;
constexpr std::uint32_t OFN_FILEMUSTEXIST = 0x1000;
constexpr std::uint32_t OFN_ENABLESIZING = 0x800000;
constexpr std::uint32_t OFN_EX_NOPLACESBAR = 0x1;

// Record sizes: the older form ends with lpTemplateName; the newer adds
// pvReserved, dwReserved and FlagsEx.
constexpr std::uint32_t FileDialogRecordOldSize = 76;
constexpr std::uint32_t FileDialogRecordNewSize = 88;

// The members of the older form, up to lpTemplateName.
struct FileDialogRecordBase {
    std::uint32_t lStructSize = 0;
    // "text|pattern;pattern|text|pattern..."
    QString lpstrFilter;
    // 1-based
    std::uint32_t nFilterIndex = 0;
    // The file buffer: the proposed name in, the chosen path out.
    QString lpstrFile;
    QString lpstrInitialDir;
    QString lpstrTitle;
    std::uint32_t Flags = 0;
    // Positions of the file name and of its extension within lpstrFile.
    std::uint16_t nFileOffset = 0;
    std::uint16_t nFileExtension = 0;
    // Without the dot
    QString lpstrDefExt;
    QString lpTemplateName;
};

struct FileDialogRecord : FileDialogRecordBase {
    void *pvReserved = nullptr;
    std::uint32_t dwReserved = 0;
    std::uint32_t FlagsEx = 0;
};

// The system calls: show the dialog modally, fill the record and return
// nonzero when the user chose a file; zero on cancel.
using FileDialogFunction = int (*)(FileDialogRecord &record);
int getOpenFileName(FileDialogRecord &record);
int getSaveFileName(FileDialogRecord &record);

constexpr std::uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;

// The system's version record.
struct OsVersionInfo {
    std::uint32_t dwOSVersionInfoSize = 148;
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;
    char szCSDVersion[128] = {};
};

static_assert(sizeof(OsVersionInfo) == 148);

// Fills the record of the running system; false when the query fails.
bool getVersionEx(OsVersionInfo &info);
// Replaces the running system's answer (tests); an empty provider restores it.
void setVersionProvider(std::function<bool(OsVersionInfo &)> provider);

// Whether the running system has the newer file dialog, the one with the
// places bar (Windows 2000, Me and later); a failing version query counts as
// an old system. Asked afresh each time.
bool isNewFileDialogAvailable();

// The class library's open-file dialog component.
class OpenDialog : public QObject {
public:
    explicit OpenDialog(QObject *owner = nullptr) : QObject(owner) {}

    QString DefaultExt;
    QString FileName;
    QString Filter;
    int FilterIndex = 1;
    QString InitialDir;
    QString Title;
    std::uint32_t Options = OFN_HIDEREADONLY | OFN_ENABLESIZING;

    // The plain dialog; true when the user chose a file.
    virtual bool Execute();

protected:
    // The class library's dialog routine: fills a zeroed record from the
    // properties, calls the function with it and reads the results back when
    // it returns nonzero.
    bool runDialog(FileDialogFunction dialogFunction);
};

// The class library's save-file dialog component.
class SaveDialog : public OpenDialog {
public:
    using OpenDialog::OpenDialog;
    bool Execute() override;
};

} // namespace platform
