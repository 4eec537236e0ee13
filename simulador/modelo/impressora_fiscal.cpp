#include "impressora_fiscal.h"

#include "texto.h"

#include <algorithm>
#include <memory>

namespace tarvic {
namespace simulador {

namespace {

const std::string Separador(48, '-');
const char* const CodigosFixos[] = {"F", "I", "N", "FS", "IS", "NS"};

const std::size_t MaxAliquotas = 16;
const std::size_t MaxFormas = 20;
const int MaxTotalizadores = 50;
const int MaxRelatorios = 30;
const std::size_t MaxNomeForma = 16;
const std::size_t MaxNomeTotalizador = 19;
const std::size_t MaxNomeRelatorio = 15;

// The printer's field limits: 9999,999 units and R$ 9.999.999,999 a unit.
const int64_t MaxQuantidade = 9999999;
const int64_t MaxPrecoUnitario = 9999999999LL;
const int64_t MaxValor = 99999999999LL;  // R$ 999.999.999,99
// A coupon's total: R$ 9.999.999,99. Within it the sharing of the subtotal
// adjustment (adjustment x item value) fits 64 bits, 32-bit Windows included.
const int64_t MaxTotalCupom = 999999999LL;

bool ehAjusteDeDesconto(const Ajuste& a) {
  return a.tipo == TipoAjuste::DescontoValor || a.tipo == TipoAjuste::DescontoPercentual;
}

bool ehPercentual(const Ajuste& a) {
  return a.tipo == TipoAjuste::AcrescimoPercentual || a.tipo == TipoAjuste::DescontoPercentual;
}

std::string moeda(int64_t centavos) {
  return formataDecimal(centavos, 2);
}

std::string formataCnpj(const std::string& c) {
  if (c.size() != 14) return c;
  return c.substr(0, 2) + "." + c.substr(2, 3) + "." + c.substr(5, 3) + "/" + c.substr(8, 4) + "-" +
         c.substr(12, 2);
}

bool ehCodigoFixo(const std::string& c) {
  for (const char* f : CodigosFixos)
    if (c == f) return true;
  return false;
}

bool soDigitos(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

const char* descricaoResultado(Resultado r) {
  switch (r) {
    case Resultado::Ok:
      return "ok";
    case Resultado::Desligada:
      return "impressora desligada";
    case Resultado::SemPapel:
      return "sem papel";
    case Resultado::CupomNaoAberto:
      return "cupom fiscal nao aberto";
    case Resultado::CupomJaAberto:
      return "cupom fiscal ja aberto";
    case Resultado::DocumentoAberto:
      return "ha um documento aberto";
    case Resultado::DocumentoNaoAberto:
      return "documento nao aberto";
    case Resultado::ComandoForaDeSequencia:
      return "comando fora de sequencia";
    case Resultado::SemItens:
      return "cupom sem itens";
    case Resultado::ItemInexistente:
      return "item inexistente";
    case Resultado::ItemJaCancelado:
      return "item ja cancelado";
    case Resultado::ItemJaAjustado:
      return "item ja recebeu acrescimo ou desconto";
    case Resultado::AliquotaNaoProgramada:
      return "aliquota nao programada";
    case Resultado::FormaPagamentoNaoProgramada:
      return "forma de pagamento nao programada";
    case Resultado::TotalizadorNaoProgramado:
      return "totalizador nao fiscal nao programado";
    case Resultado::RelatorioNaoProgramado:
      return "relatorio gerencial nao programado";
    case Resultado::PagamentoInsuficiente:
      return "pagamento nao cobre o total";
    case Resultado::PagamentoJaCobreTotal:
      return "pagamento ja cobre o total";
    case Resultado::ValorMaiorQueTotal:
      return "valor maior que o total";
    case Resultado::NadaACancelar:
      return "nao ha cupom a cancelar";
    case Resultado::VinculadoInvalido:
      return "comprovante vinculado sem pagamento correspondente";
    case Resultado::DiaBloqueado:
      return "dia bloqueado por reducao Z";
    case Resultado::ReducaoZPendente:
      return "reducao Z pendente";
    case Resultado::DiaComMovimento:
      return "dia com movimento";
    case Resultado::JaProgramado:
      return "indice ja programado";
    case Resultado::CapacidadeEsgotada:
      return "capacidade esgotada";
    case Resultado::ParametroInvalido:
      return "parametro invalido";
    case Resultado::ErroInterno:
      return "erro interno do simulador";
  }
  return "?";
}

// ---------------------------------------------------------------- Cupom

int64_t Cupom::subtotal() const {
  int64_t s = 0;
  for (const ItemCupom& i : itens)
    if (!i.cancelado) s += i.liquidoSemRateio();
  return s;
}

int64_t Cupom::pago() const {
  int64_t s = 0;
  for (const PagamentoCupom& p : pagamentos) s += p.valor;
  return s;
}

int Cupom::itensValidos() const {
  int n = 0;
  for (const ItemCupom& i : itens)
    if (!i.cancelado) ++n;
  return n;
}

int64_t ComprovanteNaoFiscal::total() const {
  int64_t s = 0;
  for (const ItemNaoFiscal& i : itens) s += i.valor;
  return s;
}

int64_t ComprovanteNaoFiscal::totalEntradas() const {
  int64_t s = 0;
  for (const ItemNaoFiscal& i : itens)
    if (!i.saida) s += i.valor;
  return s;
}

int64_t ComprovanteNaoFiscal::pago() const {
  int64_t s = 0;
  for (const PagamentoCupom& p : pagamentos) s += p.valor;
  return s;
}

// ---------------------------------------------------------------- base

// Every operation: the control file first, then the body, then the record of
// what changed, flushed when no document is left open. An operation that
// fails on the way leaves the printer as the last record has it.
template <typename Corpo>
Resultado ImpressoraFiscal::opera(Corpo corpo) {
  try {
    aplicaArquivoControle();
    Resultado r = corpo();
    registra(m_.documento == TipoDocumento::Nenhum);
    return r;
  } catch (...) {
    try {
      descartaPendentes();
      carrega();
    } catch (...) {
    }
    return Resultado::ErroInterno;
  }
}

void ImpressoraFiscal::estadoDeFabrica() {
  std::string fabricante = m_.identificacao.fabricante;
  m_ = EstadoGravado();
  m_.identificacao.fabricante = fabricante;
  m_.identificacao.marca = fabricante;
  std::string prefixo = fabricante.substr(0, 2);
  while (prefixo.size() < 2) prefixo += 'X';
  m_.identificacao.numeroSerie = "SIM" + prefixo + zeros(1, 15);

  relogio_.defineDeslocamento(0);

  const struct {
    TipoTributo tipo;
    int64_t percentual;
  } fabrica[] = {{TipoTributo::Icms, 1800},
                 {TipoTributo::Icms, 1200},
                 {TipoTributo::Icms, 700},
                 {TipoTributo::Icms, 2500},
                 {TipoTributo::Iss, 500}};
  for (const auto& a : fabrica)
    m_.aliquotas.push_back(
        Aliquota{static_cast<int>(m_.aliquotas.size()) + 1, a.tipo, a.percentual, 0});

  m_.formas = {FormaPagamento{1, "Dinheiro", false, 0}, FormaPagamento{2, "Cheque", false, 0},
               FormaPagamento{3, "Cartao", true, 0}};
  m_.totalizadores = {TotalizadorNaoFiscal{1, "SANGRIA", true, 0, 0},
                      TotalizadorNaoFiscal{2, "SUPRIMENTO", false, 0, 0}};
  m_.relatorios = {RelatorioGerencial{1, "Relatorio Geral", 0}};

  for (const char* f : CodigosFixos) m_.totais.fixos.push_back(TotalParcial{f, 0});
  memoriaFiscal_.clear();
}

void ImpressoraFiscal::reinicia() {
  try {
    descartaPendentes();
    estadoDeFabrica();
    ligada_ = true;
    papel_ = SensorPapel::Presente;
    novaImpressora(nullptr);
  } catch (...) {
  }
}

std::string ImpressoraFiscal::base() const {
  std::string base = caminhoEstado_;
  std::size_t ponto = base.find_last_of('.');
  std::size_t barra = base.find_last_of("/\\");
  if (ponto != std::string::npos && (barra == std::string::npos || ponto > barra))
    base.erase(ponto);
  return base;
}

std::string ImpressoraFiscal::caminhoBobina() const {
  return base() + ".bobina.txt";
}

std::string ImpressoraFiscal::caminhoControle() const {
  return base() + ".falhas";
}

std::string ImpressoraFiscal::caminhoJornal() const {
  return base() + ".jornal";
}

std::string ImpressoraFiscal::caminhoRegistro() const {
  return base() + ".registro";
}

std::string ImpressoraFiscal::caminhoMemoriaFiscal() const {
  return base() + ".memoria_fiscal";
}

// ---------------------------------------------------------------- sensors and faults

void ImpressoraFiscal::liga() {
  ligada_ = true;
}

void ImpressoraFiscal::desliga() {
  ligada_ = false;
}

bool ImpressoraFiscal::ligada() {
  try {
    aplicaArquivoControle();
  } catch (...) {
  }
  return ligada_;
}

void ImpressoraFiscal::defineSensorPapel(SensorPapel s) {
  papel_ = s;
}

SensorPapel ImpressoraFiscal::sensorPapel() {
  try {
    aplicaArquivoControle();
  } catch (...) {
  }
  return papel_;
}

Resultado ImpressoraFiscal::verificaImpressora() {
  try {
    aplicaArquivoControle();
  } catch (...) {
  }
  return podeImprimir();
}

void ImpressoraFiscal::injetaCodigo(const std::string& funcao, int codigo) {
  try {
    m_.codigosInjetados[maiusculas(apara(funcao))].push_back(codigo);
    registra(m_.documento == TipoDocumento::Nenhum);
  } catch (...) {
  }
}

std::optional<int> ImpressoraFiscal::retiraCodigoInjetado(const std::string& funcao) {
  try {
    aplicaArquivoControle();
    if (m_.codigosInjetados.empty()) return std::nullopt;
    auto it = m_.codigosInjetados.find(maiusculas(apara(funcao)));
    if (it == m_.codigosInjetados.end() || it->second.empty()) return std::nullopt;
    int codigo = it->second.front();
    it->second.erase(it->second.begin());
    if (it->second.empty()) m_.codigosInjetados.erase(it);
    registra(m_.documento == TipoDocumento::Nenhum);
    return codigo;
  } catch (...) {
    return std::nullopt;
  }
}

void ImpressoraFiscal::mudaDeslocamento(int64_t segundos) {
  relogio_.defineDeslocamento(segundos);
  m_.deslocamentoRelogio = segundos;
}

void ImpressoraFiscal::defineDeslocamentoRelogio(int64_t segundos) {
  mudaDeslocamento(segundos);
  registra(m_.documento == TipoDocumento::Nenhum);
}

// ---------------------------------------------------------------- common rules

Resultado ImpressoraFiscal::podeImprimir() const {
  if (!ligada_) return Resultado::Desligada;
  if (papel_ == SensorPapel::Sem) return Resultado::SemPapel;
  return Resultado::Ok;
}

bool ImpressoraFiscal::reducaoZPendente() const {
  return m_.diaAberto && m_.dataMovimento.diaCivil() < agora().diaCivil();
}

bool ImpressoraFiscal::diaBloqueado() const {
  if (m_.diaAberto || memoriaFiscal_.empty()) return false;
  return memoriaFiscal_.back().dataMovimento.diaCivil() >= agora().diaCivil();
}

Resultado ImpressoraFiscal::podeAbrirDocumento() const {
  Resultado r = podeImprimir();
  if (r != Resultado::Ok) return r;
  if (m_.documento == TipoDocumento::CupomFiscal) return Resultado::CupomJaAberto;
  if (m_.documento != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
  if (reducaoZPendente()) return Resultado::ReducaoZPendente;
  if (diaBloqueado()) return Resultado::DiaBloqueado;
  return Resultado::Ok;
}

void ImpressoraFiscal::abreDiaSeFechado() {
  if (m_.diaAberto) return;
  m_.diaAberto = true;
  m_.dataMovimento = agora().soData();
  m_.totais.grandeTotalInicial = m_.grandeTotal;
}

FaseCupom ImpressoraFiscal::faseCupom() const {
  if (m_.documento == TipoDocumento::NaoFiscal) return m_.naoFiscal.fase;
  return m_.cupom.fase;
}

int64_t ImpressoraFiscal::subtotal() const {
  if (m_.documento == TipoDocumento::CupomFiscal) return m_.cupom.total();
  if (m_.documento == TipoDocumento::NaoFiscal) return m_.naoFiscal.total();
  return 0;
}

int64_t ImpressoraFiscal::totalPago() const {
  if (m_.documento == TipoDocumento::CupomFiscal) return m_.cupom.pago();
  if (m_.documento == TipoDocumento::NaoFiscal) return m_.naoFiscal.pago();
  return 0;
}

int64_t ImpressoraFiscal::troco() const {
  int64_t t = totalPago() - subtotal();
  return t > 0 ? t : 0;
}

int64_t ImpressoraFiscal::vendaLiquidaDia() const {
  return vendaBrutaDia() - m_.totais.cancelamentosIcms - m_.totais.cancelamentosIss -
         m_.totais.descontosIcms - m_.totais.descontosIss;
}

int64_t ImpressoraFiscal::arredondaDivisao(int64_t numerador, int64_t denominador) const {
  if (m_.arredonda) return (numerador + denominador / 2) / denominador;
  return numerador / denominador;
}

int64_t ImpressoraFiscal::valorDoAjuste(const Ajuste& a, int64_t base) const {
  if (a.tipo == TipoAjuste::Nenhum) return 0;
  if (ehPercentual(a)) return arredondaDivisao(base * a.valor, 10000);
  return a.valor;
}

// ---------------------------------------------------------------- tax rates

std::string ImpressoraFiscal::resolveAliquota(const std::string& codigo) const {
  std::string c = maiusculas(apara(codigo));
  if (ehCodigoFixo(c)) return c;
  auto chave = [](const Aliquota& a) {
    return zeros(a.indice, 2) + (a.tipo == TipoTributo::Icms ? "T" : "S") + zeros(a.percentual, 4);
  };
  if (c.size() == 2 && soDigitos(c)) {
    int indice = std::stoi(c);
    for (const Aliquota& a : m_.aliquotas)
      if (a.indice == indice) return chave(a);
    return std::string();
  }
  if (c.size() == 5 && (c[0] == 'T' || c[0] == 'S') && soDigitos(c.substr(1))) {
    TipoTributo tipo = c[0] == 'T' ? TipoTributo::Icms : TipoTributo::Iss;
    int64_t percentual = std::stoll(c.substr(1));
    for (const Aliquota& a : m_.aliquotas)
      if (a.tipo == tipo && a.percentual == percentual) return chave(a);
    return std::string();
  }
  if (c.size() == 7) {
    for (const Aliquota& a : m_.aliquotas)
      if (chave(a) == c) return c;
  }
  return std::string();
}

Aliquota* ImpressoraFiscal::aliquotaPorCodigo(const std::string& codigo) {
  if (codigo.size() != 7 || !soDigitos(codigo.substr(0, 2))) return nullptr;
  int indice = std::stoi(codigo.substr(0, 2));
  for (Aliquota& a : m_.aliquotas)
    if (a.indice == indice) return &a;
  return nullptr;
}

TotalParcial* ImpressoraFiscal::totalFixo(const std::string& codigo) {
  for (TotalParcial& t : m_.totais.fixos)
    if (t.codigo == codigo) return &t;
  m_.totais.fixos.push_back(TotalParcial{codigo, 0});
  return &m_.totais.fixos.back();
}

void ImpressoraFiscal::somaTotalParcial(const std::string& codigo, int64_t valor) {
  if (Aliquota* a = aliquotaPorCodigo(codigo))
    a->totalDia += valor;
  else
    totalFixo(codigo)->total += valor;
}

std::string ImpressoraFiscal::rotuloAliquota(const std::string& codigo) const {
  if (ehCodigoFixo(codigo)) return codigo + "1";
  if (codigo.size() == 7)
    return codigo.substr(2, 1) + formataDecimal(std::stoll(codigo.substr(3)), 2) + "%";
  return codigo;
}

std::vector<TotalParcial> ImpressoraFiscal::totaisParciais() const {
  std::vector<TotalParcial> r;
  for (const Aliquota& a : m_.aliquotas)
    r.push_back(TotalParcial{
        zeros(a.indice, 2) + (a.tipo == TipoTributo::Icms ? "T" : "S") + zeros(a.percentual, 4),
        a.totalDia});
  for (const TotalParcial& t : m_.totais.fixos) r.push_back(t);
  return r;
}

const FormaPagamento* ImpressoraFiscal::procuraForma(const std::string& nome) const {
  for (const FormaPagamento& f : m_.formas)
    if (mesmoNome(f.nome, nome)) return &f;
  return nullptr;
}

FormaPagamento* ImpressoraFiscal::formaPorNome(const std::string& nome) {
  for (FormaPagamento& f : m_.formas)
    if (mesmoNome(f.nome, nome)) return &f;
  return nullptr;
}

const TotalizadorNaoFiscal* ImpressoraFiscal::procuraTotalizador(const std::string& nome) const {
  for (const TotalizadorNaoFiscal& t : m_.totalizadores)
    if (mesmoNome(t.nome, nome)) return &t;
  return nullptr;
}

// ---------------------------------------------------------------- tape

void ImpressoraFiscal::iniciaDocumento(const std::string& tipo) {
  DocumentoImpresso& d = m_.documentoAtual;
  d.coo = m_.contadores.coo;
  d.tipo = tipo;
  d.dataHora = agora();
  novoJornal_ += LinhaInicioDeDocumento(d);
  m_.ultimoDocumento = d.dataHora;
}

void ImpressoraFiscal::imprime(const std::string& linha) {
  imprime(std::vector<std::string>{linha});
}

void ImpressoraFiscal::imprime(const std::vector<std::string>& linhas) {
  if (m_.documentoAtual.tipo.empty()) iniciaDocumento("?");
  std::vector<std::string> cortadas;
  for (const std::string& l : linhas) {
    if (l.empty()) {
      cortadas.push_back(l);
      continue;
    }
    for (const std::string& parte : quebraLinhas(l, 48)) cortadas.push_back(parte);
  }
  novoJornal_ += LinhaDeImpressao(cortadas);
  for (const std::string& l : cortadas) {
    acrescentaComoUtf8(novaBobina_, l);
    novaBobina_ += '\n';
  }
}

void ImpressoraFiscal::imprimeCabecalho(const std::string& titulo, bool comCcf) {
  const Identificacao& id = m_.identificacao;
  std::vector<std::string> l;
  l.push_back(centraliza(id.razaoSocial));
  l.push_back(centraliza(id.endereco));
  l.push_back(centraliza(id.cidade));
  l.push_back(linhaDupla("CNPJ:" + formataCnpj(id.cnpj), "IE:" + id.ie));
  if (!id.im.empty()) l.push_back("IM:" + id.im);
  l.push_back(Separador);
  std::string numeros = "COO:" + zeros(m_.contadores.coo, 6);
  if (comCcf) numeros = "CCF:" + zeros(m_.contadores.ccf, 6) + " " + numeros;
  l.push_back(linhaDupla(m_.documentoAtual.dataHora.texto(), numeros));
  l.push_back(centraliza(titulo));
  imprime(l);
}

void ImpressoraFiscal::imprimeRodape() {
  const Identificacao& id = m_.identificacao;
  const DocumentoImpresso& doc = m_.documentoAtual;
  std::vector<std::string> l;
  l.push_back(Separador);
  std::string numeros = "COO:" + zeros(doc.coo, 6);
  if (doc.tipo == "CF") numeros = "CCF:" + zeros(m_.cupom.ccf, 6) + " " + numeros;
  l.push_back(
      linhaDupla("ECF:" + zeros(id.numeroCaixa, 3) + " LJ:" + zeros(id.numeroLoja, 4), numeros));
  l.push_back(linhaDupla(id.marca + " " + id.modelo, agora().texto()));
  l.push_back(linhaDupla("FAB:" + id.numeroSerie, "BR"));
  imprime(l);
}

std::vector<std::string> ImpressoraFiscal::linhasTotaisDia() const {
  std::vector<std::string> l;
  l.push_back(linhaDupla("GRANDE TOTAL", moeda(m_.grandeTotal)));
  l.push_back(linhaDupla("VENDA BRUTA DIARIA", moeda(vendaBrutaDia())));
  l.push_back(linhaDupla("CANCELAMENTOS ICMS", moeda(m_.totais.cancelamentosIcms)));
  l.push_back(linhaDupla("CANCELAMENTOS ISS", moeda(m_.totais.cancelamentosIss)));
  l.push_back(linhaDupla("DESCONTOS ICMS", moeda(m_.totais.descontosIcms)));
  l.push_back(linhaDupla("DESCONTOS ISS", moeda(m_.totais.descontosIss)));
  l.push_back(linhaDupla("ACRESCIMOS ICMS", moeda(m_.totais.acrescimosIcms)));
  l.push_back(linhaDupla("ACRESCIMOS ISS", moeda(m_.totais.acrescimosIss)));
  l.push_back(linhaDupla("VENDA LIQUIDA", moeda(vendaLiquidaDia())));
  l.push_back(Separador);
  l.push_back("TOTALIZADORES PARCIAIS");
  for (const TotalParcial& t : totaisParciais())
    l.push_back(linhaDupla(t.codigo.size() == 7
                               ? t.codigo.substr(0, 2) + " " + rotuloAliquota(t.codigo)
                               : rotuloAliquota(t.codigo),
                           moeda(t.total)));
  l.push_back(Separador);
  l.push_back("MEIOS DE PAGAMENTO");
  for (const FormaPagamento& f : m_.formas)
    l.push_back(linhaDupla(zeros(f.indice, 2) + " " + f.nome, moeda(f.totalDia)));
  l.push_back(linhaDupla("TROCO", moeda(m_.totais.troco)));
  l.push_back(Separador);
  l.push_back("NAO FISCAIS");
  for (const TotalizadorNaoFiscal& t : m_.totalizadores)
    l.push_back(
        linhaDupla(zeros(t.indice, 2) + " " + t.nome + " (" + std::to_string(t.contadorDia) + ")",
                   moeda(t.totalDia)));
  l.push_back(Separador);
  const Contadores& c = m_.contadores;
  l.push_back(linhaDupla("COO:" + zeros(c.coo, 6), "GNF:" + zeros(c.gnf, 6)));
  l.push_back(linhaDupla("CCF:" + zeros(c.ccf, 6), "CFC:" + zeros(c.cfc, 4)));
  l.push_back(linhaDupla("GRG:" + zeros(c.grg, 6), "CDC:" + zeros(c.cdc, 4)));
  l.push_back(linhaDupla("CRZ:" + zeros(c.crz, 4), "CRO:" + zeros(c.cro, 3)));
  return l;
}

// ---------------------------------------------------------------- programming

Resultado ImpressoraFiscal::programaAliquota(TipoTributo tipo, int64_t percentual, int* indice) {
  return opera([&]() {
    if (!ligada_) return Resultado::Desligada;
    if (percentual <= 0 || percentual > 9999) return Resultado::ParametroInvalido;
    for (const Aliquota& a : m_.aliquotas) {
      if (a.tipo == tipo && a.percentual == percentual) {
        if (indice) *indice = a.indice;
        return Resultado::Ok;
      }
    }
    if (m_.documento != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    if (m_.diaAberto) return Resultado::DiaComMovimento;
    if (m_.aliquotas.size() >= MaxAliquotas) return Resultado::CapacidadeEsgotada;
    m_.aliquotas.push_back(
        Aliquota{static_cast<int>(m_.aliquotas.size()) + 1, tipo, percentual, 0});
    if (indice) *indice = m_.aliquotas.back().indice;
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::programaFormaPagamento(const std::string& nome, bool permiteVinculado,
                                                   int* indice) {
  return opera([&]() {
    if (!ligada_) return Resultado::Desligada;
    std::string n = apara(nome);
    if (n.empty() || n.size() > MaxNomeForma) return Resultado::ParametroInvalido;
    if (const FormaPagamento* f = procuraForma(n)) {
      if (indice) *indice = f->indice;
      return Resultado::Ok;
    }
    if (m_.documento != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    if (m_.formas.size() >= MaxFormas) return Resultado::CapacidadeEsgotada;
    m_.formas.push_back(
        FormaPagamento{static_cast<int>(m_.formas.size()) + 1, n, permiteVinculado, 0});
    if (indice) *indice = m_.formas.back().indice;
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::nomeiaTotalizadorNaoFiscal(int indice, const std::string& nome,
                                                       bool saida) {
  return opera([&]() {
    if (!ligada_) return Resultado::Desligada;
    std::string n = apara(nome);
    if (n.empty() || n.size() > MaxNomeTotalizador || indice < 0 || indice > MaxTotalizadores)
      return Resultado::ParametroInvalido;
    if (procuraTotalizador(n)) return Resultado::Ok;
    if (m_.documento != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    if (indice == 0) {
      for (int i = 1; i <= MaxTotalizadores && indice == 0; ++i) {
        bool ocupado = std::any_of(m_.totalizadores.begin(), m_.totalizadores.end(),
                                   [i](const TotalizadorNaoFiscal& t) { return t.indice == i; });
        if (!ocupado) indice = i;
      }
      if (indice == 0) return Resultado::CapacidadeEsgotada;
    }
    for (const TotalizadorNaoFiscal& t : m_.totalizadores)
      if (t.indice == indice) return Resultado::JaProgramado;
    m_.totalizadores.push_back(TotalizadorNaoFiscal{indice, n, saida, 0, 0});
    std::sort(m_.totalizadores.begin(), m_.totalizadores.end(),
              [](const TotalizadorNaoFiscal& a, const TotalizadorNaoFiscal& b) {
                return a.indice < b.indice;
              });
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::nomeiaRelatorioGerencial(int indice, const std::string& nome) {
  return opera([&]() {
    if (!ligada_) return Resultado::Desligada;
    std::string n = apara(nome);
    if (n.empty() || n.size() > MaxNomeRelatorio || indice < 0 || indice > MaxRelatorios)
      return Resultado::ParametroInvalido;
    for (const RelatorioGerencial& r : m_.relatorios)
      if (mesmoNome(r.nome, n)) return Resultado::Ok;
    if (m_.documento != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    if (indice == 0) {
      for (int i = 1; i <= MaxRelatorios && indice == 0; ++i) {
        bool ocupado = std::any_of(m_.relatorios.begin(), m_.relatorios.end(),
                                   [i](const RelatorioGerencial& r) { return r.indice == i; });
        if (!ocupado) indice = i;
      }
      if (indice == 0) return Resultado::CapacidadeEsgotada;
    }
    for (const RelatorioGerencial& r : m_.relatorios)
      if (r.indice == indice) return Resultado::JaProgramado;
    m_.relatorios.push_back(RelatorioGerencial{indice, n, 0});
    std::sort(m_.relatorios.begin(), m_.relatorios.end(),
              [](const RelatorioGerencial& a, const RelatorioGerencial& b) {
                return a.indice < b.indice;
              });
    return Resultado::Ok;
  });
}

void ImpressoraFiscal::defineArredondamento(bool arredonda) {
  m_.arredonda = arredonda;
  registra(m_.documento == TipoDocumento::Nenhum);
}

Resultado ImpressoraFiscal::alternaHorarioVerao() {
  return opera([&]() {
    if (!ligada_) return Resultado::Desligada;
    if (m_.documento != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    m_.horarioVerao = !m_.horarioVerao;
    return Resultado::Ok;
  });
}

void ImpressoraFiscal::defineIdentificacao(const Identificacao& id) {
  try {
    m_.identificacao = id;
    registra(m_.documento == TipoDocumento::Nenhum);
  } catch (...) {
  }
}

// ---------------------------------------------------------------- fiscal coupon

Resultado ImpressoraFiscal::abreCupom(const std::string& documentoConsumidor,
                                      const std::string& nomeConsumidor,
                                      const std::string& enderecoConsumidor) {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    abreDiaSeFechado();
    ++m_.contadores.coo;
    ++m_.contadores.ccf;
    m_.cupom = Cupom();
    m_.cupom.coo = m_.contadores.coo;
    m_.cupom.ccf = m_.contadores.ccf;
    m_.cupom.abertura = agora();
    m_.cupom.consumidorDocumento = apara(documentoConsumidor);
    m_.cupom.consumidorNome = apara(nomeConsumidor);
    m_.cupom.consumidorEndereco = apara(enderecoConsumidor);
    m_.documento = TipoDocumento::CupomFiscal;

    iniciaDocumento("CF");
    imprimeCabecalho("CUPOM FISCAL", true);
    std::vector<std::string> l;
    if (!m_.cupom.consumidorDocumento.empty())
      l.push_back("CPF/CNPJ consumidor: " + m_.cupom.consumidorDocumento);
    if (!m_.cupom.consumidorNome.empty()) l.push_back("NOME: " + m_.cupom.consumidorNome);
    if (!m_.cupom.consumidorEndereco.empty()) l.push_back("END: " + m_.cupom.consumidorEndereco);
    l.push_back("ITEM CODIGO DESCRICAO");
    l.push_back("QTD.UN. VL.UNIT(R$) ST              VL.ITEM(R$)");
    l.push_back(Separador);
    imprime(l);
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::vendeItem(const Item& item, int* numeroItem) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::CupomFiscal)
      return m_.documento == TipoDocumento::Nenhum ? Resultado::CupomNaoAberto
                                                   : Resultado::DocumentoAberto;
    if (m_.cupom.fase != FaseCupom::Aberto && m_.cupom.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    std::string descricao = apara(item.descricao);
    if (descricao.empty() || item.quantidadeMilesimos <= 0 ||
        item.quantidadeMilesimos > MaxQuantidade || item.precoUnitarioMilesimos <= 0 ||
        item.precoUnitarioMilesimos > MaxPrecoUnitario || item.ajuste.valor < 0)
      return Resultado::ParametroInvalido;
    std::string aliquota = resolveAliquota(item.aliquota);
    if (aliquota.empty()) return Resultado::AliquotaNaoProgramada;
    // thousandths x thousandths = millionths of a real; cents = / 10000
    int64_t bruto = arredondaDivisao(item.quantidadeMilesimos * item.precoUnitarioMilesimos, 10000);
    if (bruto <= 0) return Resultado::ParametroInvalido;
    if (ehPercentual(item.ajuste) && item.ajuste.valor > 9999) return Resultado::ParametroInvalido;
    int64_t ajuste = valorDoAjuste(item.ajuste, bruto);
    if (ajuste > MaxValor) return Resultado::ParametroInvalido;
    if (ehAjusteDeDesconto(item.ajuste) && ajuste >= bruto) return Resultado::ValorMaiorQueTotal;
    int64_t liquido = ehAjusteDeDesconto(item.ajuste) ? bruto - ajuste : bruto + ajuste;
    if (bruto > MaxTotalCupom || liquido > MaxTotalCupom - m_.cupom.subtotal())
      return Resultado::ParametroInvalido;

    ItemCupom novo;
    novo.numero = static_cast<int>(m_.cupom.itens.size()) + 1;
    novo.codigo = apara(item.codigo);
    novo.descricao = descricao;
    novo.unidade = apara(item.unidade).empty() ? "UN" : apara(item.unidade);
    novo.aliquota = aliquota;
    novo.iss = aliquota == "FS" || aliquota == "IS" || aliquota == "NS" ||
               (aliquota.size() == 7 && aliquota[2] == 'S');
    novo.quantidadeMilesimos = item.quantidadeMilesimos;
    novo.precoUnitarioMilesimos = item.precoUnitarioMilesimos;
    novo.bruto = bruto;
    if (ehAjusteDeDesconto(item.ajuste))
      novo.desconto = ajuste;
    else
      novo.acrescimo = ajuste;

    m_.cupom.itens.push_back(novo);
    m_.cupom.fase = FaseCupom::Vendendo;
    m_.grandeTotal += novo.bruto + novo.acrescimo;
    (novo.iss ? m_.totais.descontosIss : m_.totais.descontosIcms) += novo.desconto;
    (novo.iss ? m_.totais.acrescimosIss : m_.totais.acrescimosIcms) += novo.acrescimo;
    somaTotalParcial(aliquota, novo.liquidoSemRateio());
    if (numeroItem) *numeroItem = novo.numero;

    std::string quantidade = item.quantidadeMilesimos % 1000 == 0
                                 ? std::to_string(item.quantidadeMilesimos / 1000)
                                 : formataDecimal(item.quantidadeMilesimos, 3);
    std::string preco = item.precoUnitarioMilesimos % 10 == 0
                            ? moeda(item.precoUnitarioMilesimos / 10)
                            : formataDecimal(item.precoUnitarioMilesimos, 3);
    std::vector<std::string> l;
    l.push_back(zeros(novo.numero, 3) + " " + (novo.codigo.empty() ? "" : novo.codigo + " ") +
                novo.descricao);
    l.push_back(linhaDupla("    " + quantidade + novo.unidade.substr(0, 2) + " x " + preco + " " +
                               rotuloAliquota(aliquota),
                           moeda(novo.bruto)));
    if (novo.desconto)
      l.push_back(linhaDupla("    desconto sobre item", "-" + moeda(novo.desconto)));
    if (novo.acrescimo)
      l.push_back(linhaDupla("    acrescimo sobre item", "+" + moeda(novo.acrescimo)));
    imprime(l);
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::ajustaItem(int numeroItem, const Ajuste& ajuste) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::CupomFiscal)
      return m_.documento == TipoDocumento::Nenhum ? Resultado::CupomNaoAberto
                                                   : Resultado::DocumentoAberto;
    if (m_.cupom.fase == FaseCupom::Aberto) return Resultado::ItemInexistente;
    if (m_.cupom.fase != FaseCupom::Vendendo) return Resultado::ComandoForaDeSequencia;
    if (numeroItem == 0) numeroItem = static_cast<int>(m_.cupom.itens.size());
    if (numeroItem < 1 || numeroItem > static_cast<int>(m_.cupom.itens.size()))
      return Resultado::ItemInexistente;
    ItemCupom& it = m_.cupom.itens[static_cast<std::size_t>(numeroItem - 1)];
    if (it.cancelado) return Resultado::ItemJaCancelado;
    if (ajuste.tipo == TipoAjuste::Nenhum || ajuste.valor <= 0 ||
        (ehPercentual(ajuste) && ajuste.valor > 9999))
      return Resultado::ParametroInvalido;
    if (it.acrescimo || it.desconto) return Resultado::ItemJaAjustado;
    int64_t valor = valorDoAjuste(ajuste, it.bruto);
    if (valor <= 0 || valor > MaxValor) return Resultado::ParametroInvalido;
    bool desconto = ehAjusteDeDesconto(ajuste);
    if (desconto && valor >= it.bruto) return Resultado::ValorMaiorQueTotal;
    if (!desconto && valor > MaxTotalCupom - m_.cupom.subtotal())
      return Resultado::ParametroInvalido;
    if (desconto) {
      it.desconto = valor;
      (it.iss ? m_.totais.descontosIss : m_.totais.descontosIcms) += valor;
      somaTotalParcial(it.aliquota, -valor);
    } else {
      it.acrescimo = valor;
      (it.iss ? m_.totais.acrescimosIss : m_.totais.acrescimosIcms) += valor;
      somaTotalParcial(it.aliquota, valor);
      m_.grandeTotal += valor;
    }
    imprime(linhaDupla(
        std::string(desconto ? "desconto" : "acrescimo") + " item " + zeros(it.numero, 3),
        (desconto ? "-" : "+") + moeda(valor)));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::cancelaItem(int numeroItem) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::CupomFiscal)
      return m_.documento == TipoDocumento::Nenhum ? Resultado::CupomNaoAberto
                                                   : Resultado::DocumentoAberto;
    if (m_.cupom.fase != FaseCupom::Aberto && m_.cupom.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (numeroItem < 1 || numeroItem > static_cast<int>(m_.cupom.itens.size()))
      return Resultado::ItemInexistente;
    ItemCupom& it = m_.cupom.itens[static_cast<std::size_t>(numeroItem - 1)];
    if (it.cancelado) return Resultado::ItemJaCancelado;
    int64_t valor = it.liquidoSemRateio();
    it.cancelado = true;
    (it.iss ? m_.totais.cancelamentosIss : m_.totais.cancelamentosIcms) += valor;
    somaTotalParcial(it.aliquota, -valor);
    imprime(linhaDupla("cancelamento item " + zeros(it.numero, 3), "-" + moeda(valor)));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::cancelaUltimoItem() {
  int ultimo = 0;
  for (const ItemCupom& it : m_.cupom.itens)
    if (!it.cancelado) ultimo = it.numero;
  if (m_.documento == TipoDocumento::CupomFiscal && ultimo == 0) {
    Resultado r = verificaImpressora();
    return r != Resultado::Ok ? r : Resultado::ItemInexistente;
  }
  return cancelaItem(ultimo);
}

Resultado ImpressoraFiscal::iniciaFechamento(const Ajuste& ajusteSubtotal) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::CupomFiscal)
      return m_.documento == TipoDocumento::Nenhum ? Resultado::CupomNaoAberto
                                                   : Resultado::DocumentoAberto;
    if (m_.cupom.fase != FaseCupom::Aberto && m_.cupom.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (m_.cupom.itensValidos() == 0) return Resultado::SemItens;
    if (ajusteSubtotal.valor < 0 || (ehPercentual(ajusteSubtotal) && ajusteSubtotal.valor > 9999))
      return Resultado::ParametroInvalido;
    int64_t subtotal = m_.cupom.subtotal();
    int64_t valor = valorDoAjuste(ajusteSubtotal, subtotal);
    bool desconto = ehAjusteDeDesconto(ajusteSubtotal);
    if (!desconto && valor > MaxTotalCupom - subtotal) return Resultado::ParametroInvalido;
    if (desconto && valor >= subtotal) return Resultado::ValorMaiorQueTotal;

    // The subtotal adjustment is shared among the valid items in proportion
    // to each, so that the partial totals add up to the net sale; the rest of
    // the division goes to the last item.
    int64_t ajuste = desconto ? -valor : valor;
    int64_t distribuido = 0;
    ItemCupom* ultimo = nullptr;
    for (ItemCupom& it : m_.cupom.itens) {
      if (it.cancelado) continue;
      it.rateioSubtotal = ajuste * it.liquidoSemRateio() / subtotal;
      distribuido += it.rateioSubtotal;
      ultimo = &it;
    }
    ultimo->rateioSubtotal += ajuste - distribuido;
    for (ItemCupom& it : m_.cupom.itens) {
      if (it.cancelado || it.rateioSubtotal == 0) continue;
      somaTotalParcial(it.aliquota, it.rateioSubtotal);
      if (desconto)
        (it.iss ? m_.totais.descontosIss : m_.totais.descontosIcms) += -it.rateioSubtotal;
      else
        (it.iss ? m_.totais.acrescimosIss : m_.totais.acrescimosIcms) += it.rateioSubtotal;
    }
    if (desconto) {
      m_.cupom.descontoSubtotal = valor;
    } else {
      m_.cupom.acrescimoSubtotal = valor;
      m_.grandeTotal += valor;
    }
    m_.cupom.fase = FaseCupom::Totalizando;

    std::vector<std::string> l;
    l.push_back(Separador);
    l.push_back(linhaDupla("SUBTOTAL R$", moeda(subtotal)));
    if (valor && desconto) l.push_back(linhaDupla("DESCONTO R$", "-" + moeda(valor)));
    if (valor && !desconto) l.push_back(linhaDupla("ACRESCIMO R$", "+" + moeda(valor)));
    l.push_back(linhaDupla("TOTAL R$", moeda(m_.cupom.total())));
    imprime(l);
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::efetuaPagamento(const std::string& forma, int64_t valor,
                                            const std::string& observacao) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    FaseCupom* fase = nullptr;
    std::vector<PagamentoCupom>* pagamentos = nullptr;
    int64_t total = 0;
    if (m_.documento == TipoDocumento::CupomFiscal) {
      if (m_.cupom.fase == FaseCupom::Aberto || m_.cupom.fase == FaseCupom::Vendendo)
        return Resultado::ComandoForaDeSequencia;
      fase = &m_.cupom.fase;
      pagamentos = &m_.cupom.pagamentos;
      total = m_.cupom.total();
    } else if (m_.documento == TipoDocumento::NaoFiscal) {
      if (m_.naoFiscal.fase == FaseCupom::Aberto) return Resultado::SemItens;
      fase = &m_.naoFiscal.fase;
      pagamentos = &m_.naoFiscal.pagamentos;
      total = m_.naoFiscal.total();
    } else if (m_.documento == TipoDocumento::Nenhum) {
      return Resultado::CupomNaoAberto;
    } else {
      return Resultado::DocumentoAberto;
    }
    if (*fase == FaseCupom::Pago) return Resultado::PagamentoJaCobreTotal;
    if (valor <= 0 || valor > MaxValor) return Resultado::ParametroInvalido;
    const FormaPagamento* f = procuraForma(forma);
    if (!f) return Resultado::FormaPagamentoNaoProgramada;

    pagamentos->push_back(PagamentoCupom{f->nome, valor, apara(observacao), 0});
    int64_t pago = 0;
    for (const PagamentoCupom& p : *pagamentos) pago += p.valor;
    *fase = pago >= total ? FaseCupom::Pago : FaseCupom::Pagando;

    std::vector<std::string> l;
    l.push_back(linhaDupla(f->nome, moeda(valor)));
    for (const std::string& obs : quebraLinhas(apara(observacao), 46)) l.push_back("  " + obs);
    imprime(l);
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::encerraCupom(const std::string& mensagem) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::CupomFiscal)
      return m_.documento == TipoDocumento::Nenhum ? Resultado::CupomNaoAberto
                                                   : Resultado::DocumentoAberto;
    if (m_.cupom.fase == FaseCupom::Aberto || m_.cupom.fase == FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (m_.cupom.fase != FaseCupom::Pago) return Resultado::PagamentoInsuficiente;

    for (const PagamentoCupom& p : m_.cupom.pagamentos)
      if (FormaPagamento* f = formaPorNome(p.forma)) f->totalDia += p.valor;
    m_.totais.troco += m_.cupom.troco();

    std::vector<std::string> l;
    if (m_.cupom.troco()) l.push_back(linhaDupla("TROCO R$", moeda(m_.cupom.troco())));
    std::vector<std::string> promocionais = quebraLinhas(mensagem, 48);
    if (!promocionais.empty()) {
      l.push_back(Separador);
      l.insert(l.end(), promocionais.begin(), promocionais.end());
    }
    imprime(l);
    imprimeRodape();

    m_.ultimoCupom = m_.cupom;
    m_.ultimoCupomCancelavel = true;
    m_.cupom = Cupom();
    m_.documento = TipoDocumento::Nenhum;
    return Resultado::Ok;
  });
}

void ImpressoraFiscal::retiraDoDia(const Cupom& c) {
  for (const ItemCupom& it : c.itens) {
    if (it.cancelado) continue;
    int64_t valor = it.liquido();
    (it.iss ? m_.totais.cancelamentosIss : m_.totais.cancelamentosIcms) += valor;
    somaTotalParcial(it.aliquota, -valor);
  }
}

Resultado ImpressoraFiscal::cancelaCupom() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento == TipoDocumento::CupomFiscal) {
      // Payments reach the payment methods' totals only at the closing.
      int64_t valor = m_.cupom.total();
      retiraDoDia(m_.cupom);
      ++m_.contadores.cfc;
      m_.cupom.cancelado = true;
      imprime({Separador, centraliza("CUPOM FISCAL CANCELADO"),
               linhaDupla("VALOR CANCELADO R$", moeda(valor))});
      imprimeRodape();
      m_.ultimoCupom = m_.cupom;
      m_.ultimoCupomCancelavel = false;
      m_.cupom = Cupom();
      m_.documento = TipoDocumento::Nenhum;
      return Resultado::Ok;
    }
    if (m_.documento == TipoDocumento::NaoFiscal) {
      // Nothing of the receipt reached the totals yet: dropped.
      imprime({Separador, centraliza("COMPROVANTE NAO FISCAL CANCELADO")});
      imprimeRodape();
      m_.naoFiscal = ComprovanteNaoFiscal();
      m_.documento = TipoDocumento::Nenhum;
      return Resultado::Ok;
    }
    if (m_.documento != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    // The last coupon: only while it is the last document issued, on the same day.
    if (!m_.ultimoCupomCancelavel || m_.ultimoCupom.coo != m_.contadores.coo ||
        m_.ultimoCupom.cancelado)
      return Resultado::NadaACancelar;
    if (reducaoZPendente()) return Resultado::ReducaoZPendente;
    retiraDoDia(m_.ultimoCupom);
    for (const PagamentoCupom& p : m_.ultimoCupom.pagamentos)
      if (FormaPagamento* f = formaPorNome(p.forma)) f->totalDia -= p.valor;
    m_.totais.troco -= m_.ultimoCupom.troco();
    ++m_.contadores.coo;
    ++m_.contadores.cfc;
    m_.ultimoCupom.cancelado = true;
    m_.ultimoCupomCancelavel = false;

    iniciaDocumento("CCF");
    imprimeCabecalho("CUPOM FISCAL CANCELADO", false);
    imprime({linhaDupla("COO DO CUPOM CANCELADO:", zeros(m_.ultimoCupom.coo, 6)),
             linhaDupla("CCF DO CUPOM CANCELADO:", zeros(m_.ultimoCupom.ccf, 6)),
             linhaDupla("VALOR CANCELADO R$", moeda(m_.ultimoCupom.total()))});
    imprimeRodape();
    return Resultado::Ok;
  });
}

// ---------------------------------------------------------------- non-fiscal

Resultado ImpressoraFiscal::abreComprovanteNaoFiscal() {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    abreDiaSeFechado();
    ++m_.contadores.coo;
    ++m_.contadores.gnf;
    ++m_.contadores.cnf;
    m_.naoFiscal = ComprovanteNaoFiscal();
    m_.naoFiscal.coo = m_.contadores.coo;
    m_.documento = TipoDocumento::NaoFiscal;
    iniciaDocumento("CNF");
    imprimeCabecalho("COMPROVANTE NAO-FISCAL", false);
    imprime(linhaDupla("GNF:" + zeros(m_.contadores.gnf, 6), ""));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::registraItemNaoFiscal(const std::string& totalizador, int64_t valor) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::NaoFiscal) return Resultado::DocumentoNaoAberto;
    if (m_.naoFiscal.fase != FaseCupom::Aberto && m_.naoFiscal.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (valor <= 0 || valor > MaxValor) return Resultado::ParametroInvalido;
    const TotalizadorNaoFiscal* t = procuraTotalizador(totalizador);
    if (!t) return Resultado::TotalizadorNaoProgramado;
    // A receipt brings cash in or takes it out, not both.
    if (!m_.naoFiscal.itens.empty() && m_.naoFiscal.itens.front().saida != t->saida)
      return Resultado::ParametroInvalido;
    m_.naoFiscal.itens.push_back(ItemNaoFiscal{t->indice, t->nome, valor, t->saida});
    m_.naoFiscal.fase = FaseCupom::Vendendo;
    imprime(linhaDupla(zeros(t->indice, 2) + " " + t->nome, moeda(valor)));
    return Resultado::Ok;
  });
}

void ImpressoraFiscal::encerraDocumentoNaoFiscal() {
  bool saida = !m_.naoFiscal.itens.empty() && m_.naoFiscal.itens.front().saida;
  for (const ItemNaoFiscal& i : m_.naoFiscal.itens) {
    for (TotalizadorNaoFiscal& t : m_.totalizadores) {
      if (t.indice == i.indiceTotalizador) {
        t.totalDia += i.valor;
        ++t.contadorDia;
      }
    }
    if (mesmoNome(i.totalizador, "SANGRIA")) m_.totais.sangrias += i.valor;
    if (mesmoNome(i.totalizador, "SUPRIMENTO")) m_.totais.suprimentos += i.valor;
  }
  // When cash goes out, the payment tells in which form it leaves.
  for (const PagamentoCupom& p : m_.naoFiscal.pagamentos)
    if (FormaPagamento* f = formaPorNome(p.forma)) f->totalDia += saida ? -p.valor : p.valor;
  if (!saida && m_.naoFiscal.pago() > m_.naoFiscal.total())
    m_.totais.troco += m_.naoFiscal.pago() - m_.naoFiscal.total();
}

Resultado ImpressoraFiscal::encerraComprovanteNaoFiscal(const std::string& mensagem) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::NaoFiscal) return Resultado::DocumentoNaoAberto;
    if (m_.naoFiscal.fase == FaseCupom::Aberto) return Resultado::SemItens;
    if (m_.naoFiscal.pago() < m_.naoFiscal.totalEntradas()) return Resultado::PagamentoInsuficiente;
    encerraDocumentoNaoFiscal();
    std::vector<std::string> l;
    l.push_back(linhaDupla("TOTAL R$", moeda(m_.naoFiscal.total())));
    int64_t troco = m_.naoFiscal.pago() - m_.naoFiscal.totalEntradas();
    if (m_.naoFiscal.totalEntradas() > 0 && troco > 0)
      l.push_back(linhaDupla("TROCO R$", moeda(troco)));
    std::vector<std::string> msg = quebraLinhas(mensagem, 48);
    l.insert(l.end(), msg.begin(), msg.end());
    imprime(l);
    imprimeRodape();
    m_.naoFiscal = ComprovanteNaoFiscal();
    m_.documento = TipoDocumento::Nenhum;
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::recebimentoNaoFiscal(const std::string& totalizador, int64_t valor,
                                                 const std::string& forma) {
  try {
    return recebimentoNaoFiscalCompleto(totalizador, valor, forma);
  } catch (...) {
    return Resultado::ErroInterno;
  }
}

Resultado ImpressoraFiscal::recebimentoNaoFiscalCompleto(const std::string& totalizador,
                                                         int64_t valor, const std::string& forma) {
  // Whatever can be refused is checked before the receipt opens, so as not
  // to leave a document half done.
  if (valor <= 0 || valor > MaxValor) return Resultado::ParametroInvalido;
  const TotalizadorNaoFiscal* t = procuraTotalizador(totalizador);
  if (!t) return Resultado::TotalizadorNaoProgramado;
  bool saida = t->saida;
  std::string nomeTotalizador = t->nome;
  if (!forma.empty() || !saida) {
    if (!procuraForma(forma)) return Resultado::FormaPagamentoNaoProgramada;
  }
  Resultado r = abreComprovanteNaoFiscal();
  if (r != Resultado::Ok) return r;
  r = registraItemNaoFiscal(nomeTotalizador, valor);
  if (r == Resultado::Ok && procuraForma(forma)) r = efetuaPagamento(forma, valor);
  if (r == Resultado::Ok) r = encerraComprovanteNaoFiscal();
  if (r != Resultado::Ok && m_.documento == TipoDocumento::NaoFiscal) cancelaCupom();
  return r;
}

Resultado ImpressoraFiscal::suprimento(int64_t valor, const std::string& forma) {
  return recebimentoNaoFiscal("SUPRIMENTO", valor, forma.empty() ? "Dinheiro" : forma);
}

Resultado ImpressoraFiscal::sangria(int64_t valor) {
  return recebimentoNaoFiscal("SANGRIA", valor, procuraForma("Dinheiro") ? "Dinheiro" : "");
}

// ---------------------------------------------------------------- linked receipt

Resultado ImpressoraFiscal::abreComprovanteVinculado(const std::string& forma, int64_t valor,
                                                     int cooCupom) {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    if (valor < 0) return Resultado::ParametroInvalido;
    const FormaPagamento* f = procuraForma(forma);
    if (!f) return Resultado::FormaPagamentoNaoProgramada;
    if (!f->permiteVinculado || m_.ultimoCupom.coo == 0 || m_.ultimoCupom.cancelado ||
        (cooCupom != 0 && cooCupom != m_.ultimoCupom.coo))
      return Resultado::VinculadoInvalido;
    PagamentoCupom* pagamento = nullptr;
    for (PagamentoCupom& p : m_.ultimoCupom.pagamentos) {
      if (mesmoNome(p.forma, f->nome) && p.valor > p.vinculadoUsado) {
        pagamento = &p;
        break;
      }
    }
    if (!pagamento) return Resultado::VinculadoInvalido;
    int64_t disponivel = pagamento->valor - pagamento->vinculadoUsado;
    if (valor == 0) valor = disponivel;
    if (valor > disponivel) return Resultado::VinculadoInvalido;

    pagamento->vinculadoUsado += valor;
    ++m_.contadores.coo;
    ++m_.contadores.gnf;
    ++m_.contadores.cdc;
    m_.vinculado = ComprovanteVinculado{m_.contadores.coo, m_.ultimoCupom.coo, f->nome, valor};
    m_.documento = TipoDocumento::ComprovanteVinculado;
    iniciaDocumento("CDC");
    imprimeCabecalho("COMPROVANTE CREDITO OU DEBITO", false);
    imprime({linhaDupla("GNF:" + zeros(m_.contadores.gnf, 6), "CDC:" + zeros(m_.contadores.cdc, 4)),
             linhaDupla("COO do documento vinculado:", zeros(m_.ultimoCupom.coo, 6)),
             linhaDupla(f->nome, moeda(valor)), Separador});
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::imprimeComprovanteVinculado(const std::string& texto) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::ComprovanteVinculado) return Resultado::DocumentoNaoAberto;
    imprime(quebraLinhas(texto, 48));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::fechaComprovanteVinculado() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::ComprovanteVinculado) return Resultado::DocumentoNaoAberto;
    imprimeRodape();
    m_.vinculado = ComprovanteVinculado();
    m_.documento = TipoDocumento::Nenhum;
    return Resultado::Ok;
  });
}

// ---------------------------------------------------------------- management report

Resultado ImpressoraFiscal::abreRelatorioGerencial(int indice) {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    if (indice == 0) indice = 1;
    RelatorioGerencial* rel = nullptr;
    for (RelatorioGerencial& g : m_.relatorios)
      if (g.indice == indice) rel = &g;
    if (!rel) return Resultado::RelatorioNaoProgramado;
    abreDiaSeFechado();
    ++m_.contadores.coo;
    ++m_.contadores.gnf;
    ++m_.contadores.grg;
    ++rel->contadorDia;
    m_.relatorioAberto = indice;
    m_.documento = TipoDocumento::RelatorioGerencial;
    iniciaDocumento("RG");
    imprimeCabecalho("RELATORIO GERENCIAL", false);
    imprime({linhaDupla("GNF:" + zeros(m_.contadores.gnf, 6), "GRG:" + zeros(m_.contadores.grg, 6)),
             zeros(rel->indice, 2) + " " + rel->nome, Separador});
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::abreRelatorioGerencialPorNome(const std::string& nome) {
  try {
    for (const RelatorioGerencial& g : m_.relatorios)
      if (mesmoNome(g.nome, nome)) return abreRelatorioGerencial(g.indice);
    Resultado r = verificaImpressora();
    return r != Resultado::Ok ? r : Resultado::RelatorioNaoProgramado;
  } catch (...) {
    return Resultado::ErroInterno;
  }
}

Resultado ImpressoraFiscal::imprimeRelatorioGerencial(const std::string& texto) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::RelatorioGerencial) return Resultado::DocumentoNaoAberto;
    imprime(quebraLinhas(texto, 48));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::fechaRelatorioGerencial() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::RelatorioGerencial) return Resultado::DocumentoNaoAberto;
    imprimeRodape();
    m_.relatorioAberto = 0;
    m_.documento = TipoDocumento::Nenhum;
    return Resultado::Ok;
  });
}

// ---------------------------------------------------------------- the day

Resultado ImpressoraFiscal::leituraX() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::Nenhum)
      return m_.documento == TipoDocumento::CupomFiscal ? Resultado::CupomJaAberto
                                                        : Resultado::DocumentoAberto;
    ++m_.contadores.coo;
    ++m_.contadores.gnf;
    iniciaDocumento("LX");
    imprimeCabecalho("LEITURA X", false);
    std::vector<std::string> l;
    if (m_.diaAberto) l.push_back(linhaDupla("MOVIMENTO DO DIA", m_.dataMovimento.textoData()));
    std::vector<std::string> totais = linhasTotaisDia();
    l.insert(l.end(), totais.begin(), totais.end());
    imprime(l);
    imprimeRodape();
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::reducaoZ() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    // An open coupon is not cancelled behind the host's back: the reduction is refused.
    if (m_.documento != TipoDocumento::Nenhum)
      return m_.documento == TipoDocumento::CupomFiscal ? Resultado::CupomJaAberto
                                                        : Resultado::DocumentoAberto;
    if (diaBloqueado()) return Resultado::DiaBloqueado;

