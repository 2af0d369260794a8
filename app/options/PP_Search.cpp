// PP_Search: the search display options page.
#include "options/PP_Search.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "options/ColourSwatch.h"
#include "shell/AppSettings.h"
#include "shell/CommandIds.h"
#include "shell/FileTypeInfo.h"
#include "shell/LanguageText.h"
#include "shell/ThemedIcon.h"

namespace {
constexpr unsigned kTitleText = 55;
constexpr unsigned kPageText = 101;
constexpr unsigned kExtensionColumnText = 102;
constexpr unsigned kTypeColumnText = 103;
constexpr unsigned kDeleteQuestionText = 104;
constexpr unsigned kAddPromptText = 105;
constexpr unsigned kEditPromptText = 106;
constexpr unsigned kAddText = 553;
constexpr unsigned kDeleteText = 554;
constexpr unsigned kCompressedText = 559;
constexpr unsigned kEditText = 592;
constexpr unsigned kKeyColourText = 794;
constexpr unsigned kRegularColourText = 795;
constexpr unsigned kBoldText = 796;
constexpr unsigned kNoOperatorsText = 797;
constexpr unsigned kAutoNormalText = 798;
constexpr unsigned kUpDownText = 799;  // "Move up|Move down"
}  // namespace

PP_Search::PP_Search(AppSettings& settings, QWidget* parent)
    : OptionPage(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("searchPage"));
    setAccessibleName(LanguageText::plain(kPageText));
    auto* layout = new QVBoxLayout(this);

    auto* colours = new QGridLayout;
    m_keyColour = new ColourSwatch;
    m_keyColour->setObjectName(QStringLiteral("keyColour"));
    m_keyColour->setAccessibleName(LanguageText::plain(kKeyColourText));
    m_regularColour = new ColourSwatch;
    m_regularColour->setObjectName(QStringLiteral("regularColour"));
    m_regularColour->setAccessibleName(LanguageText::plain(kRegularColourText));
    auto* keyLabel = new QLabel(LanguageText::get(kKeyColourText));
    keyLabel->setBuddy(m_keyColour);
    auto* regularLabel = new QLabel(LanguageText::get(kRegularColourText));
    regularLabel->setBuddy(m_regularColour);
    colours->addWidget(keyLabel, 0, 0);
    colours->addWidget(m_keyColour, 0, 1);
    colours->addWidget(regularLabel, 1, 0);
    colours->addWidget(m_regularColour, 1, 1);
    colours->setColumnStretch(2, 1);
    layout->addLayout(colours);
    m_bold = addCheck(kBoldText, "boldKeyStrings");
    layout->addWidget(m_bold);

    auto* typeBox = new QGroupBox(LanguageText::plain(CommandIds::SearchSpecifiedType));
    typeBox->setObjectName(QStringLiteral("typeGroup"));
    auto* typeLayout = new QHBoxLayout(typeBox);
    m_types = new QTreeWidget;
    m_types->setObjectName(QStringLiteral("typeList"));
    m_types->setAccessibleName(LanguageText::plain(CommandIds::SearchSpecifiedType));
    m_types->setColumnCount(2);
    m_types->setHeaderLabels({LanguageText::plain(kExtensionColumnText), LanguageText::plain(kTypeColumnText)});
    m_types->header()->resizeSection(0, kExtensionColumnWidth);
    m_types->header()->resizeSection(1, kTypeColumnWidth);
    m_types->header()->setStretchLastSection(true);
    m_types->setRootIsDecorated(false);
    m_types->setItemsExpandable(false);
    m_types->setUniformRowHeights(true);
    m_types->setSelectionMode(QAbstractItemView::SingleSelection);
    m_types->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_types->setAllColumnsShowFocus(true);
    m_types->setIconSize(QSize(16, 16));
    typeLayout->addWidget(m_types, 1);

    const QStringList upDown = LanguageText::get(kUpDownText).split(QLatin1Char('|'));
    auto* buttons = new QVBoxLayout;
    m_add = addButton(LanguageText::get(kAddText), "addType");
    m_edit = addButton(LanguageText::get(kEditText), "editType");
    m_delete = addButton(LanguageText::get(kDeleteText), "deleteType");
    m_up = addButton(QString(), "moveTypeUp");
    m_down = addButton(QString(), "moveTypeDown");
    m_up->setIcon(ThemedIcon::get(QStringLiteral("go-up")));
    m_down->setIcon(ThemedIcon::get(QStringLiteral("go-down")));
    const QString upText = upDown.value(0), downText = upDown.value(1, upDown.value(0));
    m_up->setAccessibleName(LanguageText::withoutMnemonic(upText));
    m_up->setToolTip(LanguageText::withoutMnemonic(upText));
    m_down->setAccessibleName(LanguageText::withoutMnemonic(downText));
    m_down->setToolTip(LanguageText::withoutMnemonic(downText));
    for (QPushButton* b : {m_add, m_edit, m_delete})
        buttons->addWidget(b);
    buttons->addSpacing(12);
    buttons->addWidget(m_up);
    buttons->addWidget(m_down);
    buttons->addStretch();
    typeLayout->addLayout(buttons);
    layout->addWidget(typeBox, 1);

    m_compressed = addCheck(kCompressedText, "searchCompressed");
    m_noOperators = addCheck(kNoOperatorsText, "disableOperators");
    m_autoNormal = addCheck(kAutoNormalText, "autoNormalSearch");
    layout->addWidget(m_compressed);
    layout->addWidget(m_noOperators);
    layout->addWidget(m_autoNormal);

    for (QCheckBox* box : findChildren<QCheckBox*>())
        connect(box, &QCheckBox::toggled, this, &PP_Search::markModified);
    for (ColourSwatch* swatch : {m_keyColour, m_regularColour})
        connect(swatch, &ColourSwatch::colourChanged, this, &PP_Search::markModified);
    connect(m_types, &QTreeWidget::itemSelectionChanged, this, &PP_Search::updateButtons);
    connect(m_types, &QTreeWidget::itemDoubleClicked, this, [this] { editSelectedType(); });
    connect(m_add, &QPushButton::clicked, this, &PP_Search::addTypes);
    connect(m_edit, &QPushButton::clicked, this, &PP_Search::editSelectedType);
    connect(m_delete, &QPushButton::clicked, this, &PP_Search::deleteSelectedType);
    connect(m_up, &QPushButton::clicked, this, [this] { moveSelectedType(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { moveSelectedType(1); });
    updateButtons();
}

QCheckBox* PP_Search::addCheck(unsigned textId, const char* name)
{
    auto* box = new QCheckBox(LanguageText::get(textId), this);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(LanguageText::plain(textId));
    return box;
}

QPushButton* PP_Search::addButton(const QString& text, const char* name)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    if (!text.isEmpty())
        button->setAccessibleName(LanguageText::withoutMnemonic(text));
    return button;
}

