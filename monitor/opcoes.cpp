#include "opcoes.h"

#include <fstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include "sistema.h"

namespace monitor {

namespace {

int Inteiro(const std::string &nome, const std::string &valor, int minimo, int maximo) {
  size_t usados = 0;
  int n = 0;
  try {
    n = std::stoi(valor, &usados);
  } catch (const std::exception &) {
    usados = 0;
  }
  if (usados != valor.size() || valor.empty() || n < minimo || n > maximo)
    throw std::runtime_error(nome + ": esperado um inteiro de " + std::to_string(minimo) + " a " +
                             std::to_string(maximo) + ", veio \"" + valor + "\"");
  return n;
}

void Define(Opcoes &o, const std::string &nome, const std::string &valor) {
  if (nome == "escuta") {
    o.escuta = valor;
  } else if (nome == "http") {
    o.http = valor;
  } else if (nome == "pasta-comandos") {
    o.pastaComandos = valor;
  } else if (nome == "token") {
    o.token = valor;
  } else if (nome == "resposta") {
    if (valor != "sim" && valor != "nao") throw std::runtime_error("resposta: \"sim\" ou \"nao\"");
    o.sim = valor == "sim";
  } else if (nome == "traco") {
    o.traco = valor;
  } else if (nome == "ocioso") {
    o.ocioso = Inteiro(nome, valor, 1, 86400);
  } else if (nome == "max-conexoes") {
    o.maxConexoes = Inteiro(nome, valor, 1, 10000);
  } else if (nome == "intervalo-pasta") {
    o.intervaloPasta = Inteiro(nome, valor, 10, 60000);
  } else {
    throw std::runtime_error("opção desconhecida: " + nome + " (veja --help)");
  }
}

void LeIni(Opcoes &o, const std::string &arquivo) {
  boost::property_tree::ptree ini;
  try {
    boost::property_tree::ini_parser::read_ini(arquivo, ini);
  } catch (const boost::property_tree::ini_parser_error &e) {
    throw std::runtime_error(arquivo + ": " + e.message() + " (linha " + std::to_string(e.line()) +
                             ")");
  }
  for (const auto &[secao, chaves] : ini) {
    if (secao != "monitor")
      throw std::runtime_error(arquivo + ": seção desconhecida [" + secao + "]");
    for (const auto &[chave, valor] : chaves) Define(o, chave, valor.data());
  }
}

}  // namespace

Opcoes LeOpcoes(int argc, char **argv) {
  Opcoes o;
  std::string config;
  std::vector<std::pair<std::string, std::string>> linha;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      o.ajuda = true;
      return o;
    }
    if (a.rfind("--", 0) != 0 || i + 1 >= argc)
      throw std::runtime_error("argumento inesperado: " + a + " (veja --help)");
    if (a == "--config")
      config = argv[++i];
    else
      linha.emplace_back(a.substr(2), argv[++i]);
  }
  const std::string padrao = PastaDoPrograma() + "tarvic-monitor.ini";
  if (!config.empty())
    LeIni(o, config);
  else if (std::ifstream(padrao))
    LeIni(o, padrao);
  for (const auto &[nome, valor] : linha) Define(o, nome, valor);
  return o;
}

std::string Ajuda() {
  return R"(tarvic-monitor: a impressora fiscal para qualquer programa, por TCP ou por uma pasta.

Cada linha recebida é uma requisição JSON; cada resposta, uma linha JSON:
  {"id": 1, "funcao": "ecf_Inicializa", "args": ["BEMATECH", "COM1", "C:\\PDV"]}
  {"id": 1, "resultado": true, "ecf_Retorno": 1, "mensagens": [], "retorno": {...}}

Opções (também num arquivo INI, seção [monitor], com os mesmos nomes sem os traços):
  --escuta ENDEREÇO:PORTA  onde atender por TCP (padrão 127.0.0.1:6017; porta 0: uma livre).
                           Outro endereço que não o de loopback exige --token.
  --http ENDEREÇO:PORTA    o painel no navegador (padrão 127.0.0.1:6018; "nao": sem painel).
  --pasta-comandos PASTA   modo arquivo: NOME.cmd na pasta vira NOME.resp (criada com modo
                           0700; o programa escreve o arquivo com outro nome e o renomeia para
                           NOME.cmd quando estiver completo).
  --token TEXTO            exige de cada conexão a primeira linha {"token": "TEXTO"} e, do
                           painel, o cabeçalho X-Tarvic-Token (a página: ?token=TEXTO).
  --resposta sim|nao       resposta padrão às perguntas ao operador (padrão nao); cada
                           requisição pode trazer as suas em "respostas": ["sim", ...].
  --traco ARQUIVO|nao      o registro das chamadas da biblioteca (padrão: TARVIC_LOG, ou
                           tarvic-monitor-PORTA.log na pasta do usuário); dele vêm os valores do
                           arquivo de retorno de cada resposta e os comandos do painel. "nao":
                           desligado, mais rápido, as respostas com "retorno": null.
  --ocioso SEGUNDOS        fecha a conexão sem requisições por esse tempo (padrão 600).
  --max-conexoes N         conexões ao mesmo tempo (padrão 64).
  --intervalo-pasta MS     de quanto em quanto tempo olhar a pasta de comandos (padrão 200).
  --config ARQUIVO         o arquivo INI (padrão: tarvic-monitor.ini junto do programa).
  --help                   esta ajuda.
)";
}

}  // namespace monitor
