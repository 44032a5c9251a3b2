#include "ui/misc_settings_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

#include "common/dialog_prompt.h"
#include "link/device_state.h"
#include "ui/settings_dialog_parts.h"

namespace vextune::ui {
namespace {

// Labels and object names of the number fields, in the order of MiscField.
struct NumberFieldControl {
  const char* objectName;
  const char* label;
};
constexpr std::array<NumberFieldControl, kMiscFieldCount> kNumberControls = {{
    {"frackEdit", "Frack (F)"},
    {"retryEdit", "Retry (N)"},
    {"maxFrameEdit", "MaxFrame (O)"},
    {"persistenceEdit", "Persistence (P)"},
    {"slotTimeEdit", "Slottime (W)"},
    {"channelsEdit", "# of channels (Y)"},
    {"iPollEdit", "Ipoll (@I)"},
    {"timer2Edit", "Timer2 (@T2)"},
    {"timer3Edit", "Timer3 (@T3)"},
}};

QComboBox* NewList(const char* objectName, const auto& entries) {
  auto* list = new QComboBox;
  list->setObjectName(QString::fromLatin1(objectName));
  for (std::string_view entry : entries)
    list->addItem(QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size())));
  return list;
}

}  // namespace

CMiscSettings::CMiscSettings(const MiscSettingsValues& values, const DeviceState& device,
                             DialogPrompt& prompt, QWidget* parent)
    : QDialog(parent), prompt_(prompt), values_(values), checks_(values.numbers) {
  setObjectName(QStringLiteral("miscSettingsDialog"));
  setWindowTitle(QStringLiteral("Olvane Vextune - Misc Settings"));
  BuildControls();
  SetToolTips();
  Fill(values, device);
}

