# The PO creation run over every PO ready for the factory: PO and production-control databases, each
# PO's folder with its order workbook and XML, its LZH archive, and its orders marked as sent.
set -euo pipefail
echo "== POs ready for the factory"
"$KEMNOA_CLI" create-po
echo "== PO creation"
status=0
result="$("$KEMNOA_CLI" --yes create-po --all)" || status=$?
while IFS=$'\t' read -r po kbn state folder archive; do
  [ -n "$po" ] || continue
  echo "PO $po (kind $kbn): $state"
  if [ -n "$folder" ]; then
    echo "  folder:  $folder"
    ls -1 "$folder" | sed 's/^/    /'
  fi
  [ -z "$archive" ] || echo "  archive: $archive"
done <<< "$result"
[ "$status" = 0 ] || echo "Some POs were not sent (exit status $status); the messages above say why."
echo "== POs"
"$KEMNOA_CLI" pos
