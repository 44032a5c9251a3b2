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
#include "config/param_help.h"
#include "editor/callsign_filter.h"
#include "editor/field_texts.h"
#include "editor/general_dialog_state.h"
#include "link/device_state.h"
#include "ui/cp1252_field_text.h"
#include "ui/dialog_controls.h"
#include "ui/keystroke_filter.h"
#include "ui/settings_dialog_parts.h"
#include "ui/widget_support.h"

namespace vextune::ui {
namespace {

using Characters = SettingsFieldValidator::Characters;
using D = CConfigData;

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
  auto* callsign_label = new QLabel(DialogCaption(&D::m_Callsign));
  callsign_label->setBuddy(callsign_);
  fields->addWidget(callsign_label, 0, 0);
  fields->addWidget(callsign_, 0, 1, 1, 2);
  AddFieldRow(fields, DialogCaption(&D::m_TxDelay), tx_delay_, DialogUnitText(&D::m_TxDelay));
  AddFieldRow(fields, DialogCaption(&D::m_Channel), channel_);
  AddFieldRow(fields, DialogCaption(&D::m_CenterFreq), center_freq_,
              DialogUnitText(&D::m_CenterFreq));
  fields->setRowStretch(fields->rowCount(), 1);
  new KeystrokeFilter(callsign_, FilterCallsignEdit, [this] {
    QApplication::beep();
    emit callsignKeystrokeRefused();
  });
  // A paste the validator refuses as a whole is not silent either.
  connect(callsign_, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
  return fields;
}

QGroupBox* CGeneralSettings::BuildConnectTextGroup() {
  auto* group = new QGroupBox(DialogCaption(&D::m_ConnectText));
  group->setObjectName(QStringLiteral("connectTextGroup"));
  // The switch has no caption of its own: the group's title names it.
  connect_text_on_ = NewCheckBox("connectTextOnCheck", {});
  connect_text_on_->setAccessibleName(DialogCaption(&D::m_ConnectMode));
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
  connect(connect_text_, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
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
  for (const auto& [member, edit] :
       {std::pair{&D::m_LevelAfsk, level_afsk_}, std::pair{&D::m_LevelFsk, level_fsk_},
        std::pair{&D::m_LevelRobust, level_robust_}})
    AddFieldRow(levels, DialogCaption(member), edit, DialogUnitText(member));
  levels->setRowStretch(levels->rowCount(), 1);
  return group;
}

QGroupBox* CGeneralSettings::BuildMonitorGroup() {
  auto* group = new QGroupBox(DialogCaption(&D::m_MonitorU));
  group->setObjectName(QStringLiteral("monitorGroup"));
  monitor_u_ = NewCheckBox("monitorUCheck", QStringLiteral("U"));
  monitor_i_ = NewCheckBox("monitorICheck", QStringLiteral("I"));
  monitor_s_ = NewCheckBox("monitorSCheck", QStringLiteral("S"));
  monitor_c_ = NewCheckBox("monitorCCheck", QStringLiteral("C"));
  auto* layout = new QVBoxLayout(group);
  for (QCheckBox* check : {monitor_u_, monitor_i_, monitor_s_, monitor_c_}) {
    // A single letter says little when read out; the group's title helps.
    check->setAccessibleName(group->title() + u' ' + check->text());
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
  // Captioned with the meaning of the index, as the parameter help names it.
  const struct {
    const char* name;
    int index;
    QVBoxLayout* column;
  } radios[] = {
      {"prMode300Radio", 0, standard},  {"prMode1200Radio", 3, standard},
      {"prMode9600Radio", 4, standard}, {"prMode19200Radio", 5, standard},
      {"prModeR300Radio", 1, robust},   {"prModeR600Radio", 2, robust},
  };
  for (const auto& radio : radios) {
    auto* button = Make<QRadioButton>(
        nullptr, radio.name,
        QString::fromLatin1(ChoiceMeaning(CConfigData::InfoOf(&D::m_PrModeIndex), radio.index)));
    pr_mode_->addButton(button, radio.index);
    radio.column->addWidget(button);
  }
  robust->addStretch(1);

  auto* group = new QGroupBox(DialogCaption(&D::m_PrModeIndex));
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

  auto* content = new QVBoxLayout;
  content->addLayout(top);
  content->addLayout(bottom);
  SetScrolledLayout(this, content, NewOkCancelRow(this));

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
  TabToCheckedRadio({pr_mode_->button(0), pr_mode_->button(3), pr_mode_->button(4),
                     pr_mode_->button(5), pr_mode_->button(1), pr_mode_->button(2)});
}

void CGeneralSettings::SetToolTips() {
  const QChar quote = u'"';
  const auto tip = [](GeneralField field) { return QString::fromStdString(GeneralToolTip(field)); };
  callsign_->setToolTip(tip(GeneralField::Callsign));
  tx_delay_->setToolTip(tip(GeneralField::TxDelay));
  channel_->setToolTip(tip(GeneralField::Channel));
  level_afsk_->setToolTip(tip(GeneralField::LevelAfsk));
  level_fsk_->setToolTip(tip(GeneralField::LevelFsk));
  level_robust_->setToolTip(tip(GeneralField::LevelRobust));
  monitor_u_->setToolTip(QStringLiteral("Unproto transmissions (UI-frames) monitored"));
  monitor_i_->setToolTip(QStringLiteral("Information (I-Frames) monitored"));
  monitor_s_->setToolTip(QStringLiteral("Control Packets (S-frames) monitored "));
  monitor_c_->setToolTip(QStringLiteral("Monitor while connected"));
  connect_text_->setToolTip(tip(GeneralField::ConnectText));
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
  center_freq_->setToolTip(tip(GeneralField::CenterFreq));
}

void CGeneralSettings::Fill(const GeneralSettingsValues& values, const DeviceState& device) {
  callsign_->setText(Cp1252ToFieldText(values.callsign));
  tx_delay_->setText(Cp1252ToFieldText(values.txDelay));
  channel_->setText(Cp1252ToFieldText(values.channel));
  const GeneralDialogState state = GeneralOpeningState(values, device.firmwareVersion);
  center_freq_->setText(Cp1252ToFieldText(state.centerFreq));
  level_afsk_->setText(Cp1252ToFieldText(values.levelAfsk));
  level_fsk_->setText(Cp1252ToFieldText(values.levelFsk));
  level_robust_->setText(Cp1252ToFieldText(values.levelRobust));
  connect_text_->setText(Cp1252ToFieldText(values.connectText));
  monitor_u_->setChecked(values.monitorU);
  monitor_i_->setChecked(values.monitorI);
  monitor_s_->setChecked(values.monitorS);
  monitor_c_->setChecked(values.monitorC);

  pr_mode_->button(state.prMode)->setChecked(true);
  connect_text_on_->setChecked(state.connectTextOn);
  remote_disconnect_->setChecked(state.remoteDisconnectOn);
  UpdateConnectTextControls();
  center_freq_->setEnabled(state.centerFreqEnabled);
}

void CGeneralSettings::UpdateConnectTextControls() {
  const ConnectTextControls controls = SwitchConnectText(connect_text_on_->isChecked());
  connect_text_->setEnabled(controls.enabled);
  if (controls.clearRemoteDisconnect) remote_disconnect_->setChecked(false);
  remote_disconnect_->setEnabled(controls.enabled);
}

GeneralSettingsEntries CGeneralSettings::ReadEntries() const {
  GeneralSettingsEntries entries;
  GeneralSettingsValues& fields = entries.fields;
  fields = values_;
  fields.callsign = FieldTextToCp1252(callsign_->text());
  fields.txDelay = FieldTextToCp1252(tx_delay_->text());
  fields.channel = FieldTextToCp1252(channel_->text());
  fields.centerFreq = FieldTextToCp1252(center_freq_->text());
  fields.levelAfsk = FieldTextToCp1252(level_afsk_->text());
  fields.levelFsk = FieldTextToCp1252(level_fsk_->text());
  fields.levelRobust = FieldTextToCp1252(level_robust_->text());
  fields.connectText = FieldTextToCp1252(connect_text_->text());
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
  // Only a changed text is put in, so that the caret stays where the user left it.
  const QString callsign = Cp1252ToFieldText(ok.values.callsign);
  if (callsign_->text() != callsign) callsign_->setText(callsign);
  values_ = ok.values;
  for (const GeneralSettingsFinding& finding : ok.findings) {
    FocusRefusedField(Field(finding.field), finding.selection, finding.selectionStart,
                      finding.selectionLength);
    prompt_.ShowMessage(finding.message.caption, finding.message.text, finding.message.icon);
  }
  if (ok.findings.empty()) QDialog::accept();
}

}  // namespace vextune::ui