void CMiscSettings::BuildControls() {
  add_linefeed_ = NewCheckBox("addLinefeedCheck", QStringLiteral("Add-Linefeed (A)"));
  echo_ = NewCheckBox("echoCheck", QStringLiteral("Echo (E)"));
  digipeat_ = NewCheckBox("digipeatCheck", QStringLiteral("Digipeating (R)"));
  ptt_ = NewCheckBox("pttCheck", QStringLiteral("PTT (X)"));
  duplex_ = NewCheckBox("duplexCheck", QStringLiteral("Duplex (@D)"));
  send_flags_ = NewCheckBox("sendFlagsCheck", QStringLiteral("Flags (@F)"));
  ui_poll_ = NewCheckBox("uiPollCheck", QStringLiteral("UI-Poll (@U)"));
  call_check_ = NewCheckBox("callCheckCheck", QStringLiteral("Callsign Check (@V)"));
  tx_freq_track_ = NewCheckBox("txFreqTrackCheck", QStringLiteral("TX Freq. track. (%T)"));
  const std::array<QCheckBox*, 9> switches = {add_linefeed_, echo_,       digipeat_,
                                              ptt_,          duplex_,     send_flags_,
                                              ui_poll_,      call_check_, tx_freq_track_};
  auto* switch_column = new QVBoxLayout;
  for (QCheckBox* check : switches) switch_column->addWidget(check);
  switch_column->addStretch(1);

  auto* number_grid = new QGridLayout;
  for (const MiscFieldRule& rule : MiscFieldRules()) {
    const NumberFieldControl& control = kNumberControls[Index(rule.field)];
    QLineEdit* edit = NewNumberField(control.objectName, rule.maxChars);
    edit->installEventFilter(this);
    numbers_[Index(rule.field)] = edit;
    AddFieldRow(number_grid, QString::fromLatin1(control.label), edit);
  }
  number_grid->setRowStretch(number_grid->rowCount(), 1);

  auto* columns = new QHBoxLayout;
  columns->addLayout(switch_column);
  columns->addSpacing(16);
  columns->addLayout(number_grid);
  columns->addStretch(1);

  flow_control_ = NewList("flowControlList", kFlowControlEntries);
  auto* flow_label = new QLabel(QStringLiteral("Flow-Control (Z)"));
  flow_label->setBuddy(flow_control_);
  auto* flow_row = new QHBoxLayout;
  flow_row->addWidget(flow_label);
  flow_row->addWidget(flow_control_, 1);

  auto* time_group = new QGroupBox(QStringLiteral("Time settings"));
  time_group->setObjectName(QStringLiteral("timeSettingsGroup"));
  timestamp_ = NewList("timestampList", kTimestampEntries);
  auto* timestamp_label = new QLabel(QStringLiteral("Timestamp (K):"));
  timestamp_label->setBuddy(timestamp_);
  sync_clock_ = NewCheckBox("syncClockCheck", QStringLiteral("Sync. to PC-time"));
  auto* time_layout = new QHBoxLayout(time_group);
  time_layout->addWidget(timestamp_label);
  time_layout->addWidget(timestamp_, 1);
  time_layout->addSpacing(12);
  time_layout->addWidget(sync_clock_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addLayout(flow_row);
  layout->addWidget(time_group);
  layout->addLayout(NewOkCancelRow(this));
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Tab order follows the layout: switches, numbers, lists, buttons.
  std::vector<QWidget*> order(switches.begin(), switches.end());
  order.insert(order.end(), numbers_.begin(), numbers_.end());
  order.insert(order.end(), {flow_control_, timestamp_, sync_clock_,
                             findChild<QWidget*>(QStringLiteral("okButton")),
                             findChild<QWidget*>(QStringLiteral("cancelButton"))});
  for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void CMiscSettings::SetToolTips() {
  // Quote marks as the device's manual prints them (Windows-1252 0x84, 0x93).
  const QChar low_quote = QChar(0x201E);
  const QChar high_quote = QChar(0x201C);
  auto number = [this](MiscField field) { return numbers_[Index(field)]; };
  number(MiscField::Frack)
      ->setToolTip(QStringLiteral("%1Frack-Time%1, Values between 1...15 are interpreted "
                                  "separately, please read manual [1...15000]")
                       .arg(high_quote));
  number(MiscField::Retry)
      ->setToolTip(QStringLiteral("Number of times a packet shall be repeated in case of error "
                                  "(0 = unlimited) [0...127]"));
  number(MiscField::MaxFrame)
      ->setToolTip(QStringLiteral("Max. number of unacknowledged and unanswered I-Frames [1...7]"));
  number(MiscField::Persistence)->setToolTip(QStringLiteral("Persistence-configuration [0...255]"));
  number(MiscField::SlotTime)
      ->setToolTip(QStringLiteral("Defines %1Slottime%2 in milliseconds [0...127]")
                       .arg(low_quote, high_quote));
  number(MiscField::Channels)
      ->setToolTip(QStringLiteral("Max. number of simultaneously allowed connections [0...10]"));
  number(MiscField::IPoll)->setToolTip(QStringLiteral("Max. length of IPOLL-frame. [1...256]"));
  number(MiscField::Timer2)
      ->setToolTip(QStringLiteral("AX.25-%1Timer 2%1,please read manual for further information "
                                  "[0...100000]")
                       .arg(high_quote));
  number(MiscField::Timer3)
      ->setToolTip(QStringLiteral("AX.25-%1Timer 3%1,please read manual for further information "
                                  "[0...100000]")
                       .arg(high_quote));
  add_linefeed_->setToolTip(
      QStringLiteral("Automatic insertion of Linefeed-charcter <LF> after a CARRIAGE RETURN"));
  echo_->setToolTip(QStringLiteral("Enables/disables the echoing of entered characters"));
  digipeat_->setToolTip(QStringLiteral("Enables / disables the digipeat-function"));
  ptt_->setToolTip(QStringLiteral("Enables / disables PTT line of DAV-OZI"));
  duplex_->setToolTip(QStringLiteral("Enables / disables full duplex operation"));
  send_flags_->setToolTip(QStringLiteral("Send flags in pauses"));
  ui_poll_->setToolTip(QStringLiteral("Enables or disables UIPOLL"));
  call_check_->setToolTip(QStringLiteral("Enables or disables the call check"));
  flow_control_->setToolTip(QStringLiteral("Flow-control and XON/XOFF-handshake to terminal"));
  timestamp_->setToolTip(QStringLiteral("Set the Timestamp-function"));
  sync_clock_->setToolTip(QStringLiteral("Sync. DAV-OZI-clock and calendar to PC-time"));
  tx_freq_track_->setToolTip(QStringLiteral(
      "Enables / disables automatic frequency correction at 300 Bd FSK when transmitting"));
}

void CMiscSettings::Fill(const MiscSettingsValues& values, const DeviceState& device) {
  flow_control_->setCurrentIndex(
      ListIndexFromText(values.flowControl, static_cast<int>(kFlowControlEntries.size())));
  timestamp_->setCurrentIndex(
      ListIndexFromText(values.timestamp, static_cast<int>(kTimestampEntries.size())));
  tx_freq_track_->setEnabled(device.FirmwareAtLeast(firmware::k1_0Q));

  add_linefeed_->setChecked(values.addLinefeed);
  echo_->setChecked(values.echo);
  digipeat_->setChecked(values.digipeat);
  ptt_->setChecked(values.ptt);
  duplex_->setChecked(values.duplex);
  send_flags_->setChecked(values.sendFlags);
  ui_poll_->setChecked(values.uiPoll);
  call_check_->setChecked(values.callCheck);
  tx_freq_track_->setChecked(values.txFreqTrack);
  sync_clock_->setChecked(values.syncClock);
  for (size_t i = 0; i < kMiscFieldCount; ++i)
    numbers_[i]->setText(FieldTextFromRecord(values.numbers[i]));
}

bool CMiscSettings::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    // Another window taking the focus (a message box among them) is not the
    // user leaving the field.
    const bool left_field = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    for (size_t i = 0; i < kMiscFieldCount && left_field; ++i) {
      if (numbers_[i] != watched) continue;
      // Checked once the event that moved the focus is through: a click on
      // OK then runs OK's own checks first, a click on "Abbrechen" closes
      // the dialog without a message.
      const auto field = static_cast<MiscField>(i);
      QTimer::singleShot(0, this, [this, field] { CheckFieldOnLeaving(field); });
    }
  }
  return QDialog::eventFilter(watched, event);
}

