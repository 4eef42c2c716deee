// Frame times of the renderer on a typical and a heavy scene at 1920x1080, beside their
// goals and beside plain QPainter drawing the same paths one by one without caches.
#include "BenchScene.h"
#include "render/BitmapImages.h"
#include "render/QtConversions.h"
#include "render/StageRenderer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int kWarmFrames = 5;
constexpr int kFrames = 60;

QPainterPath plainPath(const swf::Path& path)
{
    QPainterPath out;
    for (const swf::Segment& s : path.segments) {
        if (s.kind == swf::SegmentKind::Move)
            out.moveTo(s.x, s.y);
        else if (s.kind == swf::SegmentKind::Line)
            out.lineTo(s.x, s.y);
        else
            out.quadTo(s.cx, s.cy, s.x, s.y);
    }
    return out;
}

QBrush plainBrush(const swf::FillStyle& fill, const swf::MovieDefinition& movie)
{
    if (fill.isBitmap()) {
        const swf::Bitmap* bitmap = movie.get<swf::Bitmap>(fill.bitmapId);
        QBrush brush(render::BitmapImages::wrap(*bitmap));
        brush.setTransform(render::toQTransform(fill.matrix));
        return brush;
    }
    if (!fill.isGradient())
        return QColor(fill.color.r, fill.color.g, fill.color.b, fill.color.a);
    QGradient gradient = fill.type == swf::FillType::LinearGradient
                             ? QGradient(QLinearGradient(-16384, 0, 16384, 0))
                             : QGradient(QRadialGradient(0, 0, 16384));
    for (const swf::GradientStop& stop : fill.gradient.stops)
        gradient.setColorAt(stop.ratio / 255.0,
                            QColor(stop.color.r, stop.color.g, stop.color.b, stop.color.a));
    QBrush brush(gradient);
    brush.setTransform(render::toQTransform(fill.matrix));
    return brush;
}

