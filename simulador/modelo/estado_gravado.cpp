// Text forms of the saved state: the JSON writer of the sections, the
// records and the growing files, and the readers of each (nlohmann-json).
#include "estado_gravado.h"

#include "texto.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <limits>
#include <stdexcept>
#include <type_traits>

using nlohmann::json;

namespace tarvic {
namespace simulador {

namespace {

const int VersaoAtual = 2;
// Limits that a damaged or hostile file cannot push the reader past.
const int64_t MaxItensPorCupom = 100000;

// ---------------------------------------------------------------- writing

// A text as a JSON string: runs of plain characters in one piece, escapes
// for quotes, backslashes and control characters, and Windows-1252 letters
// as UTF-8 when `de1252`.
void AcrescentaJson(std::string& s, const std::string& t, bool de1252) {
  static const char hexa[] = "0123456789abcdef";
  s += '"';
  std::size_t corrida = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const unsigned c = static_cast<unsigned char>(t[i]);
    const bool simples = c >= 0x20 && c != '"' && c != '\\' && (c < 0x80 || !de1252);
    if (simples) continue;
    s.append(t, corrida, i - corrida);
    corrida = i + 1;
    if (c == '"' || c == '\\') {
      s += '\\';
      s += static_cast<char>(c);
    } else if (c < 0x20) {
      s += "\\u00";
      s += hexa[c >> 4];
      s += hexa[c & 15];
    } else {
      acrescentaComoUtf8(s, t[i]);
    }
  }
  s.append(t, corrida, t.size() - corrida);
  s += '"';
}

void AcrescentaInteiro(std::string& s, int64_t v) {
  char b[24];
  char* fim = b + sizeof b;
  char* p = fim;
  uint64_t m = v < 0 ? static_cast<uint64_t>(-(v + 1)) + 1u : static_cast<uint64_t>(v);
  do {
    *--p = static_cast<char>('0' + m % 10);
    m /= 10;
  } while (m);
  if (v < 0) *--p = '-';
  s.append(p, static_cast<std::size_t>(fim - p));
}

bool Igual(const ItemCupom& a, const ItemCupom& b) {
  return a.numero == b.numero && a.quantidadeMilesimos == b.quantidadeMilesimos &&
         a.precoUnitarioMilesimos == b.precoUnitarioMilesimos && a.bruto == b.bruto &&
         a.acrescimo == b.acrescimo && a.desconto == b.desconto &&
         a.rateioSubtotal == b.rateioSubtotal && a.cancelado == b.cancelado && a.iss == b.iss &&
         a.codigo == b.codigo && a.descricao == b.descricao && a.unidade == b.unidade &&
         a.aliquota == b.aliquota;
}

bool Igual(const Identificacao& a, const Identificacao& b) {
  return a.fabricante == b.fabricante && a.marca == b.marca && a.modelo == b.modelo &&
         a.tipo == b.tipo && a.mfd == b.mfd && a.numeroSerie == b.numeroSerie &&
         a.numeroUsuario == b.numeroUsuario && a.numeroCaixa == b.numeroCaixa &&
         a.numeroLoja == b.numeroLoja && a.versaoFirmware == b.versaoFirmware &&
         a.razaoSocial == b.razaoSocial && a.endereco == b.endereco && a.cidade == b.cidade &&
         a.cnpj == b.cnpj && a.ie == b.ie && a.im == b.im;
}

// One JSON object written field by field.
class Objeto {
 public:
  explicit Objeto(std::string& s) : s_(s) { s_ += '{'; }
  ~Objeto() { s_ += '}'; }
  Objeto(const Objeto&) = delete;
  Objeto& operator=(const Objeto&) = delete;

  Objeto& inteiro(const char* nome, int64_t v) {
    chave(nome);
    AcrescentaInteiro(s_, v);
    return *this;
  }
  Objeto& logico(const char* nome, bool v) {
    chave(nome);
    s_ += v ? "true" : "false";
    return *this;
  }
  Objeto& texto(const char* nome, const std::string& t) {
    chave(nome);
    AcrescentaTextoJson(s_, t);
    return *this;
  }
  Objeto& data(const char* nome, const DataHora& d) {
    chave(nome);
    if (d.ano == 0) {
      s_ += "\"\"";
      return *this;
    }
    char b[64];
    std::snprintf(b, sizeof b, "\"%02d/%02d/%04d %02d:%02d:%02d\"", d.dia % 100, d.mes % 100,
                  d.ano % 10000, d.hora % 100, d.minuto % 100, d.segundo % 100);
    s_ += b;
    return *this;
  }
  // A field whose value another writer appends.
  template <class Escritor>
  Objeto& valor(const char* nome, Escritor escreve) {
    chave(nome);
    escreve(s_);
    return *this;
  }

