// PAF-ECF electronic files: MFD downloads and signed MFD files, the Ato
// Cotepe 17/04 and Sintegra files.
#include <vector>

#include "Dataregis/dllg2.h"
#include "drivers/drivers.h"
#include "estado.h"
#include "fronteira.h"
#include "interno.h"
#include "plataforma.h"

namespace tarvic {

// Full paths of the files of a folder that match the mask, in the order the
// system's search gives them; subfolders in turn when recursive.
void ListaArquivos(const std::string &pasta, bool recursivo, const std::string &mascara,
                   std::vector<std::string> &lista);
// Printer text of a DATAREGIS reading as a file keeps it: CR LF line ends,
// lines of at most 48 characters, no printer commands.
std::string AjustaTextoImpressao(const std::string &texto);
// DATAREGIS detail reading (electronic journal) written to a file, replacing
// it; a DLLG2 code, 0 when the whole reading was written.
int32_t GravaLeituraFitaDetalhe(const std::string &arquivo, const std::string &dataInicial,
                                const std::string &dataFinal, const std::string &cooInicial,
                                const std::string &cooFinal, const std::string &proprietario,
                                const std::string &tipoDocumento);
bool ecf_GeraSintegra(const std::string &arquivo, DataHora dataInicial, DataHora dataFinal,
                      const std::string (&textos)[10]);

// Signing material of the PAF-ECF files that the BEMATECH driver signs: the
// application's RSA key (PEM body without its header lines, CR LF between
// lines) and its modulus in hexadecimal. This key was made for this library
// alone; a software house ships the key registered for its own program.
const std::string &ChaveAssinaturaPafEcf() {
  static const std::string chave =
      "MIICWgIBAAKBgQDFITlFx980FEkyzOni//VzmJKOilaZnZOC0UiYFwnGYvJa4Uuu\r\n"
      "NkjKJSRYmdZ2tF5HsoADNa0mjTUoxFCdugOo6Cf1epvQUyUSOHi1ympRGZaHjTdY\r\n"
      "rp89UL+HyYws2wcprfTAE8oNT7PjjewkcZIvkv1iSXhgD+tY6/ahHHRcZQIDAQAB\r\n"
      "AoGALWqhIlWRNBN0ZdLWE+l6qF4/bb2rhArM4HfNLNUp+F31jkCXyhRRotj5zbvr\r\n"
      "sD+P9R7H5XVpZhdkZvcLx7sCenEHbKSXvJ0i5/LqjhjWj6S5XrgNV0GaBrg6J4Fj\r\n"
      "V639K6TUiejTjt/n5ZXn5xGF+czTnOSoLe6fMc/cI8eljWECQQDugY47GcOL2mrY\r\n"
      "gKrotM9YMQ/8mwp3WUFrud9OwATB6827o7dfUPaSxckLquBQ7ypmPDMEYVQgUIUp\r\n"
      "BE1V1u+ZAkEA05a+H77Lm0Sq1i+aYVD9p/JwO7eQRcx/ZDgJByJ44cThDvM183gP\r\n"
      "RSGwRgpQ8CU6Mhr3AmfcKSoAuYDsRUdCrQJANV+UvrETS5bDVlPk61KbG/dOxo7D\r\n"
      "ltXIiBz+VhcueV8VmSoX/SKXK11LkmrY7AO5j0tld1N4igq64eTukYkZ8QI/Noym\r\n"
      "d4i49U6+vHmJU42N176pMLwiddxC+5N2wGAiyhH38+LABgTt6uTEjUobk84FMuXA\r\n"
      "yN395J7vkOOsBjBZAkBTlBf9ELPXfE6SM8vhkCRk+kgKjW8lmtk1N9009gH2Ff2f\r\n"
      "HFiPS/1VYyqHF05m/x5FTva8gOeOdQitVDdLiRqZ";
  return chave;
}

const std::string &ModuloAssinaturaPafEcf() {
  static const std::string modulo =
      "C5213945C7DF34144932CCE9E2FFF57398928E8A56999D9382D148981709C662F25AE14BAE3648CA252458"
      "99D676B45E47B2800335AD268D3528C4509DBA03A8E827F57A9BD05325123878B5CA6A511996878D3758AE"
      "9F3D50BF87C98C2CDB0729ADF4C013CA0D4FB3E38DEC2471922F92FD624978600FEB58EBF6A11C745C65";
  return modulo;
}

}  // namespace tarvic

