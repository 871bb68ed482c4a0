// The table of settings: every setting the system reads or writes, once, with
// its full path under the product root and the default a reader uses when the
// value is absent. Effects, their dialogs, the frame and the views read
// through these records, so a setting's path and default live here only.
//
// Values are text (the kit stores everything as text): numbers as decimal,
// booleans as "1"/"0". A number setting's default is given as a number and
// read with the width the setting has (SettingWord, SettingDWord, SettingBool);
// a text setting's default is text. A path containing "%d" is a pattern:
// format it before use.
#pragma once

#include <kit/rvg32.h>

// A setting read as a number or a boolean.
struct NumberSetting {
    const char* path;  // full path, e.g. "Sonrel\\Settings\\Filters\\Volume"
    DWORD def;         // default when absent
};

// A setting read as text.
struct TextSetting {
    const char* path;
    const char* def;  // default when absent; null: the reader supplies it
};

inline WORD SettingWord(const NumberSetting& s) {
    return RegGetWord(s.path, static_cast<WORD>(s.def));
}
inline DWORD SettingDWord(const NumberSetting& s) {
    return RegGetDWord(s.path, s.def);
}
inline BOOL SettingBool(const NumberSetting& s) {
    return RegGetBool(s.path, s.def ? TRUE : FALSE);
}
inline const char* SettingText(const TextSetting& s) {
    return RegGetString(s.path, s.def ? s.def : "");
}

// clang-format off

// --- Effects and their parameter dialogs (percent unless stated)
inline constexpr NumberSetting SET_FILTERS_VOLUME{"Sonrel\\Settings\\Filters\\Volume", 200};
inline constexpr NumberSetting SET_FILTERS_FADEIN{"Sonrel\\Settings\\Filters\\FadeIn", 10};
inline constexpr NumberSetting SET_FILTERS_FADEOUT{"Sonrel\\Settings\\Filters\\FadeOut", 10};
inline constexpr NumberSetting SET_FILTERS_VELOCITY{"Sonrel\\Settings\\Filters\\Velocity", 200};
// Boolean: smooth after the speed change.
inline constexpr NumberSetting SET_FILTERS_VELOCITYSMOOTH{"Sonrel\\Settings\\Filters\\VelocitySmooth", 1};
// Softness 1..8: the moving average takes this + 2 values.
inline constexpr NumberSetting SET_FILTERS_VELOCITYSMOOTHVALUE{"Sonrel\\Settings\\Filters\\VelocitySmoothValue", 3};
inline constexpr NumberSetting SET_FILTERS_LOWPASS{"Sonrel\\Settings\\Filters\\LowPass", 4};
// Seconds and milliseconds of silence to insert.
inline constexpr NumberSetting SET_FILTERS_SILENCE_SEC{"Sonrel\\Settings\\Filters\\Silence\\Sec", 1};
inline constexpr NumberSetting SET_FILTERS_SILENCE_MS{"Sonrel\\Settings\\Filters\\Silence\\MS", 0};
// Tenths of a per cent around the zero line.
inline constexpr NumberSetting SET_FILTERS_ZEROIZE_PERCENT{"Sonrel\\Settings\\Filters\\Zeroize\\Percent", 30};
inline constexpr NumberSetting SET_FILTERS_PASTEMIXLOUDER{"Sonrel\\Settings\\Filters\\PasteMixLouder", 150};
// Number of points of the CurveSound editors.
inline constexpr NumberSetting SET_CURVESOUND_VOLUMENUMBER{"Sonrel\\Settings\\CurveSound\\VolumeNumber", 4};
inline constexpr NumberSetting SET_CURVESOUND_FADECHANNELSNUMBER{"Sonrel\\Settings\\CurveSound\\FadeChannelsNumber", 5};

