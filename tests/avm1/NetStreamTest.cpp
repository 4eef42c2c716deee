// NetConnection and NetStream playing FLV files beside the movie: the statuses in the
// order scripts see them, the file's script events, seeking, pausing, the readouts on a
// connected stream, and what a missing or damaged file reports.
#include "ScriptRun.h"
#include "swfwriter/FlvWriter.h"

#include <QtTest>

using namespace swfwriter;

namespace {

using Lines = std::vector<std::string>;

QString text(const Lines& lines)
{
    return QString::fromStdString(scriptrun::joined(lines));
}

ActionWriter& get(ActionWriter& code, const std::string& variable, const std::string& member = {})
{
    code.push({variable}).op(Op::GetVariable);
    if (!member.empty())
        code.push({member}).op(Op::GetMember);
    return code;
}

ActionWriter& call(ActionWriter& code, const std::string& object, const std::string& method,
                   std::vector<PushValue> args = {}, bool traceResult = false)
{
    std::vector<PushValue> pushed(args.rbegin(), args.rend());
    pushed.push_back(int(args.size()));
    code.push(pushed);
    get(code, object).push({method}).op(Op::CallMethod).op(traceResult ? Op::Trace : Op::Pop);
    return code;
}

// object.event = function (arg) { trace(prefix + arg.m1 + " " + arg.m2 ...); }
ActionWriter& traceHandler(ActionWriter& code, const std::string& object, const std::string& event,
                           const std::string& prefix, const std::vector<std::string>& members)
{
    ActionWriter body;
    body.push({prefix});
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i > 0)
            body.push({" "}).op(Op::Add2);
        get(body, "arg", members[i]).op(Op::Add2);
    }
    body.op(Op::Trace);
    get(code, object).push({event});
    code.defineFunction("", {"arg"}, body).op(Op::SetMember);
    return code;
}

// nc connected with connect(null); ns a stream on it that traces its statuses, metadata
// and cue points, playing `url`.
ActionWriter& play(ActionWriter& code, const std::string& url)
{
    code.push({"nc", 0, "NetConnection"}).op(Op::NewObject).op(Op::SetVariable);
    call(code, "nc", "connect", {nullptr});
    code.push({"ns"});
    get(code, "nc").push({1, "NetStream"}).op(Op::NewObject).op(Op::SetVariable);
    traceHandler(code, "ns", "onStatus", "", {"code", "level"});
    traceHandler(code, "ns", "onMetaData", "meta ", {"duration", "width"});
    traceHandler(code, "ns", "onCuePoint", "cue ", {"name", "time"});
    call(code, "ns", "play", {url});
    return code;
}

ActionWriter playing(const std::string& url)
{
    ActionWriter code;
    return play(code, url);
}

ActionWriter traceTime()
{
    ActionWriter code;
    code.push({"t "});
    get(code, "ns", "time").op(Op::Add2).op(Op::Trace);
    return code;
}

// Half a second of a stream: metadata, a cue point at 200 ms, and a tag every 100 ms
// (sound only: the timing is what these tests are about).
std::string halfSecondFlv()
{
    FlvWriter flv(true, false);
    AmfWriter meta;
    meta.string("onMetaData").beginEcmaArray(2);
    meta.key("duration").number(0.5).key("width").number(16).end();
    flv.script(0, meta.bytes());
    AmfWriter cue;
    cue.string("onCuePoint").beginObject();
    cue.key("name").string("go").key("time").number(0.2).end();
    flv.script(200, cue.bytes());
    const std::vector<std::uint8_t> silence(64, 0);
    for (std::uint32_t ms = 0; ms <= 500; ms += 100)
        flv.audio(ms, 0x36, silence); // PCM, little-endian, 11 kHz, 16 bits, mono
    const auto& bytes = flv.bytes();
    return std::string(bytes.begin(), bytes.end());
}

Lines run(std::vector<ActionWriter> frames, int count, std::map<std::string, std::string> files)
{
    while (frames.size() < std::size_t(count))
        frames.emplace_back();
    auto movie = scriptMovie(8, frames);
    scriptrun::Options options;
    options.frames = count;
    options.files = std::move(files);
    return scriptrun::traces(movie, options);
}

} // namespace

class NetStreamTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aStreamReportsItsStartEventsAndEndInOrder()
    {
        // At 24 frames a second, the half second is over in the thirteenth step.
        const Lines lines = run({playing("clip.flv")}, 16, {{"clip.flv", halfSecondFlv()}});
        const Lines expected = {"NetStream.Play.Start status",
                                "NetStream.Buffer.Full status",
                                "meta 0.5 16",
                                "cue go 0.2",
                                "NetStream.Buffer.Flush status",
                                "NetStream.Play.Stop status",
                                "NetStream.Buffer.Empty status"};
        QCOMPARE(text(lines), text(expected));
    }

    void timeMovesOnByEachStepAndStopsWhilePaused()
    {
        std::vector<ActionWriter> frames{playing("clip.flv")};
        frames.push_back(traceTime()); // opened in the first step, at 0
        ActionWriter pause = traceTime();
        call(pause, "ns", "pause", {}, true);
        frames.push_back(pause);
        frames.push_back(traceTime());
        frames.push_back(traceTime());
        const Lines lines = run(frames, 5, {{"clip.flv", halfSecondFlv()}});
        QCOMPARE(lines.size(), std::size_t(3 + 5));
        QCOMPARE(QString::fromStdString(lines[3]), QString("t 0"));
        QCOMPARE(QString::fromStdString(lines[4]), QString("t 0.0416666666666667")); // 1/24 s
        QCOMPARE(QString::fromStdString(lines[5]), QString("undefined")); // pause() returns nothing
        QCOMPARE(QString::fromStdString(lines[6]), QString("t 0.0416666666666667"));
        QCOMPARE(QString::fromStdString(lines[7]), QString("t 0.0416666666666667"));
    }

    void aSeekNotifiesAndSkipsTheScriptEventsBeforeIt()
    {
        ActionWriter seek;
        call(seek, "ns", "seek", {0.3});
        const Lines lines =
            run({playing("clip.flv"), seek, traceTime()}, 3, {{"clip.flv", halfSecondFlv()}});
        // A sound-only file has no keyframes: the seek lands where it was asked, past
        // the cue point, which is not reported; the step's time follows.
        const Lines expected = {"NetStream.Play.Start status", "NetStream.Buffer.Full status",
                                "meta 0.5 16", "NetStream.Seek.Notify status",
                                "t 0.341666666666667"};
        QCOMPARE(text(lines), text(expected));
    }

    void missingAndDamagedFilesReportNotFound()
    {
        for (const std::string& content : {std::string("not a video"), std::string()}) {
            std::map<std::string, std::string> files;
            if (!content.empty())
                files["clip.flv"] = content;
            const Lines lines = run({playing("clip.flv")}, 3, files);
            QCOMPARE(text(lines), text(Lines{"NetStream.Play.StreamNotFound error"}));
        }
    }

    void readoutsBelongToStreamsMadeOnAConnection()
    {
        // A stream without a connection has no readouts and keeps no buffer time; one on
        // a connection puts them on the prototype.
        ActionWriter code;
        code.push({"lone", 0, "NetStream"}).op(Op::NewObject).op(Op::SetVariable);
        call(code, "lone", "setBufferTime", {3});
        get(code, "lone", "bufferTime").op(Op::TypeOf).op(Op::Trace);
        play(code, "clip.flv");
        call(code, "ns", "setBufferTime", {3});
        get(code, "ns", "bufferTime").op(Op::Trace);
        get(code, "lone", "bufferTime").op(Op::Trace);
        const Lines lines = run({code}, 1, {{"clip.flv", halfSecondFlv()}});
        QVERIFY(lines.size() >= 3);
        QCOMPARE(QString::fromStdString(lines[0]), QString("undefined"));
        QCOMPARE(QString::fromStdString(lines[1]), QString("3"));
        QCOMPARE(QString::fromStdString(lines[2]),
                 QString("0.1")); // the lone stream reads the default now
    }

    void connectTakesOnlyNull()
    {
        ActionWriter code;
        code.push({"nc", 0, "NetConnection"}).op(Op::NewObject).op(Op::SetVariable);
        get(code, "nc", "isConnected").op(Op::Trace);
        call(code, "nc", "connect", {"rtmp://example.com/app"}, true);
        get(code, "nc", "isConnected").op(Op::Trace);
        call(code, "nc", "connect", {nullptr}, true);
        get(code, "nc", "isConnected").op(Op::Trace);
        QCOMPARE(text(run({code}, 1, {})), text(Lines{"false", "false", "false", "true", "true"}));
    }
};

QTEST_APPLESS_MAIN(NetStreamTest)
#include "NetStreamTest.moc"