namespace {

// Characters of a printed line of the DATAREGIS reports: the converted text
// breaks its lines at this width.
constexpr int LARGURA_LINHA = 48;
constexpr char ESC = 27;

// Line counter of AjustaTextoImpressao: a reading comes in chunks and a line
// may run from one chunk into the next.
int ContadorLinha = 0;

// A range whose start is a date (day/month/year); otherwise both ends are
// counters.
bool IntervaloDeDatas(const std::string &inicio) {
  return inicio.find('/') != std::string::npos;
}

// "dd/mm/yyyy" with an optional time after a blank; the time must be valid,
// only the day counts.
DataHora LeDataEHora(const std::string &texto) {
  const std::string t = Aparar(texto);
  const size_t espaco = t.find(' ');
  if (espaco == std::string::npos) return TextoParaData(t);
  TextoParaHora(Aparar(t.substr(espaco + 1)));
  return TextoParaData(t.substr(0, espaco));
}

std::string Barras(DataHora data) {
  return FormataDataHora("dd/mm/yyyy", data);
}

// ddmmyy with the year counted from 2000, as the CONVECF, ELGIN and DARUMA
// drivers take it.
std::string DiaMesAno2000(DataHora data) {
  int ano, mes, dia;
  DecodificaData(data, ano, mes, dia);
  return FormataInteiro(dia, 2) + FormataInteiro(mes, 2) + FormataInteiro(ano - 2000, 2);
}

// Text to integer where a blank text is no number either.
int32_t InteiroEstrito(const std::string &texto) {
  if (Aparar(texto).empty()) throw ErroConversao("'' não é um valor inteiro válido");
  return TextoParaInteiro(texto);
}

// Appends a chunk of a reading to its file, creating the file when missing.
void Acrescenta(const std::string &arquivo, const std::string &texto) {
  if (!plataforma::AcrescentaArquivo(arquivo, texto))
    throw ErroEntradaSaida("não foi possível gravar \"" + arquivo + "\"");
}

// The reading the printer has prepared, read in chunks until it has no more
// text, appended to the file (converted for DATAREGIS detail readings).
// Returns the code of the last read.
int32_t GravaImpressao(const std::string &arquivo, bool ajustar) {
  DefineTimeoutDllG2(120);
  int32_t codigo = 0;
  PedacosDaImpressao pedacos;
  try {
    for (;;) {
      std::string texto;
      codigo = LeImpressao(texto);
      // A reply buffer left as it was handed over (all blanks, no NUL) is no
      // text: without this the loop would never end on such a driver.
      if (codigo != 0 || texto.empty() || texto == Espacos(4000)) break;
      if (!pedacos.Aceita(texto)) {
        codigo = 1;  // a reading that never ended is no reading
        break;
      }
      Acrescenta(arquivo, ajustar ? tarvic::AjustaTextoImpressao(texto) : texto);
    }
  } catch (...) {
    DefineTimeoutDllG2(10);
    throw;
  }
  DefineTimeoutDllG2(10);
  return codigo;
}

// Messages of the negative codes of the DATAREGIS file generator.
std::string MensagemDoGerador(int32_t codigo) {
  static const char *const textos[] = {
      "Erro ao executar comando EmiteLeituraX.",
      " Erro ao executar comando EmiteLeituraMF.",
      " Erro ao executar comando EmiteLeituraFitaDetalhe.",
      "Comando Inexistente.",
      "Erro ao obter dados de impressão.",
      "Erro ao acessar o arquivo.",
      "Erro ao executar comando.Data inválida.",
      "Não existe redução executada na data informada.",
      "Modelo não permitido.",
      "Comando inválido.",
      "Biblioteca DLLG2.DLL não foi encontrada.",
      "Sem sinal de CTS.",
      "Nome do arquivo inválido.",
      "Data não permitida.",
      "Caminho de origem não permitido.",
      "Caminho de destino não permitido.",
      "Não permitido disponível.",
  };
  return codigo <= -1 && codigo >= -17 ? textos[-codigo - 1] : "";
}

// ---- The download, per manufacturer ------------------------------------------

bool DownloadMfd(const std::string &arquivo, const std::string &inicio, const std::string &fim) {
  const bool datas = IntervaloDeDatas(inicio);
  switch (EstadoEcf.Fabricante) {
    case BEMATECH: {
      if (!EstadoEcf.TipoMfd) {
        Mensagem("O modelo do ECF não dá suporte a este comando.");
        return false;
      }
      const std::string de = datas ? Barras(LeDataEHora(inicio)) : inicio;
      const std::string ate = datas ? Barras(LeDataEHora(fim)) : fim;
      GuardaRetorno(Bematech_FI_EspelhoMFD(
          arquivo.c_str(), de.c_str(), ate.c_str(), datas ? "D" : "C", "1",
          tarvic::ModuloAssinaturaPafEcf().c_str(), tarvic::ChaveAssinaturaPafEcf().c_str()));
      return VerificaRetorno(true);
    }
    case SWEDA:
    case ELGIN: {
      const std::string de = datas ? DiaMesAno2000(LeDataEHora(inicio)) : inicio;
      const std::string ate = datas ? DiaMesAno2000(LeDataEHora(fim)) : fim;
      const char *tipo = datas ? "1" : "2";
      const char *usuario = datas ? "" : "1";
      const int32_t codigo =
          EstadoEcf.Fabricante == SWEDA
              ? ECF_DownloadMFD(arquivo.c_str(), tipo, de.c_str(), ate.c_str(), usuario)
              : Elgin_DownloadMFD(arquivo.c_str(), tipo, de.c_str(), ate.c_str(), usuario);
      return codigo == 1;
    }
    case DARUMA:
      // The driver writes where its own settings say; the file is not its.
      return Daruma_FIMFD_DownloadDaMFD(inicio.c_str(), fim.c_str()) == 1;
    case DATAREGIS: {
      std::string dataInicial, dataFinal, cooInicial, cooFinal;
      if (datas) {
        dataInicial = Barras(TextoParaData(inicio));
        dataFinal = Barras(TextoParaData(fim));
      } else {
        cooInicial = inicio;
        cooFinal = fim;
      }
      RetornoDllG2 = tarvic::GravaLeituraFitaDetalhe(arquivo, dataInicial, dataFinal, cooInicial,
                                                     cooFinal, "", "");
      if (RetornoDllG2 == 0) return true;
      Mensagem("Falha na execução do comando.\nRetorno:  " + std::to_string(RetornoDllG2));
      return false;
    }
    default:
      return false;
  }
}

// ---- The PAF-ECF MFD file, per manufacturer ---------------------------------------

bool ArqMfdBematech(const std::string &arquivo, std::string de, std::string ate, int32_t modo) {
  if (!EstadoEcf.TipoMfd) {
    Mensagem("Função indisponível ao modelo do ECF.");
    return false;
  }
  // The driver names its output itself; only its file may be in the folder
  // afterwards.
  std::vector<std::string> arquivos;
  tarvic::ListaArquivos(EstadoEcf.PastaRetorno, false, "*.*", arquivos);
  for (const std::string &a : arquivos) plataforma::ApagaArquivo(a);

  const bool datas = IntervaloDeDatas(de);
  std::string intervalo;
  if (datas) {
    const DataHora d1 = TextoParaData(de), d2 = TextoParaData(ate);
    de = Barras(d1);
    ate = Barras(d2);
    intervalo = FormataDataHora("ddmmyyyy", d1) + "_" + FormataDataHora("ddmmyyyy", d2);
  } else {
    de = FormataInteiro(TextoParaInteiro(de), 6);
    ate = FormataInteiro(TextoParaInteiro(ate), 6);
    intervalo = de + "_" + ate;
  }
  ApagaArquivo(arquivo);

  // The modulus goes whole; the key too, since a part of a key signs nothing.
  const std::string modulo = Aparar(tarvic::ModuloAssinaturaPafEcf()).substr(0, 256);
  const std::string chave = Aparar(tarvic::ChaveAssinaturaPafEcf());
  GuardaRetorno(Bematech_FI_ArquivoMFD("", de.c_str(), ate.c_str(), datas ? "D" : "C", "01", modo,
                                       modulo.c_str(), chave.c_str(), 1));
  if (!VerificaRetorno(true)) return false;

  const std::string esperado =
      EstadoEcf.PastaRetorno + EstadoEcf.NumeroSerie + "_" + intervalo + ".txt";
  if (!plataforma::ArquivoExiste(esperado))
    Mensagem("Arquivo de retorno do ECF esperado não foi encontrado.\nArquivo: " +
             EntreAspas(esperado) + ".");
  else if (!plataforma::CopiaArquivo(esperado, arquivo) && !plataforma::ArquivoExiste(arquivo))
    FalhaArquivo("Não foi possível copiar o arquivo \"" + esperado + "\" para \"" + arquivo +
                 "\".");
  return plataforma::ArquivoExiste(arquivo);
}

// The range as the caller gave it: trimmed for every driver but the DATAREGIS
// reading, which takes its reduction counters as they came.
bool ArqMfd(const std::string &arquivo, const std::string &inicioDado, const std::string &fimDado,
            int32_t modo) {
  const std::string de = Aparar(inicioDado), ate = Aparar(fimDado);
  const bool datas = IntervaloDeDatas(de);
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      return ArqMfdBematech(arquivo, de, ate, modo);
    case SWEDA: {
      const std::string inicio =
          datas ? DiaMesAno2000(TextoParaData(de)) : FormataInteiro(InteiroEstrito(de), 7);
      const std::string fim =
          datas ? DiaMesAno2000(TextoParaData(ate)) : FormataInteiro(InteiroEstrito(ate), 7);
      return ECF_ReproduzirMemoriaFiscalMFD("2", inicio.c_str(), fim.c_str(), arquivo.c_str(),
                                            nullptr) == 1;
    }
    case DARUMA: {
      // The driver writes into its "AtoCotepe" folder, the return folder.
      if (datas) {
        const std::string inicio = FormataDataHora("ddmmyyyy", TextoParaData(de));
        const std::string fim = FormataDataHora("ddmmyyyy", TextoParaData(ate));
        return Daruma_FIMFD_GerarAtoCotepePafData(inicio.c_str(), fim.c_str()) == 1;
      }
      const std::string inicio = FormataInteiro(TextoParaInteiro("0" + de), 6);
      const std::string fim = FormataInteiro(TextoParaInteiro("0" + ate), 6);
      return Daruma_FIMFD_GerarAtoCotepePafCOO(inicio.c_str(), fim.c_str()) == 1;
    }
    case DATAREGIS: {
      std::string dataInicial, dataFinal, reducaoInicial, reducaoFinal;
      if (datas) {
        dataInicial = Barras(TextoParaData(de));
        dataFinal = Barras(TextoParaData(ate));
      } else {
        reducaoInicial = inicioDado;
        reducaoFinal = fimDado;
      }
      RetornoDllG2 = tarvic::GravaLeituraMF(arquivo, dataInicial, dataFinal, reducaoInicial,
                                            reducaoFinal, "False", "");
      if (RetornoDllG2 == 0) return true;
      Mensagem("Falha na execução do comando.\nRetorno: " + std::to_string(RetornoDllG2));
      return false;
    }
    default:
      Mensagem("Função não suportada pelo modelo do ECF.");
      return false;
  }
}

}  // namespace

