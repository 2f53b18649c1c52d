#include "ops/DriveTree.h"

#include <algorithm>

#include "core/SortOrder.h"
#include "platform/Subfolders.h"

namespace quarto {
namespace {

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

}  // namespace

const char* IconName(DriveIcon icon) {
    switch (icon) {
        case DriveIcon::HardDisk:
            return "drive-harddisk";
        case DriveIcon::Removable:
            return "drive-removable-media";
        case DriveIcon::Optical:
            return "media-optical";
        case DriveIcon::Folder:
            return "folder";
        case DriveIcon::FolderOpen:
            return "folder-open";
        case DriveIcon::Network:
            return "network-server";
    }
    return "folder";
}

bool DriveTree::SortsBefore(const std::string& a, const std::string& b) {
    const int byCase = CompareNoCase(a, b);
    return byCase != 0 ? byCase < 0 : a < b;
}

DriveTree::DriveTree(Side side, JobContext& job, DriveSources sources)
    : m_side(side), m_job(job), m_sources(std::move(sources)) {}

const DriveTree::Node* DriveTree::Find(TreeItemId item) const {
    const auto found = m_nodes.find(item);
    return found != m_nodes.end() ? &found->second : nullptr;
}

DriveTree::Node* DriveTree::Find(TreeItemId item) {
    const auto found = m_nodes.find(item);
    return found != m_nodes.end() ? &found->second : nullptr;
}

const std::vector<TreeItemId>& DriveTree::Children(TreeItemId parent) const {
    static const std::vector<TreeItemId> kNone;
    if (parent == kNoItem) return m_roots;
    const Node* node = Find(parent);
    return node != nullptr ? node->children : kNone;
}

std::vector<TreeItemId>& DriveTree::ChildList(TreeItemId parent) {
    return parent == kNoItem ? m_roots : m_nodes.at(parent).children;
}

TreeItemId DriveTree::Parent(TreeItemId item) const {
    const Node* node = Find(item);
    return node != nullptr ? node->parent : kNoItem;
}

size_t DriveTree::Row(TreeItemId item) const {
    const Node* node = Find(item);
    return node != nullptr ? node->row : 0;
}

const std::string& DriveTree::Text(TreeItemId item) const {
    static const std::string kEmpty;
    const Node* node = Find(item);
    return node != nullptr ? node->text : kEmpty;
}

DriveIcon DriveTree::Icon(TreeItemId item) const {
    const Node* node = Find(item);
    return node != nullptr ? node->icon : DriveIcon::Folder;
}

DriveIcon DriveTree::SelectedIcon(TreeItemId item) const {
    const DriveIcon icon = Icon(item);
    return icon == DriveIcon::Folder ? DriveIcon::FolderOpen : icon;
}

bool DriveTree::HasChildren(TreeItemId item) const {
    const Node* node = Find(item);
    return node != nullptr && (node->expandMark || !node->children.empty());
}

bool DriveTree::HasExpandMark(TreeItemId item) const {
    const Node* node = Find(item);
    return node != nullptr && node->expandMark;
}

bool DriveTree::IsExpanded(TreeItemId item) const {
    const Node* node = Find(item);
    return node != nullptr && node->expanded;
}

bool DriveTree::IsRoot(TreeItemId item) const {
    const Node* node = Find(item);
    return node != nullptr && node->parent == kNoItem;
}

std::string DriveTree::ItemPath(TreeItemId item) const {
    std::vector<const std::string*> parts;
    for (const Node* node = Find(item); node != nullptr; node = Find(node->parent))
        parts.push_back(&node->text);
    std::string path;
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
        if (!path.empty() && path.back() != '/') path += '/';
        path += **part;
    }
    return path;
}

TreeItemId DriveTree::AddNode(TreeItemId parent, std::string text, DriveIcon icon, bool expandMark) {
    const TreeItemId id = m_nextId++;
    Node& node = m_nodes[id];
    node.parent = parent;
    node.text = std::move(text);
    node.icon = icon;
    node.expandMark = expandMark;
    return id;
}

void DriveTree::SetExpandMark(TreeItemId item, bool mark) {
    Node* node = Find(item);
    if (node == nullptr || node->expandMark == mark) return;
    node->expandMark = mark;
    if (m_observer) m_observer->ItemChanged(item);
}

bool DriveTree::AddExpandMark(TreeItemId item, const std::string& path) {
    const bool mark = HasSubfolder(path);
    if (mark) SetExpandMark(item, true);
    return mark;
}

