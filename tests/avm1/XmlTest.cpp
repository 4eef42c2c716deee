// XML and XMLNode as scripts use them: the tree a document parses into, its edits and
// the childNodes arrays that follow them, serialization, cloning, namespaces, the
// prototypes nodes get, what the collector keeps, and loading through the queue and
// through a playing movie.
#include "ScriptRun.h"
#include "avm1/ScriptHost.h"
#include "avm1/Vm.h"
#include "avm1/builtins/Loads.h"

#include <QtTest>
#include <map>

using avm1::Value;
using swfwriter::Op;

namespace {

// A host with files for the loads.
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

// What the native callbacks tests install were called with.
std::vector<std::string>& calls()
{
    static std::vector<std::string> log;
    return log;
}

Value recordArgs(avm1::Vm& vm, const avm1::CallArgs& call)
{
    std::string line;
    for (const Value& v : call.args) {
        if (!line.empty())
            line.push_back(' ');
        line.append(vm.toString(v)->view());
    }
    calls().push_back(line);
    return Value();
}

class Script {
public:
    explicit Script(int version = 8) : m_vm(version, &host) { calls().clear(); }

    avm1::Vm& vm() { return m_vm; }
    Value str(std::string_view text) { return Value(m_vm.str(text)); }
    Value global(std::string_view name) { return m_vm.getMember(m_vm.global(), m_vm.str(name)); }
    Value xml(std::string_view markup)
    {
        const Value arg = str(markup);
        return m_vm.construct(global("XML"), std::span<const Value>(&arg, 1));
    }
    Value construct(std::string_view ctor, const std::vector<Value>& args)
    {
        return m_vm.construct(global(ctor), args);
    }
    // Members along a dotted path: "firstChild.nextSibling".
    Value get(Value target, std::string_view path)
    {
        Value at = target;
        for (const QString& name :
             QString::fromUtf8(path.data(), qsizetype(path.size())).split('.'))
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
    QString text(Value v) { return QString::fromStdString(m_vm.toStdString(v)); }
    QString text(Value target, std::string_view path) { return text(get(target, path)); }
    // The elements of an array, as text joined by commas.
    QString elements(Value array)
    {
        QString out;
        const double length = m_vm.toNumber(get(array, "length"));
        for (int i = 0; i < static_cast<int>(length); ++i) {
            const Value element = m_vm.getMember(array, m_vm.str(std::to_string(i)));
            out += (i ? "," : "") + text(element);
        }
        return out;
    }

    FileHost host;

private:
    avm1::Vm m_vm;
};

} // namespace

class XmlTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parsedDocumentsWriteBackAsTheyWereRead()
    {
        Script s;
        const QString markup = "<?xml version=\"1.0\"?><!DOCTYPE a><a z=\"1\" a=\"&amp;\" "
                               "m=\"&quot;\">it&apos;s<b /><c>&lt;&gt;</c></a>";
        const Value doc = s.xml(markup.toStdString());
        QCOMPARE(s.text(doc), markup);
        QCOMPARE(s.text(doc, "status"), QString("0"));
        QCOMPARE(s.text(doc, "xmlDecl"), QString("<?xml version=\"1.0\"?>"));
        QCOMPARE(s.text(doc, "firstChild.firstChild.nodeValue"), QString("it's"));
        QCOMPARE(s.text(doc, "firstChild.attributes.a"), QString("&"));
        // An attribute a script adds comes first, as for..in lists the newest first.
        s.set(s.get(doc, "firstChild.attributes"), "q", s.str("<"));
        QCOMPARE(s.text(doc, "firstChild").left(19), QString("<a q=\"&lt;\" z=\"1\" a"));
    }

