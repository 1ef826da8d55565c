#include "DesignerCursorsUnit.h"
#include "PrinterSetupUnit.h"
#include "ReportBuffersUnit.h"
#include "ReportDefaultsUnit.h"
#include "ReportRecordsUnit.h"
#include "ReportUnits.h"
#include "ui/CursorList.h"

#include <QBitmap>
#include <QFontDatabase>
#include <QSet>
#include <QTest>

#include <algorithm>

namespace {

// The modules of a pattern, "0" for a space module and "1" for a bar module;
// empty when a character names no element.
QString modulesOf(std::string_view pattern)
{
    QString modules;
    for (char element : pattern) {
        if (element >= '0' && element <= '3')
            modules += QString(element - '0' + 1, u'0');
        else if (element >= '5' && element <= '8')
            modules += QString(element - '5' + 1, u'1');
        else
            return {};
    }
    return modules;
}

bool isBar(char element)
{
    return element >= '5';
}

QImage cursorImage(const QCursor &cursor)
{
    return cursor.bitmap().toImage().convertToFormat(QImage::Format_Mono);
}

QImage maskImage(const QCursor &cursor)
{
    return cursor.mask().toImage().convertToFormat(QImage::Format_Mono);
}

QStringList recordedCalls;

template <char Name> void recordStartup()
{
    recordedCalls << QStringLiteral("start %1").arg(Name);
}

template <char Name> void recordShutdown()
{
    recordedCalls << QStringLiteral("stop %1").arg(Name);
}

} // namespace

class TestReportUnits : public QObject {
    Q_OBJECT

private slots:
    void startupRunsTheUnitsInOrderAndShutdownInReverse();
    void unitNamesFollowTheStartupOrder();
    void repeatedStartupRunsOnceUntilBalancedByShutdown();
    void shutdownWithoutStartupDoesNothing();

    void fontListHoldsScreenFontsThenThreePrinterFonts();
    void fillPrinterFontListReplacesTheListContents();
    void printerSetupGetsA4PageAndMargins();

    void workBuffersAreZeroFilledAndFreedAtShutdown();

    void defaultsAreSetAndSecondTextKeptUntilShutdown();
    void barcodeKinds_data();
    void barcodeKinds();
    void digitPatternsFollowTheEanEncodings_data();
    void digitPatternsFollowTheEanEncodings();
    void digitPatternsAreWellFormed_data();
    void digitPatternsAreWellFormed();

    void designerCursorsSitAtTheirPositions_data();
    void designerCursorsSitAtTheirPositions();
    void designerCursorsAreDistinctAndStayAfterShutdown();
    void unknownCursorResourceDropsItsPosition();

    void recordsStartWithNullReferencesAndLoseTextsAtShutdown();
};

void TestReportUnits::startupRunsTheUnitsInOrderAndShutdownInReverse()
{
    const std::array<ReportUnit, 3> units{{
        {"A", recordStartup<'A'>, recordShutdown<'A'>},
        {"B", recordStartup<'B'>, recordShutdown<'B'>},
        {"C", recordStartup<'C'>, recordShutdown<'C'>},
    }};
    recordedCalls.clear();
    StartUnits(units);
    ShutDownUnits(units);
    QCOMPARE(recordedCalls, QStringList({"start A", "start B", "start C", "stop C", "stop B", "stop A"}));
}

void TestReportUnits::unitNamesFollowTheStartupOrder()
{
    QStringList names;
    for (const ReportUnit &unit : ReportUnitsInOrder())
        names << QString::fromLatin1(unit.name.data(), qsizetype(unit.name.size()));
    QCOMPARE(names, QStringList({"PrinterSetupUnit", "ReportBuffersUnit", "ReportDefaultsUnit", "DesignerCursorsUnit",
                                 "ReportRecordsUnit"}));
}

