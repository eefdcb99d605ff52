// Message boxes of the skin library over the application's message boxes:
// an icon by dialog type, buttons chosen from a set, an optional position.
#pragma once
#include "vcl/win.h"

#include <string>

namespace skin {

enum TMsgDlgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };

enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
};
using TMsgDlgButtons = unsigned;

// Where the next message box goes; -1 leaves it to the system. The dialog
// skinning moves a hooked box there while a call below runs.
extern int MessageBoxX;
extern int MessageBoxY;

// The caption of a dialog type when a box has no title of its own.
const char* DefaultDialogCaption(TMsgDlgType type);
// The MB_ flags of a box: its icon and the buttons that best match the set.
UINT MessageBoxFlags(TMsgDlgType type, TMsgDlgButtons buttons);

// Returns the button pressed (IDOK, IDYES, ...).
int ShowMessageDlg(const std::string& title, const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                   int x = -1, int y = -1, int helpCtx = 0);
int ShowMessageDlgShort(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx = 0);
void WarningBox(const std::string& msg);

}  // namespace skin
