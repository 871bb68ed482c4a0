#include "test_support.h"

#include <platform/testing.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

namespace testing_support {

namespace {
std::map<std::string, std::function<int(const std::vector<std::string>&)>>& roles() {
    static std::map<std::string, std::function<int(const std::vector<std::string>&)>> r;
    return r;
}
int g_fresh_counter = 0;

}  // namespace

INT_PTR recorder_hook(const PlatformQuestion* q, void* ctx) {
    auto* rec = static_cast<QuestionRecorder*>(ctx);
    {
        std::lock_guard<std::mutex> lock(rec->mutex_);
        rec->asked.push_back({q->kind ? q->kind : "", q->text ? q->text : "",
                              q->caption ? q->caption : "", q->style, q->owner});
        size_t i = rec->asked.size() - 1;
        if (!rec->on_ask) return i < rec->answers.size() ? rec->answers[i] : rec->default_answer;
    }
    return rec->on_ask(q);
}

std::string home() {
    const char* h = std::getenv("SONREL_HOME");
    return h ? h : "/tmp";
}

std::string fresh_dir(const std::string& name) {
    std::string dir = home() + "/t" + std::to_string(++g_fresh_counter) + "-" + name;
    mkdir(dir.c_str(), 0700);
    return dir;
}

void register_child_role(const std::string& role,
                         std::function<int(const std::vector<std::string>&)> fn) {
    roles()[role] = std::move(fn);
}

int run_child_role(const std::string& role, const std::vector<std::string>& args) {
    auto it = roles().find(role);
    if (it == roles().end()) return 127;
    return it->second(args);
}

int spawn_child(const std::string& role, const std::vector<std::string>& args) {
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<std::string> argv_s = {"/proc/self/exe", "--child=" + role};
        argv_s.insert(argv_s.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& s : argv_s) argv.push_back(s.data());
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(126);
    }
    return pid;
}

int wait_child(int pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

int run(const std::string& command) {
    int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::vector<unsigned char> read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(f)),
                                      std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

QuestionRecorder::QuestionRecorder() {
    previous_ = PlatformSetQuestionHook(recorder_hook, this);
    previous_ctx_ = nullptr;
}

QuestionRecorder::~QuestionRecorder() {
    PlatformSetQuestionHook(previous_, previous_ctx_);
}

std::string temp_path(const char* name) {
    std::string dir = PlatformFolder(GetTempPath);
    return std::string(dir) + name;
}

std::string item_text(HWND dlg, int id) {
    char buf[256] = {};
    GetDlgItemText(dlg, id, buf, sizeof buf);
    return buf;
}

std::vector<std::string> combo_items(HWND dlg, int id) {
    std::vector<std::string> out;
    LRESULT n = SendDlgItemMessage(dlg, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char buf[256] = {};
        SendDlgItemMessage(dlg, id, CB_GETLBTEXT, WPARAM(i), LPARAM(buf));
        out.push_back(buf);
    }
    return out;
}

bool riff_chunk(const std::vector<unsigned char>& f, const char* id,
                std::vector<unsigned char>* body) {
    for (size_t pos = 12; pos + 8 <= f.size();) {
        const uint64_t size =
            f[pos + 4] | f[pos + 5] << 8 | f[pos + 6] << 16 | uint64_t(f[pos + 7]) << 24;
        const size_t end = size_t(std::min<uint64_t>(f.size(), pos + 8 + size));
        if (std::memcmp(&f[pos], id, 4) == 0) {
            body->assign(f.begin() + long(pos) + 8, f.begin() + long(end));
            return true;
        }
        pos = size_t(std::min<uint64_t>(f.size(), pos + 8 + size + (size & 1)));
    }
    return false;
}

std::vector<int> samples16(const std::vector<unsigned char>& b) {
    std::vector<int> v;
    for (size_t i = 0; i + 1 < b.size(); i += 2) v.push_back(int16_t(b[i] | (b[i + 1] << 8)));
    return v;
}

WAVEFORMATEX pcm_format(int bits, int channels, int rate) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = WORD(channels);
    f.nSamplesPerSec = DWORD(rate);
    f.nBlockAlign = WORD(bits / 8 * channels);
    f.nAvgBytesPerSec = DWORD(rate) * f.nBlockAlign;
    f.wBitsPerSample = WORD(bits);
    return f;
}

AcmResult acm_convert(const void* src_format, const WAVEFORMATEX& dst,
                      const std::vector<unsigned char>& data, DWORD source_frames) {
    AcmResult r;
    HACMSTREAM s = nullptr;
    r.open = acmStreamOpen(&s, nullptr, static_cast<const WAVEFORMATEX*>(src_format), &dst, nullptr,
                           0, 0, ACM_STREAMOPENF_NONREALTIME);
    if (r.open != MMSYSERR_NOERROR) return r;
    if (source_frames) PlatformAcmStreamSetSourceFrames(s, source_frames);
    r.size = acmStreamSize(s, DWORD(data.size()), &r.promised, ACM_STREAMSIZEF_SOURCE);
    if (r.size == MMSYSERR_NOERROR) {
        std::vector<unsigned char> in = data;
        in.reserve(1);
        r.out.assign(r.promised + 1, 0);  // never empty, so the header has a buffer
        ACMSTREAMHEADER h{};
        h.cbStruct = sizeof h;
        h.pbSrc = in.data();
        h.cbSrcLength = DWORD(in.size());
        h.pbDst = r.out.data();
        h.cbDstLength = r.promised;
        if (acmStreamPrepareHeader(s, &h, 0) == MMSYSERR_NOERROR) {
            r.convert = acmStreamConvert(s, &h, ACM_STREAMCONVERTF_START);
            acmStreamUnprepareHeader(s, &h, 0);
        }
        r.src_used = h.cbSrcLengthUsed;
        r.out.resize(r.convert == MMSYSERR_NOERROR ? h.cbDstLengthUsed : 0);
    }
    acmStreamClose(s, 0);
    return r;
}

HWND make_parent_window(const char* className, WNDPROC proc, int width, int height) {
    WNDCLASSEX wc{};
    if (!GetClassInfoEx(nullptr, className, &wc)) {
        wc = WNDCLASSEX{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.lpszClassName = className;
        RegisterClassEx(&wc);
    }
    return CreateWindowEx(0, className, "parent", WS_OVERLAPPEDWINDOW, 0, 0, width, height, nullptr,
                          nullptr, nullptr, nullptr);
}

}  // namespace testing_support
