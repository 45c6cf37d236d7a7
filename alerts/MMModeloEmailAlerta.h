// CMMModeloEmailAlerta: the HTML template of a plan alert's e-mail. It finds the template in the
// report folder, reads it, prepares its list block for the number of due resources, fills the
// record of values of one mail and replaces the template's tokens ("memórias") by those values.
// The plan-alert routine calls these operations in this order, for one alert:
//
//   CString caminho, texto, erro;
//   LocalizaModelo(alerta.GetModeloEmail(), caminho);      // PastaDesconhecida aborts the run,
//                                                          // NaoEncontrado skips the alert
//   LeModeloEmail(caminho, texto, erro);                   // NaoAbriu / FalhaLeitura abort
//   const bool lista = AtualizaConteudoEmail(texto, int(linhas.size()));   // once per alert
//   // per mail, on a fresh copy of 'texto':
//   SetDadosCorpoEmailCabecalho(cabecalho, {...});
//   lista ? SubstituiMemoriasModeloEmail(copia, cabecalho, linhas)
//         : SubstituiMemoriasModeloEmail(copia, linhaCompletadaComCabecalho);
//
// Static operations only, no state: safe from any thread. Texts are Windows-1252 bytes; the
// template is never converted. No operation recurses: the three matchers are linear in what they
// read, and the expansion makes a pass over the text per list block and per template row, so a
// template of hundreds of megabytes with a block or two expands in seconds. A template with one
// list block (the usual case) is expanded and filled holding at most two copies of it at once.
//
// Templates. A token is a word that starts with "ZQ_". A list block runs from "ZQ_INICIO_LISTA"
// to the end of the row that closes it; inside it, the template row (the line that starts with
// " <tr" after a line that ends a row) is repeated once per due resource, its row tokens numbered
// from 0. Blocks, rows and tokens are what these ECMAScript patterns find (greedy, with "." not
// matching CR or LF, and a class like [^*] matching them):
//
//   list block      ZQ_INICIO_LISTA[^*]+ZQ_FIM_LISTA.*\r\n.*\r\n.*</tr>
//   template row    </tr>.*\r\n <tr[^*]+</tr>
//   token           ZQ_[^ <*]+
//
// The matchers below give exactly the matches std::regex gives for these patterns, without its
// recursion per character. What the greedy backtracking comes to, for a match starting at p:
//   list block   p is the first "ZQ_INICIO_LISTA" that can complete. Of the "ZQ_FIM_LISTA" that
//                start after it (one byte at least between) and end before the first '*' after
//                it, the LAST one whose line ends in CR LF, whose next line ends in CR LF and
//                whose line after that holds "</tr>" wins; the match ends at the last "</tr>" of
//                that third line (it may lie beyond the '*'). A line ending in a lone CR or LF
//                breaks the block.
//   row          p is the first "</tr>" whose line ends in CR LF followed by " <tr" and after
//                which some "</tr>" starts at least one byte after that " <tr" and ends before
//                the next '*' (counted from there: the line of p may hold a '*'); the match ends
//                at the last such "</tr>".
//   token        from "ZQ_" (followed by at least one byte) to the next ' ', '<', '*' or the
//                end; a CR or LF does not end it ("ZQ_A\r\nB<" is one token).
//
// A worked example, with N = 3 due resources (lines end in CR LF):
//
//   <table><tr><td>ZQ_INICIO_LISTA</td></tr>
//     ZQ_FIM_LISTA
//    <tr><td>ZQ_COD_RECURSO</td>
//    <td>ZQ_NOME_TECNICO</td></tr>
//   </table>
//
// AtualizaConteudoEmail(texto, 3) removes the CR LF and two spaces before "ZQ_FIM_LISTA" and
// writes the row three times, numbered, in place of the template row:
//
//   <table><tr><td>ZQ_INICIO_LISTA</td></tr>
//    <tr><td>ZQ_COD_RECURSO_0</td>
//    <td>ZQ_NOME_TECNICO</td></tr>            <- header tokens are never numbered
//    <tr><td>ZQ_COD_RECURSO_1</td> ...
//    <tr><td>ZQ_COD_RECURSO_2</td> ...
//   </table>
//
// and SubstituiMemoriasModeloEmail(texto, cabecalho, linhas) then puts the technician's name in
// every row, resource i's code in row i, and removes the two markers.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/types/String.h"
#include "platform/types/ZQCurrency.h"
#include "platform/types/ZQDma.h"

