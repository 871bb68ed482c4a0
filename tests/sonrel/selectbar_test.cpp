// The select bar: its fields, the zoom of the active document, the
// clipboard field's two states, the drop of the clipboard onto a document,
// and its menus.
#include "selectbar.h"

#include <gtest/gtest.h>
#include <platform/testing.h>
#include <sonrel/blocks.h>
#include <sonrel/ids.h>
#include <sonrel/messages.h>

#include <string>
#include <vector>

#include "shell_fixture.h"
#include "test_support.h"

using namespace shelltest;
using testing_support::QuestionRecorder;

namespace {

// --- Fields and texts -------------------------------------------------------

struct FieldCase {
    int x;
    SelectField field;
};

class SelectFields : public ::testing::TestWithParam<FieldCase> {};

TEST_P(SelectFields, OnABarOfWidth1000) {
    EXPECT_EQ(SelectFieldAt(GetParam().x, 1000), GetParam().field) << "x " << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(
    Edges, SelectFields,
    ::testing::Values(FieldCase{0, FIELD_RECENT}, FieldCase{79, FIELD_RECENT},
                      FieldCase{80, FIELD_NONE}, FieldCase{81, FIELD_EXTENSIONS},
                      FieldCase{171, FIELD_WINDOWS}, FieldCase{275, FIELD_NONE},
                      FieldCase{500, FIELD_NONE}, FieldCase{681, FIELD_CLIPBOARD},
                      FieldCase{779, FIELD_CLIPBOARD}, FieldCase{780, FIELD_NONE},
                      FieldCase{790, FIELD_INFO}, FieldCase{808, FIELD_ZOOMIN},
                      FieldCase{850, FIELD_ZOOM}, FieldCase{890, FIELD_ZOOMOUT},
                      FieldCase{950, FIELD_NONE}));

struct ClipTextCase {
    long long bytes;
    const char* temp;
    std::vector<std::string> texts;
};

class ClipboardText : public ::testing::TestWithParam<ClipTextCase> {};

TEST_P(ClipboardText, ShowsSizeAndWhereTheFileLives) {
    EXPECT_EQ(ClipboardFieldTexts(GetParam().bytes, GetParam().temp), GetParam().texts);
}

using Texts = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    States, ClipboardText,
    ::testing::Values(
        ClipTextCase{-1, "/tmp/sonrel-1000/", Texts{"Clipboard"}},
        ClipTextCase{10, "/tmp/sonrel-1000/", Texts{"Clipboard"}},
        ClipTextCase{11, "/tmp/sonrel-1000/", Texts{"0 KB  (on /tmp)", "0 KB (/tmp)", "0 KB"}},
        ClipTextCase{2048, "/tmp/sonrel-1000/", Texts{"2 KB  (on /tmp)", "2 KB (/tmp)", "2 KB"}},
        ClipTextCase{2047 + 3 * 1024, "/run/user/1000/sonrel/",
                     Texts{"4 KB  (on /run)", "4 KB (/run)", "4 KB"}},
        ClipTextCase{6LL * 1024 * 1024 * 1024, "/data/",
                     Texts{"6291456 KB  (on /data)", "6291456 KB (/data)", "6291456 KB"}}));

struct ZoomTextCase {
    DWORD zoom;
    const char* text;
};

class ZoomField : public ::testing::TestWithParam<ZoomTextCase> {};

TEST_P(ZoomField, ShowsTheFactor) {
    EXPECT_EQ(ZoomText(GetParam().zoom), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Factors, ZoomField,
                         ::testing::Values(ZoomTextCase{0, "Whole File"}, ZoomTextCase{1, "1 x"},
                                           ZoomTextCase{1500, "1500 x"}));

// --- Drop offsets -------------------------------------------------------------

struct DocDropCase {
    const char* what;
    int x, w;
    DWORD zoom;
    LONG viewStart;
    DWORD dataSize;
    WORD bits;
    DWORD offset;
};

class DocumentDrop : public ::testing::TestWithParam<DocDropCase> {};

TEST_P(DocumentDrop, LandsOnTheByteUnderThePoint) {
    const DocDropCase& c = GetParam();
    EXPECT_EQ(DocumentDropOffset(c.x, c.w, c.zoom, c.viewStart, c.dataSize, c.bits), c.offset)
        << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DocumentDrop,
    ::testing::Values(
        DocDropCase{"zoom 1, 8-bit: x less 3, rounded to 4", 53, 400, 1, 0, 4000, 8, 48},
        DocDropCase{"the view start is added", 53, 400, 1, 100, 4000, 8, 148},
        DocDropCase{"16-bit doubles the sample values", 53, 400, 2, 10, 40000, 16, 220},
        DocDropCase{"left of the wave counts as its first column", 0, 400, 5, 0, 4000, 8, 0},
        DocDropCase{"whole file: the values per column", 103, 406, 0, 0, 8000, 8, 2000},
        DocDropCase{"whole file 16-bit", 103, 406, 0, 0, 16000, 16, 4000},
        DocDropCase{"never beyond the data", 390, 400, 1000, 0, 4002, 8, 4000},
        DocDropCase{"a window too narrow for a wave", 5, 4, 0, 0, 4000, 8, 0}));

struct PreviewDropCase {
    int x, w;
    DWORD dataSize;
    DWORD offset;
};

class PreviewDrop : public ::testing::TestWithParam<PreviewDropCase> {};

TEST_P(PreviewDrop, LandsOnTheByteOfTheColumn) {
    const PreviewDropCase& c = GetParam();
    EXPECT_EQ(PreviewDropOffset(c.x, c.w, c.dataSize), c.offset) << "x " << c.x;
}

INSTANTIATE_TEST_SUITE_P(Cases, PreviewDrop,
                         ::testing::Values(PreviewDropCase{20, 426, 4000, 0},
                                           PreviewDropCase{5, 426, 4000, 0},
                                           PreviewDropCase{120, 426, 4000, 1000},
                                           PreviewDropCase{121, 426, 4000, 1008},
                                           PreviewDropCase{1000, 426, 4000, 4000},
                                           PreviewDropCase{400, 426, 0xFFFFFFF0u, 0xF33332D8u}));

// --- The bar in a frame -------------------------------------------------------

int bar_width() {
    RECT rc{};
    GetClientRect(g_shell.selectBar, &rc);
    return rc.right;
}

void press(int x, UINT msg = WM_LBUTTONDOWN) {
    SendMessage(g_shell.selectBar, msg, 0, MAKELPARAM(x, 8));
}

DWORD zoom_of(HWND doc) {
    auto* p = static_cast<PositionBlock*>(GlobalLock(GetProp(doc, PROP_POSITION)));
    DWORD z = p ? p->zoom : 0xDEAD;
    GlobalUnlock(GetProp(doc, PROP_POSITION));
    return z;
}

void set_zoom(HWND doc, DWORD zoom) {
    auto* p = static_cast<PositionBlock*>(GlobalLock(GetProp(doc, PROP_POSITION)));
    p->zoom = zoom;
    GlobalUnlock(GetProp(doc, PROP_POSITION));
}

enum class Press { ZoomIn, ZoomOut, DoubleIn, DoubleOut };

struct ZoomCase {
    const char* what;
    DWORD from;
    Press press;
    DWORD to;
};

class ZoomButtons : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(ZoomButtons, ChangeTheActiveDocumentsZoom) {
    const ZoomCase& c = GetParam();
    Shell s;
    HWND doc = open_document(s.frame, write_wave("zoom.wav", std::vector<short>(3000, 7)));
    ASSERT_TRUE(doc);
    set_zoom(doc, c.from);
    const int R = bar_width();
    switch (c.press) {
        case Press::ZoomIn:
            press(R - 192);
            break;
        case Press::ZoomOut:
            press(R - 108);
            break;
        case Press::DoubleIn:
            press(R - 192, WM_LBUTTONDBLCLK);
            break;
        case Press::DoubleOut:
            press(R - 108, WM_LBUTTONDBLCLK);
            break;
    }
    EXPECT_EQ(zoom_of(doc), c.to) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZoomButtons,
    ::testing::Values(ZoomCase{"zoom in from the whole file gives 1", 0, Press::ZoomIn, 1},
                      ZoomCase{"zoom in adds one", 7, Press::ZoomIn, 8},
                      ZoomCase{"zoom out takes one", 7, Press::ZoomOut, 6},
                      ZoomCase{"zoom out stops at 1", 1, Press::ZoomOut, 1},
                      ZoomCase{"zoom out leaves the whole file", 0, Press::ZoomOut, 0},
                      ZoomCase{"a double click in adds ten", 7, Press::DoubleIn, 17},
                      ZoomCase{"a double click out takes ten", 30, Press::DoubleOut, 20},
                      ZoomCase{"a double click out below 11 gives 1", 10, Press::DoubleOut, 1}));

class ZoomMenu : public ::testing::TestWithParam<std::pair<UINT, DWORD>> {};

TEST_P(ZoomMenu, StoresTheChosenFactor) {
    Shell s;
    HWND doc = open_document(s.frame, write_wave("menu.wav", std::vector<short>(3000, 7)));
    ASSERT_TRUE(doc);
    set_zoom(doc, 3);
    QuestionRecorder rec;
    std::string items;
    rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
        items = q->text ? q->text : "";
        return GetParam().first;
    };
    press(bar_width() - 150);
    ASSERT_TRUE(serve_until([&] { return zoom_of(doc) == GetParam().second; }))
        << "command " << GetParam().first << " gave " << zoom_of(doc);
    EXPECT_NE(items.find("10001\tOriginal Size"), std::string::npos) << items;
    EXPECT_NE(items.find("10007\t2.000 x"), std::string::npos) << items;
    EXPECT_NE(items.find("10008\tWhole File"), std::string::npos) << items;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ZoomMenu,
    ::testing::Values(std::pair<UINT, DWORD>{10001, 1}, std::pair<UINT, DWORD>{10002, 50},
                      std::pair<UINT, DWORD>{10003, 100}, std::pair<UINT, DWORD>{10004, 500},
                      std::pair<UINT, DWORD>{10005, 1000}, std::pair<UINT, DWORD>{10006, 1500},
                      std::pair<UINT, DWORD>{10007, 2000}, std::pair<UINT, DWORD>{10008, 0}));

TEST(SelectBar, ZoomFieldsDoNothingWithoutADocument) {
    Shell s;
    QuestionRecorder rec;
    for (int x : {bar_width() - 192, bar_width() - 150, bar_width() - 108, bar_width() - 210})
        press(x);
    EXPECT_TRUE(rec.asked.empty()) << "no menu and no dialog";
}

void write_clipboard(size_t bytes) {
    testing_support::write_file(testing_support::temp_path("SnrCLIP.WAV"),
                                std::vector<unsigned char>(bytes, 1));
}

TEST(ClipboardField, ShowsTheEmptyAndTheFullPicture) {
    Shell s;
    const int R = bar_width();
    const COLORREF emptyPaper = RGB(0xE8, 0xE8, 0xE8), fullLine = RGB(0x18, 0x50, 0xA8);
    for (size_t bytes : {size_t(0), size_t(10), size_t(2048)}) {
        if (bytes)
            write_clipboard(bytes);
        else
            DeleteFile(testing_support::temp_path("SnrCLIP.WAV").c_str());
        EXPECT_EQ(ClipboardFileSize(), bytes ? (long long)bytes : -1);
        InvalidateRect(g_shell.selectBar, nullptr, TRUE);
        UpdateWindow(g_shell.selectBar);
        if (bytes > 10)
            EXPECT_EQ(PlatformWindowPixel(g_shell.selectBar, R - 316 + 5, 4 + 4), fullLine);
        else
            EXPECT_EQ(PlatformWindowPixel(g_shell.selectBar, R - 317 + 5, 4 + 4), emptyPaper)
                << bytes << " bytes";
    }
    DeleteFile(testing_support::temp_path("SnrCLIP.WAV").c_str());
}

// A point of a window in the select bar's client coordinates.
LPARAM in_bar(HWND w, int x, int y) {
    POINT pt{x, y};
    ClientToScreen(w, &pt);
    ScreenToClient(g_shell.selectBar, &pt);
    return MAKELPARAM(pt.x, pt.y);
}

struct DropCase {
    const char* what;
    UINT keys;
    WORD sameAs;        // the command that, at the same point, gives the same samples
    size_t bytesAfter;  // of the 16-bit document of 1000 values
};

class ClipboardDrop : public ::testing::TestWithParam<DropCase> {};

TEST_P(ClipboardDrop, OnADocumentPastesOrWithCtrlMixes) {
    const DropCase& c = GetParam();
    std::vector<short> values(1000);
    for (size_t i = 0; i < values.size(); ++i) values[i] = short(i * 7);
    std::string clip = write_wave("clip.wav", std::vector<short>(200, 1000));
    std::string target = write_wave("target.wav", values);
    Shell s;
    QuestionRecorder rec;
    ASSERT_TRUE(CopyFile(clip.c_str(), testing_support::temp_path("SnrCLIP.WAV").c_str(), FALSE));
    HWND reference = open_document(s.frame, target);
    ASSERT_TRUE(reference);
    set_mark(reference, 100, 0);
    command(s.frame, c.sameAs);
    ASSERT_TRUE(serve_until([] { return operations_done(); }));

    HWND doc = open_document(s.frame, target);
    ASSERT_TRUE(doc);
    SendMessage(g_shell.mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(doc), 0);
    set_zoom(doc, 1);
    set_mark(doc, 600, 40);
    press(bar_width() - 270);
    // Column 53 less 3 at zoom 1 and view start 0: value 50, byte 100.
    SendMessage(g_shell.selectBar, WM_LBUTTONUP, c.keys, in_bar(doc, 53, 40));
    ASSERT_TRUE(serve_until([] { return operations_done(); }));
    EXPECT_EQ(wave_bytes(doc).size(), c.bytesAfter) << c.what;
    EXPECT_EQ(wave_bytes(doc), wave_bytes(reference)) << c.what;
    EXPECT_TRUE(rec.asked.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, ClipboardDrop,
                         ::testing::Values(DropCase{"a plain drop pastes", 0, IDM_PASTE, 2400},
                                           DropCase{"with Ctrl it mixes", MK_CONTROL, IDM_MIX,
                                                    2000}));

TEST(ClipboardDragging, NeedsADocumentAndAClipboardAndEndsOnRelease) {
    Shell s;
    QuestionRecorder rec;
    DeleteFile(testing_support::temp_path("SnrCLIP.WAV").c_str());
    HWND doc = open_document(s.frame, write_wave("drag.wav", std::vector<short>(100, 1)));
    ASSERT_TRUE(doc);
    press(bar_width() - 270);
    EXPECT_NE(GetCapture(), g_shell.selectBar) << "an empty clipboard cannot be dragged";
    write_clipboard(2048);
    press(bar_width() - 270);
    EXPECT_EQ(GetCapture(), g_shell.selectBar);
    RECT fb{};
    GetClientRect(g_shell.funcBar, &fb);
    SendMessage(g_shell.selectBar, WM_LBUTTONUP, 0, in_bar(g_shell.funcBar, 25, fb.bottom / 2));
    EXPECT_NE(GetCapture(), g_shell.selectBar);
    ASSERT_TRUE(serve_until([] { return operations_done(); }));
    EXPECT_EQ(wave_bytes(doc).size(), 200u) << "a drop on nothing pastes nothing";
    EXPECT_TRUE(rec.asked.empty());
    DeleteFile(testing_support::temp_path("SnrCLIP.WAV").c_str());
}

TEST(SelectBarMenus, ClipboardRecentAndContextMenusSendTheirCommandsToTheFrame) {
    Shell s;
    write_setting("Sonrel\\RecentFiles\\File1", "/nowhere/first.wav");
    struct Case {
        int x;
        UINT msg;
        UINT answer;
        const char* item;
    };
    const int R = bar_width();
    const Case cases[] = {
        {R - 270, WM_LBUTTONUP, IDM_CLIPINFO, "310\tInformation..."},
        {R - 270, WM_LBUTTONUP, IDM_CLIPEXPORT, "308\tExport To File..."},
        {30, WM_LBUTTONDOWN, 3001, "3001\t&1 /nowhere/first.wav"},
        {200, WM_RBUTTONUP, IDM_OPTIONS, "&Options..."},
    };
    for (const Case& c : cases) {
        QuestionRecorder rec;
        std::string items;
        rec.on_ask = [&](const PlatformQuestion* q) -> INT_PTR {
            if (std::string(q->kind) != "PopupMenu") return 0;
            items = q->text ? q->text : "";
            return c.answer;
        };
        CommandSpy spy(s.frame);
        SendMessage(g_shell.selectBar, c.msg, 0, MAKELPARAM(c.x, 8));
        serve_until([&] { return !spy.commands.empty(); });
        EXPECT_EQ(spy.commands, std::vector<UINT>{c.answer}) << c.item;
        EXPECT_NE(items.find(c.item), std::string::npos) << items;
    }
}

TEST(SelectBarTooltip, CoversTheRecentFilesField) {
    Shell s;
    char text[128] = {};
    ASSERT_TRUE(PlatformShowToolTip(g_shell.selectBar, 30, 8, text, sizeof text));
    EXPECT_STREQ(text, "Eine der zuletzt benutzten Dateien laden");
    EXPECT_FALSE(PlatformShowToolTip(g_shell.selectBar, 120, 8, text, sizeof text));
}

}  // namespace

namespace {

HCURSOR named(const char* name) {
    return LoadCursor(g_shell.instance, name);
}

TEST(ClipboardCursor, ShowsWhatTheDropWouldDoAndFollowsCtrl) {
    Shell s;
    QuestionRecorder rec;
    write_clipboard(2048);
    HWND doc = open_document(s.frame, write_wave("cursor.wav", std::vector<short>(500, 1)));
    ASSERT_TRUE(doc);
    const int R = bar_width();
    PlatformSimulateMouse(g_shell.selectBar, WM_MOUSEMOVE, R - 270, 8, 0);
    EXPECT_EQ(GetCursor(), named("DRAGFROMCURSOR")) << "over a clipboard that can be dragged";
    PlatformSimulateMouse(g_shell.selectBar, WM_MOUSEMOVE, 300, 8, 0);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));

