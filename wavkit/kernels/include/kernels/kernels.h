// The arithmetic of the editing operations: pure functions over sample bytes
// that know nothing of windows, blocks or the frame. The thread procedures run
// the frame protocol around them; tests and benchmarks call them directly.
//
// Units: offsets and lengths named *bytes* or ByteRange are byte counts of the
// sample data; *values* are sample-value indices (byte offset for 8-bit data,
// byte offset / 2 for 16-bit data). `bits` 8 selects the 8-bit rules, any other
// value the 16-bit rules. 8-bit samples are unsigned with 128 as the zero line;
// 16-bit samples are signed little-endian.
//
// Gains are single-precision; a product of a sample and a gain is formed in
// double precision, truncated toward zero and clamped from its full value.
// Every kernel stays inside the bytes it is given: callers pass ranges that lie
// within the data (clip_range), and kernels that may reach past their range
// (the channel fades) take the data size and stop before it.
//
// No kernel knows of threads. Those with long loops work in slices and take
// the caller's Checkpoint, which they call after each slice: that is where an
// operation thread that was asked to stop or to wait does so.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kern {

// Sample values worked between two checkpoints (about 1 MB of data).
constexpr uint32_t kSliceValues = 1u << 20;

// The caller's stop check, called after each slice, never inside one. It may
// leave by throwing: the kernel then ends there with the slices before it done
// and the rest of the range as it was (no resources are held). Null: none.
using Checkpoint = void (*)();

// Whether the kernels may use wider vector units than every machine of the
// kind has (AVX2 on x86-64) when this machine has them; on unless turned off.
// Both give the same bytes; tests and benchmarks turn them off to check and
// time the narrower code. Gives the previous setting.
bool use_wide_units(bool on);

struct ByteRange {
    uint32_t start;   // bytes
    uint32_t length;  // bytes
};

// The range held within [0, size): the start at most size, the length cut at size.
ByteRange clip_range(ByteRange r, uint32_t size);
// The mark when its length is not 0, else the whole data; clipped to the data.
ByteRange working_range(uint32_t markStart, uint32_t markLength, uint32_t size);
// The bytes that a walk over the range's sample values touches: the range
// itself for 8-bit data; from (start / 2) * 2 to ((start + length) / 2) * 2 for
// 16-bit data.
ByteRange value_span(ByteRange r, int bits);

// trunc(v * gain) clamped to lo..hi; the product in double precision. A NaN
// product gives lo.
inline int scale_clamped(int v, double gain, int lo, int hi) {
    double x = static_cast<double>(v) * gain;
    if (x >= static_cast<double>(hi)) return hi;
    if (x >= static_cast<double>(lo)) return static_cast<int>(x);
    return lo;
}

// --- One sample value.
// 8 bits: byte b (0..255) to the byte clamp(trunc((b - 128) * gain)) + 128;
// otherwise the signed 16-bit value s to clamp(trunc(s * gain)).
int change_sample(int sample, int bits, float gain);
// Offset from a band's centre line in pixels for a band height pixels high.
int pixel_offset(int sample, int bits, int height);

// --- In-place amplitude kernels over the range's sample values.
// Each value v becomes clamp(trunc(v * gain)).
void volume_kernel(uint8_t* data, int bits, ByteRange r, float gain, Checkpoint check);
// Volume gain for a percentage: percent * 0.01 in single precision.
float volume_gain(unsigned percent);

// Start gain and step of a linear fade.
struct Ramp {
    float start;
    float step;
};
// Fade in from `percent` over the range: depth (100 - percent) * 0.01,
// start 1 - depth, step depth / N (N = range bytes, or range bytes / 2 for
// 16-bit data).
Ramp fade_in_ramp(unsigned percent, uint32_t rangeBytes, int bits);
// Fade out towards `percent`: start 1.0, step as for the fade in.
Ramp fade_out_ramp(unsigned percent, uint32_t rangeBytes, int bits);
// The k-th value uses the gain start + k * step (rising) or start - k * step,
// carried in double precision by repeated addition.
void ramp_kernel(uint8_t* data, int bits, ByteRange r, Ramp ramp, bool rising, Checkpoint check);

