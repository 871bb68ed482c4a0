// The "waveaudio" device: one sound in one PCM format, a position in it, and
// at most one play or recording at a time. Recording puts the captured sound
// in at the position it started from (inserted, or over what was there) when
// it ends; positions are bytes inside, shown in milliseconds, bytes or samples.
#include <algorithm>

#include "mci_private.h"

namespace plat::mci {

namespace {

enum class Activity { kNone, kPlaying, kRecording };

struct WaveState {
    WaveSound sound;
    uint64_t position = 0;  // bytes
    Activity activity = Activity::kNone;
    bool paused = false;
    Player player;
    Recorder rec;
    uint64_t record_from = 0;  // bytes
    bool overwrite = false;
};

constexpr DWORD kMaxRate = 384000;

WaveState& state(Device& d) {
    return *static_cast<WaveState*>(d.state.get());
}

uint64_t align(const WaveState& w) {
    return std::max<uint64_t>(w.sound.format.nBlockAlign, 1);
}

uint64_t to_bytes(const WaveState& w, DWORD format, DWORD v) {
    uint64_t a = align(w);
    if (format == MCI_FORMAT_BYTES) return v / a * a;
    if (format == MCI_FORMAT_SAMPLES) return uint64_t(v) * a;
    return uint64_t(v) * w.sound.format.nAvgBytesPerSec / 1000 / a * a;
}

DWORD from_bytes(const WaveState& w, DWORD format, uint64_t bytes) {
    if (format == MCI_FORMAT_BYTES) return DWORD(bytes);
    if (format == MCI_FORMAT_SAMPLES) return DWORD(bytes / align(w));
    return DWORD(bytes * 1000 / std::max<DWORD>(w.sound.format.nAvgBytesPerSec, 1));
}

uint64_t length(WaveState& w) {
    uint64_t len = sound_bytes(w.sound);
    if (w.activity != Activity::kRecording) return len;
    uint64_t got = recorder_bytes(w.rec);
    return w.overwrite ? std::max(len, w.record_from + got) : len + got;
}

uint64_t where(WaveState& w) {
    if (w.activity == Activity::kPlaying) return player_position(w.player);
    if (w.activity == Activity::kRecording) return w.record_from + recorder_bytes(w.rec);
    return w.position;
}

// Puts the capture into the sound at the place the recording started.
MCIERROR finish_recording(WaveState& w) {
    std::vector<char> got = recorder_stop(w.rec);
    w.activity = Activity::kNone;
    w.paused = false;
    std::vector<char>& data = w.sound.data;
    uint64_t from = std::min<uint64_t>(w.record_from, data.size());
    try {
        if (w.overwrite) {
            if (data.size() < from + got.size()) data.resize(size_t(from + got.size()));
            std::copy(got.begin(), got.end(), data.begin() + std::ptrdiff_t(from));
        } else {
            data.insert(data.begin() + std::ptrdiff_t(from), got.begin(), got.end());
        }
    } catch (const std::bad_alloc&) {
        w.position = from;
        return MCIERR_OUT_OF_MEMORY;
    }
    w.position = from + got.size();
    return 0;
}

// Ends a play or recording that a command cuts short; a notice still owed
// gets result.
MCIERROR end_activity(Device& d, WaveState& w, DWORD result = MCI_NOTIFY_ABORTED) {
    stop_worker(d, result);
    if (w.activity == Activity::kRecording) return finish_recording(w);
    if (w.activity == Activity::kPlaying) {
        w.position = player_position(w.player);
        player_stop(w.player);
    }
    w.activity = Activity::kNone;
    w.paused = false;
    return 0;
}

// A new play or recording that asks for a notice supersedes the old one's.
DWORD replaced(const Request& r) {
    return (r.flags & MCI_NOTIFY) ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED;
}

MCIERROR play(Device& d, WaveState& w, const Request& r) {
    if (w.activity == Activity::kPlaying && w.paused && !(r.flags & (MCI_FROM | MCI_TO))) {
        player_pause(w.player, false);
        w.paused = false;
        return 0;
    }
    if (MCIERROR err = end_activity(d, w, replaced(r))) return err;
    uint64_t len = sound_bytes(w.sound);
    uint64_t from = (r.flags & MCI_FROM) ? to_bytes(w, d.time_format, r.from) : w.position;
    uint64_t to = (r.flags & MCI_TO) ? to_bytes(w, d.time_format, r.to) : len;
    if (from > len || to > len || from > to) return MCIERR_OUTOFRANGE;
    w.position = from;
    if (from == to) return 0;
    w.player.read = [&s = w.sound](uint64_t at, size_t n, char* out) {
        return read_sound(s, at, n, out);
    };
    size_t chunk =
        size_t(std::max<uint64_t>(w.sound.format.nAvgBytesPerSec / 4 / align(w), 64) * align(w));
    if (MCIERROR err = player_start(w.player, w.sound.format, from, to, chunk)) return err;
    w.activity = Activity::kPlaying;
    if (start_worker(d)) return 0;
    end_activity(d, w);
    return MCIERR_OUT_OF_MEMORY;
}

MCIERROR record(Device& d, WaveState& w, const Request& r) {
    if (w.activity == Activity::kRecording && w.paused && !(r.flags & (MCI_FROM | MCI_TO))) {
        recorder_pause(w.rec, false);
        w.paused = false;
        return 0;
    }
    if (MCIERROR err = end_activity(d, w, replaced(r))) return err;
    if (MCIERROR err = bring_into_memory(w.sound)) return err;
    uint64_t len = sound_bytes(w.sound);
    uint64_t from = (r.flags & MCI_FROM) ? to_bytes(w, d.time_format, r.from) : w.position;
    uint64_t limit = UINT64_MAX;
    if (r.flags & MCI_TO) {
        uint64_t to = to_bytes(w, d.time_format, r.to);
        if (to <= from) return MCIERR_OUTOFRANGE;
        limit = to - from;
    }
    if (from > len) return MCIERR_OUTOFRANGE;
    w.record_from = from;
    w.overwrite = (r.flags & MCI_RECORD_OVERWRITE) != 0;
    if (MCIERROR err = recorder_start(w.rec, w.sound.format, limit)) return err;
    w.activity = Activity::kRecording;
    if (start_worker(d)) return 0;
    end_activity(d, w);
    return MCIERR_OUT_OF_MEMORY;
}

MCIERROR pause(WaveState& w, bool pausing) {
    if (w.activity == Activity::kNone || w.paused == pausing) return 0;
    if (w.activity == Activity::kPlaying) player_pause(w.player, pausing);
    if (w.activity == Activity::kRecording) recorder_pause(w.rec, pausing);
    w.paused = pausing;
    return 0;
}

MCIERROR seek(Device& d, WaveState& w, const Request& r) {
    if (MCIERROR err = end_activity(d, w)) return err;
    uint64_t len = sound_bytes(w.sound);
    uint64_t to = (r.flags & MCI_SEEK_TO_START) ? 0
                  : (r.flags & MCI_SEEK_TO_END) ? len
                                                : to_bytes(w, d.time_format, r.to);
    if (to > len) return MCIERR_OUTOFRANGE;
    w.position = to;
    return 0;
}

MCIERROR status(Device& d, WaveState& w, const Request& r, Reply* reply) {
    const WAVEFORMATEX& f = w.sound.format;
    auto integer = [&](DWORD v) {
        reply->kind = Reply::kInteger;
        reply->value = v;
        return MCIERROR(0);
    };
    auto at = [&](uint64_t bytes) {
        reply->kind = Reply::kPosition;
        reply->format = d.time_format;
        reply->value = from_bytes(w, d.time_format, bytes);
        return MCIERROR(0);
    };
    if ((r.flags & MCI_TRACK) && r.track != 1) return MCIERR_OUTOFRANGE;
    switch (r.item) {
        case MCI_STATUS_POSITION:
            return at((r.flags & (MCI_STATUS_START | MCI_TRACK)) ? 0 : where(w));
        case MCI_STATUS_LENGTH:
            return at(length(w));
        case MCI_STATUS_MODE:
            reply->kind = Reply::kMode;
            reply->value = w.paused                             ? MCI_MODE_PAUSE
                           : w.activity == Activity::kPlaying   ? MCI_MODE_PLAY
                           : w.activity == Activity::kRecording ? MCI_MODE_RECORD
                                                                : MCI_MODE_STOP;
            return 0;
        case MCI_STATUS_READY:
        case MCI_STATUS_MEDIA_PRESENT:
            reply->kind = Reply::kBool;
            reply->value = TRUE;
            return 0;
        case MCI_STATUS_NUMBER_OF_TRACKS:
        case MCI_STATUS_CURRENT_TRACK:
            return integer(1);
        case MCI_STATUS_TIME_FORMAT:
            reply->kind = Reply::kTimeFormat;
            reply->value = d.time_format;
            return 0;
        case MCI_WAVE_STATUS_FORMATTAG:
            reply->kind = Reply::kFormatTag;
            reply->value = f.wFormatTag;
            return 0;
        case MCI_WAVE_STATUS_CHANNELS:
            return integer(f.nChannels);
        case MCI_WAVE_STATUS_SAMPLESPERSEC:
            return integer(f.nSamplesPerSec);
        case MCI_WAVE_STATUS_AVGBYTESPERSEC:
            return integer(f.nAvgBytesPerSec);
        case MCI_WAVE_STATUS_BLOCKALIGN:
            return integer(f.nBlockAlign);
        case MCI_WAVE_STATUS_BITSPERSAMPLE:
            return integer(f.wBitsPerSample);
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

// The format of a sound with no samples yet; block align and bytes per second
// always follow from the other fields.
MCIERROR set_format(WaveState& w, const Request& r) {
    if (w.activity != Activity::kNone || sound_bytes(w.sound) > 0)
        return MCIERR_NONAPPLICABLE_FUNCTION;
    WAVEFORMATEX f = w.sound.format;
    if (r.flags & MCI_WAVE_SET_FORMATTAG) f.wFormatTag = r.format.wFormatTag;
    if (r.flags & MCI_WAVE_SET_CHANNELS) f.nChannels = r.format.nChannels;
    if (r.flags & MCI_WAVE_SET_SAMPLESPERSEC) f.nSamplesPerSec = r.format.nSamplesPerSec;
    if (r.flags & MCI_WAVE_SET_BITSPERSAMPLE) f.wBitsPerSample = r.format.wBitsPerSample;
    if (f.wFormatTag != WAVE_FORMAT_PCM) return MCIERR_OUTOFRANGE;
    if (f.nChannels < 1 || f.nChannels > 2) return MCIERR_OUTOFRANGE;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) return MCIERR_OUTOFRANGE;
    if (f.nSamplesPerSec < 1 || f.nSamplesPerSec > kMaxRate) return MCIERR_OUTOFRANGE;
    f.nBlockAlign = WORD(f.wBitsPerSample / 8 * f.nChannels);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    w.sound.format = f;
    return 0;
}

MCIERROR set(Device& d, WaveState& w, const Request& r) {
    if (r.flags & MCI_SET_TIME_FORMAT) {
        DWORD t = r.time_format;
        if (t != MCI_FORMAT_MILLISECONDS && t != MCI_FORMAT_BYTES && t != MCI_FORMAT_SAMPLES)
            return MCIERR_BAD_TIME_FORMAT;
    }
    if (r.flags & 0x003F0000) {
        if (MCIERROR err = set_format(w, r)) return err;
    }
    if (r.flags & MCI_SET_TIME_FORMAT) d.time_format = r.time_format;
    if (!(r.flags & (MCI_SET_TIME_FORMAT | 0x003F0000))) return MCIERR_MISSING_PARAMETER;
    return 0;
}

MCIERROR save(WaveState& w, const Request& r) {
    if (w.activity == Activity::kRecording) return MCIERR_NONAPPLICABLE_FUNCTION;
    std::string file = (r.flags & MCI_SAVE_FILE) ? r.file : w.sound.path;
    if (file.empty()) return MCIERR_FILENAME_REQUIRED;
    if (MCIERROR err = save_wave_file(w.sound, file)) return err;
    if (w.sound.path.empty()) w.sound.path = file;
    return 0;
}

MCIERROR open(Device& d, const Request& r) {
    auto w = std::make_shared<WaveState>();
    if ((r.flags & MCI_OPEN_ELEMENT) && !r.element.empty()) {
        if (MCIERROR err = load_wave_file(r.element, &w->sound)) return err;
    }
    d.state = w;
    return 0;
}

MCIERROR command(Device& d, const Request& r, Reply* reply) {
    WaveState& w = state(d);
    switch (r.verb) {
        case MCI_PLAY:
            return play(d, w, r);
        case MCI_RECORD:
            return record(d, w, r);
        case MCI_STOP:
            return end_activity(d, w);
        case MCI_PAUSE:
            return pause(w, true);
        case MCI_RESUME:
            return pause(w, false);
        case MCI_SEEK:
            return seek(d, w, r);
        case MCI_STATUS:
            return status(d, w, r, reply);
        case MCI_SET:
            return set(d, w, r);
        case MCI_SAVE:
            return save(w, r);
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

void close(Device& d) {
    WaveState& w = state(d);
    end_activity(d, w);
    drop_sound(w.sound);
}

bool step(Device& d) {
    WaveState& w = state(d);
    if (w.activity == Activity::kPlaying) {
        if (w.paused) return true;
        PlayState s = player_step(w.player);
        if (s == PlayState::kPlaying) return true;
        w.position = s == PlayState::kDone ? w.player.to : player_position(w.player);
        player_stop(w.player);
        w.activity = Activity::kNone;
        settle_notice(d, s == PlayState::kDone ? MCI_NOTIFY_SUCCESSFUL : MCI_NOTIFY_FAILURE);
        return false;
    }
    if (w.activity == Activity::kRecording) {
        bool failed = false;
        if (!recorder_over(w.rec, &failed)) return true;
        MCIERROR err = finish_recording(w);
        settle_notice(d, failed || err ? MCI_NOTIFY_FAILURE : MCI_NOTIFY_SUCCESSFUL);
        return false;
    }
    return false;
}

}  // namespace

const DeviceType kWaveAudio = {
    "waveaudio", MCI_DEVTYPE_WAVEFORM_AUDIO, MCI_FORMAT_MILLISECONDS, open, command, close, step};

}  // namespace plat::mci
