// The RAW dialog: the format given to a file that is no RIFF file. It shows
// the stored format and file length; OK stores the chosen bits and channels
// at once, then the rate only when it lies in 1..48000, with the block align
// and bytes per second that follow from the three.
#include <sonrel/dialogs.h>
#include <sonrel/settings.h>
#include <sonrel/wavkit.h>

#include <cstdio>

#include "dialogs_private.h"
#include "entry.h"
#include "filedialogs.h"

namespace {

constexpr int kBits = 101;
constexpr int kChannels = 102;
constexpr int kRate = 103;
constexpr int kBytesPerSec = 104;
constexpr int kBytesPerSample = 105;
constexpr int kFileLength = 106;
constexpr int kDataLength = 107;
constexpr int kRaise = 25;  // pixels above the parent's centre

const char* const kRates[] = {"8000",  "11025", "16000", "22050",
                              "28000", "32000", "44100", "48000"};

void fill_combo(HWND dlg, int id, const char* const* items, int n, int selected) {
    for (int i = 0; i < n; ++i) SendDlgItemMessage(dlg, id, CB_ADDSTRING, 0, LPARAM(items[i]));
    if (selected >= 0) SendDlgItemMessage(dlg, id, CB_SETCURSEL, WPARAM(selected), 0);
}

void set_number(HWND dlg, int id, const char* format, unsigned long value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    SetDlgItemText(dlg, id, text);
}

void init(HWND dlg) {
    filedlg::centre_over_parent(dlg, kRaise);
    const char* const bits[] = {"Standard - 8", "HiFi - 16"};
    const char* const channels[] = {"MONO", "STEREO"};
    fill_combo(dlg, kBits, bits, 2, SettingWord(SET_RAWFILE_BIT) == 16 ? 1 : 0);
    fill_combo(dlg, kChannels, channels, 2, SettingWord(SET_RAWFILE_CHANNELS) == 2 ? 1 : 0);
    fill_combo(dlg, kRate, kRates, 8, -1);
    SetDlgItemText(dlg, kRate, SettingText(SET_RAWFILE_SAMPLES));
    set_number(dlg, kBytesPerSec, "%lu KB/sec", SettingDWord(SET_RAWFILE_BYTESPERSEC) / 1024);
    set_number(dlg, kBytesPerSample, "%lu Bytes/Sample", SettingWord(SET_RAWFILE_BYTESPERSAMPLE));
    unsigned long length = SettingDWord(SET_RAWFILE_FILELENGTH) / 1024;
    set_number(dlg, kFileLength, "%lu KB", length);
    set_number(dlg, kDataLength, "%lu KB", length);
}

void store_number(const char* path, unsigned long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%lu", value);
    RegWriteString(path, text);
}

void accept(HWND dlg) {
    bool sixteen = SendDlgItemMessage(dlg, kBits, CB_GETCURSEL, 0, 0) == 1;
    bool stereo = SendDlgItemMessage(dlg, kChannels, CB_GETCURSEL, 0, 0) == 1;
    RegWriteString(SET_RAWFILE_BIT.path, sixteen ? "16" : "8");
    RegWriteString(SET_RAWFILE_CHANNELS.path, stereo ? "2" : "1");
    BOOL ok = FALSE;
    UINT rate = GetDlgItemInt(dlg, kRate, &ok, FALSE);
    if (!ok || rate < 1 || rate > 48000) {
        ErrorBox(dlg, "Only values ranging from 1 to 48000 are allowed.");
        return;
    }
    store_number(SET_RAWFILE_SAMPLES.path, rate);
    unsigned long perSample = (SettingWord(SET_RAWFILE_BIT) == 16 ? 2 : 1) *
                              (SettingWord(SET_RAWFILE_CHANNELS) == 2 ? 2 : 1);
    store_number(SET_RAWFILE_BYTESPERSAMPLE.path, perSample);
    store_number(SET_RAWFILE_BYTESPERSEC.path, perSample * rate);
    EndDialog(dlg, 1);
}

}  // namespace

WAVKIT_API INT_PTR RawDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    return entry::guarded(FALSE, [&] {
        switch (msg) {
            case WM_INITDIALOG:
                init(dlg);
                return TRUE;
            case WM_COMMAND:
                if (LOWORD(wp) == IDOK) {
                    accept(dlg);
                    return TRUE;
                }
                if (LOWORD(wp) == IDCANCEL) {
                    EndDialog(dlg, 0);
                    return TRUE;
                }
                return FALSE;
            default:
                return FALSE;
        }
    });
}

WAVKIT_API BOOL ShowRaw(HWND frame) {
    return entry::guarded(0, [&] { return dlgs::run(frame, "RAW", RawDlgProc, 0); });
}
