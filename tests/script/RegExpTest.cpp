// Regular expressions as ActionScript 3 matches them: ECMAScript's rules where PCRE2's
// differ, the reference's flags and named groups, and the String helpers built on
// matching (replacement patterns, split, matching through a subject).
#include "script/regexp/CompiledRegExp.h"
#include "script/regexp/MatchAll.h"
#include "script/regexp/Replacement.h"
#include "script/regexp/Split.h"

#include <QtTest>

using namespace script::regexp;

namespace {

std::u16string text(const QString& s)
{
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()),
                          static_cast<std::size_t>(s.size()));
}

QString qtext(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// A match's groups, "|" between them and "~" for a group not set; "null" for no
// match, "error" for a source that is no pattern, "limit" for a search stopped by its
// budget.
QString describe(const QString& pattern, const QString& flags, const QString& subject, int start)
{
    auto compiled = CompiledRegExp::compile(text(pattern), parseRegExpFlags(text(flags)));
    if (!compiled)
        return QStringLiteral("error");
    const std::u16string s = text(subject);
    const ExecResult result = compiled->exec(s, static_cast<std::size_t>(start));
    if (result.status == MatchStatus::LimitExceeded)
        return QStringLiteral("limit");
    if (!result.matched())
        return QStringLiteral("null");
    QStringList groups;
    for (const auto& g : result.match.groups)
        groups << (g ? qtext(std::u16string_view(s).substr(g->begin, g->length()))
                     : QStringLiteral("~"));
    if (result.match.groups.size() != compiled->captureCount() + 1)
        groups << QStringLiteral("(group count differs)");
    return groups.join(u'|');
}

QString joinPieces(const SplitResult& result, std::u16string_view subject)
{
    QStringList pieces;
    for (const auto& p : result.pieces)
        pieces << (p ? qtext(subject.substr(p->begin, p->length())) : QStringLiteral("~"));
    return pieces.join(u',');
}

} // namespace

class RegExpTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exec_data();
    void exec();
    void flagsAndNames();
    void catastrophicBacktrackingStops();
    void replacement_data();
    void replacement();
    void split_data();
    void split();
    void matchAllAdvancesPastEmptyMatches();
    void expansionStopsAtItsLimit();
};

