// Quarto's string table: every user-visible text that is not a literal of the code, keyed by its
// resource number. A command's number also keys its prompt ("prompt\ntool tip").
#pragma once

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

// The text with this number; an empty string when the table has none (never null).
const char* Text(int id);

}  // namespace quarto::res
