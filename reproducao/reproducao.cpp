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
// (TRACE.1 before TRACE when the trace was renamed at its size limit). Each
// run of the program that wrote the trace is replayed in a process of its
// own, from a fresh library.
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "drivers/drivers.h"
#include "plataforma.h"
#include "tarvic.h"
#include "traco.h"

namespace {

struct Registro {
  std::string arquivo;
  size_t numero = 0;
  std::string texto;  // the line after its time stamp and thread
  traco::Evento evento;
};

std::vector<Registro> registros;
size_t cursor = 0, fim = 0;

// ---- Reading the trace ---------------------------------------------------------------

// One field as written: a quoted text, [N] with an optional quoted text, or a
// bare word.
bool LeCampo(const std::string &linha, size_t &i, std::string &campo) {
  const size_t inicio = i;
  auto cita = [&]() {
    for (++i; i < linha.size() && linha[i] != '"'; ++i)
      if (linha[i] == '\\') ++i;
    if (i >= linha.size()) return false;
    ++i;
    return true;
  };
  if (linha[i] == '"') {
    if (!cita()) return false;
  } else if (linha[i] == '[') {
    i = linha.find(']', i);
    if (i == std::string::npos) return false;
    ++i;
    if (i < linha.size() && linha[i] == '"' && !cita()) return false;
  } else {
    while (i < linha.size() && linha[i] != ' ') ++i;
  }
  campo = linha.substr(inicio, i - inicio);
  return i >= linha.size() || linha[i] == ' ';
}

bool LeLinha(std::string linha, Registro &r) {
  if (!linha.empty() && linha.back() == '\r') linha.pop_back();
  // time stamp, thread, kind
  size_t i = 0;
  for (int n = 0; n < 2; ++n) {
    i = linha.find(' ', i);
    if (i == std::string::npos) return false;
    ++i;
  }
  r.texto = linha.substr(i);
  if (i + 1 > linha.size() || (i + 1 < linha.size() && linha[i + 1] != ' ')) return false;
  r.evento.tipo = linha[i];
  if (!std::strchr("#><DMS", r.evento.tipo)) return false;
  i += 2;
  while (i < linha.size()) {
    std::string campo;
    if (!LeCampo(linha, i, campo)) return false;
    r.evento.campos.push_back(campo);
    ++i;
  }
  if (r.evento.tipo == '<' && !r.evento.campos.empty()) {
    r.evento.duracao = r.evento.campos.back();
    r.evento.campos.pop_back();
  }
  return true;
}

bool LeArquivo(const std::string &arquivo) {
  std::ifstream entrada(arquivo, std::ios::binary);
  if (!entrada) {
    std::fprintf(stderr, "tarvic-replay: cannot read %s\n", arquivo.c_str());
    return false;
  }
  std::string linha;
  for (size_t numero = 1; std::getline(entrada, linha); ++numero) {
    if (linha.empty() || linha == "\r") continue;
    Registro r;
    r.arquivo = arquivo;
    r.numero = numero;
    if (!LeLinha(linha, r)) {
      std::fprintf(stderr, "tarvic-replay: %s:%zu: line not understood\n", arquivo.c_str(), numero);
      return false;
    }
    registros.push_back(r);
  }
  return true;
}

// A quoted text back to its Windows-1252 bytes; a masked digit becomes 1.
bool Decodifica(const std::string &campo, std::string &bytes) {
  bytes.clear();
  if (campo.size() < 2 || campo.front() != '"' || campo.back() != '"') return false;
  for (size_t i = 1; i + 1 < campo.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(campo[i]);
    if (c == '*') {
      bytes += '1';
    } else if (c == '\\') {
      const char e = campo[++i];
      if (e == 'n')
        bytes += '\n';
      else if (e == 'r')
        bytes += '\r';
      else if (e == 't')
        bytes += '\t';
      else if (e == 'x') {
        bytes += static_cast<char>(std::strtol(campo.substr(i + 1, 2).c_str(), nullptr, 16));
        i += 2;
      } else
        bytes += e;
    } else if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else {
      unsigned u = 0;
      if ((c & 0xE0) == 0xC0 && i + 1 < campo.size()) {
        u = ((c & 0x1F) << 6) | (campo[i + 1] & 0x3F);
        i += 1;
      } else if ((c & 0xF0) == 0xE0 && i + 2 < campo.size()) {
        u = ((c & 0x0F) << 12) | ((campo[i + 1] & 0x3F) << 6) | (campo[i + 2] & 0x3F);
        i += 2;
      } else {
        return false;
      }
      if (u >= 0xA0 && u <= 0xFF) {
        bytes += static_cast<char>(u);
        continue;
      }
      int achado = -1;
      for (int k = 0; k < 32; ++k)
        if (traco::CP1252_80_9F[k] == u) achado = k;
      if (achado < 0) return false;
      bytes += static_cast<char>(0x80 + achado);
    }
  }
  return true;
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
  if (cursor < fim) {
    const Registro &r = registros[cursor];
    std::printf("divergence at %s:%zu\n  trace:   %s\n  library: %s\n", r.arquivo.c_str(), r.numero,
                r.texto.c_str(), biblioteca.c_str());
  } else {
    std::printf(
        "divergence after the end of the trace\n  trace:   (no more lines)\n"
        "  library: %s\n",
        biblioteca.c_str());
  }
  std::fflush(stdout);
  std::_Exit(1);
}

// The next line to play; headers of a file started again at its size limit
// are skipped.
const Registro *Proximo() {
  while (cursor < fim && registros[cursor].evento.tipo == '#' &&
         registros[cursor].evento.campos.size() > 1 &&
         registros[cursor].evento.campos[1] == "continuacao")
    ++cursor;
  return cursor < fim ? &registros[cursor] : nullptr;
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
  ++cursor;
}

// ---- Calling the exports ------------------------------------------------------------

void ReproduzExportacao();

// Exports the host called from inside a message or while the library ran
// its window messages.
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

void ReproduzExportacao() {
  const Registro &r = registros[cursor];
  const std::string nome = r.evento.campos.empty() ? "" : r.evento.campos[0];
  const auto e = Exportacoes().find(nome);
  if (e == Exportacoes().end()) Diverge("(no export " + nome + " in this library)");
  const std::vector<std::string> campos(r.evento.campos.begin() + 1, r.evento.campos.end());
  Argumentos argumentos{&campos, {}};
  const size_t esperados = e->second(argumentos);
  if (esperados != SIZE_MAX)
    Diverge("(" + nome + " takes " + std::to_string(esperados) + " arguments)");
}

void SemPausa(uint32_t) {}

int ReproduzSessao(size_t inicio, size_t final) {
  cursor = inicio;
  fim = final;
  plataforma::DefinePausa(SemPausa);
  traco::Reproduz(&REPRODUTOR);
  while (const Registro *r = Proximo()) {
    if (r->evento.tipo == '#') {
      // The system the trace was made on: its path separator.
      std::string separador;
      if (r->evento.campos.size() > 2 && Decodifica(r->evento.campos[2], separador) &&
          separador.size() == 1)
        plataforma::Separador = separador[0];
      ++cursor;
    } else if (r->evento.tipo == '>') {
      ReproduzExportacao();
    } else {
      Diverge("(no export running)");
    }
  }
  traco::Reproduz(nullptr);
  return 0;
}

bool Inicio(const Registro &r) {
  return r.evento.tipo == '#' && r.evento.campos.size() > 1 && r.evento.campos[1] == "inicio";
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

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tarvic-replay TRACE [TRACE...]\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i)
    if (!LeArquivo(argv[i])) return 2;
  // Files the library writes by itself land in a folder of the replay's own.
  std::error_code erro;
  const std::filesystem::path rascunho =
      std::filesystem::temp_directory_path(erro) / ("tarvic-replay-" + std::to_string(getpid()));
  std::filesystem::create_directories(rascunho, erro);
  std::filesystem::current_path(rascunho, erro);
  int codigo = 0;
  for (size_t inicio = 0; inicio < registros.size() && codigo == 0;) {
    size_t final = inicio + 1;
    while (final < registros.size() && !Inicio(registros[final])) ++final;
    std::fflush(stdout);
    const pid_t filho = fork();
    if (filho == 0) std::_Exit(ReproduzSessao(inicio, final));
    int estado = 0;
    if (filho < 0 || waitpid(filho, &estado, 0) < 0 || !WIFEXITED(estado))
      codigo = 2;
    else
      codigo = WEXITSTATUS(estado);
    inicio = final;
  }
  std::filesystem::remove_all(rascunho, erro);
  if (codigo == 0) std::printf("no divergence\n");
  return codigo;
}