namespace tarvic {

void ListaArquivos(const std::string &pasta, bool recursivo, const std::string &mascara,
                   std::vector<std::string> &lista) {
  // No folder is no folder: an empty one would become the root of the disk.
  const std::string aparada = Aparar(pasta);
  if (aparada.empty()) return;
  const std::string base = IncluiSeparador(aparada);
  for (const std::string &nome : plataforma::ListaPasta(base, mascara, false))
    lista.push_back(base + nome);
  if (!recursivo) return;
  for (const std::string &nome : plataforma::ListaPasta(base, mascara, true))
    if (nome != "." && nome != "..") ListaArquivos(base + nome, true, mascara, lista);
}

std::string AjustaTextoImpressao(const std::string &texto) {
  std::string ajustado;
  ajustado.reserve(texto.size() + texto.size() / LARGURA_LINHA * 2);
  for (size_t i = 0; i < texto.size(); ++i) {
    const char c = texto[i];
    if (c == '\0') break;
    if (c == ESC) {
      // A printer command: ESC and its two bytes print nothing.
      i += 2;
      continue;
    }
    ++ContadorLinha;
    if (c == '\n') {
      ajustado += "\r\n";
      ContadorLinha = 0;
    } else if (c == '\r') {
      // Line ends are written as CR LF from the LF alone.
    } else if (ContadorLinha >= LARGURA_LINHA) {
      // At or past the width: a CR that fell on the last column counted
      // without being written, and the line must still end here.
      ajustado += c;
      ajustado += "\r\n";
      ContadorLinha = 0;
    } else {
      ajustado += c;
    }
  }
  return ajustado;
}

int32_t GravaLeituraFitaDetalhe(const std::string &arquivo, const std::string &dataInicial,
                                const std::string &dataFinal, const std::string &cooInicial,
                                const std::string &cooFinal, const std::string &proprietario,
                                const std::string &tipoDocumento) {
  ContadorLinha = 0;
  plataforma::ApagaArquivo(arquivo);
  const int32_t codigo = EmiteLeituraFitaDetalhe(dataInicial, dataFinal, cooInicial, cooFinal, "S",
                                                 proprietario, tipoDocumento);
  if (codigo > 0) return codigo;
  return GravaImpressao(arquivo, true);
}

int32_t GravaLeituraMF(const std::string &arquivo, const std::string &dataInicial,
                       const std::string &dataFinal, const std::string &reducaoInicial,
                       const std::string &reducaoFinal, const std::string &simplificada,
                       const std::string &operador) {
  plataforma::ApagaArquivo(arquivo);
  const int32_t codigo = EmiteLeituraMF(dataInicial, dataFinal, reducaoInicial, reducaoFinal, "S",
                                        simplificada, operador);
  if (codigo > 0) return codigo;
  return GravaImpressao(arquivo, false);
}

bool ecf_DownLoadDaMFD(const std::string &arquivo, const std::string &inicio,
                       const std::string &fim) {
  if (plataforma::ArquivoExiste(arquivo)) plataforma::ApagaArquivo(arquivo);
  try {
    return DownloadMfd(arquivo, inicio, fim);
  } catch (const ErroEntradaSaida &) {
    FalhaArquivo("Não foi possível gravar o arquivo \"" + arquivo + "\".");
    return false;
  } catch (...) {
    return false;
  }
}

bool ecf_ArqMFD(const std::string &arquivo, const std::string &inicio, const std::string &fim,
                int32_t modo) {
  try {
    return ArqMfd(arquivo, inicio, fim, modo);
  } catch (const ErroEntradaSaida &) {
    FalhaArquivo("Não foi possível gravar o arquivo \"" + arquivo + "\".");
    return false;
  } catch (...) {
    return false;
  }
}

void ecf_AtoCotepe1704(const std::string &inicio, const std::string &fim) {
  const std::string caminho = EstadoEcf.PastaRetorno + "AC1704.txt";
  ApagaArquivo(caminho);
  if (!EstadoEcf.TipoMfd) {
    Mensagem("Função indisponível ao modelo do ECF.");
    return;
  }
  const bool datas = IntervaloDeDatas(inicio);
  if (!datas && EstadoEcf.Fabricante != SWEDA)
    MensagemErro(
        "Parâmetro inválido ao gerar arquivo eletrônico no layout Ato Cotepe 17/04.\nUtilize "
        "intervalos por Data.");
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      if (!ecf_ArqMFD(caminho, inicio, fim, 0)) return;
      break;
    case SWEDA: {
      const std::string de =
          datas ? Barras(TextoParaData(inicio)) : FormataInteiro(InteiroEstrito(inicio), 4);
      const std::string ate =
          datas ? Barras(TextoParaData(fim)) : FormataInteiro(InteiroEstrito(fim), 4);
      const std::string memoria = EstadoEcf.PastaRetorno + "MFISCAL.BIN";
      ECF_DownloadMF(memoria.c_str());
      SWEDA_ArquivoEletronicoCOTEPE1704(memoria.c_str(), 0, caminho.c_str(), de.c_str(),
                                        ate.c_str(), 0);
      break;
    }
    case DATAREGIS: {
      if (inicio != fim)
        MensagemErro(
            "Este ECF não permite a geração do Ato Cotepe 17/04 com intervalos de datas.\nA data "
            "inicial e final deve ser a mesma.");
      const int32_t codigo = Gera_AtoCotepe1704(
          EstadoEcf.PortaEcf.c_str(), EstadoEcf.Modelo.c_str(), caminho.c_str(), inicio.c_str());
      RetornoDllG2 = codigo;
      const std::string texto = MensagemDoGerador(codigo);
      if (!texto.empty()) Mensagem(texto);
      break;
    }
    default:
      Mensagem("Indisponível ao modelo do ECF em uso.");
      break;
  }
  GravaRetorno("ArqAtoCopete1704", caminho);
  if (!plataforma::ArquivoExiste(caminho))
    Mensagem(
        "Não foi possível gerar o arquivo eletrônico no layout Ato Cotepe 17/04.\nFalha "
        "desconhecida.");
}

