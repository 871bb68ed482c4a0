// Start-up: the command line, the single running copy, the splash and the
// start assistant.
#include "startup.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <kit/rvg32.h>
#include <platform/testing.h>
#include <sonrel/ids.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "../platform/audio_test_support.h"
#include "cdplayer.h"
#include "dialogs_start.h"
#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;

namespace {

const bool kRoles = [] {
    testing_support::register_child_role("second-copy", [](const std::vector<std::string>& args) {
        std::string line;
        for (size_t i = 0; i < args.size(); ++i) line += (i ? " " : "") + args[i];
        return RunSonrel(line.c_str());
    });
    testing_support::register_child_role("program-entry", [](const std::vector<std::string>& args) {
        std::vector<std::string> words = {"sonrel"};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        return SonrelMain(int(words.size()), argv.data());
    });
    return true;
}();

// Runs a second copy with the arguments while this copy serves its frame;
// gives the second copy's exit code (-1 when it did not end). The copy starts
// in the folder `in` when one is given, with its output in the file `out`.
int run_second_copy(const std::vector<std::string>& args, const std::string& in = "",
                    const std::string& out = "", const char* role = "second-copy") {
    char here[4096] = {};
    EXPECT_TRUE(getcwd(here, sizeof here));
    if (!in.empty()) {
        EXPECT_EQ(chdir(in.c_str()), 0);
    }
    int saved_out = dup(1);
    if (!out.empty()) {
        int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        dup2(fd, 1);
        close(fd);
    }
    int pid = testing_support::spawn_child(role, args);
    dup2(saved_out, 1);
    close(saved_out);
    EXPECT_EQ(chdir(here), 0);
    int status = -1;
    bool ended = serve_until([&] {
        int st = 0;
        if (waitpid(pid, &st, WNOHANG) != pid) return false;
        status = WIFEXITED(st) ? WEXITSTATUS(st) : 128;
        return true;
    });
    if (!ended) {
        kill(pid, SIGKILL);
        testing_support::wait_child(pid);
    }
    return status;
}

struct FirstCopy : Shell {
    explicit FirstCopy(const Settings& settings = {}) : Shell(settings) {
        EXPECT_FALSE(PlatformInstanceStart(FRAME_CLASS, ""));
        PlatformInstanceSetTarget(frame, UM_HANDOVER);
    }
    ~FirstCopy() { PlatformInstanceStop(); }
};

HWND make_other_window() {
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "StartupTestOther";
    RegisterClassEx(&wc);
    HWND w = CreateWindowEx(0, "StartupTestOther", "other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                            nullptr, nullptr, nullptr, nullptr);
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);
    return w;
}

}  // namespace

TEST(StartupCommandLine, APathIsTakenWholeAndSwitchesAreRecognised) {
    CommandLine c = ParseCommandLine("/home/user/My Sound.wav");
    EXPECT_EQ(c.kind, COMMANDLINE_PATH);
    EXPECT_EQ(c.path, "/home/user/My Sound.wav");
    EXPECT_EQ(ParseCommandLine("").kind, COMMANDLINE_NONE);
    EXPECT_EQ(ParseCommandLine("/play").kind, COMMANDLINE_NONE);
    EXPECT_EQ(ParseCommandLine("relative.wav").kind, COMMANDLINE_PATH);
    CommandLine cd = ParseCommandLine("/CD -track 07");
    EXPECT_EQ(cd.kind, COMMANDLINE_CDTRACK);
    EXPECT_EQ(cd.track, 7);
    CommandLine shortCd = ParseCommandLine("/cd");
    EXPECT_EQ(shortCd.kind, COMMANDLINE_CDTRACK);
    EXPECT_EQ(shortCd.track, 0) << "no track without the 13th character";
    std::string longPath(400, 'x');
    EXPECT_EQ(ParseCommandLine(longPath.c_str()).path, longPath) << "kept whole";
}