// --- The frame's placement and bars (pixels; ShowState a show command)
inline constexpr NumberSetting SET_MAIN_SHOWSTATE{"Sonrel\\Settings\\Main\\ShowState", 5};
inline constexpr NumberSetting SET_MAIN_X{"Sonrel\\Settings\\Main\\X", 0};
inline constexpr NumberSetting SET_MAIN_Y{"Sonrel\\Settings\\Main\\Y", 0};
inline constexpr NumberSetting SET_MAIN_WIDTH{"Sonrel\\Settings\\Main\\Width", 640};
inline constexpr NumberSetting SET_MAIN_HEIGHT{"Sonrel\\Settings\\Main\\Height", 480};
inline constexpr NumberSetting SET_FUNCBAR_X{"Sonrel\\Settings\\FuncBar\\X", 0};
inline constexpr NumberSetting SET_FUNCBAR_Y{"Sonrel\\Settings\\FuncBar\\Y", 0};
inline constexpr NumberSetting SET_FUNCBAR_DOCKED{"Sonrel\\Settings\\FuncBar\\Docked", 0};
inline constexpr NumberSetting SET_CDPLAYER_X{"Sonrel\\Settings\\CDPlayer\\X", 0};
inline constexpr NumberSetting SET_CDPLAYER_Y{"Sonrel\\Settings\\CDPlayer\\Y", 0};
// The preview bar's height.
inline constexpr NumberSetting SET_PREVIEWSIZE{"Sonrel\\Settings\\PreviewSize", 100};
inline constexpr NumberSetting SET_VIRTUALDESKTOP_VISIBLE{"Sonrel\\Settings\\VirtualDesktop\\Visible", 1};

// --- Devices: wave device numbers; all bits set is the default device.
inline constexpr NumberSetting SET_WAVEOUTID{"Sonrel\\Settings\\WaveOutID", 0xFFFFFFFFu};
inline constexpr NumberSetting SET_WAVEINID{"Sonrel\\Settings\\WaveInID", 0xFFFFFFFFu};
// A disc image (.cue/.bin) to play instead of the first drive.
inline constexpr TextSetting SET_CDPLAYER_DEVICE{"Sonrel\\Settings\\CDPlayer\\Device", ""};

// --- Switches ("1"/"0")
inline constexpr NumberSetting SET_BOOLEAN_PLAYTHREADCOMPLETE{"Sonrel\\Settings\\Boolean\\PlayThreadComplete", 1};
inline constexpr NumberSetting SET_BOOLEAN_DELETETEMPCLIPBOARD{"Sonrel\\Settings\\Boolean\\DeleteTempClipboard", 0};
inline constexpr NumberSetting SET_BOOLEAN_SHOWEXTENSIONS{"Sonrel\\Settings\\Boolean\\ShowExtensions", 1};
inline constexpr NumberSetting SET_BOOLEAN_CDPLAYERVISIBLE{"Sonrel\\Settings\\Boolean\\CDPlayerVisible", 0};
inline constexpr NumberSetting SET_BOOLEAN_STARTASSISTANT{"Sonrel\\Settings\\Boolean\\StartAssistant", 0};
inline constexpr NumberSetting SET_BOOLEAN_DIRECTDISPLAY{"Sonrel\\Settings\\Boolean\\DirectDisplay", 0};
// The wave view draws the smallest and largest value of each column instead of one value.
inline constexpr NumberSetting SET_BOOLEAN_PEAKDISPLAY{"Sonrel\\Settings\\Boolean\\PeakDisplay", 0};
inline constexpr NumberSetting SET_BOOLEAN_SHINETHROUGH{"Sonrel\\Settings\\Boolean\\ShineThrough", 0};
inline constexpr NumberSetting SET_BOOLEAN_CLIPBOARDONDISK{"Sonrel\\Settings\\Boolean\\ClipboardOnDisk", 0};