    void nodesAnswerTheirTypeNameAndValue()
    {
        Script s;
        const Value doc = s.xml("<e>t</e>");
        QCOMPARE(s.text(doc, "nodeType"), QString("1"));
        QVERIFY(s.get(doc, "nodeName").isNull());
        QVERIFY(s.get(doc, "nodeValue").isNull());
        QCOMPARE(s.text(doc, "firstChild.nodeName"), QString("e"));
        QVERIFY(s.get(doc, "firstChild.nodeValue").isNull());
        QCOMPARE(s.text(doc, "firstChild.firstChild.nodeType"), QString("3"));
        QVERIFY(s.get(doc, "firstChild.firstChild.nodeName").isNull());
        QVERIFY(s.get(doc, "firstChild.firstChild.attributes").isObject());
        QCOMPARE(s.call(doc, "hasChildNodes").asBoolean(), true);
        QCOMPARE(s.call(s.get(doc, "firstChild.firstChild"), "hasChildNodes").asBoolean(), false);

        s.set(s.get(doc, "firstChild"), "nodeName", s.str("f"));
        s.set(s.get(doc, "firstChild.firstChild"), "nodeValue", s.str("a&b"));
        QCOMPARE(s.text(doc), QString("<f>a&amp;b</f>"));
        // The other properties have no setter.
        s.set(s.get(doc, "firstChild"), "nodeType", Value(3));
        QCOMPARE(s.text(doc, "firstChild.nodeType"), QString("1"));
    }

    void theConstructorMakesANodeFromTwoArguments()
    {
        Script s;
        const Value element = s.construct("XMLNode", {Value(1), s.str("n")});
        QCOMPARE(s.text(element), QString("<n />"));
        const Value text = s.construct("XMLNode", {Value(3), s.str("<t>")});
        QCOMPARE(s.text(text, "nodeValue"), QString("<t>"));
        QCOMPARE(s.text(text), QString("&lt;t&gt;"));
        const Value none = s.construct("XMLNode", {Value(1)});
        QVERIFY(s.get(none, "nodeType").isUndefined());
        QVERIFY(s.get(none, "childNodes").isUndefined());

        const Value doc = s.xml("");
        const Value made = s.call(doc, "createElement", {s.str("m")});
        const Value words = s.call(doc, "createTextNode", {s.str("'w'")});
        QVERIFY(s.get(made, "parentNode").isNull());
        s.call(made, "appendChild", {words});
        QCOMPARE(s.text(made), QString("<m>&apos;w&apos;</m>"));
    }

    void childNodesFollowEveryEdit()
    {
        Script s;
        const Value doc = s.xml("<r><a/><b/></r>");
        const Value root = s.get(doc, "firstChild");
        const Value children = s.get(root, "childNodes");
        const Value c = s.call(doc, "createElement", {s.str("c")});
        s.call(root, "appendChild", {c});
        QCOMPARE(s.elements(children), QString("<a />,<b />,<c />"));
        // A child does not move among its siblings; out and back in it does.
        s.call(root, "insertBefore", {c, s.get(root, "firstChild")});
        s.call(root, "appendChild", {s.get(root, "firstChild")});
        QCOMPARE(s.elements(children), QString("<a />,<b />,<c />"));
        s.call(c, "removeNode");
        s.call(root, "insertBefore", {c, s.get(root, "firstChild")});
        QCOMPARE(s.elements(children), QString("<c />,<a />,<b />"));
        s.call(s.get(root, "childNodes.1"), "removeNode");
        QCOMPARE(s.elements(children), QString("<c />,<b />"));
        QCOMPARE(s.get(root, "childNodes").asObject(), children.asObject());
        QCOMPARE(s.text(root, "lastChild.previousSibling"), QString("<c />"));
        QVERIFY(s.get(root, "firstChild.previousSibling").isNull());
        QVERIFY(s.get(root, "lastChild.nextSibling").isNull());
    }

    void nodesMoveButNeverIntoThemselves()
    {
        Script s;
        const Value one = s.xml("<a><b/></a><c/>");
        const Value two = s.xml("<d/>");
        const Value b = s.get(one, "firstChild.firstChild");
        s.call(s.get(two, "firstChild"), "appendChild", {b});
        QCOMPARE(s.text(one), QString("<a /><c />"));
        QCOMPARE(s.text(two), QString("<d><b /></d>"));
        QCOMPARE(s.get(b, "parentNode").asObject(), s.get(two, "firstChild").asObject());

        // An ancestor cannot go below its descendant, nor a node below itself.
        const Value d = s.get(two, "firstChild");
        s.call(b, "appendChild", {d});
        s.call(d, "appendChild", {d});
        s.call(d, "insertBefore", {two, b});
        QCOMPARE(s.text(two), QString("<d><b /></d>"));
        // Before a node that is not a child: nothing happens.
        s.call(d, "insertBefore", {s.get(one, "lastChild"), s.get(one, "firstChild")});
        QCOMPARE(s.text(one), QString("<a /><c />"));
        s.call(s.get(one, "firstChild"), "insertBefore", {b, b});
        QCOMPARE(s.text(two), QString("<d><b /></d>"));
    }

