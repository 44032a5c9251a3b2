#include "transfer/read_configuration.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/device_protocol.h"
#include "transfer_test_support.h"

namespace vextune::testing {
namespace {

using Replies = std::deque<std::optional<std::string>>;

/// A rig with the read's outputs: the record and the list of refused replies.
struct Rig : TransferRig {
  ReadResult Read() { return ReadConfiguration(link, state, record, list, cancel, progress); }
  size_t Asked(const std::string& query) const {
    return size_t(std::count(device.hostCommands.begin(), device.hostCommands.end(), query));
  }
  /// The port was closed and the device left in command mode.
  void ExpectCleanEnd() const {
    EXPECT_EQ(ports.openCount(), 0);
    EXPECT_EQ(device.hostExits, device.hostEntries);
    ASSERT_FALSE(ports.Writes().empty());
    EXPECT_EQ(ports.Writes().back(), LeaveHostModeFrame());
  }
  const std::string& Command(size_t fromEnd) const {
    return device.hostCommands[device.hostCommands.size() - fromEnd];
  }
  CConfigData record;
  std::string list = "stale";
};

TEST(ReadConfiguration, DeviceWithDefaultsReadsBackAsDefaults) {
  Rig rig;
  EXPECT_EQ(rig.Read(), ReadResult::Complete);
  EXPECT_EQ(rig.list, "");
  EXPECT_TRUE(rig.record.IsEqual(CConfigData(), true));
  rig.ExpectCleanEnd();
  // Confirmed parameters are asked twice, labelled and single ones once.
  EXPECT_EQ(rig.Asked("a"), 2u);
  EXPECT_EQ(rig.Asked("%AT"), 1u);
  EXPECT_EQ(rig.Asked("k"), 1u);
  // While read, the device runs under placeholder callsigns; both come back.
  const auto& c = rig.device.hostCommands;
  EXPECT_LT(std::find(c.begin(), c.end(), "I DAVOZI"), std::find(c.begin(), c.end(), "f"));
  EXPECT_EQ(rig.Asked("%AM NONE"), 2u);
  std::vector<int> steps = {0};
  for (int step = 4; step <= 56; ++step)
    if (step != 15) steps.push_back(step);
  EXPECT_EQ(rig.progress.positions, steps);
}

// Replies in the simulator's own forms are pinned by the round trip; these are
// the other forms a device may give, and refused ones listed in step order.
TEST(ReadConfiguration, RepliesEnterTheRecordByTheirRulesOrAreListed) {
  Rig rig;
  auto& r = rig.device.replies;
  r["%AM"] = "APRS Mycall = DL1ABC-2";
  r["%AH"] = "APRS Tracking, HF mode toggle = 2";
  r["%AN"] = "APRS Nmea-out = 4";
  r["%AR"] = "APRS status Report =  On air  ";
  r["%AY"] = "APRS Symbol = a15 (x)";
  r["t"] = "007";
  r["a"] = "7";  // refused from here on
  r["%AT"] = "APRS Beacon/Timer = 5";
  r["%AP"] = "APRS Path = APRS via TOOLONGCALL";
  r["i"] = "KLMNOPQ";
  rig.device.channelReply = "x* 3 *";
  EXPECT_EQ(rig.Read(), ReadResult::OutOfRange);
  EXPECT_EQ(rig.list, " S, A, I, %AT, %AP");
  const CConfigData& rec = rig.record;
  EXPECT_EQ(rec.m_AprsHfToggleOld.value, 1);
  EXPECT_EQ(rec.m_NmeaOutOld.value, 3);
  EXPECT_EQ(rec.m_AprsStatusText.text, "On air");
  EXPECT_EQ(rec.m_AprsAltTable.value, 1);
  EXPECT_EQ(rec.m_AprsSymbol.value, 14);
  EXPECT_EQ(rec.m_TxDelay.text, "007");
  for (auto m :
       {&CConfigData::m_Channel, &CConfigData::m_AddLinefeed, &CConfigData::m_Callsign,
        &CConfigData::m_AprsInterval, &CConfigData::m_AprsDest, &CConfigData::m_AprsVia1}) {
    EXPECT_EQ((rec.*m).text, (CConfigData().*m).text);
  }
  // The device gets its callsigns back at the end; one that could not be read
  // comes back as the placeholder.
  EXPECT_EQ(rig.Asked("I DAVOZI"), 1u);
  EXPECT_EQ(rig.Command(2), "%AM DL1ABC-2");
  rig.ExpectCleanEnd();
}

// A control character in a reply would become a command when the record is
// sent again: such replies are refused and listed like any unusable value.
TEST(ReadConfiguration, RepliesWithControlCharactersAreRefusedAndListed) {
  Rig rig;
  auto& r = rig.device.replies;
  r["i"] = "DL1\x1bT9";
  r["u"] = "1 Hi\r\x1bT 9";
  r["%AC"] = "APRS Comment = hi\r\x1b%AT 3600";
  r["%AP"] = "APRS Path = APRS via WIDE\x1bT";
  EXPECT_EQ(rig.Read(), ReadResult::OutOfRange);
  EXPECT_EQ(rig.list, " I, U, %AC, %AP");
  for (const ParamInfo& info : CConfigData::Params()) {
    EXPECT_EQ(rig.record.Get(info).text, CConfigData().Get(info).text) << info.memberName;
  }
  rig.ExpectCleanEnd();
}

// Confirmed parameters need two equal replies (at most two tries), labelled
// ones their label (two tries), single ones are taken at once.
TEST(ReadConfiguration, EachPatternTakesOrListsItsReply) {
  struct Case {
    const char* query;
    Replies replies;
    CConfigParam CConfigData::*member;
    int32_t value;  // -1: refused and listed, the default stays
    size_t asked;
  };
  using C = CConfigData;
  const Case cases[] = {
      {"a", {"0", "0"}, &C::m_AddLinefeed, 0, 2},
      {"a", {"0", "1", "0", "0"}, &C::m_AddLinefeed, 0, 4},
      {"t", {"30", "31", "30", "31"}, &C::m_TxDelay, -1, 4},  // taken, never confirmed
      {"t", {"200", "200"}, &C::m_TxDelay, -1, 2},
      {"t", {std::nullopt, "40", "40"}, &C::m_TxDelay, 40, 3},
      {"t", {"40", std::nullopt, "40", std::nullopt}, &C::m_TxDelay, -1, 4},
      {"%AT", {"APRS Beacon/Timer = 1800 s"}, &C::m_AprsInterval, 1800, 1},
      {"%AT", {"APRS Beacon/Timer = 0"}, &C::m_AprsInterval, 0, 1},
      {"%AT", {"APRS Beacon/Timer = 5", "APRS Beacon/Timer = 5"}, &C::m_AprsInterval, -1, 2},
      {"%AT", {"Beacon = 1800", "APRS Beacon/Timer = 60"}, &C::m_AprsInterval, 60, 2},
      {"%AT", {"Timer = 1800", "Timer = 1800"}, &C::m_AprsInterval, -1, 2},
      {"k", {"2"}, &C::m_Timestamp, 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << &c - cases);
    Rig rig;
    rig.device.queued[c.query] = c.replies;
    const bool listed = c.value < 0;
    std::string name = c.query;
    for (char& ch : name) ch = char(std::toupper(ch));
    EXPECT_EQ(rig.Read(), listed ? ReadResult::OutOfRange : ReadResult::Complete);
    EXPECT_EQ(rig.list, listed ? " " + name : "");
    EXPECT_EQ((rig.record.*c.member).value, listed ? (C().*c.member).value : c.value);
    EXPECT_EQ(rig.Asked(c.query), c.asked);
  }
}

TEST(ReadConfiguration, ChannelReplyInCommandMode) {
  const std::tuple<const char*, ReadResult, int32_t> cases[] = {
      {"* 3 *", ReadResult::Complete, 3},
      {"* 1 * 5 *", ReadResult::Complete, 5},
      {"x* 3 *", ReadResult::OutOfRange, 0},
      {"* *", ReadResult::OutOfRange, 0},
      {"* 1 * 2 * 3 *", ReadResult::NoAnswer, 0},
      {"*3*", ReadResult::NoAnswer, 0},
      {"", ReadResult::NoAnswer, 0}};
  for (const auto& [reply, result, channel] : cases) {
    Rig rig;
    rig.device.channelReply = reply;
    EXPECT_EQ(rig.Read(), result) << reply;
    EXPECT_EQ(rig.record.m_Channel.value, channel) << reply;
    EXPECT_EQ(rig.ports.openCount(), 0);
    if (result == ReadResult::NoAnswer) {
      EXPECT_EQ(rig.device.hostEntries, 0) << reply;
      EXPECT_EQ(rig.ports.Writes().back(), LeaveHostModeFrame()) << reply;
    }
  }
}

TEST(ReadConfiguration, SixQueriesWithoutReplyEndTheRead) {
  // Silence from the start: "a", "e" and "i" take two failures each and would
  // be listed, but the read ends before step 7 and the list is dropped.
  Rig silent;
  silent.device.replies.clear();
  EXPECT_EQ(silent.Read(), ReadResult::NoAnswer);
  EXPECT_EQ(silent.list, "");
  EXPECT_EQ(silent.Asked("%AM"), 0u);
  silent.ExpectCleanEnd();
  // Failures count over the whole read: five spread out are not enough, a sixth is.
  for (bool sixth : {false, true}) {
    Rig rig;
    for (const char* q : {"a", "f", "%AT", "%B", "x"}) rig.device.queued[q] = {std::nullopt};
    if (sixth) rig.device.queued["@V"] = {std::nullopt, "0", "0"};
    EXPECT_EQ(rig.Read(), sixth ? ReadResult::NoAnswer : ReadResult::Complete) << sixth;
  }
}

TEST(ReadConfiguration, CancelEndsTheReadAndKeepsWhatWasRead) {
  Rig rig;
  rig.device.replies["t"] = "40";
  rig.device.replies["@T3"] = "20000";
  rig.progress.onProgress = [&](int step) {
    if (step == 20) rig.cancel.Set();
  };
  EXPECT_EQ(rig.Read(), ReadResult::Aborted);
  EXPECT_EQ(rig.list, "");
  EXPECT_EQ(rig.record.m_TxDelay.value, 40);
  EXPECT_EQ(rig.record.m_Timer3.value, 18000);
  EXPECT_EQ(rig.Asked("@D"), 0u);
  rig.ExpectCleanEnd();
}

TEST(ReadConfiguration, PortThatCannotBeOpenedSendsNothing) {
  Rig rig;
  rig.device.openError = ENOENT;
  EXPECT_EQ(rig.Read(), ReadResult::PortError);
  EXPECT_TRUE(rig.ports.Writes().empty());
  EXPECT_EQ(rig.ports.openCount(), 0);
}

}  // namespace
}  // namespace vextune::testing
