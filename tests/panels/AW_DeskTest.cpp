// The desk's layout, scrolling and focusing numbers, on real widgets run offscreen.
#include "DeskFixture.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

using Code = AW_Desk::ScrollCode;
Q_DECLARE_METATYPE(AW_Desk::ScrollCode)

class AW_DeskTest : public QObject
{
    Q_OBJECT

private slots:
    void layoutPositions_data();
    void layoutPositions();
    void layoutFollowsFolding();
    void shortStackStaysAtTopWithoutScrollBar();
    void shortenedStackIsPinnedToTheBottom();
    void deskGrowingPullsTheStackDown();
    void scrollCodes_data();
    void scrollCodes();
    void scrollBarActionsMoveTheStack_data();
    void scrollBarActionsMoveTheStack();
    void draggingTheThumbTracks();
    void wheelScrollsTheDesk();
    void focusScrollsIntoView_data();
    void focusScrollsIntoView();
    void focusLeavesOneActiveItem();
    void openingAnItemBelowShowsItsBottom();
    void tabIntoHiddenControlScrollsItIntoView();
    void deleteAllEmptiesTheDesk();
    void outOfRangeIndexGivesNull();
};

void AW_DeskTest::layoutPositions_data()
{
    QTest::addColumn<QList<int>>("pages");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QList<int>>("tops");
    QTest::addColumn<QList<int>>("heights");
    QTest::addColumn<int>("stackHeight");

    QTest::newRow("one open") << QList<int>{100} << "o" << QList<int>{2} << QList<int>{126} << 133;
    QTest::newRow("two open") << QList<int>{100, 200} << "oo" << QList<int>{2, 133}
                              << QList<int>{126, 226} << 364;
    QTest::newRow("middle closed") << QList<int>{100, 200, 50} << "oco" << QList<int>{2, 133, 154}
                                   << QList<int>{126, 16, 76} << 235;
    QTest::newRow("all closed") << QList<int>{100, 200, 50} << "ccc" << QList<int>{2, 23, 44}
                                << QList<int>{16, 16, 16} << 65;
    QTest::newRow("taller than desk") << QList<int>{300, 300} << "oo" << QList<int>{2, 333}
                                      << QList<int>{326, 326} << 664;
}

void AW_DeskTest::layoutPositions()
{
    QFETCH(QList<int>, pages);
    QFETCH(QString, open);
    QFETCH(QList<int>, tops);
    QFETCH(QList<int>, heights);
    QFETCH(int, stackHeight);

    auto desk = makeDesk(pages, open);
    QVERIFY(desk);
    AW_Container* container = desk->getContainer();
    QCOMPARE(itemTops(*desk), tops);
    const bool scrolls = stackHeight > desk->height();
    QCOMPARE(desk->verticalScrollBar()->isVisible(), scrolls);
    const int clientWidth = desk->width() - (scrolls ? desk->verticalScrollBar()->width() : 0);
    QCOMPARE(desk->clientRect().width(), clientWidth);
    QCOMPARE(container->geometry(), QRect(0, 0, clientWidth - 5, stackHeight));
    for (int i = 0; i < pages.size(); ++i) {
        const AW_Item* item = desk->item(i);
        QCOMPARE(item->geometry(), QRect(2, tops.at(i), clientWidth - 9, heights.at(i)));
        QCOMPARE(item->isOpen(), open.at(i) == QLatin1Char('o'));
        QCOMPARE(item->label()->geometry(), QRect(0, 0, clientWidth - 9, 16));
        // The page keeps its open geometry, shown only while the item is open.
        QCOMPARE(item->getAttachedDialog()->geometry(), QRect(13, 21, clientWidth - 9 - 26, pages.at(i)));
        QCOMPARE(item->getAttachedDialog()->isVisible(), item->isOpen());
    }
}

