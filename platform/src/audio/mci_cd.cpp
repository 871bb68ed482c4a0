// The "cdaudio" device: the audio tracks of a disc played through the wave
// output. Positions are sectors inside (75 a second), shown as msf (minutes,
// seconds and frames from the start of the disc, its two-second lead-in
// counted), tmsf (track, then minutes, seconds and frames into it) or
// milliseconds; lengths are shown as msf in both msf and tmsf.
#include <algorithm>
#include <chrono>

#include "mci_private.h"

namespace plat::mci {

namespace {

enum class Activity { kNone, kPlaying };

struct CdState {
    std::string source;  // the image, or the drive
    bool image = false;
    Disc disc;
    int32_t position = 0;  // sector
    Activity activity = Activity::kNone;
    bool paused = false;
    Player player;
    std::chrono::steady_clock::time_point next_check;
    std::chrono::steady_clock::time_point next_probe;
};

constexpr size_t kChunkSectors = 32;
constexpr auto kCheckPeriod = std::chrono::milliseconds(100);
constexpr auto kProbePeriod = std::chrono::milliseconds(1000);

CdState& state(Device& d) {
    return *static_cast<CdState*>(d.state.get());
}

bool has_disc(const CdState& c) {
    return c.disc.cdio != nullptr;
}

int32_t track_start(const CdState& c, size_t index) {
    return c.disc.tracks[index].start;
}

int32_t track_end(const CdState& c, size_t index) {
    return index + 1 < c.disc.tracks.size() ? track_start(c, index + 1) : c.disc.leadout;
}

// Notices a disc that came or went since the last look. A missing disc is
// looked for again at most once a second: opening a drive takes time.
void look_for_disc(CdState& c) {
    auto now = std::chrono::steady_clock::now();
    if (has_disc(c)) {
        if (!disc_present(c.disc, c.source)) disc_close(c.disc);
        if (has_disc(c)) return;
        c.position = 0;
    }
    if (now < c.next_probe) return;
    c.next_probe = now + kProbePeriod;
    if (disc_open(c.disc, c.source, c.image)) c.position = track_start(c, 0);
}

int32_t where(const CdState& c) {
    if (c.activity == Activity::kPlaying) return int32_t(player_position(c.player) / kSectorBytes);
    return c.position;
}

// The sector a packed position names; false when it lies off the disc.
bool to_sector(const CdState& c, DWORD format, DWORD v, int32_t* out) {
    int32_t s;
    if (format == MCI_FORMAT_TMSF) {
        int t = int(MCI_TMSF_TRACK(v)) - c.disc.first;
        if (t < 0 || t >= int(c.disc.tracks.size())) return false;
        s = track_start(c, size_t(t)) + (MCI_TMSF_MINUTE(v) * 60 + MCI_TMSF_SECOND(v)) * 75 +
            MCI_TMSF_FRAME(v);
    } else if (format == MCI_FORMAT_MSF) {
        s = (MCI_MSF_MINUTE(v) * 60 + MCI_MSF_SECOND(v)) * 75 + MCI_MSF_FRAME(v) - kLeadIn;
    } else {
        s = int32_t(int64_t(v) * 75 / 1000) - kLeadIn;
    }
    if (s < track_start(c, 0) || s > c.disc.leadout) return false;
    *out = s;
    return true;
}

DWORD msf(int32_t frames) {
    return MCI_MAKE_MSF(frames / 4500, frames / 75 % 60, frames % 75);
}

MCIERROR give_position(const Device& d, const CdState& c, int32_t sector, Reply* reply) {
    reply->kind = Reply::kPosition;
    reply->format = d.time_format;
    if (d.time_format == MCI_FORMAT_TMSF) {
        size_t t = size_t(disc_track_at(c.disc, sector));
        int32_t in = sector - track_start(c, t);
        reply->value = MCI_MAKE_TMSF(c.disc.first + int(t), in / 4500, in / 75 % 60, in % 75);
    } else if (d.time_format == MCI_FORMAT_MSF) {
        reply->value = msf(sector + kLeadIn);
    } else {
        reply->value = DWORD(int64_t(sector + kLeadIn) * 1000 / 75);
    }
    return 0;
}

MCIERROR give_length(const Device& d, int32_t frames, Reply* reply) {
    reply->kind = Reply::kPosition;
    bool ms = d.time_format == MCI_FORMAT_MILLISECONDS;
    reply->format = ms ? MCI_FORMAT_MILLISECONDS : MCI_FORMAT_MSF;
    reply->value = ms ? DWORD(int64_t(frames) * 1000 / 75) : msf(frames);
    return 0;
}

// Ends a play that a command cuts short; a notice still owed gets result (a
// new play that asks for a notice supersedes it).
void end_play(Device& d, CdState& c, DWORD result = MCI_NOTIFY_ABORTED) {
    stop_worker(d, result);
    if (c.activity == Activity::kPlaying) {
        c.position = where(c);
        player_stop(c.player);
    }
    c.activity = Activity::kNone;
    c.paused = false;
}

MCIERROR play(Device& d, CdState& c, const Request& r) {
    bool range = (r.flags & (MCI_FROM | MCI_TO)) != 0;
    if (c.activity == Activity::kPlaying && c.paused && !range) {
        player_pause(c.player, false);
        c.paused = false;
        return 0;
    }
    end_play(d, c, (r.flags & MCI_NOTIFY) ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED);
    look_for_disc(c);
    if (!has_disc(c)) return MCIERR_DEVICE_NOT_READY;
    int32_t from = c.position, to = c.disc.leadout;
    // A play from the end of the disc starts it again.
    if (!(r.flags & MCI_FROM) && from >= to) from = track_start(c, 0);
    if ((r.flags & MCI_FROM) && !to_sector(c, d.time_format, r.from, &from))
        return MCIERR_OUTOFRANGE;
    if ((r.flags & MCI_TO) && !to_sector(c, d.time_format, r.to, &to)) return MCIERR_OUTOFRANGE;
    if (from > to) return MCIERR_OUTOFRANGE;
    c.position = from;
    if (from == to) return 0;
    c.player.read = [&disc = c.disc](uint64_t at, size_t n, char* out) {
        return disc_read(disc, int32_t(at / kSectorBytes), uint32_t(n / kSectorBytes), out);
    };
    WAVEFORMATEX f{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    if (MCIERROR err = player_start(c.player, f, uint64_t(from) * kSectorBytes,
                                    uint64_t(to) * kSectorBytes, kChunkSectors * kSectorBytes))
        return err;
    c.activity = Activity::kPlaying;
    c.next_check = std::chrono::steady_clock::now() + kCheckPeriod;
    if (start_worker(d)) return 0;
    end_play(d, c);
    return MCIERR_OUT_OF_MEMORY;
}

MCIERROR seek(Device& d, CdState& c, const Request& r) {
    end_play(d, c);
    look_for_disc(c);
    if (!has_disc(c)) return MCIERR_DEVICE_NOT_READY;
    int32_t to = 0;
    if (r.flags & MCI_SEEK_TO_START)
        to = track_start(c, 0);
    else if (r.flags & MCI_SEEK_TO_END)
        to = c.disc.leadout;
    else if (!to_sector(c, d.time_format, r.to, &to))
        return MCIERR_OUTOFRANGE;
    c.position = to;
    return 0;
}

MCIERROR status(Device& d, CdState& c, const Request& r, Reply* reply) {
    if (c.activity != Activity::kPlaying) look_for_disc(c);
    auto truth = [&](bool v) {
        reply->kind = Reply::kBool;
        reply->value = v ? TRUE : FALSE;
        return MCIERROR(0);
    };
    switch (r.item) {
        case MCI_STATUS_MODE:
            reply->kind = Reply::kMode;
            reply->value = !has_disc(c)                       ? MCI_MODE_NOT_READY
                           : c.paused                         ? MCI_MODE_PAUSE
                           : c.activity == Activity::kPlaying ? MCI_MODE_PLAY
                                                              : MCI_MODE_STOP;
            return 0;
        case MCI_STATUS_MEDIA_PRESENT:
        case MCI_STATUS_READY:
            return truth(has_disc(c));
        case MCI_STATUS_TIME_FORMAT:
            reply->kind = Reply::kTimeFormat;
            reply->value = d.time_format;
            return 0;
        default:
            break;
    }
    if (!has_disc(c)) return MCIERR_DEVICE_NOT_READY;
    size_t track = 0;
    if (r.flags & MCI_TRACK) {
        int t = int(r.track) - c.disc.first;
        if (t < 0 || t >= int(c.disc.tracks.size())) return MCIERR_OUTOFRANGE;
        track = size_t(t);
    }
    switch (r.item) {
        case MCI_STATUS_NUMBER_OF_TRACKS:
            reply->kind = Reply::kInteger;
            reply->value = DWORD(c.disc.tracks.size());
            return 0;
        case MCI_STATUS_CURRENT_TRACK:
            reply->kind = Reply::kInteger;
            reply->value = DWORD(c.disc.first + disc_track_at(c.disc, where(c)));
            return 0;
        case MCI_STATUS_POSITION:
            if (r.flags & MCI_STATUS_START) return give_position(d, c, track_start(c, 0), reply);
            if (r.flags & MCI_TRACK) return give_position(d, c, track_start(c, track), reply);
            return give_position(d, c, where(c), reply);
        case MCI_STATUS_LENGTH:
            if (r.flags & MCI_TRACK)
                return give_length(d, track_end(c, track) - track_start(c, track), reply);
            return give_length(d, c.disc.leadout - track_start(c, 0), reply);
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

MCIERROR set(Device& d, const Request& r) {
    if (r.flags & 0x003F0000) return MCIERR_UNSUPPORTED_FUNCTION;
    if (!(r.flags & MCI_SET_TIME_FORMAT)) return MCIERR_MISSING_PARAMETER;
    DWORD t = r.time_format;
    if (t != MCI_FORMAT_MILLISECONDS && t != MCI_FORMAT_MSF && t != MCI_FORMAT_TMSF)
        return MCIERR_BAD_TIME_FORMAT;
    d.time_format = t;
    return 0;
}

MCIERROR pause(CdState& c, bool pausing) {
    if (c.activity == Activity::kNone || c.paused == pausing) return 0;
    player_pause(c.player, pausing);
    c.paused = pausing;
    return 0;
}

MCIERROR open(Device& d, const Request&) {
    auto c = std::make_shared<CdState>();
    c->source = image_setting();
    c->image = !c->source.empty();
    if (!c->image) c->source = first_drive();
    if (c->source.empty()) return MCIERR_DEVICE_NOT_INSTALLED;
    // An image that cannot be read is no device; a drive may be waiting for a disc.
    if (disc_open(c->disc, c->source, c->image))
        c->position = track_start(*c, 0);
    else if (c->image)
        return MCIERR_DEVICE_NOT_READY;
    c->next_probe = std::chrono::steady_clock::now() + kProbePeriod;
    d.state = c;
    return 0;
}

MCIERROR command(Device& d, const Request& r, Reply* reply) {
    CdState& c = state(d);
    switch (r.verb) {
        case MCI_PLAY:
            return play(d, c, r);
        case MCI_STOP:
            end_play(d, c);
            return 0;
        case MCI_PAUSE:
            return pause(c, true);
        case MCI_RESUME:
            return pause(c, false);
        case MCI_SEEK:
            return seek(d, c, r);
        case MCI_STATUS:
            return status(d, c, r, reply);
        case MCI_SET:
            return set(d, r);
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

void close(Device& d) {
    CdState& c = state(d);
    end_play(d, c);
    disc_close(c.disc);
}

// One worker step of a play: the disc is looked at every tenth of a second;
// a disc taken out ends the play as failed.
bool step(Device& d) {
    CdState& c = state(d);
    if (c.activity != Activity::kPlaying) return false;
    auto now = std::chrono::steady_clock::now();
    bool gone = false;
    if (now >= c.next_check) {
        c.next_check = now + kCheckPeriod;
        gone = !disc_present(c.disc, c.source);
    }
    PlayState s = gone       ? PlayState::kFailed
                  : c.paused ? PlayState::kPlaying
                             : player_step(c.player);
    if (s == PlayState::kPlaying) return true;
    if (s == PlayState::kFailed && !gone) gone = !disc_present(c.disc, c.source);
    c.position = s == PlayState::kDone ? int32_t(c.player.to / kSectorBytes) : where(c);
    player_stop(c.player);
    c.activity = Activity::kNone;
    c.paused = false;
    if (gone) {
        disc_close(c.disc);
        c.position = 0;
    }
    settle_notice(d, s == PlayState::kDone ? MCI_NOTIFY_SUCCESSFUL : MCI_NOTIFY_FAILURE);
    return false;
}

}  // namespace

const DeviceType kCdAudio = {"cdaudio", MCI_DEVTYPE_CD_AUDIO, MCI_FORMAT_MSF, open, command, close,
                             step};

}  // namespace plat::mci
