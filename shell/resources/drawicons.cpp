// quorbic-drawicons: draws the program's own pictures (the fallbacks for a
// desktop without an icon theme, the program icon and the About box artwork)
// into PNG files. Run by hand when a picture changes:
//   quorbic-drawicons shell/resources/icons

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

const QColor kInk(0x33, 0x3b, 0x47);
const QColor kPaper(0xfd, 0xfd, 0xfa);
const QColor kBlue(0x2a, 0x6f, 0xc9);
const QColor kGreen(0x2e, 0x9b, 0x4f);
const QColor kRed(0xcc, 0x2f, 0x2f);
const QColor kGold(0xe8, 0xb3, 0x2c);
const QColor kTray(0x8a, 0x97, 0xa8);

using Drawing = std::function<void(QPainter &)>;

QPen pen(const QColor &color, qreal width = 1.5)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void sheet(QPainter &p, const QRectF &r)
{
    p.setPen(pen(kInk, 1.2));
    p.setBrush(kPaper);
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 6, r.top());
    path.lineTo(r.right(), r.top() + 6);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 6, r.top()), QPointF(r.right() - 6, r.top() + 6));
    p.drawLine(QPointF(r.right() - 6, r.top() + 6), QPointF(r.right(), r.top() + 6));
}

void lines(QPainter &p, const QRectF &r, int count)
{
    p.setPen(pen(kTray, 1.2));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + 10 + i * 4;
        p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4, y));
    }
}

void envelope(QPainter &p, const QRectF &r)
{
    p.setPen(pen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.drawPolyline(QPolygonF({r.topLeft(), QPointF(r.center().x(), r.center().y() + 1), r.topRight()}));
}

void arrow(QPainter &p, QPointF from, QPointF to, const QColor &color)
{
    p.setPen(pen(color, 3));
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF a = line;
    a.setLength(6);
    a.setAngle(line.angle() + 35);
    QLineF b = line;
    b.setLength(6);
    b.setAngle(line.angle() - 35);
    p.drawLine(a);
    p.drawLine(b);
}

void questionMark(QPainter &p, const QRectF &r, const QColor &color)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(int(r.height()));
    p.setFont(font);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
}

void tray(QPainter &p)
{
    p.setPen(pen(kInk, 1.2));
    p.setBrush(kTray);
    QPainterPath path;
    path.moveTo(3, 19);
    path.lineTo(10, 19);
    path.lineTo(12, 23);
    path.lineTo(20, 23);
    path.lineTo(22, 19);
    path.lineTo(29, 19);
    path.lineTo(29, 29);
    path.lineTo(3, 29);
    path.closeSubpath();
    p.drawPath(path);
}

void circleSign(QPainter &p, const QString &sign)
{
    p.setPen(pen(kBlue.darker(130), 1.2));
    QRadialGradient g(QPointF(13, 11), 18);
    g.setColorAt(0, kBlue.lighter(150));
    g.setColorAt(1, kBlue);
    p.setBrush(g);
    p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setBold(true);
    font.setPixelSize(21);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(2, 2, 28, 28), Qt::AlignCenter, sign);
}

void bubble(QPainter &p, const QRectF &r, const QColor &fill)
{
    QPainterPath path;
    path.addRoundedRect(r, r.width() / 4, r.height() / 4);
    QPainterPath tail;
    tail.moveTo(r.left() + r.width() * 0.25, r.bottom() - 2);
    tail.lineTo(r.left() + r.width() * 0.15, r.bottom() + r.height() * 0.25);
    tail.lineTo(r.left() + r.width() * 0.48, r.bottom() - 2);
    tail.closeSubpath();
    p.setPen(pen(fill.darker(140), r.width() / 22));
    p.setBrush(fill);
    p.drawPath(path.united(tail));
}