void AW_DeskTest::layoutFollowsFolding()
{
    auto desk = makeDesk({100, 200, 50});
    QVERIFY(desk);
    QSignalSpy laidOut(desk->getContainer(), &AW_Container::laidOut);
    QSignalSpy folded(desk.get(), &AW_Desk::itemOpenChanged);
    QVERIFY(desk->setItemOpen(1, false));
    QCOMPARE(itemTops(*desk), (QList<int>{2, 133, 154}));
    QCOMPARE(desk->getContainer()->height(), 235);
    QCOMPARE(folded.count(), 1);
    QCOMPARE(folded.at(0).at(0).value<AW_Item*>(), desk->item(1));
    QCOMPARE(folded.at(0).at(1).toBool(), false);
    QVERIFY(!laidOut.isEmpty());
    QCOMPARE(laidOut.last().at(0).toInt(), 235);

    // Folding an item that is already folded changes nothing.
    folded.clear();
    QVERIFY(desk->setItemOpen(1, false));
    QCOMPARE(folded.count(), 0);

    QVERIFY(desk->setItemOpen(1, true));
    QCOMPARE(itemTops(*desk), (QList<int>{2, 133, 364}));
    QCOMPARE(desk->getContainer()->height(), 445);

    // Adding an item puts it below the last one at once.
    desk->addItem("Late", {}, makePage(10), true);
    QCOMPARE(desk->item(3)->geometry().top(), 445);
    QCOMPARE(desk->item(3)->height(), 36);
}

void AW_DeskTest::shortStackStaysAtTopWithoutScrollBar()
{
    auto desk = makeDesk({50, 50});
    QVERIFY(desk);
    QVERIFY(!desk->verticalScrollBar()->isVisible());
    QCOMPARE(desk->maximumScrollPosition(), 0);
    for (Code code : {Code::LineDown, Code::PageDown, Code::LineUp}) {
        desk->vScroll(code);
        QCOMPARE(desk->getContainer()->y(), 0);
    }
    desk->scrollTo(100);
    QCOMPARE(desk->getContainer()->y(), 0);
    desk->getContainer()->onScrollbarMoving(40);
    QCOMPARE(desk->getContainer()->y(), 0);
    QCOMPARE(desk->scrollPosition(), 0);
}

void AW_DeskTest::shortenedStackIsPinnedToTheBottom()
{
    // Three items of 326 pixels: 995 high in a 400-pixel desk.
    auto desk = makeDesk({300, 300, 300});
    QVERIFY(desk);
    AW_Container* container = desk->getContainer();
    QCOMPARE(container->height(), 995);
    QCOMPARE(desk->maximumScrollPosition(), 595);
    desk->scrollTo(595);
    QCOMPARE(container->y(), -595);

    // Folding the last item leaves 685 pixels: the bottom would be at 90, so the stack
    // moves down until its bottom meets the desk's.
    desk->item(2)->setOpen(false, AW_Item::FoldFocus::None);
    QCOMPARE(container->height(), 685);
    QCOMPARE(container->y(), 400 - 685);
    QCOMPARE(desk->scrollPosition(), 285);
    QCOMPARE(desk->maximumScrollPosition(), 285);

    // Folded to fit: back at the top, no scroll bar, full client width again.
    desk->item(0)->setOpen(false, AW_Item::FoldFocus::None);
    desk->item(1)->setOpen(false, AW_Item::FoldFocus::None);
    QCOMPARE(container->height(), 65);
    QCOMPARE(container->y(), 0);
    QVERIFY(!desk->verticalScrollBar()->isVisible());
    QCOMPARE(container->width(), desk->width() - 5);
}

void AW_DeskTest::deskGrowingPullsTheStackDown()
{
    auto desk = makeDesk({300, 300, 300});
    QVERIFY(desk);
    desk->scrollTo(595);
    desk->resize(300, 700);
    QTRY_COMPARE(desk->height(), 700);
    QCOMPARE(desk->getContainer()->y(), 700 - 995);
    QCOMPARE(desk->scrollPosition(), 295);
    QCOMPARE(desk->verticalScrollBar()->pageStep(), 700);
    desk->resize(300, 1200);
    QTRY_COMPARE(desk->height(), 1200);
    QCOMPARE(desk->getContainer()->y(), 0);
    QVERIFY(!desk->verticalScrollBar()->isVisible());
}

