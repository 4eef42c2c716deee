// The player control's operations as the window uses them.
#include "player/ShockwaveFlash.h"

#include "ActionWriter.h"
#include "MovieWriter.h"
#include "player/StageLayout.h"
#include "runtime/StageView.h"
#include "windowing/Form.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace player;

namespace {

class HostForm : public windowing::Form {
public:
    HostForm() : Form(QStringLiteral("frmHost")), flash(*this, QStringLiteral("ShockwaveFlash"))
    {
        Move(0, 0, 6000, 4500);
        flash.Move(0, 0, 6000, 4500);
    }
    ShockwaveFlash flash;
};

} // namespace

class ShockwaveFlashTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsTheHeaderOfEachSignature_data()
    {
        QTest::addColumn<int>("compression");
        QTest::newRow("FWS") << int(swfwriter::Compression::None);
        QTest::newRow("CWS") << int(swfwriter::Compression::Zlib);
        QTest::newRow("ZWS") << int(swfwriter::Compression::Lzma);
    }
    void readsTheHeaderOfEachSignature()
    {
        QFETCH(int, compression);
        QTemporaryDir dir;
        swfwriter::MovieWriter movie(9, 640, 480, 25.5);
        for (int i = 0; i < 3; ++i)
            movie.showFrame();
        const QString path = dir.filePath(QStringLiteral("m.swf"));
        QVERIFY(movie.writeFile(path.toStdString(), swfwriter::Compression(compression)));
        auto form = windowing::Form::create<HostForm>();
        form->flash.setMovie(path);
        QVERIFY(form->flash.failure().isEmpty());
        QVERIFY(form->flash.header());
        QCOMPARE(form->flash.header()->version, std::uint8_t(9));
        QCOMPARE(form->flash.header()->widthPixels(), 640.0);
        QCOMPARE(form->flash.header()->heightPixels(), 480.0);
        QCOMPARE(form->flash.header()->frameRate, 25.5);
        QCOMPARE(form->flash.header()->frameCount, std::uint16_t(3));
        QVERIFY(form->flash.IsPlaying()); // Play is on in the stored settings
    }

    void unplayableFilesGiveAReasonNotAnError_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << "cannot be opened";
        QTest::newRow("not a movie") << QByteArray("GIF89a....") << "not an SWF movie";
        QTest::newRow("cut header") << QByteArray("FWS\x0a\x10\x00\x00\x00", 8) << "ends early";
    }
    void unplayableFilesGiveAReasonNotAnError()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.swf"));
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        auto form = windowing::Form::create<HostForm>();
        form->flash.setMovie(path);
        QVERIFY(!form->flash.header());
        QVERIFY2(form->flash.failure().contains(reason), qPrintable(form->flash.failure()));
        QVERIFY(!form->flash.failure().contains(QLatin1Char('\n')));
        // It still shows, on black, the line saying why.
        form->Show();
        const QImage shown = form->flash.widget()->grab().toImage();
        QCOMPARE(shown.pixelColor(1, 1), QColor(Qt::black));
    }

    void playStopAndSettings()
    {
        auto form = windowing::Form::create<HostForm>();
        ShockwaveFlash& flash = form->flash;
        flash.Stop();
        QVERIFY(!flash.IsPlaying());
        flash.Play();
        QVERIFY(flash.IsPlaying());
        QCOMPARE(flash.BackgroundColor(), -1);
        flash.setBackgroundColor(0);
        QCOMPARE(flash.BackgroundColor(), 0);
        flash.setScaleMode(2);
        QCOMPARE(flash.ScaleMode(), 2);
        flash.setScaleMode(9);
        QCOMPARE(flash.ScaleMode(), 2);
        flash.setVisible(false);
        QVERIFY(!flash.Visible());
    }

    void stageLayout_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QRectF>("expected");
        // A 400 x 300 stage in an 800 x 400 view.
        QTest::newRow("show all") << 0 << QRectF(133.333, 0, 533.333, 400);
        QTest::newRow("no border") << 1 << QRectF(0, -100, 800, 600);
        QTest::newRow("exact fit") << 2 << QRectF(0, 0, 800, 400);
        QTest::newRow("no scale") << 3 << QRectF(200, 50, 400, 300);
    }
    void stageLayout()
    {
        QFETCH(int, mode);
        QFETCH(QRectF, expected);
        const QRectF r = stageRectInView(QSizeF(400, 300), QSizeF(800, 400), ScaleMode(mode));
        QVERIFY2(qAbs(r.x() - expected.x()) < 0.01 && qAbs(r.width() - expected.width()) < 0.01 &&
                     qAbs(r.y() - expected.y()) < 0.01 &&
                     qAbs(r.height() - expected.height()) < 0.01,
                 qPrintable(QStringLiteral("%1 %2 %3 %4")
                                .arg(r.x())
                                .arg(r.y())
                                .arg(r.width())
                                .arg(r.height())));
    }

    void stageAlignment_data()
    {
        using namespace runtime::StageAlign;
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("align");
        QTest::addColumn<QPointF>("topLeft");
        // A 400 x 300 stage in an 800 x 400 view: show all leaves room across, no
        // scale both ways.
        QTest::newRow("show all, centred") << 0 << 0 << QPointF(133.333, 0);
        QTest::newRow("show all, left") << 0 << int(Left) << QPointF(0, 0);
        QTest::newRow("show all, right") << 0 << int(Right) << QPointF(266.667, 0);
        QTest::newRow("no scale, top right") << 3 << int(Top | Right) << QPointF(400, 0);
        QTest::newRow("no scale, bottom") << 3 << int(Bottom) << QPointF(200, 100);
        QTest::newRow("no scale, left wins") << 3 << int(Left | Right) << QPointF(0, 50);
    }
    void stageAlignment()
    {
        QFETCH(int, mode);
        QFETCH(int, align);
        QFETCH(QPointF, topLeft);
        const QRectF r = stageRectInView(QSizeF(400, 300), QSizeF(800, 400), ScaleMode(mode),
                                         std::uint8_t(align));
        QVERIFY2(qAbs(r.x() - topLeft.x()) < 0.01 && qAbs(r.y() - topLeft.y()) < 0.01,
                 qPrintable(QStringLiteral("%1 %2").arg(r.x()).arg(r.y())));
    }

    void fullScreenCoversTheScreenWhileTheMovieAsks()
    {
        // Frames 1 and 3 ask for full screen, frame 2 for the normal view.
        using swfwriter::Op;
        swfwriter::MovieWriter movie(8, 200, 100, 30);
        for (const char* state : {"fullScreen", "normal", "fullScreen"}) {
            swfwriter::ActionWriter code;
            code.push({"Stage"}).op(Op::GetVariable).push({"displayState", state});
            code.op(Op::SetMember).op(Op::Stop);
            movie.doAction(code.end().bytes());
            movie.showFrame();
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("full.swf"));
        QVERIFY(movie.writeFile(path.toStdString(), swfwriter::Compression::None));
        auto form = windowing::Form::create<HostForm>();
        form->Show();
        QWidget* window = form->flash.widget()->window();
        QVERIFY(!window->isFullScreen());
        form->flash.setMovie(path);
        QTRY_VERIFY(form->flash.hasMovie());
        QTRY_VERIFY(window->isFullScreen());
        form->flash.Forward();
        QVERIFY(!window->isFullScreen());
        // Hidden, the player gives the screen back whatever the movie asked.
        form->flash.Forward();
        QVERIFY(window->isFullScreen());
        form->flash.setVisible(false);
        QVERIFY(!window->isFullScreen());
    }
};

QTEST_MAIN(ShockwaveFlashTest)
#include "ShockwaveFlashTest.moc"
