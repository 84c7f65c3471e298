#include "discovery/PathText.h"

#include <gtest/gtest.h>

#include "support/Utf8.h"

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

TEST(PathTextTest, AbsoluteMeansDriveRootedOrTwoSeparatorsEitherSlash)
{
    for (const wchar_t* path :
         {L"C:\\", L"c:\\Mgr\\", L"Z:\\a b\\", L"\\\\srv\\share\\", L"\\\\?\\C:\\Mgr\\", L"C:/",
          L"C:/Ixa Manage\\", L"//srv/share/Ixa Manage\\", L"\\/srv/share\\", L"/\\srv\\share\\",
          L"C:/Mgr/"}) {
        EXPECT_TRUE(IsAbsolutePath(path)) << Utf8(path);
    }
    // Each of these resolves against the current drive or directory.
    for (const wchar_t* path : {L"", L"\\", L"/", L"\\Mgr\\", L"/Mgr/", L"Mgr\\", L"x\\", L"C:",
                                L"C:Mgr\\", L"1:\\", L"1:/", L".\\", L"UNC\\srv\\share\\"}) {
        EXPECT_FALSE(IsAbsolutePath(path)) << Utf8(path);
    }
}

TEST(PathTextTest, AnAbsoluteDirectoryIsAnAbsolutePathEndingInABackslash)
{
    EXPECT_TRUE(IsAbsoluteDirectory(L"C:\\pkg\\"));
    EXPECT_TRUE(IsAbsoluteDirectory(L"\\\\srv\\share\\pkg\\"));
    // Wine's form of a program's path on a share: relative, so no folder to act in.
    EXPECT_FALSE(IsAbsoluteDirectory(L"UNC\\srv\\share\\pkg\\"));
    EXPECT_FALSE(IsAbsoluteDirectory(L"C:\\pkg\\setup.exe"));
    EXPECT_FALSE(IsAbsoluteDirectory(L""));
}

}  // namespace
