#!/bin/sh
# Добавляет Palettor в меню приложений текущего пользователя: пишет
# ~/.local/share/applications/palettor.desktop с путями этой папки.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
target="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
mkdir -p "$target"
sed -e "s|^Exec=.*|Exec=\"$here/bin/palettor\"|" -e "s|^Icon=.*|Icon=$here/palettor.svg|" \
    "$here/palettor.desktop" > "$target/palettor.desktop"
echo "Пункт меню записан: $target/palettor.desktop"
