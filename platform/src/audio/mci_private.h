// MCI inside the layer: one request record that both the command strings and
// the command records become, the open devices, and the per-type tables that
// carry a request out. Every command on a device runs under the device's
// command lock; a device that plays or records has a worker thread that takes
// the same lock (only by trying, so a command may join it) for each step.
#pragma once

#include <platform/mci.h>
#include <platform/wavein.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio_private.h"
#include "system/system_private.h"
#include "windows/windows_private.h"

namespace plat::mci {

// A command in the form of the command records: the MCI_* flags that were
// given and their values. Positions are packed as the device's time format.
struct Request {
    UINT verb = 0;  // MCI_OPEN, MCI_PLAY, ...
    DWORD flags = 0;
    HWND callback = nullptr;
    std::string type, element, alias;  // MCI_OPEN
    DWORD from = 0, to = 0;            // MCI_FROM, MCI_TO (MCI_SEEK: to)
    DWORD item = 0, track = 0;         // MCI_STATUS_ITEM, MCI_TRACK
    DWORD time_format = 0;             // MCI_SET_TIME_FORMAT
    WAVEFORMATEX format{};             // MCI_WAVE_SET_*
    std::string file;                  // MCI_SAVE_FILE
};

// What a status answers; strings show it by kind.
struct Reply {
    enum Kind { kNone, kInteger, kPosition, kMode, kBool, kTimeFormat, kFormatTag, kDeviceId };
    Kind kind = kNone;
    DWORD value = 0;
    DWORD format = 0;  // kPosition: the time format the value is packed in
};

struct Device;

// A device type: its name, number, first time format and the functions that
// carry requests out. open fills d.state; command returns MCIERR_* or 0;
// close ends any play or recording and lets the state go; step runs one
// worker step and gives false when the play or recording is over.
struct DeviceType {
    const char* name;
    UINT number;  // MCI_DEVTYPE_*
    DWORD time_format;
    MCIERROR (*open)(Device& d, const Request& r);
    MCIERROR (*command)(Device& d, const Request& r, Reply* reply);
    void (*close)(Device& d);
    bool (*step)(Device& d);
};

struct Device {
    MCIDEVICEID id = 0;
    std::string name;  // the alias, else the element or type name
    const DeviceType* type = nullptr;
    std::mutex cmd;                   // held for every command and every worker step
    bool closed = false;              // under cmd
    DWORD time_format = 0;            // under cmd
    HWND notice = nullptr;            // the window owed a notice for the running play or recording
    std::atomic<bool> active{false};  // a play or recording runs (the worker steps it)
    std::shared_ptr<void> state;      // the type's own record

