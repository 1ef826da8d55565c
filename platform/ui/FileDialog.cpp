#include "FileDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace platform {

namespace {

std::function<bool(OsVersionInfo &)> &installedVersionProvider()
{
    static std::function<bool(OsVersionInfo &)> provider;
    return provider;
}

// This platform offers the newer dialog: it reports itself as an NT of today.
bool runningSystemVersion(OsVersionInfo &info)
{
    if (info.dwOSVersionInfoSize != sizeof(OsVersionInfo))
        return false;
    info.dwMajorVersion = 10;
    info.dwMinorVersion = 0;
    info.dwBuildNumber = 0;
    info.dwPlatformId = VER_PLATFORM_WIN32_NT;
    info.szCSDVersion[0] = '\0';
    return true;
}

// Qt's file list writes sizes and dates in the system's locale, not the
// programs' Czech one, and asks for the folders' kind under a name its Czech
// translation does not know (it has the word under the dialog's): the columns
// as the Czech Windows dialog shows them.
class WindowsFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        switch (index.column()) {
        case 1:
            if (files->isDir(source))
                break;
            // Whole kilobytes, rounded up.
            return QStringLiteral("%1 kB").arg(QLocale().toString((files->size(source) + 1023) / 1024));
        case 2:
            if (files->isDir(source))
                return QCoreApplication::translate("QFileDialog", "Folder");
            break;
        case 3:
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        default:
            break;
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// "text|pattern;pattern|text|pattern" as Qt's name filters, "text (pattern pattern)".
QStringList nameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns));
    }
    return result;
}

// With the details hidden, Qt may answer the filter's text without its patterns.
int chosenFilterIndex(const QStringList &filters, const QString &selected)
{
    for (int i = 0; i < filters.size(); ++i) {
        if (filters[i] == selected || filters[i].startsWith(selected + QLatin1String(" (")))
            return i;
    }
    return 0;
}

int runFileDialog(FileDialogRecord &record, bool save)
{
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The filter's own text is shown as given, without Qt's pattern list.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(record.Flags & OFN_OVERWRITEPROMPT));
    dialog.setProxyModel(new WindowsFileColumns(&dialog));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && (record.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setWindowTitle(!record.lpstrTitle.isEmpty() ? record.lpstrTitle
                          : save                       ? QStringLiteral("Uložit jako")
                                                       : QStringLiteral("Otevřít"));
    const QStringList filters = nameFilters(record.lpstrFilter);
    const int index = int(record.nFilterIndex) - 1;
    const QString chosenFilter = filters.value(index >= 0 ? index : 0, filters.value(0));
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(chosenFilter);
    }
    dialog.setDefaultSuffix(record.lpstrDefExt);
    if (QFileInfo(record.lpstrInitialDir).isDir())
        dialog.setDirectory(record.lpstrInitialDir);
    if (!record.lpstrFile.isEmpty()) {
        dialog.selectFile(record.lpstrFile);
        // The proposed name is offered in the name box only: a file that the
        // filter does not take stays out of the list, as on Windows.
        // selectFile() lists it whatever the filter; the filter applied anew
        // takes it out only once the list is sorted again, which Qt leaves
        // for later: sorted now, the list never shows it.
        if (!filters.isEmpty()) {
            dialog.selectNameFilter(chosenFilter);
            dialog.proxyModel()->sort(0);
        }
    }

    const bool placesBar = isNewFileDialogAvailable() &&
                           !(record.lStructSize >= FileDialogRecordNewSize && (record.FlagsEx & OFN_EX_NOPLACESBAR));
    if (QWidget *sidebar = dialog.findChild<QWidget *>(QStringLiteral("sidebar")))
        sidebar->setVisible(placesBar);

    // Qt's Czech translation says "Zrušit"; the Windows dialog says "Storno".
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Storno"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return 0;

    const QString path = QDir::toNativeSeparators(dialog.selectedFiles().first());
    const QFileInfo chosen(path);
    record.lpstrFile = path;
    record.nFileOffset = std::uint16_t(path.size() - chosen.fileName().size());
    const qsizetype dot = chosen.fileName().lastIndexOf(QLatin1Char('.'));
    record.nFileExtension = std::uint16_t(dot < 0 ? path.size() : record.nFileOffset + dot + 1);
    if (!filters.isEmpty())
        record.nFilterIndex = std::uint32_t(chosenFilterIndex(filters, dialog.selectedNameFilter()) + 1);
    const bool extensionDiffers =
        !record.lpstrDefExt.isEmpty() && chosen.suffix().compare(record.lpstrDefExt, Qt::CaseInsensitive) != 0;
    if (extensionDiffers)
        record.Flags |= OFN_EXTENSIONDIFFERENT;
    else
        record.Flags &= ~OFN_EXTENSIONDIFFERENT;
    return 1;
}

} // namespace

int getOpenFileName(FileDialogRecord &record)
{
    return runFileDialog(record, false);
}

int getSaveFileName(FileDialogRecord &record)
{
    return runFileDialog(record, true);
}

bool getVersionEx(OsVersionInfo &info)
{
    return installedVersionProvider() ? installedVersionProvider()(info) : runningSystemVersion(info);
}

void setVersionProvider(std::function<bool(OsVersionInfo &)> provider)
{
    installedVersionProvider() = std::move(provider);
}

bool isNewFileDialogAvailable()
{
    OsVersionInfo info;
    if (!getVersionEx(info))
        return false;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32_NT:
        return info.dwMajorVersion >= 5;
    case VER_PLATFORM_WIN32_WINDOWS:
        return info.dwMajorVersion >= 4 && info.dwMinorVersion >= 90;
    default:
        return false;
    }
}

bool OpenDialog::Execute()
{
    return runDialog(getOpenFileName);
}

bool SaveDialog::Execute()
{
    return runDialog(getSaveFileName);
}

bool OpenDialog::runDialog(FileDialogFunction dialogFunction)
{
    FileDialogRecord record;
    record.lStructSize = isNewFileDialogAvailable() ? FileDialogRecordNewSize : FileDialogRecordOldSize;
    record.lpstrFilter = Filter;
    record.nFilterIndex = std::uint32_t(FilterIndex);
    record.lpstrFile = FileName;
    record.lpstrInitialDir = InitialDir;
    record.lpstrTitle = Title;
    record.Flags = Options;
    record.lpstrDefExt = DefaultExt;
    if (dialogFunction(record) == 0)
        return false;
    FileName = record.lpstrFile;
    FilterIndex = int(record.nFilterIndex);
    const std::uint32_t readBack = OFN_READONLY | OFN_EXTENSIONDIFFERENT;
    Options = (Options & ~readBack) | (record.Flags & readBack);
    return true;
}

} // namespace platform
