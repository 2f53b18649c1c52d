// What a file list needs from the main frame and the application, and nothing more: the main
// frame implements it, tests implement it with a recording double. UI thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/Settings.h"
#include "core/Side.h"

namespace quarto {

// A row as a list hands it on: its index together with the generation of rows it was read in
// (RowList), so the receiver can tell a row of an older fill from a current one.
struct ListRow {
    size_t index = 0;
    uint64_t generation = 0;
};

class FilesViewHost {
  public:
    virtual ~FilesViewHost() = default;

    // The settings record (colours, fonts, checks, programs), read at each use; it outlives
    // the lists.
    virtual const Settings& ListSettings() const = 0;
    // The busy count is above zero: no context menu, no editor.
    virtual bool IsBusy() const = 0;
    // A right click made `list` the target list and `row` the context item (none: the click
    // was outside the rows).
    virtual void SetTarget(Side list, std::optional<ListRow> row) = 0;
    // A menu command chosen in a list's context menu, carried out for the target list.
    virtual void RunCommand(int command) = 0;
    // A column header asked for another sort mode: store SortMode and refresh in that order.
    virtual void ChangeSortMode(int sortMode) = 0;
    // A double click on a row asked for the editor (EditorProgram is set and nothing is busy).
    virtual void EditRow(Side list, ListRow row) = 0;
    // The name of the command file being generated, empty when none is.
    virtual std::string GeneratedCommandFile() const = 0;
};

}  // namespace quarto
