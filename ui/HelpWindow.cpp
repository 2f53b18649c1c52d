#include "ui/HelpWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace quarto {
namespace {

QPointer<CHelpWindow>& TheHelpWindow() {
    static QPointer<CHelpWindow> window;
    return window;
}

QPushButton* Button(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAccessibleName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

QUrl ManualUrl(const HelpTopic& topic, const QString& programFolder) {
    const QString installed = QDir(programFolder).absoluteFilePath(QStringLiteral("../share/quarto/help"));
    QUrl url = QFileInfo::exists(installed + QStringLiteral("/index.html"))
                   ? QUrl::fromLocalFile(QDir::cleanPath(installed + QLatin1Char('/') + topic.page))
                   : QUrl(QStringLiteral("qrc:/help/") + topic.page);
    if (!topic.anchor.isEmpty()) url.setFragment(topic.anchor);
    return url;
}

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    // A help window left open must not keep Quarto running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Quarto Help"));
    m_browser = new QTextBrowser(this);
    m_browser->setAccessibleName(QStringLiteral("Help page"));
    m_browser->setOpenExternalLinks(false);
    m_back = Button(QStringLiteral("&Back"), QStringLiteral("Back"), this);
    m_forward = Button(QStringLiteral("&Forward"), QStringLiteral("Forward"), this);
    auto* contents = Button(QStringLiteral("&Contents"), QStringLiteral("Contents"), this);
    auto* close = Button(QStringLiteral("C&lose"), QStringLiteral("Close"), this);
    m_back->setToolTip(QStringLiteral("Back (Alt+Left)"));
    m_forward->setToolTip(QStringLiteral("Forward (Alt+Right)"));
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(contents, &QPushButton::clicked, this,
            [this] { ShowUrl(ManualUrl(ContentsTopic(), QCoreApplication::applicationDirPath())); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &CHelpWindow::SourceChanged);
    new QShortcut(QKeySequence::Back, m_browser, SLOT(backward()));
    new QShortcut(QKeySequence::Forward, m_browser, SLOT(forward()));
    new QShortcut(Qt::Key_Escape, this, SLOT(close()));
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(contents);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);
    // Wide enough for the manual's widest picture (the main window, 760 pixels) with the page's
    // margins and a scroll bar beside it.
    resize(840, 640);
}

void CHelpWindow::ShowUrl(const QUrl& url) {
    m_browser->setSource(url);
    // The anchor again, now that the page is laid out at the window's size.
    if (!url.fragment().isEmpty()) m_browser->scrollToAnchor(url.fragment());
}

QUrl CHelpWindow::Source() const {
    return m_browser->source();
}

void CHelpWindow::SourceChanged() {
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Quarto Help") : title);
}

CHelpWindow* OpenHelp(const HelpTopic& topic) {
    QPointer<CHelpWindow>& window = TheHelpWindow();
    if (window.isNull()) {
        window = new CHelpWindow;
        // Without a parent nothing else would delete it when the program ends.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window.data(), &QObject::deleteLater);
    }
    window->show();
    window->ShowUrl(ManualUrl(topic, QCoreApplication::applicationDirPath()));
    window->raise();
    window->activateWindow();
    return window.data();
}

CHelpWindow* HelpWindow() {
    return TheHelpWindow().data();
}

}  // namespace quarto