    void parsingAgainDetachesTheOldChildren()
    {
        Script s;
        const Value doc = s.xml("<?xml?><a/>t");
        const Value a = s.get(doc, "firstChild");
        s.call(doc, "parseXML", {s.str("<b></c>")});
        QVERIFY(s.get(a, "parentNode").isNull());
        QVERIFY(s.get(a, "nextSibling").isNull());
        QCOMPARE(s.text(doc, "status"), QString("-10"));
        QVERIFY(s.get(doc, "xmlDecl").isUndefined());
        QCOMPARE(s.text(doc, "childNodes.length"), QString("1"));

        s.set(doc, "ignoreWhite", Value(true));
        s.call(doc, "parseXML", {s.str("<a> <b/> </a>")});
        QCOMPARE(s.text(doc), QString("<a><b /></a>"));
    }

    void ignoreWhiteOnThePrototypeReachesEveryDocument()
    {
        Script s;
        s.set(s.get(s.global("XML"), "prototype"), "ignoreWhite", Value(true));
        QCOMPARE(s.text(s.xml("<a>\n <b/>\n</a>")), QString("<a><b /></a>"));
    }

    void clonesCopyAttributesAndOptionallyTheTree()
    {
        Script s;
        const Value doc = s.xml("<a x=\"1\" y=\"2\"><b>t</b></a>");
        const Value a = s.get(doc, "firstChild");
        const Value shallow = s.call(a, "cloneNode", {Value(false)});
        const Value deep = s.call(a, "cloneNode", {Value(true)});
        QCOMPARE(s.text(shallow), QString("<a x=\"1\" y=\"2\" />"));
        QCOMPARE(s.text(deep), s.text(a));
        QVERIFY(s.get(deep, "parentNode").isNull());
        QVERIFY(s.get(deep, "firstChild").asObject() != s.get(a, "firstChild").asObject());
        s.set(s.get(deep, "attributes"), "x", s.str("changed"));
        QCOMPARE(s.text(a, "attributes.x"), QString("1"));
    }

    void namespacesResolveThroughAncestors()
    {
        Script s;
        const Value doc = s.xml("<a:r xmlns:a='u1' xmlns='d' xmlns='d2'><c xmlnsfoo='d3'/>"
                                "<a:e/><p/><z:q/>t</a:r>");
        const Value r = s.get(doc, "firstChild");
        QCOMPARE(s.text(r, "prefix"), QString("a"));
        QCOMPARE(s.text(r, "localName"), QString("r"));
        QCOMPARE(s.text(r, "namespaceURI"), QString("u1"));
        QCOMPARE(s.text(s.call(r, "getNamespaceForPrefix", {s.str("")})), QString("d"));
        const Value c = s.get(r, "firstChild");
        QCOMPARE(s.text(c, "prefix"), QString(""));
        QCOMPARE(s.text(c, "namespaceURI"), QString("d3"));
        QCOMPARE(s.text(s.call(c, "getNamespaceForPrefix", {s.str("a")})), QString("u1"));
        QCOMPARE(s.text(s.call(c, "getPrefixForNamespace", {s.str("d")})), QString(""));
        QVERIFY(s.call(c, "getNamespaceForPrefix", {s.str("zz")}).isNull());
        QVERIFY(s.call(c, "getPrefixForNamespace", {s.str("nowhere")}).isNull());
        const Value e = s.get(c, "nextSibling");
        QCOMPARE(s.text(e, "namespaceURI"), QString("u1"));
        QCOMPARE(s.text(s.call(e, "getPrefixForNamespace", {s.str("u1")})), QString("a"));

        const Value loose = s.xml("<p/><z:q/>t");
        QCOMPARE(s.text(loose, "firstChild.namespaceURI"), QString(""));
        QVERIFY(s.get(loose, "firstChild.nextSibling.namespaceURI").isNull());
        QVERIFY(s.get(loose, "lastChild.prefix").isNull());
        QVERIFY(s.get(loose, "lastChild.localName").isNull());
        QVERIFY(s.get(loose, "prefix").isNull());
    }

