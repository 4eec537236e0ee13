// Model of a simulated fiscal printer (ECF), the same for the six
// manufacturers. The stand-in drivers (BEMAFI32, CONVECF, DARUMA32, ELGIN,
// DLLG2, ...) call these methods and turn each Resultado into their
// manufacturer's codes.
//
// Every method that changes the printer records the change before it
// returns (estado_gravado.h tells how); an operation that leaves no document
// open is flushed to the disk. No method throws: an unexpected failure
// becomes Resultado::ErroInterno.
// Units: see tipos.h (cents, thousandths, hundredths of a percent).
#pragma once

#include "arquivos.h"
#include "estado_gravado.h"
#include "relogio.h"
#include "tipos.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarvic {
namespace simulador {

// Environment variables read by the simulator.
extern const char* const VariavelEstado;  // "TARVIC_SIM_ESTADO": state file (or its folder)
extern const char* const VariavelFalhas;  // "TARVIC_SIM_FALHAS": faults at start-up
// "TARVIC_SIM_FABRICANTE": the manufacturer the DLLG2 stand-in runs.
extern const char* const VariavelFabricante;

// The manufacturer the DLLG2 stand-in, which serves both DATAREGIS and
// URANO, runs: VariavelFabricante in capitals, DATAREGIS without it.
std::string fabricanteDoDllg2();

class ImpressoraFiscal {
 public:
  // fabricante: "BEMATECH", "SWEDA", ... (names the default state file and the brand).
  // An empty caminhoEstado: TARVIC_SIM_ESTADO (a file, or the folder of the
  // default file) or, without it, "tarvic_sim_<MANUFACTURER>.json" in the
  // user's own folder (arquivo::PastaDoUsuario).
  // aplicarFalhasDoAmbiente: reads TARVIC_SIM_FALHAS at start-up.
  explicit ImpressoraFiscal(const std::string& fabricante,
                            const std::string& caminhoEstado = std::string(),
                            bool aplicarFalhasDoAmbiente = true);

  ImpressoraFiscal(const ImpressoraFiscal&) = delete;
  ImpressoraFiscal& operator=(const ImpressoraFiscal&) = delete;

  // ---- files ----
  const std::string& caminhoEstado() const { return caminhoEstado_; }
  std::string caminhoBobina() const { return caminhoBobina(caminhoEstado_); }
  std::string caminhoControle() const { return caminhoControle(caminhoEstado_); }
  std::string caminhoJornal() const { return caminhoJornal(caminhoEstado_); }
  std::string caminhoRegistro() const { return caminhoRegistro(caminhoEstado_); }
  std::string caminhoMemoriaFiscal() const { return caminhoMemoriaFiscal(caminhoEstado_); }
  // The same for any printer, from outside it (the monitor's panel reads
  // them): the state file a printer of `fabricante` takes when given none,
  // and the files named after a state file without its extension.
  static std::string caminhoEstadoPadrao(const std::string& fabricante);
  static std::string caminhoBobina(const std::string& estado);         // <base>.bobina.txt
  static std::string caminhoControle(const std::string& estado);       // <base>.falhas
  static std::string caminhoJornal(const std::string& estado);         // <base>.jornal
  static std::string caminhoRegistro(const std::string& estado);       // <base>.registro
  static std::string caminhoMemoriaFiscal(const std::string& estado);  // <base>.memoria_fiscal
  // Back to the factory (memory cleared), recorded.
  void reinicia();

  // ---- injected faults and physical conditions ----
  // Fault text: items separated by ';' or line breaks:
  //   "desligada" | "ligada" | "pouco_papel" | "sem_papel" | "papel" |
  //   "deslocamento=SECONDS" | "FUNCTION_NAME=CODE" (the next use of NAME answers CODE)
  // The control file (caminhoControle) takes the same text; it is read before
  // each operation and deleted once applied, and only when it belongs to the
  // user running the printer. Lines starting with '#' are skipped.
  // False when some item was not understood (the others are applied).
  bool aplicaFalhas(const std::string& texto);
  void injetaCodigo(const std::string& funcao, int codigo);
  // Hands over (and uses up) the code injected for the function, if any.
  std::optional<int> retiraCodigoInjetado(const std::string& funcao);

