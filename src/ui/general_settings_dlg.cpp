#include "ui/general_settings_dlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/dialog_prompt.h"
#include "editor/callsign_filter.h"
#include "link/device_state.h"
#include "ui/settings_dialog_parts.h"

namespace vextune::ui {
namespace {

using Characters = SettingsFieldValidator::Characters;

QRadioButton* NewRadio(const char* objectName, const char* text) {
  auto* radio = new QRadioButton(QString::fromLatin1(text));
  radio->setObjectName(QString::fromLatin1(objectName));
  return radio;
}

}  // namespace

CGeneralSettings::CGeneralSettings(const GeneralSettingsValues& values, const DeviceState& device,
                                   DialogPrompt& prompt, QWidget* parent)
    : QDialog(parent), prompt_(prompt), values_(values) {
  setObjectName(QStringLiteral("generalSettingsDialog"));
  setWindowTitle(QStringLiteral("Olvane Vextune - General Settings"));
  BuildControls();
  SetToolTips();
  Fill(values, device);
}

QLayout* CGeneralSettings::BuildFieldRows() {
  callsign_ = NewSettingsField("callsignEdit", Characters::Cp1252, general_limits::kCallsign);
  callsign_->setFixedWidth(callsign_->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWW-15")) +
                           12);
  tx_delay_ = NewNumberField("txDelayEdit", general_limits::kTxDelay);
  channel_ = NewNumberField("channelEdit", general_limits::kChannel);
  center_freq_ = NewNumberField("centerFreqEdit", general_limits::kCenterFreq);

  auto* fields = new QGridLayout;
  // The callsign spans the unit column: it is wider than the number fields.
  auto* callsign_label = new QLabel(QStringLiteral("Callsign (I):"));
  callsign_label->setBuddy(callsign_);
  fields->addWidget(callsign_label, 0, 0);
  fields->addWidget(callsign_, 0, 1, 1, 2);
  AddFieldRow(fields, QStringLiteral("TX-Delay (T):"), tx_delay_, QStringLiteral("x 10 ms"));
  AddFieldRow(fields, QStringLiteral("Switch ch. (S):"), channel_);
  AddFieldRow(fields, QStringLiteral("Audio Center Freq. (%F):"), center_freq_,
              QStringLiteral("Hz"));
  fields->setRowStretch(fields->rowCount(), 1);
  connect(callsign_, &QLineEdit::textEdited, this, &CGeneralSettings::OnCallsignEdited);
  return fields;
}

QGroupBox* CGeneralSettings::BuildConnectTextGroup() {
  auto* group = new QGroupBox(QStringLiteral("Connect Text (U)"));
  group->setObjectName(QStringLiteral("connectTextGroup"));
  // The switch has no caption of its own: the group's title names it.
  connect_text_on_ = NewCheckBox("connectTextOnCheck", {});
  connect_text_on_->setAccessibleName(QStringLiteral("Connect Text (U)"));
  connect_text_ =
      NewSettingsField("connectTextEdit", Characters::Cp1252, general_limits::kConnectText);
  connect_text_->setAccessibleName(QStringLiteral("Connect text"));
  connect_text_->setMinimumWidth(connect_text_->fontMetrics().averageCharWidth() * 36);
  remote_disconnect_ =
      NewCheckBox("remoteDisconnectCheck", QStringLiteral("allow remote disconnect (//Q)"));

  auto* layout = new QGridLayout(group);
  layout->addWidget(connect_text_on_, 0, 0);
  layout->addWidget(connect_text_, 0, 1);
  layout->addWidget(remote_disconnect_, 1, 1);
  layout->setRowStretch(2, 1);
  connect(connect_text_on_, &QCheckBox::clicked, this,
          &CGeneralSettings::UpdateConnectTextControls);
  return group;
}

QGroupBox* CGeneralSettings::BuildLevelsGroup() {
  level_afsk_ = NewNumberField("levelAfskEdit", general_limits::kLevel);
  level_fsk_ = NewNumberField("levelFskEdit", general_limits::kLevel);
  level_robust_ = NewNumberField("levelRobustEdit", general_limits::kLevel);
  auto* group = new QGroupBox(QStringLiteral("TX amplitudes"));
  group->setObjectName(QStringLiteral("txAmplitudesGroup"));
  auto* levels = new QGridLayout(group);
  AddFieldRow(levels, QStringLiteral("AFSK (%XA):"), level_afsk_, QStringLiteral("mV"));
  AddFieldRow(levels, QStringLiteral("FSK (%XF):"), level_fsk_, QStringLiteral("mV"));
  AddFieldRow(levels, QStringLiteral("Robust PR (%XR):"), level_robust_, QStringLiteral("mV"));
  levels->setRowStretch(levels->rowCount(), 1);
  return group;
}

QGroupBox* CGeneralSettings::BuildMonitorGroup() {
  auto* group = new QGroupBox(QStringLiteral("Monitor (M)"));
  group->setObjectName(QStringLiteral("monitorGroup"));
  monitor_u_ = NewCheckBox("monitorUCheck", QStringLiteral("U"));
  monitor_i_ = NewCheckBox("monitorICheck", QStringLiteral("I"));
  monitor_s_ = NewCheckBox("monitorSCheck", QStringLiteral("S"));
  monitor_c_ = NewCheckBox("monitorCCheck", QStringLiteral("C"));
  auto* layout = new QVBoxLayout(group);
  for (QCheckBox* check : {monitor_u_, monitor_i_, monitor_s_, monitor_c_}) {
    // A single letter says little when read out; the group's title helps.
    check->setAccessibleName(QStringLiteral("Monitor (M) ") + check->text());
    layout->addWidget(check);
  }
  layout->addStretch(1);
  return group;
}

QGroupBox* CGeneralSettings::BuildPrModeGroup() {
  // All six radio buttons form one group, numbered by the %B index.
  pr_mode_ = new QButtonGroup(this);
  auto* standard_group = new QGroupBox(QStringLiteral("Standard PR"));
  standard_group->setObjectName(QStringLiteral("standardPrGroup"));
  auto* standard = new QVBoxLayout(standard_group);
  auto* robust_group = new QGroupBox(QStringLiteral("Robust PR"));
  robust_group->setObjectName(QStringLiteral("robustPrGroup"));
  auto* robust = new QVBoxLayout(robust_group);
  const struct {
    const char* name;
    const char* text;
    int index;
    QVBoxLayout* column;
  } radios[] = {
      {"prMode300Radio", "300 Bd", 0, standard},   {"prMode1200Radio", "1200 Bd", 3, standard},
      {"prMode9600Radio", "9600 Bd", 4, standard}, {"prMode19200Radio", "19200 Bd", 5, standard},
      {"prModeR300Radio", "R 300 Bd", 1, robust},  {"prModeR600Radio", "R 600 Bd", 2, robust},
  };
  for (const auto& radio : radios) {
    QRadioButton* button = NewRadio(radio.name, radio.text);
    pr_mode_->addButton(button, radio.index);
    radio.column->addWidget(button);
  }
  robust->addStretch(1);

  auto* group = new QGroupBox(QStringLiteral("PR-Mode (%B)"));
  group->setObjectName(QStringLiteral("prModeGroup"));
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(standard_group);
  layout->addWidget(robust_group);
  return group;
}

void CGeneralSettings::BuildControls() {
  // Two rows that read in the template's order: the fields and the connect
  // text, then the TX amplitudes, the monitor flags and the PR mode.
  auto* top = new QHBoxLayout;
  top->addLayout(BuildFieldRows());
  top->addSpacing(12);
  top->addWidget(BuildConnectTextGroup(), 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(BuildLevelsGroup());
  bottom->addWidget(BuildMonitorGroup());
  bottom->addWidget(BuildPrModeGroup());

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(bottom);
  layout->addLayout(NewOkCancelRow(this));
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Tab order follows the layout, row by row.
  std::vector<QWidget*> order = {callsign_,        tx_delay_,     channel_,           center_freq_,
                                 connect_text_on_, connect_text_, remote_disconnect_, level_afsk_,
                                 level_fsk_,       level_robust_, monitor_u_,         monitor_i_,
                                 monitor_s_,       monitor_c_};
  // The radio buttons as they stand: standard waveforms first, then robust.
  for (int index : {0, 3, 4, 5, 1, 2}) order.push_back(pr_mode_->button(index));
  order.push_back(findChild<QWidget*>(QStringLiteral("okButton")));
  order.push_back(findChild<QWidget*>(QStringLiteral("cancelButton")));
  for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void CGeneralSettings::SetToolTips() {
  const QChar quote = u'"';
  callsign_->setToolTip(QStringLiteral("Own callsign [max. 6 chars + SSID]"));
  tx_delay_->setToolTip(QStringLiteral("TX-Delay [0...127 ms]"));
  channel_->setToolTip(QStringLiteral("Selects between the virtual channels [0...10]"));
  level_afsk_->setToolTip(QStringLiteral("300/1200 Bd AFSK TX-level [30...3000 mV p-p]"));
  level_fsk_->setToolTip(QStringLiteral("9600/19200 Bd FSK TX-level [30...3000 mV p-p]"));
  level_robust_->setToolTip(QStringLiteral("Robust-PR TX-level [30...3000 mV p-p]"));
  monitor_u_->setToolTip(QStringLiteral("Unproto transmissions (UI-frames) monitored"));
  monitor_i_->setToolTip(QStringLiteral("Information (I-Frames) monitored"));
  monitor_s_->setToolTip(QStringLiteral("Control Packets (S-frames) monitored "));
  monitor_c_->setToolTip(QStringLiteral("Monitor while connected"));
  connect_text_->setToolTip(QStringLiteral(
      "Connect Text, sent to distant station when a connect is received  [max. 255 chars]"));
  connect_text_on_->setToolTip(QStringLiteral("Enable / Disable Connect Text"));
  pr_mode_->button(0)->setToolTip(
      QStringLiteral("300 Bd Packet Radio (AX.25) using standard waveform"));
  pr_mode_->button(1)->setToolTip(
      QStringLiteral("300 Bd Packet Radio (AX.25) using robust waveform"));
  pr_mode_->button(2)->setToolTip(
      QStringLiteral("600 Bd Packet Radio (AX.25) using robust waveform"));
  pr_mode_->button(3)->setToolTip(
      QStringLiteral("1200 Bd Packet Radio (AX.25) using standard waveform"));
  pr_mode_->button(4)->setToolTip(
      QStringLiteral("9600 Bd Packet Radio (AX.25) using standard waveform"));
  pr_mode_->button(5)->setToolTip(
      QStringLiteral("19200 Bd Packet Radio (AX.25) using standard waveform"));
  remote_disconnect_->setToolTip(
      QStringLiteral("Force DAV-OZI to disconnect at receipt of the string %1//Q%1").arg(quote));
  center_freq_->setToolTip(
      QStringLiteral("Audio Center Freq. at 300 Bd (A)FSK (%1old HF-Packet%1) [1000...3000 Hz]")
          .arg(quote));
}

void CGeneralSettings::Fill(const GeneralSettingsValues& values, const DeviceState& device) {
  SetCallsignText(FieldTextFromRecord(values.callsign));
  tx_delay_->setText(FieldTextFromRecord(values.txDelay));
  channel_->setText(FieldTextFromRecord(values.channel));
  center_freq_->setText(values.centerFreq.empty() ? FieldTextFromRecord(kShownCenterFreqWhenEmpty)
                                                  : FieldTextFromRecord(values.centerFreq));
  level_afsk_->setText(FieldTextFromRecord(values.levelAfsk));
  level_fsk_->setText(FieldTextFromRecord(values.levelFsk));
  level_robust_->setText(FieldTextFromRecord(values.levelRobust));
  connect_text_->setText(FieldTextFromRecord(values.connectText));
  monitor_u_->setChecked(values.monitorU);
  monitor_i_->setChecked(values.monitorI);
  monitor_s_->setChecked(values.monitorS);
  monitor_c_->setChecked(values.monitorC);

  const bool known_mode = values.prMode >= 0 && values.prMode < kPrModeCount;
  pr_mode_->button(known_mode ? values.prMode : kDefaultPrModeIndex)->setChecked(true);

  connect_text_on_->setChecked(values.connectMode != kConnectTextOff);
  remote_disconnect_->setChecked(values.connectMode == kConnectTextRemoteDisconnect);
  UpdateConnectTextControls();

  center_freq_->setEnabled(device.FirmwareAtLeast(firmware::k1_0Q));
}

void CGeneralSettings::UpdateConnectTextControls() {
  const bool on = connect_text_on_->isChecked();
  connect_text_->setEnabled(on);
  if (!on) remote_disconnect_->setChecked(false);
  remote_disconnect_->setEnabled(on);
}

void CGeneralSettings::SetCallsignText(const QString& text) {
  remembered_callsign_ = RecordTextFromField(text);
  if (callsign_->text() != text) callsign_->setText(text);
}

void CGeneralSettings::OnCallsignEdited(const QString& text) {
  // The caret is the end of the selection, should the edit have left one.
  const int caret = callsign_->hasSelectedText()
                        ? callsign_->selectionStart() + callsign_->selectedText().size()
                        : callsign_->cursorPosition();
  const FieldEdit edit = FilterCallsignEdit(remembered_callsign_, RecordTextFromField(text), caret);
  if (!edit.beep) {
    remembered_callsign_ = edit.text;
    return;
  }
  QApplication::beep();
  emit callsignKeystrokeRefused();
  SetCallsignText(FieldTextFromRecord(edit.text));
  callsign_->setCursorPosition(edit.caret);
}

GeneralSettingsEntries CGeneralSettings::ReadEntries() const {
  GeneralSettingsEntries entries;
  GeneralSettingsValues& fields = entries.fields;
  fields = values_;
  fields.callsign = RecordTextFromField(callsign_->text());
  fields.txDelay = RecordTextFromField(tx_delay_->text());
  fields.channel = RecordTextFromField(channel_->text());
  fields.centerFreq = RecordTextFromField(center_freq_->text());
  fields.levelAfsk = RecordTextFromField(level_afsk_->text());
  fields.levelFsk = RecordTextFromField(level_fsk_->text());
  fields.levelRobust = RecordTextFromField(level_robust_->text());
  fields.connectText = RecordTextFromField(connect_text_->text());
  fields.monitorU = monitor_u_->isChecked();
  fields.monitorI = monitor_i_->isChecked();
  fields.monitorS = monitor_s_->isChecked();
  fields.monitorC = monitor_c_->isChecked();
  entries.checkedPrMode = pr_mode_->checkedId();
  entries.connectTextOn = connect_text_on_->isChecked();
  entries.remoteDisconnectOn = remote_disconnect_->isChecked();
  return entries;
}

QLineEdit* CGeneralSettings::Field(GeneralField field) const {
  switch (field) {
    case GeneralField::Callsign:
      return callsign_;
    case GeneralField::TxDelay:
      return tx_delay_;
    case GeneralField::Channel:
      return channel_;
    case GeneralField::CenterFreq:
      return center_freq_;
    case GeneralField::LevelAfsk:
      return level_afsk_;
    case GeneralField::LevelFsk:
      return level_fsk_;
    case GeneralField::LevelRobust:
      return level_robust_;
    case GeneralField::ConnectText:
      return connect_text_;
  }
  return callsign_;
}

void CGeneralSettings::accept() {
  const GeneralSettingsOk ok = CheckGeneralSettingsOk(ReadEntries());
  SetCallsignText(FieldTextFromRecord(ok.values.callsign));
  values_ = ok.values;
  for (const GeneralSettingsFinding& finding : ok.findings) {
    QLineEdit* field = Field(finding.field);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    prompt_.ShowMessage(finding.message.caption, finding.message.text, finding.message.icon);
  }
  if (ok.findings.empty()) QDialog::accept();
}

}  // namespace vextune::ui