    DataHora agoraZ = agora();
    ++m_.contadores.coo;
    ++m_.contadores.crz;
    DadosReducao z;
    z.crz = m_.contadores.crz;
    z.coo = m_.contadores.coo;
    z.cro = m_.contadores.cro;
    z.dataMovimento = m_.diaAberto ? m_.dataMovimento : agoraZ.soData();
    z.dataHoraEmissao = agoraZ;
    z.grandeTotal = m_.grandeTotal;
    z.vendaBruta = vendaBrutaDia();
    z.vendaLiquida = vendaLiquidaDia();
    z.cancelamentosIcms = m_.totais.cancelamentosIcms;
    z.cancelamentosIss = m_.totais.cancelamentosIss;
    z.descontosIcms = m_.totais.descontosIcms;
    z.descontosIss = m_.totais.descontosIss;
    z.acrescimosIcms = m_.totais.acrescimosIcms;
    z.acrescimosIss = m_.totais.acrescimosIss;
    z.totaisParciais = totaisParciais();
    for (const FormaPagamento& f : m_.formas)
      z.formasPagamento.push_back(TotalParcial{f.nome, f.totalDia});
    for (const TotalizadorNaoFiscal& t : m_.totalizadores)
      z.naoFiscais.push_back(TotalParcial{t.nome, t.totalDia});
    z.ccf = m_.contadores.ccf;
    z.gnf = m_.contadores.gnf;
    z.grg = m_.contadores.grg;
    z.cdc = m_.contadores.cdc;
    z.cfc = m_.contadores.cfc;
    z.cnf = m_.contadores.cnf;

