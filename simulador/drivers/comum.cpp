#include "comum.h"

#include "texto.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tarvic {
namespace simulador {
namespace substituto {

// ---------------------------------------------------------------- buffers

std::string Texto(const char* texto) {
  return texto ? std::string(texto) : std::string();
}

std::size_t Capacidade(const char* buffer) {
  return buffer ? std::strlen(buffer) : 0;
}

void Escreve(char* buffer, const std::string& texto) {
  const std::size_t capacidade = Capacidade(buffer);
  const std::size_t n = texto.size() < capacidade ? texto.size() : capacidade;
  if (n > 0) std::memcpy(buffer, texto.data(), n);
  if (n < capacidade) buffer[n] = '\0';
}

void EscreveLimitado(char* buffer, int32_t tamanho, const std::string& texto) {
  if (!buffer || tamanho <= 0) return;
  const std::size_t espaco = static_cast<std::size_t>(tamanho) - 1;  // the final NUL fits the size
  const std::size_t n = texto.size() < espaco ? texto.size() : espaco;
  if (n > 0) std::memcpy(buffer, texto.data(), n);
  buffer[n] = '\0';
}

void EscreveInteiro(int32_t* destino, int32_t valor) {
  if (destino) *destino = valor;
}

// ---------------------------------------------------------------- numbers

bool LeDecimal(const std::string& texto, int casas, int64_t& valor) {
  return lerDecimal(texto, casas, valor);
}

bool LeInteiro(const std::string& texto, int64_t& valor) {
  std::string t = apara(texto);
  if (t.find_first_of(",.") != std::string::npos) return false;
  return lerDecimal(t, 0, valor);
}

namespace {

bool TemSeparador(const std::string& t) {
  return t.find_first_of(",.") != std::string::npos;
}

}  // namespace

bool LeCentesimosDePercentual(const std::string& texto, int64_t& centesimos) {
  return TemSeparador(texto) ? lerDecimal(texto, 2, centesimos) : LeInteiro(texto, centesimos);
}

bool LeCentavosOuValor(const std::string& texto, int64_t& centavos) {
  return TemSeparador(texto) ? lerDecimal(texto, 2, centavos) : LeInteiro(texto, centavos);
}

std::string Digitos(int64_t valor, int largura) {
  return zeros(valor, largura);
}

std::string Moeda(int64_t centavos) {
  return formataDecimal(centavos, 2);
}

// ---------------------------------------------------------------- dates

std::string Ddmmaa(const DataHora& d) {
  return zeros(d.dia, 2) + zeros(d.mes, 2) + zeros(d.ano % 100, 2);
}

std::string Ddmmaaaa(const DataHora& d) {
  return zeros(d.dia, 2) + zeros(d.mes, 2) + zeros(d.ano, 4);
}

std::string Hhmmss(const DataHora& d) {
  return zeros(d.hora, 2) + zeros(d.minuto, 2) + zeros(d.segundo, 2);
}

std::string DataComBarras(const DataHora& d) {
  return zeros(d.dia, 2) + "/" + zeros(d.mes, 2) + "/" + zeros(d.ano, 4);
}

std::string HoraComDoisPontos(const DataHora& d) {
  return zeros(d.hora, 2) + ":" + zeros(d.minuto, 2) + ":" + zeros(d.segundo, 2);
}

// ---------------------------------------------------------------- tax rates

std::string AliquotaPorPercentual(const ImpressoraFiscal& ecf, int64_t centesimos, bool iss) {
  if (centesimos <= 0 || centesimos > 9999) return "?";
  const std::string icms = "T" + zeros(centesimos, 4), servico = "S" + zeros(centesimos, 4);
  if (iss) return servico;
  // No tax named: ICMS first, ISS when only it has that percentage.
  return !ecf.resolveAliquota(icms).empty() || ecf.resolveAliquota(servico).empty() ? icms
                                                                                    : servico;
}

std::string AliquotaDoModelo(const ImpressoraFiscal& ecf, const std::string& codigo) {
  const std::string c = maiusculas(apara(codigo));
  if (c == "II" || c == "I") return "I";
  if (c == "FF" || c == "F") return "F";
  if (c == "NN" || c == "N") return "N";
  if (c == "SI" || c == "IS" || c == "ISS") return "IS";
  if (c == "SF" || c == "FS") return "FS";
  if (c == "SN" || c == "NS") return "NS";
  int64_t n = 0;
  if (c.size() == 2 && LeInteiro(c, n)) return c;  // index of the programmed rate
  if (c.size() == 4 && LeInteiro(c, n))
    return AliquotaPorPercentual(ecf, n, false);  // "1800": 18,00%
  if (!c.empty() && (c[0] == 'T' || c[0] == 'S')) {
    const std::string resto = c.substr(1);
    const bool iss = c[0] == 'S';
    if (resto.size() == 4 && LeInteiro(resto, n)) return AliquotaPorPercentual(ecf, n, iss);
    if (LeDecimal(resto, 2, n)) return AliquotaPorPercentual(ecf, n, iss);
    return c;
  }
  if (LeDecimal(c, 2, n)) return AliquotaPorPercentual(ecf, n, false);  // "18,00"
  return c;  // the model refuses what it does not understand
}

// ---------------------------------------------------------------- fixed-size answers

namespace {

// The text in exactly n characters: cut or filled with blanks.
std::string Largura(const std::string& texto, std::size_t n) {
  std::string t = texto.substr(0, n);
  t.resize(n, ' ');
  return t;
}

}  // namespace

void Poe(std::string& resposta, std::size_t posicao, const std::string& texto) {
  if (posicao < 1 || posicao > resposta.size()) return;
  resposta.replace(posicao - 1, std::min(texto.size(), resposta.size() - posicao + 1), texto);
}

std::string Campo(int64_t valor, int largura) {
  return Digitos(valor < 0 ? 0 : valor, largura);
}

void TotalDaAliquota(const DadosReducao& z, int indice, int64_t& total, int64_t& percentual,
                     char& tipo) {
  total = 0;
  percentual = 0;
  tipo = 'T';
  for (const TotalParcial& t : z.totaisParciais) {
    int64_t n = 0, p = 0;
    if (t.codigo.size() != 7 || !LeInteiro(t.codigo.substr(0, 2), n) || n != indice ||
        !LeInteiro(t.codigo.substr(3), p))
      continue;
    total = t.total;
    percentual = p;
    tipo = t.codigo[2];
  }
}

int64_t TotalFixo(const DadosReducao& z, const std::string& codigo) {
  for (const TotalParcial& t : z.totaisParciais)
    if (t.codigo == codigo) return t.total;
  return 0;
}

std::string DadosReducaoMfd(const ImpressoraFiscal& ecf) {
  std::string r(1278, '0');
  const DadosReducao* z = ecf.ultimaReducao();
  // The field separators, as the driver leaves them.
  for (std::size_t p : {3,   8,   13,  20,  27,  34,  41,  46,  315, 334, 559,  574, 589,
                        604, 619, 634, 649, 664, 679, 694, 709, 724, 739, 1207, 1272})
    Poe(r, p, ",");
  if (!z) return r;
  Poe(r, 4, Campo(z->cro, 4));
  Poe(r, 9, Campo(z->crz, 4));
  Poe(r, 14, Campo(z->coo, 6));
  Poe(r, 21, Campo(z->ccf, 6));
  Poe(r, 28, Campo(z->gnf, 6));
  Poe(r, 35, Campo(z->grg, 6));
  Poe(r, 42, Campo(z->cdc, 4));
  Poe(r, 47, Campo(z->cfc, 4));
  Poe(r, 316, Campo(z->grandeTotal, 18));
  for (int k = 1; k <= 16; ++k) {
    int64_t total, percentual;
    char tipo;
    TotalDaAliquota(*z, k, total, percentual, tipo);
    Poe(r, 335 + 14 * (k - 1), Campo(total, 14));
    Poe(r, 1208 + 4 * (k - 1), Campo(percentual, 4));
  }
  Poe(r, 560, Campo(TotalFixo(*z, "I"), 14));
  Poe(r, 575, Campo(TotalFixo(*z, "N"), 14));
  Poe(r, 590, Campo(TotalFixo(*z, "F"), 14));
  Poe(r, 605, Campo(TotalFixo(*z, "IS"), 14));
  Poe(r, 620, Campo(TotalFixo(*z, "NS"), 14));
  Poe(r, 635, Campo(TotalFixo(*z, "FS"), 14));
  Poe(r, 650, Campo(z->descontosIcms, 14));
  Poe(r, 665, Campo(z->descontosIss, 14));
  Poe(r, 680, Campo(z->acrescimosIcms, 14));
  Poe(r, 695, Campo(z->acrescimosIss, 14));
  Poe(r, 710, Campo(z->cancelamentosIcms, 14));
  Poe(r, 725, Campo(z->cancelamentosIss, 14));
  Poe(r, 1273, Ddmmaa(z->dataMovimento));
  return r;
}

std::string DadosReducaoSimples(const ImpressoraFiscal& ecf) {
  std::string r(631, '0');
  const DadosReducao* z = ecf.ultimaReducao();
  for (std::size_t p : {3, 22, 37, 52, 117, 384, 585, 590, 595, 602}) Poe(r, p, ",");
  if (!z) return r;
  Poe(r, 4, Campo(z->grandeTotal, 18));
  Poe(r, 23, Campo(z->cancelamentosIcms, 14));
  Poe(r, 38, Campo(z->descontosIcms, 14));
  for (int k = 1; k <= 16; ++k) {
    int64_t total, percentual;
    char tipo;
    TotalDaAliquota(*z, k, total, percentual, tipo);
    Poe(r, 53 + 4 * (k - 1), Campo(percentual, 4));
    Poe(r, 118 + 14 * (k - 1), Campo(total, 14));
  }
  Poe(r, 342, Campo(TotalFixo(*z, "I"), 14));
  Poe(r, 356, Campo(TotalFixo(*z, "N"), 14));
  Poe(r, 370, Campo(TotalFixo(*z, "F"), 14));
  Poe(r, 579, Campo(z->coo, 6));
  Poe(r, 586, Campo(z->crz, 4));
  Poe(r, 591, Campo(z->cro, 4));
  Poe(r, 596, Ddmmaa(z->dataMovimento));
  return r;
}

std::string TotalizadorDoIndice(const ImpressoraFiscal& ecf, int64_t indice) {
  for (const TotalizadorNaoFiscal& t : ecf.totalizadoresNaoFiscais())
    if (t.indice == indice) return t.nome;
  return std::string();
}

std::string ListaTotalizadoresNaoFiscais(const ImpressoraFiscal& ecf) {
  std::string lista;
  for (int i = 1; i <= 50; ++i) {
    int contador = 0;
    int64_t total = 0;
    std::string nome;
    for (const TotalizadorNaoFiscal& t : ecf.totalizadoresNaoFiscais())
      if (t.indice == i) {
        contador = t.contadorDia;
        total = t.totalDia;
        nome = t.nome;
      }
    if (i > 1) lista += ",";
    lista += Campo(contador, 4) + Campo(total, 20) + Largura(nome, 19);
  }
  return lista;
}

bool LeDataDaLeitura(const std::string& texto, DataHora& data) {
  std::string t = apara(texto), d;
  for (char c : t)
    if (c != '/') d += c;
  int64_t dia = 0, mes = 0, ano = 0;
  if ((d.size() != 6 && d.size() != 8) || (d.size() != t.size() && d.size() + 2 != t.size()) ||
      !LeInteiro(d.substr(0, 2), dia) || !LeInteiro(d.substr(2, 2), mes) ||
      !LeInteiro(d.substr(4), ano))
    return false;
  if (d.size() == 6) ano += 2000;
  data = DataHora{static_cast<int>(ano), static_cast<int>(mes), static_cast<int>(dia), 0, 0, 0};
  return data.valida();
}

std::string GravaSaida(const ImpressoraFiscal& ecf, const std::string& nome,
                       const std::vector<std::string>& linhas) {
  const std::string estado = ecf.caminhoEstado();
  const std::size_t barra = estado.find_last_of("/\\");
  const std::string caminho =
      (barra == std::string::npos ? std::string() : estado.substr(0, barra + 1)) + nome;
  std::string texto;
  for (const std::string& l : linhas) texto += l + "\r\n";
  return arquivo::Substitui(caminho, texto, false) ? caminho : std::string();
}

DataHora GravacaoSoftwareBasico() {
  return DataHora{2024, 1, 2, 9, 30, 0};
}

ImpressoraFiscal& Impressora(const std::string& fabricante) {
  return impressoraDoProcesso(fabricante);
}

namespace {

ObservadorDeChamadas observadorDeChamadas = nullptr;

}  // namespace

void DefineObservadorDeChamadas(ObservadorDeChamadas observador) {
  observadorDeChamadas = observador;
}

void AntesDaChamada(const char* funcao) {
  if (observadorDeChamadas) observadorDeChamadas(funcao);
}

// ---------------------------------------------------------------- FI family

namespace {

const char* TextoDoResultado(Resultado r) {
  switch (r) {
    case Resultado::Ok:
      return "";
    case Resultado::Desligada:
      return "Impressora desligada| Verifique a alimentação e o cabo de comunicação.";
    case Resultado::SemPapel:
      return "Impressora sem papel| Coloque uma nova bobina e repita a operação.";
    case Resultado::CupomNaoAberto:
      return "Comando não executado| Cupom fiscal não está aberto.";
    case Resultado::CupomJaAberto:
      return "Comando não executado| Cupom fiscal já está aberto.";
    case Resultado::DocumentoAberto:
      return "Comando não executado| Há um documento aberto na impressora.";
    case Resultado::DocumentoNaoAberto:
      return "Comando não executado| Documento não está aberto.";
    case Resultado::ComandoForaDeSequencia:
      return "Comando não executado| Comando fora de sequência.";
    case Resultado::SemItens:
      return "Comando não executado| Cupom sem itens.";
    case Resultado::ItemInexistente:
      return "Comando não executado| Item inexistente.";
    case Resultado::ItemJaCancelado:
      return "Comando não executado| Item já cancelado.";
    case Resultado::ItemJaAjustado:
      return "Comando não executado| Item já recebeu acréscimo ou desconto.";
    case Resultado::AliquotaNaoProgramada:
      return "Comando não executado| Alíquota não programada.";
    case Resultado::FormaPagamentoNaoProgramada:
      return "Comando não executado| Forma de pagamento não programada.";
    case Resultado::TotalizadorNaoProgramado:
      return "Comando não executado| Totalizador não fiscal não programado.";
    case Resultado::RelatorioNaoProgramado:
      return "Comando não executado| Relatório gerencial não programado.";
    case Resultado::PagamentoInsuficiente:
      return "Comando não executado| Pagamento não cobre o total do cupom.";
    case Resultado::PagamentoJaCobreTotal:
      return "Comando não executado| Pagamento já cobre o total do cupom.";
    case Resultado::ValorMaiorQueTotal:
      return "Comando não executado| Valor maior que o total.";
    case Resultado::NadaACancelar:
      return "Comando não executado| Não há cupom a cancelar.";
    case Resultado::VinculadoInvalido:
      return "Comando não executado| Comprovante vinculado sem pagamento correspondente.";
    case Resultado::DiaBloqueado:
      return "Comando não executado| Redução Z já emitida: dia bloqueado.";
    case Resultado::ReducaoZPendente:
      return "Comando não executado| Redução Z pendente.";
    case Resultado::DiaComMovimento:
      return "Comando não executado| Dia com movimento.";
    case Resultado::JaProgramado:
      return "Comando não executado| Índice já programado.";
    case Resultado::CapacidadeEsgotada:
      return "Comando não executado| Capacidade esgotada.";
    case Resultado::ParametroInvalido:
      return "Comando não executado| Parâmetro inválido.";
    case Resultado::ErroInterno:
      return "Erro interno| Falha inesperada no simulador.";
  }
  return "Comando não executado| ?";
}

}  // namespace

DriverFI::DriverFI(const char* fabricante, Familia familia)
    : fabricante_(fabricante), familia_(familia) {}

ImpressoraFiscal& DriverFI::ecf() {
  return Impressora(fabricante_);
}

void DriverFI::Reinicia() {
  ultimo_ = Resultado::Ok;
  mensagemInjetada_.clear();
  unidade_.clear();
  descricaoLonga_.clear();
}

int32_t DriverFI::Codigo(Resultado r) {
  ultimo_ = r;
  mensagemInjetada_.clear();
  switch (r) {
    case Resultado::Ok:
      return 1;
    case Resultado::Desligada:
      return -6;
    // Out of paper the driver talks to the printer: the command returns 1 and
    // ST1 tells what happened. CONVECF does not let the verdict read the
    // bytes, and answers that the status is not 6,0,0.
    case Resultado::SemPapel:
      return familia_ == Familia::Sweda ? -27 : 1;
    case Resultado::AliquotaNaoProgramada:
      return -3;
    case Resultado::FormaPagamentoNaoProgramada:
      return -24;
    case Resultado::ParametroInvalido:
      return -2;
    case Resultado::PagamentoInsuficiente:
      return -36;
    case Resultado::ErroInterno:
      return 0;
    default:
      return -1;
  }
}

int32_t DriverFI::Aceita() {
  return Codigo(ecf().ligada() ? Resultado::Ok : Resultado::Desligada);
}

bool DriverFI::PodeLer(int32_t& codigo) {
  codigo = Aceita();
  return codigo == 1;
}

void DriverFI::Injetado(const char* funcao, int32_t codigo) {
  if (codigo == 1) {
    ultimo_ = Resultado::Ok;
    mensagemInjetada_.clear();
    return;
  }
  ultimo_ = Resultado::ErroInterno;
  mensagemInjetada_ =
      "Falha simulada| Código " + std::to_string(codigo) + " em " + Texto(funcao) + ".";
}

int32_t DriverFI::RetornoImpressora(int32_t* ack, int32_t* st1, int32_t* st2) {
  // Reads the state the last command left: not a command itself.
  ImpressoraFiscal& e = ecf();
  if (!e.ligada()) return -6;
  int32_t s1 = 0, s2 = 0;
  switch (e.sensorPapel()) {
    case SensorPapel::Sem:
      s1 |= 128;
      break;
    case SensorPapel::Pouco:
      s1 |= 64;
      break;
    case SensorPapel::Presente:
      break;
  }
  if (e.documentoAberto() == TipoDocumento::CupomFiscal) s1 |= 2;
  if (ultimo_ != Resultado::Ok && ultimo_ != Resultado::Desligada) {
    s2 |= 1;  // command not executed
    if (ultimo_ == Resultado::AliquotaNaoProgramada) s2 |= 16;
    if (ultimo_ == Resultado::NadaACancelar) s2 |= 4;  // cancellation not allowed
    if (ultimo_ == Resultado::CapacidadeEsgotada) s2 |= 8;
  }
  EscreveInteiro(ack, 6);
  EscreveInteiro(st1, s1);
  EscreveInteiro(st2, s2);
  return 1;
}

int32_t DriverFI::FlagsFiscais(int32_t* flags) {
  int32_t codigo;
  if (!PodeLer(codigo)) return codigo;
  const ImpressoraFiscal& e = ecf();
  int32_t f = 0;
  if (e.documentoAberto() == TipoDocumento::CupomFiscal) {
    f |= 1 | 32;  // open, and may be cancelled
    if (e.faseCupom() != FaseCupom::Aberto && e.faseCupom() != FaseCupom::Vendendo)
      f |= 2;  // closing (payment methods) begun
  } else if (e.documentoAberto() == TipoDocumento::Nenhum && e.ultimoCupom().coo != 0 &&
             e.ultimoCupom().coo == e.contadores().coo && !e.ultimoCupom().cancelado) {
    f |= 32;
  }
  if (e.horarioVerao()) f |= 4;
  if (e.diaBloqueado()) f |= 8;
  EscreveInteiro(flags, f);
  return 1;
}

int32_t DriverFI::StatusDocumento(char* buffer, TipoDocumento tipo) {
  int32_t codigo;
  if (!PodeLer(codigo)) return codigo;
  Escreve(buffer, ecf().documentoAberto() == tipo ? "1" : "0");
  return 1;
}

int32_t DriverFI::MensagemStatus(char* buffer) {
  Escreve(buffer,
          mensagemInjetada_.empty() ? std::string(TextoDoResultado(ultimo_)) : mensagemInjetada_);
  return 1;
}

int32_t DriverFI::AbreCupom(const char* documento) {
  return Codigo(ecf().abreCupom(Texto(documento)));
}

int32_t DriverFI::VendeItem(const char* codigo, const char* descricao, const char* aliquota,
                            const char* quantidade, const char* valor, const Ajuste& ajuste,
                            const std::string& unidade) {
  ImpressoraFiscal& e = ecf();
  ImpressoraFiscal::Item item;
  item.codigo = Texto(codigo);
  // The long description and the unit hold for the next item only.
  item.descricao = descricaoLonga_.empty() ? Texto(descricao) : descricaoLonga_;
  item.unidade = !unidade.empty() ? unidade : (!unidade_.empty() ? unidade_ : std::string("UN"));
  descricaoLonga_.clear();
  unidade_.clear();
  item.aliquota = AliquotaDoModelo(e, Texto(aliquota));
  item.ajuste = ajuste;
  if (!LeDecimal(Texto(quantidade), 3, item.quantidadeMilesimos) ||
      !LeDecimal(Texto(valor), 3, item.precoUnitarioMilesimos))
    return Codigo(e.ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Codigo(e.vendeItem(item));
}

int32_t DriverFI::AjustaItem(const char* item, const Ajuste& ajuste) {
  int64_t numero = 0;
  if (!LeInteiro(Texto(item), numero) || numero < 0 || numero > 9999)
    return Codigo(ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Codigo(ecf().ajustaItem(static_cast<int>(numero), ajuste));
}

int32_t DriverFI::CancelaItem(const char* item) {
  int64_t numero = 0;
  if (!LeInteiro(Texto(item), numero) || numero < 1 || numero > 9999)
    return Codigo(ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Codigo(ecf().cancelaItem(static_cast<int>(numero)));
}

int32_t DriverFI::CancelaCupom() {
  return Codigo(ecf().cancelaCupom());
}

bool DriverFI::LeAjuste(const char* tipo, const char* valor, bool positivoEhAcrescimo,
                        Ajuste& ajuste) const {
  ajuste = Ajuste();
  const std::string v = apara(Texto(valor));
  if (v.empty()) return true;
  const bool percentual = apara(Texto(tipo)) == "%";
  int64_t n = 0;
  bool lido = percentual
                  ? (PercentualEmCentesimos() ? LeCentesimosDePercentual(v, n) : LeDecimal(v, 2, n))
                  : LeDecimal(v, 2, n);
  if (!lido) return false;
  if (n == 0) return true;
  const bool acrescimo = (n > 0) == positivoEhAcrescimo;
  if (n < 0) n = -n;
  if (percentual)
    ajuste = acrescimo ? Ajuste::acrescimoPercentual(n) : Ajuste::descontoPercentual(n);
  else
    ajuste = acrescimo ? Ajuste::acrescimoValor(n) : Ajuste::descontoValor(n);
  return true;
}

Ajuste ComoDesconto(const Ajuste& a) {
  switch (a.tipo) {
    case TipoAjuste::AcrescimoValor:
    case TipoAjuste::DescontoValor:
      return Ajuste::descontoValor(a.valor);
    case TipoAjuste::AcrescimoPercentual:
    case TipoAjuste::DescontoPercentual:
      return Ajuste::descontoPercentual(a.valor);
    case TipoAjuste::Nenhum:
      break;
  }
  return a;
}

int32_t DriverFI::IniciaFechamento(const char* acrescimoDesconto, const char* tipo,
                                   const char* valor) {
  const std::string ad = maiusculas(apara(Texto(acrescimoDesconto)));
  const bool desconto = !ad.empty() && ad[0] == 'D';
  Ajuste ajuste;
  if (!LeAjuste(tipo, valor, !desconto, ajuste))
    return Codigo(ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  // The amount's sign does not decide: the letter tells surcharge or discount.
  if (ajuste.tipo == TipoAjuste::AcrescimoValor || ajuste.tipo == TipoAjuste::DescontoValor)
    ajuste = desconto ? Ajuste::descontoValor(ajuste.valor) : Ajuste::acrescimoValor(ajuste.valor);
  else if (ajuste.tipo != TipoAjuste::Nenhum)
    ajuste = desconto ? Ajuste::descontoPercentual(ajuste.valor)
                      : Ajuste::acrescimoPercentual(ajuste.valor);
  return Codigo(ecf().iniciaFechamento(ajuste));
}

int32_t DriverFI::EfetuaPagamento(const char* forma, const char* valor) {
  int64_t centavos = 0;
  if (!LeDecimal(Texto(valor), 2, centavos))
    return Codigo(ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Codigo(ecf().efetuaPagamento(apara(Texto(forma)), centavos));
}

int32_t DriverFI::TerminaFechamento(const char* mensagem) {
  return Codigo(ecf().encerraCupom(Texto(mensagem)));
}

int32_t DriverFI::AcionaGaveta() {
  return Codigo(ecf().abreGaveta());
}

int32_t DriverFI::FechaRelatorio() {
  return Codigo(ecf().fechaRelatorioGerencial());
}

int32_t DriverFI::FechaVinculado() {
  return Codigo(ecf().fechaComprovanteVinculado());
}

// ---- non-fiscal documents

namespace {

bool LeValor(const char* texto, int64_t& centavos) {
  return LeDecimal(Texto(texto), 2, centavos);
}

}  // namespace

int32_t DriverFI::Recebimento(const std::string& totalizador, const char* valor,
                              const char* forma) {
  int64_t centavos = 0;
  if (!LeValor(valor, centavos))
    return Codigo(ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Codigo(ecf().recebimentoNaoFiscal(apara(totalizador), centavos, apara(Texto(forma))));
}

int32_t DriverFI::Suprimento(const char* valor, const char* forma) {
  int64_t centavos = 0;
  if (!LeValor(valor, centavos))
    return Codigo(ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  const std::string f = apara(Texto(forma));
  return Codigo(ecf().suprimento(centavos, f.empty() ? std::string("Dinheiro") : f));
}

int32_t DriverFI::Sangria(const char* valor) {
  int64_t centavos = 0;
  if (!LeValor(valor, centavos))
    return Codigo(ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Codigo(ecf().sangria(centavos));
}

int32_t DriverFI::AbreVinculado(const char* forma, const char* valor, const char* coo) {
  int64_t centavos = 0, numero = 0;
  const std::string v = apara(Texto(valor)), n = apara(Texto(coo));
  if ((!v.empty() && !LeDecimal(v, 2, centavos)) || (!n.empty() && !LeInteiro(n, numero)) ||
      numero < 0 || numero > 999999)
    return Codigo(ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Codigo(
      ecf().abreComprovanteVinculado(apara(Texto(forma)), centavos, static_cast<int>(numero)));
}

int32_t DriverFI::UsaVinculado(const char* texto) {
  return Codigo(ecf().imprimeComprovanteVinculado(Texto(texto)));
}

int32_t DriverFI::AbreRelatorio(int64_t indice) {
  if (indice < 1 || indice > 30)
    return Codigo(ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Codigo(ecf().abreRelatorioGerencial(static_cast<int>(indice)));
}

int32_t DriverFI::ImprimeRelatorio(const char* texto) {
  ImpressoraFiscal& e = ecf();
  if (e.documentoAberto() == TipoDocumento::Nenhum) {
    const Resultado r = e.abreRelatorioGerencial(1);
    if (r != Resultado::Ok) return Codigo(r);
  }
  return Codigo(e.imprimeRelatorioGerencial(Texto(texto)));
}

int32_t DriverFI::NomeiaRelatorio(const char* indice, const char* nome, int base,
                                  bool primeiroLivre) {
  ImpressoraFiscal& e = ecf();
  int64_t i = 0;
  if (!LeInteiro(Texto(indice), i) || i + base < 1 || i + base > 30)
    return Codigo(e.ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  Resultado r = e.nomeiaRelatorioGerencial(static_cast<int>(i + base), Texto(nome));
  if (r == Resultado::JaProgramado && primeiroLivre) r = e.nomeiaRelatorioGerencial(0, Texto(nome));
  return Codigo(r);
}

int32_t DriverFI::NomeiaTotalizador(int64_t indice, const char* nome) {
  if (indice < 1 || indice > 50)
    return Codigo(ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Codigo(ecf().nomeiaTotalizadorNaoFiscal(static_cast<int>(indice), Texto(nome)));
}

// ---- the day

int32_t DriverFI::LeituraX() {
  return Codigo(ecf().leituraX());
}

int32_t DriverFI::ReducaoZ() {
  return Codigo(ecf().reducaoZ());
}

int32_t DriverFI::ProgramaArredondamento() {
  const int32_t codigo = Aceita();
  if (codigo == 1) ecf().defineArredondamento(true);
  return codigo;
}

int32_t DriverFI::AlternaHorarioVerao() {
  return Codigo(ecf().alternaHorarioVerao());
}

int32_t DriverFI::LeituraMemoriaFiscal(const char* inicio, const char* fim, bool porData,
                                       bool completa, const std::string& arquivo) {
  ImpressoraFiscal& e = ecf();
  ImpressoraFiscal::FaixaMemoriaFiscal faixa;
  faixa.porData = porData;
  faixa.completa = completa;
  bool lido;
  if (porData) {
    lido = LeDataDaLeitura(Texto(inicio), faixa.dataInicial) &&
           LeDataDaLeitura(Texto(fim), faixa.dataFinal);
  } else {
    int64_t a = 0, b = 0;
    lido = LeInteiro(Texto(inicio), a) && LeInteiro(Texto(fim), b) && a >= 0 && b <= 9999;
    faixa.crzInicial = static_cast<int>(a);
    faixa.crzFinal = static_cast<int>(b);
  }
  if (!lido) return Codigo(e.ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  if (arquivo.empty()) return Codigo(e.leituraMemoriaFiscal(faixa));
  if (!e.ligada()) return Codigo(Resultado::Desligada);
  const std::vector<std::string> texto = e.textoLeituraMemoriaFiscal(faixa);
  if (texto.empty()) return Codigo(Resultado::ParametroInvalido);
  return Codigo(GravaSaida(e, arquivo, texto).empty() ? Resultado::ErroInterno : Resultado::Ok);
}

int32_t DriverFI::Le(char* buffer, const std::string& resposta) {
  int32_t codigo;
  if (!PodeLer(codigo)) return codigo;
  Escreve(buffer, resposta);
  return 1;
}

int32_t DriverFI::LeSubtotal(char* buffer) {
  return Le(buffer, Digitos(ecf().subtotal(), 14));
}

int32_t DriverFI::LeGrandeTotal(char* buffer) {
  return Le(buffer, Digitos(ecf().grandeTotal(), 18));
}

int32_t DriverFI::LeDataHora(char* data, char* hora) {
  int32_t codigo;
  if (!PodeLer(codigo)) return codigo;
  const DataHora agora = ecf().agora();
  Escreve(data, Ddmmaa(agora));
  Escreve(hora, Hhmmss(agora));
  return 1;
}

int32_t DriverFI::LeMarcaModeloTipo(char* marca, char* modelo, char* tipo) {
  int32_t codigo;
  if (!PodeLer(codigo)) return codigo;
  const Identificacao& id = ecf().identificacao();
  Escreve(marca, id.marca);
  Escreve(modelo, id.modelo);
  Escreve(tipo, id.tipo);
  return 1;
}

}  // namespace substituto
}  // namespace simulador
}  // namespace tarvic
