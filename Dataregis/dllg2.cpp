#include "dllg2.h"

#include "drivers/drivers.h"

int32_t CanalDllG2 = 0;
int32_t RetornoDllG2 = 0;
int32_t CodErroDllG2 = 0;
std::string RespostaDllG2;

int32_t CanalComandoDllG2() {
  return EstadoEcf.Fabricante == URANO ? 0 : CanalDllG2;
}

namespace {

struct LeituraTipada {
  const char *comando;
  const char *parametro;
  const char *valorResposta;
};

// Runs a read command for one value name; false (after the message) when the
// printer did not answer, else the reply is left in RespostaDllG2.
bool ExecutaLeitura(const LeituraTipada &leitura, const std::string &nome, int tamanho,
                    const std::string &mensagemFalha) {
  const int32_t canal = CanalComandoDllG2();
  DLLG2_LimpaParams(canal);
  DLLG2_AdicionaParam(canal, leitura.parametro, nome.c_str(), DLLG2_TEXTO);
  RetornoDllG2 = DLLG2_ExecutaComando(canal, leitura.comando);
  if (RetornoDllG2 <= 0) {
    Mensagem(mensagemFalha);
    return false;
  }
  RespostaDllG2 = Espacos(tamanho);
  RetornoDllG2 = DLLG2_Retorno(canal, 0, leitura.valorResposta, 0, RespostaDllG2.data(), tamanho);
  RespostaDllG2 = LeBuffer(RespostaDllG2);
  return true;
}

const char *const FALHA_COMUNICACAO = "Problemas de Comunicação com ECF.";

}  // namespace

namespace tarvic {

int32_t dllG2_leInteiro(const std::string &nome) {
  if (!ExecutaLeitura({"LeInteiro", "NomeInteiro", "ValorInteiro"}, nome, 50, FALHA_COMUNICACAO))
    return 0;
  const int32_t valor = TextoParaInteiro(RespostaDllG2);
  ecf_Retorno = 1;
  return valor;
}

bool dllG2_leIndicador(const std::string &nome) {
  if (!ExecutaLeitura({"LeIndicador", "NomeIndicador", "ValorTextoIndicador"}, nome, 16,
                      "Problemas de Comunicação com ECF em \"dllG2_leIndicador\"."))
    return false;
  ecf_Retorno = 1;
  return RespostaDllG2 == "1";
}

DataHora dllG2_leData(const std::string &nome) {
  if (!ExecutaLeitura({"LeData", "NomeData", "ValorData"}, nome, 50, FALHA_COMUNICACAO)) return 0;
  const DataHora valor = TextoParaData(RespostaDllG2);
  ecf_Retorno = 1;
  return valor;
}

DataHora dllG2_leHora(const std::string &nome) {
  if (!ExecutaLeitura({"LeHora", "NomeHora", "ValorHora"}, nome, 50, FALHA_COMUNICACAO)) return 0;
  const DataHora valor = TextoParaHora(RespostaDllG2);
  ecf_Retorno = 1;
  return valor;
}

Moeda dllG2_leMoeda(const std::string &nome) {
  if (!ExecutaLeitura({"LeMoeda", "NomeDadoMonetario", "ValorMoeda"}, nome, 50,
                      "Falha de comunicação com ECF ao receber " + EntreAspas(nome) + "."))
    return 0;
  const Moeda valor = TextoParaValor(RespostaDllG2);
  ecf_Retorno = 1;
  return valor;
}

void dllG2_leTexto(std::string &valor, const std::string &nome, int tamanho) {
  valor.clear();
  // The driver is told the size of the buffer it gets, never more.
  if (tamanho < 0) tamanho = 0;
  if (!ExecutaLeitura({"LeTexto", "NomeTexto", "ValorTexto"}, nome, tamanho,
                      "Problemas de Comunicação com ECF ao receber " + EntreAspas(nome) + "."))
    return;
  valor = RespostaDllG2;
  ecf_Retorno = 1;
}

bool ContemBitsEstado(int32_t valor, int32_t mascara) {
  // Each pass takes away the first weight from 128 down to 1 that the value
  // reaches: its highest bit below 256, and 128 at a time above.
  while (mascara < valor) {
    if (valor >= 256) {
      // 128 at a time, down to below 256 or to the mask, in one step: a
      // garbage reply near 2^31 would otherwise take millions of passes.
      const int64_t acima256 = (static_cast<int64_t>(valor) - 255 + 127) / 128;
      const int64_t acimaMascara = (static_cast<int64_t>(valor) - mascara + 127) / 128;
      valor =
          static_cast<int32_t>(valor - 128 * (acima256 < acimaMascara ? acima256 : acimaMascara));
      continue;
    }
    int32_t peso = 128;
    while (peso > 1 && valor < peso) peso >>= 1;
    if (valor < peso) break;
    valor -= peso;
  }
  return valor == mascara;
}

bool ContemBitsIndicadores(int32_t valor, int32_t mascara) {
  for (int32_t peso = 32768; peso >= 1 && valor > mascara; peso >>= 1)
    if (valor >= peso) valor -= peso;
  return valor == mascara;
}

bool EstadoFiscalContem(int32_t mascara) {
  return ContemBitsEstado(dllG2_leInteiro("EstadoFiscal"), mascara);
}

bool IndicadoresContem(int32_t mascara) {
  return ContemBitsIndicadores(dllG2_leInteiro("Indicadores"), mascara);
}

}  // namespace tarvic

