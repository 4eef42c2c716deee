// RegExp and String's matching methods, called through an in-process machine as a
// script calls them: construction and its errors, flags, lastIndex under exec and
// test, the result arrays, and match, search, replace and split with RegExps.
#include "avm2/vm/Vm.h"

#include <QtTest>

using avm2::Value;
using avm2::Vm;

namespace {

struct Machine {
    Vm vm{Vm::Host{}};

    Value str(const char16_t* text) { return Value(vm.newString(std::u16string(text))); }
    Value regexp(std::initializer_list<Value> args)
    {
        return vm.construct(Value(vm.builtins().regexp), std::vector<Value>(args));
    }
    Value re(const char16_t* source, const char16_t* flags = u"")
    {
        return regexp({str(source), str(flags)});
    }
    Value call(const Value& object, const char* name, std::initializer_list<Value> args = {})
    {
        return vm.callProperty(object, vm.publicName(name), std::vector<Value>(args));
    }
    Value get(const Value& object, const char* name)
    {
        return vm.getProperty(object, vm.publicName(name));
    }
    void set(const Value& object, const char* name, const Value& value)
    {
        vm.setProperty(object, vm.publicName(name), value);
    }
    QString text(const Value& v)
    {
        if (vm.throwing())
            // The message line, without the stack trace after it.
            return QStringLiteral("threw ") +
                   qtext(vm.uncaughtText(vm.takeException())).section(QLatin1Char('\n'), 0, 0);
        return qtext(vm.toText(v));
    }
    static QString qtext(const std::u16string& s)
    {
        return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
    }
};

// A replacement function that lists its arguments.
Value describeArgs(Vm& vm, const Value&, std::span<const Value> args)
{
    std::u16string out = u"<";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i)
            out += u"|";
        out += vm.toText(args[i]);
    }
    out += u">";
    return Value(vm.newString(std::move(out)));
}

} // namespace

class RegExpClassTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void constructionAndFlags();
    void constructionFromAnotherRegExp();
    void execResultAndLastIndex();
    void testMovesLastIndexLikeExec();
    void stringMatchAndSearch();
    void stringReplace();
    void stringSplit();
};

void RegExpClassTest::constructionAndFlags()
{
    Machine m;
    QCOMPARE(m.text(m.regexp({})), QString("//"));
    QCOMPARE(m.text(m.re(u"a/b", u"xsmigg")), QString("/a/b/gimsx"));
    QCOMPARE(m.text(m.re(u"q", u"SXGIM?")), QString("/q/"));
    QCOMPARE(m.text(m.regexp({Value::null(), Value::null()})), QString("/null/"));
    QCOMPARE(m.text(m.regexp({Value(), Value()})), QString("//"));
    const Value r = m.re(u"a+", u"mx");
    QCOMPARE(m.text(m.get(r, "source")), QString("a+"));
    QCOMPARE(m.text(m.get(r, "multiline")), QString("true"));
    QCOMPARE(m.text(m.get(r, "extended")), QString("true"));
    QCOMPARE(m.text(m.get(r, "global")), QString("false"));
    QCOMPARE(m.text(m.get(r, "ignoreCase")), QString("false"));
    QCOMPARE(m.text(m.get(r, "dotall")), QString("false"));
    // A source that is no pattern keeps its text and matches nothing.
    const Value bad = m.re(u"(a");
    QCOMPARE(m.text(bad), QString("/(a/"));
    QCOMPARE(m.text(m.call(bad, "test", {m.str(u"(a")})), QString("false"));
    // A number source is its text.
    QCOMPARE(m.text(m.regexp({Value(12)})), QString("/12/"));
}

void RegExpClassTest::constructionFromAnotherRegExp()
{
    Machine m;
    const Value original = m.re(u"x(y)", u"gi");
    const Value copy = m.regexp({original});
    QVERIFY(copy.asObject() != original.asObject());
    QCOMPARE(m.text(copy), QString("/x(y)/gi"));
    QCOMPARE(m.text(m.regexp({original, Value()})), QString("/x(y)/gi"));
    QCOMPARE(m.text(m.regexp({original, m.str(u"")})),
             QString("threw TypeError: Error #1100: Cannot supply flags when constructing one "
                     "RegExp from another."));
    // Called as a function: the same object back without flags, a new one with a string.
    const Value same =
        m.vm.call(Value(m.vm.builtins().regexp), Value::null(), std::vector<Value>{original});
    QVERIFY(same.asObject() == original.asObject());
    const Value made =
        m.vm.call(Value(m.vm.builtins().regexp), Value::null(), std::vector<Value>{m.str(u"z")});
    QCOMPARE(m.text(made), QString("/z/"));
}

