// The player's script services member by member, one row per case where cases share a
// shape: LoadVars' text form and reader, setInterval and setTimeout against the step
// clock, ExternalInterface without a container, System's values, the numbered natives
// and ASSetPropFlags' protection and version bits.
#include "avm1/ScriptHost.h"
#include "avm1/Timers.h"
#include "avm1/Vm.h"

#include <QtTest>

using avm1::Value;

namespace {

class ClockHost : public avm1::ScriptHost {
public:
    void trace(std::string_view line) override { lines.emplace_back(line); }
    double elapsedMilliseconds() const override { return elapsed; }
    std::vector<std::string> lines;
    double elapsed = 0;
};

// What the callbacks saw: "this: args", one entry a call.
std::vector<std::string>& calls()
{
    static std::vector<std::string> log;
    return log;
}

Value logCall(avm1::Vm& vm, const avm1::CallArgs& call)
{
    std::string line = vm.toStdString(call.thisValue) + ":";
    for (const Value& v : call.args)
        line += " " + vm.toStdString(v);
    calls().push_back(line);
    return Value();
}

// Logs, then clears the timer whose id is its first argument.
Value logAndClear(avm1::Vm& vm, const avm1::CallArgs& call)
{
    logCall(vm, call);
    const Value id = call.arg(0);
    vm.call(vm.getMember(vm.global(), vm.str("clearInterval")), Value(),
            std::span<const Value>(&id, 1));
    return Value();
}

Value fakeEscape(avm1::Vm& vm, const avm1::CallArgs&)
{
    return Value(vm.str("F"));
}

class Script {
public:
    explicit Script(int version = 8) : m_vm(version, &host) { calls().clear(); }

    avm1::Vm& vm() { return m_vm; }
    Value str(std::string_view text) { return Value(m_vm.str(text)); }
    Value global(std::string_view name) { return m_vm.getMember(m_vm.global(), m_vm.str(name)); }
    Value get(Value at, const QString& path)
    {
        for (const QString& name : path.split('.'))
            at = m_vm.getMember(at, m_vm.str(name.toStdString()));
        return at;
    }
    void set(Value target, std::string_view name, Value value)
    {
        m_vm.setMember(target, m_vm.str(name), value);
    }
    Value call(Value target, std::string_view method, const std::vector<Value>& args = {})
    {
        return m_vm.callMethod(target, m_vm.str(method), args);
    }
    Value callGlobal(std::string_view name, const std::vector<Value>& args = {})
    {
        return m_vm.call(global(name), Value(), args);
    }
    Value make(std::string_view ctor) { return m_vm.construct(global(ctor), {}); }
    Value native(avm1::NativeFn fn) { return Value(m_vm.makeNative(fn)); }
    QString text(Value v) { return QString::fromStdString(m_vm.toStdString(v)); }
    QString text(Value at, const QString& path) { return text(get(at, path)); }
    QString type(Value v) { return QString::fromStdString(m_vm.typeOf(v)->text()); }
    bool hasOwn(Value target, std::string_view name)
    {
        return call(target, "hasOwnProperty", {str(name)}).asBoolean();
    }
    void fireTimersAt(double ms)
    {
        host.elapsed = ms;
        avm1::timerQueue(m_vm).fireDue(m_vm, ms);
    }

    ClockHost host;

private:
    avm1::Vm m_vm;
};

QString joinedCalls()
{
    QStringList out;
    for (const std::string& line : calls())
        out << QString::fromStdString(line);
    return out.join('|');
}

} // namespace

class ScriptServicesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // lv.a = 3; lv.b = "string"; lv.c = function; lv[3] = 6: newest first, functions
    // too, each name and value escaped.
    void loadVarsWritesEveryPropertyNewestFirst_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("written");
        QTest::newRow("SWF 6: undefined is empty")
            << 6 << "u=&3=6&c=%5Btype%20Function%5D&b=a%20%26%20b&a=3";
        QTest::newRow("SWF 7: undefined by name")
            << 7 << "u=undefined&3=6&c=%5Btype%20Function%5D&b=a%20%26%20b&a=3";
    }
    void loadVarsWritesEveryPropertyNewestFirst()
    {
        QFETCH(int, version);
        QFETCH(QString, written);
        Script s(version);
        const Value lv = s.make("LoadVars");
        QCOMPARE(s.text(s.call(lv, "toString")), QString(""));
        s.set(lv, "a", Value(3));
        s.set(lv, "b", s.str("a & b"));
        s.set(lv, "c", s.native(logCall));
        s.set(lv, "3", Value(6));
        s.set(lv, "u", Value());
        QCOMPARE(s.text(s.call(lv, "toString")), written);
    }

    void loadVarsEscapesThroughTheGlobalEscape()
    {
        Script s;
        const Value lv = s.make("LoadVars");
        s.set(lv, "a", s.str("&"));
        s.set(s.vm().global(), "escape", s.native(fakeEscape));
        QCOMPARE(s.text(s.call(lv, "toString")), QString("F=F"));
        s.set(s.vm().global(), "escape", Value());
        QCOMPARE(s.text(s.call(lv, "toString")), QString("a=%26"));
    }

    void loadVarsDecodesUrlVariables_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain pair") << "a=1&b=2"
                                    << "b"
                                    << "2";
        QTest::newRow("plus is a space") << "a=x+y"
                                         << "a"
                                         << "x y";
        QTest::newRow("percent escapes") << "a=%26%3D%20"
                                         << "a"
                                         << "&= ";
        QTest::newRow("escaped name") << "a%20b=1"
                                      << "a b"
                                      << "1";
        QTest::newRow("no equals sign") << "flag&a=1"
                                        << "flag"
                                        << "";
        QTest::newRow("second equals kept") << "a=b=c"
                                            << "a"
                                            << "b=c";
        QTest::newRow("last of a name wins") << "a=1&a=2"
                                             << "a"
                                             << "2";
        QTest::newRow("line end kept") << "a=v\n"
                                       << "a"
                                       << "v\n";
        QTest::newRow("pair without name skipped") << "=x&a=1"
                                                   << "a"
                                                   << "1";
    }
    void loadVarsDecodesUrlVariables()
    {
        QFETCH(QString, source);
        QFETCH(QString, name);
        QFETCH(QString, value);
        Script s;
        const Value lv = s.make("LoadVars");
        QVERIFY(s.call(lv, "decode", {s.str(source.toStdString())}).isUndefined());
        QCOMPARE(s.text(s.vm().getMember(lv, s.vm().str(name.toStdString()))), value);
    }

    void loadVarsMembersAnswerAsTheReferenceDoes()
    {
        Script s;
        const Value lv = s.make("LoadVars");
        // decode with nothing to read answers false; load with no url too.
        const Value nothing = s.call(lv, "decode");
        QVERIFY(nothing.isBoolean() && !nothing.asBoolean());
        QCOMPARE(s.call(lv, "load").asBoolean(), false);
        // send has no window to show the answer in, but reports the request as made.
        QCOMPARE(s.call(lv, "send").asBoolean(), false);
        QCOMPARE(s.call(lv, "send", {s.str("u"), s.str("_blank")}).asBoolean(), true);
        QCOMPARE(s.call(s.make("XML"), "send", {s.str("u")}).asBoolean(), true);
        QVERIFY(!s.hasOwn(lv, "loaded"));
        QVERIFY(s.call(lv, "getBytesLoaded").isUndefined());
        QCOMPARE(s.text(lv, "contentType"), QString("application/x-www-form-urlencoded"));
        // A load marks the object loading, with nothing of it known yet.
        QCOMPARE(s.call(lv, "load", {s.str("vars.txt")}).asBoolean(), true);
        QCOMPARE(s.text(lv, "loaded"), QString("false"));
        QVERIFY(s.hasOwn(lv, "_bytesLoaded"));
        QVERIFY(s.hasOwn(lv, "_bytesTotal"));
        QCOMPARE(s.text(s.call(lv, "getBytesLoaded")), QString("0"));
        QVERIFY(s.call(lv, "getBytesTotal").isUndefined());
        // The progress properties are not listed by toString.
        QCOMPARE(s.text(s.call(lv, "toString")), QString("loaded=false"));
    }

    void timerIdsAreOneSequence()
    {
        Script s;
        const Value fn = s.native(logCall);
        QCOMPARE(s.text(s.callGlobal("setInterval", {fn, Value(100)})), QString("1"));
        QCOMPARE(s.text(s.callGlobal("setTimeout", {fn, Value(100)})), QString("2"));
        s.callGlobal("clearInterval", {Value(1)});
        // Ids are not reused; clearTimeout and clearInterval stop either kind.
        QCOMPARE(s.text(s.callGlobal("setInterval", {fn, Value(100)})), QString("3"));
        s.callGlobal("clearTimeout", {Value(3)});
        s.callGlobal("clearInterval", {Value(2)});
        QCOMPARE(avm1::timerQueue(s.vm()).size(), std::size_t(0));
        // Clearing what is not there does nothing and answers undefined.
        QVERIFY(s.callGlobal("clearInterval", {s.str("x")}).isUndefined());
    }

    // setInterval(f, interval), from 0 ms, with the steps' clock at each time listed.
    void intervalsFireAsOftenAsTheStepsCover_data()
    {
        QTest::addColumn<double>("interval");
        QTest::addColumn<QList<double>>("steps");
        QTest::addColumn<QString>("counts");
        QTest::newRow("longer than a step")
            << 100.0 << QList<double>{41, 83, 125, 166, 208} << "0,0,1,1,2";
        QTest::newRow("shorter than a step") << 10.0 << QList<double>{41, 83} << "4,8";
        QTest::newRow("zero: at once, then at the timer resolution")
            << 0.0 << QList<double>{0, 41} << "1,5";
        QTest::newRow("negative as zero") << -50.0 << QList<double>{0, 20} << "1,3";
        QTest::newRow("not a number as zero") << std::nan("") << QList<double>{0} << "1";
        QTest::newRow("fraction") << 20.5 << QList<double>{41} << "2";
        QTest::newRow("a long stall is capped")
            << 1.0 << QList<double>{100000} << QString::number(avm1::limits::kMaxTimerCallsPerStep);
    }
    void intervalsFireAsOftenAsTheStepsCover()
    {
        QFETCH(double, interval);
        QFETCH(QList<double>, steps);
        QFETCH(QString, counts);
        Script s;
        s.callGlobal("setInterval", {s.native(logCall), Value(interval)});
        QStringList seen;
        for (double at : steps) {
            s.fireTimersAt(at);
            seen << QString::number(calls().size());
        }
        QCOMPARE(seen.join(','), counts);
    }

    void aStepOwesAllTimersABoundedNumberOfCalls()
    {
        Script s;
        const Value fn = s.native(logCall);
        for (std::size_t i = 0; i < avm1::limits::kMaxTimers; ++i)
            s.callGlobal("setInterval", {fn, Value(0)});
        s.fireTimersAt(1000);
        QCOMPARE(calls().size(), std::size_t(avm1::limits::kMaxTimerCallsPerStepTotal));
    }

    void timerCallbacksGetTheirThisAndArguments()
    {
        Script s;
        const Value holder = s.make("Object");
        s.set(holder, "tick", s.native(logCall));
        // A function is called on nothing; an object's method on the object, looked up
        // at each call.
        s.callGlobal("setTimeout", {s.native(logCall), Value(0), s.str("a"), Value(2)});
        s.callGlobal("setInterval", {holder, s.str("tick"), Value(100), s.str("m")});
        s.fireTimersAt(0);
        QCOMPARE(joinedCalls(), QString("undefined: a 2"));
        s.fireTimersAt(100);
        QCOMPARE(QString::fromStdString(calls().back()), QString("[object Object]: m"));
        s.set(holder, "tick", s.native(logAndClear));
        calls().clear();
        s.fireTimersAt(200);
        QCOMPARE(joinedCalls(), QString("[object Object]: m"));
        // The method cleared timer "m" (no such id), the interval goes on; a missing
        // method is no error.
        s.set(holder, "tick", Value());
        s.fireTimersAt(300);
        QCOMPARE(calls().size(), std::size_t(1));
        QVERIFY(s.host.lines.empty());
    }

    void aCallbackClearingItsTimerStopsItAtOnce()
    {
        Script s;
        // setInterval(logAndClear, 10, 1): its own id, cleared at its first call.
        QCOMPARE(s.text(s.callGlobal("setInterval", {s.native(logAndClear), Value(10), Value(1)})),
                 QString("1"));
        const Value other = s.callGlobal("setInterval", {s.native(logCall), Value(10), s.str("o")});
        s.fireTimersAt(45);
        QCOMPARE(joinedCalls(), QString("undefined: 1|undefined: o|undefined: o|undefined: o|"
                                        "undefined: o"));
        s.callGlobal("clearInterval", {other});
        // A timer a callback starts waits for the next step.
        s.callGlobal("setTimeout", {s.native(logCall), Value(0), s.str("late")});
        QCOMPARE(avm1::timerQueue(s.vm()).size(), std::size_t(1));
    }

    void externalInterfaceHasNoContainer()
    {
        Script s(8);
        const Value ei = s.get(s.global("flash"), "external.ExternalInterface");
        QCOMPARE(s.type(ei), QString("function"));
        QCOMPARE(s.text(ei, "available"), QString("false"));
        QVERIFY(s.call(ei, "call", {s.str("f"), Value(1)}).isNull());
        QVERIFY(s.call(ei, "call").isNull());
        const Value added = s.call(ei, "addCallback", {s.str("f"), Value(), s.native(logCall)});
        QVERIFY(added.isBoolean() && !added.asBoolean());
        QVERIFY(s.get(ei, "objectID").isUndefined());
        QVERIFY(!s.hasOwn(ei, "objectID"));
        QVERIFY(calls().empty());

        // Before SWF 8 its members are hidden; "call" is then Function's own.
        Script old(7);
        // Revealed as a movie before SWF 8 would reveal the package.
        old.callGlobal("ASSetPropFlags",
                       {Value(old.vm().global()), old.str("flash"), Value(0), Value(0x1000)});
        const Value oldEi = old.get(old.global("flash"), "external.ExternalInterface");
        QCOMPARE(old.type(oldEi), QString("function"));
        QVERIFY(old.get(oldEi, "available").isUndefined());
        QVERIFY(old.get(oldEi, "addCallback").isUndefined());
        QCOMPARE(old.get(oldEi, "call").asObject(),
                 old.get(old.global("Function"), "prototype.call").asObject());
    }

    // _toAS reads any object with a node's members, as it reads a parsed element.
    void externalInterfaceReadsAnyNodeLikeObject_data()
    {
        QTest::addColumn<QString>("nodeName");
        QTest::addColumn<QString>("firstChild");
        QTest::addColumn<QString>("read");
        QTest::newRow("true") << "true"
                              << ""
                              << "boolean true";
        QTest::newRow("false") << "false"
                               << ""
                               << "boolean false";
        QTest::newRow("null") << "null"
                              << ""
                              << "null null";
        QTest::newRow("number") << "number"
                                << "45"
                                << "number 45";
        QTest::newRow("number without text") << "number"
                                             << ""
                                             << "number NaN";
        QTest::newRow("string, entities read back") << "string"
                                                    << "a &amp; &lt;b&gt;"
                                                    << "string a & <b>";
        QTest::newRow("unknown name") << "nothing"
                                      << "1"
                                      << "undefined undefined";
    }
    void externalInterfaceReadsAnyNodeLikeObject()
    {
        QFETCH(QString, nodeName);
        QFETCH(QString, firstChild);
        QFETCH(QString, read);
        Script s(8);
        const Value ei = s.get(s.global("flash"), "external.ExternalInterface");
        const Value node = s.make("Object");
        s.set(node, "nodeName", s.str(nodeName.toStdString()));
        if (!firstChild.isEmpty())
            s.set(node, "firstChild", s.str(firstChild.toStdString()));
        const Value v = s.call(ei, "_toAS", {node});
        QCOMPARE(s.type(v) + " " + s.text(v), read);
        // A parsed element reads the same.
        const Value xml = s.vm().construct(s.global("XML"),
                                           std::vector<Value>{s.str("<string>x&amp;y</string>")});
        QCOMPARE(s.text(s.call(ei, "_toAS", {s.get(xml, "firstChild")})), QString("x&y"));
    }

    void systemCapabilitiesDescribeADesktopPlayer_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");
        QTest::newRow("playerType") << "playerType"
                                    << "string"
                                    << "StandAlone";
        QTest::newRow("hasAudio") << "hasAudio"
                                  << "boolean"
                                  << "true";
        QTest::newRow("hasMP3") << "hasMP3"
                                << "boolean"
                                << "true";
        QTest::newRow("hasStreamingVideo") << "hasStreamingVideo"
                                           << "boolean"
                                           << "true";
        QTest::newRow("hasEmbeddedVideo") << "hasEmbeddedVideo"
                                          << "boolean"
                                          << "true";
        QTest::newRow("hasAudioEncoder") << "hasAudioEncoder"
                                         << "boolean"
                                         << "false";
        QTest::newRow("hasVideoEncoder") << "hasVideoEncoder"
                                         << "boolean"
                                         << "false";
        QTest::newRow("hasPrinting") << "hasPrinting"
                                     << "boolean"
                                     << "false";
        QTest::newRow("hasIME") << "hasIME"
                                << "boolean"
                                << "false";
        QTest::newRow("isDebugger") << "isDebugger"
                                    << "boolean"
                                    << "false";
        QTest::newRow("localFileReadDisable") << "localFileReadDisable"
                                              << "boolean"
                                              << "false";
        QTest::newRow("screenResolutionX") << "screenResolutionX"
                                           << "number"
                                           << "1920";
        QTest::newRow("screenResolutionY") << "screenResolutionY"
                                           << "number"
                                           << "1080";
        QTest::newRow("screenDPI") << "screenDPI"
                                   << "number"
                                   << "72";
        QTest::newRow("pixelAspectRatio") << "pixelAspectRatio"
                                          << "number"
                                          << "1";
        QTest::newRow("screenColor") << "screenColor"
                                     << "string"
                                     << "color";
        QTest::newRow("language") << "language"
                                  << "string"
                                  << "en";
    }
    void systemCapabilitiesDescribeADesktopPlayer()
    {
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QString, value);
        Script s;
        const Value v = s.get(s.global("System"), "capabilities." + name);
        QCOMPARE(s.type(v), type);
        QCOMPARE(s.text(v), value);
    }

    void systemMembersByVersion_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("exactSettings");
        QTest::newRow("SWF 5") << 5 << "undefined";
        QTest::newRow("SWF 6") << 6 << "false";
        QTest::newRow("SWF 7") << 7 << "true";
        QTest::newRow("SWF 8") << 8 << "true";
    }
    void systemMembersByVersion()
    {
        QFETCH(int, version);
        QFETCH(QString, exactSettings);
        Script s(version);
        const Value system = s.global("System");
        const Value exact = s.get(system, "exactSettings");
        QCOMPARE(exact.isUndefined() ? QString("undefined") : s.text(exact), exactSettings);
        QCOMPARE(s.text(system, "useCodepage"), QString("false"));
        const QString versionText = s.text(system, "capabilities.version");
        QVERIFY2(versionText.contains(QRegularExpression("^[A-Z]{3} \\d+,\\d+,\\d+,\\d+$")),
                 qPrintable(versionText));
        QVERIFY(
            s.text(system, "capabilities.serverString")
                .contains("&V=" + QString(versionText).replace(' ', "%20").replace(',', "%2C")));
        QVERIFY(s.call(s.get(system, "security"), "allowDomain", {s.str("a.b")}).asBoolean());
        QVERIFY(s.call(system, "showSettings").isUndefined());
        QVERIFY(s.get(system, "onStatus").isUndefined());
    }

    void numberedNativesRunTheBuiltIns()
    {
        Script s(8);
        const auto native = [&](int table, int index) {
            return s.callGlobal("ASnative", {Value(table), Value(index)});
        };
        QCOMPARE(
            s.text(s.vm().call(native(251, 8), s.str("abcabc"), std::vector<Value>{s.str("c")})),
            QString("2"));
        QCOMPARE(s.text(s.vm().call(native(251, 0), Value(), std::vector<Value>{Value(5)})),
                 QString("5"));
        const Value list(s.vm().makeArray());
        s.vm().call(native(252, 1), list, std::vector<Value>{Value(7), Value(8)});
        QCOMPARE(s.text(s.vm().call(native(252, 7), list, std::vector<Value>{s.str("-")})),
                 QString("7-8"));
        QCOMPARE(s.type(native(800, 2)), QString("function"));
        QCOMPARE(s.type(native(5, 1)), QString("function"));
        // Stage's getters and setters in turn (a movie is needed for their values).
        for (int index : {1, 2, 3, 4, 5})
            QVERIFY(native(666, index).isObject());
        QCOMPARE(s.type(native(666, 7)), QString("function"));
        QVERIFY(native(666, 6).isUndefined());
        // A script's replacement does not change what the number runs.
        s.set(s.get(s.global("String"), "prototype"), "indexOf", Value());
        QCOMPARE(s.text(s.vm().call(native(251, 8), s.str("xy"), std::vector<Value>{s.str("y")})),
                 QString("1"));
    }

    // o.p = 1; ASSetPropFlags(o, "p", bit): which versions still see p.
    void propFlagVersionBitsHideFromOlderMovies_data()
    {
        QTest::addColumn<int>("bit");
        QTest::addColumn<QString>("seenIn");
        QTest::newRow("0x80: from SWF 6") << 0x80 << "6,7,8,9,10";
        QTest::newRow("0x100: not in SWF 6") << 0x100 << "5,7,8,9,10";
        QTest::newRow("0x400: from SWF 7") << 0x400 << "7,8,9,10";
        QTest::newRow("0x1000: from SWF 8") << 0x1000 << "8,9,10";
        QTest::newRow("0x2000: from SWF 9") << 0x2000 << "9,10";
        QTest::newRow("0x4000: from SWF 10") << 0x4000 << "10";
        QTest::newRow("0x200 hides nothing") << 0x200 << "5,6,7,8,9,10";
        QTest::newRow("0x800 hides nothing") << 0x800 << "5,6,7,8,9,10";
    }
    void propFlagVersionBitsHideFromOlderMovies()
    {
        QFETCH(int, bit);
        QFETCH(QString, seenIn);
        QStringList seen;
        for (int version = 5; version <= 10; ++version) {
            Script s(version);
            const Value o = s.make("Object");
            s.set(o, "p", Value(1));
            s.callGlobal("ASSetPropFlags", {o, s.str("p"), Value(bit)});
            if (!s.get(o, "p").isUndefined())
                seen << QString::number(version);
        }
        QCOMPARE(seen.join(','), seenIn);
    }

    void propFlagProtectionBits()
    {
        Script s(8);
        const Value o = s.make("Object");
        for (const char* name : {"h", "d", "w", "all"})
            s.set(o, name, Value(1));
        s.callGlobal("ASSetPropFlags", {o, s.str("h"), Value(1)});
        s.callGlobal("ASSetPropFlags", {o, s.str("d"), Value(2)});
        s.callGlobal("ASSetPropFlags", {o, s.str("w"), Value(4)});
        s.callGlobal("ASSetPropFlags", {o, s.str("all"), Value(7)});
        std::vector<std::string> keys;
        for (avm1::String* key : s.vm().enumerableKeys(o.asObject()))
            keys.push_back(key->text());
        std::sort(keys.begin(), keys.end());
        QCOMPARE(keys, (std::vector<std::string>{"d", "w"}));
        for (const char* name : {"h", "d", "w", "all"}) {
            s.set(o, name, Value(2));
            s.vm().deleteMember(o.asObject(), s.vm().str(name));
        }
        QVERIFY(s.get(o, "h").isUndefined());
        QCOMPARE(s.text(o, "d"), QString("2"));
        QVERIFY(s.get(o, "w").isUndefined());
        QCOMPARE(s.text(o, "all"), QString("1"));
        // Clearing the bits (set 0, clear 7) opens the property again.
        s.callGlobal("ASSetPropFlags", {o, s.str("all"), Value(0), Value(7)});
        s.set(o, "all", Value(3));
        QCOMPARE(s.text(o, "all"), QString("3"));
    }
};

QTEST_APPLESS_MAIN(ScriptServicesTest)
#include "ScriptServicesTest.moc"
