// Imports resolved: characters fetched from the movies exporting them, brought in with
// what they draw on under free ids, their init actions carried over, and every way an
// import can fail leaving a note instead of a failure.
#include "format/Imports.h"

#include "BitmapWriter.h"
#include "ButtonWriter.h"
#include "EditTextWriter.h"
#include "FontWriter.h"
#include "MorphShapeWriter.h"
#include "MovieWriter.h"
#include "ShapeWriter.h"
#include "TextWriter.h"
#include "format/Limits.h"

#include <QTest>
#include <functional>
#include <map>
#include <set>

using namespace swfwriter;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Write = std::function<void(MovieWriter&)>;

// Library files by url, and the fetches asked of them.
struct FakeHost {
    std::map<std::string, Bytes> files;
    std::vector<std::string> asked;
    std::vector<std::size_t> budgets;

    swf::ImportFetcher fetcher()
    {
        return [this](const std::string& url, std::size_t maxBytes) -> swf::Result<Bytes> {
            asked.push_back(url);
            budgets.push_back(maxBytes);
            const auto file = files.find(url);
            if (file == files.end())
                return swf::makeError(swf::ErrorCode::CannotOpen, "no such file");
            return file->second;
        };
    }
};

Bytes movieBytes(int version, const Write& write)
{
    MovieWriter movie(version);
    write(movie);
    movie.showFrame();
    return movie.bytes();
}

swf::MoviePtr resolved(const Bytes& main, FakeHost& host, std::string_view name = "main.swf")
{
    auto parsed = swf::loadMovie(main);
    if (!parsed)
        return nullptr;
    auto result = swf::resolveImports(*parsed, host.fetcher(), name);
    return result ? *result : nullptr;
}

Place placing(std::uint16_t depth, std::uint16_t id)
{
    Place place;
    place.depth = depth;
    place.characterId = id;
    return place;
}

Bytes square(std::uint16_t id)
{
    ShapeWriter shape;
    shape.fill1(shape.addFill(FillStyle::solid({255, 0, 0}))).rect(0, 0, 200, 200);
    return shape.body(id);
}

Bytes font(std::uint16_t id)
{
    ShapeWriter glyph;
    glyph.fill1(1).rect(0, -800, 600, 800);
    FontWriter writer(2);
    writer.setName("Library Sans").addGlyph(glyph, 'A', 640);
    return writer.body(id);
}

Bytes editText(std::uint16_t id, std::uint16_t fontId)
{
    EditTextFields fields;
    fields.bounds = {0, 2000, 0, 400};
    fields.fontId = fontId;
    fields.useOutlines = true;
    fields.initialText = "A";
    return editTextBody(id, fields);
}

// The library most tests import from: sprite 4 ("clip") places shape 3 and edit text 2,
// whose font is 1; sprite 6, placed inside sprite 4 too, and sprite 9, named by no
// export, have init actions as well.
Bytes clipLibrary()
{
    return movieBytes(5, [](MovieWriter& m) {
        m.add(48, font(1));
        m.add(kDefineEditTextCode, editText(2, 1));
        m.add(32, square(3));
        m.defineSprite(6, TagList{});
        TagList clip;
        clip.place2(placing(1, 3));
        clip.place2(placing(2, 2));
        clip.place2(placing(3, 6));
        clip.showFrame();
        m.defineSprite(4, clip);
        m.defineSprite(9, TagList{});
        m.exportAssets({{4, "clip"}, {1, "font"}});
        m.doInitAction(9, {0x09, 0x00});
        m.doInitAction(4, {0x07, 0x00});
        m.doInitAction(6, {0x06, 0x00});
    });
}

// The importer defines shape 1 and sprite 5 itself and imports "clip" as id 2.
Bytes clipImporter(const std::string& url = "lib.swf", const std::string& name = "clip")
{
    return movieBytes(8, [&](MovieWriter& m) {
        m.add(32, square(1));
        m.defineSprite(5, TagList{});
        m.importAssets(url, {{2, name}}, 2);
        m.doInitAction(5, {0x04, 0x00});
        m.place2(placing(1, 2));
    });
}

template <typename T> const T* get(const swf::MovieDefinition& movie, swf::CharacterId id)
{
    return movie.get<T>(id);
}

