// The unit tests' entry: GoogleTest, behind a guard, since the tests change
// machine state that an installed product owns.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "support/TestFiles.h"
#include "support/Utf8.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    bool bTestMachine = false;
    for (int i = 1; i < argc; ++i) {
        bTestMachine = bTestMachine || std::strcmp(argv[i], "--test-machine") == 0;
    }
    // A death test's child is this program again, started by a test that
    // passed the guard and may have laid out the shared places already.
    const bool bChild = !GTEST_FLAG_GET(internal_run_death_test).empty();
    if (!bChild && !GTEST_FLAG_GET(list_tests)) {
        const std::wstring csProblem = testfiles::GuardProblem(bTestMachine);
        if (!csProblem.empty()) {
            std::printf("unit_tests: not run: %s\n", Utf8(csProblem).c_str());
            return 2;
        }
    }
    return RUN_ALL_TESTS();
}
