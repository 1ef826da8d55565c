// The system's file dialog as the forms use it: it lists only the files of
// the chosen filter and speaks Czech like the rest of the programs.

#include "ModalDriver.h"
#include "TestMain.h"
#include "ui/FileDialog.h"

#include <QAbstractItemView>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>

using namespace platform;
using testsupport::ModalDriver;

namespace {

// Every name that the dialog's list shows from now until it holds all the
// expected ones: a name that stood in the list only for a moment counts too.
QStringList namesEverListed(QWidget *dialog, const QStringList &expected)
{
    auto *list = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView"));
    QStringList seen;
    const auto look = [&] {
        const QModelIndex root = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            const QString name = list->model()->index(row, 0, root).data().toString();
            if (!seen.contains(name))
                seen << name;
        }
    };
    const QMetaObject::Connection inserted = QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, look);
    look();
    const bool settled = QTest::qWaitFor([&] {
        look();
        return std::all_of(expected.begin(), expected.end(), [&](const QString &name) { return seen.contains(name); });
    });
    QObject::disconnect(inserted);
    if (!settled)
        seen << QStringLiteral("(folder not read)");
    seen.sort();
    return seen;
}

} // namespace

class TestFileDialog : public QObject {
    Q_OBJECT
private slots:
    void onlyFilesOfTheChosenFilterAreListed_data();
    void onlyFilesOfTheChosenFilterAreListed();
    void dialogSpeaksCzech();
};

void TestFileDialog::onlyFilesOfTheChosenFilterAreListed_data()
{
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("nameShown");
    // The profile file of the dialog's last use is proposed, not listed.
    QTest::newRow("name of another filter") << "profil.cfg"
                                            << "profil.cfg";
    QTest::newRow("name of the filter") << "zelo.fdb"
                                        << "zelo.fdb";
    QTest::newRow("no name") << ""
                             << "";
}

void TestFileDialog::onlyFilesOfTheChosenFilterAreListed()
{
    QFETCH(QString, proposed);
    QFETCH(QString, nameShown);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char *name : {"profil.cfg", "zelo.fdb", "poznamky.txt"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("archiv")));

    OpenDialog dialog;
    dialog.Filter =
        QStringLiteral("databázové soubory InterBase (*.gdb, *.idb, *.ib, *.fb)|*.gdb;*.idb;*.ib;*.fb;*.fdb");
    dialog.InitialDir = dir.path();
    dialog.FileName = proposed.isEmpty() ? QString() : dir.filePath(proposed);
    QStringList names;
    QString nameEdit;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        names = namesEverListed(modal, {QStringLiteral("archiv"), QStringLiteral("zelo.fdb")});
        nameEdit = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        testsupport::pressKey(modal, QKeySequence(Qt::Key_Escape));
    });
    QVERIFY(!dialog.Execute());
    VERIFY_DRIVER(driver);
    QCOMPARE(names, (QStringList{"archiv", "zelo.fdb"}));
    QCOMPARE(nameEdit, nameShown);
}

void TestFileDialog::dialogSpeaksCzech()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("archiv")));
    QFile file(dir.filePath(QStringLiteral("profil.cfg")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(QByteArray(1500, 'x')) == 1500);
    file.close();
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7)), QFileDevice::FileModificationTime));
    file.close();

    QString lookIn;
    QString fileName;
    QString cancel;
    QStringList folderRow;
    QStringList fileRow;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        lookIn = modal->findChild<QLabel *>(QStringLiteral("lookInLabel"))->text();
        fileName = modal->findChild<QLabel *>(QStringLiteral("fileNameLabel"))->text();
        cancel =
            modal->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Cancel)->text();
        namesEverListed(modal, {QStringLiteral("archiv"), QStringLiteral("profil.cfg")});
        // The details view's columns: name, size, kind and date.
        const auto *details = modal->findChild<QAbstractItemView *>(QStringLiteral("treeView"));
        const QModelIndex root = details->rootIndex();
        for (int row = 0; row < details->model()->rowCount(root); ++row) {
            QStringList cells;
            for (int column = 0; column < 4; ++column)
                cells << details->model()->index(row, column, root).data().toString();
            (cells.first() == QStringLiteral("archiv") ? folderRow : fileRow) = cells;
        }
        testsupport::pressKey(modal, QKeySequence(Qt::Key_Escape));
    });
    SaveDialog dialog;
    dialog.Filter = QStringLiteral("soubory konfigurace (*.cfg)|*.cfg");
    dialog.InitialDir = dir.path();
    QVERIFY(!dialog.Execute());
    VERIFY_DRIVER(driver);
    QCOMPARE(lookIn, QStringLiteral("Hledat v:"));
    QVERIFY2(fileName.remove(QLatin1Char('&')) == QStringLiteral("Název souboru:"), qPrintable(fileName));
    QCOMPARE(cancel, QStringLiteral("Storno"));
    QCOMPARE(folderRow.value(2), QStringLiteral("Složka"));
    QCOMPARE(fileRow.value(1), QStringLiteral("2 kB"));
    const QString date = fileRow.value(3);
    QVERIFY2(date.startsWith(QStringLiteral("05.03.")) && date.endsWith(QStringLiteral("14:07")), qPrintable(date));
}

ZELO_TEST_MAIN(TestFileDialog)
#include "tst_FileDialog.moc"
