// Image files as the movies loadMovie makes of them.
#include "format/ImageMovie.h"

#include <ImageEncoder.h>
#include <MovieWriter.h>
#include <QTest>
#include <cstdlib>

using swfwriter::Color;
using swfwriter::Image;

namespace {

constexpr Color kRed{220, 20, 20, 255};

// The one pixel of the movie's bitmap at (x, y), straight ARGB.
std::uint32_t pixelAt(const swf::MovieDefinition& movie, std::uint32_t x, std::uint32_t y)
{
    const auto* bitmap = movie.get<swf::Bitmap>(1);
    return bitmap ? bitmap->pixel(x, y) : 0;
}

bool nearRed(std::uint32_t pixel)
{
    return std::abs(int((pixel >> 16) & 0xff) - kRed.r) < 12 &&
           std::abs(int((pixel >> 8) & 0xff) - kRed.g) < 12 &&
           std::abs(int(pixel & 0xff) - kRed.b) < 12 && (pixel >> 24) == 0xff;
}

} // namespace

class ImageMovieTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachFormatMakesAOneFrameMovie_data();
    void eachFormatMakesAOneFrameMovie();
    void theShapeCoversTheImage();
    void otherFilesAreNoImages();
};

void ImageMovieTest::eachFormatMakesAOneFrameMovie_data()
{
    QTest::addColumn<std::vector<std::uint8_t>>("file");
    const Image image = Image::filled(16, 8, kRed);
    QTest::newRow("png") << swfwriter::encodePng(image);
    QTest::newRow("gif") << swfwriter::encodeGif(image);
    QTest::newRow("jpeg") << swfwriter::encodeJpeg(image);
}

void ImageMovieTest::eachFormatMakesAOneFrameMovie()
{
    QFETCH(std::vector<std::uint8_t>, file);
    QVERIFY(swf::isImageFile(file));
    auto movie = swf::movieFromImage(file, 7);
    QVERIFY(movie);
    const swf::MovieDefinition& m = **movie;
    QCOMPARE(m.header.version, std::uint8_t(7));
    QCOMPARE(m.header.declaredLength, std::uint32_t(file.size()));
    QCOMPARE(m.header.stage.width().value, 16 * 20);
    QCOMPARE(m.header.stage.height().value, 8 * 20);
    QCOMPARE(m.timeline.frames.size(), std::size_t(1));
    QVERIFY(nearRed(pixelAt(m, 0, 0)));
    QVERIFY(nearRed(pixelAt(m, 15, 7)));
    const auto& tags = m.timeline.frames[0].tags;
    QCOMPARE(tags.size(), std::size_t(1));
    const auto* placed = std::get_if<swf::PlaceObject>(&tags[0]);
    QVERIFY(placed && placed->characterId);
    QVERIFY(m.get<swf::Shape>(*placed->characterId));
}

void ImageMovieTest::theShapeCoversTheImage()
{
    auto movie = swf::movieFromImage(swfwriter::encodePng(Image::filled(3, 5, kRed)), 8);
    QVERIFY(movie);
    const swf::Shape* shape = (*movie)->get<swf::Shape>(2);
    QVERIFY(shape);
    QCOMPARE(shape->bounds.xMax.value, 60);
    QCOMPARE(shape->bounds.yMax.value, 100);
    const auto& layers = shape->drawing();
    QCOMPARE(layers.size(), std::size_t(1));
    const swf::FillStyle& fill = layers[0].fills.at(0);
    // The bitmap's pixels are the stage's: 20 twips each, edges clipped.
    QVERIFY(fill.isClippedBitmap());
    QCOMPARE(fill.bitmapId, swf::CharacterId(1));
    QCOMPARE(fill.matrix.a, 20.0);
    QCOMPARE(fill.matrix.d, 20.0);
    QCOMPARE(layers[0].fillPaths.at(0).path.segments.size(), std::size_t(5));
}

void ImageMovieTest::otherFilesAreNoImages()
{
    swfwriter::MovieWriter swf(8);
    const std::vector<std::uint8_t> movieFile = swf.bytes();
    QVERIFY(!swf::isImageFile(movieFile));
    QVERIFY(!swf::movieFromImage(movieFile, 8));
    const std::vector<std::uint8_t> text{'h', 'e', 'l', 'l', 'o'};
    QVERIFY(!swf::isImageFile(text));
    QVERIFY(!swf::movieFromImage({}, 8));
    // A PNG signature over damaged data is refused, not read past its end.
    std::vector<std::uint8_t> cut = swfwriter::encodePng(Image::filled(4, 4, kRed));
    cut.resize(20);
    QVERIFY(swf::isImageFile(cut));
    QVERIFY(!swf::movieFromImage(cut, 8));
}

QTEST_GUILESS_MAIN(ImageMovieTest)
#include "ImageMovieTest.moc"
