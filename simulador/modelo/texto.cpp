#include "texto.h"

#include <cstdlib>

namespace tarvic {
namespace simulador {

std::string formataDecimal(int64_t valor, int casas) {
  bool negativo = valor < 0;
  // no std::abs, which overflows at INT64_MIN: the magnitude is taken in uint64
  uint64_t modulo =
      negativo ? static_cast<uint64_t>(-(valor + 1)) + 1u : static_cast<uint64_t>(valor);
  std::string digitos = std::to_string(modulo);
  if (casas > 0) {
    while (digitos.size() <= static_cast<std::size_t>(casas)) digitos.insert(digitos.begin(), '0');
    digitos.insert(digitos.end() - casas, ',');
  }
  return negativo ? "-" + digitos : digitos;
}

bool lerDecimal(const std::string& texto, int casas, int64_t& resultado) {
  std::string s = apara(texto);
  if (s.empty()) return false;
  std::size_t i = 0;
  bool negativo = false;
  if (s[i] == '-' || s[i] == '+') {
    negativo = s[i] == '-';
    ++i;
  }
  // The decimal separator is the last ',' or '.'; with both present, the
  // earlier one separates thousands ("1.234,56").
  std::size_t virgula = s.rfind(',');
  std::size_t ponto = s.rfind('.');
  std::size_t separador = std::string::npos;
  char milhar = 0;
  if (virgula != std::string::npos && ponto != std::string::npos) {
    separador = virgula > ponto ? virgula : ponto;
    milhar = virgula > ponto ? '.' : ',';
  } else if (virgula != std::string::npos) {
    separador = virgula;
  } else if (ponto != std::string::npos) {
    separador = ponto;
  }
  int64_t inteiro = 0;
  int64_t fracao = 0;
  int casasLidas = 0;
  bool algumDigito = false;
  const int64_t limite = INT64_MAX / 100;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (i == separador) continue;
    if (c == milhar && i < separador) continue;
    if (c < '0' || c > '9') return false;
    algumDigito = true;
    if (separador != std::string::npos && i > separador) {
      if (casasLidas < casas) {
        fracao = fracao * 10 + (c - '0');
        ++casasLidas;
      }
    } else {
      if (inteiro > limite) return false;
      inteiro = inteiro * 10 + (c - '0');
    }
  }
  if (!algumDigito) return false;
  while (casasLidas < casas) {
    fracao *= 10;
    ++casasLidas;
  }
  int64_t escala = 1;
  for (int k = 0; k < casas; ++k) escala *= 10;
  if (inteiro > (INT64_MAX - fracao) / escala) return false;
  resultado = inteiro * escala + fracao;
  if (negativo) resultado = -resultado;
  return true;
}

std::string zeros(int64_t valor, int largura) {
  std::string s = std::to_string(valor < 0 ? -valor : valor);
  while (s.size() < static_cast<std::size_t>(largura)) s.insert(s.begin(), '0');
  return valor < 0 ? "-" + s : s;
}

std::string apara(const std::string& s) {
  std::size_t inicio = 0, fim = s.size();
  while (inicio < fim && static_cast<unsigned char>(s[inicio]) <= 32) ++inicio;
  while (fim > inicio && static_cast<unsigned char>(s[fim - 1]) <= 32) --fim;
  return s.substr(inicio, fim - inicio);
}

std::string maiusculas(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

bool mesmoNome(const std::string& a, const std::string& b) {
  return maiusculas(apara(a)) == maiusculas(apara(b));
}

std::string linhaDupla(const std::string& esquerda, const std::string& direita,
                       std::size_t largura) {
  std::string d = direita.substr(0, largura);
  std::size_t espaco = largura - d.size();
  std::string e =
      esquerda.size() >= espaco ? esquerda.substr(0, espaco > 0 ? espaco - 1 : 0) : esquerda;
  if (espaco == 0) e.clear();
  return e + std::string(largura - e.size() - d.size(), ' ') + d;
}

std::string centraliza(const std::string& s, std::size_t largura) {
  std::string t = s.substr(0, largura);
  std::size_t esquerda = (largura - t.size()) / 2;
  return std::string(esquerda, ' ') + t;
}

std::vector<std::string> quebraLinhas(const std::string& texto, std::size_t largura) {
  std::vector<std::string> linhas;
  std::string atual;
  for (char c : texto) {
    if (c == '\r') continue;
    if (c == '\n') {
      linhas.push_back(atual);
      atual.clear();
      continue;
    }
    if (atual.size() == largura) {
      // Breaks at the last word, as the printer runs text on; a word longer
      // than the line is cut.
      std::size_t espaco = atual.find_last_of(' ');
      if (c == ' ') {
        linhas.push_back(atual);
        atual.clear();
        continue;
      }
      if (espaco != std::string::npos && espaco > 0) {
        linhas.push_back(atual.substr(0, espaco));
        atual.erase(0, espaco + 1);
      } else {
        linhas.push_back(atual);
        atual.clear();
      }
    }
    atual += c;
  }
  if (!atual.empty()) linhas.push_back(atual);
  return linhas;
}

namespace {

// 0x80..0x9F of Windows-1252; 0: no character there.
const unsigned short tabela1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void acrescentaUtf8(std::string& r, unsigned codigo) {
  if (codigo < 0x80) {
    r += static_cast<char>(codigo);
  } else if (codigo < 0x800) {
    r += static_cast<char>(0xC0 | (codigo >> 6));
    r += static_cast<char>(0x80 | (codigo & 0x3F));
  } else {
    r += static_cast<char>(0xE0 | (codigo >> 12));
    r += static_cast<char>(0x80 | ((codigo >> 6) & 0x3F));
    r += static_cast<char>(0x80 | (codigo & 0x3F));
  }
}

}  // namespace

void acrescentaComoUtf8(std::string& r, char ch) {
  unsigned c = static_cast<unsigned char>(ch);
  if (c < 0x80) {
    r += ch;
  } else if (c < 0xA0) {
    unsigned codigo = tabela1252[c - 0x80];
    acrescentaUtf8(r, codigo ? codigo : 0xFFFD);
  } else {
    acrescentaUtf8(r, c);
  }
}

void acrescentaComoUtf8(std::string& r, const std::string& s) {
  for (char ch : s) acrescentaComoUtf8(r, ch);
}

std::string cp1252ParaUtf8(const std::string& s) {
  std::string r;
  r.reserve(s.size());
  acrescentaComoUtf8(r, s);
  return r;
}

bool byteCp1252(uint32_t codigo, char& byte) {
  if (codigo < 0x80 || (codigo >= 0xA0 && codigo <= 0xFF)) {
    byte = static_cast<char>(codigo);
    return true;
  }
  for (unsigned k = 0; k < 32; ++k)
    if (tabela1252[k] == codigo) {
      byte = static_cast<char>(0x80 + k);
      return true;
    }
  return false;
}

std::string utf8ParaCp1252(const std::string& s) {
  std::string r;
  r.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned c = static_cast<unsigned char>(s[i]);
    unsigned codigo = 0;
    std::size_t extra = 0;
    if (c < 0x80) {
      codigo = c;
    } else if ((c & 0xE0) == 0xC0) {
      codigo = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      codigo = c & 0x0F;
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      codigo = c & 0x07;
      extra = 3;
    } else {
      r += '?';
      ++i;
      continue;
    }
    if (extra > 0 && i + extra >= s.size()) {
      r += '?';
      break;
    }
    bool bom = true;
    for (std::size_t k = 1; k <= extra; ++k) {
      unsigned cont = static_cast<unsigned char>(s[i + k]);
      if ((cont & 0xC0) != 0x80) {
        bom = false;
        break;
      }
      codigo = (codigo << 6) | (cont & 0x3F);
    }
    if (!bom) {
      r += '?';
      ++i;
      continue;
    }
    i += extra + 1;
    char byte;
    r += byteCp1252(codigo, byte) ? byte : '?';
  }
  return r;
}

}  // namespace simulador
}  // namespace tarvic
