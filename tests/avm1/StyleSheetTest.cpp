// TextField.StyleSheet called as scripts call it: the styles kept as copies, parseCSS's
// grammar and its failures, the names and their order, clear, and transform's reading
// of CSS values into TextFormat attributes.
#include "CoreCalls.h"

#include <QtTest>

using avm1::Value;
using corecalls::Calls;

namespace {

struct Sheet {
    explicit Sheet(int version = 8) : c(version), self(c.call("new TextField.StyleSheet", "", {}))
    {}

    Value call(const char* method, std::vector<Value> args = {})
    {
        return c.vm().callMethod(self, c.vm().str(method), args);
    }
    Value str(const char* text) { return Value(c.vm().str(text)); }
    // The style's properties as "name=value" in their order, or the value shown.
    QString style(const char* name)
    {
        const Value got = call("getStyle", {str(name)});
        if (!got.isObject())
            return c.show(got);
        QStringList parts;
        const auto keys = c.vm().enumerableKeys(got.asObject());
        for (auto key = keys.rbegin(); key != keys.rend(); ++key)
            parts << QString::fromStdString((*key)->text()) + "=" +
                         c.show(c.vm().getMember(got, *key));
        return parts.join(' ');
    }
    QString names()
    {
        const Value list = call("getStyleNames");
        return c.show(c.vm().callMethod(list, c.vm().str("join"), {}));
    }
    QString attribute(Value format, const char* name)
    {
        return c.show(c.vm().getMember(format, c.vm().str(name)));
    }

    Calls c;
    Value self;
};

} // namespace

class StyleSheetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parseCSS_data();
    void parseCSS();
    void stylesAreCopies();
    void transformReadsCss_data();
    void transformReadsCss();
};

void StyleSheetTest::parseCSS_data()
{
    QTest::addColumn<QString>("css");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("firstStyle");
    QTest::newRow("one rule") << "p { color: red; }"
                              << "true"
                              << "'p'"
                              << "color='red'";
    // A dash is dropped and the next character upper-cased, a second dash too.
    QTest::newRow("names camel-cased") << "p{font-size:12px;text--x:1}"
                                       << "true"
                                       << "'p'"
                                       << "fontSize='12px' text-x='1'";
    // The names list the newest first.
    QTest::newRow("selectors split at commas") << "a, b { kerning: 5 }"
                                               << "true"
                                               << "'b,a'"
                                               << "kerning='5 '";
    QTest::newRow("unclosed block closes") << "p{color:red;"
                                           << "true"
                                           << "'p'"
                                           << "color='red'";
    QTest::newRow("ends inside a value") << "p{color:red"
                                         << "false"
                                         << "''"
                                         << "null";
    QTest::newRow("no selector") << "{color:red}"
                                 << "false"
                                 << "''"
                                 << "null";
    QTest::newRow("no colon") << "p{name}"
                              << "false"
                              << "''"
                              << "null";
    QTest::newRow("selector with a space") << "long key { a: 1 }"
                                           << "false"
                                           << "''"
                                           << "null";
    // Semicolons before a name belong to it, all but the one that ended the last value.
    QTest::newRow("stray semicolons") << "p{;;a: 1;;b: 2;}"
                                      << "true"
                                      << "'p'"
                                      << ";;a='1' ;b='2'";
    QTest::newRow("empty text") << ""
                                << "true"
                                << "''"
                                << "null";
}

// A malformed text adds nothing; a good one adds its rules, values as written up to the
// next ";" or "}" without the white space before them.
void StyleSheetTest::parseCSS()
{
    QFETCH(QString, css);
    QFETCH(QString, result);
    QFETCH(QString, names);
    QFETCH(QString, firstStyle);
    Sheet s;
    const std::string text = css.toStdString();
    QCOMPARE(s.c.show(s.call("parseCSS", {s.str(text.c_str())})), result);
    QCOMPARE(s.names(), names);
    const QString first = names.mid(1, names.size() - 2).section(',', 0, 0);
    QCOMPARE(s.style(first.isEmpty() ? "p" : first.toUtf8().constData()), firstStyle);
}