  // A stand-in driver's call runs between these two: inside one, the control
  // file is read once, before the call's first use of the printer (or not
  // at all, for a call that does not reach the printer).
  void entraNaChamada(bool leControle = true) {
    dentroDeChamada_ = true;
    controleLido_ = !leControle;
  }
  void saiDaChamada() { dentroDeChamada_ = false; }

  void liga();
  void desliga();
  bool ligada();  // asks the sensor (reads the control file)
  void defineSensorPapel(SensorPapel s);
  SensorPapel sensorPapel();  // asks the sensor (reads the control file)
  // Ok, Desligada or SemPapel: what a printing command would meet now.
  Resultado verificaImpressora();

  // ---- clock ----
  DataHora agora() const { return relogio_.agora(); }
  void defineDeslocamentoRelogio(int64_t segundos);
  int64_t deslocamentoRelogio() const { return relogio_.deslocamento(); }
  // Tests only, not recorded.
  void fixaAgora(const DataHora& instante) { relogio_.fixa(instante); }
  void liberaAgora() { relogio_.libera(); }

  // ---- programming ----
  // Tax rates only while the day has no movement (right after the Z reduction).
  Resultado programaAliquota(TipoTributo tipo, int64_t percentualCentesimos, int* indice = nullptr);
  // A name already programmed: Ok, not duplicated.
  Resultado programaFormaPagamento(const std::string& nome, bool permiteVinculado,
                                   int* indice = nullptr);
  // indice 0: the first free one. An index taken by another name: JaProgramado.
  Resultado nomeiaTotalizadorNaoFiscal(int indice, const std::string& nome, bool saida = false);
  Resultado nomeiaRelatorioGerencial(int indice, const std::string& nome);
  void defineArredondamento(bool arredonda);  // false: truncates (factory setting)
  bool arredonda() const { return m_.arredonda; }
  Resultado alternaHorarioVerao();
  bool horarioVerao() const { return m_.horarioVerao; }
  void defineIdentificacao(const Identificacao& id);

  // ---- fiscal coupon ----
  Resultado abreCupom(const std::string& documentoConsumidor = std::string(),
                      const std::string& nomeConsumidor = std::string(),
                      const std::string& enderecoConsumidor = std::string());

  struct Item {
    std::string codigo;
    std::string descricao;
    // "F", "I", "N" (ICMS), "FS", "IS", "NS" (ISS), "T1800"/"S0500" (a
    // programmed ICMS/ISS rate by its percentage) or "01".."16" (by index).
    std::string aliquota;
    int64_t quantidadeMilesimos = 1000;
    int64_t precoUnitarioMilesimos = 0;
    std::string unidade = "UN";
    Ajuste ajuste;
  };
  // A coupon stays under R$ 9.999.999,99: an item or surcharge beyond is ParametroInvalido.
  Resultado vendeItem(const Item& item, int* numeroItem = nullptr);
  // Surcharge/discount on an item sold; numeroItem 0 = the last one.
  Resultado ajustaItem(int numeroItem, const Ajuste& ajuste);
  Resultado cancelaItem(int numeroItem);
  Resultado cancelaUltimoItem();
  Resultado iniciaFechamento(const Ajuste& ajusteSubtotal = Ajuste());
  // Payment of the open fiscal coupon or non-fiscal receipt.
  Resultado efetuaPagamento(const std::string& forma, int64_t valorCentavos,
                            const std::string& observacao = std::string());
  // Closes the paid fiscal coupon; the promotional message may have several lines.
  Resultado encerraCupom(const std::string& mensagem = std::string());
  // Cancels the open fiscal coupon, or the open non-fiscal receipt, or (no
  // document open) the last fiscal coupon, if it was the day's last document.
  Resultado cancelaCupom();

  // ---- non-fiscal documents ----
  Resultado abreComprovanteNaoFiscal();
  Resultado registraItemNaoFiscal(const std::string& totalizador, int64_t valorCentavos);
  Resultado encerraComprovanteNaoFiscal(const std::string& mensagem = std::string());
  // A whole receipt: opens, registers, pays and closes (undoes it all when a step fails).
  Resultado recebimentoNaoFiscal(const std::string& totalizador, int64_t valorCentavos,
                                 const std::string& forma);
  Resultado suprimento(int64_t valorCentavos, const std::string& forma = "Dinheiro");
  Resultado sangria(int64_t valorCentavos);

