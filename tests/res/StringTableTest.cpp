// The string table's lookup and the filling of its numbered placeholders.
#include <gtest/gtest.h>

#include "res/StringTable.h"

namespace quarto::res {
namespace {

TEST(StringTable, FormatFillsEachNumberedPlaceholderOnce) {
    const std::pair<std::string, std::string> cases[] = {
        {Format(kAboutToActOnFiles, {"copy", "3"}), "About to copy 3 files..."},
        // A value is put in as it is, even one that looks like a placeholder.
        {Format(kPathNotFound, {"/a/%2/", "/b/"}), "Path '/a/%2/' not found; defaulting to '/b/'"},
        {Format(kPathNotFound, {"/a/"}), "Path '/a/' not found; defaulting to ''"},  // a missing value
        {Format(kProcessedEntries, {"4294967295"}), "Processed 4294967295 entries"},
        {Format(7004, {}), "Copy all selected files\nCopy selected files"},  // no placeholder
        {Format(1, {"x"}), ""},                                              // no such text
    };
    for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
    EXPECT_STREQ(Text(kViewWords + 5), "Different");
}

}  // namespace
}  // namespace quarto::res
