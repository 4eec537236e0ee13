// The call trace: when a shop turns it on (TARVIC_LOG, or [Log] Arquivo in
// tarvic.ini beside the library), every export entered and left, every driver
// call, every operator message and every question to the system (among them
// the return-file writes) becomes one line of a file, precise enough for
// tarvic-replay to play the session again. A trace that cannot be written is
// silently dropped: it never changes what an export does.
//
// A line: date and time with milliseconds, thread, kind, fields separated by
// blanks. Kinds: '#' start of a process or of a file, '>' export entered,
// '<' export left, 'D' driver call, 'M' operator message, 'S' question to the
// system. Texts are quoted, in UTF-8 from Windows-1252; \" \\ \n \r \t and
// \xHH escape, \* is an asterisk, a bare * a masked digit of a CPF or CNPJ.
// Numbers are decimal (dates with the digits that read back exactly); a null
// text is null; a driver's output buffer is [N] in the call and its content,
// without the trailing blanks, after "->".
//
// All of it runs inside the export lock.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "plataforma.h"
#include "tarvic.h"

namespace traco {

enum Estado { DESLIGADO, A_CONFIGURAR, LIGADO };
extern int estado;

// One line without its time stamp and thread.
struct Evento {
  char tipo = 0;
  std::vector<std::string> campos;  // as written: texts quoted and escaped
  std::string duracao;              // '<' only: the export's time, "12ms"
};
std::string Linha(const Evento &evento);  // the fields as written after the kind

// An argument of an export or driver call, before it is written.
struct Argumento {
  enum Tipo { TEXTO, NULO, NUMERO, BUFFER, ENDERECO } tipo = NULO;
  std::string valor;      // TEXTO: the bytes; NUMERO: the number written; BUFFER: what it held
  size_t capacidade = 0;  // BUFFER: its characters
};
Argumento Arg(const char *texto);
Argumento Arg(int32_t numero);
Argumento Arg(unsigned char flag);
Argumento Arg(int64_t numero);
Argumento Arg(double numero);
Argumento Arg(long double numero);
Argumento Arg(ecf_TratadorMensagem tratador);
struct Vazio {};
Argumento Arg(Vazio);  // the result of an export without one: -

// Reads the configuration when still to be done; true when the trace is on.
bool Ligado();
// Turns the trace on into `arquivo` (off when empty), whatever the
// configuration says; for the tests.
void Grava(const std::string &arquivo);
// Size at which the file is renamed to ".1" and started again (10 MB).
void DefineLimite(uint64_t bytes);

// ---- The export boundary --------------------------------------------------------

uint64_t EntraExportacao(const char *nome, const std::vector<Argumento> &argumentos);
void SaiExportacao(const char *nome, const Argumento &resultado, uint64_t inicio);

// ---- The message layer ------------------------------------------------------------

void Mensagem(const std::string &texto, const std::string &titulo, uint32_t tipo, int botao);

// ---- Driver calls -------------------------------------------------------------------

struct Driver {
  const char *biblioteca;
  const char *nome;
  const char *parametros;  // "(a, b, c)", as in funcoes.inc
};
void RegistraDriver(const Driver &driver, const std::vector<Argumento> &argumentos, int32_t codigo,
                    const std::vector<Argumento> &saidas);

inline Argumento Antes(const char *texto) {
  return Arg(texto);
}
inline Argumento Antes(int32_t numero) {
  return Arg(numero);
}
Argumento Antes(char *buffer);
inline Argumento Antes(int32_t *) {
  Argumento a;
  a.tipo = Argumento::ENDERECO;
  return a;
}

template <class T>
void Depois(T, const Argumento &, std::vector<Argumento> &) {}
void Depois(char *buffer, const Argumento &antes, std::vector<Argumento> &saidas);
void Depois(int32_t *numero, const Argumento &antes, std::vector<Argumento> &saidas);

template <class Funcao, class Tupla, size_t... I>
int32_t DriverRegistrado(const Driver &driver, Funcao funcao, Tupla &argumentos,
                         std::index_sequence<I...>) {
  const std::vector<Argumento> antes{Antes(std::get<I>(argumentos))...};
  const int32_t codigo = std::apply(funcao, argumentos);
  std::vector<Argumento> saidas;
  (Depois(std::get<I>(argumentos), antes[I], saidas), ...);
  RegistraDriver(driver, antes, codigo, saidas);
  return codigo;
}

// The one way the library calls a driver function.
template <class Funcao, class... A>
int32_t ChamaDriver(const Driver &driver, Funcao funcao, std::tuple<A...> argumentos) {
  if (estado != LIGADO) return std::apply(funcao, argumentos);
  return DriverRegistrado(driver, funcao, argumentos, std::index_sequence_for<A...>{});
}

// ---- The replay ---------------------------------------------------------------------

// Takes the library's events in place of the file, and answers the questions
// to the system in its place.
struct Reprodutor {
  void (*Recebe)(const Evento &evento);
  bool (*Responde)(const char *funcao, const std::vector<plataforma::Valor> &argumentos,
                   std::vector<plataforma::Valor> &resposta);
};
void Reproduz(const Reprodutor *reprodutor);  // null: trace off

// Writing texts: quoted, escaped, with the masked digits as a bare *.
std::string Cita(const std::string &bytes, const std::vector<bool> &mascara);
// Unicode of the characters 0x80 to 0x9F of Windows-1252; 0 where it has none.
extern const uint16_t CP1252_80_9F[32];
// Masks of a text: the CPFs and CNPJs the host gave (`inteiro`: every digit but
// the last two).
std::vector<bool> Mascara(const std::string &bytes, bool inteiro);

}  // namespace traco