// The 23 fields of one mail, once: X(field, token, role, rank). Record order is the order below;
// rank is the order in which a role's tokens are replaced (header tokens 1..10, row tokens
// 11..23). Header fields come from the plan, the alert, the discipline, the recipient and the
// clock; row fields from one due resource.
#define MM_MEMORIAS_EMAIL(X)                                          \
  X(strCodPlanoManut, "ZQ_COD_PLANO_MANUT", Cabecalho, 7)             \
  X(strDescPlanoManut, "ZQ_DESC_PLANO_MANUT", Cabecalho, 8)           \
  X(strCodDisciplina, "ZQ_COD_DISCIPLINA", Cabecalho, 5)              \
  X(strDescDisciplina, "ZQ_DESC_DISCIPLINA", Cabecalho, 6)            \
  X(strDescAlerta, "ZQ_DESC_ALERTA", Cabecalho, 3)                    \
  X(strDetalhamentoAlerta, "ZQ_DETALHAMENTO_ALERTA", Cabecalho, 4)    \
  X(strCodTecnico, "ZQ_COD_TECNICO", Cabecalho, 1)                    \
  X(strNomeTecnico, "ZQ_NOME_TECNICO", Cabecalho, 2)                  \
  X(strDataAtual, "ZQ_DATA_ATUAL", Cabecalho, 9)                      \
  X(strDataHoraAtual, "ZQ_DATA_HORA_ATUAL", Cabecalho, 10)            \
  X(strCodRecurso, "ZQ_COD_RECURSO", Linha, 11)                       \
  X(strDescRecurso, "ZQ_DESC_RECURSO", Linha, 12)                     \
  X(strCodTpRecurso, "ZQ_COD_TP_RECURSO", Linha, 13)                  \
  X(strDescTpRecurso, "ZQ_DESC_TP_RECURSO", Linha, 14)                \
  X(strNroSerieRecurso, "ZQ_NRO_SERIE_RECURSO", Linha, 15)            \
  X(strDtProxManut, "ZQ_DT_PROX_MANUT", Linha, 16)                    \
  X(strDiasProxManut, "ZQ_DIAS_PROX_MANUT", Linha, 17)                \
  X(strContadorProxManut, "ZQ_CONTADOR_PROX_MANUT", Linha, 18)        \
  X(strUnMedContador, "ZQ_UN_MED_CONTADOR", Linha, 19)                \
  X(strCodFilial, "ZQ_COD_FILIAL", Linha, 20)                         \
  X(strIdentFilial, "ZQ_IDENT_FILIAL", Linha, 21)                     \
  X(strNomeFantFilial, "ZQ_NOME_FANT_FILIAL", Linha, 22)              \
  X(strRazaoSocial, "ZQ_RAZAO_SOCIAL", Linha, 23)

// The values of one mail: header fields and the fields of one due resource.
struct DADOS_CORPO_EMAIL {
#define MM_CAMPO_EMAIL(campo, token, papel, ordem) CString campo;
  MM_MEMORIAS_EMAIL(MM_CAMPO_EMAIL)
#undef MM_CAMPO_EMAIL
};

// What SetDadosCorpoEmailCabecalho copies, as stored in the records.
struct VALORES_CABECALHO_EMAIL {
  CString strCodigoPlano, strNomePlano;                 // the plan whose resources are due
  CString strCodigoDisciplina, strNomeDisciplina;       // that plan's discipline
  CString strDescricaoAlerta, strDetalhamentoAlerta;    // the alert; the description ends the subject
  CString strCodigoTecnico, strNomeTecnico;             // the recipient
};

// What SetDadosCorpoEmailSubordinados turns into a row: one resource, its link to the plan, its
// counter unit (none: empty code, 0 decimals), its type and its branch.
struct VALORES_LINHA_EMAIL {
  CString strCodigoRecurso, strDescricaoRecurso;
  CString strCodigoTipoRecurso, strDescricaoTipoRecurso;
  REG_ZQDMA dmaProximaManutencao;    // 0 = no next maintenance date
  tagCY cyCiclosContador;            // counter cycles left; negative once exceeded
  CString strUnidadeContador;
  int nCasasDecimaisContador = 0;
  unsigned short usCodigoFilial = 0;
  CString strIdentificacaoFilial, strNomeFantasiaFilial, strRazaoSocialFilial;
};

