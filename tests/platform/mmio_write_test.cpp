// Writing RIFF files: created chunks get their true sizes and pad bytes, the
// buffered writes land where they were aimed, and write failures are reported.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;
using testing_support::fresh_dir;
using testing_support::read_file;

uint32_t le32(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}
std::string tag_at(const Bytes& b, size_t at) {
    return std::string(reinterpret_cast<const char*>(b.data() + at), 4);
}

std::string new_path(const char* name) {
    return fresh_dir("mmio-write") + "/" + name;
}

HMMIO create(const std::string& path, DWORD flags = MMIO_CREATE | MMIO_WRITE) {
    return mmioOpen(const_cast<char*>(path.c_str()), nullptr, flags);
}

TEST(MmioCreateChunk, AscendWritesTrueSizesAndThePadByte) {
    std::string path = new_path("a.wav");
    HMMIO h = create(path);
    ASSERT_NE(h, nullptr);
    MMCKINFO r{}, f{}, d{};
    r.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    ASSERT_EQ(mmioCreateChunk(h, &r, MMIO_CREATERIFF), MMSYSERR_NOERROR);
    EXPECT_EQ(r.dwDataOffset, 8u);
    f.ckid = mmioFOURCC('f', 'm', 't', ' ');
    f.cksize = 16;
    ASSERT_EQ(mmioCreateChunk(h, &f, 0), MMSYSERR_NOERROR);
    const unsigned char fmtBytes[16] = {1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x44, 0xAC, 0, 0, 1, 0, 8, 0};
    const char* fmt = reinterpret_cast<const char*>(fmtBytes);
    ASSERT_EQ(mmioWrite(h, fmt, 16), 16);
    ASSERT_EQ(mmioAscend(h, &f, 0), MMSYSERR_NOERROR);
    d.ckid = mmioFOURCC('d', 'a', 't', 'a');  // size 0 given: ascend must patch it
    ASSERT_EQ(mmioCreateChunk(h, &d, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioWrite(h, "\x01\x02\x03", 3), 3);
    ASSERT_EQ(mmioAscend(h, &d, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(d.cksize, 3u);
    ASSERT_EQ(mmioAscend(h, &r, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);

    Bytes b = read_file(path);
    ASSERT_EQ(b.size(), 44u + 3u + 1u);
    EXPECT_EQ(tag_at(b, 0), "RIFF");
    EXPECT_EQ(le32(b, 4), 36u + 3u + 1u);
    EXPECT_EQ(tag_at(b, 8), "WAVE");
    EXPECT_EQ(tag_at(b, 12), "fmt ");
    EXPECT_EQ(le32(b, 16), 16u);
    EXPECT_EQ(le32(b, 24), 44100u);
    EXPECT_EQ(tag_at(b, 36), "data");
    EXPECT_EQ(le32(b, 40), 3u);
    EXPECT_EQ(b[44], 1);
    EXPECT_EQ(b[46], 3);
    EXPECT_EQ(b[47], 0);  // pad byte
}

TEST(MmioCreateChunk, ListChunksCarryTheirTypeAndCountIt) {
    std::string path = new_path("list.riff");
    HMMIO h = create(path);
    MMCKINFO l{};
    l.fccType = mmioFOURCC('I', 'N', 'F', 'O');
    ASSERT_EQ(mmioCreateChunk(h, &l, MMIO_CREATELIST), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioWrite(h, "abcd", 4), 4);
    ASSERT_EQ(mmioAscend(h, &l, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);
    Bytes b = read_file(path);
    ASSERT_EQ(b.size(), 16u);
    EXPECT_EQ(tag_at(b, 0), "LIST");
    EXPECT_EQ(le32(b, 4), 8u);
    EXPECT_EQ(tag_at(b, 8), "INFO");
}

TEST(MmioWrite, BufferedWritesSeeksAndReadsStayCoherent) {
    std::string path = new_path("rw.bin");
    HMMIO h = create(path, MMIO_CREATE | MMIO_READWRITE);
    ASSERT_NE(h, nullptr);
    Bytes big(200000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<unsigned char>(i % 253);
    for (size_t at = 0; at < big.size(); at += 1000)
        ASSERT_EQ(mmioWrite(h, reinterpret_cast<const char*>(big.data() + at), 1000), 1000);
    ASSERT_EQ(mmioSeek(h, 10, SEEK_SET), 10);
    ASSERT_EQ(mmioWrite(h, "XY", 2), 2);
    big[10] = 'X';
    big[11] = 'Y';
    ASSERT_EQ(mmioSeek(h, 8, SEEK_SET), 8);
    char back[6];
    ASSERT_EQ(mmioRead(h, back, 6), 6);
    EXPECT_EQ(std::string(back + 2, 2), "XY");
    ASSERT_EQ(mmioSeek(h, 0, SEEK_END), static_cast<LONG>(big.size()));
    ASSERT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(read_file(path), big);
}

// A file size limit makes the disk look full to this process.
struct FileSizeLimit {
    rlimit old{};
    void (*oldHandler)(int);
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler = signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit lim = old;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, oldHandler);
    }
};

TEST(MmioWrite, AFullDiskIsReportedByTheWriteOrAtTheLatestByClose) {
    for (LONG piece : {100, 100000}) {
        std::string path = new_path("full.bin");
        HMMIO h = create(path);
        ASSERT_NE(h, nullptr);
        Bytes data(static_cast<size_t>(piece), 0x5A);
        bool writeFailed = false;
        {
            FileSizeLimit limit(50000);
            for (int i = 0; i < 200000 / piece && !writeFailed; ++i)
                writeFailed =
                    mmioWrite(h, reinterpret_cast<const char*>(data.data()), piece) != piece;
            MMRESULT closed = mmioClose(h, 0);
            EXPECT_TRUE(writeFailed || closed != MMSYSERR_NOERROR) << piece;
            if (!writeFailed) EXPECT_EQ(closed, static_cast<MMRESULT>(MMIOERR_CANNOTWRITE));
        }
    }
}

TEST(MmioWrite, AFailedWriteMakesEveryLaterFlushFail) {
    std::string path = new_path("sticky.bin");
    HMMIO h = create(path);
    Bytes data(100000, 1);
    {
        FileSizeLimit limit(1000);
        EXPECT_EQ(mmioWrite(h, reinterpret_cast<const char*>(data.data()), 100000), -1);
    }
    EXPECT_EQ(mmioWrite(h, "ab", 2), -1);
    EXPECT_EQ(mmioFlush(h, 0), static_cast<MMRESULT>(MMIOERR_CANNOTWRITE));
    EXPECT_EQ(mmioClose(h, 0), static_cast<MMRESULT>(MMIOERR_CANNOTWRITE));
}

}  // namespace
