// Test hooks on the questions the layer asks: installing the hook, answering
// an open message box, choosing a file in a file dialog being asked.
#include <platform/testing.h>

#include "dialogs/dialogs_private.h"

extern "C" {

PlatformQuestionHook PlatformSetQuestionHook(PlatformQuestionHook hook, void* ctx) {
    return plat::dlg::set_question_hook(hook, ctx);
}

BOOL PlatformAnswerMessageBox(int id, PlatformQuestion* shown) {
    return plat::dlg::answer_message_box(id, shown) ? TRUE : FALSE;
}

HWND PlatformFileDialogSelect(const OPENFILENAME* ofn, LPCSTR path) {
    return plat::dlg::select_in_file_dialog(ofn, path);
}
}
