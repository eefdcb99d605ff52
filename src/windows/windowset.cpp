#include "windows/windowset.h"

#include "skin/windows/dialoghook.h"
#include "vcl/vcl.h"
#include "windows/analis.h"
#include "windows/dataform.h"
#include "windows/defteh.h"
#include "windows/delunit.h"
#include "windows/editor.h"
#include "windows/editskr.h"
#include "windows/form_crators.h"
#include "windows/hostpaths.h"
#include "windows/inputname1.h"
#include "windows/inputname2.h"
#include "windows/klan.h"
#include "windows/loadshbl1.h"
#include "windows/loadshbl2.h"
#include "windows/log.h"
#include "windows/mainteme.h"
#include "windows/medaleditor.h"
#include "windows/obno.h"
#include "windows/obnov.h"
#include "windows/oficers.h"
#include "windows/onlinesverkaunit.h"
#include "windows/open.h"
#include "windows/opt.h"
#include "windows/podbor.h"
#include "windows/podbor_dialog.h"
#include "windows/podborprunit.h"
#include "windows/podborresunit.h"
#include "windows/shabln.h"
#include "windows/stat.h"
#include "windows/tehno.h"
#include "windows/unitsinfo.h"
#include "windows/wait.h"

// The order matters: the main window comes first; the database window
// loads the table and the main window's captions; the options window
// reads opt.dat before any start timer runs. A file that is missing or
// damaged is told in a message box while the windows are being made; the
// start timers wait for the whole set, as their handlers reach windows
// made after their own, and then count from its end in their fixed order.
void CreateProgramForms() {
    using vcl::Application;
    InstallHostPaths();
    // Forms, dialogs and menus take the skin through the window hook.
    skin::InitSkinnedWindows();
    vcl::TTimerHold startTimersWait;
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->CreateForm(Form4);
    Application->CreateForm(Form3);
    Application->CreateForm(Form5);
    Application->CreateForm(Form7);
    Application->CreateForm(Form10);
    Application->CreateForm(Form11);
    Application->CreateForm(Form12);
    Application->CreateForm(Form13);
    Application->CreateForm(Form14);
    Application->CreateForm(Form15);
    Application->CreateForm(Form16);
    Application->CreateForm(Form17);
    Application->CreateForm(Form18);
    Application->CreateForm(Form20);
    Application->CreateForm(Form21);
    Application->CreateForm(Fo8);
    Application->CreateForm(form911);
    Application->CreateForm(infoform);
    Application->CreateForm(Form26);
    Application->CreateForm(Form27);
    Application->CreateForm(formcreators);
    Application->CreateForm(onlinesverka);
    Application->CreateForm(poisk_obnov);
    Application->CreateForm(obnovl);
    Application->CreateForm(podborform);
    Application->CreateForm(Form22);
    Application->CreateForm(podborpr);
    Application->CreateForm(podborres);
}
