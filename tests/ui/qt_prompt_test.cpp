// The desktop's questions: which answer Enter gives, on the user-interface
// thread and from a job on the worker thread.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "common/operation.h"
#include "ui/background_operation.h"
#include "ui/qt_prompt.h"

using namespace vextune;
using namespace vextune::ui;

namespace {

/// Waits for the next message box, notes its default button and its text,
/// and presses Enter in it.
struct EnterPresser {
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  QString text;

  void Arm() {
    QTimer::singleShot(0, [this] { Press(); });
  }

 private:
  void Press() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      QTimer::singleShot(10, [this] { Press(); });
      return;
    }
    defaultButton = box->standardButton(box->defaultButton());
    text = box->text();
    QTest::keyClick(box, Qt::Key_Return);
  }
};

}  // namespace

class QtPromptTest : public QObject {
  Q_OBJECT

 private slots:
  void enterAnswersTheQuestionsDefault() {
    struct Case {
      const char* name;
      std::function<bool(UserPrompt&)> ask;
      QMessageBox::StandardButton expectedDefault;
    };
    const Case cases[] = {
        {"an everyday question", [](UserPrompt& p) { return p.AskYesNo("", "Save changes?"); },
         QMessageBox::Yes},
        {"a question whose Yes may do harm",
         [](UserPrompt& p) { return p.AskYesNoDefaultNo("", "Send it anyway?"); },
         QMessageBox::No},
    };
    for (const Case& c : cases) {
      QtPrompt prompt("Vextune");
      EnterPresser presser;
      presser.Arm();
      const bool answer = c.ask(prompt);
      QVERIFY2(presser.defaultButton == c.expectedDefault, c.name);
      QVERIFY2(answer == (c.expectedDefault == QMessageBox::Yes), c.name);
    }
  }

  void aJobOnTheWorkerThreadAsksWithTheSameDefault() {
    QtPrompt prompt("Vextune");
    CancelFlag cancel;
    BackgroundOperation operation(prompt, cancel);
    QSignalSpy finished(&operation, &BackgroundOperation::finished);
    EnterPresser presser;
    presser.Arm();
    bool answer = true;
    QVERIFY(operation.Start([&answer](OperationChannel& channel) {
      answer = channel.prompt().AskYesNoDefaultNo("", "Send it anyway?");
    }));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
    QCOMPARE(presser.text, QString("Send it anyway?"));
    QCOMPARE(presser.defaultButton, QMessageBox::No);
    QVERIFY(!answer);
  }
};

QTEST_MAIN(QtPromptTest)
#include "qt_prompt_test.moc"
