// Draws the program's pictures: the title banner, the window icons, the lens icon group,
// the two button glyphs and the hand cursor. Run it once after changing a drawing and
// commit what it writes:
//     reelvane-draw-resources path/to/resources
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>
#include <functional>

namespace {

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

// The rail's vertical shading: dark at the top, brightest at row 17, dark at row 33.
QColor railColor(int row)
{
    const QColor top(0x1c, 0x1e, 0x20), middle(0x6c, 0x71, 0x78), bottom(0x21, 0x23, 0x26);
    auto lerp = [](int a, int b, double t) { return int(std::lround(a + (b - a) * t)); };
    auto between = [&](const QColor& a, const QColor& b, double t) {
        return QColor(lerp(a.red(), b.red(), t), lerp(a.green(), b.green(), t),
                      lerp(a.blue(), b.blue(), t));
    };
    return row <= 17 ? between(top, middle, row / 17.0)
                     : between(middle, bottom, (row - 17) / 16.0);
}

// Scales and moves `path` so that its bounds span [left, right] horizontally and sit
// centred on `centreY`.
QPainterPath fitted(const QPainterPath& path, double left, double right, double centreY)
{
    const QRectF box = path.boundingRect();
    const double scale = (right - left) / box.width();
    QTransform t;
    t.translate(left, centreY);
    t.scale(scale, scale);
    t.translate(-box.left(), -box.center().y());
    return t.map(path);
}

QImage drawBanner()
{
    QImage image(400, 34, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb c = railColor(y).rgb();
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, c);
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QFont heavy(QStringLiteral("DejaVu Sans"));
    heavy.setWeight(QFont::Black);
    heavy.setPixelSize(40);
    QPainterPath word;
    word.addText(0, 0, heavy, QStringLiteral("Reelvane"));
    // The white spans pixels 16 to 135; the outline reaches a little beyond.
    word = fitted(word, 16.5, 135.5, 17);
    p.setPen(QPen(Qt::black, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(word);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xfc, 0xfc, 0xfc));
    p.drawPath(word);

    QFont script(QStringLiteral("DejaVu Serif"));
    script.setItalic(true);
    script.setPixelSize(40);
    QPainterPath subtitle;
    subtitle.addText(0, 0, script, QStringLiteral("swf player"));
    QTransform slant;
    slant.shear(-0.3, 0);
    subtitle = fitted(slant.map(subtitle), 142.5, 250.5, 18);
    p.setBrush(QColor(0x10, 0x10, 0x12));
    p.drawPath(subtitle.translated(1.2, 1.2));
    p.setBrush(QColor(0xc9, 0xc7, 0xc7));
    p.drawPath(subtitle);
    return image;
}

void drawBall(QPainter& p, const QRectF& box)
{
    QRadialGradient shade(box.center(), box.width() / 2,
                          box.topLeft() + QPointF(box.width() * 0.33, box.height() * 0.3));
    shade.setColorAt(0.0, QColor(255, 245, 245));
    shade.setColorAt(0.18, QColor(255, 90, 90));
    shade.setColorAt(0.55, QColor(210, 10, 20));
    shade.setColorAt(1.0, QColor(90, 0, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(box);
}

QImage drawSphere(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    if (size == 16) {
        p.fillRect(image.rect(), Qt::black);
        p.setRenderHint(QPainter::Antialiasing);
        drawBall(p, QRectF(1, 1, 14, 14));
        return image;
    }
    // Black up to the frame, the bevelled frame one pixel in, and the right column and
    // bottom row left transparent.
    p.fillRect(QRect(0, 0, size - 1, size - 1), Qt::black);
    const int last = size - 3;
    p.fillRect(QRect(1, 1, last, 1), Qt::white);
    p.fillRect(QRect(1, 2, 1, last - 1), QColor(0xbb, 0xbb, 0xbb));
    p.fillRect(QRect(last, 2, 1, last - 1), QColor(0x88, 0x88, 0x88));
    p.fillRect(QRect(2, last, last - 1, 1), QColor(0x55, 0x55, 0x55));
    p.setRenderHint(QPainter::Antialiasing);
    drawBall(p, QRectF(4, 4, size - 9, size - 9));
    return image;
}

QImage drawLens(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QPointF c(s / 2, s / 2);
    const double outer = s * 0.48, ring = s * 0.11, glass = outer - ring;

    QLinearGradient metal(0, 0, s, s);
    metal.setColorAt(0.0, QColor(0xc6, 0xde, 0xe6));
    metal.setColorAt(0.45, QColor(0xb2, 0xc9, 0xd6));
    metal.setColorAt(1.0, QColor(0x50, 0x50, 0x61));
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    p.drawEllipse(c, outer, outer);

    QRadialGradient glow(c, glass);
    glow.setColorAt(0.0, QColor(0xff, 0x33, 0x33));
    glow.setColorAt(0.35, QColor(0xd0, 0x20, 0x20));
    glow.setColorAt(0.8, QColor(0x30, 0x00, 0x00));
    glow.setColorAt(1.0, Qt::black);
    p.setBrush(glow);
    p.drawEllipse(c, glass, glass);

    QRadialGradient point(c, s * 0.07);
    point.setColorAt(0.0, Qt::white);
    point.setColorAt(0.6, QColor(0xff, 0xff, 0x66));
    point.setColorAt(1.0, QColor(0xff, 0xff, 0x66, 0));
    p.setBrush(point);
    p.drawEllipse(c, s * 0.07, s * 0.07);

    // Reflection arcs across the upper half of the glass.
    p.setBrush(Qt::NoBrush);
    p.setPen(
        QPen(QColor(230, 240, 255, 210), std::max(1.0, s * 0.035), Qt::SolidLine, Qt::RoundCap));
    const QRectF arc1(c.x() - glass * 0.78, c.y() - glass * 0.78, glass * 1.56, glass * 1.56);
    p.drawArc(arc1, 100 * 16, 60 * 16);
    p.setPen(
        QPen(QColor(200, 225, 255, 160), std::max(1.0, s * 0.02), Qt::SolidLine, Qt::RoundCap));
    const QRectF arc2(c.x() - glass * 0.55, c.y() - glass * 0.55, glass * 1.1, glass * 1.1);
    p.drawArc(arc2, 40 * 16, 45 * 16);
    return image;
}

// The glossy red square of both buttons: a white frame with transparent corners.
QImage drawButtonFace()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::white);
    const QColor light(0xff, 0xaf, 0xad), middle(0xff, 0x17, 0x2e), dark(0x7a, 0x10, 0x15);
    for (int y = 1; y <= 14; ++y) {
        for (int x = 1; x <= 14; ++x) {
            const double t = ((x - 1) + (y - 1)) / 26.0; // 0 at the top-left, 1 at the bottom-right
            const QColor c =
                t < 0.5 ? mix(light, middle, t / 0.5) : mix(middle, dark, (t - 0.5) / 0.5);
            image.setPixelColor(x, y, c);
        }
    }
    for (QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)})
        image.setPixelColor(corner, Qt::transparent);
    return image;
}

