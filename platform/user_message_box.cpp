// user_message_box.cpp - MessageBoxA: the texts are taken in the code page of
// the machine's locale, handed to the backend also as UTF-8, and the box
// (which has only an OK button) answers IDOK once dismissed.
#include "platform/backend.h"
#include "platform/frame_trace.h"
#include "platform/settings.h"
#include "platform/state.h"

using namespace plat;

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const platform_backend &b = backend();
    // Windows' caption when none is given
    if (!caption) caption = "Error";
    if (!text) text = "";
    uint32_t code_page = code_page_of_locale(state.machine.locale_id);
    box_request box{caption, text, code_page_to_utf8(caption, code_page),
                    code_page_to_utf8(text, code_page), type, owner};
    trace_box(true, caption);
    b.message_box(box);
    trace_box(false, caption);
    return IDOK;
}
