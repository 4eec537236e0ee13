// Rotinas de texto e números do simulador (sem ponto flutuante).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvic {
namespace simulador {

// Escreve um inteiro de ponto fixo com "casas" decimais e vírgula: (1250, 2) -> "12,50".
std::string formataDecimal(int64_t valor, int casas);

// Lê um número decimal escrito com vírgula ou ponto como separador decimal
// ("12,5", "12.50", "-3", "1.234,56") para ponto fixo com "casas" decimais.
// Casas além das pedidas são truncadas. Devolve false para texto vazio ou mal formado.
bool lerDecimal(const std::string& texto, int casas, int64_t& resultado);

// Dígitos com zeros à esquerda: (42, 6) -> "000042". Números maiores não são cortados.
std::string zeros(int64_t valor, int largura);

std::string apara(const std::string& s);
std::string maiusculas(const std::string& s);                // só a..z
bool mesmoNome(const std::string& a, const std::string& b);  // aparados, sem caixa

// Linha de 48 colunas: esquerda + direita, o meio preenchido com brancos.
std::string linhaDupla(const std::string& esquerda, const std::string& direita,
                       std::size_t largura = 48);
std::string centraliza(const std::string& s, std::size_t largura = 48);
// Quebra um texto (com "\n" ou "\r\n") em linhas de no máximo "largura" caracteres,
// de preferência entre palavras.
std::vector<std::string> quebraLinhas(const std::string& texto, std::size_t largura = 48);

// O simulador guarda textos em Windows-1252 (o que o PDV manda); o arquivo de
// estado é JSON, que exige UTF-8.
std::string cp1252ParaUtf8(const std::string& s);
std::string utf8ParaCp1252(const std::string& s);  // o que não cabe em 1252 vira '?'

}  // namespace simulador
}  // namespace tarvic