    void nodesTakeThePrototypeOfTheirTime()
    {
        Script s;
        const Value ctor = s.global("XMLNode");
        const Value original = s.get(ctor, "prototype");
        avm1::Object* custom = s.vm().makeObject(original.asObject());
        s.set(Value(custom), "tag", s.str("custom"));
        s.set(ctor, "prototype", Value(custom));
        const Value doc = s.xml("<a><b/></a>");
        QCOMPARE(s.text(doc, "firstChild.tag"), QString("custom"));
        QCOMPARE(s.text(doc, "firstChild.firstChild.tag"), QString("custom"));
        QVERIFY(s.get(doc, "tag").isUndefined());
        QCOMPARE(s.text(s.call(doc, "createElement", {s.str("x")}), "tag"), QString("custom"));
        // Without an XMLNode to ask, nodes still get the original prototype.
        s.set(s.vm().global(), "XMLNode", Value());
        QCOMPARE(s.text(s.xml("<n/>"), "firstChild.nodeName"), QString("n"));
    }

    void theCollectorKeepsAWholeTreeFromAnyOfItsNodes()
    {
        Script s;
        Value kept;
        {
            const Value doc = s.xml("<a k=\"v\"><b><c/></b><d>t</d></a>");
            // Made now, so that they must survive too.
            s.get(doc, "firstChild.childNodes");
            s.get(doc, "firstChild.attributes");
            kept = s.get(doc, "firstChild.firstChild.firstChild");
        }
        const std::size_t root = s.vm().addRoots([&](avm1::Tracer& t) { t.mark(kept); });
        s.vm().collectNow();
        QCOMPARE(s.text(kept, "parentNode.parentNode.parentNode"),
                 QString("<a k=\"v\"><b><c /></b><d>t</d></a>"));
        QCOMPARE(s.text(kept, "parentNode.parentNode.childNodes.1"), QString("<d>t</d>"));
        s.vm().removeRoots(root);

        // A tree nobody reaches goes.
        const std::size_t before = s.vm().heap().liveCells();
        s.xml(QString("<e a='1'>t</e>").repeated(500).toStdString());
        QVERIFY(s.vm().heap().liveCells() > before + 2000);
        s.vm().collectNow();
        QVERIFY(s.vm().heap().liveCells() < before + 100);
    }

    void loadsArriveOnlyWhenDelivered()
    {
        Script s;
        s.host.files["data.xml"] = "<r>d</r>";
        const Value doc = s.xml("");
        s.set(doc, "onLoad", Value(s.vm().makeNative(recordArgs)));
        QCOMPARE(s.call(doc, "load", {s.str("data.xml")}).asBoolean(), true);
        QCOMPARE(s.text(doc, "loaded"), QString("false"));
        QCOMPARE(s.text(s.call(doc, "getBytesLoaded")), QString("0"));
        QVERIFY(s.call(doc, "getBytesTotal").isUndefined());
        QVERIFY(calls().empty());

        avm1::loadQueue(s.vm()).deliver(s.vm());
        QCOMPARE(calls(), std::vector<std::string>{"true"});
        QCOMPARE(s.text(doc), QString("<r>d</r>"));
        QCOMPARE(s.text(doc, "loaded"), QString("true"));
        // The progress properties cannot be deleted.
        s.vm().deleteMember(doc.asObject(), s.vm().str("_bytesTotal"));
        QCOMPARE(s.text(s.call(doc, "getBytesTotal")), QString("8"));

        calls().clear();
        s.call(doc, "load", {s.str("missing.xml")});
        avm1::loadQueue(s.vm()).deliver(s.vm());
        QCOMPARE(calls(), std::vector<std::string>{"false"});
        QCOMPARE(s.text(doc, "loaded"), QString("false"));
        QCOMPARE(s.call(doc, "load").asBoolean(), false);
    }