// --- Start-up and drawing
inline constexpr TextSetting SET_STARTUP_SOUND{"Sonrel\\Settings\\StartUp\\Sound", "Sonrel2003.wav"};
// The last tip the start assistant showed.
inline constexpr NumberSetting SET_STARTUP_STARTTIP{"Sonrel\\Settings\\StartUp\\StartTip", 8};
// A new document's zoom (sample values per pixel column).
inline constexpr NumberSetting SET_STARTUP_ZOOM{"Sonrel\\Settings\\StartUp\\Zoom", 100};
// Line steps in thousandths of a pixel.
inline constexpr NumberSetting SET_WINDOWQUALITY{"Sonrel\\Settings\\WindowQuality", 200};
inline constexpr NumberSetting SET_PREVIEW_QUALITY{"Sonrel\\Settings\\Preview\\Quality", 200};
// Bits per sample of decoded compressed wave files.
inline constexpr NumberSetting SET_COMPRESSBITS{"Sonrel\\Settings\\CompressBits", 8};
inline constexpr TextSetting SET_REVAZUD_FILENAME{"Sonrel\\Settings\\RevaZud\\FileName", ""};

// --- A new document's format
inline constexpr NumberSetting SET_NEWFILE_CHANNELS{"Sonrel\\NewFile\\Channels", 1};
inline constexpr NumberSetting SET_NEWFILE_SAMPLES{"Sonrel\\NewFile\\Samples", 22050};
inline constexpr NumberSetting SET_NEWFILE_BYTESPERSEC{"Sonrel\\NewFile\\BytesPerSec", 22050};
inline constexpr NumberSetting SET_NEWFILE_BYTESPERSAMPLE{"Sonrel\\NewFile\\BytesPerSample", 1};
inline constexpr NumberSetting SET_NEWFILE_BIT{"Sonrel\\NewFile\\Bit", 8};
// The path the background open reads; "FALSE" when there is none.
inline constexpr TextSetting SET_NEWFILE_FILEOPEN{"Sonrel\\NewFile\\FileOpen", "FALSE"};

// --- The format given to a RAW file, and its length in bytes
inline constexpr NumberSetting SET_RAWFILE_BIT{"Sonrel\\RawFile\\Bit", 8};
inline constexpr NumberSetting SET_RAWFILE_CHANNELS{"Sonrel\\RawFile\\Channels", 1};
inline constexpr TextSetting SET_RAWFILE_SAMPLES{"Sonrel\\RawFile\\Samples", "22050"};
inline constexpr NumberSetting SET_RAWFILE_BYTESPERSEC{"Sonrel\\RawFile\\BytesPerSec", 22050};
inline constexpr NumberSetting SET_RAWFILE_BYTESPERSAMPLE{"Sonrel\\RawFile\\BytesPerSample", 1};
inline constexpr NumberSetting SET_RAWFILE_FILELENGTH{"Sonrel\\RawFile\\FileLength", 0};

// --- Folders of the file dialogs (default: the current folder, given by the reader)
inline constexpr TextSetting SET_DIRECTORIES_WAVEOPEN{"Sonrel\\Directories\\WaveOpen", nullptr};
inline constexpr NumberSetting SET_DIRECTORIES_WAVEOPENFILTER{"Sonrel\\Directories\\WaveOpenFilter", 1};
inline constexpr TextSetting SET_DIRECTORIES_WAVESAVE{"Sonrel\\Directories\\WaveSave", nullptr};

// --- Recent files: entries 1..NumberOfFiles (at most 20), entry 1 the newest.
inline constexpr NumberSetting SET_RECENTFILES_NUMBEROFFILES{"Sonrel\\RecentFiles\\NumberOfFiles", 10};
inline constexpr TextSetting SET_RECENTFILES_FILE{"Sonrel\\RecentFiles\\File%d", ""};

// --- The user
inline constexpr TextSetting SET_USER_NAME{"Sonrel\\User\\Name", ""};
inline constexpr TextSetting SET_USER_COMPANY{"Sonrel\\User\\Company", ""};

// clang-format on
