// The open dialog's preview panel: on every selection it reads the first 44
// bytes of the selected file as the canonical wave header, whatever the file's
// real chunk layout, and shows size, rate, bits and channels, and length.
// Its buttons play and stop the selected file.
#include <fcntl.h>
#include <sonrel/blocks.h>
#include <sonrel/wavkit.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "entry.h"

namespace {

constexpr int kAbout = 101;
constexpr int kPlay = 102;
constexpr int kStop = 103;
constexpr int kSize = 110;
constexpr int kLength = 111;
constexpr int kFormat = 112;
constexpr int kRate = 113;

char g_selected[MAX_PATH];  // the file last selected in the open dialog

// Only a regular file is read: opening a named pipe would block the dialog,
// a device is no sound file. Checked before the open and after it.
bool read_header(const char* path, HeaderBlock* h) {
    struct stat st {};
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              read(fd, h, sizeof *h) == static_cast<ssize_t>(sizeof *h);
    close(fd);
    return ok;
}

// Milliseconds of sound: data size / bytes per second, truncated.
unsigned long length_ms(const HeaderBlock& h) {
    if (h.fileLength == 0 || h.bytesPerSec == 0) return 0;
    return static_cast<unsigned long>(double(h.dataSize) / double(h.bytesPerSec) * 1000.0);
}

void show(HWND panel, const HeaderBlock& h) {
    char text[64];
    std::snprintf(text, sizeof text, "%lu KB", static_cast<unsigned long>(h.fileLength / 1024));
    SetDlgItemText(panel, kSize, text);
    std::snprintf(text, sizeof text, "%lu Hz", static_cast<unsigned long>(h.samplesPerSec));
    SetDlgItemText(panel, kRate, text);
    std::snprintf(text, sizeof text, h.channels == 2 ? "%d Bit, Stereo" : "%d Bit, Mono",
                  int(h.bitsPerSample));
    SetDlgItemText(panel, kFormat, text);
    if (h.bitsPerSample == 8 || h.bitsPerSample == 16) {
        unsigned long t = length_ms(h);
        std::snprintf(text, sizeof text, "%02lu m %02lu.%03lu s", t / 60000, t / 1000 % 60,
                      t % 1000);
        SetDlgItemText(panel, kLength, text);
    } else {
        SetDlgItemText(panel, kLength, "compressed");
    }
}

void preview(HWND panel) {
    g_selected[0] = 0;
    SendMessage(GetParent(panel), CDM_GETFILEPATH, sizeof g_selected,
                reinterpret_cast<LPARAM>(g_selected));
    HeaderBlock h{};
    if (!g_selected[0] || !read_header(g_selected, &h)) return;
    if (h.riffTag[0] != 'R' || h.riffTag[3] != 'F') return;
    show(panel, h);
}

}  // namespace

WAVKIT_API UINT_PTR CustomTemplateDlgProc(HWND panel, UINT msg, WPARAM wp, LPARAM lp) {
    return entry::guarded(0, [&] {
        switch (msg) {
            case WM_INITDIALOG:
                return 1;
            case WM_NOTIFY:
                if (reinterpret_cast<const NMHDR*>(lp)->code != CDN_SELCHANGE) return 0;
                preview(panel);
                return 1;
            case WM_COMMAND:
                switch (LOWORD(wp)) {
                    case kPlay:
                        PlaySound(g_selected, nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
                        return 1;
                    case kStop:
                        PlaySound(nullptr, nullptr, 0);
                        return 1;
                    case kAbout:
                        MessageBox(panel,
                                   "Sonrel2003 preview\r\rShows the length, format and size of "
                                   "the selected wave file and plays it.",
                                   "About...", MB_OK | MB_ICONINFORMATION);
                        return 1;
                    default:
                        return 0;
                }
            case WM_DESTROY:
                PlaySound(nullptr, nullptr, 0);
                return 0;
            default:
                return 0;
        }
    });
}