    void aNewLoadReplacesTheWaitingOneAndTheQueueIsCapped()
    {
        Script s;
        s.host.files["one"] = "1";
        s.host.files["two"] = "2";
        const Value doc = s.xml("");
        s.set(doc, "onData", Value(s.vm().makeNative(recordArgs)));
        s.call(doc, "load", {s.str("one")});
        s.call(doc, "load", {s.str("two")});
        avm1::LoadQueue& queue = avm1::loadQueue(s.vm());
        QCOMPARE(queue.size(), std::size_t(1));
        queue.deliver(s.vm());
        QCOMPARE(calls(), std::vector<std::string>{"2"});

        for (std::size_t i = 0; i < avm1::limits::kMaxPendingLoads; ++i)
            QVERIFY(queue.request(s.vm().makeObject(), s.vm().str("one")));
        QVERIFY(!queue.request(s.vm().makeObject(), s.vm().str("one")));
        QCOMPARE(s.call(doc, "load", {s.str("one")}).asBoolean(), false);
    }

    void sendAndLoadFillsTheTarget()
    {
        Script s;
        s.host.files["answer.xml"] = "<ok/>";
        const Value request = s.xml("<q/>");
        const Value reply = s.xml("");
        QCOMPARE(s.call(request, "sendAndLoad", {s.str("answer.xml"), reply}).asBoolean(), true);
        avm1::loadQueue(s.vm()).deliver(s.vm());
        QCOMPARE(s.text(reply), QString("<ok />"));
        QCOMPARE(s.text(request), QString("<q />"));
        QCOMPARE(s.call(request, "sendAndLoad", {s.str("answer.xml")}).asBoolean(), false);
    }

    // x = new XML(); x.onData = function (src) { trace(src); }; x.load(url); trace("asked");
    void aPlayingMovieGetsItsFileAfterTheScript()
    {
        swfwriter::ActionWriter handler;
        handler.push({"src"}).op(Op::GetVariable).op(Op::Trace);
        swfwriter::ActionWriter code;
        code.push({"x", 0, "XML"}).op(Op::NewObject).op(Op::SetVariable);
        code.push({"x"}).op(Op::GetVariable).push({"onData"});
        code.defineFunction("", {"src"}, handler);
        code.op(Op::SetMember);
        code.push({"file.txt", 1, "x"}).op(Op::GetVariable).push({"load"}).op(Op::CallMethod);
        code.op(Op::Pop).push({"asked"}).op(Op::Trace);

        scriptrun::Options options;
        options.files["file.txt"] = "contents";
        QCOMPARE(QString::fromStdString(scriptrun::joined(scriptrun::run(8, code, options))),
                 QString("asked\ncontents"));
        QCOMPARE(QString::fromStdString(scriptrun::joined(scriptrun::run(8, code))),
                 QString("asked\nundefined"));
    }

    // Sub = function () { super("<a>b</a>"); }; Sub extends XML; s = new Sub();
    void subclassesGetNodesThroughSuper()
    {
        using swfwriter::FunctionFlag::PreloadSuper;
        swfwriter::ActionWriter body;
        body.push({"<a>b</a>", 1, swfwriter::Register{1}, swfwriter::Undefined{}})
            .op(Op::CallMethod)
            .op(Op::Pop);
        swfwriter::ActionWriter code;
        code.push({"Sub"});
        code.defineFunction2("", 2, PreloadSuper, {}, body);
        code.op(Op::SetVariable);
        code.push({"Sub"}).op(Op::GetVariable).push({"XML"}).op(Op::GetVariable).op(Op::Extends);
        code.push({"s", 0, "Sub"}).op(Op::NewObject).op(Op::SetVariable);
        code.push({"s"}).op(Op::GetVariable).op(Op::Trace);
        code.push({"s"}).op(Op::GetVariable).push({"firstChild"}).op(Op::GetMember);
        code.push({"nodeName"}).op(Op::GetMember).op(Op::Trace);
        QCOMPARE(QString::fromStdString(scriptrun::joined(scriptrun::run(8, code))),
                 QString("<a>b</a>\na"));
    }
};

QTEST_APPLESS_MAIN(XmlTest)
#include "XmlTest.moc"
