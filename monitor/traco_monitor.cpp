#include "traco_monitor.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace monitor {

namespace {

// One line of the trace, without its line break: kind and fields decoded
// (texts unquoted into UTF-8, a masked digit as '*').
struct LinhaTraco {
  std::string hora, thread;
  char tipo = 0;
  std::vector<std::string> campos;  // decoded
  std::vector<std::string> crus;    // as written
  std::string resto;                // what follows the first field, as written
};

// The bytes of the file from `inicio` to its end, and its size; empty for a
// file that cannot be read.
std::string DoFim(const std::string &arquivo, uint64_t inicio, uint64_t &tamanho) {
  tamanho = 0;
  std::FILE *f = std::fopen(arquivo.c_str(), "rb");
  if (!f) return std::string();
  std::string texto;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    const long fim = std::ftell(f);
    tamanho = fim > 0 ? static_cast<uint64_t>(fim) : 0;
    if (tamanho > inicio && std::fseek(f, static_cast<long>(inicio), SEEK_SET) == 0) {
      texto.resize(static_cast<size_t>(tamanho - inicio));
      texto.resize(std::fread(texto.data(), 1, texto.size(), f));
    }
  }
  std::fclose(f);
  return texto;
}

void PoeUtf8(std::string &s, unsigned codigo) {
  if (codigo < 0x80) {
    s += static_cast<char>(codigo);
  } else {
    s += static_cast<char>(0xC0 | (codigo >> 6));
    s += static_cast<char>(0x80 | (codigo & 0x3F));
  }
}

