// Types of the simulated fiscal printer's model.
//
// Units (all integers, no floating point):
//   amounts of money ........... cents (int64_t)
//   unit price ................. thousandths of a real (the printer takes 2 or 3 decimals)
//   quantity ................... thousandths (1,000 = 1000)
//   percentages ................ hundredths of a percentage point (18,00% = 1800)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvic {
namespace simulador {

// The result of every operation of the printer. Each stand-in driver turns
// it into its manufacturer's codes.
enum class Resultado {
  Ok = 0,
  Desligada,               // the printer does not answer
  SemPapel,                // paper sensor: the roll ran out
  CupomNaoAberto,          // a coupon operation without an open fiscal coupon
  CupomJaAberto,           // opening with a fiscal coupon already open
  DocumentoAberto,         // another document (non-fiscal, report, linked) open
  DocumentoNaoAberto,      // closing or using a document that is not open
  ComandoForaDeSequencia,  // e.g. selling after the closing started
  SemItens,                // totalling a coupon without valid items
  ItemInexistente,
  ItemJaCancelado,
  ItemJaAjustado,  // the item already has an increase or discount
  AliquotaNaoProgramada,
  FormaPagamentoNaoProgramada,
  TotalizadorNaoProgramado,
  RelatorioNaoProgramado,
  PagamentoInsuficiente,  // ending before the payment covers the total
  PagamentoJaCobreTotal,  // paying again once the total is covered
  ValorMaiorQueTotal,     // a discount that takes the total to zero or below
  NadaACancelar,          // no open coupon and no last coupon that can be cancelled
  VinculadoInvalido,      // a linked receipt without a payment to back it
  DiaBloqueado,           // Z reduction done today: blocked until 23:59:59
  ReducaoZPendente,       // the movement day was left behind
  DiaComMovimento,        // programming accepted only before the day's first document
  JaProgramado,           // index taken by another name
  CapacidadeEsgotada,     // the printer's table is full
  ParametroInvalido,
  ErroInterno  // an unexpected failure inside the simulator
};

const char* descricaoResultado(Resultado r);

enum class SensorPapel { Presente, Pouco, Sem };

enum class TipoDocumento {
  Nenhum,
  CupomFiscal,
  NaoFiscal,  // non-fiscal receipt (receipt, cash supply, withdrawal)
  RelatorioGerencial,
  ComprovanteVinculado  // credit or debit receipt
};

// Phases of the open fiscal coupon and non-fiscal receipt.
enum class FaseCupom {
  Aberto,       // open, no item
  Vendendo,     // items registered
  Totalizando,  // closing started (subtotal increase or discount applied)
  Pagando,      // payment started, not covering the total
  Pago          // the payment covers the total: it may end
};

enum class TipoAjuste {
  Nenhum,
  AcrescimoValor,
  AcrescimoPercentual,
  DescontoValor,
  DescontoPercentual
};

// Increase or discount: an amount in cents or a percentage in hundredths.
struct Ajuste {
  TipoAjuste tipo = TipoAjuste::Nenhum;
  int64_t valor = 0;

  static Ajuste nenhum() { return Ajuste(); }
  static Ajuste acrescimoValor(int64_t centavos) {
    return Ajuste{TipoAjuste::AcrescimoValor, centavos};
  }
  static Ajuste acrescimoPercentual(int64_t centesimos) {
    return Ajuste{TipoAjuste::AcrescimoPercentual, centesimos};
  }
  static Ajuste descontoValor(int64_t centavos) {
    return Ajuste{TipoAjuste::DescontoValor, centavos};
  }
  static Ajuste descontoPercentual(int64_t centesimos) {
    return Ajuste{TipoAjuste::DescontoPercentual, centesimos};
  }
};

// Civil date and time of the printer's clock (no time zone: what the clock shows).
struct DataHora {
  int ano = 0, mes = 0, dia = 0, hora = 0, minuto = 0, segundo = 0;

