// The progress dialog and its sink: what it shows, the animation, Cancel with and without the
// ConfirmEsc question, workers' lines arriving from another thread (and dropped while no dialog
// exists), the dialog going away while its cancel question is up, and the wait cursor.
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <thread>

#include "core/JobContext.h"
#include "platform/ErrorSink.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/Prompter.h"
#include "tests/support/JobDoubles.h"
#include "tests/ui/UiTest.h"
#include "ui/ProgressDialog.h"
#include "ui/ProgressDialogSink.h"

namespace quarto::test {
namespace {

// Answers the cancel question from a script, and may run something while the question is up
// (the busy end that destroys the dialog meanwhile, say).
class QuestionPrompter : public Prompter {
  public:
    int MessageBox(const std::string& text, const std::string& caption, uint32_t type) override {
        questions.push_back(text + " | " + caption);
        typeAsked = type;
        if (whileAsked) whileAsked();
        return answer;
    }
    int answer = IDYES;
    uint32_t typeAsked = 0;
    std::function<void()> whileAsked;
    std::vector<std::string> questions;
};

// A job context around the sink, as the application wires them.
struct Job {
    Job() { settings.ConfirmEsc = true; }
    Settings settings;
    FrameRelay frame;
    QuestionPrompter prompter;
    RecordingErrorSink errors{prompter};
    Event cancel{Event::Reset::Manual};
    ProgressDialogSink sink{[this] { return job.RequestCancel(); }};
    JobContext job{settings, frame, sink, prompter, errors, cancel};
};

}  // namespace

class ProgressDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void showsItsLinesAndAnimates() {
        Job j;
        QVERIFY(!j.sink.Exists());
        j.sink.CreateDialog();
        CProgressDialog* dialog = j.sink.Dialog();
        QVERIFY(dialog != nullptr && dialog->isVisible() && !dialog->isModal());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Quarto working..."));
        QCOMPARE(dialog->OperationText(), QStringLiteral("Working..."));
        QCOMPARE(dialog->CountText(), QString());
        QCOMPARE(dialog->CancelButton().text(), QStringLiteral("Cancel"));
        QTRY_COMPARE_WITH_TIMEOUT(dialog->Frame(), 3, 5000);  // 0, 1, 2, 3, a step each 200 ms
        QTRY_COMPARE_WITH_TIMEOUT(dialog->Frame(), 0, 5000);
        const QString shots = qEnvironmentVariable("QUARTO_SCREENSHOTS");
        if (!shots.isEmpty()) dialog->grab().save(shots + QStringLiteral("/progress.png"));
    }

    void cancelAsksAndDisablesItselfOnlyWhenCancelled() {
        Job j;
        j.sink.CreateDialog();
        QPushButton& cancel = j.sink.Dialog()->CancelButton();
        j.prompter.answer = IDNO;
        QTest::mouseClick(&cancel, Qt::LeftButton);
        QVERIFY(cancel.isEnabled());
        QVERIFY(!j.cancel.IsSet());
        QCOMPARE(j.prompter.questions.back(),
                 "Do you really want to cancel the operation in progress? | quarto");
        QCOMPARE(j.prompter.typeAsked, uint32_t(MB_YESNO | MB_ICONQUESTION));
        j.prompter.answer = IDYES;
        QTest::keyClick(j.sink.Dialog(), Qt::Key_Escape);  // Esc is Cancel
        QVERIFY(!cancel.isEnabled());
        QVERIFY(j.cancel.IsSet());
        QCOMPARE(j.sink.Dialog()->OperationText(), QStringLiteral("Canceling..."));
        QVERIFY(j.sink.Dialog()->isVisible());  // hidden for the question, shown again, never closed
    }

    void theDialogMayGoWhileItsQuestionIsUp() {
        Job j;
        j.sink.CreateDialog();
        QPointer<CProgressDialog> dialog = j.sink.Dialog();
        j.prompter.whileAsked = [&] { j.sink.DestroyDialog(); };  // the job ended meanwhile
        QTest::mouseClick(&dialog->CancelButton(), Qt::LeftButton);
        QVERIFY(!j.sink.Exists());
        QTRY_VERIFY(dialog.isNull());
        j.sink.SetOperationText("after");  // dropped, not a crash
    }

    void workersWriteFromTheirThreadAndNothingWithoutADialog() {
        Job j;
        j.sink.SetOperationText("before the dialog");  // dropped
        j.sink.CreateDialog();
        std::thread worker([&] {
            j.job.ShowOperation(16003);  // "Copying files"
            for (int i = 1; i <= 5000; ++i)
                j.sink.SetCountText("Processed " + std::to_string(i) + " entries");
        });
        worker.join();
        QTRY_COMPARE(j.sink.Dialog()->CountText(), QStringLiteral("Processed 5000 entries"));
        QCOMPARE(j.sink.Dialog()->OperationText(), QStringLiteral("Copying files"));
        j.sink.DestroyDialog();
        j.sink.CreateDialog();
        QCOMPARE(j.sink.Dialog()->CountText(), QString());  // a new dialog starts empty
    }

    void waitCursorWhileBusyWithoutADialog() {
        Job j;
        j.sink.SetWaitCursor(true);
        j.sink.SetWaitCursor(true);  // once only
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        j.sink.SetWaitCursor(false);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }
};

QUARTO_UI_TEST(ProgressDialogTest)

}  // namespace quarto::test

#include "ProgressDialogTest.moc"
