#include "tools/receiver_sim/receiver_simulator.h"

#include <algorithm>
#include <chrono>
#include <utility>

std::vector<std::string> ReceiverSimulator::SplitEpochs(const std::string& log) {
  std::vector<std::string> epochs;
  std::size_t start = 0;
  for (std::size_t at = log.find('$'); at != std::string::npos; at = log.find('$', at + 1)) {
    bool gga = at + 6 <= log.size() && log.compare(at + 3, 3, "GGA") == 0;
    if (gga && at > start) {
      epochs.push_back(log.substr(start, at - start));
      start = at;
    }
  }
  if (start < log.size()) epochs.push_back(log.substr(start));
  return epochs;
}

ReceiverSimulator::~ReceiverSimulator() { Stop(); }

bool ReceiverSimulator::Start(std::vector<std::string> epochs, const Settings& settings) {
  Stop();
  if (!m_pty.Create()) return false;
  m_epochs = std::move(epochs);
  m_settings = settings;
  if (m_settings.epochsPerSecond <= 0) m_settings.epochsPerSecond = 1;
  m_stop = false;
  m_sent = 0;
  m_finished = m_epochs.empty() && !m_settings.loop;
  m_thread = std::thread(&ReceiverSimulator::Run, this);
  return true;
}

void ReceiverSimulator::Stop() {
  if (m_thread.joinable()) {
    {
      std::lock_guard<std::mutex> guard(m_mutex);
      m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
  }
  m_pty.Close();
}

std::string ReceiverSimulator::TakeReceived() {
  std::lock_guard<std::mutex> guard(m_mutex);
  return std::exchange(m_received, {});
}

void ReceiverSimulator::Run() {
  using Clock = std::chrono::steady_clock;
  const auto tick = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(1.0 / m_settings.epochsPerSecond));
  auto next = Clock::now();
  std::size_t index = 0;
  char buffer[512];
  for (;;) {
    // Keep what the port's program writes, and its output queue from filling up.
    while (std::size_t n = m_pty.Read(buffer, sizeof buffer, 0)) {
      std::lock_guard<std::mutex> guard(m_mutex);
      m_received.append(buffer, n);
    }
    if (Clock::now() >= next) {
      next += tick;
      bool listening = m_settings.onlyAtBaud == 0 || m_pty.SlaveBaudRate() == m_settings.onlyAtBaud;
      if (listening && index < m_epochs.size()) {
        // A receiver does not wait for its listener: what finds no room is lost.
        m_pty.Write(m_epochs[index].data(), m_epochs[index].size(), 20);
        ++m_sent;
        if (++index == m_epochs.size()) {
          if (m_settings.loop) {
            index = 0;
          } else {
            m_finished = true;
          }
        }
      }
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    // Short waits so the port's writes are collected promptly between ticks.
    auto until = std::min(next, Clock::now() + std::chrono::milliseconds(20));
    if (m_wake.wait_until(lock, until, [this] { return m_stop; })) return;
  }
}
