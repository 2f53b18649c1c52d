// CQrtDriveView: one side's drive tree in the window's upper row. It draws its DriveTreeModel:
// drives and folders with their icons, expand buttons on unread branches, branches read as they
// open and dropped as they close. A click (or moving to a folder with the keyboard) makes the
// folder the side's directory and a double click (or Enter) refreshes both sides, as the frame's
// rules decide through DriveViewHost; while a job runs, clicks do nothing at all. The side's
// drive colours are applied to the drawing. UI thread only.
#pragma once

#include <QTreeView>

#include "core/Settings.h"
#include "core/Side.h"
#include "ops/DriveTree.h"

namespace quarto {

class DriveTreeModel;

// What a drive tree needs of the main frame.
class DriveViewHost {
  public:
    virtual ~DriveViewHost() = default;
    // A job runs or a cancel request is pending: the tree ignores clicks entirely.
    virtual bool TreeClicksIgnored() const = 0;
    // A folder was clicked (or reached by keyboard).
    virtual void TreeItemClicked(Side side, TreeItemId item) = 0;
    // A double click or Enter: refresh.
    virtual void TreeDoubleClicked(Side side) = 0;
};

class CQrtDriveView final : public QTreeView {
    Q_OBJECT

  public:
    CQrtDriveView(DriveTree& tree, const Settings& settings, DriveViewHost& host, QWidget* parent = nullptr);

    Side GetSide() const { return m_side; }
    DriveTreeModel& Model() { return *m_model; }
    // Takes the side's drive colours from the settings again.
    void ApplySettings();

  protected:
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void SyncExpansion(TreeItemId item);
    void SyncSelection(TreeItemId item);
    void Expanded(const QModelIndex& index);
    void Collapsed(const QModelIndex& index);

    const Side m_side;
    const Settings& m_settings;
    DriveViewHost& m_host;
    DriveTreeModel* m_model;
    bool m_syncing = false;  // the view follows the tree: its own signals are not passed back
};

}  // namespace quarto
