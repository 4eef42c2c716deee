// The program as started from a folder: one instance per user and executable, the
// arguments ignored, nothing printed on a normal run.
#include "windowing/Application.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Whether some process holds the instance claim of `executable`: a bind of the same
// abstract name fails while it does.
bool claimHeld(const QString& executable)
{
    const QByteArray key =
        windowing::instanceKey(::getuid(), QFileInfo(executable).canonicalFilePath());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, key.constData(), static_cast<std::size_t>(key.size()));
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + key.size());
    const bool held =
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 && errno == EADDRINUSE;
    ::close(fd);
    return held;
}

bool waitForClaim(const QString& executable, bool held)
{
    for (int i = 0; i < 200; ++i) {
        if (claimHeld(executable) == held)
            return true;
        QTest::qWait(50);
    }
    return false;
}

void startLauncher(QProcess& process, const QString& executable, const QStringList& arguments = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(executable, arguments);
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_folder.isValid());
        m_executable = m_folder.filePath(QStringLiteral("reelvane"));
        QFile::remove(m_executable);
        QVERIFY(QFile::copy(QStringLiteral(REELVANE_EXECUTABLE), m_executable));
    }

    void secondStartExitsAtOnceWithNothingShownOrSaid()
    {
        QProcess first;
        startLauncher(first, m_executable);
        QVERIFY(waitForClaim(m_executable, true));

        QProcess second;
        startLauncher(second, m_executable, {"-qwindowtitle", "other", "--help", "movie.swf"});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        QCOMPARE(second.readAllStandardError(), QByteArray());
        QCOMPARE(first.state(), QProcess::Running);

        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.readAllStandardError(), QByteArray());
        QCOMPARE(first.readAllStandardOutput(), QByteArray());
    }

    void aCrashedInstanceNeverBlocksTheNextStart()
    {
        QProcess first;
        startLauncher(first, m_executable);
        QVERIFY(waitForClaim(m_executable, true));
        ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(waitForClaim(m_executable, false));

        QProcess next;
        startLauncher(next, m_executable, {"--anything"});
        QVERIFY(waitForClaim(m_executable, true));
        QCOMPARE(next.state(), QProcess::Running);
        next.kill();
        QVERIFY(next.waitForFinished(10000));
    }

    void anotherCopyElsewhereRunsAlongside()
    {
        QTemporaryDir other;
        const QString copy = other.filePath(QStringLiteral("reelvane"));
        QVERIFY(QFile::copy(m_executable, copy));
        QProcess first, second;
        startLauncher(first, m_executable);
        startLauncher(second, copy);
        QVERIFY(waitForClaim(m_executable, true));
        QVERIFY(waitForClaim(copy, true));
        QCOMPARE(second.state(), QProcess::Running);
        first.kill();
        second.kill();
        first.waitForFinished(10000);
        second.waitForFinished(10000);
    }

private:
    QTemporaryDir m_folder;
    QString m_executable;
};

QTEST_GUILESS_MAIN(StartupTest)
#include "StartupTest.moc"
