#pragma once

// Table-driven script cases: each a name, a SWF version, the code it runs and the lines
// it must trace, compared one case after another.
#include "ScriptRun.h"

#include <QtTest>
#include <functional>
#include <vector>

namespace scriptrun {

struct Case {
    const char* name;
    int version;
    std::function<void(swfwriter::ActionWriter&)> code;
    const char* expected;
};

inline void runCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        swfwriter::ActionWriter a;
        c.code(a);
        const std::string got = joined(run(c.version, a));
        if (got != c.expected)
            qWarning("case %s", c.name);
        QCOMPARE(QString::fromStdString(got), QString::fromUtf8(c.expected));
    }
}

} // namespace scriptrun
