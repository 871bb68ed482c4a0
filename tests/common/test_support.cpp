#include "test_support.h"

#include <platform/testing.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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
    char dir[MAX_PATH] = {};
    GetTempPath(sizeof dir, dir);
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
