// The player on a screen of two device pixels a pixel: the movie is drawn at the
// screen's own pixels, so a one-pixel line is two device pixels wide and sharp, not one
// pixel blown up or blurred.
#include "MovieWriter.h"
#include "ShapeWriter.h"
#include "player/ShockwaveFlash.h"
#include "windowing/Form.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

using namespace player;
using namespace swfwriter;

namespace {

class HostForm : public windowing::Form {
public:
    HostForm() : Form(QStringLiteral("frmHost")), flash(*this, QStringLiteral("ShockwaveFlash"))
    {
        Move(0, 0, 3000, 1500);
        flash.Move(0, 0, 3000, 1500); // 200 x 100 pixels, the stage one to one
    }
    ShockwaveFlash flash;
};

// A white 200 x 100 stage with a black line one pixel wide at x = 100.
MovieWriter lineMovie()
{
    MovieWriter movie(8, 200, 100, 12);
    ShapeWriter shape(3);
    shape.fill1(shape.addFill(FillStyle::solid({0, 0, 0}))).rect(2000, 0, 20, 2000);
    movie.add(32, shape.body(1));
    Place place;
    place.depth = 1;
    place.characterId = 1;
    movie.place2(place);
    movie.showFrame();
    return movie;
}

bool black(QColor c)
{
    return c.red() < 40 && c.green() < 40 && c.blue() < 40;
}

bool white(QColor c)
{
    return c.red() > 215 && c.green() > 215 && c.blue() > 215;
}

} // namespace

class HighDpiTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theMovieIsDrawnAtTheScreensPixels()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("line.swf"));
        QVERIFY(lineMovie().writeFile(path.toStdString()));
        auto form = windowing::Form::create<HostForm>();
        form->Show();
        ShockwaveFlash& flash = form->flash;
        QCOMPARE(flash.widget()->devicePixelRatioF(), 2.0);
        flash.setMovie(path);
        QTRY_VERIFY(flash.hasMovie());

        const QImage& picture = flash.picture();
        QCOMPARE(picture.size(), QSize(400, 200));
        QCOMPARE(picture.devicePixelRatio(), 2.0);
        QVERIFY(white(picture.pixelColor(198, 100)));
        QVERIFY(black(picture.pixelColor(200, 100)));
        QVERIFY(black(picture.pixelColor(201, 100)));
        QVERIFY(white(picture.pixelColor(203, 100)));

        // What the widget paints is that picture, pixel for pixel.
        const QImage shown = flash.widget()->grab().toImage();
        QCOMPARE(shown.size(), QSize(400, 200));
        QVERIFY(white(shown.pixelColor(198, 50)));
        QVERIFY(black(shown.pixelColor(200, 50)));
        QVERIFY(black(shown.pixelColor(201, 50)));
        QVERIFY(white(shown.pixelColor(203, 50)));
    }
};

int main(int argc, char** argv)
{
    // Before the application exists: it reads the screen's scale once.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HighDpiTest.moc"
