// The APRS settings as the configuration main dialog edits them: the dialog
// filled from a real record, driven to OK or Abbrechen, the values taken back
// into the record, and that record sent to the simulated device and read
// back unchanged.

#include "ui/aprs_settings_runner.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "config/config_data.h"
#include "fake_serial.h"
#include "link/device_state.h"
#include "scripted_prompt.h"
#include "sim/davozi_simulator.h"
#include "sim/device_core.h"
#include "transfer/read_configuration.h"
#include "transfer/send_configuration.h"
#include "transfer/send_script.h"
#include "ui/aprs_settings_dlg.h"

using vextune::CConfigData;
using vextune::DeviceState;
using vextune::testing::ScriptedPrompt;
using vextune::ui::AprsSettingsRunner;
using vextune::ui::CAprsSettings;

namespace {

// Runs `act` on the modal dialog once it is open and active. A dialog that
// `act` left open is closed with Abbrechen, so that a failing test ends; it
// is counted in `leftOpen`.
void WhenOpen(const std::function<void(CAprsSettings&)>& act, int* leftOpen = nullptr) {
  QTimer::singleShot(0, [act, leftOpen] {
    auto* dialog = qobject_cast<CAprsSettings*>(QApplication::activeModalWidget());
    if (dialog == nullptr) qFatal("the APRS settings dialog did not open");
    QApplication::setActiveWindow(dialog);
    if (!QTest::qWaitForWindowActive(dialog)) qFatal("the APRS settings dialog is not active");
    act(*dialog);
    if (dialog->isVisible()) {
      if (leftOpen != nullptr) ++*leftOpen;
      dialog->reject();
    }
  });
}

void Type(CAprsSettings& dialog, const char* field, const char* text) {
  auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(field));
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, QString::fromUtf8(text));
}

void Click(CAprsSettings& dialog, const char* button) {
  auto* b = dialog.findChild<QAbstractButton*>(QString::fromLatin1(button));
  QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
}

// A fixed position, a path with "via", the alternate table with a symbol and
// a frequency beacon, as a user enters them.
void EnterBeaconSettings(CAprsSettings& dialog) {
  Type(dialog, "aprsCallsignEdit", "klmnop-7");
  Type(dialog, "pathEdit", "APRS via WIDE1-1,WIDE2-2");
  Click(dialog, "beaconFixedRadio");
  auto* latitude = dialog.findChild<QLineEdit*>("latitudeEdit");
  latitude->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(latitude, "483179");
  auto* longitude = dialog.findChild<QLineEdit*>("longitudeEdit");
  longitude->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(longitude, "0081188");
  Click(dialog, "longitudeHemisphereButton");  // W -> E
  Click(dialog, "alternateTableCheck");
  dialog.findChild<QComboBox*>("alternateSymbolBox")->setCurrentIndex(29);  // "No. Car"
  Click(dialog, "freqBeaconCheck");
  Type(dialog, "freqBeaconEdit", "1800");
  Click(dialog, "nmeaCheck");
  dialog.findChild<QComboBox*>("nmeaList")->setCurrentIndex(3);  // APRS + GPS (loopback)
  Click(dialog, "okButton");
}

/// The simulated device behind the fake line.
class SimulatedDevice final : public vextune::testing::FakeDevice {
 public:
  SimulatedDevice(const vextune::sim::SimulatorOptions& options, vextune::Clock& clock)
      : core_(options, *vextune::sim::FirmwareNumber(options.firmware), clock) {
    std::string error;
    if (!core_.PowerOn(nullptr, &error)) qFatal("simulator: %s", error.c_str());
  }
  void OnWrite(const vextune::testing::Bytes& bytes, uint32_t,
               vextune::testing::FakeLine& line) override {
    for (uint8_t b : bytes) {
      const std::string reply = core_.Feed(b);
      if (!reply.empty()) line.Send(reply);
    }
  }

 private:
  vextune::sim::DeviceCore core_;
};

}  // namespace

class AprsSettingsRunnerTest : public QObject {
  Q_OBJECT

 private slots:
  void okTakesEveryEntryBackIntoTheRecord() {
    CConfigData record;
    CConfigData::SetText(record.m_AprsVia2Ssid, "03");  // SSIDs are left alone
    DeviceState device{-1, "", true};
    ScriptedPrompt prompt;
    AprsSettingsRunner runner;
    WhenOpen(EnterBeaconSettings);
    QVERIFY(runner.Edit(nullptr, record, device, prompt));
    QVERIFY(prompt.shown().empty());

    QCOMPARE(record.m_AprsCall.text, std::string("KLMNOP-7"));
    QCOMPARE(record.m_AprsDest.text, std::string("APRS"));
    QCOMPARE(record.m_AprsVia1.text, std::string("WIDE1-1"));
    QCOMPARE(record.m_AprsVia2.text, std::string("WIDE2-2"));
    QCOMPARE(record.m_AprsVia3.text, std::string(""));
    QCOMPARE(record.m_AprsVia2Ssid.text, std::string("03"));
    QCOMPARE(record.m_AprsBeacon.value, 2);
    QCOMPARE(record.m_AprsPosition.text, std::string("4831.79N 00811.88E"));
    QCOMPARE(record.m_AprsAltTable.value, 1);
    QCOMPARE(record.m_AprsSymbol.value, 29);
    QCOMPARE(record.m_AprsFreqBeacon.value, 1800);
    QCOMPARE(record.m_NmeaOut.value, 4);
    QCOMPARE(record.m_NmeaOutOld.value, 3);
    // What the user did not touch keeps its value.
    QCOMPARE(record.m_AprsInterval.text, std::string("900"));
    QCOMPARE(record.m_AprsValid.value, 1200);
    QCOMPARE(record.m_AprsCompressed.value, 1);
  }