    iniciaDocumento("RZ");
    imprimeCabecalho("REDUCAO Z", false);
    std::vector<std::string> l;
    l.push_back(linhaDupla("MOVIMENTO DO DIA", z.dataMovimento.textoData()));
    l.push_back(linhaDupla("CRZ:" + zeros(z.crz, 4), "CRO:" + zeros(z.cro, 3)));
    std::vector<std::string> totais = linhasTotaisDia();
    l.insert(l.end(), totais.begin(), totais.end());
    imprime(l);
    imprimeRodape();

    memoriaFiscal_.push_back(z);
    novaMemoria_ += LinhaDeReducao(z);
    compactarAoRegistrar_ = true;
    for (Aliquota& a : m_.aliquotas) a.totalDia = 0;
    for (FormaPagamento& f : m_.formas) f.totalDia = 0;
    for (TotalizadorNaoFiscal& t : m_.totalizadores) {
      t.totalDia = 0;
      t.contadorDia = 0;
    }
    for (RelatorioGerencial& g : m_.relatorios) g.contadorDia = 0;
    m_.totais = TotaisDia();
    m_.totais.grandeTotalInicial = m_.grandeTotal;
    for (const char* f : CodigosFixos) m_.totais.fixos.push_back(TotalParcial{f, 0});
    m_.diaAberto = false;
    m_.ultimoCupomCancelavel = false;
    return Resultado::Ok;
  });
}

