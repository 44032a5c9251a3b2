// The desktop's questions: which answer Enter gives, on the user-interface
// thread and from a job on the worker thread.

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
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

/// Hands the next modal window of type T, once it shows, to `act`.
template <typename T>
void WhenModal(std::function<void(T&)> act, int delayMs = 0) {
  QTimer::singleShot(delayMs, [act] {
    if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
      act(*window);
      return;
    }
    WhenModal<T>(act, 10);
  });
}

/// Waits for the next message box, notes its default button and its text,
/// and presses Enter in it.
struct EnterPresser {
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  QString text;

  void Arm() {
    WhenModal<QMessageBox>([this](QMessageBox& box) {
      defaultButton = box.standardButton(box.defaultButton());
      text = box.text();
      QTest::keyClick(&box, Qt::Key_Return);
    });
  }
};

/// Waits for the next file dialog, notes its title and cancels it.
struct FileDialogCloser {
  QString title;

  void Arm() {
    WhenModal<QFileDialog>([this](QFileDialog& dialog) {
      title = dialog.windowTitle();
      dialog.reject();
    });
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
         [](UserPrompt& p) { return p.AskYesNoDefaultNo("", "Send it anyway?"); }, QMessageBox::No},
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

  void fileDialogsSayWhatTheyAreFor() {
    for (const bool save : {false, true}) {
      for (const char* title : {"Choose an update file", ""}) {
        QtPrompt prompt("Vextune");
        FileDialogCloser closer;
        closer.Arm();
        FileDialogRequest request;
        request.title = title;
        QVERIFY(!(save ? prompt.ChooseFileToSave(request) : prompt.ChooseFileToOpen(request)));
        QCOMPARE(closer.title, QString(*title ? title : "Vextune"));
      }
    }
  }

  void aChoiceQuestionAnswersByButtonEnterAndEscape() {
    ChoiceQuestion question;
    question.text = "Leave?";
    question.choices = {"Send", "Save", "Discard", "Cancel"};
    question.defaultChoice = 3;
    question.escapeChoice = 3;
    struct Case {
      const char* name;
      std::function<void(QMessageBox&)> answer;
      size_t expected;
    };
    const Case cases[] = {
        {"Enter", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, 3},
        {"Escape", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, 3},
        {"a click on Save",
         [](QMessageBox& box) {
           for (QAbstractButton* button : box.buttons()) {
             if (button->text() == QStringLiteral("Save")) button->click();
           }
         },
         1},
    };
    for (const Case& c : cases) {
      QtPrompt prompt("Vextune");
      QStringList texts;
      WhenModal<QMessageBox>([&](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) texts << button->text();
        c.answer(box);
      });
      QCOMPARE(prompt.AskChoice(question), c.expected);
      texts.sort();
      QCOMPARE(texts, (QStringList{"Cancel", "Discard", "Save", "Send"}));
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
