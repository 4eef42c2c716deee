// Movies loaded into levels and clips: when requests are carried out, what a load does
// to its target, the order of its events, unloading, and what each loaded movie keeps
// of its own.
#include "ImageEncoder.h"
#include "MovieWriter.h"
#include "TestMovie.h"
#include "runtime/Limits.h"
#include "runtime/MovieFiles.h"
#include "runtime/MoviePlayer.h"
#include "runtime/Paths.h"
#include "runtime/SpriteObject.h"

#include <QTest>
#include <algorithm>
#include <map>

using namespace testmovie;

namespace {

// Serves the files it was given, and counts what it was asked for.
class FileHost : public RecordingHost {
public:
    swf::Result<std::vector<std::uint8_t>> fetchFile(std::string_view url,
                                                     std::size_t maxBytes) override
    {
        asked.emplace_back(url);
        auto it = files.find(std::string(url));
        if (it == files.end())
            return swf::makeError(swf::ErrorCode::CannotOpen, "no such file");
        if (it->second.size() > maxBytes)
            return swf::makeError(swf::ErrorCode::TooLarge);
        return it->second;
    }
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::vector<std::string> asked;
};

// A movie of `version` whose frames each run a one-byte block with the marker given.
std::vector<std::uint8_t> markerMovie(std::initializer_list<std::uint8_t> markers, int version = 8,
                                      bool otherVm = false)
{
    swfwriter::MovieWriter movie(version);
    if (version >= 8)
        movie.fileAttributes(otherVm);
    for (std::uint8_t marker : markers) {
        movie.doAction({marker});
        movie.showFrame();
    }
    return movie.bytes();
}

// A main timeline of two frames (blocks 1 and 2) holding a clip "clip" at depth 1
// whose sprite holds a square and a clip "inner".
swf::MoviePtr mainMovie()
{
    Builder movie;
    movie.square(1);
    movie.sprite(2, timeline({{place(1, 1)}}));
    movie.sprite(3, timeline({{place(1, 1), named(place(2, 2), "inner")}}));
    movie.main(timeline({{named(place(1, 3), "clip"), action(1)}, {action(2)}}));
    return movie.build();
}

struct Stage {
    explicit Stage(swf::MoviePtr movie = mainMovie()) : player(std::move(movie), host)
    {
        player.setMovieUrl("file:///main.swf");
        player.setScriptEngine(&engine);
    }

    runtime::SpriteObject& clip()
    {
        return *static_cast<runtime::SpriteObject*>(runtime::resolvePath(player.root(), "clip"));
    }
    // What a script in the current step asks for.
    void loadLevel(int level, std::string url, std::uint64_t observer = 7)
    {
        runtime::MovieRequest request;
        request.url = std::move(url);
        request.level = level;
        request.observer = observer;
        push(std::move(request));
    }
    void loadClip(runtime::DisplayObject& target, std::string url, std::uint64_t observer = 7)
    {
        runtime::MovieRequest request;
        request.url = std::move(url);
        request.clip = target.weak_from_this();
        request.observer = observer;
        push(std::move(request));
    }
    void unload(std::optional<int> level, runtime::DisplayObject* target = nullptr)
    {
        runtime::MovieRequest request;
        request.kind = runtime::MovieRequest::Kind::Unload;
        request.level = level;
        if (target)
            request.clip = target->weak_from_this();
        push(std::move(request));
    }
    void push(runtime::MovieRequest request)
    {
        request.tick = player.steps();
        QVERIFY(player.root().context().movieRequests().push(std::move(request)));
    }
    std::vector<std::string> loadEntries() const
    {
        std::vector<std::string> out;
        for (const std::string& entry : engine.ran)
            if (entry.starts_with("load:") || entry.starts_with("f"))
                out.push_back(entry);
        return out;
    }

    FileHost host;
    RecordingEngine engine;
    runtime::MoviePlayer player;
};

// Entries one a line, so that a failure shows them.
QString lines(const std::vector<std::string>& entries)
{
    QStringList out;
    for (const std::string& entry : entries)
        out << QString::fromStdString(entry);
    return out.join('\n');
}

} // namespace

class MovieLoadingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void levelArrivesInTheNextStepAfterItsCode();
    void missingFileFailsInTheStepThatAsked();
    void clipKeepsItsPlaceAndLosesItsContent();
    void removedTargetCancelsTheLoad();
    void unloadingLevelsAndClips();
    void eachMovieRunsItsOwnInitBlocks();
    void otherVirtualMachineRunsNoCode();
    void imageBecomesABitmapShape();
    void levelsDrawAboveLevelZero();
    void requestsAreBounded();
    void levelsAreBounded();
    void addressesFollowTheMainMovie();
};

void MovieLoadingTest::levelArrivesInTheNextStepAfterItsCode()
{
    Stage stage;
    stage.host.files["child.swf"] = markerMovie({65, 66});
    stage.loadLevel(1, "child.swf");
    stage.player.runActions();
    // Fetched as the step ends, shown only in the next one.
    QCOMPARE(stage.host.asked, std::vector<std::string>{"child.swf"});
    QVERIFY(!stage.player.level(1));
    stage.engine.clear();
    stage.player.advance();
    const std::vector<std::string> expected{
        "f2@_level0",  "load:start@_level1", "load:progress@_level1", "load:complete@_level1",
        "f65@_level1", "load:init@_level1"};
    QCOMPARE(lines(stage.loadEntries()), lines(expected));
    runtime::SpriteObject* level = stage.player.level(1);
    QVERIFY(level);
    QCOMPARE(level->path(), std::string("_level1"));
    QCOMPARE(level->targetPath(), std::string("_level1"));
    QCOMPARE(level->scriptDepth(), 1 - runtime::limits::kScriptDepthOffset);
    QCOMPARE(runtime::resolvePath(stage.player.root(), "_level1"), level);
    QCOMPARE(level->movieInstance().url(), std::string("file:///child.swf"));
    QCOMPARE(stage.host.asked.size(), std::size_t(1));
    // A symbol's clip reports its movie's length, a clip a script made empty none.
    QCOMPARE(stage.clip().bytesTotal(),
             static_cast<long long>(stage.player.root().movieInstance().bytesTotal()));
    auto made = stage.player.root().createEmptyClip("made", 5);
    QVERIFY(made);
    QCOMPARE(made->bytesTotal(), 0LL);
    QCOMPARE(made->framesLoaded(), 1L);
    // The level then plays with the rest of the stage.
    stage.engine.clear();
    stage.player.advance();
    QVERIFY(std::find(stage.engine.ran.begin(), stage.engine.ran.end(), "f66@_level1") !=
            stage.engine.ran.end());
}

void MovieLoadingTest::missingFileFailsInTheStepThatAsked()
{
    Stage stage;
    stage.loadClip(stage.clip(), "missing.swf");
    stage.player.runActions();
    QCOMPARE(lines(stage.loadEntries()), QString("f1@_level0\nload:error@_level0.clip"));
    // The clip let its content go for the file, and takes the file's address.
    runtime::SpriteObject& clip = stage.clip();
    QVERIFY(clip.children().empty());
    QCOMPARE(clip.movieInstance().url(), std::string("file:///missing.swf"));
    // What scripts read of a clip a load left with nothing.
    QCOMPARE(clip.framesLoaded(), -1L);
    QCOMPARE(clip.totalFrames(), 0L);
    QCOMPARE(clip.bytesTotal(), -1LL);
    QCOMPARE(clip.scriptVersion(), -1);
    stage.engine.clear();
    stage.player.advance();
    QCOMPARE(lines(stage.loadEntries()), QString("f2@_level0"));
    // A level keeps its movie when a load into it fails.
    stage.loadLevel(0, "missing.swf");
    stage.player.runActions();
    QCOMPARE(stage.engine.ran.back(), std::string("load:error@_level0"));
    QVERIFY(stage.player.root().childAt(1));
    QCOMPARE(stage.player.root().movieInstance().url(), std::string("file:///main.swf"));
}

