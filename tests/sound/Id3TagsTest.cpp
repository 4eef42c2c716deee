// ID3 tags as Sound.id3 shows them: v2.2 to v2.4 text frames by id and by the names
// scripts know, their text encodings, comments past their description, a v1 tag at the
// end, and tags that lie about their sizes.
#include "sound/Id3Tags.h"

#include <QtTest>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
}

Bytes frame(int version, std::string_view id, const Bytes& body)
{
    Bytes out;
    put(out, id);
    const auto n = static_cast<std::uint32_t>(body.size());
    if (version == 2) {
        out.insert(out.end(), {std::uint8_t(n >> 16), std::uint8_t(n >> 8), std::uint8_t(n)});
    } else {
        if (version == 4) // sync-safe
            out.insert(out.end(), {std::uint8_t(n >> 21 & 0x7f), std::uint8_t(n >> 14 & 0x7f),
                                   std::uint8_t(n >> 7 & 0x7f), std::uint8_t(n & 0x7f)});
        else
            out.insert(out.end(), {std::uint8_t(n >> 24), std::uint8_t(n >> 16),
                                   std::uint8_t(n >> 8), std::uint8_t(n)});
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes tag(int version, const std::vector<Bytes>& frames, std::uint32_t declared = 0)
{
    Bytes body;
    for (const Bytes& f : frames)
        body.insert(body.end(), f.begin(), f.end());
    const std::uint32_t n = declared ? declared : static_cast<std::uint32_t>(body.size());
    Bytes out{'I',
              'D',
              '3',
              std::uint8_t(version),
              0,
              0,
              std::uint8_t(n >> 21 & 0x7f),
              std::uint8_t(n >> 14 & 0x7f),
              std::uint8_t(n >> 7 & 0x7f),
              std::uint8_t(n & 0x7f)};
    out.insert(out.end(), body.begin(), body.end());
    out.insert(out.end(), {0xff, 0xfb, 0x90, 0x00}); // the audio after it
    return out;
}

Bytes latin1Text(std::string_view text)
{
    Bytes out{0};
    put(out, text);
    return out;
}

QString field(const sound::Id3Fields& fields, const std::string& name)
{
    for (const auto& [key, value] : fields)
        if (key == name)
            return QString::fromStdString(value);
    return QStringLiteral("<none>");
}

} // namespace

class Id3TagsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textFramesByIdAndByName()
    {
        for (int version : {3, 4}) {
            const auto fields =
                sound::readId3Tags(tag(version, {frame(version, "TIT2", latin1Text("Caf\xe9")),
                                                 frame(version, "TPE1", latin1Text("Band")),
                                                 frame(version, "TXXX", latin1Text("x"))}));
            QCOMPARE(field(fields, "songname"), QString::fromUtf8("Café"));
            QCOMPARE(field(fields, "TIT2"), QString::fromUtf8("Café"));
            QCOMPARE(field(fields, "artist"), QStringLiteral("Band"));
            QCOMPARE(field(fields, "TXXX"), QStringLiteral("x"));
        }
        const auto old = sound::readId3Tags(tag(2, {frame(2, "TAL", latin1Text("Album"))}));
        QCOMPARE(field(old, "album"), QStringLiteral("Album"));
        QCOMPARE(field(old, "TAL"), QStringLiteral("Album"));
    }

    void textEncodingsAndComments()
    {
        // UTF-16 with a byte-order mark (a surrogate pair in it), UTF-16BE, UTF-8.
        const Bytes utf16{1, 0xff, 0xfe, 'H', 0, 'i', 0, 0x3d, 0xd8, 0x00, 0xde, 0, 0};
        const Bytes utf16be{2, 0, 'O', 0, 'k'};
        Bytes utf8{3};
        put(utf8, "\xc3\xa9t\xc3\xa9");
        Bytes comment{0, 'e', 'n', 'g'};
        put(comment, "description");
        comment.push_back(0);
        put(comment, "the comment");
        const auto fields =
            sound::readId3Tags(tag(3, {frame(3, "TIT2", utf16), frame(3, "TALB", utf16be),
                                       frame(3, "TYER", utf8), frame(3, "COMM", comment)}));
        QCOMPARE(field(fields, "songname"), QString::fromUtf8("Hi\xf0\x9f\x98\x80"));
        QCOMPARE(field(fields, "album"), QStringLiteral("Ok"));
        QCOMPARE(field(fields, "year"), QString::fromUtf8("été"));
        QCOMPARE(field(fields, "comment"), QStringLiteral("the comment"));
    }

    void aVersion1TagAtTheEnd()
    {
        Bytes file(1000, 0x55);
        Bytes v1(128, 0);
        const std::string_view head = "TAGOld Song";
        for (std::size_t i = 0; i < head.size(); ++i)
            v1[i] = std::uint8_t(head[i]);
        v1[126] = 7; // a track number after a zero
        v1[127] = 17;
        file.insert(file.end(), v1.begin(), v1.end());
        const auto fields = sound::readId3Tags(file);
        QCOMPARE(field(fields, "songname"), QStringLiteral("Old Song"));
        QCOMPARE(field(fields, "track"), QStringLiteral("7"));
        QCOMPARE(field(fields, "genre"), QStringLiteral("17"));
        QVERIFY(sound::readId3Tags(Bytes(1000, 0x55)).empty());
    }

    void sizesThatLieEndTheTagWithoutReadingPastIt()
    {
        // A frame claiming more than the tag holds, and a tag claiming more than the file.
        Bytes liar = frame(3, "TIT2", latin1Text("Song"));
        liar[7] = 0xf0;
        const auto fields = sound::readId3Tags(tag(3, {frame(3, "TPE1", latin1Text("A")), liar}));
        QCOMPARE(field(fields, "artist"), QStringLiteral("A"));
        QCOMPARE(field(fields, "songname"), QStringLiteral("<none>"));
        const auto longTag =
            sound::readId3Tags(tag(3, {frame(3, "TPE1", latin1Text("B"))}, 0x0fffffff));
        QCOMPARE(field(longTag, "artist"), QStringLiteral("B"));
        // Thousands of empty frames give no more fields than the cap.
        std::vector<Bytes> many(5000, frame(3, "TIT1", latin1Text("")));
        QVERIFY(sound::readId3Tags(tag(3, many)).size() <= 256);
    }
};

QTEST_APPLESS_MAIN(Id3TagsTest)
#include "Id3TagsTest.moc"