TEST(StartupCommandLine, ARelativePathIsMadeAbsoluteFromTheCurrentFolder) {
    char here[4096] = {};
    ASSERT_TRUE(getcwd(here, sizeof here));
    const std::string h = here;
    const std::string parent = h.substr(0, h.rfind('/'));
    struct Case {
        std::string given, expected;
    };
    const Case cases[] = {
        {"x.wav", h + "/x.wav"},
        {"./sub/../my file.wav", h + "/my file.wav"},
        {"../x.wav", (parent.empty() ? "" : parent) + "/x.wav"},
        {"/abs/olute.wav", "/abs/olute.wav"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(AbsolutePath(c.given), c.expected) << c.given;
}

TEST(SingleInstance, ASecondCopyWithAPathHasTheFirstOpenItAndEndsWithZero) {
    FirstCopy first;
    std::string path = write_wave("handed over.wav", {10, 20, 30, 40});
    EXPECT_EQ(run_second_copy({path}), 0);
    ASSERT_TRUE(serve_until([] { return ActiveDocument() != nullptr; }));
    char title[300] = {};
    GetWindowText(ActiveDocument(), title, sizeof title);
    EXPECT_NE(std::string(title).find("handed over.wav"), std::string::npos) << title;
    EXPECT_EQ(wave_bytes(ActiveDocument()).size(), 8u);
}

TEST(SingleInstance, ARelativePathOpensTheFileOfTheFolderTheSecondCopyStartedIn) {
    FirstCopy first;
    // The same name in this copy's folder and in the second copy's: the
    // second copy's file is meant.
    std::string mine = write_wave("same name.wav", {1, 2});
    std::string theirs = write_wave("same name.wav", {10, 20, 30, 40});
    char here[4096] = {};
    ASSERT_TRUE(getcwd(here, sizeof here));
    std::string my_folder = mine.substr(0, mine.rfind('/'));
    ASSERT_EQ(chdir(my_folder.c_str()), 0);
    EXPECT_EQ(run_second_copy({"same name.wav"}, theirs.substr(0, theirs.rfind('/'))), 0);
    bool opened = serve_until([] { return ActiveDocument() != nullptr; });
    EXPECT_EQ(chdir(here), 0);
    ASSERT_TRUE(opened);
    char title[300] = {};
    GetWindowText(ActiveDocument(), title, sizeof title);
    EXPECT_EQ(std::string(title), theirs);
    EXPECT_EQ(wave_bytes(ActiveDocument()).size(), 8u);
}

TEST(SingleInstance, APathTooLongForADocumentIsRefusedByNameNotAsMissing) {
    FirstCopy first;
    std::string folder = testing_support::fresh_dir("long path");
    for (char c : {'a', 'b'}) {
        folder += "/" + std::string(120, c);
        ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    }
    std::string path = folder + "/sound.wav";
    ASSERT_GT(path.size(), 255u);
    std::string written = write_wave("sound.wav", {5, 6});
    ASSERT_EQ(rename(written.c_str(), path.c_str()), 0);
    testing_support::QuestionRecorder rec;
    EXPECT_EQ(run_second_copy({path}), 0);
    ASSERT_TRUE(serve_until([&] { return !rec.asked.empty(); }));
    EXPECT_EQ(rec.asked[0].text.rfind("Path too long.", 0), 0u) << rec.asked[0].text;
    EXPECT_NE(rec.asked[0].text.find(path), std::string::npos) << "the whole path is named";
    EXPECT_EQ(ActiveDocument(), nullptr) << "no document under a cut name";
}

TEST(StartupInformation, HelpAndVersionArePrintedAndNothingIsHandedOver) {
    FirstCopy first;
    testing_support::QuestionRecorder rec;
    std::string out = testing_support::fresh_dir("information") + "/out.txt";
    auto printed = [&] {
        auto bytes = testing_support::read_file(out);
        return std::string(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(run_second_copy({"--help"}, "", out, "program-entry"), 0);
    std::string help = printed();
    for (const char* part : {"Usage: sonrel", "--version", "/CD", "SONREL_HOME", "SDL_AUDIODRIVER",
                             "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
        EXPECT_NE(help.find(part), std::string::npos) << part << " in\n" << help;
    EXPECT_EQ(run_second_copy({"--version"}, "", out, "program-entry"), 0);
    EXPECT_EQ(printed(), std::string("sonrel ") + SONREL_VERSION + "\n");
    for (int i = 0; i < 20; ++i) PlatformProcessEvents();
    EXPECT_TRUE(rec.asked.empty()) << "the running copy was asked to open " << rec.asked[0].text;
    EXPECT_EQ(ActiveDocument(), nullptr);
}

TEST(SingleInstance, ASecondCopyWithoutAPathOnlyRaisesTheFirst) {
    FirstCopy first;
    for (std::vector<std::string> args : {std::vector<std::string>{}, {"/quiet"}}) {
        HWND other = make_other_window();
        ASSERT_TRUE(serve_until([&] { return GetForegroundWindow() == other; }));
        EXPECT_EQ(run_second_copy(args), 0);
        ASSERT_TRUE(serve_until([&] { return GetForegroundWindow() == first.frame; }));
        EXPECT_EQ(ActiveDocument(), nullptr) << "nothing is opened";
        DestroyWindow(other);
    }
}

TEST(SingleInstance, ACdSwitchBringsUpTheFirstCopysPlayerOnItsTrack) {
    std::string cue = atest::make_cd_image(
        testing_support::fresh_dir("switch disc"),
        {atest::sox_tone(3.0, 440), atest::sox_tone(3.0, 660), atest::sox_tone(3.0, 880)});
    FirstCopy first(Settings{{"Sonrel\\Settings\\CDPlayer\\Device", cue.c_str()}});
    ASSERT_FALSE(IsWindowVisible(g_cdPlayer.player)) << "hidden by default";
    ASSERT_EQ(g_cdPlayer.trackCount, 3);
    EXPECT_EQ(run_second_copy({"/CD", "-track", "02"}), 0);
    ASSERT_TRUE(serve_until([] { return IsWindowVisible(g_cdPlayer.player) != FALSE; }));
    EXPECT_TRUE(g_shell.cdPlayerShown);
    EXPECT_TRUE(GetMenuState(g_shell.windowPopup, IDM_CDPLAYER, MF_BYCOMMAND) & MF_CHECKED);
    atest::mci("set cd time format tmsf");
    EXPECT_EQ(atest::mci("status cd current track"), "2");
    EXPECT_EQ(atest::mci("status cd mode"), "playing");

    // A switch without a track number, or with one off the disc, only shows it.
    atest::mci("stop cd wait");
    for (std::vector<std::string> args :
         {std::vector<std::string>{"/CD"}, {"/CD", "-track", "09"}}) {
        EXPECT_EQ(run_second_copy(args), 0);
        for (int i = 0; i < 20; ++i) PlatformProcessEvents();
        EXPECT_TRUE(IsWindowVisible(g_cdPlayer.player)) << "not toggled away";
        EXPECT_EQ(atest::mci("status cd mode"), "stopped");
    }
    atest::set_cd_image("");
}

TEST(StartAssistant, TipsGoRoundAndTheLastShownIsRemembered) {
    Shell s;
    HWND dlg = CreateStartAssistant(s.frame);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(g_shell.startAssistant, dlg);
    SendMessage(dlg, WM_COMMAND, ASSISTANT_NEXTTIP, 0);  // 9 -> 10
    SendMessage(dlg, WM_COMMAND, ASSISTANT_NEXTTIP, 0);  // 10 -> 1
    SendMessage(dlg, WM_COMMAND, ASSISTANT_NEXTTIP, 0);  // 1 -> 2
    SendMessage(dlg, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_EQ(g_shell.startAssistant, nullptr);
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\StartUp\\StartTip", 0), 2);
    EXPECT_STREQ(RegGetString("Sonrel\\Settings\\Boolean\\StartAssistant", "?"), "0");

    dlg = CreateStartAssistant(s.frame);
    SendDlgItemMessage(dlg, ASSISTANT_DONTSHOW, BM_CLICK, 0, 0);
    DestroyWindow(dlg);
    EXPECT_EQ(RegGetWord("Sonrel\\Settings\\StartUp\\StartTip", 0), 3)
        << "opened with the next tip";
    EXPECT_STREQ(RegGetString("Sonrel\\Settings\\Boolean\\StartAssistant", "?"), "1");
}

TEST(StartAssistant, NewDocumentButtonAsksTheFrameForOne) {
    Shell s;
    HWND dlg = CreateStartAssistant(s.frame);
    ASSERT_TRUE(dlg);
    SendMessage(dlg, WM_COMMAND, ASSISTANT_NEW, 0);
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_NE(ActiveDocument(), nullptr);
}

TEST(StartAssistant, ExitButtonClosesTheProgram) {
    Shell s;
    HWND dlg = CreateStartAssistant(s.frame);
    ASSERT_TRUE(dlg);
    SendMessage(dlg, WM_COMMAND, ASSISTANT_EXIT, 0);
    ASSERT_TRUE(serve_until([&] { return !IsWindow(s.frame); }));
    EXPECT_FALSE(IsWindow(dlg)) << "the assistant goes with the frame";
}

TEST(StartAssistant, TheDisplayTipsCommandOpensIt) {
    Shell s;
    SendMessage(s.frame, WM_COMMAND, IDM_TIPS, 0);
    ASSERT_TRUE(g_shell.startAssistant);
    char caption[64] = {};
    GetWindowText(g_shell.startAssistant, caption, sizeof caption);
    EXPECT_STREQ(caption, "Welcome to Sonrel2003");
    EXPECT_EQ(GetParent(g_shell.startAssistant), s.frame);
}

TEST(Splash, TheSplashEndsByItselfAndOpensTheAssistantUnlessSwitchedOff) {
    Shell s;
    HWND splash = CreateSplash(g_shell.instance);
    ASSERT_TRUE(splash);
    ASSERT_TRUE(serve_until([&] { return !IsWindow(splash); }));
    EXPECT_TRUE(g_shell.startAssistant) << "no stored choice: the assistant opens";
    DestroyWindow(g_shell.startAssistant);

    write_setting("Sonrel\\Settings\\Boolean\\StartAssistant", "1");
    splash = CreateSplash(g_shell.instance);
    ASSERT_TRUE(serve_until([&] { return !IsWindow(splash); }));
    EXPECT_EQ(g_shell.startAssistant, nullptr);
}
