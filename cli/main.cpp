#include "cli/QdSearchApp.h"

int main(int argc, char** argv) { return QdSearchApp::run(argc, argv); }