void RegExpTest::exec_data()
{
    // clang-format off
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("expected");

    // The worked examples of ECMAScript's pattern semantics.
    QTest::newRow("first alternative wins") << "a|ab" << "" << "abc" << 0 << "a";
    QTest::newRow("alternatives with groups") << "((a)|(ab))((c)|(bc))" << "" << "abc" << 0 << "abc|a|a|~|bc|~|bc";
    QTest::newRow("greedy bounded") << "a[a-z]{2,4}" << "" << "abcdefghi" << 0 << "abcde";
    QTest::newRow("lazy bounded") << "a[a-z]{2,4}?" << "" << "abcdefghi" << 0 << "abc";
    QTest::newRow("backtracking into the loop") << "(aa|aabaac|ba|b|c)*" << "" << "aabaac" << 0 << "aaba|ba";
    QTest::newRow("captures cleared on each iteration") << "(z)((a+)?(b+)?(c))*" << "" << "zaacbbbcac" << 0 << "zaacbbbcac|z|ac|a|~|c";
    QTest::newRow("empty iteration is not taken") << "(a*)*" << "" << "b" << 0 << "|~";
    QTest::newRow("empty last iteration keeps the one before") << "(a|)*" << "" << "aa" << 0 << "aa|a";
    QTest::newRow("optional group that matches empty") << "(a*)?" << "" << "b" << 0 << "|~";
    QTest::newRow("plus takes an empty first iteration") << "(a*)+" << "" << "b" << 0 << "|";
    QTest::newRow("plus takes no empty later iteration") << "(a|)+" << "" << "aa" << 0 << "aa|a";
    QTest::newRow("from one takes no empty later iteration") << "(a|)(?:(b|))+" << "" << "ab" << 0 << "ab|a|b";
    QTest::newRow("from one within a loop") << "(?:x(a|)+)*" << "" << "xaxa" << 0 << "xaxa|a";
    QTest::newRow("nested repeats clear inner captures") << "((a)|(b))+" << "" << "ab" << 0 << "ab|b|~|b";
    QTest::newRow("lookahead captures") << "(?=(a+))a*b\\1" << "" << "baaabac" << 0 << "aba|a";
    QTest::newRow("negative lookahead leaves groups unset") << "(.*?)a(?!(a+)b\\2c)\\2(.*)" << "" << "baaabaac" << 0 << "baaabaac|ba|~|abaac";
    QTest::newRow("unset back reference matches empty") << "(a)|b\\1" << "" << "b" << 0 << "b|~";
    QTest::newRow("forward back reference matches empty") << "\\1(a)" << "" << "a" << 0 << "a|a";
    QTest::newRow("back reference inside its own group") << "(a\\1)" << "" << "aa" << 0 << "a|a";
    QTest::newRow("two digit back reference") << "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\10" << "" << "abcdefghijj" << 0 << "abcdefghijj|a|b|c|d|e|f|g|h|i|j";
    QTest::newRow("\\10 with one group is \\1 then 0") << "(a)\\10" << "" << "aa0" << 0 << "aa0|a";

    // Escapes that mean otherwise to PCRE2.
    QTest::newRow("\\v is one character") << "a\\vb" << "" << "a\vb" << 0 << "a\vb";
    QTest::newRow("\\v is not a newline") << "a\\vb" << "" << "a\nb" << 0 << "null";
    QTest::newRow("\\0 is NUL") << "a\\0" << "" << QString("a") + QChar(0) << 0 << QString("a") + QChar(0);
    QTest::newRow("octal escape beyond the groups") << "\\101" << "" << "A" << 0 << "A";
    QTest::newRow("\\8 without groups stands for itself") << "\\8" << "" << "8" << 0 << "8";
    QTest::newRow("\\cJ is a newline") << "\\cJ" << "" << "\n" << 0 << "\n";
    QTest::newRow("\\c without a letter is a backslash") << "\\c1" << "" << "\\c1" << 0 << "\\c1";
    QTest::newRow("\\x two digits") << "\\x41" << "" << "A" << 0 << "A";
    QTest::newRow("\\x without digits is x") << "\\xg" << "" << "xg" << 0 << "xg";
    QTest::newRow("\\u four digits") << "\\u00e9" << "" << "\u00e9" << 0 << "\u00e9";
    QTest::newRow("\\u short is u") << "\\u12" << "" << "u12" << 0 << "u12";
    QTest::newRow("identity escape of a letter") << "\\e\\z\\Q" << "" << "ezQ" << 0 << "ezQ";
    QTest::newRow("\\k stands for itself") << "\\k<a>" << "" << "k<a>" << 0 << "k<a>";
    QTest::newRow("\\s takes form feed and return") << "\\s+" << "" << "a\f\r\n\t b" << 0 << "\f\r\n\t ";
    QTest::newRow("\\s leaves the no-break space") << "\\s" << "" << "\u00a0" << 0 << "null";
    QTest::newRow("\\s leaves the vertical tab") << "\\s" << "" << "\v" << 0 << "null";
    QTest::newRow("\\S in a class") << "[\\S]+" << "" << " ab\u3000 " << 0 << "ab\u3000";
    QTest::newRow("\\w is ASCII") << "\\w+" << "" << "\u00e9ab" << 0 << "ab";
    QTest::newRow("\\b is a backspace in a class") << "[\\b]" << "" << "\b" << 0 << "\b";
    QTest::newRow("\\b is a word boundary outside") << "\\bb" << "" << "ab b" << 0 << "b";

    // Classes.
    QTest::newRow("[] matches nothing") << "a[]" << "" << "a]" << 0 << "null";
    QTest::newRow("[^] matches anything") << "a[^]b" << "" << "a\nb" << 0 << "a\nb";
    QTest::newRow("first ] closes the class") << "[]a]" << "" << "a]" << 0 << "null";
    QTest::newRow("hyphen beside a class escape") << "[\\d-z]+" << "" << "1-z" << 0 << "1-z";
    QTest::newRow("hyphen last") << "[a-]+" << "" << "a-a" << 0 << "a-a";
    QTest::newRow("range out of order") << "[z-a]" << "" << "a" << 0 << "error";
    QTest::newRow("negated class") << "[^a-c]+" << "" << "abcdef" << 0 << "def";

    // Anchors and the dot.
    QTest::newRow("$ only at the very end") << "a$" << "" << "a\n" << 0 << "null";
    QTest::newRow("$ at a line end with m") << "a$" << "m" << "a\nb" << 0 << "a";
    QTest::newRow("^ not at the start offset") << "^b" << "" << "ab" << 1 << "null";
    QTest::newRow("^ after a line feed with m") << "^b" << "m" << "a\nb" << 0 << "b";
    QTest::newRow("^ not after a final line feed with m") << "^$" << "m" << "a\n" << 1 << "null";
    QTest::newRow("^ at an empty line with m") << "^$" << "m" << "a\n\nb" << 1 << "";
    QTest::newRow("^ at the start of the empty subject with m") << "^$" << "m" << "" << 0 << "";
    QTest::newRow("^ not after a carriage return with m") << "^b" << "m" << "a\rb" << 0 << "null";
    QTest::newRow("^ not after the paragraph separator with m") << "^b" << "m" << "a\u2029b" << 0 << "null";
    QTest::newRow("$ not before a carriage return with m") << "a$" << "m" << "a\rb" << 0 << "null";
    QTest::newRow("$ at the end with m") << "b$" << "m" << "a\nb" << 0 << "b";
    QTest::newRow("dot stops at a line feed") << "a.b" << "" << "a\nb" << 0 << "null";
    QTest::newRow("dot takes a carriage return") << "a.b" << "" << "a\rb" << 0 << "a\rb";
    QTest::newRow("dot takes the line separator") << "a.b" << "" << "a\u2028b" << 0 << "a\u2028b";
    QTest::newRow("dot takes a newline with s") << ".bar" << "s" << "foo\nbar" << 0 << "\nbar";
    QTest::newRow("dot takes one lone surrogate") << "a.b" << "" << QString("a") + QChar(0xD800) + "b" << 0 << QString("a") + QChar(0xD800) + "b";

    // Quantifiers and braces.
    QTest::newRow("brace that is no quantifier") << "a{,2}" << "" << "a{,2}" << 0 << "a{,2}";
    QTest::newRow("lone braces") << "{}a}" << "" << "{}a}" << 0 << "{}a}";
    QTest::newRow("open brace quantifier") << "a{2,}" << "" << "aaaa" << 0 << "aaaa";
    QTest::newRow("bounds out of order") << "a{3,2}" << "" << "aaa" << 0 << "error";
    QTest::newRow("nothing to repeat") << "*a" << "" << "a" << 0 << "error";
    QTest::newRow("quantified anchor") << "^*" << "" << "a" << 0 << "error";
    QTest::newRow("double quantifier") << "a**" << "" << "a" << 0 << "error";
    QTest::newRow("quantifier after a lazy one") << "a+?+" << "" << "a" << 0 << "error";
    QTest::newRow("brace quantifier at the start") << "{2}" << "" << "a" << 0 << "error";

    // Groups.
    QTest::newRow("named group") << "(?P<year>\\d{4})-(?P<m>\\d\\d)" << "" << "on 2024-05" << 0 << "2024-05|2024|05";
    QTest::newRow("named back reference") << "(?P<g>abc)-123-(?P=g)" << "g" << "abc-123-abc" << 0 << "abc-123-abc|abc";
    QTest::newRow("named back reference fails") << "(?P<g>abc)-123-(?P=g)" << "g" << "abc-456-abc" << 0 << "null";
    QTest::newRow("reference to an unknown name") << "(?P=x)" << "" << "" << 0 << "error";
    QTest::newRow("duplicate names") << "(?P<a>x)(?P<a>y)" << "" << "xy" << 0 << "error";
    QTest::newRow("lookbehind is refused") << "(?<=a)b" << "" << "ab" << 0 << "error";
    QTest::newRow("PCRE option groups are refused") << "(?i)a" << "" << "A" << 0 << "error";
    QTest::newRow("missing )") << "(a" << "" << "a" << 0 << "error";
    QTest::newRow("unmatched )") << "a)" << "" << "a)" << 0 << "error";
    QTest::newRow("missing ]") << "[a" << "" << "a" << 0 << "error";
    QTest::newRow("trailing backslash") << "a\\" << "" << "a\\" << 0 << "error";

    // Flags.
    QTest::newRow("caseless ASCII") << "(\\w*)sh(\\w*)" << "ig" << "She sells" << 0 << "She||e";
    QTest::newRow("caseless class") << "[a-c]+" << "i" << "xAbC" << 0 << "AbC";
    QTest::newRow("caseless negated class") << "[^a]+" << "i" << "Abc" << 0 << "bc";
    QTest::newRow("caseless back reference") << "(a)\\1" << "i" << "aA" << 0 << "aA|a";
    QTest::newRow("accented letters keep their case") << "\u00e9" << "i" << "\u00c9" << 0 << "null";
    QTest::newRow("Cyrillic keeps its case") << "[\u0430-\u044f]" << "i" << "\u041f" << 0 << "null";
    QTest::newRow("long s does not match s") << "s" << "i" << "\u017f" << 0 << "null";
    QTest::newRow("Kelvin sign does not match k") << "k" << "i" << "\u212a" << 0 << "null";
    QTest::newRow("case matters without i") << "ABC" << "" << "abc" << 0 << "null";
    QTest::newRow("extended ignores space and comments") << "a b # note\n c+" << "x" << "abcc" << 0 << "abcc";
    QTest::newRow("extended keeps space in classes") << "a[ ]b" << "x" << "a b" << 0 << "a b";
    QTest::newRow("extended between atom and quantifier") << "a +" << "x" << "aaa" << 0 << "aaa";
    QTest::newRow("space matters without x") << "a b" << "" << "ab" << 0 << "null";

    // Searching from an offset.
    QTest::newRow("search from an offset") << "\\d+" << "" << "12 34" << 2 << "34";
    QTest::newRow("start past the end") << "" << "" << "ab" << 3 << "null";
    QTest::newRow("empty pattern at the end") << "" << "" << "ab" << 2 << "";
    // clang-format on
}

