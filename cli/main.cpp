#include <unistd.h>

#include "cli/QdSearchApp.h"

int main(int argc, char** argv) {
    return QdSearchApp::guarded(STDERR_FILENO, [&] { return QdSearchApp::run(argc, argv); });
}