int Hexa(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A quoted text from its opening quote at `i`, which moves past the closing one.
// \xHH is a byte without a character of its own: kept as the code point U+00HH.
bool Citado(const std::string &l, size_t &i, std::string &texto) {
  for (++i; i < l.size(); ++i) {
    const char c = l[i];
    if (c == '"') {
      ++i;
      return true;
    }
    if (c != '\\') {
      texto += c;
      continue;
    }
    if (++i >= l.size()) return false;
    const char e = l[i];
    if (e == 'n') {
      texto += '\n';
    } else if (e == 'r') {
      texto += '\r';
    } else if (e == 't') {
      texto += '\t';
    } else if (e == 'x' && i + 2 < l.size() && Hexa(l[i + 1]) >= 0 && Hexa(l[i + 2]) >= 0) {
      PoeUtf8(texto, static_cast<unsigned>(Hexa(l[i + 1]) * 16 + Hexa(l[i + 2])));
      i += 2;
    } else {
      texto += e;  // \" \\ \*
    }
  }
  return false;
}

void Campos(const std::string &l, size_t i, LinhaTraco &lida) {
  while (i < l.size()) {
    if (l[i] == ' ') {
      ++i;
      continue;
    }
    const size_t inicio = i;
    std::string campo;
    if (l[i] == '"') {
      if (!Citado(l, i, campo)) return;
    } else {
      const size_t fim = l.find(' ', i);
      i = fim == std::string::npos ? l.size() : fim;
      campo = l.substr(inicio, i - inicio);
    }
    lida.campos.push_back(std::move(campo));
    lida.crus.push_back(l.substr(inicio, i - inicio));
    if (lida.campos.size() == 1) lida.resto = l.substr(std::min(i + 1, l.size()));
  }
}

std::string Depois(const std::string &texto, const char *prefixo) {
  const std::string p = prefixo;
  return texto.compare(0, p.size(), p) == 0 ? texto.substr(p.size()) : texto;
}

void Entrou(const LinhaTraco &l, LidoDoTraco &lido) {
  ComandoTraco c;
  c.hora = l.hora;
  c.funcao = l.campos[0];
  c.argumentos = l.resto;
  lido.comandos.push_back(std::move(c));
}

void Saiu(const LinhaTraco &l, LidoDoTraco &lido) {
  lido.saidas = true;
  if (lido.comandos.empty() || lido.comandos.back().funcao != l.campos[0] ||
      !lido.comandos.back().duracao.empty())
    return;
  ComandoTraco &c = lido.comandos.back();
  c.resultado = l.crus.size() > 1 ? l.crus[1] : "";
  c.retorno = l.crus.size() > 2 ? Depois(l.crus[2], "ecf_Retorno=") : "";
  c.duracao = l.crus.size() > 3 ? l.crus[3] : "";
}

// Exports and return-file writes; the driver calls and the rest are many
// more and go unread.
bool Interessa(const std::string &linha) {
  const size_t a = linha.find(' ');
  const size_t b = a == std::string::npos ? a : linha.find(' ', a + 1);
  if (b == std::string::npos || b + 1 >= linha.size()) return false;
  const char tipo = linha[b + 1];
  return tipo == '>' || tipo == '<' ||
         (tipo == 'S' && linha.compare(b + 2, 12, " EscreveIni ") == 0);
}

// False for a line that is not an event.
bool LeLinhaTraco(const std::string &linha, LinhaTraco &lida) {
  lida = LinhaTraco();
  const size_t a = linha.find(' ');
  const size_t b = a == std::string::npos ? a : linha.find(' ', a + 1);
  if (b == std::string::npos || b + 2 > linha.size()) return false;
  lida.hora = linha.substr(0, a);
  lida.thread = linha.substr(a + 1, b - a - 1);
  lida.tipo = linha[b + 1];
  if (b + 2 < linha.size() && linha[b + 2] != ' ') return false;
  Campos(linha, b + 2, lida);
  return !lida.campos.empty();
}

// The events of a piece of the trace.
void Interpreta(const std::string &texto, const std::string &thread, LidoDoTraco &lido,
                std::string *primeiraThread) {
  size_t inicio = 0;
  std::string t = thread;
  while (inicio < texto.size()) {
    size_t fim = texto.find('\n', inicio);
    if (fim == std::string::npos) break;  // a line still being written
    std::string linha = texto.substr(inicio, fim - inicio);
    inicio = fim + 1;
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    if (!Interessa(linha)) continue;
    LinhaTraco l;
    if (!LeLinhaTraco(linha, l)) continue;
    if (t.empty() && l.tipo == '>') {
      t = l.thread;
      if (primeiraThread) *primeiraThread = t;
    }
    if (!t.empty() && l.thread != t) continue;
    if (l.tipo == '>') {
      Entrou(l, lido);
    } else if (l.tipo == '<') {
      Saiu(l, lido);
    } else if (l.tipo == 'S' && l.campos.size() >= 5 && l.campos[0] == "EscreveIni" &&
               l.campos[2] == "ECF") {
      lido.retorno[l.campos[3]] = l.campos[4];
    }
  }
}

}  // namespace

uint64_t LeitorTraco::Marca() {
  if (arquivo_.empty()) return 0;
  if (!conhecido_) {
    DoFim(arquivo_, UINT64_MAX, fim_);
    conhecido_ = true;
  }
  return fim_;
}

LidoDoTraco LeitorTraco::Le(uint64_t marca) {
  if (arquivo_.empty()) return LidoDoTraco();
  uint64_t tamanho = 0;
  std::string texto = DoFim(arquivo_, marca, tamanho);
  if (tamanho < marca) {
    // Renewed during the call: its first lines went to ".1".
    uint64_t anterior = 0;
    texto = DoFim(arquivo_ + ".1", marca, anterior) + DoFim(arquivo_, 0, tamanho);
  }
  // Up to the last whole line: the rest is read with the next call.
  const size_t ultima = texto.rfind('\n');
  const size_t inteiro = ultima == std::string::npos ? 0 : ultima + 1;
  fim_ = tamanho < marca ? tamanho - (texto.size() - inteiro) : marca + inteiro;
  texto.resize(inteiro);
  LidoDoTraco lido;
  Interpreta(texto, thread_, lido, thread_.empty() ? &thread_ : nullptr);
  return lido;
}

}  // namespace monitor
