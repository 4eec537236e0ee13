// The simulated printer: its results, the coupon's sums, start-up and the files' names,
// sensors and faults, the rules every operation follows, tax rates, and the
// printer of the process. The operations are in bobina.cpp, programacao.cpp,
// cupom.cpp, naofiscal.cpp and relatorios.cpp.
#include "impressora_interna.h"

#include <algorithm>
#include <memory>

namespace tarvic {
namespace simulador {

using namespace interna;

namespace {

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

namespace {

// The state file without its extension: the other files are named from it.
std::string semExtensao(const std::string& estado) {
  std::string base = estado;
  std::size_t ponto = base.find_last_of('.');
  std::size_t barra = base.find_last_of("/\\");
  if (ponto != std::string::npos && (barra == std::string::npos || ponto > barra))
    base.erase(ponto);
  return base;
}

}  // namespace

std::string ImpressoraFiscal::caminhoBobina(const std::string& estado) {
  return semExtensao(estado) + ".bobina.txt";
}

std::string ImpressoraFiscal::caminhoControle(const std::string& estado) {
  return semExtensao(estado) + ".falhas";
}

std::string ImpressoraFiscal::caminhoJornal(const std::string& estado) {
  return semExtensao(estado) + ".jornal";
}

std::string ImpressoraFiscal::caminhoRegistro(const std::string& estado) {
  return semExtensao(estado) + ".registro";
}

std::string ImpressoraFiscal::caminhoMemoriaFiscal(const std::string& estado) {
  return semExtensao(estado) + ".memoria_fiscal";
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

Resultado ImpressoraFiscal::podeImprimirSemDocumento() const {
  Resultado r = podeImprimir();
  if (r != Resultado::Ok) return r;
  if (m_.documento == TipoDocumento::CupomFiscal) return Resultado::CupomJaAberto;
  if (m_.documento != TipoDocumento::Nenhum) return Resultado::DocumentoAberto;
  return Resultado::Ok;
}

Resultado ImpressoraFiscal::podeImprimirNoCupom() const {
  Resultado r = podeImprimir();
  if (r != Resultado::Ok) return r;
  if (m_.documento == TipoDocumento::Nenhum) return Resultado::CupomNaoAberto;
  if (m_.documento != TipoDocumento::CupomFiscal) return Resultado::DocumentoAberto;
  return Resultado::Ok;
}

Resultado ImpressoraFiscal::podeAbrirDocumento() const {
  Resultado r = podeImprimirSemDocumento();
  if (r != Resultado::Ok) return r;
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
