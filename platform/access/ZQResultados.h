// Result codes of the data-access layer. The suite's results are 32-bit HRESULTs held in a long;
// ZQ_HR sign-extends one so that failures are negative on 64-bit Linux too, as on Windows.
// The layer's own failures use facility 240, "ZQ_FACILITY_CX_CONEXAO".
#pragma once

#include <cstdint>

constexpr long ZQ_HR(std::uint32_t v) { return static_cast<long>(static_cast<std::int32_t>(v)); }

constexpr long ZQ_S_OK = 0;
constexpr long ZQ_E_NAO_ENCONTRADO = ZQ_HR(0x80F00001);       // no record with that key
constexpr long ZQ_E_DUPLICADO = ZQ_HR(0x80F00002);            // a record with that key exists
constexpr long ZQ_E_MOTOR = ZQ_HR(0x80F00003);                // the storage engine failed
constexpr long ZQ_E_EMPRESA_DESCONHECIDA = ZQ_HR(0x80F00004); // company not configured
constexpr long ZQ_E_NAO_INICIALIZADO = ZQ_HR(0x80F00005);     // routine not initialised
constexpr long ZQ_E_ARGUMENTO = ZQ_HR(0x80F00006);            // null or wrong-class argument
constexpr long ZQ_E_ESQUEMA = ZQ_HR(0x80F00007);              // stored data does not fit the record
constexpr long ZQ_E_TRANSACAO = ZQ_HR(0x80F00008);            // transaction misuse
constexpr long ZQ_E_NAO_IMPLEMENTADO = ZQ_HR(0x80004001);     // E_NOTIMPL
