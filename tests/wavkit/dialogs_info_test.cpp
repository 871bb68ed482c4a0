// The format dialog of the active document and the clipboard properties, run
// on their templates through the question hook: what they show, which rates
// they refuse, what Change Settings writes into the HEADER block.
#include <gtest/gtest.h>
#include <sonrel/dialogs.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../../resources/dialogs_params.h"
#include "document_fixture.h"
#include "test_support.h"

namespace {

using namespace wavtest;
using testing_support::QuestionRecorder;

constexpr int kBits = 101, kChannels = 102, kRate = 103, kConvert = 110;

std::string text(HWND dlg, int id) {
    return testing_support::item_text(dlg, id);
}

std::string clipboard_file() {
    return testing_support::temp_path("SnrCLIP.WAV");
}

class InfoDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = (RegisterParamDialogTemplates(GetModuleHandle(nullptr)), true);
        (void)registered;
    }
    void answer_with(std::function<INT_PTR(HWND, int)> answer) {
        rec.on_ask = [this, answer](const PlatformQuestion* q) -> INT_PTR {
            if (std::strcmp(q->kind, "Dialog") != 0) return IDOK;
            return answer(static_cast<HWND>(q->data), dialogs++);
        };
    }
    std::vector<std::string> kinds() const {
        std::vector<std::string> out;
        for (const auto& a : rec.asked) out.push_back(a.kind);
        return out;
    }
    // Chooses bits and channels (-1 keeps them) and types a rate, then presses button.
    static INT_PTR choose(HWND dlg, int bits, int channels, const char* rate, int button) {
        if (bits >= 0) SendDlgItemMessage(dlg, kBits, CB_SETCURSEL, WPARAM(bits), 0);
        if (channels >= 0) SendDlgItemMessage(dlg, kChannels, CB_SETCURSEL, WPARAM(channels), 0);
        if (rate) SetDlgItemText(dlg, kRate, rate);
        return button;
    }
    Frame f;
    QuestionRecorder rec;
    int dialogs = 0;
};

TEST_F(InfoDialogs, HeaderShowsTheDocumentsFormatAndSizes) {
    Format fmt{2, 44100, 16};
    f.active = make_document(f, fmt, pattern(409600));
    std::vector<std::string> bits, channels, rates, fields;
    LRESULT bitSel = -5, chanSel = -5;
    std::string rate;
    BOOL convertEnabled = TRUE;
    answer_with([&](HWND dlg, int) -> INT_PTR {
        bits = testing_support::combo_items(dlg, kBits);
        channels = testing_support::combo_items(dlg, kChannels);
        rates = testing_support::combo_items(dlg, kRate);
        bitSel = SendDlgItemMessage(dlg, kBits, CB_GETCURSEL, 0, 0);
        chanSel = SendDlgItemMessage(dlg, kChannels, CB_GETCURSEL, 0, 0);
        rate = text(dlg, kRate);
        for (int id = 104; id <= 107; ++id) fields.push_back(text(dlg, id));
        convertEnabled = IsWindowEnabled(GetDlgItem(dlg, kConvert));
        return IDCANCEL;
    });
    EXPECT_EQ(ShowHeader(f.frame), 0);
    EXPECT_EQ(bits, (std::vector<std::string>{"Standard - 8", "HiFi - 16"}));
    EXPECT_EQ(channels, (std::vector<std::string>{"MONO", "STEREO"}));
    EXPECT_EQ(rates, (std::vector<std::string>{"8000", "11025", "16000", "22050", "28000", "32000",
                                               "44100", "48000"}));
    EXPECT_EQ(bitSel, 1);
    EXPECT_EQ(chanSel, 1);
    EXPECT_EQ(rate, "44100");
    // 176400 / 1024 = 172; (409600 + 44) / 1024 = 400; 409600 / 1024 = 400.
    EXPECT_EQ(fields,
              (std::vector<std::string>{"172 KB/sec", "4 Bytes/Sample", "400 KB", "400 KB"}));
    EXPECT_TRUE(convertEnabled);
}

TEST_F(InfoDialogs, ChangeSettingsRewritesTheFormatButKeepsTheData) {
    HWND doc = make_document(f, Format{1, 11025, 8}, pattern(5000));
    f.active = doc;
    Bytes before = data_of(doc);
    answer_with([](HWND dlg, int) { return choose(dlg, 1, 1, "22050", IDOK); });
    EXPECT_EQ(ShowHeader(f.frame), 1);
    HeaderBlock h = header_of(doc);
    EXPECT_EQ(h.bitsPerSample, 16);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.samplesPerSec, 22050u);
    EXPECT_EQ(h.blockAlign, 4);
    EXPECT_EQ(h.bytesPerSec, 88200u);
    EXPECT_EQ(h.dataSize, 5000u);
    EXPECT_EQ(h.fileLength, 5044u);
    EXPECT_EQ(data_of(doc), before);

    answer_with([](HWND dlg, int) { return choose(dlg, 0, 1, "8000", IDOK); });
    EXPECT_EQ(ShowHeader(f.frame), 1);
    h = header_of(doc);
    EXPECT_EQ(h.blockAlign, 2);
    EXPECT_EQ(h.bytesPerSec, 16000u);
}

