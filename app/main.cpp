// The desktop program's entry: builds the application object and runs it.
#include "shell/QuendrelApplication.h"

int main(int argc, char* argv[])
{
    QuendrelApplication app(argc, argv);
    return app.run();
}
