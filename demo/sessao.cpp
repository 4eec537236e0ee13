#include "sessao.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "tarvic.h"
#include "tarvic/calendario.h"

#if defined(_WIN32)
#include <direct.h>
#include <windows.h>
#define CriaPastaDemo(p) _mkdir(p)
const char SEPARADOR = '\\';
#else
#include <sys/stat.h>

#include "arquivos.h"
#define CriaPastaDemo(p) mkdir(p, 0700)
const char SEPARADOR = '/';
#endif

namespace {

bool detalhado = true;
int mensagens = 0;
std::string controleFalhas;  // the simulated printer's fault-control file

// What a technician does at the printer: writes a fault (or its end) into
// the simulated printer's control file. On POSIX systems the file is
// replaced whole and never written through a link another user may have
// planted in its place.
void Provoca(const std::string &falha) {
#if defined(_WIN32)
  std::ofstream(controleFalhas, std::ios::binary | std::ios::app) << falha << "\n";
#else
  namespace arquivo = tarvic::simulador::arquivo;
  std::string pendente;
  if (arquivo::LeSeDoUsuario(controleFalhas, pendente) != arquivo::Leitura::Lido) pendente.clear();
  arquivo::Substitui(controleFalhas, pendente + falha + "\n", false);
#endif
}

// Windows-1252 text of the library to UTF-8 for the terminal.
std::string ParaUtf8(const std::string &texto) {
  std::string r;
  for (unsigned char c : texto) {
    if (c < 0x80) {
      r += static_cast<char>(c);
    } else {
      r += static_cast<char>(0xC0 | (c >> 6));
      r += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return r;
}

int TARVIC_API MostraMensagem(const char *texto, const char *titulo, uint32_t tipo) {
  ++mensagens;
  std::string t = ParaUtf8(texto ? texto : "");
  for (size_t p = 0; (p = t.find('\n', p)) != std::string::npos; p += 3) t.replace(p, 1, "\n   ");
  std::printf("   [%s] %s\n", titulo ? titulo : "", t.c_str());
  if (tipo != 0x24) return 1;
  // Asked to retry: the operator switches the printer on and answers Yes.
  if (detalhado) std::printf("   (o operador religa a impressora e responde Sim)\n");
  Provoca("ligada");
  return 6;
}

bool Passo(const char *descricao, bool ok) {
  if (detalhado)
    std::printf("%-52s %s (ecf_Retorno %d)\n", descricao, ok ? "ok" : "FALHOU", ecf_Retorno);
  return ok;
}

std::string Dinheiro(long double dezMilesimos) {
  // Money results are counts of ten-thousandths; shown rounded to cents.
  const long long centavos = std::llround(static_cast<double>(dezMilesimos) / 100.0);
  const long long absoluto = centavos < 0 ? -centavos : centavos;
  char b[64];
  std::snprintf(b, sizeof b, "R$ %s%lld,%02lld", centavos < 0 ? "-" : "", absoluto / 100,
                absoluto % 100);
  return b;
}

std::string Data(double d) {
  if (d <= 0) return "(sem data)";
  const long dias = static_cast<long>(std::floor(d));
  const tarvic::calendario::Data data =
      tarvic::calendario::DataDe(dias + tarvic::calendario::DIA_ZERO);
  const long segundos = std::lround((d - dias) * 86400.0);
  char b[96];
  std::snprintf(b, sizeof b, "%02ld/%02ld/%04ld %02ld:%02ld:%02ld", static_cast<long>(data.dia),
                static_cast<long>(data.mes), static_cast<long>(data.ano), segundos / 3600,
                segundos / 60 % 60, segundos % 60);
  return b;
}

void DefineAmbiente(const std::string &nome, const std::string &valor) {
#if defined(_WIN32)
  _putenv_s(nome.c_str(), valor.c_str());
#else
  setenv(nome.c_str(), valor.c_str(), 1);
#endif
}

// The demo's folder: %TEMP% on Windows (the user's own there), the user's
// own folder elsewhere (never a shared temporary folder).
std::string PastaDoUsuario() {
#if defined(_WIN32)
  for (const char *v : {"TEMP", "TMP"})
    if (const char *p = std::getenv(v))
      if (*p) return p;
  return ".";
#else
  const std::string pasta = tarvic::simulador::arquivo::PastaDoUsuario();
  return pasta.empty() ? std::string(".") : pasta;
#endif
}

bool EhPasta(const std::string &caminho) {
#if defined(_WIN32)
  const DWORD a = GetFileAttributesA(caminho.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat s;
  return stat(caminho.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
#endif
}

std::string Aparado(const std::string &s) {
  const size_t inicio = s.find_first_not_of(" \t\r\n");
  if (inicio == std::string::npos) return "";
  return s.substr(inicio, s.find_last_not_of(" \t\r\n") - inicio + 1);
}

// The simulated printer's state file, found as the simulator finds it: the
// file TARVIC_SIM_ESTADO names, or the default file in the folder it names.
std::string ArquivoDeEstado(const std::string &fabricante) {
  const char *v = std::getenv("TARVIC_SIM_ESTADO");
  const std::string estado = Aparado(v ? v : "");
  if (!EhPasta(estado)) return estado;
  return estado + SEPARADOR + "tarvic_sim_" + fabricante + ".json";
}

// The state file's name without its extension: the tape and the control
// file are named from it.
std::string BaseDoEstado(const std::string &estado) {
  const size_t ponto = estado.find_last_of('.'), barra = estado.find_last_of("/\\");
  if (ponto != std::string::npos && (barra == std::string::npos || ponto > barra))
    return estado.substr(0, ponto);
  return estado;
}

std::string LeArquivo(const std::string &caminho) {
  std::ifstream f(caminho, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// Tax codes of one rate in each manufacturer's notation: 18% ICMS.
const char *Aliquota18(const std::string &fabricante) {
  return fabricante == "DATAREGIS" || fabricante == "URANO" ? "18,00" : "1800";
}

}  // namespace

bool RodaSessao(const OpcoesSessao &o) {
  detalhado = o.detalhes;
  std::string pasta = o.pasta.empty() ? PastaDoUsuario() + SEPARADOR + "tarvic-demo" : o.pasta;
  CriaPastaDemo(pasta.c_str());
  // The simulated printer keeps its memory next to the return folder, unless
  // TARVIC_SIM_ESTADO puts it elsewhere; one DLLG2 stand-in serves both
  // DATAREGIS and URANO.
  std::string estado = ArquivoDeEstado(o.fabricante);
  if (estado.empty()) {
    estado = pasta + SEPARADOR + "impressora_" + o.fabricante + ".json";
    DefineAmbiente("TARVIC_SIM_ESTADO", estado);
  }
  DefineAmbiente("TARVIC_SIM_FABRICANTE", o.fabricante);
  const std::string bobina = BaseDoEstado(estado) + ".bobina.txt";
  const size_t inicioBobina = LeArquivo(bobina).size();
  controleFalhas = BaseDoEstado(estado) + ".falhas";

  ecf_SetTratadorMensagem(MostraMensagem);
  bool ok = true;
  if (detalhado)
    std::printf("== Início do dia: %s na porta %s, UF %s\n", o.fabricante.c_str(), o.porta.c_str(),
                o.uf.c_str());
  ecf_SetUF(o.uf.c_str());
  ecf_SetPafMd5("3F2A1C0D9E8B7A6F5E4D3C2B1A098765");
  set_ieCnpj("123456789", "11.222.333/0001-81");
  if (!Passo("ecf_Inicializa",
             ecf_Inicializa(o.fabricante.c_str(), o.porta.c_str(), pasta.c_str())))
    return false;
  ok &= Passo("ecf_Modelo", ecf_Modelo());
  // A day left open on an earlier date is closed before anything else is
  // printed, as the shop does when it opens.
  if (ecf_ReducaoZPendente())
    ok &= Passo("ecf_ReducaoZ (o dia anterior ficou aberto)", ecf_ReducaoZ());

  const int cooAntes = ecf_NumeroCupom();
  const int ccfAntes = ecf_NumeroCCF();
  const int gnfAntes = ecf_NumeroGNF(), grgAntes = ecf_NumeroGRG(), cdcAntes = ecf_NumeroCDC();
  const long double gtAntes = ecf_GtAtu();
  if (detalhado)
    std::printf("   COO %d, CCF %d, GNF %d, GRG %d, CDC %d, GT %s antes da venda\n", cooAntes,
                ccfAntes, gnfAntes, grgAntes, cdcAntes, Dinheiro(gtAntes).c_str());
  // The shop's programming, kept by the printer: the totalisers the day's
  // closing looks for.
  ok &= Passo("ecf_NomeiaTotalizadorNaoFiscal 3 Abertura",
              ecf_NomeiaTotalizadorNaoFiscal(3, "Abertura"));
  ok &= Passo("ecf_NomeiaTotalizadorNaoFiscal 4 Recebimento",
              ecf_NomeiaTotalizadorNaoFiscal(4, "Recebimento"));
  ok &= Passo("ecf_Suprimento 100,00 (troco do caixa)", ecf_Suprimento(1000000));

  if (detalhado) std::printf("== Cupom fiscal\n");
  set_CpfCliente("123.456.789-09");
  ok &= Passo("ecf_AbreCupom", ecf_AbreCupom());
  struct Item {
    const char *codigo, *descricao, *unidade, *aliquota, *quantidade, *preco, *acrescimo;
  } itens[] = {
      {"7891000100103", "ARROZ TIPO 1 LONGO FINO PACOTE 5KG", "UN", Aliquota18(o.fabricante), "2",
       "21,90", "0"},
      {"7891000053508", "FEIJAO CARIOCA 1KG", "UN", "F", "3", "8,49", "-1,50"},
      {"2000000000012", "QUEIJO MUSSARELA FATIADO", "KG", "I", "0,350", "49,90", "0"},
      {"7894900011517", "REFRIGERANTE COLA 2L", "UN", "N", "1", "9,99", "0"},
  };
  int numero = 0;
  for (const Item &i : itens) {
    ++numero;
    const std::string passo = std::string("ecf_VendeItem ") + i.descricao;
    auto vende = [&] {
      return ecf_VendeItem(i.codigo, i.descricao, i.unidade, 0, i.aliquota, 0, i.quantidade,
                           i.preco, "$", i.acrescimo, 0, 0, numero) != 0;
    };
    if (o.desligaNoMeio && numero == 3) {
      if (detalhado) std::printf("   (a impressora é desligada no meio da venda)\n");
      Provoca("desligada");
      Passo((passo.substr(0, 40) + " (recusado)").c_str(), !vende());
      ok &= Passo("ecf_TratarDesligamento", ecf_TratarDesligamento());
      // DATAREGIS and URANO are not asked whether they answer; the operator
      // switches them on all the same.
      Provoca("ligada");
    }
    ok &= Passo(passo.substr(0, 52).c_str(), vende());
  }
  ok &= Passo("ecf_CancelaItemGenerico 4 (o refrigerante)", ecf_CancelaItemGenerico("4"));
  const long double subtotal = ecf_SubtotalCupom();
  if (detalhado) std::printf("   subtotal %s\n", Dinheiro(subtotal).c_str());
  ok &= Passo("ecf_IniciaFechamentoCupom desconto de 2,00", ecf_IniciaFechamentoCupom("D", "2,00"));
  // Card for 50,00 and the rest in cash, rounded up to ten reais: change.
  const int64_t cartao = 500000;
  const int64_t resto = static_cast<int64_t>(subtotal) - 20000 - cartao;
  const int64_t dinheiro = (resto / 100000 + 1) * 100000;
  ok &= Passo("ecf_EfetuaFormaPagto Cartao 50,00", ecf_EfetuaFormaPagto("Cartao", cartao));
  const std::string pagaDinheiro = "ecf_EfetuaFormaPagto Dinheiro " + Dinheiro(dinheiro);
  ok &= Passo(pagaDinheiro.c_str(), ecf_EfetuaFormaPagto("Dinheiro", dinheiro));
  ok &= Passo("ecf_TerminaFechamentoCupom",
              ecf_TerminaFechamentoCupom("Obrigado pela preferencia! Volte sempre."));

  const int cooCupom = ecf_NumeroCupom();

  if (detalhado) std::printf("== Comprovante do cartão, relatório, leitura X e sangria\n");
  ok &= Passo("ecf_AbreComprovanteNaoFiscalVinculado Cartao",
              ecf_AbreComprovanteNaoFiscalVinculado("Cartao", cartao, cooCupom));
  ok &= Passo("ecf_UsaComprovanteNaoFiscalVinculado",
              ecf_UsaComprovanteNaoFiscalVinculado("CARTAO DE CREDITO  VISA  ****1234\n"
                                                   "AUTORIZACAO 012345    VALOR 50,00\n"
                                                   "ASSINATURA DO CLIENTE:\n\n"
                                                   "______________________________"));
  ok &= Passo("ecf_FechaComprovanteNaoFiscalVinculado", ecf_FechaComprovanteNaoFiscalVinculado());
  ok &= Passo(
      "ecf_RelatorioGerencial Relatorio Geral",
      ecf_RelatorioGerencial("FECHAMENTO DO TURNO\nCUPONS EMITIDOS: 1\n", "Relatorio Geral", 0));
  ok &= Passo("ecf_FechaRelatorioGerencial", ecf_FechaRelatorioGerencial());
  ok &= Passo("ecf_LeituraX", ecf_LeituraX());
  ok &= Passo("ecf_Sangria 50,00", ecf_Sangria(500000));
  if (o.reducaoZ) {
    ok &= Passo("ecf_ReducaoZ", ecf_ReducaoZ());
    ok &= Passo("ecf_ReducaoZPendente é falso depois da redução", !ecf_ReducaoZPendente());
    ok &= Passo("ecf_Bloqueado até o fim do dia", ecf_Bloqueado());
    const std::string dados = pasta + SEPARADOR + "reducao.txt";
    ok &= Passo("ecf_PegaDadosUltReducao",
                ecf_PegaDadosUltReducao(dados.c_str(), "") || o.fabricante == "URANO");
  }

  const int cooDepois = ecf_NumeroCupom();
  const int ccfDepois = ecf_NumeroCCF();
  const int gnfDepois = ecf_NumeroGNF(), grgDepois = ecf_NumeroGRG(), cdcDepois = ecf_NumeroCDC();
  const long double gtDepois = ecf_GtAtu();
  if (detalhado) {
    std::printf("== Consultas\n");
    std::printf("   COO %d, CCF %d, GNF %d, GRG %d, CDC %d\n", cooDepois, ccfDepois, gnfDepois,
                grgDepois, cdcDepois);
    std::printf("   grande total %s (o cupom somou %s)\n", Dinheiro(gtDepois).c_str(),
                Dinheiro(gtDepois - gtAntes).c_str());
    std::printf("   número de série lido: %s; MFD: %s\n", ecf_NumeroSerial() ? "sim" : "não",
                ecf_TipoMFD() ? "sim" : "não");
    std::printf("   data e hora do ECF: %s\n", Data(ecf_DataHora()).c_str());
    std::printf("   último documento:   %s\n", Data(ecf_UltDataHoraDocumento()).c_str());
    std::printf("   última redução Z:   %s\n", Data(ecf_DataUltReducao()).c_str());
  }
  // One coupon, one linked receipt, one report. (GNF is left out: SWEDA's
  // driver has no counter of its own for it, and ELGIN's is not read.)
  const bool coerente = cooDepois > cooCupom && cooCupom > cooAntes && ccfDepois == ccfAntes + 1 &&
                        cdcDepois == cdcAntes + 1 && grgDepois == grgAntes + 1 &&
                        gtDepois > gtAntes;
  ok &= Passo("contadores e grande total coerentes com o dia", coerente);

  if (detalhado) {
    // The tape file is UTF-8 already.
    const std::string fita = LeArquivo(bobina);
    std::printf("== Bobina (o que a impressora imprimiu)\n%s",
                fita.size() > inicioBobina ? fita.substr(inicioBobina).c_str() : "");
    std::printf("== Arquivo de retorno %s%cretornoEcf%cmeuRetorno.ini\n%s", pasta.c_str(),
                SEPARADOR, SEPARADOR,
                ParaUtf8(LeArquivo(pasta + SEPARADOR + "retornoEcf" + SEPARADOR + "meuRetorno.ini"))
                    .c_str());
    std::printf("== %s: %d mensagens ao operador\n", ok ? "Sessão concluída" : "Sessão com falhas",
                mensagens);
  }
  ecf_FecharPortaSerial();
  return ok;
}
