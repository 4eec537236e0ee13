// The data of the last Z reduction, gathered from the printer into one file
// whose keys are the same for every manufacturer.
#include "Dataregis/dllg2.h"
#include "drivers/drivers.h"
#include "estado.h"
#include "fronteira.h"
#include "interno.h"
#include "plataforma.h"

namespace {

using namespace tarvic;

const char *const FALHA_DADOS_MFD = "Falha ao reconhecer dados da Última Redução Z do ECF-MFD.";

// Everything the file says besides the tax-rate slots; reset on every call.
struct DadosReducao {
  Moeda gt = 0, vndBruto = 0, vContabil = 0;
  Moeda cancIcm = 0, cancIss = 0, descIcm = 0, descIss = 0, acresIcm = 0, acresIss = 0;
  Moeda ff1 = 0, ff2 = 0, ii1 = 0, ii2 = 0, nn1 = 0, nn2 = 0;
  int32_t crz = 0, cro = 0, nReduc = 0;
  DataHora dtMovto = 0, dtEmissao = 0, versaoSbDt = 0;
  std::string versaoSb, mfAdicional, paramDescIss, info;
};

// ---- Cutting the drivers' answers ------------------------------------------------

// Characters [inicio, inicio + n) of an answer, counted from 1; what the
// answer does not have is left out.
std::string Trecho(const std::string &texto, size_t inicio, size_t n) {
  return inicio - 1 < texto.size() ? texto.substr(inicio - 1, n) : std::string();
}

// A buffer as the driver left it, up to its closing NUL, blanks kept.
std::string AteNul(const std::string &buffer) {
  return buffer.substr(0, buffer.find('\0'));
}

// Amount and rate fields count cents: 000000012345 is 123,45 and 1750 is
// 17,5. Kept to four decimals, half away from zero.
Moeda Centavos(const std::string &campo) {
  const Moeda valor = TextoParaValor(campo);
  Moeda q = valor / 100;
  const Moeda resto = valor % 100;
  if (resto >= 50) ++q;
  if (resto <= -50) --q;
  return q;
}

Moeda Valor(const std::string &resposta, size_t inicio, size_t n) {
  return Centavos(Trecho(resposta, inicio, n));
}

int32_t Contador(const std::string &resposta, size_t inicio, size_t n) {
  return TextoParaInteiro(Trecho(resposta, inicio, n));
}

// "dd/mm/yy[yy][ hh:nn[:ss]]" to a date-time.
DataHora TextoParaDataHora(const std::string &texto) {
  const std::string t = Aparar(texto);
  const size_t espaco = t.find(' ');
  if (espaco == std::string::npos) return TextoParaData(t);
  return TextoParaData(t.substr(0, espaco)) + TextoParaHora(t.substr(espaco + 1));
}

// ddmmyy (or ddmmyyyy with a year of four) to a date.
DataHora DataDe(const std::string &texto, size_t digitosAno = 2) {
  return TextoParaData(Trecho(texto, 1, 2) + "/" + Trecho(texto, 3, 2) + "/" +
                       Trecho(texto, 5, digitosAno));
}

// The two buffers ddmmyy and hhmmss of the FI drivers to a date-time.
DataHora DataHoraDe(const std::string &data, const std::string &hora) {
  const std::string d = LeBuffer(data), h = LeBuffer(hora);
  return TextoParaDataHora(Trecho(d, 1, 2) + "/" + Trecho(d, 3, 2) + "/" + Trecho(d, 5, 2) + " " +
                           Trecho(h, 1, 2) + ":" + Trecho(h, 3, 2) + ":" + Trecho(h, 5, 2));
}

// ddmmyyyyhhmmss, as DARUMA answers dates and times.
DataHora DataHoraDe14(const std::string &texto) {
  const std::string t = LeBuffer(texto);
  return TextoParaDataHora(Trecho(t, 1, 2) + "/" + Trecho(t, 3, 2) + "/" + Trecho(t, 5, 4) + " " +
                           Trecho(t, 9, 2) + ":" + Trecho(t, 11, 2) + ":" + Trecho(t, 13, 2));
}

// ---- The file ----------------------------------------------------------------------

// The shortest decimal text of an amount: 1234,5 or 100 or 0.
std::string ValorCurto(Moeda valor) {
  std::string texto = FormataValor(valor, 4);
  while (texto.back() == '0') texto.pop_back();
  if (texto.back() == ',') texto.pop_back();
  return texto;
}

std::string TextoData(DataHora valor) {
  return FormataDataHora("dd/mm/yyyy", valor);
}

// The date, and the time only when it is not midnight.
std::string TextoDataHora(DataHora valor) {
  int hora, minuto, segundo;
  DecodificaHora(valor, hora, minuto, segundo);
  if (hora == 0 && minuto == 0 && segundo == 0) return TextoData(valor);
  return TextoData(valor) + " " + FormataDataHora("hh:nn:ss", valor);
}

class ArquivoReducao {
 public:
  explicit ArquivoReducao(const std::string &arquivo) : arquivo_(arquivo) {}

