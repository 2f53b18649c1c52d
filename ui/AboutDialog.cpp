#include "ui/AboutDialog.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "app/QuartoApp.h"
#include "platform/ProgressSink.h"
#include "ui/AccessKeys.h"
#include "ui/AnimationFrames.h"
#include "ui/ContextHelp.h"
#include "ui/HelpTopics.h"
#include "ui/VersionValues.h"

namespace quarto {
namespace {

constexpr int kFirstField = kAboutProductName;
constexpr const char* kAppIconName = "com.brightvale.Quarto";

// The program icon: the window's, else the installed theme icon, else the compiled-in bitmap.
QPixmap ProgramIcon() {
    QIcon icon = QGuiApplication::windowIcon();
    if (icon.isNull()) icon = QIcon::fromTheme(QString::fromLatin1(kAppIconName));
    if (icon.isNull()) return QPixmap(QStringLiteral(":/icons/quarto-48.png"));
    return icon.pixmap(48, 48);
}

}  // namespace

CAboutDialog::CAboutDialog(int& splashTimeLeft, QWidget* parent)
    : QDialog(parent), m_splashTimeLeft(splashTimeLeft) {
    setWindowTitle(QStringLiteral("Product Information"));
    setWindowModality(Qt::WindowModal);  // the help window stays usable beside it
    SetHelpId(this, kHelpAboutBox);
    InstallHelpKeys(this);

    m_animation = new AnimationView(m_frame, QStringLiteral("Quarto at work"), this);
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon());
    icon->setAccessibleName(QStringLiteral("Quarto icon"));
    auto* pictures = new QVBoxLayout;
    pictures->addWidget(icon, 0, Qt::AlignHCenter);
    pictures->addWidget(m_animation, 0, Qt::AlignHCenter);
    pictures->addStretch();

    auto* texts = new QVBoxLayout;
    texts->addWidget(AddField(kAboutProductName, "ProductName", true));
    texts->addWidget(AddField(kAboutVersion, "0.0.0.0", false));
    texts->addWidget(AddField(kAboutDescription, "FileDescription", true));
    texts->addWidget(AddField(kAboutCopyright, "LegalCopyright", false));
    texts->addWidget(AddField(kAboutCompany, "CompanyName", false));
    texts->addStretch();

    // The compiled-in values stand where the fields' texts name them as keys.
    m_fields[kAboutVersion - kFirstField]->setText(QString::fromStdString(BuildVersionText()));
    for (int id = kAboutProductName; id <= kAboutCompany; ++id) {
        QLabel* field = m_fields[id - kFirstField];
        const char* value = VersionValue(field->text().toStdString());
        if (value != nullptr && *value != '\0') field->setText(QString::fromUtf8(value));
    }

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setAccessibleName(QStringLiteral("OK"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CAboutDialog::accept);
    auto* top = new QHBoxLayout;
    top->addLayout(pictures);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_ok, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    AssignAccessKeys(this);

    m_timer.setInterval(kAnimationIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CAboutDialog::Tick);
    m_timer.start();
}

QLabel* CAboutDialog::AddField(AboutField id, const char* templateText, bool bold) {
    auto* field = new QLabel(QString::fromLatin1(templateText), this);
    field->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (bold) {
        // Arial, or the nearest face the system has, 8 points at the screen's vertical
        // resolution as pixels; never smaller than the box's other lines, whose desktop font
        // is often larger than 8 points here.
        QFont font(QStringLiteral("Arial"));
        const int pixels = qRound(8.0 * logicalDpiY() / 72.0);
        font.setPixelSize(std::max(pixels, QFontInfo(this->font()).pixelSize()));
        font.setWeight(QFont::Bold);
        field->setFont(font);
    }
    m_fields[id - kFirstField] = field;
    return field;
}

const QLabel& CAboutDialog::Field(AboutField id) const {
    return *m_fields[id - kFirstField];
}

void CAboutDialog::Tick() {
    if (m_splashTimeLeft > 0) {
        const int before = m_splashTimeLeft;
        m_splashTimeLeft -= kAnimationIntervalMs;
        if (before <= kAnimationIntervalMs) {
            m_timer.stop();
            QDialog::accept();
            return;
        }
    }
    m_frame = (m_frame + 1) % kAnimationFrameCount;
    m_animation->update();
}

void CAboutDialog::accept() {
    m_splashTimeLeft = 0;
    m_timer.stop();
    QDialog::accept();
}

void CAboutDialog::reject() {
    accept();
}

void CAboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_centred) return;
    m_centred = true;
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QRect area = owner != nullptr && owner->isVisible() ? owner->frameGeometry()
                       : screen() != nullptr                  ? screen()->availableGeometry()
                                                              : QRect();
    if (area.isValid()) move(area.center() - rect().center());
}

void ShowAboutBox(int& splashTimeLeft, QWidget* parent, ProgressSink* progress) {
    if (progress != nullptr) progress->Hide();
    CAboutDialog box(splashTimeLeft, parent);
    box.exec();
    if (progress != nullptr) progress->Show();
}

}  // namespace quarto
