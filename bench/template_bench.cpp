// Alert template expansion (AtualizaConteudoEmail) against the same steps written on std::regex,
// on templates whose list block spans the whole file. std::regex recurses once per byte of the
// block: on the default 8 MB stack it dies between 20 and 30 KB of this template, so its side runs
// on a thread with a 1 GB stack, and only up to 50 KB. Ours goes on to 1, 16 and 100 MB.
// BM_ModeloGrandeCompleto reads, expands and fills a 100 MB template once: run it alone under
// /usr/bin/time -v to see how many copies of the template the three steps hold at once.
#include <benchmark/benchmark.h>
#include <pthread.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <type_traits>

#include "alerts/MMModeloEmailAlerta.h"

namespace {

using Modelo = CMMModeloEmailAlerta;
constexpr int kLinhas = 10;

// A header, a list block holding fixed rows up to the size asked for, the template row, a footer.
std::string GeraModelo(std::size_t tamanho) {
  std::string t =
      "<html><body><p>ZQ_NOME_TECNICO, o alerta ZQ_DESC_ALERTA venceu.</p>\r\n<table>\r\n"
      "<tr><td>ZQ_INICIO_LISTA</td></tr>\r\n";
  while (t.size() < tamanho) t += "<tr><td>fixo</td><td>texto de exemplo do modelo</td></tr>\r\n";
  t += "<tr><td>ultima</td></tr>\r\n  ZQ_FIM_LISTA\r\n"
       " <tr><td>ZQ_COD_RECURSO</td><td>ZQ_DESC_RECURSO</td><td>ZQ_DT_PROX_MANUT</td>\r\n"
       " <td>ZQ_DIAS_PROX_MANUT</td><td>ZQ_CONTADOR_PROX_MANUT ZQ_UN_MED_CONTADOR</td></tr>\r\n"
       "</table></body></html>\r\n";
  return t;
}

std::string SubstituiTodas(const std::string& texto, const std::string& de, const std::string& para) {
  std::string out;
  std::size_t pos = 0;
  for (std::size_t h; (h = texto.find(de, pos)) != std::string::npos; pos = h + de.size())
    out.append(texto, pos, h - pos).append(para);
  return out.append(texto, pos);
}

// Runs f on a thread whose stack holds std::regex's recursion.
template <class F>
void ComPilhaGrande(F&& f) {
  pthread_attr_t atributos;
  pthread_attr_init(&atributos);
  pthread_attr_setstacksize(&atributos, std::size_t{1} << 30);
  pthread_t t;
  auto corpo = [](void* p) -> void* {
    (*static_cast<std::remove_reference_t<F>*>(p))();
    return nullptr;
  };
  if (pthread_create(&t, &atributos, corpo, &f) == 0) pthread_join(t, nullptr);
  pthread_attr_destroy(&atributos);
}

bool AtualizaComRegex(std::string& x, int linhas) {
  static const std::regex bloco(Modelo::Expressao(Modelo::EPadrao::BlocoLista));
  static const std::regex linha(Modelo::Expressao(Modelo::EPadrao::LinhaModelo));
  static const std::regex memoria(Modelo::Expressao(Modelo::EPadrao::Memoria));
  const std::sregex_iterator fim;
  const std::string entrada = x;
  bool achou = false;
  for (std::sregex_iterator it(entrada.begin(), entrada.end(), bloco); it != fim; ++it) {
    achou = true;
    const std::string b = it->str();
    const std::string w0 = SubstituiTodas(b, "\r\n  ZQ_FIM_LISTA", "");
    std::string w = w0;
    for (std::sregex_iterator jt(w0.begin(), w0.end(), linha); jt != fim; ++jt) {
      const std::string r = jt->str().substr(7);
      w = SubstituiTodas(w, std::string("\r\n").append(r), "");
      for (int i = 0; i < linhas; ++i) {
        std::string copia = r;
        std::set<std::string> feitas;
        for (std::sregex_iterator kt(r.begin(), r.end(), memoria); kt != fim; ++kt) {
          const std::string k = kt->str();
          if (Modelo::EhMemoriaCabecalho(k) || !feitas.insert(k).second) continue;
          copia = SubstituiTodas(copia, k, std::string(k).append("_").append(std::to_string(i)));
        }
        w.append("\r\n").append(copia);
      }
    }
    x = SubstituiTodas(x, b, w);
  }
  return achou;
}

void BM_ExpansaoNossa(benchmark::State& state) {
  const std::string modelo = GeraModelo(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    CString texto(modelo);
    benchmark::DoNotOptimize(Modelo::AtualizaConteudoEmail(texto, kLinhas));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * modelo.size()));
}
BENCHMARK(BM_ExpansaoNossa)->Arg(10 << 10)->Arg(50 << 10)->Arg(1 << 20)->Arg(16 << 20)->Arg(100 << 20);

