#pragma once
// The contained-text option panel: text combo with history, not containing, text string /
// hexadecimal radios (hexadecimal disables case sensitive, whole word and the encoding
// combo), case sensitive, whole word, encoding combo (strings 84, 85, 86), the
// user-defined expression with its label and a help button. It shows a ContainTextValue
// and writes the content terms of a search rule. User-interface thread only.
#include <QWidget>

#include "options/ContainTextValue.h"

class HistoryCombo;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QToolButton;
struct Search_Rule;

class ContainTextPanel : public QWidget {
    Q_OBJECT
public:
    explicit ContainTextPanel(QWidget* parent = nullptr);

    void load(const ContainTextValue& value);
    ContainTextValue value() const;

    // Appends the terms of the main text and of the user-defined expression to
    // rule.containText. A hexadecimal value with an odd number of digits shows message 90,
    // one with a character that is no hexadecimal digit message 91; then nothing is
    // appended and false returned.
    bool fillRule(Search_Rule& rule);
    void rememberHistory();
    void setHistoryLimit(int limit);

    HistoryCombo* textCombo() const { return m_text; }
    QRadioButton* hexRadio() const { return m_hexRadio; }
    QCheckBox* caseCheck() const { return m_case; }
    QCheckBox* wholeWordCheck() const { return m_wholeWord; }
    QComboBox* encodingCombo() const { return m_encoding; }
    QLineEdit* expressionEdit() const { return m_expression; }

private:
    void updateHexState();

    HistoryCombo* m_text = nullptr;
    QCheckBox* m_not = nullptr;
    QButtonGroup* m_kind = nullptr;
    QRadioButton* m_textRadio = nullptr;
    QRadioButton* m_hexRadio = nullptr;
    QCheckBox* m_case = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QComboBox* m_encoding = nullptr;
    QLineEdit* m_expression = nullptr;
    QToolButton* m_help = nullptr;
};