std::vector<std::string> ImpressoraFiscal::textoLeituraMemoriaFiscal(
    const FaixaMemoriaFiscal& faixa) const {
  std::vector<std::string> l;
  if (faixa.porData) {
    if (!faixa.dataInicial.valida() || !faixa.dataFinal.valida() ||
        faixa.dataFinal.diaCivil() < faixa.dataInicial.diaCivil())
      return l;
  } else if (faixa.crzInicial < 0 || faixa.crzFinal < faixa.crzInicial) {
    return l;
  }
  l.push_back(centraliza(faixa.completa ? "LEITURA DA MEMORIA FISCAL COMPLETA"
                                        : "LEITURA DA MEMORIA FISCAL SIMPLIFICADA"));
  l.push_back(faixa.porData ? linhaDupla("PERIODO:", faixa.dataInicial.textoData() + " A " +
                                                         faixa.dataFinal.textoData())
                            : linhaDupla("CRZ:", zeros(faixa.crzInicial, 4) + " A " +
                                                     zeros(faixa.crzFinal, 4)));
  l.push_back(linhaDupla("FAB:" + m_.identificacao.numeroSerie, m_.identificacao.modelo));
  l.push_back(Separador);
  int64_t soma = 0;
  int quantas = 0;
  for (const DadosReducao& z : memoriaFiscal_) {
    const bool dentro = faixa.porData
                            ? z.dataMovimento.diaCivil() >= faixa.dataInicial.diaCivil() &&
                                  z.dataMovimento.diaCivil() <= faixa.dataFinal.diaCivil()
                            : z.crz >= faixa.crzInicial && z.crz <= faixa.crzFinal;
    if (!dentro) continue;
    ++quantas;
    soma += z.vendaBruta;
    l.push_back(
        linhaDupla("CRZ:" + zeros(z.crz, 4) + " COO:" + zeros(z.coo, 6) + " CRO:" + zeros(z.cro, 3),
                   z.dataMovimento.textoData()));
    l.push_back(linhaDupla("  VENDA BRUTA", moeda(z.vendaBruta)));
    l.push_back(linhaDupla("  GRANDE TOTAL", moeda(z.grandeTotal)));
    if (!faixa.completa) continue;
    l.push_back(linhaDupla("  CANCELAMENTOS ICMS", moeda(z.cancelamentosIcms)));
    l.push_back(linhaDupla("  DESCONTOS ICMS", moeda(z.descontosIcms)));
    l.push_back(linhaDupla("  ACRESCIMOS ICMS", moeda(z.acrescimosIcms)));
    for (const TotalParcial& t : z.totaisParciais)
      if (t.total != 0) l.push_back(linhaDupla("  " + rotuloAliquota(t.codigo), moeda(t.total)));
  }
  if (quantas == 0) l.push_back("NAO HA REDUCOES NO PERIODO");
  l.push_back(Separador);
  l.push_back(linhaDupla("REDUCOES: " + std::to_string(quantas), "TOTAL " + moeda(soma)));
  return l;
}

