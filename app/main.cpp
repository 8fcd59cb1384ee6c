// rkm7500: the desktop calendar.
#include "app/command.h"

int main(int argc, char** argv)
{
    return cmd_main(argc, argv);
}
