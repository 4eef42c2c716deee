// FileReference and FileReferenceList through a host that answers their dialogs as a
// user would: what the dialog is asked to show, the events and their order once it
// answers, the file's properties, and uploads and downloads in a player that reaches
// no network. Also XMLSocket's refused connections.
#include "avm1/ScriptHost.h"
#include "avm1/Vm.h"
#include "avm1/builtins/DeferredEvents.h"
#include "avm1/builtins/FileReferences.h"

#include <QtTest>
#include <map>

using avm1::Value;

namespace {

class DialogHost : public avm1::ScriptHost {
public:
    void trace(std::string_view line) override { events.emplace_back(line); }
    std::uint32_t openFileDialog(const runtime::FileDialogRequest& request) override
    {
        requests.push_back(request);
        return showsDialogs ? ++ticket : 0;
    }
    // The answer set, once; nothing while none is set.
    std::optional<runtime::FileDialogAnswer> fileDialogAnswer(std::uint32_t) override
    {
        std::optional<runtime::FileDialogAnswer> given = std::move(answer);
        answer.reset();
        return given;
    }
    swf::Result<std::vector<std::uint8_t>> fetchFile(std::string_view url, std::size_t) override
    {
        const auto found = files.find(std::string(url));
        if (found == files.end())
            return swf::makeError(swf::ErrorCode::CannotOpen, "no such file");
        return std::vector<std::uint8_t>(found->second.begin(), found->second.end());
    }
    bool writeChosenFile(std::string_view path, std::span<const std::uint8_t> bytes) override
    {
        written[std::string(path)] = std::string(bytes.begin(), bytes.end());
        return true;
    }

    bool showsDialogs = true;
    std::uint32_t ticket = 0;
    std::vector<runtime::FileDialogRequest> requests;
    std::optional<runtime::FileDialogAnswer> answer;
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> written;
    std::vector<std::string> events; // trace lines and the handlers' calls, in order
};

runtime::ChosenFile textFile(const char* name = "test.txt")
{
    runtime::ChosenFile file;
    file.path = std::string("/home/user/") + name;
    file.name = name;
    file.size = 6;
    file.creationMs = 1'000'000'000'000;
    file.modificationMs = 1'100'000'000'000;
    return file;
}

// Logs "event name type" for each handler call it hears, its data naming the event.
Value recordEvent(avm1::Vm& vm, const avm1::CallArgs& call)
{
    auto* self = static_cast<avm1::NativeFunction*>(call.callee);
    auto* host = static_cast<DialogHost*>(vm.host());
    std::string line = vm.toStdString(self->data());
    for (std::size_t i = 0; i < call.count(); ++i) {
        const Value arg = call.arg(i);
        line += ' ';
        line += arg.isObject() ? vm.toStdString(vm.getMember(arg, vm.str("name")))
                               : vm.toStdString(arg);
    }
    host->events.push_back(line);
    return Value();
}

class Script {
public:
    explicit Script(int version = 8) : m_vm(version, &host) {}

    avm1::Vm& vm() { return m_vm; }
    Value str(std::string_view text) { return Value(m_vm.str(text)); }
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
    Value fileClass(const char* name)
    {
        return get(get(get(Value(m_vm.global()), "flash"), "net"), name);
    }
    // An object of the class with a listener for every event.
    Value make(const char* className)
    {
        const Value object = m_vm.construct(fileClass(className), {});
        const Value listener(m_vm.makeObject());
        for (const char* event : {"onSelect", "onCancel", "onOpen", "onProgress", "onComplete",
                                  "onHTTPError", "onIOError", "onSecurityError"}) {
            avm1::NativeFunction* f = m_vm.makeNative(recordEvent);
            f->setData(str(event));
            set(listener, event, Value(f));
        }
        call(object, "addListener", {listener});
        return object;
    }
    Value filter(const char* description, const char* extension)
    {
        const Value f(m_vm.makeObject());
        set(f, "description", str(description));
        set(f, "extension", str(extension));
        return f;
    }
    Value array(const std::vector<Value>& values) { return Value(m_vm.makeArray(values)); }
    // What the step's end delivers.
    QString deliver()
    {
        host.events.clear();
        avm1::fileReferences(m_vm).deliver(m_vm);
        avm1::deliverDeferredEvents(m_vm);
        QStringList out;
        for (const std::string& line : host.events)
            out << QString::fromStdString(line);
        return out.join('|');
    }
    QString typed(Value v)
    {
        return QString::fromStdString(m_vm.typeOf(v)->text() + ":" + m_vm.toStdString(v));
    }

