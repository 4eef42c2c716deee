#include "TagBodies.h"
#include "format/Bitmap.h"
#include "format/Limits.h"

#include <BitmapWriter.h>
#include <QTest>
#include <cstdlib>

using swf::Bitmap;
using swf::ByteReader;
using swf::ErrorCode;
using swf::PixelBudget;
using swfwriter::Color;
using swfwriter::Image;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::uint64_t kLargeBudget = swf::limits::kMaxTotalBitmapPixels;
constexpr std::uint16_t kDefineBits = 6, kJpegTables = 8, kDefineBitsJpeg2 = 21,
                        kDefineBitsJpeg3 = 35, kDefineBitsJpeg4 = 90;

// 32 x 16, one colour on each half: the halves meet on a block boundary, so the
// centres of the halves keep their colours through JPEG's loss.
Image halves(Color left, Color right)
{
    Image image = Image::filled(32, 16, left);
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x)
            image.at(x, y) = right;
    return image;
}

// True when every channel is within `tolerance` (JPEG is lossy).
bool near(std::uint32_t actual, std::uint32_t expected, int tolerance = 10)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = int((actual >> shift) & 0xff);
        const int e = int((expected >> shift) & 0xff);
        if (std::abs(a - e) > tolerance)
            return false;
    }
    return true;
}

QByteArray hex(std::uint32_t pixel)
{
    return QByteArray::number(pixel, 16).rightJustified(8, '0');
}

#define COMPARE_NEAR(actual, expected)                                                             \
    QVERIFY2(near(actual, expected), hex(actual) + " is not near " + hex(expected))

int versionOf(std::uint16_t code)
{
    return code == kDefineBitsJpeg2 ? 2 : code == kDefineBitsJpeg3 ? 3 : 4;
}

// Writes the tag into a tag stream, reads it back and decodes the body after the id.
swf::Result<Bitmap> decodeTag(std::uint16_t code, const Bytes& body, PixelBudget& budget)
{
    swfwriter::TagList tags;
    tags.add(code, body);
    const auto read = tagbodies::first(tags.bytes(), code);
    ByteReader in(read);
    in.u16(); // character id
    return swf::decodeDefineBitsJpeg(in, versionOf(code), budget);
}

swf::Result<Bitmap> decodeTag(std::uint16_t code, const Bytes& body)
{
    PixelBudget budget(kLargeBudget);
    return decodeTag(code, body, budget);
}

swf::Result<Bitmap> decodeJpeg2(const Bytes& imageData)
{
    return decodeTag(kDefineBitsJpeg2, swfwriter::defineBitsJpeg2Body(1, imageData));
}

// JPEGTables and DefineBits in one tag stream, read back and decoded together.
swf::Result<Bitmap> decodeWithTables(const Bytes& tables, const Bytes& jpeg)
{
    swfwriter::TagList tags;
    tags.add(kJpegTables, tables);
    tags.add(kDefineBits, swfwriter::defineBitsBody(1, jpeg));
    const auto tablesBody = tagbodies::first(tags.bytes(), kJpegTables);
    const auto body = tagbodies::first(tags.bytes(), kDefineBits);
    PixelBudget budget(kLargeBudget);
    return swf::decodeDefineBits(std::span(body).subspan(2), tablesBody, budget);
}

Bytes concatenated(const Bytes& a, const Bytes& b)
{
    Bytes out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

Bytes firstBytes(const Bytes& data, std::size_t n)
{
    return Bytes(data.begin(), data.begin() + std::ptrdiff_t(std::min(n, data.size())));
}

const Color kRed{255, 0, 0, 255};
const Color kBlue{0, 0, 255, 255};

// Rows of distinct colours with one transparent pixel, 10 x 12: interlaced GIF rows
// land in the wrong place unless the four passes are undone.
Image rowStripes()
{
    Image image = Image::filled(10, 12, {});
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 10; ++x)
            image.at(x, y) = {std::uint8_t(y * 20), 7, std::uint8_t(255 - y * 20), 255};
    image.at(3, 5).a = 0;
    return image;
}

// 64 x 64 of varied colours, so that most of a JPEG's bytes are its scan.
Image busyImage()
{
    Image image = Image::filled(64, 64, {});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.at(x, y) = {std::uint8_t(x * 37 + y * 11), std::uint8_t((x * y) ^ 0x5a),
                              std::uint8_t(y * 29), 255};
    return image;
}

} // namespace

class JpegBitmapTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void jpeg2_data();
    void jpeg2();
    void defineBitsWithTables_data();
    void defineBitsWithTables();
    void alphaPlaneIsMultipliedIn_data();
    void alphaPlaneIsMultipliedIn();
    void alphaPlaneTooShort();
    void damagedAlpha_data();
    void damagedAlpha();
    void pngIsPremultiplied_data();
    void pngIsPremultiplied();
    void gifRowsAndTransparency_data();
    void gifRowsAndTransparency();
    void brokenData_data();
    void brokenData();
    void budget_data();
    void budget();
    void sizeCaps_data();
    void sizeCaps();
};

