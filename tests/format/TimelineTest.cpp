#include "format/Timeline.h"

#include <QTest>

class TimelineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void frameForLabel_data();
    void frameForLabel();
};

void TimelineTest::frameForLabel_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("frame");
    QTest::newRow("exact") << "intro" << 0;
    QTest::newRow("other case") << "INTRO" << 0;
    QTest::newRow("mixed case") << "gAmE" << 4;
    // "Menu" (frame 7) and "menu" (frame 2) differ only in case: the first frame wins,
    // whichever spelling is asked for.
    QTest::newRow("first of two spellings") << "Menu" << 2;
    QTest::newRow("first of two spellings, upper") << "MENU" << 2;
    QTest::newRow("missing") << "outro" << -1;
    QTest::newRow("prefix only") << "int" << -1;
    QTest::newRow("longer") << "intro2" << -1;
    QTest::newRow("empty") << "" << -1;
    // Case folding covers ASCII letters; other bytes must match exactly.
    QTest::newRow("non-ASCII exact") << QString::fromUtf8("\xc3\xa9t\xc3\xa9") << 9;
    QTest::newRow("non-ASCII other case") << QString::fromUtf8("\xc3\x89T\xc3\x89") << -1;
}

void TimelineTest::frameForLabel()
{
    QFETCH(QString, label);
    QFETCH(int, frame);
    swf::Timeline timeline;
    timeline.labels = {
        {"intro", 0}, {"menu", 2}, {"Game", 4}, {"Menu", 7}, {"\xc3\xa9t\xc3\xa9", 9}};
    QCOMPARE(timeline.frameForLabel(label.toStdString()), long(frame));
}

QTEST_APPLESS_MAIN(TimelineTest)
#include "TimelineTest.moc"
