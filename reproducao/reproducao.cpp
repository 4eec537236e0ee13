// tarvic-replay TRACE [TRACE...]: plays a call trace back against the
// library. Each export of the trace is called in order with its arguments;
// every driver call is answered with the code, buffers and integers the trace
// recorded, every operator question with the recorded button, and every
// question to the system (environment, folders, files, INI writes, file
// appends, clock) with the recorded answer, never by this machine's system,
// so a trace made at a shop on Windows plays the same here. The library's
// own events are compared with the trace's, line by line; the first one that
// differs is reported with both sides and the line of the trace, and the
// exit code is 1. Several files are read as one trace, in the order given
// (TRACE.1 before TRACE when the trace was renamed at its size limit).
//
// The whole trace is checked first (leitura.h): what is not a trace is
// refused with its file, line and what was expected there, and exit code 2,
// before anything is played. Then each run of the program that wrote the
// trace is replayed in a process of its own, from a fresh library, reading
// the files again as it goes: memory does not grow with the trace's length.
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "drivers/drivers.h"
#include "leitura.h"
#include "plataforma.h"
#include "tarvic.h"
#include "traco.h"

using reproducao::Decodifica;
using reproducao::Leitor;
using reproducao::Posicao;
using reproducao::Registro;

namespace {

// ---- Progress of a long run, on standard error -------------------------------------

struct Progresso {
  std::chrono::steady_clock::time_point inicio = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point ultimo = inicio;
  double intervalo = 2;  // seconds; the first report after as long
  unsigned contagem = 0;
} progresso;

void MostraProgresso(const char *fase, const Leitor &leitor, const Registro &r) {
  if (++progresso.contagem % 4096 != 0) return;
  const auto agora = std::chrono::steady_clock::now();
  if (std::chrono::duration<double>(agora - progresso.ultimo).count() < progresso.intervalo) return;
  progresso.ultimo = agora;
  const double mb = 1024.0 * 1024.0;
  std::fprintf(stderr, "tarvic-replay: %s %s:%zu (%.0f of %.0f MB)\n", fase,
               leitor.Nome(r.arquivo).c_str(), r.numero, leitor.BytesLidos() / mb,
               leitor.BytesTotais() / mb);
}

// ---- The run being replayed, read as it is played ------------------------------------

std::vector<std::string> arquivos, caminhos;  // as given; absolute
std::unique_ptr<Leitor> leitor;
Registro atual;
bool haAtual = false;

[[noreturn]] void NaoLe() {
  std::fprintf(stderr, "tarvic-replay: %s\n", leitor->Erro().c_str());
  std::_Exit(2);
}

Posicao posicaoAtual;      // where `atual` starts
bool outraSessao = false;  // the run ended at the next run's header

// The next line of the run; the next run's header ends it.
void Avanca() {
  posicaoAtual = leitor->Onde();
  haAtual = leitor->Proximo(atual);
  if (!haAtual && !leitor->Erro().empty()) NaoLe();
  if (haAtual) MostraProgresso("replaying", *leitor, atual);
  outraSessao = haAtual && reproducao::Inicio(atual);
  if (outraSessao) haAtual = false;
}

// The next line to play; headers of a file started again at its size limit
// are skipped.
const Registro *Proximo() {
  while (haAtual && reproducao::Continuacao(atual)) Avanca();
  return haAtual ? &atual : nullptr;
}

// ---- Comparing ---------------------------------------------------------------------

size_t Escape(const std::string &t, size_t i) {
  return t[i] != '\\' ? 1 : (i + 1 < t.size() && t[i + 1] == 'x' ? 4 : 2);
}

// Fields as written; a masked digit on either side stands for any digit.
bool CamposIguais(const std::string &a, const std::string &b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const size_t na = Escape(a, i), nb = Escape(b, j);
    const bool digitoA = a[i] == '*' || (a[i] >= '0' && a[i] <= '9');
    const bool digitoB = b[j] == '*' || (b[j] >= '0' && b[j] <= '9');
    if ((a[i] == '*' || b[j] == '*') && na == 1 && nb == 1) {
      if (!digitoA || !digitoB) return false;
    } else if (a.compare(i, na, b, j, nb) != 0) {
      return false;
    }
    i += na;
    j += nb;
  }
  return i == a.size() && j == b.size();
}

bool Iguais(const traco::Evento &gravado, const traco::Evento &visto) {
  if (gravado.tipo != visto.tipo || gravado.campos.size() != visto.campos.size()) return false;
  for (size_t i = 0; i < gravado.campos.size(); ++i)
    if (!CamposIguais(gravado.campos[i], visto.campos[i])) return false;
  return true;
}

