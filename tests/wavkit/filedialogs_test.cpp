// The open and save dialogs answered through the question hook: what they ask,
// the folder and filter they store after a choice, "FALSE" on cancel; and the
// preview panel under the open dialog's file list, which shows what the
// canonical header offsets of the selected file hold.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../../resources/dialogs_files.h"
#include "document_fixture.h"
#include "test_support.h"

namespace {

using namespace wavtest;
using testing_support::fresh_dir;
using testing_support::QuestionRecorder;
using testing_support::write_file;

constexpr int kSize = 110, kLength = 111, kFormat = 112, kRate = 113;

void register_resources() {
    static bool done = (RegisterFileDialogTemplates(GetModuleHandle(nullptr)), true);
    (void)done;
}

// The description/pattern pairs of a zero-separated filter list.
std::vector<std::string> filter_parts(const char* list) {
    std::vector<std::string> out;
    for (const char* p = list; *p; p += std::strlen(p) + 1) out.push_back(p);
    return out;
}

// For a look at the dialogs a person sees (run under a display, not by the
// tests): opens the open dialog (or with "save" the save dialog) on the folder
// given, with nobody answering for the person, and prints what it gave.
int role_open_dialog_look(const std::vector<std::string>& args) {
    if (args.empty()) return 2;
    register_resources();
    Frame f;
    ShowWindow(f.frame, SW_SHOW);
    if (args.size() > 1 && args[1] == "save") {
        RegWriteString("Sonrel\\Directories\\WaveSave", args[0].c_str());
        std::printf("%s\n", SaveBox(f.frame));
        return 0;
    }
    RegWriteString("Sonrel\\Directories\\WaveOpen", args[0].c_str());
    RegWriteString("Sonrel\\Directories\\WaveOpenFilter", "1");
    std::printf("%s\n", OpenBox(f.frame));
    return 0;
}

const bool g_roles =
    (testing_support::register_child_role("open-dialog-look", role_open_dialog_look), true);

class FileDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        register_resources();
        dir = fresh_dir("dialogs");
    }
    Frame f;
    std::string dir;
};

TEST(FileDialogExports, PanelAndRawProceduresAreFoundByTheirPlainNames) {
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "CustomTemplateDlgProc"),
              reinterpret_cast<void*>(&CustomTemplateDlgProc));
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "RawDlgProc"), reinterpret_cast<void*>(&RawDlgProc));
    for (const char* name : {"NewFile", "OpenBox", "SaveBox"})
        EXPECT_NE(dlsym(RTLD_DEFAULT, name), nullptr) << name;
}

TEST_F(FileDialogs, OpenAsksWithTitleFiltersFolderAndPanel) {
    RegWriteString("Sonrel\\Directories\\WaveOpen", dir.c_str());
    RegWriteString("Sonrel\\Directories\\WaveOpenFilter", "3");
    QuestionRecorder rec;
    OPENFILENAME seen{};
    std::vector<std::string> filters;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        seen = *static_cast<const OPENFILENAME*>(q->data);
        filters = filter_parts(seen.lpstrFilter);
        return 0;
    };
    EXPECT_STREQ(OpenBox(f.frame), "FALSE");
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].kind, "OpenFile");
    EXPECT_EQ(rec.asked[0].caption, "Sonrel2003  -  Open File");
    EXPECT_EQ(rec.asked[0].text, dir);
    EXPECT_EQ(rec.asked[0].owner, f.frame);
    EXPECT_EQ(filters, (std::vector<std::string>{
                           "WAVE - Audio files (*.WAV)", "*.wav", "MPEG Layer III Files (*.MP3)",
                           "*.mp3", "AVI - Video files (*.AVI)", "*.avi", "RAW Audio Data (*.*)",
                           "*.*", "All files(*.*)", "*.*"}));
    EXPECT_EQ(seen.nFilterIndex, 3u);
    EXPECT_EQ(seen.nMaxFile, 356u);
    DWORD needed = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
    EXPECT_EQ(seen.Flags & needed, needed);
    EXPECT_STREQ(seen.lpTemplateName, "RV_OPENFILE");
    EXPECT_EQ(seen.lpfnHook, &CustomTemplateDlgProc);
}

