// The options sheet and the sound drivers' sheet, answered through the
// question hook: what each page shows from the settings (stored or absent),
// what OK writes back and in which form, that Cancel and unseen pages write
// nothing, the frequency refusal, the start page, and the devices' texts.
#include "../../resources/dialogs_options.h"

#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/dialogs.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../../wavkit/src/devcaps_format.h"
#include "document_fixture.h"
#include "test_support.h"

namespace {

using testing_support::QuestionRecorder;

enum { USER, NEWFILES, DESIGN, GENERAL, THREADS };

const char* const kName = "Sonrel\\User\\Name";
const char* const kCompany = "Sonrel\\User\\Company";
const char* const kBit = "Sonrel\\NewFile\\Bit";
const char* const kChannels = "Sonrel\\NewFile\\Channels";
const char* const kSamples = "Sonrel\\NewFile\\Samples";
const char* const kBytesPerSec = "Sonrel\\NewFile\\BytesPerSec";
const char* const kBytesPerSample = "Sonrel\\NewFile\\BytesPerSample";
const char* const kAssistant = "Sonrel\\Settings\\Boolean\\StartAssistant";
const char* const kShine = "Sonrel\\Settings\\Boolean\\ShineThrough";
const char* const kPeaks = "Sonrel\\Settings\\Boolean\\PeakDisplay";
const char* const kQuality = "Sonrel\\Settings\\WindowQuality";
const char* const kZoom = "Sonrel\\Settings\\StartUp\\Zoom";
const char* const kSound = "Sonrel\\Settings\\StartUp\\Sound";
const char* const kPreview = "Sonrel\\Settings\\Preview\\Quality";
const char* const kRecent = "Sonrel\\RecentFiles\\NumberOfFiles";
const char* const kTone = "Sonrel\\Settings\\Boolean\\PlayThreadComplete";
const char* const kClipboardOnDisk = "Sonrel\\Settings\\Boolean\\ClipboardOnDisk";
const char* const kWritten[] = {
    kName,           kCompany,   kBit,   kChannels,        kSamples, kBytesPerSec,
    kBytesPerSample, kAssistant, kShine, kQuality,         kZoom,    kSound,
    kPreview,        kRecent,    kTone,  kClipboardOnDisk, kPeaks};
constexpr char kAbsent[] = "(absent)";

// Removes a stored setting, so that readers take their default.
void forget(const char* path) {
    std::string p = path;
    size_t slash = p.find_last_of('\\');
    WritePrivateProfileString(p.substr(0, slash).c_str(), p.substr(slash + 1).c_str(), nullptr,
                              "Sonrel.ini");
}

std::string setting(const char* path) {
    return RegGetString(path, kAbsent);
}

std::string text(HWND page, int id) {
    return testing_support::item_text(page, id);
}

bool is_checked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

int slider(HWND page, int id) {
    return int(SendDlgItemMessage(page, id, TBM_GETPOS, 0, 0));
}

void set_slider(HWND page, int id, int pos) {
    SendDlgItemMessage(page, id, TBM_SETPOS, TRUE, pos);
}

int selection(HWND page, int id) {
    return int(SendDlgItemMessage(page, id, CB_GETCURSEL, 0, 0));
}

std::string caption(HWND w) {
    char buf[128] = "";
    GetWindowText(w, buf, sizeof buf);
    return buf;
}

// The page, shown (and so made) first.
HWND show(HWND sheet, int index) {
    (void)PropSheet_SetCurSel(sheet, nullptr, index);
    return PropSheet_IndexToHwnd(sheet, index);
}

class OptionsSheet : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = (RegisterOptionsDialogTemplates(GetModuleHandle(nullptr)), true);
        (void)registered;
        for (const char* path : kWritten) forget(path);
    }
    // Opens the sheet on `start`; `answer` gets it and gives IDOK or IDCANCEL.
    // Other questions (the error box) are answered OK.
    INT_PTR run(int start, std::function<INT_PTR(HWND)> answer) {
        rec.on_ask = [answer](const PlatformQuestion* q) -> INT_PTR {
            if (std::strcmp(q->kind, "Dialog") != 0) return IDOK;
            return answer(static_cast<HWND>(q->data));
        };
        return ShowOptionsPropertySheetNum(f.frame, start);
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& a : rec.asked)
            if (a.kind != "Dialog") out.push_back(a.text);
        return out;
    }
    wavtest::Frame f;
    QuestionRecorder rec;
};

