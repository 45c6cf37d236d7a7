// What the failure trace's record tells of the running process, read from Linux.
//
//   memory of the process  RssAnon of /proc/self/status in bytes: the anonymous resident pages,
//                          the nearest figure to Windows' private usage; 0 when unreadable
//   executable             lower-case base name of /proc/self/exe ("zqmm_tests")
//   module                 lower-case base name of the shared object holding this code
//   local user             name of the effective user (getpwuid_r), "" when unknown
//   GUID                   random version-4 UUID, upper-case, registry form without braces:
//                          "3F2504E0-4F89-41D3-9A0C-0305E82C3301"; fresh in every process after
//                          fork, since it draws from getrandom(2) and keeps no state
//
// All functions are thread-safe and never throw except std::bad_alloc.
#pragma once

#include <string>
#include <string_view>

long long MMMemoriaPrivada();
// RssAnon of a /proc/<pid>/status text, in bytes; 0 when absent or malformed.
long long MMMemoriaPrivadaDeStatus(std::string_view status);
// Physical memory of the machine, available and total, in bytes; 0 when unknown.
long long MMMemoriaDisponivel();
long long MMMemoriaTotal();

std::string MMNomeProcesso();
std::string MMNomeModulo();
// Lower-case (ASCII) file name of a path: "/opt/ZQ/Manut" -> "manut".
std::string MMNomeBaseMinusculo(std::string_view caminho);

std::string MMUsuarioLocal();
std::string MMNomeMaquina();
std::string MMNovoGuid();
// Kernel thread id of the caller.
long MMThreadId();
