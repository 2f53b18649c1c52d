// Quarto's string table: every user-visible text that is not a literal of the code, keyed by its
// resource number. A command's number also keys its prompt ("prompt\ntool tip").
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quarto::res {

// Progress texts shown in the first line of the progress dialog.
enum ProgressText : int {
    kDeselectingAll = 16000,
    kDeletingFiles = 16001,
    kProcessingDirectories = 16002,
    kCopyingFiles = 16003,
    kFillingLists = 16004,
    kFreeingMemory = 16005,
    kLoadingSnapshot = 16006,
    kSelectingAll = 16007,
    kSelectingNewer = 16008,
    kSelectingUnique = 16009,
    kInvertingSelection = 16010,
    kMovingFiles = 16011,
    kSavingSnapshot = 16012,
    kProcessingDrives = 16013,
    kCanceling = 16014,
};

// The words of the six views in the window title: view 6016 + n has the word kViewWords + n.
inline constexpr int kViewWords = 21000;

// The engine's questions, captions and reports. "%1", "%2", ... stand for the values Format
// puts in.
enum MessageText : int {
    kConfirmCancel = 20000,      // the cancel routine's question
    kProcessedEntries = 20001,   // %1 entries: the progress dialog's count line
    kPathNotFound = 20002,       // %1 the side's directory, %2 the working folder
    kAboutToActOnFiles = 20003,  // %1 the verb, %2 the marked files of both sides
    kAboutToActOnRow = 20004,    // %1 the verb, %2 the row's path
    kAndDirectories = 20005,     // %1 the marked directories of both sides
    kVerbCopy = 20006,
    kVerbDelete = 20007,
    kVerbMove = 20008,
    kConfirmCaption = 20009,       // %1 the program name
    kDisplayEventCaption = 20010,  // %1 the program name
    kCannotStartOperation = 20011,
    kCannotStartRefresh = 20012,
    kCannotCreatePath = 20013,        // %1 the path
    kFolderNotEmpty = 20014,          // %1 the folder
    kNotAbsolute = 20015,             // %1 the entry, %2 the side's directory
    kNotInside = 20016,               // %1 the entry, %2 the side's root
    kCannotWriteCommandFile = 20017,  // %1 the file, %2 why
    kCannotOpenInUse = 20018,         // %1 the file a content comparison cannot open
};

// The text with this number; an empty string when the table has none (never null).
const char* Text(int id);
// The text with this number, each "%n" (n from 1 to 9) replaced by the n-th value ("" when
// there is no such value).
std::string Format(int id, std::initializer_list<std::string_view> values);

}  // namespace quarto::res
