#pragma once

#include "MovieWriter.h"
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

    void addMovie(const QString& name)
    {
        swfwriter::MovieWriter movie(8, 320, 240, 12);
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
