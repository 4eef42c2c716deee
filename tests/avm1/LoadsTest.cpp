// LoadVars and the load queue it shares with XML: decoding and writing name and value
// pairs, the default onData path through decode and onLoad, and what an empty or
// missing file delivers.
#include "avm1/builtins/Loads.h"

#include "avm1/ScriptHost.h"
#include "avm1/Vm.h"

#include <QtTest>
#include <map>

using avm1::Value;

namespace {

class FileHost : public avm1::ScriptHost {
public:
    void trace(std::string_view line) override { lines.emplace_back(line); }
    swf::Result<std::vector<std::uint8_t>> fetchFile(std::string_view url,
                                                     std::size_t /*maxBytes*/) override
    {
        auto it = files.find(std::string(url));
        if (it == files.end())
            return swf::makeError(swf::ErrorCode::CannotOpen);
        return std::vector<std::uint8_t>(it->second.begin(), it->second.end());
    }
    std::vector<std::string> lines;
    std::map<std::string, std::string> files;
};

QStringList& calls()
{
    static QStringList log;
    return log;
}

// Records "name: args" for the callbacks the tests install.
template <const char* Name> Value record(avm1::Vm& vm, const avm1::CallArgs& call)
{
    QStringList args;
    for (const Value& v : call.args)
        args << QString::fromStdString(vm.toStdString(v));
    calls() << QString(Name) + ": " + args.join(' ');
    return Value();
}
constexpr char kOnLoad[] = "onLoad";
constexpr char kDecode[] = "decode";

class Script {
public:
    Script() : m_vm(8, &host) { calls().clear(); }
    avm1::Vm& vm() { return m_vm; }
    Value str(std::string_view text) { return Value(m_vm.str(text)); }
    Value loadVars() { return m_vm.construct(get(Value(m_vm.global()), "LoadVars"), {}); }
    Value get(Value target, std::string_view name)
    {
        return m_vm.getMember(target, m_vm.str(name));
    }
    void set(Value target, std::string_view name, Value value)
    {
        m_vm.setMember(target, m_vm.str(name), value);
    }
    Value call(Value target, std::string_view method, const std::vector<Value>& args = {})
    {
        return m_vm.callMethod(target, m_vm.str(method), args);
    }
    QString text(Value v) { return QString::fromStdString(m_vm.toStdString(v)); }
    void deliver() { avm1::loadQueue(m_vm).deliver(m_vm); }

    FileHost host;

private:
    avm1::Vm m_vm;
};

} // namespace

class LoadsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodeSetsUnescapedPairs()
    {
        Script s;
        const Value vars = s.loadVars();
        s.call(vars, "decode", {s.str("a=1&b%20c=x+y%26z&&=skipped&flag&d=")});
        QCOMPARE(s.text(s.get(vars, "a")), QString("1"));
        QCOMPARE(s.text(s.get(vars, "b c")), QString("x y&z"));
        QCOMPARE(s.text(s.get(vars, "flag")), QString(""));
        QCOMPARE(s.text(s.get(vars, "d")), QString(""));
        QVERIFY(s.get(vars, "").isUndefined());
    }

    void toStringWritesTheValuesEscapedInEnumerationOrder()
    {
        Script s;
        const Value vars = s.loadVars();
        s.set(vars, "name", s.str("a b&c"));
        s.set(vars, "n", Value(2));
        // Functions are written too, as the reference writes them.
        s.set(vars, "method", Value(s.vm().makeNative(record<kOnLoad>)));
        QCOMPARE(s.text(vars), QString("method=%5Btype%20Function%5D&n=2&name=a%20b%26c"));
    }

    void theDefaultOnDataDecodesThenReports()
    {
        Script s;
        s.host.files["vars.txt"] = "x=1&y=2";
        const Value vars = s.loadVars();
        QVERIFY(s.get(vars, "loaded").isUndefined());
        s.set(vars, "onLoad", Value(s.vm().makeNative(record<kOnLoad>)));
        QCOMPARE(s.call(vars, "load", {s.str("vars.txt")}).asBoolean(), true);
        QCOMPARE(s.text(s.get(vars, "loaded")), QString("false"));
        s.deliver();
        QCOMPARE(calls(), QStringList{"onLoad: true"});
        QCOMPARE(s.text(s.get(vars, "y")), QString("2"));
        QCOMPARE(s.text(s.get(vars, "loaded")), QString("true"));
        QCOMPARE(s.text(s.call(vars, "getBytesTotal")), QString("7"));

        // A decode of the object's own is what the default onData calls.
        calls().clear();
        s.set(vars, "decode", Value(s.vm().makeNative(record<kDecode>)));
        s.call(vars, "load", {s.str("vars.txt")});
        s.deliver();
        QCOMPARE(calls(), QStringList({"decode: x=1&y=2", "onLoad: true"}));
    }

    void emptyAndMissingFilesDeliverNothing()
    {
        Script s;
        s.host.files["empty.txt"] = "";
        const Value vars = s.loadVars();
        s.set(vars, "onLoad", Value(s.vm().makeNative(record<kOnLoad>)));
        s.call(vars, "load", {s.str("empty.txt")});
        s.deliver();
        s.call(vars, "load", {s.str("missing.txt")});
        s.deliver();
        QCOMPARE(calls(), QStringList({"onLoad: false", "onLoad: false"}));
        QCOMPARE(s.text(s.get(vars, "loaded")), QString("false"));
    }

    void requestHeadersAreKeptInPairsOfStrings()
    {
        Script s;
        const Value vars = s.loadVars();
        s.call(vars, "addRequestHeader", {s.str("a"), s.str("b")});
        s.call(vars, "addRequestHeader", {s.str("skipped"), Value(1)});
        const std::vector<Value> list{s.str("c"), s.str("d"), Value(2), s.str("e"), s.str("odd")};
        s.call(vars, "addRequestHeader", {Value(s.vm().makeArray(list))});
        QCOMPARE(s.text(s.get(vars, "_customHeaders")), QString("a,b,c,d"));
        for (int i = 0; i < avm1::limits::kMaxRequestHeaders + 5; ++i)
            s.call(vars, "addRequestHeader", {s.str("n"), s.str("v")});
        QCOMPARE(s.vm().toNumber(s.get(s.get(vars, "_customHeaders"), "length")),
                 2.0 * avm1::limits::kMaxRequestHeaders);
    }

    void callbacksLoadingAgainWaitForTheNextDelivery()
    {
        Script s;
        s.host.files["a"] = "v=a";
        const Value vars = s.loadVars();
        s.set(vars, "onLoad", Value(s.vm().makeNative(record<kOnLoad>)));
        s.call(vars, "load", {s.str("a")});
        // Another object's load asked for from inside a delivery.
        const Value other = s.loadVars();
        s.set(other, "onLoad", Value(s.vm().makeNative(record<kOnLoad>)));
        s.set(vars, "decode", Value(s.vm().makeNative([](avm1::Vm& vm, const avm1::CallArgs& call) {
                  const Value url(vm.str("a"));
                  vm.callMethod(vm.getMember(call.thisValue, vm.str("next")), vm.str("load"),
                                std::span<const Value>(&url, 1));
                  return Value();
              })));
        s.set(vars, "next", other);
        s.deliver();
        QCOMPARE(calls(), QStringList{"onLoad: true"});
        QCOMPARE(avm1::loadQueue(s.vm()).size(), std::size_t(1));
        s.deliver();
        QCOMPARE(calls(), QStringList({"onLoad: true", "onLoad: true"}));
    }
};

QTEST_APPLESS_MAIN(LoadsTest)
#include "LoadsTest.moc"
