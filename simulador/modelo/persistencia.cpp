// The printer's files: loading (moving a version 1 state file to today's
// files), the record of each operation, the snapshots, the fault-control
// file and the start-up. estado_gravado.h describes the files.
#include "impressora_fiscal.h"

#include "texto.h"

#include <cstdlib>
#include <iostream>

namespace tarvic {
namespace simulador {

const char* const VariavelEstado = "TARVIC_SIM_ESTADO";
const char* const VariavelFalhas = "TARVIC_SIM_FALHAS";
const char* const VariavelFabricante = "TARVIC_SIM_FABRICANTE";

std::string fabricanteDoDllg2() {
  const char* v = std::getenv(VariavelFabricante);
  const std::string f = v ? maiusculas(apara(v)) : std::string();
  return f.empty() ? std::string("DATAREGIS") : f;
}

namespace {

// Past this size the log is folded into a new snapshot, at the end of a
// document: the cost of an operation stays the same all day, and so does
// the time to open the printer.
const int64_t LimiteDoRegistro = 1 << 20;

std::string nomeDeArquivo(const std::string& fabricante) {
  std::string r;
  for (char c : maiusculas(apara(fabricante))) {
    bool valido = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    r += valido ? c : '_';
  }
  return "tarvic_sim_" + (r.empty() ? std::string("ECF") : r) + ".json";
}

void aviso(const std::string& linha) {
  std::cerr << "tarvic simulador: " << linha << std::endl;
}

std::string pastaDe(const std::string& caminho) {
  const std::size_t barra = caminho.find_last_of("/\\");
  return barra == std::string::npos ? std::string() : caminho.substr(0, barra);
}

bool utf8Valido(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned c = static_cast<unsigned char>(s[i]);
    std::size_t extra = 0;
    if (c >= 0x80) {
      if ((c & 0xE0) == 0xC0)
        extra = 1;
      else if ((c & 0xF0) == 0xE0)
        extra = 2;
      else if ((c & 0xF8) == 0xF0)
        extra = 3;
      else
        return false;
    }
    if (i + extra >= s.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------- start-up

ImpressoraFiscal::ImpressoraFiscal(const std::string& fabricante, const std::string& caminhoEstado,
                                   bool aplicarFalhasDoAmbiente) {
  try {
    m_.identificacao.fabricante = maiusculas(apara(fabricante));
    caminhoEstado_ = caminhoEstado.empty() ? caminhoEstadoPadrao(fabricante) : caminhoEstado;
    estadoDeFabrica();
    carrega();
    if (aplicarFalhasDoAmbiente) {
      const char* falhas = std::getenv(VariavelFalhas);
      if (falhas && *falhas && !aplicaFalhas(falhas))
        aviso(std::string("item nao entendido em ") + VariavelFalhas + ": '" + falhas + "'");
    }
    aplicaArquivoControle();
  } catch (const std::exception& e) {
    aviso(std::string("falha na partida: ") + e.what());
  } catch (...) {
  }
}

std::string ImpressoraFiscal::caminhoEstadoPadrao(const std::string& fabricante) {
  const char* variavel = std::getenv(VariavelEstado);
  const std::string v = variavel ? apara(variavel) : std::string();
  if (v.empty()) {
    const std::string pasta = arquivo::PastaDoUsuario();
    return (pasta.empty() ? std::string(".") : pasta) + arquivo::Separador() +
           nomeDeArquivo(fabricante);
  }
  return arquivo::EhPasta(v) ? v + arquivo::Separador() + nomeDeArquivo(fabricante) : v;
}

// ---------------------------------------------------------------- loading

void ImpressoraFiscal::carrega() {
  const std::string pasta = pastaDe(caminhoEstado_);
  if (!pasta.empty()) arquivo::CriaPasta(pasta);
  arquivo::RemoveTemporariosDe(caminhoEstado_);
  std::string texto, registro;
  if (!arquivo::Le(caminhoEstado_, texto)) {
    aviso("arquivo de estado '" + caminhoEstado_ +
          (arquivo::Existe(caminhoEstado_) ? "' ilegivel (nao e um arquivo comum)"
                                           : "' nao encontrado") +
          "; nova impressora iniciada");
    estadoDeFabrica();
    novaImpressora(".anterior");
    return;
  }
  arquivo::Le(caminhoRegistro(), registro);
  EstadoLido lido;
  try {
    lido = LeEstadoDoSimulador(texto, registro);
  } catch (const std::exception& e) {
    // The damaged file stays beside, for whoever wants to look into it.
    const std::string guardado = caminhoEstado_ + ".corrompido";
    arquivo::Renomeia(caminhoEstado_, guardado);
    aviso("arquivo de estado '" + caminhoEstado_ + "' ilegivel (" + e.what() +
          "); guardado como '" + guardado + "', nova impressora iniciada");
    estadoDeFabrica();
    novaImpressora(".corrompido");
    return;
  }
  if (lido.versao == 1) {
    migraVersao1(lido);
    return;
  }
  m_ = std::move(lido.estado);
  relogio_.defineDeslocamento(m_.deslocamentoRelogio);
  geracao_ = lido.geracao;
  registros_ = lido.registros;
  abreArquivos();
  // What follows the last whole record is an operation that never finished.
  if (lido.registroDeOutraGeracao || lido.bytesValidosRegistro == 0) {
    const std::string cabecalho = CabecalhoDoRegistro(geracao_);
    registro_.trunca(0);
    registro_.acrescenta(cabecalho);
    bytesRegistro_ = static_cast<int64_t>(cabecalho.size());
  } else {
    if (lido.bytesValidosRegistro < registro.size()) registro_.trunca(lido.bytesValidosRegistro);
    bytesRegistro_ = static_cast<int64_t>(lido.bytesValidosRegistro);
  }
  reparaArquivo(arquivoJornal_, m_.bytesJornal, ArquivoCrescente::Jornal, lido.acrescimos);
  reparaArquivo(arquivoBobina_, m_.bytesBobina, ArquivoCrescente::Bobina, lido.acrescimos);
  reparaArquivo(arquivoMemoria_, m_.bytesMemoriaFiscal, ArquivoCrescente::MemoriaFiscal,
                lido.acrescimos);
  std::string memoria;
  arquivoMemoria_.leDesde(0, memoria);
  try {
    memoriaFiscal_ = LeMemoriaFiscal(memoria);
  } catch (const std::exception& e) {
    aviso("memoria fiscal '" + caminhoMemoriaFiscal() + "' ilegivel (" + e.what() + ")");
    memoriaFiscal_.clear();
  }
  EscreveSecoes(m_, secoesGravadas_, &memoriaDeSecoes_);
}

void ImpressoraFiscal::abreArquivos() {
  struct {
    arquivo::Anexo* anexo;
    std::string caminho;
  } arquivos[] = {{&registro_, caminhoRegistro()},
                  {&arquivoJornal_, caminhoJornal()},
                  {&arquivoBobina_, caminhoBobina()},
                  {&arquivoMemoria_, caminhoMemoriaFiscal()}};
  for (auto& a : arquivos) {
    if (a.anexo->abre(a.caminho)) continue;
    if (!avisouGravacao_)
      aviso("falha ao gravar o estado: '" + a.caminho +
            "' nao pode ser aberto (nao e um arquivo comum do usuario, ou a pasta nao existe)");
    avisouGravacao_ = true;
  }
}

// A growing file after a stop: the bytes the log's records appended are
// written again where the file lacks them (a power cut before they reached
// the disk), and what lies past the last record goes.
void ImpressoraFiscal::reparaArquivo(arquivo::Anexo& anexo, int64_t& esperado,
                                     ArquivoCrescente qual,
                                     const std::vector<Acrescimo>& acrescimos) {
  if (!anexo.aberto()) return;
  std::vector<const Acrescimo*> meus;
  for (const Acrescimo& a : acrescimos)
    if (a.arquivo == qual) meus.push_back(&a);
  int64_t atual = anexo.tamanho();
  if (!meus.empty() && atual >= meus.front()->posicao) {
    const int64_t inicio = meus.front()->posicao;
    std::string lido;
    anexo.leDesde(static_cast<uint64_t>(inicio), lido);
    std::size_t k = 0;
    for (; k < meus.size(); ++k) {
      const Acrescimo& a = *meus[k];
      if (a.posicao < inicio) break;
      const std::size_t desde = static_cast<std::size_t>(a.posicao - inicio);
      if (desde + a.texto.size() > lido.size() || lido.compare(desde, a.texto.size(), a.texto) != 0)
        break;
    }
    if (k < meus.size()) {
      std::string resto;
      for (std::size_t j = k; j < meus.size(); ++j) resto += meus[j]->texto;
      anexo.trunca(static_cast<uint64_t>(meus[k]->posicao));
      anexo.acrescenta(resto);
    }
    atual = anexo.tamanho();
  }
  if (atual > esperado) {
    anexo.trunca(static_cast<uint64_t>(esperado));
    atual = esperado;
  }
  if (atual >= 0 && atual < esperado) {
    // The tape is for people, who may clear it; the other files are the record.
    if (qual != ArquivoCrescente::Bobina)
      aviso("'" + anexo.caminho() + "' tem menos do que a impressora registrou");
    esperado = atual;
  }
}

// A printer fresh from the factory: the journal and the fiscal memory start
// empty (the ones found are kept aside with the suffix, or cleared without
// one); the tape goes on.
void ImpressoraFiscal::novaImpressora(const char* sufixoDosAntigos) {
  descartaPendentes();
  for (arquivo::Anexo* a : {&registro_, &arquivoJornal_, &arquivoBobina_, &arquivoMemoria_})
    a->fecha();
  if (sufixoDosAntigos) {
    for (const std::string& c : {caminhoJornal(), caminhoMemoriaFiscal(), caminhoRegistro()})
      if (arquivo::Existe(c)) arquivo::Renomeia(c, c + sufixoDosAntigos);
  }
  abreArquivos();
  // The old log goes first: replayed over the new snapshot, it would bring
  // the old printer back.
  registro_.trunca(0);
  if (!sufixoDosAntigos) {
    arquivoJornal_.trunca(0);
    arquivoMemoria_.trunca(0);
  }
  m_.bytesJornal = 0;
  m_.bytesMemoriaFiscal = 0;
  m_.bytesBobina = arquivoBobina_.aberto() ? arquivoBobina_.tamanho() : 0;
  if (!compacta() && !avisouGravacao_) {
    aviso("falha ao gravar o estado em '" + caminhoEstado_ + "'");
    avisouGravacao_ = true;
  }
}

// Version 1 kept everything in the state file. The journal and the fiscal
// memory move to their files and the tape becomes UTF-8; the state file is
// replaced last, so that a stop on the way leaves version 1 in place.
void ImpressoraFiscal::migraVersao1(EstadoLido& lido) {
  m_ = std::move(lido.estado);
  relogio_.defineDeslocamento(m_.deslocamentoRelogio);
  memoriaFiscal_ = std::move(lido.memoriaFiscal);
  for (arquivo::Anexo* a : {&registro_, &arquivoJornal_, &arquivoBobina_, &arquivoMemoria_})
    a->fecha();
  std::string bobina;
  if (arquivo::Le(caminhoBobina(), bobina) && !utf8Valido(bobina))
    arquivo::Substitui(caminhoBobina(), cp1252ParaUtf8(bobina), true);
  abreArquivos();
  registro_.trunca(0);
  std::string jornal, memoria;
  for (const DocumentoImpresso& d : lido.jornal) {
    jornal += LinhaInicioDeDocumento(d);
    if (!d.linhas.empty()) jornal += LinhaDeImpressao(d.linhas);
  }
  for (const DadosReducao& z : memoriaFiscal_) memoria += LinhaDeReducao(z);
  arquivoJornal_.trunca(0);
  arquivoJornal_.acrescenta(jornal);
  arquivoMemoria_.trunca(0);
  arquivoMemoria_.acrescenta(memoria);
  m_.bytesJornal = static_cast<int64_t>(jornal.size());
  m_.bytesMemoriaFiscal = static_cast<int64_t>(memoria.size());
  m_.bytesBobina = arquivoBobina_.aberto() ? arquivoBobina_.tamanho() : 0;
  geracao_ = 0;
  if (!compacta() && !avisouGravacao_) {
    aviso("falha ao gravar o estado em '" + caminhoEstado_ + "'");
    avisouGravacao_ = true;
  }
}

// ---------------------------------------------------------------- recording

void ImpressoraFiscal::descartaPendentes() {
  for (std::string* s : {&novoJornal_, &novaBobina_, &novaMemoria_, &jornalPendente_,
                         &bobinaPendente_, &memoriaPendente_})
    s->clear();
  compactarAoRegistrar_ = false;
}

// The operation's record goes to the log: the sections that changed and
// what it printed. The record is the commit. At the end of a document
// (`sincronizar`) the printed bytes go to the journal, the tape and the
// fiscal memory, the log reaches the disk, and a long log or a reduction
// makes a snapshot. Until then the log alone holds the document: a stop in
// the middle is repaired from it at the next start.
bool ImpressoraFiscal::registra(bool sincronizar) {
  std::vector<Acrescimo> acrescimos;
  bool ok = true;
  auto conta = [&](std::string& novo, std::string& pendente, int64_t& bytes,
                   ArquivoCrescente qual) {
    if (novo.empty()) return;
    acrescimos.push_back(Acrescimo{qual, bytes, novo});
    bytes += static_cast<int64_t>(novo.size());
    pendente += novo;
    novo.clear();
  };
  conta(novoJornal_, jornalPendente_, m_.bytesJornal, ArquivoCrescente::Jornal);
  conta(novaMemoria_, memoriaPendente_, m_.bytesMemoriaFiscal, ArquivoCrescente::MemoriaFiscal);
  conta(novaBobina_, bobinaPendente_, m_.bytesBobina, ArquivoCrescente::Bobina);

  EscreveSecoes(m_, secoesNovas_, &memoriaDeSecoes_);
  const std::vector<const Secao*> mudadas = SecoesMudadas(secoesGravadas_, secoesNovas_);
  if (!mudadas.empty() || !acrescimos.empty()) {
    const std::string texto = RegistroDeMudancas(registros_ + 1, mudadas, acrescimos);
    if (registro_.acrescenta(texto)) {
      ++registros_;
      bytesRegistro_ += static_cast<int64_t>(texto.size());
      std::swap(secoesGravadas_, secoesNovas_);
      registroPorSincronizar_ = true;
    } else {
      ok = false;
    }
  }
  if (sincronizar) {
    for (auto par : {std::make_pair(&arquivoJornal_, &jornalPendente_),
                     std::make_pair(&arquivoMemoria_, &memoriaPendente_),
                     std::make_pair(&arquivoBobina_, &bobinaPendente_)}) {
      if (par.second->empty()) continue;
      ok = par.first->acrescenta(*par.second) && ok;
      par.second->clear();
    }
  }
  if (sincronizar && registroPorSincronizar_) {
    ok = registro_.sincroniza() && ok;
    registroPorSincronizar_ = false;
  }
  if (sincronizar && ok && (compactarAoRegistrar_ || bytesRegistro_ > LimiteDoRegistro)) {
    compactarAoRegistrar_ = false;
    ok = compacta();
  }
  if (!ok && !avisouGravacao_) {
    aviso("falha ao gravar o estado em '" + caminhoEstado_ + "'");
    avisouGravacao_ = true;
  }
  return ok;
}

// A new snapshot of the whole small state replaces the state file, and the
// log starts over under the next generation. The growing files reach the
// disk first: once the log is gone, nothing could write them again.
bool ImpressoraFiscal::compacta() {
  for (arquivo::Anexo* a : {&arquivoJornal_, &arquivoBobina_, &arquivoMemoria_})
    if (a->aberto() && !a->sincroniza()) return false;
  if (!arquivo::Substitui(caminhoEstado_, TextoDoEstado(m_, geracao_ + 1), true)) return false;
  ++geracao_;
  registros_ = 0;
  const std::string cabecalho = CabecalhoDoRegistro(geracao_);
  const bool ok = registro_.trunca(0) && registro_.acrescenta(cabecalho);
  bytesRegistro_ = static_cast<int64_t>(cabecalho.size());
  registroPorSincronizar_ = false;
  EscreveSecoes(m_, secoesGravadas_, &memoriaDeSecoes_);
  return ok;
}

bool ImpressoraFiscal::grava() {
  try {
    return registra(true);
  } catch (...) {
    return false;
  }
}

std::vector<DocumentoImpresso> ImpressoraFiscal::jornal() const {
  try {
    std::string texto;
    if (!arquivoJornal_.leDesde(0, texto)) arquivo::Le(caminhoJornal(), texto);
    const int64_t gravados = m_.bytesJornal - static_cast<int64_t>(jornalPendente_.size());
    if (static_cast<int64_t>(texto.size()) > gravados)
      texto.resize(static_cast<std::size_t>(gravados < 0 ? 0 : gravados));
    return LeJornal(texto + jornalPendente_ + novoJornal_);
  } catch (...) {
    return {};
  }
}

// ---------------------------------------------------------------- faults

bool ImpressoraFiscal::aplicaFalhas(const std::string& texto) {
  bool tudoEntendido = true;
  bool mudouMemoria = false;
  std::string item;
  std::vector<std::string> itens;
  for (char c : texto) {
    if (c == ';' || c == '\n' || c == '\r') {
      itens.push_back(item);
      item.clear();
    } else {
      item += c;
    }
  }
  itens.push_back(item);
  for (const std::string& bruto : itens) {
    std::string i = apara(bruto);
    if (i.empty() || i[0] == '#') continue;
    std::string chave = maiusculas(i);
    for (char& c : chave)
      if (c == ' ') c = '_';
    if (chave == "DESLIGADA") {
      ligada_ = false;
    } else if (chave == "LIGADA") {
      ligada_ = true;
    } else if (chave == "POUCO_PAPEL") {
      papel_ = SensorPapel::Pouco;
    } else if (chave == "SEM_PAPEL") {
      papel_ = SensorPapel::Sem;
    } else if (chave == "PAPEL" || chave == "COM_PAPEL") {
      papel_ = SensorPapel::Presente;
    } else {
      std::size_t igual = i.find('=');
      int64_t valor = 0;
      if (igual == std::string::npos || !lerDecimal(i.substr(igual + 1), 0, valor) ||
          apara(i.substr(0, igual)).empty()) {
        tudoEntendido = false;
        continue;
      }
      std::string nome = apara(i.substr(0, igual));
      if (maiusculas(nome) == "DESLOCAMENTO") {
        mudaDeslocamento(valor);
      } else {
        if (valor < INT32_MIN || valor > INT32_MAX) {
          tudoEntendido = false;
          continue;
        }
        m_.codigosInjetados[maiusculas(nome)].push_back(static_cast<int>(valor));
      }
      mudouMemoria = true;
    }
  }
  if (mudouMemoria) registra(m_.documento == TipoDocumento::Nenhum);
  return tudoEntendido;
}

// The control file is honoured only when it is a regular file of the user
// running the printer: a file another user left there injects nothing.
void ImpressoraFiscal::aplicaArquivoControle() {
  if (dentroDeChamada_ && controleLido_) return;
  controleLido_ = true;
  const std::string caminho = caminhoControle();
  std::string conteudo;
  switch (arquivo::LeSeDoUsuario(caminho, conteudo)) {
    case arquivo::Leitura::Ausente:
      return;
    case arquivo::Leitura::Recusado:
      if (!avisouControle_)
        aviso("arquivo de controle '" + caminho +
              "' ignorado: nao e um arquivo comum deste usuario");
      avisouControle_ = true;
      return;
    case arquivo::Leitura::Lido:
      break;
  }
  // Used up: "the next call answers X" holds once.
  arquivo::Remove(caminho);
  if (!aplicaFalhas(conteudo)) aviso("item nao entendido no arquivo de controle '" + caminho + "'");
}

}  // namespace simulador
}  // namespace tarvic