  bool valida() const;
  int64_t diaCivil() const;  // days since 01/01/1970
  int64_t segundos() const;  // seconds since 01/01/1970 00:00:00
  static DataHora deSegundos(int64_t s);
  DataHora soData() const { return DataHora{ano, mes, dia, 0, 0, 0}; }
  std::string texto() const;      // "dd/mm/aaaa hh:mm:ss"
  std::string textoData() const;  // "dd/mm/aaaa"
  bool operator==(const DataHora& o) const { return segundos() == o.segundos(); }
  bool operator!=(const DataHora& o) const { return !(*this == o); }
  bool operator<(const DataHora& o) const { return segundos() < o.segundos(); }
};

struct Identificacao {
  std::string fabricante;  // the name given to the constructor, in upper case
  std::string marca;
  std::string modelo = "SIMULADOR MFD";
  std::string tipo = "ECF-IF";
  bool mfd = true;          // keeps the electronic journal (MFD)
  std::string numeroSerie;  // 20 characters
  int numeroUsuario = 1;
  int numeroCaixa = 1;
  int numeroLoja = 1;
  std::string versaoFirmware = "01.00.00";
  std::string razaoSocial = "LOJA SIMULADA LTDA";
  std::string endereco = "RUA DAS FLORES, 100 - CENTRO";
  std::string cidade = "BELO HORIZONTE - MG";
  std::string cnpj = "11222333000181";
  std::string ie = "0620011220044";
  std::string im;
};

enum class TipoTributo { Icms, Iss };

struct Aliquota {
  int indice = 0;  // 1..16
  TipoTributo tipo = TipoTributo::Icms;
  int64_t percentual = 0;  // hundredths: 18,00% = 1800
  int64_t totalDia = 0;    // the day's net partial total, cents
};

// Totals of the fixed tax situations (F, I, N of ICMS; FS, IS, NS of ISS).
struct TotalParcial {
  // "01T1800", "05S0500", "F", "I", "N", "FS", "IS", "NS", a method's name etc.
  std::string codigo;
  int64_t total = 0;
};

struct FormaPagamento {
  int indice = 0;  // 1..20
  std::string nome;
  bool permiteVinculado = false;
  int64_t totalDia = 0;  // received in the day (coupons and non-fiscal receipts)
};

struct TotalizadorNaoFiscal {
  int indice = 0;  // 1..50
  std::string nome;
  bool saida = false;  // cash going out (withdrawal): wants no payment
  int64_t totalDia = 0;
  int contadorDia = 0;
};

struct RelatorioGerencial {
  int indice = 0;  // 1..30
  std::string nome;
  int contadorDia = 0;
};

struct Contadores {
  int coo = 0;  // operation order counter (every document)
  int ccf = 0;  // fiscal coupons
  int gnf = 0;  // non-fiscal operations (CNF, RG, CDC, X reading)
  int grg = 0;  // management reports
  int cdc = 0;  // credit or debit receipts
  int crz = 0;  // Z reductions
  int cro = 1;  // operation restarts
  int cfc = 0;  // cancelled fiscal coupons
  int cnf = 0;  // non-fiscal receipts
};

struct ItemCupom {
  int numero = 0;  // 1.. in the order of sale
  std::string codigo;
  std::string descricao;
  std::string unidade;
  std::string aliquota;  // canonical code: "01T1800", "F", "IS" ...
  bool iss = false;
  int64_t quantidadeMilesimos = 0;
  int64_t precoUnitarioMilesimos = 0;
  int64_t bruto = 0;  // quantity x price, cents
  int64_t acrescimo = 0;
  int64_t desconto = 0;
  int64_t rateioSubtotal = 0;  // share of the subtotal's increase (+) or discount (-)
  bool cancelado = false;

  int64_t liquidoSemRateio() const { return bruto + acrescimo - desconto; }
  int64_t liquido() const { return cancelado ? 0 : liquidoSemRateio() + rateioSubtotal; }
};

struct PagamentoCupom {
  std::string forma;  // the name as programmed
  int64_t valor = 0;
  std::string observacao;
  int64_t vinculadoUsado = 0;  // already used in linked receipts
};

struct Cupom {
  int coo = 0;
  int ccf = 0;
  DataHora abertura;
  std::string consumidorDocumento, consumidorNome, consumidorEndereco;
  std::vector<ItemCupom> itens;
  int64_t acrescimoSubtotal = 0;
  int64_t descontoSubtotal = 0;
  std::vector<PagamentoCupom> pagamentos;
  FaseCupom fase = FaseCupom::Aberto;
  bool cancelado = false;

  int64_t subtotal() const;  // valid items, without the subtotal adjustment
  int64_t total() const { return subtotal() + acrescimoSubtotal - descontoSubtotal; }
  int64_t pago() const;
  int64_t troco() const { return pago() > total() ? pago() - total() : 0; }
  int itensValidos() const;
};

struct ItemNaoFiscal {
  int indiceTotalizador = 0;
  std::string totalizador;
  int64_t valor = 0;
  bool saida = false;
};

struct ComprovanteNaoFiscal {
  int coo = 0;
  std::vector<ItemNaoFiscal> itens;
  std::vector<PagamentoCupom> pagamentos;
  FaseCupom fase = FaseCupom::Aberto;

  int64_t total() const;
  int64_t totalEntradas() const;  // what must be paid
  int64_t pago() const;
};

struct ComprovanteVinculado {
  int coo = 0;
  int cooCupom = 0;
  std::string forma;
  int64_t valor = 0;
};

// Accumulators of the movement day, zeroed by the Z reduction.
struct TotaisDia {
  int64_t grandeTotalInicial = 0;
  int64_t cancelamentosIcms = 0, cancelamentosIss = 0;
  int64_t descontosIcms = 0, descontosIss = 0;
  int64_t acrescimosIcms = 0, acrescimosIss = 0;
  int64_t troco = 0;
  int64_t sangrias = 0, suprimentos = 0;
  // F, I, N, FS, IS, NS
  std::vector<TotalParcial> fixos;
};

// Data of a Z reduction, kept in the fiscal memory.
struct DadosReducao {
  int crz = 0;
  int coo = 0;  // the reduction's own COO
  int cro = 0;
  DataHora dataMovimento;  // the movement day the reduction closed
  DataHora dataHoraEmissao;
  int64_t grandeTotal = 0;  // GT at the end of the reduction
  int64_t vendaBruta = 0;
  int64_t vendaLiquida = 0;
  int64_t cancelamentosIcms = 0, cancelamentosIss = 0;
  int64_t descontosIcms = 0, descontosIss = 0;
  int64_t acrescimosIcms = 0, acrescimosIss = 0;
  std::vector<TotalParcial> totaisParciais;  // by tax rate (only those with a total or programmed)
  std::vector<TotalParcial> formasPagamento;
  std::vector<TotalParcial> naoFiscais;
  int ccf = 0, gnf = 0, grg = 0, cdc = 0, cfc = 0, cnf = 0;
};

// A printed document: what the tape received, kept in the journal.
struct DocumentoImpresso {
  int coo = 0;
  std::string tipo;  // "CF", "CNF", "RG", "CDC", "LX", "RZ", "CCF"
  DataHora dataHora;
  std::vector<std::string> linhas;
};

}  // namespace simulador
}  // namespace tarvic