Resultado ImpressoraFiscal::leituraMemoriaFiscal(const FaixaMemoriaFiscal& faixa) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (m_.documento != TipoDocumento::Nenhum)
      return m_.documento == TipoDocumento::CupomFiscal ? Resultado::CupomJaAberto
                                                        : Resultado::DocumentoAberto;
    std::vector<std::string> texto = textoLeituraMemoriaFiscal(faixa);
    if (texto.empty()) return Resultado::ParametroInvalido;
    ++m_.contadores.coo;
    ++m_.contadores.gnf;
    iniciaDocumento("LMF");
    imprimeCabecalho("LEITURA DA MEMORIA FISCAL", false);
    imprime(texto);
    imprimeRodape();
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::abreGaveta() {
  return opera([&]() {
    if (!ligada_) return Resultado::Desligada;
    m_.gavetaAberta = true;
    ++m_.aberturasGaveta;
    return Resultado::Ok;
  });
}

// ---------------------------------------------------------------- the process's printer

namespace {

// One per manufacturer, without a lock: the drivers are called from one thread at a time.
std::map<std::string, std::unique_ptr<ImpressoraFiscal>>& impressorasDoProcesso() {
  static std::map<std::string, std::unique_ptr<ImpressoraFiscal>> impressoras;
  return impressoras;
}

}  // namespace

void descartaImpressorasDoProcesso() {
  impressorasDoProcesso().clear();
}

ImpressoraFiscal& impressoraDoProcesso(const std::string& fabricante) {
  std::string chave = maiusculas(apara(fabricante));
  std::unique_ptr<ImpressoraFiscal>& p = impressorasDoProcesso()[chave];
  if (!p) p.reset(new ImpressoraFiscal(chave));
  return *p;
}

}  // namespace simulador
}  // namespace tarvic
