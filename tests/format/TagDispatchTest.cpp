// Each tag handled the one way its table row says, wherever it appears: on the main
// timeline or inside a sprite, known and read, known and skipped, or unknown.
#include "ButtonWriter.h"
#include "MovieWriter.h"
#include "format/Movie.h"

#include <QTest>

using namespace swfwriter;
using Bytes = std::vector<std::uint8_t>;

namespace {

enum class Where { MainTimeline, Sprite };

swf::MoviePtr load(const MovieWriter& movie)
{
    auto loaded = swf::loadMovie(movie.bytes());
    if (!loaded)
        qWarning("%s", loaded.error().message().c_str());
    return loaded ? *loaded : nullptr;
}

// A movie with `code` and `body` as its only tag of note, on the main timeline or in
// the first frame of sprite 100.
MovieWriter movieWith(std::uint16_t code, const Bytes& body, Where where)
{
    MovieWriter movie(10);
    if (where == Where::Sprite) {
        TagList inner;
        inner.add(code, body);
        inner.showFrame();
        movie.defineSprite(100, inner);
    } else {
        movie.add(code, body);
    }
    movie.showFrame();
    return movie;
}

Bytes withId(std::uint16_t id, const Bytes& rest)
{
    ByteWriter out;
    out.u16(id);
    out.bytes(rest);
    return out.data();
}

// DefineFont4 after its id: flags (none), the name, then CFF data.
const Bytes kFont4Rest = {0x00, 'C', 'f', 'f', 0x00, 0x01, 0x00, 0x04, 0x02};

// Byte code that is not all well formed: a push, a trace, an End, then bytes after the
// End. The format keeps every byte for the interpreter to judge.
const Bytes kByteCode = {0x96, 0x04, 0x00, 0x00, 'o', 'k', 0x00, 0x26, 0x00, 0xff, 0x07, 0x00};

} // namespace

class TagDispatchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opaqueDefinitions_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<Bytes>("rest"); // after the id
        QTest::addColumn<int>("where");
        const std::pair<const char*, std::pair<int, Bytes>> tags[] = {
            {"DefineSound", {14, {0x3e, 0x02, 0x00, 0x00, 0x00, 0xaa}}},
            {"DefineBinaryData", {87, {0x00, 0x00, 0x00, 0x00, 'b', 'i', 'n'}}},
            {"DefineFont4", {91, kFont4Rest}},
        };
        for (const auto& [name, tag] : tags) {
            QTest::newRow((std::string(name) + ", main timeline").c_str())
                << tag.first << tag.second << int(Where::MainTimeline);
            QTest::newRow((std::string(name) + ", inside a sprite").c_str())
                << tag.first << tag.second << int(Where::Sprite);
        }
    }
    void opaqueDefinitions()
    {
        QFETCH(int, code);
        QFETCH(Bytes, rest);
        QFETCH(int, where);
        const auto movie = load(movieWith(std::uint16_t(code), withId(7, rest), Where(where)));
        QVERIFY(movie);
        // Inside a sprite too, a definition joins the movie's dictionary.
        const auto* opaque = movie->get<swf::OpaqueCharacter>(7);
        QVERIFY(opaque);
        QCOMPARE(int(opaque->tagCode), code);
        QCOMPARE(opaque->body, rest);
        QVERIFY(!movie->get<swf::Font>(7));
        QVERIFY(movie->notes.empty());
    }

    void fontInfoForAFont4IsRefused()
    {
        // DefineFont4 is no font the text engine draws with, so font info naming it is
        // a reference to something missing, the same on every path.
        MovieWriter movie(10);
        movie.add(91, withId(3, kFont4Rest));
        movie.add(13, withId(3, {0x04, 'S', 'a', 'n', 's', 0x00, 'A'}));
        movie.showFrame();
        const auto loaded = load(movie);
        QVERIFY(loaded->get<swf::OpaqueCharacter>(3));
        QCOMPARE(loaded->notes.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(loaded->notes[0]).contains("DefineFontInfo (id 3)"));
    }

    void skippedAndUnknownTags_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("where");
        const std::pair<const char*, int> tags[] = {
            {"SetTabIndex", 66},  {"Protect", 24},
            {"Metadata", 77},     {"SceneAndFrameLabelData", 86},
            {"unknown 200", 200}, {"unknown 1023", 1023},
        };
        for (const auto& [name, code] : tags) {
            QTest::newRow((std::string(name) + ", main timeline").c_str())
                << code << int(Where::MainTimeline);
            QTest::newRow((std::string(name) + ", inside a sprite").c_str())
                << code << int(Where::Sprite);
        }
    }
    void skippedAndUnknownTags()
    {
        QFETCH(int, code);
        QFETCH(int, where);
        // A body that would read as a placement or a definition if it were taken for one.
        const Bytes body = {0x02, 0x01, 0x00, 0x01, 0x00, 0x00};
        const auto movie = load(movieWith(std::uint16_t(code), body, Where(where)));
        QVERIFY(movie);
        QVERIFY(movie->notes.empty());
        QCOMPARE(movie->timeline.frames.size(), std::size_t(1));
        QVERIFY(movie->timeline.frames[0].tags.empty());
        QCOMPARE(movie->characterCount(), std::size_t(where == int(Where::Sprite) ? 1 : 0));
        if (where == int(Where::Sprite)) {
            const swf::Sprite* sprite = movie->get<swf::Sprite>(100);
            QVERIFY(sprite);
            QCOMPARE(sprite->timeline.frames.size(), std::size_t(1));
            QVERIFY(sprite->timeline.frames[0].tags.empty());
        }
    }

    void bodiesTooShortForTheirIdAreNoted_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("tag");
        QTest::newRow("a definition") << 2 << "DefineShape";
        QTest::newRow("a completion") << 23 << "DefineButtonCxform";
        QTest::newRow("an opaque definition") << 91 << "DefineFont4";
    }
    void bodiesTooShortForTheirIdAreNoted()
    {
        QFETCH(int, code);
        QFETCH(QString, tag);
        const auto movie = load(movieWith(std::uint16_t(code), {0x01}, Where::MainTimeline));
        QCOMPARE(movie->characterCount(), std::size_t(0));
        QCOMPARE(movie->notes.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(movie->notes[0]).contains("(" + tag + ": character id)"));
    }

    void byteCodeIsKeptExactly_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::newRow("DoAction") << "DoAction";
        QTest::newRow("DoInitAction") << "DoInitAction";
        QTest::newRow("DefineButton") << "DefineButton";
        QTest::newRow("DefineButton2") << "DefineButton2";
        QTest::newRow("PlaceObject2 clip action") << "PlaceObject2";
        QTest::newRow("PlaceObject3 clip action") << "PlaceObject3";
    }
    void byteCodeIsKeptExactly()
    {
        QFETCH(QString, holder);
        MovieWriter movie(8);
        Place place;
        place.depth = 1;
        place.characterId = 4;
        place.clipActions = {{0x00000002, 0, kByteCode}}; // EnterFrame
        if (holder == "DoAction")
            movie.doAction(kByteCode);
        else if (holder == "DoInitAction")
            movie.doInitAction(4, kByteCode);
        else if (holder == "DefineButton")
            movie.add(7, defineButtonBody(4, {ButtonRecord{}}, kByteCode));
        else if (holder == "DefineButton2")
            movie.add(34, defineButton2Body(4, false, {ButtonRecord{}},
                                            {{0x0008, 0, kPlay()}, {0x0001, 0, kByteCode}}));
        else if (holder == "PlaceObject2")
            movie.place2(place);
        else
            movie.place3(place);
        movie.showFrame();
        const auto loaded = load(movie);
        QVERIFY(loaded);
        QVERIFY(loaded->notes.empty());
        QCOMPARE(actionsOf(*loaded, holder), kByteCode);
    }

private:
    static Bytes kPlay() { return {0x06, 0x00}; }

    static Bytes actionsOf(const swf::MovieDefinition& movie, const QString& holder)
    {
        if (const swf::Button* button = movie.get<swf::Button>(4))
            return button->actions.empty() ? Bytes{} : button->actions.back().actions;
        if (movie.timeline.frames.empty() || movie.timeline.frames[0].tags.empty())
            return {};
        const swf::ControlTag& tag = movie.timeline.frames[0].tags[0];
        if (const auto* action = std::get_if<swf::DoAction>(&tag))
            return action->actions;
        if (const auto* init = std::get_if<swf::DoInitAction>(&tag))
            return init->spriteId == 4 ? init->actions : Bytes{};
        if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
            const int version = holder.endsWith('3') ? 3 : 2;
            if (place->version != version || place->clipActions.size() != 1)
                return {};
            return place->clipActions[0].actions;
        }
        return {};
    }
};

QTEST_APPLESS_MAIN(TagDispatchTest)
#include "TagDispatchTest.moc"