[[noreturn]] void Diverge(const std::string &biblioteca) {
  if (Proximo()) {
    std::printf("divergence at %s:%zu\n  trace:   %s\n  library: %s\n",
                leitor->Nome(atual.arquivo).c_str(), atual.numero, atual.texto.c_str(),
                biblioteca.c_str());
  } else if (outraSessao) {
    std::printf(
        "divergence after the end of the run\n  trace:   (the next run begins at %s:%zu)\n"
        "  library: %s\n",
        leitor->Nome(atual.arquivo).c_str(), atual.numero, biblioteca.c_str());
  } else {
    std::printf(
        "divergence after the end of the trace\n  trace:   (no more lines)\n"
        "  library: %s\n",
        biblioteca.c_str());
  }
  std::fflush(stdout);
  std::_Exit(1);
}

bool Proxima(char tipo, const char *nome, size_t campo) {
  const Registro *r = Proximo();
  return r && r->evento.tipo == tipo && r->evento.campos.size() > campo &&
         r->evento.campos[campo] == nome;
}

// What comes after "->" in the line.
std::vector<std::string> Resposta(const traco::Evento &e) {
  for (size_t i = 0; i < e.campos.size(); ++i)
    if (e.campos[i] == "->")
      return std::vector<std::string>(e.campos.begin() + i + 1, e.campos.end());
  return {};
}

void Recebe(const traco::Evento &evento) {
  const Registro *r = Proximo();
  const std::string linha = std::string(1, evento.tipo) + " " + traco::Linha(evento);
  if (!r || !Iguais(r->evento, evento)) Diverge(linha);
  Avanca();
}

// ---- Calling the exports ------------------------------------------------------------

void ReproduzExportacao();

// Exports the host called from inside a message or while the library ran
// its window messages. The trace was checked to nest them only a few deep.
void ReproduzAninhadas() {
  while (const Registro *r = Proximo()) {
    if (r->evento.tipo != '>') return;
    ReproduzExportacao();
  }
}

int RespondeMensagem() {
  ReproduzAninhadas();
  if (Proximo() && Proximo()->evento.tipo == 'M') {
    const std::vector<std::string> r = Resposta(Proximo()->evento);
    if (!r.empty()) return std::atoi(r[0].c_str());
  }
  return 1;  // the library's own message event then shows the divergence
}

int TARVIC_API Tratador(const char *, const char *, uint32_t) {
  return RespondeMensagem();
}

plataforma::Valor ValorDe(const std::string &campo) {
  std::string bytes;
  if (Decodifica(campo, bytes)) return {true, bytes};
  return {false, campo};
}

bool RespondeSistema(const char *funcao, const std::vector<plataforma::Valor> &,
                     std::vector<plataforma::Valor> &resposta) {
  resposta.clear();
  if (std::strcmp(funcao, "CaixaMensagem") == 0) {
    resposta.push_back({false, std::to_string(RespondeMensagem())});
    return true;
  }
  if (std::strcmp(funcao, "ProcessaMensagens") == 0) ReproduzAninhadas();
  // Whatever the trace says; on a mismatch an empty answer, and the event
  // that follows shows the divergence. The system is never asked.
  if (Proxima('S', funcao, 0))
    for (const std::string &campo : Resposta(Proximo()->evento)) resposta.push_back(ValorDe(campo));
  return true;
}

const traco::Reprodutor REPRODUTOR = {Recebe, RespondeSistema};

// Arguments of the export being called, alive until it returns.
struct Argumentos {
  const std::vector<std::string> *campos;
  std::deque<std::string> textos;
};

template <class T>
T Converte(Argumentos &a, size_t i);

template <>
const char *Converte<const char *>(Argumentos &a, size_t i) {
  const std::string &campo = (*a.campos)[i];
  if (campo == "null") return nullptr;
  a.textos.emplace_back();
  Decodifica(campo, a.textos.back());
  return a.textos.back().c_str();
}

template <>
int32_t Converte<int32_t>(Argumentos &a, size_t i) {
  return static_cast<int32_t>(std::strtol((*a.campos)[i].c_str(), nullptr, 10));
}

template <>
tarvic_Flag Converte<tarvic_Flag>(Argumentos &a, size_t i) {
  return static_cast<tarvic_Flag>(std::strtol((*a.campos)[i].c_str(), nullptr, 10));
}

