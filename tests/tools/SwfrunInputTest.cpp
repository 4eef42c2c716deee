// swfrun's --input: the events file read (its shapes, key names and caps), the events
// sent between frames as the reference run sent them, and, through the program itself,
// the pointer placed in the viewport's pixels.
#include "avm1/Engine.h"
#include "format/Movie.h"
#include "runtime/MoviePlayer.h"
#include "swfwriter/ActionWriter.h"
#include "tools/swfrun/InputPlayback.h"
#include "tools/swfrun/InputScript.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace swfwriter;
using swfrun::InputEvent;
using Type = InputEvent::Type;

namespace {

swfrun::InputScript parse(const std::string& json)
{
    return swfrun::parseInputScript(
        std::span(reinterpret_cast<const std::uint8_t*>(json.data()), json.size()));
}

class TraceHost : public runtime::Host {
public:
    void trace(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// Each frame traces "frame N"; a key listener traces the code of every key down, and a
// mouse listener where the pointer is.
MovieWriter listeningMovie(int frames, int width = 550, int height = 400)
{
    MovieWriter movie(8, width, height);
    movie.fileAttributes();
    ActionWriter setup;
    setup.push({"listener", 0, "Object"}).op(Op::NewObject).op(Op::SetVariable);
    ActionWriter onKey;
    onKey.push({"key "}).push({0, "Key"}).op(Op::GetVariable).push({"getCode"}).op(Op::CallMethod);
    onKey.op(Op::Add2).op(Op::Trace);
    setup.push({"listener"}).op(Op::GetVariable).push({"onKeyDown"});
    setup.defineFunction("", {}, onKey).op(Op::SetMember);
    ActionWriter onMouse;
    onMouse.push({"_root"}).op(Op::GetVariable).push({"_xmouse"}).op(Op::GetMember);
    onMouse.push({","}).op(Op::Add2);
    onMouse.push({"_root"}).op(Op::GetVariable).push({"_ymouse"}).op(Op::GetMember).op(Op::Add2);
    onMouse.op(Op::Trace);
    setup.push({"listener"}).op(Op::GetVariable).push({"onMouseMove"});
    setup.defineFunction("", {}, onMouse).op(Op::SetMember);
    for (const char* broadcaster : {"Key", "Mouse"}) {
        setup.push({"listener"}).op(Op::GetVariable).push({1, broadcaster}).op(Op::GetVariable);
        setup.push({"addListener"}).op(Op::CallMethod).op(Op::Pop);
    }
    for (int frame = 1; frame <= frames; ++frame) {
        ActionWriter code = frame == 1 ? setup : ActionWriter();
        code.push({"frame " + std::to_string(frame)}).op(Op::Trace).end();
        movie.doAction(code.bytes());
        movie.showFrame();
    }
    return movie;
}

} // namespace

class SwfrunInputTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsEveryShape()
    {
        const auto script = parse(R"([
            {"type": "MouseMove", "pos": [10, 20.5]},
            {"type": "MouseDown", "pos": [1.0, 2.0], "btn": "Right"},
            {"type": "MouseUp", "pos": [1, 2], "btn": "Left"},
            {"type": "KeyDown", "key": {"Char": "a"}},
            {"type": "KeyUp", "key": "ArrowLeft"},
            {"type": "TextInput", "codepoint": "\t"},
            {"type": "TextControl", "code": "Paste"},
            {"type": "SetClipboardText", "text": "copied"},
            {"type": "FocusLost"},
            {"type": "Wait"}
        ])");
        QVERIFY2(script.error.empty(), script.error.c_str());
        QCOMPARE(script.events.size(), std::size_t(10));
        const auto& e = script.events;
        QCOMPARE(e[0].type, Type::MouseMove);
        QCOMPARE(e[0].x, 10.0);
        QCOMPARE(e[0].y, 20.5);
        QCOMPARE(e[1].button, runtime::MoviePlayer::MouseButton::Right);
        QCOMPARE(e[2].button, runtime::MoviePlayer::MouseButton::Left);
        QCOMPARE(e[3].keyCode, 65);
        QCOMPARE(e[3].ascii, int('a'));
        QCOMPARE(e[4].type, Type::KeyUp);
        QCOMPARE(e[4].keyCode, 37);
        QCOMPARE(e[4].ascii, 0);
        QCOMPARE(e[5].codepoint, U'\t');
        QCOMPARE(e[6].text, std::string("Paste"));
        QCOMPARE(e[7].text, std::string("copied"));
        QCOMPARE(e[8].type, Type::FocusLost);
        QCOMPARE(e[9].type, Type::Wait);
    }

