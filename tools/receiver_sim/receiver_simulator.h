// A simulated NMEA receiver on a pseudo-terminal, for tests and demonstrations.
//
// It writes one epoch of a log (the sentences from one GGA up to the next) per tick, at
// the chosen rate in epochs per second. Like a receiver fixed at one speed, it can stay
// silent unless the port's program has set the line to that speed (a pseudo-terminal
// carries any rate, so the gate stands in for the garbage a wrong speed would give).
// Whatever the port's program writes is kept and can be taken for inspection.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial_ports.h"

class ReceiverSimulator {
 public:
  struct Settings {
    double epochsPerSecond = 1.0;
    DWORD onlyAtBaud = 0;  // 0: whatever the line's rate
    bool loop = true;      // start again after the last epoch
  };

  // Splits a log into epochs: a new one starts at each GGA sentence of any talker.
  static std::vector<std::string> SplitEpochs(const std::string& log);

  ReceiverSimulator() = default;
  ~ReceiverSimulator();
  ReceiverSimulator(const ReceiverSimulator&) = delete;
  ReceiverSimulator& operator=(const ReceiverSimulator&) = delete;

  // Creates the pseudo-terminal and starts sending; false when no terminal could be made.
  bool Start(std::vector<std::string> epochs, const Settings& settings);
  void Stop();

  const std::string& SlavePath() const { return m_pty.SlavePath(); }
  std::size_t EpochsSent() const { return m_sent.load(); }
  // All epochs sent and no loop asked for.
  bool Finished() const { return m_finished.load(); }
  // The rate the port's program set on the line, bit/s.
  DWORD LineRate() const { return m_pty.SlaveBaudRate(); }
  // Bytes the port's program wrote since the last call.
  std::string TakeReceived();

 private:
  void Run();

  platform::PseudoTerminal m_pty;
  std::vector<std::string> m_epochs;
  Settings m_settings;
  std::thread m_thread;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  bool m_stop = false;
  std::string m_received;
  std::atomic<std::size_t> m_sent{0};
  std::atomic<bool> m_finished{false};
};
