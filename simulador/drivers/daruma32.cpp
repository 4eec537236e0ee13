// DARUMA32 substituto (DARUMA) sobre a impressora simulada. Quase tudo que o
// PDV lê deste driver vem de Daruma_FIMFD_RetornaInformacao, por índice.
#define SIM_BIBLIOTECA_DARUMA32 1
#include "geracao.h"

#include "comum.h"
#include "texto.h"

using namespace tarvic::simulador;
using namespace tarvic::simulador::substituto;

namespace {
namespace Sim {

#define SIM_FABRICANTE "DARUMA"
#define SIM_FAMILIA Familia::Daruma
#include "preambulo_fi.h"

// ---- porta, configuração, presença, status ----

int32_t Daruma_FI_AbrePortaSerial() {
  Driver().Reinicia();
  return 1;
}

int32_t Daruma_FI_FechaPortaSerial() {
  return 1;
}

// Configurações guardadas pelo próprio driver: nada na impressora.
int32_t Daruma_Registry_AlterarRegistry(const char*, const char*, const char*) {
  return 1;
}

int32_t Daruma_Registry_SintegraPath(const char*) {
  return 1;
}

int32_t Daruma_Registry_AplMensagem1(const char*) {
  return 1;
}

int32_t Daruma_Registry_AplMensagem2(const char*) {
  return 1;
}

int32_t Daruma_Registry_VendeItemUmaLinha(const char*) {
  return 1;
}

int32_t Daruma_FI_VerificaImpressoraLigada() {
  return Driver().Aceita();
}

int32_t Daruma_FI_RetornoImpressora(int32_t* ack, int32_t* st1, int32_t* st2) {
  return Driver().RetornoImpressora(ack, st1, st2);
}

int32_t Daruma_FI_StatusCupomFiscal(char* status) {
  return Driver().StatusDocumento(status, TipoDocumento::CupomFiscal);
}

int32_t Daruma_FI_StatusRelatorioGerencial(char* status) {
  return Driver().StatusDocumento(status, TipoDocumento::RelatorioGerencial);
}

int32_t Daruma_FI_StatusComprovanteNaoFiscalVinculado(char* status) {
  return Driver().StatusDocumento(status, TipoDocumento::ComprovanteVinculado);
}

int32_t Daruma_FI_FechaRelatorioGerencial() {
  return Driver().FechaRelatorio();
}

int32_t Daruma_FI_FechaComprovanteNaoFiscalVinculado() {
  return Driver().FechaVinculado();
}

int32_t Daruma_FI_AcionaGaveta() {
  return Driver().AcionaGaveta();
}

// ---- cupom fiscal ----

int32_t Daruma_FI_AbreCupom(const char* cpf) {
  return Driver().AbreCupom(cpf);
}

int32_t Daruma_FI_UsaUnidadeMedida(const char* unidade) {
  const int32_t codigo = Driver().Aceita();
  if (codigo == 1) Driver().UsaUnidade(unidade);
  return codigo;
}

// O último campo leva o desconto com sinal: positivo é desconto ("03,50"),
// negativo é acréscimo ("-05,00"); com "%", o percentual escrito.
int32_t Daruma_FI_VendeItem(const char* codigo, const char* descricao, const char* aliquota,
                            const char*, const char* quantidade, int32_t, const char* valorunitario,
                            const char* tipoacrescimo, const char* acrescimo) {
  Ajuste ajuste;
  if (!Driver().LeAjuste(tipoacrescimo, acrescimo, false, ajuste))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  return Driver().VendeItem(codigo, descricao, aliquota, quantidade, valorunitario, ajuste);
}

int32_t Daruma_FI_CancelaItemGenerico(const char* item) {
  return Driver().CancelaItem(item);
}

int32_t Daruma_FI_CancelaCupom() {
  return Driver().CancelaCupom();
}

int32_t Daruma_FI_IniciaFechamentoCupom(const char* acrescimodesconto, const char* tipo,
                                        const char* valor) {
  return Driver().IniciaFechamento(acrescimodesconto, tipo, valor);
}

int32_t Daruma_FI_EfetuaFormaPagamento(const char* formapagamento, const char* valor) {
  return Driver().EfetuaPagamento(formapagamento, valor);
}

int32_t Daruma_FI_TerminaFechamentoCupom(const char* mensagem) {
  return Driver().TerminaFechamento(mensagem);
}

int32_t Daruma_FI_SubTotal(char* subtotal) {
  return Driver().LeSubtotal(subtotal);
}

// ---- consultas ----

int32_t Daruma_FI_NumeroCaixa(char* numero) {
  return Driver().Le(numero, Digitos(Ecf().identificacao().numeroCaixa, 4));
}

int32_t Daruma_FI_NumeroCupom(char* numero) {
  return Driver().Le(numero, Digitos(Ecf().contadores().coo, 6));
}

int32_t Daruma_FI_GrandeTotal(char* total) {
  return Driver().LeGrandeTotal(total);
}

int32_t Daruma_FI_DataHoraImpressora(char* data, char* hora) {
  return Driver().LeDataHora(data, hora);
}

int32_t Daruma_FIMFD_CodigoModeloFiscal(char* codigo) {
  return Driver().Le(codigo, "010101");
}

// ---- documentos não fiscais ----

// O totalizador pelo nome ou pelo índice ("01".."50").
int32_t Daruma_FI_RecebimentoNaoFiscal(const char* totalizador, const char* valor,
                                       const char* formapagamento) {
  const std::string t = apara(Texto(totalizador));
  int64_t indice = 0;
  const bool porIndice = !t.empty() && t.size() <= 2 && LeInteiro(t, indice);
  return Driver().Recebimento(porIndice ? TotalizadorDoIndice(Ecf(), indice) : t, valor,
                              formapagamento);
}

int32_t Daruma_FI_NomeiaTotalizadorNaoSujeitoIcms(int32_t indice, const char* nome) {
  return Driver().NomeiaTotalizador(indice, nome);
}

int32_t Daruma_FI_Suprimento(const char* valor, const char* formapagamento) {
  return Driver().Suprimento(valor, formapagamento);
}

int32_t Daruma_FI_Sangria(const char* valor) {
  return Driver().Sangria(valor);
}

int32_t Daruma_FI_AbreComprovanteNaoFiscalVinculado(const char* formapagamento,
                                                    const char* valor, const char* coo) {
  return Driver().AbreVinculado(formapagamento, valor, coo);
}

int32_t Daruma_FI_UsaComprovanteNaoFiscalVinculado(const char* texto) {
  return Driver().UsaVinculado(texto);
}

// ---- programação ----

// A lista inteira, cada forma terminada por ";"; as já programadas ficam como
// estão, as novas aceitam comprovante vinculado. O texto depois do último ";"
// também é uma forma.
int32_t Daruma_FI_ProgramaFormasPagamento(const char* formas) {
  ImpressoraFiscal& e = Ecf();
  const std::string lista = Texto(formas);
  if (apara(lista).empty())
    return Driver().Codigo(e.ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  Resultado r = Resultado::Ok;
  std::size_t inicio = 0;
  while (inicio <= lista.size() && r == Resultado::Ok) {
    std::size_t fim = lista.find(';', inicio);
    if (fim == std::string::npos) fim = lista.size();
    const std::string nome = apara(lista.substr(inicio, fim - inicio));
    if (!nome.empty()) r = e.programaFormaPagamento(nome, true);
    inicio = fim + 1;
  }
  return Driver().Codigo(r);
}

// ---- relatórios gerenciais ----

// 20 nomes de 15 colunas, cada um seguido de ",".
int32_t Daruma_FIMFD_VerificaRelatoriosGerenciais(char* relatorios) {
  std::string lista;
  for (int i = 1; i <= 20; ++i) {
    std::string nome;
    for (const RelatorioGerencial& r : Ecf().relatoriosGerenciais())
      if (r.indice == i) nome = r.nome;
    nome.resize(15, ' ');
    lista += nome + ",";
  }
  return Driver().Le(relatorios, lista);
}

// O nome vai para o primeiro índice livre.
int32_t Daruma_FIMFD_ProgramaRelatoriosGerenciais(const char* nome) {
  return Driver().Codigo(Ecf().nomeiaRelatorioGerencial(0, Texto(nome)));
}

int32_t Daruma_FIMFD_AbreRelatorioGerencial(const char* nome) {
  return Driver().Codigo(Ecf().abreRelatorioGerencialPorNome(apara(Texto(nome))));
}

int32_t Daruma_FI_RelatorioGerencial(const char* texto) {
  return Driver().ImprimeRelatorio(texto);
}

// ---- o dia ----

int32_t Daruma_FI_LeituraX() {
  return Driver().LeituraX();
}

// Data e hora do computador: o driver não as usa, vale o relógio da impressora.
int32_t Daruma_FI_ReducaoZ(const char*, const char*) {
  return Driver().ReducaoZ();
}

int32_t Daruma_FI_ProgramaArredondamento() {
  return Driver().ProgramaArredondamento();
}

int32_t Daruma_FI_ProgramaHorarioVerao() {
  return Driver().AlternaHorarioVerao();
}

// ---- memória fiscal: completa ou simplificada pelo registro; impressa ou em RETORNO.TXT ----

bool& LeituraCompleta() {
  static bool completa = true;
  return completa;
}

int32_t Daruma_Registry_MFD_LeituraMFCompleta(const char* completa) {
  LeituraCompleta() = apara(Texto(completa)) == "1";
  return 1;
}

int32_t Daruma_FI_LeituraMemoriaFiscalData(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, LeituraCompleta());
}

int32_t Daruma_FI_LeituraMemoriaFiscalReducao(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, false, LeituraCompleta());
}

int32_t Daruma_FI_LeituraMemoriaFiscalSerialData(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, true, LeituraCompleta(), "RETORNO.TXT");
}

