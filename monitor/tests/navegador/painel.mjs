// The panel in a real browser (Debian's Chromium, driven by playwright-core):
// the tape shows the coupon a client has just sold; "sem papel" makes the
// next ecf_AbreCupom over TCP fail with the printer's paper-out status, and
// "papel" lets the sale go on. Leaves a screenshot of the panel.
//   node painel.mjs PANEL_URL TCP_HOST TCP_PORT SCREENSHOT PROFILE_FOLDER
import net from 'node:net';
import readline from 'node:readline';
import { chromium } from 'playwright-core';

const [url, host, porta, foto, perfil] = process.argv.slice(2);

function falha(mensagem) {
  throw new Error(mensagem);
}

// A JSON-lines client of the monitor in Node.
async function conecta() {
  const socket = net.connect(Number(porta), host);
  await new Promise((ok, erro) => { socket.once('connect', ok); socket.once('error', erro); });
  const linhas = readline.createInterface({ input: socket })[Symbol.asyncIterator]();
  let id = 0;
  return {
    async chama(funcao, ...args) {
      socket.write(JSON.stringify({ id: ++id, funcao, args }) + '\n');
      const { value } = await linhas.next();
      const r = JSON.parse(value);
      if (r.id !== id || r.erro) falha(`${funcao}: ${value}`);
      return r;
    },
    fecha() { socket.end(); },
  };
}

const contexto = await chromium.launchPersistentContext(perfil, {
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  viewport: { width: 1280, height: 860 },
});
try {
  const pagina = contexto.pages()[0] || await contexto.newPage();
  await pagina.goto(url);
  const bobina = pagina.locator('#bobina');
  await bobina.getByText('CAFÉ TORRADO 500G').waitFor({ timeout: 15000 });
  await pagina.locator('#ccf', { hasText: /^1$/ }).waitFor({ timeout: 15000 });

  const ecf = await conecta();
  await pagina.getByRole('button', { name: 'sem papel', exact: true }).click();
  await pagina.getByText('Aguardando a próxima chamada: sem_papel').waitFor({ timeout: 15000 });
  let r = await ecf.chama('ecf_AbreCupom');
  if (r.resultado !== false || !/Sem papel/.test(r.retorno.POSICAO || '')) {
    falha('ecf_AbreCupom without paper: ' + JSON.stringify(r));
  }
  await pagina.getByRole('button', { name: 'papel', exact: true }).click();
  await pagina.getByText('Aguardando a próxima chamada: papel').waitFor({ timeout: 15000 });
  r = await ecf.chama('ecf_AbreCupom');
  if (r.resultado !== true) falha('ecf_AbreCupom with paper back: ' + JSON.stringify(r));
  for (const [n, descricao, preco] of [[1, 'PÃO FRANCÊS KG', '12,90'], [2, 'MANTEIGA 200G', '11,40']]) {
    r = await ecf.chama('ecf_VendeItem', '78910005' + n, descricao, 'UN', 0, '01', 0, '1', preco,
      '$', '0', 0, false, n);
    if (r.resultado !== true) falha('ecf_VendeItem: ' + JSON.stringify(r));
  }
  // The item is on the tape while the coupon is still open.
  await bobina.getByText('MANTEIGA 200G').waitFor({ timeout: 15000 });
  await ecf.chama('ecf_IniciaFechamentoCupom', 'D', '0');
  await ecf.chama('ecf_EfetuaFormaPagto', 'Dinheiro', 300000);
  r = await ecf.chama('ecf_TerminaFechamentoCupom', 'Obrigado!');
  if (r.resultado !== true) falha('ecf_TerminaFechamentoCupom: ' + JSON.stringify(r));
  ecf.fecha();
  await pagina.locator('#documento', { hasText: 'nenhum' }).waitFor({ timeout: 15000 });
  await pagina.locator('#comandos tr:first-child td:nth-child(2)',
    { hasText: 'ecf_TerminaFechamentoCupom' }).waitFor({ timeout: 15000 });
  await pagina.locator('#ccf', { hasText: /^2$/ }).waitFor({ timeout: 15000 });
  await pagina.screenshot({ path: foto });
  console.log('ok panel: the tape grew with each sale; sem papel and papel reached the printer');
} finally {
  await contexto.close();
}
