// The decode-ahead stream on FLV files of a moving square (Sorenson H.263 coded at test
// time): the picture for a time, seeks to keyframes, steps back, damage, audio order,
// and the same pictures whatever the worker's timing.
#include "video/FlvVideoStream.h"

#include "FlvWriter.h"
#include "TestPictures.h"

#include <QtTest>
#include <chrono>
#include <thread>

namespace {

constexpr int kFrames = 20;
constexpr std::uint32_t kFrameMs = 40;
constexpr int kKeyframeInterval = 5;
constexpr std::uint32_t kWidth = 160, kHeight = 128;

std::uint32_t squareX(int frame)
{
    return 8 + 4 * std::uint32_t(frame);
}

std::vector<std::vector<std::uint8_t>> squarePackets()
{
    std::vector<pictures::Image> images;
    for (int i = 0; i < kFrames; ++i)
        images.push_back(pictures::square(kWidth, kHeight, squareX(i), 40));
    return pictures::encode("flv", images, kKeyframeInterval);
}

// Video and audio tags interleaved; `damaged` frames are replaced by garbage.
std::shared_ptr<const std::vector<std::uint8_t>> squareFile(std::vector<int> damaged = {})
{
    const auto packets = squarePackets();
    swfwriter::AmfWriter amf;
    amf.string("onMetaData").beginEcmaArray(2).key("width").number(kWidth);
    amf.key("height").number(kHeight).end();
    swfwriter::FlvWriter writer;
    writer.script(0, amf.bytes());
    for (int i = 0; i < int(packets.size()); ++i) {
        const std::uint32_t ms = kFrameMs * std::uint32_t(i);
        std::vector<std::uint8_t> packet = packets[std::size_t(i)];
        if (std::find(damaged.begin(), damaged.end(), i) != damaged.end())
            std::fill(packet.begin(), packet.end(), 0x5a);
        writer.video(ms, i % kKeyframeInterval == 0 ? 1 : 2, 2, packet);
        writer.audio(ms, 0x2e, std::vector<std::uint8_t>{std::uint8_t(i)});
    }
    return std::make_shared<const std::vector<std::uint8_t>>(writer.bytes());
}

std::unique_ptr<video::FlvVideoStream> open(std::shared_ptr<const std::vector<std::uint8_t>> bytes)
{
    auto stream = video::FlvVideoStream::open(std::move(bytes));
    if (!stream)
        qFatal("stream not opened: %s", stream.error().message().c_str());
    return std::move(stream.value());
}

// The frame a picture shows, told by where its square is; -1 when none is found.
int frameShown(const video::ShownFrame& shown)
{
    if (!shown.picture)
        return -1;
    const video::Picture& p = *shown.picture;
    for (std::uint32_t x = 0; x < p.width; ++x)
        if (pictures::colourDistance(p.pixels[56 * p.width + x], 0xffffff) < 40)
            return (int(x) - 8 + 2) / 4;
    return -1;
}

// Each frame's pixels, decoded in order without the stream.
std::vector<std::vector<std::uint32_t>> decodedInOrder()
{
    video::StreamSettings settings;
    settings.framing = video::Framing::FlvTag;
    auto decoder = std::move(video::makeStreamDecoder(settings).value());
    std::vector<std::vector<std::uint32_t>> frames;
    for (const auto& packet : squarePackets()) {
        if (!decoder->decode(packet))
            qFatal("frame did not decode");
        frames.push_back(decoder->picture()->pixels);
    }
    return frames;
}

} // namespace

class FlvVideoStreamTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!pictures::hasEncoder("flv"))
            QSKIP("libavcodec lacks the Sorenson H.263 encoder");
    }

    void pictureFollowsTime()
    {
        auto stream = open(squareFile());
        QVERIFY(stream->hasVideo());
        QCOMPARE(stream->settings().codec, video::Codec::SorensonH263);
        QCOMPARE(stream->settings().width, kWidth);
        QCOMPARE(stream->durationMs(), kFrameMs * (kFrames - 1));
        for (std::uint32_t t = 0; t < kFrameMs * kFrames + 100; t += 13) {
            const video::ShownFrame shown = stream->pictureAt(t);
            const int expected = std::min<int>(kFrames - 1, int(t / kFrameMs));
            QCOMPARE(frameShown(shown), expected);
            QCOMPARE(shown.timestampMs, kFrameMs * std::uint32_t(expected));
            QCOMPARE(shown.picture->width, kWidth);
            QCOMPARE(shown.picture->height, kHeight);
        }
    }

    void seekGoesToTheKeyframeBefore()
    {
        auto stream = open(squareFile());
        QCOMPARE(stream->seek(500), 400u); // keyframes every 200 ms
        QCOMPARE(frameShown(stream->pictureAt(500)), 12);
        QCOMPARE(stream->seek(199), 0u);
        QCOMPARE(frameShown(stream->pictureAt(199)), 4);
        QCOMPARE(stream->seek(100000), 600u);
        QCOMPARE(frameShown(stream->pictureAt(100000)), kFrames - 1);
        // Time stepping back without a seek restarts from the keyframe before it.
        QCOMPARE(frameShown(stream->pictureAt(120)), 3);
        QCOMPARE(frameShown(stream->pictureAt(130)), 3);
        QCOMPARE(frameShown(stream->pictureAt(700)), 17);
    }

    // Whether the worker is ahead (given time) or behind (asked at once), each picture
    // is the one decoding in order gives.
    void sameFramesWhateverTheTiming()
    {
        const auto expected = decodedInOrder();
        const auto bytes = squareFile();
        for (bool giveTime : {false, true}) {
            auto stream = open(bytes);
            for (int frame : {0, 1, 2, 7, 8, 13, 19}) {
                if (giveTime)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                const video::ShownFrame shown = stream->pictureAt(kFrameMs * std::uint32_t(frame));
                QVERIFY(shown.picture);
                QVERIFY(shown.picture->pixels == expected[std::size_t(frame)]);
            }
        }
    }

    void damagedFramesKeepTheLastPicture()
    {
        auto stream = open(squareFile({7, 8}));
        const auto before = stream->pictureAt(6 * kFrameMs);
        QCOMPARE(frameShown(before), 6);
        const auto damaged = stream->pictureAt(8 * kFrameMs);
        QVERIFY(damaged.picture->pixels == before.picture->pixels);
        // The next keyframe (frame 10) recovers.
        QCOMPARE(frameShown(stream->pictureAt(10 * kFrameMs)), 10);
        const auto diagnostics = stream->diagnostics();
        QVERIFY(std::any_of(diagnostics.begin(), diagnostics.end(), [](const std::string& line) {
            return line.find("damaged video frames") != std::string::npos;
        }));
    }

    // H.264 with B-frames: packets come in coding order with composition times, and
    // each time shows the image meant for it, to the last one (held back by the decoder
    // until the stream ends).
    void avcInShowingOrder()
    {
        std::vector<pictures::Image> images;
        for (int i = 0; i < 12; ++i)
            images.push_back(pictures::square(kWidth, kHeight, squareX(i), 40));
        const pictures::AvcStream avc = pictures::encodeAvc(images, 6, 2);
        if (avc.frames.empty())
            QSKIP("libavcodec lacks libx264");
        QCOMPARE(avc.frames.size(), images.size());
        bool reordered = false;
        swfwriter::FlvWriter writer(false, true);
        writer.video(0, 1, 7, avc.configuration);
        for (std::size_t n = 0; n < avc.frames.size(); ++n) {
            const auto& frame = avc.frames[n];
            reordered |= frame[3] != avc.frames[0][3];
            const bool key = video::isKeyframe(video::Codec::H264, video::Framing::FlvTag, frame);
            writer.video(avc.decodeMs[n], key ? 1 : 2, 7, frame);
        }
        QVERIFY(reordered); // the encoder did make B-frames
        auto stream = open(std::make_shared<const std::vector<std::uint8_t>>(writer.bytes()));
        QCOMPARE(stream->settings().codec, video::Codec::H264);
        QVERIFY(!stream->pictureAt(avc.firstShownMs - 1).picture);
        for (int i = 0; i < 12; ++i) {
            const std::uint32_t t = avc.firstShownMs + kFrameMs * std::uint32_t(i);
            const video::ShownFrame shown = stream->pictureAt(t + 5);
            QCOMPARE(frameShown(shown), i);
            QCOMPARE(shown.timestampMs, t);
        }
        stream->seek(avc.firstShownMs + 7 * kFrameMs);
        QCOMPARE(frameShown(stream->pictureAt(avc.firstShownMs + 7 * kFrameMs)), 7);
        QCOMPARE(frameShown(stream->pictureAt(avc.firstShownMs + 2 * kFrameMs)), 2);
    }

    void audioInOrder()
    {
        auto stream = open(squareFile());
        const auto& audio = stream->audioPackets();
        QCOMPARE(int(audio.size()), kFrames);
        for (int i = 0; i < kFrames; ++i) {
            QCOMPARE(audio[std::size_t(i)].timestampMs, kFrameMs * std::uint32_t(i));
            QCOMPARE(audio[std::size_t(i)].header.format, std::uint8_t(2));
            QCOMPARE(audio[std::size_t(i)].payload.size(), std::size_t(1));
            QCOMPARE(int(audio[std::size_t(i)].payload[0]), i);
        }
    }

    void noPictureBeforeTheFirstFrameOrWithoutVideo()
    {
        swfwriter::FlvWriter late;
        const auto packets = squarePackets();
        late.video(100, 1, 2, packets[0]);
        auto stream = open(std::make_shared<const std::vector<std::uint8_t>>(late.bytes()));
        QVERIFY(!stream->pictureAt(99).picture);
        QCOMPARE(frameShown(stream->pictureAt(100)), 0);

        swfwriter::FlvWriter audioOnly(true, false);
        audioOnly.audio(0, 0x2e, std::vector<std::uint8_t>{1, 2});
        auto sound = open(std::make_shared<const std::vector<std::uint8_t>>(audioOnly.bytes()));
        QVERIFY(!sound->hasVideo());
        QVERIFY(!sound->pictureAt(0).picture);
        QCOMPARE(sound->audioPackets().size(), std::size_t(1));

        swfwriter::FlvWriter unknown(false, true);
        unknown.video(0, 1, 12, packets[0]);
        auto other = open(std::make_shared<const std::vector<std::uint8_t>>(unknown.bytes()));
        QVERIFY(!other->hasVideo());
        QVERIFY(!other->diagnostics().empty());

        QVERIFY(!video::FlvVideoStream::open(
            std::make_shared<const std::vector<std::uint8_t>>(std::vector<std::uint8_t>{1, 2})));
    }

    // The worker stops when the stream goes, whether it is decoding ahead or waiting
    // (a stop that failed would hang here, or leak the thread under the sanitizers).
    void stopsCleanly()
    {
        const auto bytes = squareFile();
        for (int i = 0; i < 20; ++i) {
            auto stream = open(bytes);
            if (i % 2) {
                const std::uint32_t t = std::uint32_t(i) * 37;
                QCOMPARE(frameShown(stream->pictureAt(t)), int(t / kFrameMs));
            }
        }
    }
};

QTEST_GUILESS_MAIN(FlvVideoStreamTest)
#include "FlvVideoStreamTest.moc"
