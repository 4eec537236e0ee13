// The hostile sweep: for every manufacturer, after a normal and after a
// failed start-up, random exports called with hostile arguments against a
// driver that answers hostilely. Built with AddressSanitizer and UBSan, which
// stop at the first fault; a call that does not come back in time is a fault
// too. Every round is reproducible from the sweep's seed and its number, and
// a failure prints both with the calls of the round.
//
//   varredura_hostil [--semente N|aleatoria] [--chamadas N] [--rodada N]
//                    [--por-rodada N] [--limite SEGUNDOS]
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#if __has_include(<sanitizer/common_interface_defs.h>)
#include <sanitizer/common_interface_defs.h>
#define TEM_SANITIZADOR 1
#endif

#include "Dataregis/dllg2.h"
#include "argumentos.h"
#include "estado.h"
#include "fonte.h"
#include "plataforma.h"
#include "respostas.h"
#include "tarvic.h"
#include "tests/estado_novo.h"
#include "nomes_da_lista.h"

namespace {

using namespace hostil;
using Relogio = std::chrono::steady_clock;

// ---- The journal of the current round ---------------------------------------------

struct Jornal {
  std::mutex trava;
  std::string rodada;  // how to run the round again, and what it was
  std::vector<std::string> chamadas;
};
Jornal jornal;
std::atomic<int64_t> inicioDaChamada{0};  // ms of the steady clock; 0 between calls

int64_t AgoraMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Relogio::now().time_since_epoch())
      .count();
}

void ImprimeJornal(const char *motivo, bool travar) {
  std::unique_lock<std::mutex> trava(jornal.trava, std::defer_lock);
  if (travar) trava.lock();
  std::fprintf(stderr, "\n== varredura hostil: %s\n%s\nchamadas da rodada (%zu):\n", motivo,
               jornal.rodada.c_str(), jornal.chamadas.size());
  for (size_t i = 0; i < jornal.chamadas.size(); ++i)
    std::fprintf(stderr, "%4zu. %s\n", i + 1, jornal.chamadas[i].c_str());
  std::fflush(stderr);
}

// The sweep's folder, removed however the sweep ends.
std::string pastaDaVarredura;

void RemovePasta() {
  std::error_code erro;
  if (!pastaDaVarredura.empty()) std::filesystem::remove_all(pastaDaVarredura, erro);
}

[[noreturn]] void Falha(const std::string &motivo) {
  ImprimeJornal(motivo.c_str(), true);
  RemovePasta();
  std::_Exit(1);
}

void Registra(const std::string &chamada) {
  std::lock_guard<std::mutex> trava(jornal.trava);
  jornal.chamadas.push_back(chamada);
}

// ---- The host's side: operator, pauses, floating point -----------------------------

Gerador operador;
uint64_t mensagens = 0;
uint64_t pausasMs = 0;

int TARVIC_API Tratador(const char *texto, const char *titulo, uint32_t tipo) {
  if (!texto || !titulo) Falha("mensagem sem texto ou sem título");
  volatile size_t tamanho = std::strlen(texto) + std::strlen(titulo);
  (void)tamanho;
  ++mensagens;
  if (tipo == plataforma::MB_PERGUNTA)
    return operador() % 5 < 2 ? plataforma::ID_SIM : plataforma::ID_NAO;
  return operador() % 8 == 0 ? 0 : plataforma::ID_OK;  // hosts answer anything
}

void Pausa(uint32_t milissegundos) {
  pausasMs += milissegundos;
}

struct ControlePf {
  uint16_t x87 = 0;
  uint32_t sse = 0;
};

ControlePf LeControle() {
  ControlePf c;
#if defined(__i386__) || defined(__x86_64__)
  __asm__ volatile("fnstcw %0" : "=m"(c.x87));
  __asm__ volatile("stmxcsr %0" : "=m"(c.sse));
#endif
  return c;
}

void DefineControle(ControlePf c) {
#if defined(__i386__) || defined(__x86_64__)
  __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(c.x87));
  __asm__ volatile("ldmxcsr %0" : : "m"(c.sse));
#else
  (void)c;
#endif
}

// A Delphi host runs with invalid operation, division by zero and overflow
// unmasked: a library that computes without masking them kills it.
constexpr ControlePf CONTROLE_DELPHI{0x1332, 0x1900};

// ---- Calling every export ------------------------------------------------------------