int32_t Daruma_FI_LeituraMemoriaFiscalSerialReducao(const char* inicio, const char* fim) {
  return Driver().LeituraMemoriaFiscal(inicio, fim, false, LeituraCompleta(), "RETORNO.TXT");
}

// Os dados da última redução (índice 140), 1164 colunas; sem redução, zeros.
std::string DadosReducao140(const ImpressoraFiscal& e) {
  std::string r(1164, '0');
  const DadosReducao* z = e.ultimaReducao();
  if (!z) return r;
  auto poe = [&r](std::size_t posicao, const std::string& texto) {
    r.replace(posicao - 1, texto.size(), texto);
  };
  auto campo = [](int64_t v, int largura) { return Digitos(v < 0 ? 0 : v, largura); };
  poe(1, Ddmmaaaa(z->dataMovimento));
  poe(9, campo(z->grandeTotal, 18));
  poe(27, campo(z->grandeTotal - z->vendaBruta, 18));  // o GT no início do dia
  poe(45, campo(z->descontosIcms, 14));
  poe(59, campo(z->descontosIss, 14));
  poe(73, campo(z->cancelamentosIcms, 14));
  poe(87, campo(z->cancelamentosIss, 14));
  poe(101, campo(z->acrescimosIcms, 14));
  poe(115, campo(z->acrescimosIss, 14));
  for (int k = 1; k <= 16; ++k) {
    int64_t total, percentual;
    char tipo;
    TotalDaAliquota(*z, k, total, percentual, tipo);
    poe(129 + 14 * (k - 1), campo(total, 14));
    // Tipo do índice: 1 ICMS, 2 ISS, 0 livre.
    poe(843 + 5 * (k - 1), percentual == 0 ? "0" : (tipo == 'S' ? "2" : "1"));
    poe(844 + 5 * (k - 1), campo(percentual, 4));
  }
  // Os primeiros de ICMS, os segundos de ISS.
  poe(353, campo(TotalFixo(*z, "F"), 14));
  poe(367, campo(TotalFixo(*z, "FS"), 14));
  poe(381, campo(TotalFixo(*z, "I"), 14));
  poe(395, campo(TotalFixo(*z, "IS"), 14));
  poe(409, campo(TotalFixo(*z, "N"), 14));
  poe(423, campo(TotalFixo(*z, "NS"), 14));
  poe(935, campo(z->coo, 6));
  poe(941, campo(z->crz, 4));
  poe(945, campo(z->cro, 4));
  return r;
}

