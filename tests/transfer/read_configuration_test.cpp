#include "transfer/read_configuration.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/device_protocol.h"
#include "transfer_test_support.h"

namespace vextune::testing {
namespace {

using Replies = std::deque<std::optional<std::string>>;

class ReadConfigurationTest : public ::testing::Test {
 protected:
  TransferResult Read() {
    return ReadConfiguration(rig.link, rig.state, record, list, rig.cancel, rig.progress);
  }
  size_t Asked(const std::string& query) const {
    const auto& c = rig.device.hostCommands;
    return static_cast<size_t>(std::count(c.begin(), c.end(), query));
  }
  /// The port was closed and the device left in command mode.
  void ExpectCleanEnd() const {
    EXPECT_EQ(rig.ports.openCount(), 0);
    EXPECT_EQ(rig.device.hostExits, rig.device.hostEntries);
    const auto writes = rig.ports.Writes();
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.back(), LeaveHostModeFrame());
  }

  TransferRig rig;
  CConfigData record;
  std::string list = "stale";
};

TEST_F(ReadConfigurationTest, DeviceWithDefaultsReadsBackAsDefaults) {
  EXPECT_EQ(Read(), TransferResult::Complete);
  EXPECT_EQ(list, "");
  EXPECT_TRUE(record.IsEqual(CConfigData(), true));
  ExpectCleanEnd();
  // Confirmed parameters are asked twice, labelled and single ones once.
  EXPECT_EQ(Asked("a"), 2u);
  EXPECT_EQ(Asked("%AT"), 1u);
  EXPECT_EQ(Asked("k"), 1u);
  // While read, the device runs under placeholder callsigns; both come back.
  const auto& c = rig.device.hostCommands;
  EXPECT_LT(std::find(c.begin(), c.end(), "I DAVOZI") - c.begin(),
            std::find(c.begin(), c.end(), "f") - c.begin());
  EXPECT_EQ(std::count(c.begin(), c.end(), "%AM NONE"), 2);
  std::vector<int> expected = {0};
  for (int step = 4; step <= 56; ++step) {
    if (step != 15) expected.push_back(step);
  }
  EXPECT_EQ(rig.progress.positions, expected);
}

TEST_F(ReadConfigurationTest, RepliesEnterTheRecordByTheirRules) {
  auto& r = rig.device.replies;
  r["i"] = "KLMNOP-9";
  r["%AM"] = "APRS Mycall = DL1ABC-2";
  r["m"] = "ius";
  r["u"] = "1 Hello";
  r["%AT"] = "APRS Beacon/Timer = 1800 s";
  r["%AG"] = "APRS Gateway Modem Type = HF DUAL";
  r["%AH"] = "APRS Tracking, HF mode toggle = 2";
  r["%AN"] = "APRS Nmea-out = 4";
  r["%AR"] = "APRS status Report =  On air  ";
  r["%AP"] = "APRS Path = APRS via WIDE1-1 WIDE2-2";
  r["%AY"] = "APRS Symbol = a15 (x)";
  r["%B"] = "9600";
  r["t"] = "007";
  rig.device.channelReply = "* 3 *";

  EXPECT_EQ(Read(), TransferResult::Complete) << list;
  EXPECT_EQ(record.m_Callsign.text, "KLMNOP-9");
  EXPECT_EQ(record.m_AprsCall.text, "DL1ABC-2");
  EXPECT_EQ(record.m_MonitorI.value + record.m_MonitorU.value + record.m_MonitorS.value, 3);
  EXPECT_EQ(record.m_MonitorC.value, 0);
  EXPECT_EQ(record.m_ConnectMode.value, 1);
  EXPECT_EQ(record.m_ConnectText.text, "Hello");
  EXPECT_EQ(record.m_AprsInterval.value, 1800);
  EXPECT_EQ(record.m_AprsCrossMode.value, 7);
  EXPECT_EQ(record.m_AprsHfToggle.value, 2);
  EXPECT_EQ(record.m_AprsHfToggleOld.value, 1);
  EXPECT_EQ(record.m_NmeaOut.value, 4);
  EXPECT_EQ(record.m_NmeaOutOld.value, 3);
  EXPECT_EQ(record.m_AprsStatusText.text, "On air");
  EXPECT_EQ(record.m_AprsDest.text, "APRS");
  EXPECT_EQ(record.m_AprsVia1.text, "WIDE1-1");
  EXPECT_EQ(record.m_AprsVia2.text, "WIDE2-2");
  EXPECT_EQ(record.m_AprsVia3.text, "");
  EXPECT_EQ(record.m_AprsAltTable.value, 1);
  EXPECT_EQ(record.m_AprsSymbol.value, 14);
  EXPECT_EQ(record.m_PrMode.text, "9600");
  EXPECT_EQ(record.m_PrModeIndex.value, 4);
  EXPECT_EQ(record.m_TxDelay.value, 7);
  EXPECT_EQ(record.m_TxDelay.text, "007");
  EXPECT_EQ(record.m_Channel.value, 3);
  // The device gets its own callsigns back at the end.
  const auto& c = rig.device.hostCommands;
  EXPECT_NE(std::find(c.begin(), c.end(), "I KLMNOP-9"), c.end());
  EXPECT_EQ(c[c.size() - 2], "%AM DL1ABC-2");
  ExpectCleanEnd();
}

TEST_F(ReadConfigurationTest, ConfirmedParameterNeedsTwoEqualReplies) {
  struct Case {
    const char* name;
    const char* query;
    Replies replies;
    bool listed;
    int32_t CConfigParam::*field;
    CConfigParam CConfigData::*member;
    int32_t value;
  };
  const Case cases[] = {
      {"equal replies",
       "a",
       {"0", "0"},
       false,
       &CConfigParam::value,
       &CConfigData::m_AddLinefeed,
       0},
      {"mismatch, then equal",
       "a",
       {"0", "1", "0", "0"},
       false,
       &CConfigParam::value,
       &CConfigData::m_AddLinefeed,
       0},
      // A reply taken but never confirmed does not stay behind.
      {"mismatch twice",
       "t",
       {"30", "31", "30", "31"},
       true,
       &CConfigParam::value,
       &CConfigData::m_TxDelay,
       25},
      {"out of range twice",
       "t",
       {"200", "200"},
       true,
       &CConfigParam::value,
       &CConfigData::m_TxDelay,
       25},
      {"silence, then equal",
       "t",
       {std::nullopt, "40", "40"},
       false,
       &CConfigParam::value,
       &CConfigData::m_TxDelay,
       40},
      {"second reply missing twice",
       "t",
       {"40", std::nullopt, "40", std::nullopt},
       true,
       &CConfigParam::value,
       &CConfigData::m_TxDelay,
       25},
  };
  for (const Case& c : cases) {
    TransferRig rig;
    rig.device.queued[c.query] = c.replies;
    CConfigData record;
    std::string list;
    const TransferResult result =
        ReadConfiguration(rig.link, rig.state, record, list, rig.cancel, rig.progress);
    EXPECT_EQ(result, c.listed ? TransferResult::OutOfRange : TransferResult::Complete) << c.name;
    if (c.listed) {
      EXPECT_EQ(list, " " + std::string(1, char(std::toupper(c.query[0])))) << c.name;
    }
    EXPECT_EQ(record.*c.member.*c.field, c.value) << c.name;
  }
}

TEST_F(ReadConfigurationTest, LabelledAndSingleParameters) {
  struct Case {
    const char* name;
    const char* query;
    Replies replies;
    const char* list;
    int32_t interval;
    size_t asked;
  };
  const Case cases[] = {
      {"value with unit", "%AT", {"APRS Beacon/Timer = 1800 s"}, "", 1800, 1},
      {"zero is allowed", "%AT", {"APRS Beacon/Timer = 0"}, "", 0, 1},
      {"out of range twice",
       "%AT",
       {"APRS Beacon/Timer = 5", "APRS Beacon/Timer = 5"},
       " %AT",
       900,
       2},
      {"without label, then right", "%AT", {"Beacon = 1800", "APRS Beacon/Timer = 60"}, "", 60, 2},
      {"without label twice", "%AT", {"Timer = 1800", "Timer = 1800"}, " %AT", 900, 2},
  };
  for (const Case& c : cases) {
    TransferRig rig;
    rig.device.queued[c.query] = c.replies;
    CConfigData record;
    std::string list;
    ReadConfiguration(rig.link, rig.state, record, list, rig.cancel, rig.progress);
    EXPECT_EQ(list, c.list) << c.name;
    EXPECT_EQ(record.m_AprsInterval.value, c.interval) << c.name;
    EXPECT_EQ(std::count(rig.device.hostCommands.begin(), rig.device.hostCommands.end(),
                         std::string(c.query)),
              long(c.asked))
        << c.name;
  }

  // A single parameter is asked once and taken at once.
  rig.device.replies["k"] = "2";
  EXPECT_EQ(Read(), TransferResult::Complete);
  EXPECT_EQ(record.m_Timestamp.value, 2);
  EXPECT_EQ(Asked("k"), 1u);
}

TEST_F(ReadConfigurationTest, RefusedRepliesAreListedInStepOrder) {
  auto& r = rig.device.replies;
  r["a"] = "7";
  r["%AT"] = "APRS Beacon/Timer = 5";
  r["%AY"] = "APRS Symbol = AA1";
  r["%AP"] = "APRS Path = APRS via TOOLONGCALL";
  r["i"] = "KLMNOPQ";
  rig.device.channelReply = "x* 3 *";
  EXPECT_EQ(Read(), TransferResult::OutOfRange);
  EXPECT_EQ(list, " S, A, I, %AT, %AP, %AY");
  EXPECT_EQ(record.m_Channel.value, 0);
  EXPECT_EQ(record.m_Callsign.text, "DAVOZI");
  EXPECT_EQ(record.m_AprsDest.text, "APRS");
  EXPECT_EQ(record.m_AprsVia1.text, "RELAY");
  EXPECT_EQ(record.m_AprsSymbol.value, 14);
  EXPECT_EQ(record.m_AprsAltTable.value, 0);
  // The callsign that could not be read is the one given back.
  const auto& c = rig.device.hostCommands;
  EXPECT_NE(std::find(c.begin(), c.end(), "I DAVOZI"), c.end());
  ExpectCleanEnd();
}

TEST_F(ReadConfigurationTest, ChannelReplyInCommandMode) {
  struct Case {
    const char* reply;
    TransferResult result;
    int32_t channel;
  };
  const Case cases[] = {
      {"* 3 *", TransferResult::Complete, 3},
      {"* 1 * 5 *", TransferResult::Complete, 5},
      {"x* 3 *", TransferResult::OutOfRange, 0},
      {"* *", TransferResult::OutOfRange, 0},
      {"* 1 * 2 * 3 *", TransferResult::NoAnswer, 0},
      {"*3*", TransferResult::NoAnswer, 0},
      {"", TransferResult::NoAnswer, 0},
  };
  for (const Case& c : cases) {
    TransferRig rig;
    rig.device.channelReply = c.reply;
    CConfigData record;
    std::string list;
    EXPECT_EQ(ReadConfiguration(rig.link, rig.state, record, list, rig.cancel, rig.progress),
              c.result)
        << c.reply;
    EXPECT_EQ(record.m_Channel.value, c.channel) << c.reply;
    EXPECT_EQ(rig.ports.openCount(), 0);
    if (c.result == TransferResult::NoAnswer) {
      EXPECT_EQ(rig.device.hostEntries, 0) << c.reply;
      EXPECT_EQ(rig.ports.Writes().back(), LeaveHostModeFrame()) << c.reply;
    }
  }
}

TEST_F(ReadConfigurationTest, SixQueriesWithoutReplyEndTheRead) {
  // Three listed parameters first, then silence: "a", "e" and "i" take two
  // failures each, and the read ends before step 7.
  rig.device.silentAfterQueries = 0;
  EXPECT_EQ(Read(), TransferResult::NoAnswer);
  EXPECT_EQ(list, "");
  EXPECT_EQ(Asked("%AM"), 0u);
  ExpectCleanEnd();
}

TEST_F(ReadConfigurationTest, FailuresCountOverTheWholeRead) {
  // Five failures spread over the read are not enough to end it.
  rig.device.queued["a"] = {std::nullopt};
  rig.device.queued["f"] = {std::nullopt};
  rig.device.queued["%AT"] = {std::nullopt};
  rig.device.queued["%B"] = {std::nullopt};
  rig.device.queued["x"] = {std::nullopt};
  EXPECT_EQ(Read(), TransferResult::Complete) << list;
  // A sixth one, even late, is.
  TransferRig late;
  for (const char* q : {"a", "f", "%AT", "%B", "x"}) late.device.queued[q] = {std::nullopt};
  late.device.queued["@V"] = {std::nullopt, "0", "0"};
  CConfigData r;
  std::string l;
  EXPECT_EQ(ReadConfiguration(late.link, late.state, r, l, late.cancel, late.progress),
            TransferResult::NoAnswer);
}

TEST_F(ReadConfigurationTest, OlderFirmwareIsNotAskedNewerParameters) {
  rig.state.firmwareVersion = 10080;
  EXPECT_EQ(Read(), TransferResult::Complete);
  for (const char* q : {"%AM", "%AA", "%AD", "%AE", "%AF", "%AG", "%AH", "%AN", "%AR", "%AL", "%AV",
                        "%AU", "%F", "%T"}) {
    EXPECT_EQ(Asked(q), 0u) << q;
  }
  EXPECT_EQ(rig.device.hostCommands[rig.device.hostCommands.size() - 2], "%AM NONE");
  EXPECT_EQ(Asked("%AT"), 1u);
  EXPECT_EQ(rig.progress.positions.back(), 56);
}

TEST_F(ReadConfigurationTest, CancelEndsTheReadAndKeepsWhatWasRead) {
  rig.device.replies["t"] = "40";
  rig.device.replies["@T3"] = "20000";
  rig.progress.onProgress = [&](int step) {
    if (step == 20) rig.cancel.Set();
  };
  EXPECT_EQ(Read(), TransferResult::Aborted);
  EXPECT_EQ(list, "");
  EXPECT_EQ(record.m_TxDelay.value, 40);
  EXPECT_EQ(record.m_Timer3.value, 18000);
  EXPECT_EQ(Asked("@D"), 0u);
  ExpectCleanEnd();
}

TEST_F(ReadConfigurationTest, PortThatCannotBeOpenedSendsNothing) {
  rig.device.openError = ENOENT;
  EXPECT_EQ(Read(), TransferResult::PortError);
  EXPECT_TRUE(rig.ports.Writes().empty());
  EXPECT_EQ(rig.ports.openCount(), 0);
}

TEST_F(ReadConfigurationTest, ReadStaysAtTheRateOfTheLink) {
  rig.settings.baudRate = 115200;
  rig.device.answerBaudRate = 115200;
  EXPECT_EQ(Read(), TransferResult::Complete);
  for (const LineEvent& e : rig.ports.events()) {
    if (e.kind == LineEvent::Open) {
      EXPECT_EQ(e.baudRate, 115200u);
    }
  }
}

}  // namespace
}  // namespace vextune::testing
