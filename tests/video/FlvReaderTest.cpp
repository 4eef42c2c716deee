// The FLV reader on files made by the project's writer: header, tags and their headers,
// script data values, keyframe indexes from metadata and from the tags, and damaged
// files, which end in diagnostics or errors, never in a bad read.
#include "video/FlvReader.h"

#include "FlvWriter.h"

#include <QtTest>
#include <algorithm>

namespace {

using script::amf::Kind;
using script::amf::Node;
using swfwriter::AmfWriter;
using swfwriter::FlvWriter;
namespace flv = video::flv;

const std::vector<std::uint8_t> kFrame{0xde, 0xad, 0xbe, 0xef};

flv::FlvFile read(const std::vector<std::uint8_t>& bytes)
{
    auto file = flv::readFlv(bytes);
    if (!file)
        qFatal("FLV not read: %s", file.error().message().c_str());
    return std::move(file.value());
}

// The value of `node`'s member `name` in the event's values, or null.
const Node* member(const flv::ScriptEvent& event, const Node* node, const char* name)
{
    const script::amf::Member* m = node ? script::amf::findMember(*node, name) : nullptr;
    return m ? &event.values[m->value] : nullptr;
}

// A file of one script tag: an event name, then `amf`.
flv::FlvFile scriptFile(const std::vector<std::uint8_t>& amf)
{
    std::vector<std::uint8_t> body = AmfWriter().string("onTest").bytes();
    body.insert(body.end(), amf.begin(), amf.end());
    FlvWriter writer;
    writer.script(0, body);
    return read(writer.bytes());
}

bool mentions(const flv::FlvFile& file, const char* text)
{
    return std::any_of(
        file.diagnostics.begin(), file.diagnostics.end(),
        [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

// onMetaData with a keyframe index of the given positions and times (seconds).
std::vector<std::uint8_t> metadataWithIndex(const std::vector<double>& positions,
                                            const std::vector<double>& times)
{
    AmfWriter amf;
    amf.string("onMetaData").beginEcmaArray(2).key("duration").number(1.0).key("keyframes");
    amf.beginObject().key("filepositions").beginStrictArray(std::uint32_t(positions.size()));
    for (double p : positions)
        amf.number(p);
    amf.key("times").beginStrictArray(std::uint32_t(times.size()));
    for (double t : times)
        amf.number(t);
    amf.end().end();
    return amf.bytes();
}

// Metadata first, then video tags of the given frame types 40 ms apart; the metadata's
// index names the keyframes' real positions when `rightIndex`, else shifted ones.
std::vector<std::uint8_t> indexedFile(const std::vector<std::uint8_t>& frameTypes, bool rightIndex,
                                      bool withIndex = true)
{
    std::vector<double> positions, times;
    for (int pass = 0; pass < 3; ++pass) {
        FlvWriter writer(false, true);
        if (withIndex)
            writer.script(0, metadataWithIndex(positions, times));
        std::vector<double> found, foundTimes;
        for (std::size_t i = 0; i < frameTypes.size(); ++i) {
            if (frameTypes[i] == 1) {
                found.push_back(double(writer.position()) + (rightIndex ? 0 : 4));
                foundTimes.push_back(0.04 * double(i));
            }
            writer.video(std::uint32_t(40 * i), frameTypes[i], 2, kFrame);
        }
        if (pass == 2)
            return writer.bytes();
        // The metadata's size depends on the count of numbers, not on their values: the
        // last pass lays out the same file with the positions the one before found.
        positions = found;
        times = foundTimes;
    }
    return {};
}

} // namespace

class FlvReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void headerAndTags()
    {
        FlvWriter writer(true, true);
        writer.video(0, 1, 2, kFrame);
        writer.audio(23, 0x2f, kFrame);    // MP3, 44 kHz, 16-bit, stereo
        writer.audio(46, 0xaf, kFrame, 1); // AAC raw frame
        // Past 2^24 ms the timestamp's extended byte holds the high bits.
        writer.video(0x01020304, 2, 4, kFrame);
        const flv::FlvFile file = read(writer.bytes());
        QCOMPARE(file.header.version, std::uint8_t(1));
        QVERIFY(file.header.hasAudio && file.header.hasVideo);
        QCOMPARE(file.header.dataOffset, 9u);
        QVERIFY(file.diagnostics.empty());
        QCOMPARE(file.tags.size(), std::size_t(4));

        const flv::Tag& key = file.tags[0];
        QCOMPARE(key.type, flv::TagType::Video);
        QCOMPARE(key.fileOffset, std::size_t(13));
        QCOMPARE(key.video.frameType, flv::FrameType::Keyframe);
        QCOMPARE(key.video.codecId, std::uint8_t(2));
        QVERIFY(std::equal(key.payload.begin(), key.payload.end(), kFrame.begin(), kFrame.end()));

        const flv::Tag& mp3 = file.tags[1];
        QCOMPARE(mp3.type, flv::TagType::Audio);
        QCOMPARE(mp3.timestampMs, 23u);
        QCOMPARE(mp3.audio.format, std::uint8_t(2));
        QCOMPARE(mp3.audio.rateIndex, std::uint8_t(3));
        QVERIFY(mp3.audio.sixteenBit && mp3.audio.stereo);
        QVERIFY(!mp3.audio.aacPacketType);
        QCOMPARE(mp3.payload.size(), kFrame.size());

        const flv::Tag& aac = file.tags[2];
        QCOMPARE(aac.audio.format, std::uint8_t(10));
        QCOMPARE(aac.audio.aacPacketType.value_or(9), std::uint8_t(1));
        QCOMPARE(aac.payload.size(), kFrame.size()); // the packet type is not payload

        QCOMPARE(file.tags[3].timestampMs, 0x01020304u);
        QCOMPARE(file.tags[3].video.frameType, flv::FrameType::Inter);
        QCOMPARE(file.tags[3].video.codecId, std::uint8_t(4));
    }

    void metadataValues()
    {
        AmfWriter amf;
        amf.string("onMetaData").beginEcmaArray(0); // a wrong count hint is harmless
        amf.key("duration").number(12.5).key("width").number(320).key("stereo").boolean(true);
        amf.key("encoder").string("test writer").key("nothing").null().key("gone").undefined();
        amf.key("created").date(1.0e12, -60);
        amf.key("long").string(std::string(70000, 'x'));
        amf.key("nested").beginObject().key("inner").beginStrictArray(3);
        amf.number(1).string("two").beginObject().key("three").number(3).end();
        amf.end().end();
        FlvWriter writer;
        writer.script(0, amf.bytes());
        const flv::FlvFile file = read(writer.bytes());
        QVERIFY(file.diagnostics.empty());
        QCOMPARE(file.scripts.size(), std::size_t(1));
        QCOMPARE(file.scripts[0].name, std::string("onMetaData"));
        const flv::ScriptEvent* event = file.metadata();
        QVERIFY(event);
        const Node& metadata = event->values[event->argument];
        QCOMPARE(metadata.kind, Kind::Array);
        QVERIFY(!metadata.strictArray);
        QCOMPARE(metadata.members.size(), std::size_t(9));
        QCOMPARE(event->member("duration")->number, 12.5);
        QCOMPARE(event->member("width")->number, 320.0);
        QCOMPARE(event->member("stereo")->boolean, true);
        QCOMPARE(event->member("encoder")->text, std::string("test writer"));
        QCOMPARE(event->member("nothing")->kind, Kind::Null);
        QCOMPARE(event->member("gone")->kind, Kind::Undefined);
        const Node* created = event->member("created");
        QCOMPARE(created->kind, Kind::Date);
        QCOMPARE(created->number, 1.0e12);
        QCOMPARE(created->timezone, std::int16_t(-60));
        QCOMPARE(event->member("long")->text.size(), std::size_t(70000));
        const Node* inner = member(*event, event->member("nested"), "inner");
        QVERIFY(inner);
        QCOMPARE(inner->kind, Kind::Array);
        QVERIFY(inner->strictArray);
        QCOMPARE(inner->elements.size(), std::size_t(3));
        QCOMPARE(event->values[inner->elements[1]].text, std::string("two"));
        QCOMPARE(member(*event, &event->values[inner->elements[2]], "three")->number, 3.0);
        QVERIFY(!event->member("missing"));
    }

    void cuePoints()
    {
        AmfWriter amf;
        amf.string("onCuePoint").beginObject().key("name").string("chapter 2");
        amf.key("time").number(2.0).key("type").string("event");
        amf.key("parameters").beginObject().key("colour").string("red").end().end();
        FlvWriter writer;
        writer.video(0, 1, 2, kFrame).script(2000, amf.bytes()).video(2000, 2, 2, kFrame);
        const flv::FlvFile file = read(writer.bytes());
        QCOMPARE(file.scripts.size(), std::size_t(1));
        const flv::ScriptEvent& cue = file.scripts[0];
        QCOMPARE(cue.name, std::string("onCuePoint"));
        QCOMPARE(cue.timestampMs, 2000u);
        QCOMPARE(cue.member("name")->text, std::string("chapter 2"));
        QCOMPARE(cue.member("time")->number, 2.0);
        QCOMPARE(member(cue, cue.member("parameters"), "colour")->text, std::string("red"));
        QVERIFY(!file.metadata());
    }

    void keyframeIndex_data()
    {
        QTest::addColumn<bool>("withIndex");
        QTest::addColumn<bool>("rightIndex");
        QTest::addColumn<bool>("fromMetadata");
        QTest::newRow("from the metadata") << true << true << true;
        QTest::newRow("metadata pointing elsewhere: from the tags") << true << false << false;
        QTest::newRow("no metadata: from the tags") << false << false << false;
    }
    void keyframeIndex()
    {
        QFETCH(bool, withIndex);
        QFETCH(bool, rightIndex);
        QFETCH(bool, fromMetadata);
        const flv::FlvFile file =
            read(indexedFile({1, 2, 3, 2, 1, 2, 5, 1}, rightIndex, withIndex));
        QCOMPARE(file.keyframesFromMetadata, fromMetadata);
        QCOMPARE(mentions(file, "keyframe index is ignored"), withIndex && !rightIndex);
        QCOMPARE(file.keyframes.size(), std::size_t(3));
        const std::size_t first = withIndex ? 1 : 0; // the metadata tag comes first
        const std::size_t expectedTags[3] = {first, first + 4, first + 7};
        const std::uint32_t expectedTimes[3] = {0, 160, 280};
        for (std::size_t i = 0; i < 3; ++i) {
            QCOMPARE(file.keyframes[i].tagIndex, expectedTags[i]);
            QCOMPARE(file.keyframes[i].timeMs, expectedTimes[i]);
        }
        QCOMPARE(file.tags[first + 6].video.frameType, flv::FrameType::Command);
    }

    // H.264's configuration record is marked a keyframe but is none.
    void avcConfigurationIsNoKeyframe()
    {
        FlvWriter writer(false, true);
        writer.video(0, 1, 7, std::vector<std::uint8_t>{0, 0, 0, 0, 1, 0x42});
        writer.video(0, 1, 7, std::vector<std::uint8_t>{1, 0, 0, 0, 0, 0, 0, 1, 0x65});
        const flv::FlvFile file = read(writer.bytes());
        QCOMPARE(file.keyframes.size(), std::size_t(1));
        QCOMPARE(file.keyframes[0].tagIndex, std::size_t(1));
    }

    void notAnFlv_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("code");
        const auto bytes = [](std::vector<std::uint8_t> v) {
            return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
        };
        QTest::newRow("empty") << QByteArray() << int(swf::ErrorCode::NotAMovie);
        QTest::newRow("other signature")
            << bytes({'F', 'W', 'S', 1, 5, 0, 0, 0, 9}) << int(swf::ErrorCode::NotAMovie);
        QTest::newRow("header cut")
            << bytes({'F', 'L', 'V', 1, 5, 0, 0}) << int(swf::ErrorCode::NotAMovie);
        QTest::newRow("version 2")
            << bytes({'F', 'L', 'V', 2, 5, 0, 0, 0, 9}) << int(swf::ErrorCode::Unsupported);
        QTest::newRow("data offset past the end")
            << bytes({'F', 'L', 'V', 1, 5, 0, 0, 1, 0}) << int(swf::ErrorCode::BadValue);
        QTest::newRow("data offset inside the header")
            << bytes({'F', 'L', 'V', 1, 5, 0, 0, 0, 3}) << int(swf::ErrorCode::BadValue);
    }
    void notAnFlv()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, code);
        const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
        auto file = flv::readFlv(data);
        QVERIFY(!file);
        QCOMPARE(int(file.error().code), code);
    }

    void damage_data()
    {
        QTest::addColumn<int>("cut"); // bytes left off the end
        QTest::addColumn<int>("tags");
        QTest::addColumn<QString>("diagnostic");
        // Three 15-byte tags of 4 payload bytes, each followed by its 4-byte size.
        QTest::newRow("whole") << 0 << 3 << QString();
        QTest::newRow("last size missing") << 4 << 3 << "without its last tag size";
        QTest::newRow("inside the last tag's data") << 6 << 2 << "runs past the end";
        QTest::newRow("inside the last tag's header") << 14 << 2 << "inside a tag header";
        QTest::newRow("inside the last size") << 2 << 3 << "inside a tag size";
    }
    void damage()
    {
        QFETCH(int, cut);
        QFETCH(int, tags);
        QFETCH(QString, diagnostic);
        FlvWriter writer;
        writer.video(0, 1, 2, kFrame).video(40, 2, 2, kFrame).video(80, 2, 2, kFrame);
        std::vector<std::uint8_t> bytes = writer.bytes();
        bytes.resize(bytes.size() - std::size_t(cut));
        const flv::FlvFile file = read(bytes);
        QCOMPARE(int(file.tags.size()), tags);
        if (diagnostic.isEmpty())
            QVERIFY(file.diagnostics.empty());
        else
            QVERIFY(mentions(file, diagnostic.toUtf8().constData()));
    }

    void damagedFirstTagIsAnError()
    {
        FlvWriter writer;
        writer.video(0, 1, 2, kFrame);
        std::vector<std::uint8_t> bytes = writer.bytes();
        bytes.resize(bytes.size() - 6);
        auto file = flv::readFlv(bytes);
        QVERIFY(!file);
        QCOMPARE(file.error().code, swf::ErrorCode::Truncated);
        // A declared length far past the end is caught before it is used.
        bytes = writer.bytes();
        bytes[14] = 0xff;
        QVERIFY(!flv::readFlv(bytes));
    }

    void toleratedFaults()
    {
        FlvWriter writer;
        writer.tag(9, 0, std::vector<std::uint8_t>{0x12, 1}, 5);             // wrong back-pointer
        writer.tag(0x20 | 9, 40, kFrame);                                    // encrypted
        writer.tag(7, 40, kFrame);                                           // unknown type
        writer.tag(9, 40, {});                                               // no video header
        writer.tag(9, 40, std::vector<std::uint8_t>{0x72});                  // frame type 7
        writer.script(50, AmfWriter().number(3).bytes());                    // no event name
        writer.script(60, std::vector<std::uint8_t>{0x02, 0x00, 0x10, 'a'}); // cut string
        writer.video(80, 2, 2, kFrame);
        const flv::FlvFile file = read(writer.bytes());
        QCOMPARE(file.tags.size(), std::size_t(4)); // two videos, two script tags
        QVERIFY(file.scripts.empty());
        for (const char* text :
             {"previous tag size", "encrypted", "unknown tag type 7", "empty media tag",
              "video frame type 7", "without an event name", "script data at byte"})
            QVERIFY2(mentions(file, text), text);
    }

    // A file damaged throughout, or made of tiny script values, costs a bounded amount.
    void fileCaps()
    {
        FlvWriter junk;
        for (int i = 0; i < 100; ++i)
            junk.tag(7, 0, kFrame);
        junk.video(0, 1, 2, kFrame);
        const flv::FlvFile damaged = read(junk.bytes());
        QCOMPARE(damaged.tags.size(), std::size_t(1));
        QCOMPARE(damaged.diagnostics.size(), std::size_t(33));
        QCOMPARE(damaged.diagnostics.back(), std::string("and 68 more problems"));

        // Two script tags of 600,000 values each: the second meets the file's budget.
        AmfWriter many;
        many.string("onMany").beginStrictArray(600000);
        for (int i = 0; i < 600000; ++i)
            many.undefined();
        FlvWriter writer;
        writer.script(0, many.bytes()).script(0, many.bytes());
        const flv::FlvFile file = read(writer.bytes());
        QCOMPARE(file.scripts.size(), std::size_t(1));
        QVERIFY(mentions(file, "larger than this player accepts"));
    }

    void scriptDataCaps()
    {
        // Nesting past the cap fails; a reasonable depth reads.
        const auto nested = [](int depth) {
            AmfWriter amf;
            for (int i = 0; i < depth; ++i)
                amf.beginObject().key("a");
            amf.number(1);
            for (int i = 0; i < depth; ++i)
                amf.end();
            return amf.bytes();
        };
        QCOMPARE(scriptFile(nested(20)).scripts.size(), std::size_t(1));
        const flv::FlvFile deep = scriptFile(nested(40));
        QVERIFY(deep.scripts.empty());
        QVERIFY(mentions(deep, "nests deeper"));
        // A strict array claiming far more elements than bytes remain.
        const flv::FlvFile claimed = scriptFile(AmfWriter().beginStrictArray(0x7fffffff).bytes());
        QVERIFY(claimed.scripts.empty());
        QVERIFY(mentions(claimed, "ends early"));
        // A reference to an object before it is that object; one to nothing is damage.
        std::vector<std::uint8_t> twice = AmfWriter().beginStrictArray(2).bytes();
        const std::vector<std::uint8_t> first =
            AmfWriter().beginObject().key("x").number(1).end().bytes();
        twice.insert(twice.end(), first.begin(), first.end());
        twice.insert(twice.end(), {0x07, 0x00, 0x01});
        const flv::FlvFile shared = scriptFile(twice);
        QCOMPARE(shared.scripts.size(), std::size_t(1));
        const Node& pair = shared.scripts[0].values[shared.scripts[0].argument];
        QCOMPARE(pair.elements.size(), std::size_t(2));
        QCOMPARE(pair.elements[0], pair.elements[1]);
        const flv::FlvFile dangling = scriptFile({0x07, 0x00, 0x01});
        QVERIFY(dangling.scripts.empty());
        QVERIFY(mentions(dangling, "refers to something"));
        // A number cut short.
        QVERIFY(scriptFile({0x00, 0x40, 0x09}).scripts.empty());
        // An object whose end marker is missing at the end of the data closes there.
        const flv::FlvFile open = scriptFile(AmfWriter().beginObject().key("x").number(2).bytes());
        QCOMPARE(open.scripts.size(), std::size_t(1));
        QCOMPARE(open.scripts[0].member("x")->number, 2.0);
        // A value its writer had no form for reads as undefined.
        const flv::FlvFile unsupported = scriptFile({0x0d});
        QCOMPARE(unsupported.scripts.size(), std::size_t(1));
        QCOMPARE(unsupported.scripts[0].values[unsupported.scripts[0].argument].kind,
                 Kind::Undefined);
    }
};

QTEST_GUILESS_MAIN(FlvReaderTest)
#include "FlvReaderTest.moc"
