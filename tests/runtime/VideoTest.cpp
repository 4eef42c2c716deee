// Embedded video as the timeline plays it: the frame its ratio numbers, decoded forward
// or afresh from a keyframe after jumps, damage that keeps the last picture, the bounds
// of the declared size, and pictures handed in from elsewhere.
#include "TestMovie.h"
#include "VideoMovies.h"
#include "VideoWriter.h"
#include "runtime/MoviePlayer.h"
#include "runtime/SpriteObject.h"
#include "runtime/VideoObject.h"

#include <QtTest>

using namespace videomovies;
using runtime::MoviePlayer;
using runtime::VideoObject;

namespace {

swf::MoviePtr load(const swfwriter::MovieWriter& movie)
{
    auto loaded = swf::loadMovie(movie.bytes());
    return loaded ? *loaded : nullptr;
}

VideoObject* videoOf(MoviePlayer& player)
{
    runtime::DisplayObject* object = player.root().childAt(1);
    if (!object || object->kind() != runtime::ObjectKind::Video)
        return nullptr;
    return static_cast<VideoObject*>(object);
}

// The colour in the middle of the mark of the picture shown, which tells the frame; and
// the steady colour around it, which every frame shows.
std::uint32_t centre(const VideoObject& video)
{
    const auto& picture = video.picture();
    return picture ? picture->pixel(kMarkLeft + kMarkSide / 2, kMarkTop + kMarkSide / 2) : 0;
}

bool steady(const VideoObject& video)
{
    const auto& picture = video.picture();
    return picture && near(picture->pixel(8, 8), kSteady) &&
           near(picture->pixel(picture->width - 4, picture->height - 4), kSteady);
}

} // namespace

class VideoTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        if (!canEncode())
            QSKIP("libavcodec has no Sorenson H.263 encoder");
    }

    void eachTimelineFrameShowsItsVideoFrame()
    {
        testmovie::RecordingHost host;
        MoviePlayer player(load(solidColourMovie()), host);
        VideoObject* video = videoOf(player);
        QVERIFY(video);
        for (int frame = 0; frame < 8; ++frame) {
            QCOMPARE(int(player.currentFrame()), frame);
            QCOMPARE(video->shownFrame(), std::optional<std::uint16_t>(frame));
            QVERIFY2(near(centre(*video), kColours[frame]),
                     qPrintable(QString("frame %1: %2").arg(frame).arg(centre(*video), 8, 16)));
            QVERIFY(steady(*video));
            QCOMPARE(video->picture()->width, std::uint32_t(kCodedWidth));
            QCOMPARE(video->picture()->height, std::uint32_t(kCodedHeight));
            player.advance();
            QCOMPARE(videoOf(player), video);
        }
    }

    void jumpsShowTheFrameJumpedTo_data()
    {
        // Keyframes at 0 and 4; the rest build on the frame before. Each row is a path
        // of jumps from frame 0: back, forward past a keyframe, forward within a run,
        // and a repeat.
        QTest::addColumn<QList<int>>("jumps");
        QTest::newRow("forward within a run") << QList<int>{3};
        QTest::newRow("forward past a keyframe") << QList<int>{6};
        QTest::newRow("back to a frame after a keyframe") << QList<int>{7, 5};
        QTest::newRow("back into the first run") << QList<int>{6, 2, 3};
        QTest::newRow("back to the start, then on") << QList<int>{5, 0, 1, 7};
        QTest::newRow("the same frame twice") << QList<int>{2, 2};
    }
    void jumpsShowTheFrameJumpedTo()
    {
        QFETCH(QList<int>, jumps);
        testmovie::RecordingHost host;
        MoviePlayer player(load(solidColourMovie()), host);
        player.root().stop();
        for (int target : jumps) {
            player.root().gotoFrame(std::size_t(target));
            VideoObject* video = videoOf(player);
            QVERIFY(video);
            QCOMPARE(video->shownFrame(), std::optional<std::uint16_t>(target));
            QVERIFY2(near(centre(*video), kColours[target]),
                     qPrintable(QString("at %1: %2").arg(target).arg(centre(*video), 8, 16)));
            QVERIFY2(steady(*video), qPrintable(QString("at %1").arg(target)));
        }
    }

    void aLongStreamWithoutKeyframesStillDecodesABoundedRun()
    {
        // Only frame 0 is a keyframe: a jump to the end decodes every frame up to it.
        Options options;
        options.keyframeInterval = 100;
        testmovie::RecordingHost host;
        MoviePlayer player(load(solidColourMovie(options)), host);
        player.root().stop();
        player.root().gotoFrame(7);
        QVERIFY(near(centre(*videoOf(player)), kColours[7]));
        QVERIFY(steady(*videoOf(player)));
        player.root().gotoFrame(1);
        QVERIFY(near(centre(*videoOf(player)), kColours[1]));
        QVERIFY(steady(*videoOf(player)));
    }

    void aVideoInASpriteFollowsTheSpritesFrames()
    {
        // The sprite's own timeline carries the packets and moves the ratio; when it
        // loops, the first frame shows again.
        const auto packets = solidColourPackets(4);
        QCOMPARE(packets.size(), std::size_t(8));
        swfwriter::MovieWriter movie(8, 200, 150, 12);
        movie.add(60, swfwriter::defineVideoStream(kStreamId, {8, kCodedWidth, kCodedHeight}));
        swfwriter::TagList clip;
        for (std::uint16_t frame = 0; frame < 6; ++frame) {
            clip.add(61, swfwriter::videoFrame(kStreamId, frame, packets[frame]));
            swfwriter::Place place;
            place.ratio = frame;
            if (frame == 0)
                place.characterId = kStreamId;
            else
                place.move = true;
            clip.place2(place);
            clip.showFrame();
        }
        movie.defineSprite(5, clip);
        swfwriter::Place holder;
        holder.characterId = 5;
        holder.name = "clip";
        movie.place2(holder);
        movie.showFrame();
        testmovie::RecordingHost host;
        MoviePlayer player(load(movie), host);
        auto& sprite = static_cast<runtime::SpriteObject&>(*player.root().childAt(1));
        for (int step = 0; step < 8; ++step) {
            const int frame = step % 6;
            QCOMPARE(int(sprite.currentFrame()), frame);
            const auto* video = static_cast<VideoObject*>(sprite.childAt(1));
            QVERIFY(video && video->kind() == runtime::ObjectKind::Video);
            QVERIFY2(near(centre(*video), kColours[frame]) && steady(*video),
                     qPrintable(QString("step %1: %2").arg(step).arg(centre(*video), 8, 16)));
            player.advance();
        }
    }

    void aDamagedFrameKeepsTheLastGoodPicture()
    {
        Options options;
        options.damaged = {2};
        testmovie::RecordingHost host;
        MoviePlayer player(load(solidColourMovie(options)), host);
        VideoObject* video = videoOf(player);
        player.advance();
        const std::uint64_t version = video->pictureVersion();
        const std::uint64_t content = video->contentVersion();
        QVERIFY(near(centre(*video), kColours[1]));
        player.advance();
        QCOMPARE(video->shownFrame(), std::optional<std::uint16_t>(2));
        QVERIFY(near(centre(*video), kColours[1]));
        QCOMPARE(video->pictureVersion(), version);
        QVERIFY(host.logged("frame 2"));
        // The next keyframe recovers.
        player.root().gotoFrame(4);
        QVERIFY(near(centre(*video), kColours[4]));
        QVERIFY(video->pictureVersion() > version);
        QVERIFY(video->contentVersion() > content);
    }

    void changingDeblockingRestartsTheDecoderAtTheKeyframe()
    {
        // Frames 1 to 3 build on frame 0: after the change, frame 2 is decoded anew
        // from frame 0, not from nothing.
        testmovie::RecordingHost host;
        MoviePlayer player(load(solidColourMovie()), host);
        VideoObject* video = videoOf(player);
        player.advance();
        video->setDeblocking(1);
        QCOMPARE(video->deblocking(), 1);
        QVERIFY(near(centre(*video), kColours[1]));
        player.advance();
        QVERIFY(near(centre(*video), kColours[2]));
        QVERIFY(steady(*video));
        player.advance();
        QVERIFY(near(centre(*video), kColours[3]));
        QVERIFY(steady(*video));
    }

    void boundsAreTheDeclaredSize_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("the coded size") << kCodedWidth << kCodedHeight;
        QTest::newRow("twice the coded size") << 2 * kCodedWidth << 2 * kCodedHeight;
        QTest::newRow("narrower and taller") << 32 << 100;
    }
    void boundsAreTheDeclaredSize()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        Options options;
        options.width = std::uint16_t(width);
        options.height = std::uint16_t(height);
        options.matrix = swfwriter::Matrix::translate(400, 200);
        testmovie::RecordingHost host;
        MoviePlayer player(load(solidColourMovie(options)), host);
        VideoObject* video = videoOf(player);
        const runtime::Bounds bounds = video->localBounds();
        QCOMPARE(bounds.xMin, 0.0);
        QCOMPARE(bounds.yMin, 0.0);
        QCOMPARE(bounds.xMax, width * 20.0);
        QCOMPARE(bounds.yMax, height * 20.0);
        QCOMPARE(video->width(), double(width));

        // Drawn as its picture, scaled to the bounds under the placement's matrix.
        const runtime::DrawList list = player.buildDrawList();
        const runtime::DrawCommand* drawn = nullptr;
        for (const auto& command : list.commands)
            if (command.objectId == video->id())
                drawn = &command;
        QVERIFY(drawn && drawn->bitmap);
        QCOMPARE(drawn->bitmap, video->picture().get());
        QCOMPARE(drawn->matrix.a, double(width) / drawn->bitmap->width);
        QCOMPARE(drawn->matrix.d, double(height) / drawn->bitmap->height);
        QCOMPARE(drawn->matrix.tx, 400.0);
        QCOMPARE(drawn->contentVersion, video->contentVersion());
    }

    void anUnknownCodecPlacesAVideoThatShowsNothing()
    {
        Options options;
        options.codec = 9;
        testmovie::RecordingHost host;
        MoviePlayer player(load(solidColourMovie(options)), host);
        VideoObject* video = videoOf(player);
        QVERIFY(video);
        QCOMPARE(video->name(), std::string("video"));
        QVERIFY(!video->picture());
        QVERIFY(host.logged("codec 9"));
        player.advance();
        QVERIFY(!video->picture());
        for (const auto& command : player.buildDrawList().commands)
            QVERIFY(command.objectId != video->id());
    }

    void attachedPicturesReplaceTheStreamsFrames()
    {
        testmovie::RecordingHost host;
        MoviePlayer player(load(solidColourMovie()), host);
        VideoObject* video = videoOf(player);
        video->setAttached(true);
        const std::uint64_t version = video->pictureVersion();
        player.advance();
        // The timeline moves on; the picture does not.
        QVERIFY(near(centre(*video), kColours[0]));
        QCOMPARE(video->pictureVersion(), version);

        auto given = std::make_shared<swf::Bitmap>();
        given->width = kCodedWidth;
        given->height = kCodedHeight;
        given->pixels.assign(kCodedWidth * kCodedHeight, 0xff123456);
        video->showPicture(given);
        QCOMPARE(centre(*video), 0xff123456u);
        QVERIFY(video->pictureVersion() > version);
        QVERIFY(!video->shownFrame());

        // Detached, the next frame of the timeline shows again.
        video->setAttached(false);
        player.advance();
        QVERIFY(near(centre(*video), kColours[2]));

        video->clear();
        QVERIFY(!video->picture());
        QVERIFY(video->localBounds().width() > 0);
    }
};

QTEST_GUILESS_MAIN(VideoTest)
#include "VideoTest.moc"
