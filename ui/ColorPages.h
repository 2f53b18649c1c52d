// The settings notebook's two colour pages: the drive trees' colours, and the file lists'
// colours and fonts. Each row is a read-only sample painted in the row's colours (and font)
// beside the buttons that pick them: a colour button opens the colour chooser at the current
// colour, a font button the font chooser at the current font; OK takes the choice into the
// notebook's copy and the samples show it at once, Cancel keeps the value. UI thread only.
#pragma once

#include <span>
#include <vector>

#include "ui/SettingsPage.h"

class QGridLayout;
class QLineEdit;
class QVBoxLayout;

namespace quarto {

class SystemColors;

// One row of a colour page.
struct ColorRow {
    const char* group;  // the titled group the row stands in; null: none
    const char* what;   // what the row colours, as the chooser's title and the buttons' description say
    int sampleId;
    const char* sampleText;     // null: a background sample, filled with `first`
    ColorRef Settings::*first;  // the text colour, or a background sample's colour
    int firstButton;
    ColorRef Settings::*second = nullptr;  // the background behind the text
    int secondButton = 0;
    LogFont Settings::*font = nullptr;  // the sample's font
    int fontButton = 0;
};

class CColorsPage : public CSettingsPage {
    Q_OBJECT

  public:
    CColorsPage(int templateId, const QString& title, PageContext& context, std::span<const ColorRow> rows);

    // Samples and sample fonts show the copy's values (again).
    void ShowSamples();
    QLineEdit& Sample(int id);

  protected:
    QVBoxLayout* m_column;

  private:
    void AddRow(QGridLayout* grid, int line, const ColorRow& row);
    QWidget* AddButton(const ColorRow& row, int id, const char* caption, const QString& description);
    void ChooseColor(ColorRef Settings::*member, const QString& title);
    void ChooseFont(LogFont Settings::*member, const QString& title);

    std::vector<std::pair<const ColorRow*, QLineEdit*>> m_samples;
    int m_buttonWidth = 0;
};

class CDriveColorsPage final : public CColorsPage {
    Q_OBJECT

  public:
    explicit CDriveColorsPage(PageContext& context);
};

// With "Set to defaults": the page's twenty colours back to their defaults (the desktop's
// colours where the default follows it) and both fonts to the default font; nothing is stored
// unless the notebook closes with OK.
class CFilesColorsPage final : public CColorsPage {
    Q_OBJECT

  public:
    CFilesColorsPage(PageContext& context, const SystemColors& colors);
    void SetToDefaults();

  private:
    const SystemColors& m_colors;
};

}  // namespace quarto