void RegExpClassTest::execResultAndLastIndex()
{
    Machine m;
    const Value r = m.re(u"(?P<word>s\\w*?)(e)?(l+)", u"g");
    const Value subject = m.str(u"She sells seashells");
    Value result = m.call(r, "exec", {subject});
    QCOMPARE(m.text(result), QString("sell,s,e,ll"));
    QCOMPARE(m.text(m.get(result, "index")), QString("4"));
    QCOMPARE(m.text(m.get(result, "input")), QString("She sells seashells"));
    QCOMPARE(m.text(m.get(result, "word")), QString("s"));
    QCOMPARE(m.text(m.get(r, "lastIndex")), QString("8"));
    result = m.call(r, "exec", {subject});
    QCOMPARE(m.text(result), QString("seashell,seash,e,ll"));
    QCOMPARE(m.text(m.get(result, "3")), QString("ll"));
    QCOMPARE(m.text(m.get(r, "lastIndex")), QString("18"));
    // No further match: null, and lastIndex back to 0.
    QVERIFY(m.call(r, "exec", {subject}).isNull());
    QCOMPARE(m.text(m.get(r, "lastIndex")), QString("0"));
    // Past the end: null at once.
    m.set(r, "lastIndex", Value(40));
    QVERIFY(m.call(r, "exec", {subject}).isNull());
    QCOMPARE(m.text(m.get(r, "lastIndex")), QString("0"));
    // A group that took no part is undefined, in the array and as a named property.
    const Value unset = m.call(m.re(u"a(?P<b>b)?c"), "exec", {m.str(u"ac")});
    QCOMPARE(m.text(m.get(unset, "length")), QString("2"));
    QCOMPARE(m.vm.toText(m.vm.typeOf(m.get(unset, "1"))), std::u16string(u"undefined"));
    QCOMPARE(m.vm.toText(m.vm.typeOf(m.get(unset, "b"))), std::u16string(u"undefined"));
    // Without g, lastIndex is neither used nor moved by a match.
    const Value once = m.re(u"\\d");
    m.set(once, "lastIndex", Value(3));
    QCOMPARE(m.text(m.get(m.call(once, "exec", {m.str(u"a1b2")}), "index")), QString("1"));
    QCOMPARE(m.text(m.get(once, "lastIndex")), QString("3"));
    // The subject is converted: undefined is "undefined".
    QCOMPARE(m.text(m.call(m.re(u"fin"), "exec", {Value()})), QString("fin"));
}

void RegExpClassTest::testMovesLastIndexLikeExec()
{
    Machine m;
    const Value r = m.re(u"o", u"g");
    const Value subject = m.str(u"foo");
    QCOMPARE(m.text(m.call(r, "test", {subject})), QString("true"));
    QCOMPARE(m.text(m.get(r, "lastIndex")), QString("2"));
    QCOMPARE(m.text(m.call(r, "test", {subject})), QString("true"));
    QCOMPARE(m.text(m.call(r, "test", {subject})), QString("false"));
    QCOMPARE(m.text(m.get(r, "lastIndex")), QString("0"));
    QCOMPARE(m.text(m.call(m.re(u"^b", u"m"), "test", {m.str(u"a\nb")})), QString("true"));
    QCOMPARE(m.text(m.call(m.re(u"^b"), "test", {m.str(u"a\nb")})), QString("false"));
}