const std::vector<std::pair<const char *, Drawing>> &drawings()
{
    static const std::vector<std::pair<const char *, Drawing>> all = {
        {"quorbic",
         [](QPainter &p) {
             bubble(p, QRectF(2, 3, 28, 21), kBlue);
             questionMark(p, QRectF(2, 3, 28, 21), Qt::white);
         }},
        {"newquestion",
         [](QPainter &p) {
             sheet(p, QRectF(5, 2, 19, 26));
             questionMark(p, QRectF(5, 6, 19, 20), kBlue);
             p.setPen(pen(kGold, 2));
             p.drawLine(QPointF(25, 19), QPointF(25, 29));
             p.drawLine(QPointF(20, 24), QPointF(30, 24));
         }},
        {"reply",
         [](QPainter &p) {
             envelope(p, QRectF(9, 12, 20, 14));
             p.setPen(pen(kGreen, 3));
             p.setBrush(Qt::NoBrush);
             QPainterPath curve;
             curve.moveTo(16, 14);
             curve.cubicTo(16, 6, 10, 5, 4, 8);
             p.drawPath(curve);
             p.drawLine(QPointF(4, 8), QPointF(9, 4));
             p.drawLine(QPointF(4, 8), QPointF(9, 11));
         }},
        {"send",
         [](QPainter &p) {
             envelope(p, QRectF(2, 9, 20, 14));
             arrow(p, QPointF(15, 26), QPointF(30, 26), kGreen);
         }},
        {"receive",
         [](QPainter &p) {
             tray(p);
             envelope(p, QRectF(8, 3, 16, 11));
             arrow(p, QPointF(16, 13), QPointF(16, 22), kGreen);
         }},
        {"edit",
         [](QPainter &p) {
             sheet(p, QRectF(3, 2, 19, 26));
             lines(p, QRectF(3, 2, 19, 26), 4);
             p.save();
             p.translate(22, 16);
             p.rotate(45);
             p.setPen(pen(kInk, 1));
             p.setBrush(kGold);
             p.drawRect(QRectF(-2.5, -11, 5, 16));
             p.setBrush(kInk);
             p.drawPolygon(QPolygonF({QPointF(-2.5, 5), QPointF(2.5, 5), QPointF(0, 10)}));
             p.restore();
         }},
        {"delete",
         [](QPainter &p) {
             p.setPen(pen(kRed, 5));
             p.drawLine(QPointF(7, 7), QPointF(25, 25));
             p.drawLine(QPointF(25, 7), QPointF(7, 25));
         }},
        {"copy",
         [](QPainter &p) {
             sheet(p, QRectF(3, 2, 17, 21));
             lines(p, QRectF(3, 2, 17, 21), 2);
             sheet(p, QRectF(12, 9, 17, 21));
             lines(p, QRectF(12, 9, 17, 21), 3);
         }},
        {"selectall",
         [](QPainter &p) {
             sheet(p, QRectF(5, 3, 22, 26));
             QPen dash(kBlue, 1.5, Qt::DashLine);
             p.setPen(dash);
             p.setBrush(QColor(0x2a, 0x6f, 0xc9, 50));
             p.drawRect(QRectF(8, 9, 16, 16));
         }},
        {"help", [](QPainter &p) { circleSign(p, QStringLiteral("?")); }},
        {"about", [](QPainter &p) { circleSign(p, QStringLiteral("i")); }},
        {"exit",
         [](QPainter &p) {
             p.setPen(pen(kInk, 1.2));
             p.setBrush(QColor(0xb0, 0x7a, 0x44));
             p.drawRect(QRectF(4, 3, 14, 26));
             arrow(p, QPointF(13, 16), QPointF(29, 16), kRed);
         }},
        {"inbox",
         [](QPainter &p) {
             tray(p);
             arrow(p, QPointF(16, 2), QPointF(16, 19), kGreen);
         }},
        {"outbox",
         [](QPainter &p) {
             tray(p);
             arrow(p, QPointF(16, 20), QPointF(16, 3), kBlue);
         }},
        {"drafts",
         [](QPainter &p) {
             sheet(p, QRectF(4, 2, 20, 27));
             lines(p, QRectF(4, 2, 20, 27), 3);
             p.save();
             p.translate(23, 19);
             p.rotate(40);
             p.setPen(pen(kInk, 1));
             p.setBrush(kGold);
             p.drawRect(QRectF(-2.5, -10, 5, 14));
             p.setBrush(kInk);
             p.drawPolygon(QPolygonF({QPointF(-2.5, 4), QPointF(2.5, 4), QPointF(0, 9)}));
             p.restore();
         }},
        {"trash",
         [](QPainter &p) {
             p.setPen(pen(kInk, 1.2));
             p.setBrush(kTray.lighter(120));
             p.drawPolygon(QPolygonF({QPointF(7, 9), QPointF(25, 9), QPointF(23, 29), QPointF(9, 29)}));
             p.drawRoundedRect(QRectF(5, 5, 22, 4), 1, 1);
             p.drawRect(QRectF(13, 2, 6, 3));
             p.setPen(pen(kInk, 1));
             for (qreal x : {12.0, 16.0, 20.0})
                 p.drawLine(QPointF(x, 12), QPointF(x, 26));
         }},
    };
    return all;
}

QImage render(const Drawing &draw, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return image;
}

// The About box's artwork: 148 wide, the box's height.
QImage artwork()
{
    QImage image(148, 191, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 191);
    sky.setColorAt(0, QColor(0x1d, 0x4f, 0x91));
    sky.setColorAt(1, QColor(0x5c, 0x9c, 0xe0));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 28));
    for (int i = 0; i < 6; ++i)
        p.drawEllipse(QPointF(20 + i * 26, 160 - (i % 3) * 40), 18 + i * 3, 18 + i * 3);
    bubble(p, QRectF(18, 34, 112, 84), QColor(0xfd, 0xfd, 0xfa));
    questionMark(p, QRectF(18, 34, 112, 84), kBlue);
    bubble(p, QRectF(70, 118, 56, 38), kGold);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(22);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(70, 118, 56, 38), Qt::AlignCenter, QStringLiteral("!"));
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    for (const auto &[name, draw] : drawings()) {
        for (int size : {16, 32, 64}) {
            const QString file = out.filePath(QStringLiteral("%1-%2.png").arg(QLatin1String(name)).arg(size));
            if (!render(draw, size).save(file))
                qFatal("cannot write %s", qPrintable(file));
        }
    }
    if (!artwork().save(out.filePath(QStringLiteral("about-art.png"))))
        qFatal("cannot write the artwork");
    return 0;
}