 private:
  void chave(const char* nome) {
    if (!primeiro_) s_ += ',';
    primeiro_ = false;
    s_ += '"';
    s_ += nome;
    s_ += "\":";
  }
  std::string& s_;
  bool primeiro_ = true;
};

template <class T, class Escritor>
void Lista(std::string& s, const std::vector<T>& itens, Escritor escreve) {
  s += '[';
  for (std::size_t i = 0; i < itens.size(); ++i) {
    if (i) s += ',';
    escreve(s, itens[i]);
  }
  s += ']';
}

void Escreve(std::string& s, const TotalParcial& t) {
  Objeto(s).texto("codigo", t.codigo).inteiro("total", t.total);
}

void EscreveTotais(std::string& s, const std::vector<TotalParcial>& t) {
  Lista(s, t, [](std::string& o, const TotalParcial& x) { Escreve(o, x); });
}

void Escreve(std::string& s, const Identificacao& i) {
  Objeto(s)
      .texto("fabricante", i.fabricante)
      .texto("marca", i.marca)
      .texto("modelo", i.modelo)
      .texto("tipo", i.tipo)
      .logico("mfd", i.mfd)
      .texto("numeroSerie", i.numeroSerie)
      .inteiro("numeroUsuario", i.numeroUsuario)
      .inteiro("numeroCaixa", i.numeroCaixa)
      .inteiro("numeroLoja", i.numeroLoja)
      .texto("versaoFirmware", i.versaoFirmware)
      .texto("razaoSocial", i.razaoSocial)
      .texto("endereco", i.endereco)
      .texto("cidade", i.cidade)
      .texto("cnpj", i.cnpj)
      .texto("ie", i.ie)
      .texto("im", i.im);
}

void Escreve(std::string& s, const Contadores& c) {
  Objeto(s)
      .inteiro("coo", c.coo)
      .inteiro("ccf", c.ccf)
      .inteiro("gnf", c.gnf)
      .inteiro("grg", c.grg)
      .inteiro("cdc", c.cdc)
      .inteiro("crz", c.crz)
      .inteiro("cro", c.cro)
      .inteiro("cfc", c.cfc)
      .inteiro("cnf", c.cnf);
}

void Escreve(std::string& s, const Aliquota& a) {
  Objeto(s)
      .inteiro("indice", a.indice)
      .texto("tipo", a.tipo == TipoTributo::Icms ? "ICMS" : "ISS")
      .inteiro("percentual", a.percentual)
      .inteiro("totalDia", a.totalDia);
}

void Escreve(std::string& s, const FormaPagamento& f) {
  Objeto(s)
      .inteiro("indice", f.indice)
      .texto("nome", f.nome)
      .logico("permiteVinculado", f.permiteVinculado)
      .inteiro("totalDia", f.totalDia);
}

void Escreve(std::string& s, const TotalizadorNaoFiscal& t) {
  Objeto(s)
      .inteiro("indice", t.indice)
      .texto("nome", t.nome)
      .logico("saida", t.saida)
      .inteiro("totalDia", t.totalDia)
      .inteiro("contadorDia", t.contadorDia);
}

void Escreve(std::string& s, const RelatorioGerencial& r) {
  Objeto(s).inteiro("indice", r.indice).texto("nome", r.nome).inteiro("contadorDia", r.contadorDia);
}

void Escreve(std::string& s, const ItemCupom& i) {
  Objeto(s)
      .inteiro("numero", i.numero)
      .texto("codigo", i.codigo)
      .texto("descricao", i.descricao)
      .texto("unidade", i.unidade)
      .texto("aliquota", i.aliquota)
      .logico("iss", i.iss)
      .inteiro("quantidadeMilesimos", i.quantidadeMilesimos)
      .inteiro("precoUnitarioMilesimos", i.precoUnitarioMilesimos)
      .inteiro("bruto", i.bruto)
      .inteiro("acrescimo", i.acrescimo)
      .inteiro("desconto", i.desconto)
      .inteiro("rateioSubtotal", i.rateioSubtotal)
      .logico("cancelado", i.cancelado);
}

void Escreve(std::string& s, const PagamentoCupom& p) {
  Objeto(s)
      .texto("forma", p.forma)
      .inteiro("valor", p.valor)
      .texto("observacao", p.observacao)
      .inteiro("vinculadoUsado", p.vinculadoUsado);
}

void EscrevePagamentos(std::string& s, const std::vector<PagamentoCupom>& p) {
  Lista(s, p, [](std::string& o, const PagamentoCupom& x) { Escreve(o, x); });
}

// The coupon without its items, which are sections of their own.
void EscreveCabecalho(std::string& s, const Cupom& c) {
  Objeto(s)
      .inteiro("coo", c.coo)
      .inteiro("ccf", c.ccf)
      .data("abertura", c.abertura)
      .texto("consumidorDocumento", c.consumidorDocumento)
      .texto("consumidorNome", c.consumidorNome)
      .texto("consumidorEndereco", c.consumidorEndereco)
      .inteiro("quantidadeItens", static_cast<int64_t>(c.itens.size()))
      .inteiro("acrescimoSubtotal", c.acrescimoSubtotal)
      .inteiro("descontoSubtotal", c.descontoSubtotal)
      .valor("pagamentos", [&](std::string& o) { EscrevePagamentos(o, c.pagamentos); })
      .inteiro("fase", static_cast<int>(c.fase))
      .logico("cancelado", c.cancelado);
}

void Escreve(std::string& s, const ComprovanteNaoFiscal& c) {
  Objeto(s)
      .inteiro("coo", c.coo)
      .valor("itens",
             [&](std::string& o) {
               Lista(o, c.itens, [](std::string& x, const ItemNaoFiscal& i) {
                 Objeto(x)
                     .inteiro("indiceTotalizador", i.indiceTotalizador)
                     .texto("totalizador", i.totalizador)
                     .inteiro("valor", i.valor)
                     .logico("saida", i.saida);
               });
             })
      .valor("pagamentos", [&](std::string& o) { EscrevePagamentos(o, c.pagamentos); })
      .inteiro("fase", static_cast<int>(c.fase));
}

void Escreve(std::string& s, const ComprovanteVinculado& c) {
  Objeto(s)
      .inteiro("coo", c.coo)
      .inteiro("cooCupom", c.cooCupom)
      .texto("forma", c.forma)
      .inteiro("valor", c.valor);
}

void Escreve(std::string& s, const TotaisDia& t) {
  Objeto(s)
      .inteiro("grandeTotalInicial", t.grandeTotalInicial)
      .inteiro("cancelamentosIcms", t.cancelamentosIcms)
      .inteiro("cancelamentosIss", t.cancelamentosIss)
      .inteiro("descontosIcms", t.descontosIcms)
      .inteiro("descontosIss", t.descontosIss)
      .inteiro("acrescimosIcms", t.acrescimosIcms)
      .inteiro("acrescimosIss", t.acrescimosIss)
      .inteiro("troco", t.troco)
      .inteiro("sangrias", t.sangrias)
      .inteiro("suprimentos", t.suprimentos)
      .valor("fixos", [&](std::string& o) { EscreveTotais(o, t.fixos); });
}

void EscreveGeral(std::string& s, const EstadoGravado& e) {
  Objeto(s)
      .inteiro("grandeTotal", e.grandeTotal)
      .logico("arredonda", e.arredonda)
      .logico("horarioVerao", e.horarioVerao)
      .inteiro("deslocamentoRelogio", e.deslocamentoRelogio)
      .logico("diaAberto", e.diaAberto)
      .data("dataMovimento", e.dataMovimento)
      .inteiro("documentoAberto", static_cast<int>(e.documento))
      .logico("ultimoCupomCancelavel", e.ultimoCupomCancelavel)
      .inteiro("relatorioAberto", e.relatorioAberto)
      .data("ultimoDocumento", e.ultimoDocumento)
      .logico("gavetaAberta", e.gavetaAberta)
      .inteiro("aberturasGaveta", e.aberturasGaveta);
}

void EscreveInjetados(std::string& s, const std::map<std::string, std::vector<int>>& codigos) {
  s += '{';
  bool primeiro = true;
  for (const auto& par : codigos) {
    if (!primeiro) s += ',';
    primeiro = false;
    AcrescentaTextoJson(s, par.first);
    s += ':';
    Lista(s, par.second, [](std::string& o, int c) { AcrescentaInteiro(o, c); });
  }
  s += '}';
}

void EscreveDocumento(std::string& s, const DocumentoImpresso& d) {
  Objeto(s).inteiro("coo", d.coo).texto("tipo", d.tipo).data("dataHora", d.dataHora);
}

void EscreveArquivos(std::string& s, const EstadoGravado& e) {
  Objeto(s)
      .inteiro("jornal", e.bytesJornal)
      .inteiro("bobina", e.bytesBobina)
      .inteiro("memoriaFiscal", e.bytesMemoriaFiscal);
}

void Escreve(std::string& s, const DadosReducao& z) {
  Objeto(s)
      .inteiro("crz", z.crz)
      .inteiro("coo", z.coo)
      .inteiro("cro", z.cro)
      .data("dataMovimento", z.dataMovimento)
      .data("dataHoraEmissao", z.dataHoraEmissao)
      .inteiro("grandeTotal", z.grandeTotal)
      .inteiro("vendaBruta", z.vendaBruta)
      .inteiro("vendaLiquida", z.vendaLiquida)
      .inteiro("cancelamentosIcms", z.cancelamentosIcms)
      .inteiro("cancelamentosIss", z.cancelamentosIss)
      .inteiro("descontosIcms", z.descontosIcms)
      .inteiro("descontosIss", z.descontosIss)
      .inteiro("acrescimosIcms", z.acrescimosIcms)
      .inteiro("acrescimosIss", z.acrescimosIss)
      .valor("totaisParciais", [&](std::string& o) { EscreveTotais(o, z.totaisParciais); })
      .valor("formasPagamento", [&](std::string& o) { EscreveTotais(o, z.formasPagamento); })
      .valor("naoFiscais", [&](std::string& o) { EscreveTotais(o, z.naoFiscais); })
      .inteiro("ccf", z.ccf)
      .inteiro("gnf", z.gnf)
      .inteiro("grg", z.grg)
      .inteiro("cdc", z.cdc)
      .inteiro("cfc", z.cfc)
      .inteiro("cnf", z.cnf);
}

// A UTF-8 text (the growing files' bytes) as a JSON string.
void AcrescentaUtf8Json(std::string& s, const std::string& utf8) {
  AcrescentaJson(s, utf8, false);
}

// Writes one section into the next slot of `secoes`, reusing its strings.
class Secoes {
 public:
  explicit Secoes(std::vector<Secao>& s) : s_(s) {}
  ~Secoes() { s_.resize(n_); }
  template <class Escritor>
  void poe(const std::string& chave, Escritor escreve) {
    if (n_ == s_.size()) s_.emplace_back();
    Secao& secao = s_[n_++];
    secao.chave = chave;
    secao.valor.clear();
    escreve(secao.valor);
  }