void TestReportUnits::repeatedStartupRunsOnceUntilBalancedByShutdown()
{
    ReportUnitsStartup();
    PrinterSetup.fontList->append("marker");
    ReportBuffers.largeBuffer[0] = 'x';
    ReportDefaults.text = "marker";
    ReportRecords.furtherText = "marker";

    ReportUnitsStartup();
    QCOMPARE(PrinterSetup.fontList->last(), "marker");
    QCOMPARE(ReportBuffers.largeBuffer[0], 'x');
    QCOMPARE(ReportDefaults.text, "marker");

    ReportUnitsShutdown();
    QVERIFY(PrinterSetup.fontList.has_value());
    QCOMPARE(ReportBuffers.largeBuffer.size(), 4100);
    QCOMPARE(ReportRecords.furtherText, "marker");

    ReportUnitsShutdown();
    QVERIFY(!PrinterSetup.fontList.has_value());
    QVERIFY(ReportBuffers.largeBuffer.isEmpty());
    QVERIFY(ReportDefaults.text.isEmpty());
    QVERIFY(ReportRecords.furtherText.isEmpty());
}

void TestReportUnits::shutdownWithoutStartupDoesNothing()
{
    ReportUnitsShutdown();
    ReportUnitsShutdown();
    QVERIFY(!PrinterSetup.fontList.has_value());

    // The surplus shut-downs must not swallow the next start-up.
    ReportUnitsStartup();
    QVERIFY(PrinterSetup.fontList.has_value());
    QCOMPARE(ReportBuffers.smallBuffer.size(), 1025);
    ReportUnitsShutdown();
    QVERIFY(!PrinterSetup.fontList.has_value());
}

void TestReportUnits::fontListHoldsScreenFontsThenThreePrinterFonts()
{
    const QStringList screenFonts = QFontDatabase::families();
    ReportUnitsStartup();
    const QStringList fonts = *PrinterSetup.fontList;
    ReportUnitsShutdown();

    QCOMPARE(fonts.size(), screenFonts.size() + 3);
    QCOMPARE(fonts.first(screenFonts.size()), screenFonts);
    QCOMPARE(fonts.last(3), QStringList({"Roman 10cpi", "Roman 12cpi", "Roman 17cpi"}));
}

void TestReportUnits::fillPrinterFontListReplacesTheListContents()
{
    QStringList list{"stale", "Roman 10cpi"};
    FillPrinterFontList(list);
    QVERIFY(!list.contains("stale"));
    QCOMPARE(list.count("Roman 10cpi"), QFontDatabase::families().count("Roman 10cpi") + 1);
    QCOMPARE(list.last(), "Roman 17cpi");
}

void TestReportUnits::printerSetupGetsA4PageAndMargins()
{
    PrinterSetup.flag = 9;
    PrinterSetup.pageExtra = 9;
    PrinterSetup.further = {9, 9, 9, 9, 9};
    PrinterSetup.scaleX = PrinterSetup.scaleY = 9.0f;

    ReportUnitsStartup();
    const PrinterSetupState state = PrinterSetup;
    ReportUnitsShutdown();

    QCOMPARE(state.flag, 0);
    QCOMPARE(state.pageSize, QSize(826, 1169));
    QCOMPARE(state.pageExtra, 0);
    QCOMPARE(state.margins, (std::array<int, 4>{50, 50, 70, 70}));
    QCOMPARE(state.further, (std::array<int, 5>{}));
    QCOMPARE(state.scaleX, 1.0f);
    QCOMPARE(state.scaleY, 1.0f);
}

void TestReportUnits::workBuffersAreZeroFilledAndFreedAtShutdown()
{
    int somewhere = 0;
    ReportBuffers.pointer = &somewhere;
    ReportBuffers.rect = {1, 2, 3, 4};

    ReportUnitsStartup();
    const ReportBuffersState state = ReportBuffers;
    ReportUnitsShutdown();

    QCOMPARE(state.largeBuffer.size(), 4100);
    QCOMPARE(state.smallBuffer.size(), 1025);
    QCOMPARE(state.largeBuffer.count('\0'), 4100);
    QCOMPARE(state.smallBuffer.count('\0'), 1025);
    QCOMPARE(state.pointer, nullptr);
    QVERIFY(state.rect == WorkRect{});
    QVERIFY(ReportBuffers.largeBuffer.isEmpty());
    QVERIFY(ReportBuffers.smallBuffer.isEmpty());
}

