// AMF 0 and AMF 3: bytes written by hand from the format's description read as they
// should, every kind of value written and read back the same, references and cycles
// kept, and damaged or hostile messages refused with a reason.
#include "script/Limits.h"
#include "script/amf/AmfCodec.h"

#include <QtTest>
#include <map>

using namespace script::amf;
using script::BigEndianReader;
using script::BigEndianWriter;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

NodeId add(Document& doc, Kind kind)
{
    Node n;
    n.kind = kind;
    return doc.add(std::move(n));
}

NodeId number(Document& doc, double v, Kind kind = Kind::Number)
{
    const NodeId id = add(doc, kind);
    doc[id].number = v;
    return id;
}

NodeId text(Document& doc, const std::string& s)
{
    const NodeId id = add(doc, Kind::String);
    doc[id].text = s;
    return id;
}

// Whether two graphs have the same shape and values, pairing nodes as it goes so that
// references and cycles must match too.
class Same {
public:
    Same(const Document& a, const Document& b) : m_a(a), m_b(b) {}

    bool operator()(NodeId x, NodeId y)
    {
        if (const auto seen = m_pairs.find(x); seen != m_pairs.end())
            return seen->second == y;
        m_pairs.emplace(x, y);
        const Node& p = m_a[x];
        const Node& q = m_b[y];
        if (p.kind != q.kind || p.boolean != q.boolean || p.text != q.text || p.bytes != q.bytes ||
            p.numbers != q.numbers || p.timezone != q.timezone ||
            p.members.size() != q.members.size() || p.elements.size() != q.elements.size() ||
            p.entries.size() != q.entries.size())
            return false;
        if (!(p.number == q.number || (std::isnan(p.number) && std::isnan(q.number))))
            return false;
        for (std::size_t i = 0; i < p.members.size(); ++i)
            if (p.members[i].name != q.members[i].name ||
                !(*this)(p.members[i].value, q.members[i].value))
                return false;
        for (std::size_t i = 0; i < p.elements.size(); ++i)
            if (!(*this)(p.elements[i], q.elements[i]))
                return false;
        for (std::size_t i = 0; i < p.entries.size(); ++i)
            if (!(*this)(p.entries[i].first, q.entries[i].first) ||
                !(*this)(p.entries[i].second, q.entries[i].second))
                return false;
        return true;
    }

private:
    const Document& m_a;
    const Document& m_b;
    std::map<NodeId, NodeId> m_pairs;
};

// A graph of every kind AMF 3 has, with a repeated string, two objects of one class
// and an object that holds itself.
Document everyKind(NodeId& root)
{
    Document doc;
    root = add(doc, Kind::Array);
    std::vector<NodeId> items = {add(doc, Kind::Undefined), add(doc, Kind::Null)};
    const NodeId t = add(doc, Kind::Boolean);
    doc[t].boolean = true;
    items.push_back(t);
    items.push_back(number(doc, -268435456, Kind::Integer));
    items.push_back(number(doc, 300000000, Kind::Integer)); // beyond 29 bits: a double
    items.push_back(number(doc, 0.1));
    items.push_back(text(doc, "déjà"));
    items.push_back(text(doc, "déjà"));
    items.push_back(number(doc, 1.5e12, Kind::Date));
    const NodeId xml = add(doc, Kind::Xml);
    doc[xml].text = "<a b=\"1\"/>";
    items.push_back(xml);
    for (int i = 0; i < 2; ++i) {
        const NodeId point = add(doc, Kind::Object);
        doc[point].text = "geom.Point";
        doc[point].dynamic = false;
        doc[point].sealedCount = 2;
        doc[point].members = {{"x", number(doc, i, Kind::Integer)}, {"y", number(doc, 2.5)}};
        items.push_back(point);
    }
    const NodeId self = add(doc, Kind::Object);
    doc[self].members = {{"me", self}, {"name", text(doc, "loop")}};
    items.push_back(self);
    const NodeId bytes = add(doc, Kind::ByteArray);
    doc[bytes].bytes = {0, 1, 0xFF};
    items.push_back(bytes);
    const NodeId ints = add(doc, Kind::VectorInt);
    doc[ints].numbers = {-1, 7};
    doc[ints].boolean = true;
    items.push_back(ints);
    const NodeId uints = add(doc, Kind::VectorUInt);
    doc[uints].numbers = {4294967295.0};
    items.push_back(uints);
    const NodeId doubles = add(doc, Kind::VectorDouble);
    doc[doubles].numbers = {0.5, -0.0};
    items.push_back(doubles);
    const NodeId objects = add(doc, Kind::VectorObject);
    doc[objects].text = "geom.Point";
    doc[objects].elements = {items[10]};
    items.push_back(objects);
    const NodeId dict = add(doc, Kind::Dictionary);
    doc[dict].entries = {{self, text(doc, "value")}, {text(doc, "key"), number(doc, 1)}};
    items.push_back(dict);
    doc[root].elements = items;
    doc[root].members = {{"named", text(doc, "part")}};
    return doc;
}

} // namespace

class AmfTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void amf0FromItsDescription();
    void amf3FromItsDescription();
    void amf3RoundTripsEveryKind();
    void amf0RoundTripsAndFallsBackToAmf3();
    void sharedTablesShrinkTheMessage();
    void everyCutIsRefused();
    void hostileMessagesAreRefused_data();
    void hostileMessagesAreRefused();
    void readOptionsNarrowAndForgive();
};

void AmfTest::amf0FromItsDescription()
{
    // A strict array of an object {a: 1, b: "x"} and a reference to that object.
    const Bytes bytes = bytesOf({10, 0, 0, 0, 2,   3, 0, 1, 'a', 0, 0x3F, 0xF0, 0, 0, 0, 0,
                                 0,  0, 0, 1, 'b', 2, 0, 1, 'x', 0, 0,    9,    7, 0, 1});
    Document doc;
    BigEndianReader in(bytes);
    const auto root = readAmf0(doc, in);
    QVERIFY2(root.ok(), root.ok() ? "" : root.error().message().c_str());
    const Node& array = doc[*root];
    QCOMPARE(array.kind, Kind::Array);
    QVERIFY(array.strictArray);
    QCOMPARE(array.elements.size(), 2u);
    // Reference 0 is the array itself; 1 the object.
    QCOMPARE(array.elements[1], array.elements[0]);
    const Node& object = doc[array.elements[0]];
    QCOMPARE(object.members.size(), 2u);
    QCOMPARE(object.members[0].name, std::string("a"));
    QCOMPARE(doc[object.members[0].value].number, 1.0);
    QCOMPARE(doc[object.members[1].value].text, std::string("x"));
    QCOMPARE(in.position(), bytes.size());
}

void AmfTest::amf3FromItsDescription()
{
    struct Case {
        Bytes bytes;
        Kind kind;
        double number;
    };
    const Case cases[] = {
        {bytesOf({4, 0x7F}), Kind::Integer, 127},
        {bytesOf({4, 0x83, 0x10}), Kind::Integer, 400},
        {bytesOf({4, 0xFF, 0xFF, 0xFF, 0xFF}), Kind::Integer, -1},
        {bytesOf({4, 0xC0, 0x80, 0x80, 0x00}), Kind::Integer, -268435456},
        {bytesOf({5, 0x40, 0x09, 0x21, 0xFB, 0x54, 0x44, 0x2D, 0x18}), Kind::Number,
         3.141592653589793},
        {bytesOf({3}), Kind::Boolean, 0},
    };
    for (const Case& c : cases) {
        Document doc;
        BigEndianReader in(c.bytes);
        const auto root = readAmf3(doc, in);
        QVERIFY(root.ok());
        QCOMPARE(doc[*root].kind, c.kind);
        if (c.kind != Kind::Boolean)
            QCOMPARE(doc[*root].number, c.number);
        QCOMPARE(in.position(), c.bytes.size());
    }

    // An array of two objects of one sealed class: the second names the class, and
    // with it the member's name, by a traits reference.
    const Bytes objects = bytesOf({9, 5, 1, 10, 0x13, 3, 'P', 3, 'x', 4, 1, 10, 1, 4, 2});
    Document doc;
    BigEndianReader in(objects);
    const auto root = readAmf3(doc, in);
    QVERIFY2(root.ok(), root.ok() ? "" : root.error().message().c_str());
    const Node& array = doc[*root];
    QCOMPARE(array.elements.size(), 2u);
    const Node& second = doc[array.elements[1]];
    QCOMPARE(second.text, std::string("P"));
    QCOMPARE(second.sealedCount, 1u);
    QCOMPARE(second.members.at(0).name, std::string("x"));
    QCOMPARE(doc[second.members[0].value].number, 2.0);
}

