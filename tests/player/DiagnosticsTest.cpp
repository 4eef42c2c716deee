// The engine's diagnostics in the player: each category in its own Qt logging category,
// off unless a logging rule asks for it, the file reader's notes among them.
#include "FlawedMovies.h"
#include "player/MovieSession.h"

#include <QLoggingCategory>
#include <QtTest>

using namespace swfwriter;

namespace {

struct Logged {
    QString category;
    QString message;
};

std::vector<Logged> s_logged;

void keepMessage(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    s_logged.push_back({QString::fromUtf8(context.category), message});
}

// A movie with one tolerated defect and a placement of an id it never defines.
swf::MoviePtr flawedMovie()
{
    auto loaded = swf::loadMovie(movieWithTwoFlaws().bytes());
    return loaded ? *loaded : nullptr;
}

} // namespace

class DiagnosticsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        QLoggingCategory::setFilterRules(QString());
        s_logged.clear();
    }

    void categories_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QStringList>("expected"); // "category: part of the message"
        QTest::newRow("off by default") << QString() << QStringList{};
        QTest::newRow("format notes as the movie loads")
            << "reelvane.format.debug=true"
            << QStringList{"reelvane.format: character 1 defined twice"};
        QTest::newRow("display") << "reelvane.display.debug=true"
                                 << QStringList{"reelvane.display: no definition for"};
        QTest::newRow("every category")
            << "reelvane.*.debug=true"
            << QStringList{"reelvane.format: defined twice", "reelvane.display: no definition"};
        QTest::newRow("the old names are gone") << "reelvane.runtime.*.debug=true" << QStringList{};
    }
    void categories()
    {
        QFETCH(QString, rules);
        QFETCH(QStringList, expected);
        const swf::MoviePtr movie = flawedMovie();
        QVERIFY(movie);
        QLoggingCategory::setFilterRules(rules);
        qInstallMessageHandler(keepMessage);
        player::MovieSession session(movie);
        qInstallMessageHandler(nullptr);
        QStringList seen;
        for (const Logged& entry : s_logged)
            seen << entry.category + ": " + entry.message;
        QCOMPARE(seen.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const QString category = expected[i].section(": ", 0, 0);
            const QString part = expected[i].section(": ", 1);
            QCOMPARE(s_logged[std::size_t(i)].category, category);
            QVERIFY2(s_logged[std::size_t(i)].message.contains(part), qPrintable(seen[i]));
        }
    }
};

QTEST_MAIN(DiagnosticsTest)
#include "DiagnosticsTest.moc"