// ---- Routines of the Dataregis unit, always on CanalDllG2 ---------------------

namespace {

struct Parametro {
  const char *nome;
  const std::string &valor;
  int32_t tipo;
};

int32_t Executa(const char *comando, std::initializer_list<Parametro> parametros) {
  DLLG2_LimpaParams(CanalDllG2);
  for (const Parametro &p : parametros)
    if (!p.valor.empty()) DLLG2_AdicionaParam(CanalDllG2, p.nome, p.valor.c_str(), p.tipo);
  RetornoDllG2 = DLLG2_ExecutaComando(CanalDllG2, comando);
  if (RetornoDllG2 <= 0) return 1;
  CodErroDllG2 = DLLG2_ObtemCodErro(CanalDllG2);
  return CodErroDllG2;
}

int32_t LeValor(const char *comando, const char *parametro, const std::string &nome,
                const char *valorResposta, int tamanho, std::string &valor) {
  const int32_t codigo = Executa(comando, {{parametro, nome, DLLG2_TEXTO}});
  if (codigo != 0) return codigo;
  std::string buffer = Espacos(tamanho);
  RetornoDllG2 = DLLG2_Retorno(CanalDllG2, 0, valorResposta, 0, buffer.data(), tamanho);
  valor = LeBuffer(buffer);
  return 0;
}

}  // namespace

int32_t LeTexto(const std::string &nome, std::string &valor) {
  return LeValor("LeTexto", "NomeTexto", nome, "ValorTexto", 4000, valor);
}

int32_t LeData(const std::string &nome, std::string &valor) {
  return LeValor("LeData", "NomeData", nome, "ValorData", 10, valor);
}

int32_t LeHora(const std::string &nome, std::string &valor) {
  return LeValor("LeHora", "NomeHora", nome, "ValorHora", 8, valor);
}

int32_t LeImpressao(std::string &texto) {
  const int32_t codigo = Executa("LeImpressao", {});
  if (codigo != 0) return codigo;
  std::string buffer = Espacos(4000);
  RetornoDllG2 = DLLG2_Retorno(CanalDllG2, 0, "TextoImpressao", 0, buffer.data(), 4000);
  texto = buffer.substr(0, buffer.find('\0'));
  return 0;
}

bool PedacosDaImpressao::Aceita(const std::string &pedaco) {
  repeticoes_ = pedaco == anterior_ ? repeticoes_ + 1 : 0;
  if (repeticoes_ == 0) anterior_ = pedaco;
  total_ += pedaco.size();
  return repeticoes_ < repeticoesMaximas_ && total_ <= totalMaximo_;
}

int32_t EmiteLeituraMF(const std::string &dataInicial, const std::string &dataFinal,
                       const std::string &reducaoInicial, const std::string &reducaoFinal,
                       const std::string &destino, const std::string &leituraSimplificada,
                       const std::string &operador) {
  DefineTimeoutDllG2(180);
  const int32_t codigo =
      Executa("EmiteLeituraMF", {{"DataInicial", dataInicial, DLLG2_DATA},
                                 {"DataFinal", dataFinal, DLLG2_DATA},
                                 {"ReducaoInicial", reducaoInicial, DLLG2_INTEIRO},
                                 {"ReducaoFinal", reducaoFinal, DLLG2_INTEIRO},
                                 {"Destino", destino, DLLG2_TEXTO},
                                 {"LeituraSimplificada", leituraSimplificada, DLLG2_INDICADOR},
                                 {"Operador", operador, DLLG2_TEXTO}});
  DefineTimeoutDllG2(10);
  return codigo;
}

int32_t EmiteLeituraFitaDetalhe(const std::string &dataInicial, const std::string &dataFinal,
                                const std::string &cooInicial, const std::string &cooFinal,
                                const std::string &destino, const std::string &proprietario,
                                const std::string &tipoDocumento) {
  DefineTimeoutDllG2(180);
  const int32_t codigo =
      Executa("EmiteLeituraFitaDetalhe", {{"DataInicial", dataInicial, DLLG2_DATA},
                                          {"DataFinal", dataFinal, DLLG2_DATA},
                                          {"COOInicial", cooInicial, DLLG2_INTEIRO},
                                          {"COOFinal", cooFinal, DLLG2_INTEIRO},
                                          {"Destino", destino, DLLG2_TEXTO},
                                          {"Proprietario", proprietario, DLLG2_INTEIRO},
                                          {"TipoDocumento", tipoDocumento, DLLG2_TEXTO}});
  DefineTimeoutDllG2(10);
  return codigo;
}

void DefineTimeoutDllG2(int32_t valor) {
  DLLG2_DefineTimeout(CanalDllG2, valor);
}
