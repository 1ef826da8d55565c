// The forms' fonts as Windows gives them: a line of text as high as the
// Windows text metrics say.

#include "TestMain.h"
#include "ui/Drawing.h"

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
};

ZELO_TEST_MAIN(TestDrawing)
#include "tst_Drawing.moc"
