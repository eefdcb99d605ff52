// Paths the program builds from its working folder (logs, cords.ini) reach
// the host's files on any drive and in any folder name.
#include "vcl/win.h"
#include "gtest_windows.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "rtl/encoding.h"
#include "rtl/textfile.h"
#include "vcl/inifiles.h"
#include "vcl/wintext.h"
#include "windows/hostpaths.h"

namespace {

bool HostFileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

TEST(HostPaths, AFolderOnDriveCWithACyrillicNameGetsItsLogsAndPositions) {
    const char* prefix = std::getenv("WINEPREFIX");
    ASSERT_TRUE(prefix);
    std::string made = std::string(prefix) + "/drive_c/norvix_paths_XXXXXX";
    ASSERT_TRUE(mkdtemp(made.data()));
    const std::string hostFolder = made + "/" + rtl::Cp1251ToUtf8("Игры");
    ASSERT_EQ(mkdir(hostFolder.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((hostFolder + "/logs").c_str(), 0755), 0);
    const std::string folder = "C:\\" + made.substr(made.rfind('/') + 1) + "\\Игры";

    InstallHostPaths();
    // The Windows spelling of the drive letter and of the folder, as the
    // program's current-directory call gives it.
    vcl::TIniFile positions(folder + "\\cords.ini");
    positions.WriteInteger("main", "top", 30);
    rtl::WriteAllLines(folder + "\\logs\\Sim_ot_01.01.2026_1;2;3_log#1.txt", {"Раунд 1/8"});
    // A bare name stays in the working folder, its letters those of the host.
    char previous[4096];
    ASSERT_TRUE(getcwd(previous, sizeof previous));
    ASSERT_EQ(chdir(hostFolder.c_str()), 0);
    rtl::WriteAllLines("Шаблон.txt", {"1"});
    chdir(previous);

    EXPECT_TRUE(HostFileExists(hostFolder + "/cords.ini"));
    EXPECT_TRUE(HostFileExists(hostFolder + "/logs/Sim_ot_01.01.2026_1;2;3_log#1.txt"));
    EXPECT_TRUE(HostFileExists(hostFolder + "/" + rtl::Cp1251ToUtf8("Шаблон.txt")));
    EXPECT_EQ(vcl::TIniFile(folder + "\\cords.ini").ReadInteger("main", "top", -1), 30);

    unlink((hostFolder + "/cords.ini").c_str());
    unlink((hostFolder + "/logs/Sim_ot_01.01.2026_1;2;3_log#1.txt").c_str());
    unlink((hostFolder + "/" + rtl::Cp1251ToUtf8("Шаблон.txt")).c_str());
    rmdir((hostFolder + "/logs").c_str());
    rmdir(hostFolder.c_str());
    rmdir(made.c_str());
}
