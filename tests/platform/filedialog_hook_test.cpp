// Open and save file dialogs answered through the question hook: what is
// asked, the record filled on OK, cancellation, a path too long for the
// buffer, and the added template panel with its hook procedure, which hears
// of the selected file and asks the dialog for its path.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using testing_support::QuestionRecorder;

constexpr int kPathField = 10;

const DIALOGITEM kPanelItems[] = {
    {"STATIC", "none", kPathField, 5, 5, 200, 8, SS_LEFT, 0},
};
const DIALOGTEMPLATE kPanel{
    nullptr, DS_CONTROL | WS_CHILD | DS_3DLOOK, 0, 0, 0, 220, 20, nullptr, 8, kPanelItems, 1};

struct HookLog {
    LPARAM init_param = 0;
    std::vector<UINT> notes;
    std::vector<std::string> paths;  // CDM_GETFILEPATH at each CDN_SELCHANGE
    bool destroyed = false;
};
HookLog g_log;

UINT_PTR CALLBACK panel_hook(HWND panel, UINT msg, WPARAM, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            g_log.init_param = lp;
            return TRUE;
        case WM_NOTIFY: {
            auto* n = reinterpret_cast<OFNOTIFY*>(lp);
            g_log.notes.push_back(n->hdr.code);
            if (n->hdr.code == CDN_SELCHANGE) {
                char buf[MAX_PATH];
                LRESULT len =
                    SendMessage(GetParent(panel), CDM_GETFILEPATH, sizeof buf, LPARAM(buf));
                if (len > 0) {
                    g_log.paths.push_back(buf);
                    SetDlgItemText(panel, kPathField, buf);
                }
            }
            return TRUE;
        }
        case WM_DESTROY:
            g_log.destroyed = true;
            return FALSE;
        default:
            return FALSE;
    }
}

const char kFilter[] = "WAVE files (*.WAV)\0*.wav;*.WAV\0All files\0*.*\0";

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log = HookLog{};
        PlatformAddData(GetModuleHandle(nullptr), RT_DIALOG_NAME, "TESTPANEL", &kPanel,
                        sizeof kPanel);
        std::memset(file, 0, sizeof file);
        ofn = OPENFILENAME{};
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFilter = kFilter;
        ofn.nFilterIndex = 2;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrInitialDir = "/start/folder";
        ofn.lpstrTitle = "Pick one";
        ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    }
    void with_panel() {
        ofn.hInstance = GetModuleHandle(nullptr);
        ofn.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
        ofn.lpfnHook = panel_hook;
        ofn.lpTemplateName = "TESTPANEL";
    }
    char file[64];
    OPENFILENAME ofn{};
};

TEST_F(FileDialogTest, OpenAsksWithTitleStartFolderFlagsAndRecord) {
    QuestionRecorder rec;
    const OPENFILENAME* seen = nullptr;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        seen = static_cast<const OPENFILENAME*>(q->data);
        std::strcpy(static_cast<OPENFILENAME*>(q->data)->lpstrFile, "/music/take.one.wav");
        return IDOK;
    };
    ASSERT_TRUE(GetOpenFileName(&ofn));
    ASSERT_EQ(rec.asked.size(), 1u);
    EXPECT_EQ(rec.asked[0].kind, "OpenFile");
    EXPECT_EQ(rec.asked[0].text, "/start/folder");
    EXPECT_EQ(rec.asked[0].caption, "Pick one");
    EXPECT_EQ(rec.asked[0].style, UINT(ofn.Flags));
    EXPECT_EQ(seen, &ofn);
    EXPECT_STREQ(file, "/music/take.one.wav");
    EXPECT_EQ(ofn.nFileOffset, 7);
    EXPECT_STREQ(file + ofn.nFileExtension, "wav");
    EXPECT_EQ(ofn.nFilterIndex, 2u) << "the hook kept the filter";
}