void AmfTest::amf3RoundTripsEveryKind()
{
    NodeId root = 0;
    const Document original = everyKind(root);
    BigEndianWriter out;
    QVERIFY(writeAmf3(original, root, out).ok());
    Document back;
    BigEndianReader in(out.data());
    const auto read = readAmf3(back, in);
    QVERIFY2(read.ok(), read.ok() ? "" : read.error().message().c_str());
    QCOMPARE(in.position(), out.data().size());
    // The 29-bit overflow came back as a double; mend the expectation, then compare.
    Document expected = original;
    expected[expected[root].elements[4]].kind = Kind::Number;
    QVERIFY(Same(expected, back)(root, *read));
    // The object holding itself holds the same node after the trip.
    const NodeId self = back[*read].elements[12];
    QCOMPARE(back[self].members[0].value, self);
}

void AmfTest::amf0RoundTripsAndFallsBackToAmf3()
{
    Document doc;
    const NodeId root = add(doc, Kind::Object);
    doc[root].text = "Alias";
    const NodeId list = add(doc, Kind::Array);
    doc[list].elements = {number(doc, 1), text(doc, std::string(70000, 'z'))};
    doc[list].members = {{"k", add(doc, Kind::Null)}};
    const NodeId date = number(doc, 86400000, Kind::Date);
    doc[date].timezone = -60;
    const NodeId bytes = add(doc, Kind::ByteArray);
    doc[bytes].bytes = {9, 8};
    doc[root].members = {
        {"list", list}, {"date", date}, {"again", list}, {"bytes", bytes}, {"me", root}};
    BigEndianWriter out;
    QVERIFY(writeAmf0(doc, root, out).ok());
    Document back;
    BigEndianReader in(out.data());
    const auto read = readAmf0(back, in);
    QVERIFY2(read.ok(), read.ok() ? "" : read.error().message().c_str());
    const Node& object = back[*read];
    QCOMPARE(object.text, std::string("Alias"));
    QCOMPARE(object.members.size(), 5u);
    // An ECMA array comes back with its dense part as named members "0", "1".
    const Node& array = back[object.members[0].value];
    QCOMPARE(array.members.size(), 3u);
    QCOMPARE(array.members[0].name, std::string("0"));
    QCOMPARE(back[array.members[1].value].text.size(), 70000u);
    QCOMPARE(back[object.members[1].value].timezone, -60);
    QCOMPARE(object.members[2].value, object.members[0].value);
    QCOMPARE(back[object.members[3].value].bytes, (Bytes{9, 8}));
    QCOMPARE(object.members[4].value, *read);
}

void AmfTest::sharedTablesShrinkTheMessage()
{
    Document doc;
    const NodeId root = add(doc, Kind::Array);
    for (int i = 0; i < 50; ++i) {
        const NodeId point = add(doc, Kind::Object);
        doc[point].text = "a.long.package.name.Point";
        doc[point].dynamic = false;
        doc[point].sealedCount = 1;
        doc[point].members = {{"coordinate", text(doc, "the same text each time")}};
        doc[root].elements.push_back(point);
    }
    BigEndianWriter out;
    QVERIFY(writeAmf3(doc, root, out).ok());
    // Class, member name and text written once: each later object takes four bytes.
    QVERIFY2(out.data().size() < 100 + 50 * 4, qPrintable(QString::number(out.data().size())));
}

void AmfTest::everyCutIsRefused()
{
    NodeId root = 0;
    const Document doc = everyKind(root);
    BigEndianWriter out;
    QVERIFY(writeAmf3(doc, root, out).ok());
    const Bytes& whole = out.data();
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        Document back;
        BigEndianReader in(std::span(whole.data(), cut));
        QVERIFY2(!readAmf3(back, in).ok(), qPrintable(QString::number(cut)));
    }
}

