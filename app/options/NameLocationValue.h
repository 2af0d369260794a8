#pragma once
// What the name-and-location panel shows: the fields of the "General" section of a
// search-options file and of the panel's "DialogsData" record. A default-constructed value
// holds the defaults a search-options file gives for missing keys; resetValue() holds the
// panel's reset state. Plain value, any thread.
#include <QString>
#include <QStringList>

struct NameLocationValue {
    QString name;            // name patterns as typed (trimmed when stored)
    QString path;            // the path combo's text (trimmed when stored)
    QStringList folders;     // the folder list, in list order
    int iSearchIn = 2;       // 0 typed path, 1 folder list, 2 both, 3 current results
    int bIncludeSubDir = 1;
    int iTargetOption = 2;   // 0 files only, 1 folders only, 2 both
    int bQuickSearch = 1;
    int bSearchInCompressed = 1;

    // The reset state: as above, with the path "all local drives" (language string 1) and
    // the compressed flag taken from the application setting.
    static NameLocationValue resetValue(bool searchInCompressedSetting);
    bool operator==(const NameLocationValue&) const = default;
};