TEST_F(OptionsSheet, WithNothingStoredThePagesShowTheDefaultsAndCancelStoresNothing) {
    INT_PTR r = run(0, [](HWND sheet) {
        EXPECT_EQ(caption(sheet), "Sonrel2003 Options");
        EXPECT_EQ(GetDlgItem(sheet, ID_APPLY_NOW), nullptr) << "no Apply button";
        EXPECT_EQ(SendMessage(PropSheet_GetTabControl(sheet), TCM_GETITEMCOUNT, 0, 0), 5);
        HWND user = show(sheet, USER);
        EXPECT_EQ(text(user, 101), "");
        EXPECT_EQ(text(user, 102), "");
        HWND files = show(sheet, NEWFILES);
        EXPECT_EQ(testing_support::combo_items(files, 101),
                  (std::vector<std::string>{"Standard - 8", "HiFi - 16"}));
        EXPECT_EQ(testing_support::combo_items(files, 102),
                  (std::vector<std::string>{"MONO", "STEREO"}));
        EXPECT_EQ(testing_support::combo_items(files, 103).size(), 8u);
        EXPECT_EQ(selection(files, 101), 0) << "8 bit";
        EXPECT_EQ(selection(files, 102), 0) << "mono";
        EXPECT_EQ(text(files, 103), "22050");
        EXPECT_EQ(text(files, 104), "21 KB/sec");
        EXPECT_EQ(text(files, 105), "1 Bytes/Sample");
        HWND design = show(sheet, DESIGN);
        EXPECT_TRUE(is_checked(design, 102)) << "the start assistant is shown";
        EXPECT_FALSE(is_checked(design, 104));
        EXPECT_FALSE(is_checked(design, 105)) << "the peak display is off by default";
        EXPECT_EQ(slider(design, 103), 8) << "the view's default step, 200";
        EXPECT_EQ(text(design, 203), "100");
        EXPECT_EQ(text(design, 201), "Sonrel2003.wav");
        HWND general = show(sheet, GENERAL);
        EXPECT_EQ(slider(general, 103), 8) << "the preview bar's default step, 200";
        EXPECT_EQ(text(general, 203), "10");
        HWND threads = show(sheet, THREADS);
        EXPECT_TRUE(is_checked(threads, 101));
        return IDCANCEL;
    });
    EXPECT_EQ(r, 0);
    for (const char* path : kWritten) EXPECT_EQ(setting(path), kAbsent) << path;
}

// One control: the value stored before, what the control shows for it, a
// change made on the page, and what OK then stores.
struct Row {
    int page;
    const char* path;
    const char* stored;
    std::function<std::string(HWND)> shown;
    const char* expectShown;
    std::function<void(HWND)> change;
    const char* written;
};

std::function<std::string(HWND)> shows_text(int id) {
    return [id](HWND p) { return text(p, id); };
}
std::function<std::string(HWND)> shows_check(int id) {
    return [id](HWND p) { return std::string(is_checked(p, id) ? "checked" : "unchecked"); };
}
std::function<std::string(HWND)> shows_slider(int id) {
    return [id](HWND p) { return std::to_string(slider(p, id)); };
}
std::function<void(HWND)> types(int id, const char* value) {
    return [id, value](HWND p) { SetDlgItemText(p, id, value); };
}
std::function<void(HWND)> ticks(int id, bool on) {
    return [id, on](HWND p) { CheckDlgButton(p, id, on ? BST_CHECKED : BST_UNCHECKED); };
}
std::function<void(HWND)> slides(int id, int pos) {
    return [id, pos](HWND p) { set_slider(p, id, pos); };
}
std::function<void(HWND)> leaves() {
    return [](HWND) {};
}

