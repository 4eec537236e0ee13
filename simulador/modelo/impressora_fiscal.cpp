#include "impressora_fiscal.h"

#include "texto.h"

#include <algorithm>
#include <fstream>
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

// Limites de campo da impressora: 9999,999 unidades e R$ 9.999.999,999 por unidade.
const int64_t MaxQuantidade = 9999999;
const int64_t MaxPrecoUnitario = 9999999999LL;
const int64_t MaxValor = 99999999999LL;  // R$ 999.999.999,99
// Total de um cupom: R$ 9.999.999,99. Com ele o rateio do ajuste do subtotal
// (ajuste x valor do item) cabe em 64 bits, inclusive no Windows de 32 bits.
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

template <typename Corpo>
Resultado ImpressoraFiscal::opera(Corpo corpo) {
  try {
    aplicaArquivoControle();
    Resultado r = corpo();
    if (r == Resultado::Ok) grava();
    return r;
  } catch (...) {
    return Resultado::ErroInterno;
  }
}

void ImpressoraFiscal::estadoDeFabrica() {
  std::string fabricante = identificacao_.fabricante;
  identificacao_ = Identificacao();
  identificacao_.fabricante = fabricante;
  identificacao_.marca = fabricante;
  std::string prefixo = fabricante.substr(0, 2);
  while (prefixo.size() < 2) prefixo += 'X';
  identificacao_.numeroSerie = "SIM" + prefixo + zeros(1, 15);

  contadores_ = Contadores();
  grandeTotal_ = 0;
  arredonda_ = false;
  horarioVerao_ = false;
  relogio_.defineDeslocamento(0);
  codigosInjetados_.clear();

  aliquotas_.clear();
  const struct {
    TipoTributo tipo;
    int64_t percentual;
  } fabrica[] = {{TipoTributo::Icms, 1800},
                 {TipoTributo::Icms, 1200},
                 {TipoTributo::Icms, 700},
                 {TipoTributo::Icms, 2500},
                 {TipoTributo::Iss, 500}};
  for (const auto& a : fabrica)
    aliquotas_.push_back(
        Aliquota{static_cast<int>(aliquotas_.size()) + 1, a.tipo, a.percentual, 0});

  formas_ = {FormaPagamento{1, "Dinheiro", false, 0}, FormaPagamento{2, "Cheque", false, 0},
             FormaPagamento{3, "Cartao", true, 0}};
  totalizadores_ = {TotalizadorNaoFiscal{1, "SANGRIA", true, 0, 0},
                    TotalizadorNaoFiscal{2, "SUPRIMENTO", false, 0, 0}};
  relatorios_ = {RelatorioGerencial{1, "Relatorio Geral", 0}};

  diaAberto_ = false;
  dataMovimento_ = DataHora();
  totais_ = TotaisDia();
  for (const char* f : CodigosFixos) totais_.fixos.push_back(TotalParcial{f, 0});
  documento_ = TipoDocumento::Nenhum;
  cupom_ = Cupom();
  ultimoCupom_ = Cupom();
  ultimoCupomCancelavel_ = false;
  naoFiscal_ = ComprovanteNaoFiscal();
  vinculado_ = ComprovanteVinculado();
  relatorioAberto_ = 0;
  ultimoDocumento_ = DataHora();
  gavetaAberta_ = false;
  aberturasGaveta_ = 0;
  memoriaFiscal_.clear();
  jornal_.clear();
}

void ImpressoraFiscal::reinicia() {
  try {
    estadoDeFabrica();
    ligada_ = true;
    papel_ = SensorPapel::Presente;
    grava();
  } catch (...) {
  }
}

std::string ImpressoraFiscal::caminhoBobina() const {
  std::string base = caminhoEstado_;
  std::size_t ponto = base.find_last_of('.');
  std::size_t barra = base.find_last_of("/\\");
  if (ponto != std::string::npos && (barra == std::string::npos || ponto > barra))
    base.erase(ponto);
  return base + ".bobina.txt";
}

std::string ImpressoraFiscal::caminhoControle() const {
  std::string bobina = caminhoBobina();
  return bobina.substr(0, bobina.size() - std::string(".bobina.txt").size()) + ".falhas";
}

// ---------------------------------------------------------------- sensores e falhas

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
    codigosInjetados_[maiusculas(apara(funcao))].push_back(codigo);
    grava();
  } catch (...) {
  }
}

std::optional<int> ImpressoraFiscal::retiraCodigoInjetado(const std::string& funcao) {
  try {
    aplicaArquivoControle();
    auto it = codigosInjetados_.find(maiusculas(apara(funcao)));
    if (it == codigosInjetados_.end() || it->second.empty()) return std::nullopt;
    int codigo = it->second.front();
    it->second.erase(it->second.begin());
    if (it->second.empty()) codigosInjetados_.erase(it);
    grava();
    return codigo;
  } catch (...) {
    return std::nullopt;
  }
}

void ImpressoraFiscal::defineDeslocamentoRelogio(int64_t segundos) {
  relogio_.defineDeslocamento(segundos);
  grava();
}

// ---------------------------------------------------------------- regras comuns

Resultado ImpressoraFiscal::podeImprimir() const {
  if (!ligada_) return Resultado::Desligada;
  if (papel_ == SensorPapel::Sem) return Resultado::SemPapel;
  return Resultado::Ok;
}

bool ImpressoraFiscal::reducaoZPendente() const {
  return diaAberto_ && dataMovimento_.diaCivil() < agora().diaCivil();
}

bool ImpressoraFiscal::diaBloqueado() const {
  if (diaAberto_ || memoriaFiscal_.empty()) return false;
  return memoriaFiscal_.back().dataMovimento.diaCivil() >= agora().diaCivil();
}

