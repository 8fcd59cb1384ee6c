// rkm7500: the desktop calendar.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("rkm7500 1.0.0");
        return 0;
    }
    std::puts("rkm7500: the calendar window is not built yet");
    return 0;
}