int DriveTree::ExpandItem(TreeItemId item, const std::string& path) {
    if (Find(item) == nullptr) return -1;
    std::vector<std::string> names;
    if (ListSubfolders(path, names) != 0) return -1;
    std::sort(names.begin(), names.end(), SortsBefore);
    const std::string prefix = WithSlash(path);
    std::vector<TreeItemId> children;
    children.reserve(names.size());
    for (std::string& name : names) {
        const bool mark = HasSubfolder(prefix + name);
        children.push_back(AddNode(item, std::move(name), DriveIcon::Folder, mark));
    }
    const size_t count = children.size();
    if (count == 0) return 0;
    if (m_observer) m_observer->BeginInsertChildren(item, 0, count);
    for (size_t row = 0; row < count; ++row) m_nodes.at(children[row]).row = row;
    m_nodes.at(item).children = std::move(children);
    if (m_observer) m_observer->EndInsertChildren();
    return static_cast<int>(count);
}

bool DriveTree::OpenItem(TreeItemId item) {
    Node* node = Find(item);
    if (node == nullptr) return false;
    if (node->expanded) return true;
    if (!node->expandMark) return false;
    SetExpandMark(item, false);
    const int count = ExpandItem(item, ItemPath(item));
    if (count < 0 && IsRoot(item)) SetExpandMark(item, true);
    if (count <= 0) return false;
    m_nodes.at(item).expanded = true;
    if (m_observer) m_observer->ItemChanged(item);
    return true;
}

void DriveTree::RemoveSubtree(TreeItemId item) {
    const auto found = m_nodes.find(item);
    if (found == m_nodes.end()) return;
    for (TreeItemId child : found->second.children) RemoveSubtree(child);
    m_nodes.erase(item);
}

void DriveTree::CloseItem(TreeItemId item) {
    Node* node = Find(item);
    if (node == nullptr || !node->expanded) return;
    // Closing above the selection selects the closed item, as a tree control does.
    bool selectionInside = false;
    for (TreeItemId at = Parent(m_selected); at != kNoItem; at = Parent(at)) selectionInside |= at == item;
    std::vector<TreeItemId> children = std::move(node->children);
    node->children.clear();
    node->expanded = false;
    if (!children.empty()) {
        if (m_observer) m_observer->BeginRemoveChildren(item, 0, children.size());
        for (TreeItemId child : children) RemoveSubtree(child);
        if (m_observer) m_observer->EndRemoveChildren();
    }
    if (IsRoot(item)) {
        SetExpandMark(item, true);
    } else {
        AddExpandMark(item, ItemPath(item));
    }
    if (m_observer) m_observer->ItemChanged(item);
    if (selectionInside) Select(item);
}

TreeItemId DriveTree::SelectPath(const std::string& path) {
    return FindBelow(kNoItem, WithSlash(path));
}

// One level of the walk: the children of `parent` whose path is the wanted path or a leading
// part of it, without regard to case, exact ones first.
TreeItemId DriveTree::FindBelow(TreeItemId parent, const std::string& wanted) {
    std::vector<std::pair<TreeItemId, bool>> candidates;  // item, exact
    for (TreeItemId child : Children(parent)) {
        const std::string path = WithSlash(ItemPath(child));
        if (path.size() > wanted.size() || CompareNoCase(path, wanted.substr(0, path.size())) != 0) continue;
        candidates.emplace_back(child, wanted.compare(0, path.size(), path) == 0);
    }
    std::stable_partition(candidates.begin(), candidates.end(), [](const auto& c) { return c.second; });
    for (const auto& [item, exact] : candidates) {
        const std::string path = WithSlash(ItemPath(item));
        if (path.size() == wanted.size()) {
            if (exact || SameFolder(path, wanted)) return item;
            continue;
        }
        const bool wasOpen = IsExpanded(item);
        if (OpenItem(item)) {
            const TreeItemId found = FindBelow(item, wanted);
            if (found != kNoItem) return found;
            if (!wasOpen) CloseItem(item);
        }
    }
    return kNoItem;
}

void DriveTree::Select(TreeItemId item) {
    if (item != kNoItem && !Contains(item)) item = kNoItem;
    if (item == m_selected) return;
    m_selected = item;
    if (m_observer) m_observer->SelectionChanged(item);
}

void DriveTree::ClearSelection() {
    m_currentPath.clear();
    Select(kNoItem);
}

}  // namespace quarto