    // The worker thread and its stop request.
    std::thread worker;
    std::mutex wake_m;
    std::condition_variable wake;
    std::atomic<bool> quit{false};
};

// --- the device table and the common rules (mci_device.cpp) ---
const DeviceType* find_type(const std::string& name);
const DeviceType* find_type(UINT number);
// Opens a device for r (MCI_OPEN) and gives its id in reply.
MCIERROR open_device(const Request& r, Reply* reply);
std::shared_ptr<Device> find_device(const std::string& name);
std::shared_ptr<Device> find_device(MCIDEVICEID id);
std::vector<std::shared_ptr<Device>> all_devices();
// Carries out r on d (not MCI_OPEN): the type's command, MCI_CLOSE, notices,
// waits. complete, when given, fills in r first, under the same lock as the
// command, from the time format the device uses then (so a position read from
// words is taken in the format it was written for).
using Completion = std::function<MCIERROR(DWORD time_format, Request* r)>;
MCIERROR run(Device& d, Request r, Reply* reply, const Completion& complete = nullptr);
// Starts stepping d on a worker (d.active set); false when no thread can be
// made. Caller holds d.cmd.
bool start_worker(Device& d);
// Ends d's play or recording run by the worker: joins it, clears d.active and
// gives a notice still owed the result (0: none). Caller holds d.cmd.
void stop_worker(Device& d, DWORD result);
// Posts result to the window owed a notice and clears it. Any thread.
void settle_notice(Device& d, DWORD result);

// --- command strings (mci_string.cpp) ---
// Reads the device's part of a command string into r, in the device's time
// format; the verb and device name are already taken.
MCIERROR parse_arguments(UINT verb, const std::vector<std::string>& words, size_t at,
                         DWORD time_format, Request* r);
// The text of an answer.
std::string reply_text(const Reply& reply);

// --- time formats (mci_string.cpp) ---
// The name of a time format ("milliseconds", "msf", ...), and back; false for a
// name the interpreter does not know.
const char* time_format_name(DWORD format);
bool time_format_from_name(const std::string& name, DWORD* format);

// --- playing through the wave output (mci_player.cpp) ---
// Plays bytes [from, to) of a source through the default output, read ahead
// into a ring of buffers of chunk bytes (whole frames, and for a source of
// sectors whole sectors). read(offset, bytes, out) fills out; false stops the
// play as failed.
struct Player {
    HWAVEOUT out = nullptr;
    std::function<bool(uint64_t offset, size_t bytes, char* out)> read;
    std::vector<std::unique_ptr<char[]>> buffers;
    std::vector<WAVEHDR> headers;
    struct Queued {
        size_t index;  // of the header
        uint64_t end;  // the source byte after its last
    };
    std::deque<Queued> queued;  // in the order they play
    uint64_t from = 0, to = 0, next = 0;
    size_t chunk = 0;
    bool paused = false;
};
enum class PlayState { kPlaying, kDone, kFailed };
// 0, or the MCIERR_* of a failed start (nothing stays open then).
MCIERROR player_start(Player& p, const WAVEFORMATEX& format, uint64_t from, uint64_t to,
                      size_t chunk);
// Refills and queues the buffers that have played.
PlayState player_step(Player& p);
// The source byte the output has reached.
uint64_t player_position(const Player& p);
void player_pause(Player& p, bool pause);
// Stops at once and closes the output; the position is kept by the caller.
void player_stop(Player& p);

// --- the sound of a waveaudio device (mci_wave_file.cpp) ---
// Held in memory (new, recorded or changed), or read from its wave file as it
// plays, so that opening a large file costs no memory.
struct WaveSound {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
    std::vector<char> data;  // in memory
    std::string path;        // the file it came from or was saved to ("" when new)
    int fd = -1;             // open on path while the data is read from the file
    uint64_t file_offset = 0, file_bytes = 0;
};
uint64_t sound_bytes(const WaveSound& s);
bool read_sound(const WaveSound& s, uint64_t offset, size_t bytes, char* out);
// Reads the format and finds the data of a PCM wave file (8 or 16 bits, mono or
// stereo): MCIERR_FILE_NOT_FOUND, MCIERR_INVALID_FILE.
MCIERROR load_wave_file(const std::string& path, WaveSound* s);
// Reads a sound held in its file into memory and lets the file go.
MCIERROR bring_into_memory(WaveSound& s);
// Writes a PCM wave file beside path and puts it in path's place only when it
// is complete: MCIERR_FILE_NOT_SAVED.
MCIERROR save_wave_file(WaveSound& s, const std::string& path);
void drop_sound(WaveSound& s);

// --- recording from the default wave input (mci_wave_record.cpp) ---
// The input's callback appends each full buffer to captured and queues it
// again while accepting; at limit bytes it stops queueing.
struct Recorder {
    std::mutex m;  // guards captured, accepting, failed against the callback
    std::vector<char> captured;
    bool accepting = false;
    bool failed = false;  // memory ran out
    uint64_t limit = 0;
    HWAVEIN in = nullptr;
    std::vector<std::unique_ptr<char[]>> buffers;
    std::vector<WAVEHDR> headers;
};
MCIERROR recorder_start(Recorder& r, const WAVEFORMATEX& format, uint64_t limit);
void recorder_pause(Recorder& r, bool pause);
uint64_t recorder_bytes(Recorder& r);
// True when the recording is over on its own: full, or out of memory (*failed).
bool recorder_over(Recorder& r, bool* failed);
// Stops, closes the input and gives what was captured.
std::vector<char> recorder_stop(Recorder& r);

// --- the disc of the cdaudio device (mci_cd_disc.cpp) ---
constexpr size_t kSectorBytes = 2352;  // one frame of CD audio: 1/75 s, 16-bit stereo
constexpr int32_t kLeadIn = 150;       // frames before sector 0 in msf addresses
struct DiscTrack {
    int32_t start;  // first sector
    bool audio;
};
struct Disc {
    struct _CdIo* cdio = nullptr;  // null: no disc
    int first = 1;                 // the number of tracks[0]
    std::vector<DiscTrack> tracks;
    int32_t leadout = 0;             // the sector after the last track
    std::vector<std::string> files;  // an image's files, checked for removal
};
// The drive to use when no image is set ("" for none).
std::string first_drive();
// The disc image named by the setting "Sonrel\Settings\CDPlayer\Device".
std::string image_setting();
// Opens a drive or an image and reads its table of contents; false (and no
// disc) when there is no audio disc to read.
bool disc_open(Disc& d, const std::string& source, bool image);
void disc_close(Disc& d);
// False once an image's files are gone or a drive's disc was taken out; a
// drive whose disc was changed reads the new table of contents.
bool disc_present(Disc& d, const std::string& source);
// Reads sectors [lsn, lsn + sectors) as 16-bit little-endian stereo; sectors of
// data tracks read as silence.
bool disc_read(Disc& d, int32_t lsn, uint32_t sectors, char* out);
// The index in d.tracks of the track that holds sector lsn.
int disc_track_at(const Disc& d, int32_t lsn);
// For the testing hook: the device libcdio is asked for instead of the first
// drive ("" for none); null finds the drive again.
void set_test_drive(const char* device);

// --- the device types (mci_wave.cpp, mci_cd.cpp) ---
extern const DeviceType kWaveAudio;
extern const DeviceType kCdAudio;

}  // namespace plat::mci
