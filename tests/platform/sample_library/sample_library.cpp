// A small library that the library loading tests load at run time: one
// function and one variable, exported by name.
#define SAMPLE_EXPORT extern "C" __attribute__((visibility("default")))

SAMPLE_EXPORT int SampleAnswer(void) {
    return 42;
}

SAMPLE_EXPORT int sample_counter = 7;
