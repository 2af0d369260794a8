// IndexPathRules: one rule for the indexed paths and the excluded folders.
#include "indexing/IndexPathRules.h"

#include <QDir>

#include "options/OptionMessage.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kInsideText = 36;
constexpr unsigned kContainsText = 37;
}  // namespace

QString IndexPathRules::storedForm(const QString& path)
{
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty())
        return {};
    const QString absolute = QDir::isAbsolutePath(trimmed) ? trimmed : QDir::current().absoluteFilePath(trimmed);
    std::string p = Tool_Resource::normalizePath(absolute.toStdString());
    Tool_Resource::formatPathString(p, false, false);
    return QString::fromStdString(p);
}

IndexPathRules::Result IndexPathRules::check(const QStringList& list, const QString& path)
{
    Result r;
    r.path = storedForm(path);
    if (r.path.isEmpty())
        return r;
    const std::string p = r.path.toStdString();
    for (int i = 0; i < list.size(); ++i) {
        const std::string e = list[i].toStdString();
        const bool eHoldsP = Tool_Resource::isPathIncludePath(e, p);
        const bool pHoldsE = Tool_Resource::isPathIncludePath(p, e);
        if (eHoldsP && pHoldsE) {
            r.outcome = Outcome::Repeated;
            r.conflict = i;
            return r;
        }
    }
    for (int i = 0; i < list.size(); ++i) {
        const std::string e = list[i].toStdString();
        if (Tool_Resource::isPathIncludePath(e, p)) {
            r.outcome = Outcome::InsideExisting;
            r.conflict = i;
            r.message = OptionMessage::format(kInsideText, list[i], r.path);
            return r;
        }
        if (Tool_Resource::isPathIncludePath(p, e)) {
            r.outcome = Outcome::ContainsExisting;
            r.conflict = i;
            r.message = OptionMessage::format(kContainsText, r.path, list[i]);
            return r;
        }
    }
    r.outcome = Outcome::Added;
    return r;
}

IndexPathRules::Result IndexPathRules::insert(QStringList& list, const QString& path)
{
    Result r = check(list, path);
    if (r.outcome == Outcome::Added)
        list.append(r.path);
    return r;
}
