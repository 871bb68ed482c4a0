// The format chooser: what it lists for a source and which entry it starts
// on, the format written back when the hook picks an entry, cancelling, and
// the records it refuses without asking.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using testing_support::pcm_format;
using testing_support::QuestionRecorder;

constexpr unsigned char kCanary = 0xCC;

// A source record with room for extra bytes.
struct Source {
    unsigned char bytes[64] = {};
    const WAVEFORMATEX* get() const { return reinterpret_cast<const WAVEFORMATEX*>(bytes); }
};

Source source_of(const WAVEFORMATEX& f, std::vector<unsigned char> extra = {}) {
    Source s;
    std::memcpy(s.bytes, &f, sizeof f);
    if (!extra.empty()) std::memcpy(s.bytes + sizeof f, extra.data(), extra.size());
    return s;
}

Source ima_source() {
    WAVEFORMATEX f{0x11, 1, 8000, 4055, 256, 4, 2};
    return source_of(f, {0xF9, 0x01});  // 505 samples per block
}

struct Chooser {
    ACMFORMATCHOOSE afc{};
    unsigned char out[32];
    Chooser(const WAVEFORMATEX* src, DWORD enumFlags) {
        std::memset(out, kCanary, sizeof out);
        afc.cbStruct = sizeof afc;
        afc.pwfx = reinterpret_cast<LPWAVEFORMATEX>(out);
        afc.cbwfx = 18;
        afc.pszTitle = "Format Selection for Converting";
        afc.fdwEnum = enumFlags;
        afc.pwfxEnum = const_cast<LPWAVEFORMATEX>(src);
    }
    const WAVEFORMATEX& chosen() const { return *reinterpret_cast<const WAVEFORMATEX*>(out); }
};

// What the dialog showed when the hook was asked.
struct Shown {
    std::vector<std::string> entries;
    std::string selected, tag;
};

// Answers the chooser: records its list, selects `pick` (when not empty) and answers `answer`.
void answer_with(QuestionRecorder& rec, Shown* shown, const std::string& pick, INT_PTR answer) {
    rec.on_ask = [=](const PlatformQuestion* q) -> INT_PTR {
        auto dlg = static_cast<HWND>(q->data);
        shown->entries = testing_support::combo_items(dlg, PLATFORM_IDC_FORMATCHOOSE_LIST);
        LRESULT cur = SendDlgItemMessage(dlg, PLATFORM_IDC_FORMATCHOOSE_LIST, CB_GETCURSEL, 0, 0);
        shown->selected = cur >= 0 ? shown->entries[size_t(cur)] : "";
        shown->tag = testing_support::item_text(dlg, PLATFORM_IDC_FORMATCHOOSE_TAG);
        if (!pick.empty()) {
            for (size_t i = 0; i < shown->entries.size(); ++i)
                if (shown->entries[i] == pick)
                    SendDlgItemMessage(dlg, PLATFORM_IDC_FORMATCHOOSE_LIST, CB_SETCURSEL, i, 0);
        }
        return answer;
    };
}

class FormatChooseTest : public testing::Test {
protected:
    void SetUp() override {
        owner = testing_support::make_parent_window("ChooserOwner", DefWindowProc, 300, 200);
    }
    void TearDown() override { DestroyWindow(owner); }
    HWND owner = nullptr;
};

TEST_F(FormatChooseTest, PickedEntryIsWrittenAsAPcmRecord) {
    WAVEFORMATEX src = pcm_format(16, 2, 22050);
    Chooser c(&src, ACM_FORMATENUMF_CONVERT);
    c.afc.hwndOwner = owner;
    QuestionRecorder rec;
    Shown shown;
    answer_with(rec, &shown, "11025 Hz, 8 Bit, Mono", IDOK);
    ASSERT_EQ(acmFormatChoose(&c.afc), MMSYSERR_NOERROR);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].kind, "Dialog");
    EXPECT_EQ(rec.asked[0].caption, "Format Selection for Converting");
    EXPECT_EQ(rec.asked[0].text, "Format Selection for Converting");
    EXPECT_EQ(rec.asked[0].owner, owner);
    EXPECT_EQ(shown.tag, "PCM");
    EXPECT_EQ(shown.selected, "22050 Hz, 16 Bit, Stereo") << "the source's own format first";

    const WAVEFORMATEX& f = c.chosen();
    EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.nSamplesPerSec, 11025u);
    EXPECT_EQ(f.nAvgBytesPerSec, 11025u);
    EXPECT_EQ(f.nBlockAlign, 1);
    EXPECT_EQ(f.wBitsPerSample, 8);
    EXPECT_EQ(f.cbSize, 0);
    for (size_t i = 18; i < sizeof c.out; ++i) EXPECT_EQ(c.out[i], kCanary) << i;
    EXPECT_STREQ(c.afc.szFormatTag, "PCM");
    EXPECT_STREQ(c.afc.szFormat, "11025 Hz, 8 Bit, Mono");
}

TEST_F(FormatChooseTest, CancelLeavesTheRecordAlone) {
    WAVEFORMATEX src = pcm_format(8, 1, 8000);
    Chooser c(&src, ACM_FORMATENUMF_CONVERT);
    QuestionRecorder rec;
    Shown shown;
    answer_with(rec, &shown, "48000 Hz, 16 Bit, Stereo", IDCANCEL);
    EXPECT_EQ(acmFormatChoose(&c.afc), ACMERR_CANCELED);
    EXPECT_EQ(rec.asked.size(), 1u);
    for (unsigned char b : c.out) EXPECT_EQ(b, kCanary);
}