QString PP_Search::pageTitle() const
{
    return LanguageText::plain(kPageText);
}

QStringList PP_Search::extensionsFromTyped(const QString& typed)
{
    QStringList result;
    for (const QString& piece : typed.split(QLatin1Char(','))) {
        QString ext = piece.trimmed();
        qsizetype dots = 0;
        while (dots < ext.size() && ext[dots] == QLatin1Char('.'))
            ++dots;
        ext = ext.mid(dots).trimmed();
        if (!ext.isEmpty())
            result.append(ext);
    }
    return result;
}

void PP_Search::loadFromSettings()
{
    m_loading = true;
    const SearchDisplayOptions& s = m_settings.searchDisplay();
    m_keyColour->setColour(ColourSwatch::fromColorRef(s.clrKeyString));
    m_regularColour->setColour(ColourSwatch::fromColorRef(s.clrRegularString));
    m_bold->setChecked(s.bBoldOfKeyString != 0);
    m_types->clear();
    for (const QString& ext : s.patternExtensions)
        appendRow(ext);
    m_compressed->setChecked(s.bSearchInCompressedFile != 0);
    m_noOperators->setChecked(s.bDisableBooleanOpt != 0);
    m_autoNormal->setChecked(s.bAutoNormalSearch != 0);
    updateButtons();
    m_loading = false;
    m_modified = false;
}