int32_t Daruma_FIMFD_RetornaInformacao(const char* indice, char* buffer) {
  int64_t i = 0;
  if (!LeInteiro(Texto(indice), i))
    return Driver().Codigo(Ecf().ligada() ? Resultado::ParametroInvalido : Resultado::Desligada);
  const ImpressoraFiscal& e = Ecf();
  const Identificacao& id = e.identificacao();
  const Contadores& c = e.contadores();
  const DadosReducao* z = e.ultimaReducao();
  std::string resposta;
  switch (i) {
    case 23:
      resposta = Digitos(c.cro, 3);
      break;
    case 24:
      resposta = Digitos(c.crz, 4);
      break;
    case 28:
      resposta = Digitos(c.gnf, 6);
      break;
    case 30:
      resposta = Digitos(c.ccf, 6);
      break;
    case 33:
      resposta = Digitos(c.grg, 6);
      break;
    case 45:
      resposta = Digitos(c.cdc, 4);
      break;
    case 71:
      resposta = z ? Ddmmaaaa(z->dataMovimento) : std::string(8, '0');
      break;    // última redução
    case 74: {  // último documento, ddmmaaaahhmmss
      const DataHora d = e.dataHoraUltimoDocumento();
      resposta = d.valida() ? Ddmmaaaa(d) + Hhmmss(d) : std::string(14, '0');
      break;
    }
    case 73: {  // emissão da última redução, ddmmaaaahhmmss
      resposta = z ? Ddmmaaaa(z->dataHoraEmissao) + Hhmmss(z->dataHoraEmissao)
                   : std::string(14, '0');
      break;
    }
    // Série em 20 colunas e, na 21ª, a letra da memória fiscal adicional.
    case 78: {
      std::string serie = id.numeroSerie;
      serie.resize(20, ' ');
      resposta = serie + "N";
      break;
    }
    case 79:
      resposta = id.tipo;
      break;
    case 80:
      resposta = id.marca;
      break;
    case 81:
      resposta = id.modelo;
      break;
    case 83: {  // versão do software básico, só dígitos
      for (char ch : id.versaoFirmware)
        if (ch >= '0' && ch <= '9') resposta += ch;
      break;
    }
    case 85:
      resposta = Ddmmaaaa(GravacaoSoftwareBasico()) + Hhmmss(GravacaoSoftwareBasico());
      break;
    case 94:
      resposta = Digitos(id.numeroUsuario, 2);
      break;
    case 108:
      resposta = e.horarioVerao() ? "1" : "0";
      break;
    case 109:  // desconto em ISS permitido
      resposta = "0";
      break;
    // Dados da última redução Z, a começar pelo dia de movimento.
    case 140:
      resposta = DadosReducao140(e);
      break;
    default:
      // Índices que o PDV ainda não lê: a consulta é aceita sem resposta.
      return Driver().Aceita();
  }
  return Driver().Le(buffer, resposta);
}

}  // namespace Sim
}  // namespace

#define SIM_GERA SIM_GERA_EXPORTA
#include "drivers/funcoes.inc"
#undef SIM_GERA
#undef DRIVER