    DialogHost host;

private:
    avm1::Vm m_vm;
};

} // namespace

class FileReferenceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void browseAsksTheHostAndSelects();
    void oneDialogAtATime();
    void cancelledAndHostWithoutDialogs();
    void uploadsOpenThenFail();
    void downloadsCopyServedFilesOnly();
    void listsHoldTheirFiles();
    void typeListsAreChecked();
    void callsOnOtherObjects();
    void socketsAreRefused();
};

void FileReferenceTest::browseAsksTheHostAndSelects()
{
    Script s;
    const Value file = s.make("FileReference");
    // Nothing is known of a file before one is chosen.
    for (const char* name : {"name", "type", "size", "creator", "creationDate", "modificationDate"})
        QVERIFY2(s.get(file, name).isUndefined(), name);
    const Value types = s.array({s.filter("Images", "*.jpg; *.png"), s.filter("Text", "*.txt")});
    QCOMPARE(s.typed(s.call(file, "browse", {types})), QStringLiteral("boolean:true"));
    QCOMPARE(s.host.requests.size(), std::size_t(1));
    const runtime::FileDialogRequest& asked = s.host.requests[0];
    QCOMPARE(asked.kind, runtime::FileDialogRequest::Kind::OpenOne);
    QCOMPARE(asked.filters.size(), std::size_t(2));
    QCOMPARE(asked.filters[0].description, std::string("Images"));
    QCOMPARE(asked.filters[0].patterns, (std::vector<std::string>{"*.jpg", "*.png"}));
    QCOMPARE(asked.filters[1].patterns, (std::vector<std::string>{"*.txt"}));
    // The answer waits for the step's end.
    s.host.answer = runtime::FileDialogAnswer{{textFile()}};
    QCOMPARE(s.deliver(), QStringLiteral("onSelect test.txt"));
    QCOMPARE(s.typed(s.get(file, "name")), QStringLiteral("string:test.txt"));
    QCOMPARE(s.typed(s.get(file, "type")), QStringLiteral("string:.txt"));
    QCOMPARE(s.typed(s.get(file, "size")), QStringLiteral("number:6"));
    QVERIFY(s.get(file, "creator").isUndefined());
    QCOMPARE(s.typed(s.call(s.get(file, "creationDate"), "getTime")),
             QStringLiteral("number:1000000000000"));
    QCOMPARE(s.typed(s.call(s.get(file, "modificationDate"), "getTime")),
             QStringLiteral("number:1100000000000"));
    // The properties are the prototype's, and scripts cannot change them.
    QCOMPARE(s.typed(s.call(file, "hasOwnProperty", {s.str("name")})),
             QStringLiteral("boolean:false"));
    s.set(file, "name", s.str("other.txt"));
    QCOMPARE(s.typed(s.get(file, "name")), QStringLiteral("string:test.txt"));
    // A name without a dot has no type.
    const Value plain = s.make("FileReference");
    s.call(plain, "browse");
    s.host.answer = runtime::FileDialogAnswer{{textFile("README")}};
    QCOMPARE(s.deliver(), QStringLiteral("onSelect README"));
    QVERIFY(s.get(plain, "type").isUndefined());
}

void FileReferenceTest::oneDialogAtATime()
{
    Script s;
    const Value a = s.make("FileReference");
    const Value b = s.make("FileReference");
    QCOMPARE(s.typed(s.call(a, "browse")), QStringLiteral("boolean:true"));
    QCOMPARE(s.typed(s.call(b, "browse")), QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(b, "download", {s.str("a.txt")})), QStringLiteral("boolean:false"));
    // Still open after the step: nothing heard, still no second dialog.
    QCOMPARE(s.deliver(), QString());
    QCOMPARE(s.typed(s.call(a, "browse")), QStringLiteral("boolean:false"));
    s.host.answer = runtime::FileDialogAnswer{{textFile()}};
    QCOMPARE(s.deliver(), QStringLiteral("onSelect test.txt"));
    QCOMPARE(s.typed(s.call(b, "browse")), QStringLiteral("boolean:true"));
    QCOMPARE(s.host.requests.size(), std::size_t(2));
}

