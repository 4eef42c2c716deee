#include "BlendModes.h"

#include <algorithm>

namespace render {

namespace {

inline int mulDiv255(int a, int b)
{
    const int t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

QRgb subtract(QRgb b, QRgb s)
{
    return qRgba(std::max(0, qRed(b) - qRed(s)), std::max(0, qGreen(b) - qGreen(s)),
                 std::max(0, qBlue(b) - qBlue(s)), qAlpha(b));
}

QRgb invert(QRgb b, QRgb s)
{
    // Premultiplied: the inverse of a channel c under alpha a is a - c.
    const int sa = qAlpha(s), ba = qAlpha(b);
    auto channel = [&](int c) { return c + mulDiv255(sa, ba - 2 * c + 255) - sa; };
    return qRgba(channel(qRed(b)), channel(qGreen(b)), channel(qBlue(b)), ba);
}

QRgb scaleAll(QRgb b, int factor)
{
    return qRgba(mulDiv255(qRed(b), factor), mulDiv255(qGreen(b), factor),
                 mulDiv255(qBlue(b), factor), mulDiv255(qAlpha(b), factor));
}

} // namespace

bool hasCompositionMode(swf::BlendMode mode)
{
    switch (mode) {
    case swf::BlendMode::Subtract:
    case swf::BlendMode::Invert:
    case swf::BlendMode::Alpha:
    case swf::BlendMode::Erase:
        return false;
    default:
        return true;
    }
}

QPainter::CompositionMode compositionMode(swf::BlendMode mode)
{
    switch (mode) {
    case swf::BlendMode::Multiply:
        return QPainter::CompositionMode_Multiply;
    case swf::BlendMode::Screen:
        return QPainter::CompositionMode_Screen;
    case swf::BlendMode::Lighten:
        return QPainter::CompositionMode_Lighten;
    case swf::BlendMode::Darken:
        return QPainter::CompositionMode_Darken;
    case swf::BlendMode::Difference:
        return QPainter::CompositionMode_Difference;
    case swf::BlendMode::Add:
        return QPainter::CompositionMode_Plus;
    case swf::BlendMode::Overlay:
        return QPainter::CompositionMode_Overlay;
    case swf::BlendMode::HardLight:
        return QPainter::CompositionMode_HardLight;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

void blendByHand(QImage& backdrop, const QRect& area, const QImage& layer, QPoint layerOffset,
                 swf::BlendMode mode)
{
    const QRect target = area & backdrop.rect() & QRect(layerOffset, layer.size());
    if (target.isEmpty())
        return;
    for (int y = target.top(); y <= target.bottom(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(backdrop.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(layer.constScanLine(y - layerOffset.y()));
        for (int x = target.left(); x <= target.right(); ++x) {
            const QRgb s = in[x - layerOffset.x()];
            switch (mode) {
            case swf::BlendMode::Subtract:
                out[x] = subtract(out[x], s);
                break;
            case swf::BlendMode::Invert:
                out[x] = invert(out[x], s);
                break;
            case swf::BlendMode::Alpha:
                out[x] = scaleAll(out[x], qAlpha(s));
                break;
            case swf::BlendMode::Erase:
                out[x] = scaleAll(out[x], 255 - qAlpha(s));
                break;
            default:
                break;
            }
        }
    }
}

} // namespace render
