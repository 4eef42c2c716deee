#include "RoundStroker.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace render {

namespace {

constexpr double kPi = 3.14159265358979323846;
// However fine the tolerance, half a turn is cut into at most this many steps.
constexpr int kMaxHalfTurnSteps = 256;

double cross(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

double dot(QPointF a, QPointF b)
{
    return a.x() * b.x() + a.y() * b.y();
}

// Turns clockwise (from +x towards -y in the path's units) by a fixed angle.
struct Rotation {
    double c = 1, s = 0;
    explicit Rotation(double angle) : c(std::cos(angle)), s(std::sin(angle)) {}
    QPointF operator()(QPointF v) const { return {v.x() * c + v.y() * s, -v.x() * s + v.y() * c}; }
};

// Each side of a sub-path is walked with the offset on the left of the direction of
// travel (a quarter turn anticlockwise): its outer corners then turn clockwise, and so
// do its caps, from the left of the end around the front to the right.
class Outline {
public:
    Outline(const swf::LineStyle& line, double tolerance)
        : m_halfWidth(line.width / 2.0), m_step(stepFor(m_halfWidth, tolerance)),
          m_capSteps(std::max(1, static_cast<int>(std::ceil(kPi / m_step)))),
          m_capTurn(kPi / m_capSteps),
          m_slightCosine2(std::pow(m_halfWidth / (m_halfWidth + tolerance), 2)),
          m_startCap(line.startCap), m_endCap(line.endCap)
    {}

    void subpath(std::vector<QPointF>& points, bool closed)
    {
        if (closed) {
            side(points, true, false);
            std::reverse(points.begin(), points.end());
            side(points, true, false);
            return;
        }
        side(points, false, false);
        cap(points.back(), m_lastNormal, m_endCap);
        std::reverse(points.begin(), points.end());
        side(points, false, true);
        cap(points.back(), m_lastNormal, m_startCap);
        m_out.closeSubpath();
    }

    // Room for `points` along each side, and a little more for corners and caps.
    void reserve(int points) { m_out.reserve(2 * points + 32); }
    QPainterPath take() { return std::move(m_out); }

private:
    static double stepFor(double radius, double tolerance)
    {
        // A chord of an arc of radius r strays r (1 - cos(step / 2)) from it.
        const double step = tolerance >= radius ? kPi / 2 : 2 * std::acos(1 - tolerance / radius);
        return std::clamp(step, kPi / kMaxHalfTurnSteps, kPi / 2);
    }

    QPointF normal(QPointF from, QPointF to) const
    {
        const QPointF d = to - from;
        const double length = std::hypot(d.x(), d.y());
        return QPointF(-d.y(), d.x()) * (m_halfWidth / length);
    }

    // One side of `points`: the left offset of each segment, joined at each corner.
    void side(const std::vector<QPointF>& points, bool closed, bool continuing)
    {
        const std::size_t count = points.size();
        const std::size_t segments = closed ? count : count - 1;
        m_normals.resize(segments);
        for (std::size_t i = 0; i < segments; ++i)
            m_normals[i] = normal(points[i], points[(i + 1) % count]);
        QPointF start = points[0] + m_normals[0];
        if (QPointF mitre; closed && slightTurn(m_normals[segments - 1], m_normals[0], mitre))
            start = points[0] + mitre;
        if (continuing)
            m_out.lineTo(start);
        else
            m_out.moveTo(start);
        for (std::size_t i = 0; i < segments; ++i) {
            const QPointF corner = points[(i + 1) % count];
            if (closed || i + 1 < segments)
                join(corner, m_normals[i], m_normals[(i + 1) % segments]);
            else
                m_out.lineTo(corner + m_normals[i]);
        }
        if (closed)
            m_out.closeSubpath();
        m_lastNormal = m_normals[segments - 1];
    }

    // A turn so slight that the offsets' meeting point (`mitre`, from the corner) lies
    // within the tolerance of the rounded corner: steps along a flattened curve.
    bool slightTurn(QPointF in, QPointF out, QPointF& mitre) const
    {
        const double cosine = dot(in, out) / (m_halfWidth * m_halfWidth);
        // The mitre reaches halfWidth / cos(turn / 2) from the corner.
        if ((1 + cosine) / 2 < m_slightCosine2)
            return false;
        mitre = (in + out) / (1 + cosine);
        return true;
    }

    // From the end of the segment coming in to the start of the one going out.
    void join(QPointF corner, QPointF in, QPointF out)
    {
        if (QPointF mitre; slightTurn(in, out, mitre)) {
            m_out.lineTo(corner + mitre);
            return;
        }
        m_out.lineTo(corner + in);
        if (cross(in, out) > 0) {
            // The inner side: straight across. The offsets overlap there, and the
            // overlap lies inside the line, which the non-zero rule fills once.
            m_out.lineTo(corner + out);
            return;
        }
        const Rotation rotate(m_step);
        QPointF v = in;
        for (int i = 0; i < 2 * kMaxHalfTurnSteps; ++i) {
            v = rotate(v);
            if (cross(v, out) >= 0)
                break;
            m_out.lineTo(corner + v);
        }
        m_out.lineTo(corner + out);
    }

    // From the left of the end (`left` its offset) to its right.
    void cap(QPointF end, QPointF left, swf::CapStyle style)
    {
        switch (style) {
        case swf::CapStyle::Round: {
            const Rotation rotate(m_capTurn);
            QPointF v = left;
            for (int i = 1; i < m_capSteps; ++i) {
                v = rotate(v);
                m_out.lineTo(end + v);
            }
            break;
        }
        case swf::CapStyle::Square: {
            const QPointF ahead(left.y(), -left.x());
            m_out.lineTo(end + left + ahead);
            m_out.lineTo(end - left + ahead);
            break;
        }
        case swf::CapStyle::None:
            break;
        }
        m_out.lineTo(end - left);
    }

    double m_halfWidth;
    double m_step;
    int m_capSteps;
    double m_capTurn;
    double m_slightCosine2; // the squared cosine of half the slightest turn rounded
    swf::CapStyle m_startCap, m_endCap;
    std::vector<QPointF> m_normals;
    QPointF m_lastNormal;
    QPainterPath m_out;
};

} // namespace

std::optional<QPainterPath> roundJoinedOutline(const QPainterPath& centre,
                                               const swf::LineStyle& line, double tolerance,
                                               bool closedLoops)
{
    if (line.join != swf::JoinStyle::Round || line.width == 0 || !(tolerance > 0))
        return std::nullopt;
    Outline outline(line, tolerance);
    outline.reserve(centre.elementCount());
    std::vector<QPointF> points;
    auto finish = [&]() {
        if (points.empty())
            return true;
        const bool closed = closedLoops && points.size() > 2 && points.front() == points.back();
        if (closed)
            points.pop_back();
        if (points.size() < 2)
            return false;
        outline.subpath(points, closed);
        points.clear();
        return true;
    };
    for (int i = 0; i < centre.elementCount(); ++i) {
        const QPainterPath::Element element = centre.elementAt(i);
        if (element.isMoveTo()) {
            if (!finish())
                return std::nullopt;
        } else if (!element.isLineTo()) {
            return std::nullopt; // curves are the stroker's to draw
        }
        const QPointF point(element.x, element.y);
        // Steps that go nowhere have no direction to offset.
        if (points.empty() || point != points.back())
            points.push_back(point);
    }
    if (!finish())
        return std::nullopt;
    QPainterPath out = outline.take();
    out.setFillRule(Qt::WindingFill);
    return out;
}

} // namespace render