void FileReferenceTest::cancelledAndHostWithoutDialogs()
{
    Script s;
    const Value file = s.make("FileReference");
    s.call(file, "browse");
    s.host.answer = runtime::FileDialogAnswer{{textFile()}};
    s.deliver();
    // A cancel keeps what was chosen before.
    s.call(file, "browse");
    s.host.answer = runtime::FileDialogAnswer{};
    QCOMPARE(s.deliver(), QStringLiteral("onCancel test.txt"));
    QCOMPARE(s.typed(s.get(file, "name")), QStringLiteral("string:test.txt"));

    // A host that shows no dialogs: each one is cancelled at the step's end.
    Script bare;
    bare.host.showsDialogs = false;
    const Value other = bare.make("FileReference");
    QCOMPARE(bare.typed(bare.call(other, "download", {bare.str("http://example.com/a.txt")})),
             QStringLiteral("boolean:true"));
    QCOMPARE(bare.deliver(), QStringLiteral("onCancel undefined"));
    QVERIFY(bare.get(other, "name").isUndefined());
}

void FileReferenceTest::uploadsOpenThenFail()
{
    Script s;
    const Value file = s.make("FileReference");
    // Nothing chosen, nothing to send.
    QCOMPARE(s.typed(s.call(file, "upload", {s.str("http://example.com/up")})),
             QStringLiteral("boolean:false"));
    s.call(file, "browse");
    s.host.answer = runtime::FileDialogAnswer{{textFile()}};
    s.deliver();
    for (const Value& bad : {Value(), Value::null(), s.str("")})
        QCOMPARE(s.typed(s.call(file, "upload", {bad})), QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(file, "upload", {s.str("http://example.com/up")})),
             QStringLiteral("boolean:true"));
    // One transfer at a time.
    QCOMPARE(s.typed(s.call(file, "upload", {s.str("http://example.com/up")})),
             QStringLiteral("boolean:false"));
    QCOMPARE(s.deliver(), QStringLiteral("onOpen test.txt|onIOError test.txt"));
    // A cancelled upload is heard of no more.
    QCOMPARE(s.typed(s.call(file, "upload", {s.str("up.php")})), QStringLiteral("boolean:true"));
    s.call(file, "cancel");
    QCOMPARE(s.deliver(), QString());
}

void FileReferenceTest::downloadsCopyServedFilesOnly()
{
    Script s;
    s.host.files["data/report.txt"] = "hello!\n";
    const Value file = s.make("FileReference");
    QCOMPARE(s.typed(s.call(file, "download")), QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(file, "download", {s.str("")})), QStringLiteral("boolean:false"));
    QCOMPARE(s.typed(s.call(file, "download", {s.str("http://example.com/a/b.txt?x=1")})),
             QStringLiteral("boolean:true"));
    QCOMPARE(s.host.requests.back().kind, runtime::FileDialogRequest::Kind::Save);
    QCOMPARE(s.host.requests.back().suggestedName, std::string("b.txt"));
    runtime::ChosenFile place;
    place.path = "/home/user/saved.txt";
    place.name = "saved.txt";
    s.host.answer = runtime::FileDialogAnswer{{place}};
    QCOMPARE(s.deliver(), QStringLiteral("onSelect saved.txt|Error opening URL "
                                         "'http://example.com/a/b.txt?x=1'|onIOError saved.txt"));
    QVERIFY(s.host.written.empty());

    // A file beside the movie is copied to the chosen place.
    QCOMPARE(s.typed(s.call(file, "download", {s.str("data/report.txt"), s.str("copy.txt")})),
             QStringLiteral("boolean:true"));
    QCOMPARE(s.host.requests.back().suggestedName, std::string("copy.txt"));
    s.host.answer = runtime::FileDialogAnswer{{place}};
    QCOMPARE(s.deliver(), QStringLiteral("onSelect saved.txt|onOpen saved.txt|onProgress "
                                         "saved.txt 7 7|onComplete saved.txt"));
    QCOMPARE(s.host.written["/home/user/saved.txt"], std::string("hello!\n"));
    QCOMPARE(s.typed(s.get(file, "size")), QStringLiteral("number:7"));
}