// setStyle keeps a copy (later changes to the object do not show); getStyle gives a
// new copy each time; names keep their case, the newest listed first; null or a non-object
// stores null; clear forgets everything.
void StyleSheetTest::stylesAreCopies()
{
    Sheet s;
    avm1::Vm& vm = s.c.vm();
    const Value style(vm.makeObject());
    vm.setMember(style, vm.str("color"), s.str("#ff0000"));
    s.call("setStyle", {s.str("Key"), style});
    vm.setMember(style, vm.str("color"), s.str("blue"));
    QCOMPARE(s.style("Key"), QString("color='#ff0000'"));
    QCOMPARE(s.style("key"), QString("null"));
    QVERIFY(s.call("getStyle", {s.str("Key")}).asObject() !=
            s.call("getStyle", {s.str("Key")}).asObject());
    s.call("setStyle", {s.str("other"), s.str("text")});
    s.call("setStyle", {s.str("none"), Value::null()});
    QCOMPARE(s.style("other"), QString("null"));
    QCOMPARE(s.names(), QString("'none,other,Key'"));
    s.call("clear");
    QCOMPARE(s.names(), QString("''"));
    QCOMPARE(s.style("Key"), QString("null"));
    // The methods are hidden, permanent and read-only on the prototype.
    const Value proto = s.c.path("TextField.StyleSheet.prototype");
    QVERIFY(vm.enumerableKeys(proto.asObject()).empty());
    QVERIFY(!vm.deleteMember(proto.asObject(), vm.str("parseCSS")));
}

void StyleSheetTest::transformReadsCss_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hex colour") << "color"
                                << "#0000FF"
                                << "color"
                                << "255";
    QTest::newRow("colour by name") << "color"
                                    << "red"
                                    << "color"
                                    << "null";
    QTest::newRow("size with unit") << "fontSize"
                                    << "14px"
                                    << "size"
                                    << "14";
    QTest::newRow("negative size") << "fontSize"
                                   << "-3"
                                   << "size"
                                   << "0";
    QTest::newRow("no digits") << "fontSize"
                               << "big"
                               << "size"
                               << "null";
    QTest::newRow("first family") << "fontFamily"
                                  << "Arial, serif"
                                  << "font"
                                  << "'Arial'";
    QTest::newRow("generic family") << "fontFamily"
                                    << "sans-serif"
                                    << "font"
                                    << "'_sans'";
    QTest::newRow("monospace") << "fontFamily"
                               << "monospace"
                               << "font"
                               << "'_typewriter'";
    QTest::newRow("bold") << "fontWeight"
                          << "bold"
                          << "bold"
                          << "true";
    QTest::newRow("weight by number") << "fontWeight"
                                      << "700"
                                      << "bold"
                                      << "null";
    QTest::newRow("italic") << "fontStyle"
                            << "italic"
                            << "italic"
                            << "true";
    QTest::newRow("underline") << "textDecoration"
                               << "underline"
                               << "underline"
                               << "true";
    QTest::newRow("align") << "textAlign"
                           << "center"
                           << "align"
                           << "'center'";
    QTest::newRow("align unknown") << "textAlign"
                                   << "middle"
                                   << "align"
                                   << "null";
    QTest::newRow("margin never negative") << "marginLeft"
                                           << "-4"
                                           << "leftMargin"
                                           << "0";
    QTest::newRow("indent") << "textIndent"
                            << "7px"
                            << "indent"
                            << "7";
    QTest::newRow("kerning true") << "kerning"
                                  << "true"
                                  << "kerning"
                                  << "true";
    QTest::newRow("kerning number") << "kerning"
                                    << "0"
                                    << "kerning"
                                    << "false";
    QTest::newRow("leading") << "leading"
                             << "3"
                             << "leading"
                             << "3";
    QTest::newRow("letter spacing") << "letterSpacing"
                                    << "2"
                                    << "letterSpacing"
                                    << "2";
}

void StyleSheetTest::transformReadsCss()
{
    QFETCH(QString, property);
    QFETCH(QString, value);
    QFETCH(QString, attribute);
    QFETCH(QString, expected);
    Sheet s;
    avm1::Vm& vm = s.c.vm();
    const Value style(vm.makeObject());
    vm.setMember(style, vm.str(property.toStdString()), Value(vm.str(value.toStdString())));
    const Value format = s.call("transform", {style});
    QVERIFY(format.isObject());
    QCOMPARE(s.attribute(format, attribute.toUtf8().constData()), expected);
    QCOMPARE(s.c.show(s.call("transform", {Value::null()})), QString("null"));
}

QTEST_GUILESS_MAIN(StyleSheetTest)
#include "StyleSheetTest.moc"
