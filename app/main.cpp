#include "app/host_check.h"
#include "app/vantor_app.h"

#include <clocale>
#include <cstring>

CVantorApp theApp;

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    // A support tool that needs no window and no browser engine.
    if (argc >= 2 && std::strcmp(argv[1], "--check-host") == 0)
        return RunHostCheck(argc, argv);

    theApp.InitInstance(argc, argv);
    theApp.ExitInstance();
}
