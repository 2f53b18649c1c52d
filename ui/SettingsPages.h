// The settings notebook's pages of check boxes, fields and choices (the two colour pages have
// their own file). Each page's controls, captions and ids follow the notebook's tables; the
// rules inside a page are told at its class. UI thread only.
#pragma once

#include <functional>

#include "ui/SettingsPage.h"

class QCheckBox;

namespace quarto {

// "Check differences in": what a comparison checks. "Ignore FAT-CD/NTFS 2 sec." is enabled
// only while "Date/times" is checked, "Ignore Ctrl-Z" only while "Sizes" is; a disabled box
// keeps its state and is saved with it. `exchanged` runs at each data exchange (entering and
// leaving the page), where the notebook applies its rule on the Modified view.
class CCheckPage final : public CSettingsPage {
    Q_OBJECT

  public:
    CCheckPage(PageContext& context, std::function<void()> exchanged);
    void Enter() override;
    bool Leave() override;

  private:
    void ApplyEnableRules();

    std::function<void()> m_exchanged;
    QCheckBox* m_dateTimes;
    QCheckBox* m_ignore2Sec;
    QCheckBox* m_sizes;
    QCheckBox* m_ignoreCtrlZ;
};

class CComparitorPage final : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CComparitorPage(PageContext& context);
};

class CConfirmPage final : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CConfirmPage(PageContext& context);
};

class CEditorPage final : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CEditorPage(PageContext& context);
};

// The include-list field and its "Find..." button are shown disabled: the include list is kept
// but nothing reads it.
class CFiltersPage final : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CFiltersPage(PageContext& context);
};

class CMarkClearPage final : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CMarkClearPage(PageContext& context);
};

// Also the scan's pause after each entry, 0 to 1000 ms.
class CMiscPage final : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CMiscPage(PageContext& context);
    bool Leave() override;

  private:
    NumberField m_pause;
};

class CRunProgramPage final : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CRunProgramPage(PageContext& context);
};

// The progress interval field (0 to 10000 entries) is enabled only while "Show Progress
// dialog" is checked.
class CShowPage final : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CShowPage(PageContext& context);
    void Enter() override;
    bool Leave() override;

  private:
    QCheckBox* m_showProgress;
    NumberField m_interval;
};

class CStartupPage final : public CSettingsPage {
    Q_OBJECT

  public:
    explicit CStartupPage(PageContext& context);
};

}  // namespace quarto
