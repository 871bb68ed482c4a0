// What the benchmarks of large files share: their folder, the source wave
// file, its plain reading and the process's resident memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace benchfiles {

// A new private folder under $SONREL_BENCH_DIR (default /tmp), made the
// program's home folder (SONREL_HOME) for the run; Qt runs offscreen unless
// told otherwise.
std::string start_bench_folder();

// Writes path as a 16-bit stereo 44100 Hz wave file with dataBytes of a byte
// ramp, unless a readable file is there already. False when it cannot be
// written.
bool write_ramp_wave(const std::string& path, uint32_t dataBytes);

// Reads the whole file into buffer (as far as it holds) with plain read()
// calls: the baseline the opens are measured against. The bytes read.
size_t read_plain(const std::string& path, std::vector<char>& buffer);

// The resident memory of this process in MB.
double resident_mb();

}  // namespace benchfiles