void TestReportUnits::defaultsAreSetAndSecondTextKeptUntilShutdown()
{
    ReportDefaults = {7, 7.0, 7, 7, 7, "old", {7, 7}, QColor(Qt::red), 7, "kept"};

    ReportUnitsStartup();
    const ReportDefaultsState state = ReportDefaults;
    ReportUnitsShutdown();

    QCOMPARE(state.longValues, (std::array<std::int32_t, 2>{0, 0}));
    QCOMPARE(state.realValue, 2.0);
    QCOMPARE(state.integerValue, 1);
    QCOMPARE(state.barcodeKind, 14);
    QCOMPARE(BarcodeKinds[state.barcodeKind].name, "EAN 13");
    QCOMPARE(state.secondByte, 0);
    QVERIFY(state.text.isEmpty());
    QCOMPARE(state.thirdByte, 0);
    QCOMPARE(state.color.rgb(), QColor(0xFF, 0xFF, 0xFF).rgb());
    QCOMPARE(state.furtherLong, 0);
    QCOMPARE(state.secondText, "kept");
    QVERIFY(ReportDefaults.secondText.isEmpty());
}

void TestReportUnits::barcodeKinds_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("digitsOnly");
    const QList<std::pair<QString, bool>> expected{
        {"2/5 interleaved", true}, {"2/5 industrial", true}, {"2/5 matrix", true}, {"Code 39", false},
        {"Code 39 Full", false},   {"Code 128A", false},     {"Code 128B", false}, {"Code 128C", true},
        {"Code 93", false},        {"Code 93 Full", false},  {"MSI", true},        {"PostNet", true},
        {"Codebar", false},        {"EAN 8", true},          {"EAN 13", true},     {"UPC-A", true},
        {"UPC-E0", true},          {"UPC-E1", true},         {"UPC Supp2", true},  {"UPC Supp5", true}};
    QCOMPARE(qsizetype(BarcodeKinds.size()), expected.size());
    for (int row = 0; row < expected.size(); ++row)
        QTest::addRow("%d %s", row, qPrintable(expected[row].first))
            << row << expected[row].first << expected[row].second;
}

void TestReportUnits::barcodeKinds()
{
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(bool, digitsOnly);
    const BarcodeKind &kind = BarcodeKinds[row];
    QCOMPARE(QString::fromLatin1(kind.name.data(), qsizetype(kind.name.size())), name);
    QCOMPARE(kind.digitsOnly, digitsOnly);
}

// The EAN-13 standard gives set A's modules; set C is its complement, set B
// set C read backwards.
void TestReportUnits::digitPatternsFollowTheEanEncodings_data()
{
    QTest::addColumn<int>("digit");
    QTest::addColumn<QString>("setAModules");
    const QStringList lCodes{"0001101", "0011001", "0010011", "0111101", "0100011",
                             "0110001", "0101111", "0111011", "0110111", "0001011"};
    for (int digit = 0; digit < 10; ++digit)
        QTest::addRow("digit %d", digit) << digit << lCodes[digit];
}

void TestReportUnits::digitPatternsFollowTheEanEncodings()
{
    QFETCH(int, digit);
    QFETCH(QString, setAModules);
    QString setCModules = setAModules;
    for (QChar &module : setCModules)
        module = module == u'0' ? u'1' : u'0';
    QString setBModules = setCModules;
    std::reverse(setBModules.begin(), setBModules.end());

    QCOMPARE(modulesOf(EanSetA[digit]), setAModules);
    QCOMPARE(modulesOf(EanSetC[digit]), setCModules);
    QCOMPARE(modulesOf(EanSetB[digit]), setBModules);
}

void TestReportUnits::digitPatternsAreWellFormed_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<bool>("startsWithBar");
    QTest::addColumn<bool>("oddParity");
    QTest::newRow("set A") << 0 << false << true;
    QTest::newRow("set C") << 1 << true << false;
    QTest::newRow("set B") << 2 << false << false;
}

void TestReportUnits::digitPatternsAreWellFormed()
{
    QFETCH(int, set);
    QFETCH(bool, startsWithBar);
    QFETCH(bool, oddParity);
    const DigitPatterns &patterns = *std::array{&EanSetA, &EanSetC, &EanSetB}[set];
    QSet<QString> seen;
    for (std::string_view pattern : patterns) {
        const QString modules = modulesOf(pattern);
        QCOMPARE(pattern.size(), 4u);
        QCOMPARE(modules.size(), 7);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(isBar(pattern[i]), startsWithBar == (i % 2 == 0));
        // Set C's bars are set A's spaces: 7 minus an odd number is even.
        const bool odd = modules.count(u'1') % 2 == 1;
        QCOMPARE(odd, oddParity);
        seen.insert(modules);
    }
    QCOMPARE(seen.size(), 10);
}

