// What the stand-in drivers share: the caller's buffers, numbers in the
// manufacturers' notations, dates, and the driver of the FI family
// (BEMAFI32, CONVECF, DARUMA32, ELGIN), which turns the model's results into
// return codes, ST1/ST2 status bytes and status messages.
#pragma once

#include "impressora_fiscal.h"

#include <cstdint>
#include <string>

namespace tarvic {
namespace simulador {
namespace substituto {

// ---- buffers and texts from the caller ----

// An input text; null is empty.
std::string Texto(const char* texto);
// How many characters the caller gave: the blanks (or whatever) up to the NUL.
std::size_t Capacidade(const char* buffer);
// Writes the text over the buffer without passing its capacity; with room
// to spare, ends it with a NUL. A null buffer: nothing.
void Escreve(char* buffer, const std::string& texto);
// As Escreve, with the capacity given (a buffer of explicit size, the final
// NUL included).
void EscreveLimitado(char* buffer, int32_t tamanho, const std::string& texto);
void EscreveInteiro(int32_t* destino, int32_t valor);

// ---- numbers ----

// A decimal with a comma or a point ("12,50", "-3", "1.234,56") in fixed point.
bool LeDecimal(const std::string& texto, int casas, int64_t& valor);
// A decimal integer (blanks around it accepted).
bool LeInteiro(const std::string& texto, int64_t& valor);
// A percentage in hundredths: digits alone count hundredths ("1050" =
// 10,50%), with a separator it is the percentage written ("10,5").
bool LeCentesimosDePercentual(const std::string& texto, int64_t& centesimos);
// An amount in cents: digits alone count cents ("001234" = 12,34), with a
// separator it is the amount written.
bool LeCentavosOuValor(const std::string& texto, int64_t& centavos);
std::string Digitos(int64_t valor, int largura);
// "1234,56" (no thousands separator).
std::string Moeda(int64_t centavos);

// ---- dates ----

std::string Ddmmaa(const DataHora& d);
std::string Ddmmaaaa(const DataHora& d);
std::string Hhmmss(const DataHora& d);
std::string DataComBarras(const DataHora& d);      // dd/mm/yyyy
std::string HoraComDoisPontos(const DataHora& d);  // hh:mm:ss

// ---- tax rates ----

// A tax code as the driver receives it ("II", "FF", "NN", "SI", "ISS", "01",
// "1800", "T18,00", "18,00" ...) as the code the model understands. A
// percentage that names no tax looks for ICMS first, then ISS.
std::string AliquotaDoModelo(const ImpressoraFiscal& ecf, const std::string& codigo);
// A percentage in hundredths as an ICMS (or ISS) rate of the model.
std::string AliquotaPorPercentual(const ImpressoraFiscal& ecf, int64_t centesimos, bool iss);

// ---- fixed-size answers ----

// Puts the text at the position (counted from 1) of an answer already of its
// final size; what would pass its end is cut, so the answer never grows.
void Poe(std::string& resposta, std::size_t posicao, const std::string& texto);
// A digit field of the answers: negative values do not fit, they go as 0.
std::string Campo(int64_t valor, int largura);
// The last Z reduction's data in the 1278-character layout of the MFD
// printers (BEMAFI32, CONVECF, ELGIN) and in the 631-character one of the
// older functions; without a reduction, zeros only (the date too: no date).
std::string DadosReducaoMfd(const ImpressoraFiscal& ecf);
std::string DadosReducaoSimples(const ImpressoraFiscal& ecf);
// The 50 non-fiscal totalisers, in index order, separated by ",": the day's
// count (4), the day's total in cents (20), name (19). A free index: a blank
// name.
std::string ListaTotalizadoresNaoFiscais(const ImpressoraFiscal& ecf);
// The name of the index's totaliser; empty when the index is free.
std::string TotalizadorDoIndice(const ImpressoraFiscal& ecf, int64_t indice);
// The day's total of the rate programmed at the index (1..16) and its percentage.
void TotalDaAliquota(const DadosReducao& z, int indice, int64_t& total, int64_t& percentual,
                     char& tipo);
// The total of a fixed situation ("F", "I", "N", "FS", "IS", "NS") in the reduction.
int64_t TotalFixo(const DadosReducao& z, const std::string& codigo);
// Dates of the fiscal memory readings: "dd/mm/yyyy", "dd/mm/yy", "ddmmyyyy", "ddmmyy".
bool LeDataDaLeitura(const std::string& texto, DataHora& data);
// Writes a reading's "serial" output in the state file's folder (replacing
// the file whole, never through a link); returns its path.
std::string GravaSaida(const ImpressoraFiscal& ecf, const std::string& nome,
                       const std::vector<std::string>& linhas);
// When the basic software was recorded: the simulator leaves the factory so.
DataHora GravacaoSoftwareBasico();

// The process's printer, guarded against exceptions at start-up.
ImpressoraFiscal& Impressora(const std::string& fabricante);

// ---- FI family ----

enum class Familia { Bematech, Sweda, Daruma, Elgin };

class DriverFI {
 public:
  DriverFI(const char* fabricante, Familia familia);

  ImpressoraFiscal& ecf();
  Familia familia() const { return familia_; }
  // The port opened again: nothing the driver kept holds any more.
  void Reinicia();

  // Keeps the command's result (for ST2 and the status message) and turns it
  // into the manufacturer's code.
  int32_t Codigo(Resultado r);
  // A command without effect on the model: it only needs the printer on.
  int32_t Aceita();
  // A reading: on, 1; off, -6.
  bool PodeLer(int32_t& codigo);
  // A code injected for the function: the driver answers that code.
  void Injetado(const char* funcao, int32_t codigo);

