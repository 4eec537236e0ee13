// Tipos do modelo da impressora fiscal simulada.
//
// Unidades (todas inteiras, sem ponto flutuante):
//   valores em dinheiro ........ centavos (int64_t)
//   preço unitário ............. milésimos de real (a impressora aceita 2 ou 3 casas)
//   quantidade ................. milésimos (1,000 = 1000)
//   percentuais ................ centésimos de ponto percentual (18,00% = 1800)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvic {
namespace simulador {

// Resultado de toda operação da impressora. Cada driver substituto traduz
// o resultado para os códigos do seu fabricante.
enum class Resultado {
  Ok = 0,
  Desligada,               // a impressora não responde
  SemPapel,                // sensor de papel: acabou a bobina
  CupomNaoAberto,          // operação de cupom sem cupom fiscal aberto
  CupomJaAberto,           // abertura com um cupom fiscal já aberto
  DocumentoAberto,         // outro documento (não fiscal, relatório, vinculado) aberto
  DocumentoNaoAberto,      // fechar/usar um documento que não está aberto
  ComandoForaDeSequencia,  // ex.: vender depois de iniciar o fechamento
  SemItens,                // totalizar um cupom sem itens válidos
  ItemInexistente,
  ItemJaCancelado,
  ItemJaAjustado,  // o item já recebeu acréscimo/desconto
  AliquotaNaoProgramada,
  FormaPagamentoNaoProgramada,
  TotalizadorNaoProgramado,
  RelatorioNaoProgramado,
  PagamentoInsuficiente,  // encerrar antes de o pagamento cobrir o total
  PagamentoJaCobreTotal,  // pagar de novo depois de o total estar coberto
  ValorMaiorQueTotal,     // desconto que zera ou passa do total
  NadaACancelar,          // não há cupom aberto nem último cupom cancelável
  VinculadoInvalido,      // comprovante vinculado sem pagamento que o sustente
  DiaBloqueado,           // redução Z já feita hoje: bloqueado até 23:59:59
  ReducaoZPendente,       // o dia de movimento ficou para trás
  DiaComMovimento,        // programação que só é aceita antes do primeiro documento do dia
  JaProgramado,           // índice ocupado por outro nome
  CapacidadeEsgotada,     // tabela da impressora cheia
  ParametroInvalido,
  ErroInterno  // falha inesperada dentro do simulador
};

const char* descricaoResultado(Resultado r);

enum class SensorPapel { Presente, Pouco, Sem };

enum class TipoDocumento {
  Nenhum,
  CupomFiscal,
  NaoFiscal,  // comprovante não fiscal (recebimento, suprimento, sangria)
  RelatorioGerencial,
  ComprovanteVinculado  // comprovante de crédito ou débito
};

// Fases do cupom fiscal e do comprovante não fiscal abertos.
enum class FaseCupom {
  Aberto,       // aberto, nenhum item
  Vendendo,     // itens registrados
  Totalizando,  // fechamento iniciado (acréscimo/desconto no subtotal aplicado)
  Pagando,      // pagamento iniciado, sem cobrir o total
  Pago          // pagamento cobre o total: pode encerrar
};

enum class TipoAjuste {
  Nenhum,
  AcrescimoValor,
  AcrescimoPercentual,
  DescontoValor,
  DescontoPercentual
};

// Acréscimo ou desconto: valor em centavos ou percentual em centésimos.
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

// Data e hora civis do relógio da impressora (sem fuso: o que o relógio mostra).
struct DataHora {
  int ano = 0, mes = 0, dia = 0, hora = 0, minuto = 0, segundo = 0;

