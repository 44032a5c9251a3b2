#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vextune::sim {

/// One received byte and the moment (CLOCK_MONOTONIC, ns) it has fully
/// arrived on the device's side of the line.
struct TimedByte {
  uint8_t byte;
  uint64_t dueNs;
};

/// The device's serial line: the master side of a pseudo-terminal whose
/// slave side the program opens. Keeps a slave descriptor of its own so that
/// the master never reports a permanent hang-up between the program's
/// opens, and watches the slave for closes so that an exclusive-use flag a
/// program left behind is cleared. With pacing it behaves like a UART at the
/// device's rate, 10 bits per byte, in both directions.
class PtyLine {
 public:
  PtyLine(uint32_t baud, bool pace);
  ~PtyLine();
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  /// Creates the pseudo-terminal, raw, 8N1 at the device's rate.
  bool Open(std::string* error);
  /// Closes everything; the slave path disappears. Idempotent.
  void Close();
  bool IsOpen() const { return master_ >= 0; }

  const std::string& SlavePath() const { return slavePath_; }
  int MasterFd() const { return master_; }
  /// Readable when the slave was closed by someone; -1 without a watch.
  int WatchFd() const { return watch_; }

  /// True while the program's side is set to the device's rate, 8 data bits,
  /// no parity, one stop bit; at any other setting the device hears noise.
  bool ProgramAtDeviceRate() const;

  /// Reads everything waiting. Returns false when the terminal failed.
  bool Receive(std::vector<TimedByte>& out, std::string* error);
  /// Queues bytes to send; paced, the first starts no earlier than startNs.
  void Send(std::string_view bytes, uint64_t startNs);
  /// Writes every queued byte that is due at nowNs. False on a write error
  /// other than a full buffer.
  bool Flush(uint64_t nowNs, std::string* error);
  /// When the next queued byte is due; nothing when the queue is empty or
  /// the terminal's buffer is full (wait for POLLOUT then).
  std::optional<uint64_t> NextDueNs() const;
  /// True when every queued byte has been written to the terminal.
  bool AllSent() const { return queue_.empty(); }
  /// True when the last write found the terminal's buffer full.
  bool WaitingForRoom() const { return waitingForRoom_; }
  /// Handles the slave's close events.
  void HandleWatchEvents();

  /// Time of one byte on the line in ns; 0 without pacing.
  uint64_t ByteNs() const { return byteNs_; }
  static uint64_t NowNs();

 private:
  /// Bytes queued beyond this are lost, as with a device whose listener is gone.
  static constexpr size_t kMaxQueued = 1 << 16;

  uint32_t baud_;
  uint64_t byteNs_;
  int master_ = -1;
  int slave_ = -1;
  int watch_ = -1;
  std::string slavePath_;
  uint64_t inputFreeNs_ = 0;   ///< when the receiver is free for the next byte
  uint64_t outputFreeNs_ = 0;  ///< when the transmitter is free for the next byte
  std::deque<TimedByte> queue_;
  bool waitingForRoom_ = false;
};

}  // namespace vextune::sim