  void cancelLeavesTheRecordAlone() {
    CConfigData record;
    const CConfigData before = record;
    DeviceState device{-1, "", true};
    ScriptedPrompt prompt;
    AprsSettingsRunner runner;
    WhenOpen([](CAprsSettings& dialog) {
      Type(dialog, "aprsCallsignEdit", "KLM");
      Click(dialog, "alternateTableCheck");
      Click(dialog, "cancelButton");
    });
    QVERIFY(!runner.Edit(nullptr, record, device, prompt));
    QVERIFY(record.IsEqual(before, true));
  }

  // OK straight away changes nothing, also where the firmware's lists lack
  // the stored choice (HF DUAL before 1.3E, APRS + GPS before 1.1J).
  void okWithoutChangesChangesNothing() {
    struct Case {
      int32_t firmware;
      std::function<void(CConfigData&)> change;
    };
    const Case cases[] = {
        {10466,
         [](CConfigData& r) {
           CConfigData::SetText(r.m_AprsPosition, "0102.03S 17000.00W");
           CConfigData::SetNumber(r.m_AprsBeacon, 2);
           CConfigData::SetNumber(r.m_NmeaOut, 2);
           CConfigData::SetNumber(r.m_NmeaOutOld, 2);
         }},
        {10300, [](CConfigData& r) { CConfigData::SetNumber(r.m_AprsCrossMode, 7); }},
        {10173,
         [](CConfigData& r) {
           CConfigData::SetNumber(r.m_NmeaOut, 4);
           CConfigData::SetNumber(r.m_NmeaOutOld, 3);
         }},
        {-1, [](CConfigData& r) { CConfigData::SetNumberText(r.m_AprsFreqBeacon, "00600"); }},
    };
    for (const Case& c : cases) {
      CConfigData record;
      c.change(record);
      const CConfigData before = record;
      DeviceState device{c.firmware, "", c.firmware == -1};
      ScriptedPrompt prompt;
      AprsSettingsRunner runner;
      WhenOpen([](CAprsSettings& dialog) { Click(dialog, "okButton"); });
      QVERIFY(runner.Edit(nullptr, record, device, prompt));
      for (const vextune::ParamInfo* p : record.Differences(before, true))
        QFAIL(qPrintable(QString("firmware %1: %2 changed").arg(c.firmware).arg(p->memberName)));
    }
  }

  // What was entered reaches the device: the send script carries it, and the
  // device, read back, holds exactly the record.
  void enteredValuesReachTheDevice() {
    CConfigData record;
    ScriptedPrompt prompt;
    AprsSettingsRunner runner;
    vextune::sim::SimulatorOptions options;  // firmware 1.4b
    DeviceState device{static_cast<int32_t>(*vextune::sim::FirmwareNumber(options.firmware)),
                       " V.1.4b", false};
    WhenOpen(EnterBeaconSettings);
    QVERIFY(runner.Edit(nullptr, record, device, prompt));

    QCOMPARE(vextune::AprsPathText(record), std::string("APRS WIDE1-1 WIDE2-2"));
    vextune::testing::FakeClock clock;
    const auto commands = [&](vextune::SendStep step) {
      const std::vector<std::string> lines = vextune::SendStepCommands(step, record, device, clock);
      return lines.empty() ? std::string() : lines.front();
    };
    QCOMPARE(commands(vextune::SendStep::AprsPosition),
             std::string("\x1b%AO 4831.79N 00811.88E\r"));
    QCOMPARE(commands(vextune::SendStep::AprsSymbol), std::string("\x1b%AY a30\r"));

    SimulatedDevice simulated(options, clock);
    vextune::testing::FakeSerialOpener ports(clock, simulated);
    vextune::LinkSettings settings{"ttyACM0", 38400};
    vextune::DeviceLink link{ports, settings, clock};
    vextune::CancelFlag cancel;
    vextune::NoProgress progress;
    bool save = true;
    QCOMPARE(vextune::SendConfiguration(link, device, record, save, cancel, progress).result,
             vextune::SendResult::Complete);
    CConfigData readBack;
    std::string outOfRange;
    QCOMPARE(vextune::ReadConfiguration(link, device, readBack, outOfRange, cancel, progress),
             vextune::ReadResult::Complete);
    QCOMPARE(outOfRange, std::string());
    for (const vextune::ParamInfo* p : record.Differences(readBack, false))
      QFAIL(qPrintable(QString("%1 differs after the round trip").arg(p->memberName)));
  }
};

QTEST_MAIN(AprsSettingsRunnerTest)
#include "aprs_settings_runner_test.moc"
