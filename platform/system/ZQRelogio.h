// The local clock of the process, as one injectable source so that tests can stand at a chosen
// moment (say 10:05:30) while the rules ask "what time is it" as usual.
//
//   REG_ZQDMAHMSUTC agora = CZQRelogio::Agora();     // rules and hosts read it like this
//
//   CZQRelogioGuarda guarda(REG_ZQDMAHMSUTC::DeDataHora(
//       REG_ZQDMA::DeDiaMesAno(5, 3, 2024), 10, 5, 30, -10800));   // a test stands still
//
// Thread safety: every operation here may be called from any thread. A source is shared by
// shared_ptr: replacing it while another thread is inside its Agora() keeps it alive until that
// call returns.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/types/ZQDma.h"
#include "platform/types/ZQDmaHmsUtc.h"

// A source of the local date and time.
class IZQRelogio {
 public:
  virtual ~IZQRelogio() = default;
  // The local date and time now, filled in, with the local offset from UTC in the offset bits.
  // Called from any thread.
  virtual REG_ZQDMAHMSUTC Agora() = 0;
};

// The operating system's clock: the system time in the process's local time zone (TZ), whole
// seconds; a leap second reads as :59. Answers the all-zero value if the time cannot be read.
class CZQRelogioSistema final : public IZQRelogio {
 public:
  REG_ZQDMAHMSUTC Agora() override;
};

// A clock that stands still at a moment until a test moves it.
class CZQRelogioFixo final : public IZQRelogio {
 public:
  explicit CZQRelogioFixo(REG_ZQDMAHMSUTC momento) : m_valor(momento.ullValor) {}
  REG_ZQDMAHMSUTC Agora() override { return REG_ZQDMAHMSUTC{m_valor.load()}; }
  void Define(REG_ZQDMAHMSUTC momento) { m_valor.store(momento.ullValor); }
  // Moves the moment by a number of seconds, keeping its offset (see SomaSegundos).
  void Avanca(std::int64_t segundos);

 private:
  std::atomic<std::uint64_t> m_valor;
};

// The source in use for the whole process; the system clock until another is defined.
class CZQRelogio {
 public:
  CZQRelogio() = delete;

  static REG_ZQDMAHMSUTC Agora();
  // The date part of Agora().
  static REG_ZQDMA Hoje();

  static std::shared_ptr<IZQRelogio> Atual();
  // Installs a source and answers the one it replaces; nullptr reinstalls the system clock.
  static std::shared_ptr<IZQRelogio> Define(std::shared_ptr<IZQRelogio> relogio);
};

// Installs a source for its own lifetime and then puts back the one it replaced. Guards nest;
// destroy them in the reverse order of their creation (as scopes do).
class CZQRelogioGuarda {
 public:
  explicit CZQRelogioGuarda(std::shared_ptr<IZQRelogio> relogio)
      : m_anterior(CZQRelogio::Define(std::move(relogio))) {}
  // A CZQRelogioFixo standing at 'momento'.
  explicit CZQRelogioGuarda(REG_ZQDMAHMSUTC momento)
      : CZQRelogioGuarda(std::make_shared<CZQRelogioFixo>(momento)) {}
  ~CZQRelogioGuarda() { CZQRelogio::Define(std::move(m_anterior)); }

  CZQRelogioGuarda(const CZQRelogioGuarda&) = delete;
  CZQRelogioGuarda& operator=(const CZQRelogioGuarda&) = delete;

 private:
  std::shared_ptr<IZQRelogio> m_anterior;
};
