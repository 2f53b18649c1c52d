#include "ui/ProgressDialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/AnimationFrames.h"
#include "ui/ContextHelp.h"
#include "ui/HelpTopics.h"

namespace quarto {

CProgressDialog::CProgressDialog(std::function<bool()> requestCancel, QWidget* parent)
    : QDialog(parent), m_requestCancel(std::move(requestCancel)) {
    setWindowTitle(QStringLiteral("Quarto working..."));
    setModal(false);
    SetHelpId(this, kHelpProgressDialog);
    InstallHelpKeys(this);
    m_animation = new AnimationView(m_frame, QStringLiteral("Working"), this);
    m_operation = new QLabel(QStringLiteral("Working..."), this);
    m_count = new QLabel(this);
    m_operation->setAlignment(Qt::AlignCenter);
    m_count->setAlignment(Qt::AlignCenter);
    m_operation->setAccessibleName(QStringLiteral("Operation"));
    m_count->setAccessibleName(QStringLiteral("Progress"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setDefault(true);
    connect(m_cancel, &QPushButton::clicked, this, &CProgressDialog::Cancel);

    auto* lines = new QVBoxLayout;
    lines->addStretch();
    lines->addWidget(m_operation);
    lines->addWidget(m_count);
    lines->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_animation, 0, Qt::AlignVCenter);
    top->addLayout(lines, 1);
    top->addSpacing(m_animation->width());  // keeps the lines centred in the dialog
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
    // About 200 x 90 dialog units.
    resize(340, 140);

    m_timer.setInterval(kAnimationIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_frame = (m_frame + 1) % kAnimationFrameCount;
        m_animation->update();
    });
    m_timer.start();
}

void CProgressDialog::SetOperationText(const QString& text) {
    m_operation->setText(text);
}

void CProgressDialog::SetCountText(const QString& text) {
    m_count->setText(text);
}

QString CProgressDialog::OperationText() const {
    return m_operation->text();
}

QString CProgressDialog::CountText() const {
    return m_count->text();
}

void CProgressDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_centred) return;
    m_centred = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void CProgressDialog::reject() {
    Cancel();
}

void CProgressDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    Cancel();
}

void CProgressDialog::Cancel() {
    // The routine may ask a question; the dialog may be told to go meanwhile (see the sink).
    const QPointer<CProgressDialog> self(this);
    const bool pending = m_requestCancel();
    if (self && pending) m_cancel->setEnabled(false);
}

}  // namespace quarto
