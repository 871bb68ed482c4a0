// The editor's frame window and its start-up.
#pragma once

// Starts the program: the layer, the resources, the frame and its message loop.
// Returns the process exit code.
int SonrelMain(int argc, char** argv);
