// The RAW dialog run on its template through the question hook: what it
// shows, where it sits, which rates it refuses, and what it stores.
#include <gtest/gtest.h>
#include <kit/rvg32.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../../resources/dialogs_files.h"
#include "document_fixture.h"
#include "test_support.h"

namespace {

using namespace wavtest;
using testing_support::QuestionRecorder;

constexpr int kBits = 101, kChannels = 102, kRate = 103;

struct Stored {
    std::string bit, channels, samples, bytesPerSec, bytesPerSample;
    bool operator==(const Stored&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Stored& s) {
    return os << s.bit << '/' << s.channels << '/' << s.samples << '/' << s.bytesPerSec << '/'
              << s.bytesPerSample;
}

void store(const Stored& s) {
    RegWriteString("Sonrel\\RawFile\\Bit", s.bit.c_str());
    RegWriteString("Sonrel\\RawFile\\Channels", s.channels.c_str());
    RegWriteString("Sonrel\\RawFile\\Samples", s.samples.c_str());
    RegWriteString("Sonrel\\RawFile\\BytesPerSec", s.bytesPerSec.c_str());
    RegWriteString("Sonrel\\RawFile\\BytesPerSample", s.bytesPerSample.c_str());
}

Stored stored() {
    return Stored{RegGetString("Sonrel\\RawFile\\Bit", "?"),
                  RegGetString("Sonrel\\RawFile\\Channels", "?"),
                  RegGetString("Sonrel\\RawFile\\Samples", "?"),
                  RegGetString("Sonrel\\RawFile\\BytesPerSec", "?"),
                  RegGetString("Sonrel\\RawFile\\BytesPerSample", "?")};
}

std::string text(HWND dlg, int id) {
    return testing_support::item_text(dlg, id);
}

// One answer of a person: the choices (-1 leaves a box as it is) and the button.
struct Choice {
    int bits = -1, channels = -1;
    const char* rate = nullptr;
    int button = IDOK;
};

class RawDialog : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = (RegisterFileDialogTemplates(GetModuleHandle(nullptr)), true);
        (void)registered;
        store(Stored{"8", "1", "22050", "22050", "1"});
        RegWriteString("Sonrel\\RawFile\\FileLength", "0");
    }
    // Runs the dialog; each question of kind "Dialog" takes the next choice.
    INT_PTR run(const std::vector<Choice>& choices) {
        size_t next = 0;
        rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
            if (std::strcmp(q->kind, "Dialog") != 0) return IDOK;
            auto dlg = static_cast<HWND>(q->data);
            if (on_dialog) on_dialog(dlg);
            if (next >= choices.size()) return IDCANCEL;
            const Choice& c = choices[next++];
            if (c.bits >= 0) SendDlgItemMessage(dlg, kBits, CB_SETCURSEL, WPARAM(c.bits), 0);
            if (c.channels >= 0)
                SendDlgItemMessage(dlg, kChannels, CB_SETCURSEL, WPARAM(c.channels), 0);
            if (c.rate) SetDlgItemText(dlg, kRate, c.rate);
            return c.button;
        };
        INT_PTR r = DialogBoxParam(GetModuleHandle(nullptr), "RAW", f.frame, RawDlgProc, 0);
        rec.on_ask = nullptr;
        return r;
    }
    std::vector<std::string> kinds() const {
        std::vector<std::string> out;
        for (const auto& a : rec.asked) out.push_back(a.kind);
        return out;
    }
    Frame f;
    QuestionRecorder rec;
    std::function<void(HWND)> on_dialog;
};

TEST_F(RawDialog, ShowsTheStoredFormatAndChoices) {
    store(Stored{"16", "2", "32000", "128000", "4"});
    RegWriteString("Sonrel\\RawFile\\FileLength", "2048000");
    std::vector<std::string> bits, channels, rates, fields;
    LRESULT bitSel = -5, chanSel = -5;
    std::string rate, caption;
    on_dialog = [&](HWND dlg) {
        bits = testing_support::combo_items(dlg, kBits);
        channels = testing_support::combo_items(dlg, kChannels);
        rates = testing_support::combo_items(dlg, kRate);
        bitSel = SendDlgItemMessage(dlg, kBits, CB_GETCURSEL, 0, 0);
        chanSel = SendDlgItemMessage(dlg, kChannels, CB_GETCURSEL, 0, 0);
        rate = text(dlg, kRate);
        for (int id = 104; id <= 107; ++id) fields.push_back(text(dlg, id));
        char buf[128];
        GetWindowText(dlg, buf, sizeof buf);
        caption = buf;
    };
    EXPECT_EQ(run({Choice{-1, -1, nullptr, IDCANCEL}}), 0);
    EXPECT_EQ(caption, "RAW File Format Parameter Specification");
    EXPECT_EQ(bits, (std::vector<std::string>{"Standard - 8", "HiFi - 16"}));
    EXPECT_EQ(channels, (std::vector<std::string>{"MONO", "STEREO"}));
    EXPECT_EQ(rates, (std::vector<std::string>{"8000", "11025", "16000", "22050", "28000", "32000",
                                               "44100", "48000"}));
    EXPECT_EQ(bitSel, 1);
    EXPECT_EQ(chanSel, 1);
    EXPECT_EQ(rate, "32000");
    EXPECT_EQ(fields,
              (std::vector<std::string>{"125 KB/sec", "4 Bytes/Sample", "2000 KB", "2000 KB"}));
}

