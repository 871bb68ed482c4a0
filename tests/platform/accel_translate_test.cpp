// Accelerator tables: the program's table turns key presses with exactly the
// right modifiers into WM_COMMAND, after WM_INITMENU when the window has a menu.
#include <gtest/gtest.h>
#include <platform/testing.h>

#include "window_test_log.h"

using wtest::log;

namespace {

const ACCEL kTable[] = {
    {FVIRTKEY | FCONTROL, 'S', 103},     {FVIRTKEY | FCONTROL, VK_INSERT, 302},
    {FVIRTKEY | FSHIFT, VK_INSERT, 303}, {FVIRTKEY | FCONTROL | FSHIFT, VK_INSERT, 304},
    {FVIRTKEY, VK_DELETE, 305},          {FVIRTKEY | FSHIFT, VK_DELETE, 306},
    {FVIRTKEY | FSHIFT, VK_F4, 701},     {FVIRTKEY | FCONTROL, VK_ADD, 707},
    {FVIRTKEY | FALT, 'Q', 888},         {0, 'k', 555},
};

class Accelerators : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformAddData(nullptr, "ACCELERATORS", "TESTACCS", kTable, sizeof(kTable));
        accel = LoadAccelerators(nullptr, "TESTACCS");
        hwnd = wtest::top_window();
        PlatformProcessEvents();
        log().clear();
    }
    void TearDown() override {
        for (int vk : {VK_CONTROL, VK_SHIFT, VK_MENU}) PlatformSetKeyState(vk, FALSE);
        DestroyAcceleratorTable(accel);
        DestroyWindow(hwnd);
        PlatformProcessEvents();
    }
    // The command a key press gives with the modifiers held, or 0.
    int command_for(int vk, std::initializer_list<int> held, UINT msg = WM_KEYDOWN) {
        for (int m : {VK_CONTROL, VK_SHIFT, VK_MENU}) PlatformSetKeyState(m, FALSE);
        for (int m : held) PlatformSetKeyState(m, TRUE);
        log().clear();
        MSG m{hwnd, msg, WPARAM(vk), 1, 0, {0, 0}};
        int taken = TranslateAccelerator(hwnd, accel, &m);
        auto cmds = wtest::of(WM_COMMAND, hwnd);
        EXPECT_EQ(cmds.size(), taken ? 1u : 0u);
        if (!taken || cmds.empty()) return 0;
        EXPECT_EQ(HIWORD(cmds[0].wp), 1);
        EXPECT_EQ(cmds[0].lp, 0);
        return LOWORD(cmds[0].wp);
    }
    HACCEL accel = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(Accelerators, ModifiersMustMatchExactly) {
    ASSERT_TRUE(accel);
    EXPECT_EQ(command_for('S', {VK_CONTROL}), 103);
    EXPECT_EQ(command_for('S', {}), 0);
    EXPECT_EQ(command_for('S', {VK_CONTROL, VK_SHIFT}), 0);
    EXPECT_EQ(command_for(VK_DELETE, {}), 305);
    EXPECT_EQ(command_for(VK_DELETE, {VK_SHIFT}), 306);
    EXPECT_EQ(command_for(VK_INSERT, {VK_CONTROL}), 302);
    EXPECT_EQ(command_for(VK_INSERT, {VK_SHIFT}), 303);
    EXPECT_EQ(command_for(VK_INSERT, {VK_CONTROL, VK_SHIFT}), 304);
    EXPECT_EQ(command_for(VK_F4, {VK_SHIFT}), 701);
    EXPECT_EQ(command_for(VK_ADD, {VK_CONTROL}), 707);
    EXPECT_EQ(command_for('Q', {VK_MENU}, WM_SYSKEYDOWN), 888);
    EXPECT_EQ(command_for('Q', {}), 0);
}

TEST_F(Accelerators, OnlyKeyPressesOfTheRightKindCount) {
    EXPECT_EQ(command_for(VK_DELETE, {}, WM_KEYUP), 0);
    EXPECT_EQ(command_for('k', {}, WM_CHAR), 555);
    EXPECT_EQ(command_for('K', {}, WM_CHAR), 0);
    EXPECT_EQ(command_for('k', {}, WM_KEYDOWN), 0);
}