 private:
  std::vector<Secao>& s_;
  std::size_t n_ = 0;
};

void PoeCupom(Secoes& secoes, const char* nome, const Cupom& c,
              std::vector<std::pair<ItemCupom, std::string>>* memoria) {
  secoes.poe(nome, [&](std::string& s) { EscreveCabecalho(s, c); });
  std::string chave = std::string(nome) + ".item.";
  const std::size_t prefixo = chave.size();
  for (std::size_t k = 0; k < c.itens.size(); ++k) {
    const ItemCupom& i = c.itens[k];
    chave.resize(prefixo);
    AcrescentaInteiro(chave, i.numero);
    if (!memoria) {
      secoes.poe(chave, [&](std::string& s) { Escreve(s, i); });
      continue;
    }
    if (memoria->size() <= k) memoria->emplace_back();
    auto& lembrado = (*memoria)[k];
    if (lembrado.second.empty() || !Igual(lembrado.first, i)) {
      lembrado.first = i;
      lembrado.second.clear();
      Escreve(lembrado.second, i);
    }
    secoes.poe(chave, [&](std::string& s) { s += lembrado.second; });
  }
}

// ---------------------------------------------------------------- reading

std::string LeTexto(const json& j, const char* chave, const std::string& padrao = std::string()) {
  auto it = j.find(chave);
  if (it == j.end()) return padrao;
  return utf8ParaCp1252(it->get<std::string>());
}

// An integer of the file: a number with no fraction that fits T. (A number
// the type cannot hold is a damaged file, not a value to cast.)
template <typename T>
T Numero(const json& v) {
  const auto maximo = static_cast<uint64_t>(std::numeric_limits<T>::max());
  if (v.is_number_unsigned()) {
    const uint64_t u = v.get<uint64_t>();
    if (u > maximo) throw std::runtime_error("numero grande demais");
    return static_cast<T>(u);
  }
  if (!v.is_number_integer()) throw std::runtime_error("numero inteiro esperado");
  const int64_t i = v.get<int64_t>();
  if (i < static_cast<int64_t>(std::numeric_limits<T>::min()) ||
      (i > 0 && static_cast<uint64_t>(i) > maximo))
    throw std::runtime_error("numero fora da faixa");
  return static_cast<T>(i);
}

// A field of the file, not copied (a deeply nested value would be copied
// by recursion); null when it is missing.
const json* Campo(const json& j, const char* chave) {
  auto it = j.find(chave);
  return it == j.end() ? nullptr : &*it;
}

template <typename T>
T Le(const json& j, const char* chave, T padrao) {
  auto it = j.find(chave);
  if (it == j.end()) return padrao;
  if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>)
    return Numero<T>(*it);
  else
    return it->get<T>();
}

void ExigeObjeto(const json& j, const char* oQue) {
  if (!j.is_object()) throw std::runtime_error(std::string(oQue) + " nao e um objeto");
}

FaseCupom LeFase(const json& j) {
  const int fase = Le<int>(j, "fase", 0);
  if (fase < 0 || fase > static_cast<int>(FaseCupom::Pago))
    throw std::runtime_error("fase de documento invalida");
  return static_cast<FaseCupom>(fase);
}

}  // namespace