    void leavesOutWhatItCannotSend()
    {
        const auto script = parse(R"([
            {"type": "MouseWheel", "delta": 3},
            {"type": "KeyDown", "key": "Hyper"},
            {"type": "KeyDown", "key": {"Char": "\u00e9"}},
            {"type": "MouseMove", "pos": [1]},
            {"type": "KeyDown", "key": "Enter"}
        ])");
        QVERIFY(script.error.empty());
        QCOMPARE(script.events.size(), std::size_t(1));
        QCOMPARE(script.events[0].keyCode, 13);
        QCOMPARE(script.events[0].ascii, 13);
    }

    void refusesMalformedFiles_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("no JSON") << QByteArray("[{\"type\": ");
        QTest::newRow("no array") << QByteArray("{\"type\": \"Wait\"}");
        QTest::newRow("no object") << QByteArray("[{\"type\": \"Wait\"}, 3]");
        QByteArray many = "[";
        for (std::size_t i = 0; i <= swfrun::kMaxInputEvents; ++i)
            many += i ? ",{}" : "{}";
        QTest::newRow("too many events") << many + "]";
        QTest::newRow("too large") << QByteArray(qsizetype(swfrun::kMaxInputFileBytes) + 1, ' ');
    }
    void refusesMalformedFiles()
    {
        QFETCH(QByteArray, json);
        const auto script = parse(json.toStdString());
        QVERIFY(!script.error.empty());
        QVERIFY(script.events.empty());
    }

    void namesKeys()
    {
        int ascii = -1;
        QCOMPARE(swfrun::keyCodeNamed("F5", ascii), 116);
        QCOMPARE(ascii, 0);
        QCOMPARE(swfrun::keyCodeNamed("F15", ascii), 126);
        QCOMPARE(swfrun::keyCodeNamed("F16", ascii), 0);
        QCOMPARE(swfrun::keyCodeNamed("F1x", ascii), 0);
        QCOMPARE(swfrun::keyCodeNamed("Escape", ascii), 27);
        QCOMPARE(ascii, 27);
        QCOMPARE(swfrun::keyCodeNamed("Delete", ascii), 46);
        QCOMPARE(ascii, 127);
        QCOMPARE(swfrun::keyCodeNamed("CapsLock", ascii), 20);
        QCOMPARE(swfrun::keyCodeNamed("z", ascii), 90);
        QCOMPARE(ascii, int('z'));
        QCOMPARE(swfrun::keyCodeNamed("", ascii), 0);
    }

    void eventsGoBetweenFrames()
    {
        const auto script = parse(R"([
            {"type": "KeyDown", "key": {"Char": "a"}},
            {"type": "KeyDown", "key": {"Char": "b"}},
            {"type": "Wait"},
            {"type": "Wait"},
            {"type": "KeyDown", "key": {"Char": "c"}},
            {"type": "Wait"},
            {"type": "KeyDown", "key": {"Char": "d"}}
        ])");
        auto loaded = swf::loadMovie(listeningMovie(3).bytes());
        QVERIFY(loaded);
        TraceHost host;
        runtime::MoviePlayer player(*loaded, host);
        avm1::Engine engine(player, host);
        player.runActions();
        QTransform toStage;
        toStage.scale(20, 20);
        swfrun::playWithInput(player, 3, script.events, toStage);
        // The last event would come after a fourth frame: it is not sent.
        const std::vector<std::string> expected{"frame 1", "key 65",  "key 66",
                                                "frame 2", "frame 3", "key 67"};
        QCOMPARE(host.lines, expected);
    }

    void pointerIsInTheViewportsPixels_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("pointer");
        QTest::newRow("the stage's pixels") << QStringList{} << "300,200";
        // A 200 by 100 stage shown twice its size, scale factor or not.
        QTest::newRow("a viewport") << QStringList{"--viewport", "400x200"} << "150,100";
        QTest::newRow("a scaled viewport")
            << QStringList{"--viewport", "400x200", "--scale", "3"} << "150,100";
        // Shown whole: the stage is centred in the wider viewport.
        QTest::newRow("a wide viewport") << QStringList{"--viewport", "600x100"} << "100,200";
    }
    void pointerIsInTheViewportsPixels()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, pointer);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString movie = dir.filePath("movie.swf");
        const QString input = dir.filePath("input.json");
        QVERIFY(listeningMovie(1, 200, 100).writeFile(movie.toStdString()));
        QFile file(input);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"([{"type": "MouseMove", "pos": [300, 200]}])");
        file.close();
        QProcess swfrun;
        swfrun.start(QStringLiteral(SWFRUN_PATH), options << "--input" << input << movie);
        QVERIFY(swfrun.waitForFinished(30000));
        QCOMPARE(swfrun.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(swfrun.readAllStandardOutput()),
                 QString("frame 1\n%1\n").arg(pointer));
    }

    void missingFileIsAnError()
    {
        QTemporaryDir dir;
        const QString movie = dir.filePath("movie.swf");
        QVERIFY(listeningMovie(1).writeFile(movie.toStdString()));
        QProcess swfrun;
        swfrun.start(QStringLiteral(SWFRUN_PATH), {"--input", dir.filePath("absent.json"), movie});
        QVERIFY(swfrun.waitForFinished(30000));
        QCOMPARE(swfrun.exitCode(), 1);
        QVERIFY(swfrun.readAllStandardError().contains("absent.json"));
        QCOMPARE(swfrun.readAllStandardOutput(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(SwfrunInputTest)
#include "SwfrunInputTest.moc"