void AW_DeskTest::scrollCodes_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<Code>("code");
    QTest::addColumn<int>("thumb");
    QTest::addColumn<int>("expected");

    // A 995-pixel stack in a 400-pixel desk: positions 0 .. 595, page 400.
    QTest::newRow("line down") << 0 << Code::LineDown << 0 << 20;
    QTest::newRow("line up") << 100 << Code::LineUp << 0 << 80;
    QTest::newRow("line up at top") << 0 << Code::LineUp << 0 << 0;
    QTest::newRow("line up clamps") << 10 << Code::LineUp << 0 << 0;
    QTest::newRow("line down at bottom") << 595 << Code::LineDown << 0 << 595;
    QTest::newRow("line down clamps") << 585 << Code::LineDown << 0 << 595;
    QTest::newRow("page down") << 0 << Code::PageDown << 0 << 400;
    QTest::newRow("page down clamps") << 400 << Code::PageDown << 0 << 595;
    QTest::newRow("page up") << 500 << Code::PageUp << 0 << 100;
    QTest::newRow("page up clamps") << 100 << Code::PageUp << 0 << 0;
    QTest::newRow("page up at top") << 0 << Code::PageUp << 0 << 0;
    QTest::newRow("thumb track") << 0 << Code::ThumbTrack << 250 << 250;
    QTest::newRow("thumb position") << 300 << Code::ThumbPosition << 120 << 120;
    QTest::newRow("thumb beyond end") << 0 << Code::ThumbPosition << 5000 << 595;
    QTest::newRow("top does nothing") << 100 << Code::Top << 0 << 100;
    QTest::newRow("bottom does nothing") << 100 << Code::Bottom << 0 << 100;
    QTest::newRow("end scroll does nothing") << 100 << Code::EndScroll << 0 << 100;
}

void AW_DeskTest::scrollCodes()
{
    QFETCH(int, start);
    QFETCH(Code, code);
    QFETCH(int, thumb);
    QFETCH(int, expected);

    auto desk = makeDesk({300, 300, 300});
    QVERIFY(desk);
    desk->scrollTo(start);
    QCOMPARE(desk->scrollPosition(), start);
    QCOMPARE(desk->getContainer()->y(), -start);
    QSignalSpy moved(desk.get(), &AW_Desk::scrollPositionChanged);
    desk->vScroll(code, thumb);
    QCOMPARE(desk->scrollPosition(), expected);
    QCOMPARE(desk->getContainer()->y(), -expected);
    QCOMPARE(moved.isEmpty(), expected == start);
}

void AW_DeskTest::scrollBarActionsMoveTheStack_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("expected");
    QTest::newRow("arrow down") << int(QAbstractSlider::SliderSingleStepAdd) << 120;
    QTest::newRow("arrow up") << int(QAbstractSlider::SliderSingleStepSub) << 80;
    QTest::newRow("page down") << int(QAbstractSlider::SliderPageStepAdd) << 500;
    QTest::newRow("page up") << int(QAbstractSlider::SliderPageStepSub) << 0;
}

void AW_DeskTest::scrollBarActionsMoveTheStack()
{
    QFETCH(int, action);
    QFETCH(int, expected);
    auto desk = makeDesk({300, 300, 300});
    QVERIFY(desk);
    desk->scrollTo(100);
    QScrollBar* bar = desk->verticalScrollBar();
    bar->triggerAction(static_cast<QAbstractSlider::SliderAction>(action));
    QCOMPARE(bar->value(), expected);
    QCOMPARE(desk->getContainer()->y(), -expected);
}

void AW_DeskTest::draggingTheThumbTracks()
{
    auto desk = makeDesk({300, 300, 300});
    QVERIFY(desk);
    QScrollBar* bar = desk->verticalScrollBar();
    bar->setSliderDown(true);
    for (int position : {120, 350, 9999, 40}) {
        bar->setSliderPosition(position);
        const int expected = qMin(position, 595);
        QCOMPARE(desk->scrollPosition(), expected);
        QCOMPARE(desk->getContainer()->y(), -expected);
    }
    bar->setSliderDown(false);
    QCOMPARE(desk->scrollPosition(), 40);
}