TEST_F(OptionsSheet, EachPageShowsItsStoredSettingsAndOkWritesThemInTheirForms) {
    // A name longer than a setting's 255 characters is cut.
    const std::string kLong(300, 'n'), kCut(255, 'n');
    const Row rows[] = {
        {USER, kName, "Ann Lee", shows_text(101), "Ann Lee", types(101, "Bea Moss"), "Bea Moss"},
        {USER, kCompany, "Acme", shows_text(102), "Acme", types(102, ""), ""},
        {USER, kName, "x", shows_text(101), "x", types(101, kLong.c_str()), kCut.c_str()},
        {DESIGN, kAssistant, "0", shows_check(102), "checked", ticks(102, false), "1"},
        {DESIGN, kAssistant, "1", shows_check(102), "unchecked", ticks(102, true), "0"},
        {DESIGN, kShine, "0", shows_check(104), "unchecked", ticks(104, true), "1"},
        {DESIGN, kShine, "1", shows_check(104), "checked", ticks(104, false), "0"},
        {DESIGN, kPeaks, "0", shows_check(105), "unchecked", ticks(105, true), "1"},
        {DESIGN, kPeaks, "1", shows_check(105), "checked", ticks(105, false), "0"},
        {DESIGN, kQuality, "500", shows_slider(103), "5", slides(103, 9), "100"},
        {DESIGN, kQuality, "500", shows_slider(103), "5", slides(103, 3), "700"},
        {DESIGN, kQuality, "250", shows_slider(103), "7", leaves(), "250"},
        {DESIGN, kQuality, "1000", shows_slider(103), "3", leaves(), "1000"},
        {DESIGN, kZoom, "250", shows_text(203), "250", types(203, "0"), "0"},
        {DESIGN, kZoom, "250", shows_text(203), "250", types(203, "30000"), "30000"},
        {DESIGN, kZoom, "250", shows_text(203), "250", types(203, "45000"), "30000"},
        {DESIGN, kZoom, "250", shows_text(203), "250", types(203, "lots"), "250"},
        {DESIGN, kSound, "/a/b.wav", shows_text(201), "/a/b.wav", types(201, "/c.wav"), "/c.wav"},
        {GENERAL, kPreview, "200", shows_slider(103), "8", slides(103, 4), "600"},
        {GENERAL, kRecent, "12", shows_text(203), "12", types(203, "5"), "5"},
        {GENERAL, kRecent, "12", shows_text(203), "12", types(203, "25"), "20"},
        {GENERAL, kRecent, "12", shows_text(203), "12", types(203, "0"), "1"},
        {GENERAL, kRecent, "30", shows_text(203), "20", leaves(), "20"},
        {THREADS, kTone, "1", shows_check(101), "checked", ticks(101, false), "0"},
        {THREADS, kTone, "0", shows_check(101), "unchecked", ticks(101, true), "1"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.path) + " stored " + r.stored);
        RegWriteString(r.path, r.stored);
        std::string shown;
        INT_PTR result = run(r.page, [&](HWND sheet) {
            HWND page = PropSheet_GetCurrentPageHwnd(sheet);
            shown = r.shown(page);
            r.change(page);
            return IDOK;
        });
        EXPECT_EQ(result, 1);
        EXPECT_EQ(shown, r.expectShown);
        EXPECT_EQ(setting(r.path), r.written);
    }
    EXPECT_TRUE(messages().empty());
}

struct Format {
    int bits, channels;
    const char* rate;
    const char *bytesPerSample, *bytesPerSec;
};

TEST_F(OptionsSheet, NewFilesWritesTheFormatAndTheValuesItGives) {
    const Format formats[] = {{1, 1, "44100", "4", "176400"},
                              {1, 0, "22050", "2", "44100"},
                              {0, 1, "8000", "2", "16000"},
                              {0, 0, "48000", "1", "48000"},
                              {0, 0, "1", "1", "1"}};
    for (const Format& fmt : formats) {
        SCOPED_TRACE(fmt.rate);
        run(NEWFILES, [&](HWND sheet) {
            HWND page = PropSheet_GetCurrentPageHwnd(sheet);
            SendDlgItemMessage(page, 101, CB_SETCURSEL, WPARAM(fmt.bits), 0);
            SendDlgItemMessage(page, 102, CB_SETCURSEL, WPARAM(fmt.channels), 0);
            SetDlgItemText(page, 103, fmt.rate);
            return IDOK;
        });
        EXPECT_EQ(setting(kBit), fmt.bits ? "16" : "8");
        EXPECT_EQ(setting(kChannels), fmt.channels ? "2" : "1");
        EXPECT_EQ(setting(kSamples), fmt.rate);
        EXPECT_EQ(setting(kBytesPerSample), fmt.bytesPerSample);
        EXPECT_EQ(setting(kBytesPerSec), fmt.bytesPerSec);
    }
    // What was written is what the page shows next time.
    run(NEWFILES, [](HWND sheet) {
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        EXPECT_EQ(text(page, 103), "1");
        EXPECT_EQ(text(page, 104), "0 KB/sec");
        EXPECT_EQ(text(page, 105), "1 Bytes/Sample");
        return IDCANCEL;
    });
    EXPECT_TRUE(messages().empty());
}

