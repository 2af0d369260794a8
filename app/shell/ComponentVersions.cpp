// ComponentVersions: ask the installed components for their versions.
#include "shell/ComponentVersions.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "archive/CExtractMgr.h"
#include "content/CT_PDF.h"

namespace {

constexpr int kWaitMs = 3000;

// Standard output (and error) of a program started without a shell; empty on failure.
QString runAndRead(const QString& program, const QStringList& arguments, bool errorToo)
{
    QProcess process;
    process.setProcessChannelMode(errorToo ? QProcess::MergedChannels : QProcess::SeparateChannels);
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(kWaitMs))
        return {};
    if (!process.waitForFinished(kWaitMs)) {
        process.kill();
        process.waitForFinished(kWaitMs);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The Debian package that installed `file` and its version, "package version"; empty when
// none does (a library copied by hand, or no dpkg).
QString packageVersionOf(const QString& file)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dpkg-query")).isEmpty())
        return {};
    const QString owner = runAndRead(QStringLiteral("dpkg-query"), {QStringLiteral("-S"), file}, false);
    const qsizetype colon = owner.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return {};
    const QString package = owner.left(colon).split(QLatin1Char(',')).first().trimmed();
    const QString version = runAndRead(QStringLiteral("dpkg-query"),
                                       {QStringLiteral("-W"), QStringLiteral("-f=${Version}"), package}, false);
    return version.isEmpty() ? QString() : package + QLatin1Char(' ') + version;
}

}  // namespace

QString ComponentVersions::qt()
{
    return QString::fromLatin1(qVersion());
}

QString ComponentVersions::handlerLibrary()
{
    QString library = QString::fromStdString(CExtractMgr::getHandlerLibraryFor("7z"));
    if (library.isEmpty())
        return {};
    const QString canonical = QFileInfo(library).canonicalFilePath();
    if (!canonical.isEmpty())
        library = canonical;
    const QString package = packageVersionOf(library);
    return package.isEmpty() ? library : QStringLiteral("%1 (%2)").arg(package, library);
}

QString ComponentVersions::pdfConverter()
{
    // pdftotext -v writes its version to standard error and may exit with status 99.
    const QString program = QString::fromStdString(CT_PDF::converterProgram());
    const QString text = runAndRead(program, {QStringLiteral("-v")}, true);
    return text.section(QLatin1Char('\n'), 0, 0).trimmed();
}
