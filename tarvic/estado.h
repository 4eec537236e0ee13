// The library's process-wide state and the routines every subsystem shares:
// texts, numbers, dates, the return file, the verdict and the operator
// messages.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "tarvic.h"

using Moeda = int64_t;    // ten-thousandths
using DataHora = double;  // days since 30/12/1899

constexpr Moeda UNIDADE_MOEDA = 10000;

enum Fabricantes : int32_t {
  FAB_REJEITADO = -1,
  FAB_DESCONHECIDO = 0,
  BEMATECH = 1,
  SWEDA = 2,
  DARUMA = 3,
  ELGIN = 4,
  DATAREGIS = 5,
  URANO = 6,
};

struct TEstadoEcf {
  int32_t Fabricante = FAB_DESCONHECIDO;
  std::string NomeFabricante;
  std::string PortaEcf;
  std::string PastaTemp;
  std::string PastaSistema;
  std::string PastaRetorno;
  std::string ArquivoRetorno;
  std::string ContextoMensagem;
  bool SemPapel = false;
  bool PoucoPapel = false;
  int32_t ContadorPoucoPapel = 0;
  bool TipoMfd = false;
  bool HorarioVerao = false;
  std::string UF;
  std::string PafMd5;
  std::string NumeroSerie;
  std::string Modelo;
  std::string Marca;
  std::string TipoEcf;
  std::string NumeroUsuario;
  int32_t NumeroCaixa = 0;
  int32_t NumeroCaixaCupom = 0;
  Moeda vIcmCupom = 0;
  Moeda vIssCupom = 0;
  std::string Ie;
  std::string Cnpj;
  std::string CpfCliente;
  bool ConcessaoDF = false;
};

extern TEstadoEcf EstadoEcf;

// Drivers of the FI family answer with a code that is kept at once.
inline int32_t GuardaRetorno(int32_t codigo) {
  ecf_Retorno = codigo;
  return codigo;
}

// Code left in ecf_Retorno when the library itself could not carry an export
// out (a folder or a file it could not make or write): the drivers' "function
// execution error", the one code whose message says no more than what
// happened. The operator is told the details.
constexpr int32_t RETORNO_FALHA_EXECUCAO = -1;

// ---- Errors ----------------------------------------------------------------

// A text that does not convert to a number or a date.
struct ErroConversao : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// A file or folder that cannot be created or written.
struct ErroEntradaSaida : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// Ends an export after the operator has been told; carries no message.
struct AbortoSilencioso {};

// ---- Texts ----------------------------------------------------------------

std::string Texto(const char *texto);  // a null pointer is the empty text
std::string Espacos(int n);
inline std::string SeTexto(bool condicao, const std::string &verdadeiro, const std::string &falso) {
  return condicao ? verdadeiro : falso;
}
std::string Aparar(const std::string &texto);  // drops characters up to blank at both ends
std::string Maiusculas(const std::string &texto);
std::string EntreAspas(const std::string &texto);  // 'texto', inner quotes doubled
// Answer left by a driver in a buffer of blanks: up to its first NUL, trimmed.
std::string LeBuffer(const std::string &buffer);
std::string IncluiSeparador(const std::string &pasta);
// Folder part of a path, up to and with its last separator (a drive's colon
// counts on Windows); empty when there is none.
std::string PastaDoCaminho(const std::string &caminho);

// ---- Numbers ----------------------------------------------------------------

int32_t TextoParaInteiro(const std::string &texto);
Moeda TextoParaValor(const std::string &texto);
// Strict reading of money with the decimal comma (no thousands separators).
Moeda TextoParaMoeda(const std::string &texto);
// Pattern "0.00"-like: at least one integer digit, `casas` decimals, comma.
std::string FormataValor(Moeda valor, int casas);
// Patterns "00", "0000", "000000": at least `digitos` digits, zeros on the left.
std::string FormataInteiro(int64_t valor, int digitos);
// a * b / divisor rounded half away from zero, exact while a * b fits in 64
// bits (always, for the amounts of a sale).
Moeda MultiplicaDivide(Moeda a, Moeda b, Moeda divisor);
// Cents as the drivers count them (digit strings) to money.
Moeda CentavosParaMoeda(int64_t centavos);

// ---- Dates ------------------------------------------------------------------

DataHora CodificaData(int ano, int mes, int dia);
DataHora CodificaHora(int hora, int minuto, int segundo, int milissegundo = 0);
bool DecodificaData(DataHora data, int &ano, int &mes, int &dia);
void DecodificaHora(DataHora data, int &hora, int &minuto, int &segundo);
DataHora Agora();
// "dd/mm/yyyy" (or a two-digit year) to a date; ErroConversao otherwise.
DataHora TextoParaData(const std::string &texto);
// "hh:nn" or "hh:nn:ss" to a time of day; ErroConversao otherwise.
DataHora TextoParaHora(const std::string &texto);
// Patterns of d, dd, m, mm, yy, yyyy, h, hh, n, nn, s, ss; "/" and ":" are
// the date and time separators, anything else is copied.
std::string FormataDataHora(const std::string &padrao, DataHora data);

// ---- Return file ---------------------------------------------------------------

bool GravaRetorno(const std::string &chave, const std::string &valor);
void AcessaIni(const std::string &arquivo, const std::string &secao, const std::string &chave,
               const std::string &valor);

// ---- Verdict and messages ------------------------------------------------------

void Mensagem(const std::string &texto);
[[noreturn]] void MensagemErro(const std::string &texto);
bool Pergunta(const std::string &texto);
// A folder or file the library could not make or write: the failure code goes
// to ecf_Retorno and the operator is told what failed.
void FalhaArquivo(const std::string &texto);
bool VerificaRetorno(bool mostrar);

// ---- Files ----------------------------------------------------------------------

// Deletes a file for as long as it is there; false when it stays (locked,
// read-only), which is given a few tries and never retried without end.
bool ApagaArquivo(const std::string &caminho);