  // Credit/debit receipt linked to a payment of the last coupon.
  // valor 0: what is left of the payment; cooCupom 0: the last coupon.
  Resultado abreComprovanteVinculado(const std::string& forma, int64_t valorCentavos = 0,
                                     int cooCupom = 0);
  Resultado imprimeComprovanteVinculado(const std::string& texto);
  Resultado fechaComprovanteVinculado();

  // indice 0 opens report 1.
  Resultado abreRelatorioGerencial(int indice);
  Resultado abreRelatorioGerencialPorNome(const std::string& nome);
  Resultado imprimeRelatorioGerencial(const std::string& texto);
  Resultado fechaRelatorioGerencial();

  // ---- the day ----
  Resultado leituraX();
  Resultado reducaoZ();

  // ---- fiscal memory reading ----
  // A range of CRZ or of movement days (dates: only the day counts).
  struct FaixaMemoriaFiscal {
    bool porData = false;
    int crzInicial = 0, crzFinal = 0;
    DataHora dataInicial, dataFinal;
    bool completa = false;  // simplified: without each reduction's partial totals
  };
  // The reading's text, as it goes to the tape or to a file; empty when the
  // range is invalid (start after end, negative CRZ, invalid date).
  std::vector<std::string> textoLeituraMemoriaFiscal(const FaixaMemoriaFiscal& faixa) const;
  // Prints the reading: a non-fiscal document ("LMF") with COO and GNF of its own.
  Resultado leituraMemoriaFiscal(const FaixaMemoriaFiscal& faixa);

  // ---- cash drawer ----
  Resultado abreGaveta();
  void fechaGaveta() { m_.gavetaAberta = false; }
  bool gavetaAberta() const { return m_.gavetaAberta; }
  int aberturasGaveta() const { return m_.aberturasGaveta; }

  // ---- queries (print nothing, change nothing) ----
  const Identificacao& identificacao() const { return m_.identificacao; }
  const Contadores& contadores() const { return m_.contadores; }
  int64_t grandeTotal() const { return m_.grandeTotal; }
  TipoDocumento documentoAberto() const { return m_.documento; }
  FaseCupom faseCupom() const;  // of the open fiscal coupon or non-fiscal receipt
  const Cupom& cupomAtual() const { return m_.cupom; }
  const Cupom& ultimoCupom() const { return m_.ultimoCupom; }
  const ComprovanteNaoFiscal& naoFiscalAtual() const { return m_.naoFiscal; }
  const ComprovanteVinculado& vinculadoAtual() const { return m_.vinculado; }
  int relatorioAberto() const { return m_.relatorioAberto; }
  int64_t subtotal() const;  // of the open document; 0 without one
  int64_t totalPago() const;
  int64_t troco() const;

  bool diaAberto() const { return m_.diaAberto; }
  DataHora dataMovimento() const { return m_.dataMovimento; }  // date only; with the day open
  bool reducaoZPendente() const;
  bool diaBloqueado() const;
  DataHora dataHoraUltimoDocumento() const { return m_.ultimoDocumento; }
  const TotaisDia& totaisDia() const { return m_.totais; }
  int64_t vendaBrutaDia() const { return m_.grandeTotal - m_.totais.grandeTotalInicial; }
  int64_t vendaLiquidaDia() const;

  const std::vector<Aliquota>& aliquotas() const { return m_.aliquotas; }
  const std::vector<FormaPagamento>& formasPagamento() const { return m_.formas; }
  const std::vector<TotalizadorNaoFiscal>& totalizadoresNaoFiscais() const {
    return m_.totalizadores;
  }
  const std::vector<RelatorioGerencial>& relatoriosGerenciais() const { return m_.relatorios; }
  const std::vector<DadosReducao>& memoriaFiscal() const { return memoriaFiscal_; }
  const DadosReducao* ultimaReducao() const {
    return memoriaFiscal_.empty() ? nullptr : &memoriaFiscal_.back();
  }
  // The electronic journal: every document printed, in order, as the
  // journal file holds it (read from the disk at each call).
  std::vector<DocumentoImpresso> jornal() const;
  const std::map<std::string, std::vector<int>>& codigosInjetados() const {
    return m_.codigosInjetados;
  }
  // The whole small state, as recorded.
  const EstadoGravado& estadoGravado() const { return m_; }

