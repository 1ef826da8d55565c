#include "Drawing.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QStandardPaths>
#include <QtEndian>

#include <algorithm>
#include <optional>

namespace platform {

namespace {

// Debian's fonts-wine: free faces with the metrics of the Windows fonts.
bool addFontFile(const QString &name)
{
    const QString path =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("wine/fonts/") + name);
    return !path.isEmpty() && QFontDatabase::addApplicationFont(path) >= 0;
}

QFont pixelFont(const QString &family, int pixels, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

bool hasBoldFace(const QString &family)
{
    const QStringList styles = QFontDatabase::styles(family);
    return std::any_of(styles.begin(), styles.end(),
                       [&family](const QString &style) { return QFontDatabase::weight(family, style) >= QFont::Bold; });
}

// A big-endian unsigned 16-bit field of a font table; nothing past its end.
std::optional<int> tableField(const QByteArray &table, qsizetype offset)
{
    if (table.size() < offset + 2)
        return std::nullopt;
    return qFromBigEndian<quint16>(table.constData() + offset);
}

} // namespace

bool loadFormFonts()
{
    static const bool tahoma = [] {
        // Not its tahomabd.ttf: that face is only wider, its strokes as light
        // as the regular's. Without a bold face Qt emboldens the regular one,
        // plainly bold and as wide as the regular text.
        const bool regular = addFontFile(QStringLiteral("tahoma.ttf"));
        addFontFile(QStringLiteral("ms_sans_serif.ttf"));
        return regular;
    }();
    return tahoma;
}

QFont tahomaFont(int pixels, bool bold)
{
    return pixelFont(QStringLiteral("Tahoma"), pixels, bold);
}

QFont msSansSerifFont(int pixels, bool bold)
{
    const QString family = QStringLiteral("MS Sans Serif");
    // fonts-wine has only a medium face of it, which Qt does not embolden;
    // Tahoma, emboldened, draws its bold text.
    if (bold && !hasBoldFace(family))
        return tahomaFont(pixels, true);
    return pixelFont(family, pixels, bold);
}

int windowsTextHeight(const QFont &font)
{
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.fontTable("OS/2");
    const std::optional<int> winAscent = tableField(os2, 74);
    const std::optional<int> winDescent = tableField(os2, 76);
    const std::optional<int> unitsPerEm = tableField(raw.fontTable("head"), 18);
    if (!winAscent || !winDescent || !unitsPerEm || *unitsPerEm == 0)
        return QFontMetrics(font).height();
    // Ascent and descent are each scaled to whole pixels, rounded.
    const int pixels = qRound(raw.pixelSize());
    const auto scaled = [&](int units) { return (units * pixels + *unitsPerEm / 2) / *unitsPerEm; };
    return scaled(*winAscent) + scaled(*winDescent);
}

QPixmap drawnPicture(int width, int height, const std::function<void(QPainter &)> &paint)
{
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return picture;
}

void paintFolder(QPainter &painter, const QRectF &box)
{
    const qreal tabWidth = box.width() * 0.4;
    const qreal tabHeight = qMax<qreal>(2, box.height() * 0.2);
    QPainterPath folder;
    folder.moveTo(box.left(), box.top());
    folder.lineTo(box.left() + tabWidth, box.top());
    folder.lineTo(box.left() + tabWidth + tabHeight, box.top() + tabHeight);
    folder.lineTo(box.right(), box.top() + tabHeight);
    folder.lineTo(box.right(), box.bottom());
    folder.lineTo(box.left(), box.bottom());
    folder.closeSubpath();
    painter.save();
    painter.setPen(QColor(0x80, 0x60, 0x00));
    painter.setBrush(QColor(0xF0, 0xC8, 0x40));
    painter.drawPath(folder);
    painter.restore();
}

QPixmap folderPicture(const std::function<void(QPainter &)> &overlay)
{
    return drawnPicture(16, 16, [&](QPainter &painter) {
        paintFolder(painter, QRectF(1.5, 3.5, 13, 10));
        if (overlay)
            overlay(painter);
    });
}

} // namespace platform
