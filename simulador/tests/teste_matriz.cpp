// Fault injection through the library, for each manufacturer: a scripted
// sale (items with an item discount and a cancelled item, a subtotal
// discount, two payments, the closing and the card's linked receipt) runs
// once per driver call it makes, with a fault at that call: the printer
// switched off, out of paper, a refusal code, or the process killed. The
// host then recovers as a real one does (ecf_TratarDesligamento, the next
// ecf_AbreCupom cancelling what was left open) and sells again, and after
// every run the printer's own records must agree.
//
// Each run is a child process, as a till is; a printer takes ten runs, its
// checks covering all its history each time. CI injects at ten calls of
// each kind, spread over the sale; TARVIC_MATRIZ_COMPLETA=1 at every call.
#include "apoio_substitutos.h"
#include "comum.h"
#include "invariantes.h"
#include "plataforma.h"
#include "tarvic.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

namespace tarvic {
namespace simulador {
namespace {

enum class Falha { Desligada, SemPapel, Recusa, Morte };
const Falha Falhas[] = {Falha::Desligada, Falha::SemPapel, Falha::Recusa, Falha::Morte};
const char* const NomeDaFalha[] = {"desligada", "sem papel", "recusa", "processo morto"};

// In the child: the call to inject at, and the calls made so far.
struct Injecao {
  std::string fabricante;
  Falha falha = Falha::Desligada;
  int em = 0;
  int chamadas = 0;
} injecao;

ImpressoraFiscal& Ecf() {
  return impressoraDoProcesso(injecao.fabricante);
}

void AoChamar(const char* funcao) {
  if (++injecao.chamadas != injecao.em) return;
  switch (injecao.falha) {
    case Falha::Desligada:
      Ecf().desliga();
      break;
    case Falha::SemPapel:
      Ecf().defineSensorPapel(SensorPapel::Sem);
      break;
    case Falha::Recusa:
      Ecf().injetaCodigo(funcao, -1);
      break;
    case Falha::Morte:
      raise(SIGKILL);
  }
}

// The operator puts the printer right when the library asks whether to retry.
void ConsertaImpressora() {
  Ecf().liga();
  Ecf().defineSensorPapel(SensorPapel::Presente);
}

int TARVIC_API Operador(const char*, const char*, uint32_t tipo) {
  if ((tipo & 0x0F) != 0x04) return 1;
  ConsertaImpressora();
  return 6;
}

void SemPausa(uint32_t) {}

bool Venda(bool dllg2) {
  const char* dezoito = dllg2 ? "18,00" : "01";
  if (!ecf_AbreCupom()) return false;
  struct {
    const char *aliquota, *quantidade, *preco, *acrescimo;
  } itens[] = {{dezoito, "2", "12,50", "0"},
               {"F", "1,5", "8,00", "-1,00"},
               {"I", "1", "7,99", "0"},
               {"N", "3", "2,00", "0"}};
  int numero = 0;
  for (const auto& i : itens)
    if (!ecf_VendeItem("7891000100103", "PRODUTO", "UN", 0, i.aliquota, 0, i.quantidade, i.preco,
                       "$", i.acrescimo, 0, 0, ++numero))
      return false;
  if (!ecf_CancelaItemGenerico("4") || !ecf_IniciaFechamentoCupom("D", "1,00") ||
      !ecf_EfetuaFormaPagto("Cartao", 200000) || !ecf_EfetuaFormaPagto("Dinheiro", 300000) ||
      !ecf_TerminaFechamentoCupom("Obrigado"))
    return false;
  return ecf_AbreComprovanteNaoFiscalVinculado("Cartao", 200000, ecf_NumeroCupom()) &&
         ecf_UsaComprovanteNaoFiscalVinculado("CARTAO ****1234") &&
         ecf_FechaComprovanteNaoFiscalVinculado();
}

// The host after a failure: the printer put right, ecf_TratarDesligamento,
// and the next sale, whose ecf_AbreCupom frees the printer. A document the
// manufacturer's freeing leaves open is closed or cancelled by hand.
bool Recupera(bool dllg2) {
  ConsertaImpressora();
  ecf_TratarDesligamento();
  if (Venda(dllg2)) return true;
  ConsertaImpressora();
  ecf_FechaComprovanteNaoFiscalVinculado();
  ecf_FechaRelatorioGerencial();
  ecf_CancelaCupom();
  return Venda(dllg2);
}

// A till process: starts the library on the printer of `pasta`, then runs
// the sale with the fault at call `em` (0: none) and recovers when a step
// fails, or only recovers. The exit status tells how it went.
enum Saida { Vendeu = 0, Recuperou = 1, NaoRecuperou = 2, NaoIniciou = 3 };

[[noreturn]] void Caixa(const std::string& pasta, const std::string& fabricante, Falha falha,
                        int em, bool soRecupera, int tuboDeChamadas = -1) {
  const bool dllg2 = fabricante == "DATAREGIS" || fabricante == "URANO";
  setenv("TARVIC_SIM_ESTADO", pasta.c_str(), 1);
  setenv("TARVIC_SIM_FABRICANTE", fabricante.c_str(), 1);
  descartaImpressorasDoProcesso();
  injecao = Injecao{fabricante, falha, 0, 0};
  testing::internal::CaptureStderr();
  Ecf().fixaAgora(DataHora{2024, 3, 15, 10, 0, 0});
  plataforma::DefinePausa(SemPausa);
  ecf_SetTratadorMensagem(Operador);
  if (!ecf_Inicializa(fabricante.c_str(), "COM1", pasta.c_str())) _exit(NaoIniciou);
  substituto::DefineObservadorDeChamadas(AoChamar);
  injecao.em = em;
  int saida = Vendeu;
  if (soRecupera || !Venda(dllg2)) saida = Recupera(dllg2) ? Recuperou : NaoRecuperou;
  if (tuboDeChamadas >= 0) {
    const int chamadas = injecao.chamadas;
    if (write(tuboDeChamadas, &chamadas, sizeof chamadas) != sizeof chamadas) saida = NaoIniciou;
  }
  _exit(saida);
}

template <class Corpo>
int Filho(Corpo corpo) {
  const pid_t pid = fork();
  if (pid == 0) corpo();
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return -WTERMSIG(status);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

class Matriz : public ::testing::TestWithParam<std::string> {};

TEST_P(Matriz, FalhaEmCadaChamadaDoDriverComRecuperacao) {
  const std::string fabricante = GetParam();
  const bool completa = std::getenv("TARVIC_MATRIZ_COMPLETA") != nullptr;
  // The calls of a sale without faults.
  int chamadas = 0;
  {
    PastaDeTeste pasta;
    int tubo[2];
    ASSERT_EQ(pipe(tubo), 0);
    EXPECT_EQ(Filho([&] { Caixa(pasta.caminho, fabricante, Falha::Desligada, 0, false, tubo[1]); }),
              Vendeu);
    ASSERT_EQ(read(tubo[0], &chamadas, sizeof chamadas), static_cast<ssize_t>(sizeof chamadas));
    close(tubo[0]);
    close(tubo[1]);
  }
  ASSERT_GT(chamadas, 20);

  const int passo = completa ? 1 : (chamadas + 9) / 10;
  int injecoes = 0, conferidas = 0;
  for (std::size_t f = 0; f < 4; ++f) {
    const Falha falha = Falhas[f];
    std::unique_ptr<PastaDeTeste> pasta;
    Conferencia conferencia;
    int nestaImpressora = 0;
    for (int em = 1 + static_cast<int>(f) % passo; em <= chamadas; em += passo) {
      ++injecoes;
      if (nestaImpressora++ % 10 == 0) {
        conferidas += conferencia.conferidas();
        pasta.reset(new PastaDeTeste);
        conferencia = Conferencia();
      }
      const std::string caso = fabricante + ", " + NomeDaFalha[f] + " na chamada " +
                               std::to_string(em) + " de " + std::to_string(chamadas);
      const int saida = Filho([&] { Caixa(pasta->caminho, fabricante, falha, em, false); });
      if (falha == Falha::Morte) {
        EXPECT_EQ(saida, -SIGKILL) << caso;
        EXPECT_EQ(Filho([&] { Caixa(pasta->caminho, fabricante, falha, 0, true); }), Recuperou)
            << caso;
      } else {
        EXPECT_TRUE(saida == Vendeu || saida == Recuperou) << caso << ": saida " << saida;
      }
      testing::internal::CaptureStderr();
      ImpressoraFiscal ecf(fabricante, pasta->caminho + "/tarvic_sim_" + fabricante + ".json",
                           false);
      const std::string avisos = testing::internal::GetCapturedStderr();
      conferencia.confere(ecf);
      ASSERT_TRUE(conferencia.falhas().empty()) << caso << "\n"
                                                << conferencia.relatorio() << avisos;
    }
    conferidas += conferencia.conferidas();
  }
  std::printf("matriz %s: %d injecoes, %d conferencias\n", fabricante.c_str(), injecoes,
              conferidas);
}

INSTANTIATE_TEST_SUITE_P(Fabricantes, Matriz,
                         ::testing::Values("BEMATECH", "SWEDA", "DARUMA", "ELGIN", "DATAREGIS",
                                           "URANO"),
                         [](const ::testing::TestParamInfo<std::string>& p) { return p.param; });

}  // namespace
}  // namespace simulador
}  // namespace tarvic
