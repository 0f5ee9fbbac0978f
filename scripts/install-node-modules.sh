#!/usr/bin/env bash
# Installs what the tests' independent MD2 readers need: Node.js with npm
# (Debian's packages, when the machine has no node and npm yet) and the npm
# packages pinned in tests/support/node/package-lock.json.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
readers="$root/tests/support/node"

if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "install-node-modules: installing Debian's nodejs and npm"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends nodejs npm
fi

# npm ci installs exactly the locked versions; skipped when they are in place.
stamp="$readers/node_modules/.package-lock.json"
if [ -f "$stamp" ] && [ "$stamp" -nt "$readers/package-lock.json" ]; then
  echo "install-node-modules: the test readers are installed"
  exit 0
fi
echo "install-node-modules: installing the test readers (three, @quake2ts/engine)"
npm ci --prefix "$readers" --no-audit --no-fund --loglevel=error