// What a straightforward QPainter player would do: every path built and drawn each frame.
void drawPlain(const runtime::DrawList& list, QImage& image, const QTransform& view)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(image.rect(), QColor(list.background.r, list.background.g, list.background.b));
    for (const runtime::DrawCommand& command : list.commands) {
        const auto* shape =
            command.character ? std::get_if<swf::Shape>(&command.character->data) : nullptr;
        if (!shape)
            continue;
        painter.setTransform(render::toQTransform(command.matrix) * view);
        for (const swf::ShapeLayer& layer : shape->layers) {
            for (const swf::FillPath& fill : layer.fillPaths) {
                QPainterPath path = plainPath(fill.path);
                path.setFillRule(Qt::OddEvenFill);
                painter.fillPath(path, plainBrush(layer.fills[fill.style], *list.movie));
            }
            for (const swf::StrokePath& stroke : layer.strokePaths) {
                const swf::LineStyle& line = layer.lines[stroke.style];
                painter.strokePath(plainPath(stroke.path),
                                   QPen(QColor(line.color.r, line.color.g, line.color.b),
                                        line.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            }
        }
    }
}

struct Timing {
    double medianMs = 0; // wall time
    double cpuMs = 0;    // processor time of all threads, per frame
};

double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

Timing measureFrames(const BenchScene& scene,
                     const std::function<void(const runtime::DrawList&)>& draw)
{
    for (int n = 0; n < kWarmFrames; ++n)
        draw(scene.frame(n));
    std::vector<double> times;
    const double cpuStart = processCpuMs();
    for (int n = kWarmFrames; n < kWarmFrames + kFrames; ++n) {
        const runtime::DrawList list = scene.frame(n);
        QElapsedTimer timer;
        timer.start();
        draw(list);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double cpu = (processCpuMs() - cpuStart) / kFrames;
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return Timing{times[times.size() / 2], cpu};
}

// Set by a fifth argument to time one way of drawing only (for profiling).
QString g_only;

void measure(const char* name, const BenchSceneSettings& settings, double goal, double aim)
{
    const BenchScene scene(settings);
    const QSize size = BenchScene::stageSize();
    // Exact fit: the stage is the image.
    const QTransform view =
        QTransform::fromScale(1.0 / swf::Twips::kPerPixel, 1.0 / swf::Twips::kPerPixel);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);

    render::StageRenderer renderer;
    auto skip = [](const char* mode) { return !g_only.isEmpty() && g_only != QLatin1String(mode); };
    double compileMs = 0, paintMs = 0, dirtyPixels = 0;
    const Timing ours =
        skip("ours") ? Timing{} : measureFrames(scene, [&](const runtime::DrawList& list) {
            renderer.render(list, image, view, render::Quality::High);
            compileMs += renderer.lastFrameStats().compileMs;
            paintMs += renderer.lastFrameStats().paintMs;
            dirtyPixels += double(renderer.lastFrameStats().dirtyPixels);
        });
    render::StageRenderer whole;
    whole.setPartialRedraw(false);
    whole.setThreadCount(1);
    const Timing oneThread =
        skip("one") ? Timing{} : measureFrames(scene, [&](const runtime::DrawList& list) {
            whole.render(list, image, view, render::Quality::High);
        });
    const Timing plain =
        skip("plain") ? Timing{} : measureFrames(scene, [&](const runtime::DrawList& list) {
            drawPlain(list, image, view);
        });

    std::printf("%-8s %4d shapes (1 in %d gradient, 1 in %d moving), %2d bitmaps, %2d sprites\n",
                name, settings.shapes, settings.gradientEvery, settings.movingEvery,
                settings.bitmaps, settings.sprites);
    if (goal > 0)
        std::printf("  renderer                          %7.2f ms/frame (cpu %6.2f)  goal <= %.0f "
                    "ms%s  %s\n",
                    ours.medianMs, ours.cpuMs, goal,
                    aim > 0 ? qPrintable(QStringLiteral(" (aim %1)").arg(aim)) : "",
                    ours.medianMs <= goal ? "met" : "MISSED");
    else
        std::printf("  renderer                          %7.2f ms/frame (cpu %6.2f)\n",
                    ours.medianMs, ours.cpuMs);
    const int counted = kWarmFrames + kFrames;
    std::printf("    of which making paint items %.2f ms, drawing them %.2f ms (means), "
                "%.0f%% of the image redrawn\n",
                compileMs / counted, paintMs / counted,
                100 * dirtyPixels / counted / (size.width() * size.height()));
    std::printf("  renderer, 1 thread, whole frames  %7.2f ms/frame (cpu %6.2f)\n",
                oneThread.medianMs, oneThread.cpuMs);
    std::printf("  plain QPainter                    %7.2f ms/frame (cpu %6.2f)\n", plain.medianMs,
                plain.cpuMs);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // "save FILE" writes a frame of the typical scene drawn by the renderer and by plain
    // QPainter side by side, to look at.
    if (argc == 3 && QLatin1String(argv[1]) == QLatin1String("save")) {
        const BenchScene scene(BenchSceneSettings{100, 5, 10, 5});
        const QTransform view =
            QTransform::fromScale(1.0 / swf::Twips::kPerPixel, 1.0 / swf::Twips::kPerPixel);
        QImage ours(BenchScene::stageSize(), QImage::Format_ARGB32_Premultiplied);
        QImage plain = ours;
        render::StageRenderer renderer;
        for (int n = 0; n <= 10; ++n)
            renderer.render(scene.frame(n), ours, view, render::Quality::High);
        drawPlain(scene.frame(10), plain, view);
        QImage both(ours.width() * 2, ours.height(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&both);
        painter.drawImage(0, 0, ours);
        painter.drawImage(ours.width(), 0, plain);
        painter.end();
        return both.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    // Four numbers describe a scene of one's own: shapes, one-in-N gradients, bitmaps,
    // sprites (for finding where the time goes).
    if (argc >= 5) {
        if (argc > 5)
            g_only = QString::fromLocal8Bit(argv[5]);
        measure("custom",
                BenchSceneSettings{atoi(argv[1]), atoi(argv[2]), atoi(argv[3]), atoi(argv[4])}, 0,
                0);
        return 0;
    }
    // An argument picks one scene: "typical" or "heavy".
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    std::printf("Median of %d frames at 1920x1080, exact fit, high quality.\n", kFrames);
    if (only.isEmpty() || only == QLatin1String("typical"))
        measure("typical", BenchSceneSettings{100, 5, 10, 5}, 8, 0);
    if (only.isEmpty() || only == QLatin1String("heavy"))
        measure("heavy", BenchSceneSettings{500, 1, 30, 20}, 50, 33);
    // No goal: how much redrawing only what changed saves when little moves.
    if (only.isEmpty() || only == QLatin1String("calm"))
        measure("calm", BenchSceneSettings{100, 5, 10, 5, 10}, 0, 0);
    return 0;
}
