#include "platform/storage/FaultInjector.h"

namespace zq {

void FaultInjector::FailOperation(const std::string& operation, long hr, const std::string& text,
                                  int count) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (count == 0) {
    m_byName.erase(operation);
    return;
  }
  m_byName[operation] = Planned{hr, text, count};
}

void FaultInjector::FailNth(long n, long hr, const std::string& text, bool andAfter) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_nth = Planned{hr, text, andAfter ? -1 : 1};
  m_nthAt = m_calls + (n < 1 ? 1 : n);
  m_nthAndAfter = andAfter;
}

void FaultInjector::Clear() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_byName.clear();
  m_nth.reset();
  m_nthAt = 0;
  m_calls = 0;
  m_log.clear();
}

long FaultInjector::Calls() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_calls;
}

std::vector<std::string> FaultInjector::Log() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_log;
}

std::optional<Status> FaultInjector::Check(std::string_view operation) {
  std::lock_guard<std::mutex> lock(m_mutex);
  ++m_calls;
  if (m_log.size() < kMaxLog) m_log.emplace_back(operation);
  if (m_nth && (m_calls == m_nthAt || (m_nthAndAfter && m_calls > m_nthAt)))
    return Status{m_nth->hr, m_nth->text};
  auto it = m_byName.find(operation);
  if (it == m_byName.end()) return std::nullopt;
  Status s{it->second.hr, it->second.text};
  if (it->second.remaining > 0 && --it->second.remaining == 0) m_byName.erase(it);
  return s;
}

}  // namespace zq