template <>
tarvic_Moeda Converte<tarvic_Moeda>(Argumentos &a, size_t i) {
  return std::strtoll((*a.campos)[i].c_str(), nullptr, 10);
}

template <>
tarvic_DataHora Converte<tarvic_DataHora>(Argumentos &a, size_t i) {
  const std::string &t = (*a.campos)[i];
  if (t.compare(0, 4, "nan:") == 0) {
    const uint64_t bits = std::strtoull(t.c_str() + 4, nullptr, 16);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  return std::strtod(t.c_str(), nullptr);
}

template <>
ecf_TratadorMensagem Converte<ecf_TratadorMensagem>(Argumentos &a, size_t i) {
  return (*a.campos)[i] == "null" ? nullptr : Tratador;
}

template <class R, class... P, size_t... I>
void Chama(R(TARVIC_API *exportacao)(P...), Argumentos &a, std::index_sequence<I...>) {
  exportacao(Converte<P>(a, I)...);
}

template <class R, class... P>
size_t Chama(R(TARVIC_API *exportacao)(P...), Argumentos &a) {
  if (a.campos->size() != sizeof...(P)) return sizeof...(P);
  Chama(exportacao, a, std::make_index_sequence<sizeof...(P)>{});
  return SIZE_MAX;
}

// The dispatch table, from the one list of the exports.
const std::map<std::string, size_t (*)(Argumentos &)> &Exportacoes() {
  static const std::map<std::string, size_t (*)(Argumentos &)> tabela = {
#define EXPORTACAO(resultado, nome, parametros, argumentos) \
  {#nome, [](Argumentos &a) { return Chama(&::nome, a); }},
#include "exportacoes.inc"
#undef EXPORTACAO
  };
  return tabela;
}

// The export of the current line, whose arguments are copied before the
// call: the library's own '>' event takes that line. The trace was checked to
// name an export with the arguments it takes.
void ReproduzExportacao() {
  const std::vector<std::string> campos(atual.evento.campos.begin() + 1, atual.evento.campos.end());
  const std::string nome = atual.evento.campos[0];
  const auto e = Exportacoes().find(nome);
  if (e == Exportacoes().end()) Diverge("(no export " + nome + " in this library)");
  Argumentos argumentos{&campos, {}};
  const size_t esperados = e->second(argumentos);
  if (esperados != SIZE_MAX)
    Diverge("(" + nome + " takes " + std::to_string(esperados) + " arguments)");
}

void SemPausa(uint32_t) {}

// The system the trace was made on: its path separator, from a header.
void Cabecalho(const Registro &r) {
  std::string separador;
  if (r.evento.campos.size() > 2 && Decodifica(r.evento.campos[2], separador) &&
      separador.size() == 1)
    plataforma::Separador = separador[0];
}

// What the header of a run says of the program that wrote the trace.
std::string Programa(const Registro &r) {
  std::string versao, programa;
  const auto &c = r.evento.campos;
  if (c.size() < 5 || !Decodifica(c[3], versao) || !Decodifica(c[4], programa))
    return "program and library version not recorded (a trace of an earlier tarvic)";
  return "run of " + programa + " with tarvic " + versao;
}

// Plays the lines of one run after its header; true when it had an export.
bool ReproduzLinhas(const Registro &cabecalho) {
  bool tocou = false;
  while (const Registro *r = Proximo()) {
    if (r->evento.tipo == '#') {
      Cabecalho(*r);
      Avanca();
    } else if (r->evento.tipo == '>') {
      if (!tocou)
        std::fprintf(stderr, "tarvic-replay: %s:%zu: %s\n", leitor->Nome(cabecalho.arquivo).c_str(),
                     cabecalho.numero, Programa(cabecalho).c_str());
      tocou = true;
      ReproduzExportacao();
    } else {
      Diverge("(no export running)");
    }
  }
  return tocou;
}

// Plays, in this process, the runs from the header at `inicio`: a run
// without an export leaves the library as it was and the next one follows;
// a run with one is played to its end. `proxima` gets where the next run
// begins; false when the trace ends there.
bool ReproduzSessao(const Posicao &inicio, Posicao &proxima) {
  leitor = std::make_unique<Leitor>(arquivos, caminhos);
  if (!leitor->VaiPara(inicio) || !leitor->Proximo(atual)) NaoLe();
  plataforma::DefinePausa(SemPausa);
  traco::Reproduz(&REPRODUTOR);
  bool tocou = false;
  while (!tocou) {
    const Registro cabecalho = atual;
    Cabecalho(cabecalho);
    Avanca();
    tocou = ReproduzLinhas(cabecalho);
    if (!outraSessao) break;
    haAtual = true;  // the next run's header
  }
  traco::Reproduz(nullptr);
  proxima = posicaoAtual;
  return outraSessao;
}

}  // namespace

// The replay's drivers, from the one list of driver functions: each answers
// from the trace's next line.
namespace {

template <class T>
void Preenche(T, std::vector<std::string>::const_iterator &,
              std::vector<std::string>::const_iterator) {}

void Preenche(char *buffer, std::vector<std::string>::const_iterator &saida,
              std::vector<std::string>::const_iterator fimSaidas) {
  if (!buffer || saida == fimSaidas) return;
  std::string bytes;
  Decodifica(*saida++, bytes);
  const size_t capacidade = std::strlen(buffer);
  std::memcpy(buffer, bytes.data(), std::min(capacidade, bytes.size()));
}

void Preenche(int32_t *numero, std::vector<std::string>::const_iterator &saida,
              std::vector<std::string>::const_iterator fimSaidas) {
  if (saida == fimSaidas) return;
  const std::string &t = *saida++;
  if (numero && t != "null") *numero = static_cast<int32_t>(std::strtol(t.c_str(), nullptr, 10));
}

template <class... A>
int32_t RespondeDriver(const char *nome, A... argumentos) {
  if (!Proxima('D', nome, 1)) return 0;  // the library's driver event shows the divergence
  const std::vector<std::string> resposta = Resposta(Proximo()->evento);
  if (resposta.empty()) return 0;
  auto saida = resposta.cbegin() + 1;
  (Preenche(argumentos, saida, resposta.cend()), ...);
  (void)saida;
  return static_cast<int32_t>(std::strtol(resposta[0].c_str(), nullptr, 10));
}

}  // namespace

#define DRIVER(biblioteca, nome, pilha, parametros, argumentos)              \
  extern "C" int32_t TARVIC_DRIVER nome parametros {                         \
    return std::apply([](auto... a) { return RespondeDriver(#nome, a...); }, \
                      std::make_tuple argumentos);                           \
  }
#include "drivers/funcoes.inc"
#undef DRIVER

// ---- The program: checking, then one process per run ---------------------------------

namespace {

volatile sig_atomic_t sinalRecebido = 0;
volatile pid_t filhoAtual = 0;

void AoSinal(int sinal) {
  sinalRecebido = sinal;
  if (filhoAtual > 0) kill(filhoAtual, SIGKILL);
}

const int SINAIS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void TrataSinais(void (*tratador)(int)) {
  struct sigaction acao {};
  acao.sa_handler = tratador;
  sigemptyset(&acao.sa_mask);
  for (int s : SINAIS) sigaction(s, &acao, nullptr);
}

const char *const USO =
    "usage: tarvic-replay [--progress SECONDS] TRACE [TRACE...]\n"
    "Plays a call trace of tarvic back against this library: every export of the\n"
    "trace is called again, every driver call, operator message and question to\n"
    "the system answered as the trace recorded it, and what the library does is\n"
    "compared with the trace line by line. Give a trace renamed at its size limit\n"
    "oldest first: TRACE.1 TRACE.\n"
    "  --progress SECONDS  report progress on standard error every SECONDS once a\n"
    "                      run has taken as long (default 2; 0 reports often)\n"
    "Exit status: 0 no divergence; 1 the library did something else than the\n"
    "trace (the first such line is shown); 2 not a trace (file:line and what was\n"
    "expected there), a file that cannot be read, or a wrong command line; 3 the\n"
    "library ended abnormally while replaying.\n";

bool Interrompido() {
  return sinalRecebido != 0;
}

// Where the next run begins, from the child that played the one before.
struct Seguinte {
  int ha = 0;
  Posicao posicao;
};

// The replay of runs from `inicio` in a child process: its exit code, or 3
// when it ended abnormally.
int ReproduzFilho(const Posicao &inicio, Seguinte &seguinte) {
  int canal[2];
  if (pipe(canal) != 0) {
    std::fprintf(stderr, "tarvic-replay: cannot start the replay: %s\n", std::strerror(errno));
    return 2;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t filho = fork();
  if (filho == 0) {
    TrataSinais(SIG_DFL);
    close(canal[0]);
    Seguinte s;
    s.ha = ReproduzSessao(inicio, s.posicao);
    const bool escrito = write(canal[1], &s, sizeof s) == static_cast<ssize_t>(sizeof s);
    std::_Exit(escrito ? 0 : 2);
  }
  close(canal[1]);
  if (filho < 0) {
    close(canal[0]);
    std::fprintf(stderr, "tarvic-replay: cannot start the replay: %s\n", std::strerror(errno));
    return 2;
  }
  filhoAtual = filho;
  int estado = 0;
  while (waitpid(filho, &estado, 0) < 0)
    if (errno != EINTR || Interrompido()) kill(filho, SIGKILL);
  filhoAtual = 0;
  const bool lido =
      read(canal[0], &seguinte, sizeof seguinte) == static_cast<ssize_t>(sizeof seguinte);
  close(canal[0]);
  if (Interrompido()) return 2;
  if (WIFEXITED(estado)) return WEXITSTATUS(estado) == 0 && !lido ? 2 : WEXITSTATUS(estado);
  std::fprintf(stderr, "tarvic-replay: the replay from %s:%zu ended by signal %d (%s)\n",
               arquivos[inicio.arquivo].c_str(), inicio.numero, WTERMSIG(estado),
               strsignal(WTERMSIG(estado)));
  return 3;
}

// Every run, one after the other, until one does not replay.
int ReproduzSessoes() {
  Seguinte seguinte;
  do {
    const Posicao inicio = seguinte.posicao;
    seguinte.ha = 0;
    const int codigo = ReproduzFilho(inicio, seguinte);
    if (codigo != 0) return codigo;
  } while (seguinte.ha);
  return 0;
}

// The whole trace, checked before anything is played.
bool Confere() {
  Leitor l(arquivos, caminhos);
  reproducao::Verificacao v(l);
  Registro r;
  while (l.Proximo(r)) {
    if (!v.Confere(r)) {
      std::fprintf(stderr, "tarvic-replay: %s\n", v.Erro().c_str());
      return false;
    }
    MostraProgresso("checking", l, r);
    if (Interrompido()) return false;
  }
  const std::string &erro = !l.Erro().empty() ? l.Erro() : v.Fim() ? std::string() : v.Erro();
  if (!erro.empty()) {
    std::fprintf(stderr, "tarvic-replay: %s\n", erro.c_str());
    return false;
  }
  if (!v.Aviso().empty()) std::fprintf(stderr, "tarvic-replay: note: %s\n", v.Aviso().c_str());
  return true;
}

int Uso(FILE *saida, int codigo) {
  std::fputs(USO, saida);
  return codigo;
}

bool Opcoes(int argc, char **argv, int &codigo) {
  bool opcoes = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (opcoes && (a == "--help" || a == "-h")) {
      codigo = Uso(stdout, 0);
      return false;
    } else if (opcoes && a == "--progress" && i + 1 < argc) {
      char *fim = nullptr;
      progresso.intervalo = std::strtod(argv[++i], &fim);
      if (*fim != '\0' || !(progresso.intervalo >= 0)) {
        codigo = Uso(stderr, 2);
        return false;
      }
    } else if (opcoes && a == "--") {
      opcoes = false;
    } else if (opcoes && a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "tarvic-replay: unknown option %s\n", a.c_str());
      codigo = Uso(stderr, 2);
      return false;
    } else {
      std::error_code erro;
      arquivos.push_back(a);
      caminhos.push_back(std::filesystem::absolute(a, erro).string());
      if (erro) caminhos.back() = a;
    }
  }
  if (arquivos.empty()) {
    codigo = Uso(stderr, 2);
    return false;
  }
  return true;
}

// Files the library writes by itself land in a folder of the replay's own,
// removed at the end, also when the replay is interrupted.
int ReproduzNoRascunho() {
  std::error_code erro;
  std::string modelo =
      (std::filesystem::temp_directory_path(erro) / "tarvic-replay-XXXXXX").string();
  if (erro || !mkdtemp(modelo.data())) {
    std::fprintf(stderr, "tarvic-replay: cannot make a working folder %s: %s\n", modelo.c_str(),
                 std::strerror(errno));
    return 2;
  }
  std::filesystem::current_path(modelo, erro);
  const int codigo = erro ? 2 : ReproduzSessoes();
  std::filesystem::current_path("/", erro);
  std::filesystem::remove_all(modelo, erro);
  return codigo;
}

}  // namespace

int main(int argc, char **argv) {
  int codigo = 0;
  if (!Opcoes(argc, argv, codigo)) return codigo;
  TrataSinais(AoSinal);
  codigo = Confere() ? ReproduzNoRascunho() : 2;
  if (Interrompido()) {
    TrataSinais(SIG_DFL);
    raise(sinalRecebido);
  }
  if (codigo == 0) std::printf("no divergence\n");
  return codigo;
}
