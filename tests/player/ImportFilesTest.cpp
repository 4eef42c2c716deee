// The host's side of imports: which files beside a movie an import may read, and a
// movie loaded with the library lying beside it; scripts load their files the same way.
#include "ActionWriter.h"
#include "MovieWriter.h"
#include "ShapeWriter.h"
#include "player/MovieLoader.h"
#include "player/MovieSession.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTest>

using namespace swfwriter;

namespace {

std::vector<std::uint8_t> library()
{
    MovieWriter movie(6);
    ShapeWriter shape;
    shape.fill1(shape.addFill(FillStyle::solid({0, 128, 0}))).rect(0, 0, 100, 100);
    movie.add(shape.tagCode(), shape.body(1));
    movie.exportAssets({{1, "box"}});
    movie.showFrame();
    return movie.bytes();
}

std::vector<std::uint8_t> importer(const std::string& url)
{
    MovieWriter movie(8);
    movie.importAssets(url, {{3, "box"}}, 2);
    Place place;
    place.characterId = 3;
    movie.place2(place);
    movie.showFrame();
    return movie.bytes();
}

// lv = new LoadVars(); lv.onData = function(src) { trace(src); }; lv.load(url);
std::vector<std::uint8_t> loader(const std::string& url)
{
    ActionWriter onData;
    onData.push({"src"}).op(Op::GetVariable).op(Op::Trace);
    ActionWriter code;
    code.push({"lv", 0, "LoadVars"}).op(Op::NewObject).op(Op::SetVariable);
    code.push({"lv"}).op(Op::GetVariable).push({"onData"});
    code.defineFunction("", {"src"}, onData).op(Op::SetMember);
    code.push({url, 1, "lv"}).op(Op::GetVariable).push({"load"}).op(Op::CallMethod).op(Op::Pop);
    MovieWriter movie(8);
    movie.fileAttributes();
    movie.doAction(code.end().bytes());
    movie.showFrame();
    movie.showFrame();
    return movie.bytes();
}

std::vector<QString> s_traced;

void keepTrace(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (QByteArray(context.category) == "reelvane.trace")
        s_traced.push_back(message);
}

void write(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

} // namespace

class ImportFilesTest : public QObject {
    Q_OBJECT

private:
    // root/secret.swf, and the movie's folder root/movie with lib.swf, "my lib.swf",
    // sub/deep.swf and a link leading out to the secret.
    QTemporaryDir m_root;
    QString m_folder;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_folder = m_root.filePath("movie");
        QVERIFY(QDir().mkpath(m_folder + "/sub"));
        write(m_root.filePath("secret.swf"), library());
        write(m_folder + "/lib.swf", library());
        write(m_folder + "/my lib.swf", library());
        write(m_folder + "/sub/deep.swf", library());
        QVERIFY(QFile::link(m_root.filePath("secret.swf"), m_folder + "/link.swf"));
    }

    void whichFilesAnImportMayRead_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("file"); // below the movie's folder; empty: refused
        QTest::addColumn<QString>("why");
        QTest::newRow("beside the movie") << "lib.swf"
                                          << "lib.swf"
                                          << "";
        QTest::newRow("in a folder below") << "sub/deep.swf"
                                           << "sub/deep.swf"
                                           << "";
        QTest::newRow("down and up again") << "sub/../lib.swf"
                                           << "lib.swf"
                                           << "";
        QTest::newRow("a file url") << "file:lib.swf"
                                    << "lib.swf"
                                    << "";
        QTest::newRow("backslashes") << "sub\\deep.swf"
                                     << "sub/deep.swf"
                                     << "";
        QTest::newRow("a query") << "lib.swf?version=2"
                                 << "lib.swf"
                                 << "";
        QTest::newRow("percent-encoded") << "my%20lib.swf"
                                         << "my lib.swf"
                                         << "";
        QTest::newRow("a name in another case") << "LIB.SWF"
                                                << "lib.swf"
                                                << "";
        QTest::newRow("leaving the folder") << "../secret.swf"
                                            << ""
                                            << "outside";
        QTest::newRow("leaving it through a link") << "link.swf"
                                                   << ""
                                                   << "outside";
        QTest::newRow("an absolute path") << "/etc/hostname"
                                          << ""
                                          << "absolute";
        QTest::newRow("an absolute file url") << "file:///etc/hostname"
                                              << ""
                                              << "absolute";
        QTest::newRow("a drive letter") << "C:\\lib.swf"
                                        << ""
                                        << "absolute";
        QTest::newRow("another scheme") << "http://example.com/lib.swf"
                                        << ""
                                        << "not a local";
        QTest::newRow("nothing there") << "missing.swf"
                                       << ""
                                       << "no such file";
        QTest::newRow("a folder") << "sub"
                                  << ""
                                  << "not a file";
        QTest::newRow("empty") << ""
                               << ""
                               << "no file name";
    }
    void whichFilesAnImportMayRead()
    {
        QFETCH(QString, url);
        QFETCH(QString, file);
        QFETCH(QString, why);
        const auto path = player::importedFilePath(m_folder, url.toStdString());
        if (file.isEmpty()) {
            QVERIFY(!path);
            QVERIFY2(QString::fromStdString(path.error().message()).contains(why),
                     path.error().message().c_str());
            return;
        }
        QVERIFY2(path, path ? "" : path.error().message().c_str());
        QCOMPARE(*path, QFileInfo(m_folder + "/" + file).canonicalFilePath());
    }

    void aMovieLoadsWithTheLibraryBesideIt()
    {
        write(m_folder + "/main.swf", importer("lib.swf"));
        const auto movie = player::loadMovieFile(m_folder + "/main.swf");
        QVERIFY(movie);
        QVERIFY((*movie)->notes.empty());
        QVERIFY((*movie)->get<swf::Shape>(3));
    }

    void aRefusedImportIsANoteAndTheMoviePlays()
    {
        write(m_folder + "/prying.swf", importer("../secret.swf"));
        const auto movie = player::loadMovieFile(m_folder + "/prying.swf");
        QVERIFY(movie);
        QVERIFY(!(*movie)->character(3));
        QCOMPARE((*movie)->notes.size(), std::size_t(1));
        QVERIFY((*movie)->notes[0].find("outside") != std::string::npos);
    }

    // What the launcher's player gives a script: files beside the movie, nothing outside.
    void scriptsLoadFilesBesideTheMovie()
    {
        QFile note(m_folder + "/note.txt");
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.write("hello=1");
        note.close();
        QLoggingCategory::setFilterRules("reelvane.trace.debug=true");
        const auto previous = qInstallMessageHandler(keepTrace);
        for (const std::string url : {"note.txt", "../secret.swf"}) {
            const auto movie = swf::loadMovie(loader(url));
            QVERIFY(movie);
            player::MovieSession session(*movie, player::importFetcherFor(m_folder));
            session.advance(1);
        }
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
        QCOMPARE(s_traced, (std::vector<QString>{"hello=1", "undefined"}));
    }

    void anImportLargerThanTheBudgetIsNotRead()
    {
        const auto fetch = player::importFetcherFor(m_folder);
        const auto size = QFileInfo(m_folder + "/lib.swf").size();
        QVERIFY(fetch("lib.swf", std::size_t(size)));
        const auto tooLarge = fetch("lib.swf", std::size_t(size - 1));
        QVERIFY(!tooLarge);
        QCOMPARE(tooLarge.error().code, swf::ErrorCode::TooLarge);
    }
};

QTEST_APPLESS_MAIN(ImportFilesTest)
#include "ImportFilesTest.moc"
