// The window's seams and trees: messages and questions from workers reach the UI thread and come
// back with their results (and stop waiting once the window has gone), the two file dialogs'
// added rows, and a drive tree drawing its model: lazy branches, clicks that choose a folder,
// clicks ignored while a job runs.
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <future>
#include <thread>

#include "tests/ui/FrameHarness.h"
#include "tests/ui/UiTest.h"
#include "ui/DriveTreeModel.h"
#include "ui/QrtFilesView.h"
#include "ui/QrtSplitterWnd.h"

namespace quarto::test {

class WindowSeamsTest : public QObject {
    Q_OBJECT

  private slots:
    // A worker's send runs on the UI thread and returns its result; a post arrives later; once
    // the sink is shut down a waiting sender is released with 0.
    void FrameSinkSendPostAndShutdown() {
        std::vector<uint32_t> handled;
        std::thread::id handlerThread;
        QtFrameSink sink([&](const FrameMessage& message) -> intptr_t {
            handled.push_back(message.id);
            handlerThread = std::this_thread::get_id();
            return message.wParam * 2;
        });
        auto sent = std::async(std::launch::async, [&] { return sink.Send({UM_BUSY, 21}); });
        QVERIFY(QTest::qWaitFor([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        QCOMPARE(sent.get(), intptr_t{42});
        QCOMPARE(handlerThread, std::this_thread::get_id());
        sink.Post({UM_REFRESH});
        QCOMPARE(handled.size(), size_t{1});
        QVERIFY(QTest::qWaitFor([&] { return handled.size() == 2; }));
        // A send queued but never handled: the shutdown answers it.
        auto waiting = std::async(std::launch::async, [&] { return sink.Send({UM_BUSY, 5}); });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        sink.Shutdown();
        QCOMPARE(waiting.get(), intptr_t{0});
        QCOMPARE(sink.Send({UM_BUSY, 1}), intptr_t{0});
        QCoreApplication::processEvents();
        QCOMPARE(handled.size(), size_t{2});
    }

    // A scan asks for a statistics repaint once per file: the UI thread hears of a burst once,
    // and of a change after that again.
    void StatisticsNoticesCoalesce() {
        int heard = 0;
        QtFrameSink sink([&](const FrameMessage& message) -> intptr_t {
            if (message.id == UM_STATISTICS) ++heard;
            return 0;
        });
        std::thread scan([&] {
            for (int i = 0; i < 100000; ++i) sink.InvalidateStatistics();
        });
        scan.join();
        QCoreApplication::processEvents();
        QCOMPARE(heard, 1);
        sink.InvalidateStatistics();
        QCoreApplication::processEvents();
        QCOMPARE(heard, 2);
    }

    // A worker's question is a message box on the UI thread with the caption, text, buttons and
    // default as given; the button pressed is the worker's answer. After shutdown a question is
    // answered Cancel (or Abort) without a box.
    void PrompterAsksOnTheUiThread() {
        QtPrompter prompter;
        QString caption, text;
        QStringList buttons;
        // Answers the box once it is up (it runs its own loop, so the answer comes from a timer).
        QTimer answerer;
        QObject::connect(&answerer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            answerer.stop();
            caption = box->windowTitle();
            text = box->text();
            for (QAbstractButton* button : box->buttons()) buttons << button->text();
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Retry));
            box->button(QMessageBox::Ignore)->click();
        });
        answerer.start(10);
        auto answer = std::async(std::launch::async, [&] {
            return prompter.MessageBox("Cannot copy", "quarto", MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
        });
        QVERIFY(QTest::qWaitFor([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000));
        QCOMPARE(answer.get(), int(IDIGNORE));
        QCOMPARE(caption, QStringLiteral("quarto"));
        QCOMPARE(text, QStringLiteral("Cannot copy"));
        QCOMPARE(buttons.size(), 3);
        prompter.Shutdown();
        QCOMPARE(prompter.MessageBox("?", "quarto", MB_ABORTRETRYIGNORE), int(IDABORT));
        QCOMPARE(prompter.MessageBox("?", "quarto", MB_OKCANCEL), int(IDCANCEL));
    }

    // The snapshot dialog's Left/Right row starts at the side asked for and gives the side
    // chosen; the command-file dialog's Append box is unchecked at first.
    void FileDialogRows() {
        SnapshotFileChooser snapshots;
        QString title;
        snapshots.SetRunner([&](QFileDialog& dialog) {
            title = dialog.windowTitle();
            auto* right = dialog.findChild<QRadioButton*>(QStringLiteral("snapshotRight"));
            if (right == nullptr || !right->isChecked()) return int(QDialog::Rejected);
            dialog.findChild<QRadioButton*>(QStringLiteral("snapshotLeft"))->setChecked(true);
            dialog.selectFile(QStringLiteral("/tmp/x.qsn"));
            return int(QDialog::Accepted);
        });
        const auto saved = snapshots.AskSave(Side::Right);
        QVERIFY(saved.has_value());
        QCOMPARE(title, QStringLiteral("Save Snapshot"));
        QCOMPARE(saved->side, Side::Left);
        QCOMPARE(saved->fileName, std::string("/tmp/x.qsn"));
        QVERIFY(!snapshots.AskLoad(Side::Left).has_value());  // preset Left: the runner cancels
        QCOMPARE(title, QStringLiteral("Load Snapshot"));

        CommandFileChooser commands;
        commands.SetRunner([&](QFileDialog& dialog) {
            title = dialog.windowTitle();
            auto* append = dialog.findChild<QCheckBox*>(QStringLiteral("commandFileAppend"));
            if (append == nullptr || append->isChecked()) return int(QDialog::Rejected);
            append->setChecked(true);
            dialog.selectFile(QStringLiteral("/tmp/sync.cmd"));
            return int(QDialog::Accepted);
        });
        const auto chosen = commands.Ask();
        QVERIFY(chosen.has_value());
        QCOMPARE(title, QStringLiteral("Generate .CMD file"));
        QVERIFY(chosen->append);
        QCOMPARE(chosen->name, std::string("/tmp/sync.cmd"));
    }

    // The tree view draws its model: the drive root, the branch down to the side's folder
    // opened, an unread folder showing children before they are read, opened on expanding.
    // A click chooses a folder as the side's directory; while a job runs it does nothing.
    void DriveTreeDrawsAndChooses() {
        FrameHarness h;
        h.disk.Dir("left/sub/deeper");
        h.StartUp();
        CQrtDriveView& view = h.frame->TreeView(Side::Left);
        DriveTreeModel& model = view.Model();
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0, 0).data().toString().toStdString() + "/", h.disk.Root());
        const QModelIndex left = view.currentIndex();
        QCOMPARE(left.data().toString(), QStringLiteral("left"));
        QVERIFY(view.isExpanded(left.parent()));
        QVERIFY(model.hasChildren(left));
        QCOMPARE(model.rowCount(left), 0);  // not read yet
        view.expand(left);
        QVERIFY(QTest::qWaitFor([&] { return model.rowCount(left) == 1; }));
        const QModelIndex sub = model.index(0, 0, left);
        QCOMPARE(sub.data().toString(), QStringLiteral("sub"));
        QVERIFY(model.hasChildren(sub));
        view.scrollTo(sub);
        const QPoint onSub = view.visualRect(sub).center();
        h.controller->Busy().Begin();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, onSub);
        QCOMPARE(h.settings.LeftDir, h.disk.Path("left/"));
        h.controller->Busy().End();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, onSub);
        QCOMPARE(h.settings.LeftDir, h.disk.Path("left/sub/"));
        QCOMPARE(view.currentIndex(), sub);
        QVERIFY(QTest::qWaitFor([&] { return h.frame->List(Side::Left).model()->rowCount() == 1; }));  // placeholder
        // The selection spans the pane's width, as the pane narrows and widens again, without
        // a sideways scroll bar while the names fit.
        for (int column : {320, 250, 480}) {
            h.frame->Splitter().SetColumnWidth(column);
            QTRY_COMPARE(view.columnWidth(0), view.viewport()->width());
            QVERIFY(!view.horizontalScrollBar()->isVisible());
        }
    }
};

QUARTO_UI_TEST(WindowSeamsTest)

}  // namespace quarto::test

#include "WindowSeamsTest.moc"
