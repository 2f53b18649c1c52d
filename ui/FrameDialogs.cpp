#include "ui/FrameDialogs.h"

#include <QApplication>
#include <algorithm>

#include "ui/AboutDialog.h"
#include "ui/ContextHelp.h"
#include "ui/RowListWatcher.h"
#include "ui/SettingsSheet.h"
#include "ui/SortDialog.h"
#include "ui/StatisticsDialog.h"

namespace quarto {

FrameDialogs::FrameDialogs(FrameDialogsContext context, QObject* parent)
    : QObject(parent), m_context(std::move(context)) {
    m_throttle.setSingleShot(true);
    m_throttle.setInterval(RowListWatcher::kFrameIntervalMs);
    connect(&m_throttle, &QTimer::timeout, this, [this] {
        if (!m_repaintDue) return;
        m_repaintDue = false;
        RepaintStatistics();
    });
}

FrameDialogs::~FrameDialogs() {
    CloseStatistics();
}

bool FrameDialogs::ShowSettings(QWidget* owner) {
    const FrameDialogsContext& c = m_context;
    CSettingsSheet sheet({c.settings, c.store, c.host, c.prompter, m_systemColors, c.programName}, owner);
    return sheet.exec() == QDialog::Accepted;
}

void FrameDialogs::ShowStatistics(QWidget* owner) {
    auto* dialog =
        new CStatisticsDialog(m_context.figures, m_context.store, m_context.errors, &m_context.frame, owner);
    std::erase_if(m_statistics, [](const QPointer<CStatisticsDialog>& d) { return d.isNull(); });
    m_statistics.emplace_back(dialog);
    dialog->show();
}

CStatisticsDialog* FrameDialogs::Statistics() const {
    for (auto it = m_statistics.rbegin(); it != m_statistics.rend(); ++it)
        if (!it->isNull()) return it->data();
    return nullptr;
}

// The first change repaints at once, later ones within the same frame interval wait for its end.
void FrameDialogs::InvalidateStatistics() {
    if (m_throttle.isActive()) {
        m_repaintDue = true;
        return;
    }
    RepaintStatistics();
}

void FrameDialogs::RepaintStatistics() {
    bool any = false;
    for (const QPointer<CStatisticsDialog>& dialog : m_statistics) {
        if (dialog.isNull()) continue;
        dialog->update();
        any = true;
    }
    if (any) m_throttle.start();
}

// Deleted, not closed: a dialog closed by the user stores its position, one that goes with the
// frame does not.
void FrameDialogs::CloseStatistics() {
    for (QPointer<CStatisticsDialog>& dialog : m_statistics) delete dialog.data();
    m_statistics.clear();
    m_throttle.stop();
    m_repaintDue = false;
}

bool FrameDialogs::ShowSort(QWidget* owner) {
    CSortDialog dialog(m_context.settings, m_context.store, m_context.frame, owner);
    return dialog.exec() == QDialog::Accepted;
}

void FrameDialogs::ShowAboutBox(QWidget* owner, int& splashTimeLeft) {
    quarto::ShowAboutBox(splashTimeLeft, owner, &m_context.progress);
}

// The help commands act on the widget with the keyboard focus, whichever window holds it.
void FrameDialogs::ShowHelp(QWidget* /*owner*/, int command) {
    RunHelpCommand(command, QApplication::focusWidget());
}

}  // namespace quarto
