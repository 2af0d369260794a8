// Folding, sizing, keyboard and mouse, painting and accessibility of the desk's items.
#include "DeskFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPointer>
#include <QSignalSpy>

class AW_ItemTest : public QObject
{
    Q_OBJECT

private slots:
    void foldingKeepsTheOpenHeight_data();
    void foldingKeepsTheOpenHeight();
    void widthChangedWhileClosedReachesThePage();
    void editorGrowthNeverShrinks_data();
    void editorGrowthNeverShrinks();
    void editorGrowthOfAClosedItem();
    void pageHeightSetsTheItemHeight_data();
    void pageHeightSetsTheItemHeight();
    void captionFoldsFromTheKeyboard_data();
    void captionFoldsFromTheKeyboard();
    void clickFoldsAndFocusesThePage();
    void hoverAndHandCursor();
    void accessibleNamesAlongTheFocusChain();
    void captionImages_data();
    void captionImages();
    void paintsTheFrameAndCaptionColours();
    void screenshot();
};

void AW_ItemTest::foldingKeepsTheOpenHeight_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("200 high") << 174;
    QTest::newRow("minimal page") << 0;
    QTest::newRow("taller than the desk") << 900;
}

void AW_ItemTest::foldingKeepsTheOpenHeight()
{
    QFETCH(int, page);
    auto desk = makeDesk({page, 40});
    QVERIFY(desk);
    AW_Item* item = desk->item(0);
    const int open = page + 26;
    QCOMPARE(item->height(), open);
    QCOMPARE(item->savedOpenHeight(), 0);
    QSignalSpy changed(item, &AW_Item::openChanged);

    item->open(false);
    QCOMPARE(item->height(), 16);
    QCOMPARE(item->savedOpenHeight(), open);
    QCOMPARE(item->openHeight(), open);
    QVERIFY(!item->label()->isOpen());
    QVERIFY(!item->getAttachedDialog()->isVisible());
    QCOMPARE(desk->item(1)->y(), 2 + 16 + 5);

    item->open(true);
    QCOMPARE(item->height(), open);
    QCOMPARE(item->savedOpenHeight(), 0);
    QVERIFY(item->label()->isOpen());
    QVERIFY(item->getAttachedDialog()->isVisible());
    QCOMPARE(desk->item(1)->y(), 2 + open + 5);
    QCOMPARE(changed.count(), 2);
}

void AW_ItemTest::widthChangedWhileClosedReachesThePage()
{
    auto desk = makeDesk({174}, "o", {300, 400});
    QVERIFY(desk);
    AW_Item* item = desk->item(0);
    item->open(false);
    desk->resize(240, 400);
    QTRY_COMPARE(desk->width(), 240);
    QCOMPARE(item->width(), 240 - 5 - 4);
    item->open(true);
    QCOMPARE(item->getAttachedDialog()->geometry(), QRect(13, 21, 240 - 9 - 26, 174));
}

void AW_ItemTest::editorGrowthNeverShrinks_data()
{
    QTest::addColumn<int>("editor");
    QTest::addColumn<int>("expected");
    // The item is 200 high (a page of 174).
    QTest::newRow("smaller") << 150 << 200;
    QTest::newRow("exactly fits with 3 spare") << 197 << 200;
    QTest::newRow("one more") << 198 << 201;
    QTest::newRow("larger") << 250 << 253;
}

void AW_ItemTest::editorGrowthNeverShrinks()
{
    QFETCH(int, editor);
    QFETCH(int, expected);
    auto desk = makeDesk({174, 40});
    QVERIFY(desk);
    AW_Item* item = desk->item(0);
    QSignalSpy grown(desk.get(), &AW_Desk::itemOpenHeightChanged);
    item->onEditorWindowChanged(editor);
    QCOMPARE(item->height(), expected);
    QCOMPARE(item->getAttachedDialog()->height(), expected - 26);
    QCOMPARE(desk->item(1)->y(), 2 + expected + 5);
    QCOMPARE(grown.count(), expected == 200 ? 0 : 1);
}

void AW_ItemTest::editorGrowthOfAClosedItem()
{
    auto desk = makeDesk({174, 40}, "co");
    QVERIFY(desk);
    AW_Item* item = desk->item(0);
    item->onEditorWindowChanged(250);
    QCOMPARE(item->height(), 16); // a closed item stays closed
    QCOMPARE(desk->item(1)->y(), 23);
    item->open(true);
    QCOMPARE(item->height(), 253);
    QCOMPARE(item->getAttachedDialog()->height(), 227);
}

void AW_ItemTest::pageHeightSetsTheItemHeight_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<int>("expected");
    QTest::newRow("resized") << 0 << 126;
    QTest::newRow("fixed height") << 1 << 146;
    QTest::newRow("no page") << 2 << 50;
}

