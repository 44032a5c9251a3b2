#include "transfer/change_list.h"

#include <gtest/gtest.h>

#include "config/paired_params.h"
#include "transfer_test_support.h"

namespace vextune::testing {
namespace {

struct Change {
  std::vector<std::pair<const char*, const char*>> values;  // set on the new record
  const char* line;
  const char* member;
  std::vector<std::string> members;
};

// Each setting once, as the user sees it, with the device's value first.
TEST(ChangeList, NamesEachSettingOnceWithItsLabelAndBothValues) {
  const std::vector<Change> cases = {
      {{{"m_TxDelay", "40"}}, "TX-Delay (T): 25 x 10 ms \u2192 40 x 10 ms", "m_TxDelay", {}},
      {{{"m_Frack", "0700"}}, "Frack (F): 500 \u2192 700", "m_Frack", {}},
      {{{"m_Digipeat", "0"}}, "Digipeating (R): on \u2192 off", "m_Digipeat", {}},
      {{{"m_AprsInterval", "0"}},
       "TX Interval [%AT]: 900 s \u2192 automatic, speed dependent (see AprsAutoSpeed)",
       "m_AprsInterval",
       {}},
      {{{"m_AprsComment", "60\xb0 N"}},
       "Comment [%AC]: empty \u2192 \"60\u00b0 N\"",
       "m_AprsComment",
       {}},
      // Labels that do not name their command get it.
      {{{"m_AprsBeacon", "2"}},
       "Position [%A]: off \u2192 on with the fixed position",
       "m_AprsBeacon",
       {}},
      // Pairs and groups: one entry for what one command sets.
      {{{"m_PrModeIndex", "4"}, {"m_PrMode", "9600"}},
       "PR-Mode (%B): 1200 Bd \u2192 9600 Bd",
       "m_PrMode",
       {"m_PrModeIndex", "m_PrMode"}},
      {{{"m_NmeaOut", "4"}, {"m_NmeaOutOld", "3"}},
       "NMEA Out [%AN]: off \u2192 APRS + GPS (loopback)",
       "m_NmeaOut",
       {"m_NmeaOut"}},
      {{{"m_AprsHfToggle", "2"}, {"m_AprsHfToggleOld", "1"}},
       "Tracking - HF mode Toggle [%AH]: off \u2192 always",
       "m_AprsHfToggle",
       {"m_AprsHfToggleOld", "m_AprsHfToggle"}},
      {{{"m_AprsHfToggleOld", "1"}},
       "Tracking - HF mode Toggle [%AH]: off \u2192 on",
       "m_AprsHfToggle",
       {"m_AprsHfToggleOld"}},
      {{{"m_AprsVia1", "WIDE1-1"}, {"m_AprsVia2", ""}, {"m_AprsDestSsid", "05"}},
       "Path [%AP]: APRS RELAY WIDE \u2192 APRS-05 WIDE1-1",
       "m_AprsDest",
       {"m_AprsDestSsid", "m_AprsVia1", "m_AprsVia2"}},
      {{{"m_AprsDest", ""}, {"m_AprsVia1", ""}, {"m_AprsVia2", ""}},
       "Path [%AP]: APRS RELAY WIDE \u2192 empty",
       "m_AprsDest",
       {"m_AprsDest", "m_AprsVia1", "m_AprsVia2"}},
      {{{"m_MonitorU", "1"}, {"m_MonitorI", "1"}},
       "Monitor (M): none \u2192 I U",
       "m_MonitorI",
       {"m_MonitorI", "m_MonitorU"}},
      {{{"m_ConnectMode", "1"}, {"m_ConnectText", "Hello"}},
       "Connect Text (U): off \u2192 on, \"Hello\"",
       "m_ConnectMode",
       {"m_ConnectMode", "m_ConnectText"}},
  };
  const CConfigData device;
  for (const Change& c : cases) {
    SCOPED_TRACE(c.line);
    CConfigData wanted;
    for (const auto& [member, value] : c.values) ASSERT_TRUE(SetParam(wanted, member, value));
    const std::vector<ParamChange> changes = ChangeList(device, wanted, false);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(ChangeLine(changes[0]), c.line);
    EXPECT_EQ(changes[0].member, c.member);
    EXPECT_EQ(changes[0].command, changes[0].param->command);
    const std::vector<std::string> members =
        c.members.empty() ? std::vector<std::string>{c.member} : c.members;
    EXPECT_EQ(changes[0].members, members);
  }
}

TEST(ChangeList, EmptyWhenEqualAndInRecordOrderOtherwise) {
  const CConfigData device;
  EXPECT_TRUE(ChangeList(device, CConfigData(), true).empty());

  CConfigData wanted;
  ASSERT_TRUE(SetParam(wanted, "m_NmeaOutOld", "3"));  // never compared
  ASSERT_TRUE(SetParam(wanted, "m_SyncClock", "1"));   // a flag of the file, not of the device
  EXPECT_TRUE(ChangeList(device, wanted, false).empty());
  const auto withClock = ChangeList(device, wanted, true);
  ASSERT_EQ(withClock.size(), 1u);
  EXPECT_EQ(ChangeLine(withClock[0]), "Sync. to PC-time [K]: off \u2192 on");

  ASSERT_TRUE(SetParam(wanted, "m_TxDelay", "40"));
  ASSERT_TRUE(SetParam(wanted, "m_Duplex", "1"));
  ASSERT_TRUE(SetParam(wanted, "m_Timestamp", "2"));
  std::vector<std::string> order;
  for (const ParamChange& c : ChangeList(device, wanted, false)) order.push_back(c.member);
  EXPECT_EQ(order, (std::vector<std::string>{"m_Duplex", "m_Timestamp", "m_TxDelay"}));

  // Every parameter changed: each setting once, none twice.
  const auto all = ChangeList(device, EveryParameterChanged(), false);
  std::vector<std::string> labels;
  for (const ParamChange& c : all) labels.push_back(c.label);
  std::sort(labels.begin(), labels.end());
  EXPECT_EQ(std::adjacent_find(labels.begin(), labels.end()), labels.end());
}

}  // namespace
}  // namespace vextune::testing