void from_json(const json& j, DataHora& d) {
  d = DataHora();
  const std::string s = j.get<std::string>();
  if (s.empty()) return;
  // "dd/mm/aaaa hh:mm:ss"
  if (s.size() != 19 || s.find_first_not_of("0123456789/: ") != std::string::npos)
    throw std::runtime_error("data mal formada: " + s);
  d.dia = std::stoi(s.substr(0, 2));
  d.mes = std::stoi(s.substr(3, 2));
  d.ano = std::stoi(s.substr(6, 4));
  d.hora = std::stoi(s.substr(11, 2));
  d.minuto = std::stoi(s.substr(14, 2));
  d.segundo = std::stoi(s.substr(17, 2));
  if (!d.valida()) throw std::runtime_error("data invalida: " + s);
}

void from_json(const json& j, TotalParcial& t) {
  ExigeObjeto(j, "total parcial");
  t.codigo = LeTexto(j, "codigo");
  t.total = Le<int64_t>(j, "total", 0);
}

void from_json(const json& j, Identificacao& i) {
  ExigeObjeto(j, "identificacao");
  Identificacao p;
  i.fabricante = LeTexto(j, "fabricante", p.fabricante);
  i.marca = LeTexto(j, "marca", p.marca);
  i.modelo = LeTexto(j, "modelo", p.modelo);
  i.tipo = LeTexto(j, "tipo", p.tipo);
  i.mfd = Le<bool>(j, "mfd", p.mfd);
  i.numeroSerie = LeTexto(j, "numeroSerie", p.numeroSerie);
  i.numeroUsuario = Le<int>(j, "numeroUsuario", p.numeroUsuario);
  i.numeroCaixa = Le<int>(j, "numeroCaixa", p.numeroCaixa);
  i.numeroLoja = Le<int>(j, "numeroLoja", p.numeroLoja);
  i.versaoFirmware = LeTexto(j, "versaoFirmware", p.versaoFirmware);
  i.razaoSocial = LeTexto(j, "razaoSocial", p.razaoSocial);
  i.endereco = LeTexto(j, "endereco", p.endereco);
  i.cidade = LeTexto(j, "cidade", p.cidade);
  i.cnpj = LeTexto(j, "cnpj", p.cnpj);
  i.ie = LeTexto(j, "ie", p.ie);
  i.im = LeTexto(j, "im", p.im);
}

void from_json(const json& j, Aliquota& a) {
  a.indice = Numero<int>(j.at("indice"));
  a.tipo = j.at("tipo").get<std::string>() == "ISS" ? TipoTributo::Iss : TipoTributo::Icms;
  a.percentual = Numero<int64_t>(j.at("percentual"));
  a.totalDia = Le<int64_t>(j, "totalDia", 0);
}

void from_json(const json& j, FormaPagamento& f) {
  f.indice = Numero<int>(j.at("indice"));
  f.nome = LeTexto(j, "nome");
  f.permiteVinculado = Le<bool>(j, "permiteVinculado", false);
  f.totalDia = Le<int64_t>(j, "totalDia", 0);
}

void from_json(const json& j, TotalizadorNaoFiscal& t) {
  t.indice = Numero<int>(j.at("indice"));
  t.nome = LeTexto(j, "nome");
  t.saida = Le<bool>(j, "saida", false);
  t.totalDia = Le<int64_t>(j, "totalDia", 0);
  t.contadorDia = Le<int>(j, "contadorDia", 0);
}

void from_json(const json& j, RelatorioGerencial& r) {
  r.indice = Numero<int>(j.at("indice"));
  r.nome = LeTexto(j, "nome");
  r.contadorDia = Le<int>(j, "contadorDia", 0);
}

void from_json(const json& j, Contadores& c) {
  c.coo = Numero<int>(j.at("coo"));
  c.ccf = Numero<int>(j.at("ccf"));
  c.gnf = Numero<int>(j.at("gnf"));
  c.grg = Numero<int>(j.at("grg"));
  c.cdc = Numero<int>(j.at("cdc"));
  c.crz = Numero<int>(j.at("crz"));
  c.cro = Numero<int>(j.at("cro"));
  c.cfc = Le<int>(j, "cfc", 0);
  c.cnf = Le<int>(j, "cnf", 0);
}

