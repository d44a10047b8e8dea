#include <cstdio>
#include <cstring>

#include "platform/korval_home.h"

int main(int argc, char** argv)
{
    // Until the main window exists the program only reports what it is and where its data lives.
    std::printf("Korval %s\n", KORVAL_VERSION);
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0)
        return 0;
    std::printf("Data folder: %s\n", korval::KorvalHome().c_str());
    return 0;
}
