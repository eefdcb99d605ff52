#include "skin/core/win32/skindialogs.h"

#include "vcl/forms.h"

namespace skin {

int MessageBoxX = -1;
int MessageBoxY = -1;

const char* DefaultDialogCaption(TMsgDlgType type) {
    switch (type) {
        case mtWarning: return "Warning";
        case mtError: return "Error";
        case mtInformation: return "Information";
        case mtConfirmation: return "Confirm";
        default: return "";
    }
}

UINT MessageBoxFlags(TMsgDlgType type, TMsgDlgButtons buttons) {
    UINT icon = 0;
    switch (type) {
        case mtWarning: icon = MB_ICONWARNING; break;
        case mtError: icon = MB_ICONERROR; break;
        case mtInformation: icon = MB_ICONINFORMATION; break;
        case mtConfirmation: icon = MB_ICONQUESTION; break;
        default: break;
    }
    UINT kind = MB_OK;
    if (buttons & mbOK)
        kind = (buttons & mbCancel) ? MB_OKCANCEL : MB_OK;
    else if (buttons & (mbAbort | mbIgnore))
        kind = MB_ABORTRETRYIGNORE;
    else if (buttons & (mbYes | mbNo))
        kind = (buttons & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if (buttons & mbRetry)
        kind = MB_RETRYCANCEL;
    return icon | kind;
}

int ShowMessageDlg(const std::string& title, const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                   int x, int y, int /*helpCtx*/) {
    const std::string caption = title.empty() ? DefaultDialogCaption(type) : title;
    MessageBoxX = x;
    MessageBoxY = y;
    // The position holds for this box only, whatever the box does.
    struct ResetPosition {
        ~ResetPosition() { MessageBoxX = MessageBoxY = -1; }
    } reset;
    return vcl::Application->MessageBox(msg, caption, MessageBoxFlags(type, buttons));
}

int ShowMessageDlgShort(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) {
    return ShowMessageDlg("", msg, type, buttons, -1, -1, helpCtx);
}

void WarningBox(const std::string& msg) { ShowMessageDlgShort(msg, mtWarning, mbOK); }

}  // namespace skin
