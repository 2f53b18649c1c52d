#include "app/SettingsStore.h"

#include "app/FontText.h"

namespace quarto {
namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang 14).
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace

void ApplyIncludeHidSys(Settings& settings) {
    if (settings.IncludeHidSys)
        settings.AttributeMask |= kHiddenSystemMask;
    else
        settings.AttributeMask &= ~kHiddenSystemMask;
}

void SettingsStore::LoadValue(const SettingDescriptor& d, Settings& settings) const {
    std::visit(Overloaded{
                   [&](int Settings::*m) {
                       settings.*m = d.Valid(m_profile.ReadInt(kSettingsSection, d.name, d.defaultNumber));
                   },
                   [&](bool Settings::*m) {
                       settings.*m = m_profile.ReadInt(kSettingsSection, d.name, d.defaultNumber) != 0;
                   },
                   [&](std::string Settings::*m) {
                       settings.*m = m_profile.ReadString(kSettingsSection, d.name, d.defaultText);
                   },
                   [&](ColorRef Settings::*m) {
                       const ColorRef fallback = d.systemColor >= 0 ? m_colors.GetSysColor(d.systemColor)
                                                                    : static_cast<ColorRef>(d.defaultNumber);
                       settings.*m = static_cast<ColorRef>(
                           m_profile.ReadInt(kSettingsSection, d.name, static_cast<int>(fallback)));
                   },
                   [&](LogFont Settings::*m) {
                       settings.*m =
                           DecodeFont(m_profile.ReadString(kSettingsSection, d.name, d.defaultText));
                   },
               },
               d.member);
}

void SettingsStore::StoreValue(const SettingDescriptor& d, const Settings& settings) {
    std::visit(
        Overloaded{
            [&](int Settings::*m) { m_profile.WriteInt(kSettingsSection, d.name, settings.*m); },
            [&](bool Settings::*m) { m_profile.WriteInt(kSettingsSection, d.name, settings.*m ? 1 : 0); },
            [&](std::string Settings::*m) { m_profile.WriteString(kSettingsSection, d.name, settings.*m); },
            [&](ColorRef Settings::*m) {
                m_profile.WriteInt(kSettingsSection, d.name, static_cast<int>(settings.*m));
            },
            [&](LogFont Settings::*m) {
                m_profile.WriteString(kSettingsSection, d.name, EncodeFont(settings.*m));
            },
        },
        d.member);
}

void SettingsStore::LoadSettings(Settings& settings) const {
    for (const SettingDescriptor& descriptor : SettingDescriptors()) LoadValue(descriptor, settings);
    // A side's text without its '/' would be taken for a snapshot file's name, and the side
    // would then come up empty; a stored side is always a directory.
    for (std::string* directory : {&settings.LeftDir, &settings.RightDir})
        if (!directory->empty() && directory->back() != '/') *directory += '/';
    settings.IncludeSubdirs = settings.IncludeSubdirsAtStart;
    settings.IncludeNetworkDrives = settings.IncludeNetworkAtStart;
    ApplyIncludeHidSys(settings);
}

void SettingsStore::ResetSettings(Settings& settings) {
    m_profile.RemoveAll();
    LoadSettings(settings);
}

template <class T>
bool SettingsStore::WriteMember(Settings& settings, T Settings::*member, const T& value) {
    settings.*member = value;
    for (const SettingDescriptor& descriptor : SettingDescriptors()) {
        const auto* held = std::get_if<T Settings::*>(&descriptor.member);
        if (held == nullptr || *held != member) continue;
        if constexpr (std::is_same_v<T, int>) settings.*member = descriptor.Valid(value);
        if constexpr (std::is_same_v<T, bool>)
            if (member == &Settings::IncludeHidSys) ApplyIncludeHidSys(settings);
        StoreValue(descriptor, settings);
        return true;
    }
    return false;
}

bool SettingsStore::Write(Settings& settings, int Settings::*member, int value) {
    return WriteMember(settings, member, value);
}
bool SettingsStore::Write(Settings& settings, bool Settings::*member, bool value) {
    return WriteMember(settings, member, value);
}
bool SettingsStore::Write(Settings& settings, std::string Settings::*member, const std::string& value) {
    return WriteMember(settings, member, value);
}
bool SettingsStore::Write(Settings& settings, ColorRef Settings::*member, ColorRef value) {
    return WriteMember(settings, member, value);
}
bool SettingsStore::Write(Settings& settings, LogFont Settings::*member, const LogFont& value) {
    return WriteMember(settings, member, value);
}

bool SettingsStore::WriteCurrent(const Settings& settings, std::string_view name) {
    const SettingDescriptor* descriptor = FindSetting(name);
    if (descriptor == nullptr) return false;
    StoreValue(*descriptor, settings);
    return true;
}

void SettingsStore::SaveCountersAndDirectories(Settings& settings, bool directoriesNotSaved) {
    // The counter wraps like the 32-bit value it is, never overflows.
    Write(settings, &Settings::UsageCounter,
          static_cast<int>(static_cast<uint32_t>(settings.UsageCounter) + 1u));
    WriteCurrent(settings, "OperationsCounter");
    if (directoriesNotSaved) return;
    WriteCurrent(settings, "LeftDir");
    WriteCurrent(settings, "RightDir");
}

int SettingsStore::ReadLayout(std::string_view name) const {
    for (const LayoutValue& layout : LayoutValues()) {
        if (name != layout.name) continue;
        const int value = m_profile.ReadInt(kSettingsSection, name, layout.missing);
        return value >= layout.minimum && value <= layout.maximum ? value : layout.missing;
    }
    return m_profile.ReadInt(kSettingsSection, name, -1);
}

void SettingsStore::WriteLayout(std::string_view name, int value) {
    m_profile.WriteInt(kSettingsSection, name, value);
}

}  // namespace quarto
