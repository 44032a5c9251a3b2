#include "editor/general_dialog_state.h"

#include <gtest/gtest.h>

namespace vextune {
namespace {

TEST(GeneralOpeningState, ValuesAndFirmwareBecomeControls) {
  struct Case {
    const char* name;
    std::string centerFreq;
    int prMode;
    int connectMode;
    int32_t firmware;
    GeneralDialogState expected;
  };
  const Case cases[] = {
      {"stored values", "1500", 5, kConnectTextOn, -1, {"1500", true, 5, true, false}},
      {"empty frequency", "", 0, kConnectTextOff, -1, {"1700", true, 0, false, false}},
      {"remote disconnect",
       "1500",
       1,
       kConnectTextRemoteDisconnect,
       -1,
       {"1500", true, 1, true, true}},
      {"unknown modes", "1500", 6, kConnectTextOff, -1, {"1500", true, 3, false, false}},
      {"negative mode", "1500", -1, kConnectTextOff, -1, {"1500", true, 3, false, false}},
      {"firmware 1.0Q", "1500", 0, kConnectTextOff, 10081, {"1500", true, 0, false, false}},
      {"firmware before 1.0Q", "1500", 0, kConnectTextOff, 10080, {"1500", false, 0, false, false}},
  };
  for (const Case& c : cases) {
    GeneralSettingsValues values;
    values.centerFreq = c.centerFreq;
    values.prMode = c.prMode;
    values.connectMode = c.connectMode;
    const GeneralDialogState s = GeneralOpeningState(values, c.firmware);
    EXPECT_EQ(s.centerFreq, c.expected.centerFreq) << c.name;
    EXPECT_EQ(s.centerFreqEnabled, c.expected.centerFreqEnabled) << c.name;
    EXPECT_EQ(s.prMode, c.expected.prMode) << c.name;
    EXPECT_EQ(s.connectTextOn, c.expected.connectTextOn) << c.name;
    EXPECT_EQ(s.remoteDisconnectOn, c.expected.remoteDisconnectOn) << c.name;
  }
}

}  // namespace
}  // namespace vextune
