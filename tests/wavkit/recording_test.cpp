// Recording: the figures the dialogs show; in child processes whose SDL input
// is read from a file, takes in 8-bit mono and 16-bit stereo that hold the
// fed signal in the document's format, the level bars and the peak warning,
// Cancel and No that change nothing, the CD start, two copies recording at
// once; and, without a capture device, a clear refusal.
#include "../../wavkit/src/recording.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/dialogs.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "../../resources/dialogs_record.h"
#include "../platform/audio_test_support.h"
#include "document_fixture.h"
#include "test_support.h"

namespace {

using testing_support::QuestionRecorder;
using wavtest::Bytes;

TEST(RecordingFigures, LevelsLengthsSizesAndTextsAreShownAsTheDialogsShowThem) {
    struct Level {
        BYTE sample;
        int level;
        bool peak;
    };
    for (Level l : {Level{127, 0, false}, Level{128, 1, false}, Level{0, 127, false},
                    Level{255, 128, true}, Level{254, 127, true}, Level{253, 126, false}}) {
        EXPECT_EQ(rec::level_of(l.sample), l.level) << int(l.sample);
        EXPECT_EQ(rec::is_peak(l.sample), l.peak) << int(l.sample);
    }
    struct Length {
        DWORD ms, bytesPerSec;
        const char *length, *kilobytes;
    };
    for (Length l :
         {Length{75500, 22050, "01:15", "  1653"}, Length{999, 44100, "00:00", "     0"},
          Length{3600000, 176400, "60:00", "635040"}, Length{59999, 8000, "00:59", "   472"}}) {
        EXPECT_EQ(rec::length_text(l.ms), l.length) << l.ms;
        EXPECT_EQ(rec::kilobytes_text(l.ms, l.bytesPerSec), l.kilobytes) << l.ms;
    }
    EXPECT_EQ(rec::free_megabytes(512, 2048, 8), 8u);
    EXPECT_EQ(rec::free_megabytes(4096, 1000, 1), 3u) << "each division truncates";
    EXPECT_EQ(rec::level_format_text(16, 44100, 2), "16 Bit, 44100 Hz, STEREO");
    EXPECT_EQ(rec::level_format_text(8, 8000, 1), "8 Bit, 8000 Hz, MONO");
    EXPECT_EQ(rec::record_format_text(16, 22050, 2), "16 Bit, 22050 Hz STEREO");
    EXPECT_EQ(rec::record_format_text(8, 11025, 1), "8 Bit, 11025 Hz MONO");
    EXPECT_EQ(rec::cd_start_text(3, 2, 5), "Track 3, Position 02:05");
}

TEST(RecordingFigures, TheTakeLivesInTheTemporaryFolderUnderThisProcesssName) {
    std::string temp = rec::temp_file();
    std::string folder = PlatformFolder(GetTempPath);
    EXPECT_EQ(temp.rfind(folder, 0), 0u) << temp;
    EXPECT_NE(temp.find(std::to_string(getpid())), std::string::npos) << temp;
}

// --- Child processes with a capture device fed from a file -----------------------

std::string line_of(const std::vector<std::string>& words) {
    std::string s;
    for (const std::string& w : words) s += w + "\n";
    return s;
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::vector<std::string> read_lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

int seconds_shown(HWND dlg) {
    std::string t = testing_support::item_text(dlg, 302);
    if (t.size() != 5 || t[2] != ':') return -1;
    return std::stoi(t.substr(0, 2)) * 60 + std::stoi(t.substr(3));
}

int bar(HWND dlg, int id) {
    return int(SendDlgItemMessage(dlg, id, PBM_GETPOS, 0, 0));
}

// Pauses once the length shows, watches the length and the animation for a
// while, resumes and waits for the length to move on; what it saw, as words.
std::string pause_and_resume(HWND dlg) {
    HWND anim = GetDlgItem(dlg, 101);
    std::string words = Animate_IsPlaying(anim) ? "playing" : "still";
    atest::wait_for([&] { return seconds_shown(dlg) >= 1; }, 20);
    SendMessage(dlg, WM_COMMAND, 555, 0);
    int held = seconds_shown(dlg);
    atest::wait_for([] { return false; }, 2);
    words += seconds_shown(dlg) == held ? " held" : " moved";
    words += Animate_IsPlaying(anim) ? " playing" : " still";
    SendMessage(dlg, WM_COMMAND, 555, 0);
    bool moved = atest::wait_for([&] { return seconds_shown(dlg) > held; }, 20);
    words += moved ? " moved" : " held";
    words += Animate_IsPlaying(anim) ? " playing" : " still";
    return words;
}

// What a recording child saw, one line each: what was asked (kinds and
// template names), the bars, the hint, the texts of the recording dialog,
// the CD's state, and whether a take file was left.
struct Seen {
    std::vector<std::string> asked;
    int left = -1, right = -1;
    std::string hint, format, file, cdLevel, cdRecord, cdMode, cdTrack, cdAfter, pause;
};

// Child: a document in the format given (empty, or with data for the
// overwrite cases) and a recording answered as the mode says:
//  take / cd     start, record until 2 s are shown, stop
//  yes / no      the same into a document with data, Yes or No to the question
//  cancel        Cancel in the level check
//  level         read the bars of the first buffers, then Cancel
//  pause         pause and resume while recording, then stop
// Writes the document's data to <out>.data and what it saw to <out>.seen.
int record_child(const std::vector<std::string>& a) {
    const std::string mode = a[0], out = a[4];
    wavtest::Format fmt{WORD(std::stoi(a[2])), DWORD(std::stoi(a[3])), WORD(std::stoi(a[1]))};
    RegisterRecordDialogTemplates(GetModuleHandle(nullptr));
    wavtest::Frame f;
    bool withData = mode == "yes" || mode == "no" || mode == "cancel";
    Bytes old = withData ? wavtest::pattern(4000) : Bytes{};
    HWND doc = wavtest::make_document(f, fmt, old, SOURCE_PCM_WAVE, "/music/old take.wav");
    f.active = doc;
    Seen seen;
    if (mode == "cd") {
        atest::set_cd_image(a[5]);
        if (atest::mci("open cdaudio alias cd shareable").rfind("error", 0) == 0) return 20;
    }
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        seen.asked.push_back(std::string(q->kind) + " " + q->text);
        if (std::strcmp(q->kind, "MessageBox") == 0) return mode == "no" ? IDNO : IDYES;
        auto dlg = static_cast<HWND>(q->data);
        if (std::strncmp(q->text, "BEFORERECORD", 12) == 0) {
            atest::wait_for([&] { return bar(dlg, 201) > 0 || bar(dlg, 202) > 0; }, 5);
            seen.left = bar(dlg, 201);
            seen.right = bar(dlg, 202);
            seen.hint = testing_support::item_text(dlg, 301);
            seen.format = testing_support::item_text(dlg, 102);
            seen.cdLevel = testing_support::item_text(dlg, 103);
            return mode == "cancel" || mode == "level" ? IDCANCEL : IDOK;
        }
        seen.file = testing_support::item_text(dlg, 102);
        seen.cdRecord = testing_support::item_text(dlg, 202);
        if (mode == "cd") {
            // The disk driver plays far faster than real time: look at once.
            seen.cdMode = atest::mci("status cd mode");
            seen.cdTrack = atest::mci("status cd current track");
            atest::wait_for([&] { return seconds_shown(dlg) >= 2; }, 20);
        } else if (mode == "pause") {
            seen.pause = pause_and_resume(dlg);
        } else {
            atest::wait_for([&] { return seconds_shown(dlg) >= 2; }, 20);
        }
        return IDCANCEL;  // Stop Recording
    };
    if ((mode == "cd" ? ShowRecordCD(f.frame, 2, 0, 1) : ShowRecord(f.frame)) != 1) return 2;
    if (mode == "cd") {
        seen.cdAfter = atest::mci("status cd mode");
        atest::mci("close cd");
    }
    testing_support::write_file(out + ".data", wavtest::data_of(doc));
    HeaderBlock h = wavtest::header_of(doc);
    InfoBlock info = wavtest::info_of(doc);
    std::string asked;
    for (const std::string& s : seen.asked) asked += s + "|";
    for (size_t at = 0; (at = asked.find('\n', at)) != std::string::npos;)
        asked.replace(at, 1, "\\n");
    write_text(out + ".seen",
               line_of({asked, std::to_string(seen.left), std::to_string(seen.right), seen.hint,
                        seen.format, seen.file, seen.cdLevel, seen.cdRecord, seen.cdMode,
                        seen.cdTrack, seen.cdAfter,
                        std::to_string(h.bitsPerSample) + " " + std::to_string(h.channels) + " " +
                            std::to_string(h.samplesPerSec) + " " + std::to_string(h.dataSize),
                        std::to_string(info.saved), std::to_string(IsUndoPossible(doc)),
                        rec::temp_file(), seen.pause}));
    return 0;
}

const bool g_roles = [] {
    testing_support::register_child_role("record", [](const std::vector<std::string>& a) {
        return a.size() >= 5 ? record_child(a) : 1;
    });
    return true;
}();

struct Outcome {
    int rc = -1;
    Bytes data;
    std::vector<std::string> seen;
};

// Runs the recording child with the disk capture reading input.
Outcome run_record(const std::string& mode, int bits, int channels, int rate, const Bytes& input,
                   const std::string& cdImage = "") {
    std::string dir = testing_support::fresh_dir("rec-" + mode + std::to_string(bits));
    atest::DiskAudio audio{dir + "/input.raw", dir + "/output.raw", 2};
    testing_support::write_file(audio.in, input);
    std::vector<std::string> args = {mode, std::to_string(bits), std::to_string(channels),
                                     std::to_string(rate), dir + "/out"};
    if (!cdImage.empty()) args.push_back(cdImage);
    Outcome o;
    o.rc = atest::run_with_disk_audio("record", args, audio);
    o.data = testing_support::read_file(dir + "/out.data");
    o.seen = read_lines(dir + "/out.seen");
    o.seen.resize(16);
    return o;
}

// The take files left in the temporary folder.
std::vector<std::string> takes_left() {
    std::vector<std::string> names;
    std::string folder = PlatformFolder(GetTempPath);
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d))
            if (std::strncmp(e->d_name, "SnrTemp", 7) == 0) names.push_back(e->d_name);
        closedir(d);
    }
    return names;
}

