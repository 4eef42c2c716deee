// Qt's keys as movies hear them: codes by the PC keyboard's numbering, the character
// typed, and the keys movies never hear.
#include "player/KeyMapping.h"

#include <QtTest>

using player::movieKey;

class KeyMappingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keys_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("ascii");
        QTest::newRow("letter") << int(Qt::Key_A) << "a" << 65 << int('a');
        QTest::newRow("capital") << int(Qt::Key_A) << "A" << 65 << int('A');
        QTest::newRow("letter with control") << int(Qt::Key_C) << "\x03" << 67 << 3;
        QTest::newRow("digit") << int(Qt::Key_7) << "7" << 55 << int('7');
        QTest::newRow("shifted digit") << int(Qt::Key_Ampersand) << "&" << 55 << int('&');
        QTest::newRow("punctuation") << int(Qt::Key_Semicolon) << ";" << 186 << int(';');
        QTest::newRow("tab") << int(Qt::Key_Tab) << "\t" << 9 << 9;
        QTest::newRow("shift tab") << int(Qt::Key_Backtab) << "" << 9 << 9;
        QTest::newRow("return") << int(Qt::Key_Return) << "\r" << 13 << 13;
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << "\r" << 13 << 13;
        QTest::newRow("space") << int(Qt::Key_Space) << " " << 32 << 32;
        QTest::newRow("delete") << int(Qt::Key_Delete) << "" << 46 << 127;
        QTest::newRow("arrow") << int(Qt::Key_Left) << "" << 37 << 0;
        QTest::newRow("shift") << int(Qt::Key_Shift) << "" << 16 << 0;
        QTest::newRow("function key") << int(Qt::Key_F12) << "" << 123 << 0;
    }
    void keys()
    {
        QFETCH(int, qtKey);
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(int, ascii);
        const auto key = movieKey(qtKey, text);
        QVERIFY(key);
        QCOMPARE(key->code, code);
        QCOMPARE(key->ascii, ascii);
    }

    void keysMoviesNeverHear()
    {
        QVERIFY(!movieKey(Qt::Key_Meta, QString()));
        QVERIFY(!movieKey(Qt::Key_Eacute, QStringLiteral("\u00e9")));
        QVERIFY(!movieKey(Qt::Key_F20, QString()));
        QVERIFY(!movieKey(Qt::Key_VolumeUp, QString()));
    }
};

QTEST_APPLESS_MAIN(KeyMappingTest)
#include "KeyMappingTest.moc"
