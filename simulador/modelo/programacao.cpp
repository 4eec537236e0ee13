// The simulated printer's programming: tax rates, payment methods, non-fiscal
// totalisers, management report names, rounding, daylight-saving time and
// identification.
#include "impressora_interna.h"

#include <algorithm>

namespace tarvic {
namespace simulador {

using namespace interna;

namespace {

const std::size_t MaxAliquotas = 16;
const std::size_t MaxFormas = 20;
const int MaxTotalizadores = 50;
const int MaxRelatorios = 30;
const std::size_t MaxNomeForma = 16;
const std::size_t MaxNomeTotalizador = 19;
const std::size_t MaxNomeRelatorio = 15;

}  // namespace

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

}  // namespace simulador
}  // namespace tarvic
