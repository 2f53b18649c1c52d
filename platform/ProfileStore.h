// The per-user profile: named integer and text values in sections. The settings store reads
// and writes Quarto's values through it; the real one is an INI file kept by QSettings, the
// memory one serves the tests.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quarto {

// The one section of the settings values, and the sibling section of the bars' dock state.
inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kDockStateSection = "Settings-DockState";

class ProfileStore {
  public:
    virtual ~ProfileStore() = default;
    // A value that is missing, or not a number for ReadInt, reads as the default.
    virtual int ReadInt(std::string_view section, std::string_view name, int defaultValue) const = 0;
    virtual std::string ReadString(std::string_view section, std::string_view name,
                                   const std::string& defaultValue) const = 0;
    // True when the value reached the store; callers may ignore a failed write.
    virtual bool WriteInt(std::string_view section, std::string_view name, int value) = 0;
    virtual bool WriteString(std::string_view section, std::string_view name, const std::string& value) = 0;
    // Removes every section (the settings and the dock state): the reset of the whole profile.
    virtual bool RemoveAll() = 0;
};

// Parses a stored integer: optional sign and decimal digits, nothing else. Values up to
// 0xFFFFFFFF are accepted and wrap to 32 bits, since a colour may have been written unsigned.
std::optional<int> ParseProfileInt(std::string_view text);

// $XDG_CONFIG_HOME/Brightvale/Quarto.conf (default ~/.config/Brightvale/Quarto.conf).
std::string DefaultProfilePath();

// An INI file: one [section] per section, integers as numbers, texts as strings (bytes that
// are not UTF-8 are kept as a byte array, so any path survives). Every write reaches the file
// at once.
class QSettingsProfileStore final : public ProfileStore {
  public:
    explicit QSettingsProfileStore(const std::string& filePath = DefaultProfilePath());
    ~QSettingsProfileStore() override;
    QSettingsProfileStore(const QSettingsProfileStore&) = delete;
    QSettingsProfileStore& operator=(const QSettingsProfileStore&) = delete;

    int ReadInt(std::string_view section, std::string_view name, int defaultValue) const override;
    std::string ReadString(std::string_view section, std::string_view name,
                           const std::string& defaultValue) const override;
    bool WriteInt(std::string_view section, std::string_view name, int value) override;
    bool WriteString(std::string_view section, std::string_view name, const std::string& value) override;
    bool RemoveAll() override;

    const std::string& FilePath() const { return m_filePath; }

  private:
    struct Impl;
    std::string m_filePath;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace quarto
