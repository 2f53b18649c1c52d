// The drive tree of one side without any widget: its roots (the drives), their folders read
// lazily as branches open, the selected item and the side's current path. The Qt tree view only
// draws it, as a QAbstractItemModel adapter: every item has a stable id (a QModelIndex's
// internal id), its children come in order with their row numbers, and an unread branch
// reports that it has children before they are read (it carries an expand mark, which fetchMore
// turns into OpenItem). UI thread only: the fill worker hands its roots over through a slot
// that ApplyFill empties when UM_TREEFILLED is handled, so the observer is always called on the
// UI thread, synchronously, around each change.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/Side.h"
#include "platform/Drives.h"

namespace quarto {

class JobContext;
class JobThreads;

// The images of the tree, numbered as in its image strip (0 hard disk to 5 network drive);
// IconName gives the theme icon's name.
enum class DriveIcon : int {
    HardDisk = 0,
    Removable = 1,
    Optical = 2,
    Folder = 3,
    FolderOpen = 4,
    Network = 5
};
const char* IconName(DriveIcon icon);

using TreeItemId = uint64_t;
// No item; as a parent, the invisible one above the roots.
inline constexpr TreeItemId kNoItem = 0;

// Told about every change, before and after it, as a QAbstractItemModel must tell its views.
class DriveTreeObserver {
  public:
    virtual ~DriveTreeObserver() = default;
    // Every item goes (a fill replaces the roots).
    virtual void BeginReset() {}
    virtual void EndReset() {}
    // `count` children of `parent` appear (or go) from row `first` on.
    virtual void BeginInsertChildren(TreeItemId /*parent*/, size_t /*first*/, size_t /*count*/) {}
    virtual void EndInsertChildren() {}
    virtual void BeginRemoveChildren(TreeItemId /*parent*/, size_t /*first*/, size_t /*count*/) {}
    virtual void EndRemoveChildren() {}
    // The item's expand mark or its expanded state changed (the view opens or closes the
    // branch to match: SelectPath opens the branches on its way).
    virtual void ItemChanged(TreeItemId /*item*/) {}
    // The selected item changed (kNoItem: none); the view shows it, scrolled into view.
    virtual void SelectionChanged(TreeItemId /*item*/) {}
};

// A root as the fill worker prepares it.
struct FilledRoot {
    std::string text;
    DriveIcon icon = DriveIcon::HardDisk;
    bool expandMark = false;
};

// What one fill lists, taken from the settings on the UI thread when it starts.
struct FillRequest {
    bool includeNetwork = false;  // mounted network drives are listed
    bool showAllNetwork = false;  // ... and, with them, every share found on the network
    DriveSources sources;
};

// The fill worker's procedure: the roots, in the order found. Polls the cancel request between
// drives and between shares; the network diagnostics go to standard output.
std::vector<FilledRoot> FillDriveTree(JobContext& job, const FillRequest& request);
// Adds the root `text` of a drive of `type` unless a root of that text is there already or the
// type has no root (unknown, no root folder). Removable and CD drives always get an expand
// mark, without reading the medium; the others when they hold a subfolder. Returns whether the
// root was added.
bool AddDriveItem(std::vector<FilledRoot>& roots, const std::string& text, DriveType type);

class DriveTree {
  public:
    DriveTree(Side side, JobContext& job, DriveSources sources = DriveSources::ThisMachine());
    // Identity object: the fill worker and the view hold its address.
    DriveTree(const DriveTree&) = delete;
    DriveTree& operator=(const DriveTree&) = delete;

    Side TreeSide() const { return m_side; }
    // The one observer (the tree view), or null.
    void SetObserver(DriveTreeObserver* observer) { m_observer = observer; }