enum SeenLine {
    kAsked,
    kLeft,
    kRight,
    kHint,
    kLevelFormat,
    kFile,
    kCdLevel,
    kCdRecord,
    kCdMode,
    kCdTrack,
    kCdAfter,
    kHeader,
    kSaved,
    kUndo,
    kTemp,
    kPause
};

TEST(Recording, TakesHoldTheFedSignalInTheDocumentsOwnFormat) {
    struct Case {
        int bits, channels, rate;
        Bytes signal;
        const char* header;
        const char* levelFormat;
    };
    for (const Case& c :
         {Case{8, 1, 8000, atest::signal8(6000), "8 1 8000", "8 Bit, 8000 Hz, MONO"},
          Case{16, 2, 22050, atest::signal16(5000), "16 2 22050", "16 Bit, 22050 Hz, STEREO"}}) {
        SCOPED_TRACE(c.header);
        Outcome o = run_record("take", c.bits, c.channels, c.rate, c.signal);
        ASSERT_EQ(o.rc, 0);
        EXPECT_GE(atest::find(o.data, c.signal), 0) << "the signal is in the document whole";
        EXPECT_EQ(o.data.size() % size_t(c.bits / 8 * c.channels), 0u);
        EXPECT_EQ(o.seen[kHeader].rfind(c.header, 0), 0u) << o.seen[kHeader];
        EXPECT_EQ(o.seen[kHeader], std::string(c.header) + " " + std::to_string(o.data.size()));
        EXPECT_EQ(o.seen[kAsked], "Dialog BEFORERECORD|Dialog RECORDTOFILE|")
            << "an empty document asks no question";
        EXPECT_EQ(o.seen[kLevelFormat], c.levelFormat);
        EXPECT_EQ(o.seen[kFile], "/music/old take.wav");
        EXPECT_EQ(o.seen[kSaved], "0") << "a take leaves the document unsaved";
        EXPECT_TRUE(takes_left().empty()) << "the take file is deleted once read";
    }
}