void RegExpTest::exec()
{
    QFETCH(QString, pattern);
    QFETCH(QString, flags);
    QFETCH(QString, subject);
    QFETCH(int, start);
    QFETCH(QString, expected);
    QCOMPARE(describe(pattern, flags, subject, start), expected);
}

void RegExpTest::flagsAndNames()
{
    const RegExpFlags all = parseRegExpFlags(u"sxgim");
    QVERIFY(all.global && all.ignoreCase && all.multiline && all.dotAll && all.extended);
    QCOMPARE(qtext(regExpFlagsText(all)), QStringLiteral("gimsx"));
    // Upper case letters and strangers are ignored; repeats count once.
    QCOMPARE(qtext(regExpFlagsText(parseRegExpFlags(u"SXGIM|%?-/.\u3042a"))), QString());
    QCOMPARE(qtext(regExpFlagsText(parseRegExpFlags(u"ssgg"))), QStringLiteral("gs"));

    auto re = CompiledRegExp::compile(u"(a)(?P<first>b)(?:c)(?P<second>d)(?=(e))",
                                      parseRegExpFlags(u"g"));
    QVERIFY(re.ok());
    QCOMPARE(re->captureCount(), std::size_t(4));
    const std::vector<GroupName> names{{u"first", 2}, {u"second", 3}};
    QVERIFY(re->groupNames() == names);
    QVERIFY(re->source() == u"(a)(?P<first>b)(?:c)(?P<second>d)(?=(e))");
    QVERIFY(re->flags().global);

    auto bad = CompiledRegExp::compile(u"(", {});
    QVERIFY(!bad.ok());
    QCOMPARE(bad.error().code, swf::ErrorCode::BadValue);
    std::u16string deep(300, u'(');
    deep += std::u16string(300, u')');
    QCOMPARE(CompiledRegExp::compile(deep, {}).error().code, swf::ErrorCode::TooDeep);
    QCOMPARE(CompiledRegExp::compile(u"a{70000}", {}).error().code, swf::ErrorCode::TooLarge);
}