void from_json(const json& j, ItemCupom& i) {
  i.numero = Numero<int>(j.at("numero"));
  i.codigo = LeTexto(j, "codigo");
  i.descricao = LeTexto(j, "descricao");
  i.unidade = LeTexto(j, "unidade");
  i.aliquota = LeTexto(j, "aliquota");
  i.iss = Le<bool>(j, "iss", false);
  i.quantidadeMilesimos = Numero<int64_t>(j.at("quantidadeMilesimos"));
  i.precoUnitarioMilesimos = Numero<int64_t>(j.at("precoUnitarioMilesimos"));
  i.bruto = Numero<int64_t>(j.at("bruto"));
  i.acrescimo = Le<int64_t>(j, "acrescimo", 0);
  i.desconto = Le<int64_t>(j, "desconto", 0);
  i.rateioSubtotal = Le<int64_t>(j, "rateioSubtotal", 0);
  i.cancelado = Le<bool>(j, "cancelado", false);
}

void from_json(const json& j, PagamentoCupom& p) {
  p.forma = LeTexto(j, "forma");
  p.valor = Numero<int64_t>(j.at("valor"));
  p.observacao = LeTexto(j, "observacao");
  p.vinculadoUsado = Le<int64_t>(j, "vinculadoUsado", 0);
}

// The coupon of version 1 (with its items) or the header of version 2.
void from_json(const json& j, Cupom& c) {
  ExigeObjeto(j, "cupom");
  c.coo = Le<int>(j, "coo", 0);
  c.ccf = Le<int>(j, "ccf", 0);
  c.abertura = Le<DataHora>(j, "abertura", DataHora());
  c.consumidorDocumento = LeTexto(j, "consumidorDocumento");
  c.consumidorNome = LeTexto(j, "consumidorNome");
  c.consumidorEndereco = LeTexto(j, "consumidorEndereco");
  c.itens = Le<std::vector<ItemCupom>>(j, "itens", {});
  c.acrescimoSubtotal = Le<int64_t>(j, "acrescimoSubtotal", 0);
  c.descontoSubtotal = Le<int64_t>(j, "descontoSubtotal", 0);
  c.pagamentos = Le<std::vector<PagamentoCupom>>(j, "pagamentos", {});
  c.fase = LeFase(j);
  c.cancelado = Le<bool>(j, "cancelado", false);
}

void from_json(const json& j, ItemNaoFiscal& i) {
  i.indiceTotalizador = Numero<int>(j.at("indiceTotalizador"));
  i.totalizador = LeTexto(j, "totalizador");
  i.valor = Numero<int64_t>(j.at("valor"));
  i.saida = Le<bool>(j, "saida", false);
}

void from_json(const json& j, ComprovanteNaoFiscal& c) {
  ExigeObjeto(j, "comprovante nao fiscal");
  c.coo = Le<int>(j, "coo", 0);
  c.itens = Le<std::vector<ItemNaoFiscal>>(j, "itens", {});
  c.pagamentos = Le<std::vector<PagamentoCupom>>(j, "pagamentos", {});
  c.fase = LeFase(j);
}

void from_json(const json& j, ComprovanteVinculado& c) {
  ExigeObjeto(j, "comprovante vinculado");
  c.coo = Le<int>(j, "coo", 0);
  c.cooCupom = Le<int>(j, "cooCupom", 0);
  c.forma = LeTexto(j, "forma");
  c.valor = Le<int64_t>(j, "valor", 0);
}

void from_json(const json& j, TotaisDia& t) {
  t.grandeTotalInicial = Numero<int64_t>(j.at("grandeTotalInicial"));
  t.cancelamentosIcms = Le<int64_t>(j, "cancelamentosIcms", 0);
  t.cancelamentosIss = Le<int64_t>(j, "cancelamentosIss", 0);
  t.descontosIcms = Le<int64_t>(j, "descontosIcms", 0);
  t.descontosIss = Le<int64_t>(j, "descontosIss", 0);
  t.acrescimosIcms = Le<int64_t>(j, "acrescimosIcms", 0);
  t.acrescimosIss = Le<int64_t>(j, "acrescimosIss", 0);
  t.troco = Le<int64_t>(j, "troco", 0);
  t.sangrias = Le<int64_t>(j, "sangrias", 0);
  t.suprimentos = Le<int64_t>(j, "suprimentos", 0);
  t.fixos = Le<std::vector<TotalParcial>>(j, "fixos", {});
}

void from_json(const json& j, DadosReducao& z) {
  ExigeObjeto(j, "reducao");
  z.crz = Numero<int>(j.at("crz"));
  z.coo = Numero<int>(j.at("coo"));
  z.cro = Le<int>(j, "cro", 1);
  z.dataMovimento = j.at("dataMovimento").get<DataHora>();
  z.dataHoraEmissao = Le<DataHora>(j, "dataHoraEmissao", DataHora());
  z.grandeTotal = Numero<int64_t>(j.at("grandeTotal"));
  z.vendaBruta = Le<int64_t>(j, "vendaBruta", 0);
  z.vendaLiquida = Le<int64_t>(j, "vendaLiquida", 0);
  z.cancelamentosIcms = Le<int64_t>(j, "cancelamentosIcms", 0);
  z.cancelamentosIss = Le<int64_t>(j, "cancelamentosIss", 0);
  z.descontosIcms = Le<int64_t>(j, "descontosIcms", 0);
  z.descontosIss = Le<int64_t>(j, "descontosIss", 0);
  z.acrescimosIcms = Le<int64_t>(j, "acrescimosIcms", 0);
  z.acrescimosIss = Le<int64_t>(j, "acrescimosIss", 0);
  z.totaisParciais = Le<std::vector<TotalParcial>>(j, "totaisParciais", {});
  z.formasPagamento = Le<std::vector<TotalParcial>>(j, "formasPagamento", {});
  z.naoFiscais = Le<std::vector<TotalParcial>>(j, "naoFiscais", {});
  z.ccf = Le<int>(j, "ccf", 0);
  z.gnf = Le<int>(j, "gnf", 0);
  z.grg = Le<int>(j, "grg", 0);
  z.cdc = Le<int>(j, "cdc", 0);
  z.cfc = Le<int>(j, "cfc", 0);
  z.cnf = Le<int>(j, "cnf", 0);
}

