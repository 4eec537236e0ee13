// The saved structures of the simulated printer, each described once: its
// members in the order they are written, each with its name in the files and
// whether a file may lack it. The writer, the reader and the comparison that
// decides what the log of changes records (estado_gravado.cpp) all walk these
// descriptions, and so does the round-trip test. A member that its
// structure's description leaves out does not compile (see the end).
//
// A description calls, on the visitor it is given:
//   exigido(name, &S::member)          a file without it is damaged
//   opcional(name, &S::member)         missing: the member of a new S
//   opcional(name, &S::member, value)  missing: that value
//   contagem(name, &S::member)         a vector whose elements are sections
//                                      of their own: only its size is here
//   soLeitura(name, &S::member)        read when a file has it, never written
//                                      (it is kept elsewhere now)
// and the description of the small state's sections calls
//   secao(name, &EstadoGravado::member), vista(name, Tipo<View>()) (loose
//   members of EstadoGravado in one section) and cupom(name, &member) (a
//   coupon, its items in sections of their own).
#pragma once

#include "estado_gravado.h"
#include "tipos.h"

#include <cstddef>
#include <type_traits>
#include <utility>

namespace tarvic {
namespace simulador {
namespace campos {

template <class T>
struct Tipo {};

// The "geral" and "arquivos" sections: loose members of EstadoGravado.
struct Geral {};
struct Arquivos {};

template <class V>
constexpr void Descreve(V& v, Tipo<Identificacao>) {
  using S = Identificacao;
  v.opcional("fabricante", &S::fabricante);
  v.opcional("marca", &S::marca);
  v.opcional("modelo", &S::modelo);
  v.opcional("tipo", &S::tipo);
  v.opcional("mfd", &S::mfd);
  v.opcional("numeroSerie", &S::numeroSerie);
  v.opcional("numeroUsuario", &S::numeroUsuario);
  v.opcional("numeroCaixa", &S::numeroCaixa);
  v.opcional("numeroLoja", &S::numeroLoja);
  v.opcional("versaoFirmware", &S::versaoFirmware);
  v.opcional("razaoSocial", &S::razaoSocial);
  v.opcional("endereco", &S::endereco);
  v.opcional("cidade", &S::cidade);
  v.opcional("cnpj", &S::cnpj);
  v.opcional("ie", &S::ie);
  v.opcional("im", &S::im);
}

template <class V>
constexpr void Descreve(V& v, Tipo<Contadores>) {
  using S = Contadores;
  v.exigido("coo", &S::coo);
  v.exigido("ccf", &S::ccf);
  v.exigido("gnf", &S::gnf);
  v.exigido("grg", &S::grg);
  v.exigido("cdc", &S::cdc);
  v.exigido("crz", &S::crz);
  v.exigido("cro", &S::cro);
  v.opcional("cfc", &S::cfc);
  v.opcional("cnf", &S::cnf);
}

template <class V>
constexpr void Descreve(V& v, Tipo<Aliquota>) {
  using S = Aliquota;
  v.exigido("indice", &S::indice);
  v.exigido("tipo", &S::tipo);
  v.exigido("percentual", &S::percentual);
  v.opcional("totalDia", &S::totalDia);
}

template <class V>
constexpr void Descreve(V& v, Tipo<FormaPagamento>) {
  using S = FormaPagamento;
  v.exigido("indice", &S::indice);
  v.opcional("nome", &S::nome);
  v.opcional("permiteVinculado", &S::permiteVinculado);
  v.opcional("totalDia", &S::totalDia);
}

template <class V>
constexpr void Descreve(V& v, Tipo<TotalizadorNaoFiscal>) {
  using S = TotalizadorNaoFiscal;
  v.exigido("indice", &S::indice);
  v.opcional("nome", &S::nome);
  v.opcional("saida", &S::saida);
  v.opcional("totalDia", &S::totalDia);
  v.opcional("contadorDia", &S::contadorDia);
}

template <class V>
constexpr void Descreve(V& v, Tipo<RelatorioGerencial>) {
  using S = RelatorioGerencial;
  v.exigido("indice", &S::indice);
  v.opcional("nome", &S::nome);
  v.opcional("contadorDia", &S::contadorDia);
}

template <class V>
constexpr void Descreve(V& v, Tipo<TotalParcial>) {
  v.opcional("codigo", &TotalParcial::codigo);
  v.opcional("total", &TotalParcial::total);
}

template <class V>
constexpr void Descreve(V& v, Tipo<ItemCupom>) {
  using S = ItemCupom;
  v.exigido("numero", &S::numero);
  v.opcional("codigo", &S::codigo);
  v.opcional("descricao", &S::descricao);
  v.opcional("unidade", &S::unidade);
  v.opcional("aliquota", &S::aliquota);
  v.opcional("iss", &S::iss);
  v.exigido("quantidadeMilesimos", &S::quantidadeMilesimos);
  v.exigido("precoUnitarioMilesimos", &S::precoUnitarioMilesimos);
  v.exigido("bruto", &S::bruto);
  v.opcional("acrescimo", &S::acrescimo);
  v.opcional("desconto", &S::desconto);
  v.opcional("rateioSubtotal", &S::rateioSubtotal);
  v.opcional("cancelado", &S::cancelado);
}

template <class V>
constexpr void Descreve(V& v, Tipo<PagamentoCupom>) {
  using S = PagamentoCupom;
  v.opcional("forma", &S::forma);
  v.exigido("valor", &S::valor);
  v.opcional("observacao", &S::observacao);
  v.opcional("vinculadoUsado", &S::vinculadoUsado);
}

// The header of a coupon: its items are sections of their own.
template <class V>
constexpr void Descreve(V& v, Tipo<Cupom>) {
  using S = Cupom;
  v.opcional("coo", &S::coo);
  v.opcional("ccf", &S::ccf);
  v.opcional("abertura", &S::abertura);
  v.opcional("consumidorDocumento", &S::consumidorDocumento);
  v.opcional("consumidorNome", &S::consumidorNome);
  v.opcional("consumidorEndereco", &S::consumidorEndereco);
  v.contagem("quantidadeItens", &S::itens);
  v.opcional("acrescimoSubtotal", &S::acrescimoSubtotal);
  v.opcional("descontoSubtotal", &S::descontoSubtotal);
  v.opcional("pagamentos", &S::pagamentos);
  v.opcional("fase", &S::fase);
  v.opcional("cancelado", &S::cancelado);
}

template <class V>
constexpr void Descreve(V& v, Tipo<ItemNaoFiscal>) {
  using S = ItemNaoFiscal;
  v.exigido("indiceTotalizador", &S::indiceTotalizador);
  v.opcional("totalizador", &S::totalizador);
  v.exigido("valor", &S::valor);
  v.opcional("saida", &S::saida);
}

template <class V>
constexpr void Descreve(V& v, Tipo<ComprovanteNaoFiscal>) {
  using S = ComprovanteNaoFiscal;
  v.opcional("coo", &S::coo);
  v.opcional("itens", &S::itens);
  v.opcional("pagamentos", &S::pagamentos);
  v.opcional("fase", &S::fase);
}

template <class V>
constexpr void Descreve(V& v, Tipo<ComprovanteVinculado>) {
  using S = ComprovanteVinculado;
  v.opcional("coo", &S::coo);
  v.opcional("cooCupom", &S::cooCupom);
  v.opcional("forma", &S::forma);
  v.opcional("valor", &S::valor);
}

template <class V>
constexpr void Descreve(V& v, Tipo<TotaisDia>) {
  using S = TotaisDia;
  v.exigido("grandeTotalInicial", &S::grandeTotalInicial);
  v.opcional("cancelamentosIcms", &S::cancelamentosIcms);
  v.opcional("cancelamentosIss", &S::cancelamentosIss);
  v.opcional("descontosIcms", &S::descontosIcms);
  v.opcional("descontosIss", &S::descontosIss);
  v.opcional("acrescimosIcms", &S::acrescimosIcms);
  v.opcional("acrescimosIss", &S::acrescimosIss);
  v.opcional("troco", &S::troco);
  v.opcional("sangrias", &S::sangrias);
  v.opcional("suprimentos", &S::suprimentos);
  v.opcional("fixos", &S::fixos);
}

// A line of the fiscal memory.
template <class V>
constexpr void Descreve(V& v, Tipo<DadosReducao>) {
  using S = DadosReducao;
  v.exigido("crz", &S::crz);
  v.exigido("coo", &S::coo);
  v.opcional("cro", &S::cro, 1);
  v.exigido("dataMovimento", &S::dataMovimento);
  v.opcional("dataHoraEmissao", &S::dataHoraEmissao);
  v.exigido("grandeTotal", &S::grandeTotal);
  v.opcional("vendaBruta", &S::vendaBruta);
  v.opcional("vendaLiquida", &S::vendaLiquida);
  v.opcional("cancelamentosIcms", &S::cancelamentosIcms);
  v.opcional("cancelamentosIss", &S::cancelamentosIss);
  v.opcional("descontosIcms", &S::descontosIcms);
  v.opcional("descontosIss", &S::descontosIss);
  v.opcional("acrescimosIcms", &S::acrescimosIcms);
  v.opcional("acrescimosIss", &S::acrescimosIss);
  v.opcional("totaisParciais", &S::totaisParciais);
  v.opcional("formasPagamento", &S::formasPagamento);
  v.opcional("naoFiscais", &S::naoFiscais);
  v.opcional("ccf", &S::ccf);
  v.opcional("gnf", &S::gnf);
  v.opcional("grg", &S::grg);
  v.opcional("cdc", &S::cdc);
  v.opcional("cfc", &S::cfc);
  v.opcional("cnf", &S::cnf);
}

// A document's start in the journal; its lines follow it there (version 1
// kept them inside).
template <class V>
constexpr void Descreve(V& v, Tipo<DocumentoImpresso>) {
  using S = DocumentoImpresso;
  v.exigido("coo", &S::coo);
  v.opcional("tipo", &S::tipo);
  v.opcional("dataHora", &S::dataHora);
  v.soLeitura("linhas", &S::linhas);
}

template <class V>
constexpr void Descreve(V& v, Tipo<Geral>) {
  using S = EstadoGravado;
  v.exigido("grandeTotal", &S::grandeTotal);
  v.opcional("arredonda", &S::arredonda);
  v.opcional("horarioVerao", &S::horarioVerao);
  v.opcional("deslocamentoRelogio", &S::deslocamentoRelogio);
  v.opcional("diaAberto", &S::diaAberto);
  v.opcional("dataMovimento", &S::dataMovimento);
  v.opcional("documentoAberto", &S::documento);
  v.opcional("ultimoCupomCancelavel", &S::ultimoCupomCancelavel);
  v.opcional("relatorioAberto", &S::relatorioAberto);
  v.opcional("ultimoDocumento", &S::ultimoDocumento);
  v.opcional("gavetaAberta", &S::gavetaAberta);
  v.opcional("aberturasGaveta", &S::aberturasGaveta);
}

template <class V>
constexpr void Descreve(V& v, Tipo<Arquivos>) {
  using S = EstadoGravado;
  v.opcional("jornal", &S::bytesJornal);
  v.opcional("bobina", &S::bytesBobina);
  v.opcional("memoriaFiscal", &S::bytesMemoriaFiscal);
}

// The small state's sections, in the order they are written.
template <class V>
constexpr void DescreveSecoes(V& v) {
  using S = EstadoGravado;
  v.secao("identificacao", &S::identificacao);
  v.secao("contadores", &S::contadores);
  v.vista("geral", Tipo<Geral>());
  v.secao("aliquotas", &S::aliquotas);
  v.secao("formasPagamento", &S::formas);
  v.secao("totalizadoresNaoFiscais", &S::totalizadores);
  v.secao("relatoriosGerenciais", &S::relatorios);
  v.secao("totaisDia", &S::totais);
  v.secao("naoFiscal", &S::naoFiscal);
  v.secao("vinculado", &S::vinculado);
  v.secao("codigosInjetados", &S::codigosInjetados);
  v.secao("documentoAtual", &S::documentoAtual);
  v.vista("arquivos", Tipo<Arquivos>());
  v.cupom("cupom", &S::cupom);
  v.cupom("ultimoCupom", &S::ultimoCupom);
}

// ---------------------------------------------------------------- every member described

// How many members the description names.
struct Contagem {
  std::size_t n = 0;
  template <class M>
  constexpr void exigido(const char*, M) {
    ++n;
  }
  template <class M, class... P>
  constexpr void opcional(const char*, M, P...) {
    ++n;
  }
  template <class M>
  constexpr void contagem(const char*, M) {
    ++n;
  }
  template <class M>
  constexpr void soLeitura(const char*, M) {
    ++n;
  }
  template <class M>
  constexpr void secao(const char*, M) {
    ++n;
  }
  template <class M>
  constexpr void cupom(const char*, M) {
    ++n;
  }
  template <class Vista>
  constexpr void vista(const char*, Tipo<Vista> t) {
    Descreve(*this, t);
  }
};

template <class T>
constexpr std::size_t Descritos() {
  Contagem c;
  if constexpr (std::is_same_v<T, EstadoGravado>)
    DescreveSecoes(c);
  else
    Descreve(c, Tipo<T>());
  return c.n;
}

// How many members an aggregate has: the most initializers it takes.
struct Qualquer {
  template <class T>
  operator T() const;
};
template <class T, class, class = void>
struct Inicializa : std::false_type {};
template <class T, std::size_t... I>
struct Inicializa<T, std::index_sequence<I...>, std::void_t<decltype(T{(void(I), Qualquer{})...})>>
    : std::true_type {};
template <class T, std::size_t N = 0>
constexpr std::size_t Membros() {
  if constexpr (Inicializa<T, std::make_index_sequence<N + 1>>::value)
    return Membros<T, N + 1>();
  else
    return N;
}

// Whether T has a description of its own.
template <class T, class = void>
struct Descrito : std::false_type {};
template <class T>
struct Descrito<T, std::void_t<decltype(Descreve(std::declval<Contagem&>(), Tipo<T>()))>>
    : std::true_type {};

#define TARVIC_TODO_MEMBRO_DESCRITO(T) \
  static_assert(Membros<T>() == Descritos<T>(), "a member of " #T " is not in its description")
TARVIC_TODO_MEMBRO_DESCRITO(Identificacao);
TARVIC_TODO_MEMBRO_DESCRITO(Contadores);
TARVIC_TODO_MEMBRO_DESCRITO(Aliquota);
TARVIC_TODO_MEMBRO_DESCRITO(FormaPagamento);
TARVIC_TODO_MEMBRO_DESCRITO(TotalizadorNaoFiscal);
TARVIC_TODO_MEMBRO_DESCRITO(RelatorioGerencial);
TARVIC_TODO_MEMBRO_DESCRITO(TotalParcial);
TARVIC_TODO_MEMBRO_DESCRITO(ItemCupom);
TARVIC_TODO_MEMBRO_DESCRITO(PagamentoCupom);
TARVIC_TODO_MEMBRO_DESCRITO(Cupom);
TARVIC_TODO_MEMBRO_DESCRITO(ItemNaoFiscal);
TARVIC_TODO_MEMBRO_DESCRITO(ComprovanteNaoFiscal);
TARVIC_TODO_MEMBRO_DESCRITO(ComprovanteVinculado);
TARVIC_TODO_MEMBRO_DESCRITO(TotaisDia);
TARVIC_TODO_MEMBRO_DESCRITO(DadosReducao);
TARVIC_TODO_MEMBRO_DESCRITO(DocumentoImpresso);
TARVIC_TODO_MEMBRO_DESCRITO(EstadoGravado);
#undef TARVIC_TODO_MEMBRO_DESCRITO

}  // namespace campos
}  // namespace simulador
}  // namespace tarvic
