#include "ui/ContextHelp.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QShortcut>
#include <QToolButton>

#include "res/CommandIds.h"
#include "ui/HelpTopics.h"
#include "ui/HelpWindow.h"

namespace quarto {
namespace {

// The topic of what a click at `position` in `widget` hits: a menu item, a toolbar button's
// command, or the widget with its parents.
HelpTopic TopicAt(QWidget* widget, const QPoint& position) {
    if (auto* menu = qobject_cast<QMenu*>(widget))
        if (const QAction* action = menu->actionAt(position); HelpIdOf(action) != 0)
            return HelpTopicFor(HelpIdOf(action));
    if (auto* button = qobject_cast<QToolButton*>(widget); button != nullptr && button->defaultAction())
        if (const int id = HelpIdOf(button->defaultAction())) return HelpTopicFor(id);
    return HelpTopicForWidget(widget);
}

// Installed on the application while context help is active: takes the next click anywhere.
class ContextHelpFilter final : public QObject {
  public:
    ContextHelpFilter() : QObject(qApp) {
        QApplication::setOverrideCursor(Qt::WhatsThisCursor);
        qApp->installEventFilter(this);
    }
    ~ContextHelpFilter() override { Finish(); }

    // Ends the mode at once (the object itself goes once control is back in the event loop).
    void Finish() {
        if (m_finished) return;
        m_finished = true;
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
        deleteLater();
    }
    bool Finished() const { return m_finished; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                return watched->isWidgetType() && Clicked(static_cast<QWidget*>(watched), *event);
            case QEvent::KeyPress:
                if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
                Finish();
                return true;
            case QEvent::ApplicationDeactivate:
                Finish();
                return false;
            default:
                return false;
        }
    }

  private:
    bool Clicked(QWidget* widget, const QEvent& event) {
        const QPoint position = static_cast<const QMouseEvent&>(event).position().toPoint();
        // Menus open as usual, so that their items can be asked about.
        if (qobject_cast<QMenuBar*>(widget) != nullptr) return false;
        if (auto* menu = qobject_cast<QMenu*>(widget)) {
            const QAction* action = menu->actionAt(position);
            if (action == nullptr || action->menu() != nullptr) return false;
        }
        const HelpTopic topic = TopicAt(widget, position);
        // An open menu and its parents go away without acting on the click.
        for (int depth = 0; depth < 16 && QApplication::activePopupWidget() != nullptr; ++depth)
            QApplication::activePopupWidget()->close();
        Finish();
        OpenHelp(topic);
        return true;
    }

    bool m_finished = false;
};

QPointer<ContextHelpFilter>& TheFilter() {
    static QPointer<ContextHelpFilter> filter;
    return filter;
}

}  // namespace

void BeginContextHelp() {
    if (ContextHelpActive()) return;
    TheFilter() = new ContextHelpFilter;
}

bool ContextHelpActive() {
    // A filter that has taken its click is on its way out.
    return !TheFilter().isNull() && !TheFilter()->Finished();
}

bool RunHelpCommand(int command, QWidget* focusWidget) {
    switch (command) {
        case kCmdHelpTopics:
            OpenHelp(ContentsTopic());
            return true;
        case kCmdHelpIndex:
            OpenHelp(IndexTopic());
            return true;
        case kCmdHelp:
            OpenHelp(HelpTopicForWidget(focusWidget));
            return true;
        case kCmdContextHelp:
            BeginContextHelp();
            return true;
        default:
            return false;
    }
}

void InstallHelpKeys(QWidget* dialog) {
    auto* help = new QShortcut(QKeySequence::HelpContents, dialog);
    QObject::connect(help, &QShortcut::activated, dialog, [dialog] {
        QWidget* focus = dialog->focusWidget();
        OpenHelp(HelpTopicForWidget(focus != nullptr ? focus : dialog));
    });
    auto* context = new QShortcut(QKeySequence::WhatsThis, dialog);
    QObject::connect(context, &QShortcut::activated, dialog, &BeginContextHelp);
}

}  // namespace quarto