void from_json(const json& j, DocumentoImpresso& d) {
  ExigeObjeto(j, "documento");
  d.coo = Numero<int>(j.at("coo"));
  d.tipo = LeTexto(j, "tipo");
  d.dataHora = Le<DataHora>(j, "dataHora", DataHora());
  d.linhas.clear();
  if (const json* linhas = Campo(j, "linhas"))
    for (const json& l : *linhas) d.linhas.push_back(utf8ParaCp1252(l.get<std::string>()));
}

namespace {

std::map<std::string, std::vector<int>> LeInjetados(const json& codigos) {
  ExigeObjeto(codigos, "codigos injetados");
  std::map<std::string, std::vector<int>> injetados;
  for (const auto& par : codigos.items()) {
    std::vector<int>& lista = injetados[utf8ParaCp1252(par.key())];
    for (const json& c : par.value()) lista.push_back(Numero<int>(c));
  }
  return injetados;
}

void ConfereGeral(const EstadoGravado& e) {
  if (e.diaAberto && !e.dataMovimento.valida())
    throw std::runtime_error("dia aberto sem data de movimento");
  if (e.grandeTotal < 0) throw std::runtime_error("grande total negativo");
}

void LeGeral(const json& j, EstadoGravado& e) {
  ExigeObjeto(j, "estado");
  e.grandeTotal = Numero<int64_t>(j.at("grandeTotal"));
  e.arredonda = Le<bool>(j, "arredonda", false);
  e.horarioVerao = Le<bool>(j, "horarioVerao", false);
  e.deslocamentoRelogio = Le<int64_t>(j, "deslocamentoRelogio", 0);
  e.diaAberto = Le<bool>(j, "diaAberto", false);
  e.dataMovimento = Le<DataHora>(j, "dataMovimento", DataHora());
  const int documento = Le<int>(j, "documentoAberto", 0);
  if (documento < 0 || documento > static_cast<int>(TipoDocumento::ComprovanteVinculado))
    throw std::runtime_error("documento aberto invalido");
  e.documento = static_cast<TipoDocumento>(documento);
  e.ultimoCupomCancelavel = Le<bool>(j, "ultimoCupomCancelavel", false);
  e.relatorioAberto = Le<int>(j, "relatorioAberto", 0);
  e.ultimoDocumento = Le<DataHora>(j, "ultimoDocumento", DataHora());
  e.gavetaAberta = Le<bool>(j, "gavetaAberta", false);
  e.aberturasGaveta = Le<int>(j, "aberturasGaveta", 0);
  ConfereGeral(e);
}

// The header of a version 2 coupon: its items follow as sections.
void LeCabecalho(const json& j, Cupom& c) {
  Cupom lido = j.get<Cupom>();
  const int64_t itens = Le<int64_t>(j, "quantidadeItens", 0);
  if (itens < 0 || itens > MaxItensPorCupom) throw std::runtime_error("itens de cupom demais");
  lido.itens = std::move(c.itens);
  lido.itens.resize(static_cast<std::size_t>(itens));
  c = std::move(lido);
}

void LeItem(const std::string& numero, const json& j, Cupom& c) {
  if (numero.empty() || numero.size() > 6 ||
      numero.find_first_not_of("0123456789") != std::string::npos)
    throw std::runtime_error("item mal numerado");
  const std::size_t n = static_cast<std::size_t>(std::stol(numero));
  if (n < 1 || n > c.itens.size()) throw std::runtime_error("item fora do cupom");
  c.itens[n - 1] = j.get<ItemCupom>();
}

bool ComecaCom(const std::string& s, const std::string& prefixo) {
  return s.compare(0, prefixo.size(), prefixo) == 0;
}

// One section of version 2 into the state. Unknown sections are skipped.
void AplicaSecao(const std::string& chave, const json& v, EstadoGravado& e) {
  if (chave == "identificacao")
    e.identificacao = v.get<Identificacao>();
  else if (chave == "contadores")
    e.contadores = v.get<Contadores>();
  else if (chave == "geral")
    LeGeral(v, e);
  else if (chave == "aliquotas")
    e.aliquotas = v.get<std::vector<Aliquota>>();
  else if (chave == "formasPagamento")
    e.formas = v.get<std::vector<FormaPagamento>>();
  else if (chave == "totalizadoresNaoFiscais")
    e.totalizadores = v.get<std::vector<TotalizadorNaoFiscal>>();
  else if (chave == "relatoriosGerenciais")
    e.relatorios = v.get<std::vector<RelatorioGerencial>>();
  else if (chave == "totaisDia")
    e.totais = v.get<TotaisDia>();
  else if (chave == "cupom")
    LeCabecalho(v, e.cupom);
  else if (ComecaCom(chave, "cupom.item."))
    LeItem(chave.substr(11), v, e.cupom);
  else if (chave == "ultimoCupom")
    LeCabecalho(v, e.ultimoCupom);
  else if (ComecaCom(chave, "ultimoCupom.item."))
    LeItem(chave.substr(17), v, e.ultimoCupom);
  else if (chave == "naoFiscal")
    e.naoFiscal = v.get<ComprovanteNaoFiscal>();
  else if (chave == "vinculado")
    e.vinculado = v.get<ComprovanteVinculado>();
  else if (chave == "codigosInjetados")
    e.codigosInjetados = LeInjetados(v);
  else if (chave == "documentoAtual")
    e.documentoAtual = v.get<DocumentoImpresso>();
  else if (chave == "arquivos") {
    ExigeObjeto(v, "arquivos");
    e.bytesJornal = Le<int64_t>(v, "jornal", 0);
    e.bytesBobina = Le<int64_t>(v, "bobina", 0);
    e.bytesMemoriaFiscal = Le<int64_t>(v, "memoriaFiscal", 0);
    if (e.bytesJornal < 0 || e.bytesBobina < 0 || e.bytesMemoriaFiscal < 0)
      throw std::runtime_error("tamanho de arquivo negativo");
  }
}

// Version 1: one JSON object with the journal and the fiscal memory inside.
void LeVersao1(const json& j, EstadoLido& lido) {
  EstadoGravado& e = lido.estado;
  e.identificacao = j.at("identificacao").get<Identificacao>();
  e.contadores = j.at("contadores").get<Contadores>();
  LeGeral(j, e);
  e.aliquotas = j.at("aliquotas").get<std::vector<Aliquota>>();
  e.formas = j.at("formasPagamento").get<std::vector<FormaPagamento>>();
  e.totalizadores = j.at("totalizadoresNaoFiscais").get<std::vector<TotalizadorNaoFiscal>>();
  e.relatorios = j.at("relatoriosGerenciais").get<std::vector<RelatorioGerencial>>();
  e.totais = j.at("totaisDia").get<TotaisDia>();
  e.cupom = Le<Cupom>(j, "cupom", Cupom());
  e.ultimoCupom = Le<Cupom>(j, "ultimoCupom", Cupom());
  e.naoFiscal = Le<ComprovanteNaoFiscal>(j, "naoFiscal", ComprovanteNaoFiscal());
  e.vinculado = Le<ComprovanteVinculado>(j, "vinculado", ComprovanteVinculado());
  if (const json* codigos = Campo(j, "codigosInjetados"))
    e.codigosInjetados = LeInjetados(*codigos);
  lido.memoriaFiscal = Le<std::vector<DadosReducao>>(j, "memoriaFiscal", {});
  lido.jornal = Le<std::vector<DocumentoImpresso>>(j, "jornal", {});
  if (!lido.jornal.empty()) {
    e.documentoAtual = lido.jornal.back();
    e.documentoAtual.linhas.clear();
  }
}

Acrescimo LeAcrescimo(const json& j, ArquivoCrescente arquivo) {
  ExigeObjeto(j, "acrescimo");
  Acrescimo a;
  a.arquivo = arquivo;
  a.posicao = Numero<int64_t>(j.at("posicao"));
  a.texto = j.at("texto").get<std::string>();
  if (a.posicao < 0) throw std::runtime_error("posicao negativa");
  return a;
}

// One record of the log, applied to a copy of the state: a record that
// cannot be read leaves the state as it was.
void AplicaRegistro(const json& r, int64_t numero, EstadoLido& lido) {
  ExigeObjeto(r, "registro");
  if (Numero<int64_t>(r.at("n")) != numero) throw std::runtime_error("registro fora de ordem");
  EstadoGravado proximo = lido.estado;
  if (const json* secoes = Campo(r, "secoes")) {
    ExigeObjeto(*secoes, "secoes");
    for (const auto& secao : secoes->items()) AplicaSecao(secao.key(), secao.value(), proximo);
  }
  std::vector<Acrescimo> acrescimos;
  const struct {
    const char* nome;
    ArquivoCrescente arquivo;
  } arquivos[] = {{"jornal", ArquivoCrescente::Jornal},
                  {"bobina", ArquivoCrescente::Bobina},
                  {"memoriaFiscal", ArquivoCrescente::MemoriaFiscal}};
  for (const auto& a : arquivos)
    if (r.contains(a.nome)) acrescimos.push_back(LeAcrescimo(r.at(a.nome), a.arquivo));
  lido.estado = std::move(proximo);
  for (Acrescimo& a : acrescimos) lido.acrescimos.push_back(std::move(a));
}

void LeRegistro(const std::string& texto, EstadoLido& lido) {
  std::size_t inicio = 0;
  int64_t numero = 0;
  while (inicio < texto.size()) {
    const std::size_t fim = texto.find('\n', inicio);
    if (fim == std::string::npos) return;  // a record cut short
    try {
      const json r = json::parse(texto.begin() + static_cast<std::ptrdiff_t>(inicio),
                                 texto.begin() + static_cast<std::ptrdiff_t>(fim));
      if (numero == 0) {
        ExigeObjeto(r, "cabecalho");
        if (Numero<int64_t>(r.at("geracao")) != lido.geracao) {
          lido.registroDeOutraGeracao = true;
          return;
        }
      } else {
        AplicaRegistro(r, numero, lido);
        lido.registros = numero;
      }
    } catch (const std::exception&) {
      return;
    }
    ++numero;
    inicio = fim + 1;
    lido.bytesValidosRegistro = inicio;
  }
}

}  // namespace