void BM_ExpansaoStdRegex(benchmark::State& state) {
  const std::string modelo = GeraModelo(static_cast<std::size_t>(state.range(0)));
  ComPilhaGrande([&] {
    for (auto _ : state) {
      std::string texto = modelo;
      benchmark::DoNotOptimize(AtualizaComRegex(texto, kLinhas));
    }
  });
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * modelo.size()));
}
BENCHMARK(BM_ExpansaoStdRegex)->Arg(10 << 10)->Arg(50 << 10);

// The list-block search alone, the pattern whose [^*]+ spans the template.
void BM_BuscaBlocoNossa(benchmark::State& state) {
  const std::string modelo = GeraModelo(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(Modelo::Busca(Modelo::EPadrao::BlocoLista, modelo));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * modelo.size()));
}
BENCHMARK(BM_BuscaBlocoNossa)->Arg(10 << 10)->Arg(50 << 10)->Arg(1 << 20)->Arg(16 << 20);

void BM_BuscaBlocoStdRegex(benchmark::State& state) {
  static const std::regex bloco(Modelo::Expressao(Modelo::EPadrao::BlocoLista));
  const std::string modelo = GeraModelo(static_cast<std::size_t>(state.range(0)));
  ComPilhaGrande([&] {
    for (auto _ : state) {
      std::smatch m;
      benchmark::DoNotOptimize(std::regex_search(modelo, m, bloco));
    }
  });
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * modelo.size()));
}
BENCHMARK(BM_BuscaBlocoStdRegex)->Arg(10 << 10)->Arg(50 << 10);

void BM_ModeloGrandeCompleto(benchmark::State& state) {
  const std::filesystem::path caminho = std::filesystem::temp_directory_path() / "zqmm_bench_modelo.htm";
  {
    const std::string modelo = GeraModelo(100 << 20);
    std::FILE* f = std::fopen(caminho.c_str(), "wb");
    if (!f || std::fwrite(modelo.data(), 1, modelo.size(), f) != modelo.size()) state.SkipWithError("write");
    if (f) std::fclose(f);
  }
  DADOS_CORPO_EMAIL cabecalho;
  cabecalho.strNomeTecnico = "Maria";
  std::vector<DADOS_CORPO_EMAIL> linhas(kLinhas);
  for (auto& l : linhas) l.strCodRecurso = "R<1>";
  for (auto _ : state) {
    CString texto, erro;
    if (Modelo::LeModeloEmail(CString(caminho.string()), texto, erro) != Modelo::ELeitura::Lido)
      state.SkipWithError("read");
    benchmark::DoNotOptimize(Modelo::AtualizaConteudoEmail(texto, kLinhas));
    Modelo::SubstituiMemoriasModeloEmail(texto, cabecalho, linhas);
    benchmark::DoNotOptimize(texto.GetLength());
  }
  std::filesystem::remove(caminho);
}
BENCHMARK(BM_ModeloGrandeCompleto)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
