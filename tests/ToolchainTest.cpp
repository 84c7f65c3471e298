// What the toolchain must give the product's code, beyond what a run of the
// launcher shows.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

TEST(ToolchainTest, AnExceptionFromALibraryTemplateInstanceIsCaughtInOurCode)
{
    // std::wstring::copy is not inline: the C++ library's own instance runs
    // and throws, so its frame must be unwound with the library's frame
    // descriptions (a linker that drops them ends the process instead).
    const std::wstring csText = L"abc";
    wchar_t buffer[4] = {};
    EXPECT_THROW(csText.copy(buffer, 1, 10), std::out_of_range);
}

}  // namespace
