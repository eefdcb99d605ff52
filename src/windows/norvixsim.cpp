#include <cstdlib>

#include "skin/windows/skinprovider.h"
#include "vcl/vcl.h"
#include "windows/windowset.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    vcl::Application->Initialize();
    vcl::Application->SetTitle("Kemru");
    CreateProgramForms();
    // A developer's switch: every window skinned by a provider of its own,
    // as the window hook will give them.
    if (std::getenv("NORVIX_FORM_PROVIDERS")) skin::GiveFormsProviders();
    vcl::Application->Run();
    return 0;
}