void MovieLoadingTest::clipKeepsItsPlaceAndLosesItsContent()
{
    Stage stage;
    stage.engine.recordEvents = {runtime::ClipEvent::Unload, runtime::ClipEvent::Load};
    swfwriter::MovieWriter child(6);
    child.doAction({70});
    child.showFrame();
    stage.host.files["child.swf"] = child.bytes();
    runtime::SpriteObject& clip = stage.clip();
    const std::uint64_t id = clip.id();
    stage.loadClip(clip, "child.swf");
    stage.player.runActions();
    stage.engine.clear();
    stage.player.advance();

    runtime::SpriteObject& loaded = stage.clip();
    QCOMPARE(loaded.id(), id);
    QCOMPARE(loaded.depth(), 1);
    QVERIFY(loaded.isMovieRoot());
    QCOMPARE(loaded.characterId(), swf::CharacterId(0));
    QCOMPARE(loaded.movie().header.version, std::uint8_t(6));
    QCOMPARE(loaded.scriptVersion(), 6);
    QCOMPARE(loaded.bytesTotal(), static_cast<long long>(child.bytes().size()));
    QCOMPARE(loaded.framesLoaded(), 1L);
    QCOMPARE(stage.engine.replaced, std::vector<std::string>{"_level0.clip"});
    // The old content unloaded before the movie's events; the clip's load event comes
    // after its first frame's code.
    const std::vector<std::string> expected{"unload@inner",
                                            "load:start@_level0.clip",
                                            "load:progress@_level0.clip",
                                            "load:complete@_level0.clip",
                                            "f70@_level0.clip",
                                            "load@_level0.clip",
                                            "load:init@_level0.clip"};
    std::vector<std::string> got;
    for (const std::string& entry : stage.engine.ran)
        if (entry != "f2@_level0")
            got.push_back(entry);
    QCOMPARE(lines(got), lines(expected));
    // The square and the inner clip went; the movie places nothing.
    QVERIFY(loaded.children().empty());
    const auto progress = std::find_if(
        stage.engine.actions.begin(), stage.engine.actions.end(), [](const auto& action) {
            return action.kind == runtime::QueuedAction::Kind::Load &&
                   action.loadEvent == runtime::LoadEvent::Progress;
        });
    QVERIFY(progress != stage.engine.actions.end());
    QCOMPARE(progress->bytes, child.bytes().size());
}

void MovieLoadingTest::removedTargetCancelsTheLoad()
{
    Stage stage;
    stage.host.files["child.swf"] = markerMovie({65});
    stage.loadClip(stage.clip(), "child.swf");
    stage.player.root().removeChild(1);
    stage.player.runActions();
    stage.player.advance();
    // Scripts hear nothing; the follower is let go.
    for (const std::string& entry : stage.engine.ran)
        QVERIFY2((!entry.starts_with("load:") || entry == "load:dropped@none") &&
                     entry != "f65@_level0.clip",
                 entry.c_str());
    QCOMPARE(std::count(stage.engine.ran.begin(), stage.engine.ran.end(), "load:dropped@none"), 1);
}

void MovieLoadingTest::unloadingLevelsAndClips()
{
    Stage stage;
    stage.engine.recordEvents = {runtime::ClipEvent::Unload};
    stage.host.files["child.swf"] = markerMovie({65});
    stage.loadLevel(2, "child.swf", 0);
    stage.player.runActions();
    stage.player.advance();
    runtime::SpriteObject* level = stage.player.level(2);
    QVERIFY(level);
    // No observer: no load events.
    QCOMPARE(stage.loadEntries().back(), std::string("f65@_level2"));

    stage.engine.clear();
    stage.unload(2);
    stage.unload(std::nullopt, &stage.clip());
    stage.player.runActions();
    // A level's unload waits for the next step; a clip's is done by then.
    QVERIFY(stage.player.level(2));
    QVERIFY(stage.clip().isEmptied());
    stage.player.advance();
    QVERIFY(!stage.player.level(2));
    QVERIFY(!level->onStage());
    QVERIFY(!runtime::resolvePath(stage.player.root(), "_level2"));
    // The clip stays, empty and stopped, and hears its unload.
    runtime::SpriteObject& clip = stage.clip();
    QVERIFY(!clip.isPlaying());
    QCOMPARE(clip.frameCount(), std::size_t(1));
    QVERIFY(clip.isEmptied());
    QCOMPARE(clip.framesLoaded(), 0L);
    QCOMPARE(clip.totalFrames(), 0L);
    QCOMPARE(clip.bytesTotal(), 0LL);
    const auto& ran = stage.engine.ran;
    // (A removed clip's path is its own name.)
    QVERIFY(std::find(ran.begin(), ran.end(), "unload@inner") != ran.end());
    QVERIFY(std::find(ran.begin(), ran.end(), "unload@_level0.clip") != ran.end());
}