void RegExpTest::catastrophicBacktrackingStops()
{
    auto re = CompiledRegExp::compile(u"(a+)+[bc]", {});
    QVERIFY(re.ok());
    const std::u16string subject(40, u'a');
    QCOMPARE(re->exec(subject, 0).status, MatchStatus::LimitExceeded);
    // The same pattern still matches where it can.
    QCOMPARE(re->exec(u"aab", 0).status, MatchStatus::Matched);
}

void RegExpTest::replacement_data()
{
    // clang-format off
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    const QString tenGroups =
        "(\\w+)-(\\w+)-(\\w+)-(\\w+)-(\\w+)-(\\w+)-(\\w+)-(\\w+)-(\\w+)-(\\w+)";
    const QString ten = "one-two-three-four-five-six-seven-eight-nine-ten";
    QTest::newRow("swap") << "(\\w+)-(\\w+)" << "g" << "one-two" << "$2-$1" << "two-one";
    QTest::newRow("nine groups") << tenGroups << "g" << ten << "$9-$8-$7-$6-$5-$4-$3-$2-$1" << "nine-eight-seven-six-five-four-three-two-one";
    QTest::newRow("two digits when there are ten") << tenGroups << "g" << ten << "$10-$1" << "ten-one";
    QTest::newRow("one digit when there are fewer") << "(\\w+)-(\\w+)" << "" << "one-two" << "$10" << "one0";
    QTest::newRow("$ before a letter") << "(\\w+)-(\\w+)" << "g" << "one-two" << "$2-$A" << "two-$A";
    QTest::newRow("$0N then N") << "(\\w+)-(\\w+)" << "g" << "one-two" << "$02-$01" << "two2-one1";
    QTest::newRow("$0 alone") << "(a)" << "" << "a" << "$0" << "$0";
    QTest::newRow("group beyond the count") << "(a)" << "" << "a" << "$2" << "$2";
    QTest::newRow("unset group is empty") << "(a)|(b)" << "" << "b" << "[$1]" << "[]";
    QTest::newRow("dollar, match, before, after") << "b" << "" << "abc" << "$$|$&|$`|$'" << "a$|b|a|cc";
    QTest::newRow("trailing dollar") << "b" << "" << "abc" << "$" << "a$c";
    QTest::newRow("no named expansion") << "(?P<n>b)" << "" << "abc" << "$<n>" << "a$<n>c";
    QTest::newRow("first match only") << "o" << "" << "foo" << "0" << "f0o";
    QTest::newRow("every match") << "o" << "g" << "foo" << "0" << "f00";
    QTest::newRow("global empty matches") << "x*" << "g" << "ab" << "-" << "-a-b-";
    QTest::newRow("line starts with gm") << "^ *" << "gm" << "foo\n  bar" << "* " << "* foo\n* bar";
    QTest::newRow("no match") << "z" << "g" << "abc" << "-" << "abc";
    // clang-format on
}