// Largest signed value of the range (8-bit: largest b - 128), starting from -32767.
int peak_value(const uint8_t* data, int bits, ByteRange r, Checkpoint check);
// Scales the range so that its peak reaches full scale (127 / peak or
// 32767 / peak in single precision). Changes nothing when the range is empty,
// its peak is already full scale, or its peak is 0 or below. True when scaled.
bool peak_kernel(uint8_t* data, int bits, ByteRange r, Checkpoint check);

// 8-bit bytes become 127; 16-bit values become 0.
void silence_kernel(uint8_t* data, int bits, ByteRange r, Checkpoint check);

struct ZeroizeThresholds {
    int t8;   // trunc(P * 0.1 * 1.27)
    int t16;  // trunc(P * 0.1 * 327.67)
};
// Thresholds for P in tenths of a per cent of full scale.
ZeroizeThresholds zeroize_thresholds(unsigned tenthsPercent);
// 8-bit: b with -t8 < b - 127 < t8 becomes 127; 16-bit: -t16 < s < t16 becomes 0.
void zeroize_kernel(uint8_t* data, int bits, ByteRange r, ZeroizeThresholds t, Checkpoint check);

// Channel fade over stereo frames. The start is aligned (8-bit: + 1 when not a
// multiple of blockAlign; 16-bit: + start % blockAlign), the length kept. The
// gain g starts at startGain (above 1.0 taken as 1.0) and falls by
// 1 / (length / 2) (8-bit) or 1 / (length / 4) (16-bit) per frame. Left to
// right: left *= g, right *= 1 - g; right to left the other way round. Frames
// that would reach the data size are left alone. Gives the bytes it may have
// changed (start and end of the touched frames), for undo.
ByteRange channel_fade_kernel(uint8_t* data, uint32_t dataBytes, int bits, unsigned blockAlign,
                              ByteRange r, float startGain, bool leftToRight, Checkpoint check);
// The bytes channel_fade_kernel would touch, without touching them.
ByteRange channel_fade_span(uint32_t dataBytes, int bits, unsigned blockAlign, ByteRange r);

// Reverses the range's sample values except its first, which stays in place.
void reverse_kernel(uint8_t* data, int bits, ByteRange r, Checkpoint check);

// Forward moving average of width `width` over values [first, end): value i
// becomes the sum of values i .. i + width - 1 (as they were) divided by width
// (8-bit: unsigned bytes, rounding down; 16-bit: signed, truncating). The last
// `width` values keep theirs; nothing changes when the stretch holds `width`
// values or fewer. Channels are not told apart. Widths from 1 to 20; any
// other width changes nothing.
void moving_average_kernel(uint8_t* data, int bits, uint32_t firstValue, uint32_t endValue,
                           unsigned width, Checkpoint check);

// --- Speed change.
// Speed factor r = percent * 0.01 and length factor k = 1 / r, single precision.
struct SpeedFactors {
    float speed;
    float length;
};
SpeedFactors speed_factors(unsigned percent);
// trunc(bytes * k) computed in double precision.
uint64_t scaled_size(uint32_t bytes, float factor);
// In place, values [0, newCount): value i becomes value trunc(i * speed) of the
// old values, the source index held below oldCount. Stretching (newCount >
// oldCount) walks from the end, compressing from the front; the buffer holds
// max(oldCount, newCount) values.
void resample_kernel(uint8_t* data, int bits, uint32_t oldCount, uint32_t newCount, float speed,
                     Checkpoint check);

// --- Byte moves.
// Moves bytes [from, size) down to `to` (to <= from); ascending.
void move_down(uint8_t* data, uint32_t to, uint32_t from, uint32_t size, Checkpoint check);
// Moves bytes [at, size) up by count; the buffer holds size + count bytes.
void move_up(uint8_t* data, uint32_t at, uint32_t count, uint32_t size, Checkpoint check);
// Rotates bytes [first, last) so that byte `middle` comes first; a reversible
// move that needs no spare memory.
void rotate_bytes(uint8_t* data, uint32_t first, uint32_t middle, uint32_t last, Checkpoint check);
// Brings bytes [from, end) down to `to` (to <= from) so that they occupy
// [to, to + end - from); the bytes they replace stay within [to, end), so
// restore_down(to, from, end) gives back the bytes exactly as they were. Needs
// no spare memory: erase and crop use it to undo their move when the block
// cannot be resized. Swaps when the moved bytes fit in the gap, else rotates.
void bring_down(uint8_t* data, uint32_t to, uint32_t from, uint32_t end, Checkpoint check);
void restore_down(uint8_t* data, uint32_t to, uint32_t from, uint32_t end, Checkpoint check);
// Fills bytes [at, at + count) with silence: 127 for 8-bit data, 0 otherwise.
void fill_silence(uint8_t* data, int bits, uint32_t at, uint32_t count, Checkpoint check);