TEST(Recording, OverwritingAsksFirstAndNoOrCancelLeaveTheDocumentAsItWas) {
    Bytes signal = atest::signal8(6000);
    Bytes old = wavtest::pattern(4000);
    struct Case {
        const char* mode;
        const char* asked;  // null: no overwrite question
        bool replaced;
    };
    const std::string question = "MessageBox Do you confirm overwriting\\n/music/old take.wav?|";
    for (const Case& c :
         {Case{"no", "", false}, Case{"cancel", nullptr, false}, Case{"yes", "", true}}) {
        SCOPED_TRACE(c.mode);
        Outcome o = run_record(c.mode, 8, 1, 8000, signal);
        ASSERT_EQ(o.rc, 0);
        std::string asked = "Dialog BEFORERECORD|";
        if (c.asked) asked += question;
        if (c.replaced) asked += "Dialog RECORDTOFILE|";
        EXPECT_EQ(o.seen[kAsked], asked);
        if (c.replaced) {
            EXPECT_GE(atest::find(o.data, signal), 0);
            EXPECT_EQ(o.seen[kUndo], "0") << "the old undo record no longer fits";
        } else {
            EXPECT_EQ(o.data, old) << "the samples are untouched";
            EXPECT_EQ(o.seen[kSaved], "1") << "and the document stays saved";
        }
        EXPECT_TRUE(takes_left().empty());
    }
}