void PP_Search::appendRow(const QString& extension, int at)
{
    auto* item = new QTreeWidgetItem;
    if (at < 0 || at > m_types->topLevelItemCount())
        m_types->addTopLevelItem(item);
    else
        m_types->insertTopLevelItem(at, item);
    setRow(m_types->indexOfTopLevelItem(item), extension);
}

void PP_Search::setRow(int row, const QString& extension)
{
    QTreeWidgetItem* item = m_types->topLevelItem(row);
    if (!item)
        return;
    item->setText(0, extension);
    item->setIcon(0, FileTypeInfo::icon(extension));
    item->setText(1, FileTypeInfo::typeName(extension));
}

int PP_Search::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = m_types->selectedItems();
    return selected.isEmpty() ? -1 : m_types->indexOfTopLevelItem(selected.first());
}

void PP_Search::selectRow(int row)
{
    QTreeWidgetItem* item = m_types->topLevelItem(row);
    if (!item)
        return;
    m_types->setCurrentItem(item);
    item->setSelected(true);
    m_types->scrollToItem(item);
}

void PP_Search::updateButtons()
{
    const int row = selectedRow();
    const bool any = row >= 0;
    m_edit->setEnabled(any);
    m_delete->setEnabled(any);
    m_up->setEnabled(any && row > 0);
    m_down->setEnabled(any && row + 1 < m_types->topLevelItemCount());
}

bool PP_Search::askExtension(unsigned promptId, const QString& current, QStringList& typed)
{
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("extensionDialog"));
    dialog.setWindowTitle(LanguageText::plain(kTitleText));
    dialog.setLabelText(LanguageText::plain(promptId));
    dialog.setTextValue(current);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    typed = extensionsFromTyped(dialog.textValue());
    return !typed.isEmpty();
}

void PP_Search::addTypes()
{
    QStringList typed;
    if (!askExtension(kAddPromptText, QString(), typed))
        return;
    for (const QString& ext : typed)
        appendRow(ext);
    selectRow(m_types->topLevelItemCount() - 1);
    markModified();
}

void PP_Search::editSelectedType()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    QStringList typed;
    if (!askExtension(kEditPromptText, m_types->topLevelItem(row)->text(0), typed))
        return;
    setRow(row, typed.first());
    for (int i = 1; i < typed.size(); ++i)
        appendRow(typed[i], row + i);
    selectRow(row);
    markModified();
}

void PP_Search::deleteSelectedType()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    QMessageBox box(QMessageBox::Question, LanguageText::plain(kTitleText), LanguageText::plain(kDeleteQuestionText),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("deleteTypeQuestion"));
    if (box.exec() != QMessageBox::Yes)
        return;
    delete m_types->takeTopLevelItem(row);
    updateButtons();
    markModified();
}

void PP_Search::moveSelectedType(int step)
{
    const int row = selectedRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= m_types->topLevelItemCount() || target == row)
        return;
    QTreeWidgetItem* item = m_types->takeTopLevelItem(row);
    m_types->insertTopLevelItem(target, item);
    m_types->clearSelection();
    selectRow(target);
    updateButtons();
    markModified();
}

void PP_Search::markModified()
{
    if (!m_loading)
        m_modified = true;
}

SearchDisplayOptions PP_Search::shownOptions() const
{
    SearchDisplayOptions s = m_settings.searchDisplay();
    s.clrKeyString = ColourSwatch::toColorRef(m_keyColour->colour());
    s.clrRegularString = ColourSwatch::toColorRef(m_regularColour->colour());
    s.bBoldOfKeyString = m_bold->isChecked() ? 1 : 0;
    s.patternExtensions.clear();
    for (int row = 0; row < m_types->topLevelItemCount(); ++row)
        s.patternExtensions.append(m_types->topLevelItem(row)->text(0));
    s.bSearchInCompressedFile = m_compressed->isChecked() ? 1 : 0;
    s.bDisableBooleanOpt = m_noOperators->isChecked() ? 1 : 0;
    s.bAutoNormalSearch = m_autoNormal->isChecked() ? 1 : 0;
    return s;
}

bool PP_Search::applyToSettings()
{
    if (!m_modified)
        return false;
    const SearchDisplayOptions shown = shownOptions();
    const bool changed = !(shown == m_settings.searchDisplay());
    m_settings.searchDisplay() = shown;
    m_modified = false;
    return changed;
}
