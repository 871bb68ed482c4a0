// Entry of the editor program.
#include "frame.h"

int main(int argc, char** argv) { return SonrelMain(argc, argv); }
