#include "platform/ProfileStore.h"

#include <QByteArray>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/UserFolders.h"

namespace quarto {
namespace {

QString Key(std::string_view section, std::string_view name) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + '/' +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

std::string Bytes(const QVariant& value) {
    QByteArray bytes;
    if (value.typeId() == QMetaType::QByteArray) {
        bytes = value.toByteArray();
    } else if (value.typeId() == QMetaType::QStringList) {
        // A hand-edited value with unquoted commas reads as a list; it was one text.
        bytes = value.toStringList().join(',').toUtf8();
    } else {
        bytes = value.toString().toUtf8();
    }
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

std::optional<int> ParseProfileInt(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - '0');
        if (magnitude > 0xFFFFFFFFull) return std::nullopt;
    }
    if (negative && magnitude > 0x80000000ull) return std::nullopt;
    const uint32_t bits = static_cast<uint32_t>(negative ? 0 - magnitude : magnitude);
    return static_cast<int>(bits);
}

std::string DefaultProfilePath() {
    return ConfigHome() + "/Brightvale/Quarto.conf";
}

struct QSettingsProfileStore::Impl {
    explicit Impl(const std::string& path)
        : settings(QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size()))),
                   QSettings::IniFormat) {}
    mutable QSettings settings;

    bool Sync() {
        settings.sync();
        return settings.status() == QSettings::NoError;
    }
};

QSettingsProfileStore::QSettingsProfileStore(const std::string& filePath)
    : m_filePath(filePath), m_impl(std::make_unique<Impl>(filePath)) {}

QSettingsProfileStore::~QSettingsProfileStore() = default;

int QSettingsProfileStore::ReadInt(std::string_view section, std::string_view name, int defaultValue) const {
    const QVariant value = m_impl->settings.value(Key(section, name));
    if (!value.isValid()) return defaultValue;
    return ParseProfileInt(Bytes(value)).value_or(defaultValue);
}

std::string QSettingsProfileStore::ReadString(std::string_view section, std::string_view name,
                                              const std::string& defaultValue) const {
    const QVariant value = m_impl->settings.value(Key(section, name));
    return value.isValid() ? Bytes(value) : defaultValue;
}

bool QSettingsProfileStore::WriteInt(std::string_view section, std::string_view name, int value) {
    m_impl->settings.setValue(Key(section, name), value);
    return m_impl->Sync();
}

bool QSettingsProfileStore::WriteString(std::string_view section, std::string_view name,
                                        const std::string& value) {
    const QByteArray bytes(value.data(), static_cast<qsizetype>(value.size()));
    const QString text = QString::fromUtf8(bytes);
    // Only a lossless text is stored as a string; other bytes as they are.
    if (text.toUtf8() == bytes)
        m_impl->settings.setValue(Key(section, name), text);
    else
        m_impl->settings.setValue(Key(section, name), bytes);
    return m_impl->Sync();
}

bool QSettingsProfileStore::RemoveAll() {
    m_impl->settings.clear();
    return m_impl->Sync();
}

}  // namespace quarto