template <class T>
T Gera(Argumentos &a, const std::string &parametro);
template <>
const char *Gera(Argumentos &a, const std::string &parametro) {
  return a.Texto(parametro);
}
template <>
tarvic_Flag Gera(Argumentos &a, const std::string &) {
  return a.Flag();
}
template <>
int32_t Gera(Argumentos &a, const std::string &) {
  return a.Inteiro();
}
template <>
tarvic_Moeda Gera(Argumentos &a, const std::string &) {
  return a.Moeda();
}
template <>
tarvic_DataHora Gera(Argumentos &a, const std::string &) {
  return a.Data();
}
template <>
ecf_TratadorMensagem Gera(Argumentos &a, const std::string &) {
  return a.Tratador();
}

template <class R>
void ConfereResultado(R resultado, const std::string &chamada) {
  if constexpr (std::is_same_v<R, tarvic_Flag>) {
    if (resultado > 1) Falha("flag devolvida fora de 0 e 1 em " + chamada);
  } else if constexpr (std::is_floating_point_v<R>) {
    if (!std::isfinite(resultado)) Falha("resultado não finito em " + chamada);
  }
}

// The host's control words come back as the host left them.
void ConfereControle(ControlePf posto, ControlePf nosso, const std::string &chamada) {
  const ControlePf depois = LeControle();
  DefineControle(nosso);
  if (depois.x87 != posto.x87 || depois.sse != posto.sse)
    Falha("controle de ponto flutuante do hospedeiro alterado por " + chamada);
}

template <class R, class... A, size_t... I>
void Chama(R (*funcao)(A...), const char *lista, Argumentos &a, std::string &chamada,
           std::index_sequence<I...>) {
  const std::vector<std::string> nomes = tarvic::NomesDaLista(lista);
  // Braces: the arguments are made from left to right.
  std::tuple<A...> argumentos{Gera<A>(a, nomes.at(I))...};
  chamada += "(";
  ((chamada += (I ? ", " : "") + Descreve(std::get<I>(argumentos))), ...);
  chamada += ")";
  Registra(chamada);

  const ControlePf nosso = LeControle();
  const ControlePf hospedeiro = a.Inteiro() % 4 == 0 ? CONTROLE_DELPHI : nosso;
  inicioDaChamada = AgoraMs();
  DefineControle(hospedeiro);
  const ControlePf posto = LeControle();  // reserved bits as the processor keeps them
  if constexpr (std::is_void_v<R>) {
    std::apply(funcao, argumentos);
    ConfereControle(posto, nosso, chamada);
  } else {
    const R resultado = std::apply(funcao, argumentos);
    ConfereControle(posto, nosso, chamada);
    ConfereResultado(resultado, chamada);
  }
  inicioDaChamada = 0;
}

template <class R, class... A>
void Chama(R (*funcao)(A...), const char *lista, Argumentos &a, std::string &chamada) {
  Chama(funcao, lista, a, chamada, std::index_sequence_for<A...>{});
}

struct Exportacao {
  const char *nome;
  void (*chama)(Argumentos &, std::string &);
};