EstadoLido LeEstadoDoSimulador(const std::string& estado, const std::string& registro) {
  EstadoLido lido;
  const json j = json::parse(estado);
  ExigeObjeto(j, "o estado");
  lido.versao = Numero<int>(j.at("versao"));
  if (lido.versao == 1) {
    LeVersao1(j, lido);
    return lido;
  }
  if (lido.versao != VersaoAtual)
    throw std::runtime_error("versao " + std::to_string(lido.versao) + " desconhecida");
  lido.geracao = Numero<int64_t>(j.at("geracao"));
  for (const char* exigida : {"identificacao", "contadores", "geral", "totaisDia"})
    if (!j.contains(exigida)) throw std::runtime_error(std::string("falta ") + exigida);
  for (const auto& secao : j.items())
    if (secao.key() != "versao" && secao.key() != "geracao")
      AplicaSecao(secao.key(), secao.value(), lido.estado);
  LeRegistro(registro, lido);
  return lido;
}

std::vector<DocumentoImpresso> LeJornal(const std::string& texto) {
  std::vector<DocumentoImpresso> documentos;
  std::size_t inicio = 0;
  while (inicio < texto.size()) {
    std::size_t fim = texto.find('\n', inicio);
    if (fim == std::string::npos) fim = texto.size();
    const json l = json::parse(texto.begin() + static_cast<std::ptrdiff_t>(inicio),
                               texto.begin() + static_cast<std::ptrdiff_t>(fim));
    ExigeObjeto(l, "linha do jornal");
    if (l.contains("documento")) {
      documentos.push_back(l.at("documento").get<DocumentoImpresso>());
    } else {
      if (documentos.empty()) throw std::runtime_error("linhas antes do primeiro documento");
      for (const json& t : l.at("linhas"))
        documentos.back().linhas.push_back(utf8ParaCp1252(t.get<std::string>()));
    }
    inicio = fim + 1;
  }
  return documentos;
}

