// The sort dialog ("Sort modes"): the four sort modes and the two directions as radio groups.
// OK stores SortMode and SortDirection, each only when it changed, and then, when either did,
// posts UM_REFRESH to the frame so the lists are rebuilt in the new order; OK without a change
// writes nothing and starts nothing. Help opens the manual's section on sorting. Modal, UI
// thread only.
#pragma once

#include <QDialog>

class QButtonGroup;
class QPushButton;
class QRadioButton;

namespace quarto {

class FrameSink;
class SettingsStore;
struct Settings;

class CSortDialog final : public QDialog {
    Q_OBJECT

  public:
    CSortDialog(Settings& settings, SettingsStore& store, FrameSink& frame, QWidget* parent = nullptr);

    // Mode button n stands for SortMode 8288 + n; direction button n for SortDirection n.
    QRadioButton& ModeButton(int index);
    QRadioButton& DirectionButton(int index);
    QPushButton& HelpButton() { return *m_help; }

  public slots:
    void accept() override;

  private:
    Settings& m_settings;
    SettingsStore& m_store;
    FrameSink& m_frame;
    QButtonGroup* m_modes;
    QButtonGroup* m_directions;
    QPushButton* m_help;
};

}  // namespace quarto