QImage drawMinimise()
{
    QImage image = drawButtonFace();
    for (int x = 4; x <= 11; ++x)
        image.setPixelColor(x, 11, Qt::white);
    return image;
}

QImage drawClose()
{
    QImage image = drawButtonFace();
    const QColor pink(0xff, 0x85, 0x8d);
    for (int i = 4; i <= 11; ++i) {
        for (QPoint beside :
             {QPoint(i + 1, i), QPoint(i - 1, i), QPoint(15 - i + 1, i), QPoint(15 - i - 1, i)}) {
            if (beside.x() >= 4 && beside.x() <= 11)
                image.setPixelColor(beside, pink);
        }
    }
    for (int i = 4; i <= 11; ++i) {
        image.setPixelColor(i, i, Qt::white);
        image.setPixelColor(15 - i, i, Qt::white);
    }
    return image;
}

// A pointing hand, the index finger raised; its tip is the hot spot (5, 0).
QImage drawHand()
{
    static const char* const kRows[] = {
        "    ##          ", "   #..#         ", "   #..#         ", "   #..#         ",
        "   #..#         ", "   #..###       ", "   #..#..##     ", "   #..#..#.##   ",
        "   #..#..#..#.# ", "## #..#..#..#..#", "#..#...........#", "#..#...........#",
        " #.............#", "  #............#", "  #...........# ", "   #..........# ",
        "   #.........#  ", "    #........#  ", "    #........#  ", "    ##########  ",
    };
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    int y = 0;
    for (const char* row : kRows) {
        for (int x = 0; row[x]; ++x) {
            if (row[x] == '#')
                image.setPixelColor(x, y, Qt::black);
            else if (row[x] == '.')
                image.setPixelColor(x, y, Qt::white);
        }
        ++y;
    }
    return image;
}

bool save(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: reelvane-draw-resources RESOURCE_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("icons"));
    bool ok = save(drawBanner(), out.filePath(QStringLiteral("banner.png")));
    ok &= save(drawSphere(32), out.filePath(QStringLiteral("icons/sphere-32.png")));
    ok &= save(drawSphere(16), out.filePath(QStringLiteral("icons/sphere-16.png")));
    for (int size : {16, 24, 32, 48, 64, 72, 96, 128})
        ok &= save(drawLens(size), out.filePath(QStringLiteral("icons/lens-%1.png").arg(size)));
    ok &= save(drawMinimise(), out.filePath(QStringLiteral("minimise.png")));
    ok &= save(drawClose(), out.filePath(QStringLiteral("close.png")));
    ok &= save(drawHand(), out.filePath(QStringLiteral("hand.png")));
    return ok ? 0 : 1;
}