  // An empty text is not written at all (AcessaIni).
  void Texto(const std::string &chave, const std::string &valor) const {
    AcessaIni(arquivo_, "REDUCZ", chave, valor);
  }
  void Valor(const std::string &chave, Moeda valor) const { Texto(chave, ValorCurto(valor)); }
  void Inteiro(const std::string &chave, int32_t valor) const {
    Texto(chave, std::to_string(valor));
  }

  // One rate slot as the MFD layouts of BEMATECH, SWEDA and ELGIN give it.
  void Tributo(int n, const std::string &tipo, Moeda total, Moeda aliquota) const {
    const std::string i = std::to_string(n);
    Texto("TTRIBUTO" + i, tipo);
    Valor("VTRIBUTO" + i, total);
    Valor("TRIBUTO" + i, aliquota);
  }

 private:
  std::string arquivo_;
};

// The slots a printer keeps, numbered from 1, and the "N" entry after the last.
// Every total counts in the gross sales, kept or not.
void GravaSlotsMantidos(const ArquivoReducao &saida, DadosReducao &d, const Moeda (&totais)[16],
                        const Moeda (&aliquotas)[16], bool soPositivos) {
  int n = 0;
  for (int k = 0; k < 16; ++k) {
    d.vndBruto += totais[k];
    if (soPositivos ? totais[k] > 0 : totais[k] != 0)
      saida.Tributo(++n, "I", totais[k], aliquotas[k]);
  }
  saida.Texto("TTRIBUTO" + std::to_string(n + 1), "N");
}

// The answer of 1278 characters of the MFD drivers (BEMATECH, SWEDA, ELGIN).
void CortaMfd(const std::string &r, DadosReducao &d, Moeda (&totais)[16], Moeda (&aliquotas)[16]) {
  d.cro = Contador(r, 4, 4);
  d.crz = Contador(r, 9, 4);
  d.nReduc = Contador(r, 14, 6);
  d.gt = Valor(r, 316, 18);
  for (size_t k = 0; k < 16; ++k) {
    totais[k] = Valor(r, 335 + 14 * k, 14);
    aliquotas[k] = Valor(r, 1208 + 4 * k, 4);
  }
  d.ii1 = Valor(r, 560, 14);
  d.nn1 = Valor(r, 575, 14);
  d.ff1 = Valor(r, 590, 14);
  d.descIcm = Valor(r, 650, 14);
  d.cancIcm = Valor(r, 710, 14);
}

// The gross sales of the FI drivers leave out what sold outside the rates.
void SomaForaDasAliquotas(DadosReducao &d) {
  d.vndBruto += d.ii1 + d.ff1 + d.nn1 + d.cancIcm + d.descIcm;
}

// ---- Per manufacturer: false when the printer's data could not be had ---------------

bool ReducaoBematech(const ArquivoReducao &saida, DadosReducao &d) {
  std::string data = Espacos(6), hora = Espacos(6);
  GuardaRetorno(Bematech_FI_DataHoraReducao(data.data(), hora.data()));
  if (VerificaRetorno(true))
    d.dtEmissao = DataHoraDe(data, hora);
  else
    Mensagem("Falha ao identificar data/hora da última emissão da Redução Z.");

  Moeda totais[16], aliquotas[16];
  if (EstadoEcf.TipoMfd) {
    std::string dados = Espacos(1278);
    GuardaRetorno(Bematech_FI_DadosUltimaReducaoMFD(dados.data()));
    if (!VerificaRetorno(true)) {
      Mensagem(FALHA_DADOS_MFD);
      return false;
    }
    CortaMfd(dados, d, totais, aliquotas);
    d.dtMovto = DataDe(Trecho(dados, 1273, 6));
    // Every slot, empty ones included.
    for (int k = 0; k < 16; ++k) {
      saida.Tributo(k + 1, "I", totais[k], aliquotas[k]);
      d.vndBruto += totais[k];
    }
    saida.Texto("TTRIBUTO17", "N");

    std::string versao = Espacos(6);
    GuardaRetorno(Bematech_FI_VersaoFirmwareMFD(versao.data()));
    d.versaoSb = AteNul(versao);

    std::string usuario = Espacos(20), gravacao = Espacos(20), mfAdicional = " ";
    GuardaRetorno(Bematech_FI_DataHoraGravacaoUsuarioSWBasicoMFAdicional(
        usuario.data(), gravacao.data(), mfAdicional.data()));
    if (VerificaRetorno(true)) d.versaoSbDt = TextoParaDataHora(LeBuffer(gravacao));
  } else {
    std::string reducoes = Espacos(4);
    GuardaRetorno(Bematech_FI_NumeroReducoes(reducoes.data()));
    if (VerificaRetorno(true))
      d.crz = TextoParaInteiro("0" + LeBuffer(reducoes));
    else
      Mensagem("Falha ao identificar o número de reduções já emitidos.");

    std::string dados = Espacos(631);
    GuardaRetorno(Bematech_FI_DadosUltimaReducao(dados.data()));
    if (!VerificaRetorno(true)) {
      Mensagem("Falha ao capturar dados da Última Redução Z do ECF.");
      return false;
    }
    d.gt = Valor(dados, 4, 18);
    d.cancIcm = Valor(dados, 23, 14);
    d.descIcm = Valor(dados, 38, 14);
    for (size_t k = 0; k < 16; ++k) {
      aliquotas[k] = Valor(dados, 53 + 4 * k, 4);
      totais[k] = Valor(dados, 118 + 14 * k, 14);
    }
    d.ii1 = Valor(dados, 342, 14);
    d.nn1 = Valor(dados, 356, 14);
    d.ff1 = Valor(dados, 370, 14);
    d.nReduc = Contador(dados, 579, 6);
    d.dtMovto = DataDe(Trecho(dados, 596, 6));
    GravaSlotsMantidos(saida, d, totais, aliquotas, false);
  }
  SomaForaDasAliquotas(d);
  return true;
}

bool ReducaoSweda(const ArquivoReducao &saida, DadosReducao &d) {
  std::string movimento = Espacos(6);
  GuardaRetorno(ECF_DataMovimentoUltimaReducaoMFD(movimento.data()));
  d.dtMovto = DataDe(LeBuffer(movimento));

  // The driver's code for the date of printing is of no use: a date that does
  // not convert is replaced by the computer's.
  std::string data = Espacos(6), hora = Espacos(6);
  ECF_DataHoraReducao(data.data(), hora.data());
  try {
    d.dtEmissao = DataHoraDe(data, hora);
  } catch (const ErroConversao &) {
    d.dtEmissao = Agora();
  }

  std::string dados = Espacos(1278);
  GuardaRetorno(ECF_DadosUltimaReducaoMFD(dados.data()));
  if (LeBuffer(dados).empty()) {
    Mensagem("Falha ao receber os dados da Última Redução Z do ECF.");
    return false;
  }
  if (!VerificaRetorno(true)) {
    Mensagem(std::string(FALHA_DADOS_MFD) + "\nRetorno ECF: " + std::to_string(ecf_Retorno));
    return false;
  }
  Moeda totais[16], aliquotas[16];
  CortaMfd(dados, d, totais, aliquotas);
  GravaSlotsMantidos(saida, d, totais, aliquotas, true);

  std::string usuario = Espacos(20), gravacao = Espacos(20), mfAdicional = Espacos(5);
  GuardaRetorno(ECF_DataHoraGravacaoUsuarioSWBasicoMFAdicional(usuario.data(), gravacao.data(),
                                                               mfAdicional.data()));
  d.versaoSbDt = TextoParaDataHora(AteNul(gravacao));
  SomaForaDasAliquotas(d);
  return true;
}

// DARUMA answers everything through one function, by index.
std::string LeDaruma(const char *indice, int tamanho) {
  std::string buffer = Espacos(tamanho);
  GuardaRetorno(Daruma_FIMFD_RetornaInformacao(indice, buffer.data()));
  return buffer;
}

// One character of an answer; a NUL there is no character.
std::string Caractere(const std::string &resposta, size_t posicao) {
  return AteNul(Trecho(resposta, posicao, 1));
}

bool ReducaoDaruma(const ArquivoReducao &saida, DadosReducao &d) {
  d.versaoSb = AteNul(LeDaruma("83", 6));
  d.versaoSbDt = DataHoraDe14(LeDaruma("85", 14));
  const std::string reducoes = LeDaruma("24", 4);
  if (ecf_Retorno == 1) d.crz = TextoParaInteiro(LeBuffer(reducoes));
  const std::string reinicios = LeDaruma("23", 3);
  if (VerificaRetorno(true)) d.cro = TextoParaInteiro(LeBuffer(reinicios));
  const std::string serie = LeDaruma("78", 21);
  if (VerificaRetorno(true)) d.mfAdicional = Caractere(serie, 21);
  const std::string emissao = LeDaruma("73", 14);
  if (VerificaRetorno(true)) d.dtEmissao = DataHoraDe14(emissao);
  const std::string descontoIss = LeDaruma("109", 1);
  if (VerificaRetorno(true)) d.paramDescIss = Caractere(descontoIss, 1);

  const std::string r = LeDaruma("140", 1164);
  if (!VerificaRetorno(true)) {
    Mensagem("Falha ao gerar os dados da última Redução Z.");
    return false;
  }
  d.dtMovto = DataDe(r, 4);
  d.gt = Valor(r, 9, 18);
  d.vndBruto = d.gt - Valor(r, 27, 18);
  d.descIcm = Valor(r, 45, 14);
  d.descIss = Valor(r, 59, 14);
  d.cancIcm = Valor(r, 73, 14);
  d.cancIss = Valor(r, 87, 14);
  d.acresIcm = Valor(r, 101, 14);
  d.acresIss = Valor(r, 115, 14);
  d.ff1 = Valor(r, 353, 14);
  d.ff2 = Valor(r, 367, 14);
  d.ii1 = Valor(r, 381, 14);
  d.ii2 = Valor(r, 395, 14);
  d.nn1 = Valor(r, 409, 14);
  d.nn2 = Valor(r, 423, 14);
  d.nReduc = Contador(r, 935, 6);
  for (size_t k = 0; k < 16; ++k) {
    const std::string tipo = Trecho(r, 843 + 5 * k, 1);
    const std::string n = std::to_string(k + 1);
    saida.Texto("TTRIBUTO" + n, tipo == "1" ? "I" : tipo == "2" ? "S" : "N");
    saida.Valor("TRIBUTO" + n, Valor(r, 844 + 5 * k, 4));
    saida.Valor("VTRIBUTO" + n, Valor(r, 129 + 14 * k, 14));
  }
  d.info = AteNul(r);
  return true;
}

bool ReducaoElgin(const ArquivoReducao &saida, DadosReducao &d) {
  std::string movimento = Espacos(6);
  GuardaRetorno(Elgin_DataMovimentoUltimaReducaoMFD(movimento.data()));
  d.dtMovto = DataDe(LeBuffer(movimento));

  std::string dados = Espacos(1278);
  GuardaRetorno(Elgin_DadosUltimaReducaoMFD(dados.data()));
  if (!VerificaRetorno(true)) {
    Mensagem(FALHA_DADOS_MFD);
    return false;
  }
  Moeda totais[16], aliquotas[16];
  CortaMfd(dados, d, totais, aliquotas);
  GravaSlotsMantidos(saida, d, totais, aliquotas, true);

  std::string data = Espacos(6), hora = Espacos(6);
  Elgin_DataHoraSoftwareBasico(data.data(), hora.data());
  d.versaoSbDt = DataHoraDe(data, hora);
  SomaForaDasAliquotas(d);
  return true;
}

// The printer's tax type of a slot: T (ICMS) or S (ISS); anything else is a
// damaged answer that must not reach the file as a tax type.
std::string TipoDataregis(char tipo) {
  if (tipo == 'T') return "I";
  if (tipo == 'S') return "S";
  MensagemErro("Tipo de tributo inválido: " + std::string(1, tipo));
}

void ReducaoDataregis(const ArquivoReducao &saida, DadosReducao &d) {
  std::string texto;
  dllG2_leTexto(texto, "VersaoSW", 50);
  d.versaoSb = Aparar(texto);
  d.crz = dllG2_leInteiro("CRZ");
  const std::string reducao = "[" + std::to_string(d.crz) + "]";
  d.cro = dllG2_leInteiro("ContadorReinicioReducao" + reducao);
  dllG2_leTexto(texto, "DadosUltimaReducaoZ", 1000);
  const std::string r = Aparar(texto);
  d.info = r;
  if (r.size() == 468) {
    d.gt = Valor(r, 3, 18);
    d.cancIcm = Valor(r, 21, 14);
    d.descIcm = Valor(r, 35, 14);
    d.cancIss = Valor(r, 49, 14);
    d.acresIcm = Valor(r, 63, 14);
    d.vndBruto = Valor(r, 77, 14);
    for (size_t k = 0; k < 16; ++k) {
      const std::string n = std::to_string(k + 1);
      saida.Valor("TRIBUTO" + n, Valor(r, 91 + 4 * k, 4));
      saida.Valor("VTRIBUTO" + n, Valor(r, 155 + 14 * k, 14));
      saida.Texto("TTRIBUTO" + n, TipoDataregis(r[378 + k]));
    }
    saida.Texto("TTRIBUTO17", "N");
    d.ff1 = Valor(r, 395, 14);
    d.ii1 = Valor(r, 409, 14);
    d.nn1 = Valor(r, 423, 14);
    const std::string numero = Trecho(r, 451, 6);
    if (numero.find_first_not_of("0123456789") != std::string::npos)
      throw ErroConversao("'" + numero + "' não é um valor inteiro válido");
    d.nReduc = TextoParaInteiro(numero);
    d.dtMovto = DataDe(Trecho(r, 463, 6));
  } else {
    d.dtMovto = dllG2_leData("DataReducao" + reducao);
    Mensagem(
        "Falha ao reconhecer dados da última redução no ECF.\nIsso precisa ser informado ao "
        "Suporte Técnico para urgente reparo.");
  }
  d.dtEmissao =
      TextoParaDataHora(TextoData(d.dtMovto) + " " +
                        FormataDataHora("hh:nn:ss", dllG2_leHora("HoraReducao" + reducao)));
}

void GravaDados(const ArquivoReducao &saida, DadosReducao &d) {
  d.vContabil =
      d.vndBruto - d.cancIcm - d.cancIss - d.descIcm - d.descIss + d.acresIcm + d.acresIss;
  saida.Texto("VERSAOSBDT", TextoDataHora(d.versaoSbDt));
  saida.Texto("DTEMISSAO", TextoDataHora(d.dtEmissao));
  saida.Valor("GT", d.gt);
  saida.Valor("VNDBRUTO", d.vndBruto);
  saida.Valor("VCONTABIL", d.vContabil);
  saida.Valor("CANC_ICM", d.cancIcm);
  saida.Valor("CANC_ISS", d.cancIss);
  saida.Valor("DESC_ICM", d.descIcm);
  saida.Valor("DESC_ISS", d.descIss);
  saida.Valor("ACRES_ICM", d.acresIcm);
  saida.Valor("ACRES_ISS", d.acresIss);
  saida.Inteiro("NREDUC", d.nReduc);
  saida.Texto("DTMOVTO", TextoData(d.dtMovto));
  saida.Valor("FF1_ICM", d.ff1);
  saida.Valor("FF2_ICM", d.ff2);
  saida.Valor("II1_ICM", d.ii1);
  saida.Valor("II2_ICM", d.ii2);
  saida.Valor("NN1_ICM", d.nn1);
  saida.Valor("NN2_ICM", d.nn2);
  saida.Inteiro("CRZ", d.crz);
  saida.Inteiro("CRO", d.cro);
  saida.Texto("VERSAOSB", d.versaoSb);
  saida.Texto("MFADICIONAL", d.mfAdicional);
  saida.Texto("PARAMDESCISS", d.paramDescIss);
  saida.Texto("NSERIAL", EstadoEcf.NumeroSerie);
  saida.Inteiro("NCAIXA", EstadoEcf.NumeroCaixa);
  saida.Texto("MODELO", EstadoEcf.Modelo);
  saida.Texto("NUSUARIO", EstadoEcf.NumeroUsuario);
  saida.Texto("DATA/HORA", TextoDataHora(ecf_DataHora()));
  saida.Texto("INFO", d.info);
}

// reduc_YYMMDD.txt beside the working file, YY being the year less 2000.
std::string NomeFinal(const std::string &arquivo, DataHora movimento) {
  const std::string pasta = Aparar(PastaDoCaminho(arquivo));
  if (pasta.empty()) throw ErroEntradaSaida("'" + arquivo + "' não tem pasta");
  int ano, mes, dia;
  DecodificaData(movimento, ano, mes, dia);
  return IncluiSeparador(pasta) + "reduc_" + std::to_string(ano - 2000) + FormataInteiro(mes, 2) +
         FormataInteiro(dia, 2) + ".txt";
}

bool MesmoArquivo(const std::string &a, const std::string &b) {
  // Windows names do not tell upper from lower case.
  return plataforma::Separador == '\\' ? Maiusculas(a) == Maiusculas(b) : a == b;
}

}  // namespace

