#pragma once

// The whole program, from the command line to the end of the event loop:
// what the executable's main() runs.
int runVelmora(int argc, char **argv);
