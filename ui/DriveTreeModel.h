// A side's drive tree (DriveTree, which decides everything) as a Qt item model: each index
// carries its item's id, rows and children are read from the tree where they are, and the tree's
// changes arrive as the model's begin/end notifications (the model is the tree's observer). An
// unread branch reports children before they are read; fetching them opens the branch. UI
// thread only.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <array>

#include "core/Settings.h"
#include "ops/DriveTree.h"

namespace quarto {

class DriveTreeModel final : public QAbstractItemModel, public DriveTreeObserver {
    Q_OBJECT

  public:
    enum Role : int { kItemIdRole = Qt::UserRole + 1 };

    DriveTreeModel(DriveTree& tree, const Settings& settings, QObject* parent = nullptr);
    ~DriveTreeModel() override;

    DriveTree& Tree() { return m_tree; }
    QModelIndex IndexOf(TreeItemId item) const;
    static TreeItemId ItemOf(const QModelIndex& index) { return index.isValid() ? index.internalId() : kNoItem; }
    // The theme's icon of that name, or the one drawn for Quarto when the theme has none; a
    // folder shows open while selected.
    static QIcon IconFor(DriveIcon icon);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // DriveTreeObserver.
    void BeginReset() override;
    void EndReset() override;
    void BeginInsertChildren(TreeItemId parent, size_t first, size_t count) override;
    void EndInsertChildren() override;
    void BeginRemoveChildren(TreeItemId parent, size_t first, size_t count) override;
    void EndRemoveChildren() override;
    void ItemChanged(TreeItemId item) override;
    void SelectionChanged(TreeItemId item) override;

  signals:
    // The item's branch opened or closed, or its expand mark came or went.
    void itemChanged(quint64 item);
    // The tree selected another item (0: none).
    void selectionChanged(quint64 item);

  private:
    DriveTree& m_tree;
    const Settings& m_settings;
};

}  // namespace quarto