void RegExpTest::replacement()
{
    QFETCH(QString, pattern);
    QFETCH(QString, flags);
    QFETCH(QString, subject);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    const RegExpFlags f = parseRegExpFlags(text(flags));
    auto re = CompiledRegExp::compile(text(pattern), f);
    QVERIFY(re.ok());
    const ReplaceResult result = replaceMatches(*re, text(subject), text(replacement), f.global);
    QCOMPARE(result.status, MatchStatus::Matched);
    QCOMPARE(qtext(result.text), expected);
}

void RegExpTest::split_data()
{
    // clang-format off
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<uint>("limit");
    QTest::addColumn<QString>("expected");
    const uint all = 0xFFFFFFFFu;
    QTest::newRow("runs") << "b+" << "abbabc" << all << "a,a,c";
    QTest::newRow("no match") << "b" << "ccccc" << all << "ccccc";
    QTest::newRow("match everything") << ".*" << "cccc" << all << ",";
    QTest::newRow("groups between pieces") << "(b(b))" << "abba" << all << "a,bb,b,a";
    QTest::newRow("unset group") << "(x)?b" << "abc" << all << "a,~,c";
    QTest::newRow("empty source splits code units") << "" << "a\u0105\u0142" << all << "a,\u0105,\u0142";
    QTest::newRow("empty matches separate nothing") << "(?:)" << "a\u0105\u0142" << all << "a\u0105\u0142";
    QTest::newRow("empty match beside a real one") << "a*" << "ab" << all << ",b";
    QTest::newRow("zero length star") << "f*" << "abcde" << all << "abcde";
    QTest::newRow("separator at both ends") << "," << ",a," << all << ",a,";
    QTest::newRow("limit") << "b" << "a\u0105baababa" << 3u << "a\u0105,aa,a";
    QTest::newRow("limit zero") << "b" << "abc" << 0u << "";
    QTest::newRow("limit stops the groups, not the next piece") << "(b(b))" << "a\u0105bbaabbabbabbabbabba" << 5u << "a\u0105,bb,b,aa,bb,a";
    QTest::newRow("limit on code units") << "" << "abc" << 2u << "a,b";
    // clang-format on
}

