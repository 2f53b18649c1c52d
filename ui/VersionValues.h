// The program's version values, compiled in: what the About box shows under the classic
// version-resource keys (ProductName, FileDescription, LegalCopyright, CompanyName,
// FileVersion). The version number is the project's, as `quarto --version` and the package
// show it.
#pragma once

#include <string_view>

namespace quarto {

// The value under `key`; null for a key the program does not have.
const char* VersionValue(std::string_view key);

}  // namespace quarto
