#include "TagBodies.h"
#include "format/Bitmap.h"
#include "format/Limits.h"

#include <BitmapWriter.h>
#include <QTest>

using swf::Bitmap;
using swf::ByteReader;
using swf::ErrorCode;
using swf::PixelBudget;
using swfwriter::Color;
using swfwriter::LosslessBitmap;

namespace {

constexpr std::uint64_t kLargeBudget = swf::limits::kMaxTotalBitmapPixels;

// Writes the tag into a tag stream, reads it back and decodes the body after the id.
swf::Result<Bitmap> decode(const LosslessBitmap& bitmap, PixelBudget& budget)
{
    swfwriter::TagList tags;
    tags.add(bitmap.tagCode(), bitmap.body());
    const auto body = tagbodies::first(tags.bytes(), bitmap.tagCode());
    ByteReader in(body);
    in.u16(); // character id
    return swf::decodeDefineBitsLossless(in, bitmap.version, budget);
}

swf::Result<Bitmap> decode(const LosslessBitmap& bitmap)
{
    PixelBudget budget(kLargeBudget);
    return decode(bitmap, budget);
}

// A body written field by field, for data the writer's helpers would not produce.
swf::Result<Bitmap> decodeRaw(int version, const std::vector<std::uint8_t>& bodyAfterId)
{
    PixelBudget budget(kLargeBudget);
    ByteReader in(bodyAfterId);
    return swf::decodeDefineBitsLossless(in, version, budget);
}

} // namespace

class LosslessBitmapTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void colorMappedRowPadding_data();
    void colorMappedRowPadding();
    void colorMappedAlphaTable();
    void pix15();
    void pix24();
    void argbIsPremultipliedAndClamped();
    void indexPastColorTable();
    void truncatedDataLeavesTransparentPixels();
    void damagedData_data();
    void damagedData();
    void budgetIsChargedOnlyWhenAccepted();
    void sizeCaps_data();
    void sizeCaps();
    void emptyBitmap();
};

void LosslessBitmapTest::colorMappedRowPadding_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("width");
    // Rows are padded to 32 bits: widths 1 to 5 cover every amount of padding.
    for (int version : {1, 2}) {
        for (int width = 1; width <= 5; ++width) {
            const QByteArray name =
                "v" + QByteArray::number(version) + " width " + QByteArray::number(width);
            QTest::newRow(name.constData()) << version << width;
        }
    }
}

void LosslessBitmapTest::colorMappedRowPadding()
{
    QFETCH(int, version);
    QFETCH(int, width);
    const std::vector<Color> table = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    // Each row starts with a different index, so a wrong row stride shifts colours.
    const int height = 3;
    std::vector<std::uint8_t> indexes;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            indexes.push_back(static_cast<std::uint8_t>((x + y) % 3));
    auto result = decode(LosslessBitmap::colorMapped(version, width, height, table, indexes));
    QVERIFY(result.ok());
    const Bitmap& b = *result;
    QCOMPARE(b.width, std::uint32_t(width));
    QCOMPARE(b.height, std::uint32_t(height));
    QVERIFY(b.complete);
    const std::uint32_t colours[] = {0xffff0000, 0xff00ff00, 0xff0000ff};
    for (int y = 0; y < height; ++y) {
        QCOMPARE(b.pixel(0, y), colours[y % 3]);
        QCOMPARE(b.pixel(width - 1, y), colours[(width - 1 + y) % 3]);
    }
}

void LosslessBitmapTest::colorMappedAlphaTable()
{
    // Version 2 tables are RGBA with premultiplied colours; a channel above alpha is
    // clamped to it.
    const std::vector<Color> table = {
        {255, 0, 0, 255}, {128, 64, 0, 128}, {0, 0, 0, 0}, {200, 50, 100, 100}};
    auto result = decode(LosslessBitmap::colorMapped(2, 4, 1, table, {0, 1, 2, 3}));
    QVERIFY(result.ok());
    QCOMPARE(result->pixel(0, 0), 0xffff0000u);
    QCOMPARE(result->pixel(1, 0), 0x80804000u);
    QCOMPARE(result->pixel(2, 0), 0x00000000u);
    QCOMPARE(result->pixel(3, 0), 0x64643264u);
}

