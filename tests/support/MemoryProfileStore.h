// Settings values in memory: integers are kept as their decimal text, as the INI file keeps
// them, so both stores read a value back the same way.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/ProfileStore.h"

namespace quarto::test {

class MemoryProfileStore final : public ProfileStore {
  public:
    int ReadInt(std::string_view section, std::string_view name, int defaultValue) const override;
    std::string ReadString(std::string_view section, std::string_view name,
                           const std::string& defaultValue) const override;
    bool WriteInt(std::string_view section, std::string_view name, int value) override;
    bool WriteString(std::string_view section, std::string_view name, const std::string& value) override;
    bool RemoveAll() override;

    // The stored text of a value, if any; and how many writes arrived.
    std::optional<std::string> Raw(std::string_view section, std::string_view name) const;
    size_t WriteCount() const { return m_writes; }
    size_t ValueCount() const { return m_values.size(); }

  private:
    std::map<std::pair<std::string, std::string>, std::string> m_values;
    size_t m_writes = 0;
};

}  // namespace quarto::test
