// Reaching a dialog's controls by id: texts, numbers, check marks, messages.
#include <platform/platform.h>

#include <climits>
#include <cstdio>
#include <string>

namespace plat::dlg {

namespace {

std::string item_text(HWND dlg, int id) {
    HWND item = GetDlgItem(dlg, id);
    int n = item ? GetWindowTextLength(item) : 0;
    std::string s(size_t(n) + 1, '\0');
    if (item) GetWindowText(item, s.data(), n + 1);
    s.resize(size_t(n));
    return s;
}

// The leading decimal number of a text: spaces may come first, digits end at
// the first other character. False when there are no digits or they overflow.
bool parse_number(const std::string& s, bool isSigned, long long* out) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (isSigned && i < s.size() && s[i] == '-') {
        negative = true;
        ++i;
    }
    long long v = 0;
    size_t start = i;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > (long long)UINT_MAX) return false;
    }
    if (i == start) return false;
    v = negative ? -v : v;
    if (isSigned && (v > INT_MAX || v < INT_MIN)) return false;
    *out = v;
    return true;
}

}  // namespace

}  // namespace plat::dlg

using namespace plat::dlg;

extern "C" {

BOOL SetDlgItemText(HWND dlg, int id, LPCSTR text) {
    HWND item = GetDlgItem(dlg, id);
    return item ? SetWindowText(item, text) : FALSE;
}

UINT GetDlgItemText(HWND dlg, int id, LPSTR buf, int size) {
    HWND item = GetDlgItem(dlg, id);
    if (!item) {
        if (buf && size > 0) buf[0] = 0;
        return 0;
    }
    return UINT(GetWindowText(item, buf, size));
}

UINT GetDlgItemInt(HWND dlg, int id, BOOL* ok, BOOL isSigned) {
    long long v = 0;
    bool good = GetDlgItem(dlg, id) && parse_number(item_text(dlg, id), isSigned, &v);
    if (ok) *ok = good ? TRUE : FALSE;
    return good ? UINT(v) : 0;
}

BOOL SetDlgItemInt(HWND dlg, int id, UINT value, BOOL isSigned) {
    char buf[16];
    if (isSigned)
        std::snprintf(buf, sizeof buf, "%d", int(value));
    else
        std::snprintf(buf, sizeof buf, "%u", value);
    return SetDlgItemText(dlg, id, buf);
}

LRESULT SendDlgItemMessage(HWND dlg, int id, UINT msg, WPARAM wp, LPARAM lp) {
    HWND item = GetDlgItem(dlg, id);
    return item ? SendMessage(item, msg, wp, lp) : 0;
}

BOOL CheckDlgButton(HWND dlg, int id, UINT check) {
    HWND item = GetDlgItem(dlg, id);
    if (!item) return FALSE;
    SendMessage(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dlg, int id) {
    return UINT(SendDlgItemMessage(dlg, id, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dlg, int first, int last, int check) {
    bool any = false;
    for (int id = first; id <= last; ++id) {
        HWND item = GetDlgItem(dlg, id);
        if (!item) continue;
        any = true;
        SendMessage(item, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return any ? TRUE : FALSE;
}
}
