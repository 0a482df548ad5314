#include "directories/categoryimages.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

constexpr int kSizes[] = {16, 32};

// Draws a picture at each size on a 16-unit grid.
template<typename Draw>
QIcon drawn(Draw draw)
{
    QIcon icon;
    for (int size : kSizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const QColor kOutline(90, 70, 20);
const QColor kFolder(240, 200, 80);
const QColor kFolderBack(210, 165, 50);

void folderBack(QPainter &p, QPointF at)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(kFolderBack);
    QPainterPath back;
    back.moveTo(at + QPointF(0.5, 2));
    back.lineTo(at + QPointF(0.5, 0.5));
    back.lineTo(at + QPointF(5, 0.5));
    back.lineTo(at + QPointF(6.5, 2));
    back.lineTo(at + QPointF(13.5, 2));
    back.lineTo(at + QPointF(13.5, 10.5));
    back.lineTo(at + QPointF(0.5, 10.5));
    back.closeSubpath();
    p.drawPath(back);
}

void closedFolder(QPainter &p, QPointF at)
{
    folderBack(p, at);
    p.setBrush(kFolder);
    p.drawRect(QRectF(at + QPointF(0.5, 3.5), QSizeF(13, 7)));
}

void openFolder(QPainter &p, QPointF at)
{
    folderBack(p, at);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(at + QPointF(2, 1.5), QSizeF(10, 6)));
    p.setBrush(kFolder);
    p.drawPolygon(
        QPolygonF({at + QPointF(0.5, 10.5), at + QPointF(3, 4.5), at + QPointF(15.5, 4.5), at + QPointF(13, 10.5)}));
}

QIcon makeCategory()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(QColor(60, 60, 60), 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 0.5, 11, 15));
        p.setPen(QPen(QColor(40, 90, 180), 1));
        for (double y = 3.5; y < 14; y += 2.5)
            p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
    });
}

QIcon makePencil()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(230, 170, 40));
        p.drawPolygon(QPolygonF({QPointF(4, 15), QPointF(1, 15), QPointF(1, 12), QPointF(11, 2), QPointF(14, 5)}));
        p.setBrush(QColor(220, 120, 120));
        p.drawPolygon(QPolygonF({QPointF(11, 2), QPointF(12.5, 0.5), QPointF(15.5, 3.5), QPointF(14, 5)}));
        p.setBrush(QColor(50, 50, 50));
        p.drawPolygon(QPolygonF({QPointF(1, 15), QPointF(1, 13), QPointF(3, 15)}));
    });
}

} // namespace

namespace CategoryImages {

const QIcon &icon(Index index)
{
    static const QIcon images[] = {
        makeCategory(),
        drawn([](QPainter &p) {
            closedFolder(p, {1, 3});
        }),
        drawn([](QPainter &p) {
            openFolder(p, {0, 3});
        }),
        drawn([](QPainter &p) {
            closedFolder(p, {2, 0});
            closedFolder(p, {0, 5});
        }),
    };
    return images[index];
}

const QIcon &pencil()
{
    static const QIcon image = makePencil();
    return image;
}

const QIcon &noMark()
{
    static const QIcon image = drawn([](QPainter &) {});
    return image;
}

} // namespace CategoryImages