void RegExpTest::split()
{
    QFETCH(QString, pattern);
    QFETCH(QString, subject);
    QFETCH(uint, limit);
    QFETCH(QString, expected);
    auto re = CompiledRegExp::compile(text(pattern), {});
    QVERIFY(re.ok());
    const std::u16string s = text(subject);
    const SplitResult result = splitByRegExp(*re, s, limit);
    QCOMPARE(result.status, MatchStatus::Matched);
    QCOMPARE(joinPieces(result, s), expected);
}

void RegExpTest::matchAllAdvancesPastEmptyMatches()
{
    auto digits = CompiledRegExp::compile(u"\\d{2}", {});
    QVERIFY(digits.ok());
    const MatchList pairs = matchAll(*digits, u"123456abcde7890");
    QCOMPARE(pairs.matches.size(), std::size_t(5));
    QCOMPARE(pairs.matches[4].whole(), (Span{13, 15}));

    auto empty = CompiledRegExp::compile(u"(?=b)|x*", {});
    QVERIFY(empty.ok());
    const MatchList list = matchAll(*empty, u"ab");
    QCOMPARE(list.status, MatchStatus::Matched);
    QCOMPARE(list.matches.size(), std::size_t(3));
    QCOMPARE(list.matches[1].whole(), (Span{1, 1}));
    QCOMPARE(list.matches[2].whole(), (Span{2, 2}));

    // An empty subject splits to nothing when the expression matches it.
    auto star = CompiledRegExp::compile(u".*", {});
    QVERIFY(star.ok());
    QVERIFY(splitByRegExp(*star, u"", 10).pieces.empty());
    auto b = CompiledRegExp::compile(u"b", {});
    QVERIFY(b.ok());
    QCOMPARE(splitByRegExp(*b, u"", 10).pieces.size(), std::size_t(1));
}

void RegExpTest::expansionStopsAtItsLimit()
{
    Match whole;
    whole.groups.push_back(Span{0, 6});
    std::u16string out;
    QVERIFY(appendExpansion(out, u"$&-$&", u"abcdef", whole, 13));
    QCOMPARE(out, std::u16string(u"abcdef-abcdef"));
    // Each step may add a whole subject: the expansion stops before passing the limit.
    out.clear();
    QVERIFY(!appendExpansion(out, u"$&$&$&$&", u"abcdef", whole, 20));
    QVERIFY(out.size() <= 20);
    QCOMPARE(out.substr(0, 12), std::u16string(u"abcdefabcdef"));
    out = u"0123456789";
    QVERIFY(!appendExpansion(out, u"x", u"", whole, 10));
    QCOMPARE(out.size(), std::size_t(10));
}

QTEST_GUILESS_MAIN(RegExpTest)
#include "RegExpTest.moc"
