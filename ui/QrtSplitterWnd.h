// CQrtSplitterWnd: the main window's 2 x 2 splitter, drive trees above file lists, left column
// and right column. Its columns and its rows move together: dragging the bar between the trees
// moves the bar between the lists, and the one bar across moves both columns' panes. The
// stored sizes (LeftPaneWidth, DrivePaneHeight; -1 means half the width, a quarter of the
// height) are applied once the window is shown. "Split" moves the bars from the
// keyboard: arrows move them, Enter keeps, Esc puts them back. UI thread only.
#pragma once

#include <QWidget>
#include <array>

class QSplitter;

namespace quarto {

class CQrtSplitterWnd final : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kKeyboardStep = 8;  // pixels a bar moves per arrow key

    explicit CQrtSplitterWnd(QWidget* parent = nullptr);

    // Places `pane` at row (0 trees, 1 lists) and column (0 left, 1 right).
    void SetPane(int row, int column, QWidget* pane);
    QWidget* Pane(int row, int column) const { return m_panes[row * 2 + column]; }

    // The stored sizes, -1 for the defaults; applied at once when the splitter is shown, else by
    // ApplyInitialSizes once it is.
    void SetInitialSizes(int leftPaneWidth, int drivePaneHeight);
    void ApplyInitialSizes();
    bool InitialSizesApplied() const { return m_initialApplied; }
    int ColumnWidth() const;  // column 0, in pixels
    int RowHeight() const;    // row 0, in pixels
    void SetColumnWidth(int width);
    void SetRowHeight(int height);

    // The bars move by keyboard until Enter or Esc.
    void StartKeyboardSplit();
    bool InKeyboardSplit() const { return m_keyboardSplit; }

    // What the -1 defaults give for a client of that size.
    static int DefaultColumnWidth(int clientWidth) { return clientWidth / 2; }
    static int DefaultRowHeight(int clientHeight) { return clientHeight / 4; }

  signals:
    // Column 0 changed its width (the status bar's first pane follows it).
    void columnWidthChanged(int width);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ColumnMoved(QSplitter& moved);
    bool KeyboardSplitKey(int key);

    QSplitter* m_rows;
    std::array<QSplitter*, 2> m_columns;  // row 0, row 1
    std::array<QWidget*, 4> m_panes{};
    int m_initialWidth = -1;
    int m_initialHeight = -1;
    bool m_initialApplied = false;
    bool m_keyboardSplit = false;
    int m_savedWidth = 0;
    int m_savedHeight = 0;
    int m_lastColumnWidth = -1;
};

}  // namespace quarto