void AW_DeskTest::wheelScrollsTheDesk()
{
    auto desk = makeDesk({300, 300, 300});
    QVERIFY(desk);
    const int notch = 20 * QApplication::wheelScrollLines();
    // Over a caption bar: the bar does not take the wheel, the desk does.
    QWidget* target = desk->item(0)->label();
    auto wheel = [&](int angle) {
        const QPointF pos(10, 5);
        QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        // As from the window system: only such wheel events travel up to the parents, and
        // sendEvent would clear the mark, so the event goes to notify() itself.
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(target, &event);
    };
    wheel(-120);
    QCOMPARE(desk->scrollPosition(), notch);
    QCOMPARE(desk->getContainer()->y(), -notch);
    // Half notches add up.
    wheel(-60);
    wheel(-60);
    QCOMPARE(desk->scrollPosition(), 2 * notch);
    wheel(120);
    wheel(120);
    wheel(120);
    QCOMPARE(desk->scrollPosition(), 0);
    for (int i = 0; i < 40; ++i)
        wheel(-120);
    QCOMPARE(desk->scrollPosition(), 595);
    QCOMPARE(desk->getContainer()->y(), -595);
}

void AW_DeskTest::focusScrollsIntoView_data()
{
    QTest::addColumn<QList<int>>("pages");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expected");

    // Items of 226 at 2, 233, 464 (stack 695, desk 400).
    QTest::newRow("visible: nothing moves") << QList<int>{200, 200, 200} << 0 << 0 << 0;
    QTest::newRow("below: bottoms meet") << QList<int>{200, 200, 200} << 0 << 2 << 290;
    QTest::newRow("partly below: bottoms meet") << QList<int>{200, 200, 200} << 0 << 1 << 59;
    QTest::newRow("above: top 3 below the visible top") << QList<int>{200, 200, 200} << 290 << 1 << 230;
    QTest::newRow("first above: clamped at the top") << QList<int>{200, 200, 200} << 290 << 0 << 0;
    // Items of 526 at 2, 533, 1064 (stack 1595): taller than the desk.
    QTest::newRow("taller, below") << QList<int>{500, 500, 500} << 0 << 1 << 530;
    QTest::newRow("taller, visible top") << QList<int>{500, 500, 500} << 530 << 1 << 530;
    QTest::newRow("taller, in view but scrolled") << QList<int>{500, 500, 500} << 600 << 1 << 530;
}

void AW_DeskTest::focusScrollsIntoView()
{
    QFETCH(QList<int>, pages);
    QFETCH(int, start);
    QFETCH(int, index);
    QFETCH(int, expected);

    auto desk = makeDesk(pages);
    QVERIFY(desk);
    desk->scrollTo(start);
    QCOMPARE(desk->scrollPosition(), start);
    desk->getContainer()->focusItem(desk->item(index), true);
    QCOMPARE(desk->scrollPosition(), expected);
    QCOMPARE(desk->getContainer()->y(), -expected);
    QVERIFY(desk->item(index)->isActive());
}

void AW_DeskTest::focusLeavesOneActiveItem()
{
    {
        AW_Desk unshown;
        unshown.addItem("A", {}, makePage(50), true);
        unshown.addItem("B", {}, makePage(50), false);
        QCOMPARE(unshown.activeItem(), nullptr); // adding items activates none
    }
    auto desk = makeDesk({50, 50, 50});
    QVERIFY(desk);
    QSignalSpy focused(desk.get(), &AW_Desk::itemFocused);
    for (int index : {2, 0, 1, 1}) {
        desk->getContainer()->focusItem(desk->item(index), false);
        QCOMPARE(desk->activeItem(), desk->item(index));
        int active = 0;
        for (int i = 0; i < desk->itemCount(); ++i)
            active += desk->item(i)->isActive() ? 1 : 0;
        QCOMPARE(active, 1);
    }
    QCOMPARE(focused.count(), 4);
    // A stranger's item is ignored.
    AW_Desk other;
    AW_Item* foreign = other.addItem("Other", {}, nullptr, true);
    desk->getContainer()->focusItem(foreign, true);
    QCOMPARE(desk->activeItem(), desk->item(1));
    QVERIFY(!foreign->isActive());
}

