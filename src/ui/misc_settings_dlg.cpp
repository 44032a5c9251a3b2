#include "ui/misc_settings_dlg.h"

#include <QApplication>
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
#include "config/firmware.h"
#include "config/param_help.h"
#include "editor/field_texts.h"
#include "link/device_state.h"
#include "ui/cp1252_field_text.h"
#include "ui/dialog_controls.h"
#include "ui/settings_dialog_parts.h"
#include "ui/widget_support.h"

namespace vextune::ui {
namespace {

// Object names of the number fields, in the order of MiscField.
constexpr std::array<const char*, kMiscFieldCount> kNumberObjectNames = {
    "frackEdit",    "retryEdit", "maxFrameEdit", "persistenceEdit", "slotTimeEdit",
    "channelsEdit", "iPollEdit", "timer2Edit",   "timer3Edit"};

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
  using D = CConfigData;
  add_linefeed_ = NewCheckBox("addLinefeedCheck", DialogCaption(&D::m_AddLinefeed));
  echo_ = NewCheckBox("echoCheck", DialogCaption(&D::m_Echo));
  digipeat_ = NewCheckBox("digipeatCheck", DialogCaption(&D::m_Digipeat));
  ptt_ = NewCheckBox("pttCheck", DialogCaption(&D::m_Ptt));
  duplex_ = NewCheckBox("duplexCheck", DialogCaption(&D::m_Duplex));
  send_flags_ = NewCheckBox("sendFlagsCheck", DialogCaption(&D::m_SendFlags));
  ui_poll_ = NewCheckBox("uiPollCheck", DialogCaption(&D::m_UiPoll));
  call_check_ = NewCheckBox("callCheckCheck", DialogCaption(&D::m_CallCheck));
  tx_freq_track_ = NewCheckBox("txFreqTrackCheck", DialogCaption(&D::m_TxFreqTrack));
  const std::array<QCheckBox*, 9> switches = {add_linefeed_, echo_,       digipeat_,
                                              ptt_,          duplex_,     send_flags_,
                                              ui_poll_,      call_check_, tx_freq_track_};
  auto* switch_column = new QVBoxLayout;
  for (QCheckBox* check : switches) switch_column->addWidget(check);
  switch_column->addStretch(1);

  auto* number_grid = new QGridLayout;
  for (const MiscFieldRule& rule : MiscFieldRules()) {
    QLineEdit* edit = NewNumberField(kNumberObjectNames[Index(rule.field)], rule.maxChars);
    edit->installEventFilter(this);
    numbers_[Index(rule.field)] = edit;
    AddFieldRow(number_grid, DialogCaption(rule.param), edit);
  }
  number_grid->setRowStretch(number_grid->rowCount(), 1);

  auto* columns = new QHBoxLayout;
  columns->addLayout(switch_column);
  columns->addSpacing(16);
  columns->addLayout(number_grid);
  columns->addStretch(1);

  flow_control_ = NewList("flowControlList", kFlowControlEntries);
  auto* flow_label = new QLabel(DialogCaption(&D::m_FlowControl));
  flow_label->setBuddy(flow_control_);
  auto* flow_row = new QHBoxLayout;
  flow_row->addWidget(flow_label);
  flow_row->addWidget(flow_control_, 1);

  auto* time_group = new QGroupBox(QStringLiteral("Time settings"));
  time_group->setObjectName(QStringLiteral("timeSettingsGroup"));
  timestamp_ = NewList("timestampList", kTimestampEntries);
  auto* timestamp_label = new QLabel(DialogCaption(&D::m_Timestamp));
  timestamp_label->setBuddy(timestamp_);
  sync_clock_ = NewCheckBox("syncClockCheck", DialogCaption(&D::m_SyncClock));
  auto* time_layout = new QHBoxLayout(time_group);
  time_layout->addWidget(timestamp_label);
  time_layout->addWidget(timestamp_, 1);
  time_layout->addSpacing(12);
  time_layout->addWidget(sync_clock_);

  auto* content = new QVBoxLayout;
  content->addLayout(columns);
  content->addLayout(flow_row);
  content->addWidget(time_group);
  SetScrolledLayout(this, content, NewOkCancelRow(this));

  // Tab order follows the layout: switches, numbers, lists, buttons.
  std::vector<QWidget*> order(switches.begin(), switches.end());
  order.insert(order.end(), numbers_.begin(), numbers_.end());
  order.insert(order.end(), {flow_control_, timestamp_, sync_clock_,
                             findChild<QWidget*>(QStringLiteral("okButton")),
                             findChild<QWidget*>(QStringLiteral("cancelButton"))});
  for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void CMiscSettings::SetToolTips() {
  for (const MiscFieldRule& rule : MiscFieldRules())
    numbers_[Index(rule.field)]->setToolTip(QString::fromStdString(MiscToolTip(rule.field)));
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
  tx_freq_track_->setEnabled(ParamAvailable(&CConfigData::m_TxFreqTrack, device.firmwareVersion));

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
    numbers_[i]->setText(Cp1252ToFieldText(values.numbers[i]));
}

bool CMiscSettings::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    // Another window taking the focus (a message box among them) is not the
    // user leaving the field.
    const bool left_field = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    for (size_t i = 0; i < kMiscFieldCount && left_field; ++i) {
      if (numbers_[i] != watched) continue;
      // A press on "Abbrechen" takes the focus before the click is through:
      // the value is about to be thrown away, so it is not checked.
      if (QApplication::focusWidget() == findChild<QWidget*>(QStringLiteral("cancelButton")))
        continue;
      // Checked once the event that moved the focus is through: a click on
      // OK then runs OK's own checks first.
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
  Show(checks_.CheckField(field, FieldTextToCp1252(edit->text())));
}

void CMiscSettings::Show(const std::vector<MiscFieldFinding>& findings) {
  // A message box runs an event loop of its own, in which a pending check
  // of the field just left would show its message a second time.
  const QScopedValueRollback<bool> showing(showing_messages_, true);
  for (const MiscFieldFinding& finding : findings) {
    if (finding.restoredText)
      numbers_[Index(finding.field)]->setText(Cp1252ToFieldText(*finding.restoredText));
    prompt_.ShowMessage(finding.message.caption, finding.message.text, finding.message.icon);
  }
}

std::array<std::string, kMiscFieldCount> CMiscSettings::FieldTexts() const {
  std::array<std::string, kMiscFieldCount> texts;
  for (size_t i = 0; i < kMiscFieldCount; ++i) texts[i] = FieldTextToCp1252(numbers_[i]->text());
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
