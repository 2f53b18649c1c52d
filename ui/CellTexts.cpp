#include "ui/CellTexts.h"

#include <QDateTime>
#include <QFile>
#include <QStringList>

namespace quarto {
namespace {

// The long time format names the time zone ("t"); the lists show the time alone, seconds
// included (they matter when two times are compared).
QString TimeWithoutZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') continue;
        out += c;
    }
    return out.trimmed();
}

bool IsPlaceholder(const FileEntry& entry) {
    return entry.nameOffset == 0 && entry.path == kPlaceholderPath;
}

}  // namespace

QString ColumnTitle(int column, int useDateTimeType) {
    switch (column) {
        case kColumnName:
            return QStringLiteral("File Name");
        case kColumnSize:
            return QStringLiteral("Size");
        default:
            if (useDateTimeType == 0) return QStringLiteral("Last Accessed");
            if (useDateTimeType == 1) return QStringLiteral("Created");
            return QStringLiteral("Last Modified");
    }
}

CellFormats::CellFormats(const QLocale& locale_)
    : locale(locale_),
      dateFormat(locale_.dateFormat(QLocale::ShortFormat)),
      timeFormat(TimeWithoutZone(locale_.timeFormat(QLocale::LongFormat))) {}

QString DisplayPath(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString NameText(const FileEntry& entry, uint32_t rootLength, bool indicateArchived) {
    QString text =
        DisplayPath(entry.nameOffset == 0 ? std::string_view(entry.path) : entry.RelativePath(rootLength));
    if (entry.IsDirectory()) text += QStringLiteral("[D]");
    const uint32_t a = entry.attributes;
    QString group;
    if (indicateArchived && (a & kAttrArchive)) group += u'a';
    if (a & kAttrHidden) group += u'h';
    if (a & kAttrReadOnly) group += u'r';
    if (a & kAttrSystem) group += u's';
    if (!group.isEmpty()) text += u'{' + group + u'}';
    return text;
}

QString SizeText(uint64_t size, const CellFormats& formats) {
    return formats.locale.toString(static_cast<qulonglong>(size));
}

QString DateTimeText(FileTime time, const CellFormats& formats) {
    QDateTime local;
    if (time.Value() == 0) {
        local = QDateTime::currentDateTime();
    } else {
        int64_t seconds = 0;
        uint32_t nanoseconds = 0;
        FileTimeToUnix(time, seconds, nanoseconds);
        local = QDateTime::fromMSecsSinceEpoch(seconds * 1000 + nanoseconds / 1000000, Qt::LocalTime);
    }
    return formats.locale.toString(local.date(), formats.dateFormat) + u' ' +
           formats.locale.toString(local.time(), formats.timeFormat);
}

QString CellText(const FileEntry& entry, int column, uint32_t rootLength, const Settings& settings,
                 const CellFormats& formats) {
    if (entry.IsBlank()) return {};
    switch (column) {
        case kColumnName:
            return NameText(entry, rootLength, settings.IndicateArchived);
        case kColumnSize:
            return SizeText(entry.size, formats);
        case kColumnDateTime:
            return DateTimeText(entry.time, formats);
        default:
            return {};
    }
}

QString DifferenceText(const FileEntry& entry) {
    if (entry.IsBlank()) return QStringLiteral("no entry");
    if (IsPlaceholder(entry)) return QStringLiteral("not compared yet");
    const uint32_t f = entry.flags;
    if (f & FlagDotDot) return QStringLiteral("parent folder");
    if (f & FlagUnique) return QStringLiteral("unique");
    QStringList words;
    if (f & FlagNewer) words << QStringLiteral("newer");
    if (f & FlagOlder) words << QStringLiteral("older");
    if (f & FlagLarger) words << QStringLiteral("larger");
    if (f & FlagSmaller) words << QStringLiteral("smaller");
    if (f & FlagAttrsDiff) words << QStringLiteral("attributes differ");
    if (f & FlagBytesDiff) words << QStringLiteral("contents differ");
    return words.isEmpty() ? QStringLiteral("identical") : words.join(QStringLiteral(", "));
}

}  // namespace quarto