void TestReportUnits::designerCursorsSitAtTheirPositions_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    const QStringList names{"CURSOR_INS",  "CURSOR_DB",   "CURSOR_LB",   "CURSOR_PAR",  "CURSOR_FN",   "CURSOR_DATE",
                            "CURSOR_TIME", "CURSOR_CISR", "CURSOR_CISS", "CURSOR_CELK", "CURSOR_CRSK", "CURSOR_CISK",
                            "CURSOR_TEXT", "CURSOR_CARA", "CURSOR_RAM0", "CURSOR_RAM1", "CURSOR_RAM2", "CURSOR_OBR",
                            "CURSOR_BARC", "CURSOR_PBOX", "CURSOR_DET"};
    for (int i = 0; i < names.size(); ++i)
        QTest::addRow("%d %s", i + 1, qPrintable(names[i])) << i + 1 << names[i];
}

void TestReportUnits::designerCursorsSitAtTheirPositions()
{
    QFETCH(int, position);
    QFETCH(QString, name);
    ReportUnitsStartup();
    const std::optional<QCursor> cursor = platform::screenCursor(position);
    ReportUnitsShutdown();

    const QByteArray resourceName = name.toLatin1();
    const std::optional<QCursor> resource = DesignerCursorResource(resourceName.toStdString());
    QVERIFY(cursor);
    QVERIFY(resource);
    QCOMPARE(cursor->shape(), Qt::BitmapCursor);
    QCOMPARE(cursor->hotSpot(), QPoint(8, 8));
    const QImage shape = cursorImage(*cursor);
    const QImage mask = maskImage(*cursor);
    QCOMPARE(shape.size(), QSize(32, 32));
    QCOMPARE(mask.size(), QSize(32, 32));
    QCOMPARE(shape, cursorImage(*resource));
    // Black needs the mask under it; elsewhere the result is undefined.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (shape.pixelIndex(x, y) == 1)
                QVERIFY2(mask.pixelIndex(x, y) == 1, qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
}

void TestReportUnits::designerCursorsAreDistinctAndStayAfterShutdown()
{
    ReportUnitsStartup();
    ReportUnitsShutdown();

    QSet<QByteArray> pictures;
    for (int position = 1; position <= 21; ++position) {
        const std::optional<QCursor> cursor = platform::screenCursor(position);
        QVERIFY2(cursor, qPrintable(QStringLiteral("position %1").arg(position)));
        const QImage image = cursorImage(*cursor);
        pictures.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()));
    }
    QCOMPARE(pictures.size(), 21);
    QVERIFY(!platform::screenCursor(0));
    QVERIFY(!platform::screenCursor(22));
}

void TestReportUnits::unknownCursorResourceDropsItsPosition()
{
    const int position = 100;
    platform::setScreenCursor(position, DesignerCursorResource("CURSOR_INS"));
    QVERIFY(platform::screenCursor(position));

    const std::optional<QCursor> missing = DesignerCursorResource("CURSOR_NONE");
    QVERIFY(!missing);
    platform::setScreenCursor(position, missing);
    QVERIFY(!platform::screenCursor(position));
}

void TestReportUnits::recordsStartWithNullReferencesAndLoseTextsAtShutdown()
{
    int somewhere = 0;
    ReportRecords.references = {&somewhere, &somewhere};

    ReportUnitsStartup();
    QCOMPARE(ReportRecords.references[0], nullptr);
    QCOMPARE(ReportRecords.references[1], nullptr);
    for (TCalcType &record : ReportRecords.calcTable)
        record.text = "formula";
    for (TCalcType &record : ReportRecords.singleCalcs)
        record.text = "formula";
    ReportRecords.furtherText = "text";
    ReportUnitsShutdown();

    const auto empty = [](const TCalcType &record) { return record.text.isEmpty(); };
    QVERIFY(std::ranges::all_of(ReportRecords.calcTable, empty));
    QVERIFY(std::ranges::all_of(ReportRecords.singleCalcs, empty));
    QVERIFY(ReportRecords.furtherText.isEmpty());
}

QTEST_MAIN(TestReportUnits)
#include "tst_ReportUnits.moc"
