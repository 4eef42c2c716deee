// The desktop's side of a movie's file dialogs: what is known of a chosen file, the
// filters a dialog shows, writing a download, and dialogs that answer later.
#include "player/FileDialogs.h"

#include "player/ChosenFiles.h"

#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

class FileDialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chosenFilesDescribeThemselves()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("test.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("hello!");
        file.close();
        const auto chosen = player::chosenFile(path, true);
        QVERIFY(chosen);
        QCOMPARE(chosen->name, std::string("test.txt"));
        QCOMPARE(chosen->path, path.toStdString());
        QCOMPARE(chosen->size, std::optional<std::uint64_t>(6));
        QVERIFY(chosen->creationMs && chosen->modificationMs);
        QVERIFY(*chosen->modificationMs > 0);
        // An open dialog cannot have chosen a file that is not there; a save dialog can.
        const QString missing = dir.filePath("new.txt");
        QVERIFY(!player::chosenFile(missing, true));
        QVERIFY(!player::chosenFile(dir.path(), true));
        const auto place = player::chosenFile(missing, false);
        QVERIFY(place && !place->size && !place->modificationMs);
        QCOMPARE(place->name, std::string("new.txt"));
    }

    void filtersAsTheDialogShowsThem()
    {
        QCOMPARE(player::nameFilters({{"Images", {"*.jpg", "*.png"}}, {"Text", {"*.txt"}}}),
                 (QStringList{"Images (*.jpg *.png)", "Text (*.txt)"}));
        QVERIFY(player::nameFilters({}).isEmpty());
    }

    void downloadsAreWritten()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("saved.bin");
        const std::vector<std::uint8_t> bytes{1, 2, 3, 0, 255};
        QVERIFY(player::writeChosenFile(path, bytes));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\x01\x02\x03\x00\xff", 5));
        QVERIFY(!player::writeChosenFile(dir.filePath("no/such/folder/x"), bytes));
    }

    void answersArriveLater()
    {
        QTemporaryDir dir;
        QWidget window;
        player::FileDialogs dialogs(&window);
        runtime::FileDialogRequest save;
        save.kind = runtime::FileDialogRequest::Kind::Save;
        save.suggestedName = "report.txt";
        const std::uint32_t ticket = dialogs.open(save);
        QVERIFY(ticket != 0);
        QVERIFY(!dialogs.answer(ticket)); // still open
        auto* dialog = window.findChild<QFileDialog*>();
        QVERIFY(dialog);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        dialog->selectFile(dir.filePath("report.txt"));
        static_cast<QDialog*>(dialog)->accept();
        const auto answer = dialogs.answer(ticket);
        QVERIFY(answer);
        QCOMPARE(answer->files.size(), std::size_t(1));
        QCOMPARE(answer->files[0].name, std::string("report.txt"));
        // Given once.
        QVERIFY(dialogs.answer(ticket) && dialogs.answer(ticket)->files.empty());

        runtime::FileDialogRequest open;
        open.filters = {{"Text", {"*.txt"}}};
        const std::uint32_t second = dialogs.open(open);
        QVERIFY(second != ticket);
        QFileDialog* openDialog = nullptr;
        for (QFileDialog* d : window.findChildren<QFileDialog*>())
            if (d->acceptMode() == QFileDialog::AcceptOpen)
                openDialog = d;
        QVERIFY(openDialog);
        QCOMPARE(openDialog->nameFilters(), QStringList{"Text (*.txt)"});
        openDialog->reject();
        const auto cancelled = dialogs.answer(second);
        QVERIFY(cancelled && cancelled->files.empty());
        // A dialog still open when the movie goes is closed with it.
        dialogs.open(open);
    }
};

QTEST_MAIN(FileDialogsTest)
#include "FileDialogsTest.moc"