Resultado ImpressoraFiscal::podeAbrirDocumento() const {
  Resultado r = podeImprimir();
  if (r != Resultado::Ok) return r;
  if (documento_ == TipoDocumento::CupomFiscal) return Resultado::CupomJaAberto;
  if (documento_ != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
  if (reducaoZPendente()) return Resultado::ReducaoZPendente;
  if (diaBloqueado()) return Resultado::DiaBloqueado;
  return Resultado::Ok;
}

void ImpressoraFiscal::abreDiaSeFechado() {
  if (diaAberto_) return;
  diaAberto_ = true;
  dataMovimento_ = agora().soData();
  totais_.grandeTotalInicial = grandeTotal_;
}

FaseCupom ImpressoraFiscal::faseCupom() const {
  if (documento_ == TipoDocumento::NaoFiscal) return naoFiscal_.fase;
  return cupom_.fase;
}

int64_t ImpressoraFiscal::subtotal() const {
  if (documento_ == TipoDocumento::CupomFiscal) return cupom_.total();
  if (documento_ == TipoDocumento::NaoFiscal) return naoFiscal_.total();
  return 0;
}

int64_t ImpressoraFiscal::totalPago() const {
  if (documento_ == TipoDocumento::CupomFiscal) return cupom_.pago();
  if (documento_ == TipoDocumento::NaoFiscal) return naoFiscal_.pago();
  return 0;
}

int64_t ImpressoraFiscal::troco() const {
  int64_t t = totalPago() - subtotal();
  return t > 0 ? t : 0;
}

int64_t ImpressoraFiscal::vendaLiquidaDia() const {
  return vendaBrutaDia() - totais_.cancelamentosIcms - totais_.cancelamentosIss -
         totais_.descontosIcms - totais_.descontosIss;
}

int64_t ImpressoraFiscal::arredondaDivisao(int64_t numerador, int64_t denominador) const {
  if (arredonda_) return (numerador + denominador / 2) / denominador;
  return numerador / denominador;
}

int64_t ImpressoraFiscal::valorDoAjuste(const Ajuste& a, int64_t base) const {
  if (a.tipo == TipoAjuste::Nenhum) return 0;
  if (ehPercentual(a)) return arredondaDivisao(base * a.valor, 10000);
  return a.valor;
}

// ---------------------------------------------------------------- alíquotas

std::string ImpressoraFiscal::resolveAliquota(const std::string& codigo) const {
  std::string c = maiusculas(apara(codigo));
  if (ehCodigoFixo(c)) return c;
  auto chave = [](const Aliquota& a) {
    return zeros(a.indice, 2) + (a.tipo == TipoTributo::Icms ? "T" : "S") + zeros(a.percentual, 4);
  };
  if (c.size() == 2 && soDigitos(c)) {
    int indice = std::stoi(c);
    for (const Aliquota& a : aliquotas_)
      if (a.indice == indice) return chave(a);
    return std::string();
  }
  if (c.size() == 5 && (c[0] == 'T' || c[0] == 'S') && soDigitos(c.substr(1))) {
    TipoTributo tipo = c[0] == 'T' ? TipoTributo::Icms : TipoTributo::Iss;
    int64_t percentual = std::stoll(c.substr(1));
    for (const Aliquota& a : aliquotas_)
      if (a.tipo == tipo && a.percentual == percentual) return chave(a);
    return std::string();
  }
  if (c.size() == 7) {
    for (const Aliquota& a : aliquotas_)
      if (chave(a) == c) return c;
  }
  return std::string();
}

Aliquota* ImpressoraFiscal::aliquotaPorCodigo(const std::string& codigo) {
  if (codigo.size() != 7 || !soDigitos(codigo.substr(0, 2))) return nullptr;
  int indice = std::stoi(codigo.substr(0, 2));
  for (Aliquota& a : aliquotas_)
    if (a.indice == indice) return &a;
  return nullptr;
}

TotalParcial* ImpressoraFiscal::totalFixo(const std::string& codigo) {
  for (TotalParcial& t : totais_.fixos)
    if (t.codigo == codigo) return &t;
  totais_.fixos.push_back(TotalParcial{codigo, 0});
  return &totais_.fixos.back();
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
  for (const Aliquota& a : aliquotas_)
    r.push_back(TotalParcial{
        zeros(a.indice, 2) + (a.tipo == TipoTributo::Icms ? "T" : "S") + zeros(a.percentual, 4),
        a.totalDia});
  for (const TotalParcial& t : totais_.fixos) r.push_back(t);
  return r;
}

const FormaPagamento* ImpressoraFiscal::procuraForma(const std::string& nome) const {
  for (const FormaPagamento& f : formas_)
    if (mesmoNome(f.nome, nome)) return &f;
  return nullptr;
}

FormaPagamento* ImpressoraFiscal::formaPorNome(const std::string& nome) {
  for (FormaPagamento& f : formas_)
    if (mesmoNome(f.nome, nome)) return &f;
  return nullptr;
}

const TotalizadorNaoFiscal* ImpressoraFiscal::procuraTotalizador(const std::string& nome) const {
  for (const TotalizadorNaoFiscal& t : totalizadores_)
    if (mesmoNome(t.nome, nome)) return &t;
  return nullptr;
}

// ---------------------------------------------------------------- bobina

void ImpressoraFiscal::iniciaDocumento(const std::string& tipo) {
  DocumentoImpresso d;
  d.coo = contadores_.coo;
  d.tipo = tipo;
  d.dataHora = agora();
  jornal_.push_back(d);
  ultimoDocumento_ = d.dataHora;
}

void ImpressoraFiscal::imprime(const std::string& linha) {
  imprime(std::vector<std::string>{linha});
}

void ImpressoraFiscal::imprime(const std::vector<std::string>& linhas) {
  if (jornal_.empty()) iniciaDocumento("?");
  std::vector<std::string> cortadas;
  for (const std::string& l : linhas) {
    if (l.empty()) {
      cortadas.push_back(l);
      continue;
    }
    for (const std::string& parte : quebraLinhas(l, 48)) cortadas.push_back(parte);
  }
  for (const std::string& l : cortadas) jornal_.back().linhas.push_back(l);
  // A bobina é só um espelho para quem acompanha; falhar ao escrevê-la não
  // pode derrubar a operação.
  std::ofstream bobina(caminhoBobina(), std::ios::app);
  if (bobina) {
    for (const std::string& l : cortadas) bobina << l << '\n';
  }
}

void ImpressoraFiscal::imprimeCabecalho(const std::string& titulo, bool comCcf) {
  const Identificacao& id = identificacao_;
  std::vector<std::string> l;
  l.push_back(centraliza(id.razaoSocial));
  l.push_back(centraliza(id.endereco));
  l.push_back(centraliza(id.cidade));
  l.push_back(linhaDupla("CNPJ:" + formataCnpj(id.cnpj), "IE:" + id.ie));
  if (!id.im.empty()) l.push_back("IM:" + id.im);
  l.push_back(Separador);
  std::string numeros = "COO:" + zeros(contadores_.coo, 6);
  if (comCcf) numeros = "CCF:" + zeros(contadores_.ccf, 6) + " " + numeros;
  l.push_back(linhaDupla(jornal_.back().dataHora.texto(), numeros));
  l.push_back(centraliza(titulo));
  imprime(l);
}

void ImpressoraFiscal::imprimeRodape() {
  const Identificacao& id = identificacao_;
  const DocumentoImpresso& doc = jornal_.back();
  std::vector<std::string> l;
  l.push_back(Separador);
  std::string numeros = "COO:" + zeros(doc.coo, 6);
  if (doc.tipo == "CF") numeros = "CCF:" + zeros(cupom_.ccf, 6) + " " + numeros;
  l.push_back(
      linhaDupla("ECF:" + zeros(id.numeroCaixa, 3) + " LJ:" + zeros(id.numeroLoja, 4), numeros));
  l.push_back(linhaDupla(id.marca + " " + id.modelo, agora().texto()));
  l.push_back(linhaDupla("FAB:" + id.numeroSerie, "BR"));
  imprime(l);
}

std::vector<std::string> ImpressoraFiscal::linhasTotaisDia() const {
  std::vector<std::string> l;
  l.push_back(linhaDupla("GRANDE TOTAL", moeda(grandeTotal_)));
  l.push_back(linhaDupla("VENDA BRUTA DIARIA", moeda(vendaBrutaDia())));
  l.push_back(linhaDupla("CANCELAMENTOS ICMS", moeda(totais_.cancelamentosIcms)));
  l.push_back(linhaDupla("CANCELAMENTOS ISS", moeda(totais_.cancelamentosIss)));
  l.push_back(linhaDupla("DESCONTOS ICMS", moeda(totais_.descontosIcms)));
  l.push_back(linhaDupla("DESCONTOS ISS", moeda(totais_.descontosIss)));
  l.push_back(linhaDupla("ACRESCIMOS ICMS", moeda(totais_.acrescimosIcms)));
  l.push_back(linhaDupla("ACRESCIMOS ISS", moeda(totais_.acrescimosIss)));
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
  for (const FormaPagamento& f : formas_)
    l.push_back(linhaDupla(zeros(f.indice, 2) + " " + f.nome, moeda(f.totalDia)));
  l.push_back(linhaDupla("TROCO", moeda(totais_.troco)));
  l.push_back(Separador);
  l.push_back("NAO FISCAIS");
  for (const TotalizadorNaoFiscal& t : totalizadores_)
    l.push_back(
        linhaDupla(zeros(t.indice, 2) + " " + t.nome + " (" + std::to_string(t.contadorDia) + ")",
                   moeda(t.totalDia)));
  l.push_back(Separador);
  const Contadores& c = contadores_;
  l.push_back(linhaDupla("COO:" + zeros(c.coo, 6), "GNF:" + zeros(c.gnf, 6)));
  l.push_back(linhaDupla("CCF:" + zeros(c.ccf, 6), "CFC:" + zeros(c.cfc, 4)));
  l.push_back(linhaDupla("GRG:" + zeros(c.grg, 6), "CDC:" + zeros(c.cdc, 4)));
  l.push_back(linhaDupla("CRZ:" + zeros(c.crz, 4), "CRO:" + zeros(c.cro, 3)));
  return l;
}

// ---------------------------------------------------------------- programação

Resultado ImpressoraFiscal::programaAliquota(TipoTributo tipo, int64_t percentual, int* indice) {
  return opera([&]() {
    if (!ligada_) return Resultado::Desligada;
    if (percentual <= 0 || percentual > 9999) return Resultado::ParametroInvalido;
    for (const Aliquota& a : aliquotas_) {
      if (a.tipo == tipo && a.percentual == percentual) {
        if (indice) *indice = a.indice;
        return Resultado::Ok;
      }
    }
    if (documento_ != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    if (diaAberto_) return Resultado::DiaComMovimento;
    if (aliquotas_.size() >= MaxAliquotas) return Resultado::CapacidadeEsgotada;
    aliquotas_.push_back(Aliquota{static_cast<int>(aliquotas_.size()) + 1, tipo, percentual, 0});
    if (indice) *indice = aliquotas_.back().indice;
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
    if (documento_ != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    if (formas_.size() >= MaxFormas) return Resultado::CapacidadeEsgotada;
    formas_.push_back(FormaPagamento{static_cast<int>(formas_.size()) + 1, n, permiteVinculado, 0});
    if (indice) *indice = formas_.back().indice;
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
    if (documento_ != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    if (indice == 0) {
      for (int i = 1; i <= MaxTotalizadores && indice == 0; ++i) {
        bool ocupado = std::any_of(totalizadores_.begin(), totalizadores_.end(),
                                   [i](const TotalizadorNaoFiscal& t) { return t.indice == i; });
        if (!ocupado) indice = i;
      }
      if (indice == 0) return Resultado::CapacidadeEsgotada;
    }
    for (const TotalizadorNaoFiscal& t : totalizadores_)
      if (t.indice == indice) return Resultado::JaProgramado;
    totalizadores_.push_back(TotalizadorNaoFiscal{indice, n, saida, 0, 0});
    std::sort(totalizadores_.begin(), totalizadores_.end(),
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
    for (const RelatorioGerencial& r : relatorios_)
      if (mesmoNome(r.nome, n)) return Resultado::Ok;
    if (documento_ != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    if (indice == 0) {
      for (int i = 1; i <= MaxRelatorios && indice == 0; ++i) {
        bool ocupado = std::any_of(relatorios_.begin(), relatorios_.end(),
                                   [i](const RelatorioGerencial& r) { return r.indice == i; });
        if (!ocupado) indice = i;
      }
      if (indice == 0) return Resultado::CapacidadeEsgotada;
    }
    for (const RelatorioGerencial& r : relatorios_)
      if (r.indice == indice) return Resultado::JaProgramado;
    relatorios_.push_back(RelatorioGerencial{indice, n, 0});
    std::sort(relatorios_.begin(), relatorios_.end(),
              [](const RelatorioGerencial& a, const RelatorioGerencial& b) {
                return a.indice < b.indice;
              });
    return Resultado::Ok;
  });
}

void ImpressoraFiscal::defineArredondamento(bool arredonda) {
  arredonda_ = arredonda;
  grava();
}

Resultado ImpressoraFiscal::alternaHorarioVerao() {
  return opera([&]() {
    if (!ligada_) return Resultado::Desligada;
    if (documento_ != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    horarioVerao_ = !horarioVerao_;
    return Resultado::Ok;
  });
}

void ImpressoraFiscal::defineIdentificacao(const Identificacao& id) {
  try {
    identificacao_ = id;
    grava();
  } catch (...) {
  }
}

// ---------------------------------------------------------------- cupom fiscal

Resultado ImpressoraFiscal::abreCupom(const std::string& documentoConsumidor,
                                      const std::string& nomeConsumidor,
                                      const std::string& enderecoConsumidor) {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    abreDiaSeFechado();
    ++contadores_.coo;
    ++contadores_.ccf;
    cupom_ = Cupom();
    cupom_.coo = contadores_.coo;
    cupom_.ccf = contadores_.ccf;
    cupom_.abertura = agora();
    cupom_.consumidorDocumento = apara(documentoConsumidor);
    cupom_.consumidorNome = apara(nomeConsumidor);
    cupom_.consumidorEndereco = apara(enderecoConsumidor);
    documento_ = TipoDocumento::CupomFiscal;

    iniciaDocumento("CF");
    imprimeCabecalho("CUPOM FISCAL", true);
    std::vector<std::string> l;
    if (!cupom_.consumidorDocumento.empty())
      l.push_back("CPF/CNPJ consumidor: " + cupom_.consumidorDocumento);
    if (!cupom_.consumidorNome.empty()) l.push_back("NOME: " + cupom_.consumidorNome);
    if (!cupom_.consumidorEndereco.empty()) l.push_back("END: " + cupom_.consumidorEndereco);
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
    if (documento_ != TipoDocumento::CupomFiscal)
      return documento_ == TipoDocumento::Nenhum ? Resultado::CupomNaoAberto
                                                 : Resultado::DocumentoAberto;
    if (cupom_.fase != FaseCupom::Aberto && cupom_.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    std::string descricao = apara(item.descricao);
    if (descricao.empty() || item.quantidadeMilesimos <= 0 ||
        item.quantidadeMilesimos > MaxQuantidade || item.precoUnitarioMilesimos <= 0 ||
        item.precoUnitarioMilesimos > MaxPrecoUnitario || item.ajuste.valor < 0)
      return Resultado::ParametroInvalido;
    std::string aliquota = resolveAliquota(item.aliquota);
    if (aliquota.empty()) return Resultado::AliquotaNaoProgramada;
    // milésimos x milésimos = milionésimos de real; centavos = / 10000
    int64_t bruto = arredondaDivisao(item.quantidadeMilesimos * item.precoUnitarioMilesimos, 10000);
    if (bruto <= 0) return Resultado::ParametroInvalido;
    if (ehPercentual(item.ajuste) && item.ajuste.valor > 9999) return Resultado::ParametroInvalido;
    int64_t ajuste = valorDoAjuste(item.ajuste, bruto);
    if (ajuste > MaxValor) return Resultado::ParametroInvalido;
    if (ehAjusteDeDesconto(item.ajuste) && ajuste >= bruto) return Resultado::ValorMaiorQueTotal;
    int64_t liquido = ehAjusteDeDesconto(item.ajuste) ? bruto - ajuste : bruto + ajuste;
    if (bruto > MaxTotalCupom || liquido > MaxTotalCupom - cupom_.subtotal())
      return Resultado::ParametroInvalido;

    ItemCupom novo;
    novo.numero = static_cast<int>(cupom_.itens.size()) + 1;
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

    cupom_.itens.push_back(novo);
    cupom_.fase = FaseCupom::Vendendo;
    grandeTotal_ += novo.bruto + novo.acrescimo;
    (novo.iss ? totais_.descontosIss : totais_.descontosIcms) += novo.desconto;
    (novo.iss ? totais_.acrescimosIss : totais_.acrescimosIcms) += novo.acrescimo;
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
    if (documento_ != TipoDocumento::CupomFiscal)
      return documento_ == TipoDocumento::Nenhum ? Resultado::CupomNaoAberto
                                                 : Resultado::DocumentoAberto;
    if (cupom_.fase == FaseCupom::Aberto) return Resultado::ItemInexistente;
    if (cupom_.fase != FaseCupom::Vendendo) return Resultado::ComandoForaDeSequencia;
    if (numeroItem == 0) numeroItem = static_cast<int>(cupom_.itens.size());
    if (numeroItem < 1 || numeroItem > static_cast<int>(cupom_.itens.size()))
      return Resultado::ItemInexistente;
    ItemCupom& it = cupom_.itens[static_cast<std::size_t>(numeroItem - 1)];
    if (it.cancelado) return Resultado::ItemJaCancelado;
    if (ajuste.tipo == TipoAjuste::Nenhum || ajuste.valor <= 0 ||
        (ehPercentual(ajuste) && ajuste.valor > 9999))
      return Resultado::ParametroInvalido;
    if (it.acrescimo || it.desconto) return Resultado::ItemJaAjustado;
    int64_t valor = valorDoAjuste(ajuste, it.bruto);
    if (valor <= 0 || valor > MaxValor) return Resultado::ParametroInvalido;
    bool desconto = ehAjusteDeDesconto(ajuste);
    if (desconto && valor >= it.bruto) return Resultado::ValorMaiorQueTotal;
    if (!desconto && valor > MaxTotalCupom - cupom_.subtotal()) return Resultado::ParametroInvalido;
    if (desconto) {
      it.desconto = valor;
      (it.iss ? totais_.descontosIss : totais_.descontosIcms) += valor;
      somaTotalParcial(it.aliquota, -valor);
    } else {
      it.acrescimo = valor;
      (it.iss ? totais_.acrescimosIss : totais_.acrescimosIcms) += valor;
      somaTotalParcial(it.aliquota, valor);
      grandeTotal_ += valor;
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
    if (documento_ != TipoDocumento::CupomFiscal)
      return documento_ == TipoDocumento::Nenhum ? Resultado::CupomNaoAberto
                                                 : Resultado::DocumentoAberto;
    if (cupom_.fase != FaseCupom::Aberto && cupom_.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (numeroItem < 1 || numeroItem > static_cast<int>(cupom_.itens.size()))
      return Resultado::ItemInexistente;
    ItemCupom& it = cupom_.itens[static_cast<std::size_t>(numeroItem - 1)];
    if (it.cancelado) return Resultado::ItemJaCancelado;
    int64_t valor = it.liquidoSemRateio();
    it.cancelado = true;
    (it.iss ? totais_.cancelamentosIss : totais_.cancelamentosIcms) += valor;
    somaTotalParcial(it.aliquota, -valor);
    imprime(linhaDupla("cancelamento item " + zeros(it.numero, 3), "-" + moeda(valor)));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::cancelaUltimoItem() {
  int ultimo = 0;
  for (const ItemCupom& it : cupom_.itens)
    if (!it.cancelado) ultimo = it.numero;
  if (documento_ == TipoDocumento::CupomFiscal && ultimo == 0) {
    Resultado r = verificaImpressora();
    return r != Resultado::Ok ? r : Resultado::ItemInexistente;
  }
  return cancelaItem(ultimo);
}

Resultado ImpressoraFiscal::iniciaFechamento(const Ajuste& ajusteSubtotal) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (documento_ != TipoDocumento::CupomFiscal)
      return documento_ == TipoDocumento::Nenhum ? Resultado::CupomNaoAberto
                                                 : Resultado::DocumentoAberto;
    if (cupom_.fase != FaseCupom::Aberto && cupom_.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (cupom_.itensValidos() == 0) return Resultado::SemItens;
    if (ajusteSubtotal.valor < 0 || (ehPercentual(ajusteSubtotal) && ajusteSubtotal.valor > 9999))
      return Resultado::ParametroInvalido;
    int64_t subtotal = cupom_.subtotal();
    int64_t valor = valorDoAjuste(ajusteSubtotal, subtotal);
    bool desconto = ehAjusteDeDesconto(ajusteSubtotal);
    if (!desconto && valor > MaxTotalCupom - subtotal) return Resultado::ParametroInvalido;
    if (desconto && valor >= subtotal) return Resultado::ValorMaiorQueTotal;

    // O ajuste do subtotal é rateado entre os itens válidos na proporção de
    // cada um, para que os totais parciais somem a venda líquida; o resto da
    // divisão fica com o último item.
    int64_t ajuste = desconto ? -valor : valor;
    int64_t distribuido = 0;
    ItemCupom* ultimo = nullptr;
    for (ItemCupom& it : cupom_.itens) {
      if (it.cancelado) continue;
      it.rateioSubtotal = ajuste * it.liquidoSemRateio() / subtotal;
      distribuido += it.rateioSubtotal;
      ultimo = &it;
    }
    ultimo->rateioSubtotal += ajuste - distribuido;
    for (ItemCupom& it : cupom_.itens) {
      if (it.cancelado || it.rateioSubtotal == 0) continue;
      somaTotalParcial(it.aliquota, it.rateioSubtotal);
      if (desconto)
        (it.iss ? totais_.descontosIss : totais_.descontosIcms) += -it.rateioSubtotal;
      else
        (it.iss ? totais_.acrescimosIss : totais_.acrescimosIcms) += it.rateioSubtotal;
    }
    if (desconto) {
      cupom_.descontoSubtotal = valor;
    } else {
      cupom_.acrescimoSubtotal = valor;
      grandeTotal_ += valor;
    }
    cupom_.fase = FaseCupom::Totalizando;

    std::vector<std::string> l;
    l.push_back(Separador);
    l.push_back(linhaDupla("SUBTOTAL R$", moeda(subtotal)));
    if (valor && desconto) l.push_back(linhaDupla("DESCONTO R$", "-" + moeda(valor)));
    if (valor && !desconto) l.push_back(linhaDupla("ACRESCIMO R$", "+" + moeda(valor)));
    l.push_back(linhaDupla("TOTAL R$", moeda(cupom_.total())));
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
    if (documento_ == TipoDocumento::CupomFiscal) {
      if (cupom_.fase == FaseCupom::Aberto || cupom_.fase == FaseCupom::Vendendo)
        return Resultado::ComandoForaDeSequencia;
      fase = &cupom_.fase;
      pagamentos = &cupom_.pagamentos;
      total = cupom_.total();
    } else if (documento_ == TipoDocumento::NaoFiscal) {
      if (naoFiscal_.fase == FaseCupom::Aberto) return Resultado::SemItens;
      fase = &naoFiscal_.fase;
      pagamentos = &naoFiscal_.pagamentos;
      total = naoFiscal_.total();
    } else if (documento_ == TipoDocumento::Nenhum) {
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
    if (documento_ != TipoDocumento::CupomFiscal)
      return documento_ == TipoDocumento::Nenhum ? Resultado::CupomNaoAberto
                                                 : Resultado::DocumentoAberto;
    if (cupom_.fase == FaseCupom::Aberto || cupom_.fase == FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (cupom_.fase != FaseCupom::Pago) return Resultado::PagamentoInsuficiente;

    for (const PagamentoCupom& p : cupom_.pagamentos)
      if (FormaPagamento* f = formaPorNome(p.forma)) f->totalDia += p.valor;
    totais_.troco += cupom_.troco();

    std::vector<std::string> l;
    if (cupom_.troco()) l.push_back(linhaDupla("TROCO R$", moeda(cupom_.troco())));
    std::vector<std::string> promocionais = quebraLinhas(mensagem, 48);
    if (!promocionais.empty()) {
      l.push_back(Separador);
      l.insert(l.end(), promocionais.begin(), promocionais.end());
    }
    imprime(l);
    imprimeRodape();

    ultimoCupom_ = cupom_;
    ultimoCupomCancelavel_ = true;
    cupom_ = Cupom();
    documento_ = TipoDocumento::Nenhum;
    return Resultado::Ok;
  });
}

void ImpressoraFiscal::retiraDoDia(const Cupom& c) {
  for (const ItemCupom& it : c.itens) {
    if (it.cancelado) continue;
    int64_t valor = it.liquido();
    (it.iss ? totais_.cancelamentosIss : totais_.cancelamentosIcms) += valor;
    somaTotalParcial(it.aliquota, -valor);
  }
}

Resultado ImpressoraFiscal::cancelaCupom() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (documento_ == TipoDocumento::CupomFiscal) {
      // Pagamentos só entram nos totais das formas no encerramento.
      int64_t valor = cupom_.total();
      retiraDoDia(cupom_);
      ++contadores_.cfc;
      cupom_.cancelado = true;
      imprime({Separador, centraliza("CUPOM FISCAL CANCELADO"),
               linhaDupla("VALOR CANCELADO R$", moeda(valor))});
      imprimeRodape();
      ultimoCupom_ = cupom_;
      ultimoCupomCancelavel_ = false;
      cupom_ = Cupom();
      documento_ = TipoDocumento::Nenhum;
      return Resultado::Ok;
    }
    if (documento_ == TipoDocumento::NaoFiscal) {
      // Nada do comprovante entrou nos totais ainda: descarta.
      imprime({Separador, centraliza("COMPROVANTE NAO FISCAL CANCELADO")});
      imprimeRodape();
      naoFiscal_ = ComprovanteNaoFiscal();
      documento_ = TipoDocumento::Nenhum;
      return Resultado::Ok;
    }
    if (documento_ != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
    // Último cupom: só enquanto for o último documento emitido, no mesmo dia.
    if (!ultimoCupomCancelavel_ || ultimoCupom_.coo != contadores_.coo || ultimoCupom_.cancelado)
      return Resultado::NadaACancelar;
    if (reducaoZPendente()) return Resultado::ReducaoZPendente;
    retiraDoDia(ultimoCupom_);
    for (const PagamentoCupom& p : ultimoCupom_.pagamentos)
      if (FormaPagamento* f = formaPorNome(p.forma)) f->totalDia -= p.valor;
    totais_.troco -= ultimoCupom_.troco();
    ++contadores_.coo;
    ++contadores_.cfc;
    ultimoCupom_.cancelado = true;
    ultimoCupomCancelavel_ = false;

    iniciaDocumento("CCF");
    imprimeCabecalho("CUPOM FISCAL CANCELADO", false);
    imprime({linhaDupla("COO DO CUPOM CANCELADO:", zeros(ultimoCupom_.coo, 6)),
             linhaDupla("CCF DO CUPOM CANCELADO:", zeros(ultimoCupom_.ccf, 6)),
             linhaDupla("VALOR CANCELADO R$", moeda(ultimoCupom_.total()))});
    imprimeRodape();
    return Resultado::Ok;
  });
}

// ---------------------------------------------------------------- não fiscais

Resultado ImpressoraFiscal::abreComprovanteNaoFiscal() {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    abreDiaSeFechado();
    ++contadores_.coo;
    ++contadores_.gnf;
    ++contadores_.cnf;
    naoFiscal_ = ComprovanteNaoFiscal();
    naoFiscal_.coo = contadores_.coo;
    documento_ = TipoDocumento::NaoFiscal;
    iniciaDocumento("CNF");
    imprimeCabecalho("COMPROVANTE NAO-FISCAL", false);
    imprime(linhaDupla("GNF:" + zeros(contadores_.gnf, 6), ""));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::registraItemNaoFiscal(const std::string& totalizador, int64_t valor) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (documento_ != TipoDocumento::NaoFiscal) return Resultado::DocumentoNaoAberto;
    if (naoFiscal_.fase != FaseCupom::Aberto && naoFiscal_.fase != FaseCupom::Vendendo)
      return Resultado::ComandoForaDeSequencia;
    if (valor <= 0 || valor > MaxValor) return Resultado::ParametroInvalido;
    const TotalizadorNaoFiscal* t = procuraTotalizador(totalizador);
    if (!t) return Resultado::TotalizadorNaoProgramado;
    // Um comprovante é de entrada ou de saída de caixa, não dos dois.
    if (!naoFiscal_.itens.empty() && naoFiscal_.itens.front().saida != t->saida)
      return Resultado::ParametroInvalido;
    naoFiscal_.itens.push_back(ItemNaoFiscal{t->indice, t->nome, valor, t->saida});
    naoFiscal_.fase = FaseCupom::Vendendo;
    imprime(linhaDupla(zeros(t->indice, 2) + " " + t->nome, moeda(valor)));
    return Resultado::Ok;
  });
}

void ImpressoraFiscal::encerraDocumentoNaoFiscal() {
  bool saida = !naoFiscal_.itens.empty() && naoFiscal_.itens.front().saida;
  for (const ItemNaoFiscal& i : naoFiscal_.itens) {
    for (TotalizadorNaoFiscal& t : totalizadores_) {
      if (t.indice == i.indiceTotalizador) {
        t.totalDia += i.valor;
        ++t.contadorDia;
      }
    }
    if (mesmoNome(i.totalizador, "SANGRIA")) totais_.sangrias += i.valor;
    if (mesmoNome(i.totalizador, "SUPRIMENTO")) totais_.suprimentos += i.valor;
  }
  // Na saída de caixa o pagamento diz de que forma o dinheiro sai.
  for (const PagamentoCupom& p : naoFiscal_.pagamentos)
    if (FormaPagamento* f = formaPorNome(p.forma)) f->totalDia += saida ? -p.valor : p.valor;
  if (!saida && naoFiscal_.pago() > naoFiscal_.total())
    totais_.troco += naoFiscal_.pago() - naoFiscal_.total();
}

Resultado ImpressoraFiscal::encerraComprovanteNaoFiscal(const std::string& mensagem) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (documento_ != TipoDocumento::NaoFiscal) return Resultado::DocumentoNaoAberto;
    if (naoFiscal_.fase == FaseCupom::Aberto) return Resultado::SemItens;
    if (naoFiscal_.pago() < naoFiscal_.totalEntradas()) return Resultado::PagamentoInsuficiente;
    encerraDocumentoNaoFiscal();
    std::vector<std::string> l;
    l.push_back(linhaDupla("TOTAL R$", moeda(naoFiscal_.total())));
    int64_t troco = naoFiscal_.pago() - naoFiscal_.totalEntradas();
    if (naoFiscal_.totalEntradas() > 0 && troco > 0)
      l.push_back(linhaDupla("TROCO R$", moeda(troco)));
    std::vector<std::string> msg = quebraLinhas(mensagem, 48);
    l.insert(l.end(), msg.begin(), msg.end());
    imprime(l);
    imprimeRodape();
    naoFiscal_ = ComprovanteNaoFiscal();
    documento_ = TipoDocumento::Nenhum;
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
  // Tudo o que pode ser recusado é conferido antes de abrir o comprovante,
  // para não deixar um documento pela metade.
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
  if (r != Resultado::Ok && documento_ == TipoDocumento::NaoFiscal) cancelaCupom();
  return r;
}

Resultado ImpressoraFiscal::suprimento(int64_t valor, const std::string& forma) {
  return recebimentoNaoFiscal("SUPRIMENTO", valor, forma.empty() ? "Dinheiro" : forma);
}

Resultado ImpressoraFiscal::sangria(int64_t valor) {
  return recebimentoNaoFiscal("SANGRIA", valor, procuraForma("Dinheiro") ? "Dinheiro" : "");
}

// ---------------------------------------------------------------- vinculado

Resultado ImpressoraFiscal::abreComprovanteVinculado(const std::string& forma, int64_t valor,
                                                     int cooCupom) {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    if (valor < 0) return Resultado::ParametroInvalido;
    const FormaPagamento* f = procuraForma(forma);
    if (!f) return Resultado::FormaPagamentoNaoProgramada;
    if (!f->permiteVinculado || ultimoCupom_.coo == 0 || ultimoCupom_.cancelado ||
        (cooCupom != 0 && cooCupom != ultimoCupom_.coo))
      return Resultado::VinculadoInvalido;
    PagamentoCupom* pagamento = nullptr;
    for (PagamentoCupom& p : ultimoCupom_.pagamentos) {
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
    ++contadores_.coo;
    ++contadores_.gnf;
    ++contadores_.cdc;
    vinculado_ = ComprovanteVinculado{contadores_.coo, ultimoCupom_.coo, f->nome, valor};
    documento_ = TipoDocumento::ComprovanteVinculado;
    iniciaDocumento("CDC");
    imprimeCabecalho("COMPROVANTE CREDITO OU DEBITO", false);
    imprime({linhaDupla("GNF:" + zeros(contadores_.gnf, 6), "CDC:" + zeros(contadores_.cdc, 4)),
             linhaDupla("COO do documento vinculado:", zeros(ultimoCupom_.coo, 6)),
             linhaDupla(f->nome, moeda(valor)), Separador});
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::imprimeComprovanteVinculado(const std::string& texto) {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (documento_ != TipoDocumento::ComprovanteVinculado) return Resultado::DocumentoNaoAberto;
    imprime(quebraLinhas(texto, 48));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::fechaComprovanteVinculado() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (documento_ != TipoDocumento::ComprovanteVinculado) return Resultado::DocumentoNaoAberto;
    imprimeRodape();
    vinculado_ = ComprovanteVinculado();
    documento_ = TipoDocumento::Nenhum;
    return Resultado::Ok;
  });
}

// ---------------------------------------------------------------- relatório gerencial

Resultado ImpressoraFiscal::abreRelatorioGerencial(int indice) {
  return opera([&]() {
    Resultado r = podeAbrirDocumento();
    if (r != Resultado::Ok) return r;
    if (indice == 0) indice = 1;
    RelatorioGerencial* rel = nullptr;
    for (RelatorioGerencial& g : relatorios_)
      if (g.indice == indice) rel = &g;
    if (!rel) return Resultado::RelatorioNaoProgramado;
    abreDiaSeFechado();
    ++contadores_.coo;
    ++contadores_.gnf;
    ++contadores_.grg;
    ++rel->contadorDia;
    relatorioAberto_ = indice;
    documento_ = TipoDocumento::RelatorioGerencial;
    iniciaDocumento("RG");
    imprimeCabecalho("RELATORIO GERENCIAL", false);
    imprime({linhaDupla("GNF:" + zeros(contadores_.gnf, 6), "GRG:" + zeros(contadores_.grg, 6)),
             zeros(rel->indice, 2) + " " + rel->nome, Separador});
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::abreRelatorioGerencialPorNome(const std::string& nome) {
  try {
    for (const RelatorioGerencial& g : relatorios_)
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
    if (documento_ != TipoDocumento::RelatorioGerencial) return Resultado::DocumentoNaoAberto;
    imprime(quebraLinhas(texto, 48));
    return Resultado::Ok;
  });
}

Resultado ImpressoraFiscal::fechaRelatorioGerencial() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (documento_ != TipoDocumento::RelatorioGerencial) return Resultado::DocumentoNaoAberto;
    imprimeRodape();
    relatorioAberto_ = 0;
    documento_ = TipoDocumento::Nenhum;
    return Resultado::Ok;
  });
}

// ---------------------------------------------------------------- o dia

Resultado ImpressoraFiscal::leituraX() {
  return opera([&]() {
    Resultado r = podeImprimir();
    if (r != Resultado::Ok) return r;
    if (documento_ != TipoDocumento::Nenhum)
      return documento_ == TipoDocumento::CupomFiscal ? Resultado::CupomJaAberto
                                                      : Resultado::DocumentoAberto;
    ++contadores_.coo;
    ++contadores_.gnf;
    iniciaDocumento("LX");
    imprimeCabecalho("LEITURA X", false);
    std::vector<std::string> l;
    if (diaAberto_) l.push_back(linhaDupla("MOVIMENTO DO DIA", dataMovimento_.textoData()));
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
    // Um cupom aberto não é cancelado por baixo do PDV: a redução é recusada.
    if (documento_ != TipoDocumento::Nenhum)
      return documento_ == TipoDocumento::CupomFiscal ? Resultado::CupomJaAberto
                                                      : Resultado::DocumentoAberto;
    if (diaBloqueado()) return Resultado::DiaBloqueado;

    DataHora agoraZ = agora();
    ++contadores_.coo;
    ++contadores_.crz;
    DadosReducao z;
    z.crz = contadores_.crz;
    z.coo = contadores_.coo;
    z.cro = contadores_.cro;
    z.dataMovimento = diaAberto_ ? dataMovimento_ : agoraZ.soData();
    z.dataHoraEmissao = agoraZ;
    z.grandeTotal = grandeTotal_;
    z.vendaBruta = vendaBrutaDia();
    z.vendaLiquida = vendaLiquidaDia();
    z.cancelamentosIcms = totais_.cancelamentosIcms;
    z.cancelamentosIss = totais_.cancelamentosIss;
    z.descontosIcms = totais_.descontosIcms;
    z.descontosIss = totais_.descontosIss;
    z.acrescimosIcms = totais_.acrescimosIcms;
    z.acrescimosIss = totais_.acrescimosIss;
    z.totaisParciais = totaisParciais();
    for (const FormaPagamento& f : formas_)
      z.formasPagamento.push_back(TotalParcial{f.nome, f.totalDia});
    for (const TotalizadorNaoFiscal& t : totalizadores_)
      z.naoFiscais.push_back(TotalParcial{t.nome, t.totalDia});
    z.ccf = contadores_.ccf;
    z.gnf = contadores_.gnf;
    z.grg = contadores_.grg;
    z.cdc = contadores_.cdc;
    z.cfc = contadores_.cfc;
    z.cnf = contadores_.cnf;

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
    for (Aliquota& a : aliquotas_) a.totalDia = 0;
    for (FormaPagamento& f : formas_) f.totalDia = 0;
    for (TotalizadorNaoFiscal& t : totalizadores_) {
      t.totalDia = 0;
      t.contadorDia = 0;
    }
    for (RelatorioGerencial& g : relatorios_) g.contadorDia = 0;
    totais_ = TotaisDia();
    totais_.grandeTotalInicial = grandeTotal_;
    for (const char* f : CodigosFixos) totais_.fixos.push_back(TotalParcial{f, 0});
    diaAberto_ = false;
    ultimoCupomCancelavel_ = false;
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
  l.push_back(linhaDupla("FAB:" + identificacao_.numeroSerie, identificacao_.modelo));
  l.push_back(Separador);
  int64_t soma = 0;
  int quantas = 0;
  for (const DadosReducao& z : memoriaFiscal_) {
    const bool dentro =
        faixa.porData ? z.dataMovimento.diaCivil() >= faixa.dataInicial.diaCivil() &&
                            z.dataMovimento.diaCivil() <= faixa.dataFinal.diaCivil()
                      : z.crz >= faixa.crzInicial && z.crz <= faixa.crzFinal;
    if (!dentro) continue;
    ++quantas;
    soma += z.vendaBruta;
    l.push_back(linhaDupla("CRZ:" + zeros(z.crz, 4) + " COO:" + zeros(z.coo, 6) +
                               " CRO:" + zeros(z.cro, 3),
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
    if (documento_ != TipoDocumento::Nenhum)
      return documento_ == TipoDocumento::CupomFiscal ? Resultado::CupomJaAberto
                                                      : Resultado::DocumentoAberto;
    std::vector<std::string> texto = textoLeituraMemoriaFiscal(faixa);
    if (texto.empty()) return Resultado::ParametroInvalido;
    ++contadores_.coo;
    ++contadores_.gnf;
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
    gavetaAberta_ = true;
    ++aberturasGaveta_;
    return Resultado::Ok;
  });
}

// ---------------------------------------------------------------- impressora do processo

namespace {

// Uma por fabricante; o PDV usa a biblioteca de uma só thread (sem trava).
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
