// Reading RIFF files: chunk headers, the forward searches bounded by the
// parent and by the file, and reads that stop at the file's end.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;
using testing_support::fresh_dir;
using testing_support::write_file;

void put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void tag(Bytes& b, const char* t) {
    b.insert(b.end(), t, t + 4);
}
// A chunk with its header, its bytes and the pad byte when the size is odd.
void chunk(Bytes& b, const char* id, const Bytes& body, uint32_t claimed = 0xFFFFFFFF) {
    tag(b, id);
    put32(b, claimed == 0xFFFFFFFF ? static_cast<uint32_t>(body.size()) : claimed);
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1) b.push_back(0);
}
// "RIFF" <size> <type> followed by the given inner bytes; size covers them unless given.
Bytes riff(const char* type, const Bytes& inner, uint32_t claimed = 0xFFFFFFFF) {
    Bytes b;
    tag(b, "RIFF");
    put32(b, claimed == 0xFFFFFFFF ? static_cast<uint32_t>(inner.size() + 4) : claimed);
    tag(b, type);
    b.insert(b.end(), inner.begin(), inner.end());
    return b;
}

struct Opened {
    HMMIO h = nullptr;
    explicit Opened(const std::string& path, DWORD flags = MMIO_READ) {
        h = mmioOpen(const_cast<char*>(path.c_str()), nullptr, flags);
    }
    ~Opened() {
        if (h) mmioClose(h, 0);
    }
};

std::string file_with(const Bytes& b) {
    static int n = 0;
    std::string path = fresh_dir("mmio") + "/f" + std::to_string(++n) + ".riff";
    write_file(path, b);
    return path;
}

MMCKINFO find(HMMIO h, const char* id, const MMCKINFO* parent, MMRESULT* rc) {
    MMCKINFO ck{};
    ck.ckid = mmioFOURCC(id[0], id[1], id[2], id[3]);
    *rc = mmioDescend(h, &ck, parent, MMIO_FINDCHUNK);
    return ck;
}

