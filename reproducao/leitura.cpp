// Reading and checking a call trace; see leitura.h.
#include "leitura.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

#include "tarvic.h"
#include "tarvic/nomes_da_lista.h"

namespace reproducao {

namespace {

// ---- What each export and driver function takes ---------------------------------

enum class Tipo { TEXTO, INTEIRO, FLAG, MOEDA, DATA, TRATADOR, NADA, MOEDA_RESULTADO };

template <class T>
struct TipoDe;
template <>
struct TipoDe<const char *> {
  static constexpr Tipo valor = Tipo::TEXTO;
};
template <>
struct TipoDe<int32_t> {
  static constexpr Tipo valor = Tipo::INTEIRO;
};
template <>
struct TipoDe<tarvic_Flag> {
  static constexpr Tipo valor = Tipo::FLAG;
};
template <>
struct TipoDe<tarvic_Moeda> {
  static constexpr Tipo valor = Tipo::MOEDA;
};
template <>
struct TipoDe<tarvic_DataHora> {
  static constexpr Tipo valor = Tipo::DATA;
};
template <>
struct TipoDe<ecf_TratadorMensagem> {
  static constexpr Tipo valor = Tipo::TRATADOR;
};
template <>
struct TipoDe<void> {
  static constexpr Tipo valor = Tipo::NADA;
};
template <>
struct TipoDe<tarvic_MoedaResultado> {
  static constexpr Tipo valor = Tipo::MOEDA_RESULTADO;
};

struct Assinatura {
  Tipo resultado;
  std::vector<Tipo> parametros;
  std::vector<std::string> nomes;
};

template <class R, class... P>
Assinatura De(R(TARVIC_API *)(P...), const char *nomes) {
  return {TipoDe<R>::valor, {TipoDe<P>::valor...}, tarvic::NomesDaLista(nomes)};
}

const std::map<std::string, Assinatura> &Exportacoes() {
  static const std::map<std::string, Assinatura> tabela = {
#define EXPORTACAO(resultado, nome, parametros, argumentos) \
  {#nome, De(static_cast<decltype(&::nome)>(nullptr), #argumentos)},
#include "exportacoes.inc"
#undef EXPORTACAO
  };
  return tabela;
}

// A driver parameter as the trace writes it, of the kind the trace gives its
// type: a text, a buffer ([N] and its content, or null), an integer, an
// integer the driver writes (&).
using Parametro = traco::Parametro;

struct Driver {
  std::string biblioteca;
  std::vector<Parametro::Tipo> parametros;
};

template <class... P>
std::vector<Parametro::Tipo> ParametrosDriver(int32_t (*)(P...)) {
  return {traco::Param(P{}).tipo...};
}

const std::map<std::string, Driver> &Drivers() {
  static const std::map<std::string, Driver> tabela = {
#define DRIVER(biblioteca, nome, pilha, parametros, argumentos) \
  {#nome, {#biblioteca, ParametrosDriver(static_cast<int32_t(*) parametros>(nullptr))}},
#include "drivers/funcoes.inc"
#undef DRIVER
  };
  return tabela;
}

// ---- Fields ------------------------------------------------------------------------

bool Digito(char c) {
  return c >= '0' && c <= '9';
}

bool Inteiro(const std::string &t, long long minimo, long long maximo) {
  const size_t inicio = !t.empty() && t[0] == '-' ? 1 : 0;
  if (t.size() == inicio || t.size() > 20) return false;
  for (size_t i = inicio; i < t.size(); ++i)
    if (!Digito(t[i])) return false;
  errno = 0;
  const long long n = std::strtoll(t.c_str(), nullptr, 10);
  return errno == 0 && n >= minimo && n <= maximo;
}

bool Hexadecimal(char c) {
  return Digito(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A date or a money result as the trace writes doubles: %.17g, inf, -inf, or
// nan: and the 16 hexadecimal digits of its bits.
bool Real(const std::string &t) {
  if (t == "inf" || t == "-inf") return true;
  if (t.compare(0, 4, "nan:") == 0) {
    if (t.size() != 20) return false;
    for (size_t i = 4; i < t.size(); ++i)
      if (!Hexadecimal(t[i])) return false;
    return true;
  }
  if (t.empty() || t.size() > 32 || t.find_first_not_of("0123456789+-.eE") != std::string::npos)
    return false;
  char *fim = nullptr;
  errno = 0;
  const double d = std::strtod(t.c_str(), &fim);
  return *fim == '\0' && std::isfinite(d);
}

bool Citado(const std::string &campo) {
  return campo.size() >= 2 && campo.front() == '"' && campo.back() == '"';
}

// A valid UTF-8 sequence at `i` of `t`: its length, or 0.
size_t Utf8(const std::string &t, size_t i, unsigned &codigo) {
  const unsigned char c = static_cast<unsigned char>(t[i]);
  size_t n = c < 0x80             ? 1
             : (c & 0xE0) == 0xC0 ? 2
             : (c & 0xF0) == 0xE0 ? 3
             : (c & 0xF8) == 0xF0 ? 4
                                  : 0;
  if (n == 0 || i + n > t.size()) return 0;
  codigo = n == 1 ? c : c & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) {
    const unsigned char s = static_cast<unsigned char>(t[i + k]);
    if ((s & 0xC0) != 0x80) return 0;
    codigo = (codigo << 6) | (s & 0x3F);
  }
  const unsigned minimo[] = {0, 0, 0x80, 0x800, 0x10000};
  if (codigo < minimo[n] || codigo > 0x10FFFF || (codigo >= 0xD800 && codigo <= 0xDFFF)) return 0;
  return n;
}

// The Windows-1252 byte of a character of a text, or -1.
int Cp1252(unsigned codigo) {
  if (codigo < 0x80 || (codigo >= 0xA0 && codigo <= 0xFF)) return static_cast<int>(codigo);
  for (int k = 0; k < 32; ++k)
    if (traco::CP1252_80_9F[k] != 0 && traco::CP1252_80_9F[k] == codigo) return 0x80 + k;
  return -1;
}

int ValorHex(char c) {
  return Digito(c) ? c - '0' : (c | 0x20) - 'a' + 10;
}

bool Escape(const std::string &campo, size_t &i, std::string &bytes, std::string *erro) {
  const size_t fim = campo.size() - 1;  // the closing quote
  const char e = i + 1 < fim ? campo[i + 1] : '\0';
  const char *simples = "nrt\"\\*";
  const char *valores = "\n\r\t\"\\*";
  if (e != '\0' && std::strchr(simples, e)) {
    bytes += valores[std::strchr(simples, e) - simples];
    i += 2;
    return true;
  }
  if (e == 'x' && i + 3 < fim && Hexadecimal(campo[i + 2]) && Hexadecimal(campo[i + 3])) {
    bytes += static_cast<char>(ValorHex(campo[i + 2]) * 16 + ValorHex(campo[i + 3]));
    i += 4;
    return true;
  }
  if (erro)
    *erro = "bad escape " + campo.substr(i, std::min<size_t>(e == 'x' ? 4 : 2, fim - i)) +
            " in a text (expected \\n \\r \\t \\\" \\\\ \\* or \\x and two hexadecimal "
            "digits)";
  return false;
}

// ---- Lines -------------------------------------------------------------------------

// One field: a quoted text, [N] with an optional quoted text, or a bare word.
bool LeCampo(const std::string &linha, size_t &i, std::string &campo, std::string &erro) {
  const size_t inicio = i;
  auto cita = [&]() {
    for (++i; i < linha.size() && linha[i] != '"'; ++i)
      if (linha[i] == '\\') ++i;
    if (i >= linha.size()) {
      erro = "a text without its closing quote";
      return false;
    }
    ++i;
    return true;
  };
  if (linha[i] == ' ') {
    erro = "two blanks in a row (an empty field)";
    return false;
  }
  if (linha[i] == '"') {
    if (!cita()) return false;
  } else if (linha[i] == '[') {
    size_t j = i + 1;
    while (j < linha.size() && Digito(linha[j])) ++j;
    if (j == i + 1 || j >= linha.size() || linha[j] != ']') {
      erro = "a buffer [N] without its size or its closing bracket";
      return false;
    }
    i = j + 1;
    if (i < linha.size() && linha[i] == '"' && !cita()) return false;
  } else {
    while (i < linha.size() && linha[i] != ' ' && linha[i] != '"') ++i;
  }
  campo.assign(linha, inicio, i - inicio);
  if (i < linha.size() && linha[i] != ' ') {
    erro = "a field running into the next one: " + campo;
    return false;
  }
  if (campo.front() == '"' || campo.front() == '[') {
    const size_t aspas = campo.find('"');
    std::string bytes;
    if (aspas != std::string::npos && !Decodifica(campo.substr(aspas), bytes, &erro)) return false;
  }
  return true;
}

bool Carimbo(const std::string &linha) {
  const char *forma = "dddd-dd-ddTdd:dd:dd.ddd";
  if (linha.size() < 23) return false;
  for (size_t i = 0; i < 23; ++i)
    if (forma[i] == 'd' ? !Digito(linha[i]) : linha[i] != forma[i]) return false;
  return true;
}

std::string Amostra(const std::string &t) {
  return t.size() > 40 ? t.substr(0, 40) + "..." : t;
}

bool Texto(const std::string &campo) {
  return campo == "null" || Citado(campo);
}

// An argument of an export, of its kind.
bool ArgumentoDe(Tipo tipo, const std::string &campo) {
  switch (tipo) {
    case Tipo::TEXTO:
      return Texto(campo);
    case Tipo::INTEIRO:
      return Inteiro(campo, INT32_MIN, INT32_MAX);
    case Tipo::FLAG:
      return Inteiro(campo, 0, 255);
    case Tipo::MOEDA:
      return Inteiro(campo, INT64_MIN, INT64_MAX);
    case Tipo::DATA:
    case Tipo::MOEDA_RESULTADO:
      return Real(campo) || Inteiro(campo, INT64_MIN, INT64_MAX);
    case Tipo::TRATADOR:
      return campo == "fn" || campo == "null";
    case Tipo::NADA:
      return campo == "-";
  }
  return false;
}

const char *NomeDoTipo(Tipo tipo) {
  switch (tipo) {
    case Tipo::TEXTO:
      return "a quoted text or null";
    case Tipo::INTEIRO:
      return "a 32-bit integer";
    case Tipo::FLAG:
      return "a flag from 0 to 255";
    case Tipo::MOEDA:
      return "a 64-bit integer (ten-thousandths)";
    case Tipo::DATA:
    case Tipo::MOEDA_RESULTADO:
      return "a number";
    case Tipo::TRATADOR:
      return "fn or null";
    case Tipo::NADA:
      return "-";
  }
  return "";
}

std::string Plural(size_t n, const char *um) {
  return std::to_string(n) + " " + um + (n == 1 ? "" : "s");
}

bool Entrada(const traco::Evento &e, std::string &erro) {
  const auto a = Exportacoes().find(e.campos.empty() ? "" : e.campos[0]);
  if (a == Exportacoes().end()) {
    erro = e.campos.empty() ? "an export's name after '>'" : "unknown export " + e.campos[0];
    return false;
  }
  const Assinatura &s = a->second;
  if (e.campos.size() - 1 != s.parametros.size()) {
    erro = e.campos[0] + " takes " + Plural(s.parametros.size(), "argument") + ", the line has " +
           std::to_string(e.campos.size() - 1);
    return false;
  }
  for (size_t i = 0; i < s.parametros.size(); ++i)
    if (!ArgumentoDe(s.parametros[i], e.campos[i + 1])) {
      erro = "expected " + std::string(NomeDoTipo(s.parametros[i])) + " for argument " +
             std::to_string(i + 1) + " of " + e.campos[0] + " (" + s.nomes[i] + "), not " +
             Amostra(e.campos[i + 1]);
      return false;
    }
  return true;
}

bool Saida(const traco::Evento &e, std::string &erro) {
  const auto a = Exportacoes().find(e.campos.empty() ? "" : e.campos[0]);
  if (a == Exportacoes().end()) {
    erro = e.campos.empty() ? "an export's name after '<'" : "unknown export " + e.campos[0];
    return false;
  }
  if (e.campos.size() != 3 || e.duracao.size() < 3 ||
      e.duracao.compare(e.duracao.size() - 2, 2, "ms") != 0 ||
      !Inteiro(e.duracao.substr(0, e.duracao.size() - 2), 0, UINT32_MAX)) {
    erro = "expected '< " + e.campos[0] + " RESULT ecf_Retorno=N TIMEms'";
    return false;
  }
  if (!ArgumentoDe(a->second.resultado, e.campos[1])) {
    erro = "expected " + std::string(NomeDoTipo(a->second.resultado)) + " as the result of " +
           e.campos[0] + ", not " + Amostra(e.campos[1]);
    return false;
  }
  if (e.campos[2].compare(0, 12, "ecf_Retorno=") != 0 ||
      !Inteiro(e.campos[2].substr(12), INT32_MIN, INT32_MAX)) {
    erro = "expected ecf_Retorno=N after the result, not " + Amostra(e.campos[2]);
    return false;
  }
  return true;
}

size_t Seta(const traco::Evento &e) {
  for (size_t i = 0; i < e.campos.size(); ++i)
    if (e.campos[i] == "->") return i;
  return SIZE_MAX;
}

bool ParametroDe(Parametro::Tipo p, const std::string &campo) {
  switch (p) {
    case Parametro::TEXTO:
      return Texto(campo);
    case Parametro::BUFFER:
      return campo == "null" || (campo.size() > 2 && campo[0] == '[');
    case Parametro::INTEIRO:
      return Inteiro(campo, INT32_MIN, INT32_MAX);
    case Parametro::ENDERECO:
      return campo == "&";
  }
  return false;
}

bool Chamada(const traco::Evento &e, std::string &erro) {
  const auto d = Drivers().find(e.campos.size() > 1 ? e.campos[1] : "");
  if (d == Drivers().end() || d->second.biblioteca != e.campos[0]) {
    erro = e.campos.size() < 2 ? "expected 'D LIBRARY FUNCTION ...'"
                               : "unknown driver function " + e.campos[0] + " " + e.campos[1];
    return false;
  }
  const std::vector<Parametro::Tipo> &p = d->second.parametros;
  const size_t seta = Seta(e);
  if (seta == SIZE_MAX || seta - 2 != p.size()) {
    erro = e.campos[1] + " takes " + Plural(p.size(), "argument") + " and then '->'";
    return false;
  }
  size_t saidas = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    if (!ParametroDe(p[i], e.campos[i + 2])) {
      erro = "argument " + std::to_string(i + 1) + " of " + e.campos[1] +
             " is not what it takes: " + Amostra(e.campos[i + 2]);
      return false;
    }
    saidas +=
        p[i] == Parametro::ENDERECO || (p[i] == Parametro::BUFFER && e.campos[i + 2] != "null");
  }
  if (e.campos.size() != seta + 2 + saidas || !Inteiro(e.campos[seta + 1], INT32_MIN, INT32_MAX)) {
    erro = "expected after '->' the code of " + e.campos[1] + " and " + Plural(saidas, "value") +
           " it left";
    return false;
  }
  for (size_t i = seta + 2; i < e.campos.size(); ++i)
    if (!Citado(e.campos[i]) && e.campos[i] != "null" &&
        !Inteiro(e.campos[i], INT32_MIN, INT32_MAX)) {
      erro =
          "expected a text or an integer left by " + e.campos[1] + ", not " + Amostra(e.campos[i]);
      return false;
    }
  return true;
}

bool Mensagem(const traco::Evento &e, std::string &erro) {
  const auto &c = e.campos;
  if (c.size() != 5 || !Citado(c[0]) || !Citado(c[1]) || !Inteiro(c[2], 0, UINT32_MAX) ||
      c[3] != "->" || !Inteiro(c[4], INT32_MIN, INT32_MAX)) {
    erro = "expected 'M \"TEXT\" \"CAPTION\" FLAGS -> BUTTON'";
    return false;
  }
  return true;
}

bool Sistema(const traco::Evento &e, std::string &erro) {
  const size_t seta = Seta(e);
  if (e.campos.empty() || seta == SIZE_MAX || seta == 0 ||
      e.campos[0].find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") !=
          std::string::npos) {
    erro = "expected 'S FUNCTION VALUES -> VALUES'";
    return false;
  }
  for (size_t i = 1; i < e.campos.size(); ++i)
    if (i != seta && !Citado(e.campos[i]) && !Inteiro(e.campos[i], INT64_MIN, INT64_MAX)) {
      erro = "expected a text or an integer in the answer of " + e.campos[0] + ", not " +
             Amostra(e.campos[i]);
      return false;
    }
  return true;
}

bool Cabecalho(const traco::Evento &e, std::string &erro) {
  const auto &c = e.campos;
  bool certo = c.size() >= 3 && c[0] == "tarvic" && (c[1] == "inicio" || c[1] == "continuacao");
  for (size_t i = 2; certo && i < c.size(); ++i) certo = Citado(c[i]);
  if (!certo) erro = "expected '# tarvic inicio \"SEPARATOR\" ...' or '# tarvic continuacao ...'";
  return certo;
}

bool ConfereEvento(const traco::Evento &e, std::string &erro) {
  switch (e.tipo) {
    case '#':
      return Cabecalho(e, erro);
    case '>':
      return Entrada(e, erro);
    case '<':
      return Saida(e, erro);
    case 'D':
      return Chamada(e, erro);
    case 'M':
      return Mensagem(e, erro);
    case 'S':
      return Sistema(e, erro);
  }
  erro = std::string("unknown record '") + e.tipo + "' (expected one of # > < D M S)";
  return false;
}

bool Utf8Valido(const std::string &linha, std::string &erro) {
  unsigned codigo;
  for (size_t i = 0; i < linha.size();) {
    if (static_cast<unsigned char>(linha[i]) < 0x80) {
      ++i;
      continue;
    }
    const size_t n = Utf8(linha, i, codigo);
    if (n == 0) {
      char b[8];
      std::snprintf(b, sizeof b, "0x%02X", static_cast<unsigned char>(linha[i]));
      erro = std::string("not UTF-8 (byte ") + b + " at column " + std::to_string(i + 1) +
             "): a trace is written in UTF-8; was it saved again in another encoding?";
      return false;
    }
    i += n;
  }
  return true;
}

// Kind, then fields separated by one blank each.
bool Campos(const std::string &linha, size_t i, Registro &r, std::string &erro) {
  while (i < linha.size()) {
    r.evento.campos.emplace_back();
    if (!LeCampo(linha, i, r.evento.campos.back(), erro)) return false;
    if (i < linha.size() && ++i == linha.size()) {
      erro = "a blank at the end of the line";
      return false;
    }
  }
  if (r.evento.tipo == '<' && !r.evento.campos.empty()) {
    r.evento.duracao = r.evento.campos.back();
    r.evento.campos.pop_back();
  }
  return true;
}

}  // namespace

bool Decodifica(const std::string &campo, std::string &bytes, std::string *erro) {
  bytes.clear();
  if (!Citado(campo)) {
    if (erro) *erro = "expected a quoted text";
    return false;
  }
  const size_t fim = campo.size() - 1;
  for (size_t i = 1; i < fim;) {
    const unsigned char c = static_cast<unsigned char>(campo[i]);
    if (c == '\\') {
      if (!Escape(campo, i, bytes, erro)) return false;
      continue;
    }
    if (c >= 0x20 && c < 0x7F && c != '"') {
      bytes += c == '*' ? '1' : static_cast<char>(c);
      ++i;
      continue;
    }
    unsigned codigo = 0;
    const size_t n = Utf8(campo, i, codigo);
    const int byte = n == 0 || i + n > fim ? -1 : Cp1252(codigo);
    if (byte < 0 || (codigo < 0x20 || codigo == 0x7F || codigo == '"')) {
      if (erro) {
        char b[16];
        std::snprintf(b, sizeof b, "U+%04X", codigo);
        *erro = n == 0 ? "not UTF-8 in a text"
                       : std::string(
                             "a character the trace writes escaped or has no "
                             "Windows-1252 byte for (") +
                             b + ")";
      }
      return false;
    }
    bytes += c == '*' ? '1' : static_cast<char>(byte);
    i += n;
  }
  return true;
}

bool Analisa(const std::string &linha, Registro &r, std::string &erro) {
  r.evento.tipo = 0;
  r.evento.campos.clear();
  r.evento.duracao.clear();
  if (!Utf8Valido(linha, erro)) return false;
  size_t t = 24;  // after the time stamp: the thread, then the kind
  while (t < linha.size() && Digito(linha[t])) ++t;
  if (!Carimbo(linha) || linha[23] != ' ' || t == 24 || t + 2 > linha.size() || linha[t] != ' ' ||
      (t + 2 < linha.size() && linha[t + 2] != ' ')) {
    erro = "expected 'YYYY-MM-DDTHH:MM:SS.mmm THREAD KIND ...', not '" + Amostra(linha) + "'";
    return false;
  }
  r.carimbo.assign(linha, 0, 23);
  r.texto.assign(linha, t + 1);
  r.evento.tipo = linha[t + 1];
  if (t + 3 == linha.size()) {
    erro = "a blank at the end of the line";
    return false;
  }
  return Campos(linha, t + 3, r, erro) && ConfereEvento(r.evento, erro);
}

bool Inicio(const Registro &r) {
  return r.evento.tipo == '#' && r.evento.campos.size() > 1 && r.evento.campos[1] == "inicio";
}

bool Continuacao(const Registro &r) {
  return r.evento.tipo == '#' && r.evento.campos.size() > 1 && r.evento.campos[1] == "continuacao";
}

// ---- Leitor --------------------------------------------------------------------------

Leitor::Leitor(std::vector<std::string> arquivos, std::vector<std::string> caminhos)
    : arquivos_(std::move(arquivos)), caminhos_(std::move(caminhos)) {
  if (caminhos_.size() != arquivos_.size()) caminhos_ = arquivos_;
  for (const std::string &a : caminhos_) {
    struct stat s;
    tamanhos_.push_back(stat(a.c_str(), &s) == 0 && S_ISREG(s.st_mode) ? s.st_size : 0);
    total_ += tamanhos_.back();
  }
}

Leitor::Leitor(const std::string &nome, const std::string &conteudo)
    : arquivos_{nome},
      caminhos_{nome},
      naMemoria_(true),
      bloco_(conteudo),
      total_(conteudo.size()),
      tamanhos_{conteudo.size()} {}

Leitor::~Leitor() {
  if (atual_) std::fclose(atual_);
}

bool Leitor::Falha(const std::string &oque) {
  erro_ = oque;
  return false;
}

bool Leitor::Abre(size_t arquivo, uint64_t deslocamento) {
  if (atual_) std::fclose(atual_);
  atual_ = nullptr;
  if (naMemoria_) {
    lido_ = std::min<uint64_t>(deslocamento, bloco_.size());
    return true;
  }
  bloco_.clear();
  lido_ = 0;
  const std::string &nome = arquivos_[arquivo], &caminho = caminhos_[arquivo];
  struct stat s;
  if (stat(caminho.c_str(), &s) == 0 && S_ISDIR(s.st_mode))
    return Falha(nome + ": a folder, not a trace file");
  atual_ = std::fopen(caminho.c_str(), "rb");
  if (!atual_) return Falha("cannot read " + nome + ": " + std::strerror(errno));
  if (deslocamento > 0 && fseeko(atual_, static_cast<off_t>(deslocamento), SEEK_SET) != 0)
    return Falha("cannot read " + nome + ": " + std::strerror(errno));
  return true;
}

bool Leitor::VaiPara(const Posicao &posicao) {
  onde_ = posicao;
  lidos_ = posicao.deslocamento;
  for (size_t i = 0; i < posicao.arquivo && i < tamanhos_.size(); ++i) lidos_ += tamanhos_[i];
  if (onde_.arquivo >= arquivos_.size()) return true;
  return Abre(onde_.arquivo, onde_.deslocamento);
}

// One line without its end; false at the end of the file with nothing read.
bool Leitor::LeLinha(std::string &linha, bool &comFim) {
  linha.clear();
  comFim = false;
  while (!comFim) {
    if (lido_ == bloco_.size()) {
      if (naMemoria_) break;
      bloco_.resize(64 * 1024);
      bloco_.resize(std::fread(&bloco_[0], 1, bloco_.size(), atual_));
      lido_ = 0;
      if (bloco_.empty()) break;
    }
    const char *inicio = bloco_.data() + lido_;
    const size_t resta = bloco_.size() - lido_;
    const char *fim = static_cast<const char *>(std::memchr(inicio, '\n', resta));
    const size_t n = fim ? static_cast<size_t>(fim - inicio) : resta;
    if (linha.size() + n > LINHA_MAXIMA) return Falha("line longer than 16 MiB");
    linha.append(inicio, n);
    lido_ += n + (fim ? 1 : 0);
    comFim = fim != nullptr;
  }
  const uint64_t n = linha.size() + (comFim ? 1 : 0);
  onde_.deslocamento += n;
  lidos_ += n;
  return n > 0;
}

bool Leitor::Proximo(Registro &r) {
  while (onde_.arquivo < arquivos_.size()) {
    if (!naMemoria_ && !atual_ && !Abre(onde_.arquivo, onde_.deslocamento)) return false;
    const std::string &nome = arquivos_[onde_.arquivo];
    const std::string onde = nome + ":" + std::to_string(onde_.numero) + ": ";
    std::string linha;
    bool comFim;
    const bool ha = LeLinha(linha, comFim);
    if (!erro_.empty()) return Falha(onde + erro_);
    if (!ha) {
      if (registrosDoArquivo_ == 0) return Falha(nome + ":1: the file is empty: no trace in it");
      if (atual_) std::fclose(atual_);
      atual_ = nullptr;
      onde_ = {onde_.arquivo + 1, 0, 1};
      registrosDoArquivo_ = 0;
      continue;
    }
    const size_t numero = onde_.numero++;
    if (numero == 1 && linha.compare(0, 3, "\xEF\xBB\xBF") == 0) linha.erase(0, 3);
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    if (linha.empty()) continue;  // a blank line: no record
    if (!comFim)
      return Falha(onde +
                   "the last line is cut short (it has no end of line): was the file "
                   "copied while the program wrote it? Remove that line to replay the rest");
    r.arquivo = onde_.arquivo;
    r.numero = numero;
    ++registrosDoArquivo_;
    std::string erro;
    if (!Analisa(linha, r, erro)) return Falha(onde + erro);
    return true;
  }
  return false;
}

// ---- Verificacao ------------------------------------------------------------------------

bool Verificacao::Falha(const Registro &r, const std::string &oque) {
  erro_ = leitor_.Nome(r.arquivo) + ":" + std::to_string(r.numero) + ": " + oque;
  return false;
}

// The file before must be older: a trace renamed at its size limit goes on
// in the file of the name without ".1".
bool Verificacao::NovoArquivo(const Registro &r) {
  const std::string &nome = leitor_.Nome(r.arquivo);
  for (size_t i = 0; i < r.arquivo; ++i) {
    if (leitor_.Nome(i) == nome) return Falha(r, "this file was given twice");
    if (nome.size() > 2 && nome.compare(nome.size() - 2, 2, ".1") == 0 &&
        leitor_.Nome(i) == nome.substr(0, nome.size() - 2))
      return Falha(r, "files given out of order: " + nome +
                          " holds the older lines and goes "
                          "before " +
                          leitor_.Nome(i) + " (tarvic-replay " + nome + " " + leitor_.Nome(i) +
                          ")");
  }
  if (r.evento.tipo != '#')
    return Falha(r,
                 "expected the header of a trace file ('# tarvic inicio ...' or "
                 "'# tarvic continuacao ...'), not '" +
                     Amostra(r.texto) + "'");
  primeiroDoAnterior_ = primeiroDoArquivo_;
  primeiroDoArquivo_ = r.carimbo;
  if (r.arquivo == 0 && Continuacao(r))
    aviso_ = leitor_.Nome(0) +
             ":1: the file begins in the middle of a program run (it was "
             "renewed at its size limit: the lines before are in " +
             leitor_.Nome(0) + ".1); the replay starts from a fresh library";
  arquivo_ = r.arquivo;
  return true;
}

bool Verificacao::Confere(const Registro &r) {
  if (r.arquivo != arquivo_) {
    if (arquivo_ != SIZE_MAX && !ConfereOrdem()) return false;
    if (!NovoArquivo(r)) return false;
  }
  ++linhas_;
  ultimo_ = r.carimbo;
  if (Inicio(r)) {
    abertas_.clear();
    ++sessoes_;
  } else if (r.evento.tipo == '>') {
    ++exportacoes_;
    abertas_.push_back(r.evento.campos[0]);
    if (abertas_.size() > ANINHAMENTO_MAXIMO)
      return Falha(r, "more than " + std::to_string(ANINHAMENTO_MAXIMO) +
                          " exports entered without being left (an export called from inside "
                          "another, by a message handler, goes a few levels deep at most)");
  } else if (r.evento.tipo == '<') {
    if (abertas_.empty())
      return Falha(r, "'< " + r.evento.campos[0] + "' leaves an export that was not entered");
    if (abertas_.back() != r.evento.campos[0])
      return Falha(r,
                   "'< " + r.evento.campos[0] + "' while the export running is " + abertas_.back());
    abertas_.pop_back();
  }
  return true;
}

// A file whose last line is older than the first line of the file given
// before it was written before that one.
bool Verificacao::ConfereOrdem() {
  if (arquivo_ == 0 || primeiroDoAnterior_.empty() || ultimo_ >= primeiroDoAnterior_) return true;
  erro_ = leitor_.Nome(arquivo_) + ":1: files given out of order: its lines (to " + ultimo_ +
          ") are older than those of " + leitor_.Nome(arquivo_ - 1) + " (from " +
          primeiroDoAnterior_ + "); give the files oldest first (TRACE.1 before TRACE)";
  return false;
}

bool Verificacao::Fim() {
  if (arquivo_ != SIZE_MAX && !ConfereOrdem()) return false;
  if (exportacoes_ == 0) {
    erro_ = leitor_.Nome(0) + ":1: no export call in the trace (" + Plural(linhas_, "line") +
            ", no '>'): nothing to replay";
    return false;
  }
  return true;
}

}  // namespace reproducao
