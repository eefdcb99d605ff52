// The end of the program while the online comparison still waits for a
// page, with the skin on: closed as a player closes it, the program ends by
// itself with no fault. A program of its own, which ends as the program
// does: through ExitProcess, with the page's thread still at work.
#include "support/http_server.h"
#include "support/program_fixture.h"
#include "support/scratch_folder.h"

#include <cstdio>

#include "skin/core/win32/skinmanager.h"
#include "windows/core/websites.h"
#include "windows/klan.h"
#include "windows/onlinesverkaunit.h"
#include "windows/opt.h"

using namespace vcl;

TEST(ProgramExit, EndsWithoutAFaultWhileTheComparisonStillWaitsForAPage) {
    testhttp::Server server;
    testhttp::Page never;  // answered long after the program has gone
    never.delayMs = 60000;
    for (int row = 201; row < 210; ++row) server.Set("/infos.php?gid=" + std::to_string(row) + "&notopnav=true", never);
    web::SetGameSite(server.Address());
    TForm1* main = programtest::StartProgram();
    for (const char* file : {"Ansi.dat", "unicode.dat"})
        scratch::WriteFile(programtest::InFolder(file), scratch::ReadFile(scratch::SourceData(file)));

    // The skin on (its windows then show the program's icon), the
    // comparison started and its first page asked for.
    vcltest::Click(Form13->CheckBox5);
    ASSERT_TRUE(main->sSkinManager1->SkinActive());
    onlinesverka->Show();
    vcltest::Click(onlinesverka->Button1);
    vcltest::Advance(1000);
    for (const DWORD start = GetTickCount(); server.Requests().empty() && GetTickCount() - start < 5000; Sleep(10))
        vcltest::Pump();
    ASSERT_FALSE(server.Requests().empty());
    ASSERT_TRUE(onlinesverka->WebBrowser1->Busy());

    // Closed: the window, then the main window and its notice.
    vcltest::Click(onlinesverka->Button3);
    vcltest::PostAction([] {
        vcltest::Advance(2000);
        vcltest::Click(Fo8->Button1);
    });
    main->Close();
    ASSERT_TRUE(Application->Terminated());
    Application->Run();  // the forms go as at the end of the program
    EXPECT_EQ(Application->ComponentCount(), 0);
    std::fflush(stdout);
    // As the program's main function ends: a fault from here on fails the test.
    ExitProcess(::testing::Test::HasFailure() ? 1 : 0);
}
