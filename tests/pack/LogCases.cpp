// The diagnostic log c:\log.ini: one run per log, other sections kept, the
// stale log.ini beside the launcher, and a log that cannot be written.
#include "E2eTest.h"

using namespace logtexts;
using namespace testfiles;

namespace e2e {
namespace {

class LogCases : public E2eTest {};

const std::string kOtherSection = "[OTHER]\r\nkeep=1\r\n";

TEST_F(LogCases, EachRunReplacesEveryEntryOfEarlierRunsAndKeepsOtherSections)
{
    const Installation installed = Install();
    WriteBytes(kLogFile, LogBytes({L"old 0", L"old 1", L"old 2", L"old 3"}) + kOtherSection);

    ProgramOutcome run = Run(installed.csLauncher);
    CheckRun(run, LogBytes({kSucc1, installed.GetParameters()}, kOtherSection),
             installed.GetStarted());

    RemoveUpdater(installed.csUpdater);
    run = Run(installed.csLauncher);
    CheckRun(run, LogBytes({kNoUpdater + installed.csUpdater}, kOtherSection));
}

TEST_F(LogCases, AStaleLogBesideTheLauncherIsDeleted)
{
    const Installation installed = Install();
    WriteBytes(installed.csFolder + L"\\log.ini", LogBytes({L"stale"}));
    const ProgramOutcome run = Run(installed.csLauncher);
    EXPECT_FALSE(Exists(installed.csFolder + L"\\log.ini"));
    CheckRun(run, LogBytes({kSucc1, installed.GetParameters()}), installed.GetStarted());
}

TEST_F(LogCases, FromTheRootOfCTheLogIsDeletedAndWrittenAnew)
{
    const Installation installed = Install();
    WriteBytes(kLogFile, LogBytes({L"old 0", L"old 1", L"old 2", L"old 3"}));
    const ProgramOutcome run = Run(PlaceLauncher(L"C:\\"));
    Started started = installed.GetStarted();
    started.csPackage = L"C:\\update.zip";
    started.csCwd = L"C:\\";
    CheckRun(run, LogBytes({kSucc1, Parameters(installed.csDestination, started.csPackage)}),
             started);
}

TEST_F(LogCases, ALogThatIsADirectoryChangesNothingElse)
{
    const Installation installed = Install();
    MakeDirs(kLogFile);
    const ProgramOutcome run = Run(installed.csLauncher);
    CheckRun(run, std::nullopt, installed.GetStarted());
    EXPECT_NE(GetFileAttributesW(kLogFile.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(LogCases, AReadOnlyLogChangesNothingElse)
{
    const Installation installed = Install();
    const std::string kept = LogBytes({L"kept"});
    WriteBytes(kLogFile, kept);
    ASSERT_TRUE(SetFileAttributesW(kLogFile.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        // Windows refuses to open a read-only file for writing, also to an
        // administrator (CreateFile: ERROR_ACCESS_DENIED). Wine maps the
        // attribute to the Unix mode bits, which root does not heed.
        const ScopedHandle probe(CreateFileW(kLogFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
        if (probe.IsValid()) {
            SetFileAttributesW(kLogFile.c_str(), FILE_ATTRIBUTE_NORMAL);
            GTEST_SKIP() << "a read-only file is writable here (Wine run as root)";
        }
    }
    const ProgramOutcome run = Run(installed.csLauncher);
    SetFileAttributesW(kLogFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    CheckRun(run, kept, installed.GetStarted());
}

}  // namespace
}  // namespace e2e