void JpegBitmapTest::jpeg2_data()
{
    QTest::addColumn<Bytes>("data");
    QTest::addColumn<std::uint32_t>("left");
    QTest::addColumn<std::uint32_t>("right");
    const Image image = halves(kRed, kBlue);
    const Bytes jpeg = swfwriter::encodeJpeg(image);
    const auto split = swfwriter::encodeJpegSplit(image);
    QTest::newRow("plain") << jpeg << 0xffff0000u << 0xff0000ffu;
    QTest::newRow("erroneous header")
        << swfwriter::withErroneousHeader(jpeg) << 0xffff0000u << 0xff0000ffu;
    QTest::newRow("tables stream before the image")
        << concatenated(split.tables, split.image) << 0xffff0000u << 0xff0000ffu;
    // The grey encoder stores the green channel.
    QTest::newRow("grayscale") << swfwriter::encodeJpeg(halves({0, 200, 0, 255}, {0, 50, 0, 255}),
                                                        95, swfwriter::JpegColor::Grayscale)
                               << 0xffc8c8c8u << 0xff323232u;
    QTest::newRow("Adobe CMYK") << swfwriter::encodeJpeg(image, 95, swfwriter::JpegColor::Cmyk)
                                << 0xffff0000u << 0xff0000ffu;
}

void JpegBitmapTest::jpeg2()
{
    QFETCH(Bytes, data);
    QFETCH(std::uint32_t, left);
    QFETCH(std::uint32_t, right);
    auto result = decodeJpeg2(data);
    QVERIFY2(result.ok(), result.ok() ? "" : result.error().message().c_str());
    QCOMPARE(result->width, 32u);
    QCOMPARE(result->height, 16u);
    QVERIFY(result->complete);
    COMPARE_NEAR(result->pixel(4, 8), left);
    COMPARE_NEAR(result->pixel(27, 3), right);
}

void JpegBitmapTest::defineBitsWithTables_data()
{
    QTest::addColumn<Bytes>("tables");
    QTest::addColumn<Bytes>("image");
    QTest::addColumn<bool>("decodes");
    const Image image = halves(kRed, kBlue);
    const auto split = swfwriter::encodeJpegSplit(image);
    QTest::newRow("tables and abbreviated image") << split.tables << split.image << true;
    QTest::newRow("erroneous headers on both")
        << swfwriter::withErroneousHeader(split.tables)
        << swfwriter::withErroneousHeader(split.image) << true;
    QTest::newRow("empty tables, whole image") << Bytes{} << swfwriter::encodeJpeg(image) << true;
    QTest::newRow("tables missing") << Bytes{} << split.image << false;
    QTest::newRow("tables damaged") << Bytes{0xff, 0xd8, 0xff, 0xdb, 0x00} << split.image << false;
}

void JpegBitmapTest::defineBitsWithTables()
{
    QFETCH(Bytes, tables);
    QFETCH(Bytes, image);
    QFETCH(bool, decodes);
    auto result = decodeWithTables(tables, image);
    QCOMPARE(result.ok(), decodes);
    if (!decodes) {
        QCOMPARE(result.error().code, ErrorCode::BadValue);
        QVERIFY(result.error().detail.starts_with("DefineBits: JPEG data"));
        return;
    }
    COMPARE_NEAR(result->pixel(4, 8), 0xffff0000u);
    COMPARE_NEAR(result->pixel(27, 3), 0xff0000ffu);
}

void JpegBitmapTest::alphaPlaneIsMultipliedIn_data()
{
    QTest::addColumn<std::uint16_t>("code");
    QTest::newRow("DefineBitsJPEG3") << kDefineBitsJpeg3;
    QTest::newRow("DefineBitsJPEG4") << kDefineBitsJpeg4;
}

void JpegBitmapTest::alphaPlaneIsMultipliedIn()
{
    QFETCH(std::uint16_t, code);
    const Bytes jpeg = swfwriter::encodeJpeg(halves(kRed, kBlue));
    // Opaque left half, half-transparent right half, one clear pixel.
    Bytes alpha(32 * 16, 255);
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x)
            alpha[std::size_t(y) * 32 + x] = 128;
    alpha[std::size_t(15) * 32 + 31] = 0;
    const Bytes compressed = swfwriter::zlibCompress(alpha);
    const Bytes body = code == kDefineBitsJpeg3
                           ? swfwriter::defineBitsJpeg3Body(1, jpeg, compressed)
                           : swfwriter::defineBitsJpeg4Body(1, jpeg, 1.0, compressed);
    auto result = decodeTag(code, body);
    QVERIFY(result.ok());
    QVERIFY(result->complete);
    COMPARE_NEAR(result->pixel(4, 8), 0xffff0000u);
    COMPARE_NEAR(result->pixel(27, 3), 0x80000080u);
    QCOMPARE(result->pixel(31, 15), 0u);
}

