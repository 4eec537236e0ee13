// The proleptic Gregorian calendar as a count of days from 01/01/1970, and
// the day 0 of a host's dates (30/12/1899). One place for the arithmetic that
// the library, the simulated printer, the monitor and the demo all do when
// they turn a day number into a date and back. Header only, standard C++.
#pragma once

#include <cstdint>

namespace tarvic {
namespace calendario {

// 30/12/1899, the day 0 of the exports' dates, counted from 01/01/1970.
constexpr int64_t DIA_ZERO = -25569;

struct Data {
  int64_t ano;
  int64_t mes;  // 1 to 12
  int64_t dia;  // 1 to 31
};

constexpr bool Bissexto(int64_t ano) {
  return (ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0;
}

// Days of the month; mes must be 1 to 12.
constexpr int DiasNoMes(int64_t ano, int64_t mes) {
  constexpr int dias[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return mes == 2 && Bissexto(ano) ? 29 : dias[mes - 1];
}

// Days from 01/01/1970 of a civil date (H. Hinnant's algorithm: the year
// taken from March, so that the leap day ends it).
constexpr int64_t DiasDe(int64_t ano, int64_t mes, int64_t dia) {
  ano -= mes <= 2;
  const int64_t era = (ano >= 0 ? ano : ano - 399) / 400;
  const int64_t anoDaEra = ano - era * 400;
  const int64_t diaDoAno = (153 * (mes > 2 ? mes - 3 : mes + 9) + 2) / 5 + dia - 1;
  const int64_t diaDaEra = anoDaEra * 365 + anoDaEra / 4 - anoDaEra / 100 + diaDoAno;
  return era * 146097 + diaDaEra - 719468;
}

// The civil date of a day counted from 01/01/1970.
constexpr Data DataDe(int64_t dias) {
  dias += 719468;
  const int64_t era = (dias >= 0 ? dias : dias - 146096) / 146097;
  const int64_t diaDaEra = dias - era * 146097;
  const int64_t anoDaEra =
      (diaDaEra - diaDaEra / 1460 + diaDaEra / 36524 - diaDaEra / 146096) / 365;
  const int64_t diaDoAno = diaDaEra - (365 * anoDaEra + anoDaEra / 4 - anoDaEra / 100);
  const int64_t mp = (5 * diaDoAno + 2) / 153;
  const int64_t mes = mp < 10 ? mp + 3 : mp - 9;
  return {anoDaEra + era * 400 + (mes <= 2), mes, diaDoAno - (153 * mp + 2) / 5 + 1};
}

static_assert(DiasDe(1970, 1, 1) == 0 && DiasDe(1899, 12, 30) == DIA_ZERO, "the epochs");
static_assert(DataDe(DiasDe(2024, 2, 29)).dia == 29 && DataDe(-1).ano == 1969, "and back");

}  // namespace calendario
}  // namespace tarvic