TEST_F(FileDialogs, OpenStoresTheFolderWithoutSeparatorAndTheFilterIndex) {
    RegWriteString("Sonrel\\Directories\\WaveOpen", "/somewhere/else");
    RegWriteString("Sonrel\\Directories\\WaveOpenFilter", "1");
    std::string chosen = dir + "/take.wav";
    write_file(chosen, wav_file(Format{}, pattern(100)));
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        auto* ofn = static_cast<OPENFILENAME*>(q->data);
        PlatformFileDialogSelect(ofn, chosen.c_str());
        ofn->nFilterIndex = 5;
        return IDOK;
    };
    EXPECT_EQ(std::string(OpenBox(f.frame)), chosen);
    EXPECT_STREQ(RegGetString("Sonrel\\Directories\\WaveOpen", ""), dir.c_str());
    EXPECT_STREQ(RegGetString("Sonrel\\Directories\\WaveOpenFilter", ""), "5");
}

TEST_F(FileDialogs, CancelledOpenStoresNothing) {
    RegWriteString("Sonrel\\Directories\\WaveOpen", "/kept");
    RegWriteString("Sonrel\\Directories\\WaveOpenFilter", "2");
    QuestionRecorder rec;
    rec.default_answer = 0;
    EXPECT_STREQ(OpenBox(f.frame), "FALSE");
    EXPECT_STREQ(RegGetString("Sonrel\\Directories\\WaveOpen", ""), "/kept");
    EXPECT_STREQ(RegGetString("Sonrel\\Directories\\WaveOpenFilter", ""), "2");
}

TEST_F(FileDialogs, SaveAsksFromTheSaveFolderWithItsFiltersAndNoQuestions) {
    RegWriteString("Sonrel\\Directories\\WaveSave", dir.c_str());
    QuestionRecorder rec;
    OPENFILENAME seen{};
    std::vector<std::string> filters;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        seen = *static_cast<const OPENFILENAME*>(q->data);
        filters = filter_parts(seen.lpstrFilter);
        return 0;
    };
    EXPECT_STREQ(SaveBox(f.frame), "FALSE");
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].kind, "SaveFile");
    EXPECT_EQ(rec.asked[0].text, dir);
    EXPECT_EQ(rec.asked[0].owner, f.frame);
    EXPECT_EQ(filters, (std::vector<std::string>{"WAVE - Audio files (*.WAV)", "*.wav",
                                                 "All files (*.*)", "*.*"}));
    EXPECT_EQ(seen.nFilterIndex, 1u);
    EXPECT_EQ(seen.nMaxFile, 256u);
    EXPECT_EQ(seen.Flags & (OFN_PATHMUSTEXIST | OFN_HIDEREADONLY),
              DWORD(OFN_PATHMUSTEXIST | OFN_HIDEREADONLY));
    EXPECT_EQ(seen.Flags & OFN_OVERWRITEPROMPT, 0u) << "a file is replaced without a question";
    EXPECT_EQ(seen.lpstrDefExt, nullptr);
    EXPECT_EQ(seen.lpfnHook, nullptr);
}

TEST_F(FileDialogs, SaveAsksWithItsTitleAndStoresTheFolder) {
    RegWriteString("Sonrel\\Directories\\WaveSave", "/before");
    std::string chosen = dir + "/sub/out.wav";
    QuestionRecorder rec;
    rec.default_answer = reinterpret_cast<INT_PTR>(chosen.c_str());
    EXPECT_EQ(std::string(SaveBox(f.frame)), chosen);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].kind, "SaveFile");
    EXPECT_EQ(rec.asked[0].caption, "Sonrel2003  -  Save File");
    EXPECT_STREQ(RegGetString("Sonrel\\Directories\\WaveSave", ""), (dir + "/sub").c_str());

    rec.default_answer = 0;
    EXPECT_STREQ(SaveBox(f.frame), "FALSE");
    EXPECT_STREQ(RegGetString("Sonrel\\Directories\\WaveSave", ""), (dir + "/sub").c_str());
}

