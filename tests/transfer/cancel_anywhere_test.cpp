// A cancel at any moment of the configuration check, the send, the read and
// the send with its read-back: each ends through its abort path at once, sends
// nothing after the cancel but the frame that leaves host mode, closes the
// port, and reports success only for work that was done completely.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "link/configuration_check.h"
#include "link/device_protocol.h"
#include "transfer/read_configuration.h"
#include "transfer/send_configuration.h"
#include "transfer/transfer_driver.h"
#include "transfer_test_support.h"

namespace vextune::testing {
namespace {

/// How one run of an operation ended.
struct Ending {
  bool cancelled;  ///< ended as the operation's abort (or Cancelled)
  bool complete;   ///< claims to have done everything
};

using Operation = std::function<Ending(TransferRig&)>;

/// The writes of a run that went out, in order.
std::vector<std::string> WritesOf(const std::vector<LineEvent>& events, size_t from = 0) {
  std::vector<std::string> writes;
  for (size_t i = from; i < events.size(); ++i) {
    if (events[i].kind == LineEvent::Write) writes.push_back(ToString(events[i].bytes));
  }
  return writes;
}

/// A device that also answers the configuration check: two free channels.
void AnswerTheCheck(TransferRig& rig) {
  rig.device.replies["Y"] = "2";
  rig.device.replies["C"] = "CHANNEL NOT CONNECTED";
}

/// Checks one run that was cancelled when `eventsAtCancel` line events had
/// happened, at `cancelMs`; `everything` is what a complete run writes.
void ExpectCleanCancel(TransferRig& rig, const Ending& ending, size_t eventsAtCancel,
                       bool hostModeAtCancel, uint64_t cancelMs,
                       const std::vector<std::string>& everything) {
  ASSERT_TRUE(rig.cancel.IsSet());
  EXPECT_LE(rig.clock.NowMs() - cancelMs, 200u) << "not ended at once";
  EXPECT_EQ(rig.ports.openCount(), 0);
  for (size_t i = eventsAtCancel; i < rig.ports.events().size(); ++i) {
    EXPECT_NE(rig.ports.events()[i].kind, LineEvent::Open) << "opened after the cancel";
  }
  // Nothing after the cancel but the frame that takes the device out of host
  // mode, and that only when it is in host mode.
  const std::vector<std::string> after = WritesOf(rig.ports.events(), eventsAtCancel);
  EXPECT_EQ(after.size(), hostModeAtCancel ? 1u : 0u);
  for (const std::string& w : after) EXPECT_EQ(w, LeaveHostModeFrame());
  EXPECT_EQ(rig.device.hostEntries, rig.device.hostExits) << "left in host mode";
  // Success only for what was done completely before the cancel.
  EXPECT_TRUE(ending.cancelled || ending.complete);
  if (ending.complete) {
    EXPECT_EQ(WritesOf(rig.ports.events()), everything);
  }
}

/// Runs `operation` once without a cancel, then with a cancel at every
/// `stepMs` of its duration (during its waits), then with one right after
/// each of its writes (between two calls, where nothing waits), and checks
/// every run.
void CancelEverywhere(const char* what, const Operation& operation, uint64_t stepMs) {
  SCOPED_TRACE(what);
  TransferRig dry;
  AnswerTheCheck(dry);
  const uint64_t start = dry.clock.NowMs();
  const Ending done = operation(dry);
  ASSERT_TRUE(done.complete && !done.cancelled);
  const uint64_t duration = dry.clock.NowMs() - start;
  const std::vector<std::string> everything = WritesOf(dry.ports.events());

  for (uint64_t at = 0; at < duration; at += stepMs) {
    SCOPED_TRACE(::testing::Message() << "cancel " << at << " ms after the start");
    TransferRig rig;
    AnswerTheCheck(rig);
    rig.clock.WatchCancel(rig.cancel);
    size_t eventsAtCancel = 0;
    bool hostMode = false;
    rig.clock.CancelAt(rig.clock.NowMs() + at, [&] {
      eventsAtCancel = rig.ports.events().size();
      hostMode = rig.device.hostEntries > rig.device.hostExits;
    });
    const Ending ending = operation(rig);
    ExpectCleanCancel(rig, ending, eventsAtCancel, hostMode, start + at, everything);
  }

  for (size_t write = 0; write < everything.size(); ++write) {
    SCOPED_TRACE(::testing::Message() << "cancel after write " << write);
    TransferRig rig;
    AnswerTheCheck(rig);
    rig.clock.WatchCancel(rig.cancel);
    size_t eventsAtCancel = 0;
    bool hostMode = false;
    uint64_t cancelMs = 0;
    rig.ports.AfterEachWrite([&](size_t n) {
      if (n != write) return;
      rig.cancel.Set();
      eventsAtCancel = rig.ports.events().size();
      hostMode = rig.device.hostEntries > rig.device.hostExits;
      cancelMs = rig.clock.NowMs();
    });
    const Ending ending = operation(rig);
    ExpectCleanCancel(rig, ending, eventsAtCancel, hostMode, cancelMs, everything);
  }
}

TEST(CancelAnywhere, ConfigurationCheck) {
  CancelEverywhere(
      "check",
      [](TransferRig& rig) {
        const CheckResult r = RunConfigurationCheck(rig.link, rig.state, rig.cancel);
        if (r.outcome == CheckOutcome::Cancelled) {
          EXPECT_EQ(r.message.text, "Configuration Check Aborted!");
        }
        return Ending{r.outcome == CheckOutcome::Cancelled, r.passed()};
      },
      3);
}

TEST(CancelAnywhere, Send) {
  CancelEverywhere(
      "send",
      [](TransferRig& rig) {
        bool save = true;
        const SendResult r = SendConfiguration(rig.link, rig.state, EveryParameterChanged(), save,
                                               rig.cancel, rig.progress)
                                 .result;
        return Ending{r == SendResult::Aborted, r == SendResult::Complete};
      },
      11);
}

TEST(CancelAnywhere, Read) {
  CancelEverywhere(
      "read",
      [](TransferRig& rig) {
        CConfigData record;
        std::string list;
        const ReadResult r =
            ReadConfiguration(rig.link, rig.state, record, list, rig.cancel, rig.progress);
        if (r == ReadResult::Complete) {
          EXPECT_TRUE(record.IsEqual(CConfigData(), true));
        }
        return Ending{r == ReadResult::Aborted, r == ReadResult::Complete};
      },
      7);
}

TEST(CancelAnywhere, SendAndVerify) {
  CancelEverywhere(
      "send and verify",
      [](TransferRig& rig) {
        const CConfigData working;  // what the scripted device answers
        CConfigData baseline;
        bool save = true;
        const SendOutcome o =
            SendAndVerify(rig.link, rig.state, working, baseline, save, rig.cancel, rig.progress);
        const bool aborted =
            o.sendResult == SendResult::Aborted || o.readBackResult == ReadResult::Aborted;
        if (aborted) {
          EXPECT_FALSE(o.Verified());
          EXPECT_TRUE(o.message.has_value());
        }
        return Ending{aborted, o.Verified()};
      },
      29);
}

}  // namespace
}  // namespace vextune::testing
