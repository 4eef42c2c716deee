#pragma once

#include "MovieWriter.h"
#include "ShapeWriter.h"
#include "app/mMain.h"
#include "ui/frmMain.h"
#include "windowing/Application.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// A main window loaded on a folder of the test's own making, as start-up would show
// it: the shared state set, the window created and shown.
struct MainWindowFixture {
    explicit MainWindowFixture(const QStringList& movieNames = {})
    {
        for (const QString& name : movieNames)
            addMovie(name);
        windowing::setApplicationPathForTesting(folder.path());
        mMain::StrictErrors = windowing::False;
        mMain::AppCaption = QStringLiteral("My Project");
    }
    ~MainWindowFixture() { windowing::setApplicationPathForTesting({}); }

    // A 320 x 240 movie: white, with a red quarter at its top left.
    void addMovie(const QString& name)
    {
        swfwriter::MovieWriter movie(8, 320, 240, 12);
        movie.setBackground({255, 255, 255});
        swfwriter::ShapeWriter quarter(3);
        quarter.fill1(quarter.addFill(swfwriter::FillStyle::solid({255, 0, 0})))
            .rect(0, 0, 160 * 20, 120 * 20);
        movie.add(quarter.tagCode(), quarter.body(1));
        swfwriter::Place place;
        place.depth = 1;
        place.characterId = 1;
        movie.place2(place);
        movie.showFrame();
        QVERIFY(movie.writeFile(folder.filePath(name).toStdString()));
    }

    frmMain& show()
    {
        window = windowing::Form::create<frmMain>();
        window->Show();
        return *window;
    }

    QTemporaryDir folder;
    std::unique_ptr<frmMain> window;
};
