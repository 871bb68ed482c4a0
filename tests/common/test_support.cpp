#include "test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

QuestionRecorder::QuestionRecorder() {
    previous_ = PlatformSetQuestionHook(recorder_hook, this);
    previous_ctx_ = nullptr;
}

QuestionRecorder::~QuestionRecorder() { PlatformSetQuestionHook(previous_, previous_ctx_); }

}  // namespace testing_support
