// DefineVideoStream read into its fields, and the VideoFrame tags that follow it gathered
// on it by frame number, wherever on the timelines they stand.
#include "MovieWriter.h"
#include "VideoWriter.h"
#include "format/Movie.h"

#include <QTest>

using namespace swfwriter;
using Bytes = std::vector<std::uint8_t>;

namespace {

swf::MoviePtr load(const MovieWriter& movie)
{
    auto loaded = swf::loadMovie(movie.bytes());
    if (!loaded)
        qWarning("%s", loaded.error().message().c_str());
    return loaded ? *loaded : nullptr;
}

bool notesMention(const swf::MovieDefinition& movie, const char* text)
{
    for (const std::string& note : movie.notes)
        if (note.find(text) != std::string::npos)
            return true;
    return false;
}

} // namespace

class VideoTagsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void streamFields_data()
    {
        QTest::addColumn<int>("deblocking");
        QTest::addColumn<bool>("smoothing");
        QTest::addColumn<int>("codec");
        QTest::newRow("H.263, deblocking off") << 1 << false << 2;
        QTest::newRow("VP6, smoothed") << 0 << true << 4;
        QTest::newRow("screen video, strongest deblocking, smoothed") << 7 << true << 3;
    }
    void streamFields()
    {
        QFETCH(int, deblocking);
        QFETCH(bool, smoothing);
        QFETCH(int, codec);
        MovieWriter movie(8);
        movie.add(60, defineVideoStream(4, {300, 320, 240, std::uint8_t(deblocking), smoothing,
                                            std::uint8_t(codec)}));
        movie.showFrame();
        const auto loaded = load(movie);
        QVERIFY(loaded);
        const auto* stream = loaded->get<swf::VideoStream>(4);
        QVERIFY(stream);
        QCOMPARE(int(stream->declaredFrameCount), 300);
        QCOMPARE(int(stream->width), 320);
        QCOMPARE(int(stream->height), 240);
        QCOMPARE(int(stream->deblocking), deblocking);
        QCOMPARE(stream->smoothing, smoothing);
        QCOMPARE(int(stream->codec), codec);
        QVERIFY(stream->packets.empty());
        QVERIFY(loaded->notes.empty());
    }

    void reservedFlagBitsAreIgnored()
    {
        Bytes body = defineVideoStream(4, {1, 8, 8, 2, false, 2});
        body[8] |= 0xf0;
        MovieWriter movie(8);
        movie.add(60, body);
        movie.showFrame();
        const auto loaded = load(movie);
        const auto* stream = loaded->get<swf::VideoStream>(4);
        QVERIFY(stream);
        QCOMPARE(int(stream->deblocking), 2);
        QVERIFY(!stream->smoothing);
    }

    void aShortDefinitionDefinesNothing()
    {
        Bytes body = defineVideoStream(4, {1, 8, 8, 0, false, 2});
        body.pop_back(); // no codec
        MovieWriter movie(8);
        movie.add(60, body);
        movie.showFrame();
        const auto loaded = load(movie);
        QVERIFY(!loaded->character(4));
        QVERIFY(notesMention(*loaded, "DefineVideoStream"));
    }

    void framesJoinTheirStreamByNumber()
    {
        // Frames on the main timeline and inside a sprite, out of order, each found by
        // its own number; a number with no packet finds none.
        MovieWriter movie(8);
        movie.add(60, defineVideoStream(9, {4, 16, 16, 0, false, 2}));
        movie.add(61, videoFrame(9, 0, {0xa0}));
        movie.showFrame();
        movie.add(61, videoFrame(9, 3, {0xa3, 0x33}));
        movie.showFrame();
        TagList inner;
        inner.add(61, videoFrame(9, 1, {0xa1}));
        inner.showFrame();
        movie.defineSprite(20, inner);
        movie.showFrame();
        const auto loaded = load(movie);
        const auto* stream = loaded->get<swf::VideoStream>(9);
        QVERIFY(stream);
        QCOMPARE(stream->packets.size(), std::size_t(3));
        QCOMPARE(*stream->packet(0), Bytes{0xa0});
        QCOMPARE(*stream->packet(1), Bytes{0xa1});
        QCOMPARE(*stream->packet(3), (Bytes{0xa3, 0x33}));
        QVERIFY(!stream->packet(2));
        QCOMPARE(stream->packetBytes, std::size_t(4));
        QVERIFY(loaded->notes.empty());
    }

    void aFrameNumberGivenTwiceKeepsItsFirstPacket()
    {
        MovieWriter movie(8);
        movie.add(60, defineVideoStream(9, {2, 16, 16, 0, false, 2}));
        movie.add(61, videoFrame(9, 1, {0x01}));
        movie.add(61, videoFrame(9, 1, {0x02}));
        movie.showFrame();
        const auto loaded = load(movie);
        QCOMPARE(*loaded->get<swf::VideoStream>(9)->packet(1), Bytes{0x01});
        QVERIFY(notesMention(*loaded, "given twice"));
    }

    void framesOfNoStreamAreRefused()
    {
        // Before its definition, of an unknown id, or of a character that is no video.
        MovieWriter movie(8);
        movie.add(61, videoFrame(9, 0, {0x01}));
        movie.add(60, defineVideoStream(9, {2, 16, 16, 0, false, 2}));
        movie.add(61, videoFrame(12, 0, {0x01}));
        movie.add(61, Bytes{0x09, 0x00, 0x01}); // no whole frame number
        movie.showFrame();
        const auto loaded = load(movie);
        QVERIFY(loaded->get<swf::VideoStream>(9)->packets.empty());
        QCOMPARE(loaded->notes.size(), std::size_t(3));
        QVERIFY(notesMention(*loaded, "video stream 12"));
        QVERIFY(notesMention(*loaded, "frame number"));
    }

    void anEmptyPacketIsKept()
    {
        // Encoders write empty packets for frames that repeat the one before.
        MovieWriter movie(8);
        movie.add(60, defineVideoStream(9, {1, 16, 16, 0, false, 2}));
        movie.add(61, videoFrame(9, 0, {}));
        movie.showFrame();
        const auto loaded = load(movie);
        const auto* stream = loaded->get<swf::VideoStream>(9);
        QVERIFY(stream->packet(0));
        QVERIFY(stream->packet(0)->empty());
    }
};

QTEST_GUILESS_MAIN(VideoTagsTest)
#include "VideoTagsTest.moc"
