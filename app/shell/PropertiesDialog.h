#pragma once
// The properties of the selected rows. One row: name, folder, type, size, the three times,
// permissions and owner, read from the file itself when it is on disk (from the row for an
// archive member or a file that is gone). Several rows: their count and total size.
// Read-only; user-interface thread.
#include <QDialog>

#include <vector>

class Data_FileItem;
class QFormLayout;

class PropertiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit PropertiesDialog(const std::vector<Data_FileItem*>& items, QWidget* parent = nullptr);

    // The shown value of a field by its label's text number (664 name ... 671 total size,
    // 681..683 the times); empty when the dialog has no such field.
    QString value(unsigned labelText) const;
    // "rwxr-xr-x" for the permission bits of a mode.
    static QString permissionText(unsigned mode);

private:
    void addRow(unsigned labelText, const QString& value);

    QFormLayout* m_form = nullptr;
    std::vector<std::pair<unsigned, QString>> m_values;
};