bool ecf_GeraSintegra(const std::string &arquivo, DataHora dataInicial, DataHora dataFinal,
                      const std::string (&t)[10]) {
  int ano, mes, dia;
  DecodificaData(dataInicial, ano, mes, dia);
  const std::string m = FormataInteiro(mes, 2), a = FormataInteiro(ano, 4);
  const char *arq = arquivo.c_str();
  // The company data reach the drivers in their own orders; the BEMATECH,
  // CONVECF and ELGIN drivers take the tenth before the ninth.
  switch (EstadoEcf.Fabricante) {
    case BEMATECH:
      return Bematech_FI_RelatorioSintegraMFD(arq, m.c_str(), a.c_str(), t[0].c_str(), t[1].c_str(),
                                              t[2].c_str(), t[3].c_str(), t[4].c_str(),
                                              t[5].c_str(), t[6].c_str(), t[7].c_str(),
                                              t[9].c_str(), t[8].c_str()) == 1;
    case SWEDA:
      return ECF_RelatorioSintegraMFD(63, arq, m.c_str(), a.c_str(), t[0].c_str(), t[1].c_str(),
                                      t[2].c_str(), t[3].c_str(), t[4].c_str(), t[5].c_str(),
                                      t[6].c_str(), t[7].c_str(), t[9].c_str(), t[8].c_str()) == 1;
    case ELGIN:
      return Elgin_RelatorioSintegraMFD(63, arq, m.c_str(), a.c_str(), t[0].c_str(), t[1].c_str(),
                                        t[2].c_str(), t[3].c_str(), t[4].c_str(), t[5].c_str(),
                                        t[6].c_str(), t[7].c_str(), t[9].c_str(),
                                        t[8].c_str()) == 1;
    case DARUMA: {
      const std::string de = DiaMesAno2000(dataInicial), ate = DiaMesAno2000(dataFinal);
      return Daruma_Sintegra_GerarRegistrosArq(de.c_str(), ate.c_str(), t[5].c_str(), t[7].c_str(),
                                               "3", "3", "1", t[1].c_str(), t[2].c_str(),
                                               t[3].c_str(), t[4].c_str(), t[6].c_str(),
                                               t[8].c_str(), t[9].c_str()) == 1;
    }
    default:
      Mensagem("Método para geração do Sintegra indisponível para este fabricante.");
      return false;
  }
}

}  // namespace tarvic