std::vector<swf::CharacterId> placedIds(const swf::Sprite& sprite)
{
    std::vector<swf::CharacterId> ids;
    for (const swf::Frame& frame : sprite.timeline.frames) {
        for (const swf::ControlTag& tag : frame.tags) {
            if (const auto* place = std::get_if<swf::PlaceObject>(&tag))
                ids.push_back(place->characterId.value_or(0));
        }
    }
    return ids;
}

// The first id a definition names, whatever its kind: the path a test follows down
// through what was brought in.
std::optional<swf::CharacterId> firstReference(const swf::Character& character)
{
    const swf::CharacterData& data = character.data;
    if (const auto* sprite = std::get_if<swf::Sprite>(&data)) {
        for (const swf::Frame& frame : sprite->timeline.frames) {
            for (const swf::ControlTag& tag : frame.tags) {
                if (const auto* place = std::get_if<swf::PlaceObject>(&tag))
                    return place->characterId;
                if (const auto* sound = std::get_if<swf::StartSound>(&tag))
                    return sound->soundId;
            }
        }
    } else if (const auto* button = std::get_if<swf::Button>(&data)) {
        if (!button->records.empty())
            return button->records.front().characterId;
    } else if (const auto* text = std::get_if<swf::StaticText>(&data)) {
        if (!text->runs.empty())
            return text->runs.front().fontId;
    } else if (const auto* field = std::get_if<swf::EditText>(&data)) {
        return field->fontId;
    } else if (const auto* shape = std::get_if<swf::Shape>(&data)) {
        for (const swf::ShapeLayer& layer : shape->drawing()) {
            for (const swf::FillStyle& fill : layer.fills) {
                if (fill.isBitmap())
                    return fill.bitmapId;
            }
        }
    } else if (const auto* morph = std::get_if<swf::MorphShape>(&data)) {
        for (const swf::FillStyle& fill : morph->startFills) {
            if (fill.isBitmap())
                return fill.bitmapId;
        }
    }
    return std::nullopt;
}

const char* kindName(const swf::CharacterData& data)
{
    static const char* const names[] = {"Shape",    "MorphShape", "Bitmap", "Font",  "StaticText",
                                        "EditText", "Button",     "Sprite", "Video", "Opaque"};
    static_assert(std::size(names) == std::variant_size_v<swf::CharacterData>);
    return names[data.index()];
}

// "Button>Shape": the kinds met following first references from `id`; "?" for an id
// that names nothing. Every character met must be a library one (its version set) under
// an id the importer did not use itself.
std::string chainFrom(const swf::MovieDefinition& movie, swf::CharacterId id,
                      const std::set<swf::CharacterId>& importersOwn)
{
    std::string chain;
    for (int step = 0; step < 8; ++step) {
        const swf::Character* character = movie.character(id);
        if (!chain.empty())
            chain += '>';
        if (!character)
            return chain + "?";
        if (importersOwn.count(id) || character->swfVersion != 5)
            return chain + "importer's";
        chain += kindName(character->data);
        const auto next = firstReference(*character);
        if (!next)
            return chain;
        id = *next;
    }
    return chain;
}

bool hasNoteWith(const swf::MovieDefinition& movie, const std::string& text)
{
    for (const std::string& note : movie.notes) {
        if (note.find(text) != std::string::npos)
            return true;
    }
    return false;
}

// Init actions of a frame as (sprite id, first action byte), other tags as (0, 0).
std::vector<std::pair<int, int>> frameTags(const swf::Frame& frame)
{
    std::vector<std::pair<int, int>> tags;
    for (const swf::ControlTag& tag : frame.tags) {
        const auto* init = std::get_if<swf::DoInitAction>(&tag);
        tags.emplace_back(init ? init->spriteId : 0, init ? init->actions.at(0) : 0);
    }
    return tags;
}

} // namespace

Q_DECLARE_METATYPE(Write)

class ImportsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aSpriteComesWithItsChildrenAndTheirFont()
    {
        FakeHost host;
        host.files["lib.swf"] = clipLibrary();
        const auto movie = resolved(clipImporter(), host);
        QVERIFY(movie);
        QVERIFY2(movie->notes.empty(), movie->notes.empty() ? "" : movie->notes[0].c_str());
        QCOMPARE(host.asked, std::vector<std::string>{"lib.swf"});

        const auto* clip = get<swf::Sprite>(*movie, 2);
        QVERIFY(clip);
        const auto placed = placedIds(*clip);
        QCOMPARE(placed.size(), std::size_t(3));
        const auto* shape = get<swf::Shape>(*movie, placed[0]);
        const auto* field = get<swf::EditText>(*movie, placed[1]);
        QVERIFY(shape && field && get<swf::Sprite>(*movie, placed[2]));
        QVERIFY(field->fontId && get<swf::Font>(*movie, *field->fontId));
        QCOMPARE(get<swf::Font>(*movie, *field->fontId)->name, std::string("Library Sans"));

        // Four characters brought in under four ids the importer left free.
        const std::set<swf::CharacterId> ids{placed[0], placed[1], placed[2], *field->fontId};
        QCOMPARE(ids.size(), std::size_t(4));
        for (swf::CharacterId id : ids) {
            QVERIFY(id != 1 && id != 2 && id != 5);
            QCOMPARE(int(movie->character(id)->swfVersion), 5);
        }
        QCOMPARE(int(movie->character(2)->swfVersion), 5);
        QCOMPARE(int(movie->character(1)->swfVersion), 0);
        QCOMPARE(movie->characterCount(), std::size_t(2 + 1 + 4));
        // Scripts attach it by the name it was imported under.
        QCOMPARE(movie->exports.at("clip"), swf::CharacterId(2));
    }

    void referencesOfEveryKindAreRenumbered_data()
    {
        QTest::addColumn<Write>("library");
        QTest::addColumn<QString>("chain");
        QTest::newRow("button record") << Write([](MovieWriter& m) {
            m.add(32, square(3));
            ButtonRecord record;
            record.characterId = 3;
            m.add(34, defineButton2Body(4, false, {record}, {}));
        }) << "Button>Shape";
        QTest::newRow("static text font") << Write([](MovieWriter& m) {
            m.add(48, font(1));
            TextWriter text;
            TextRecordFields record;
            record.fontId = 1;
            record.glyphs = {{0, 640}};
            text.setBounds({0, 400, 0, 400}).addRecord(record);
            m.add(text.tagCode(), text.body(4));
        }) << "StaticText>Font";
        QTest::newRow("edit text font") << Write([](MovieWriter& m) {
            m.add(48, font(3));
            m.add(kDefineEditTextCode, editText(4, 3));
        }) << "EditText>Font";
        QTest::newRow("bitmap fill") << Write([](MovieWriter& m) {
            LosslessBitmap bitmap = LosslessBitmap::pix24(1, Image::filled(2, 2, {0, 0, 255}));
            bitmap.id = 1;
            m.add(bitmap.tagCode(), bitmap.body());
            ShapeWriter shape;
            shape.fill1(shape.addFill(FillStyle::bitmap(1, Matrix::scale(20, 20))))
                .rect(0, 0, 40, 40);
            m.add(shape.tagCode(), shape.body(4));
        }) << "Shape>Bitmap";
        QTest::newRow("morph bitmap fill") << Write([](MovieWriter& m) {
            LosslessBitmap bitmap = LosslessBitmap::pix24(1, Image::filled(2, 2, {0, 255, 0}));
            bitmap.id = 2;
            m.add(bitmap.tagCode(), bitmap.body());
            MorphShapeWriter morph;
            const int fill = morph.addFill(FillStyle::bitmap(2, Matrix::scale(20, 20)),
                                           FillStyle::bitmap(2, Matrix::scale(40, 40)));
            morph.startEdges().fill1(fill).rect(0, 0, 40, 40);
            morph.endEdges().rect(0, 0, 80, 80);
            m.add(morph.tagCode(), morph.body(4));
        }) << "MorphShape>Bitmap";
        QTest::newRow("nested sprites") << Write([](MovieWriter& m) {
            m.add(32, square(3));
            TagList inner;
            inner.place2(placing(1, 3));
            inner.showFrame();
            m.defineSprite(5, inner);
            TagList outer;
            outer.place2(placing(1, 5));
            outer.showFrame();
            m.defineSprite(4, outer);
        }) << "Sprite>Sprite>Shape";
        QTest::newRow("sound started by a sprite") << Write([](MovieWriter& m) {
            m.add(14, {3, 0, 0x3e, 0x04, 0x00, 0x00, 0x00, 0xff, 0xff});
            TagList clip;
            clip.add(15, {3, 0, 0x00});
            clip.showFrame();
            m.defineSprite(4, clip);
        }) << "Sprite>Opaque";
        QTest::newRow("a reference to nothing stays one")
            << Write([](MovieWriter& m) { m.add(kDefineEditTextCode, editText(4, 1)); })
            << "EditText>?";
    }
    void referencesOfEveryKindAreRenumbered()
    {
        QFETCH(Write, library);
        QFETCH(QString, chain);
        FakeHost host;
        host.files["lib.swf"] = movieBytes(5, [&](MovieWriter& m) {
            library(m);
            m.exportAssets({{4, "it"}});
        });
        // The importer's own ids overlap the library's: 1 to 3 are taken here.
        const auto movie = resolved(movieBytes(8,
                                               [](MovieWriter& m) {
                                                   m.add(32, square(1));
                                                   m.add(48, font(2));
                                                   m.add(32, square(3));
                                                   m.importAssets("lib.swf", {{7, "it"}});
                                               }),
                                    host);
        QVERIFY(movie);
        QVERIFY(movie->notes.empty());
        QCOMPARE(QString::fromStdString(chainFrom(*movie, 7, {1, 2, 3})), chain);
    }

    void initActionsComeWhereTheImportStood()
    {
        FakeHost host;
        host.files["lib.swf"] = clipLibrary();
        const auto movie = resolved(movieBytes(8,
                                               [](MovieWriter& m) {
                                                   m.doAction({0x00});
                                                   m.showFrame();
                                                   m.defineSprite(5, TagList{});
                                                   m.doAction({0x00});
                                                   m.importAssets("lib.swf", {{2, "clip"}}, 2);
                                                   m.doInitAction(5, {0x04, 0x00});
                                                   m.place2(placing(1, 2));
                                               }),
                                    host);
        QVERIFY(movie);
        const auto* clip = get<swf::Sprite>(*movie, 2);
        QVERIFY(clip);
        const int inner = placedIds(*clip).at(2);
        // The frame holding the import: its DoAction, the library's init actions for the
        // two sprites brought in (in the library's order; sprite 9's is left behind), the
        // importer's own init action, then the placement.
        const std::vector<std::pair<int, int>> expected{
            {0, 0}, {2, 0x07}, {inner, 0x06}, {5, 0x04}, {0, 0}};
        QCOMPARE(frameTags(movie->timeline.frames.at(1)), expected);
        QCOMPARE(movie->timeline.frames.at(0).tags.size(), std::size_t(1));
        QCOMPARE(movie->timeline.frames.size(), std::size_t(2));
    }

    void whatCannotBeImportedLeavesANote_data()
    {
        QTest::addColumn<Bytes>("library"); // empty: no such file
        QTest::addColumn<Bytes>("importer");
        QTest::addColumn<bool>("imported"); // id 2 is the library's clip
        QTest::addColumn<QString>("note");  // empty: none
        QTest::addColumn<int>("own");       // the importer's own shape
        QTest::newRow("everything there") << clipLibrary() << clipImporter() << true << "" << 1;
        QTest::newRow("a name in another case")
            << clipLibrary() << clipImporter("lib.swf", "CLIP") << true << "" << 1;
        QTest::newRow("no such file") << Bytes{} << clipImporter() << false << "lib.swf" << 1;
        QTest::newRow("no such name")
            << clipLibrary() << clipImporter("lib.swf", "clop") << false << "\"clop\"" << 1;
        QTest::newRow("not a movie")
            << Bytes{'h', 'e', 'l', 'l', 'o'} << clipImporter() << false << "not an SWF movie" << 1;
        QTest::newRow("an id the importer defines itself")
            << clipLibrary()
            << movieBytes(8,
                          [](MovieWriter& m) {
                              m.add(32, square(2));
                              m.importAssets("lib.swf", {{2, "clip"}});
                          })
            << false << "id 2 is defined already" << 2;
        QTest::newRow("an export of an id never defined") << movieBytes(5, [](MovieWriter& m) {
            m.exportAssets({{4, "clip"}});
        }) << clipImporter() << false << "\"clip\"" << 1;
    }
    void whatCannotBeImportedLeavesANote()
    {
        QFETCH(Bytes, library);
        QFETCH(Bytes, importer);
        QFETCH(bool, imported);
        QFETCH(QString, note);
        QFETCH(int, own);
        FakeHost host;
        if (!library.empty())
            host.files["lib.swf"] = library;
        const auto movie = resolved(importer, host);
        QVERIFY(movie);
        QCOMPARE(get<swf::Sprite>(*movie, 2) != nullptr, imported);
        if (note.isEmpty())
            QVERIFY(movie->notes.empty());
        else
            QVERIFY2(hasNoteWith(*movie, note.toStdString()), qPrintable(note));
        // The importer's own characters play either way.
        QVERIFY(get<swf::Shape>(*movie, swf::CharacterId(own)));
        QCOMPARE(int(movie->character(swf::CharacterId(own))->swfVersion), 0);
    }

    void importsOfImportsAreFollowedFromTheirFolder()
    {
        FakeHost host;
        // lib/clips.swf exports a sprite placing what it imports from lib/shapes.swf.
        host.files["lib/shapes.swf"] = movieBytes(5, [](MovieWriter& m) {
            m.add(32, square(1));
            m.exportAssets({{1, "box"}});
        });
        host.files["lib/clips.swf"] = movieBytes(5, [](MovieWriter& m) {
            m.importAssets("shapes.swf", {{1, "box"}});
            TagList clip;
            clip.place2(placing(1, 1));
            clip.showFrame();
            m.defineSprite(2, clip);
            m.exportAssets({{2, "clip"}});
        });
        const auto movie = resolved(clipImporter("lib/clips.swf"), host);
        QVERIFY(movie);
        QVERIFY(movie->notes.empty());
        QCOMPARE(host.asked, (std::vector<std::string>{"lib/clips.swf", "lib/shapes.swf"}));
        const auto* clip = get<swf::Sprite>(*movie, 2);
        QVERIFY(clip);
        QVERIFY(get<swf::Shape>(*movie, placedIds(*clip).at(0)));
    }

    void cyclesAndCapsStop_data()
    {
        QTest::addColumn<int>("links");       // libraries lib0.swf, lib1.swf... in a chain
        QTest::addColumn<bool>("backToMain"); // the last one imports main.swf again
        QTest::addColumn<bool>("closed");     // the last one imports lib0.swf again
        QTest::addColumn<int>("fetched");
        QTest::addColumn<QString>("note");
        const int cap = swf::limits::kMaxImportNesting;
        QTest::newRow("a chain within the cap") << cap << false << false << cap << "";
        QTest::newRow("a chain past the cap") << cap + 2 << false << false << cap << "nested";
        QTest::newRow("a library importing a library importing it")
            << 2 << false << true << 2 << "imports from itself";
        QTest::newRow("a library importing the main movie")
            << 1 << true << false << 1 << "imports from itself";
    }
    void cyclesAndCapsStop()
    {
        QFETCH(int, links);
        QFETCH(bool, backToMain);
        QFETCH(bool, closed);
        QFETCH(int, fetched);
        QFETCH(QString, note);
        FakeHost host;
        auto name = [](int i) { return "lib" + std::to_string(i) + ".swf"; };
        for (int i = 0; i < links; ++i) {
            const bool last = i + 1 == links;
            const std::string next = !last ? name(i + 1) : backToMain ? "main.swf" : name(0);
            host.files[name(i)] = movieBytes(5, [&](MovieWriter& m) {
                m.add(32, square(1));
                if (!last || backToMain || closed)
                    m.importAssets(next, {{2, "link"}});
                m.exportAssets({{1, "link"}});
            });
        }
        const auto movie = resolved(movieBytes(8,
                                               [&](MovieWriter& m) {
                                                   m.importAssets(name(0), {{2, "link"}});
                                               }),
                                    host);
        QVERIFY(movie);
        QCOMPARE(int(host.asked.size()), fetched);
        QVERIFY(get<swf::Shape>(*movie, 2));
        if (note.isEmpty())
            QVERIFY(movie->notes.empty());
        else
            QVERIFY2(hasNoteWith(*movie, note.toStdString()), qPrintable(note));
    }

    void importFilesAreCountedAndTheirBytesBudgeted()
    {
        FakeHost host;
        const Bytes library = movieBytes(5, [](MovieWriter& m) {
            m.add(32, square(1));
            m.exportAssets({{1, "box"}});
        });
        const int files = int(swf::limits::kMaxImportFiles) + 2;
        const auto movie =
            resolved(movieBytes(8,
                                [&](MovieWriter& m) {
                                    for (int i = 0; i < files; ++i) {
                                        const std::string url = "box" + std::to_string(i) + ".swf";
                                        host.files[url] = library;
                                        m.importAssets(url, {{std::uint16_t(i + 1), "box"}});
                                    }
                                }),
                     host);
        QVERIFY(movie);
        QCOMPARE(host.asked.size(), swf::limits::kMaxImportFiles);
        QVERIFY(get<swf::Shape>(*movie, 1));
        QVERIFY(!movie->character(std::uint16_t(files)));
        QVERIFY(hasNoteWith(*movie, "more import files"));
        // Each fetch may use what the ones before it left of the byte budget.
        QCOMPARE(host.budgets.at(0), swf::limits::kMaxImportBytes);
        QCOMPARE(host.budgets.at(1), swf::limits::kMaxImportBytes - library.size());
    }

    void aFileIsFetchedOnceForAllItsImports()
    {
        FakeHost host;
        host.files["lib.swf"] = clipLibrary();
        const auto movie = resolved(movieBytes(8,
                                               [](MovieWriter& m) {
                                                   m.importAssets("lib.swf", {{2, "clip"}});
                                                   m.importAssets("gone.swf", {{3, "a"}});
                                                   m.importAssets("lib.swf", {{4, "font"}});
                                                   m.importAssets("gone.swf", {{5, "b"}});
                                               }),
                                    host);
        QVERIFY(movie);
        QCOMPARE(host.asked, (std::vector<std::string>{"lib.swf", "gone.swf"}));
        QVERIFY(get<swf::Sprite>(*movie, 2));
        QVERIFY(get<swf::Font>(*movie, 4));
        // Each import tag brings its own copies: the clip's text keeps the font it
        // brought along, and id 4 is the font as the second tag names it.
        const auto* clip = get<swf::Sprite>(*movie, 2);
        const auto* field = get<swf::EditText>(*movie, placedIds(*clip).at(1));
        QVERIFY(field && field->fontId && *field->fontId != 4);
        QCOMPARE(get<swf::Font>(*movie, *field->fontId)->name, get<swf::Font>(*movie, 4)->name);
        QCOMPARE(movie->notes.size(), std::size_t(2));
    }

    void urlsAreTakenFromTheImportersFolder_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected");
        QTest::newRow("beside a movie at the top") << "main.swf"
                                                   << "lib.swf"
                                                   << "lib.swf";
        QTest::newRow("beside a movie in a folder") << "a/b.swf"
                                                    << "c.swf"
                                                    << "a/c.swf";
        QTest::newRow("up and down again") << "a/b.swf"
                                           << "../d/./e.swf"
                                           << "d/e.swf";
        QTest::newRow("up past the top stays up") << "main.swf"
                                                  << "../x.swf"
                                                  << "../x.swf";
        QTest::newRow("backslashes") << "a\\b.swf"
                                     << "c\\d.swf"
                                     << "a/c/d.swf";
        QTest::newRow("a scheme stays as written") << "a/b.swf"
                                                   << "http://host/c.swf"
                                                   << "http://host/c.swf";
        QTest::newRow("an absolute path stays as written") << "a/b.swf"
                                                           << "/c.swf"
                                                           << "/c.swf";
    }
    void urlsAreTakenFromTheImportersFolder()
    {
        QFETCH(QString, base);
        QFETCH(QString, url);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(swf::importUrlFrom(base.toStdString(), url.toStdString())),
                 expected);
    }

    void aMovieWithoutImportsIsLeftAsItIs()
    {
        FakeHost host;
        auto parsed = swf::loadMovie(movieBytes(8, [](MovieWriter& m) { m.add(32, square(1)); }));
        QVERIFY(parsed);
        const auto result = swf::resolveImports(*parsed, host.fetcher());
        QVERIFY(result);
        QCOMPARE(result->get(), parsed->get());
        QVERIFY(host.asked.empty());
    }
};

QTEST_APPLESS_MAIN(ImportsTest)
#include "ImportsTest.moc"