void AW_ItemTest::pageHeightSetsTheItemHeight()
{
    QFETCH(int, how);
    QFETCH(int, expected);
    AW_Desk desk;
    desk.resize(300, 400);
    QWidget* page = nullptr;
    if (how == 0) {
        page = new QWidget;
        page->resize(10, 100);
    } else if (how == 1) {
        page = new QWidget;
        page->setFixedHeight(120);
    }
    AW_Item* item = desk.addItem("Name", "Ctrl+Alt+1", page, true);
    QCOMPARE(item->height(), expected);
    QCOMPARE(item->getAttachedDialog(), page);
    if (page)
        QCOMPARE(page->parentWidget(), item);

    // A new page replaces (and deletes) the old one.
    QPointer<QWidget> old = page;
    auto* replacement = new QWidget;
    replacement->resize(10, 30);
    item->attachDialog(replacement);
    QCOMPARE(item->height(), 56);
    QVERIFY(old.isNull());
}

void AW_ItemTest::captionFoldsFromTheKeyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier);
    QTest::newRow("return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
}

void AW_ItemTest::captionFoldsFromTheKeyboard()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    auto desk = makeDesk({174, 60}, {}, {300, 400}, true);
    QVERIFY(desk);
    desk->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(desk.get()));
    AW_Label* caption = desk->item(1)->label();
    caption->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(caption->hasFocus());
    const auto k = static_cast<Qt::Key>(key);
    const auto m = static_cast<Qt::KeyboardModifiers>(modifiers);

    QTest::keyClick(caption, k, m);
    QVERIFY(!desk->item(1)->isOpen());
    QCOMPARE(desk->item(1)->height(), 16);
    QVERIFY(caption->hasFocus()); // the keyboard stays on the caption to unfold again
    QCOMPARE(desk->activeItem(), desk->item(1));

    QTest::keyClick(caption, k, m);
    QVERIFY(desk->item(1)->isOpen());
    QCOMPARE(desk->item(1)->height(), 86);
    QVERIFY(caption->hasFocus());

    // With Ctrl the key is the window's, not the caption's.
    QTest::keyClick(caption, k, m | Qt::ControlModifier);
    QVERIFY(desk->item(1)->isOpen());
}

void AW_ItemTest::clickFoldsAndFocusesThePage()
{
    auto desk = makeDesk({174, 60}, {}, {300, 400}, true);
    QVERIFY(desk);
    desk->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(desk.get()));
    AW_Item* item = desk->item(0);
    AW_Label* caption = item->label();
    QTest::mouseClick(caption, Qt::LeftButton, {}, QPoint(30, 8));
    QVERIFY(!item->isOpen());
    QVERIFY(caption->hasFocus()); // the hidden page keeps no focus
    QCOMPARE(desk->activeItem(), item);

    QTest::mouseClick(caption, Qt::LeftButton, {}, QPoint(30, 8));
    QVERIFY(item->isOpen());
    auto* editor = item->getAttachedDialog()->findChild<QLineEdit*>();
    QTRY_VERIFY(editor->hasFocus());

    // Folding while the page has the focus leaves it on the caption, not on another item.
    item->open(false);
    QTRY_VERIFY(caption->hasFocus());
    QCOMPARE(desk->activeItem(), item);
}

void AW_ItemTest::hoverAndHandCursor()
{
    auto desk = makeDesk({174, 60});
    QVERIFY(desk);
    desk->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(desk.get()));
    AW_Label* caption = desk->item(0)->label();
    QCOMPARE(caption->cursor().shape(), Qt::PointingHandCursor);
    // The offscreen platform sends no leave event when the pointer moves on, and the
    // pointer may still rest where an earlier test left it: send the leave event.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(caption, &leave);
    QVERIFY(!caption->isHovered());
    QTest::mouseMove(caption, QPoint(40, 8));
    QTRY_VERIFY(caption->isHovered());
    QApplication::sendEvent(caption, &leave);
    QVERIFY(!caption->isHovered());
    // While the window is not active, passing over the bar does not light it.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTest::mouseMove(caption, QPoint(50, 8));
    QTest::mouseMove(caption, QPoint(60, 8));
    QVERIFY(!caption->isHovered());
}