void LosslessBitmapTest::pix15()
{
    // Width 3: six bytes a row, padded to eight.
    const std::vector<std::uint16_t> pixels = {0x7c00, 0x03e0, 0x001f,  // red, green, blue
                                               0x4210, 0x7fff, 0x0000}; // 16/31 grey, white, black
    auto result = decode(LosslessBitmap::pix15(3, 2, pixels));
    QVERIFY(result.ok());
    QCOMPARE(result->pixel(0, 0), 0xffff0000u);
    QCOMPARE(result->pixel(1, 0), 0xff00ff00u);
    QCOMPARE(result->pixel(2, 0), 0xff0000ffu);
    QCOMPARE(result->pixel(0, 1), 0xff848484u);
    QCOMPARE(result->pixel(1, 1), 0xffffffffu);
    QCOMPARE(result->pixel(2, 1), 0xff000000u);
}

void LosslessBitmapTest::pix24()
{
    auto image = swfwriter::Image::filled(2, 2, {10, 20, 30, 255});
    image.at(1, 1) = {200, 100, 0, 255};
    auto bitmap = LosslessBitmap::pix24(1, image);
    // The reserved byte of PIX24 is not alpha: a non-zero value changes nothing.
    bitmap.data[0] = 0x37;
    auto result = decode(bitmap);
    QVERIFY(result.ok());
    QCOMPARE(result->pixel(0, 0), 0xff0a141eu);
    QCOMPARE(result->pixel(1, 1), 0xffc86400u);
}

void LosslessBitmapTest::argbIsPremultipliedAndClamped()
{
    auto image = swfwriter::Image::filled(2, 1, {64, 32, 16, 128});
    image.at(1, 0) = {200, 100, 50, 100}; // red above alpha: not a premultiplied value
    auto result = decode(LosslessBitmap::pix24(2, image));
    QVERIFY(result.ok());
    QCOMPARE(result->pixel(0, 0), 0x80402010u);
    QCOMPARE(result->pixel(1, 0), 0x64646432u);
}

void LosslessBitmapTest::indexPastColorTable()
{
    const std::vector<Color> table = {{255, 0, 0, 255}, {0, 255, 0, 255}};
    auto result = decode(LosslessBitmap::colorMapped(1, 3, 1, table, {1, 2, 255}));
    QVERIFY(result.ok());
    QCOMPARE(result->pixel(0, 0), 0xff00ff00u);
    QCOMPARE(result->pixel(1, 0), 0u);
    QCOMPARE(result->pixel(2, 0), 0u);
}

void LosslessBitmapTest::truncatedDataLeavesTransparentPixels()
{
    // Varied pixels so that the zlib stream is long enough to cut in the middle.
    swfwriter::Image image = swfwriter::Image::filled(64, 64, {});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.at(x, y) = {std::uint8_t(x * 7 + y), std::uint8_t((y * 13) ^ x), 99, 255};
    auto bitmap = LosslessBitmap::pix24(1, image);
    const auto whole = bitmap.body();
    bitmap.keepCompressed = (whole.size() - 7) / 2;
    auto result = decode(bitmap);
    QVERIFY(result.ok());
    QVERIFY(!result->complete);
    QCOMPARE(result->pixel(0, 0), 0xff000063u);
    QCOMPARE(result->pixel(5, 1), 0xff240863u);
    QCOMPARE(result->pixel(63, 63), 0u);
}

