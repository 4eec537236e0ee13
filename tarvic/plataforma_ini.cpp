#include "plataforma_ini.h"

#include <vector>

namespace plataforma {

namespace {

char Minuscula(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IguaisSemCaixa(const std::string &a, const std::string &b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Minuscula(a[i]) != Minuscula(b[i])) return false;
  return true;
}

std::string Aparado(const std::string &t) {
  size_t i = 0, f = t.size();
  while (i < f && (t[i] == ' ' || t[i] == '\t')) ++i;
  while (f > i && (t[f - 1] == ' ' || t[f - 1] == '\t')) --f;
  return t.substr(i, f - i);
}

std::vector<std::string> Linhas(const std::string &conteudo) {
  std::vector<std::string> linhas;
  size_t inicio = 0;
  while (inicio < conteudo.size()) {
    size_t fim = conteudo.find('\n', inicio);
    if (fim == std::string::npos) fim = conteudo.size();
    std::string linha = conteudo.substr(inicio, fim - inicio);
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    linhas.push_back(linha);
    inicio = fim + 1;
  }
  return linhas;
}

// Name of a "[section]" line, or false.
bool NomeSecao(const std::string &linha, std::string &nome) {
  const std::string t = Aparado(linha);
  if (t.size() < 2 || t.front() != '[') return false;
  const size_t fecha = t.find(']');
  nome = Aparado(t.substr(1, (fecha == std::string::npos ? t.size() : fecha) - 1));
  return true;
}

bool NomeChave(const std::string &linha, std::string &nome) {
  const size_t igual = linha.find('=');
  if (igual == std::string::npos) return false;
  nome = Aparado(linha.substr(0, igual));
  return true;
}

// Lines [inicio, fim) of the section, inicio being its first line after the
// header; false when the section is absent.
bool AchaSecao(const std::vector<std::string> &linhas, const std::string &secao, size_t &inicio,
               size_t &fim) {
  std::string nome;
  for (size_t i = 0; i < linhas.size(); ++i) {
    if (!NomeSecao(linhas[i], nome) || !IguaisSemCaixa(nome, secao)) continue;
    inicio = i + 1;
    fim = inicio;
    while (fim < linhas.size() && !NomeSecao(linhas[fim], nome)) ++fim;
    return true;
  }
  return false;
}

}  // namespace

std::string IniComChave(const std::string &conteudo, const std::string &secao,
                        const std::string &chave, const std::string &valor) {
  std::vector<std::string> linhas = Linhas(conteudo);
  size_t inicio = 0, fim = 0;
  if (!AchaSecao(linhas, secao, inicio, fim)) {
    linhas.push_back("[" + secao + "]");
    linhas.push_back(chave + "=" + valor);
  } else {
    bool achou = false;
    size_t ultima = inicio;  // after the last non-blank line of the section
    for (size_t i = inicio; i < fim && !achou; ++i) {
      std::string nome;
      if (NomeChave(linhas[i], nome) && IguaisSemCaixa(nome, chave)) {
        linhas[i] = nome + "=" + valor;
        achou = true;
      }
      if (!Aparado(linhas[i]).empty()) ultima = i + 1;
    }
    if (!achou) linhas.insert(linhas.begin() + static_cast<long>(ultima), chave + "=" + valor);
  }
  std::string saida;
  for (const std::string &linha : linhas) saida += linha + "\r\n";
  return saida;
}

std::string ValorIni(const std::string &conteudo, const std::string &secao,
                     const std::string &chave, const std::string &padrao) {
  const std::vector<std::string> linhas = Linhas(conteudo);
  size_t inicio = 0, fim = 0;
  if (!AchaSecao(linhas, secao, inicio, fim)) return padrao;
  for (size_t i = inicio; i < fim; ++i) {
    std::string nome;
    if (NomeChave(linhas[i], nome) && IguaisSemCaixa(nome, chave))
      return Aparado(linhas[i].substr(linhas[i].find('=') + 1));
  }
  return padrao;
}

bool CasaMascara(const std::string &nome, const std::string &mascara) {
  size_t n = 0, m = 0, estrela = std::string::npos, volta = 0;
  while (n < nome.size()) {
    if (m < mascara.size() && (mascara[m] == '?' || Minuscula(mascara[m]) == Minuscula(nome[n]))) {
      ++n;
      ++m;
    } else if (m < mascara.size() && mascara[m] == '*') {
      estrela = m++;
      volta = n;
    } else if (estrela != std::string::npos) {
      m = estrela + 1;
      n = ++volta;
    } else {
      return false;
    }
  }
  while (m < mascara.size() && mascara[m] == '*') ++m;
  // "*.*" also takes names without a dot, as on Windows.
  return m == mascara.size() || mascara.substr(m) == ".*";
}

}  // namespace plataforma
