#pragma once
// The insertion rule of the indexed-path list and of the excluded-folder list: no entry
// lies inside another and none occurs twice. Paths are compared by whole path components
// and case-sensitively (Tool_Resource::isPathIncludePath), as Linux file systems name them.
// Stored form: absolute (a relative text is taken from the current folder), normalised ('.', '..' and repeated '/' folded), without a trailing '/' (the
// root "/" stays "/"). Pure functions; any thread.
#include <QString>
#include <QStringList>

class IndexPathRules {
public:
    enum class Outcome {
        Added,             // appended in stored form
        Repeated,          // an entry equals the path: nothing changes
        InsideExisting,    // the path lies inside entry `conflict` (text 36)
        ContainsExisting,  // entry `conflict` lies inside the path (text 37)
        Empty,             // nothing left after trimming
    };
    struct Result {
        Outcome outcome = Outcome::Empty;
        int conflict = -1;   // index of the entry met, for Repeated / Inside / Contains
        QString path;        // the path in stored form
        // The refusal to show: text 36 (existing, new) or 37 (new, existing); empty otherwise.
        QString message;
    };

    // The stored form of a typed or chosen folder; empty for an empty or blank text.
    static QString storedForm(const QString& path);
    // Applies the rule to `list` (entries in stored form).
    static Result insert(QStringList& list, const QString& path);
    // The rule without changing the list.
    static Result check(const QStringList& list, const QString& path);
};