class CMMModeloEmailAlerta {
 public:
  CMMModeloEmailAlerta() = delete;

  enum class EPapel { Cabecalho, Linha };
  struct MEMORIA {
    const char* pszToken;
    CString DADOS_CORPO_EMAIL::*pCampo;
    EPapel ePapel;
  };
  // The 23 tokens in the order they are replaced: the ten header tokens, then the thirteen row
  // tokens.
  static std::span<const MEMORIA> Memorias();
  // True when 'token' is exactly (case counts) one of the ten header tokens.
  static bool EhMemoriaCabecalho(std::string_view token);

  // ---- Locating and reading ---------------------------------------------------------------

  enum class ELocalizacao {
    PastaDesconhecida,  // the registry has no (or an empty) "Relatorios" value: abort the run
    NaoEncontrado,      // no such file, or the path is a folder: log and skip the alert
    Encontrado,
  };
  // The file name of an alert's template: what follows the last '\' or '/', so a template named
  // "C:\Modelos\alerta.htm" is "alerta.htm" (any folder given on the alert is ignored).
  static CString NomeModelo(const CString& strModeloEmail);
  // Joins the report folder (CZQRegistro "Relatorios" under CZQRegistro::kRaiz) and NomeModelo
  // with exactly one '/' between them (trailing '/' or '\' of the folder are dropped first) and
  // tests the file. A file that exists but cannot be opened (no permission) counts as found, so
  // that reading it reports the failure. strCaminho receives the full path ("" when the folder
  // is unknown); the routine logs it when the file is not found.
  static ELocalizacao LocalizaModelo(const CString& strModeloEmail, CString& strCaminho);

  enum class ELeitura { Lido, NaoAbriu, FalhaLeitura };
  // Reads the whole file into strTexto byte for byte (NULs included, no conversion). On a failure
  // strTexto is left alone and strErro receives the system's description of it, the text that
  // completes "Falha ao ler o modelo de e-mail".
  static ELeitura LeModeloEmail(const CString& strCaminho, CString& strTexto, CString& strErro);

  // ---- Preparing and filling ----------------------------------------------------------------

  // Expands every list block of strTexto for nLinhas rows (a negative count is 0: the template
  // row is removed) and answers whether there was any. Blocks are the non-overlapping matches
  // found in the text as it came in; for each block B:
  //   1. W = B without any "\r\n  ZQ_FIM_LISTA" (CR LF, two spaces, marker);
  //   2. for each template-row match M of W as step 1 left it: the row R is M without its first 7
  //      bytes ("</tr>" and the line break); every "\r\n" + R is removed from W; then for i from
  //      0 to nLinhas - 1, "\r\n" and a copy of R with its row tokens numbered are appended to W;
  //   3. every occurrence of B in the text (as it is by then) becomes W.
  // Numbering a copy for row i: each distinct token found in R, in order of appearance and unless
  // it is a header token, has every occurrence in the copy followed by "_i":
  //   "<td>ZQ_COD_RECURSO</td><td>ZQ_NOME_TECNICO</td>", row 2
  //     -> "<td>ZQ_COD_RECURSO_2</td><td>ZQ_NOME_TECNICO</td>"
  // A token is whatever the token pattern takes, so "ZQ_COD_RECURSO:x" is numbered as one word
  // ("ZQ_COD_RECURSO:x_2"); a token that appears twice in the row is numbered once per copy, not
  // twice. A template whose block does not match exactly (line ends other than CR LF) has none.
  // Should memory run out midway, strTexto may be left empty.
  static bool AtualizaConteudoEmail(CString& strTexto, int nLinhas);