void MovieLoadingTest::eachMovieRunsItsOwnInitBlocks()
{
    Builder main;
    main.sprite(5, timeline({{}}));
    main.main(timeline({{initAction(5, 9)}}));
    Stage stage(main.build());
    swfwriter::MovieWriter child(8);
    child.fileAttributes();
    swfwriter::TagList empty;
    empty.showFrame();
    child.defineSprite(5, empty);
    child.doInitAction(5, {10});
    child.showFrame();
    stage.host.files["child.swf"] = child.bytes();
    stage.loadLevel(1, "child.swf");
    stage.loadLevel(3, "child.swf");
    stage.player.runActions();
    stage.player.advance();
    const auto& ran = stage.engine.ran;
    // The same sprite id in three movies (one file loaded twice): three init blocks.
    QCOMPARE(std::count(ran.begin(), ran.end(), "i9@_level0"), 1);
    QCOMPARE(std::count(ran.begin(), ran.end(), "i10@_level1"), 1);
    QCOMPARE(std::count(ran.begin(), ran.end(), "i10@_level3"), 1);
}

void MovieLoadingTest::otherVirtualMachineRunsNoCode()
{
    Stage stage;
    stage.host.files["other.swf"] = markerMovie({80, 81}, 9, true);
    stage.loadLevel(1, "other.swf");
    stage.player.runActions();
    stage.player.advance();
    stage.player.advance();
    QCOMPARE(stage.player.level(1)->currentFrame(), std::size_t(1));
    for (const std::string& entry : stage.engine.ran)
        QVERIFY2(entry.find("@_level1") == std::string::npos || entry.starts_with("load:"),
                 entry.c_str());
    QVERIFY(std::find(stage.engine.ran.begin(), stage.engine.ran.end(), "load:init@_level1") !=
            stage.engine.ran.end());
}

void MovieLoadingTest::imageBecomesABitmapShape()
{
    Stage stage;
    const auto image = swfwriter::Image::filled(3, 2, {10, 200, 30, 255});
    stage.host.files["picture.png"] = swfwriter::encodePng(image);
    stage.loadClip(stage.clip(), "picture.png");
    stage.player.runActions();
    stage.player.advance();
    runtime::SpriteObject& clip = stage.clip();
    const runtime::DisplayObject* shown = clip.childAt(1);
    QVERIFY(shown);
    QCOMPARE(shown->kind(), runtime::ObjectKind::Shape);
    QCOMPARE(&shown->movie(), &clip.movie());
    const auto* bitmap = clip.movie().get<swf::Bitmap>(1);
    QVERIFY(bitmap);
    QCOMPARE(bitmap->width, 3u);
    QCOMPARE(shown->localBounds().width(), 60.0);
    QCOMPARE(clip.movieInstance().bytesTotal(), stage.host.files["picture.png"].size());
    QCOMPARE(clip.bytesTotal(), static_cast<long long>(stage.host.files["picture.png"].size()));
    QCOMPARE(clip.scriptVersion(), -1);
    QCOMPARE(clip.framesLoaded(), 1L);
    // Unloaded, the clip is its parent's again, empty.
    stage.unload(std::nullopt, &clip);
    stage.player.advance();
    QCOMPARE(clip.movieInstance().url(), std::string("file:///main.swf"));
    QCOMPARE(clip.scriptVersion(), 10);
    QVERIFY(!clip.isMovieRoot());
}