std::vector<DadosReducao> LeMemoriaFiscal(const std::string& texto) {
  std::vector<DadosReducao> reducoes;
  std::size_t inicio = 0;
  while (inicio < texto.size()) {
    std::size_t fim = texto.find('\n', inicio);
    if (fim == std::string::npos) fim = texto.size();
    reducoes.push_back(json::parse(texto.begin() + static_cast<std::ptrdiff_t>(inicio),
                                   texto.begin() + static_cast<std::ptrdiff_t>(fim))
                           .get<DadosReducao>());
    inicio = fim + 1;
  }
  return reducoes;
}

// ---------------------------------------------------------------- writing

void AcrescentaTextoJson(std::string& s, const std::string& texto1252) {
  AcrescentaJson(s, texto1252, true);
}

void EscreveSecoes(const EstadoGravado& e, std::vector<Secao>& saida, MemoriaDeSecoes* memoria) {
  Secoes s(saida);
  s.poe("identificacao", [&](std::string& o) {
    if (!memoria) return Escreve(o, e.identificacao);
    if (!memoria->temIdentificacao || !Igual(memoria->identificacao.first, e.identificacao)) {
      memoria->identificacao.first = e.identificacao;
      memoria->identificacao.second.clear();
      Escreve(memoria->identificacao.second, e.identificacao);
      memoria->temIdentificacao = true;
    }
    o += memoria->identificacao.second;
  });
  s.poe("contadores", [&](std::string& o) { Escreve(o, e.contadores); });
  s.poe("geral", [&](std::string& o) { EscreveGeral(o, e); });
  s.poe("aliquotas", [&](std::string& o) {
    Lista(o, e.aliquotas, [](std::string& x, const Aliquota& a) { Escreve(x, a); });
  });
  s.poe("formasPagamento", [&](std::string& o) {
    Lista(o, e.formas, [](std::string& x, const FormaPagamento& f) { Escreve(x, f); });
  });
  s.poe("totalizadoresNaoFiscais", [&](std::string& o) {
    Lista(o, e.totalizadores, [](std::string& x, const TotalizadorNaoFiscal& t) { Escreve(x, t); });
  });
  s.poe("relatoriosGerenciais", [&](std::string& o) {
    Lista(o, e.relatorios, [](std::string& x, const RelatorioGerencial& r) { Escreve(x, r); });
  });
  s.poe("totaisDia", [&](std::string& o) { Escreve(o, e.totais); });
  s.poe("naoFiscal", [&](std::string& o) { Escreve(o, e.naoFiscal); });
  s.poe("vinculado", [&](std::string& o) { Escreve(o, e.vinculado); });
  s.poe("codigosInjetados", [&](std::string& o) { EscreveInjetados(o, e.codigosInjetados); });
  s.poe("documentoAtual", [&](std::string& o) { EscreveDocumento(o, e.documentoAtual); });
  s.poe("arquivos", [&](std::string& o) { EscreveArquivos(o, e); });
  PoeCupom(s, "cupom", e.cupom, memoria ? &memoria->itensCupom : nullptr);
  PoeCupom(s, "ultimoCupom", e.ultimoCupom, memoria ? &memoria->itensUltimoCupom : nullptr);
}

std::string TextoDoEstado(const EstadoGravado& e, int64_t geracao) {
  std::vector<Secao> secoes;
  EscreveSecoes(e, secoes);
  std::string s =
      "{\"versao\":" + std::to_string(VersaoAtual) + ",\n\"geracao\":" + std::to_string(geracao);
  for (const Secao& secao : secoes) {
    s += ",\n\"" + secao.chave + "\":";
    s += secao.valor;
  }
  s += "\n}\n";
  return s;
}

std::string CabecalhoDoRegistro(int64_t geracao) {
  return "{\"geracao\":" + std::to_string(geracao) + "}\n";
}

std::string RegistroDeMudancas(int64_t numero, const std::vector<const Secao*>& mudadas,
                               const std::vector<Acrescimo>& acrescimos) {
  static const char* const nomes[] = {"jornal", "bobina", "memoriaFiscal"};
  std::string s = "{\"n\":";
  AcrescentaInteiro(s, numero);
  s += ",\"secoes\":{";
  for (std::size_t i = 0; i < mudadas.size(); ++i) {
    if (i) s += ',';
    s += '"';
    s += mudadas[i]->chave;
    s += "\":";
    s += mudadas[i]->valor;
  }
  s += '}';
  for (const Acrescimo& a : acrescimos) {
    s += ",\"";
    s += nomes[static_cast<int>(a.arquivo)];
    s += "\":{\"posicao\":";
    AcrescentaInteiro(s, a.posicao);
    s += ",\"texto\":";
    AcrescentaUtf8Json(s, a.texto);
    s += '}';
  }
  s += "}\n";
  return s;
}

std::string LinhaInicioDeDocumento(const DocumentoImpresso& d) {
  std::string s = "{\"documento\":";
  EscreveDocumento(s, d);
  s += "}\n";
  return s;
}

std::string LinhaDeImpressao(const std::vector<std::string>& linhas) {
  std::string s = "{\"linhas\":";
  Lista(s, linhas, [](std::string& o, const std::string& l) { AcrescentaTextoJson(o, l); });
  s += "}\n";
  return s;
}

std::string LinhaDeReducao(const DadosReducao& z) {
  std::string s;
  Escreve(s, z);
  s += '\n';
  return s;
}

}  // namespace simulador
}  // namespace tarvic
