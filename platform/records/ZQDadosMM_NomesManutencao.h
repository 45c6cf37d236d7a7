// Names of a maintenance order's situations and types, as the maintenance-record library gives
// them to screens and warnings. Texts are Windows-1252; an unknown value gives "" (never null).
//
// Situations are single-bit values, so a filter may combine them:
//     1  Pendente       planned or suggested, awaiting release; plan and task rules create and
//                       look for orders here
//     2  Aberta         released, work not started; the only situation an order may be
//                       cancelled from
//     4  Em execução    work under way: a start is required and appointments may be made
//     8  Encerrada      work finished; the only situation carrying an end date-time
//    16  Cancelada      cancelled from Aberta; no dates nor appointments remain
//    32  Paralisada     work stopped for a while; as Em execução, a start is required and
//                       appointments may be made
//    64  Reprogramada   moved to a new date; the only situation carrying a new schedule
//
// Types:
//     1  Preventiva     plan-based: names a plan and takes its description and planned time
//     2  Corretiva      repairs a failure
//     3  Preditiva      acts on a measured condition (inspection, counter, analysis)
//     4  Melhoria       changes the resource to perform better or fail less
// Any other type is not a type: an order with a type whose name is "" is refused.
//
// Pure functions; any thread may call them.
#pragma once

namespace ZQDadosMM::Manutencao {

const char* GetNomeSituacao(unsigned char situacao);
const char* GetNomeTipo(unsigned char tipo);

}  // namespace ZQDadosMM::Manutencao
