// Text and number routines of the simulator (no floating point).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvic {
namespace simulador {

// A fixed-point integer with `casas` decimals and a comma: (1250, 2) -> "12,50".
std::string formataDecimal(int64_t valor, int casas);

// Reads a decimal number written with a comma or a point as the decimal
// separator ("12,5", "12.50", "-3", "1.234,56") as fixed point with `casas`
// decimals. Decimals beyond those are cut. False for an empty or malformed text.
bool lerDecimal(const std::string& texto, int casas, int64_t& resultado);

// Digits with leading zeros: (42, 6) -> "000042". Longer numbers are not cut.
std::string zeros(int64_t valor, int largura);

std::string apara(const std::string& s);
std::string maiusculas(const std::string& s);                // a..z only
bool mesmoNome(const std::string& a, const std::string& b);  // trimmed, any case

// A 48-column line: left + right, blanks in between.
std::string linhaDupla(const std::string& esquerda, const std::string& direita,
                       std::size_t largura = 48);
std::string centraliza(const std::string& s, std::size_t largura = 48);
// Breaks a text (with "\n" or "\r\n") into lines of at most `largura`
// characters, between words where it can.
std::vector<std::string> quebraLinhas(const std::string& texto, std::size_t largura = 48);

// The simulator keeps texts in Windows-1252 (what the host sends); its files
// are UTF-8.
std::string cp1252ParaUtf8(const std::string& s);
std::string utf8ParaCp1252(const std::string& s);  // what 1252 lacks becomes '?'
// The Windows-1252 byte of a Unicode character; false when 1252 has none.
bool byteCp1252(uint32_t codigo, char& byte);
void acrescentaComoUtf8(std::string& destino, const std::string& texto1252);
void acrescentaComoUtf8(std::string& destino, char caractere1252);

}  // namespace simulador
}  // namespace tarvic
