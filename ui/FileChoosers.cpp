#include "ui/FileChoosers.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QRadioButton>

namespace quarto {
namespace {

const QString kSnapshotFilters = QStringLiteral("NT Snapshot Files (*.qsn);;All Files (*)");
const QString kCommandFilters = QStringLiteral("NT Command Files (*.cmd);;All Files (*)");

// Qt's own dialog (not the desktop's), so that rows can be added below its controls.
void Prepare(QFileDialog& dialog, const QString& title, const QString& suffix, const QString& filters) {
    dialog.setWindowTitle(title);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setDefaultSuffix(suffix);
    dialog.setNameFilters(filters.split(QStringLiteral(";;")));
    dialog.setDirectory(QDir::current());
}

void AddRow(QFileDialog& dialog, QWidget* row) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (grid != nullptr) {
        grid->addWidget(row, grid->rowCount(), 0, 1, grid->columnCount());
    } else if (dialog.layout() != nullptr) {
        dialog.layout()->addWidget(row);
    }
}

std::string ChosenPath(const QFileDialog& dialog) {
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return {};
    return QFile::encodeName(QDir::cleanPath(QFileInfo(files.front()).absoluteFilePath())).toStdString();
}

int Run(const DialogRunner& runner, QFileDialog& dialog) {
    return runner ? runner(dialog) : dialog.exec();
}

}  // namespace

std::optional<SnapshotFileDialog::Choice> SnapshotFileChooser::AskSave(Side defaultSide) {
    return Ask(true, defaultSide);
}

std::optional<SnapshotFileDialog::Choice> SnapshotFileChooser::AskLoad(Side defaultSide) {
    return Ask(false, defaultSide);
}

std::optional<SnapshotFileDialog::Choice> SnapshotFileChooser::Ask(bool save, Side defaultSide) {
    QFileDialog dialog(m_owner);
    Prepare(dialog, save ? QStringLiteral("Save Snapshot") : QStringLiteral("Load Snapshot"),
            QStringLiteral("qsn"), kSnapshotFilters);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setLabelText(QFileDialog::Accept, save ? QStringLiteral("Save") : QStringLiteral("Load"));
    auto* row = new QWidget(&dialog);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    auto* left = new QRadioButton(QStringLiteral("&Left"), row);
    auto* right = new QRadioButton(QStringLiteral("&Right"), row);
    left->setObjectName(QStringLiteral("snapshotLeft"));
    right->setObjectName(QStringLiteral("snapshotRight"));
    rowLayout->addWidget(left);
    rowLayout->addWidget(right);
    rowLayout->addStretch();
    (defaultSide == Side::Right ? right : left)->setChecked(true);
    AddRow(dialog, row);
    if (Run(m_runner, dialog) != QDialog::Accepted) return std::nullopt;
    const std::string path = ChosenPath(dialog);
    if (path.empty()) return std::nullopt;
    return Choice{path, right->isChecked() ? Side::Right : Side::Left};
}

std::optional<CommandFileDialog::Choice> CommandFileChooser::Ask() {
    QFileDialog dialog(m_owner);
    Prepare(dialog, QStringLiteral("Generate .CMD file"), QStringLiteral("cmd"), kCommandFilters);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // the file need not exist
    auto* append = new QCheckBox(QStringLiteral("&Append"), &dialog);
    append->setObjectName(QStringLiteral("commandFileAppend"));
    AddRow(dialog, append);
    if (Run(m_runner, dialog) != QDialog::Accepted) return std::nullopt;
    const std::string path = ChosenPath(dialog);
    if (path.empty()) return std::nullopt;
    return Choice{path, append->isChecked()};
}

}  // namespace quarto
