// A process killed (kill -9) before any one of the changes a scripted day
// makes to the printer's files: the printer opened afterwards holds every
// operation that finished and none that did not, its records agree, and it
// goes on selling.
#include "apoio.h"
#include "invariantes.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace tarvic {
namespace simulador {
namespace {

struct Passo {
  DataHora quando;
  std::function<Resultado(ImpressoraFiscal&)> faz;
};

// A description with a high byte, as the printer's Windows-1252 texts have.
ImpressoraFiscal::Item Item(const std::string& aliquota, int64_t quantidade, int64_t preco,
                            const Ajuste& ajuste = Ajuste()) {
  return ItemDeTeste(aliquota, quantidade, preco, ajuste, "PRODUTO \xC0 GRANEL");
}

// A day of the shop, one printer operation a step, and a sale the next day.
std::vector<Passo> Dia() {
  const DataHora d1{2024, 3, 15, 10, 0, 0}, z{2024, 3, 15, 22, 0, 0}, d2{2024, 3, 16, 9, 0, 0};
  using E = ImpressoraFiscal;
  return {
      {d1, [](E& e) { return e.suprimento(10000); }},
      {d1, [](E& e) { return e.abreCupom("12345678909"); }},
      {d1, [](E& e) { return e.vendeItem(Item("T1800", 2000, 12500)); }},
      {d1, [](E& e) { return e.vendeItem(Item("F", 1500, 8000, Ajuste::descontoValor(100))); }},
      {d1, [](E& e) { return e.vendeItem(Item("I", 350, 49900)); }},
      {d1, [](E& e) { return e.vendeItem(Item("N", 1000, 9990)); }},
      {d1, [](E& e) { return e.cancelaItem(4); }},
      {d1, [](E& e) { return e.iniciaFechamento(Ajuste::descontoValor(200)); }},
      {d1, [](E& e) { return e.efetuaPagamento("Cartao", 5000); }},
      {d1, [](E& e) { return e.efetuaPagamento("Dinheiro", 10000); }},
      {d1, [](E& e) { return e.encerraCupom("OBRIGADO"); }},
      {d1, [](E& e) { return e.abreComprovanteVinculado("Cartao"); }},
      {d1, [](E& e) { return e.imprimeComprovanteVinculado("CARTAO ****1234"); }},
      {d1, [](E& e) { return e.fechaComprovanteVinculado(); }},
      {d1, [](E& e) { return e.abreCupom(); }},
      {d1, [](E& e) { return e.vendeItem(Item("T1200", 1000, 5000)); }},
      {d1, [](E& e) { return e.cancelaCupom(); }},
      {d1, [](E& e) { return e.abreCupom(); }},
      {d1, [](E& e) { return e.vendeItem(Item("T1800", 3000, 2990)); }},
      {d1, [](E& e) { return e.iniciaFechamento(Ajuste::acrescimoPercentual(500)); }},
      {d1, [](E& e) { return e.efetuaPagamento("Dinheiro", 10000); }},
      {d1, [](E& e) { return e.encerraCupom(); }},
      {d1, [](E& e) { return e.cancelaCupom(); }},
      {d1, [](E& e) { return e.abreRelatorioGerencial(1); }},
      {d1, [](E& e) { return e.imprimeRelatorioGerencial("FECHAMENTO DO TURNO"); }},
      {d1, [](E& e) { return e.fechaRelatorioGerencial(); }},
      {d1, [](E& e) { return e.leituraX(); }},
      {d1, [](E& e) { return e.sangria(2000); }},
      {z, [](E& e) { return e.reducaoZ(); }},
      {d2, [](E& e) { return e.abreCupom(); }},
      {d2, [](E& e) { return e.vendeItem(Item("T0700", 1000, 1500)); }},
      {d2, [](E& e) { return e.iniciaFechamento(); }},
      {d2, [](E& e) { return e.efetuaPagamento("Dinheiro", 200); }},
      {d2, [](E& e) { return e.encerraCupom(); }},
  };
}

// The small state and the journal, as they were recorded.
std::string Retrato(const ImpressoraFiscal& ecf) {
  std::string r = TextoDoEstado(ecf.estadoGravado(), 0);
  for (const DocumentoImpresso& d : ecf.jornal()) {
    r += d.tipo + " " + std::to_string(d.coo) + "\n";
    for (const std::string& l : d.linhas) r += l + "\n";
  }
  return r;
}

// What the file observer sees (a plain function pointer: global state).
struct Observacao {
  int mudancas = 0;
  int matarAntesDe = 0;
  const ImpressoraFiscal* ecf = nullptr;
  std::string registro;
  // At each record appended to the log: the change's number and the
  // printer as the record has it.
  std::vector<std::pair<int, std::string>> retratos;
} observacao;

void Observa(const char* operacao, const std::string& caminho) {
  ++observacao.mudancas;
  if (observacao.mudancas == observacao.matarAntesDe) raise(SIGKILL);
  if (observacao.ecf && caminho == observacao.registro && std::strcmp(operacao, "acrescenta") == 0)
    observacao.retratos.emplace_back(observacao.mudancas, Retrato(*observacao.ecf));
}

std::string PastaNova(const std::string& nome) {
  const std::string p =
      (fs::temp_directory_path() /
       ("tarvic_queda_" + nome + "_" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
          .string();
  fs::create_directories(p);
  return p;
}

void RodaODia(const std::string& pasta, const std::vector<Passo>& dia, bool limpo) {
  testing::internal::CaptureStderr();
  ImpressoraFiscal ecf("BEMATECH", pasta + "/ecf.json", false);
  testing::internal::GetCapturedStderr();
  if (limpo) {
    observacao.ecf = &ecf;
    observacao.registro = ecf.caminhoRegistro();
    observacao.retratos.emplace_back(observacao.mudancas, Retrato(ecf));
  }
  for (std::size_t i = 0; i < dia.size(); ++i) {
    ecf.fixaAgora(dia[i].quando);
    ASSERT_EQ(dia[i].faz(ecf), Resultado::Ok) << "passo " << i;
  }
  observacao.ecf = nullptr;
}

// After the restart: whatever was left open is closed as a host would, and
// a sale goes through, the day closed first when it must be.
void Continua(ImpressoraFiscal& ecf) {
  ecf.fixaAgora(ecf.memoriaFiscal().empty() ? DataHora{2024, 3, 15, 12, 0, 0}
                                            : DataHora{2024, 3, 16, 12, 0, 0});
  if (ecf.documentoAberto() == TipoDocumento::RelatorioGerencial) ecf.fechaRelatorioGerencial();
  if (ecf.documentoAberto() == TipoDocumento::ComprovanteVinculado) ecf.fechaComprovanteVinculado();
  if (ecf.documentoAberto() != TipoDocumento::Nenhum) {
    ASSERT_EQ(ecf.cancelaCupom(), Resultado::Ok);
  }
  ASSERT_EQ(ecf.abreCupom(), Resultado::Ok);
  ASSERT_EQ(ecf.vendeItem(Item("T1800", 1000, 1990)), Resultado::Ok);
  ASSERT_EQ(ecf.iniciaFechamento(), Resultado::Ok);
  ASSERT_EQ(ecf.efetuaPagamento("Dinheiro", 199), Resultado::Ok);
  ASSERT_EQ(ecf.encerraCupom(), Resultado::Ok);
}

TEST(Queda, ProcessoMortoEntreDuasGravacoesQuaisquer) {
  const std::vector<Passo> dia = Dia();
  arquivo::DefineObservador(Observa);
  const std::string limpa = PastaNova("limpa");
  RodaODia(limpa, dia, true);
  const int mudancas = observacao.mudancas;
  const std::vector<std::pair<int, std::string>> retratos = observacao.retratos;
  fs::remove_all(limpa);
  ASSERT_GT(retratos.size(), dia.size());

  int conferidas = 0;
  for (int p = 1; p <= mudancas; ++p) {
    const std::string pasta = PastaNova(std::to_string(p));
    observacao = Observacao();
    observacao.matarAntesDe = p;
    const pid_t filho = fork();
    ASSERT_GE(filho, 0);
    if (filho == 0) {
      RodaODia(pasta, dia, false);
      _exit(0);
    }
    int status = 0;
    waitpid(filho, &status, 0);
    observacao = Observacao();
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "mudanca " << p;

    // Every record written before the kill, and nothing after it.
    std::string esperado = retratos.front().second;
    for (const auto& r : retratos)
      if (r.first < p) esperado = r.second;
    testing::internal::CaptureStderr();
    ImpressoraFiscal ecf("BEMATECH", pasta + "/ecf.json", false);
    const std::string avisos = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Retrato(ecf), esperado) << "morto antes da mudanca " << p << " de " << mudancas;
    Conferencia c;
    c.confere(ecf);
    Continua(ecf);
    c.confere(ecf);
    EXPECT_TRUE(c.falhas().empty()) << "mudanca " << p << ":\n" << c.relatorio() << avisos;
    conferidas += c.conferidas();
    fs::remove_all(pasta);
  }
  arquivo::DefineObservador(nullptr);
  std::printf(
      "queda: processo morto antes de cada uma das %d mudancas nos arquivos; %d "
      "conferencias\n",
      mudancas, conferidas);
}

}  // namespace
}  // namespace simulador
}  // namespace tarvic
