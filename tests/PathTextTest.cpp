#include "discovery/Discovery.h"

#include <gtest/gtest.h>

namespace {

TEST(PathTextTest, RemovesTheWholeRunOfTrailingBackslashes)
{
    EXPECT_EQ(RemoveTrailingBackslashes(L""), L"");
    EXPECT_EQ(RemoveTrailingBackslashes(L"\\\\\\"), L"");
    EXPECT_EQ(RemoveTrailingBackslashes(L"D:\\Mgr"), L"D:\\Mgr");
    EXPECT_EQ(RemoveTrailingBackslashes(L"D:\\Mgr\\"), L"D:\\Mgr");
    EXPECT_EQ(RemoveTrailingBackslashes(L"D:\\Mgr\\\\\\"), L"D:\\Mgr");
    EXPECT_EQ(RemoveTrailingBackslashes(L"\\\\srv\\share\\"), L"\\\\srv\\share");
}

TEST(PathTextTest, AbsoluteMeansDriveRootedOrUnc)
{
    for (const wchar_t* path :
         {L"C:\\", L"c:\\Mgr\\", L"Z:\\a b\\", L"\\\\srv\\share\\", L"\\\\?\\C:\\Mgr\\"}) {
        EXPECT_TRUE(IsAbsolutePath(path)) << path;
    }
    // Each of these resolves against the current drive or directory.
    for (const wchar_t* path :
         {L"", L"\\", L"\\Mgr\\", L"Mgr\\", L"C:", L"C:Mgr\\", L"1:\\", L"C:/Mgr/", L".\\"}) {
        EXPECT_FALSE(IsAbsolutePath(path)) << path;
    }
}

TEST(PathTextTest, DirectoryStringEndsInBackslash)
{
    EXPECT_TRUE(IsDirectoryString(L"C:\\pkg\\"));
    EXPECT_FALSE(IsDirectoryString(L""));
    EXPECT_FALSE(IsDirectoryString(L"setup.exe"));
}

}  // namespace
