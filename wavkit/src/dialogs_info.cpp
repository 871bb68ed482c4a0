// The format and information dialogs: the active document's format
// ("HEADER"), the clipboard file's format ("CLIPBOARDHEADER") and the about
// box.
#include <sonrel/dialogs.h>
#include <sonrel/messages.h>

#include <cstdio>
#include <string>

#include "clipboard.h"
#include "dialogs_private.h"
#include "document.h"
#include "entry.h"
#include "filedialogs.h"

namespace {

constexpr int kBits = 101, kChannels = 102, kRate = 103;
constexpr int kBytesPerSec = 104, kBytesPerSample = 105, kFileLength = 106, kDataLength = 107;
constexpr int kConvert = 110;
constexpr int kPlay = 801, kStop = 802;
constexpr UINT kMaxRate = 48000;

const char* const kBitNames[] = {"Standard - 8", "HiFi - 16"};
const char* const kChannelNames[] = {"MONO", "STEREO"};
const char* const kRates[] = {"8000",  "11025", "16000", "22050",
                              "28000", "32000", "44100", "48000"};

void set_text(HWND dlg, int id, const char* format, unsigned long value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    SetDlgItemText(dlg, id, text);
}

// The values every format dialog shows below the format (divisions truncate).
void show_values(HWND dlg, DWORD bytesPerSec, WORD blockAlign, DWORD fileLength, DWORD dataSize) {
    set_text(dlg, kBytesPerSec, "%lu KB/sec", bytesPerSec / 1024);
    set_text(dlg, kBytesPerSample, "%lu Bytes/Sample", blockAlign);
    set_text(dlg, kFileLength, "%lu KB", fileLength / 1024);
    set_text(dlg, kDataLength, "%lu KB", dataSize / 1024);
}

void fill_combo(HWND dlg, int id, const char* const* items, int n, int selected) {
    for (int i = 0; i < n; ++i) SendDlgItemMessage(dlg, id, CB_ADDSTRING, 0, LPARAM(items[i]));
    if (selected >= 0) SendDlgItemMessage(dlg, id, CB_SETCURSEL, WPARAM(selected), 0);
}

void init_header(HWND dlg, LPARAM frame) {
    SetWindowLongPtr(dlg, DWLP_USER, frame);
    filedlg::centre_over_parent(dlg, dlgs::kRaise);
    doc::Pin<HeaderBlock> h(dlgs::active_document(dlg), "HEADER");
    if (!h) return;
    fill_combo(dlg, kBits, kBitNames, 2, h->bitsPerSample == 16 ? 1 : 0);
    fill_combo(dlg, kChannels, kChannelNames, 2, h->channels == 2 ? 1 : 0);
    fill_combo(dlg, kRate, kRates, 8, -1);
    set_text(dlg, kRate, "%lu", h->samplesPerSec);
    show_values(dlg, h->bytesPerSec, h->blockAlign, h->fileLength, h->dataSize);
}

// Writes the chosen format into the document's HEADER; the sample bytes stay
// and are read in the new format from then on.
void change_settings(HWND dlg) {
    HWND doc = dlgs::active_document(dlg);
    BOOL ok = FALSE;
    UINT rate = GetDlgItemInt(dlg, kRate, &ok, FALSE);
    if (rate == 0 || rate > kMaxRate) {
        ErrorBox(dlg, "Only values between 1 - 48000 allowed.");
        return;
    }
    bool sixteen = SendDlgItemMessage(dlg, kBits, CB_GETCURSEL, 0, 0) == 1;
    bool stereo = SendDlgItemMessage(dlg, kChannels, CB_GETCURSEL, 0, 0) == 1;
    DocumentLock lock(doc);
    doc::Pin<HeaderBlock> h(doc, "HEADER");
    if (!h) {
        EndDialog(dlg, 0);
        return;
    }
    h->bitsPerSample = sixteen ? 16 : 8;
    h->channels = stereo ? 2 : 1;
    h->samplesPerSec = rate;
    h->blockAlign = WORD((sixteen ? 2 : 1) * (stereo ? 2 : 1));
    h->bytesPerSec = rate * h->blockAlign;
    EndDialog(dlg, 1);
}

// Converts the samples to the chosen format. The button works once per
// dialog; a refused rate keeps the dialog open.
void convert_samples(HWND dlg) {
    EnableWindow(GetDlgItem(dlg, kConvert), FALSE);
    bool sixteen = SendDlgItemMessage(dlg, kBits, CB_GETCURSEL, 0, 0) == 1;
    bool stereo = SendDlgItemMessage(dlg, kChannels, CB_GETCURSEL, 0, 0) == 1;
    BOOL ok = FALSE;
    UINT rate = GetDlgItemInt(dlg, kRate, &ok, FALSE);
    if (rate == 0 || rate > kMaxRate) {
        MessageBox(dlg, "Values range from 1 - 48000 only.", "Warning...", MB_OK | MB_ICONERROR);
        return;
    }
    WAVEFORMATEX target{};
    target.wFormatTag = WAVE_FORMAT_PCM;
    target.nChannels = stereo ? 2 : 1;
    target.nSamplesPerSec = rate;
    target.wBitsPerSample = sixteen ? 16 : 8;
    target.nBlockAlign = WORD(target.wBitsPerSample / 8 * target.nChannels);
    target.nAvgBytesPerSec = rate * target.nBlockAlign;
    auto frame = reinterpret_cast<HWND>(GetWindowLongPtr(dlg, DWLP_USER));
    HWND doc = dlgs::active_document(dlg);
    if (!IsFileWorking(doc) && ConvertFileParam(frame, &target)) {
        InvalidateRect(reinterpret_cast<HWND>(SendMessage(frame, UM_GETPREVIEW, 0, 0)), nullptr,
                       TRUE);
        InvalidateRect(reinterpret_cast<HWND>(SendMessage(frame, UM_GETSTATUSBAR, 0, 0)), nullptr,
                       FALSE);
        InvalidateRect(doc, nullptr, FALSE);
        SendMessage(doc, UM_DOCCHANGED, 0, 0);
    }
    EndDialog(dlg, 1);
}

INT_PTR CALLBACK header_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    return entry::guarded(FALSE, [&] {
        if (msg == WM_INITDIALOG) {
            init_header(dlg, lp);
            return TRUE;
        }
        if (msg != WM_COMMAND) return FALSE;
        if (LOWORD(wp) == IDOK) {
            change_settings(dlg);
            return TRUE;
        }
        if (LOWORD(wp) == kConvert) {
            convert_samples(dlg);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, 0);
            return TRUE;
        }
        return FALSE;
    });
}

