// The latitude and longitude fields driven with keys and clicks as a user
// would: what the field shows, which digit is selected, and when it beeps.

#include "ui/position_edit.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>

using vextune::ui::CLatPosEdit;
using vextune::ui::CLonPosEdit;
using vextune::ui::PositionEdit;

namespace {

// A window with a field before the position field, so that Tab can enter it.
struct Window {
  QWidget widget;
  QLineEdit* before;
  PositionEdit* field;

  explicit Window(bool longitude) {
    auto* layout = new QVBoxLayout(&widget);
    before = new QLineEdit(&widget);
    field = longitude ? static_cast<PositionEdit*>(new CLonPosEdit(&widget))
                      : static_cast<PositionEdit*>(new CLatPosEdit(&widget));
    layout->addWidget(before);
    layout->addWidget(field);
    widget.show();
    widget.activateWindow();
    before->setFocus();
  }
};

// "start+length" of the selection, or "caret+0" when nothing is selected.
QString Selected(const PositionEdit* field) {
  const int start = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
  return QStringLiteral("%1+%2").arg(start).arg(field->selectedText().size());
}

}  // namespace

class PositionEditTest : public QObject {
  Q_OBJECT

 private slots:
  void showsItsMaskFromTheStart() {
    CLatPosEdit latitude;
    CLonPosEdit longitude;
    QCOMPARE(latitude.text(), QString::fromUtf8("__°__.__"));
    QCOMPARE(longitude.text(), QString::fromUtf8("___°__.__"));
  }

  void typingWalksOverTheDigits() {
    Window w(false);
    QVERIFY(QTest::qWaitForWindowActive(&w.widget));
    QTest::keyClick(&w.widget, Qt::Key_Tab);
    QCOMPARE(w.widget.focusWidget(), w.field);
    QCOMPARE(Selected(w.field), QStringLiteral("0+1"));  // not the whole field

    const struct {
      Qt::Key key;
      const char* shown;
      const char* selected;
    } steps[] = {
        {Qt::Key_4, "4_°__.__", "1+1"}, {Qt::Key_8, "48°__.__", "3+1"},
        {Qt::Key_3, "48°3_.__", "4+1"}, {Qt::Key_1, "48°31.__", "6+1"},
        {Qt::Key_7, "48°31.7_", "7+1"}, {Qt::Key_9, "48°31.79", "8+0"},
        {Qt::Key_2, "48°31.79", "8+0"},  // nothing left to overwrite
    };
    QSignalSpy beeps(w.field, &PositionEdit::beeped);
    for (const auto& step : steps) {
      QTest::keyClick(w.field, step.key);
      QCOMPARE(w.field->text(), QString::fromUtf8(step.shown));
      QCOMPARE(Selected(w.field), QString::fromLatin1(step.selected));
    }
    QCOMPARE(beeps.count(), 1);
    QCOMPARE(w.field->ConvertCheck(w.field->text()), 0);
  }

