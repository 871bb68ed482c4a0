// Every editing kernel on 100 MB of 8-bit and 16-bit data, beside memcpy of
// the same bytes in the same run. Each iteration restores the data with a
// memcpy of the 100 MB and times that copy too, so every in-place kernel
// prints of_memcpy, its speed over memcpy's in the same iterations (thread
// CPU time, so other processes on the machine count less). The byte moves of
// erase and crop print of_memmove the same way against a memmove of the same
// bytes. The second argument 0 turns off the wider vector units of the
// machine (AVX2), so both copies of the kernels are timed.
#include <benchmark/benchmark.h>
#include <kernels/kernels.h>
#include <time.h>

#include <cstring>
#include <random>
#include <type_traits>
#include <vector>

namespace {

constexpr uint32_t kBytes = 100u << 20;

// Noise at about half scale, so that gains neither clamp everything nor nothing.
const std::vector<uint8_t>& pristine() {
    static std::vector<uint8_t> data = [] {
        std::vector<uint8_t> d(2 * size_t{kBytes} + 256);
        std::mt19937 rng(5);
        for (size_t i = 0; i < d.size(); i += 2) {
            int16_t v = static_cast<int16_t>(static_cast<int>(rng() % 32768) - 16384);
            std::memcpy(&d[i], &v, 2);
        }
        for (size_t i = 0; i < d.size(); i += 7) d[i] = static_cast<uint8_t>(64 + rng() % 128);
        return d;
    }();
    return data;
}

std::vector<uint8_t>& work() {
    static std::vector<uint8_t> data(pristine().size());
    return data;
}

double thread_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The wider units as a kernel benchmark's second argument asks; the byte
// moves' arguments are offsets and leave them on.
struct Units {
    bool before;
    Units(const benchmark::State& state, bool moves)
        : before(kern::use_wide_units(moves || state.range(1) != 0)) {}
    ~Units() { kern::use_wide_units(before); }
};

// Copies the pristine data over the work data; gives the seconds the copy of
// the first kBytes took.
double restore(std::vector<uint8_t>& w) {
    double t0 = thread_seconds();
    std::memcpy(w.data(), pristine().data(), kBytes);
    double t1 = thread_seconds();
    std::memcpy(w.data() + kBytes, pristine().data() + kBytes, 256);
    return t1 - t0;
}

// Runs op on freshly restored data each iteration; bytes counts for
// throughput. With a reference, that runs on restored data too and of_memmove
// compares with it; without one, of_memcpy compares with the restoring copy.
template <typename Op, typename Ref = std::nullptr_t>
void run(benchmark::State& state, uint64_t bytes, Op&& op, Ref ref = nullptr) {
    Units units(state, !std::is_same_v<Ref, std::nullptr_t>);
    pristine();  // made before the first timing
    auto& w = work();
    double opTime = 0, refTime = 0;
    for (auto _ : state) {
        state.PauseTiming();
        double copy = restore(w);
        if constexpr (std::is_same_v<Ref, std::nullptr_t>) {
            refTime += copy;
        } else {
            double t0 = thread_seconds();
            ref(w.data());
            refTime += thread_seconds() - t0;
            benchmark::ClobberMemory();
            restore(w);
        }
        state.ResumeTiming();
        double t0 = thread_seconds();
        op(w.data());
        benchmark::ClobberMemory();
        opTime += thread_seconds() - t0;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    if (opTime > 0) {
        // Speeds over the same bytes: the reference moves `bytes` too, memcpy kBytes.
        double refBytes = std::is_same_v<Ref, std::nullptr_t> ? double(kBytes) : double(bytes);
        double ratio = (double(bytes) / opTime) / (refBytes / refTime);
        state.counters[std::is_same_v<Ref, std::nullptr_t> ? "of_memcpy" : "of_memmove"] = ratio;
    }
}

int bits_of(const benchmark::State& state) {
    return static_cast<int>(state.range(0));
}

const kern::ByteRange kAll{0, kBytes};

void BM_Memcpy(benchmark::State& state) {
    pristine();
    std::vector<uint8_t> dest(kBytes);  // zeroed, so its pages are in place
    for (auto _ : state) {
        std::memcpy(dest.data(), pristine().data(), kBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_Volume(benchmark::State& state) {
    int bits = bits_of(state);
    run(state, kBytes, [bits](uint8_t* d) { kern::volume_kernel(d, bits, kAll, 1.5f, nullptr); });
}
BENCHMARK(BM_Volume)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

void BM_PeakVolume(benchmark::State& state) {
    int bits = bits_of(state);
    run(state, kBytes, [bits](uint8_t* d) { kern::peak_kernel(d, bits, kAll, nullptr); });
}
BENCHMARK(BM_PeakVolume)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

void BM_Silence(benchmark::State& state) {
    int bits = bits_of(state);
    run(state, kBytes, [bits](uint8_t* d) { kern::silence_kernel(d, bits, kAll, nullptr); });
}
BENCHMARK(BM_Silence)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

void BM_Zeroize(benchmark::State& state) {
    int bits = bits_of(state);
    kern::ZeroizeThresholds t = kern::zeroize_thresholds(30);
    run(state, kBytes, [bits, t](uint8_t* d) { kern::zeroize_kernel(d, bits, kAll, t, nullptr); });
}
BENCHMARK(BM_Zeroize)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

void BM_Reverse(benchmark::State& state) {
    int bits = bits_of(state);
    run(state, kBytes, [bits](uint8_t* d) { kern::reverse_kernel(d, bits, kAll, nullptr); });
}
BENCHMARK(BM_Reverse)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

void BM_FadeIn(benchmark::State& state) {
    int bits = bits_of(state);
    kern::Ramp ramp = kern::fade_in_ramp(10, kBytes, bits);
    run(state, kBytes,
        [bits, ramp](uint8_t* d) { kern::ramp_kernel(d, bits, kAll, ramp, true, nullptr); });
}
BENCHMARK(BM_FadeIn)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

void BM_FadeOut(benchmark::State& state) {
    int bits = bits_of(state);
    kern::Ramp ramp = kern::fade_out_ramp(10, kBytes, bits);
    run(state, kBytes,
        [bits, ramp](uint8_t* d) { kern::ramp_kernel(d, bits, kAll, ramp, false, nullptr); });
}
BENCHMARK(BM_FadeOut)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

void BM_ChannelFade(benchmark::State& state) {
    int bits = bits_of(state);
    unsigned align = bits == 8 ? 2 : 4;
    run(state, kBytes, [bits, align](uint8_t* d) {
        kern::channel_fade_kernel(d, kBytes, bits, align, kAll, 1.0f, true, nullptr);
    });
}
BENCHMARK(BM_ChannelFade)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

// A three-pin volume path (50 % up to 150 %, down to 100 %) over 16-bit stereo
// data (the path walks values; stereo only sets the frame count): compare
// with BM_Volume/16 of the same run.
void BM_CurveVolume(benchmark::State& state) {
    int bits = bits_of(state);
    const kern::CurvePin pins[] = {{0, 150}, {150, 50}, {300, 100}};
    run(state, kBytes, [bits, &pins](uint8_t* d) {
        kern::curve_volume_kernel(d, bits, kAll, kBytes, pins, 3, nullptr);
    });
}
BENCHMARK(BM_CurveVolume)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

// The channel path of five pins over stereo data: four full channel fades.
void BM_CurveChannels(benchmark::State& state) {
    int bits = bits_of(state);
    unsigned align = bits == 8 ? 2 : 4;
    const kern::CurvePin pins[] = {{0, 100}, {75, 20}, {150, 180}, {225, 60}, {300, 100}};
    run(state, kBytes, [bits, align, &pins](uint8_t* d) {
        kern::curve_channel_kernel(d, kBytes, bits, align, kAll, pins, 5, nullptr);
    });
}
BENCHMARK(BM_CurveChannels)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

void BM_MovingAverage(benchmark::State& state) {
    int bits = bits_of(state);
    uint32_t values = bits == 8 ? kBytes : kBytes / 2;
    run(state, kBytes, [bits, values](uint8_t* d) {
        kern::moving_average_kernel(d, bits, 0, values, 6, nullptr);
    });
}
BENCHMARK(BM_MovingAverage)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

// Speed 50 %: 100 MB become 200 MB (the figure counts the bytes written).
void BM_Stretch(benchmark::State& state) {
    int bits = bits_of(state);
    uint32_t values = bits == 8 ? kBytes : kBytes / 2;
    run(state, 2ull * kBytes, [bits, values](uint8_t* d) {
        kern::resample_kernel(d, bits, values, 2 * values, 0.5f, nullptr);
    });
}
BENCHMARK(BM_Stretch)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

// Speed 200 %: 100 MB become 50 MB (the figure counts the bytes read).
void BM_Compress(benchmark::State& state) {
    int bits = bits_of(state);
    uint32_t values = bits == 8 ? kBytes : kBytes / 2;
    run(state, kBytes, [bits, values](uint8_t* d) {
        kern::resample_kernel(d, bits, values, values / 2, 2.0f, nullptr);
    });
}
BENCHMARK(BM_Compress)->ArgsProduct({{8, 16}, {1, 0}})->Unit(benchmark::kMillisecond);

// Erase of the first 10 MB: 90 MB move down.
void BM_EraseMove(benchmark::State& state) {
    run(
        state, kBytes - (10u << 20),
        [](uint8_t* d) { kern::bring_down(d, 0, 10u << 20, kBytes, nullptr); },
        [](uint8_t* d) { std::memmove(d, d + (10u << 20), kBytes - (10u << 20)); });
}
BENCHMARK(BM_EraseMove)->Unit(benchmark::kMillisecond);

// Crop to the last 90 MB, and to a 40 MB mark in the middle (swapped, not rotated).
void BM_CropMove(benchmark::State& state) {
    uint32_t start = static_cast<uint32_t>(state.range(0)) << 20;
    uint32_t length = static_cast<uint32_t>(state.range(1)) << 20;
    run(
        state, length,
        [start, length](uint8_t* d) { kern::bring_down(d, 0, start, start + length, nullptr); },
        [start, length](uint8_t* d) { std::memmove(d, d + start, length); });
}
BENCHMARK(BM_CropMove)->Args({10, 90})->Args({50, 40})->Unit(benchmark::kMillisecond);

// Insertion of 10 MB of silence at 1 MB: 99 MB move up, 10 MB filled.
void BM_InsertMove(benchmark::State& state) {
    run(
        state, kBytes,
        [](uint8_t* d) {
            kern::move_up(d, 1u << 20, 10u << 20, kBytes, nullptr);
            kern::fill_silence(d, 8, 1u << 20, 10u << 20, nullptr);
        },
        [](uint8_t* d) {
            std::memmove(d + (11u << 20), d + (1u << 20), kBytes - (1u << 20));
            std::memset(d + (1u << 20), 127, 10u << 20);
        });
}
BENCHMARK(BM_InsertMove)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