void JpegBitmapTest::alphaPlaneTooShort()
{
    const Bytes jpeg = swfwriter::encodeJpeg(halves(kRed, kBlue));
    const Bytes halfPlane(32 * 8, 255); // the first eight rows only
    auto result =
        decodeTag(kDefineBitsJpeg3,
                  swfwriter::defineBitsJpeg3Body(1, jpeg, swfwriter::zlibCompress(halfPlane)));
    QVERIFY(result.ok());
    QVERIFY(!result->complete);
    COMPARE_NEAR(result->pixel(4, 7), 0xffff0000u);
    QCOMPARE(result->pixel(4, 8), 0u);
    QCOMPARE(result->pixel(27, 15), 0u);
}

void JpegBitmapTest::damagedAlpha_data()
{
    QTest::addColumn<Bytes>("body");
    QTest::addColumn<int>("error"); // ErrorCode::None: decodes, opaque
    const Bytes jpeg = swfwriter::encodeJpeg(halves(kRed, kBlue));
    QTest::newRow("no alpha data")
        << swfwriter::defineBitsJpeg3Body(1, jpeg, {}) << int(ErrorCode::None);
    QTest::newRow("alpha not zlib")
        << swfwriter::defineBitsJpeg3Body(1, jpeg, {0x01, 0x02, 0x03, 0x04})
        << int(ErrorCode::DecompressionFailed);
    Bytes offsetPastEnd = swfwriter::defineBitsJpeg3Body(1, jpeg, {});
    offsetPastEnd[2] = 0xff; // AlphaDataOffset's low byte, now past the body's end
    offsetPastEnd[3] = 0xff;
    QTest::newRow("AlphaDataOffset past the end") << offsetPastEnd << int(ErrorCode::Truncated);
    QTest::newRow("AlphaDataOffset cut") << Bytes{1, 0, 0x10} << int(ErrorCode::Truncated);
}

void JpegBitmapTest::damagedAlpha()
{
    QFETCH(Bytes, body);
    QFETCH(int, error);
    auto result = decodeTag(kDefineBitsJpeg3, body);
    if (error == int(ErrorCode::None)) {
        QVERIFY(result.ok());
        COMPARE_NEAR(result->pixel(27, 3), 0xff0000ffu);
        return;
    }
    QVERIFY(!result.ok());
    QCOMPARE(int(result.error().code), error);
}

void JpegBitmapTest::pngIsPremultiplied_data()
{
    QTest::addColumn<std::uint16_t>("code");
    QTest::addColumn<Bytes>("body");
    Image image = Image::filled(4, 4, kBlue);
    image.at(1, 1) = {255, 0, 0, 128};
    image.at(2, 2) = {0, 255, 0, 0};
    const Bytes png = swfwriter::encodePng(image);
    QTest::newRow("DefineBitsJPEG2") << kDefineBitsJpeg2 << swfwriter::defineBitsJpeg2Body(1, png);
    // The alpha plane applies to JPEG data only: a PNG keeps its own transparency.
    QTest::newRow("DefineBitsJPEG3 with alpha data")
        << kDefineBitsJpeg3
        << swfwriter::defineBitsJpeg3Body(1, png, swfwriter::zlibCompress(Bytes(16, 0)));
}

void JpegBitmapTest::pngIsPremultiplied()
{
    QFETCH(std::uint16_t, code);
    QFETCH(Bytes, body);
    auto result = decodeTag(code, body);
    QVERIFY(result.ok());
    QCOMPARE(result->width, 4u);
    QCOMPARE(result->pixel(0, 0), 0xff0000ffu);
    QCOMPARE(result->pixel(1, 1), 0x80800000u);
    QCOMPARE(result->pixel(2, 2), 0u);
}

void JpegBitmapTest::gifRowsAndTransparency_data()
{
    QTest::addColumn<bool>("interlaced");
    QTest::newRow("progressive rows") << false;
    QTest::newRow("interlaced") << true;
}