namespace tarvic {

bool ecf_PegaDadosUltReducao(const std::string &arquivo, const std::string &) {
  // A file that could never be written is told before the printer is asked.
  const std::string pasta = PastaDoCaminho(arquivo);
  if (!pasta.empty() && !plataforma::PastaExiste(pasta)) {
    FalhaArquivo("A pasta \"" + pasta + "\" do arquivo da Redução Z não existe.");
    return false;
  }
  ApagaArquivo(arquivo);
  DadosReducao dados;
  if (ecf_GtAtu() == 0) return false;
  // Called for what they leave in EstadoEcf and in the return file.
  ecf_CodigoModeloFiscal();
  ecf_NumeroCaixa();
  ecf_NumeroSerial();
  ecf_Modelo();
  try {
    const ArquivoReducao saida(arquivo);
    bool obtidos = true;
    switch (EstadoEcf.Fabricante) {
      case BEMATECH:
        obtidos = ReducaoBematech(saida, dados);
        break;
      case SWEDA:
        obtidos = ReducaoSweda(saida, dados);
        break;
      case DARUMA:
        obtidos = ReducaoDaruma(saida, dados);
        break;
      case ELGIN:
        obtidos = ReducaoElgin(saida, dados);
        break;
      case DATAREGIS:
        ReducaoDataregis(saida, dados);
        break;
      default:
        return true;  // these printers keep no such data
    }
    // A refused date of printing alone does not make a file: without the
    // data there is nothing to report as done.
    if (!obtidos) return false;
    GravaDados(saida, dados);
    const std::string nomeFinal = NomeFinal(arquivo, dados.dtMovto);
    // A working file already named as the final one is the final file.
    if (!MesmoArquivo(nomeFinal, arquivo)) {
      // A final file that cannot be removed still holds an earlier call's
      // data: the new data stay in the working file and nothing is done.
      if (!ApagaArquivo(nomeFinal) || !plataforma::MoveArquivo(arquivo, nomeFinal)) {
        FalhaArquivo("Não foi possível substituir o arquivo \"" + nomeFinal + "\"." +
                     SeTexto(plataforma::ArquivoExiste(arquivo),
                             "\nOs dados da Redução Z ficaram em \"" + arquivo + "\".", ""));
        return false;
      }
    }
    return plataforma::ArquivoExiste(nomeFinal);
  } catch (...) {
    Mensagem("Falha ao verificar os dados da Última Redução Z.");
    return false;
  }
}

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_PegaDadosUltReducao(const char *arquivo, const char *texto) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, arquivo, texto), false, [&] {
    return tarvic::ecf_PegaDadosUltReducao(Texto(arquivo), Texto(texto));
  });
}

}  // extern "C"
