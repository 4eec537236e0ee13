// O que os drivers substitutos têm em comum: buffers do chamador, números nas
// notações dos fabricantes, datas, e o driver da família FI (BEMAFI32,
// CONVECF, DARUMA32, ELGIN), que traduz os resultados do modelo em códigos de
// retorno, bytes de status ST1/ST2 e mensagens de status.
#pragma once

#include "impressora_fiscal.h"

#include <cstdint>
#include <string>

namespace tarvic {
namespace simulador {
namespace substituto {

// ---- buffers e textos vindos do chamador ----

// Texto de entrada; nulo é vazio.
std::string Texto(const char* texto);
// Quantos caracteres o chamador deu: os brancos (ou o que for) até o NUL.
std::size_t Capacidade(const char* buffer);
// Escreve texto sobre o buffer sem passar da sua capacidade; quando sobra
// espaço, termina com NUL. Buffer nulo: nada.
void Escreve(char* buffer, const std::string& texto);
// Como Escreve, mas a capacidade é dada (buffer com tamanho explícito,
// incluindo o NUL final).
void EscreveLimitado(char* buffer, int32_t tamanho, const std::string& texto);
void EscreveInteiro(int32_t* destino, int32_t valor);

// ---- números ----

// Decimal com vírgula ou ponto ("12,50", "-3", "1.234,56") em ponto fixo.
bool LeDecimal(const std::string& texto, int casas, int64_t& valor);
// Inteiro decimal (brancos em volta aceitos).
bool LeInteiro(const std::string& texto, int64_t& valor);
// Percentual em centésimos: só dígitos contam centésimos ("1050" = 10,50%),
// com separador é o percentual escrito ("10,5").
bool LeCentesimosDePercentual(const std::string& texto, int64_t& centesimos);
// Valor em centavos: só dígitos contam centavos ("001234" = 12,34), com
// separador é o valor escrito.
bool LeCentavosOuValor(const std::string& texto, int64_t& centavos);
std::string Digitos(int64_t valor, int largura);
// "1234,56" (sem separador de milhar).
std::string Moeda(int64_t centavos);

// ---- datas ----

std::string Ddmmaa(const DataHora& d);
std::string Ddmmaaaa(const DataHora& d);
std::string Hhmmss(const DataHora& d);
std::string DataComBarras(const DataHora& d);      // dd/mm/aaaa
std::string HoraComDoisPontos(const DataHora& d);  // hh:mm:ss

// ---- alíquotas ----

// Código de alíquota como o driver recebe ("II", "FF", "NN", "SI", "ISS",
// "01", "1800", "T18,00", "18,00" ...) no código que o modelo entende. Um
// percentual sem indicação de tributo procura primeiro o ICMS, depois o ISS.
std::string AliquotaDoModelo(const ImpressoraFiscal& ecf, const std::string& codigo);
// Percentual em centésimos como alíquota de ICMS (ou ISS) do modelo.
std::string AliquotaPorPercentual(const ImpressoraFiscal& ecf, int64_t centesimos, bool iss);

// ---- respostas de tamanho fixo ----

// Os dados da última redução Z no leiaute de 1278 caracteres das MFD
// (BEMAFI32, CONVECF, ELGIN) e no de 631 caracteres das funções antigas; sem
// redução, só zeros (a data também: não é data).
std::string DadosReducaoMfd(const ImpressoraFiscal& ecf);
std::string DadosReducaoSimples(const ImpressoraFiscal& ecf);
// Os 50 totalizadores não fiscais, na ordem dos índices, separados por ",":
// contador do dia (4), total do dia em centavos (20), nome (19). Índice livre:
// nome em branco.
std::string ListaTotalizadoresNaoFiscais(const ImpressoraFiscal& ecf);
// Nome do totalizador do índice; vazio quando o índice está livre.
std::string TotalizadorDoIndice(const ImpressoraFiscal& ecf, int64_t indice);
// Total do dia da alíquota programada no índice (1..16) e seu percentual.
void TotalDaAliquota(const DadosReducao& z, int indice, int64_t& total, int64_t& percentual,
                     char& tipo);
// Total de uma situação fixa ("F", "I", "N", "FS", "IS", "NS") na redução.
int64_t TotalFixo(const DadosReducao& z, const std::string& codigo);
// Datas das leituras da memória fiscal: "dd/mm/aaaa", "dd/mm/aa", "ddmmaaaa", "ddmmaa".
bool LeDataDaLeitura(const std::string& texto, DataHora& data);
// Grava a saída "serial" de uma leitura na pasta do arquivo de estado; devolve o caminho.
std::string GravaSaida(const ImpressoraFiscal& ecf, const std::string& nome,
                       const std::vector<std::string>& linhas);
// A data e hora em que o software básico foi gravado: o simulador sai de fábrica assim.
DataHora GravacaoSoftwareBasico();

// Impressora do processo com proteção contra exceções na partida.
ImpressoraFiscal& Impressora(const std::string& fabricante);

// ---- família FI ----

enum class Familia { Bematech, Sweda, Daruma, Elgin };

class DriverFI {
 public:
  DriverFI(const char* fabricante, Familia familia);

  ImpressoraFiscal& ecf();
  Familia familia() const { return familia_; }
  // Porta aberta de novo: nada do que o driver guardava vale mais.
  void Reinicia();

