// The outlines of lines with round joins: every point nearer the centre line than half
// the width is covered and none much further, whatever the turns (sharp, reversing,
// along flattened curves), on open and closed sub-paths; caps as the styles ask.
#include "render/PathFlattener.h"
#include "render/RoundStroker.h"

#include <QtTest>
#include <cmath>

namespace {

constexpr double kTolerance = 0.5;

swf::LineStyle roundLine(std::uint16_t width, swf::CapStyle cap = swf::CapStyle::Round)
{
    swf::LineStyle line;
    line.width = width;
    line.startCap = line.endCap = cap;
    return line;
}

swf::Path polyline(const std::vector<QPointF>& points)
{
    swf::Path path;
    path.segments.push_back({swf::SegmentKind::Move, int(points[0].x()), int(points[0].y())});
    for (std::size_t i = 1; i < points.size(); ++i)
        path.segments.push_back({swf::SegmentKind::Line, int(points[i].x()), int(points[i].y())});
    return path;
}

double distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double length2 = d.x() * d.x() + d.y() * d.y();
    double t = length2 > 0 ? ((p - a).x() * d.x() + (p - a).y() * d.y()) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF q = a + t * d - p;
    return std::hypot(q.x(), q.y());
}

// Every grid point clearly inside the line is covered, every one clearly outside is not.
void checkCoverage(const swf::Path& path, std::uint16_t width)
{
    const QPainterPath centre =
        render::flattenPath(path, kTolerance, render::SubpathClosing::CloseLoops);
    const auto outline = render::roundJoinedOutline(centre, roundLine(width), kTolerance, true);
    QVERIFY(outline);
    QCOMPARE(outline->fillRule(), Qt::WindingFill);
    std::vector<std::pair<QPointF, QPointF>> segments;
    for (int i = 1; i < centre.elementCount(); ++i)
        if (centre.elementAt(i).isLineTo())
            segments.emplace_back(QPointF(centre.elementAt(i - 1)), QPointF(centre.elementAt(i)));
    const double half = width / 2.0;
    const QRectF box = centre.boundingRect().adjusted(-width, -width, width, width);
    int inside = 0, outside = 0;
    for (double y = box.top(); y <= box.bottom(); y += 1.7) {
        for (double x = box.left(); x <= box.right(); x += 1.3) {
            const QPointF p(x, y);
            double nearest = 1e9;
            for (const auto& [a, b] : segments)
                nearest = std::min(nearest, distanceToSegment(p, a, b));
            if (nearest < half - kTolerance) {
                ++inside;
                QVERIFY2(outline->contains(p),
                         qPrintable(QString("(%1, %2) should be covered").arg(x).arg(y)));
            } else if (nearest > half + kTolerance) {
                ++outside;
                QVERIFY2(!outline->contains(p),
                         qPrintable(QString("(%1, %2) should be clear").arg(x).arg(y)));
            }
        }
    }
    QVERIFY(inside > 50 && outside > 50);
}

} // namespace

class RoundStrokerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void coversTheLine_data()
    {
        QTest::addColumn<std::vector<QPointF>>("points");
        QTest::newRow("straight") << std::vector<QPointF>{{0, 0}, {200, 0}};
        QTest::newRow("zigzag, both turns")
            << std::vector<QPointF>{{0, 0}, {100, 0}, {120, 80}, {200, 10}, {180, 150}};
        QTest::newRow("sharp turn back") << std::vector<QPointF>{{0, 0}, {200, 0}, {10, 30}};
        QTest::newRow("reversal") << std::vector<QPointF>{{0, 0}, {150, 0}, {60, 0}};
        QTest::newRow("short steps")
            << std::vector<QPointF>{{0, 0}, {5, 2}, {8, 9}, {7, 15}, {90, 40}};
        // Turns of every size, steps of every length.
        std::vector<QPointF> wander{{0, 0}};
        std::uint32_t seed = 12345;
        for (int i = 0; i < 14; ++i) {
            seed = seed * 1103515245u + 12345u;
            const double x = (seed >> 8) % 160, y = (seed >> 20) % 160;
            wander.emplace_back(x, y);
        }
        QTest::newRow("wandering") << wander;
        QTest::newRow("closed square")
            << std::vector<QPointF>{{0, 0}, {150, 0}, {150, 150}, {0, 150}, {0, 0}};
        QTest::newRow("closed the other way")
            << std::vector<QPointF>{{0, 0}, {0, 150}, {150, 150}, {150, 0}, {0, 0}};
    }
    void coversTheLine()
    {
        QFETCH(std::vector<QPointF>, points);
        checkCoverage(polyline(points), 40);
        // A line wider than its steps are long.
        checkCoverage(polyline(points), 120);
    }

    void coversCurvesAndSeveralSubpaths()
    {
        swf::Path path;
        path.segments.push_back({swf::SegmentKind::Move, 0, 0});
        path.segments.push_back({swf::SegmentKind::Curve, 300, 0, 150, 200});
        path.segments.push_back({swf::SegmentKind::Curve, 300, 300, 0, 300});
        path.segments.push_back({swf::SegmentKind::Move, 400, 0});
        path.segments.push_back({swf::SegmentKind::Line, 500, 100});
        checkCoverage(path, 30);
    }

    void capsFollowTheStyle()
    {
        const QPainterPath centre = render::flattenPath(polyline({{0, 0}, {100, 0}}), kTolerance,
                                                        render::SubpathClosing::CloseLoops);
        const QPointF pastEnd(110, 0), pastCorner(118, 18);
        const auto round = render::roundJoinedOutline(centre, roundLine(40), kTolerance, true);
        const auto square = render::roundJoinedOutline(centre, roundLine(40, swf::CapStyle::Square),
                                                       kTolerance, true);
        const auto none = render::roundJoinedOutline(centre, roundLine(40, swf::CapStyle::None),
                                                     kTolerance, true);
        QVERIFY(round && square && none);
        QVERIFY(round->contains(pastEnd) && !round->contains(pastCorner));
        QVERIFY(square->contains(pastEnd) && square->contains(pastCorner));
        QVERIFY(!none->contains(pastEnd) && none->contains(QPointF(95, 18)));
        QVERIFY(square->contains(QPointF(-18, -18)) && !none->contains(QPointF(-5, 0)));
    }

    void leavesOtherLinesToQt()
    {
        const QPainterPath centre =
            render::flattenPath(polyline({{0, 0}, {100, 0}, {100, 90}}), kTolerance,
                                render::SubpathClosing::CloseLoops);
        swf::LineStyle miter = roundLine(40);
        miter.join = swf::JoinStyle::Miter;
        QVERIFY(!render::roundJoinedOutline(centre, miter, kTolerance, true));
        // A sub-path of one point has no direction to offset.
        QPainterPath dot;
        dot.moveTo(10, 10);
        dot.lineTo(10, 10);
        QVERIFY(!render::roundJoinedOutline(dot, roundLine(40), kTolerance, true));
    }

    void openLoopsKeepTheirCaps()
    {
        // The same square as a loop and, for a style that asks for caps, as an open line:
        // the corner where it began is rounded only when it is joined.
        const swf::Path square = polyline({{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}});
        const auto joined = render::roundJoinedOutline(
            render::flattenPath(square, kTolerance, render::SubpathClosing::CloseLoops),
            roundLine(40, swf::CapStyle::None), kTolerance, true);
        const auto capped = render::roundJoinedOutline(
            render::flattenPath(square, kTolerance, render::SubpathClosing::KeepOpen),
            roundLine(40, swf::CapStyle::None), kTolerance, false);
        QVERIFY(joined && capped);
        const QPointF outsideCorner(-12, -12);
        QVERIFY(joined->contains(outsideCorner));
        QVERIFY(!capped->contains(outsideCorner));
    }
};

QTEST_MAIN(RoundStrokerTest)
#include "tst_RoundStroker.moc"