    // Reading. Unknown ids read as an item without text or children.
    const std::vector<TreeItemId>& Children(TreeItemId parent) const;
    TreeItemId Parent(TreeItemId item) const;
    size_t Row(TreeItemId item) const;
    const std::string& Text(TreeItemId item) const;
    DriveIcon Icon(TreeItemId item) const;
    DriveIcon SelectedIcon(TreeItemId item) const;  // an open folder for a folder
    bool HasChildren(TreeItemId item) const;        // children read, or an expand mark
    bool HasExpandMark(TreeItemId item) const;
    bool IsExpanded(TreeItemId item) const;
    bool IsRoot(TreeItemId item) const;
    bool Contains(TreeItemId item) const { return m_nodes.count(item) != 0; }
    TreeItemId Selected() const { return m_selected; }
    // The folder last chosen in this tree, ending with '/'; "" when none (or the side shows a
    // snapshot).
    const std::string& CurrentPath() const { return m_currentPath; }

    // The texts from the root down, joined with '/' where the part before does not end with one
    // ("/" + "home" + "ann" gives "/home/ann").
    std::string ItemPath(TreeItemId item) const;

    // Gives the item an expand mark when the folder `path` holds a subfolder; returns whether.
    bool AddExpandMark(TreeItemId item, const std::string& path);
    // Reads the subfolders of `path` as the item's children, sorted, each with its expand mark;
    // returns their number, or -1 when the folder cannot be listed.
    int ExpandItem(TreeItemId item, const std::string& path);
    // Opening a branch: the expand mark goes and the children are read. A root that cannot be
    // listed (a drive without a medium) keeps its mark, to be opened again later. Returns
    // whether the branch is open (false when it has no children).
    bool OpenItem(TreeItemId item);
    // Closing a branch drops its children (read again at the next opening); a root gets its
    // expand mark back at once, a folder when it still holds a subfolder.
    void CloseItem(TreeItemId item);

    // Opens the branches down to the folder `path` (ending with '/') and returns its item, or
    // kNoItem. Texts compare without regard to case, as a prefix walk from the first root;
    // where names differ only in case the exact one is tried first, a branch that leads nowhere
    // is closed again and the walk goes on with its next sibling, and a match in other case
    // counts only where the volume itself ignores case (both texts name the same folder).
    TreeItemId SelectPath(const std::string& path);

    // Selects an item (kNoItem: none); the current path stays.
    void Select(TreeItemId item);
    void SetCurrentPath(std::string path) { m_currentPath = std::move(path); }
    // The side shows a snapshot: no item selected, no current path.
    void ClearSelection();

    // UI thread: a fill job (busy begin, then FillDriveTree on a worker of `threads`, on this
    // thread when none can be started), ending with UM_TREEFILLED posted to the frame.
    void StartFill(JobThreads& threads);
    // UI thread, on UM_TREEFILLED: replaces the roots with the fill's. False when no fill was
    // waiting.
    bool ApplyFill();

  private:
    struct Node {
        TreeItemId parent = kNoItem;
        std::string text;
        DriveIcon icon = DriveIcon::Folder;
        bool expandMark = false;
        bool expanded = false;
        size_t row = 0;
        std::vector<TreeItemId> children;
    };

    // Siblings stay sorted by text without regard to case; names that differ only in case keep
    // their byte order, so both stay.
    static bool SortsBefore(const std::string& a, const std::string& b);
    const Node* Find(TreeItemId item) const;
    Node* Find(TreeItemId item);
    std::vector<TreeItemId>& ChildList(TreeItemId parent);
    TreeItemId AddNode(TreeItemId parent, std::string text, DriveIcon icon, bool expandMark);
    void RemoveSubtree(TreeItemId item);
    void SetExpandMark(TreeItemId item, bool mark);
    TreeItemId FindBelow(TreeItemId parent, const std::string& wanted);

    const Side m_side;
    JobContext& m_job;
    const DriveSources m_sources;
    DriveTreeObserver* m_observer = nullptr;
    std::unordered_map<TreeItemId, Node> m_nodes;
    std::vector<TreeItemId> m_roots;
    TreeItemId m_nextId = 1;
    TreeItemId m_selected = kNoItem;
    std::string m_currentPath;

    std::mutex m_fillLock;  // guards m_pendingFill, the one thing the fill worker touches
    std::optional<std::vector<FilledRoot>> m_pendingFill;
};

}  // namespace quarto
