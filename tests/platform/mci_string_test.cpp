// The MCI interpreter: the answers of a waveaudio device to status and set
// strings, the errors of bad strings, names and records, the error texts, and
// the notices of commands that finish at once.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "audio_test_support.h"
#include "test_support.h"
#include "window_test_log.h"

namespace {

using atest::mci;

std::string error(MCIERROR code) {
    return "error " + std::to_string(code);
}

class MciStrings : public ::testing::Test {
protected:
    void SetUp() override {
        id = mci("open new type waveaudio alias w");
        ASSERT_EQ(id.find_first_not_of("0123456789"), std::string::npos) << id;
    }
    void TearDown() override { mciSendString("close all", nullptr, 0, nullptr); }
    std::string id;
};

struct Exchange {
    std::string command;
    std::string answer;
};

TEST_F(MciStrings, NewSoundAnswersItsFormatAndStateAndFollowsSet) {
    const Exchange fresh[] = {
        {"status w mode", "stopped"},
        {"status w length", "0"},
        {"status w position", "0"},
        {"status w time format", "milliseconds"},
        {"status w channels", "1"},
        {"status w samplespersec", "11025"},
        {"status w bitspersample", "8"},
        {"status w alignment", "1"},
        {"status w bytespersec", "11025"},
        {"status w format tag", "pcm"},
        {"status w ready", "true"},
        {"status w media present", "true"},
        {"status w number of tracks", "1"},
        {"status w current track", "1"},
        {"STATUS W Time Format", "milliseconds"},
        {"set w channels 2 bitspersample 16 samplespersec 22050", ""},
        {"status w alignment", "4"},
        {"status w bytespersec", "88200"},
        // Block align and bytes per second follow from the other fields.
        {"set w samplespersec 8000 alignment 9 bytespersec 5", ""},
        {"status w alignment", "4"},
        {"status w bytespersec", "32000"},
        {"set w format tag pcm", ""},
        {"set w time format bytes", ""},
        {"status w time format", "bytes"},
        {"set w time format samples wait", ""},
        {"status w time format", "samples"},
        {"set w time format ms", ""},
        {"status w time format", "milliseconds"},
        {"seek w to end", ""},
        {"status w position", "0"},
        {"stop w", ""},
        {"pause w", ""},
        {"resume w", ""},
        {"status w mode", "stopped"},
    };
    for (const Exchange& e : fresh) EXPECT_EQ(mci(e.command), e.answer) << e.command;
}

TEST_F(MciStrings, BadStringsNamesAndValuesGiveErrorsNotCrashes) {
    std::string text = testing_support::fresh_dir("mci-bad") + "/not-a-wave.wav";
    testing_support::write_file(text, {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
    const Exchange bad[] = {
        {"", error(MCIERR_MISSING_COMMAND_STRING)},
        {"   ", error(MCIERR_MISSING_COMMAND_STRING)},
        {"jump w", error(MCIERR_UNRECOGNIZED_COMMAND)},
        {"play", error(MCIERR_MISSING_DEVICE_NAME)},
        {"play nosuch", error(MCIERR_INVALID_DEVICE_NAME)},
        {"status w", error(MCIERR_MISSING_PARAMETER)},
        {"status w colour", error(MCIERR_UNRECOGNIZED_KEYWORD)},
        {"status w mode length", error(MCIERR_FLAGS_NOT_COMPATIBLE)},
        {"status w length track", error(MCIERR_MISSING_PARAMETER)},
        {"status w length track x", error(MCIERR_BAD_INTEGER)},
        {"status w length track 2", error(MCIERR_OUTOFRANGE)},
        {"play w from", error(MCIERR_MISSING_PARAMETER)},
        {"play w from abc", error(MCIERR_BAD_INTEGER)},
        {"play w from 1:2", error(MCIERR_BAD_INTEGER)},
        {"play w from 99999999999", error(MCIERR_BAD_INTEGER)},
        {"play w from 5 from 6", error(MCIERR_DUPLICATE_FLAGS)},
        {"play w notify notify", error(MCIERR_DUPLICATE_FLAGS)},
        {"play w from 500", error(MCIERR_OUTOFRANGE)},
        {"seek w", error(MCIERR_MISSING_PARAMETER)},
        {"seek w to start to end", error(MCIERR_FLAGS_NOT_COMPATIBLE)},
        {"seek w to 10", error(MCIERR_OUTOFRANGE)},
        {"set w", error(MCIERR_MISSING_PARAMETER)},
        {"set w time format tmsf", error(MCIERR_BAD_TIME_FORMAT)},
        {"set w time format furlongs", error(MCIERR_BAD_TIME_FORMAT)},
        {"set w channels 3", error(MCIERR_OUTOFRANGE)},
        {"set w channels 70000", error(MCIERR_OUTOFRANGE)},
        {"set w bitspersample 12", error(MCIERR_OUTOFRANGE)},
        {"set w samplespersec 0", error(MCIERR_OUTOFRANGE)},
        {"set w format tag adpcm", error(MCIERR_BAD_CONSTANT)},
        {"set w format tag 2", error(MCIERR_OUTOFRANGE)},
        {"record w insert overwrite", error(MCIERR_FLAGS_NOT_COMPATIBLE)},
        {"record w from 10 to 10", error(MCIERR_OUTOFRANGE)},
        {"save w", error(MCIERR_FILENAME_REQUIRED)},
        {"save w a.wav b.wav", error(MCIERR_UNRECOGNIZED_KEYWORD)},
        {"stop w sideways", error(MCIERR_UNRECOGNIZED_KEYWORD)},
        {"pause all", error(MCIERR_UNSUPPORTED_FUNCTION)},
        {"open \"unclosed type waveaudio alias x", error(MCIERR_NO_CLOSING_QUOTE)},
        {"open new type waveaudio", error(MCIERR_NEW_REQUIRES_ALIAS)},
        {"open new type waveaudio alias W", error(MCIERR_DUPLICATE_ALIAS)},
        {"open new type bogus alias z", error(MCIERR_CANNOT_LOAD_DRIVER)},
        {"open thing alias z", error(MCIERR_INVALID_DEVICE_NAME)},
        {"open \"\" type waveaudio alias z", error(MCIERR_FILE_NOT_FOUND)},
        {"open /no/such/file.wav alias z", error(MCIERR_FILE_NOT_FOUND)},
        {"open \"" + text + "\" type waveaudio alias z", error(MCIERR_INVALID_FILE)},
    };
    for (const Exchange& e : bad) EXPECT_EQ(mci(e.command), e.answer) << e.command;
    EXPECT_EQ(mciSendString(nullptr, nullptr, 0, nullptr), MCIERROR(MCIERR_MISSING_COMMAND_STRING));
    EXPECT_EQ(mci("status z mode"), error(MCIERR_INVALID_DEVICE_NAME))
        << "no failed open leaves a device behind";
    EXPECT_EQ(mci("status w mode"), "stopped") << "the device outlives the bad strings";
}

TEST_F(MciStrings, EveryErrorHasItsOwnTextCutToFit) {
    const MCIERROR codes[] = {
        MCIERR_INVALID_DEVICE_ID,
        MCIERR_UNRECOGNIZED_KEYWORD,
        MCIERR_UNRECOGNIZED_COMMAND,
        MCIERR_HARDWARE,
        MCIERR_INVALID_DEVICE_NAME,
        MCIERR_OUT_OF_MEMORY,
        MCIERR_CANNOT_LOAD_DRIVER,
        MCIERR_MISSING_COMMAND_STRING,
        MCIERR_PARAM_OVERFLOW,
        MCIERR_MISSING_STRING_ARGUMENT,
        MCIERR_BAD_INTEGER,
        MCIERR_MISSING_PARAMETER,
        MCIERR_UNSUPPORTED_FUNCTION,
        MCIERR_FILE_NOT_FOUND,
        MCIERR_DEVICE_NOT_READY,
        MCIERR_OUTOFRANGE,
        MCIERR_FLAGS_NOT_COMPATIBLE,
        MCIERR_FILE_NOT_SAVED,
        MCIERR_DEVICE_TYPE_REQUIRED,
        MCIERR_DUPLICATE_ALIAS,
        MCIERR_BAD_CONSTANT,
        MCIERR_MISSING_DEVICE_NAME,
        MCIERR_BAD_TIME_FORMAT,
        MCIERR_NO_CLOSING_QUOTE,
        MCIERR_DUPLICATE_FLAGS,
        MCIERR_INVALID_FILE,
        MCIERR_NULL_PARAMETER_BLOCK,
        MCIERR_NEW_REQUIRES_ALIAS,
        MCIERR_NONAPPLICABLE_FUNCTION,
        MCIERR_FILENAME_REQUIRED,
        MCIERR_DEVICE_NOT_INSTALLED,
        MCIERR_WAVE_OUTPUTSUNSUITABLE,
        MCIERR_WAVE_INPUTSUNSUITABLE,
    };
    std::set<std::string> texts;
    for (MCIERROR code : codes) {
        char text[256] = "x";
        EXPECT_TRUE(mciGetErrorString(code, text, sizeof(text))) << code;
        EXPECT_GT(std::strlen(text), 10u) << code;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), std::size(codes)) << "no two codes share a text";
    char small[6];
    ASSERT_TRUE(mciGetErrorString(MCIERR_DEVICE_NOT_READY, small, sizeof(small)));
    EXPECT_STREQ(small, "The d");
    char text[64] = "x";
    EXPECT_FALSE(mciGetErrorString(9999, text, sizeof(text)));
    EXPECT_STREQ(text, "");
}

TEST_F(MciStrings, AnswerThatDoesNotFitIsAnErrorAndLeavesNothing) {
    char small[5] = "xxxx";
    EXPECT_EQ(mciSendString("status w time format", small, sizeof(small), nullptr),
              MCIERROR(MCIERR_PARAM_OVERFLOW));
    EXPECT_STREQ(small, "");
    char enough[13] = "";
    EXPECT_EQ(mciSendString("status w time format", enough, sizeof(enough), nullptr), 0u);
    EXPECT_STREQ(enough, "milliseconds");
    EXPECT_EQ(mciSendString("status w mode", nullptr, 0, nullptr), 0u) << "answers may be dropped";
}

TEST_F(MciStrings, NotifyPostsSuccessAtOnceAndFailuresPostNothing) {
    HWND window = wtest::top_window();
    atest::pump();
    wtest::log().clear();
    EXPECT_EQ(mci("set w time format bytes notify", window), "");
    EXPECT_EQ(mci("status w mode notify", window), "stopped");
    EXPECT_EQ(mci("set w time format tmsf notify", window), error(MCIERR_BAD_TIME_FORMAT));
    atest::pump();
    auto notices = wtest::of(MM_MCINOTIFY, window);
    ASSERT_EQ(notices.size(), 2u);
    for (auto& n : notices) {
        EXPECT_EQ(n.wp, WPARAM(MCI_NOTIFY_SUCCESSFUL));
        EXPECT_EQ(std::to_string(n.lp), id) << "lParam is the device id";
    }
    std::string other = mci("open new type waveaudio alias second notify", window);
    atest::pump();
    ASSERT_EQ(wtest::of(MM_MCINOTIFY, window).size(), 3u);
    EXPECT_EQ(std::to_string(wtest::of(MM_MCINOTIFY, window)[2].lp), other);
    EXPECT_NE(other, id);
    EXPECT_EQ(mci("close second notify", window), "");
    atest::pump();
    EXPECT_EQ(wtest::of(MM_MCINOTIFY, window).size(), 4u);
    DestroyWindow(window);
}

TEST_F(MciStrings, CommandRecordsReachTheSameDevice) {
    MCIDEVICEID dev = MCIDEVICEID(std::stoul(id));
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_MODE;
    ASSERT_EQ(mciSendCommand(dev, MCI_STATUS, MCI_STATUS_ITEM, DWORD_PTR(&status)), 0u);
    EXPECT_EQ(status.dwReturn, DWORD_PTR(MCI_MODE_STOP));
    MCI_SET_PARMS set{};
    set.dwTimeFormat = MCI_FORMAT_SAMPLES;
    ASSERT_EQ(mciSendCommand(dev, MCI_SET, MCI_SET_TIME_FORMAT, DWORD_PTR(&set)), 0u);
    EXPECT_EQ(mci("status w time format"), "samples");
    status.dwItem = MCI_STATUS_TIME_FORMAT;
    ASSERT_EQ(mciSendCommand(dev, MCI_STATUS, MCI_STATUS_ITEM, DWORD_PTR(&status)), 0u);
    EXPECT_EQ(status.dwReturn, DWORD_PTR(MCI_FORMAT_SAMPLES));

    struct Refusal {
        MCIDEVICEID id;
        UINT msg;
        DWORD flags;
        void* params;
        MCIERROR expected;
    };
    MCI_OPEN_PARMS open{};
    MCI_OPEN_PARMS by_number{};
    by_number.lpstrDeviceType = reinterpret_cast<LPCSTR>(uintptr_t(9999));
    const Refusal refusals[] = {
        {dev + 1000, MCI_STATUS, MCI_STATUS_ITEM, &status, MCIERR_INVALID_DEVICE_ID},
        {dev, MCI_STATUS, MCI_STATUS_ITEM, nullptr, MCIERR_NULL_PARAMETER_BLOCK},
        {dev, MCI_STATUS, 0, &status, MCIERR_MISSING_PARAMETER},
        {dev, 0x0999, 0, nullptr, MCIERR_UNRECOGNIZED_COMMAND},
        {0, MCI_OPEN, 0, &open, MCIERR_DEVICE_TYPE_REQUIRED},
        {0, MCI_OPEN, MCI_OPEN_TYPE, &open, MCIERR_MISSING_STRING_ARGUMENT},
        {0, MCI_OPEN, MCI_OPEN_TYPE_ID, &by_number, MCIERR_CANNOT_LOAD_DRIVER},
        {0, MCI_OPEN, MCI_OPEN_TYPE, nullptr, MCIERR_NULL_PARAMETER_BLOCK},
    };
    for (const Refusal& r : refusals)
        EXPECT_EQ(mciSendCommand(r.id, r.msg, r.flags, DWORD_PTR(r.params)), r.expected)
            << r.msg << " " << r.flags;

    ASSERT_EQ(mciSendCommand(dev, MCI_CLOSE, 0, 0), 0u);
    EXPECT_EQ(mci("status w mode"), error(MCIERR_INVALID_DEVICE_NAME));
    EXPECT_EQ(mciSendCommand(dev, MCI_CLOSE, 0, 0), MCIERROR(MCIERR_INVALID_DEVICE_ID));
}

}  // namespace
