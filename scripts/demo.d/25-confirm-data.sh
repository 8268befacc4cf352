# Confirmation data of the numbered POs: each PO's print and production rows rebuilt, its label PDFs
# (hang tags, care labels) drawn into its output folder, its print count raised; the PO creation run
# then packs these PDFs.
set -euo pipefail
echo "== confirmation data (label PDFs)"
"$KEMNOA_CLI" --yes confirm-data --all
ls "$DEMO/po"/*/*.pdf
