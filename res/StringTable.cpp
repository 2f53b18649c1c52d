// The string table itself. Kept sorted by number so lookups are a binary search.
#include "res/StringTable.h"

#include <algorithm>
#include <iterator>

namespace quarto::res {
namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr Entry kTable[] = {
    {6016, "Show All files\nView All"},
    {6017, "Show Similar files\nView Similar"},
    {6018, "Show Identical files\nView Identical"},
    {6019, "Show Unique files\nView Unique"},
    {6020, "Show Modified files\nView Modified"},
    {6021, "Show Different files\nView Different"},
    {16000, "De-selecting all container entries"},
    {16001, "Deleting files"},
    {16002, "Processing directories"},
    {16003, "Copying files"},
    {16004, "Filling lists"},
    {16005, "Freeing memory"},
    {16006, "Loading a snapshot"},
    {16007, "Selecting all entries"},
    {16008, "Selecting newer entries"},
    {16009, "Selecting unique entries"},
    {16010, "Inverting selection markings"},
    {16011, "Moving files"},
    {16012, "Saving a snapshot"},
    {16013, "Processing drives"},
    {16014, "Canceling..."},
};

static_assert(std::is_sorted(std::begin(kTable), std::end(kTable),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }),
              "the string table must stay sorted by number");

}  // namespace

const char* Text(int id) {
    const auto* it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                                      [](const Entry& e, int wanted) { return e.id < wanted; });
    return (it != std::end(kTable) && it->id == id) ? it->text : "";
}

}  // namespace quarto::res