TEST(MmioDescend, ReadsTheRiffHeaderAndStandsAfterTheFormType) {
    Bytes inner;
    chunk(inner, "abcd", {1, 2, 3, 4});
    Opened f(file_with(riff("WAVE", inner)));
    ASSERT_NE(f.h, nullptr);
    MMCKINFO ck{};
    ASSERT_EQ(mmioDescend(f.h, &ck, nullptr, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(ck.ckid, FOURCC_RIFF);
    EXPECT_EQ(ck.fccType, mmioFOURCC('W', 'A', 'V', 'E'));
    EXPECT_EQ(ck.cksize, 4u + 12u);
    EXPECT_EQ(ck.dwDataOffset, 8u);  // the form type's offset
    EXPECT_EQ(mmioSeek(f.h, 0, SEEK_CUR), 12);
}

TEST(MmioDescend, FindsAChunkAfterOthersIncludingOddSizedOnesWithTheirPadByte) {
    Bytes inner;
    chunk(inner, "odd1", {9, 9, 9});
    chunk(inner, "skip", Bytes(40, 7));
    chunk(inner, "want", {0x11, 0x22});
    Opened f(file_with(riff("WAVE", inner)));
    MMCKINFO parent{};
    ASSERT_EQ(mmioDescend(f.h, &parent, nullptr, 0), MMSYSERR_NOERROR);
    MMRESULT rc;
    MMCKINFO ck = find(f.h, "want", &parent, &rc);
    ASSERT_EQ(rc, MMSYSERR_NOERROR);
    EXPECT_EQ(ck.cksize, 2u);
    EXPECT_EQ(ck.dwDataOffset, 12u + 12u + 48u + 8u);
    char got[2];
    ASSERT_EQ(mmioRead(f.h, got, 2), 2);
    EXPECT_EQ(static_cast<unsigned char>(got[0]), 0x11);
    EXPECT_EQ(static_cast<unsigned char>(got[1]), 0x22);
}

TEST(MmioDescend, SearchesOnlyForwardFromTheCurrentPosition) {
    Bytes inner;
    chunk(inner, "aaaa", {1, 2});
    chunk(inner, "bbbb", {3, 4});
    Opened f(file_with(riff("WAVE", inner)));
    MMCKINFO parent{};
    mmioDescend(f.h, &parent, nullptr, 0);
    MMRESULT rc;
    MMCKINFO b = find(f.h, "bbbb", &parent, &rc);
    ASSERT_EQ(rc, MMSYSERR_NOERROR);
    ASSERT_EQ(mmioAscend(f.h, &b, 0), MMSYSERR_NOERROR);
    find(f.h, "aaaa", &parent, &rc);
    EXPECT_EQ(rc, static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
}

TEST(MmioDescend, StopsAtTheEndOfTheParentChunk) {
    Bytes inner;
    chunk(inner, "in  ", {1, 2});
    Bytes file = riff("WAVE", inner);
    chunk(file, "out ", {3, 4});  // after the RIFF chunk's end
    Opened f(file_with(file));
    MMCKINFO parent{};
    mmioDescend(f.h, &parent, nullptr, 0);
    MMRESULT rc;
    find(f.h, "out ", &parent, &rc);
    EXPECT_EQ(rc, static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
}

TEST(MmioDescend, GivesNotFoundForChunksThatClaimMoreThanTheFileOrWrapAround) {
    for (uint32_t claimed : {1000u, 0xFFFFFFF0u, 0xFFFFFFFFu - 1}) {
        Bytes inner;
        tag(inner, "big ");
        put32(inner, claimed);
        inner.insert(inner.end(), 8, 0);
        chunk(inner, "want", {1});
        Opened f(file_with(riff("WAVE", inner, 0xFFFFFFF0u)));
        MMCKINFO parent{};
        ASSERT_EQ(mmioDescend(f.h, &parent, nullptr, 0), MMSYSERR_NOERROR);
        MMRESULT rc;
        find(f.h, "want", &parent, &rc);
        EXPECT_EQ(rc, static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND)) << claimed;
    }
}

TEST(MmioDescend, FindRiffAndFindListMatchTheTypeToo) {
    Bytes list1, list2;
    tag(list1, "adtl");
    tag(list2, "INFO");
    Bytes inner;
    chunk(inner, "LIST", list1);
    chunk(inner, "LIST", list2);
    Opened f(file_with(riff("WAVE", inner)));
    MMCKINFO r{};
    r.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    ASSERT_EQ(mmioDescend(f.h, &r, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
    MMCKINFO l{};
    l.fccType = mmioFOURCC('I', 'N', 'F', 'O');
    ASSERT_EQ(mmioDescend(f.h, &l, &r, MMIO_FINDLIST), MMSYSERR_NOERROR);
    EXPECT_EQ(l.dwDataOffset, 12u + 12u + 8u);

    Opened g(file_with(riff("AVI ", inner)));
    MMCKINFO wanted{};
    wanted.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    EXPECT_EQ(mmioDescend(g.h, &wanted, nullptr, MMIO_FINDRIFF),
              static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
}

TEST(MmioDescend, FailsOnFilesTooShortForAChunkHeader) {
    for (size_t n : {0, 3, 7}) {
        Opened f(file_with(Bytes(n, 'R')));
        ASSERT_NE(f.h, nullptr);
        MMCKINFO ck{};
        EXPECT_EQ(mmioDescend(f.h, &ck, nullptr, 0), static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
    }
}

TEST(MmioAscend, SkipsTheRestAndThePadByteButNeverPastTheFileEnd) {
    Bytes inner;
    chunk(inner, "odd ", {1, 2, 3});
    chunk(inner, "next", {4});
    Bytes file = riff("WAVE", inner);
    tag(file, "long");
    put32(file, 5000);  // claims far more than is left
    file.insert(file.end(), 10, 0);
    Opened f(file_with(file));
    MMCKINFO parent{};
    mmioDescend(f.h, &parent, nullptr, 0);
    MMCKINFO odd{};
    ASSERT_EQ(mmioDescend(f.h, &odd, nullptr, 0), MMSYSERR_NOERROR);
    char one;
    mmioRead(f.h, &one, 1);
    ASSERT_EQ(mmioAscend(f.h, &odd, 0), MMSYSERR_NOERROR);
    MMCKINFO next{};
    ASSERT_EQ(mmioDescend(f.h, &next, nullptr, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(next.ckid, mmioFOURCC('n', 'e', 'x', 't'));
    mmioAscend(f.h, &next, 0);
    MMCKINFO longer{};
    ASSERT_EQ(mmioDescend(f.h, &longer, nullptr, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioAscend(f.h, &longer, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioSeek(f.h, 0, SEEK_CUR), static_cast<LONG>(file.size()));
    char rest[4];
    EXPECT_EQ(mmioRead(f.h, rest, 4), 0);
}

TEST(MmioRead, MixesSmallAndLargeReadsOverTheWholeFile) {
    Bytes file(300000);
    for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<unsigned char>(i * 7 + i / 251);
    Opened f(file_with(file));
    Bytes got(file.size());
    size_t at = 0;
    const LONG pieces[] = {3, 70000, 1, 65535, 65536, 17, 90000};
    for (LONG n : pieces) {
        LONG r = mmioRead(f.h, reinterpret_cast<char*>(got.data() + at), n);
        ASSERT_EQ(r, n);
        at += static_cast<size_t>(r);
    }
    LONG last = mmioRead(f.h, reinterpret_cast<char*>(got.data() + at), 100000);
    EXPECT_EQ(static_cast<size_t>(last), file.size() - at);
    EXPECT_EQ(got, file);
    EXPECT_EQ(mmioRead(f.h, reinterpret_cast<char*>(got.data()), 10), 0);
}

TEST(MmioRead, SeeksWithinTheFileAndStopsAtItsEnd) {
    Bytes file(100);
    for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<unsigned char>(i);
    Opened f(file_with(file));
    EXPECT_EQ(mmioSeek(f.h, 90, SEEK_SET), 90);
    EXPECT_EQ(mmioSeek(f.h, -10, SEEK_END), 90);
    EXPECT_EQ(mmioSeek(f.h, 5, SEEK_CUR), 95);
    EXPECT_EQ(mmioSeek(f.h, 500, SEEK_SET), 100);
    EXPECT_EQ(mmioSeek(f.h, -1, SEEK_SET), -1);
    mmioSeek(f.h, 40, SEEK_SET);
    char b;
    ASSERT_EQ(mmioRead(f.h, &b, 1), 1);
    EXPECT_EQ(b, 40);
}

TEST(MmioHandles, RefuseWhatTheyCannotServe) {
    MMIOINFO info{};
    std::string missing = fresh_dir("mmio-missing") + "/none.wav";
    EXPECT_EQ(mmioOpen(const_cast<char*>(missing.c_str()), &info, MMIO_READ), nullptr);
    EXPECT_EQ(info.wErrorRet, static_cast<UINT>(MMIOERR_CANNOTOPEN));
    std::string dir = fresh_dir("mmio-dir");
    EXPECT_EQ(mmioOpen(const_cast<char*>(dir.c_str()), nullptr, MMIO_READ), nullptr);

    HMMIO bogus = reinterpret_cast<HMMIO>(&info);
    char b[4];
    EXPECT_EQ(mmioRead(bogus, b, 4), -1);
    EXPECT_EQ(mmioWrite(bogus, b, 4), -1);
    EXPECT_NE(mmioClose(bogus, 0), static_cast<MMRESULT>(MMSYSERR_NOERROR));

    Opened f(file_with(Bytes(10, 1)));
    EXPECT_EQ(mmioRead(f.h, b, -1), -1);
    EXPECT_EQ(mmioWrite(f.h, b, 4), -1);  // opened for reading only
}

TEST(MmioStringToFourcc, PadsWithBlanksAndCanMakeUpperCase) {
    EXPECT_EQ(mmioStringToFOURCC("wav", 0), mmioFOURCC('w', 'a', 'v', ' '));
    EXPECT_EQ(mmioStringToFOURCC("fmt", MMIO_TOUPPER), mmioFOURCC('F', 'M', 'T', ' '));
    EXPECT_EQ(mmioStringToFOURCC("datalong", 0), mmioFOURCC('d', 'a', 't', 'a'));
}

}  // namespace
