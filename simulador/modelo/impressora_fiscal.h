// Modelo de uma impressora fiscal (ECF) simulada, o mesmo para os seis
// fabricantes. Os drivers substitutos (BEMAFI32, CONVECF, DARUMA32, ELGIN,
// DLLG2, ...) chamam estes métodos e traduzem cada Resultado nos códigos do
// seu fabricante.
//
// Todo método que muda o estado grava o arquivo de estado (JSON) ao terminar.
// Nenhum método lança exceção: uma falha inesperada vira Resultado::ErroInterno.
// Unidades: ver tipos.h (centavos, milésimos, centésimos de percentual).
#pragma once

#include "relogio.h"
#include "tipos.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarvic {
namespace simulador {

// Variáveis de ambiente lidas pelo simulador.
extern const char* const VariavelEstado;  // "TARVIC_SIM_ESTADO": arquivo (ou pasta) do estado
extern const char* const VariavelFalhas;  // "TARVIC_SIM_FALHAS": falhas na partida

class ImpressoraFiscal {
 public:
  // fabricante: "BEMATECH", "SWEDA", ... (dá nome ao arquivo de estado padrão e à marca).
  // caminhoEstado vazio: TARVIC_SIM_ESTADO (arquivo, ou pasta onde criar o arquivo
  // padrão) ou, sem ela, "tarvic_sim_<FABRICANTE>.json" na pasta temporária.
  // aplicarFalhasDoAmbiente: lê TARVIC_SIM_FALHAS na partida.
  explicit ImpressoraFiscal(const std::string& fabricante,
                            const std::string& caminhoEstado = std::string(),
                            bool aplicarFalhasDoAmbiente = true);

  ImpressoraFiscal(const ImpressoraFiscal&) = delete;
  ImpressoraFiscal& operator=(const ImpressoraFiscal&) = delete;

  // ---- arquivos ----
  const std::string& caminhoEstado() const { return caminhoEstado_; }
  std::string caminhoBobina() const;    // <estado sem extensão>.bobina.txt
  std::string caminhoControle() const;  // <estado sem extensão>.falhas
  // Volta a impressora de fábrica (memória zerada) e grava.
  void reinicia();

  // ---- falhas injetadas e condições físicas ----
  // Texto de falhas: itens separados por ';' ou quebras de linha:
  //   "desligada" | "ligada" | "pouco_papel" | "sem_papel" | "papel" |
  //   "deslocamento=SEGUNDOS" | "NOME_DA_FUNCAO=CODIGO" (o próximo uso de NOME devolve CODIGO)
  // O arquivo de controle (caminhoControle) aceita o mesmo texto; é lido antes de cada
  // operação e apagado depois de aplicado. Linhas iniciadas por '#' são ignoradas.
  // Devolve false quando algum item não foi entendido (os outros são aplicados).
  bool aplicaFalhas(const std::string& texto);
  void injetaCodigo(const std::string& funcao, int codigo);
  // Entrega (e consome) o código injetado para a função, se houver.
  std::optional<int> retiraCodigoInjetado(const std::string& funcao);

  void liga();
  void desliga();
  bool ligada();  // consulta o sensor (lê o arquivo de controle)
  void defineSensorPapel(SensorPapel s);
  SensorPapel sensorPapel();  // consulta o sensor (lê o arquivo de controle)
  // Ok, Desligada ou SemPapel: o que um comando de impressão encontraria agora.
  Resultado verificaImpressora();

  // ---- relógio ----
  DataHora agora() const { return relogio_.agora(); }
  void defineDeslocamentoRelogio(int64_t segundos);
  int64_t deslocamentoRelogio() const { return relogio_.deslocamento(); }
  void fixaAgora(const DataHora& instante) {
    relogio_.fixa(instante);
  }  // só para testes, não é gravado
  void liberaAgora() { relogio_.libera(); }

  // ---- programação ----
  // Alíquotas só podem ser programadas com o dia sem movimento (logo após a redução Z).
  Resultado programaAliquota(TipoTributo tipo, int64_t percentualCentesimos, int* indice = nullptr);
  // Nome já programado: Ok sem duplicar.
  Resultado programaFormaPagamento(const std::string& nome, bool permiteVinculado,
                                   int* indice = nullptr);
  // indice 0: o primeiro livre. Índice ocupado por outro nome: JaProgramado.
  Resultado nomeiaTotalizadorNaoFiscal(int indice, const std::string& nome, bool saida = false);
  Resultado nomeiaRelatorioGerencial(int indice, const std::string& nome);
  void defineArredondamento(bool arredonda);  // false: trunca (padrão de fábrica)
  bool arredonda() const { return arredonda_; }
  Resultado alternaHorarioVerao();
  bool horarioVerao() const { return horarioVerao_; }
  void defineIdentificacao(const Identificacao& id);

  // ---- cupom fiscal ----
  Resultado abreCupom(const std::string& documentoConsumidor = std::string(),
                      const std::string& nomeConsumidor = std::string(),
                      const std::string& enderecoConsumidor = std::string());

