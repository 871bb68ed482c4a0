// The kernels are internal to wavkit (hidden symbols); the test program
// compiles its own copy of them so that their tests call them directly.
#include "../../wavkit/src/kernel_amplitude.cpp"
#include "../../wavkit/src/kernel_order.cpp"
#include "../../wavkit/src/kernel_ramp.cpp"
