// Paths that name no regular file: a named pipe, a device, a folder. The
// readers refuse them with the message for a file they cannot open, at once:
// opening a named pipe for reading must never wait for a writer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "document_fixture.h"
#include "test_support.h"

namespace {

using namespace wavtest;
using testing_support::QuestionRecorder;

// For about a second, lets a reader that waits inside open() on the pipe go
// on (a writer that opens without blocking succeeds only then) and notes that
// one waited. So a reader that would block forever only shows as a failure.
struct PipeWatch {
    std::string path;
    std::atomic<bool> stop{false}, readerWaited{false};
    std::thread thread;
    explicit PipeWatch(std::string p) : path(std::move(p)) {
        thread = std::thread([this] {
            auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
            while (!stop && std::chrono::steady_clock::now() < end) {
                int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    readerWaited = true;
                    close(fd);
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    ~PipeWatch() {
        stop = true;
        thread.join();
    }
};

std::string make_pipe() {
    std::string path = testing_support::fresh_dir("pipe") + "/named pipe.wav";
    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
    return path;
}

TEST(SpecialFiles, OpenRefusesPipesDevicesAndFoldersWithTheCannotOpenMessage) {
    const std::string pipe = make_pipe();
    const std::string folder = testing_support::fresh_dir("a folder.wav");
    for (const std::string& path : {pipe, std::string("/dev/zero"), folder}) {
        Frame f;
        QuestionRecorder rec;
        BOOL result;
        bool waited;
        {
            PipeWatch watch(pipe);
            result = OpenWAV(f.frame, f.client, path.c_str());
            watch.stop = true;
            waited = watch.readerWaited;
        }
        EXPECT_FALSE(waited) << path << ": the open waited for a writer";
        EXPECT_EQ(result, 0) << path;
        ASSERT_EQ(rec.asked.size(), 1u) << path;
        EXPECT_EQ(rec.asked[0].text, "File not found or something else.") << path;
        EXPECT_TRUE(f.documents().empty()) << path << ": no empty \"Unnamed\" document either";
    }
}

TEST(SpecialFiles, ReloadRefusesAPipeAndKeepsTheDocument) {
    const std::string pipe = make_pipe();
    Frame f;
    const Bytes data = pattern(20, 4);
    HWND d = make_document(f, Format{1, 8000, 8}, data);
    QuestionRecorder rec;
    PipeWatch watch(pipe);
    EXPECT_EQ(ReloadWAV(f.frame, d, pipe.c_str()), 0);
    watch.stop = true;
    EXPECT_FALSE(watch.readerWaited);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, "File not found or something else.");
    EXPECT_EQ(data_of(d), data);
}

TEST(SpecialFiles, RiffFilesOpenOnlyRegularFilesForReadingAndWriting) {
    const std::string pipe = make_pipe();
    PipeWatch watch(pipe);
    // A reader for the pipe's other end, so that a writer would not wait.
    int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    struct Case {
        std::string path;
        DWORD flags;
    };
    const Case cases[] = {
        {"/dev/zero", MMIO_READ},
        {"/dev/null", MMIO_WRITE},
        {"/dev/null", MMIO_CREATE | MMIO_WRITE},
        {pipe, MMIO_WRITE},
        {testing_support::fresh_dir("folder"), MMIO_READ},
    };
    for (const Case& c : cases) {
        MMIOINFO info{};
        HMMIO h = mmioOpen(const_cast<LPSTR>(c.path.c_str()), &info, c.flags);
        EXPECT_EQ(h, nullptr) << c.path << " flags " << c.flags;
        if (h) mmioClose(h, 0);
        EXPECT_EQ(info.wErrorRet, UINT(MMIOERR_CANNOTOPEN)) << c.path;
    }
    close(reader);
    std::string regular = file_with(Bytes{1, 2, 3});
    HMMIO h = mmioOpen(const_cast<LPSTR>(regular.c_str()), nullptr, MMIO_READ);
    ASSERT_NE(h, nullptr) << "a regular file still opens";
    char b[3] = {};
    EXPECT_EQ(mmioRead(h, b, 3), 3);
    mmioClose(h, 0);
}

}  // namespace
