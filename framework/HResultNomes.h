// Names and descriptions of an HRESULT for the failure trace (Rastreio.h), one lookup each.
//
// A result is a 32-bit HRESULT held in a long; only its low 32 bits count, so ZQ_HR(0x80004005)
// and 0x80004005L are the same result:
//   severity = bit 31, facility = bits 16..28, code = bits 0..15.
//
// Lookups A and D load the suite's message library (BibliotecaMensagens.h) for the call and
// unload it afterwards; the others are pure. Every lookup is thread-safe and never throws except
// std::bad_alloc. Texts are Windows-1252.
#pragma once

#include <cstdint>

#include "platform/types/String.h"

constexpr std::uint32_t MMHR32(long hr) { return static_cast<std::uint32_t>(hr); }
constexpr int MMSeveridade(long hr) { return static_cast<int>(MMHR32(hr) >> 31); }
constexpr int MMFacility(long hr) { return static_cast<int>((MMHR32(hr) >> 16) & 0x1FFF); }
constexpr int MMCodigo(long hr) { return static_cast<int>(MMHR32(hr) & 0xFFFF); }

// The facility number of the suite's interface results (FACILITY_ITF), whose codes the suite
// describes itself.
constexpr int kMMFacilityItf = 4;

// A: the suite's description. Facility 4 with a code that MMDescricaoFacilityItf knows: that
// text, without loading the message library. Otherwise ZQGetDescricaoHRESULT(hr) of the message
// library; "" when the library or the export is missing.
CString MMDescricaoHResult(long hr);
// The suite's text for code of facility 4 ("DFSREL: ...", "DFSPRO: ..."), or nullptr.
const char* MMDescricaoFacilityItf(int codigo);

// B: "SEVERITY_ERROR" when the 32-bit result is negative, else "SEVERITY_SUCCESS".
const char* MMNomeSeveridade(long hr);

// C: the Windows SDK name of a facility ("FACILITY_WIN32"), the suite's name for its own
// facilities 236..266, 268, 269 ("ZQ_FACILITY_MM_MANUTENCAO" for 265), otherwise
// "Desconhecido ou novo código de FACILITY". The SDK names are generated from Debian's transcriptions of
// the SDK headers (generated/WinErrorNomes.inc says which).
const char* MMNomeFacility(int facility);
// The suite's facilities, declared once in ZQFacilidades.def.
const char* MMNomeFacilityZQ(int facility);  // nullptr when not one of the suite's

// D: the SDK's ERROR_* name of the code, when the message library exports EhFacilityMT, the
// facility is not 4 and EhFacilityMT(facility) is false; "" in every other case.
CString MMNomeCodigo(long hr);
// The SDK's ERROR_* name of a system error code 0..3000; "" when it has none.
const char* MMNomeErroWin32(int codigo);

// E: the SDK's name of the whole result (S_OK, E_FAIL, the CO_E_, RPC_E_, DISP_E_, TYPE_E_,
// STG_E_, DRAGDROP_E_, CTL_E_, CERT_E_, TRUST_E_, DIGSIG_E_, PERSIST_E_ families as winerror.h
// and olectl.h define them); "" when unknown.
const char* MMNomeHResult(long hr);