  void keysThatMoveBeepOrAreRefused() {
    struct Case {
      const char* name;
      bool longitude;
      int from;  // selected digit before the key
      std::function<void(QWidget*)> press;
      int to;
      bool beep;
    };
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
      return [k, m](QWidget* field) { QTest::keyClick(field, k, m); };
    };
    const Case cases[] = {
        {"right on the last digit", false, 7, key(Qt::Key_Right), 7, true},
        {"left on the first digit", false, 0, key(Qt::Key_Left), 0, true},
        {"backspace on the fourth digit", false, 4, key(Qt::Key_Backspace), 3, false},
        {"backspace over the degree sign", false, 3, key(Qt::Key_Backspace), 1, false},
        {"left over the point", false, 6, key(Qt::Key_Left), 4, false},
        {"right over the degree sign", false, 1, key(Qt::Key_Right), 3, false},
        {"right over the point", false, 4, key(Qt::Key_Right), 6, false},
        {"longitude right on the last digit", true, 8, key(Qt::Key_Right), 8, true},
        {"longitude left over the degree sign", true, 4, key(Qt::Key_Left), 2, false},
        {"a letter", false, 3, key(Qt::Key_A), 3, true},
        {"shift and a digit", false, 3, key(Qt::Key_5, Qt::ShiftModifier), 3, true},
        {"paste", false, 3, key(Qt::Key_V, Qt::ControlModifier), 3, true},
        {"ctrl and delete", false, 3, key(Qt::Key_Delete, Qt::ControlModifier), 3, true},
    };
    for (const Case& c : cases) {
      Window w(c.longitude);
      QVERIFY(QTest::qWaitForWindowActive(&w.widget));
      w.field->setFocus();
      const QString before = w.field->text();
      w.field->SelectCharacter(c.from);
      QSignalSpy beeps(w.field, &PositionEdit::beeped);
      c.press(w.field);
      QVERIFY2(w.field->text() == before, c.name);
      QVERIFY2(w.field->selectionStart() == c.to, c.name);
      QVERIFY2(w.field->selectedText().size() == 1, c.name);
      QVERIFY2((beeps.count() == 1) == c.beep, c.name);
    }
  }

  // The keys that edit or jump, each once: the rules are the editor's.
  void editingKeysReachTheirRule() {
    Window w(false);
    QVERIFY(QTest::qWaitForWindowActive(&w.widget));
    w.field->setFocus();
    w.field->setText(QString::fromUtf8("48°31.79"));
    w.field->SelectCharacter(4);
    QTest::keyClick(w.field, Qt::Key_Delete);
    QCOMPARE(w.field->text(), QString::fromUtf8("48°3_.79"));
    QCOMPARE(Selected(w.field), QStringLiteral("4+1"));
    QTest::keyClick(w.field, Qt::Key_Home);
    QCOMPARE(Selected(w.field), QStringLiteral("0+1"));
    QTest::keyClick(w.field, Qt::Key_End);
    QCOMPARE(Selected(w.field), QStringLiteral("7+1"));
    QTest::keyClick(w.field, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(Selected(w.field), QStringLiteral("0+1"));
  }

  void keypadDigitsType() {
    Window w(true);
    QVERIFY(QTest::qWaitForWindowActive(&w.widget));
    w.field->setFocus();
    w.field->SelectCharacter(0);
    QTest::keyClick(w.field, Qt::Key_1, Qt::KeypadModifier);
    QCOMPARE(w.field->text(), QString::fromUtf8("1__°__.__"));
  }

  void clicksSelectTheDigitTheyLandOn() {
    Window w(false);
    QVERIFY(QTest::qWaitForWindowActive(&w.widget));
    w.field->setText(QString::fromUtf8("48°31.79"));
    // Click just right of each caret place, and once well past the end.
    const int expected[] = {0, 1, 3, 3, 4, 6, 6, 7, 7};
    for (int p = 0; p <= 8; ++p) {
      w.field->setCursorPosition(p);
      const int x =
          w.field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x() + (p < 8 ? 2 : 20);
      QTest::mouseClick(w.field, Qt::LeftButton, Qt::NoModifier, QPoint(x, w.field->height() / 2));
      QVERIFY2(w.field->selectionStart() == expected[p], qPrintable(QString::number(p)));
      QCOMPARE(w.field->selectedText().size(), 1);
    }
    QCOMPARE(w.field->text(), QString::fromUtf8("48°31.79"));
  }

  void dragAndRightClickChangeNothing() {
    Window w(false);
    QVERIFY(QTest::qWaitForWindowActive(&w.widget));
    w.field->setFocus();
    w.field->SelectCharacter(0);
    const int y = w.field->height() / 2;
    QTest::mousePress(w.field, Qt::LeftButton, Qt::NoModifier, QPoint(8, y));
    QTest::mouseMove(w.field, QPoint(w.field->width() - 4, y));
    QTest::mouseRelease(w.field, Qt::LeftButton, Qt::NoModifier, QPoint(w.field->width() - 4, y));
    QCOMPARE(w.field->selectedText().size(), 1);

    QSignalSpy beeps(w.field, &PositionEdit::beeped);
    QTest::mouseClick(w.field, Qt::RightButton, Qt::NoModifier, QPoint(8, y));
    QCOMPARE(beeps.count(), 1);
    QTest::mouseClick(w.field, Qt::MiddleButton, Qt::NoModifier, QPoint(8, y));
    QCOMPARE(beeps.count(), 2);
    QCOMPARE(w.field->text(), QString::fromUtf8("__°__.__"));
  }
};

QTEST_MAIN(PositionEditTest)
#include "position_edit_test.moc"
