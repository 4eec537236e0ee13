// The panel's one script: polls /estado, draws the tape as it grows, and
// sends the fault buttons' clicks. The token, when the monitor has one, comes
// in the page's address (?token=...) and goes with every request.
'use strict';

const token = new URLSearchParams(location.search).get('token') || '';
const cabecalhos = token ? { 'X-Tarvic-Token': token } : {};
let fim = -1;
let funcoes = '';

const nomesDia = {
  aberto: 'aberto', fechado: 'fechado', reducao_pendente: 'redução Z pendente',
  bloqueado: 'bloqueado (redução Z do dia feita)',
};

function texto(id, valor) {
  document.getElementById(id).textContent = valor;
}

function reais(centavos) {
  const sinal = centavos < 0 ? '-' : '';
  const c = Math.abs(centavos);
  const inteiro = Math.floor(c / 100).toString().replace(/\B(?=(\d{3})+(?!\d))/g, '.');
  return 'R$ ' + sinal + inteiro + ',' + String(c % 100).padStart(2, '0');
}

function desenhaBobina(b) {
  const papel = document.getElementById('papel');
  const bobina = document.getElementById('bobina');
  const noFim = papel.scrollTop + papel.clientHeight >= papel.scrollHeight - 4;
  if (b.recomeco) bobina.textContent = '';
  if (b.texto) bobina.append(b.texto);
  fim = b.fim;
  if (noFim || b.recomeco) papel.scrollTop = papel.scrollHeight;
}

function desenhaImpressora(i) {
  document.querySelectorAll('.so-simulada').forEach((e) => { e.hidden = !i.simulada; });
  document.getElementById('real').hidden = i.simulada;
  if (!i.simulada || i.ilegivel) return;
  texto('arquivo', i.estado);
  texto('coo', i.coo);
  texto('ccf', i.ccf);
  texto('gnf', i.gnf);
  texto('crz', i.crz);
  texto('gt', reais(i.grande_total_centavos));
  texto('dia', (nomesDia[i.dia] || i.dia) + (i.data_movimento ? ' (' + i.data_movimento + ')' : ''));
  texto('documento', i.documento || 'nenhum');
  const injetados = Object.entries(i.codigos_injetados).map(([f, c]) => f + '=' + c.join(','));
  const pendentes = [i.falhas_pendentes.trim(), ...injetados].filter((t) => t).join('; ');
  texto('pendentes', pendentes ? 'Aguardando a próxima chamada: ' + pendentes : '');
  desenhaBobina(i.bobina);
}

function desenhaFuncoes(lista) {
  const chave = lista.join(',');
  if (chave === funcoes) return;
  funcoes = chave;
  const select = document.getElementById('funcao');
  select.replaceChildren(...lista.map((f) => new Option(f, f)));
}

function desenhaComandos(comandos) {
  const corpo = document.getElementById('comandos');
  const linhas = comandos.slice().reverse().map((c) => {
    const tr = document.createElement('tr');
    if (c.resultado === '0' || (c.ecf_Retorno !== '1' && c.ecf_Retorno !== '')) tr.className = 'falhou';
    for (const [valor, classe] of [[c.hora.slice(11), ''], [c.funcao, ''], [c.argumentos, 'args'],
      [c.resultado, ''], [c.ecf_Retorno, ''], [c.duracao, '']]) {
      const td = document.createElement('td');
      td.textContent = valor;
      if (classe) td.className = classe;
      tr.append(td);
    }
    return tr;
  });
  corpo.replaceChildren(...linhas);
}

async function atualiza() {
  try {
    const r = await fetch('estado?desde=' + fim, { headers: cabecalhos });
    const e = await r.json();
    if (!r.ok) throw new Error(e.erro);
    texto('fabricante', e.fabricante || 'aguardando ecf_Inicializa');
    desenhaImpressora(e.impressora);
    texto('ultima', e.ultima_falha ? 'Último botão: ' + e.ultima_falha : '');
    if (document.getElementById('aviso').textContent.startsWith('Sem contato')) texto('aviso', '');
    desenhaFuncoes(e.funcoes);
    desenhaComandos(e.comandos);
  } catch (erro) {
    texto('aviso', 'Sem contato com o monitor: ' + erro.message);
  }
  setTimeout(atualiza, 400);
}

async function envia(falha) {
  const r = await fetch('falha', {
    method: 'POST',
    headers: { ...cabecalhos, 'Content-Type': 'application/json' },
    body: JSON.stringify(falha),
  });
  const resposta = await r.json();
  texto('aviso', r.ok ? '' : resposta.erro);
}

document.querySelectorAll('#botoes button').forEach((b) => {
  b.addEventListener('click', () => envia({ falha: b.dataset.falha }));
});
document.getElementById('codigo').addEventListener('submit', (evento) => {
  evento.preventDefault();
  const codigo = parseInt(document.getElementById('valor').value, 10);
  envia({ funcao: document.getElementById('funcao').value, codigo });
});
atualiza();
