// Helpers shared by every test program.
#pragma once

#include <platform/platform.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

// The fresh folder that SONREL_HOME points at for this test program.
std::string home();
// A fresh empty folder under home() for one test.
std::string fresh_dir(const std::string& name);
// Runs this test program again as a child process with "--child=<role>" and the
// extra arguments; the child runs the role registered under that name instead of
// the tests. Returns the child's pid; wait_child gives its exit code.
int spawn_child(const std::string& role, const std::vector<std::string>& args = {});
int wait_child(int pid);
// Registers a child role: a function of the arguments that gives the exit code.
void register_child_role(const std::string& role,
                         std::function<int(const std::vector<std::string>&)> fn);
// Runs a shell command; gives its exit status.
int run(const std::string& command);
std::vector<unsigned char> read_file(const std::string& path);
void write_file(const std::string& path, const std::vector<unsigned char>& bytes);

// Records every question asked through the layer's hook and answers from a list
// (the default answer when the list runs out). Installed for its lifetime.
// Questions may come from any thread; on_ask runs outside the recorder's lock.
struct QuestionRecorder {
    struct Asked {
        std::string kind, text, caption;
        UINT style;
        HWND owner;
    };
    std::vector<Asked> asked;
    std::vector<INT_PTR> answers;
    INT_PTR default_answer = IDOK;
    std::function<INT_PTR(const PlatformQuestion*)> on_ask;  // optional, overrides answers
    QuestionRecorder();
    ~QuestionRecorder();
    QuestionRecorder(const QuestionRecorder&) = delete;
    QuestionRecorder& operator=(const QuestionRecorder&) = delete;

private:
    friend INT_PTR recorder_hook(const PlatformQuestion* q, void* ctx);
    std::mutex mutex_;
    PlatformQuestionHook previous_;
    void* previous_ctx_;
};

// A file of this name in the layer's temporary folder ("SnrCLIP.WAV", ...).
std::string temp_path(const char* name);
// The text of dialog item id, and the entries of combo box id.
std::string item_text(HWND dlg, int id);
std::vector<std::string> combo_items(HWND dlg, int id);

// The body of the first chunk `id` among the chunks of a RIFF form (a wave
// file's "fmt ", "fact" or "data"), cut at the file's end; false when absent.
bool riff_chunk(const std::vector<unsigned char>& file, const char* id,
                std::vector<unsigned char>* body);
// Samples of 16-bit little-endian data.
std::vector<int> samples16(const std::vector<unsigned char>& bytes);

// One whole conversion through a compression stream, as the loaders make it:
// open, the source's frame count when given (not 0), size, prepare, convert,
// unprepare, close. Later steps are skipped after a failure.
struct AcmResult {
    MMRESULT open = MMSYSERR_ERROR, size = MMSYSERR_ERROR, convert = MMSYSERR_ERROR;
    DWORD promised = 0, src_used = 0;
    std::vector<unsigned char> out;  // cbDstLengthUsed bytes
};
AcmResult acm_convert(const void* src_format, const WAVEFORMATEX& dst,
                      const std::vector<unsigned char>& data, DWORD source_frames = 0);
WAVEFORMATEX pcm_format(int bits, int channels, int rate);

// A top-level window of class className (registered with proc on first use)
// that child controls under test can live in and report to.
HWND make_parent_window(const char* className, WNDPROC proc, int width, int height);

}  // namespace testing_support
