// The texts of a file list's cells, its column titles, and a pair's difference in words: what
// the lists show in Qt::DisplayRole and screen readers read in Qt::AccessibleDescriptionRole.
#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>

#include "core/FileEntry.h"
#include "core/Settings.h"

namespace quarto {

enum FilesColumn : int { kColumnName = 0, kColumnSize = 1, kColumnDateTime = 2, kColumnCount = 3 };

// "File Name", "Size", and the date column's title by UseDateTimeType: 0 "Last Accessed",
// 1 "Created", otherwise "Last Modified".
QString ColumnTitle(int column, int useDateTimeType);

// The user's number, date and time formats, looked up once per list rather than per cell.
struct CellFormats {
    explicit CellFormats(const QLocale& locale = QLocale());
    QLocale locale;
    QString dateFormat;  // the locale's short date
    QString timeFormat;  // the locale's time with seconds, without a time zone
};

// The relative path (the whole path when the name offset is 0, as for the placeholder), "[D]"
// for a directory, then the attribute group "{ahrs}" of what is present: archive only with
// IndicateArchived, hidden, read-only, system.
QString NameText(const FileEntry& entry, uint32_t rootLength, bool indicateArchived);
// The size in the locale's digit grouping, without decimals.
QString SizeText(uint64_t size, const CellFormats& formats);
// The time in local time: short date, one blank, time. A time of zero shows the current time.
QString DateTimeText(FileTime time, const CellFormats& formats);
// The text of one cell; every cell of a blank row (the missing half of a unique pair) is empty.
QString CellText(const FileEntry& entry, int column, uint32_t rootLength, const Settings& settings,
                 const CellFormats& formats);

// The pair's difference as this row's entry carries it, in words: "newer, larger",
// "identical", "unique", "attributes differ", ...; "no entry" for a blank row and "not compared
// yet" for the placeholder.
QString DifferenceText(const FileEntry& entry);

// A path's bytes as text, for display only.
QString DisplayPath(std::string_view bytes);

}  // namespace quarto