  // The printer's state and the last command's.
  int32_t RetornoImpressora(int32_t* ack, int32_t* st1, int32_t* st2);
  int32_t FlagsFiscais(int32_t* flags);
  int32_t StatusDocumento(char* buffer, TipoDocumento tipo);
  int32_t MensagemStatus(char* buffer);

  // Coupon commands.
  void UsaUnidade(const char* unidade) { unidade_ = Texto(unidade); }
  void AumentaDescricao(const char* descricao) { descricaoLonga_ = Texto(descricao); }
  int32_t AbreCupom(const char* documento);
  int32_t VendeItem(const char* codigo, const char* descricao, const char* aliquota,
                    const char* quantidade, const char* valor, const Ajuste& ajuste,
                    const std::string& unidade = std::string());
  int32_t AjustaItem(const char* item, const Ajuste& ajuste);
  int32_t CancelaItem(const char* item);
  int32_t CancelaCupom();
  // acrescimoDesconto: "D"/"d" discount, anything else surcharge.
  int32_t IniciaFechamento(const char* acrescimoDesconto, const char* tipo, const char* valor);
  int32_t EfetuaPagamento(const char* forma, const char* valor);
  int32_t TerminaFechamento(const char* mensagem);
  int32_t AcionaGaveta();
  int32_t FechaRelatorio();
  int32_t FechaVinculado();

  // Non-fiscal documents. The totaliser comes by name.
  int32_t Recebimento(const std::string& totalizador, const char* valor, const char* forma);
  // A null or empty method: "Dinheiro".
  int32_t Suprimento(const char* valor, const char* forma);
  int32_t Sangria(const char* valor);
  // Empty amount and COO: what is left of the payment, the last coupon.
  int32_t AbreVinculado(const char* forma, const char* valor, const char* coo);
  int32_t UsaVinculado(const char* texto);
  // Management report by the model's index (1..30).
  int32_t AbreRelatorio(int64_t indice);
  // Text in a report; with no report open, the driver opens the first.
  int32_t ImprimeRelatorio(const char* texto);
  // An index in text, added to `base` for the model's index; an index taken
  // by another name sends the name to the first free one when primeiroLivre.
  int32_t NomeiaRelatorio(const char* indice, const char* nome, int base, bool primeiroLivre);
  int32_t NomeiaTotalizador(int64_t indice, const char* nome);

  // The day.
  int32_t LeituraX();
  int32_t ReducaoZ();
  int32_t ProgramaArredondamento();
  int32_t AlternaHorarioVerao();
  // Fiscal memory reading by dates or by CRZ; complete; an empty file name
  // prints, otherwise the text goes to that file (in the state's folder).
  int32_t LeituraMemoriaFiscal(const char* inicio, const char* fim, bool porData, bool completa,
                               const std::string& arquivo = std::string());

  // Readings into buffers.
  int32_t Le(char* buffer, const std::string& resposta);
  int32_t LeSubtotal(char* buffer);
  int32_t LeGrandeTotal(char* buffer);
  int32_t LeDataHora(char* data, char* hora);
  int32_t LeMarcaModeloTipo(char* marca, char* modelo, char* tipo);

  // Item percentages: digits alone are hundredths (BEMATECH, SWEDA) or the
  // percentage written (DARUMA, ELGIN).
  bool PercentualEmCentesimos() const {
    return familia_ == Familia::Bematech || familia_ == Familia::Sweda;
  }
  // An item adjustment: kind "%" or amount; a positive sign is a surcharge
  // when positivoEhAcrescimo, otherwise a discount. Empty or zero: none.
  bool LeAjuste(const char* tipo, const char* valor, bool positivoEhAcrescimo,
                Ajuste& ajuste) const;

 private:
  std::string fabricante_;
  Familia familia_;
  Resultado ultimo_ = Resultado::Ok;
  std::string mensagemInjetada_;
  std::string unidade_;
  std::string descricaoLonga_;
};

// The same adjustment as a discount (fields that take discounts only, any sign).
Ajuste ComoDesconto(const Ajuste& a);

// Tests: called before every function a stand-in exports runs, with its
// name (a code injected for it is taken after this call).
using ObservadorDeChamadas = void (*)(const char* funcao);
void DefineObservadorDeChamadas(ObservadorDeChamadas observador);
void AntesDaChamada(const char* funcao);

// One call of an exported function to the printer (see entraNaChamada).
class ChamadaAoModelo {
 public:
  explicit ChamadaAoModelo(ImpressoraFiscal& ecf, bool leControle = true) : ecf_(ecf) {
    ecf_.entraNaChamada(leControle);
  }
  ~ChamadaAoModelo() { ecf_.saiDaChamada(); }
  ChamadaAoModelo(const ChamadaAoModelo&) = delete;
  ChamadaAoModelo& operator=(const ChamadaAoModelo&) = delete;

 private:
  ImpressoraFiscal& ecf_;
};

// Runs an exported function: a code injected answers in its place; no
// exception crosses the driver's boundary.
template <class Funcao>
int32_t ChamaFI(DriverFI& driver, const char* nome, Funcao funcao) {
  try {
    AntesDaChamada(nome);
    ChamadaAoModelo chamada(driver.ecf());
    if (std::optional<int> codigo = driver.ecf().retiraCodigoInjetado(nome)) {
      driver.Injetado(nome, *codigo);
      return *codigo;
    }
    return funcao();
  } catch (...) {
    return -1;
  }
}

}  // namespace substituto
}  // namespace simulador
}  // namespace tarvic
