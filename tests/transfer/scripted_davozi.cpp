#include "scripted_davozi.h"

#include <algorithm>

namespace vextune::testing {

ScriptedDavozi::ScriptedDavozi() {
  // "<query> <answer>" of a device that holds the defaults.
  for (const std::string& r :
       Split("a 1|e 1|i DAVOZI|%AM APRS Mycall = NONE|f 500|k 0|m N|n 10|o 2|p 32|r 1|t 25|u 0|"
             "w 10|y 10|z 3|@D 0|@F 0|@I 60|@T2 150|@T3 18000|@U 0|%AA APRS APRS Altitude = 0|"
             "%AD APRS Digipeating = 0|%AE APRS status Every = 0|%AF APRS Frequency beacon = 0 s|"
             "%AG APRS Gateway Modem Type = NONE|%AH APRS Tracking, HF mode toggle = 0|"
             "%AN APRS Nmea-out = 0|%AR APRS status Report = NONE|%AT APRS Beacon/Timer = 900 s|"
             "%AL APRS Autospeed = 1|%AV APRS Valid = 1200 s|%AC APRS Comment = NONE|"
             "%AI APRS Timestamp = 1|%AO APRS Fix Position = NONE|"
             "%AP APRS Path = APRS via RELAY WIDE|%AS APRS Short (Compression) = 1|"
             "%AY APRS Symbol = 15 (House)|%AX APRS Beacon Only during Tracking = 0|%AU 0|"
             "%B 1200|%F 1700|%T 1|%XA XA = 300 mV|%XF XF = 600 mV|%XR XR = 200 mV|x 1|"
             "%A APRS MAIN SWITCH = 0|@V 0")) {
    replies[r.substr(0, r.find(' '))] = r.substr(r.find(' ') + 1);
  }
}

void ScriptedDavozi::OnWrite(const Bytes& bytes, uint32_t baudRate, FakeLine& line) {
  if (baudRate != answerBaudRate) return;
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  for (;;) {
    if (host_mode_) {  // frame: channel, 0x01, length - 1, text
      if (pending_.size() < 3 || pending_.size() < 4 + size_t{pending_[2]}) return;
      const auto end = pending_.begin() + 4 + pending_[2];
      const std::string text(pending_.begin() + 3, end);
      const uint8_t channel = pending_[0];
      pending_.erase(pending_.begin(), end);
      HostFrame(channel, text, line);
    } else {
      auto cr = std::find(pending_.begin(), pending_.end(), uint8_t{'\r'});
      if (cr == pending_.end()) return;
      std::string text(pending_.begin(), cr);
      pending_.erase(pending_.begin(), cr + 1);
      if (const size_t esc = text.rfind('\x1b'); esc != std::string::npos) {
        CommandLine(text.substr(esc + 1), line);
      }
    }
  }
}

void ScriptedDavozi::CommandLine(const std::string& text, FakeLine& line) {
  if (bios) {
    if (text.empty()) line.Send("\r\ncmd:");
  } else if (text == "v") {
    line.Send("DAVOZI V.1.4b, 2016\r\n");
  } else if (text == "S") {
    line.Send(channelReply + "\r\n");
  } else if (text == "JHOST1") {
    host_mode_ = true;
    ++hostEntries;
  }
}

void ScriptedDavozi::HostFrame(uint8_t channel, const std::string& text, FakeLine& line) {
  hostCommands.push_back(text);
  if (text == "JHOST0") {
    host_mode_ = false;
    ++hostExits;
  }
  if (text == "JHOST0" || text.find(' ') != std::string::npos) {  // applied, no text
    line.Send(Bytes{channel, 0});
    return;
  }
  std::optional<std::string> answer;
  if (auto q = queued.find(text); q != queued.end() && !q->second.empty()) {
    answer = q->second.front();
    q->second.pop_front();
  } else if (auto r = replies.find(text); r != replies.end()) {
    answer = r->second;
  }
  if (answer) line.Send(std::string{char(channel), '\x01'} + *answer + std::string(1, '\0'));
}

}  // namespace vextune::testing