TEST_F(FormatChooseTest, InitialFormatIsSelectedAndSixteenByteBuffersGetSixteenBytes) {
    WAVEFORMATEX src = pcm_format(16, 2, 44100);
    Chooser c(&src, ACM_FORMATENUMF_CONVERT);
    c.afc.fdwStyle = ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT;
    WAVEFORMATEX init = pcm_format(8, 2, 32000);
    std::memcpy(c.out, &init, 16);
    c.afc.cbwfx = 16;
    QuestionRecorder rec;
    Shown shown;
    answer_with(rec, &shown, "", IDOK);
    ASSERT_EQ(acmFormatChoose(&c.afc), MMSYSERR_NOERROR);
    EXPECT_EQ(shown.selected, "32000 Hz, 8 Bit, Stereo");
    EXPECT_EQ(c.chosen().nSamplesPerSec, 32000u);
    EXPECT_EQ(c.chosen().nBlockAlign, 2);
    EXPECT_EQ(c.out[16], kCanary);
    EXPECT_EQ(c.out[17], kCanary);
}

struct ListCase {
    const char* what;
    Source source;
    DWORD enumFlags;
    size_t count;
    const char* first;     // the first entry
    const char* selected;  // the entry selected at first
};

TEST_F(FormatChooseTest, ListsWhatTheSourceCanBecome) {
    const ListCase cases[] = {
        {"PCM at a common rate", source_of(pcm_format(16, 2, 22050)), ACM_FORMATENUMF_CONVERT, 28,
         "8000 Hz, 8 Bit, Mono", "22050 Hz, 16 Bit, Stereo"},
        {"PCM at its own rate", source_of(pcm_format(8, 1, 12345)), ACM_FORMATENUMF_CONVERT, 32,
         "8000 Hz, 8 Bit, Mono", "12345 Hz, 8 Bit, Mono"},
        {"IMA ADPCM", ima_source(), ACM_FORMATENUMF_CONVERT, 28, "8000 Hz, 8 Bit, Mono",
         "8000 Hz, 16 Bit, Mono"},
        {"mono only", source_of(pcm_format(16, 1, 44100)),
         ACM_FORMATENUMF_CONVERT | ACM_FORMATENUMF_NCHANNELS, 14, "8000 Hz, 8 Bit, Mono",
         "44100 Hz, 16 Bit, Mono"},
        {"one rate and width", source_of(pcm_format(16, 2, 48000)),
         ACM_FORMATENUMF_NSAMPLESPERSEC | ACM_FORMATENUMF_WBITSPERSAMPLE, 2,
         "48000 Hz, 16 Bit, Mono", "48000 Hz, 16 Bit, Mono"},
        {"everything", source_of(pcm_format(16, 2, 48000)), 0, 28, "8000 Hz, 8 Bit, Mono",
         "8000 Hz, 8 Bit, Mono"},
    };
    for (const ListCase& lc : cases) {
        SCOPED_TRACE(lc.what);
        Chooser c(lc.source.get(), lc.enumFlags);
        QuestionRecorder rec;
        Shown shown;
        answer_with(rec, &shown, "", IDOK);
        ASSERT_EQ(acmFormatChoose(&c.afc), MMSYSERR_NOERROR);
        ASSERT_EQ(shown.entries.size(), lc.count);
        EXPECT_EQ(shown.entries.front(), lc.first);
        EXPECT_EQ(shown.selected, lc.selected);
        EXPECT_STREQ(c.afc.szFormat, lc.selected);
        if (lc.enumFlags & ACM_FORMATENUMF_NCHANNELS) {
            for (const std::string& e : shown.entries) EXPECT_NE(e.find("Mono"), std::string::npos);
        }
    }
}

TEST_F(FormatChooseTest, BadRecordsAreRefusedWithoutAsking) {
    WAVEFORMATEX src = pcm_format(16, 2, 22050), odd = src;
    odd.wFormatTag = 0x55;
    QuestionRecorder rec;
    auto choose = [&](void (*spoil)(ACMFORMATCHOOSE&), const WAVEFORMATEX* from = nullptr) {
        Chooser c(from ? from : &src, ACM_FORMATENUMF_CONVERT);
        spoil(c.afc);
        return acmFormatChoose(&c.afc);
    };
    EXPECT_EQ(choose([](ACMFORMATCHOOSE& a) { a.cbStruct -= 4; }), MMSYSERR_INVALPARAM);
    EXPECT_EQ(choose([](ACMFORMATCHOOSE& a) { a.pwfx = nullptr; }), MMSYSERR_INVALPARAM);
    EXPECT_EQ(choose([](ACMFORMATCHOOSE& a) { a.pwfxEnum = nullptr; }), MMSYSERR_INVALPARAM);
    EXPECT_EQ(choose([](ACMFORMATCHOOSE& a) { a.fdwStyle = ACMFORMATCHOOSE_STYLEF_ENABLEHOOK; }),
              MMSYSERR_NOTSUPPORTED);
    EXPECT_EQ(choose([](ACMFORMATCHOOSE& a) { a.fdwEnum |= 0x00800000; }), MMSYSERR_INVALFLAG);
    EXPECT_EQ(choose([](ACMFORMATCHOOSE& a) { a.cbwfx = 15; }), ACMERR_NOTPOSSIBLE);
    EXPECT_EQ(choose([](ACMFORMATCHOOSE&) {}, &odd), ACMERR_NOTPOSSIBLE) << "nothing to list";
    EXPECT_EQ(acmFormatChoose(nullptr), MMSYSERR_INVALPARAM);
    EXPECT_TRUE(rec.asked.empty());
}

}  // namespace