void AW_ItemTest::accessibleNamesAlongTheFocusChain()
{
    auto desk = makeDesk({100, 100, 100}, "oco", {300, 400}, true);
    QVERIFY(desk);
    desk->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(desk.get()));
    QVERIFY(!desk->accessibleName().isEmpty());
    QVERIFY(!desk->accessibleDescription().isEmpty());

    QWidget* first = desk->item(0)->label();
    first->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(first->hasFocus());
    QStringList visited;
    for (int step = 0; step < 10; ++step) {
        QWidget* w = QApplication::focusWidget();
        QVERIFY(w);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY(iface);
        const QString name = iface->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(QString("no name: ") + w->metaObject()->className()));
        if (!visited.isEmpty() && name == visited.first())
            break;
        visited << name;
        QTest::keyClick(w, Qt::Key_Tab);
    }
    // Captions and the open pages' editors in order; the closed item's editor is skipped.
    QCOMPARE(visited, (QStringList{"Panel 1", "Panel 1 text", "Panel 2", "Panel 3", "Panel 3 text"}));
    QAccessibleInterface* caption = QAccessible::queryAccessibleInterface(desk->item(0)->label());
    QCOMPARE(caption->text(QAccessible::Description), QString("Ctrl+Alt+1"));
    QCOMPARE(caption->role(), QAccessible::Button);
}

void AW_ItemTest::captionImages_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("hovered");
    QTest::newRow("closed") << false << false;
    QTest::newRow("closed, hovered") << false << true;
    QTest::newRow("open") << true << false;
    QTest::newRow("open, hovered") << true << true;
}

void AW_ItemTest::captionImages()
{
    QFETCH(bool, open);
    QFETCH(bool, hovered);
    const QImage image = AW_Label::captionImage(open, hovered);
    QCOMPARE(image.size(), QSize(16, 15));
    QVERIFY(image.hasAlphaChannel());
    int transparent = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 0)
                ++transparent;
            else
                QVERIFY2(c.rgb() != qRgb(255, 0, 0), "a key-coloured pixel stayed opaque");
        }
    QVERIFY(transparent > 0);
    QCOMPARE(image.pixelColor(15, 14).alpha(), 0); // outside the round button
    QCOMPARE(image.pixelColor(7, 1).alpha(), 255); // inside it
    // Each state has its own picture.
    QVERIFY(image != AW_Label::captionImage(!open, hovered));
    QVERIFY(image != AW_Label::captionImage(open, !hovered));
}

namespace {

bool hasColourNear(const QImage& image, const QRect& area, const QColor& colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) < 40 && qAbs(c.green() - colour.green()) < 40
                && qAbs(c.blue() - colour.blue()) < 60)
                return true;
        }
    return false;
}

} // namespace

void AW_ItemTest::paintsTheFrameAndCaptionColours()
{
    auto desk = makeDesk({100, 100}, "oc");
    QVERIFY(desk);
    desk->getContainer()->focusItem(desk->item(1), false);
    const QImage shot = desk->grab().toImage();
    const QPoint open = desk->item(0)->mapTo(desk.get(), QPoint(0, 0));
    const QPoint closed = desk->item(1)->mapTo(desk.get(), QPoint(0, 0));
    // Caption bars: black outline, blue fill when open, grey when closed.
    QCOMPARE(shot.pixelColor(open).rgb(), QColor(Qt::black).rgb());
    QCOMPARE(shot.pixelColor(open + QPoint(2, 14)), AW_Label::OpenFill);
    QCOMPARE(shot.pixelColor(closed + QPoint(2, 14)), AW_Label::ClosedFill);
    // The open item's frame: left edge and a bottom line at height - 3.
    const int h = desk->item(0)->height();
    QCOMPARE(shot.pixelColor(open + QPoint(0, 60)).rgb(), QColor(Qt::black).rgb());
    QCOMPARE(shot.pixelColor(open + QPoint(40, h - 3)).rgb(), QColor(Qt::black).rgb());
    QCOMPARE(shot.pixelColor(open + QPoint(40, h - 2)), desk->backgroundColor());
    // The active caption's text is yellow, the other one's white.
    const int w = desk->item(0)->width();
    const QRect openText(open.x() + 5, open.y() + 1, w / 2, 14);
    const QRect closedText(closed.x() + 5, closed.y() + 1, w / 2, 14);
    QVERIFY(hasColourNear(shot, closedText, AW_Label::ActiveText));
    QVERIFY(!hasColourNear(shot, openText, AW_Label::ActiveText));
    QVERIFY(hasColourNear(shot, openText, AW_Label::InactiveText));
}

void AW_ItemTest::screenshot()
{
    auto desk = makeDesk({120, 80, 160, 60, 100}, "occoc", {320, 360}, true);
    QVERIFY(desk);
    desk->getContainer()->focusItem(desk->item(0), false);
    const QString path = QDir(QStringLiteral(QUENDREL_BIN_DIR)).absoluteFilePath("../panels-desk.png");
    QVERIFY(desk->grab().save(path));
    QVERIFY(QFileInfo(path).size() > 0);
}

QTEST_MAIN(AW_ItemTest)
#include "AW_ItemTest.moc"
