#!/bin/sh
# Writes lumaroth-cli's manual page to standard output, from its own --help.
#   scripts/cli_manual_page.sh PATH/TO/lumaroth-cli VERSION
set -eu
cat <<HEAD
.TH LUMAROTH-CLI 1 "December 2026" "Lumaroth $2" "User Commands"
.SH NAME
lumaroth-cli \- the Lumaroth player's engine in a terminal
.SH DESCRIPTION
.nf
HEAD
"$1" --help | sed -e 's/\\/\\e/g' -e "s/^[.']/\\\\\\&&/"
cat <<TAIL
.fi
.SH SEE ALSO
.BR lumaroth (1)
TAIL
