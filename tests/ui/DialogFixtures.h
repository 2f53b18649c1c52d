// What the dialog tests share: the real settings file in a temporary XDG_CONFIG_HOME, a
// notebook host and a frame that record what they are asked, answers for the modal choosers a
// button opens, and a look at every control's accessible name and access key.
#pragma once

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "platform/FrameSink.h"
#include "platform/ProfileStore.h"
#include "platform/SystemColors.h"
#include "ui/AccessKeys.h"
#include "ui/SettingsSheetHost.h"

namespace quarto::test {

// The settings as the program keeps them: the per-user INI file under a temporary
// XDG_CONFIG_HOME, loaded into a record. The file exists only once something was written.
struct RealSettings {
    RealSettings() : config(qEnvironmentVariable("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        Reload();
    }
    ~RealSettings() { qputenv("XDG_CONFIG_HOME", config.toLocal8Bit()); }

    // A new store over the file, as at the next start, with the record loaded from it.
    void Reload() {
        store.reset();
        profile = std::make_unique<QSettingsProfileStore>();
        store = std::make_unique<SettingsStore>(*profile, colors);
        settings = Settings{};
        store->LoadSettings(settings);
    }
    bool FileExists() const { return QFile::exists(QString::fromStdString(profile->FilePath())); }
    // The stored text of a value, or nothing.
    std::optional<std::string> Stored(const char* name) const {
        const std::string none = "\x01missing";
        const std::string text = profile->ReadString(kSettingsSection, name, none);
        return text == none ? std::nullopt : std::optional(text);
    }

    QString config;
    QTemporaryDir home;
    HeadlessSystemColors colors;
    std::unique_ptr<QSettingsProfileStore> profile;
    std::unique_ptr<SettingsStore> store;
    Settings settings;
};

// Records what the notebook asks of the frame, in order: "list L", "list R", "refill",
// "refresh", "redraw", "view".
class RecordingSheetHost : public SettingsSheetHost {
  public:
    void ApplyListSettings(Side side) override { calls.push_back(side == Side::Left ? "list L" : "list R"); }
    void RefillTrees() override { calls.push_back("refill"); }
    void StartRefresh() override { calls.push_back("refresh"); }
    void RedrawFrame() override { calls.push_back("redraw"); }
    void CurrentViewChanged() override { calls.push_back("view"); }
    std::vector<std::string> calls;
};

// A frame that keeps every message it is sent or posted.
class RecordingFrame : public FrameSink {
  public:
    intptr_t Send(const FrameMessage& message) override {
        messages.push_back(message);
        return 0;
    }
    void Post(FrameMessage message) override { messages.push_back(std::move(message)); }
    std::vector<FrameMessage> messages;
};

// Answers the next modal dialog of type T that opens (a chooser behind a button) with `answer`,
// once control is back in its event loop.
template <class T>
void AnswerNextModal(std::function<void(T&)> answer) {
    auto tries = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [answer, tries, poll] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            answer(*dialog);
            *poll = nullptr;  // ends the cycle of the shared pointers
        } else if (++*tries < 500) {
            QTimer::singleShot(10, *poll);
        }
    };
    QTimer::singleShot(0, *poll);
}

// Saves a picture of `widget` as NAME.png in $QUARTO_SCREENSHOTS, when set.
inline void Screenshot(QWidget& widget, const QString& name) {
    const QString folder = qEnvironmentVariable("QUARTO_SCREENSHOTS");
    if (!folder.isEmpty()) widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// What a keyboard and screen-reader user meets under `root` (hidden pages included): each
// enabled control that takes the focus without an accessible name, each access key used twice
// (or one of `reserved`), and each caption left without a key although one of its letters is
// free. Empty when all is well.
inline QStringList AccessFaults(QWidget* root, const QString& reserved = {}) {
    QStringList faults;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isEnabled() || w->focusPolicy() == Qt::NoFocus) continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        if (face == nullptr || face->text(QAccessible::Name).isEmpty())
            faults << QStringLiteral("%1 %2 has no accessible name")
                          .arg(w->metaObject()->className(), w->objectName());
    }
    QStringList captions;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        auto* button = qobject_cast<QAbstractButton*>(w);
        auto* label = qobject_cast<QLabel*>(w);
        if (!w->isEnabled() ||
            (label != nullptr && (label->buddy() == nullptr || !label->buddy()->isEnabled())))
            continue;
        const QString caption = button ? button->text() : label ? label->text() : QString();
        if (!caption.isEmpty()) captions << caption;
    }
    QString taken = reserved;
    for (const QString& caption : captions) {
        const QChar key = AccessKeyOf(caption);
        if (key.isNull()) continue;
        if (taken.contains(key)) faults << caption + QStringLiteral(": access key taken");
        taken += key;
    }
    for (const QString& caption : captions) {
        if (!AccessKeyOf(caption).isNull()) continue;
        for (QChar c : caption)
            if (c.isLetterOrNumber() && !taken.contains(c.toLower())) {
                faults << caption + QStringLiteral(": no access key, though '%1' is free").arg(c);
                break;
            }
    }
    return faults;
}

}  // namespace quarto::test