// What the clipboard dialog shows: the format and the chunk sizes in bytes.
struct ClipboardInfo {
    WAVEFORMATEX fmt;
    DWORD riffSize;
    DWORD dataSize;
};

// Reads the clipboard file's format and chunk sizes; false when it cannot be
// opened or has no RIFF, "fmt " or "data" chunk.
bool read_clipboard(const std::string& path, ClipboardInfo* info) {
    WAVEFORMATEX* fmt = &info->fmt;
    std::string name = path;
    HMMIO h = mmioOpen(name.data(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
    if (!h) return false;
    MMCKINFO riff{}, ck{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    bool ok = mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR;
    ck.ckid = mmioFOURCC('f', 'm', 't', ' ');
    ok = ok && mmioDescend(h, &ck, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR;
    *fmt = WAVEFORMATEX{};
    ok = ok && mmioRead(h, reinterpret_cast<char*>(fmt), 16) == 16;
    ok = ok && mmioAscend(h, &ck, 0) == MMSYSERR_NOERROR;
    ck.ckid = mmioFOURCC('d', 'a', 't', 'a');
    ok = ok && mmioDescend(h, &ck, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR;
    mmioClose(h, 0);
    info->riffSize = riff.cksize;
    info->dataSize = ck.cksize;
    return ok;
}

INT_PTR CALLBACK clipboard_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    return entry::guarded(FALSE, [&] {
        if (msg == WM_INITDIALOG) {
            filedlg::centre_over_parent(dlg, dlgs::kRaise);
            const auto* info = reinterpret_cast<const ClipboardInfo*>(lp);
            const WAVEFORMATEX* fmt = &info->fmt;
            SetDlgItemText(dlg, kBits, kBitNames[fmt->wBitsPerSample == 16 ? 1 : 0]);
            SetDlgItemText(dlg, kChannels, kChannelNames[fmt->nChannels == 2 ? 1 : 0]);
            set_text(dlg, kRate, "%lu", fmt->nSamplesPerSec);
            show_values(dlg, fmt->nAvgBytesPerSec, fmt->nBlockAlign, info->riffSize,
                        info->dataSize);
            return TRUE;
        }
        if (msg != WM_COMMAND) return FALSE;
        switch (LOWORD(wp)) {
            case kPlay:
                PlaySound(clip::clipboard_path().c_str(), nullptr,
                          SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
                return TRUE;
            case kStop:
                PlaySound(nullptr, nullptr, SND_ASYNC | SND_NODEFAULT);
                return TRUE;
            case IDOK:
            case IDCANCEL:
                EndDialog(dlg, 0);
                return TRUE;
            default:
                return FALSE;
        }
    });
}

// The about box keeps its template position; any button closes it.
INT_PTR CALLBACK about_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg != WM_COMMAND || (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL)) return FALSE;
    EndDialog(dlg, 0);
    return TRUE;
}

}  // namespace

WAVKIT_API BOOL ShowHeader(HWND frame) {
    return entry::guarded(0, [&] {
        return dlgs::run(frame, "HEADER", header_proc, reinterpret_cast<LPARAM>(frame));
    });
}

WAVKIT_API BOOL ShowClipboardHeader(HWND frame) {
    entry::guarded([&] {
        ClipboardInfo info{};
        if (!read_clipboard(clip::clipboard_path(), &info)) {
            MessageBox(nullptr, "No Clipboard File", "Warning...", MB_OK | MB_ICONERROR);
            return;
        }
        dlgs::run(frame, "CLIPBOARDHEADER", clipboard_proc, reinterpret_cast<LPARAM>(&info));
    });
    return 0;
}

WAVKIT_API BOOL ShowAbout(HWND frame) {
    entry::guarded([&] { dlgs::run(frame, "ABOUT", about_proc, 0); });
    return 0;
}
