#pragma once
// Shared set-up of the panel desk tests: a real desk shown as its own window (offscreen),
// filled with items whose pages have given heights.
#include "panels/AW_Container.h"
#include "panels/AW_Desk.h"
#include "panels/AW_Item.h"
#include "panels/AW_Label.h"

#include <QLineEdit>
#include <QList>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

// A page of exactly `height` pixels; with an editor it holds one named line edit.
inline QWidget* makePage(int height, bool withEditor = false, const QString& editorName = {})
{
    auto* page = new QWidget;
    if (withEditor) {
        auto* layout = new QVBoxLayout(page);
        auto* edit = new QLineEdit(page);
        edit->setObjectName(editorName);
        edit->setAccessibleName(editorName);
        layout->addWidget(edit);
        layout->addStretch();
    }
    page->resize(100, height);
    return page;
}

// `open` holds one letter per page: 'o' open, 'c' closed (missing letters: open).
inline std::unique_ptr<AW_Desk> makeDesk(const QList<int>& pageHeights, const QString& open = {},
                                         QSize size = {300, 400}, bool withEditors = false)
{
    auto desk = std::make_unique<AW_Desk>();
    desk->resize(size);
    for (int i = 0; i < pageHeights.size(); ++i) {
        const QString name = QStringLiteral("Panel %1").arg(i + 1);
        const bool isOpen = i >= open.size() || open.at(i) == QLatin1Char('o');
        desk->addItem(name, QStringLiteral("Ctrl+Alt+%1").arg(i + 1),
                      makePage(pageHeights.at(i), withEditors, name + QStringLiteral(" text")), isOpen);
    }
    desk->show();
    if (!QTest::qWaitForWindowExposed(desk.get()))
        return nullptr;
    return desk;
}

// The tops of every item, in container coordinates.
inline QList<int> itemTops(const AW_Desk& desk)
{
    QList<int> tops;
    for (int i = 0; i < desk.itemCount(); ++i)
        tops << desk.item(i)->y();
    return tops;
}

// The item's top as seen in the desk (container offset included).
inline int topInDesk(const AW_Desk& desk, int index)
{
    return desk.item(index)->y() + desk.getContainer()->y();
}
