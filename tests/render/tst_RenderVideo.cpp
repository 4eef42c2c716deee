// Embedded video in the renderer: the picture a video object shows, scaled to its
// declared size under its placement's matrix and colour transform, smoothed as the
// object says when the quality allows.
#include "RenderScenes.h"
#include "TestMovie.h"
#include "VideoMovies.h"
#include "runtime/MoviePlayer.h"
#include "runtime/SpriteObject.h"
#include "runtime/VideoObject.h"

#include <QTest>

using namespace videomovies;

namespace {

QColor colour(std::uint32_t rgb)
{
    return QColor(int(rgb >> 16) & 0xff, int(rgb >> 8) & 0xff, int(rgb) & 0xff);
}

// A video of twice its coded size, 20 pixels right and 10 down: it covers x 20 to 148
// and y 10 to 106 of the 200 x 150 stage, its mark x 84 to 116 and y 42 to 74.
struct Playing {
    explicit Playing(bool smoothing = false)
    {
        Options options;
        options.width = 2 * kCodedWidth;
        options.height = 2 * kCodedHeight;
        options.matrix = swfwriter::Matrix::translate(20 * scenes::kPx, 10 * scenes::kPx);
        options.smoothing = smoothing;
        auto movie = swf::loadMovie(solidColourMovie(options).bytes());
        if (movie)
            player = std::make_unique<runtime::MoviePlayer>(*movie, host);
    }
    runtime::VideoObject& video()
    {
        return static_cast<runtime::VideoObject&>(*player->root().childAt(1));
    }
    runtime::DrawCommand& commandOf(runtime::DrawList& list)
    {
        for (auto& command : list.commands)
            if (command.objectId == video().id())
                return command;
        return list.commands.front();
    }

    testmovie::RecordingHost host;
    std::unique_ptr<runtime::MoviePlayer> player;
};

// Red on the left half, blue on the right: 2 x 1 pixels.
std::shared_ptr<swf::Bitmap> redBlue()
{
    auto picture = std::make_shared<swf::Bitmap>();
    picture->width = 2;
    picture->height = 1;
    picture->pixels = {0xffff0000, 0xff0000ff};
    return picture;
}

} // namespace

class RenderVideoTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        if (!canEncode())
            QSKIP("libavcodec has no Sorenson H.263 encoder");
    }

    void thePictureFillsTheDeclaredSize()
    {
        Playing playing;
        QVERIFY(playing.player);
        for (int frame : {0, 1, 2}) {
            const QImage image =
                scenes::renderFrame(playing.player->buildDrawList(), QSize(200, 150));
            // The mark shows the frame's colour; the corners just inside, the steady one.
            for (QPoint p : {QPoint(86, 44), QPoint(114, 72), QPoint(100, 58)})
                QVERIFY2(scenes::near(scenes::at(image, p.x(), p.y()), colour(kColours[frame]), 24),
                         qPrintable(QString("frame %1 at %2,%3").arg(frame).arg(p.x()).arg(p.y())));
            for (QPoint p : {QPoint(21, 11), QPoint(21, 104), QPoint(146, 11), QPoint(146, 104)})
                QVERIFY2(scenes::near(scenes::at(image, p.x(), p.y()), colour(kSteady), 24),
                         qPrintable(QString("frame %1 at %2,%3").arg(frame).arg(p.x()).arg(p.y())));
            // Outside, the stage's background.
            for (QPoint p : {QPoint(18, 58), QPoint(150, 58), QPoint(84, 8), QPoint(84, 108)})
                QCOMPARE(scenes::at(image, p.x(), p.y()), QColor(255, 255, 255));
            playing.player->advance();
        }
    }

    void theColourTransformTintsThePicture()
    {
        Playing playing;
        QVERIFY(playing.player);
        runtime::DrawList list = playing.player->buildDrawList();
        // Red (frame 0) with its red taken away and blue added.
        swf::ColorTransform tint;
        tint.rMul = 0;
        tint.bAdd = 255;
        playing.commandOf(list).colorTransform = tint;
        const QImage image = scenes::renderFrame(list, QSize(200, 150));
        QVERIFY(scenes::near(scenes::at(image, 100, 58), QColor(0, 0, 255), 24));
        // Half alpha over the white background.
        swf::ColorTransform faded;
        faded.aMul = 128;
        playing.commandOf(list).colorTransform = faded;
        const QImage half = scenes::renderFrame(list, QSize(200, 150));
        QVERIFY(scenes::near(scenes::at(half, 100, 58), QColor(255, 127, 127), 24));
    }

    void oneRendererShowsEachNewPictureThroughItsTint()
    {
        // What a tinted or smoothed picture is made into is kept between frames, by the
        // object and its version: a new picture is never drawn from the old one's.
        Playing playing(true);
        QVERIFY(playing.player);
        render::StageRenderer renderer;
        QImage image(200, 150, QImage::Format_ARGB32_Premultiplied);
        swf::ColorTransform darker;
        darker.rMul = darker.gMul = darker.bMul = 128;
        for (int frame : {0, 1, 2, 3}) {
            runtime::DrawList list = playing.player->buildDrawList();
            playing.commandOf(list).colorTransform = darker;
            renderer.render(list, image, scenes::pixelView(), render::Quality::High);
            const std::uint32_t c = kColours[frame];
            const QColor expected(int((c >> 16) & 0xff) / 2, int((c >> 8) & 0xff) / 2,
                                  int(c & 0xff) / 2);
            QVERIFY2(
                scenes::near(scenes::at(image, 100, 58), expected, 16),
                qPrintable(
                    QString("frame %1: %2").arg(frame).arg(scenes::at(image, 100, 58).name())));
            playing.player->advance();
        }
    }

    void smoothingFollowsTheObjectAndTheQuality_data()
    {
        QTest::addColumn<bool>("streamSmoothing");
        QTest::addColumn<int>("scriptSmoothing"); // -1: left as the stream says
        QTest::addColumn<int>("quality");
        QTest::addColumn<bool>("blends");
        const int high = int(render::Quality::High), low = int(render::Quality::Low);
        QTest::newRow("stream unsmoothed") << false << -1 << high << false;
        QTest::newRow("stream smoothed") << true << -1 << high << true;
        QTest::newRow("smoothed by a script") << false << 1 << high << true;
        QTest::newRow("unsmoothed by a script") << true << 0 << high << false;
        QTest::newRow("smoothed, at low quality") << true << -1 << low << false;
    }
    void smoothingFollowsTheObjectAndTheQuality()
    {
        QFETCH(bool, streamSmoothing);
        QFETCH(int, scriptSmoothing);
        QFETCH(int, quality);
        QFETCH(bool, blends);
        Playing playing(streamSmoothing);
        QVERIFY(playing.player);
        if (scriptSmoothing >= 0)
            playing.video().setSmoothing(scriptSmoothing == 1);
        // Two pixels stretched over 128: the middle, a quarter in, is between them.
        playing.video().showPicture(redBlue());
        const QImage image = scenes::renderFrame(playing.player->buildDrawList(), QSize(200, 150),
                                                 render::Quality(quality));
        const QColor left = scenes::at(image, 22, 58), middle = scenes::at(image, 84, 58);
        QVERIFY(scenes::near(left, QColor(255, 0, 0), 8));
        const bool mixed = middle.red() > 40 && middle.blue() > 40;
        QVERIFY2(mixed == blends, qPrintable(middle.name()));
    }
};

QTEST_MAIN(RenderVideoTest)
#include "tst_RenderVideo.moc"
