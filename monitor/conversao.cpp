#include "conversao.h"

#include <cmath>
#include <cstdio>

#include "tarvic/calendario.h"
#include "texto.h"

namespace monitor {

namespace {

namespace calendario = tarvic::calendario;

// The next code point of valid UTF-8 at `i`, which moves past it.
uint32_t Proximo(const std::string &s, size_t &i) {
  const unsigned c = static_cast<unsigned char>(s[i++]);
  size_t extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
  uint32_t codigo = extra == 0 ? c : extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
  for (; extra > 0 && i < s.size(); --extra) codigo = codigo << 6 | (s[i++] & 0x3F);
  return codigo;
}

}  // namespace

bool ParaCp1252(const std::string &utf8, std::string &cp1252, uint32_t &semForma) {
  cp1252.clear();
  cp1252.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const uint32_t codigo = Proximo(utf8, i);
    char byte;
    if (!tarvic::simulador::byteCp1252(codigo, byte)) {
      semForma = codigo;
      return false;
    }
    cp1252 += byte;
  }
  return true;
}

std::string ParaUtf8(const std::string &cp1252) {
  return tarvic::simulador::cp1252ParaUtf8(cp1252);
}

std::optional<double> DiaDeIso(const std::string &iso) {
  int ano = 0, mes = 0, dia = 0, hora = 0, minuto = 0, segundo = 0;
  const size_t n = iso.size();
  if (n != 10 && n != 16 && n != 19) return std::nullopt;
  for (size_t i = 0; i < n; ++i) {
    const bool separador = i == 4 || i == 7 || i == 10 || i == 13 || i == 16;
    const char esperado = i == 10 ? 'T' : i == 13 || i == 16 ? ':' : '-';
    if (separador ? iso[i] != esperado : (iso[i] < '0' || iso[i] > '9')) return std::nullopt;
  }
  std::sscanf(iso.c_str(), "%4d-%2d-%2d", &ano, &mes, &dia);
  if (n >= 16) std::sscanf(iso.c_str() + 11, "%2d:%2d", &hora, &minuto);
  if (n == 19) std::sscanf(iso.c_str() + 17, "%2d", &segundo);
  if (ano < 1 || mes < 1 || mes > 12 || dia < 1 || dia > calendario::DiasNoMes(ano, mes) ||
      hora > 23 || minuto > 59 || segundo > 59)
    return std::nullopt;
  const double dias = static_cast<double>(calendario::DiasDe(ano, mes, dia) - calendario::DIA_ZERO);
  const double fracao = (hora * 3600 + minuto * 60 + segundo) / 86400.0;
  return dias < 0 ? dias - fracao : dias + fracao;
}

std::string IsoDeDia(double dia) {
  if (!std::isfinite(dia) || std::fabs(dia) > 3000000.0) return std::string();
  const double inteiro = std::trunc(dia);
  int64_t segundos = std::llround(std::fabs(dia - inteiro) * 86400.0);
  int64_t dias = static_cast<int64_t>(inteiro) + calendario::DIA_ZERO;
  if (segundos >= 86400) {
    // The time of the day rounds up to the next day's midnight.
    segundos -= 86400;
    ++dias;
  }
  const calendario::Data data = calendario::DataDe(dias);
  if (data.ano < 1 || data.ano > 9999) return std::string();
  char b[32];
  std::snprintf(b, sizeof b, "%04d-%02u-%02uT%02d:%02d:%02d", static_cast<int>(data.ano),
                static_cast<unsigned>(data.mes), static_cast<unsigned>(data.dia),
                static_cast<int>(segundos / 3600), static_cast<int>(segundos / 60 % 60),
                static_cast<int>(segundos % 60));
  return b;
}

}  // namespace monitor
