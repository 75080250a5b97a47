#!/usr/bin/env bash
# Collects every text of the program into the translation sources
# (resources/i18n/*.ts), keeping the translations already made.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
"$lupdate" -locations none -no-obsolete app jobs dbwindow drivers resources/forms \
  -ts resources/i18n/quorvane_en_US.ts resources/i18n/quorvane_pt_BR.ts
python3 resources/i18n/translations.py resources/i18n/quorvane_en_US.ts resources/i18n/quorvane_pt_BR.ts