TEST_F(OptionsSheet, ARefusedFrequencyIsReportedAndOnlyBitAndChannelsAreWritten) {
    for (const char* rate : {"0", "48001", "99999", "none"}) {
        SCOPED_TRACE(rate);
        RegWriteString(kSamples, "11025");
        RegWriteString(kBytesPerSec, "11025");
        RegWriteString(kBytesPerSample, "1");
        forget(kBit);
        forget(kChannels);
        rec.asked.clear();
        INT_PTR r = run(NEWFILES, [&](HWND sheet) {
            HWND page = PropSheet_GetCurrentPageHwnd(sheet);
            SendDlgItemMessage(page, 101, CB_SETCURSEL, 1, 0);
            SendDlgItemMessage(page, 102, CB_SETCURSEL, 1, 0);
            SetDlgItemText(page, 103, rate);
            return IDOK;
        });
        EXPECT_EQ(r, 1) << "the sheet closes anyway";
        EXPECT_EQ(messages(),
                  std::vector<std::string>{"Only values ranging from 1 to 48000 are allowed."});
        EXPECT_EQ(setting(kBit), "16");
        EXPECT_EQ(setting(kChannels), "2");
        EXPECT_EQ(setting(kSamples), "11025");
        EXPECT_EQ(setting(kBytesPerSec), "11025");
        EXPECT_EQ(setting(kBytesPerSample), "1");
    }
}

TEST_F(OptionsSheet, OkOverEveryPageKeepsTheSettingsNoPageShows) {
    const char* const unseen[][2] = {{kClipboardOnDisk, "1"},
                                     {"Sonrel\\Settings\\Boolean\\DirectDisplay", "1"},
                                     {"Sonrel\\Settings\\Filters\\Volume", "333"},
                                     {"Sonrel\\Settings\\CompressBits", "16"}};
    for (const auto& s : unseen) RegWriteString(s[0], s[1]);
    run(0, [](HWND sheet) {
        for (int i = USER; i <= THREADS; ++i) show(sheet, i);
        return IDOK;
    });
    for (const auto& s : unseen) EXPECT_EQ(setting(s[0]), s[1]) << s[0];
    for (const auto& s : unseen) forget(s[0]);  // later tests read the defaults
    EXPECT_EQ(setting(kTone), "1") << "the shown pages did write";
    EXPECT_EQ(setting(kSamples), "22050");
}

TEST_F(OptionsSheet, PagesThatWereNeverShownWriteNothing) {
    run(THREADS, [](HWND) { return IDOK; });
    EXPECT_EQ(setting(kTone), "1");
    for (const char* path : {kName, kBit, kSamples, kAssistant, kQuality, kZoom, kRecent})
        EXPECT_EQ(setting(path), kAbsent) << path;
}

TEST_F(OptionsSheet, TheStartPageIsChosenByIndexAndAnIndexPastTheEndOpensTheFirst) {
    struct Start {
        int index, shown, control;
        const char* controlText;
    };
    const Start starts[] = {{0, USER, 101, ""},
                            {1, NEWFILES, 104, "21 KB/sec"},
                            {2, DESIGN, 202, "Browse..."},
                            {3, GENERAL, 101, "Doubleclicking marks whole file"},
                            {4, THREADS, 101, "Plays tone when thread has terminated"},
                            {5, USER, 101, ""},
                            {-1, USER, 101, ""}};
    for (const Start& s : starts) {
        SCOPED_TRACE(s.index);
        run(s.index, [&](HWND sheet) {
            HWND page = PropSheet_GetCurrentPageHwnd(sheet);
            EXPECT_EQ(page, PropSheet_IndexToHwnd(sheet, s.shown));
            EXPECT_EQ(SendMessage(PropSheet_GetTabControl(sheet), TCM_GETCURSEL, 0, 0), s.shown);
            EXPECT_TRUE(GetDlgItem(page, s.control));
            EXPECT_EQ(text(page, s.control), s.controlText);
            return IDCANCEL;
        });
    }
}

TEST_F(OptionsSheet, ControlsNothingReadsAreDisabledAndTheOthersAreNot) {
    struct Control {
        int page, id;
        bool enabled;
    };
    const Control controls[] = {{GENERAL, 101, false}, {GENERAL, 104, false}, {THREADS, 105, false},
                                {GENERAL, 103, true},  {GENERAL, 203, true},  {DESIGN, 201, true},
                                {DESIGN, 202, true},   {THREADS, 101, true}};
    run(0, [&](HWND sheet) {
        for (const Control& c : controls)
            EXPECT_EQ(bool(IsWindowEnabled(GetDlgItem(show(sheet, c.page), c.id))), c.enabled)
                << "page " << c.page << " control " << c.id;
        return IDCANCEL;
    });
}

