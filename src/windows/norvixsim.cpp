#include "vcl/vcl.h"
#include "windows/windowset.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    vcl::Application->Initialize();
    vcl::Application->SetTitle("Kemru");
    CreateProgramForms();
    vcl::Application->Run();
    return 0;
}
