// GetProperty and SetProperty with property numbers that name no display property:
// infinities and huge numbers found by the action fuzzer (their conversion to int was
// undefined behaviour, which the sanitizer build reports). They read undefined and
// assign nothing, and ordinary numbers still work beside them.
#include "ScriptRun.h"

#include <QtTest>
#include <functional>
#include <limits>

using namespace swfwriter;

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct Case {
    const char* name;
    std::function<void(ActionWriter&)> code;
    const char* expected;
};

// Traces the main timeline's _x (property 0).
void traceX(ActionWriter& a)
{
    a.push({"", 0}).op(Op::GetProperty).op(Op::Trace);
}

} // namespace

class DisplayPropertyIndexTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numbersNamingNoProperty();
};

void DisplayPropertyIndexTest::numbersNamingNoProperty()
{
    const std::vector<Case> cases = {
        {"reading through infinity",
         [](ActionWriter& a) {
             a.push({"", Double{kInfinity}}).op(Op::GetProperty).op(Op::Trace);
         },
         "undefined"},
        {"reading through minus infinity",
         [](ActionWriter& a) {
             a.push({"", Double{-kInfinity}}).op(Op::GetProperty).op(Op::Trace);
         },
         "undefined"},
        {"reading through a number past every int",
         [](ActionWriter& a) {
             a.push({"", Double{1e300}}).op(Op::GetProperty).op(Op::Trace);
         },
         "undefined"},
        {"assigning through infinity changes nothing",
         [](ActionWriter& a) {
             a.push({"", Double{kInfinity}, 50}).op(Op::SetProperty);
             a.push({"", Double{-kInfinity}, 60}).op(Op::SetProperty);
             traceX(a);
         },
         "0"},
        {"an ordinary number still assigns and reads",
         [](ActionWriter& a) {
             a.push({"", 0, 30}).op(Op::SetProperty);
             traceX(a);
         },
         "30"},
    };
    for (const Case& c : cases) {
        ActionWriter a;
        c.code(a);
        const std::string got = scriptrun::joined(scriptrun::run(6, a));
        if (got != c.expected)
            qWarning("case %s", c.name);
        QCOMPARE(QString::fromStdString(got), QString::fromUtf8(c.expected));
    }
}

QTEST_GUILESS_MAIN(DisplayPropertyIndexTest)
#include "DisplayPropertyIndexTest.moc"