void MovieLoadingTest::levelsDrawAboveLevelZero()
{
    Stage stage;
    stage.host.files["picture.gif"] = swfwriter::encodeGif(swfwriter::Image::filled(2, 2, {}));
    stage.loadLevel(1, "picture.gif");
    stage.player.runActions();
    stage.player.advance();
    const runtime::SpriteObject* level = stage.player.level(1);
    QVERIFY(level);
    const runtime::DrawList list = stage.player.buildDrawList();
    // Level 0's squares from the list's movie, then level 1's picture from its own.
    std::vector<const swf::MovieDefinition*> drawnFrom;
    for (const runtime::DrawCommand& command : list.commands)
        if (command.kind == runtime::DrawCommand::Kind::Character)
            drawnFrom.push_back(command.movie);
    QCOMPARE(drawnFrom,
             (std::vector<const swf::MovieDefinition*>{nullptr, nullptr, &level->movie()}));
    QCOMPARE(list.commands.front().objectId, stage.player.root().id());
    QCOMPARE(list.commands.back().objectId, level->id());
    QCOMPARE(list.otherMovies, std::vector<swf::MoviePtr>{level->movieInstance().definitionPtr()});
}

void MovieLoadingTest::requestsAreBounded()
{
    runtime::MovieRequests requests;
    for (std::size_t i = 0; i < runtime::limits::kMaxMovieRequests; ++i) {
        runtime::MovieRequest request;
        request.tick = i < 10 ? 1 : 2;
        QVERIFY(requests.push(std::move(request)));
    }
    QVERIFY(!requests.push({}));
    QCOMPARE(requests.takeMadeBefore(2, 4).size(), std::size_t(4));
    QCOMPARE(requests.takeMadeBefore(2, 100).size(), std::size_t(6));
    QCOMPARE(requests.takeMadeBefore(2, 100).size(), std::size_t(0));
    QCOMPARE(requests.size(), runtime::limits::kMaxMovieRequests - 10);
}

void MovieLoadingTest::levelsAreBounded()
{
    Stage stage;
    stage.host.files["child.swf"] = markerMovie({});
    const int most = static_cast<int>(runtime::limits::kMaxLevels);
    for (int level = 1; level < most; ++level)
        stage.loadLevel(level, "child.swf", 0);
    stage.player.runActions();
    // A step carries out so many loads at most; the rest wait their turn.
    stage.player.advance();
    QCOMPARE(stage.player.root().context().levels().size(),
             1 + runtime::limits::kMaxMovieLoadsPerStep);
    for (int step = 0; step < most && !stage.player.level(most - 1); ++step)
        stage.player.advance();
    QCOMPARE(stage.player.root().context().levels().size(), runtime::limits::kMaxLevels);
    stage.engine.clear();
    stage.loadLevel(most + 10, "child.swf");
    stage.player.runActions();
    stage.player.advance();
    QVERIFY(!stage.player.level(most + 10));
    QCOMPARE(stage.loadEntries().back(), std::string("load:error@none"));
}

void MovieLoadingTest::addressesFollowTheMainMovie()
{
    using runtime::addressFrom;
    QCOMPARE(addressFrom("file:///main.swf", "child.swf"), std::string("file:///child.swf"));
    QCOMPARE(addressFrom("file:///a/main.swf", "sub/c.swf?x=1"),
             std::string("file:///a/sub/c.swf?x=1"));
    QCOMPARE(addressFrom("http://host/a/main.swf", "/c.swf"), std::string("http://host/c.swf"));
    QCOMPARE(addressFrom("file:///main.swf", "http://other/c.swf"),
             std::string("http://other/c.swf"));
    QCOMPARE(addressFrom("", "c.swf"), std::string("c.swf"));
}

QTEST_GUILESS_MAIN(MovieLoadingTest)
#include "MovieLoadingTest.moc"
