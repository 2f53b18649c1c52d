#include "tests/support/MemoryProfileStore.h"

namespace quarto::test {
namespace {

std::pair<std::string, std::string> MemoryKey(std::string_view section, std::string_view name) {
    return {std::string(section), std::string(name)};
}

}  // namespace

int MemoryProfileStore::ReadInt(std::string_view section, std::string_view name, int defaultValue) const {
    const auto found = m_values.find(MemoryKey(section, name));
    if (found == m_values.end()) return defaultValue;
    return ParseProfileInt(found->second).value_or(defaultValue);
}

std::string MemoryProfileStore::ReadString(std::string_view section, std::string_view name,
                                           const std::string& defaultValue) const {
    const auto found = m_values.find(MemoryKey(section, name));
    return found == m_values.end() ? defaultValue : found->second;
}

bool MemoryProfileStore::WriteInt(std::string_view section, std::string_view name, int value) {
    ++m_writes;
    m_values[MemoryKey(section, name)] = std::to_string(value);
    return true;
}

bool MemoryProfileStore::WriteString(std::string_view section, std::string_view name,
                                     const std::string& value) {
    ++m_writes;
    m_values[MemoryKey(section, name)] = value;
    return true;
}

bool MemoryProfileStore::RemoveAll() {
    m_values.clear();
    return true;
}

std::optional<std::string> MemoryProfileStore::Raw(std::string_view section, std::string_view name) const {
    const auto found = m_values.find(MemoryKey(section, name));
    if (found == m_values.end()) return std::nullopt;
    return found->second;
}

}  // namespace quarto::test