void FileReferenceTest::listsHoldTheirFiles()
{
    Script s;
    const Value list = s.make("FileReferenceList");
    QVERIFY(s.get(list, "fileList").isUndefined());
    QCOMPARE(s.typed(s.call(list, "browse")), QStringLiteral("boolean:true"));
    QCOMPARE(s.host.requests.back().kind, runtime::FileDialogRequest::Kind::OpenMany);
    s.host.answer = runtime::FileDialogAnswer{{textFile("a.txt"), textFile("b.png")}};
    QCOMPARE(s.deliver(), QStringLiteral("onSelect undefined"));
    const Value files = s.get(list, "fileList");
    QCOMPARE(s.typed(s.get(files, "length")), QStringLiteral("number:2"));
    const Value second = s.get(files, "1");
    QCOMPARE(s.typed(s.get(second, "type")), QStringLiteral("string:.png"));
    // Each is a FileReference that can be sent on.
    QVERIFY(s.get(second, "__proto__").asObject() ==
            s.get(s.fileClass("FileReference"), "prototype").asObject());
    QCOMPARE(s.typed(s.call(second, "upload", {s.str("up.php")})), QStringLiteral("boolean:true"));
    // A list has no download.
    QVERIFY(s.get(list, "download").isUndefined());
}

void FileReferenceTest::typeListsAreChecked()
{
    Script s;
    const Value list = s.make("FileReferenceList");
    const Value inherits(s.vm().makeObject());
    s.set(inherits, "__proto__", s.filter("Text", "*.txt"));
    const struct {
        const char* name;
        Value types;
        bool expected;
    } cases[] = {
        {"undefined", Value(), false},
        {"an empty list", s.array({}), false},
        {"not an array", s.str("*.txt"), false},
        {"a number in the list", s.array({Value(1)}), false},
        {"an empty description", s.array({s.filter("", "*.txt")}), false},
        {"an empty extension", s.array({s.filter("Text", "")}), false},
        {"fields from a prototype", s.array({inherits}), false},
        {"a good filter", s.array({s.filter("Text", "*.txt")}), true},
    };
    for (const auto& c : cases) {
        const QString got = s.typed(s.call(list, "browse", {c.types}));
        const QString expected = c.expected ? "boolean:true" : "boolean:false";
        if (got != expected)
            qWarning("case %s", c.name);
        QCOMPARE(got, expected);
    }
    QVERIFY(!s.vm().throwing());
}

void FileReferenceTest::callsOnOtherObjects()
{
    Script s;
    const Value proto = s.get(s.fileClass("FileReference"), "prototype");
    const Value plain(s.vm().makeObject());
    for (const char* method : {"browse", "download", "upload"}) {
        const Value f = s.get(proto, method);
        QCOMPARE(s.typed(s.call(f, "call", {plain, s.str("a.txt")})),
                 QStringLiteral("boolean:false"));
    }
    QVERIFY(s.get(proto, "name").isUndefined());
    QVERIFY(s.host.requests.empty());
}

void FileReferenceTest::socketsAreRefused()
{
    Script s;
    const Value socket = s.vm().construct(s.get(Value(s.vm().global()), "XMLSocket"), {});
    avm1::NativeFunction* onConnect = s.vm().makeNative(recordEvent);
    onConnect->setData(s.str("onConnect"));
    s.set(socket, "onConnect", Value(onConnect));
    // Ports the reference keeps from movies fail at once, and say nothing.
    for (const Value& port : {Value(80), Value(1023), Value(65536), Value(), s.str("x")})
        QCOMPARE(s.typed(s.call(socket, "connect", {s.str("localhost"), port})),
                 QStringLiteral("boolean:false"));
    QCOMPARE(s.deliver(), QString());
    // Any other attempt starts, and is refused after the step.
    QCOMPARE(s.typed(s.call(socket, "connect", {Value::null(), Value(8001)})),
             QStringLiteral("boolean:true"));
    QCOMPARE(s.deliver(), QStringLiteral("onConnect false"));
    QCOMPARE(s.deliver(), QString());
}

QTEST_GUILESS_MAIN(FileReferenceTest)
#include "FileReferenceTest.moc"
