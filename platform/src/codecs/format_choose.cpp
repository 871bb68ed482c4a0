// The format chooser: a modal dialog made from a template of the layer's own,
// listing the PCM formats a source can become. The list is made before the
// dialog, so the dialog only shows it and reports the entry picked.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "dialogs/dialogs_private.h"
#include "windows/windows_private.h"

namespace {

constexpr int kTagId = 1000;   // PLATFORM_IDC_FORMATCHOOSE_TAG
constexpr int kListId = 1001;  // PLATFORM_IDC_FORMATCHOOSE_LIST
constexpr DWORD kRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000};
constexpr DWORD kKnownStyles = ACMFORMATCHOOSE_STYLEF_SHOWHELP |
                               ACMFORMATCHOOSE_STYLEF_CONTEXTHELP |
                               ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT;
constexpr DWORD kKnownEnum = ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NCHANNELS |
                             ACM_FORMATENUMF_NSAMPLESPERSEC | ACM_FORMATENUMF_WBITSPERSAMPLE |
                             ACM_FORMATENUMF_CONVERT;
constexpr DWORD kPcmRecordBytes = 16;  // the record without cbSize

const DIALOGITEM kItems[] = {
    {"STATIC", "Format:", -1, 7, 9, 40, 8, SS_LEFT, 0},
    {"STATIC", "PCM", kTagId, 50, 9, 150, 8, SS_LEFT, 0},
    {"STATIC", "&Attributes:", -1, 7, 27, 40, 8, SS_LEFT, 0},
    {"COMBOBOX", "", kListId, 50, 25, 150, 120, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    {"BUTTON", "OK", IDOK, 94, 48, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {"BUTTON", "Cancel", IDCANCEL, 150, 48, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
};
const DIALOGTEMPLATE kTemplate{"Format Selection",
                               DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                               0,
                               0,
                               0,
                               207,
                               69,
                               nullptr,
                               8,
                               kItems,
                               sizeof kItems / sizeof kItems[0]};

struct Choice {
    std::vector<WAVEFORMATEX> formats;
    int selected = 0;
};

WAVEFORMATEX pcm(int bits, int channels, DWORD rate) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = WORD(channels);
    f.nSamplesPerSec = rate;
    f.nBlockAlign = WORD(bits / 8 * channels);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    f.wBitsPerSample = WORD(bits);
    return f;
}

std::string describe(const WAVEFORMATEX& f) {
    char buf[ACMFORMATDETAILS_FORMAT_CHARS];
    std::snprintf(buf, sizeof buf, "%u Hz, %u Bit, %s", unsigned(f.nSamplesPerSec),
                  unsigned(f.wBitsPerSample), f.nChannels == 2 ? "Stereo" : "Mono");
    return buf;
}

bool same_pcm(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
    return b.wFormatTag == WAVE_FORMAT_PCM && a.nChannels == b.nChannels &&
           a.nSamplesPerSec == b.nSamplesPerSec && a.wBitsPerSample == b.wBitsPerSample;
}

bool wanted(const ACMFORMATCHOOSE& afc, const WAVEFORMATEX& f) {
    const DWORD e = afc.fdwEnum;
    const WAVEFORMATEX& m = *afc.pwfxEnum;
    if ((e & ACM_FORMATENUMF_WFORMATTAG) && m.wFormatTag != WAVE_FORMAT_PCM) return false;
    if ((e & ACM_FORMATENUMF_NCHANNELS) && m.nChannels != f.nChannels) return false;
    if ((e & ACM_FORMATENUMF_NSAMPLESPERSEC) && m.nSamplesPerSec != f.nSamplesPerSec) return false;
    if ((e & ACM_FORMATENUMF_WBITSPERSAMPLE) && m.wBitsPerSample != f.wBitsPerSample) return false;
    if (e & ACM_FORMATENUMF_CONVERT)
        return acmStreamOpen(nullptr, nullptr, &m, &f, nullptr, 0, 0, ACM_STREAMOPENF_QUERY) ==
               MMSYSERR_NOERROR;
    return true;
}

std::vector<WAVEFORMATEX> list_formats(const ACMFORMATCHOOSE& afc) {
    std::vector<DWORD> rates(std::begin(kRates), std::end(kRates));
    if ((afc.fdwEnum & ACM_FORMATENUMF_CONVERT) &&
        std::find(rates.begin(), rates.end(), afc.pwfxEnum->nSamplesPerSec) == rates.end()) {
        rates.push_back(afc.pwfxEnum->nSamplesPerSec);
        std::sort(rates.begin(), rates.end());
    }
    std::vector<WAVEFORMATEX> out;
    for (DWORD rate : rates) {
        for (int bits : {8, 16}) {
            for (int channels : {1, 2}) {
                WAVEFORMATEX f = pcm(bits, channels, rate);
                if (!afc.fdwEnum || wanted(afc, f)) out.push_back(f);
            }
        }
    }
    return out;
}

int first_selection(const ACMFORMATCHOOSE& afc, const std::vector<WAVEFORMATEX>& formats) {
    auto index_of = [&](const WAVEFORMATEX& want) {
        for (size_t i = 0; i < formats.size(); ++i)
            if (same_pcm(formats[i], want)) return int(i);
        return -1;
    };
    int i = -1;
    if ((afc.fdwStyle & ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT) && afc.cbwfx >= kPcmRecordBytes) {
        WAVEFORMATEX given{};
        std::memcpy(&given, afc.pwfx, kPcmRecordBytes);
        i = index_of(given);
    }
    if (i < 0 && (afc.fdwEnum & ACM_FORMATENUMF_CONVERT)) {
        const WAVEFORMATEX& src = *afc.pwfxEnum;
        int bits = src.wBitsPerSample == 8 ? 8 : 16;
        i = index_of(pcm(bits, src.nChannels, src.nSamplesPerSec));
    }
    return std::max(i, 0);
}

INT_PTR CALLBACK choose_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* choice = reinterpret_cast<Choice*>(GetWindowLongPtr(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG:
            choice = reinterpret_cast<Choice*>(lp);
            SetWindowLongPtr(dlg, DWLP_USER, lp);
            for (const WAVEFORMATEX& f : choice->formats)
                SendDlgItemMessage(dlg, kListId, CB_ADDSTRING, 0,
                                   reinterpret_cast<LPARAM>(describe(f).c_str()));
            SendDlgItemMessage(dlg, kListId, CB_SETCURSEL, WPARAM(choice->selected), 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK && choice) {
                LRESULT i = SendDlgItemMessage(dlg, kListId, CB_GETCURSEL, 0, 0);
                if (i < 0 || size_t(i) >= choice->formats.size()) return TRUE;
                choice->selected = int(i);
                EndDialog(dlg, IDOK);
            } else if (LOWORD(wp) == IDCANCEL) {
                EndDialog(dlg, IDCANCEL);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

extern "C" MMRESULT acmFormatChoose(LPACMFORMATCHOOSE afc) {
    if (!afc || afc->cbStruct < sizeof(ACMFORMATCHOOSE) || !afc->pwfx) return MMSYSERR_INVALPARAM;
    if (afc->fdwStyle & ~kKnownStyles) return MMSYSERR_NOTSUPPORTED;
    if (afc->fdwEnum & ~kKnownEnum) return MMSYSERR_INVALFLAG;
    if (afc->fdwEnum && !afc->pwfxEnum) return MMSYSERR_INVALPARAM;
    if (afc->cbwfx < kPcmRecordBytes) return ACMERR_NOTPOSSIBLE;
    Choice choice;
    try {
        choice.formats = list_formats(*afc);
    } catch (const std::bad_alloc&) {
        return MMSYSERR_NOMEM;
    }
    if (choice.formats.empty()) return ACMERR_NOTPOSSIBLE;
    choice.selected = first_selection(*afc, choice.formats);
    DIALOGTEMPLATE tmpl = kTemplate;
    if (afc->pszTitle) tmpl.caption = afc->pszTitle;
    INT_PTR r = DialogBoxIndirectParam(nullptr, &tmpl, afc->hwndOwner, choose_proc,
                                       reinterpret_cast<LPARAM>(&choice));
    if (r == IDCANCEL) return ACMERR_CANCELED;
    if (r != IDOK) return MMSYSERR_ERROR;
    const WAVEFORMATEX& f = choice.formats[size_t(choice.selected)];
    std::memcpy(afc->pwfx, &f, std::min<size_t>(afc->cbwfx, sizeof f));
    std::snprintf(afc->szFormatTag, sizeof afc->szFormatTag, "PCM");
    std::snprintf(afc->szFormat, sizeof afc->szFormat, "%s", describe(f).c_str());
    return MMSYSERR_NOERROR;
}