TEST_F(InfoDialogs, RatesOutsideOneTo48000AreRefusedAndLeaveTheHeader) {
    HWND doc = make_document(f, Format{1, 11025, 8}, pattern(100));
    f.active = doc;
    const char* typed[] = {"0", "48001", "48000"};
    answer_with([&](HWND dlg, int n) { return choose(dlg, 1, -1, typed[n < 3 ? n : 2], IDOK); });
    EXPECT_EQ(ShowHeader(f.frame), 1);
    EXPECT_EQ(kinds(),
              (std::vector<std::string>{"Dialog", "MessageBox", "Dialog", "MessageBox", "Dialog"}));
    EXPECT_EQ(rec.asked[1].text, "Only values between 1 - 48000 allowed.");
    EXPECT_EQ(rec.asked[1].caption, "Warning...");
    EXPECT_EQ(rec.asked[1].style & 0xF0u, UINT(MB_ICONERROR));
    EXPECT_EQ(header_of(doc).samplesPerSec, 48000u);

    answer_with([](HWND dlg, int) { return choose(dlg, 0, 0, "1", IDOK); });
    EXPECT_EQ(ShowHeader(f.frame), 1);
    EXPECT_EQ(header_of(doc).samplesPerSec, 1u);
    EXPECT_EQ(header_of(doc).bytesPerSec, 1u);
}

TEST_F(InfoDialogs, HeaderCancelAndRefusalChangeNothing) {
    HWND doc = make_document(f, Format{2, 32000, 16}, pattern(100));
    f.active = doc;
    HeaderBlock before = header_of(doc);
    answer_with([](HWND dlg, int n) {
        return n == 0 ? choose(dlg, 0, 0, "48001", IDOK) : choose(dlg, 0, 0, "8000", IDCANCEL);
    });
    EXPECT_EQ(ShowHeader(f.frame), 0);
    HeaderBlock after = header_of(doc);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST_F(InfoDialogs, ClipboardPropertiesWithoutAFileSayNoClipboardFile) {
    std::remove(clipboard_file().c_str());
    EXPECT_EQ(ShowClipboardHeader(f.frame), 0);
    ASSERT_EQ(kinds(), std::vector<std::string>{"MessageBox"});
    EXPECT_EQ(rec.asked[0].text, "No Clipboard File");
    EXPECT_EQ(rec.asked[0].caption, "Warning...");
    EXPECT_EQ(rec.asked[0].owner, nullptr);
}

TEST_F(InfoDialogs, ClipboardPropertiesShowTheFilesFormatAndChunkSizes) {
    testing_support::write_file(clipboard_file(), wav_file(Format{1, 22050, 16}, pattern(4096)));
    std::vector<std::string> fields;
    std::string title;
    answer_with([&](HWND dlg, int) -> INT_PTR {
        for (int id = 101; id <= 107; ++id) fields.push_back(text(dlg, id));
        char buf[128];
        GetWindowText(dlg, buf, sizeof buf);
        title = buf;
        return IDOK;
    });
    EXPECT_EQ(ShowClipboardHeader(f.frame), 0);
    std::remove(clipboard_file().c_str());
    EXPECT_EQ(title, "Harddisk Clipboard Properties");
    // RIFF chunk: 4 + (8 + 16) + (8 + 4096) = 4132 bytes -> 4 KB.
    EXPECT_EQ(fields, (std::vector<std::string>{"HiFi - 16", "MONO", "22050", "43 KB/sec",
                                                "2 Bytes/Sample", "4 KB", "4 KB"}));
}

}  // namespace

namespace {

// "C&onvert" converts the samples: the data is resampled and narrowed, not
// only read in the new format as Change Settings does.
TEST_F(InfoDialogs, ConvertChangesTheSamplesToTheChosenFormat) {
    HWND doc = make_document(f, Format{2, 22050, 16}, Bytes(22050 * 4, 0));
    f.active = doc;
    answer_with([](HWND dlg, int) { return choose(dlg, 0, 0, "11025", kConvert); });
    EXPECT_EQ(ShowHeader(f.frame), 1);
    HeaderBlock h = header_of(doc);
    EXPECT_EQ(h.bitsPerSample, 8);
    EXPECT_EQ(h.channels, 1);
    EXPECT_EQ(h.samplesPerSec, 11025u);
    EXPECT_EQ(h.dataSize, 11025u) << "half the frames, one byte each";
    EXPECT_EQ(data_of(doc), Bytes(11025, 128)) << "16-bit silence becomes 8-bit silence";
}

TEST_F(InfoDialogs, ConvertWithARefusedRateStaysOpenWithTheButtonDisabled) {
    HWND doc = make_document(f, Format{1, 8000, 8}, pattern(800));
    f.active = doc;
    BOOL enabledAfter = TRUE;
    answer_with([&](HWND dlg, int n) -> INT_PTR {
        if (n == 0) return choose(dlg, 1, 1, "0", kConvert);
        enabledAfter = IsWindowEnabled(GetDlgItem(dlg, kConvert));
        return choose(dlg, 1, 1, "16000", IDOK);
    });
    EXPECT_EQ(ShowHeader(f.frame), 1);
    EXPECT_EQ(kinds(), (std::vector<std::string>{"Dialog", "MessageBox", "Dialog"}));
    EXPECT_EQ(rec.asked[1].text, "Values range from 1 - 48000 only.");
    EXPECT_FALSE(enabledAfter);
    HeaderBlock h = header_of(doc);
    EXPECT_EQ(h.samplesPerSec, 16000u) << "Change Settings still works";
    EXPECT_EQ(h.dataSize, 800u) << "nothing was converted";
}

TEST_F(InfoDialogs, ConvertIsSkippedWhileTheDocumentLoads) {
    HWND doc = make_document(f, Format{1, 8000, 8}, pattern(800));
    f.active = doc;
    SetFileWorking(doc);
    answer_with([](HWND dlg, int) { return choose(dlg, 1, 1, "16000", kConvert); });
    EXPECT_EQ(ShowHeader(f.frame), 1);
    EXPECT_EQ(header_of(doc).dataSize, 800u);
    EXPECT_EQ(header_of(doc).bitsPerSample, 8);
    SetFileNotWorking(doc);
}

}  // namespace
