# PO numbering of the imported orders, then each PO's print and production rows and its PO and
# production-control databases; the list of POs at the end.
set -euo pipefail
echo "== number"
"$KEMNOA_CLI" --yes number --all
echo "== print and production rows"
"$KEMNOA_CLI" po-rows
echo "== PO database"
"$KEMNOA_CLI" po-db
echo "== production-control database"
"$KEMNOA_CLI" sk-db
echo "== POs"
"$KEMNOA_CLI" pos
