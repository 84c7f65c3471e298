#include <gtest/gtest.h>

#include "log/DiagLog.h"
#include "support/LogTexts.h"
#include "support/TestFiles.h"

using namespace logtexts;
using namespace testfiles;

namespace {
class TestMachineGuardTest : public SandboxTest {};
}  // namespace

// What the guard finds decides whether anything is removed: a place that
// exists before the tests may belong to an installed product.
TEST_F(TestMachineGuardTest, RunsOnlyWhenToldAndNeverWhereAnythingItWouldRemoveExists)
{
    EXPECT_NE(GuardProblem(false).find(L"--test-machine"), std::wstring::npos);
    EXPECT_EQ(GuardProblem(true), L"");

    const std::wstring product = L"C:\\Zof\\ZOFIXA\\";
    for (const std::wstring& path : {SetupFile(), std::wstring(kLogFile), product}) {
        SCOPED_TRACE(Utf8(path));
        if (path.back() == L'\\') {
            MakeProduct(path);
        } else {
            Touch(path);
        }
        const std::wstring problem = GuardProblem(true);
        // A product folder is found by its top, C:\Zof.
        const std::wstring expected = path == product ? L"C:\\Zof" : path;
        EXPECT_EQ(problem.substr(0, expected.size() + 1), expected + L" ");
        EXPECT_NE(problem.find(L"would remove it"), std::wstring::npos);
        TearDown();
        EXPECT_EQ(GuardProblem(true), L"");
    }
}