TEST_F(Accelerators, WindowWithAMenuIsToldBeforeTheCommand) {
    HMENU bar = CreateMenu();
    AppendMenu(bar, MF_STRING, 103, "&Save");
    SetMenu(hwnd, bar);
    EXPECT_EQ(command_for('S', {VK_CONTROL}), 103);
    EXPECT_EQ(wtest::sequence(hwnd, {WM_INITMENU, WM_COMMAND}),
              (std::vector<UINT>{WM_INITMENU, WM_COMMAND}));
    EXPECT_EQ(wtest::of(WM_INITMENU, hwnd)[0].wp, WPARAM(bar));
    SetMenu(hwnd, nullptr);
    DestroyMenu(bar);
}

TEST_F(Accelerators, KeysTypedOnTheWindowAreTranslatedFromItsQueue) {
    ASSERT_TRUE(PlatformSimulateKey(hwnd, VK_CONTROL, TRUE, FALSE));
    ASSERT_TRUE(PlatformSimulateKey(hwnd, 'S', TRUE, FALSE));
    ASSERT_TRUE(PlatformSimulateKey(hwnd, 'S', FALSE, FALSE));
    ASSERT_TRUE(PlatformSimulateKey(hwnd, VK_CONTROL, FALSE, FALSE));
    ASSERT_TRUE(PlatformSimulateKey(hwnd, VK_SHIFT, TRUE, FALSE));
    ASSERT_TRUE(PlatformSimulateKey(hwnd, VK_DELETE, TRUE, FALSE));
    PlatformSetKeyState(VK_SHIFT, FALSE);
    std::vector<int> commands;
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        // The key state as it was when the message was made.
        if (m.message == WM_KEYDOWN || m.message == WM_KEYUP)
            if (m.wParam == VK_CONTROL || m.wParam == VK_SHIFT)
                PlatformSetKeyState(int(m.wParam), m.message == WM_KEYDOWN);
        log().clear();
        if (TranslateAccelerator(hwnd, accel, &m))
            commands.push_back(LOWORD(wtest::of(WM_COMMAND, hwnd).at(0).wp));
    }
    EXPECT_EQ(commands, (std::vector<int>{103, 306}));
}

TEST_F(Accelerators, PlusOnTheMainKeyboardIsNotThePadsPlus) {
    std::vector<WPARAM> keys;
    for (int vk : {VK_OEM_PLUS, VK_ADD, VK_OEM_MINUS, VK_SUBTRACT}) {
        ASSERT_TRUE(PlatformSimulateKey(hwnd, vk, TRUE, FALSE));
        ASSERT_TRUE(PlatformSimulateKey(hwnd, vk, FALSE, FALSE));
    }
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message == WM_KEYDOWN) keys.push_back(m.wParam);
    EXPECT_EQ(keys, (std::vector<WPARAM>{VK_OEM_PLUS, VK_ADD, VK_OEM_MINUS, VK_SUBTRACT}));
    EXPECT_EQ(command_for(VK_OEM_PLUS, {VK_CONTROL}), 0);
    EXPECT_EQ(command_for(VK_ADD, {VK_CONTROL}), 707);
}

TEST(AcceleratorTables, UnknownTablesAndNamesTranslateNothing) {
    EXPECT_EQ(LoadAccelerators(nullptr, "NOSUCHTABLE"), nullptr);
    HACCEL made = CreateAcceleratorTable(kTable, 2);
    ASSERT_TRUE(made);
    EXPECT_TRUE(DestroyAcceleratorTable(made));
    EXPECT_FALSE(DestroyAcceleratorTable(made));
    MSG m{nullptr, WM_KEYDOWN, 'S', 0, 0, {0, 0}};
    EXPECT_EQ(TranslateAccelerator(nullptr, made, &m), 0);
}

}  // namespace
