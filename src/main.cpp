// The executable: start-up and the start window are in libvelmora-start.so,
// everything beyond them in the module velmora-program.so, which start-up
// loads when the start window first leads on (app/programmodule.h).

#include "app/run.h"

int main(int argc, char **argv)
{
    return runVelmora(argc, argv);
}