TEST_F(RawDialog, DefaultsSelectEightBitMono) {
    LRESULT bitSel = -5, chanSel = -5;
    on_dialog = [&](HWND dlg) {
        bitSel = SendDlgItemMessage(dlg, kBits, CB_GETCURSEL, 0, 0);
        chanSel = SendDlgItemMessage(dlg, kChannels, CB_GETCURSEL, 0, 0);
    };
    run({Choice{-1, -1, nullptr, IDCANCEL}});
    EXPECT_EQ(bitSel, 0);
    EXPECT_EQ(chanSel, 0);
}

TEST_F(RawDialog, SitsCentredOverTheFrame25PixelsHigh) {
    RECT box{}, client{}, frameClient{};
    POINT origin{0, 0};
    on_dialog = [&](HWND dlg) {
        GetWindowRect(dlg, &box);
        GetClientRect(dlg, &client);
    };
    run({Choice{-1, -1, nullptr, IDCANCEL}});
    GetClientRect(f.frame, &frameClient);
    ClientToScreen(f.frame, &origin);
    EXPECT_EQ(box.left, origin.x + frameClient.right / 2 - client.right / 2);
    EXPECT_EQ(box.top, origin.y + frameClient.bottom / 2 - client.bottom / 2 - 25);
}

TEST_F(RawDialog, SixteenBitStereoAt44100StoresFourAnd176400) {
    EXPECT_EQ(run({Choice{1, 1, "44100"}}), 1);
    EXPECT_EQ(stored(), (Stored{"16", "2", "44100", "176400", "4"}));
}

TEST_F(RawDialog, EightBitMonoAndMixedFormatsStoreTheirBlockAlign) {
    store(Stored{"16", "2", "44100", "176400", "4"});
    EXPECT_EQ(run({Choice{0, 0, "11025"}}), 1);
    EXPECT_EQ(stored(), (Stored{"8", "1", "11025", "11025", "1"}));
    EXPECT_EQ(run({Choice{1, 0, "8000"}}), 1);
    EXPECT_EQ(stored(), (Stored{"16", "1", "8000", "16000", "2"}));
}

TEST_F(RawDialog, RatesOutsideOneTo48000AreRefusedWithTheMessage) {
    EXPECT_EQ(run({Choice{1, 1, "0"}, Choice{-1, -1, "48001"}, Choice{-1, -1, "48000"}}), 1);
    EXPECT_EQ(kinds(),
              (std::vector<std::string>{"Dialog", "MessageBox", "Dialog", "MessageBox", "Dialog"}));
    EXPECT_EQ(rec.asked[1].text, "Only values ranging from 1 to 48000 are allowed.");
    EXPECT_EQ(rec.asked[1].caption, "Warning...");
    EXPECT_EQ(rec.asked[1].style & 0xF0u, UINT(MB_ICONERROR));
    EXPECT_EQ(stored(), (Stored{"16", "2", "48000", "192000", "4"}));
}

TEST_F(RawDialog, OneHertzIsAccepted) {
    EXPECT_EQ(run({Choice{0, 0, "1"}}), 1);
    EXPECT_EQ(stored(), (Stored{"8", "1", "1", "1", "1"}));
}

TEST_F(RawDialog, BitAndChannelsStayStoredAfterARefusedRate) {
    EXPECT_EQ(run({Choice{1, 1, "48001", IDOK}, Choice{-1, -1, nullptr, IDCANCEL}}), 0);
    EXPECT_EQ(stored(), (Stored{"16", "2", "22050", "22050", "1"}))
        << "the rate and what follows from it stay as they were";
}

TEST_F(RawDialog, TextThatIsNoNumberIsRefused) {
    EXPECT_EQ(run({Choice{-1, -1, "fast"}, Choice{-1, -1, nullptr, IDCANCEL}}), 0);
    EXPECT_EQ(kinds(), (std::vector<std::string>{"Dialog", "MessageBox", "Dialog"}));
    EXPECT_EQ(stored().samples, "22050");
}

TEST_F(RawDialog, CancelStoresNothing) {
    EXPECT_EQ(run({Choice{1, 1, "44100", IDCANCEL}}), 0);
    EXPECT_EQ(stored(), (Stored{"8", "1", "22050", "22050", "1"}));
    EXPECT_EQ(kinds(), std::vector<std::string>{"Dialog"});
}

}  // namespace
