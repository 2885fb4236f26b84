#!/usr/bin/env bash
# Signs Windows programs in place (Authenticode, SHA-256) with the certificate that
# VELK_SIGN_CERT names: a PKCS#12 file holding the certificate and its private key.
# VELK_SIGN_PASSWORD_FILE names a file that holds the key's password, where it has one;
# VELK_SIGN_TIMESTAMP a time-stamping server (RFC 3161), whose stamp keeps the signature valid
# after the certificate expires. Without VELK_SIGN_CERT it leaves the files as they are.
#   sign.sh <file.exe>...
set -euo pipefail
[ -n "${VELK_SIGN_CERT:-}" ] || exit 0
args=(sign -pkcs12 "$VELK_SIGN_CERT" -h sha256 -n "VELK Message Assembler")
[ -z "${VELK_SIGN_PASSWORD_FILE:-}" ] || args+=(-readpass "$VELK_SIGN_PASSWORD_FILE")
[ -z "${VELK_SIGN_TIMESTAMP:-}" ] || args+=(-ts "$VELK_SIGN_TIMESTAMP")
for file in "$@"; do
  # The tool writes a new file; the old one is replaced only once that is whole.
  osslsigncode "${args[@]}" -in "$file" -out "$file.signed" >/dev/null
  mv "$file.signed" "$file"
done