// The four preview fields after selecting each path in turn, in the open dialog.
struct Fields {
    std::string size, length, format, rate;
    bool operator==(const Fields&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Fields& x) {
    return os << '[' << x.size << " | " << x.length << " | " << x.format << " | " << x.rate << ']';
}

std::vector<Fields> preview(HWND owner, const std::vector<std::string>& paths) {
    std::vector<Fields> out;
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        auto* ofn = static_cast<OPENFILENAME*>(q->data);
        for (const std::string& p : paths) {
            HWND panel = PlatformFileDialogSelect(ofn, p.c_str());
            char buf[4][64];
            GetDlgItemText(panel, kSize, buf[0], 64);
            GetDlgItemText(panel, kLength, buf[1], 64);
            GetDlgItemText(panel, kFormat, buf[2], 64);
            GetDlgItemText(panel, kRate, buf[3], 64);
            out.push_back(Fields{buf[0], buf[1], buf[2], buf[3]});
        }
        return 0;
    };
    OpenBox(owner);
    return out;
}

// A canonical header with every field given, followed by `extra` bytes.
Bytes header(uint32_t fileLength, uint16_t channels, uint32_t rate, uint32_t bytesPerSec,
             uint16_t bits, uint32_t dataSize, size_t extra = 0) {
    Bytes b;
    put_tag(b, "RIFF");
    put32(b, fileLength);
    put_tag(b, "WAVE");
    put_tag(b, "fmt ");
    put32(b, 16);
    put16(b, bits == 4 ? 0x11 : 1);
    put16(b, channels);
    put32(b, rate);
    put32(b, bytesPerSec);
    put16(b, uint16_t(channels * (bits == 4 ? 1 : bits / 8)));
    put16(b, bits);
    put_tag(b, "data");
    put32(b, dataSize);
    b.insert(b.end(), extra, 0x80);
    return b;
}

TEST_F(FileDialogs, PreviewShowsSizeLengthFormatAndRate) {
    std::string mono8 = dir + "/mono8.wav", stereo16 = dir + "/stereo16.wav";
    std::string mono16 = dir + "/mono16.wav", stereo8 = dir + "/stereo8.wav";
    std::string adpcm = dir + "/adpcm.wav";
    write_file(mono8, header(44100 + 36, 1, 22050, 22050, 8, 44100, 44100));
    write_file(stereo16, header(11478036, 2, 44100, 176400, 16, 11478000));
    write_file(mono16, header(1036, 1, 8000, 16000, 16, 1000, 1000));
    write_file(stereo8, header(3000, 2, 11025, 22050, 8, 2205));
    write_file(adpcm, header(40000, 1, 22050, 11100, 4, 39000));
    std::vector<Fields> got = preview(f.frame, {mono8, stereo16, mono16, stereo8, adpcm});
    std::vector<Fields> want = {
        {"43 KB", "00 m 02.000 s", "8 Bit, Mono", "22050 Hz"},
        {"11209 KB", "01 m 05.068 s", "16 Bit, Stereo", "44100 Hz"},
        {"1 KB", "00 m 00.062 s", "16 Bit, Mono", "8000 Hz"},
        {"2 KB", "00 m 00.100 s", "8 Bit, Stereo", "11025 Hz"},
        {"39 KB", "compressed", "4 Bit, Mono", "22050 Hz"},
    };
    EXPECT_EQ(got, want);
}

TEST_F(FileDialogs, PreviewReadsTheCanonicalOffsetsWhateverTheChunkLayout) {
    // A "LIST" chunk comes first: the canonical offsets fall inside it.
    Bytes b;
    put_tag(b, "RIFF");
    put32(b, 5000);      // 4: file length
    put_tag(b, "WAVE");  // 8
    put_tag(b, "LIST");  // 12
    put32(b, 40);        // 16
    put16(b, 0);         // 20
    put16(b, 2);         // 22: channels
    put32(b, 1000);      // 24: rate
    put32(b, 500);       // 28: bytes per second
    put16(b, 0);         // 32
    put16(b, 16);        // 34: bits
    put_tag(b, "ISFT");  // 36
    put32(b, 250);       // 40: data size
    b.resize(60, 'x');
    std::string odd = dir + "/odd.wav";
    write_file(odd, b);
    EXPECT_EQ(preview(f.frame, {odd}),
              (std::vector<Fields>{{"4 KB", "00 m 00.500 s", "16 Bit, Stereo", "1000 Hz"}}));
}

