// zq::FaultInjector: makes data-access operations fail on purpose, so a test can walk every
// failure path of a rule. Each company connection owns one; every operation of the access
// objects asks it first (Check) with the operation's name ("LePrioridade") and, when told to
// fail, returns the chosen result code and keeps the chosen text as its last error, without
// touching the engine.
//
//   injector.FailOperation("LePrioridade", ZQ_E_MOTOR, "disco cheio");   // every call
//   injector.FailNth(3, ZQ_E_MOTOR, "falha");        // only the 3rd call from now
//   injector.FailNth(3, ZQ_E_MOTOR, "falha", true);  // the 3rd call and every later one
//
// Walking every failure point of a rule, as SQLite's fault simulation does:
//   for (long n = 1;; ++n) { injector.Clear(); injector.FailNth(n, ...); run the rule;
//                            if (injector.Calls() < n) break; check the failure outcome; }
//
// Thread-safe.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/storage/StorageEngine.h"

namespace zq {

class FaultInjector {
 public:
  // Fails the named operation: every call when count < 0, else the next `count` calls.
  void FailOperation(const std::string& operation, long hr, const std::string& text, int count = -1);
  // Fails the n-th call counted from now (n >= 1): that call only, or with andAfter that call
  // and every later one.
  void FailNth(long n, long hr, const std::string& text, bool andAfter = false);
  // Forgets every planned failure and restarts the count and the log.
  void Clear();

  // Calls counted since the last Clear (or since FailNth set its origin).
  long Calls() const;
  // Names of the operations called since the last Clear, in order (the first kMaxLog).
  std::vector<std::string> Log() const;

  // Counts one call of `operation`; the failure to answer when one is planned.
  std::optional<Status> Check(std::string_view operation);

 static constexpr std::size_t kMaxLog = 100000;

 private:
  struct Planned {
    long hr;
    std::string text;
    int remaining;  // < 0: always
  };
  mutable std::mutex m_mutex;
  std::map<std::string, Planned, std::less<>> m_byName;
  std::optional<Planned> m_nth;
  long m_nthAt = 0;
  bool m_nthAndAfter = false;
  long m_calls = 0;
  std::vector<std::string> m_log;
};

}  // namespace zq
