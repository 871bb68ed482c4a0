// Message boxes: questions recorded and answered through the hook, from the
// user-interface thread and from others; without a hook, the real modal box
// with its buttons, default button and escape, serving other threads' calls
// while it is open.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

using testing_support::QuestionRecorder;

namespace {

TEST(MessageBoxHook, RecordsTheQuestionAndGivesTheAnswer) {
    QuestionRecorder rec;
    rec.answers = {IDNO, IDCANCEL};
    HWND owner = reinterpret_cast<HWND>(uintptr_t{0x1234});
    UINT style = MB_YESNOCANCEL | MB_ICONQUESTION;
    EXPECT_EQ(MessageBox(owner, "Save changes?\rReally?", "Close File", style), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "Second", "Warning...", MB_OKCANCEL | MB_ICONHAND), IDCANCEL);
    EXPECT_EQ(MessageBox(nullptr, "Third", nullptr, MB_OK), IDOK);  // list ran out: default
    ASSERT_EQ(rec.asked.size(), 3u);
    EXPECT_EQ(rec.asked[0].kind, "MessageBox");
    EXPECT_EQ(rec.asked[0].text, "Save changes?\rReally?");
    EXPECT_EQ(rec.asked[0].caption, "Close File");
    EXPECT_EQ(rec.asked[0].style & 0xF0u, static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_EQ(rec.asked[0].style & 0x0Fu, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_EQ(rec.asked[0].owner, owner);
    EXPECT_EQ(rec.asked[1].style & 0xF0u, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(rec.asked[2].caption, "Error");  // the platform's caption when none is given
}

TEST(MessageBoxHook, AnswersQuestionsAskedFromAnotherThread) {
    QuestionRecorder rec;
    rec.answers = {IDRETRY};
    int result = 0;
    bool askedOnUi = true;
    rec.on_ask = [&](const PlatformQuestion*) -> INT_PTR {
        askedOnUi = PlatformIsUiThread() != 0;
        return IDRETRY;
    };
    std::thread t([&] {
        result =
            MessageBox(nullptr, "Device busy", "Recording", MB_RETRYCANCEL | MB_ICONEXCLAMATION);
    });
    t.join();
    EXPECT_EQ(result, IDRETRY);
    EXPECT_FALSE(askedOnUi);  // the hook runs on the asking thread
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, "Device busy");
    EXPECT_EQ(rec.asked[0].style & 0xF0u, static_cast<UINT>(MB_ICONEXCLAMATION));
}

TEST(MessageBoxHook, ManyThreadsAskingAtOnceAreEachRecordedOnce) {
    QuestionRecorder rec;
    rec.default_answer = IDYES;
    std::atomic<int> yes{0};
    std::vector<std::thread> askers;
    for (int t = 0; t < 4; ++t)
        askers.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i) {
                std::string text = std::to_string(t) + ":" + std::to_string(i);
                if (MessageBox(nullptr, text.c_str(), "Many", MB_YESNO) == IDYES) ++yes;
            }
        });
    for (auto& a : askers) a.join();
    EXPECT_EQ(yes, 200);
    ASSERT_EQ(rec.asked.size(), 200u);
    std::set<std::string> texts;
    for (const auto& a : rec.asked) texts.insert(a.text);
    EXPECT_EQ(texts.size(), 200u);
}

TEST(MessageBoxHook, InstallingGivesBackThePreviousHookAndAskFailsWithoutOne) {
    PlatformQuestionHook before = PlatformSetQuestionHook(nullptr, nullptr);
    PlatformQuestion q{"Dialog", "t", "c", 0, nullptr, nullptr};
    INT_PTR answer = 77;
    EXPECT_FALSE(PlatformAskHook(&q, &answer));
    EXPECT_EQ(answer, 77);
    {
        QuestionRecorder rec;
        rec.default_answer = 5;
        EXPECT_TRUE(PlatformAskHook(&q, &answer));
        EXPECT_EQ(answer, 5);
        ASSERT_EQ(rec.asked.size(), 1u);
        EXPECT_EQ(rec.asked[0].kind, "Dialog");
    }
    EXPECT_EQ(PlatformSetQuestionHook(before, nullptr), nullptr);
}