  // Fields 1-8 from the values; ZQ_DATA_ATUAL and ZQ_DATA_HORA_ATUAL from one reading of
  // CZQRelogio::Agora() ("05/03/2024" and "05/03/2024 10:05:30"). Row fields are left alone.
  static void SetDadosCorpoEmailCabecalho(DADOS_CORPO_EMAIL& dados,
                                          const VALORES_CABECALHO_EMAIL& valores);
  // Fields 11-23; header fields are left alone. ZQ_NRO_SERIE_RECURSO stays empty;
  // ZQ_DT_PROX_MANUT is "dd/mm/yyyy" ("" for no date); ZQ_DIAS_PROX_MANUT is the date minus
  // CZQRelogio::Hoje() in days ("5", "-3"; "" for no date); ZQ_CONTADOR_PROX_MANUT is
  // CZQCurrencyEx::FormataValor with the unit's decimals (1234.5 with 2 -> "1.234,50", 1234.9
  // with 0 -> "1.234"); ZQ_COD_FILIAL is the branch code in decimal.
  static void SetDadosCorpoEmailSubordinados(DADOS_CORPO_EMAIL& dados,
                                             const VALORES_LINHA_EMAIL& valores);

  // Values go into the HTML as text: each value put in place of a token is EscapaHtml'd first,
  // so a plan named "<script>" shows as such instead of running. The template's own markup is
  // never touched. The ...Html variants below put values in as they are stored, for companies
  // that keep deliberate HTML in their descriptions.
  //
  // A template without list block: every occurrence of each of the 23 tokens, in Memorias()
  // order, becomes the field (plain text replacement, one token after the other). The list
  // markers and other "ZQ_" words stay.
  static void SubstituiMemoriasModeloEmail(CString& strTexto, const DADOS_CORPO_EMAIL& dados);
  // A prepared template with list block:
  //   1. every occurrence of each header token, in Memorias() order, becomes the header's field;
  //   2. "ZQ_INICIO_LISTA" and "ZQ_FIM_LISTA" are removed;
  //   3. every numbered row token "<token>_<i>" with i a row of 'linhas' becomes row i's field.
  //      The number is the whole run of digits after '_', written as "%d" writes it, so
  //      ZQ_COD_RECURSO_12 is row 12's, never row 1's followed by "2"; "ZQ_COD_RECURSO_01", a
  //      number beyond the rows and unnumbered row tokens stay as they are. This step reads the
  //      text once: a value is inserted as it is and never read again as a token.
  static void SubstituiMemoriasModeloEmail(CString& strTexto, const DADOS_CORPO_EMAIL& cabecalho,
                                           const std::vector<DADOS_CORPO_EMAIL>& linhas);
  // The same two, values put in as stored.
  static void SubstituiMemoriasModeloEmailHtml(CString& strTexto, const DADOS_CORPO_EMAIL& dados);
  static void SubstituiMemoriasModeloEmailHtml(CString& strTexto, const DADOS_CORPO_EMAIL& cabecalho,
                                               const std::vector<DADOS_CORPO_EMAIL>& linhas);
  // & < > " ' as &amp; &lt; &gt; &quot; &#39;; every other byte (Windows-1252 accents
  // included) as it is.
  static CString EscapaHtml(std::string_view valor);
  // "Alerta de Manutenção - " followed by the alert's description.
  static CString AssuntoEmail(const DADOS_CORPO_EMAIL& dados);

  // ---- The three patterns -------------------------------------------------------------------

  enum class EPadrao { BlocoLista, LinhaModelo, Memoria };
  struct TRECHO {
    std::size_t nInicio = 0;
    std::size_t nTamanho = 0;
    friend bool operator==(const TRECHO&, const TRECHO&) = default;
  };
  // The ECMAScript text of a pattern, for tools and tests that want std::regex's opinion.
  static const char* Expressao(EPadrao ePadrao);
  // The leftmost match starting at or after nDe, as std::regex_search gives it on
  // texto.substr(nDe) (offsets counted from the start of texto); nullopt when there is none.
  // Searching again from the end of each match lists what std::sregex_iterator lists. Linear
  // time in what it reads; no recursion.
  static std::optional<TRECHO> Busca(EPadrao ePadrao, std::string_view texto, std::size_t nDe = 0);

 private:
  static void SubstituiUma(CString& strTexto, const DADOS_CORPO_EMAIL& dados, bool bValoresHtml);
  static void SubstituiLista(CString& strTexto, const DADOS_CORPO_EMAIL& cabecalho,
                             const std::vector<DADOS_CORPO_EMAIL>& linhas, bool bValoresHtml);
};
