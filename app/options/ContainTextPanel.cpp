// ContainTextPanel: what the files must (or must not) contain.
#include "options/ContainTextPanel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QToolButton>

#include "content/ContentTermBuilder.h"
#include "options/HistoryCombo.h"
#include "options/OptionMessage.h"
#include "records/Search_Rule.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kTextText = 564, kNotText = 565, kStringText = 566, kHexText = 567, kCaseText = 568,
                   kWholeWordText = 569, kEncodingText = 570, kUserText = 571, kHelpText = 572,
                   kHelpBodyText = 573;
constexpr unsigned kEncodingTexts[] = {84, 85, 86};

template <typename Button>
Button* labelled(unsigned id, const char* name, QWidget* parent)
{
    auto* b = new Button(LanguageText::get(id), parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(LanguageText::plain(id));
    return b;
}
}  // namespace

ContainTextPanel::ContainTextPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("containTextPanel"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);

    auto* textLabel = new QLabel(LanguageText::get(kTextText), this);
    m_text = new HistoryCombo(this);
    m_text->setObjectName(QStringLiteral("containTextCombo"));
    m_text->setAccessibleName(LanguageText::plain(kTextText));
    textLabel->setBuddy(m_text);
    grid->addWidget(textLabel, 0, 0, 1, 2);
    grid->addWidget(m_text, 1, 0, 1, 2);

    m_not = labelled<QCheckBox>(kNotText, "notContainingCheck", this);
    grid->addWidget(m_not, 2, 0, 1, 2);
    m_kind = new QButtonGroup(this);
    m_textRadio = labelled<QRadioButton>(kStringText, "textStringRadio", this);
    m_hexRadio = labelled<QRadioButton>(kHexText, "hexRadio", this);
    m_kind->addButton(m_textRadio, 0);
    m_kind->addButton(m_hexRadio, 1);
    grid->addWidget(m_textRadio, 3, 0);
    grid->addWidget(m_hexRadio, 3, 1);
    m_case = labelled<QCheckBox>(kCaseText, "caseCheck", this);
    m_wholeWord = labelled<QCheckBox>(kWholeWordText, "wholeWordCheck", this);
    grid->addWidget(m_case, 4, 0);
    grid->addWidget(m_wholeWord, 4, 1);

    auto* encodingLabel = new QLabel(LanguageText::get(kEncodingText), this);
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(QStringLiteral("encodingCombo"));
    m_encoding->setAccessibleName(LanguageText::plain(kEncodingText));
    for (unsigned id : kEncodingTexts)
        m_encoding->addItem(LanguageText::plain(id));
    encodingLabel->setBuddy(m_encoding);
    auto* encodingRow = new QHBoxLayout;
    encodingRow->addWidget(encodingLabel);
    encodingRow->addWidget(m_encoding, 1);
    grid->addLayout(encodingRow, 5, 0, 1, 2);

    auto* userLabel = new QLabel(LanguageText::get(kUserText), this);
    userLabel->setObjectName(QStringLiteral("userDefinedLabel"));
    m_expression = new QLineEdit(this);
    m_expression->setObjectName(QStringLiteral("expressionEdit"));
    m_expression->setAccessibleName(LanguageText::plain(kUserText));
    userLabel->setBuddy(m_expression);
    m_help = new QToolButton(this);
    m_help->setObjectName(QStringLiteral("expressionHelpButton"));
    m_help->setText(QStringLiteral("?"));
    m_help->setToolTip(LanguageText::plain(kHelpText));
    m_help->setAccessibleName(LanguageText::plain(kHelpText));
    connect(m_help, &QToolButton::clicked, this, [this] {
        QMessageBox::information(this, LanguageText::plain(kHelpText), LanguageText::plain(kHelpBodyText));
    });
    auto* userRow = new QHBoxLayout;
    userRow->addWidget(m_expression, 1);
    userRow->addWidget(m_help);
    grid->addWidget(userLabel, 6, 0, 1, 2);
    grid->addLayout(userRow, 7, 0, 1, 2);

    connect(m_kind, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            updateHexState();
    });
    load(ContainTextValue());
}

void ContainTextPanel::updateHexState()
{
    const bool text = !m_hexRadio->isChecked();
    m_case->setEnabled(text);
    m_wholeWord->setEnabled(text);
    m_encoding->setEnabled(text);
}

void ContainTextPanel::load(const ContainTextValue& v)
{
    m_case->setChecked(v.bCaseMain != 0);
    m_wholeWord->setChecked(v.bMainWholeWord != 0);
    m_not->setChecked(v.bMainNot != 0);
    m_text->setEditText(v.mainText);
    (v.iMainHex == 1 ? m_hexRadio : m_textRadio)->setChecked(true);
    m_encoding->setCurrentIndex(v.iMainType >= 0 && v.iMainType <= 2 ? v.iMainType : 0);
    m_expression->setText(v.userInput);
    updateHexState();
}

ContainTextValue ContainTextPanel::value() const
{
    ContainTextValue v;
    v.bCaseMain = m_case->isChecked() ? 1 : 0;
    v.bMainWholeWord = m_wholeWord->isChecked() ? 1 : 0;
    v.bMainNot = m_not->isChecked() ? 1 : 0;
    v.mainText = m_text->currentText();
    v.iMainHex = m_hexRadio->isChecked() ? 1 : 0;
    v.iMainType = m_encoding->currentIndex() >= 0 ? m_encoding->currentIndex() : 0;
    v.userInput = m_expression->text();
    return v;
}

bool ContainTextPanel::fillRule(Search_Rule& rule)
{
    const ContainTextValue v = value();
    ContentTermBuilder::TermList terms;
    ContentTermRequest request;
    request.text = v.mainText.trimmed().toStdString();
    request.isHex = v.iMainHex == 1;
    request.encoding = v.iMainType;
    request.isCaseSensitive = v.bCaseMain != 0;
    request.isWholeWord = v.bMainWholeWord != 0;
    request.isNot = v.bMainNot != 0;
    ContentTermResult result = ContentTermBuilder::addTerms(terms, request);
    if (result.ok && !v.userInput.trimmed().isEmpty())
        result = ContentTermBuilder::addExpression(terms, v.userInput.trimmed().toStdString());
    if (!result.ok) {
        OptionMessage::show(this, LanguageText::get(result.errorString));
        return false;
    }
    for (auto& term : terms)
        rule.containText.push_back(std::move(term));
    return true;
}

void ContainTextPanel::rememberHistory()
{
    m_text->remember(m_text->currentText().trimmed());
}

void ContainTextPanel::setHistoryLimit(int limit)
{
    m_text->setLimit(limit);
}