void CMiscSettings::CheckFieldOnLeaving(MiscField field) {
  // While messages show, OK's checks (which cover every field) are running.
  if (!isVisible() || showing_messages_) return;
  const QLineEdit* edit = numbers_[Index(field)];
  Show(checks_.CheckField(field, RecordTextFromField(edit->text())));
}

void CMiscSettings::Show(const std::vector<MiscFieldFinding>& findings) {
  // A message box runs an event loop of its own, in which a pending check
  // of the field just left would show its message a second time.
  const QScopedValueRollback<bool> showing(showing_messages_, true);
  for (const MiscFieldFinding& finding : findings) {
    numbers_[Index(finding.field)]->setText(FieldTextFromRecord(finding.restoredText));
    prompt_.ShowMessage(finding.message.caption, finding.message.text, finding.message.icon);
  }
}

std::array<std::string, kMiscFieldCount> CMiscSettings::FieldTexts() const {
  std::array<std::string, kMiscFieldCount> texts;
  for (size_t i = 0; i < kMiscFieldCount; ++i) texts[i] = RecordTextFromField(numbers_[i]->text());
  return texts;
}

MiscSettingsValues CMiscSettings::ReadValues() const {
  MiscSettingsValues values;
  values.addLinefeed = add_linefeed_->isChecked();
  values.echo = echo_->isChecked();
  values.digipeat = digipeat_->isChecked();
  values.ptt = ptt_->isChecked();
  values.duplex = duplex_->isChecked();
  values.sendFlags = send_flags_->isChecked();
  values.uiPoll = ui_poll_->isChecked();
  values.callCheck = call_check_->isChecked();
  values.txFreqTrack = tx_freq_track_->isChecked();
  values.numbers = FieldTexts();
  values.flowControl = std::to_string(flow_control_->currentIndex());
  values.timestamp = std::to_string(timestamp_->currentIndex());
  values.syncClock = sync_clock_->isChecked();
  return values;
}

void CMiscSettings::accept() {
  Show(checks_.CheckAll(FieldTexts()));
  if (!checks_.AllValid()) return;
  values_ = ReadValues();
  QDialog::accept();
}

}  // namespace vextune::ui
