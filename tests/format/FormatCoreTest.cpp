#include "MovieWriter.h"
#include "format/BitReader.h"
#include "format/ByteReader.h"
#include "format/Limits.h"
#include "format/MovieHeader.h"
#include "format/TagReader.h"

#include <QtTest/QTest>
#include <algorithm>

using Bytes = std::vector<std::uint8_t>;
Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(swfwriter::Compression)

namespace {

// A movie whose body compresses poorly, so that a cut in the compressed data falls in
// the middle of the tags.
swfwriter::MovieWriter noisyMovie()
{
    swfwriter::MovieWriter movie(9, 320, 240, 12.5);
    movie.setBackground({10, 20, 30});
    Bytes noise(20000);
    std::uint32_t state = 12345;
    for (auto& byte : noise) {
        state = state * 1103515245 + 12345;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    movie.doAction(noise);
    movie.showFrame();
    movie.showFrame();
    return movie;
}

} // namespace

class FormatCoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void signedReadsExtendTheSign()
    {
        const Bytes data{0xff, 0xfe, 0xff, 0xfd, 0xff, 0xff, 0xff};
        swf::ByteReader in(data);
        QCOMPARE(in.s8(), -1);
        QCOMPARE(in.s16(), -2);
        QCOMPARE(in.s32(), -3);
        QVERIFY(in.ok());
        QVERIFY(in.atEnd());
    }

    void failureIsSticky()
    {
        const Bytes data{1, 2, 3};
        swf::ByteReader in(data);
        QCOMPARE(in.u32(), 0u); // one byte short
        QVERIFY(!in.ok());
        // Bytes remain, but a failed reader gives nothing more.
        QCOMPARE(in.u8(), 0);
        QCOMPARE(in.remaining(), 0u);
        QVERIFY(in.take(1).empty());
        QVERIFY(!in.ok());
    }

    void stringsNeedTheirTerminator()
    {
        const Bytes good{'a', 'b', 0, 'c'};
        swf::ByteReader in(good);
        QCOMPARE(in.cstring(), std::string("ab"));
        QCOMPARE(in.position(), 3u);
        QCOMPARE(in.cstring(), std::string());
        QVERIFY(!in.ok());
    }

    void encodedU32_data()
    {
        QTest::addColumn<Bytes>("data");
        QTest::addColumn<quint32>("value");
        QTest::addColumn<int>("length");
        QTest::newRow("one byte") << Bytes{0x7f, 0xaa} << quint32(127) << 1;
        QTest::newRow("two bytes") << Bytes{0x80, 0x01} << quint32(128) << 2;
        QTest::newRow("three bytes") << Bytes{0xe5, 0x8e, 0x26} << quint32(624485) << 3;
        QTest::newRow("five bytes, all ones")
            << Bytes{0xff, 0xff, 0xff, 0xff, 0x0f} << quint32(0xffffffff) << 5;
        // The fifth byte ends the number even with its continuation bit set.
        QTest::newRow("stops after five")
            << Bytes{0x81, 0x80, 0x80, 0x80, 0x80, 0x05} << quint32(1) << 5;
    }

    void encodedU32()
    {
        QFETCH(Bytes, data);
        QFETCH(quint32, value);
        QFETCH(int, length);
        swf::ByteReader in(data);
        QCOMPARE(in.encodedU32(), value);
        QCOMPARE(int(in.position()), length);
        QVERIFY(in.ok());
    }

    void encodedU32CutShortFails()
    {
        const Bytes data{0x80, 0x80};
        swf::ByteReader in(data);
        in.encodedU32();
        QVERIFY(!in.ok());
    }

    void bitFields_data()
    {
        QTest::addColumn<Bytes>("data");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("isSigned");
        QTest::addColumn<qint64>("value");
        QTest::newRow("ub 3") << Bytes{0b10100000} << 3 << false << qint64(5);
        QTest::newRow("sb 3 negative") << Bytes{0b10100000} << 3 << true << qint64(-3);
        QTest::newRow("sb 3 positive") << Bytes{0b01100000} << 3 << true << qint64(3);
        QTest::newRow("sb 1 is -1 or 0") << Bytes{0b10000000} << 1 << true << qint64(-1);
        QTest::newRow("sb 0 is 0") << Bytes{0xff} << 0 << true << qint64(0);
        QTest::newRow("across bytes") << Bytes{0x01, 0x80} << 9 << false << qint64(3);
        QTest::newRow("sb 17 across three bytes")
            << Bytes{0xff, 0xff, 0x80} << 17 << true << qint64(-1);
        QTest::newRow("sb 32") << Bytes{0x80, 0, 0, 0} << 32 << true << qint64(INT32_MIN);
        QTest::newRow("ub 32") << Bytes{0xff, 0xff, 0xff, 0xff} << 32 << false
                               << qint64(0xffffffff);
    }

    void bitFields()
    {
        QFETCH(Bytes, data);
        QFETCH(int, bits);
        QFETCH(bool, isSigned);
        QFETCH(qint64, value);
        swf::ByteReader in(data);
        swf::BitReader reader(in);
        const qint64 read =
            isSigned ? qint64(reader.sb(unsigned(bits))) : qint64(reader.ub(unsigned(bits)));
        QCOMPARE(read, value);
        QVERIFY(reader.ok());
    }

    void bitReaderHandsBackWholeBytes()
    {
        const Bytes data{0b11000000, 0x42};
        swf::ByteReader in(data);
        swf::BitReader bits(in);
        QCOMPARE(bits.ub(2), 3u);
        QCOMPARE(in.u8(), 0x42); // the rest of the first byte is padding
    }

