// The commands that start programs outside the editor: what they start, found
// on PATH, and the message when there is nothing to start.
#include "programs.h"

#include <gtest/gtest.h>
#include <sonrel/ids.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;
using testing_support::QuestionRecorder;

namespace {

// PATH is one fresh folder holding the named stand-in programs for the life
// of the object; each writes its arguments to "<name>.ran" in that folder.
struct FakePrograms {
    std::string folder, saved;
    explicit FakePrograms(const std::vector<std::string>& names) {
        folder = testing_support::fresh_dir("programs");
        for (const std::string& name : names) {
            std::string path = folder + "/" + name;
            // Written aside and renamed, so a reader never sees a half-written file.
            std::string script = "#!/bin/sh\necho \"$@\" > '" + path + ".tmp' && /bin/mv '" + path +
                                 ".tmp' '" + path + ".ran'\n";
            testing_support::write_file(path,
                                        std::vector<unsigned char>(script.begin(), script.end()));
            chmod(path.c_str(), 0755);
        }
        saved = getenv("PATH") ? getenv("PATH") : "";
        setenv("PATH", folder.c_str(), 1);
    }
    ~FakePrograms() { setenv("PATH", saved.c_str(), 1); }
    // What the program was started with, once it has run ("" if it did not
    // within ten seconds: a loaded machine may be slow to start it).
    std::string ran(const std::string& name) const {
        std::string marker = folder + "/" + name + ".ran";
        for (int i = 0; i < 2000 && access(marker.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        auto bytes = testing_support::read_file(marker);
        return std::string(bytes.begin(), bytes.end());
    }
};

}  // namespace

TEST(Programs, VolumeControlStartsTheFirstMixerFoundOrSaysThereIsNone) {
    struct Case {
        std::vector<std::string> installed;
        std::string started, args;
    };
    const Case cases[] = {
        {{"pavucontrol", "pwvucontrol"}, "pavucontrol", "\n"},
        {{"pwvucontrol"}, "pwvucontrol", "\n"},
        {{"gnome-control-center", "xfce4-mixer"}, "gnome-control-center", "sound\n"},
        {{"xfce4-mixer"}, "xfce4-mixer", "\n"},
    };
    Shell s;
    for (const Case& c : cases) {
        FakePrograms fake(c.installed);
        QuestionRecorder rec;
        command(s.frame, IDM_VOLUMECONTROL);
        EXPECT_TRUE(rec.asked.empty()) << c.started;
        EXPECT_EQ(fake.ran(c.started), c.args) << c.started;
    }
    FakePrograms none({});
    QuestionRecorder rec;
    command(s.frame, IDM_VOLUMECONTROL);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text.rfind("No volume control was found.", 0), 0u) << rec.asked[0].text;
    EXPECT_NE(rec.asked[0].text.find("pavucontrol"), std::string::npos);
}

TEST(Programs, SoundToolsStartTheFirstFoundOrSayNeitherIsThere) {
    Shell s;
    {
        FakePrograms fake({"wavedesk.exe"});
        QuestionRecorder rec;
        command(s.frame, IDM_TONBOX);
        EXPECT_TRUE(rec.asked.empty());
        EXPECT_EQ(fake.ran("wavedesk.exe"), "\n")
            << "the second is tried when the first is missing";
    }
    FakePrograms none({});
    QuestionRecorder rec;
    command(s.frame, IDM_TONBOX);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].text, "Neither TonboxCS.exe nor wavedesk.exe was found.");
}

TEST(Programs, HomepageOpensTheProgramsOwnDocumentation) {
    Shell s;
    std::string expected = FirstExistingFile(DocumentationPlaces());
    ASSERT_FALSE(expected.empty()) << "the source tree's README.md is found";
    EXPECT_EQ(expected.substr(expected.size() - 9), "README.md");
    {
        FakePrograms fake({"xdg-open"});
        QuestionRecorder rec;
        command(s.frame, IDM_HOMEPAGE);
        EXPECT_TRUE(rec.asked.empty());
        EXPECT_EQ(fake.ran("xdg-open"), expected + "\n");
    }
    FakePrograms none({});
    QuestionRecorder rec;
    command(s.frame, IDM_HOMEPAGE);
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_NE(rec.asked[0].text.find("xdg-open"), std::string::npos) << rec.asked[0].text;
}

TEST(Programs, TheFirstExistingPlaceIsTaken) {
    std::string dir = testing_support::fresh_dir("places");
    std::string a = dir + "/a.md", b = dir + "/b.md";
    testing_support::write_file(b, {'b'});
    EXPECT_EQ(FirstExistingFile({a, dir, b}), b) << "a missing file and a folder are passed over";
    testing_support::write_file(a, {'a'});
    EXPECT_EQ(FirstExistingFile({a, b}), a);
    EXPECT_EQ(FirstExistingFile({dir + "/none"}), "");
}