TEST(Recording, LevelBarsFollowTheInputAndTheLeftPeakWarns) {
    const std::string warning = "You should try to turn down the volume.";
    struct Case {
        BYTE left, right;
        int leftBar, rightBar;
        bool warns;
    };
    for (Case c : {Case{0x80, 0x00, 1, 127, false}, Case{0xFF, 0x7F, 127, 0, true},
                   Case{0x20, 0xFF, 95, 127, false}, Case{0xFE, 0xA0, 127, 33, true}}) {
        SCOPED_TRACE(int(c.left));
        Bytes input;
        for (int i = 0; i < 16000; ++i) input.insert(input.end(), {c.left, c.right});
        Outcome o = run_record("level", 8, 2, 8000, input);
        ASSERT_EQ(o.rc, 0);
        EXPECT_EQ(std::stoi(o.seen[kLeft]), c.leftBar);
        EXPECT_EQ(std::stoi(o.seen[kRight]), c.rightBar);
        EXPECT_EQ(o.seen[kHint].rfind(warning, 0) == 0, c.warns) << o.seen[kHint];
    }
}

TEST(Recording, PauseHoldsTheLengthAndTheAnimationUntilResumed) {
    Bytes signal = atest::signal8(6000);
    Outcome o = run_record("pause", 8, 1, 8000, signal);
    ASSERT_EQ(o.rc, 0);
    EXPECT_EQ(o.seen[kPause], "playing held still moved playing");
    EXPECT_GE(atest::find(o.data, signal), 0) << "the take before the pause is kept";
}

