#include "Animation.h"

#include "Drawing.h"

#include <QPainter>

#include <cmath>

namespace platform {

namespace {

void drawSheet(QPainter &painter, const QPointF &centre, qreal angle)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(angle);
    const QRectF sheet(-6, -8, 12, 16);
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    painter.setPen(QPen(QColor(0x40, 0x40, 0xA0), 1));
    for (int line = 0; line < 4; ++line)
        painter.drawLine(QPointF(-4, -5 + line * 3.5), QPointF(4, -5 + line * 3.5));
    painter.restore();
}

} // namespace

Animation::Animation(QWidget *parent) : QWidget(parent)
{
    timer_.setInterval(60);
    connect(&timer_, &QTimer::timeout, this, &Animation::stepFrame);
}

void Animation::play()
{
    if (!timer_.isActive())
        timer_.start();
}

void Animation::stop()
{
    timer_.stop();
    frame_ = 0;
    update();
}

void Animation::stepFrame()
{
    frame_ = (frame_ + 1) % ClipFrames;
    update();
}

void Animation::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal folderWidth = 40, folderHeight = 30;
    const qreal baseline = height() - 4;
    const QRectF from(8, baseline - folderHeight, folderWidth, folderHeight);
    const QRectF to(width() - 8 - folderWidth, baseline - folderHeight, folderWidth, folderHeight);
    paintFolder(painter, from);
    paintFolder(painter, to);

    // The sheet flies in an arc from the left folder to the right one.
    const qreal t = qreal(frame_) / (ClipFrames - 1);
    const QPointF start = from.center();
    const QPointF end = to.center();
    const qreal x = start.x() + (end.x() - start.x()) * t;
    const qreal lift = std::sin(t * M_PI) * (height() - folderHeight);
    drawSheet(painter, QPointF(x, start.y() - lift), t * 360.0);
}

} // namespace platform