  struct Item {
    std::string codigo;
    std::string descricao;
    // "F", "I", "N" (ICMS), "FS", "IS", "NS" (ISS), "T1800"/"S0500" (alíquota
    // programada de ICMS/ISS pelo percentual) ou "01".."16" (pelo índice).
    std::string aliquota;
    int64_t quantidadeMilesimos = 1000;
    int64_t precoUnitarioMilesimos = 0;
    std::string unidade = "UN";
    Ajuste ajuste;
  };
  // Um cupom não passa de R$ 9.999.999,99: item ou acréscimo além disso é ParametroInvalido.
  Resultado vendeItem(const Item& item, int* numeroItem = nullptr);
  // Acréscimo/desconto num item já vendido; numeroItem 0 = o último.
  Resultado ajustaItem(int numeroItem, const Ajuste& ajuste);
  Resultado cancelaItem(int numeroItem);
  Resultado cancelaUltimoItem();
  Resultado iniciaFechamento(const Ajuste& ajusteSubtotal = Ajuste());
  // Pagamento do cupom fiscal ou do comprovante não fiscal aberto.
  Resultado efetuaPagamento(const std::string& forma, int64_t valorCentavos,
                            const std::string& observacao = std::string());
  // Encerra o cupom fiscal pago; a mensagem promocional pode ter várias linhas.
  Resultado encerraCupom(const std::string& mensagem = std::string());
  // Cancela o cupom fiscal aberto, ou o comprovante não fiscal aberto, ou
  // (sem documento aberto) o último cupom fiscal, se foi o último documento do dia.
  Resultado cancelaCupom();

  // ---- documentos não fiscais ----
  Resultado abreComprovanteNaoFiscal();
  Resultado registraItemNaoFiscal(const std::string& totalizador, int64_t valorCentavos);
  Resultado encerraComprovanteNaoFiscal(const std::string& mensagem = std::string());
  // Um comprovante completo: abre, registra, paga e encerra (desfaz tudo se algo falhar).
  Resultado recebimentoNaoFiscal(const std::string& totalizador, int64_t valorCentavos,
                                 const std::string& forma);
  Resultado suprimento(int64_t valorCentavos, const std::string& forma = "Dinheiro");
  Resultado sangria(int64_t valorCentavos);

  // Comprovante de crédito/débito vinculado a um pagamento do último cupom.
  // valor 0: o que resta do pagamento; cooCupom 0: o último cupom.
  Resultado abreComprovanteVinculado(const std::string& forma, int64_t valorCentavos = 0,
                                     int cooCupom = 0);
  Resultado imprimeComprovanteVinculado(const std::string& texto);
  Resultado fechaComprovanteVinculado();

  // indice 0 abre o relatório 1.
  Resultado abreRelatorioGerencial(int indice);
  Resultado abreRelatorioGerencialPorNome(const std::string& nome);
  Resultado imprimeRelatorioGerencial(const std::string& texto);
  Resultado fechaRelatorioGerencial();

  // ---- o dia ----
  Resultado leituraX();
  Resultado reducaoZ();

  // ---- leitura da memória fiscal ----
  // Faixa por CRZ ou por dia de movimento (datas, só o dia conta).
  struct FaixaMemoriaFiscal {
    bool porData = false;
    int crzInicial = 0, crzFinal = 0;
    DataHora dataInicial, dataFinal;
    bool completa = false;  // simplificada: sem os totais parciais de cada redução
  };
  // O texto da leitura, como sai na bobina ou no arquivo; vazio quando a faixa
  // é inválida (início depois do fim, CRZ negativo, data inválida).
  std::vector<std::string> textoLeituraMemoriaFiscal(const FaixaMemoriaFiscal& faixa) const;
  // Imprime a leitura: um documento não fiscal ("LMF") com COO e GNF próprios.
  Resultado leituraMemoriaFiscal(const FaixaMemoriaFiscal& faixa);

  // ---- gaveta ----
  Resultado abreGaveta();
  void fechaGaveta() { gavetaAberta_ = false; }
  bool gavetaAberta() const { return gavetaAberta_; }
  int aberturasGaveta() const { return aberturasGaveta_; }

  // ---- consultas (não imprimem, não mudam nada) ----
  const Identificacao& identificacao() const { return identificacao_; }
  const Contadores& contadores() const { return contadores_; }
  int64_t grandeTotal() const { return grandeTotal_; }
  TipoDocumento documentoAberto() const { return documento_; }
  FaseCupom faseCupom() const;  // do cupom fiscal ou do comprovante não fiscal aberto
  const Cupom& cupomAtual() const { return cupom_; }
  const Cupom& ultimoCupom() const { return ultimoCupom_; }
  const ComprovanteNaoFiscal& naoFiscalAtual() const { return naoFiscal_; }
  const ComprovanteVinculado& vinculadoAtual() const { return vinculado_; }
  int relatorioAberto() const { return relatorioAberto_; }
  int64_t subtotal() const;  // do documento aberto; 0 sem documento
  int64_t totalPago() const;
  int64_t troco() const;

