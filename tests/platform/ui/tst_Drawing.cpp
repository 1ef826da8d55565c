// The forms' fonts as Windows gives them: a line of text as high as the
// Windows text metrics say, and bold text drawn bold.

#include "TestMain.h"
#include "TextInk.h"
#include "ui/Drawing.h"

#include <QFontDatabase>
#include <QFontMetrics>

using namespace platform;

class TestDrawing : public QObject {
    Q_OBJECT
private slots:
    // Tahoma of fonts-wine asks for its typographic metrics, which are
    // smaller than the Windows ascent and descent Windows measures with.
    void windowsTextHeightOfTahoma_data()
    {
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<int>("height");
        QTest::newRow("dialog font") << 11 << false << 13;
        QTest::newRow("dialog font, bold") << 11 << true << 13;
        QTest::newRow("13 px") << 13 << false << 16;
        QTest::newRow("Kelmo's action texts") << 15 << true << 18;
    }

    void windowsTextHeightOfTahoma()
    {
        QFETCH(int, pixels);
        QFETCH(bool, bold);
        QFETCH(int, height);
        if (!loadFormFonts())
            QSKIP("the Tahoma of fonts-wine is not installed");
        QCOMPARE(windowsTextHeight(tahomaFont(pixels, bold)), height);
    }

    // The bold texts of the forms draw plainly bold, each as high as its
    // regular text.
    void boldFontsAreDrawnBold_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<QString>("text");
        QTest::newRow("Kelmo's action text") << tahomaFont(15, true) << "Nastavení databáze";
        QTest::newRow("Kelmo's close button") << msSansSerifFont(13, true) << "Zavřít";
        QTest::newRow("dialog font") << tahomaFont(11, true) << "Správa uživatelů DEVEVI";
    }

    void boldFontsAreDrawnBold()
    {
        QFETCH(QFont, font);
        QFETCH(QString, text);
        if (!loadFormFonts() || !QFontDatabase::families().contains(QStringLiteral("MS Sans Serif")))
            QSKIP("the fonts of fonts-wine are not installed");
        QFont regular = font;
        regular.setBold(false);
        QVERIFY2(testsupport::drawsBold(font, text), qPrintable(QStringLiteral("bold %1, regular %2")
                                                                    .arg(testsupport::textInk(font, text))
                                                                    .arg(testsupport::textInk(regular, text))));
        QCOMPARE(QFontMetrics(font).height(), QFontMetrics(regular).height());
    }
};

ZELO_TEST_MAIN(TestDrawing)
#include "tst_Drawing.moc"
