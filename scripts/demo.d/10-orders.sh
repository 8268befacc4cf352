# The demo's main job: clients' order files arrive on the FTP server; kemnoa receives them (with a backup
# copy in BK/ on the server), imports every order into the work database and runs the master check.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
port="${KEMNOA_DEMO_FTP_PORT:-58211}"
ftp_root="$DEMO/ftp"
mkdir -p "$ftp_root/BK"

# Three client files with orders of their own numbers, as client sites send them.
"$KEMNOA_CLI" make-order-file "$ftp_root/ORD20261210001.mdb" --orders 4 --lines 3 --seed 1 --first-order 510001
"$KEMNOA_CLI" make-order-file "$ftp_root/ORD20261210002.mdb" --orders 3 --lines 2 --seed 2 --first-order 520001
"$KEMNOA_CLI" make-order-file "$ftp_root/ORD20261210003.mdb" --orders 5 --lines 4 --seed 3 --first-order 530001

/usr/bin/python3 "$here/scripts/demo-ftp-server" "$ftp_root" "$port" kemnoa kemnoa > "$DEMO/ftp-server.out" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  grep -q ready "$DEMO/ftp-server.out" 2>/dev/null && break
  sleep 0.1
done

echo "== receive"
"$KEMNOA_CLI" --yes receive
echo "== import"
"$KEMNOA_CLI" --yes import
echo "== master-check findings"
"$KEMNOA_CLI" errors || true