  // Registra o resultado do comando (para ST2 e a mensagem de status) e o
  // traduz no código do fabricante.
  int32_t Codigo(Resultado r);
  // Um comando sem efeito no modelo: só precisa da impressora ligada.
  int32_t Aceita();
  // Uma leitura: ligada, 1; desligada, -6.
  bool PodeLer(int32_t& codigo);
  // Um código injetado para a função: a resposta do driver é esse código.
  void Injetado(const char* funcao, int32_t codigo);

  // Estado da impressora e do último comando.
  int32_t RetornoImpressora(int32_t* ack, int32_t* st1, int32_t* st2);
  int32_t FlagsFiscais(int32_t* flags);
  int32_t StatusDocumento(char* buffer, TipoDocumento tipo);
  int32_t MensagemStatus(char* buffer);

  // Comandos do cupom.
  void UsaUnidade(const char* unidade) { unidade_ = Texto(unidade); }
  void AumentaDescricao(const char* descricao) { descricaoLonga_ = Texto(descricao); }
  int32_t AbreCupom(const char* documento);
  int32_t VendeItem(const char* codigo, const char* descricao, const char* aliquota,
                    const char* quantidade, const char* valor, const Ajuste& ajuste,
                    const std::string& unidade = std::string());
  int32_t AjustaItem(const char* item, const Ajuste& ajuste);
  int32_t CancelaItem(const char* item);
  int32_t CancelaCupom();
  // acrescimoDesconto: "D"/"d" desconto, qualquer outro acréscimo.
  int32_t IniciaFechamento(const char* acrescimoDesconto, const char* tipo, const char* valor);
  int32_t EfetuaPagamento(const char* forma, const char* valor);
  int32_t TerminaFechamento(const char* mensagem);
  int32_t AcionaGaveta();
  int32_t FechaRelatorio();
  int32_t FechaVinculado();

  // Documentos não fiscais. O totalizador já vem pelo nome.
  int32_t Recebimento(const std::string& totalizador, const char* valor, const char* forma);
  // Forma nula ou vazia: "Dinheiro".
  int32_t Suprimento(const char* valor, const char* forma);
  int32_t Sangria(const char* valor);
  // Valor e COO vazios: o que resta do pagamento, o último cupom.
  int32_t AbreVinculado(const char* forma, const char* valor, const char* coo);
  int32_t UsaVinculado(const char* texto);
  // Relatório gerencial pelo índice do modelo (1..30).
  int32_t AbreRelatorio(int64_t indice);
  // Texto num relatório; sem relatório aberto, o driver abre o primeiro.
  int32_t ImprimeRelatorio(const char* texto);
  // Índice em texto, somado a "base" para dar o índice do modelo; um índice
  // ocupado por outro nome leva o nome ao primeiro livre quando primeiroLivre.
  int32_t NomeiaRelatorio(const char* indice, const char* nome, int base, bool primeiroLivre);
  int32_t NomeiaTotalizador(int64_t indice, const char* nome);

  // O dia.
  int32_t LeituraX();
  int32_t ReducaoZ();
  int32_t ProgramaArredondamento();
  int32_t AlternaHorarioVerao();
  // Leitura da memória fiscal por datas ou por CRZ; completa; arquivo vazio
  // imprime, senão grava o texto nesse arquivo (na pasta do estado).
  int32_t LeituraMemoriaFiscal(const char* inicio, const char* fim, bool porData, bool completa,
                               const std::string& arquivo = std::string());

  // Leituras em buffers.
  int32_t Le(char* buffer, const std::string& resposta);
  int32_t LeSubtotal(char* buffer);
  int32_t LeGrandeTotal(char* buffer);
  int32_t LeDataHora(char* data, char* hora);
  int32_t LeMarcaModeloTipo(char* marca, char* modelo, char* tipo);

  // Percentuais de item: só dígitos são centésimos (BEMATECH, SWEDA) ou o
  // percentual escrito (DARUMA, ELGIN).
  bool PercentualEmCentesimos() const {
    return familia_ == Familia::Bematech || familia_ == Familia::Sweda;
  }
  // Ajuste de item: tipo "%" ou valor; sinal positivo é acréscimo quando
  // positivoEhAcrescimo, senão desconto. Vazio ou zero: nenhum.
  bool LeAjuste(const char* tipo, const char* valor, bool positivoEhAcrescimo,
                Ajuste& ajuste) const;

 private:
  std::string fabricante_;
  Familia familia_;
  Resultado ultimo_ = Resultado::Ok;
  std::string mensagemInjetada_;
  std::string unidade_;
  std::string descricaoLonga_;
};

// O mesmo ajuste como desconto (campos que só aceitam desconto, qualquer sinal).
Ajuste ComoDesconto(const Ajuste& a);

// Executa uma função exportada: um código injetado responde no lugar dela;
// nenhuma exceção atravessa a fronteira do driver.
template <class Funcao>
int32_t ChamaFI(DriverFI& driver, const char* nome, Funcao funcao) {
  try {
    if (std::optional<int> codigo = driver.ecf().retiraCodigoInjetado(nome)) {
      driver.Injetado(nome, *codigo);
      return *codigo;
    }
    return funcao();
  } catch (...) {
    return -1;
  }
}

}  // namespace substituto
}  // namespace simulador
}  // namespace tarvic
