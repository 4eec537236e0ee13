#!/usr/bin/env bash
# The demo's files on a machine shared with other users: links planted where
# the demo and the simulated printer write are never written through, a
# fault file of another user injects nothing, and by default everything goes
# to the user's own folder.
set -u
demo=$1
pasta=$(mktemp -d)
trap 'rm -rf "$pasta"' EXIT
vitima=$pasta/vitima
echo "dados do usuario" >"$vitima"
falhas=0
confere() {
  if ! "$@"; then
    echo "FALHOU: $*" >&2
    falhas=$((falhas + 1))
  fi
}
sessao() {
  env -u TARVIC_SIM_ESTADO -u TARVIC_SIM_FALHAS "$demo" --silencioso "$@" >"$pasta/saida" 2>&1 ||
    { cat "$pasta/saida" >&2; return 1; }
}

# Links at the control file, the state file and its old working file: the
# session switches the printer off and on through the control file.
mkdir "$pasta/a"
for nome in impressora_BEMATECH.falhas impressora_BEMATECH.json impressora_BEMATECH.json.tmp; do
  ln -s "$vitima" "$pasta/a/$nome"
done
confere sessao --pasta "$pasta/a" --desliga-no-meio
confere grep -qx "dados do usuario" "$vitima"
confere test -L "$pasta/a/impressora_BEMATECH.json.tmp"
confere test ! -L "$pasta/a/impressora_BEMATECH.json"

# A fault file that belongs to another user is left alone (making one takes root).
if [ "$(id -u)" -eq 0 ]; then
  mkdir "$pasta/b"
  echo desligada >"$pasta/b/impressora_BEMATECH.falhas"
  chown 65534:65534 "$pasta/b/impressora_BEMATECH.falhas"
  confere sessao --pasta "$pasta/b"
  confere grep -qx desligada "$pasta/b/impressora_BEMATECH.falhas"
else
  echo "not root: the foreign fault file is not tried"
fi

# By default the user's own folder, not the shared temporary folder where a
# link waits at the demo's old folder name.
mkdir -m 0700 "$pasta/run" "$pasta/tmp"
ln -s "$pasta/a" "$pasta/tmp/tarvic-demo"
antes=$(cat "$pasta/a/impressora_BEMATECH.jornal")
confere env XDG_RUNTIME_DIR="$pasta/run" TMPDIR="$pasta/tmp" TEMP="$pasta/tmp" TMP="$pasta/tmp" \
  bash -c "$(declare -f sessao); demo='$demo' pasta='$pasta' sessao"
confere test -f "$pasta/run/tarvic/tarvic-demo/impressora_BEMATECH.json"
confere test "$antes" = "$(cat "$pasta/a/impressora_BEMATECH.jornal")"
confere grep -qx "dados do usuario" "$vitima"
[ $falhas -eq 0 ] && echo "demo: arquivos seguros"
exit $falhas
