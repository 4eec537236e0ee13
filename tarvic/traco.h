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
// The header of a program run and of a renewed file: "# tarvic inicio" or
// "# tarvic continuacao", the path separator, the library's version and the
// program's file name, each quoted. Numbers are decimal (dates with the
// digits that read back exactly); a null text is null; a driver's output
// buffer is [N] in the call and its content, without the trailing blanks,
// after "->".
//
// All of it runs inside the export lock.
#pragma once

#include <array>
#include <cstdint>
#include <string>
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

// A driver argument as the trace sees it.
struct Parametro {
  enum Tipo { TEXTO, BUFFER, INTEIRO, ENDERECO } tipo;
  const void *endereco;  // the text, the buffer or the integer written by the driver
  int32_t inteiro;
};
inline Parametro Param(const char *texto) {
  return {Parametro::TEXTO, texto, 0};
}
inline Parametro Param(char *buffer) {
  return {Parametro::BUFFER, buffer, 0};
}
inline Parametro Param(int32_t inteiro) {
  return {Parametro::INTEIRO, nullptr, inteiro};
}
inline Parametro Param(int32_t *inteiro) {
  return {Parametro::ENDERECO, inteiro, 0};
}
template <class... A>
std::array<Parametro, sizeof...(A)> Parametros(A... argumentos) {
  return {Param(argumentos)...};
}

// The driver call `chama(contexto)` between noting its arguments and noting
// what the driver answered and left in its buffers and integers.
int32_t DriverTracado(const Driver &driver, const Parametro *parametros, size_t quantos,
                      int32_t (*chama)(void *contexto), void *contexto);

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