  // The day's partial totals: programmed tax rates and fixed situations.
  std::vector<TotalParcial> totaisParciais() const;
  // A tax code as vendeItem understands it ("01T1800", "F", "IS"...).
  // Empty when it is not programmed or malformed.
  std::string resolveAliquota(const std::string& codigo) const;
  const FormaPagamento* procuraForma(const std::string& nome) const;
  const TotalizadorNaoFiscal* procuraTotalizador(const std::string& nome) const;

  // Records what changed and flushes it (the operations already record);
  // false when it could not.
  bool grava();

 private:
  template <typename Corpo>
  Resultado opera(Corpo corpo);
  void estadoDeFabrica();
  void aplicaArquivoControle();
  void mudaDeslocamento(int64_t segundos);

  // persistencia.cpp
  void carrega();
  void abreArquivos();
  void novaImpressora(const char* sufixoDosAntigos);
  void migraVersao1(EstadoLido& lido);
  void reparaArquivo(arquivo::Anexo& anexo, int64_t& esperado, ArquivoCrescente qual,
                     const std::vector<Acrescimo>& acrescimos);
  bool registra(bool sincronizar);
  bool compacta();
  void descartaPendentes();

  Resultado podeImprimir() const;
  // Ready, with no document open (a reading, the reduction).
  Resultado podeImprimirSemDocumento() const;
  // Ready, within the open fiscal coupon.
  Resultado podeImprimirNoCupom() const;
  // Ready for a new document on an open or openable day.
  Resultado podeAbrirDocumento() const;
  void abreDiaSeFechado();
  void iniciaDocumento(const std::string& tipo);
  void imprime(const std::string& linha);
  void imprime(const std::vector<std::string>& linhas);
  void imprimeCabecalho(const std::string& titulo, bool comCcf);
  void imprimeRodape();
  int64_t arredondaDivisao(int64_t numerador, int64_t denominador) const;
  int64_t valorDoAjuste(const Ajuste& a, int64_t base) const;
  std::string rotuloAliquota(const std::string& codigo) const;
  void somaTotalParcial(const std::string& codigo, int64_t valor);
  Aliquota* aliquotaPorCodigo(const std::string& codigo);
  FormaPagamento* formaPorNome(const std::string& nome);
  void retiraDoDia(const Cupom& c);
  void encerraDocumentoNaoFiscal();
  Resultado recebimentoNaoFiscalCompleto(const std::string& totalizador, int64_t valorCentavos,
                                         const std::string& forma);
  std::vector<std::string> linhasTotaisDia() const;
  TotalParcial* totalFixo(const std::string& codigo);

  std::string caminhoEstado_;
  bool avisouGravacao_ = false;
  bool avisouControle_ = false;
  bool dentroDeChamada_ = false;
  bool controleLido_ = false;
  Relogio relogio_;
  bool ligada_ = true;
  SensorPapel papel_ = SensorPapel::Presente;

  // The printer's memory.
  EstadoGravado m_;
  std::vector<DadosReducao> memoriaFiscal_;

  // What the operation in progress prints to the journal (JSON lines), the
  // tape (UTF-8) and the fiscal memory, and what the document in progress
  // printed: written to those files at the end of the document.
  std::string novoJornal_, novaBobina_, novaMemoria_;
  std::string jornalPendente_, bobinaPendente_, memoriaPendente_;
  bool compactarAoRegistrar_ = false;
  arquivo::Anexo registro_, arquivoJornal_, arquivoBobina_, arquivoMemoria_;
  int64_t geracao_ = 0;
  int64_t registros_ = 0;
  int64_t bytesRegistro_ = 0;
  bool registroPorSincronizar_ = false;
  // The sections as last recorded, and the ones being compared with them.
  std::vector<Secao> secoesGravadas_, secoesNovas_;
  MemoriaDeSecoes memoriaDeSecoes_;
};

// The process's simulated printer for a manufacturer, made at first use
// (the stand-in drivers of one process share it).
ImpressoraFiscal& impressoraDoProcesso(const std::string& fabricante);
// Forgets the process's printers: the next impressoraDoProcesso makes another,
// reading TARVIC_SIM_ESTADO again (for whoever changes state files, such as tests).
void descartaImpressorasDoProcesso();

}  // namespace simulador
}  // namespace tarvic
