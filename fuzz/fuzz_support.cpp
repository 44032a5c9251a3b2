#include "fuzz_support.h"

#include "sim/parameter_store.h"

namespace vextune::fuzzing {

std::string InputCursor::Bytes(size_t n) {
  std::string out;
  while (n-- > 0 && !AtEnd()) out += static_cast<char>(Byte());
  return out;
}

ShapedReply ShapeReply(InputCursor& input, std::string reply) {
  ShapedReply shaped;
  const std::string original = reply;
  switch (input.Byte() % 8) {
    case 0:
      break;
    case 1:
      reply.clear();
      break;
    case 2:
      reply = input.Bytes(input.Byte());
      break;
    case 3:
      reply.resize(std::min<size_t>(reply.size(), input.Byte()));
      break;
    case 4: {
      const uint8_t pos = input.Byte();
      const uint8_t flip = input.Byte();
      if (!reply.empty()) reply[pos % reply.size()] ^= static_cast<char>(flip);
      break;
    }
    case 5:
      reply += input.Bytes(input.Byte());
      break;
    case 6:
      shaped.gapMs = input.Byte();
      shaped.altered = shaped.gapMs > 0 && reply.size() > 1;
      break;
    case 7:
      shaped.delayMs = 1 + 4u * input.Byte();
      shaped.altered = shaped.delayMs > 1 && !reply.empty();
      break;
  }
  shaped.altered = shaped.altered || reply != original;
  shaped.bytes = std::move(reply);
  return shaped;
}

FuzzedDavozi::FuzzedDavozi(const sim::SimulatorOptions& options, Clock& clock, InputCursor& input,
                           const CConfigData* nonvolatile)
    : core_(options, *sim::FirmwareNumber(options.firmware), clock),
      baud_(options.baud),
      input_(input) {
  std::string error;
  if (!core_.PowerOn(nonvolatile, &error)) Fail("simulator power-on: " + error);
}

void FuzzedDavozi::OnWrite(const testing::Bytes& bytes, uint32_t baudRate,
                           testing::FakeLine& line) {
  std::string reply;
  for (uint8_t b : bytes) reply += core_.Feed(b);
  // At another rate the device sees only noise and answers nothing.
  if (baudRate != baud_) reply.clear();
  ShapedReply shaped = ShapeReply(input_, std::move(reply));
  altered_ = altered_ || shaped.altered;
  if (!shaped.bytes.empty()) line.Send(shaped.bytes, shaped.delayMs, shaped.gapMs);
}

std::string PickFirmware(uint8_t choice) {
  static const char* const kFirmwares[] = {"1.4b", "1.0p", "1.0q", "1.1", "1.1j", "1.1k", "1.3e"};
  return kFirmwares[choice % (sizeof kFirmwares / sizeof kFirmwares[0])];
}

CConfigData ChangedConfiguration() {
  CConfigData d;
  CConfigData::SetText(d.m_Callsign, "DL1ABC-7");
  CConfigData::SetText(d.m_AprsComment, "Gr\xFC\xDF 60\xB0 = fine");
  CConfigData::SetText(d.m_AprsPosition, "4807.38N 01131.00E");
  d.ParsePath("APZ WIDE1-1 WIDE2-2");
  d.ParseConnectText("1 Hello there");
  d.ParseMonitor("iusc");
  d.ParseSymbol("A42");
  CConfigData::SetNumber(d.m_TxDelay, 40);
  CConfigData::SetNumber(d.m_AprsInterval, 0);
  CConfigData::SetNumber(d.m_Digipeat, 0);
  CConfigData::SetNumber(d.m_Timer3, 100000);
  return d;
}

}  // namespace vextune::fuzzing
