// The forms' fonts as Windows gives them: a line of text as high as the
// Windows text metrics say, and bold text drawn bold.

#include "TestMain.h"
#include "ui/Drawing.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

using namespace platform;

namespace {

// The pixels the text darkens, drawn black on white.
int inkOf(const QFont &font, const QString &text)
{
    QImage image(200, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(image.rect(), Qt::AlignCenter, text);
    }
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ink += 255 - qGray(image.pixel(x, y));
    }
    return ink;
}

} // namespace

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

    void boldButtonFontIsDrawnBold()
    {
        if (!loadFormFonts() || !QFontDatabase::families().contains(QStringLiteral("MS Sans Serif")))
            QSKIP("the fonts of fonts-wine are not installed");
        const QString caption = QStringLiteral("Zavřít");
        const int regular = inkOf(msSansSerifFont(13), caption);
        const int bold = inkOf(msSansSerifFont(13, true), caption);
        QVERIFY2(bold > regular * 6 / 5, qPrintable(QStringLiteral("bold %1, regular %2").arg(bold).arg(regular)));
        QCOMPARE(QFontMetrics(msSansSerifFont(13, true)).height(), QFontMetrics(msSansSerifFont(13)).height());
    }
};

ZELO_TEST_MAIN(TestDrawing)
#include "tst_Drawing.moc"