TEST_F(FileDialogs, PreviewOfZeroFileLengthShowsNoTime) {
    std::string zero = dir + "/zero.wav";
    write_file(zero, header(0, 1, 22050, 22050, 8, 22050, 10));
    EXPECT_EQ(preview(f.frame, {zero}),
              (std::vector<Fields>{{"0 KB", "00 m 00.000 s", "8 Bit, Mono", "22050 Hz"}}));
}

TEST_F(FileDialogs, PreviewLeavesFieldsAsTheyWereForFilesItCannotRead) {
    std::string good = dir + "/good.wav";
    write_file(good, header(2084, 1, 8000, 8000, 8, 2048, 2048));
    std::string notRiff = dir + "/plain.raw", shortFile = dir + "/short.wav";
    Bytes text(100, 'a');
    write_file(notRiff, text);
    write_file(shortFile, Bytes{'R', 'I', 'F', 'F', 1, 2, 3});
    Fields initial{"0 KB", "00 m 00.000 s", "none", "none"};
    Fields goodFields{"2 KB", "00 m 00.256 s", "8 Bit, Mono", "8000 Hz"};
    EXPECT_EQ(preview(f.frame, {dir + "/absent.wav", good, notRiff, shortFile, dir}),
              (std::vector<Fields>{initial, goodFields, goodFields, goodFields, goodFields}));
}

TEST_F(FileDialogs, PreviewTakesAnyFileWhoseFirstAndFourthBytesAreRAndF) {
    Bytes b = header(1024 * 7, 1, 11025, 11025, 8, 11025);
    b[1] = 'O';
    b[2] = 'O';
    std::string roof = dir + "/roof.wav";
    write_file(roof, b);
    EXPECT_EQ(preview(f.frame, {roof}),
              (std::vector<Fields>{{"7 KB", "00 m 01.000 s", "8 Bit, Mono", "11025 Hz"}}));
}

TEST_F(FileDialogs, PanelButtonsPlayAndStopTheSelectedFile) {
    std::string wav = dir + "/play.wav";
    write_file(wav, wav_file(Format{1, 8000, 8}, pattern(8000)));
    bool playing = false, stopped = false;
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        HWND panel = PlatformFileDialogSelect(static_cast<OPENFILENAME*>(q->data), wav.c_str());
        SendDlgItemMessage(panel, 102, BM_CLICK, 0, 0);
        playing = PlatformIsSoundPlaying();
        SendDlgItemMessage(panel, 103, BM_CLICK, 0, 0);
        stopped = !PlatformIsSoundPlaying();
        SendDlgItemMessage(panel, 102, BM_CLICK, 0, 0);
        return 0;
    };
    OpenBox(f.frame);
    EXPECT_TRUE(playing);
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(PlatformIsSoundPlaying()) << "closing the panel stops the sound";
}

TEST_F(FileDialogs, PanelAboutButtonShowsItsNotice) {
    QuestionRecorder rec;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        if (std::strcmp(q->kind, "OpenFile") != 0) return IDOK;
        HWND panel = PlatformFileDialogSelect(static_cast<OPENFILENAME*>(q->data), "");
        SendDlgItemMessage(panel, 101, BM_CLICK, 0, 0);
        return 0;
    };
    OpenBox(f.frame);
    ASSERT_EQ(rec.asked.size(), 2u);
    EXPECT_EQ(rec.asked[1].kind, "MessageBox");
    EXPECT_EQ(rec.asked[1].caption, "About...");
    EXPECT_FALSE(rec.asked[1].text.empty());
}

}  // namespace
