// The Video class as scripts see it: from SWF 6, its prototype's methods, and placed
// videos answering by name for their picture's size, smoothing, deblocking and the
// display properties clips have.
#include "ScriptRun.h"
#include "VideoMovies.h"

#include <QtTest>

using namespace swfwriter;

namespace {

// Small builders of byte code: values by dotted name, traced one per line.
ActionWriter& value(ActionWriter& code, const std::string& dotted)
{
    std::size_t start = 0;
    std::size_t dot = dotted.find('.');
    code.push({dotted.substr(0, dot)}).op(Op::GetVariable);
    while (dot != std::string::npos) {
        start = dot + 1;
        dot = dotted.find('.', start);
        code.push({dotted.substr(start, dot == std::string::npos ? dot : dot - start)})
            .op(Op::GetMember);
    }
    return code;
}

ActionWriter& traceValue(ActionWriter& code, const std::string& dotted)
{
    return value(code, dotted).op(Op::Trace);
}

ActionWriter& traceType(ActionWriter& code, const std::string& dotted)
{
    return value(code, dotted).op(Op::TypeOf).op(Op::Trace);
}

ActionWriter& setValue(ActionWriter& code, const std::string& object, const std::string& name,
                       PushValue to)
{
    value(code, object).push({name, to}).op(Op::SetMember);
    return code;
}

ActionWriter& callMethod(ActionWriter& code, const std::string& object, const std::string& method,
                         std::vector<PushValue> args = {})
{
    std::vector<PushValue> pushed(args.rbegin(), args.rend());
    pushed.push_back(int(args.size()));
    code.push(pushed);
    value(code, object).push({method}).op(Op::CallMethod).op(Op::Pop);
    return code;
}

std::vector<std::string> runWithVideo(int version, std::vector<ActionWriter> frames)
{
    videomovies::Options options;
    options.version = version;
    for (const ActionWriter& code : frames)
        options.frameActions.push_back(code.bytes());
    scriptrun::Options run;
    run.frames = int(frames.size());
    return scriptrun::traces(videomovies::solidColourMovie(options), run);
}

using Lines = std::vector<std::string>;

} // namespace

class VideoClassTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theClassArrivesWithSwf6_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("expected");
        QTest::newRow("SWF 5") << 5 << "undefined|undefined";
        QTest::newRow("SWF 6") << 6 << "function|function|function|function|undefined|undefined";
        QTest::newRow("SWF 8") << 8 << "function|function|function|function|undefined|undefined";
    }
    void theClassArrivesWithSwf6()
    {
        QFETCH(int, version);
        QFETCH(QString, expected);
        ActionWriter code;
        traceType(code, "Video");
        traceType(code, "Video.prototype.attachVideo");
        if (version >= 6) {
            traceType(code, "Video.prototype.clear");
            // An object made by the constructor is no placed video: it has the methods
            // and nothing else.
            code.push({"made", 0, "Video"}).op(Op::NewObject).op(Op::SetVariable);
            traceType(code, "made.clear");
            traceType(code, "made.width");
            traceType(code, "made._x");
        }
        const Lines lines = scriptrun::run(version, code);
        QCOMPARE(QString::fromStdString(scriptrun::joined(lines)).replace('\n', '|'), expected);
    }

    void aPlacedVideoAnswersForItsPicture()
    {
        if (!videomovies::canEncode())
            QSKIP("libavcodec has no Sorenson H.263 encoder");
        ActionWriter first;
        traceValue(first, "video");
        traceType(first, "video");
        first.push({"video"}).op(Op::GetVariable).push({"Video"}).op(Op::GetVariable);
        first.op(Op::InstanceOf).op(Op::Trace);
        for (const char* name : {"width", "height", "smoothing", "deblocking", "_width", "_x"})
            traceValue(first, std::string("video.") + name);
        // Scripts set the switches; the picture's size is the decoder's to say.
        setValue(first, "video", "smoothing", true);
        setValue(first, "video", "deblocking", 2);
        setValue(first, "video", "width", 5);
        setValue(first, "video", "_x", 12);
        for (const char* name : {"smoothing", "deblocking", "width", "_x"})
            traceValue(first, std::string("video.") + name);
        ActionWriter second;
        // The same object a frame on, moved by the timeline to its next frame.
        traceValue(second, "video.smoothing");
        traceValue(second, "video.width");
        const Lines lines = runWithVideo(8, {first, second});
        const Lines expected = {
            "_level0.video", "object", "true", "64", "48",   "false", "0", "64", "0",
            "true",          "2",      "64",   "12", "true", "64"};
        QCOMPARE(QString::fromStdString(scriptrun::joined(lines)),
                 QString::fromStdString(scriptrun::joined(expected)));
    }

    void clearAndAttachVideoTakeThePictureAway()
    {
        if (!videomovies::canEncode())
            QSKIP("libavcodec has no Sorenson H.263 encoder");
        ActionWriter first;
        callMethod(first, "video", "clear");
        traceValue(first, "video.width");
        ActionWriter second;
        // The next frame of the stream shows again after a clear.
        traceValue(second, "video.width");
        callMethod(second, "video", "attachVideo", {nullptr});
        traceValue(second, "video.width");
        // Methods called on what is no placed video do nothing.
        callMethod(second, "Video.prototype", "clear");
        callMethod(second, "_root", "attachVideo");
        second.push({"done"}).op(Op::Trace);
        const Lines lines = runWithVideo(8, {first, second});
        QCOMPARE(lines, (Lines{"0", "64", "0", "done"}));
    }
};

QTEST_GUILESS_MAIN(VideoClassTest)
#include "VideoClassTest.moc"
