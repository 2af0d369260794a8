#pragma once
// The Search page of the option sheet: the search-display record of AppSettings (the two
// colours of the web-page style view, the bold key strings, the type list of the
// specified-type search and three search switches).
//
// The type list ("typeList") has two columns, extension and type name, with the type's
// icon; Add and Edit ask for an extension in a small dialog (object name
// "extensionDialog"), Delete asks message 104 (object name "deleteTypeQuestion"), Up and
// Down swap the selected row with its neighbour. Edit, Delete, Up and Down are enabled only
// while a row is selected. A typed text is cut at commas (the stored list separates its
// entries with them) and each piece is trimmed and loses its leading dots; empty pieces
// are dropped. Add appends every piece; Edit replaces the row with the first piece and
// inserts the others after it; a text that leaves nothing changes nothing.
//
// applyToSettings() copies the controls into the record only when the page was modified,
// and returns whether a value of the record changed. Owned by the sheet; the AppSettings
// outlives it. User-interface thread only.
#include <QStringList>

#include "options/OptionPage.h"
#include "shell/SettingsRecords.h"

class AppSettings;
class ColourSwatch;
class QCheckBox;
class QPushButton;
class QTreeWidget;

class PP_Search : public OptionPage {
    Q_OBJECT
public:
    static constexpr int kExtensionColumnWidth = 100;
    static constexpr int kTypeColumnWidth = 160;

    explicit PP_Search(AppSettings& settings, QWidget* parent = nullptr);

    QString pageTitle() const override;
    void loadFromSettings() override;
    bool applyToSettings() override;

    bool isModified() const { return m_modified; }
    // The record as the controls show it now (the extensions in row order).
    SearchDisplayOptions shownOptions() const;
    // The extensions a typed text stands for, by the rules above.
    static QStringList extensionsFromTyped(const QString& typed);

    // The buttons' actions (the Add and Edit dialogs and the Delete question run modally).
    void addTypes();
    void editSelectedType();
    void deleteSelectedType();
    void moveSelectedType(int step);

private:
    QCheckBox* addCheck(unsigned textId, const char* name);
    QPushButton* addButton(const QString& text, const char* name);
    void appendRow(const QString& extension, int at = -1);
    void setRow(int row, const QString& extension);
    int selectedRow() const;
    void selectRow(int row);
    void updateButtons();
    bool askExtension(unsigned promptId, const QString& current, QStringList& typed);
    void markModified();

    AppSettings& m_settings;
    ColourSwatch* m_keyColour = nullptr;
    ColourSwatch* m_regularColour = nullptr;
    QCheckBox* m_bold = nullptr;
    QTreeWidget* m_types = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QCheckBox* m_compressed = nullptr;
    QCheckBox* m_noOperators = nullptr;
    QCheckBox* m_autoNormal = nullptr;
    bool m_loading = false;
    bool m_modified = false;
};
