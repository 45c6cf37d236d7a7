// TZQBaseParaDados: the base of every record of the suite. Records are value classes; this base
// gives the reflection that engines, fixtures and hosts use (see RecordSchema.h) and the record's
// own check. Concrete records are declared with ZQ_CORPO_REGISTRO (ZQRegistroMacros.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/records/RecordSchema.h"

class TZQBaseParaDados {
 public:
  virtual ~TZQBaseParaDados() = default;

  virtual const zq::RecordSchema& Schema() const = 0;
  // Field i (0 <= i < Schema().count) as a Value; an index out of range gives 0.
  virtual zq::Value GetValor(std::size_t i) const = 0;
  // Sets field i; false (and the field unchanged) when v does not fit the field's type or i is
  // out of range.
  virtual bool SetValor(std::size_t i, const zq::Value& v) = 0;
  virtual std::unique_ptr<TZQBaseParaDados> Clone() const = 0;

  // The record's own consistency check, asked by some rules with an empty record of the same
  // class as reference. The base accepts every record.
  virtual bool VerificaDados(const TZQBaseParaDados& vazio) const;

  // The key field (pointer or position): 0 for a record not stored yet.
  std::uint32_t GetChave() const;
  void SetChave(std::uint32_t chave);

  // Clearing and copying through the suite's hooks. A record class that keeps state of its own
  // overrides OnLimpar (reset it, then call the base) and OnCopiar (call the base, then copy
  // it from `origem`, which the caller guarantees to be of the same class). The base keeps no
  // state, so its hooks do nothing; declared records copy by value and need neither.
  void Limpar() { OnLimpar(); }
  void Copiar(const TZQBaseParaDados& origem) { OnCopiar(origem); }

 protected:
  virtual void OnLimpar() {}
  virtual void OnCopiar(const TZQBaseParaDados& origem) { (void)origem; }

  TZQBaseParaDados() = default;
  TZQBaseParaDados(const TZQBaseParaDados&) = default;
  TZQBaseParaDados& operator=(const TZQBaseParaDados&) = default;
  friend bool operator==(const TZQBaseParaDados&, const TZQBaseParaDados&) { return true; }
};