extern "C" {

tarvic_Flag TARVIC_API ecf_DownLoadDaMFD(const char *arquivo, const char *inicio, const char *fim) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, arquivo, inicio, fim), false, [&] {
    return tarvic::ecf_DownLoadDaMFD(Texto(arquivo), Texto(inicio), Texto(fim));
  });
}

tarvic_Flag TARVIC_API ecf_ArqMFD(const char *arquivo, const char *inicio, const char *fim,
                                  int32_t modo) {
  return Exporta<tarvic_Flag>(Exportacao(__func__, arquivo, inicio, fim, modo), false, [&] {
    return tarvic::ecf_ArqMFD(Texto(arquivo), Texto(inicio), Texto(fim), modo);
  });
}

void TARVIC_API ecf_AtoCotepe1704(const char *inicio, const char *fim) {
  ExportaSemResultado(Exportacao(__func__, inicio, fim),
                      [&] { tarvic::ecf_AtoCotepe1704(Texto(inicio), Texto(fim)); });
}

tarvic_Flag TARVIC_API ecf_GeraSintegra(const char *arquivo, tarvic_DataHora dataInicial,
                                        tarvic_DataHora dataFinal, const char *texto1,
                                        const char *texto2, const char *texto3, const char *texto4,
                                        const char *texto5, const char *texto6, const char *texto7,
                                        const char *texto8, const char *texto9,
                                        const char *texto10) {
  return Exporta<tarvic_Flag>(
      Exportacao(__func__, arquivo, dataInicial, dataFinal, texto1, texto2, texto3, texto4, texto5,
                 texto6, texto7, texto8, texto9, texto10),
      false, [&] {
        const std::string textos[10] = {Texto(texto1), Texto(texto2), Texto(texto3), Texto(texto4),
                                        Texto(texto5), Texto(texto6), Texto(texto7), Texto(texto8),
                                        Texto(texto9), Texto(texto10)};
        return tarvic::ecf_GeraSintegra(Texto(arquivo), dataInicial, dataFinal, textos);
      });
}

}  // extern "C"
