<?php
// A PHP client of tarvic-monitor, as a shop's web PDV would be: sells a
// whole coupon over TCP and prints, as JSON, what the replies told.
//   php venda.php HOST PORT MANUFACTURER
[$programa, $host, $porta, $fabricante] = $argv;

function falha(string $mensagem): void {
    fwrite(STDERR, "venda.php: $mensagem\n");
    exit(1);
}

$conexao = stream_socket_client("tcp://$host:$porta", $erro, $texto, 30);
if (!$conexao) falha("no connection: $texto");
stream_set_timeout($conexao, 60);
$id = 0;

function chama(string $funcao, array $args = []) {
    global $conexao, $id;
    $pedido = ['id' => ++$id, 'funcao' => $funcao, 'args' => $args];
    fwrite($conexao, json_encode($pedido, JSON_UNESCAPED_UNICODE) . "\n");
    $linha = fgets($conexao);
    if ($linha === false) falha("$funcao: no reply");
    $r = json_decode($linha, true, 512, JSON_BIGINT_AS_STRING);
    if (!is_array($r) || ($r['id'] ?? null) !== $id) falha("$funcao: reply $linha");
    if (isset($r['erro'])) falha("$funcao refused: {$r['erro']}");
    return $r['resultado'];
}

$aliquota = in_array($fabricante, ['DATAREGIS', 'URANO']) ? '18,00' : '01';
$itens = [['7891000400404', 'LEITE INTEGRAL 1L', '4,99', 49900],
          ['7891000500501', 'PÃO DE FORMA 500G', '9,30', 93000]];
$antes = chama('ecf_GtAtu');
if (chama('ecf_AbreCupom') !== true) falha('ecf_AbreCupom failed');
$total = 0;
foreach ($itens as $n => [$codigo, $descricao, $preco, $valor]) {
    if (chama('ecf_VendeItem', [$codigo, $descricao, 'UN', 0, $aliquota, 0, '1', $preco, '$', '0',
                                0, false, $n + 1]) !== true)
        falha('ecf_VendeItem failed');
    $total += $valor;
}
if (chama('ecf_IniciaFechamentoCupom', ['D', '0']) !== true) falha('ecf_IniciaFechamentoCupom failed');
if (chama('ecf_EfetuaFormaPagto', ['Dinheiro', $total + 50000]) !== true) falha('ecf_EfetuaFormaPagto failed');
if (chama('ecf_TerminaFechamentoCupom', ['Volte sempre']) !== true) falha('ecf_TerminaFechamentoCupom failed');
$depois = chama('ecf_GtAtu');
if ($depois - $antes !== $total) falha("grand total went from $antes to $depois for a coupon of $total");
echo json_encode(['total' => $total, 'gt' => $depois, 'coo' => chama('ecf_NumeroCupom'),
                  'ccf' => chama('ecf_NumeroCCF')]), "\n";