const Exportacao EXPORTACOES[] = {
#define EXPORTACAO(resultado, nome, parametros, argumentos) \
  {#nome, [](Argumentos &a, std::string &chamada) { Chama(&::nome, #argumentos, a, chamada); }},
#include "exportacoes.inc"
#undef EXPORTACAO
};
constexpr size_t N_EXPORTACOES = sizeof EXPORTACOES / sizeof EXPORTACOES[0];

// ---- Rounds ----------------------------------------------------------------------------

const char *const FABRICANTES[] = {"BEMATECH",  "SWEDA", "DARUMA", "ELGIN",
                                   "DATAREGIS", "URANO", "EPSON"};
constexpr uint64_t N_FABRICANTES = 7;

enum class Inicio { Normal, Desligada, VersaoRecusada, SemPastaBase, Desconhecido, Hostil };
const char *const INICIOS[] = {"normal",
                               "impressora desligada",
                               "versão recusada",
                               "pasta base ausente",
                               "fabricante desconhecido",
                               "respostas hostis"};

struct Rodada {
  uint64_t numero = 0;
  uint64_t semente = 0;
  const char *fabricante = "";
  Inicio inicio = Inicio::Normal;
  FonteAleatoria::Modo modo = FonteAleatoria::Modo::Aleatorio;
};

uint64_t Mistura(uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// Every manufacturer in turn, a normal start-up on even passes and a failed
// one on odd passes (the unknown name never starts normally).
Rodada Planeja(uint64_t sementeVarredura, uint64_t numero) {
  Gerador g(Mistura(sementeVarredura ^ Mistura(numero)));
  Rodada r;
  r.numero = numero;
  r.semente = g();
  const uint64_t f = numero % N_FABRICANTES;
  r.fabricante = FABRICANTES[f];
  if (f == N_FABRICANTES - 1)
    r.inicio = Inicio::Desconhecido;
  else if ((numero / N_FABRICANTES) % 2 == 1)
    r.inicio = static_cast<Inicio>(1 + g() % 5);
  r.modo = g() % 4 == 0 ? FonteAleatoria::Modo::Fixo : FonteAleatoria::Modo::Aleatorio;
  return r;
}

void ReiniciaBiblioteca() {
  ZeraEstadoDaBiblioteca();
  ecf_SetTratadorMensagem(Tratador);
  plataforma::DefinePausa(Pausa);
}

// The folder of the round, empty but for the base folder.
void PreparaPasta(const std::string &pasta) {
  std::error_code erro;
  for (const auto &entrada : std::filesystem::directory_iterator(pasta, erro))
    std::filesystem::remove_all(entrada.path(), erro);
  std::filesystem::create_directory(pasta + "base", erro);
}

void Inicia(const Rodada &r, FonteAleatoria &fonte, const std::string &pasta) {
  ReiniciaBiblioteca();
  fonte.Reinicia(r.semente, FonteAleatoria::Modo::Benigno);
  fonte.textosBenignos["Bematech_FI_VersaoDll"] = "5,10,6,8";
  std::string nome = r.fabricante, base = pasta + "base";
  switch (r.inicio) {
    case Inicio::Desligada:
      for (const char *f : {"Bematech_FI_VerificaImpressoraLigada", "ECF_VerificaImpressoraLigada",
                            "Daruma_FI_VerificaImpressoraLigada", "Elgin_VerificaImpressoraLigada"})
        fonte.codigosForcados[f] = -6;
      fonte.codigosForcados["DLLG2_IniciaDriver"] = -3;
      break;
    case Inicio::VersaoRecusada:
      fonte.textosBenignos["Bematech_FI_VersaoDll"] = "5,10,6,7";
      break;
    case Inicio::SemPastaBase:
      base = pasta + "nao/existe";
      break;
    case Inicio::Desconhecido:
      nome = "EPSON";
      break;
    case Inicio::Hostil:
      fonte.MudaModo(FonteAleatoria::Modo::Aleatorio);
      break;
    case Inicio::Normal:
      break;
  }
  const std::string chamada =
      "ecf_Inicializa(" + Descreve(nome.c_str()) + ", \"COM1\", " + Descreve(base.c_str()) + ")";
  Registra(chamada);
  inicioDaChamada = AgoraMs();
  const bool iniciou = ecf_Inicializa(nome.c_str(), "COM1", base.c_str()) != 0;
  inicioDaChamada = 0;
  if (r.inicio == Inicio::Normal && !iniciou) Falha("início normal recusado: " + chamada);
  fonte.codigosForcados.clear();
  fonte.textosBenignos.clear();
  fonte.MudaModo(r.modo);
}

struct Totais {
  uint64_t chamadas = 0;
  uint64_t rodadas = 0;
};

void Roda(uint64_t sementeVarredura, const Rodada &r, size_t porRodada, const std::string &pasta,
          FonteAleatoria &fonte, Totais &totais) {
  {
    std::lock_guard<std::mutex> trava(jornal.trava);
    jornal.chamadas.clear();
    jornal.rodada =
        "semente " + std::to_string(sementeVarredura) + ", rodada " + std::to_string(r.numero) +
        ": " + r.fabricante + ", início " + INICIOS[static_cast<int>(r.inicio)] + ", respostas " +
        (r.modo == FonteAleatoria::Modo::Fixo ? "fixas por função" : "aleatórias") +
        "\nrepetir: varredura_hostil --semente " + std::to_string(sementeVarredura) + " --rodada " +
        std::to_string(r.numero) + " --por-rodada " + std::to_string(porRodada);
  }
  PreparaPasta(pasta);
  operador.seed(r.semente ^ 0x5151);
  Inicia(r, fonte, pasta);
  Gerador g(r.semente ^ 0xA5A5);
  Argumentos argumentos(g, pasta, Tratador);
  argumentos.fabricante = r.fabricante;
  for (size_t i = 0; i < porRodada; ++i) {
    const Exportacao &e = EXPORTACOES[g() % N_EXPORTACOES];
    argumentos.Esquece();
    argumentos.exportacao = e.nome;
    std::string chamada = e.nome;
    e.chama(argumentos, chamada);
  }
  totais.chamadas += porRodada + 1;
  ++totais.rodadas;
}

// ---- Watchdog, sanitizer reports -------------------------------------------------------

std::atomic<bool> terminou{false};

void Vigia(int64_t limiteMs) {
  while (!terminou) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const int64_t inicio = inicioDaChamada;
    if (inicio != 0 && AgoraMs() - inicio > limiteMs)
      Falha("a última chamada não voltou em " + std::to_string(limiteMs / 1000) +
            " s (laço sem fim ou espera fora de plataforma::Pausa)");
  }
}

void AoMorrer() {
  ImprimeJornal("o sanitizador parou a varredura", false);
  RemovePasta();
}

struct Opcoes {
  uint64_t semente = 20150317;
  uint64_t chamadas = 100000;
  int64_t rodada = -1;
  size_t porRodada = 300;
  int64_t limiteSegundos = 20;
};

bool LeOpcoes(int argc, char **argv, Opcoes &o) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string nome = argv[i], valor = argv[i + 1];
    if (nome == "--semente")
      o.semente = valor == "aleatoria"
                      ? std::random_device{}() * 4294967296ULL + std::random_device{}()
                      : std::stoull(valor);
    else if (nome == "--chamadas")
      o.chamadas = std::stoull(valor);
    else if (nome == "--rodada")
      o.rodada = std::stoll(valor);
    else if (nome == "--por-rodada")
      o.porRodada = std::stoull(valor);
    else if (nome == "--limite")
      o.limiteSegundos = std::stoll(valor);
    else
      return false;
  }
  return argc % 2 == 1 && o.porRodada > 0;
}