    press(R - 270);
    ASSERT_EQ(GetCapture(), g_shell.selectBar);
    PlatformSimulateMouse(doc, WM_MOUSEMOVE, 40, 40, 0);
    EXPECT_EQ(GetCursor(), named("DRAGCURSOR")) << "over a document";
    PlatformSetKeyState(VK_CONTROL, TRUE);
    SendMessage(g_shell.selectBar, WM_KEYDOWN, VK_CONTROL, 0);
    EXPECT_EQ(GetCursor(), named("DRAGCURSORMIX")) << "Ctrl pressed over a document";
    PlatformSetKeyState(VK_CONTROL, FALSE);
    SendMessage(g_shell.selectBar, WM_KEYUP, VK_CONTROL, 0);
    EXPECT_EQ(GetCursor(), named("DRAGCURSOR")) << "Ctrl released";
    PlatformSimulateMouse(g_shell.preview, WM_MOUSEMOVE, 60, 30, MK_CONTROL);
    EXPECT_EQ(GetCursor(), named("DRAGCURSORMIX")) << "over the preview bar with Ctrl";
    PlatformSimulateMouse(g_shell.funcBar, WM_MOUSEMOVE, 25, 200, 0);
    EXPECT_EQ(GetCursor(), named("NODROPCURSOR")) << "over nothing that takes a drop";
    ReleaseCapture();
    DeleteFile(testing_support::temp_path("SnrCLIP.WAV").c_str());
}

}  // namespace