  bool valida() const;
  int64_t diaCivil() const;  // dias desde 01/01/1970
  int64_t segundos() const;  // segundos desde 01/01/1970 00:00:00
  static DataHora deSegundos(int64_t s);
  DataHora soData() const { return DataHora{ano, mes, dia, 0, 0, 0}; }
  std::string texto() const;      // "dd/mm/aaaa hh:mm:ss"
  std::string textoData() const;  // "dd/mm/aaaa"
  bool operator==(const DataHora& o) const { return segundos() == o.segundos(); }
  bool operator!=(const DataHora& o) const { return !(*this == o); }
  bool operator<(const DataHora& o) const { return segundos() < o.segundos(); }
};

struct Identificacao {
  std::string fabricante;  // nome dado ao construtor, em maiúsculas
  std::string marca;
  std::string modelo = "SIMULADOR MFD";
  std::string tipo = "ECF-IF";
  bool mfd = true;          // guarda a fita-detalhe eletrônica (MFD)
  std::string numeroSerie;  // 20 caracteres
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
  int64_t percentual = 0;  // centésimos: 18,00% = 1800
  int64_t totalDia = 0;    // total parcial líquido do dia, centavos
};

// Totais das situações tributárias fixas (F, I, N de ICMS; FS, IS, NS de ISS).
struct TotalParcial {
  std::string codigo;  // "01T1800", "05S0500", "F", "I", "N", "FS", "IS", "NS", nome de forma etc.
  int64_t total = 0;
};

struct FormaPagamento {
  int indice = 0;  // 1..20
  std::string nome;
  bool permiteVinculado = false;
  int64_t totalDia = 0;  // recebido no dia (cupons e comprovantes não fiscais)
};

struct TotalizadorNaoFiscal {
  int indice = 0;  // 1..50
  std::string nome;
  bool saida = false;  // saída de caixa (sangria): não exige pagamento
  int64_t totalDia = 0;
  int contadorDia = 0;
};

struct RelatorioGerencial {
  int indice = 0;  // 1..30
  std::string nome;
  int contadorDia = 0;
};

struct Contadores {
  int coo = 0;  // contador de ordem de operação (todo documento)
  int ccf = 0;  // cupons fiscais
  int gnf = 0;  // operações não fiscais (CNF, RG, CDC, leitura X)
  int grg = 0;  // relatórios gerenciais
  int cdc = 0;  // comprovantes de crédito ou débito
  int crz = 0;  // reduções Z
  int cro = 1;  // reinícios de operação
  int cfc = 0;  // cupons fiscais cancelados
  int cnf = 0;  // comprovantes não fiscais
};

struct ItemCupom {
  int numero = 0;  // 1.. na ordem de venda
  std::string codigo;
  std::string descricao;
  std::string unidade;
  std::string aliquota;  // código canônico: "01T1800", "F", "IS" ...
  bool iss = false;
  int64_t quantidadeMilesimos = 0;
  int64_t precoUnitarioMilesimos = 0;
  int64_t bruto = 0;  // quantidade x preço, centavos
  int64_t acrescimo = 0;
  int64_t desconto = 0;
  int64_t rateioSubtotal = 0;  // parte do acréscimo(+)/desconto(-) do subtotal
  bool cancelado = false;

  int64_t liquidoSemRateio() const { return bruto + acrescimo - desconto; }
  int64_t liquido() const { return cancelado ? 0 : liquidoSemRateio() + rateioSubtotal; }
};

struct PagamentoCupom {
  std::string forma;  // nome como programado
  int64_t valor = 0;
  std::string observacao;
  int64_t vinculadoUsado = 0;  // já usado em comprovantes vinculados
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

  int64_t subtotal() const;  // itens válidos, sem o ajuste do subtotal
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
  int64_t totalEntradas() const;  // o que precisa ser pago
  int64_t pago() const;
};

struct ComprovanteVinculado {
  int coo = 0;
  int cooCupom = 0;
  std::string forma;
  int64_t valor = 0;
};

// Acumuladores do dia de movimento, zerados pela redução Z.
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

// Dados de uma redução Z, gravados na memória fiscal.
struct DadosReducao {
  int crz = 0;
  int coo = 0;  // COO da própria redução
  int cro = 0;
  DataHora dataMovimento;  // dia de movimento que a redução encerrou
  DataHora dataHoraEmissao;
  int64_t grandeTotal = 0;  // GT ao fim da redução
  int64_t vendaBruta = 0;
  int64_t vendaLiquida = 0;
  int64_t cancelamentosIcms = 0, cancelamentosIss = 0;
  int64_t descontosIcms = 0, descontosIss = 0;
  int64_t acrescimosIcms = 0, acrescimosIss = 0;
  std::vector<TotalParcial> totaisParciais;  // por alíquota (só as com total ou programadas)
  std::vector<TotalParcial> formasPagamento;
  std::vector<TotalParcial> naoFiscais;
  int ccf = 0, gnf = 0, grg = 0, cdc = 0, cfc = 0, cnf = 0;
};

// Um documento impresso: o que a bobina recebeu, guardado na fita-detalhe.
struct DocumentoImpresso {
  int coo = 0;
  std::string tipo;  // "CF", "CNF", "RG", "CDC", "LX", "RZ", "CCF"
  DataHora dataHora;
  std::vector<std::string> linhas;
};

}  // namespace simulador
}  // namespace tarvic
