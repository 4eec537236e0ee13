// Text forms of the saved state: the JSON writer of the sections, the
// records and the growing files, and the readers of each (nlohmann-json).
// What each structure holds is in campos_gravados.h; here are how a value of
// each type is written, read and compared, and the walks over the
// descriptions that do it for whole structures.
#include "estado_gravado.h"

#include "campos_gravados.h"
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

using campos::Tipo;

const int VersaoAtual = 2;
// Limits that a damaged or hostile file cannot push the reader past.
const int64_t MaxItensPorCupom = 100000;

template <class T>
struct EhVetor : std::false_type {};
template <class T>
struct EhVetor<std::vector<T>> : std::true_type {};

using CodigosInjetados = std::map<std::string, std::vector<int>>;

// A new S: the value of a member that an optional field's absence gives.
template <class S>
const S& Novo() {
  static const S novo{};
  return novo;
}

// ---------------------------------------------------------------- writing values

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

// A UTF-8 text (the growing files' bytes) as a JSON string.
void AcrescentaUtf8Json(std::string& s, const std::string& utf8) {
  AcrescentaJson(s, utf8, false);
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

void EscreveData(std::string& s, const DataHora& d) {
  if (d.ano == 0) {
    s += "\"\"";
    return;
  }
  char b[64];
  std::snprintf(b, sizeof b, "\"%02d/%02d/%04d %02d:%02d:%02d\"", d.dia % 100, d.mes % 100,
                d.ano % 10000, d.hora % 100, d.minuto % 100, d.segundo % 100);
  s += b;
}

template <class T, class Escritor>
void Lista(std::string& s, const std::vector<T>& itens, Escritor escreve) {
  s += '[';
  for (std::size_t i = 0; i < itens.size(); ++i) {
    if (i) s += ',';
    escreve(s, itens[i]);
  }
  s += ']';
}

void EscreveInjetados(std::string& s, const CodigosInjetados& codigos) {
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

template <class Vista, class S>
void EscreveCampos(std::string& s, const S& objeto);

template <class T>
void EscreveValor(std::string& s, const T& v) {
  if constexpr (std::is_same_v<T, bool>)
    s += v ? "true" : "false";
  else if constexpr (std::is_integral_v<T>)
    AcrescentaInteiro(s, v);
  else if constexpr (std::is_same_v<T, TipoTributo>)
    AcrescentaTextoJson(s, v == TipoTributo::Icms ? "ICMS" : "ISS");
  else if constexpr (std::is_enum_v<T>)
    AcrescentaInteiro(s, static_cast<int>(v));
  else if constexpr (std::is_same_v<T, std::string>)
    AcrescentaTextoJson(s, v);
  else if constexpr (std::is_same_v<T, DataHora>)
    EscreveData(s, v);
  else if constexpr (std::is_same_v<T, CodigosInjetados>)
    EscreveInjetados(s, v);
  else if constexpr (EhVetor<T>::value)
    Lista(s, v, [](std::string& o, const auto& x) { EscreveValor(o, x); });
  else
    EscreveCampos<T>(s, v);
}

// Writes the fields of a description as one JSON object.
template <class S>
class Escritor {
 public:
  Escritor(std::string& s, const S& objeto) : s_(s), objeto_(objeto) { s_ += '{'; }
  ~Escritor() { s_ += '}'; }
  Escritor(const Escritor&) = delete;
  Escritor& operator=(const Escritor&) = delete;

  template <class T>
  void exigido(const char* nome, T S::*membro) {
    chave(nome);
    EscreveValor(s_, objeto_.*membro);
  }
  template <class T, class... Padrao>
  void opcional(const char* nome, T S::*membro, const Padrao&...) {
    exigido(nome, membro);
  }
  template <class T>
  void contagem(const char* nome, std::vector<T> S::*membro) {
    chave(nome);
    AcrescentaInteiro(s_, static_cast<int64_t>((objeto_.*membro).size()));
  }
  template <class T>
  void soLeitura(const char*, T S::*) {}

 private:
  void chave(const char* nome) {
    if (!primeiro_) s_ += ',';
    primeiro_ = false;
    s_ += '"';
    s_ += nome;
    s_ += "\":";
  }
  std::string& s_;
  const S& objeto_;
  bool primeiro_ = true;
};

template <class Vista, class S>
void EscreveCampos(std::string& s, const S& objeto) {
  Escritor<S> escritor(s, objeto);
  campos::Descreve(escritor, Tipo<Vista>());
}

// ---------------------------------------------------------------- comparing values

template <class Vista, class S>
bool IguaisOsCampos(const S& a, const S& b);
template <class T>
bool IguaisOsValores(const T& a, const T& b);

template <class T>
bool IguaisOsValores(const std::vector<T>& a, const std::vector<T>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!IguaisOsValores(a[i], b[i])) return false;
  return true;
}

template <class T>
bool IguaisOsValores(const T& a, const T& b) {
  if constexpr (campos::Descrito<T>::value)
    return IguaisOsCampos<T>(a, b);
  else if constexpr (std::is_same_v<T, DataHora>)  // its == compares instants
    return a.ano == b.ano && a.mes == b.mes && a.dia == b.dia && a.hora == b.hora &&
           a.minuto == b.minuto && a.segundo == b.segundo;
  else
    return a == b;
}

// Compares the fields of a description: what writes the same text.
template <class S>
struct Comparador {
  const S& a;
  const S& b;
  bool iguais = true;

  template <class T>
  void exigido(const char*, T S::*membro) {
    iguais = iguais && IguaisOsValores(a.*membro, b.*membro);
  }
  template <class T, class... Padrao>
  void opcional(const char* nome, T S::*membro, const Padrao&...) {
    exigido(nome, membro);
  }
  template <class T>
  void contagem(const char*, std::vector<T> S::*membro) {
    iguais = iguais && (a.*membro).size() == (b.*membro).size();
  }
  template <class T>
  void soLeitura(const char*, T S::*) {}
};

template <class Vista, class S>
bool IguaisOsCampos(const S& a, const S& b) {
  Comparador<S> comparador{a, b};
  campos::Descreve(comparador, Tipo<Vista>());
  return comparador.iguais;
}

// ---------------------------------------------------------------- reading values

void ExigeObjeto(const json& j, const char* oQue) {
  if (!j.is_object()) throw std::runtime_error(std::string(oQue) + " nao e um objeto");
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

void LeData(const json& j, DataHora& d) {
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

// A kind kept as its number, within its range.
template <class E>
E LeNumerado(const json& j, E maximo, const char* erro) {
  const int n = Numero<int>(j);
  if (n < 0 || n > static_cast<int>(maximo)) throw std::runtime_error(erro);
  return static_cast<E>(n);
}

CodigosInjetados LeInjetados(const json& codigos) {
  ExigeObjeto(codigos, "codigos injetados");
  CodigosInjetados injetados;
  for (const auto& par : codigos.items()) {
    std::vector<int>& lista = injetados[utf8ParaCp1252(par.key())];
    for (const json& c : par.value()) lista.push_back(Numero<int>(c));
  }
  return injetados;
}

template <class Vista, class S>
void LeCampos(const json& j, S& objeto);

template <class T>
void LeValor(const json& j, T& v) {
  if constexpr (std::is_same_v<T, bool>) {
    v = j.get<bool>();
  } else if constexpr (std::is_integral_v<T>) {
    v = Numero<T>(j);
  } else if constexpr (std::is_same_v<T, TipoTributo>) {
    v = j.get<std::string>() == "ISS" ? TipoTributo::Iss : TipoTributo::Icms;
  } else if constexpr (std::is_same_v<T, FaseCupom>) {
    v = LeNumerado(j, FaseCupom::Pago, "fase de documento invalida");
  } else if constexpr (std::is_same_v<T, TipoDocumento>) {
    v = LeNumerado(j, TipoDocumento::ComprovanteVinculado, "documento aberto invalido");
  } else if constexpr (std::is_same_v<T, std::string>) {
    v = utf8ParaCp1252(j.get<std::string>());
  } else if constexpr (std::is_same_v<T, DataHora>) {
    LeData(j, v);
  } else if constexpr (std::is_same_v<T, CodigosInjetados>) {
    v = LeInjetados(j);
  } else if constexpr (EhVetor<T>::value) {
    if (!j.is_array()) throw std::runtime_error("lista esperada");
    v.clear();
    for (const json& x : j) LeValor(x, v.emplace_back());
  } else {
    T lido{};
    LeCampos<T>(j, lido);
    v = std::move(lido);
  }
}

// Reads the fields of a description from one JSON object into `objeto`.
template <class S>
struct Leitor {
  const json& j;
  S& objeto;

  template <class T>
  void exigido(const char* nome, T S::*membro) {
    LeValor(j.at(nome), objeto.*membro);
  }
  template <class T>
  void opcional(const char* nome, T S::*membro) {
    opcional(nome, membro, Novo<S>().*membro);
  }
  template <class T>
  void opcional(const char* nome, T S::*membro, const T& padrao) {
    if (const json* v = Campo(j, nome))
      LeValor(*v, objeto.*membro);
    else
      objeto.*membro = padrao;
  }
  // The elements themselves come in sections of their own: the ones already
  // read stay.
  template <class T>
  void contagem(const char* nome, std::vector<T> S::*membro) {
    const json* v = Campo(j, nome);
    const int64_t n = v ? Numero<int64_t>(*v) : 0;
    if (n < 0 || n > MaxItensPorCupom) throw std::runtime_error("itens de cupom demais");
    (objeto.*membro).resize(static_cast<std::size_t>(n));
  }
  template <class T>
  void soLeitura(const char* nome, T S::*membro) {
    opcional(nome, membro);
  }
};

template <class Vista, class S>
void LeCampos(const json& j, S& objeto) {
  ExigeObjeto(j, "campo");
  Leitor<S> leitor{j, objeto};
  campos::Descreve(leitor, Tipo<Vista>());
}

// What the loose members of the small state must agree on.
void Confere(const EstadoGravado& e, Tipo<campos::Geral>) {
  if (e.diaAberto && !e.dataMovimento.valida())
    throw std::runtime_error("dia aberto sem data de movimento");
  if (e.grandeTotal < 0) throw std::runtime_error("grande total negativo");
}

void Confere(const EstadoGravado& e, Tipo<campos::Arquivos>) {
  if (e.bytesJornal < 0 || e.bytesBobina < 0 || e.bytesMemoriaFiscal < 0)
    throw std::runtime_error("tamanho de arquivo negativo");
}

template <class Vista>
void LeVista(const json& j, EstadoGravado& e, Tipo<Vista> vista) {
  LeCampos<Vista>(j, e);
  Confere(e, vista);
}

// ---------------------------------------------------------------- the sections

// Writes one section into the next slot of `secoes`, reusing its strings.
class Secoes {
 public:
  explicit Secoes(std::vector<Secao>& s) : s_(s) {}
  ~Secoes() { s_.resize(n_); }
  template <class Escreve>
  void poe(const std::string& chave, Escreve escreve) {
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

// The text of a value, written again only when it changed since the last.
template <class T>
const std::string& Lembrado(std::pair<T, std::string>& lembrado, bool& tem, const T& valor) {
  if (!tem || !IguaisOsValores(lembrado.first, valor)) {
    lembrado.first = valor;
    lembrado.second.clear();
    EscreveValor(lembrado.second, valor);
    tem = true;
  }
  return lembrado.second;
}

void PoeCupom(Secoes& secoes, const char* nome, const Cupom& c,
              std::vector<std::pair<ItemCupom, std::string>>* memoria) {
  secoes.poe(nome, [&](std::string& s) { EscreveCampos<Cupom>(s, c); });
  std::string chave = std::string(nome) + ".item.";
  const std::size_t prefixo = chave.size();
  for (std::size_t k = 0; k < c.itens.size(); ++k) {
    const ItemCupom& i = c.itens[k];
    chave.resize(prefixo);
    AcrescentaInteiro(chave, i.numero);
    if (!memoria) {
      secoes.poe(chave, [&](std::string& s) { EscreveValor(s, i); });
      continue;
    }
    if (memoria->size() <= k) memoria->emplace_back();
    auto& lembrado = (*memoria)[k];
    bool tem = !lembrado.second.empty();
    const std::string& texto = Lembrado(lembrado, tem, i);
    secoes.poe(chave, [&](std::string& s) { s += texto; });
  }
}

// Writes every section of the small state; the identification and the
// coupons' items through the memory of the last writing, when there is one.
struct EscritorDeSecoes {
  Secoes& secoes;
  const EstadoGravado& e;
  MemoriaDeSecoes* memoria;

  template <class T>
  void secao(const char* nome, T EstadoGravado::*membro) {
    const T& valor = e.*membro;
    if constexpr (std::is_same_v<T, Identificacao>) {
      if (memoria) {
        const std::string& texto =
            Lembrado(memoria->identificacao, memoria->temIdentificacao, valor);
        return secoes.poe(nome, [&](std::string& s) { s += texto; });
      }
    }
    secoes.poe(nome, [&](std::string& s) { EscreveValor(s, valor); });
  }
  template <class Vista>
  void vista(const char* nome, Tipo<Vista>) {
    secoes.poe(nome, [&](std::string& s) { EscreveCampos<Vista>(s, e); });
  }
  void cupom(const char* nome, Cupom EstadoGravado::*membro) {
    std::vector<std::pair<ItemCupom, std::string>>* itens = nullptr;
    if (memoria)
      itens = membro == &EstadoGravado::cupom ? &memoria->itensCupom : &memoria->itensUltimoCupom;
    PoeCupom(secoes, nome, e.*membro, itens);
  }
};

bool ComecaCom(const std::string& s, const std::string& prefixo) {
  return s.compare(0, prefixo.size(), prefixo) == 0;
}

void LeItem(const std::string& numero, const json& j, Cupom& c) {
  if (numero.empty() || numero.size() > 6 ||
      numero.find_first_not_of("0123456789") != std::string::npos)
    throw std::runtime_error("item mal numerado");
  const std::size_t n = static_cast<std::size_t>(std::stol(numero));
  if (n < 1 || n > c.itens.size()) throw std::runtime_error("item fora do cupom");
  LeValor(j, c.itens[n - 1]);
}

// One section of version 2 into the state. Unknown sections are skipped.
struct LeitorDeSecao {
  const std::string& chave;
  const json& v;
  EstadoGravado& e;

  template <class T>
  void secao(const char* nome, T EstadoGravado::*membro) {
    if (chave == nome) LeValor(v, e.*membro);
  }
  template <class Vista>
  void vista(const char* nome, Tipo<Vista> t) {
    if (chave == nome) LeVista(v, e, t);
  }
  void cupom(const char* nome, Cupom EstadoGravado::*membro) {
    const std::string item = std::string(nome) + ".item.";
    if (chave == nome)
      LeCampos<Cupom>(v, e.*membro);
    else if (ComecaCom(chave, item))
      LeItem(chave.substr(item.size()), v, e.*membro);
  }
};

void AplicaSecao(const std::string& chave, const json& v, EstadoGravado& e) {
  LeitorDeSecao leitor{chave, v, e};
  campos::DescreveSecoes(leitor);
}

// ---------------------------------------------------------------- reading the files

template <class T>
void LeSeHouver(const json& j, const char* chave, T& v) {
  if (const json* campo = Campo(j, chave)) LeValor(*campo, v);
}

// A coupon of version 1, its items inside it.
Cupom LeCupomVersao1(const json& j) {
  Cupom c;
  LeCampos<Cupom>(j, c);
  LeSeHouver(j, "itens", c.itens);
  return c;
}

// Version 1: one JSON object with the journal and the fiscal memory inside.
void LeVersao1(const json& j, EstadoLido& lido) {
  EstadoGravado& e = lido.estado;
  LeValor(j.at("identificacao"), e.identificacao);
  LeValor(j.at("contadores"), e.contadores);
  LeVista(j, e, Tipo<campos::Geral>());
  LeValor(j.at("aliquotas"), e.aliquotas);
  LeValor(j.at("formasPagamento"), e.formas);
  LeValor(j.at("totalizadoresNaoFiscais"), e.totalizadores);
  LeValor(j.at("relatoriosGerenciais"), e.relatorios);
  LeValor(j.at("totaisDia"), e.totais);
  if (const json* c = Campo(j, "cupom")) e.cupom = LeCupomVersao1(*c);
  if (const json* c = Campo(j, "ultimoCupom")) e.ultimoCupom = LeCupomVersao1(*c);
  LeSeHouver(j, "naoFiscal", e.naoFiscal);
  LeSeHouver(j, "vinculado", e.vinculado);
  LeSeHouver(j, "codigosInjetados", e.codigosInjetados);
  LeSeHouver(j, "memoriaFiscal", lido.memoriaFiscal);
  LeSeHouver(j, "jornal", lido.jornal);
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

// One line of a file, from `inicio` up to its end `fim`, as JSON.
json Linha(const std::string& texto, std::size_t inicio, std::size_t fim) {
  return json::parse(texto.begin() + static_cast<std::ptrdiff_t>(inicio),
                     texto.begin() + static_cast<std::ptrdiff_t>(fim));
}

void LeRegistro(const std::string& texto, EstadoLido& lido) {
  std::size_t inicio = 0;
  int64_t numero = 0;
  while (inicio < texto.size()) {
    const std::size_t fim = texto.find('\n', inicio);
    if (fim == std::string::npos) return;  // a record cut short
    try {
      const json r = Linha(texto, inicio, fim);
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
    const json l = Linha(texto, inicio, fim);
    ExigeObjeto(l, "linha do jornal");
    if (l.contains("documento")) {
      LeValor(l.at("documento"), documentos.emplace_back());
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
    LeValor(Linha(texto, inicio, fim), reducoes.emplace_back());
    inicio = fim + 1;
  }
  return reducoes;
}

// ---------------------------------------------------------------- writing

void AcrescentaTextoJson(std::string& s, const std::string& texto1252) {
  AcrescentaJson(s, texto1252, true);
}

void EscreveSecoes(const EstadoGravado& e, std::vector<Secao>& saida, MemoriaDeSecoes* memoria) {
  Secoes secoes(saida);
  EscritorDeSecoes escritor{secoes, e, memoria};
  campos::DescreveSecoes(escritor);
}

std::vector<const Secao*> SecoesMudadas(const std::vector<Secao>& gravadas,
                                        const std::vector<Secao>& novas) {
  std::vector<const Secao*> mudadas;
  for (std::size_t i = 0; i < novas.size(); ++i) {
    const Secao& nova = novas[i];
    const Secao* antiga = nullptr;
    if (i < gravadas.size() && gravadas[i].chave == nova.chave) {
      antiga = &gravadas[i];
    } else {
      for (const Secao& s : gravadas)
        if (s.chave == nova.chave) antiga = &s;
    }
    if (!antiga || antiga->valor != nova.valor) mudadas.push_back(&nova);
  }
  return mudadas;
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
  EscreveValor(s, d);
  s += "}\n";
  return s;
}

std::string LinhaDeImpressao(const std::vector<std::string>& linhas) {
  std::string s = "{\"linhas\":";
  EscreveValor(s, linhas);
  s += "}\n";
  return s;
}

std::string LinhaDeReducao(const DadosReducao& z) {
  std::string s;
  EscreveValor(s, z);
  s += '\n';
  return s;
}

}  // namespace simulador
}  // namespace tarvic