TEST(Recording, FromTheCdHoldsTheInputStartsTheCdWhereAskedAndLeavesItPlaying) {
    std::string dir = testing_support::fresh_dir("rec-cd-image");
    // Long tracks: the disk driver plays them far faster than real time.
    Bytes shortTrack(44100 * 4 * 3, 0), longTrack(44100 * 4 * 60, 0);
    std::string cue = atest::make_cd_image(dir, {shortTrack, longTrack});
    Bytes signal = atest::signal8(6000);
    Outcome o = run_record("cd", 8, 1, 8000, signal, cue);
    ASSERT_EQ(o.rc, 0);
    EXPECT_GE(atest::find(o.data, signal), 0) << "the document holds what the input gave";
    EXPECT_EQ(o.seen[kCdLevel], "Track 2, Position 00:01");
    EXPECT_EQ(o.seen[kCdRecord], "Track 2, Position 00:01");
    EXPECT_EQ(o.seen[kCdMode], "playing");
    EXPECT_EQ(o.seen[kCdTrack], "2");
    EXPECT_EQ(o.seen[kCdAfter], "playing") << "Stop Recording does not stop the CD";
}

TEST(Recording, TwoCopiesRecordingAtOnceKeepTheirTakesApart) {
    Bytes a = atest::signal8(6000), b = a;
    std::reverse(b.begin(), b.end());
    std::string dir = testing_support::fresh_dir("rec-two");
    testing_support::write_file(dir + "/a.raw", a);
    testing_support::write_file(dir + "/b.raw", b);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);
    setenv("SDL_DISKAUDIOFILE", (dir + "/out.raw").c_str(), 1);
    setenv("SDL_DISKAUDIOFILEIN", (dir + "/a.raw").c_str(), 1);
    int pa = testing_support::spawn_child("record", {"take", "8", "1", "8000", dir + "/a"});
    setenv("SDL_DISKAUDIOFILEIN", (dir + "/b.raw").c_str(), 1);
    int pb = testing_support::spawn_child("record", {"take", "8", "1", "8000", dir + "/b"});
    int ra = testing_support::wait_child(pa), rb = testing_support::wait_child(pb);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("SDL_DISKAUDIOFILEIN");
    unsetenv("SDL_DISKAUDIOFILE");
    ASSERT_EQ(ra, 0);
    ASSERT_EQ(rb, 0);
    Bytes da = testing_support::read_file(dir + "/a.data");
    Bytes db = testing_support::read_file(dir + "/b.data");
    EXPECT_GE(atest::find(da, a), 0);
    EXPECT_LT(atest::find(da, b), 0);
    EXPECT_GE(atest::find(db, b), 0);
    EXPECT_LT(atest::find(db, a), 0);
    auto ta = read_lines(dir + "/a.seen"), tb = read_lines(dir + "/b.seen");
    ASSERT_GT(ta.size(), size_t(kTemp));
    ASSERT_GT(tb.size(), size_t(kTemp));
    EXPECT_NE(ta[kTemp], tb[kTemp]) << "each copy has a take file of its own";
    EXPECT_TRUE(takes_left().empty());
}

// Child with no audio driver at all: one failing check per exit code.
int without_input() {
    if (waveInGetNumDevs() != 0) return 2;
    wavtest::Frame f;
    Bytes old = wavtest::pattern(1000);
    HWND doc = wavtest::make_document(f, wavtest::Format{}, old);
    f.active = doc;
    QuestionRecorder rec;
    if (ShowRecord(f.frame) != 1) return 3;
    if (rec.asked.size() != 1 || rec.asked[0].kind != "MessageBox") return 4;
    if (rec.asked[0].text != "No sound input device was found.\rRecording is not possible.")
        return 5;
    if (wavtest::data_of(doc) != old || wavtest::info_of(doc).saved != 1) return 6;
    return 0;
}

const bool g_noInputRole = [] {
    testing_support::register_child_role(
        "record-no-input", [](const std::vector<std::string>&) { return without_input(); });
    return true;
}();

TEST(Recording, WithoutACaptureDeviceTheUserIsToldAndNothingChanges) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    int rc = testing_support::wait_child(testing_support::spawn_child("record-no-input"));
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_EQ(rc, 0);
}

}  // namespace