void AmfTest::hostileMessagesAreRefused_data()
{
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<bool>("amf3");
    QTest::addColumn<QString>("reason");
    QTest::newRow("AMF 0 reference to nothing") << bytesOf({7, 0, 3}) << false << "reference";
    QTest::newRow("AMF 0 record set marker") << bytesOf({14}) << false << "marker";
    QTest::newRow("AMF 0 object end missing") << bytesOf({3, 0, 0, 5}) << false << "object end";
    QTest::newRow("AMF 0 strict array longer than the message")
        << bytesOf({10, 0x7F, 0xFF, 0xFF, 0xFF, 5}) << false << "count";
    QTest::newRow("AMF 3 string reference to nothing")
        << bytesOf({6, 4}) << true << "string reference";
    QTest::newRow("AMF 3 object reference to nothing")
        << bytesOf({9, 2}) << true << "object reference";
    QTest::newRow("AMF 3 traits reference to nothing") << bytesOf({10, 5}) << true << "traits";
    QTest::newRow("AMF 3 externalizable class")
        << bytesOf({10, 7, 3, 'E'}) << true << "externalizable";
    QTest::newRow("AMF 3 vector longer than the message")
        << bytesOf({15, 0xBF, 0xFF, 0xFF, 0xFF, 0}) << true << "count";
    QTest::newRow("AMF 3 unknown marker") << bytesOf({0x42}) << true << "marker";
    Bytes deep;
    for (std::size_t i = 0; i <= script::limits::kMaxAmfNesting; ++i)
        deep.insert(deep.end(), {9, 3, 1}); // arrays of one element, nested
    deep.push_back(1);
    QTest::newRow("AMF 3 nesting past the cap") << deep << true << "nesting";
}

void AmfTest::hostileMessagesAreRefused()
{
    QFETCH(Bytes, bytes);
    QFETCH(bool, amf3);
    QFETCH(QString, reason);
    Document doc;
    BigEndianReader in(bytes);
    const auto root = amf3 ? readAmf3(doc, in) : readAmf0(doc, in);
    QVERIFY(!root.ok());
    const QString message = QString::fromStdString(root.error().message());
    QVERIFY2(message.contains(reason), qPrintable(message));
}

// What a reader may ask of readAmf0 beyond the defaults: lower caps, objects the data's
// end closes, and what a failed read made so far. The unsupported marker reads as
// undefined.
void AmfTest::readOptionsNarrowAndForgive()
{
    const Bytes open = bytesOf({3, 0, 1, 'x', 0, 0x40, 0, 0, 0, 0, 0, 0, 0});
    {
        Document doc;
        BigEndianReader in(open);
        QVERIFY(!readAmf0(doc, in).ok());
    }
    {
        Document doc;
        BigEndianReader in(open);
        const auto root = readAmf0(doc, in, {.dataEndClosesObjects = true});
        QVERIFY(root.ok());
        const Member* x = findMember(doc[*root], "x");
        QVERIFY(x);
        QCOMPARE(doc[x->value].number, 2.0);
        QVERIFY(!findMember(doc[*root], "y"));
    }
    {
        // Cut inside the second member's name: the object keeps the first.
        Bytes cut = open;
        cut.insert(cut.end(), {0, 5, 'y'});
        Document doc;
        BigEndianReader in(cut);
        NodeId partial = 0;
        QVERIFY(!readAmf0(doc, in, {.partial = &partial}).ok());
        QCOMPARE(doc[partial].kind, Kind::Object);
        QCOMPARE(doc[partial].members.size(), std::size_t(1));
    }
    {
        const Bytes nested = bytesOf({3, 0, 1, 'a', 3, 0, 1, 'b', 5, 0, 0, 9, 0, 0, 9});
        Document doc;
        BigEndianReader in(nested);
        QVERIFY(readAmf0(doc, in, {.maxNesting = 3}).ok());
        Document again;
        BigEndianReader inAgain(nested);
        const auto deep = readAmf0(again, inAgain, {.maxNesting = 2});
        QVERIFY(!deep.ok());
        QCOMPARE(deep.error().code, swf::ErrorCode::TooDeep);
        Document few;
        BigEndianReader inFew(nested);
        const auto many = readAmf0(few, inFew, {.maxValues = 3});
        QVERIFY(!many.ok());
        QCOMPARE(many.error().code, swf::ErrorCode::TooLarge);
    }
    {
        Document doc;
        const Bytes unsupported = bytesOf({13});
        BigEndianReader in(unsupported);
        const auto root = readAmf0(doc, in);
        QVERIFY(root.ok());
        QCOMPARE(doc[*root].kind, Kind::Undefined);
    }
}

QTEST_GUILESS_MAIN(AmfTest)
#include "AmfTest.moc"
