// What the simulated printer keeps between runs, and its text forms.
//
// The state is kept in four files beside each other:
//   <state>.json               the small state (counters, totals, day, flags,
//                              programming, the open document), a snapshot
//   <base>.registro            the log of changes since the snapshot: one JSON
//                              record per operation, appended
//   <base>.jornal              the electronic journal: every document printed,
//                              appended (one JSON line per document start or
//                              per group of printed lines)
//   <base>.memoria_fiscal      the fiscal memory: one JSON line per Z reduction
// and the paper tape <base>.bobina.txt (UTF-8 text). An operation appends to
// the journal, the tape and the fiscal memory, then appends its record to the
// log: the record holds the sections of the small state that changed and a
// copy of what was appended, so that a record is the commit of the whole
// operation. A snapshot folds the log in from time to time.
//
// Everything here is pure: texts in, values out, no file touched.
#pragma once

#include "tipos.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tarvic {
namespace simulador {

// The printer's small state: everything but the growing journal, tape and
// fiscal memory.
struct EstadoGravado {
  Identificacao identificacao;
  Contadores contadores;
  int64_t grandeTotal = 0;
  bool arredonda = false;
  bool horarioVerao = false;
  int64_t deslocamentoRelogio = 0;
  std::vector<Aliquota> aliquotas;
  std::vector<FormaPagamento> formas;
  std::vector<TotalizadorNaoFiscal> totalizadores;
  std::vector<RelatorioGerencial> relatorios;
  bool diaAberto = false;
  DataHora dataMovimento;
  TotaisDia totais;
  TipoDocumento documento = TipoDocumento::Nenhum;
  Cupom cupom;
  Cupom ultimoCupom;
  bool ultimoCupomCancelavel = false;
  ComprovanteNaoFiscal naoFiscal;
  ComprovanteVinculado vinculado;
  int relatorioAberto = 0;
  DataHora ultimoDocumento;
  bool gavetaAberta = false;
  int aberturasGaveta = 0;
  std::map<std::string, std::vector<int>> codigosInjetados;
  // The document being printed, or the last one printed: number, kind and
  // time (its lines are in the journal).
  DocumentoImpresso documentoAtual;
  // How many bytes of each growing file belong to the printer's history.
  int64_t bytesJornal = 0;
  int64_t bytesBobina = 0;
  int64_t bytesMemoriaFiscal = 0;
};

enum class ArquivoCrescente { Jornal = 0, Bobina = 1, MemoriaFiscal = 2 };

// Bytes that an operation appended to a growing file, at that position.
struct Acrescimo {
  ArquivoCrescente arquivo = ArquivoCrescente::Jornal;
  int64_t posicao = 0;
  std::string texto;
};

struct EstadoLido {
  EstadoGravado estado;
  int versao = 2;
  int64_t geracao = 0;  // of the snapshot; the log must carry the same
  // Version 1 kept the journal and the fiscal memory inside the state file.
  std::vector<DocumentoImpresso> jornal;
  std::vector<DadosReducao> memoriaFiscal;
  // The log: what its records appended, how many bytes of it hold whole
  // records of the snapshot's generation, and how many records.
  std::vector<Acrescimo> acrescimos;
  std::size_t bytesValidosRegistro = 0;
  int64_t registros = 0;
  bool registroDeOutraGeracao = false;
};

// Reads a state file's text (JSON, version 1 or 2) and then the text of its
// log of changes into the printer's memory. Throws std::exception when the
// state is malformed; the log is read up to its first incomplete or invalid
// record (what a process killed while appending leaves), which
// bytesValidosRegistro tells.
EstadoLido LeEstadoDoSimulador(const std::string& estado, const std::string& registro);

// The journal file's text as documents; throws on a malformed line.
std::vector<DocumentoImpresso> LeJornal(const std::string& texto);
// The fiscal memory file's text as reductions; throws on a malformed line.
std::vector<DadosReducao> LeMemoriaFiscal(const std::string& texto);

// ---- writing ----

struct Secao {
  std::string chave;
  std::string valor;  // JSON
};
// What EscreveSecoes remembers from one call to the next: the values it
// last wrote of the larger sections, with their text, so that an unchanged
// one costs a comparison instead of a writing.
struct MemoriaDeSecoes {
  std::vector<std::pair<ItemCupom, std::string>> itensCupom, itensUltimoCupom;
  std::pair<Identificacao, std::string> identificacao;
  bool temIdentificacao = false;
};
// The small state as named sections, in a fixed order; the items of the
// open and of the last coupon are sections of their own. `secoes` is reused
// (its strings keep their capacity).
void EscreveSecoes(const EstadoGravado& estado, std::vector<Secao>& secoes,
                   MemoriaDeSecoes* memoria = nullptr);
// The sections of `novas` whose text differs from that of the same section
// in `gravadas`, or that `gravadas` lacks: what a log record must hold.
std::vector<const Secao*> SecoesMudadas(const std::vector<Secao>& gravadas,
                                        const std::vector<Secao>& novas);
// The snapshot file's text.
std::string TextoDoEstado(const EstadoGravado& estado, int64_t geracao);
// The first line of the log of a generation.
std::string CabecalhoDoRegistro(int64_t geracao);
// A log record: its number, the sections that changed and what the
// operation appended to the growing files.
std::string RegistroDeMudancas(int64_t numero, const std::vector<const Secao*>& mudadas,
                               const std::vector<Acrescimo>& acrescimos);
// Lines of the journal file.
std::string LinhaInicioDeDocumento(const DocumentoImpresso& documento);
std::string LinhaDeImpressao(const std::vector<std::string>& linhas);
// A line of the fiscal memory file.
std::string LinhaDeReducao(const DadosReducao& z);
// Texts of the printer (Windows-1252) as a JSON string, in UTF-8.
void AcrescentaTextoJson(std::string& saida, const std::string& texto1252);

}  // namespace simulador
}  // namespace tarvic