    void bitReaderFailures()
    {
        const Bytes data{0xff};
        swf::ByteReader in(data);
        swf::BitReader bits(in);
        QCOMPARE(bits.ub(33), 0u);
        QVERIFY(!bits.ok());

        swf::ByteReader shortIn(data);
        swf::BitReader shortBits(shortIn);
        shortBits.ub(7);
        QCOMPARE(shortBits.ub(2), 0u);
        QVERIFY(!shortIn.ok());
    }

    void headerRoundTrip_data()
    {
        QTest::addColumn<swfwriter::Compression>("compression");
        QTest::addColumn<int>("compressionKind");
        QTest::newRow("FWS") << swfwriter::Compression::None << int(swf::Compression::None);
        QTest::newRow("CWS") << swfwriter::Compression::Zlib << int(swf::Compression::Zlib);
        QTest::newRow("ZWS") << swfwriter::Compression::Lzma << int(swf::Compression::Lzma);
    }

    void headerRoundTrip()
    {
        QFETCH(swfwriter::Compression, compression);
        QFETCH(int, compressionKind);
        const auto movie = noisyMovie();
        const Bytes plain = movie.bytes(swfwriter::Compression::None);
        const Bytes file = movie.bytes(compression);

        auto header = swf::readMovieHeader(file);
        QVERIFY(header.ok());
        QCOMPARE(int(header->compression), compressionKind);
        QCOMPARE(int(header->version), 9);
        QCOMPARE(header->widthPixels(), 320.0);
        QCOMPARE(header->heightPixels(), 240.0);
        QCOMPARE(header->frameRate, 12.5);
        QCOMPARE(int(header->frameCount), 2);
        QCOMPARE(std::size_t(header->declaredLength), plain.size());

        auto decoded = swf::decodeMovieFile(file);
        QVERIFY(decoded.ok());
        QVERIFY(decoded->complete);
        QVERIFY(*decoded->body == Bytes(plain.begin() + 8, plain.end()));
        // The tags start after the rectangle, rate and count.
        swf::TagReader tags(decoded->bytes().subspan(decoded->tagsOffset));
        auto first = tags.next();
        QVERIFY(first.has_value());
        QCOMPARE(int(first->code), 9); // SetBackgroundColor
    }

    void notAMovie()
    {
        Bytes file = noisyMovie().bytes();
        file[0] = 'G';
        auto header = swf::readMovieHeader(file);
        QVERIFY(!header.ok());
        QCOMPARE(header.error().code, swf::ErrorCode::NotAMovie);
        QCOMPARE(swf::decodeMovieFile(Bytes{'F', 'W', 'S'}).error().code,
                 swf::ErrorCode::NotAMovie);
    }

    void declaredLengthOverTheCap()
    {
        auto movie = noisyMovie();
        movie.setDeclaredLength(std::uint32_t(swf::limits::kMaxMovieBytes + 1));
        for (auto compression : {swfwriter::Compression::None, swfwriter::Compression::Zlib}) {
            auto decoded = swf::decodeMovieFile(movie.bytes(compression));
            QVERIFY(!decoded.ok());
            QCOMPARE(decoded.error().code, swf::ErrorCode::TooLarge);
        }
    }

    void truncatedZlibKeepsThePrefix()
    {
        const auto movie = noisyMovie();
        const Bytes plain = movie.bytes();
        Bytes file = movie.bytes(swfwriter::Compression::Zlib);
        file.resize(file.size() * 6 / 10);
        auto decoded = swf::decodeMovieFile(file);
        QVERIFY(decoded.ok());
        QVERIFY(!decoded->complete);
        const Bytes body(decoded->bytes().begin(), decoded->bytes().end());
        QVERIFY(body.size() > 1000);
        QVERIFY(body.size() < plain.size() - 8);
        QVERIFY(std::equal(body.begin(), body.end(), plain.begin() + 8));
    }

    void tagLengths()
    {
        swfwriter::TagList tags;
        tags.add(12, Bytes(5, 0xaa));
        tags.addLong(12, Bytes(3, 0xbb)); // long form for a short body
        tags.add(12, Bytes(100, 0xcc));   // long form by need
        tags.end();
        swf::TagReader reader(tags.bytes());
        const std::size_t sizes[] = {5, 3, 100, 0};
        const std::uint8_t fill[] = {0xaa, 0xbb, 0xcc};
        for (int i = 0; i < 4; ++i) {
            auto tag = reader.next();
            QVERIFY(tag.has_value());
            QCOMPARE(tag->body.size(), sizes[i]);
            if (i < 3)
                QVERIFY(std::all_of(tag->body.begin(), tag->body.end(),
                                    [&](std::uint8_t b) { return b == fill[i]; }));
        }
        QVERIFY(!reader.next().has_value());
        QVERIFY(!reader.truncated());
    }

    void tagPastTheEnd_data()
    {
        // A ShowFrame, then a 100-byte record in the long form, cut from the end.
        QTest::addColumn<int>("cut");
        QTest::newRow("body cut") << 1;
        QTest::newRow("long length field cut") << 104;
        QTest::newRow("short header cut") << 105;
    }

    void tagPastTheEnd()
    {
        QFETCH(int, cut);
        swfwriter::TagList tags;
        tags.add(1, {});
        tags.add(12, Bytes(100, 0));
        Bytes data = tags.bytes();
        data.resize(data.size() - std::size_t(cut));
        swf::TagReader reader(data);
        int read = 0;
        while (reader.next())
            ++read;
        QCOMPARE(read, 1); // the ShowFrame before the damage
        QVERIFY(reader.truncated());
        QVERIFY(!reader.next().has_value());
    }
};

QTEST_APPLESS_MAIN(FormatCoreTest)
#include "FormatCoreTest.moc"