// Bytes per millisecond: trunc(bytesPerSec * 0.001), 0.001 single precision.
uint32_t bytes_per_ms(uint32_t bytesPerSec);

// --- Drawn paths: the CurveSound editors' volume and channel paths.
// A pin of a path drawn over a range, in pixels of the drawing area: x from 0
// (the range's start) to kCurveWidth (its end), y from 0 (top) to
// kCurveHeight (bottom). A pin's value is kCurveHeight - y: for the volume
// path, per cent (y 0 is 200 %, y 100 is 100 %, y 200 is 0 %). A path is its
// pins in x order; each pair of neighbours is one segment.
constexpr int32_t kCurveWidth = 300;
constexpr int32_t kCurveHeight = 200;
struct CurvePin {
    int32_t x;
    int32_t y;
};

// The part of `length` that dx pixels of the drawing area stand for:
// trunc(dx * c * length), c = 1 / 300 as a single-precision number
// (0.0033333334, a hair above 1 / 300), the product in extended precision.
// 0 for dx of 0 or less.
uint64_t curve_share(int32_t dx, uint64_t length);

// The volume path walks the range's sample values (bytes for 8-bit data,
// 16-bit values otherwise; a 16-bit range starts at value start / 2 and holds
// length / 2 values); channels are not told apart. Segment i covers the next
// v = curve_share(x1 - x0, values of the range) values. Its k-th value
// (k = 1 .. v) gets the gain t + k * (e - t) / v, t and e the segment's end
// factors (kCurveHeight - y) * 0.01 in single precision, the sum in double
// precision and rounded to single precision, the last value e exactly; the
// value becomes change_sample(value, bits, gain). Values past the range or the
// data are never touched; the few at the range's end that the truncated
// shares leave out keep theirs.
struct CurveWalk {
    uint64_t next;    // the value the next segment starts at
    uint64_t end;     // the first value past both the range and the data
    uint64_t values;  // values of the range: what every share is taken of
};
CurveWalk curve_volume_walk(int bits, ByteRange r, uint32_t dataBytes);
// Applies one segment from a to b at walk.next and moves walk.next past it.
void curve_volume_segment(uint8_t* data, int bits, CurveWalk& walk, CurvePin a, CurvePin b,
                          Checkpoint check);
// Applies the whole path of `count` pins.
void curve_volume_kernel(uint8_t* data, int bits, ByteRange r, uint32_t dataBytes,
                         const CurvePin* pins, int count, Checkpoint check);
// The bytes curve_volume_kernel may change: the walked values' bytes.
ByteRange curve_volume_span(int bits, ByteRange r, uint32_t dataBytes);

// The channel path: each segment is one full channel fade (channel_fade_kernel
// with start gain 1.0) over start = r.start + curve_share(x0, r.length) and
// length = curve_share(x1 - x0, r.length) bytes. A segment that rises by 2
// pixels or more (y1 <= y0 - 2) fades left to right; a level or falling one
// (y1 >= y0) right to left; a rise of 1 pixel fades nothing.
enum class CurveFade { kNone, kLeftToRight, kRightToLeft };
struct CurveChannelSegment {
    ByteRange range;  // bytes, as given to the fade (it aligns the start itself)
    CurveFade fade;
};
CurveChannelSegment curve_channel_segment(ByteRange r, CurvePin a, CurvePin b);
// Applies one segment; gives the bytes it may have changed.
ByteRange curve_channel_apply(uint8_t* data, uint32_t dataBytes, int bits, unsigned blockAlign,
                              const CurveChannelSegment& segment, Checkpoint check);
// Applies the whole path; gives the bytes it may have changed (the smallest
// range holding every segment's).
ByteRange curve_channel_kernel(uint8_t* data, uint32_t dataBytes, int bits, unsigned blockAlign,
                               ByteRange r, const CurvePin* pins, int count, Checkpoint check);
// The bytes curve_channel_kernel would touch, without touching them.
ByteRange curve_channel_span(uint32_t dataBytes, int bits, unsigned blockAlign, ByteRange r,
                             const CurvePin* pins, int count);

}  // namespace kern
