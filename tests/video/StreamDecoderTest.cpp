// The stream decoders against pictures coded at test time: colours come back within the
// coding's loss, pictures have the stream's size, damage keeps the last good picture,
// and keyframes are told from the codings' own headers.
#include "TestPictures.h"
#include "video/ColorConversion.h"
#include "video/VideoDecoder.h"

#include <QtTest>

namespace {

using video::Codec;
using video::Framing;

struct Coding {
    const char* encoder;
    Codec codec;
    int tolerance; // largest channel error over a flat area
};

std::unique_ptr<video::StreamDecoder> decoderFor(Codec codec, std::uint32_t width = 0,
                                                 std::uint32_t height = 0)
{
    video::StreamSettings settings;
    settings.codec = codec;
    settings.width = width;
    settings.height = height;
    auto decoder = video::makeStreamDecoder(settings);
    if (!decoder)
        qFatal("no decoder: %s", decoder.error().message().c_str());
    return std::move(decoder.value());
}

std::uint32_t pixel(const video::Picture& picture, std::uint32_t x, std::uint32_t y)
{
    return picture.pixels[std::size_t(y) * picture.width + x];
}

// The left edge of the bright square in a row through it, or -1.
int squareLeft(const video::Picture& picture, std::uint32_t row)
{
    for (std::uint32_t x = 0; x < picture.width; ++x)
        if (pictures::colourDistance(pixel(picture, x, row), 0xffffff) < 40)
            return int(x);
    return -1;
}

std::vector<pictures::Image> movingSquare(int count)
{
    std::vector<pictures::Image> images;
    for (int i = 0; i < count; ++i)
        images.push_back(pictures::square(160, 128, 16 + 8 * std::uint32_t(i), 48));
    return images;
}

} // namespace

Q_DECLARE_METATYPE(Coding)

class StreamDecoderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void codings_data()
    {
        QTest::addColumn<Coding>("coding");
        QTest::newRow("Sorenson H.263") << Coding{"flv", Codec::SorensonH263, 12};
        QTest::newRow("Screen Video") << Coding{"flashsv", Codec::ScreenVideo, 0};
        QTest::newRow("Screen Video 2") << Coding{"flashsv2", Codec::ScreenVideo2, 0};
    }

    void barsComeBack_data() { codings_data(); }
    void barsComeBack()
    {
        QFETCH(Coding, coding);
        if (!pictures::hasEncoder(coding.encoder))
            QSKIP("libavcodec lacks the encoder");
        const auto bars = pictures::colourBars(320, 240);
        const auto packets = pictures::encode(coding.encoder, {bars}, 1);
        QCOMPARE(packets.size(), std::size_t(1));
        auto decoder = decoderFor(coding.codec);
        QVERIFY(!decoder->picture());
        QVERIFY(decoder->decode(packets[0]).ok());
        const video::Picture* picture = decoder->picture();
        QVERIFY(picture);
        QCOMPARE(picture->width, 320u);
        QCOMPARE(picture->height, 240u);
        QCOMPARE(picture->pixels.size(), std::size_t(320 * 240));
        QCOMPARE(decoder->picturesDecoded(), std::uint64_t(1));
        for (int bar = 0; bar < 8; ++bar) {
            for (std::uint32_t y : {10u, 120u, 230u}) {
                const std::uint32_t x = std::uint32_t(bar) * 40 + 20;
                const std::uint32_t got = pixel(*picture, x, y);
                QCOMPARE(got >> 24, 0xffu);
                if (pictures::colourDistance(got, pictures::kBars[bar]) > coding.tolerance)
                    QFAIL(qPrintable(QStringLiteral("bar %1 at (%2, %3): %4 for %5")
                                         .arg(bar)
                                         .arg(x)
                                         .arg(y)
                                         .arg(got, 8, 16)
                                         .arg(pictures::kBars[bar], 6, 16)));
            }
        }
    }

    // Inter frames build on the one before: the square is where each image put it.
    void movingSquareFollows_data() { codings_data(); }
    void movingSquareFollows()
    {
        QFETCH(Coding, coding);
        if (!pictures::hasEncoder(coding.encoder))
            QSKIP("libavcodec lacks the encoder");
        const auto packets = pictures::encode(coding.encoder, movingSquare(8), 4);
        QCOMPARE(packets.size(), std::size_t(8));
        auto decoder = decoderFor(coding.codec);
        for (std::size_t i = 0; i < packets.size(); ++i) {
            QVERIFY(decoder->decode(packets[i]).ok());
            QVERIFY(std::abs(squareLeft(*decoder->picture(), 64) - int(16 + 8 * i)) <= 1);
        }
    }

    void keyframesFromHeaders_data() { codings_data(); }
    void keyframesFromHeaders()
    {
        QFETCH(Coding, coding);
        if (!pictures::hasEncoder(coding.encoder))
            QSKIP("libavcodec lacks the encoder");
        const auto packets = pictures::encode(coding.encoder, movingSquare(7), 3);
        QCOMPARE(packets.size(), std::size_t(7));
        for (std::size_t i = 0; i < packets.size(); ++i) {
            const bool expected = i % 3 == 0;
            QCOMPARE(video::isKeyframe(coding.codec, Framing::SwfVideoFrame, packets[i]), expected);
            QCOMPARE(video::isKeyframe(coding.codec, Framing::FlvTag, packets[i]), expected);
        }
    }

    // Headers written by hand for the codings that have no encoder here.
    void keyframesOfOtherCodings()
    {
        const std::vector<std::uint8_t> vp6Intra{0x00, 0x10}, vp6Inter{0x80, 0x10};
        QVERIFY(video::isKeyframe(Codec::Vp6, Framing::SwfVideoFrame, vp6Intra));
        QVERIFY(!video::isKeyframe(Codec::Vp6, Framing::SwfVideoFrame, vp6Inter));
        // FLV puts the crop byte first; its bits must not be read as the frame's.
        const std::vector<std::uint8_t> flvIntra{0x80, 0x00, 0x10}, flvInter{0x00, 0x80};
        QVERIFY(video::isKeyframe(Codec::Vp6, Framing::FlvTag, flvIntra));
        QVERIFY(!video::isKeyframe(Codec::Vp6, Framing::FlvTag, flvInter));
        // VP6 with alpha: the 24-bit alpha offset, then the colour frame.
        const std::vector<std::uint8_t> alphaIntra{0x00, 0x00, 0x02, 0x00, 0x10};
        const std::vector<std::uint8_t> alphaInter{0x00, 0x00, 0x02, 0x80, 0x10};
        QVERIFY(video::isKeyframe(Codec::Vp6Alpha, Framing::SwfVideoFrame, alphaIntra));
        QVERIFY(!video::isKeyframe(Codec::Vp6Alpha, Framing::SwfVideoFrame, alphaInter));
        std::vector<std::uint8_t> flvAlpha{0x00};
        flvAlpha.insert(flvAlpha.end(), alphaIntra.begin(), alphaIntra.end());
        QVERIFY(video::isKeyframe(Codec::Vp6Alpha, Framing::FlvTag, flvAlpha));
        QVERIFY(!video::isKeyframe(Codec::Vp6Alpha, Framing::FlvTag, {}));
        // H.264: NAL units with 4-byte lengths after the type byte and composition time;
        // an IDR slice (type 5) makes a keyframe, the configuration record does not.
        const std::vector<std::uint8_t> idr{1,    0,    0, 0, 0, 0, 0,    2,
                                            0x09, 0xf0, 0, 0, 0, 2, 0x65, 0x88};
        const std::vector<std::uint8_t> slice{1, 0, 0, 0, 0, 0, 0, 2, 0x41, 0x9a};
        const std::vector<std::uint8_t> config{0, 0, 0, 0, 1, 0x42, 0xc0, 0x1e};
        const std::vector<std::uint8_t> lying{1, 0, 0, 0, 0, 0, 0, 99, 0x65};
        QVERIFY(video::isKeyframe(Codec::H264, Framing::FlvTag, idr));
        QVERIFY(!video::isKeyframe(Codec::H264, Framing::FlvTag, slice));
        QVERIFY(!video::isKeyframe(Codec::H264, Framing::FlvTag, config));
        QVERIFY(!video::isKeyframe(Codec::H264, Framing::FlvTag, lying));
        // Sorenson: a picture start code is needed before the type is believed.
        QVERIFY(!video::isKeyframe(Codec::SorensonH263, Framing::SwfVideoFrame,
                                   std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x00, 0x00}));
    }

    // H.264 as FLV carries it: the configuration record first, then frames; after a
    // reset the decoder keeps the configuration and starts again at a keyframe.
    void avcInFlvPackets()
    {
        std::vector<pictures::Image> images{pictures::colourBars(320, 240)};
        for (int i = 1; i < 6; ++i)
            images.push_back(pictures::square(320, 240, 16 + 8 * std::uint32_t(i), 48));
        const pictures::AvcStream avc = pictures::encodeAvc(images, 3);
        if (avc.frames.empty())
            QSKIP("libavcodec lacks libx264");
        QCOMPARE(avc.frames.size(), images.size());
        video::StreamSettings settings;
        settings.codec = Codec::H264;
        settings.framing = Framing::FlvTag;
        auto decoder = std::move(video::makeStreamDecoder(settings).value());
        QVERIFY(!video::isKeyframe(Codec::H264, Framing::FlvTag, avc.configuration));
        QVERIFY(decoder->decode(avc.configuration).ok());
        QVERIFY(!decoder->picture());
        for (std::size_t i = 0; i < avc.frames.size(); ++i) {
            QCOMPARE(video::isKeyframe(Codec::H264, Framing::FlvTag, avc.frames[i]), i % 3 == 0);
            QVERIFY(decoder->decode(avc.frames[i]).ok());
            QCOMPARE(decoder->picturesDecoded(), std::uint64_t(i + 1));
            const video::Picture& picture = *decoder->picture();
            QCOMPARE(picture.width, 320u);
            QCOMPARE(picture.height, 240u);
            if (i == 0) {
                for (int bar = 0; bar < 8; ++bar)
                    QVERIFY(
                        pictures::colourDistance(pixel(picture, std::uint32_t(bar) * 40 + 20, 120),
                                                 pictures::kBars[bar]) <= 12);
            } else {
                QVERIFY(std::abs(squareLeft(picture, 64) - int(16 + 8 * i)) <= 1);
            }
        }
        decoder->reset();
        QVERIFY(decoder->decode(avc.frames[3]).ok());
        QVERIFY(std::abs(squareLeft(*decoder->picture(), 64) - 40) <= 1);
        // The end-of-sequence packet holds nothing to decode.
        QVERIFY(decoder->decode(std::vector<std::uint8_t>{2, 0, 0, 0}).ok());
    }

    void declaredSizeCutsThePicture()
    {
        const auto packets = pictures::encode("flashsv", {pictures::colourBars(320, 240)}, 1);
        auto smaller = decoderFor(Codec::ScreenVideo, 300, 200);
        QVERIFY(smaller->decode(packets[0]).ok());
        QCOMPARE(smaller->picture()->width, 300u);
        QCOMPARE(smaller->picture()->height, 200u);
        QCOMPARE(smaller->picture()->pixels.size(), std::size_t(300 * 200));
        // The cut keeps the top-left: the last column is still the black bar.
        QCOMPARE(pixel(*smaller->picture(), 299, 199), 0xff000000u);
        QCOMPARE(pixel(*smaller->picture(), 0, 0), 0xffffffffu);
        // A declared size above the coded one leaves the coded size.
        auto larger = decoderFor(Codec::ScreenVideo, 640, 480);
        QVERIFY(larger->decode(packets[0]).ok());
        QCOMPARE(larger->picture()->width, 320u);
        QCOMPARE(larger->picture()->height, 240u);
    }

    void damageKeepsTheLastPicture_data() { codings_data(); }
    void damageKeepsTheLastPicture()
    {
        QFETCH(Coding, coding);
        if (!pictures::hasEncoder(coding.encoder))
            QSKIP("libavcodec lacks the encoder");
        const auto bars = pictures::encode(coding.encoder, {pictures::colourBars(160, 128)}, 1);
        const auto squares = pictures::encode(coding.encoder, movingSquare(1), 1);
        auto decoder = decoderFor(coding.codec);
        QVERIFY(decoder->decode(bars[0]).ok());
        const std::vector<std::uint32_t> good = decoder->picture()->pixels;

        std::vector<std::uint8_t> garbage(bars[0].size(), 0xa5);
        QVERIFY(!decoder->decode(garbage).ok());
        const std::vector<std::uint8_t> cut(bars[0].begin(), bars[0].begin() + 3);
        QVERIFY(!decoder->decode(cut).ok());
        QVERIFY(!decoder->decode({}).ok());
        QVERIFY(decoder->picture());
        QVERIFY(decoder->picture()->pixels == good);
        QCOMPARE(decoder->picturesDecoded(), std::uint64_t(1));

        // The next keyframe recovers.
        QVERIFY(decoder->decode(squares[0]).ok());
        QVERIFY(std::abs(squareLeft(*decoder->picture(), 64) - 16) <= 1);
    }

    void refusesWhatItCannotDecode()
    {
        video::StreamSettings settings;
        settings.codec = Codec(9);
        auto unknown = video::makeStreamDecoder(settings);
        QVERIFY(!unknown);
        QCOMPARE(unknown.error().code, swf::ErrorCode::Unsupported);
        QVERIFY(!video::isKnownCodec(1));
        QVERIFY(!video::isKnownCodec(8));
        QVERIFY(video::isKnownCodec(2) && video::isKnownCodec(7));

        settings.codec = Codec::SorensonH263;
        settings.width = 100000;
        QVERIFY(!video::makeStreamDecoder(settings));

        auto decoder = decoderFor(Codec::SorensonH263);
        const std::vector<std::uint8_t> huge(9u << 20, 0);
        auto status = decoder->decode(huge);
        QVERIFY(!status);
        QCOMPARE(status.error().code, swf::ErrorCode::TooLarge);
    }

    // The conversion itself: broadcast-range black, white and red, and alpha multiplied in.
    void colourConversion()
    {
        std::uint32_t out[2] = {};
        const std::uint8_t neutral[1] = {128};
        video::YuvPlanes planes;
        planes.u = neutral;
        planes.v = neutral;
        planes.yStride = 2;
        planes.uStride = 1;
        planes.vStride = 1;
        // Each chroma sample covers two pixels: white and black share neutral chroma.
        const std::uint8_t yNeutral[2] = {16, 235};
        planes.y = yNeutral;
        video::convertYuv420(planes, video::YuvRange::Limited, 2, 1, out);
        QCOMPARE(out[0], 0xff000000u);
        QCOMPARE(out[1], 0xffffffffu);
        const std::uint8_t yRed[2] = {81, 81}, uRed[1] = {90}, vRed[1] = {240};
        planes.y = yRed;
        planes.u = uRed;
        planes.v = vRed;
        video::convertYuv420(planes, video::YuvRange::Limited, 2, 1, out);
        QVERIFY(pictures::colourDistance(out[0], 0xff0000) <= 2);
        // Half-transparent white is stored premultiplied; fully transparent is zero.
        const std::uint8_t yWhite[2] = {235, 235}, alpha[2] = {128, 0};
        planes.y = yWhite;
        planes.u = neutral;
        planes.v = neutral;
        planes.a = alpha;
        planes.aStride = 2;
        video::convertYuv420(planes, video::YuvRange::Limited, 2, 1, out);
        QCOMPARE(out[0], 0x80808080u);
        QCOMPARE(out[1], 0x00000000u);
    }
};

QTEST_GUILESS_MAIN(StreamDecoderTest)
#include "StreamDecoderTest.moc"