void AW_DeskTest::openingAnItemBelowShowsItsBottom()
{
    // 226, 226 and a closed 226 (16): stack 2 + 231 + 231 + 21 = 485 in a 400 desk.
    auto desk = makeDesk({200, 200, 200}, "ooc");
    QVERIFY(desk);
    QCOMPARE(desk->getContainer()->height(), 485);
    QCOMPARE(desk->scrollPosition(), 0);
    desk->item(2)->open(true);
    // Now 695 high; the third item (464 .. 690) is scrolled up until its bottom is at 400.
    QCOMPARE(desk->getContainer()->height(), 695);
    QCOMPARE(desk->scrollPosition(), 290);
    QCOMPARE(desk->activeItem(), desk->item(2));
}

void AW_DeskTest::tabIntoHiddenControlScrollsItIntoView()
{
    auto desk = makeDesk({300, 300, 300}, {}, {300, 400}, true);
    QVERIFY(desk);
    desk->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(desk.get()));
    AW_Label* second = desk->item(1)->label();
    auto* firstEditor = desk->item(0)->getAttachedDialog()->findChild<QLineEdit*>();
    QVERIFY(firstEditor);
    firstEditor->setFocus();
    QTRY_VERIFY(firstEditor->hasFocus());
    QCOMPARE(desk->scrollPosition(), 0);
    // The second caption bar is at 333 .. 349, inside the view: Tab moves no stack.
    QTest::keyClick(firstEditor, Qt::Key_Tab);
    QTRY_VERIFY(second->hasFocus());
    QCOMPARE(desk->scrollPosition(), 0);
    QCOMPARE(desk->activeItem(), desk->item(1));
    // Its editor is in view too; the third caption bar (664 .. 680) is below the desk's
    // bottom and comes into view with its bottom at the bottom.
    QTest::keyClick(second, Qt::Key_Tab);
    auto* secondEditor = desk->item(1)->getAttachedDialog()->findChild<QLineEdit*>();
    QTRY_VERIFY(secondEditor->hasFocus());
    QCOMPARE(desk->scrollPosition(), 0);
    QTest::keyClick(secondEditor, Qt::Key_Tab);
    AW_Label* third = desk->item(2)->label();
    QTRY_VERIFY(third->hasFocus());
    QCOMPARE(desk->scrollPosition(), 680 - 400);
    QCOMPARE(desk->activeItem(), desk->item(2));
    // Shift+Tab back to the first editor: it is above the view and comes back 3 pixels
    // below the top (clamped at the stack's top).
    firstEditor->setFocus(Qt::BacktabFocusReason);
    QTRY_VERIFY(firstEditor->hasFocus());
    const QRect inDesk(firstEditor->mapTo(desk.get(), QPoint(0, 0)), firstEditor->size());
    QVERIFY2(desk->clientRect().contains(inDesk), "the focused editor is out of view");
    QCOMPARE(desk->activeItem(), desk->item(0));
}

void AW_DeskTest::deleteAllEmptiesTheDesk()
{
    auto desk = makeDesk({300, 300, 300});
    QVERIFY(desk);
    desk->scrollTo(300);
    QPointer<QWidget> page = desk->item(0)->getAttachedDialog();
    desk->getContainer()->deleteAll();
    QCOMPARE(desk->itemCount(), 0);
    QVERIFY(page.isNull()); // items own their pages
    QCOMPARE(desk->getContainer()->height(), 2);
    QCOMPARE(desk->getContainer()->y(), 0);
    QVERIFY(!desk->verticalScrollBar()->isVisible());
    // An item deleted from outside leaves the stack too.
    desk->addItem("A", {}, makePage(100), true);
    desk->addItem("B", {}, makePage(100), true);
    delete desk->item(0);
    QCOMPARE(desk->itemCount(), 1);
    QCOMPARE(desk->item(0)->caption(), QString("B"));
    QTRY_COMPARE(desk->item(0)->y(), 2);
}

void AW_DeskTest::outOfRangeIndexGivesNull()
{
    auto desk = makeDesk({50});
    QVERIFY(desk);
    QCOMPARE(desk->item(-1), nullptr);
    QCOMPARE(desk->item(1), nullptr);
    QVERIFY(desk->item(0));
    QVERIFY(!desk->setItemOpen(5, false));
    QVERIFY(desk->isInited());
}

QTEST_MAIN(AW_DeskTest)
#include "AW_DeskTest.moc"
