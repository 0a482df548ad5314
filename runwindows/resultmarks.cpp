#include "runwindows/resultmarks.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSize = 16;

QPixmap canvas()
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPen strokePen(const QColor &color)
{
    QPen pen(color, 2.5);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

} // namespace

QIcon successMark()
{
    QPixmap pixmap = canvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(strokePen(QColor(0x1e, 0x8e, 0x3e)));
    QPainterPath tick;
    tick.moveTo(3, 8.5);
    tick.lineTo(6.5, 12);
    tick.lineTo(13, 4);
    painter.drawPath(tick);
    return QIcon(pixmap);
}

QIcon failureMark()
{
    QPixmap pixmap = canvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(strokePen(QColor(0xc6, 0x28, 0x28)));
    painter.drawLine(QPointF(4, 4), QPointF(12, 12));
    painter.drawLine(QPointF(12, 4), QPointF(4, 12));
    return QIcon(pixmap);
}
