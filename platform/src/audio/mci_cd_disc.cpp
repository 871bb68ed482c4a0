// The disc behind the cdaudio device, read with libcdio: the table of
// contents, the audio sectors, whether the disc (or the image's files) is
// still there, and which drive or image is the CD device.
#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "mci_private.h"

namespace plat::mci {

namespace {

std::mutex g_drive_lock;
std::optional<std::string>& test_drive() {
    static std::optional<std::string> d;
    return d;
}

// Failures are answered by error codes; libcdio's own messages would only
// clutter the terminal.
void quiet(cdio_log_level_t, const char*) {}

void keep_libcdio_quiet() {
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler(quiet); });
}

bool exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

std::string folder_of(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

bool read_toc(Disc& d) {
    CdIo_t* p = d.cdio;
    track_t first = cdio_get_first_track_num(p);
    track_t count = cdio_get_num_tracks(p);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) return false;
    lsn_t leadout = cdio_get_track_lsn(p, CDIO_CDROM_LEADOUT_TRACK);
    if (leadout == CDIO_INVALID_LSN) return false;
    d.first = first;
    d.leadout = leadout;
    d.tracks.clear();
    for (track_t t = first; t < first + count; ++t) {
        lsn_t start = cdio_get_track_lsn(p, t);
        if (start == CDIO_INVALID_LSN || start > leadout) return false;
        d.tracks.push_back({start, cdio_get_track_format(p, t) == TRACK_FORMAT_AUDIO});
    }
    return true;
}

}  // namespace

std::string first_drive() {
    {
        std::lock_guard lock(g_drive_lock);
        if (test_drive()) return *test_drive();
    }
    keep_libcdio_quiet();
    std::string drive;
    char** list = cdio_get_devices(DRIVER_DEVICE);
    if (list && list[0]) drive = list[0];
    if (list) cdio_free_device_list(list);
    return drive;
}

std::string image_setting() {
    char buf[4096] = "";
    GetPrivateProfileString("Sonrel\\Settings\\CDPlayer", "Device", "", buf, sizeof(buf),
                            "Sonrel.ini");
    return buf;
}

bool disc_open(Disc& d, const std::string& source, bool image) {
    keep_libcdio_quiet();
    disc_close(d);
    d.cdio = cdio_open(source.c_str(), DRIVER_UNKNOWN);
    if (!d.cdio) return false;
    if (!read_toc(d)) {
        disc_close(d);
        return false;
    }
    d.files.clear();
    if (image) {
        d.files.push_back(source);
        const char* data = cdio_get_arg(d.cdio, "source");
        if (data && *data && source != data)
            d.files.push_back(data[0] == '/' ? std::string(data) : folder_of(source) + data);
    }
    return true;
}

void disc_close(Disc& d) {
    if (d.cdio) cdio_destroy(d.cdio);
    d.cdio = nullptr;
    d.tracks.clear();
    d.files.clear();
}

bool disc_present(Disc& d, const std::string& source) {
    if (!d.cdio) return false;
    if (!d.files.empty()) {
        for (const std::string& f : d.files)
            if (!exists(f)) return false;
        return true;
    }
    // A drive's handle keeps the table of contents it read first.
    if (cdio_get_media_changed(d.cdio) == 1) return disc_open(d, source, false);
    return true;
}

bool disc_read(Disc& d, int32_t lsn, uint32_t sectors, char* out) {
    if (!d.cdio) return false;
    while (sectors > 0) {
        // Runs of one track at a time: a data track plays as silence.
        int t = disc_track_at(d, lsn);
        int32_t end = t + 1 < int(d.tracks.size()) ? d.tracks[size_t(t) + 1].start : d.leadout;
        uint32_t n = std::min<uint32_t>(sectors, uint32_t(std::max(end - lsn, 1)));
        if (!d.tracks[size_t(t)].audio)
            std::memset(out, 0, size_t(n) * kSectorBytes);
        else if (cdio_read_audio_sectors(d.cdio, out, lsn, n) != DRIVER_OP_SUCCESS)
            return false;
        out += size_t(n) * kSectorBytes;
        lsn += int32_t(n);
        sectors -= n;
    }
    return true;
}

int disc_track_at(const Disc& d, int32_t lsn) {
    int t = 0;
    while (t + 1 < int(d.tracks.size()) && d.tracks[size_t(t) + 1].start <= lsn) ++t;
    return t;
}

void set_test_drive(const char* device) {
    std::lock_guard lock(g_drive_lock);
    if (device)
        test_drive() = std::string(device);
    else
        test_drive().reset();
}

}  // namespace plat::mci
