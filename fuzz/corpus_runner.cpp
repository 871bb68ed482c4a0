// Runs a fuzz target's entry over every file of a corpus folder, so the corpus
// is a regression test without libFuzzer.
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// A target may free what it keeps between inputs, so leak checks see only real leaks.
extern "C" __attribute__((weak)) void FuzzTargetCleanup();

int main(int argc, char** argv) {
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        DIR* d = opendir(argv[i]);
        if (!d) return 2;
        while (dirent* e = readdir(d)) {
            if (e->d_name[0] == '.') continue;
            std::string path = std::string(argv[i]) + "/" + e->d_name;
            std::ifstream f(path, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++count;
        }
        closedir(d);
    }
    if (FuzzTargetCleanup) FuzzTargetCleanup();
    std::printf("%d corpus inputs ran\n", count);
    return 0;
}
