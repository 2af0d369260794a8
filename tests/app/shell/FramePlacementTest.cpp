// Restoring and storing the main window's placement.
#include <QtTest>

#include "shell/FramePlacement.h"
#include "shell/SettingsRecords.h"

class FramePlacementTest : public QObject {
    Q_OBJECT
private slots:
    void restoredRect_data();
    void restoredRect();
    void storedFormRoundTrip_data();
    void storedFormRoundTrip();
};

void FramePlacementTest::restoredRect_data()
{
    QTest::addColumn<QList<int>>("stored");  // left, top, right, bottom, state
    QTest::addColumn<QRect>("expected");

    // Screens: the primary 1920x1050 at the origin, a second one to its right.
    QTest::newRow("empty, not maximized: untouched") << QList<int>{0, 0, 0, 0, 0} << QRect();
    QTest::newRow("empty, maximized: the desktop") << QList<int>{0, 0, 0, 0, 1} << QRect(0, 0, 1920, 1050);
    QTest::newRow("right before left counts as empty") << QList<int>{500, 0, 100, 400, 0} << QRect();
    QTest::newRow("on the primary screen") << QList<int>{100, 50, 900, 650, 0} << QRect(100, 50, 800, 600);
    QTest::newRow("maximized keeps its normal rect") << QList<int>{100, 50, 900, 650, 1} << QRect(100, 50, 800, 600);
    QTest::newRow("on the second screen") << QList<int>{2000, 100, 2600, 500, 0} << QRect(2000, 100, 600, 400);
    QTest::newRow("partly visible stays") << QList<int>{-300, -20, 200, 400, 0} << QRect(-300, -20, 500, 420);
    QTest::newRow("screen gone: moved to the primary") << QList<int>{5000, 100, 5800, 700, 0} << QRect(0, 0, 800, 600);
    QTest::newRow("screen gone, too large: fitted") << QList<int>{5000, 0, 9000, 3000, 0} << QRect(0, 0, 1920, 1050);
}

void FramePlacementTest::restoredRect()
{
    QFETCH(QList<int>, stored);
    QFETCH(QRect, expected);
    const QList<QRect> screens{QRect(0, 0, 1920, 1050), QRect(1920, 0, 1280, 1024)};
    const FramePlacement p = FramePlacement::fromStored(stored[0], stored[1], stored[2], stored[3], stored[4]);
    QCOMPARE(p.restoredRect(screens), expected);
}

void FramePlacementTest::storedFormRoundTrip_data()
{
    QTest::addColumn<QRect>("normal");
    QTest::addColumn<bool>("maximized");
    QTest::newRow("normal") << QRect(10, 20, 640, 480) << false;
    QTest::newRow("maximized") << QRect(-5, 0, 1024, 700) << true;
    QTest::newRow("nothing stored") << QRect() << true;
}

void FramePlacementTest::storedFormRoundTrip()
{
    QFETCH(QRect, normal);
    QFETCH(bool, maximized);
    FramePlacement p;
    p.normal = normal;
    p.maximized = maximized;
    WindowPlacement record;
    p.toRecord(record);
    if (!normal.isNull()) {
        // Right and bottom are exclusive in the stored form.
        QCOMPARE(record.MainWinRight - record.MainWinLeft, normal.width());
        QCOMPARE(record.MainWinBottom - record.MainWinTop, normal.height());
    } else {
        QCOMPARE(record.MainWinRight, 0);
        QCOMPARE(record.MainWinBottom, 0);
    }
    QCOMPARE(record.MainWinState, maximized ? 1 : 0);
    QCOMPARE(FramePlacement::fromRecord(record), p);
}

QTEST_APPLESS_MAIN(FramePlacementTest)
#include "FramePlacementTest.moc"
