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
#include "rtl/errors.h"
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

// A run names its logs folder once per battle; the folder may be removed or
// made again (in other letters) by the player between two battles.
TEST(HostPaths, TheLogsFolderIsFoundAgainAfterItWasRemovedOrMadeAnew) {
    const char* prefix = std::getenv("WINEPREFIX");
    ASSERT_TRUE(prefix);
    std::string made = std::string(prefix) + "/drive_c/norvix_logs_XXXXXX";
    ASSERT_TRUE(mkdtemp(made.data()));
    ASSERT_EQ(mkdir((made + "/logs").c_str(), 0755), 0);
    const std::string logs = "C:\\" + made.substr(made.rfind('/') + 1) + "\\logs\\";

    InstallHostPaths();
    rtl::WriteAllLines(logs + "1.txt", {"бой 1"});
    rtl::WriteAllLines(logs + "2.txt", {"бой 2"});
    EXPECT_TRUE(HostFileExists(made + "/logs/2.txt"));

    unlink((made + "/logs/1.txt").c_str());
    unlink((made + "/logs/2.txt").c_str());
    ASSERT_EQ(rmdir((made + "/logs").c_str()), 0);
    EXPECT_THROW(rtl::WriteAllLines(logs + "3.txt", {"бой 3"}), rtl::EInOutError);

    ASSERT_EQ(mkdir((made + "/Logs").c_str(), 0755), 0);
    rtl::WriteAllLines(logs + "4.txt", {"бой 4"});
    EXPECT_TRUE(HostFileExists(made + "/Logs/4.txt"));

    unlink((made + "/Logs/4.txt").c_str());
    rmdir((made + "/Logs").c_str());
    rmdir(made.c_str());
}
