// DLLG2 stand-in (DATAREGIS and URANO) over the simulated printer.
//
// The protocol: DLLG2_IniciaDriver gives a channel; DLLG2_LimpaParams and
// DLLG2_AdicionaParam build the list of named parameters;
// DLLG2_ExecutaComando runs a command by name (above 0: executed; 0: no
// answer from the printer; -1: refused, with the reason in
// DLLG2_ObtemCodErro); DLLG2_Retorno copies a value of the answer, by name,
// into the caller's buffer. The parameter list empties only with
// DLLG2_LimpaParams.
//
// The model's manufacturer: TARVIC_SIM_FABRICANTE (DATAREGIS or URANO),
// DATAREGIS by default (fabricanteDoDllg2). Besides the codes injected by
// function name, a code injected under a command's name ("VendeItem=-1")
// answers in its place.
#define SIM_BIBLIOTECA_DLLG2 1
#include "geracao.h"

#include "comum.h"
#include "texto.h"

#include <cstring>
#include <deque>
#include <map>
#include <vector>

using namespace tarvic::simulador;
using namespace tarvic::simulador::substituto;

namespace {
namespace Sim {

// Parameter types of DLLG2_AdicionaParam.
enum : int32_t { Indicador = 0, Data = 2, Inteiro = 4, Coo = 5, Decimal = 6, TipoTexto = 7 };

// Codes of DLLG2_ObtemCodErro.
int32_t CodigoErro(Resultado r) {
  switch (r) {
    case Resultado::Ok:
      return 0;
    case Resultado::Desligada:
      return 1;
    case Resultado::SemPapel:
      return 2;
    case Resultado::CupomNaoAberto:
      return 10;
    case Resultado::CupomJaAberto:
      return 11;
    case Resultado::DocumentoAberto:
      return 12;
    case Resultado::DocumentoNaoAberto:
      return 13;
    case Resultado::ComandoForaDeSequencia:
      return 14;
    case Resultado::SemItens:
      return 15;
    case Resultado::ItemInexistente:
      return 16;
    case Resultado::ItemJaCancelado:
      return 17;
    case Resultado::ItemJaAjustado:
      return 18;
    case Resultado::AliquotaNaoProgramada:
      return 20;
    case Resultado::FormaPagamentoNaoProgramada:
      return 21;
    case Resultado::TotalizadorNaoProgramado:
      return 22;
    case Resultado::RelatorioNaoProgramado:
      return 23;
    case Resultado::PagamentoInsuficiente:
      return 30;
    case Resultado::PagamentoJaCobreTotal:
      return 31;
    case Resultado::ValorMaiorQueTotal:
      return 32;
    case Resultado::NadaACancelar:
      return 33;
    case Resultado::VinculadoInvalido:
      return 34;
    case Resultado::DiaBloqueado:
      return 40;
    case Resultado::ReducaoZPendente:
      return 41;
    case Resultado::DiaComMovimento:
      return 42;
    case Resultado::JaProgramado:
      return 50;
    case Resultado::CapacidadeEsgotada:
      return 51;
    case Resultado::ParametroInvalido:
      return 60;
    case Resultado::ErroInterno:
      return 99;
  }
  return 99;
}

struct Parametro {
  std::string nome;
  std::string valor;
  int32_t tipo = TipoTexto;
};

struct Canal {
  std::vector<Parametro> parametros;
  std::string comando;  // the last one executed
  std::map<std::string, std::string> resposta;
  std::string principal;  // the value the command read
  int32_t erro = 0;
};

std::map<int32_t, Canal>& Canais() {
  static std::map<int32_t, Canal> canais;
  return canais;
}

std::string& ArquivoLog() {
  static std::string arquivo;
  return arquivo;
}

ImpressoraFiscal& Ecf() {
  return Impressora(fabricanteDoDllg2());
}

template <class Funcao>
int32_t Chama(const char* nome, Funcao funcao) {
  try {
    AntesDaChamada(nome);
    // Only a command reaches the printer: the channel's other functions (its
    // parameters, answers and error code) leave the control file for the
    // next command to read.
    ChamadaAoModelo chamada(Ecf(), std::strcmp(nome, "DLLG2_ExecutaComando") == 0);
    if (std::optional<int> codigo = Ecf().retiraCodigoInjetado(nome)) return *codigo;
    return funcao();
  } catch (...) {
    return -1;
  }
}

// ---- parameters ----

const Parametro* Procura(const Canal& c, const std::string& nome) {
  // The last one with the name holds.
  for (auto p = c.parametros.rbegin(); p != c.parametros.rend(); ++p)
    if (p->nome == nome) return &*p;
  return nullptr;
}

std::string Valor(const Canal& c, const std::string& nome) {
  const Parametro* p = Procura(c, nome);
  return p ? p->valor : std::string();
}

bool Verdadeiro(const std::string& indicador) {
  const std::string t = maiusculas(apara(indicador));
  return t == "T" || t == "1" || t == "TRUE" || t == "S";
}

// A signed amount in cents, or a percentage in hundredths; false when malformed.
bool LeValorComSinal(const std::string& texto, int64_t& valor) {
  return LeDecimal(texto, 2, valor);
}

// ---- readings by name ----

// EstadoFiscal: one bit per situation of the open document.
int32_t EstadoFiscal(const ImpressoraFiscal& e) {
  switch (e.documentoAberto()) {
    case TipoDocumento::Nenhum:
      return 1;
    case TipoDocumento::RelatorioGerencial:
      return 32;
    case TipoDocumento::ComprovanteVinculado:
      return 64;
    case TipoDocumento::CupomFiscal:
    case TipoDocumento::NaoFiscal:
      break;
  }
  switch (e.faseCupom()) {
    case FaseCupom::Aberto:
      return 2;
    case FaseCupom::Vendendo:
      return 4;
    case FaseCupom::Totalizando:
      return 8;
    case FaseCupom::Pagando:
      return 16;
    case FaseCupom::Pago:
      return 128;
  }
  return 1;
}

// Indicators: 32 day blocked by a Z reduction, 128 Z reduction pending.
int32_t Indicadores(const ImpressoraFiscal& e) {
  return (e.diaBloqueado() ? 32 : 0) | (e.reducaoZPendente() ? 128 : 0);
}

const DadosReducao* ReducaoIndexada(const ImpressoraFiscal& e, const std::string& nome,
                                    const std::string& prefixo) {
  // "DataReducao[3]": the reduction of CRZ 3.
  if (nome.size() < prefixo.size() + 3 || nome.compare(0, prefixo.size() + 1, prefixo + "[") != 0 ||
      nome.back() != ']')
    return nullptr;
  int64_t crz = 0;
  if (!LeInteiro(nome.substr(prefixo.size() + 1, nome.size() - prefixo.size() - 2), crz))
    return nullptr;
  for (const DadosReducao& z : e.memoriaFiscal())
    if (z.crz == crz) return &z;
  return nullptr;
}

bool LeInteiroPorNome(ImpressoraFiscal& e, const std::string& nome, int64_t& v) {
  const Contadores& c = e.contadores();
  if (nome == "COO")
    v = c.coo;
  else if (nome == "CCF")
    v = c.ccf;
  else if (nome == "GNF")
    v = c.gnf;
  else if (nome == "GRG")
    v = c.grg;
  else if (nome == "CDC")
    v = c.cdc;
  else if (nome == "CRZ")
    v = c.crz;
  else if (nome == "CRO")
    v = c.cro;
  else if (nome == "CFC")
    v = c.cfc;
  else if (nome == "ECF")
    v = e.identificacao().numeroCaixa;
  else if (nome == "Loja")
    v = e.identificacao().numeroLoja;
  else if (nome == "EstadoFiscal")
    v = EstadoFiscal(e);
  else if (nome == "Indicadores")
    v = Indicadores(e);
  else if (const DadosReducao* z = ReducaoIndexada(e, nome, "ContadorReinicioReducao"))
    v = z->cro;
  else
    return false;
  return true;
}

bool LeIndicadorPorNome(ImpressoraFiscal& e, const std::string& nome, bool& v) {
  if (nome == "SensorPoucoPapel")
    v = e.sensorPapel() == SensorPapel::Pouco;
  else if (nome == "SemPapel")
    v = e.sensorPapel() == SensorPapel::Sem;
  else if (nome == "HorarioVerao")
    v = e.horarioVerao();
  else if (nome == "ReducaoZPendente")
    v = e.reducaoZPendente();
  else
    return false;
  return true;
}

bool LeDataHoraPorNome(ImpressoraFiscal& e, const std::string& nome, bool data, std::string& v) {
  const std::string vazio = data ? "00/00/0000" : "00:00:00";
  auto texto = [&](const DataHora& d) {
    return !d.valida() ? vazio : (data ? DataComBarras(d) : HoraComDoisPontos(d));
  };
  if (nome == (data ? "DATA" : "HORA")) {
    v = texto(e.agora());
  } else if (nome == (data ? "DataUltimoDoc" : "HoraUltimoDoc")) {
    v = texto(e.dataHoraUltimoDocumento());
  } else if (data && nome == "DataMovimento") {
    v = e.diaAberto() ? texto(e.dataMovimento()) : vazio;
  } else if (nome.compare(0, 11, data ? "DataReducao" : "HoraReducao") == 0) {
    // Reductions that do not exist yet answer zeros, as the empty fiscal memory.
    const DadosReducao* z = ReducaoIndexada(e, nome, data ? "DataReducao" : "HoraReducao");
    if (nome.find('[') == std::string::npos) return false;
    v = !z ? vazio : (data ? texto(z->dataMovimento) : texto(z->dataHoraEmissao));
  } else {
    return false;
  }
  return true;
}

bool LeMoedaPorNome(ImpressoraFiscal& e, const std::string& nome, std::string& v) {
  if (nome == "GT")
    v = Moeda(e.grandeTotal());
  else if (nome == "TotalDocLiquido")
    v = Moeda(e.subtotal());
  else if (nome == "TotalDocBruto")
    v = Moeda(e.documentoAberto() == TipoDocumento::CupomFiscal ? e.cupomAtual().subtotal()
                                                                : e.subtotal());
  else if (nome == "TotalPago")
    v = Moeda(e.totalPago());
  else if (nome == "Troco")
    v = Moeda(e.troco());
  else if (nome == "VendaBrutaDia")
    v = Moeda(e.vendaBrutaDia());
  else
    return false;
  return true;
}

// The last Z reduction's data, 468 columns; without a reduction, zeros with
// the tax kinds ("T" ICMS, "S" ISS) and a zeroed date.
std::string DadosUltimaReducaoZ(const ImpressoraFiscal& e) {
  std::string r(468, '0');
  for (std::size_t k = 0; k < 16; ++k) r[378 + k] = 'T';
  const DadosReducao* z = e.ultimaReducao();
  if (!z) return r;
  Poe(r, 3, Campo(z->grandeTotal, 18));
  Poe(r, 21, Campo(z->cancelamentosIcms, 14));
  Poe(r, 35, Campo(z->descontosIcms, 14));
  Poe(r, 49, Campo(z->cancelamentosIss, 14));
  Poe(r, 63, Campo(z->acrescimosIcms, 14));
  Poe(r, 77, Campo(z->vendaBruta, 14));
  for (int k = 1; k <= 16; ++k) {
    int64_t total, percentual;
    char tipo;
    TotalDaAliquota(*z, k, total, percentual, tipo);
    Poe(r, 91 + 4 * (k - 1), Campo(percentual, 4));
    Poe(r, 155 + 14 * (k - 1), Campo(total, 14));
    r[378 + (k - 1)] = tipo == 'S' ? 'S' : 'T';
  }
  Poe(r, 395, Campo(TotalFixo(*z, "F"), 14));
  Poe(r, 409, Campo(TotalFixo(*z, "I"), 14));
  Poe(r, 423, Campo(TotalFixo(*z, "N"), 14));
  Poe(r, 437, Campo(z->descontosIss, 14));
  Poe(r, 451, Campo(z->coo, 6));
  Poe(r, 457, Campo(z->crz, 6));
  Poe(r, 463, Ddmmaa(z->dataMovimento));
  return r;
}

bool LeTextoPorNome(ImpressoraFiscal& e, const std::string& nome, std::string& v) {
  const Identificacao& id = e.identificacao();
  if (nome == "NumeroSerieECF")
    v = id.numeroSerie;
  else if (nome == "Marca")
    v = id.marca;
  else if (nome == "Modelo")
    v = id.modelo;
  else if (nome == "TipoECF")
    v = id.tipo;
  else if (nome == "VersaoSW")
    v = id.versaoFirmware;
  else if (nome == "CNPJ")
    v = id.cnpj;
  else if (nome == "IE")
    v = id.ie;
  else if (nome == "DadosUltimaReducaoZ")
    v = DadosUltimaReducaoZ(e);
  else
    return false;
  return true;
}

// ---- commands ----

Resultado Recusa(ImpressoraFiscal& e, Resultado r) {
  return e.ligada() ? r : Resultado::Desligada;
}

// A reading: a parameter naming the value, the answer in a named value.
template <class Le>
Resultado Leitura(ImpressoraFiscal& e, Canal& c, const char* parametro, const char* valorResposta,
                  Le le) {
  if (!e.ligada()) return Resultado::Desligada;
  std::string v;
  if (!le(Valor(c, parametro), v)) return Resultado::ParametroInvalido;
  c.resposta[valorResposta] = v;
  c.principal = v;
  return Resultado::Ok;
}

std::string Aliquota(const ImpressoraFiscal& e, const Canal& c) {
  if (const Parametro* p = Procura(c, "CodAliquota")) {
    int64_t n = 0;
    if (!LeInteiro(p->valor, n)) return "?";
    switch (n) {
      case -2:
        return "F";
      case -3:
        return "I";
      case -4:
        return "N";
      default:
        return n > 0 && n < 100 ? Digitos(n, 2) : std::string("?");
    }
  }
  if (const Parametro* p = Procura(c, "PercentualAliquota")) {
    // "18,00"; digits alone, four of them, are hundredths ("1800").
    const std::string t = apara(p->valor);
    int64_t centesimos = 0;
    const bool lido = t.size() == 4 && t.find_first_of(",.") == std::string::npos
                          ? LeInteiro(t, centesimos)
                          : LeDecimal(t, 2, centesimos);
    if (!lido) return "?";
    const Parametro* icms = Procura(c, "AliquotaICMS");
    return AliquotaPorPercentual(e, centesimos, icms && !Verdadeiro(icms->valor));
  }
  return "";
}

Resultado VendeItem(ImpressoraFiscal& e, const Canal& c) {
  ImpressoraFiscal::Item item;
  item.codigo = Valor(c, "CodProduto");
  item.descricao = Valor(c, "NomeProduto");
  item.unidade = Valor(c, "Unidade");
  item.aliquota = Aliquota(e, c);
  if (!LeDecimal(Valor(c, "PrecoUnitario"), 3, item.precoUnitarioMilesimos) ||
      !LeDecimal(Valor(c, "Quantidade"), 3, item.quantidadeMilesimos))
    return Recusa(e, Resultado::ParametroInvalido);
  return e.vendeItem(item);
}

// "ValorAcrescimo" in reais or "ValorPercentual" as a percentage, signed:
// negative is a discount.
bool AjusteComSinal(const Canal& c, Ajuste& ajuste) {
  ajuste = Ajuste();
  if (Verdadeiro(Valor(c, "Cancelar"))) return false;  // undoing an adjustment is not simulated
  const bool percentual = Procura(c, "ValorPercentual") != nullptr;
  int64_t v = 0;
  if (!LeValorComSinal(Valor(c, percentual ? "ValorPercentual" : "ValorAcrescimo"), v))
    return false;
  if (v == 0) return true;
  const bool desconto = v < 0;
  if (desconto) v = -v;
  ajuste = percentual ? (desconto ? Ajuste::descontoPercentual(v) : Ajuste::acrescimoPercentual(v))
                      : (desconto ? Ajuste::descontoValor(v) : Ajuste::acrescimoValor(v));
  return true;
}

Resultado AcresceItem(ImpressoraFiscal& e, const Canal& c) {
  Ajuste ajuste;
  int64_t item = 0;  // 0: the last one
  const std::string numero = Valor(c, "NumItem");
  if (!AjusteComSinal(c, ajuste) || ajuste.tipo == TipoAjuste::Nenhum ||
      (!numero.empty() && (!LeInteiro(numero, item) || item < 0 || item > 9999)))
    return Recusa(e, Resultado::ParametroInvalido);
  return e.ajustaItem(static_cast<int>(item), ajuste);
}

Resultado CancelaItem(ImpressoraFiscal& e, const Canal& c) {
  int64_t item = 0;
  if (!LeInteiro(Valor(c, "NumItem"), item) || item < 1 || item > 9999)
    return Recusa(e, Resultado::ParametroInvalido);
  return e.cancelaItem(static_cast<int>(item));
}

// Cancels the open document; a report or a linked receipt is not cancelled
// but closed.
Resultado CancelaCupom(ImpressoraFiscal& e) {
  switch (e.documentoAberto()) {
    case TipoDocumento::RelatorioGerencial:
      return e.fechaRelatorioGerencial();
    case TipoDocumento::ComprovanteVinculado:
      return e.fechaComprovanteVinculado();
    default:
      return e.cancelaCupom();
  }
}

Resultado AcresceSubtotal(ImpressoraFiscal& e, const Canal& c) {
  Ajuste ajuste;
  if (!AjusteComSinal(c, ajuste)) return Recusa(e, Resultado::ParametroInvalido);
  return e.iniciaFechamento(ajuste);
}

// The first payment totals the coupon when the host sent no subtotal adjustment.
Resultado PagaCupom(ImpressoraFiscal& e, const Canal& c) {
  const std::string forma = Valor(c, "NomeMeioPagamento");
  int64_t valor = 0;
  if (!LeDecimal(Valor(c, "Valor"), 2, valor)) return Recusa(e, Resultado::ParametroInvalido);
  if (e.documentoAberto() == TipoDocumento::CupomFiscal &&
      (e.faseCupom() == FaseCupom::Aberto || e.faseCupom() == FaseCupom::Vendendo)) {
    if (!e.procuraForma(forma)) return Recusa(e, Resultado::FormaPagamentoNaoProgramada);
    if (valor <= 0) return Recusa(e, Resultado::ParametroInvalido);
    const Resultado r = e.iniciaFechamento();
    if (r != Resultado::Ok) return r;
  }
  return e.efetuaPagamento(forma, valor);
}

Resultado EncerraDocumento(ImpressoraFiscal& e, const Canal& c) {
  const std::string texto = Valor(c, "TextoPromocional");
  switch (e.documentoAberto()) {
    case TipoDocumento::CupomFiscal:
      return e.encerraCupom(texto);
    case TipoDocumento::NaoFiscal:
      return e.encerraComprovanteNaoFiscal(texto);
    case TipoDocumento::RelatorioGerencial:
      return e.fechaRelatorioGerencial();
    case TipoDocumento::ComprovanteVinculado:
      return e.fechaComprovanteVinculado();
    case TipoDocumento::Nenhum:
      break;
  }
  return Recusa(e, Resultado::DocumentoNaoAberto);
}

// ---- non-fiscal documents, programming, reports, the day ----

// Code 0 is the model's index 1, in every DLLG2 table.
bool LeCodigo(const Canal& c, const char* nome, int64_t& codigo) {
  return LeInteiro(Valor(c, nome), codigo) && codigo >= 0 && codigo < 99;
}

Resultado LeNaoFiscal(ImpressoraFiscal& e, Canal& c) {
  int64_t codigo = 0;
  if (!LeCodigo(c, "CodNaoFiscal", codigo)) return Recusa(e, Resultado::ParametroInvalido);
  if (!e.ligada()) return Resultado::Desligada;
  for (const TotalizadorNaoFiscal& t : e.totalizadoresNaoFiscais())
    if (t.indice == codigo + 1) {
      c.resposta["NomeNaoFiscal"] = t.nome;
      // "E" cash in, "S" cash out; both take a payment method.
      c.resposta["TipoNaoFiscal"] = t.saida ? "S" : "E";
      c.resposta["ValorNaoFiscal"] = Moeda(t.totalDia);
      c.principal = t.nome;
      return Resultado::Ok;
    }
  return Resultado::TotalizadorNaoProgramado;
}

Resultado DefineNaoFiscal(ImpressoraFiscal& e, const Canal& c) {
  int64_t codigo = -1;
  if (Procura(c, "CodNaoFiscal") && !LeCodigo(c, "CodNaoFiscal", codigo))
    return Recusa(e, Resultado::ParametroInvalido);
  return e.nomeiaTotalizadorNaoFiscal(static_cast<int>(codigo + 1), Valor(c, "NomeNaoFiscal"),
                                      maiusculas(apara(Valor(c, "TipoNaoFiscal"))) == "S");
}

Resultado EmiteItemNaoFiscal(ImpressoraFiscal& e, const Canal& c) {
  int64_t valor = 0;
  if (!LeDecimal(Valor(c, "Valor"), 2, valor)) return Recusa(e, Resultado::ParametroInvalido);
  return e.registraItemNaoFiscal(Valor(c, "NomeNaoFiscal"), valor);
}

Resultado LeMeioPagamento(ImpressoraFiscal& e, Canal& c) {
  int64_t codigo = 0;
  if (!LeCodigo(c, "CodMeioPagamentoProgram", codigo))
    return Recusa(e, Resultado::ParametroInvalido);
  if (!e.ligada()) return Resultado::Desligada;
  for (const FormaPagamento& f : e.formasPagamento())
    if (f.indice == codigo + 1) {
      c.resposta["NomeMeioPagamento"] = f.nome;
      c.resposta["PermiteVinculado"] = f.permiteVinculado ? "1" : "0";
      c.principal = f.nome;
      return Resultado::Ok;
    }
  return Resultado::FormaPagamentoNaoProgramada;
}

Resultado DefineMeioPagamento(ImpressoraFiscal& e, const Canal& c) {
  return e.programaFormaPagamento(Valor(c, "NomeMeioPagamento"),
                                  Verdadeiro(Valor(c, "PermiteVinculado")));
}

// An empty "COO": the last coupon; an empty "Valor": what is left of the payment.
Resultado AbreCreditoDebito(ImpressoraFiscal& e, const Canal& c) {
  int64_t coo = 0, valor = 0;
  const std::string n = apara(Valor(c, "COO")), v = apara(Valor(c, "Valor"));
  if ((!n.empty() && !LeInteiro(n, coo)) || (!v.empty() && !LeDecimal(v, 2, valor)) || coo < 0 ||
      coo > 999999)
    return Recusa(e, Resultado::ParametroInvalido);
  return e.abreComprovanteVinculado(Valor(c, "NomeMeioPagamento"), valor, static_cast<int>(coo));
}

// Free text in the open management report or linked receipt.
Resultado ImprimeTexto(ImpressoraFiscal& e, const Canal& c) {
  const std::string texto = Valor(c, "TextoLivre");
  if (e.documentoAberto() == TipoDocumento::ComprovanteVinculado)
    return e.imprimeComprovanteVinculado(texto);
  if (e.documentoAberto() == TipoDocumento::RelatorioGerencial)
    return e.imprimeRelatorioGerencial(texto);
  return Recusa(e, Resultado::DocumentoNaoAberto);
}

Resultado LeGerencial(ImpressoraFiscal& e, Canal& c) {
  if (!e.ligada()) return Resultado::Desligada;
  const std::string nome = Valor(c, "NomeGerencial");
  for (const RelatorioGerencial& r : e.relatoriosGerenciais())
    if (mesmoNome(r.nome, nome)) {
      c.resposta["CodGerencial"] = std::to_string(r.indice - 1);
      c.resposta["NomeGerencial"] = r.nome;
      c.principal = c.resposta["CodGerencial"];
      return Resultado::Ok;
    }
  return Resultado::RelatorioNaoProgramado;
}

Resultado DefineGerencial(ImpressoraFiscal& e, const Canal& c) {
  int64_t codigo = -1;
  if (Procura(c, "CodGerencial") && !LeCodigo(c, "CodGerencial", codigo))
    return Recusa(e, Resultado::ParametroInvalido);
  return e.nomeiaRelatorioGerencial(static_cast<int>(codigo + 1), Valor(c, "NomeGerencial"));
}

Resultado AbreGerencial(ImpressoraFiscal& e, const Canal& c) {
  int64_t codigo = 0;
  if (!LeCodigo(c, "CodGerencial", codigo)) return Recusa(e, Resultado::ParametroInvalido);
  return e.abreRelatorioGerencial(static_cast<int>(codigo + 1));
}

// The text of a reading with destination "S", handed out in pieces by "LeImpressao".
std::deque<std::string>& ImpressaoPendente() {
  static std::deque<std::string> pedacos;
  return pedacos;
}

// Pieces smaller than the 4000-byte buffer the host gives "LeImpressao".
constexpr std::size_t TamanhoPedaco = 2000;

bool LeDataDllG2(const std::string& texto, DataHora& d) {
  return LeDataDaLeitura(texto, d);
}

Resultado EmiteLeituraMF(ImpressoraFiscal& e, const Canal& c) {
  ImpressoraFiscal::FaixaMemoriaFiscal faixa;
  faixa.completa = !Verdadeiro(Valor(c, "LeituraSimplificada"));
  faixa.porData = Procura(c, "DataInicial") != nullptr;
  if (faixa.porData) {
    if (!LeDataDllG2(Valor(c, "DataInicial"), faixa.dataInicial) ||
        !LeDataDllG2(Valor(c, "DataFinal"), faixa.dataFinal))
      return Recusa(e, Resultado::ParametroInvalido);
  } else {
    int64_t a = 0, b = 0;
    if (!LeInteiro(Valor(c, "ReducaoInicial"), a) || !LeInteiro(Valor(c, "ReducaoFinal"), b) ||
        a < 0 || b > 9999)
      return Recusa(e, Resultado::ParametroInvalido);
    faixa.crzInicial = static_cast<int>(a);
    faixa.crzFinal = static_cast<int>(b);
  }
  const std::string destino = maiusculas(apara(Valor(c, "Destino")));
  if (destino != "S") return e.leituraMemoriaFiscal(faixa);
  if (!e.ligada()) return Resultado::Desligada;
  const std::vector<std::string> linhas = e.textoLeituraMemoriaFiscal(faixa);
  if (linhas.empty()) return Resultado::ParametroInvalido;
  std::string texto;
  for (const std::string& l : linhas) texto += l + "\r\n";
  ImpressaoPendente().clear();
  for (std::size_t i = 0; i < texto.size(); i += TamanhoPedaco)
    ImpressaoPendente().push_back(texto.substr(i, TamanhoPedaco));
  return Resultado::Ok;
}

// The next piece; empty when it is over.
Resultado LeImpressao(ImpressoraFiscal& e, Canal& c) {
  if (!e.ligada()) return Resultado::Desligada;
  std::string pedaco;
  if (!ImpressaoPendente().empty()) {
    pedaco = ImpressaoPendente().front();
    ImpressaoPendente().pop_front();
  }
  c.resposta["TextoImpressao"] = pedaco;
  c.principal = pedaco;
  return Resultado::Ok;
}

Resultado Executa(ImpressoraFiscal& e, Canal& c, const std::string& comando) {
  if (comando == "LeInteiro")
    return Leitura(e, c, "NomeInteiro", "ValorInteiro", [&](const std::string& n, std::string& v) {
      int64_t i = 0;
      return LeInteiroPorNome(e, n, i) && (v = std::to_string(i), true);
    });
  if (comando == "LeIndicador")
    return Leitura(e, c, "NomeIndicador", "ValorTextoIndicador",
                   [&](const std::string& n, std::string& v) {
                     bool b = false;
                     return LeIndicadorPorNome(e, n, b) && (v = b ? "1" : "0", true);
                   });
  if (comando == "LeData")
    return Leitura(e, c, "NomeData", "ValorData", [&](const std::string& n, std::string& v) {
      return LeDataHoraPorNome(e, n, true, v);
    });
  if (comando == "LeHora")
    return Leitura(e, c, "NomeHora", "ValorHora", [&](const std::string& n, std::string& v) {
      return LeDataHoraPorNome(e, n, false, v);
    });
  if (comando == "LeMoeda")
    return Leitura(e, c, "NomeDadoMonetario", "ValorMoeda",
                   [&](const std::string& n, std::string& v) { return LeMoedaPorNome(e, n, v); });
  if (comando == "LeTexto")
    return Leitura(e, c, "NomeTexto", "ValorTexto",
                   [&](const std::string& n, std::string& v) { return LeTextoPorNome(e, n, v); });
  if (comando == "AbreCupomFiscal")
    return e.abreCupom(Valor(c, "IdConsumidor"), Valor(c, "NomeConsumidor"),
                       Valor(c, "EnderecoConsumidor"));
  if (comando == "VendeItem") return VendeItem(e, c);
  if (comando == "AcresceItemFiscal") return AcresceItem(e, c);
  if (comando == "CancelaItemFiscal") return CancelaItem(e, c);
  if (comando == "CancelaCupom") return CancelaCupom(e);
  if (comando == "AcresceSubtotal") return AcresceSubtotal(e, c);
  if (comando == "PagaCupom") return PagaCupom(e, c);
  if (comando == "EncerraDocumento") return EncerraDocumento(e, c);
  if (comando == "AbreGaveta") return e.abreGaveta();
  if (comando == "AbreCupomNaoFiscal") return e.abreComprovanteNaoFiscal();
  if (comando == "EmiteItemNaoFiscal") return EmiteItemNaoFiscal(e, c);
  if (comando == "LeNaoFiscal") return LeNaoFiscal(e, c);
  if (comando == "DefineNaoFiscal") return DefineNaoFiscal(e, c);
  if (comando == "LeMeioPagamento") return LeMeioPagamento(e, c);
  if (comando == "DefineMeioPagamento") return DefineMeioPagamento(e, c);
  if (comando == "AbreCreditoDebito") return AbreCreditoDebito(e, c);
  if (comando == "ImprimeTexto") return ImprimeTexto(e, c);
  if (comando == "LeGerencial") return LeGerencial(e, c);
  if (comando == "DefineGerencial") return DefineGerencial(e, c);
  if (comando == "AbreGerencial") return AbreGerencial(e, c);
  if (comando == "EmiteLeituraX") return e.leituraX();
  if (comando == "EmiteReducaoZ") return e.reducaoZ();
  if (comando == "EmiteLeituraMF") return EmiteLeituraMF(e, c);
  if (comando == "LeImpressao") return LeImpressao(e, c);
  // The other commands are accepted without effect.
  return e.ligada() ? Resultado::Ok : Resultado::Desligada;
}

// The driver's log, appended to (never through a link).
void RegistraNoLog(const std::string& comando, int32_t retorno, int32_t erro) {
  if (ArquivoLog().empty()) return;
  arquivo::Anexo log;
  if (log.abre(ArquivoLog()))
    log.acrescenta(Ecf().agora().texto() + " " + comando + " -> " + std::to_string(retorno) +
                   " (erro " + std::to_string(erro) + ")\n");
}

Canal* CanalValido(int32_t canal) {
  return canal < 0 ? nullptr : &Canais()[canal];
}

// ---- the driver's functions ----

int32_t DLLG2_IniciaDriver(const char*) {
  static int32_t proximo = 1;
  const int32_t canal = proximo++;
  Canais()[canal] = Canal();
  return canal;
}

int32_t DLLG2_EncerraDriver(int32_t canal) {
  Canais().erase(canal);
  return 1;
}

int32_t DLLG2_DefineTimeout(int32_t canal, int32_t) {
  return canal < 0 ? -1 : 1;
}

int32_t DLLG2_LimpaParams(int32_t canal) {
  Canal* c = CanalValido(canal);
  if (!c) return -1;
  c->parametros.clear();
  return 1;
}

int32_t DLLG2_AdicionaParam(int32_t canal, const char* nome, const char* valor, int32_t tipo) {
  Canal* c = CanalValido(canal);
  if (!c || !nome) return -1;
  c->parametros.push_back(Parametro{nome, Texto(valor), tipo});
  return 1;
}

int32_t DLLG2_ExecutaComando(int32_t canal, const char* comando) {
  Canal* c = CanalValido(canal);
  if (!c || !comando) return -1;
  ImpressoraFiscal& e = Ecf();
  c->comando = comando;
  c->resposta.clear();
  c->principal.clear();
  int32_t retorno;
  if (std::optional<int> injetado = e.retiraCodigoInjetado(comando)) {
    retorno = *injetado;
    c->erro = retorno > 0 ? 0 : CodigoErro(Resultado::ErroInterno);
  } else {
    const Resultado r = Executa(e, *c, c->comando);
    c->erro = CodigoErro(r);
    retorno = r == Resultado::Ok ? 1 : (r == Resultado::Desligada ? 0 : -1);
  }
  RegistraNoLog(c->comando, retorno, c->erro);
  return retorno;
}

// Mode 1 with the command's name in place of the value: the value it read.
int32_t DLLG2_Retorno(int32_t canal, int32_t modo, const char* nome, int32_t, char* buffer,
                      int32_t tamanho) {
  Canal* c = CanalValido(canal);
  if (!c || !buffer || tamanho <= 0) return -1;
  const std::string n = Texto(nome);
  auto valor = c->resposta.find(n);
  if (valor != c->resposta.end()) {
    EscreveLimitado(buffer, tamanho, valor->second);
    return 1;
  }
  if (modo == 1 && n == c->comando && !c->resposta.empty()) {
    EscreveLimitado(buffer, tamanho, c->principal);
    return 1;
  }
  EscreveLimitado(buffer, tamanho, "");
  return 0;
}

int32_t DLLG2_ObtemCodErro(int32_t canal) {
  Canal* c = CanalValido(canal);
  return c ? c->erro : -1;
}

int32_t DLLG2_SetaArquivoLog(const char* arquivo) {
  ArquivoLog() = Texto(arquivo);
  return 1;
}

int32_t DLLG2_Versao(char* buffer, int32_t tamanho) {
  EscreveLimitado(buffer, tamanho, "02.05");
  return 1;
}

}  // namespace Sim
}  // namespace

#include "exporta.h"