TEST_F(FileDialogTest, SaveAsksAsSaveAndStartsFromTheFileGiven) {
    QuestionRecorder rec;
    rec.on_ask = [](const PlatformQuestion* q) -> INT_PTR {
        auto* o = static_cast<OPENFILENAME*>(q->data);
        std::strcpy(o->lpstrFile, "/out/new");
        o->nFilterIndex = 1;
        return IDOK;
    };
    std::strcpy(file, "/out/old.wav");
    ASSERT_TRUE(GetSaveFileName(&ofn));
    EXPECT_EQ(rec.asked[0].kind, "SaveFile");
    EXPECT_EQ(rec.asked[0].text, "/out/old.wav");
    EXPECT_STREQ(file, "/out/new");
    EXPECT_EQ(ofn.nFileExtension, std::strlen("/out/new")) << "no extension: the end";
    EXPECT_EQ(ofn.nFilterIndex, 1u);
}

TEST_F(FileDialogTest, CancelLeavesFalse) {
    QuestionRecorder rec;
    rec.default_answer = 0;
    EXPECT_FALSE(GetOpenFileName(&ofn));
    rec.default_answer = IDCANCEL;
    EXPECT_FALSE(GetSaveFileName(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_EQ(rec.asked.size(), 2u);
}

TEST_F(FileDialogTest, AnswerThatPointsToAPathIsTaken) {
    QuestionRecorder rec;
    static const char chosen[] = "/answers/as/text.wav";
    rec.default_answer = reinterpret_cast<INT_PTR>(chosen);
    ASSERT_TRUE(GetSaveFileName(&ofn));
    EXPECT_STREQ(file, chosen);
}

TEST_F(FileDialogTest, PathLongerThanTheBufferFails) {
    QuestionRecorder rec;
    static const std::string longPath = "/" + std::string(100, 'x') + ".wav";
    rec.default_answer = reinterpret_cast<INT_PTR>(longPath.c_str());
    EXPECT_FALSE(GetOpenFileName(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), DWORD(FNERR_BUFFERTOOSMALL));
}

TEST_F(FileDialogTest, PanelHearsOfTheSelectionAndReadsThePathFromTheDialog) {
    with_panel();
    QuestionRecorder rec;
    std::string shown;
    bool panelVisible = true;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        HWND panel = PlatformFileDialogSelect(static_cast<OPENFILENAME*>(q->data), "/a/b.wav");
        EXPECT_NE(panel, nullptr);
        char buf[64];
        GetDlgItemText(panel, kPathField, buf, sizeof buf);
        shown = buf;
        panelVisible = IsWindowVisible(panel);
        return IDOK;
    };
    ASSERT_TRUE(GetOpenFileName(&ofn));
    EXPECT_EQ(g_log.init_param, LPARAM(&ofn));
    EXPECT_EQ(shown, "/a/b.wav");
    EXPECT_FALSE(panelVisible) << "nobody sees a dialog the hook answers";
    EXPECT_STREQ(file, "/a/b.wav");
    EXPECT_EQ(g_log.paths, std::vector<std::string>{"/a/b.wav"}) << "told once";
    ASSERT_FALSE(g_log.notes.empty());
    EXPECT_EQ(g_log.notes.front(), UINT(CDN_INITDONE));
    EXPECT_TRUE(g_log.destroyed);
}

TEST_F(FileDialogTest, PanelHearsOfAPathTheHookWroteBeforeTheDialogCloses) {
    with_panel();
    QuestionRecorder rec;
    rec.on_ask = [](const PlatformQuestion* q) -> INT_PTR {
        std::strcpy(static_cast<OPENFILENAME*>(q->data)->lpstrFile, "/c/d.wav");
        return IDOK;
    };
    ASSERT_TRUE(GetOpenFileName(&ofn));
    EXPECT_EQ(g_log.paths, std::vector<std::string>{"/c/d.wav"});
}

TEST_F(FileDialogTest, CancelledDialogTellsThePanelNothingOfAFile) {
    with_panel();
    QuestionRecorder rec;
    rec.default_answer = 0;
    EXPECT_FALSE(GetOpenFileName(&ofn));
    EXPECT_TRUE(g_log.paths.empty());
    EXPECT_TRUE(g_log.destroyed);
}

TEST(FileDialogSelect, OutsideADialogSelectsNothing) {
    OPENFILENAME ofn{};
    EXPECT_EQ(PlatformFileDialogSelect(&ofn, "/x"), nullptr);
}

}  // namespace