std::string PastaDaVarredura() {
  std::string modelo = (std::filesystem::temp_directory_path() / "tarvic-hostil-XXXXXX").string();
  if (!mkdtemp(modelo.data())) {
    std::perror("mkdtemp");
    std::exit(2);
  }
  return modelo + "/";
}

}  // namespace

int main(int argc, char **argv) {
  Opcoes o;
  if (!LeOpcoes(argc, argv, o)) {
    std::fprintf(stderr,
                 "uso: %s [--semente N|aleatoria] [--chamadas N] [--rodada N] [--por-rodada N] "
                 "[--limite SEGUNDOS]\n",
                 argv[0]);
    return 2;
  }
#ifdef TEM_SANITIZADOR
  __sanitizer_set_death_callback(AoMorrer);
#endif
  std::set_terminate([] { Falha("exceção fora da fronteira (std::terminate)"); });
  const std::string pasta = pastaDaVarredura = PastaDaVarredura();
  // Relative names and the DLLG2 log land in the sweep's folder.
  if (chdir(pasta.c_str()) != 0 || setenv("TEMP", pasta.c_str(), 1) != 0) return 2;
  std::thread vigia(Vigia, o.limiteSegundos * 1000);

  FonteAleatoria fonte;
  DefineFonte(&fonte);
  Totais totais;
  const auto inicio = Relogio::now();
  if (o.rodada >= 0) {
    Roda(o.semente, Planeja(o.semente, static_cast<uint64_t>(o.rodada)), o.porRodada, pasta, fonte,
         totais);
  } else {
    for (uint64_t n = 0; totais.chamadas < o.chamadas; ++n) {
      const uint64_t antes = totais.chamadas / 1000000;
      Roda(o.semente, Planeja(o.semente, n), o.porRodada, pasta, fonte, totais);
      if (totais.chamadas / 1000000 != antes)
        std::fprintf(stderr, "varredura hostil: %llu chamadas, semente %llu\n",
                     static_cast<unsigned long long>(totais.chamadas),
                     static_cast<unsigned long long>(o.semente));
    }
  }
  const double segundos = std::chrono::duration<double>(Relogio::now() - inicio).count();
  terminou = true;
  vigia.join();
  RemovePasta();
  std::printf(
      "varredura hostil: %llu chamadas às %zu exportações em %llu rodadas, %llu chamadas aos "
      "drivers, %llu mensagens, %llu ms de pausas pedidas, semente %llu, %.1f s: nenhuma falha\n",
      static_cast<unsigned long long>(totais.chamadas), N_EXPORTACOES,
      static_cast<unsigned long long>(totais.rodadas),
      static_cast<unsigned long long>(ChamadasDriver()), static_cast<unsigned long long>(mensagens),
      static_cast<unsigned long long>(pausasMs), static_cast<unsigned long long>(o.semente),
      segundos);
  return 0;
}