void LosslessBitmapTest::damagedData_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<std::vector<std::uint8_t>>("body");
    QTest::addColumn<int>("error");
    // BitmapFormat, BitmapWidth, BitmapHeight, [BitmapColorTableSize], ZlibBitmapData.
    QTest::newRow("no zlib data") << 1 << std::vector<std::uint8_t>{5, 2, 0, 2, 0}
                                  << int(ErrorCode::DecompressionFailed);
    QTest::newRow("not zlib") << 2
                              << std::vector<std::uint8_t>{5, 2, 0, 2, 0, 0x12, 0x34, 0x56, 0x78}
                              << int(ErrorCode::DecompressionFailed);
    auto tableOnlyPart = swfwriter::zlibCompress({1, 2, 3}); // table needs 4 x 3 bytes
    swfwriter::ByteWriter shortTable;
    shortTable.bytes({3, 1, 0, 1, 0, 3});
    shortTable.bytes(tableOnlyPart);
    QTest::newRow("colour table cut")
        << 1 << shortTable.data() << int(ErrorCode::DecompressionFailed);
    QTest::newRow("unknown format")
        << 1 << std::vector<std::uint8_t>{6, 1, 0, 1, 0, 0x78, 0x9c} << int(ErrorCode::BadValue);
    QTest::newRow("header cut") << 1 << std::vector<std::uint8_t>{5, 1, 0, 1}
                                << int(ErrorCode::Truncated);
    QTest::newRow("table size missing")
        << 1 << std::vector<std::uint8_t>{3, 1, 0, 1, 0} << int(ErrorCode::Truncated);
}

void LosslessBitmapTest::damagedData()
{
    QFETCH(int, version);
    QFETCH(std::vector<std::uint8_t>, body);
    QFETCH(int, error);
    auto result = decodeRaw(version, body);
    QVERIFY(!result.ok());
    QCOMPARE(int(result.error().code), error);
}

void LosslessBitmapTest::budgetIsChargedOnlyWhenAccepted()
{
    PixelBudget budget(100);
    const auto big = LosslessBitmap::pix24(1, swfwriter::Image::filled(16, 16, {1, 2, 3, 255}));
    const auto small = LosslessBitmap::pix24(1, swfwriter::Image::filled(8, 8, {1, 2, 3, 255}));
    auto refused = decode(big, budget);
    QVERIFY(!refused.ok());
    QCOMPARE(refused.error().code, ErrorCode::TooLarge);
    // The refusal cost nothing: 64 pixels still fit, then 64 more do not.
    QVERIFY(decode(small, budget).ok());
    auto second = decode(small, budget);
    QVERIFY(!second.ok());
    QCOMPARE(second.error().code, ErrorCode::TooLarge);
}

void LosslessBitmapTest::sizeCaps_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("error");
    // No pixel data follows: a size that passes the caps fails later, on the data.
    QTest::newRow("width past the side cap") << 8192 << 1 << int(ErrorCode::TooLarge);
    QTest::newRow("height past the side cap") << 1 << 8192 << int(ErrorCode::TooLarge);
    QTest::newRow("most of all sides") << 65535 << 65535 << int(ErrorCode::TooLarge);
    QTest::newRow("past the pixel cap") << 8191 << 2049 << int(ErrorCode::TooLarge);
    QTest::newRow("at the pixel cap") << 8191 << 2048 << int(ErrorCode::DecompressionFailed);
}

void LosslessBitmapTest::sizeCaps()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, error);
    LosslessBitmap bitmap;
    bitmap.width = static_cast<std::uint16_t>(width);
    bitmap.height = static_cast<std::uint16_t>(height);
    bitmap.keepCompressed = 0;
    auto result = decode(bitmap);
    QVERIFY(!result.ok());
    QCOMPARE(int(result.error().code), error);
}

void LosslessBitmapTest::emptyBitmap()
{
    LosslessBitmap bitmap;
    bitmap.width = 0;
    bitmap.height = 5;
    PixelBudget budget(0);
    auto result = decode(bitmap, budget);
    QVERIFY(result.ok());
    QCOMPARE(result->width, 0u);
    QVERIFY(result->pixels.empty());
}

QTEST_APPLESS_MAIN(LosslessBitmapTest)
#include "LosslessBitmapTest.moc"