void RegExpClassTest::stringMatchAndSearch()
{
    Machine m;
    const Value s = m.str(u"a1b22c333");
    QCOMPARE(m.text(m.call(s, "match", {m.re(u"\\d+", u"g")})), QString("1,22,333"));
    const Value first = m.call(s, "match", {m.re(u"(\\d)(\\d)")});
    QCOMPARE(m.text(first), QString("22,2,2"));
    QCOMPARE(m.text(m.get(first, "index")), QString("3"));
    QVERIFY(m.call(s, "match", {m.re(u"x", u"g")}).isNull());
    QVERIFY(m.call(s, "match", {m.re(u"x")}).isNull());
    // A global match starts from 0 whatever lastIndex says, and leaves it at 0.
    const Value g = m.re(u"\\d", u"g");
    m.set(g, "lastIndex", Value(5));
    QCOMPARE(m.text(m.call(s, "match", {g})), QString("1,2,2,3,3,3"));
    QCOMPARE(m.text(m.get(g, "lastIndex")), QString("0"));
    // Strings are patterns; undefined looks for "undefined".
    QCOMPARE(m.text(m.call(s, "match", {m.str(u"b.")})), QString("b2"));
    QVERIFY(m.call(s, "match", {Value()}).isNull());
    QCOMPARE(m.text(m.call(m.str(u"is undefined"), "search", {})), QString("3"));
    QCOMPARE(m.text(m.call(s, "search", {m.re(u"c")})), QString("5"));
    QCOMPARE(m.text(m.call(s, "search", {m.re(u"z")})), QString("-1"));
    // search ignores g and lastIndex.
    m.set(g, "lastIndex", Value(4));
    QCOMPARE(m.text(m.call(s, "search", {g})), QString("1"));
    QCOMPARE(m.text(m.get(g, "lastIndex")), QString("4"));
}

void RegExpClassTest::stringReplace()
{
    Machine m;
    const Value s = m.str(u"John Smith, Jane Doe");
    QCOMPARE(m.text(m.call(s, "replace", {m.re(u"(\\w+) (\\w+)", u"g"), m.str(u"$2 $1")})),
             QString("Smith John, Doe Jane"));
    QCOMPARE(m.text(m.call(s, "replace", {m.re(u"(\\w+) (\\w+)"), m.str(u"[$&|$`|$']")})),
             QString("[John Smith||, Jane Doe], Jane Doe"));
    QCOMPARE(m.text(m.call(m.str(u"abc"), "replace", {m.re(u"x*", u"g"), m.str(u"-")})),
             QString("-a-b-c-"));
    // A function gets the match, each group (undefined when unset), the index and the
    // subject; its result is converted to a string. A class is no function.
    const Value fn = Value(m.vm.newFunction(m.vm.newNativeMethod("f", describeArgs, 0)));
    QCOMPARE(m.text(m.call(m.str(u"a1b-c"), "replace", {m.re(u"(\\d)|(-)", u"g"), fn})),
             QString("a<1|1|undefined|1|a1b-c>b<-|undefined|-|3|a1b-c>c"));
    QCOMPARE(m.text(m.call(m.str(u"a1"), "replace", {m.re(u"\\d"), fn})), QString("a<1|1|a1>"));
    QCOMPARE(m.text(m.call(m.str(u"a1"), "replace", {m.re(u"\\d"), Value(m.vm.builtins().string)})),
             QString("a[class String]"));
    // A string pattern is found literally, and its $ patterns still apply.
    QCOMPARE(m.text(m.call(m.str(u"a.b.c"), "replace", {m.str(u"."), m.str(u"[$&]")})),
             QString("a[.]b.c"));
}

void RegExpClassTest::stringSplit()
{
    Machine m;
    const Value s = m.str(u"a1b22c");
    QCOMPARE(m.text(m.call(s, "split", {m.re(u"\\d+")})), QString("a,b,c"));
    QCOMPARE(m.text(m.call(s, "split", {m.re(u"(\\d)+")})), QString("a,1,b,2,c"));
    QCOMPARE(m.text(m.call(s, "split", {m.re(u"\\d+"), Value(2)})), QString("a,b"));
    QCOMPARE(m.text(m.call(s, "split", {m.re(u"")})), QString("a,1,b,2,2,c"));
    QCOMPARE(m.text(m.get(m.call(s, "split", {m.re(u"x*")}), "length")), QString("1"));
    QCOMPARE(m.text(m.get(m.call(m.str(u""), "split", {m.str(u"")}), "length")), QString("1"));
    QCOMPARE(m.text(m.get(m.call(m.str(u""), "split", {m.re(u"")}), "length")), QString("0"));
}

QTEST_APPLESS_MAIN(RegExpClassTest)
#include "RegExpClassTest.moc"
