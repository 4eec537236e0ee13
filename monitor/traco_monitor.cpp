#include "traco_monitor.h"

#include <algorithm>
#include <fstream>

namespace monitor {

namespace {

uint64_t Tamanho(const std::string &arquivo) {
  std::ifstream f(arquivo, std::ios::binary | std::ios::ate);
  if (!f) return 0;
  const std::streamoff fim = f.tellg();
  return fim > 0 ? static_cast<uint64_t>(fim) : 0;
}

std::string Trecho(const std::string &arquivo, uint64_t inicio, uint64_t fim) {
  std::ifstream f(arquivo, std::ios::binary);
  if (!f || fim <= inicio) return std::string();
  f.seekg(static_cast<std::streamoff>(inicio));
  std::string texto(static_cast<size_t>(fim - inicio), '\0');
  f.read(texto.data(), static_cast<std::streamsize>(texto.size()));
  texto.resize(static_cast<size_t>(f.gcount()));
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

}  // namespace

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

uint64_t LeitorTraco::Marca() const {
  return Tamanho(arquivo_);
}

LidoDoTraco LeitorTraco::Le(uint64_t marca) {
  const uint64_t agora = Tamanho(arquivo_);
  std::string texto;
  if (agora >= marca)
    texto = Trecho(arquivo_, marca, agora);
  else  // renewed during the call: its first lines went to ".1"
    texto = Trecho(arquivo_ + ".1", marca, Tamanho(arquivo_ + ".1")) + Trecho(arquivo_, 0, agora);
  LidoDoTraco lido;
  Interpreta(texto, thread_, lido, thread_.empty() ? &thread_ : nullptr);
  return lido;
}

}  // namespace monitor