TEST_F(OptionsSheet, BrowsePutsTheChosenSoundIntoTheEditAndOkStoresIt) {
    rec.on_ask = [](const PlatformQuestion* q) -> INT_PTR {
        if (std::strcmp(q->kind, "OpenFile") == 0) {
            auto* ofn = static_cast<OPENFILENAME*>(q->data);
            std::strncpy(ofn->lpstrFile, "/sounds/hello.wav", ofn->nMaxFile);
            return IDOK;
        }
        if (std::strcmp(q->kind, "Dialog") != 0) return IDOK;
        HWND page = show(static_cast<HWND>(q->data), DESIGN);
        SendMessage(page, WM_COMMAND, MAKEWPARAM(202, BN_CLICKED),
                    reinterpret_cast<LPARAM>(GetDlgItem(page, 202)));
        EXPECT_EQ(text(page, 201), "/sounds/hello.wav");
        return IDOK;
    };
    EXPECT_EQ(ShowOptionsPropertySheet(f.frame), 1);
    EXPECT_EQ(setting(kSound), "/sounds/hello.wav");
}

// --- Sound drivers

struct FlagsRow {
    DWORD flags;
    const char* shown;
};

TEST(DevCapsFormat, TheBestFormatFollowsTheFlagsInTheirOrder) {
    const FlagsRow rows[] = {
        {0, "8 Bit 0 Hz MONO"},
        {WAVE_FORMAT_1M08, "8 Bit 11025 Hz MONO"},
        {WAVE_FORMAT_1M08 | WAVE_FORMAT_2M08 | WAVE_FORMAT_4S08, "8 Bit 22050 Hz STEREO"},
        {WAVE_FORMAT_4M08 | WAVE_FORMAT_1M16, "16 Bit 11025 Hz MONO"},
        {WAVE_FORMAT_4M16 | WAVE_FORMAT_1M08, "16 Bit 44100 Hz MONO"},
        {WAVE_FORMAT_2S16, "8 Bit 0 Hz STEREO"},
        {WAVE_FORMAT_2M16 | WAVE_FORMAT_1S08, "16 Bit 22050 Hz STEREO"},
        {0x0FFF, "16 Bit 44100 Hz STEREO"},
    };
    for (const FlagsRow& r : rows) EXPECT_EQ(devcaps::best_format(r.flags), r.shown) << r.flags;
}

class DevCaps : public OptionsSheet {
protected:
    // The three texts of each group (101-103, 201-203) and the sheet's caption
    // and tab count, for the devices given.
    std::vector<std::string> shown(UINT out, UINT in, INT_PTR* result = nullptr) {
        std::vector<std::string> texts;
        rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
            auto sheet = static_cast<HWND>(q->data);
            HWND page = PropSheet_GetCurrentPageHwnd(sheet);
            for (int id : {101, 102, 103, 201, 202, 203}) texts.push_back(text(page, id));
            texts.push_back(caption(sheet));
            texts.push_back(std::to_string(
                SendMessage(PropSheet_GetTabControl(sheet), TCM_GETITEMCOUNT, 0, 0)));
            return IDOK;
        };
        INT_PTR r = ShowDevCaps(f.frame, out, in);
        if (result) *result = r;
        return texts;
    }
};

TEST_F(DevCaps, ThePageShowsWhatTheOutputAndInputDevicesReport) {
    WAVEOUTCAPS out{};
    WAVEINCAPS in{};
    ASSERT_EQ(waveOutGetDevCaps(0, &out, sizeof out), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInGetDevCaps(0, &in, sizeof in), MMSYSERR_NOERROR);
    ASSERT_STRNE(out.szPname, "");
    INT_PTR r = 0;
    auto texts = shown(0, 0, &r);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(texts,
              (std::vector<std::string>{out.szPname, "1.0", "16 Bit 44100 Hz STEREO", in.szPname,
                                        "1.0", "16 Bit 44100 Hz STEREO", "Device Driver", "1"}));
}

TEST_F(DevCaps, ADeviceThatCannotBeAskedShowsWhyInsteadOfItsName) {
    UINT past = waveOutGetNumDevs() + waveInGetNumDevs() + 5;
    WAVEOUTCAPS out{};
    ASSERT_EQ(waveOutGetDevCaps(0, &out, sizeof out), MMSYSERR_NOERROR);
    auto texts = shown(0, past);
    ASSERT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts[0], out.szPname);
    EXPECT_EQ(texts[3], "The specified device identifier is out of range.");
    EXPECT_EQ(texts[4], "");
    EXPECT_EQ(texts[5], "");
}

}  // namespace