// Without a hook: the box really opens; a helper thread answers it.
struct RealBox {
    PlatformQuestionHook saved;
    RealBox() { saved = PlatformSetQuestionHook(nullptr, nullptr); }
    ~RealBox() { PlatformSetQuestionHook(saved, nullptr); }
};

// Waits for the box to open, then presses the button id (an id the box lacks,
// such as -2, presses nothing). The box's texts are copied before pressing.
struct Answer {
    PlatformQuestion shown{};
    std::string text, caption;
    BOOL pressed = FALSE;
};
Answer answer_when_open(int id) {
    Answer a;
    for (int tries = 0; tries < 4000; ++tries) {
        PlatformQuestion q{};
        BOOL pressed = PlatformAnswerMessageBox(id, &q);
        if (q.text) {  // a box was open
            a.shown = q;
            a.text = q.text;
            a.caption = q.caption ? q.caption : "";
            a.pressed = pressed;
            return a;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return a;
}

TEST(MessageBoxReal, DefaultButtonFollowsTheStyleAndTextLinesAreConverted) {
    RealBox real;
    Answer a;
    std::thread helper([&] { a = answer_when_open(0); });
    int r = MessageBox(nullptr, "Line one\r\nLine two\rLine three", "Close File",
                       MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
    helper.join();
    EXPECT_TRUE(a.pressed);
    EXPECT_EQ(r, IDNO);
    EXPECT_EQ(a.text, "Line one\nLine two\nLine three");
    EXPECT_EQ(a.caption, "Close File");
    EXPECT_EQ(a.shown.style & 0xFFFu,
              static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2));
}

TEST(MessageBoxReal, EscapeCancelsAndAnAbsentButtonIsRefused) {
    RealBox real;
    std::atomic<BOOL> okAbsent{TRUE}, escaped{FALSE};
    std::thread helper([&] {
        answer_when_open(-2);  // waits for the box without pressing anything
        okAbsent = PlatformAnswerMessageBox(IDYES, nullptr);
        escaped = PlatformAnswerMessageBox(-1, nullptr);
    });
    int r = MessageBox(nullptr, "Proceed?", "Question", MB_OKCANCEL);
    helper.join();
    EXPECT_FALSE(okAbsent);
    EXPECT_TRUE(escaped);
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_FALSE(PlatformAnswerMessageBox(IDOK, nullptr));  // nothing open any more
}

LRESULT CALLBACK echo_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER + 7) return static_cast<LRESULT>(wp * 2);
    return DefWindowProc(hwnd, msg, wp, lp);
}

TEST(MessageBoxReal, BoxAskedFromAWorkerThreadOpensOnTheUiThreadAndServesSends) {
    RealBox real;
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = echo_proc;
    wc.hInstance = GetModuleHandle(nullptr);
    wc.lpszClassName = "MsgBoxEcho";
    RegisterClassEx(&wc);
    HWND owner = CreateWindowEx(0, "MsgBoxEcho", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, GetModuleHandle(nullptr), nullptr);
    ASSERT_TRUE(owner);

    std::atomic<bool> done{false};
    std::atomic<int> result{0};
    std::atomic<LRESULT> echoed{0};
    std::atomic<BOOL> pressed{FALSE};
    std::thread asker([&] {
        result = MessageBox(owner, "Abort the recording?", "Recording",
                            MB_ABORTRETRYIGNORE | MB_ICONHAND);
        done = true;
    });
    std::thread answerer([&] {
        answer_when_open(-2);
        echoed = SendMessage(owner, WM_USER + 7, 21, 0);  // served while the box is open
        pressed = PlatformAnswerMessageBox(IDIGNORE, nullptr);
    });
    while (!done) PlatformProcessEvents();
    asker.join();
    answerer.join();
    EXPECT_EQ(echoed, 42);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(result, IDIGNORE);
    DestroyWindow(owner);
}

}  // namespace
