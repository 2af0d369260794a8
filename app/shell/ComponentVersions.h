#pragma once
// The versions of the outside components this machine has, for the About dialog: Qt (the
// run-time library), the 7-Zip format handler library the archive library loads, and the
// PDF converter. Each call may start a short child process (dpkg-query, pdftotext -v) and
// waits for it at most a few seconds; user-interface thread. Texts are for display only.
#include <QString>

class ComponentVersions {
public:
    static QString qt();
    // "<version> (<library path>)", or the path alone when no package owns it; empty when
    // no handler library was found.
    static QString handlerLibrary();
    // The first line of "pdftotext -v" (the converter the content search starts); empty
    // when it cannot be run.
    static QString pdfConverter();
};