  bool diaAberto() const { return diaAberto_; }
  DataHora dataMovimento() const { return dataMovimento_; }  // só a data; vale com o dia aberto
  bool reducaoZPendente() const;
  bool diaBloqueado() const;
  DataHora dataHoraUltimoDocumento() const { return ultimoDocumento_; }
  const TotaisDia& totaisDia() const { return totais_; }
  int64_t vendaBrutaDia() const { return grandeTotal_ - totais_.grandeTotalInicial; }
  int64_t vendaLiquidaDia() const;

  const std::vector<Aliquota>& aliquotas() const { return aliquotas_; }
  const std::vector<FormaPagamento>& formasPagamento() const { return formas_; }
  const std::vector<TotalizadorNaoFiscal>& totalizadoresNaoFiscais() const {
    return totalizadores_;
  }
  const std::vector<RelatorioGerencial>& relatoriosGerenciais() const { return relatorios_; }
  const std::vector<DadosReducao>& memoriaFiscal() const { return memoriaFiscal_; }
  const DadosReducao* ultimaReducao() const {
    return memoriaFiscal_.empty() ? nullptr : &memoriaFiscal_.back();
  }
  // Fita-detalhe eletrônica: todo documento impresso, em ordem.
  const std::vector<DocumentoImpresso>& jornal() const { return jornal_; }
  const std::map<std::string, std::vector<int>>& codigosInjetados() const {
    return codigosInjetados_;
  }

  // Totais parciais do dia: alíquotas programadas e situações fixas.
  std::vector<TotalParcial> totaisParciais() const;
  // Resolve um código de alíquota como vendeItem o entende ("01T1800", "F", "IS"...).
  // Devolve vazio quando não está programado ou é mal formado.
  std::string resolveAliquota(const std::string& codigo) const;
  const FormaPagamento* procuraForma(const std::string& nome) const;
  const TotalizadorNaoFiscal* procuraTotalizador(const std::string& nome) const;

  // Gravação explícita (as operações já gravam); false quando não conseguiu.
  bool grava();

 private:
  template <typename Corpo>
  Resultado opera(Corpo corpo);
  void estadoDeFabrica();
  void carrega();
  std::string serializa() const;
  bool desserializa(const std::string& texto, std::string& erro);
  void aplicaArquivoControle();

  Resultado podeImprimir() const;
  Resultado podeAbrirDocumento() const;
  void abreDiaSeFechado();
  void iniciaDocumento(const std::string& tipo);
  void imprime(const std::string& linha);
  void imprime(const std::vector<std::string>& linhas);
  void imprimeCabecalho(const std::string& titulo, bool comCcf);
  void imprimeRodape();
  int64_t arredondaDivisao(int64_t numerador, int64_t denominador) const;
  int64_t valorDoAjuste(const Ajuste& a, int64_t base) const;
  std::string rotuloAliquota(const std::string& codigo) const;
  void somaTotalParcial(const std::string& codigo, int64_t valor);
  Aliquota* aliquotaPorCodigo(const std::string& codigo);
  FormaPagamento* formaPorNome(const std::string& nome);
  void retiraDoDia(const Cupom& c);
  void encerraDocumentoNaoFiscal();
  Resultado recebimentoNaoFiscalCompleto(const std::string& totalizador, int64_t valorCentavos,
                                         const std::string& forma);
  std::vector<std::string> linhasTotaisDia() const;
  TotalParcial* totalFixo(const std::string& codigo);

  std::string caminhoEstado_;
  bool avisouGravacao_ = false;
  Relogio relogio_;
  bool ligada_ = true;
  SensorPapel papel_ = SensorPapel::Presente;
  std::map<std::string, std::vector<int>> codigosInjetados_;

  // memória da impressora (gravada)
  Identificacao identificacao_;
  Contadores contadores_;
  int64_t grandeTotal_ = 0;
  bool arredonda_ = false;
  bool horarioVerao_ = false;
  std::vector<Aliquota> aliquotas_;
  std::vector<FormaPagamento> formas_;
  std::vector<TotalizadorNaoFiscal> totalizadores_;
  std::vector<RelatorioGerencial> relatorios_;
  bool diaAberto_ = false;
  DataHora dataMovimento_;
  TotaisDia totais_;
  TipoDocumento documento_ = TipoDocumento::Nenhum;
  Cupom cupom_;
  Cupom ultimoCupom_;
  bool ultimoCupomCancelavel_ = false;
  ComprovanteNaoFiscal naoFiscal_;
  ComprovanteVinculado vinculado_;
  int relatorioAberto_ = 0;
  DataHora ultimoDocumento_;
  bool gavetaAberta_ = false;
  int aberturasGaveta_ = 0;
  std::vector<DadosReducao> memoriaFiscal_;
  std::vector<DocumentoImpresso> jornal_;
};

// A impressora simulada do processo para um fabricante, criada no primeiro uso
// (os drivers substitutos do mesmo processo compartilham a mesma).
ImpressoraFiscal& impressoraDoProcesso(const std::string& fabricante);
// Esquece as impressoras do processo: o próximo impressoraDoProcesso cria outra,
// relendo TARVIC_SIM_ESTADO (para quem troca de arquivo de estado, como os testes).
void descartaImpressorasDoProcesso();

}  // namespace simulador
}  // namespace tarvic
