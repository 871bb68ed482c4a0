#include "import_fixture.h"

#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <sonrel/messages.h>

#include <algorithm>
#include <cstdlib>

#include "../../resources/dialogs_curve.h"
#include "../../resources/dialogs_files.h"

namespace importtest {

OpenFrame::OpenFrame() {
    // The RAW dialog and the busy window come from the program's templates.
    static bool registered = (RegisterFileDialogTemplates(GetModuleHandle(nullptr)),
                              RegisterCurveDialogTemplates(GetModuleHandle(nullptr)), true);
    (void)registered;
    Answer recordEnds = answer;
    answer = [this, recordEnds](UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
        if (msg == UM_GETMDICLIENT) {
            *result = reinterpret_cast<LRESULT>(client);
            return true;
        }
        if (msg == UM_DESTROYWINDOW) {
            ReleaseDocumentBlocks(reinterpret_cast<HWND>(lp));
            DestroyWindow(reinterpret_cast<HWND>(lp));
            *result = 0;
            return true;
        }
        return recordEnds(msg, wp, lp, result);
    };
}

Opened OpenFrame::reopen(HWND doc, const std::string& path) {
    RegWriteString("Sonrel\\NewFile\\FileOpen", path.c_str());
    active = doc;
    size_t before = rec.asked.size();
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, OpenCompressedWAV, frame, CREATE_SUSPENDED, &id);
    Opened r;
    EXPECT_TRUE(t);
    if (!t) return r;
    SetThreadPriority(t, THREAD_PRIORITY_BELOW_NORMAL);
    ResumeThread(t);
    WaitForSingleObject(t, INFINITE);
    GetExitCodeThread(t, &r.exitCode);
    CloseHandle(t);
    active = nullptr;
    r.doc = doc;
    r.alive = IsWindow(doc);
    for (size_t i = before; i < rec.asked.size(); ++i)
        if (rec.asked[i].kind == std::string("MessageBox")) r.messages.push_back(rec.asked[i].text);
    return r;
}

Opened OpenFrame::open(const std::string& path) {
    HWND doc = NewFile(frame, client, 1);
    EXPECT_TRUE(doc);
    return reopen(doc, path);
}

std::vector<int> s16(const Bytes& b) {
    std::vector<int> v;
    for (size_t i = 0; i + 1 < b.size(); i += 2) v.push_back(int16_t(b[i] | (b[i + 1] << 8)));
    return v;
}

std::vector<int> u8(const Bytes& b) {
    return std::vector<int>(b.begin(), b.end());
}

std::string shell_word(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

void must_run(const std::string& command) {
    ASSERT_EQ(testing_support::run(command), 0) << command;
}

std::vector<int> sox_samples(const std::string& file) {
    std::string raw = testing_support::fresh_dir("soxraw") + "/out.raw";
    must_run("sox -V1 " + shell_word(file) + " -t raw -e signed-integer -b 16 -L " +
             shell_word(raw));
    return s16(testing_support::read_file(raw));
}

std::vector<int> ffmpeg_samples(const std::string& file) {
    std::string raw = testing_support::fresh_dir("ffraw") + "/out.raw";
    must_run("ffmpeg -v error -y -i " + shell_word(file) +
             " -map 0:a:0 -f s16le -acodec pcm_s16le " + shell_word(raw));
    return s16(testing_support::read_file(raw));
}

void expect_same_signal(const std::vector<int>& got, const std::vector<int>& want, size_t padding,
                        int tolerance) {
    ASSERT_FALSE(want.empty());
    size_t longer = std::max(got.size(), want.size()), shorter = std::min(got.size(), want.size());
    EXPECT_LE(longer - shorter, padding) << "got " << got.size() << ", want " << want.size();
    int worst = 0;
    size_t at = 0;
    for (size_t i = 0; i < shorter; ++i) {
        int d = std::abs(got[i] - want[i]);
        if (d > worst) {
            worst = d;
            at = i;
        }
    }
    EXPECT_LE(worst, tolerance) << "at sample " << at << " of " << shorter;
}

}  // namespace importtest