void JpegBitmapTest::gifRowsAndTransparency()
{
    QFETCH(bool, interlaced);
    const Bytes gif = swfwriter::encodeGif(rowStripes(), interlaced);
    auto result = decodeJpeg2(gif);
    QVERIFY(result.ok());
    QCOMPARE(result->width, 10u);
    QCOMPARE(result->height, 12u);
    for (std::uint32_t y = 0; y < 12; ++y) {
        const std::uint32_t expected = 0xff000000u | (y * 20) << 16 | 7u << 8 | (255 - y * 20);
        QCOMPARE(hex(result->pixel(9, y)), hex(expected));
    }
    QCOMPARE(result->pixel(3, 5), 0u);
    QVERIFY(result->complete);
}

void JpegBitmapTest::brokenData_data()
{
    QTest::addColumn<Bytes>("data");
    QTest::addColumn<bool>("decodes"); // partly, marked incomplete
    const Image image = halves(kRed, kBlue);
    const Bytes jpeg = swfwriter::encodeJpeg(image);
    const auto split = swfwriter::encodeJpegSplit(image);
    const Bytes png = swfwriter::encodePng(image);
    const Bytes gif = swfwriter::encodeGif(rowStripes());
    const Bytes busy = swfwriter::encodeJpeg(busyImage());
    QTest::newRow("JPEG cut in its scan") << firstBytes(busy, busy.size() * 3 / 4) << true;
    QTest::newRow("JPEG cut in its header") << firstBytes(jpeg, 40) << false;
    QTest::newRow("JPEG tables only") << split.tables << false;
    QTest::newRow("abbreviated JPEG without tables") << split.image << false;
    QTest::newRow("not an image") << Bytes{0x01, 0x02, 0x03, 0x04, 0x05} << false;
    QTest::newRow("empty") << Bytes{} << false;
    QTest::newRow("erroneous header alone") << Bytes{0xff, 0xd9, 0xff, 0xd8} << false;
    QTest::newRow("PNG cut") << firstBytes(png, png.size() / 2) << false;
    QTest::newRow("PNG signature alone") << firstBytes(png, 8) << false;
    QTest::newRow("GIF cut in its data") << firstBytes(gif, gif.size() - 12) << true;
    QTest::newRow("GIF signature alone") << firstBytes(gif, 6) << false;
}

void JpegBitmapTest::brokenData()
{
    QFETCH(Bytes, data);
    QFETCH(bool, decodes);
    auto result = decodeJpeg2(data);
    QCOMPARE(result.ok(), decodes);
    if (decodes)
        QVERIFY(!result->complete);
    else
        QVERIFY(result.error().detail.starts_with("DefineBitsJPEG2: "));
}

void JpegBitmapTest::budget_data()
{
    QTest::addColumn<Bytes>("data");
    QTest::addColumn<int>("budget");
    QTest::addColumn<bool>("decodes");
    const Image image = Image::filled(16, 16, kRed);
    const Bytes kinds[] = {swfwriter::encodeJpeg(image), swfwriter::encodePng(image),
                           swfwriter::encodeGif(image)};
    const char* names[] = {"JPEG", "PNG", "GIF"};
    for (int i = 0; i < 3; ++i) {
        QTest::addRow("%s within", names[i]) << kinds[i] << 256 << true;
        QTest::addRow("%s one pixel over", names[i]) << kinds[i] << 255 << false;
    }
}

void JpegBitmapTest::budget()
{
    QFETCH(Bytes, data);
    QFETCH(int, budget);
    QFETCH(bool, decodes);
    PixelBudget pixels(static_cast<std::uint64_t>(budget));
    auto result = decodeTag(kDefineBitsJpeg2, swfwriter::defineBitsJpeg2Body(1, data), pixels);
    QCOMPARE(result.ok(), decodes);
    if (!decodes)
        QCOMPARE(result.error().code, ErrorCode::TooLarge);
}

void JpegBitmapTest::sizeCaps_data()
{
    QTest::addColumn<Bytes>("data");
    QTest::addColumn<bool>("decodes");
    const Image wide = Image::filled(8192, 1, kRed);
    const Image widest = Image::filled(8191, 1, kRed);
    QTest::newRow("JPEG past the side cap") << swfwriter::encodeJpeg(wide) << false;
    QTest::newRow("JPEG at the side cap") << swfwriter::encodeJpeg(widest) << true;
    QTest::newRow("PNG past the side cap") << swfwriter::encodePng(wide) << false;
    QTest::newRow("GIF past the side cap") << swfwriter::encodeGif(wide) << false;
    QTest::newRow("GIF at the side cap") << swfwriter::encodeGif(widest) << true;
}

void JpegBitmapTest::sizeCaps()
{
    QFETCH(Bytes, data);
    QFETCH(bool, decodes);
    auto result = decodeJpeg2(data);
    QCOMPARE(result.ok(), decodes);
    if (!decodes)
        QCOMPARE(result.error().code, ErrorCode::TooLarge);
}

QTEST_APPLESS_MAIN(JpegBitmapTest)
#include "JpegBitmapTest.moc"
