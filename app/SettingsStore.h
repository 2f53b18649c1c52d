// Loads the settings record from the profile, writes single values when they change, saves the
// counters and directories at exit, and resets the whole profile. Runs on the main thread.
#pragma once

#include <string_view>

#include "app/SettingDescriptors.h"
#include "core/Settings.h"
#include "platform/ProfileStore.h"
#include "platform/SystemColors.h"

namespace quarto {

// Attribute-mask bits that IncludeHidSys adds: hidden and system.
inline constexpr uint32_t kHiddenSystemMask = 0x2 | 0x4;

class SettingsStore {
  public:
    SettingsStore(ProfileStore& profile, const SystemColors& colors) : m_profile(profile), m_colors(colors) {}
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Reads every stored value with its default (system colours as they are now; an int outside
    // its set reads as its default; a stored side directory is ended with '/'), then sets the
    // derived fields: IncludeSubdirs, IncludeNetworkDrives and the hidden/system bits of
    // AttributeMask. Per-run fields (ExcludeUniqueLeft/Right) are left alone. Never fails.
    void LoadSettings(Settings& settings) const;

    // Removes the whole profile (settings and dock state), then loads, so every value and every
    // window layout value reads as its default.
    void ResetSettings(Settings& settings);

    // Sets the record's field and stores that one value (an int outside its set as its
    // default). A write to IncludeHidSys also sets or clears the hidden/system bits of
    // AttributeMask. False when the field is not a stored value
    // (the record is still updated).
    bool Write(Settings& settings, int Settings::*member, int value);
    bool Write(Settings& settings, bool Settings::*member, bool value);
    bool Write(Settings& settings, std::string Settings::*member, const std::string& value);
    bool Write(Settings& settings, ColorRef Settings::*member, ColorRef value);
    bool Write(Settings& settings, LogFont Settings::*member, const LogFont& value);

    // The settings notebook's rule: stores only when the value differs from the record's.
    // True when it wrote.
    template <class T, class V>
    bool WriteIfChanged(Settings& settings, T Settings::*member, const V& value) {
        if (settings.*member == value) return false;
        Write(settings, member, static_cast<T>(value));
        return true;
    }

    // Stores the record's current value of a stored name (after a toggle, say). False for an
    // unknown name.
    bool WriteCurrent(const Settings& settings, std::string_view name);

    // The counters and directories of the exit save: UsageCounter + 1 (written),
    // OperationsCounter, and LeftDir and RightDir unless the run was started with -B.
    void SaveCountersAndDirectories(Settings& settings, bool directoriesNotSaved);

    // Window layout values, in the same section; ReadLayout gives the table's "missing" value
    // for one that is absent or outside its limits.
    int ReadLayout(std::string_view name) const;
    void WriteLayout(std::string_view name, int value);

    ProfileStore& Profile() { return m_profile; }

  private:
    void LoadValue(const SettingDescriptor& descriptor, Settings& settings) const;
    void StoreValue(const SettingDescriptor& descriptor, const Settings& settings);
    template <class T>
    bool WriteMember(Settings& settings, T Settings::*member, const T& value);

    ProfileStore& m_profile;
    const SystemColors& m_colors;
};

// Sets or clears the hidden/system bits of AttributeMask from IncludeHidSys.
void ApplyIncludeHidSys(Settings& settings);

}  // namespace quarto
