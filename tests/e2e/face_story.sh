# shellcheck shell=bash
# Kelvane's face as a person meets it on a system of the code page KELVANE_LANG
# gives (sourced by test_face_en.sh and test_face_ja.sh, after lib.sh): every
# caption, the options dialog, a message box and the about box read as their
# Japanese texts through the W calls; the trees show the library's names as the
# system's code page spells them, and a UTF-8 playlist's Hangul, Cyrillic and
# symbol names in glyphs of their own, Cyrillic as narrow as Latin; F10 and Alt
# open the menu bar from the keyboard.
# Expects FACE_ACP (the code page the run must have), FACE_ARTISTS and FACE_ALBUMS
# (UTF-8, joined with "|", in the order the tag charset E2E_TAG_CHARSET sorts).

e2e_setup
e2e_copy_kelvane
TITLE='Kelvane - プレイリストウインドウ'
OPTIONS='Kelvane - 設定'
ABOUT='Kelvane - バージョン情報'
# A window shown, for e2e_check (which would otherwise print its line).
shown() { e2e_wait_shown "$@" >/dev/null; }
show_again() { e2e_click_icon Play 3 && shown - "$TITLE"; }
MUSIC="$E2E_WORK/Music"
LISTS="$E2E_WORK/Lists"
mkdir -p "$MUSIC" "$LISTS"

e2e_expect_eq "the system's code page" "$FACE_ACP" "$(e2e_probe acp)"

WMUSIC="$(e2e_winpath "$MUSIC")"
face_library  # the test's own tracks, written into $MUSIC and listed in $LISTS/Mix.m3u
# World.m3u8: names no code page holds, from ID3v2 tags in UTF-16.
WORLD_ARTISTS=(아이유 Кино '☕⛄☀' '🎵 🔥 🌍')
python3 - "$MUSIC" "$LISTS" "$WMUSIC" "${WORLD_ARTISTS[@]}" <<'PY'
import struct, sys
music, lists, wmusic, *artists = sys.argv[1:]
def frame(fid, text): data = b'\x01' + text.encode('utf-16'); return fid.encode() + struct.pack('>I', len(data)) + b'\0\0' + data
lines = []
for i, artist in enumerate(artists):
    frames = frame('TPE1', artist) + frame('TALB', artist)
    open(f'{music}/w{i}.mp3', 'wb').write(b'ID3\x03\0\0' + bytes([0, 0, len(frames) >> 7, len(frames) & 127]) + frames + bytes(256))
    lines.append(f'{wmusic}\\w{i}.mp3\r\n')
open(f'{lists}/World.m3u8', 'w', encoding='utf-8').write(''.join(lines))
PY
printf '[Setting]\r\nPlayerPath=%s\r\nCorrectPath=1\r\nPlayListPath=%s\r\nAutoHide=0\r\nReadID3v2=1\r\nUnicodeLibrary=1\r\n' \
  "$(e2e_winpath "$E2E_PLAYER_EXE")" "$(e2e_winpath "$LISTS")" >"$E2E_APP_DIR/kelvane.ini"
e2e_check "kelvane-update builds the library" \
  e2e_wine "$KELVANE_BUILD/tools/update/kelvane-update.exe" --id3v2 --utf8 "$(e2e_winpath "$E2E_APP_DIR")" "$(e2e_winpath "$LISTS")"

e2e_start_player
e2e_start_kelvane
e2e_check "the tray follows the stopped player" e2e_tray_is "Play,Eject,Stop"

# --- the playlist window: its caption, and the library's names in the trees ----
e2e_check "right click on the Play icon" e2e_click_icon Play 3
e2e_check "the window is found by its Japanese caption" shown - "$TITLE"
e2e_check "click on the playlist" e2e_click $(e2e_tree_item_point - "$TITLE" 0 Mix)
sleep 0.5
tree_texts() { e2e_tree_items - "$TITLE" "$1" | awk '$1 != "tree"' | cut -d' ' -f6- | paste -sd'|'; }
e2e_expect_eq "its artists" "$FACE_ARTISTS" "$(tree_texts 1)"
e2e_expect_eq "its albums" "$FACE_ALBUMS" "$(tree_texts 2)"
e2e_screenshot_window face-frame - "$TITLE" >/dev/null
FRAME_AT="$E2E_SHOT_WINDOW"
e2e_check "click on the UTF-8 playlist" e2e_click $(e2e_tree_item_point - "$TITLE" 0 World)
sleep 0.5
e2e_screenshot_window face-world - "$TITLE" >/dev/null
WORLD_SHOT="$(e2e_screenshot face-world-screen)"

# --- F10 opens the menu bar: Enter on its first item opens the options dialog -
e2e_key F10
sleep 0.3
e2e_key Return
e2e_check "F10 then Enter opens the options dialog" shown - "$OPTIONS"
captions() { e2e_controls - "$OPTIONS" | awk -F'"' '{print $4}' | grep -v '^$' | paste -sd'|'; }
# In tab order, OK after the second group; the combo box shows its item.
want='トレイアイコン設定|Prevボタン|Pauseボタン|Playボタンと Pauseボタンを切り替える|Stopボタン|Stopボタンで Winampを終了させる|Nextボタン|Ejectボタン'
want+='|起動設定|スタートアップに登録する|起動と同時に Winampの再生を始める|OK'
want+='|効果|停止時に フェイドアウトを有効にする|トラック変更時に フェイドアウトを有効にする|マウスが離れたら ウィンドウを隠す|プレイリストウィンドウの表示位置|右下|曲が変わったら通知する'
want+='|プレイリスト設定|更新時に mp3ファイルも調べる|プレイリストが格納されているフォルダ|参照|ID3v2タグも読む|アルバムアーティストでまとめる|UTF-8 (.m3u8) で保存する|キャンセル|ショートカットキー...'
e2e_expect_eq "every caption of the options dialog" "$want" "$(captions | sed "s/|$(e2e_winpath "$LISTS" | sed 's/\\/\\\\/g')//")"
e2e_screenshot_window face-options - "$OPTIONS" >/dev/null
OPTIONS_AT="$E2E_SHOT_WINDOW"
e2e_key Escape
e2e_check "Esc closes it" e2e_wait_no_window - "$OPTIONS"

# --- the title bars and the menu bar drawn in Japanese glyphs -------------------
# Wine draws them in the system's faces; one that lacks Japanese glyphs and has
# no link to a face with them draws every such character as the same box. So
# their Japanese, cut out of the screenshots above into shapes (runs of columns
# holding ink), must take many different shapes.
read -r _ BAR <<<"$(e2e_probe metrics)"
# ink_shapes <png> <x> <width> <y> <height> <n>: the last n shapes of that band of
# the picture, one line each; ink is what stands out from the band's commonest grey.
ink_shapes() {
  python3 - "$@" <<'PY'
import collections, subprocess, sys
png, (x, w, y, h, n) = sys.argv[1], map(int, sys.argv[2:])
grey = subprocess.run(['convert', png, '-crop', f'{w}x{h}+{x}+{y}', '+repage', '-colorspace', 'Gray',
                       '-depth', '8', 'gray:-'], capture_output=True, check=True).stdout
ground = collections.Counter(grey).most_common(1)[0][0]
ink = [[abs(grey[r * w + c] - ground) > 48 for c in range(w)] for r in range(h)]
runs, start = [], None
for c in range(w + 1):
    inked = c < w and any(row[c] for row in ink)
    if inked and start is None: start = c
    if not inked and start is not None: runs.append((start, c)); start = None
for a, b in runs[-n:]:
    print('/'.join(''.join('#' if v else '.' for v in row[a:b]) for row in ink))
PY
}
# The rows of a bar as tall as the menu bar that ends at <bottom>, clear of its edges.
bar_rows() { echo "$(($1 - BAR + 3)) $((BAR - 5))"; }
shapes_at_least() {
  local got
  got="$(sort -u | grep -c .)"
  [ "$got" -ge "$1" ] || { e2e_log "only $got different shapes: boxes for missing glyphs?"; return 1; }
}
# A caption ends at the client area, or above the frame's menu bar; its text stays
# clear of the close button. Its last shapes are the window's Japanese name: 11
# and 2 characters, 11 different ones; the menu bar's items have 14 different
# ones. A character may take more than one shape.
captions_in_glyphs() {
  local l t r cy
  {
    read -r _ l t r _ _ _ cy <<<"$FRAME_AT"
    ink_shapes "$E2E_ARTEFACTS/face-frame.png" 2 $((r - l - 2 * BAR - 8)) $(bar_rows $((cy - t - BAR))) 11
    read -r _ l t r _ _ _ cy <<<"$OPTIONS_AT"
    ink_shapes "$E2E_ARTEFACTS/face-options.png" 2 $((r - l - 2 * BAR - 8)) $(bar_rows $((cy - t))) 2
  } | shapes_at_least 6
}
menu_in_glyphs() {
  local l t r cy
  read -r _ l t r _ _ _ cy <<<"$FRAME_AT"
  ink_shapes "$E2E_ARTEFACTS/face-frame.png" 4 $((r - l - 8)) $(bar_rows $((cy - t))) 99 | shapes_at_least 7
}
e2e_check "the title bars' Japanese drawn in glyphs" captions_in_glyphs
e2e_check "the menu bar's Japanese drawn in glyphs" menu_in_glyphs
# A name of the artist tree, cut out of the screen along its label: as many
# different shapes as it has characters other than spaces (a box for a missing glyph is one
# shape, however often it stands), and no wider than <em> hundredths of a
# full-width glyph (12 pixels at 96 DPI) a character on average. Without an
# <em>, no width: Wine sizes a label holding characters above U+FFFF by the two
# boxes it would draw for each, whatever draws them.
read -r DPI _ <<<"$(e2e_probe metrics)"
name_in_glyphs() {  # <name> [em per character, in hundredths]
  local l t r b
  read -r l t r b <<<"$(e2e_tree_items - "$TITLE" 1 | awk -v n="$1" '$1 != "tree" {
    line = $0; for (i = 0; i < 5; ++i) sub(/^[^ ]* /, "", line); if (line == n) { print $1, $2, $3, $4; exit } }')"
  [ -n "$l" ] || { e2e_log "no artist node '$1'"; return 1; }
  local shapes
  shapes="$(ink_shapes "$WORLD_SHOT" $((E2E_DESKTOP_X + l + 1)) $((r - l - 2)) $((E2E_DESKTOP_Y + t + 1)) $((b - t - 2)) 99)"
  local chars distinct
  chars="$(printf '%s' "$1" | python3 -c 'import sys; print(len(sys.stdin.read().replace(" ", "")))')"
  distinct="$(sort -u <<<"$shapes" | grep -c .)"
  e2e_log "'$1': $distinct different shapes, label $((r - l)) pixels wide"
  [ "$distinct" -ge "$chars" ] || { e2e_log "'$1': $distinct different shapes for $chars characters"; return 1; }
  # The label is the text's width and a few pixels of margin.
  [ -z "${2:-}" ] || [ $(((r - l - 6) * 100 * 96)) -le $(($2 * 12 * chars * DPI)) ] ||
    { e2e_log "'$1': a label $((r - l)) pixels wide for $chars characters"; return 1; }
}
e2e_check "Hangul in glyphs of its own" name_in_glyphs 아이유 100
e2e_check "Cyrillic in glyphs of its own, proportional" name_in_glyphs Кино 70
e2e_check "symbols in glyphs of their own" name_in_glyphs '☕⛄☀' 100
e2e_check "emoji above U+FFFF in glyphs of their own" name_in_glyphs '🎵 🔥 🌍'

# --- Alt, then the arrows: the "ヘルプ" submenu, and the about box ------------
e2e_check "right click shows the window again" show_again
e2e_key alt
sleep 0.3
e2e_key Right Right Down
e2e_check "Alt opens the menu bar and Down its submenu" shown '#32768'
e2e_key Up Return
e2e_check "the about box opens" shown - "$ABOUT"
e2e_expect_eq "its texts" "Kelvane 0.30.1.1|Copyright (C) Orrindale|OK" \
  "$(e2e_controls - "$ABOUT" | awk -F'"' '$4 != "" {print $4}' | paste -sd'|')"
e2e_screenshot_window face-about - "$ABOUT" >/dev/null
e2e_click_child - "$ABOUT" OK
e2e_check "OK closes it" e2e_wait_no_window - "$ABOUT"

# --- a message box: the update finds no playlist folder -----------------------
mv "$LISTS" "$LISTS.away"
e2e_check "right click shows the window again" show_again
e2e_click_frame_menu プレイリスト更新
e2e_check "a warning box opens" shown '#32770' '警告'
warning_reads() { e2e_controls '#32770' '警告' | grep -qF 'プレイリストを格納するフォルダが、設定されていないか存在しません。'; }
e2e_check "its text" warning_reads
e2e_screenshot face-warning >/dev/null
e2e_click_child '#32770' '警告' OK
browser_reads() { e2e_controls '#32770' - | grep -qF 'プレイリスト(m3u)ファイルのあるフォルダを指定してください。'; }
e2e_check "the folder browser opens with its Japanese title" e2e_eventually 10 browser_reads
e2e_screenshot face-browser >/dev/null
read -r browser _ <<<"$(e2e_probe find '#32770' -)"
e2e_send "#${browser:-0}" WM_COMMAND 2 0 post >/dev/null  # its Cancel
browser_gone() { ! browser_reads; }
e2e_check "the browser is cancelled" e2e_eventually 10 browser_gone
e2e_wait_shown - "$OPTIONS" >/dev/null
e2e_click_child - "$OPTIONS" 'キャンセル'
mv "$LISTS.away" "$LISTS"

# --- the update's failures: the library's fixed texts read as Japanese beside
# the system's names ------------------------------------------------------------
mkdir "$LISTS/Broken.m3u"  # a folder where a playlist should be: it cannot be read
e2e_check "right click shows the window again" show_again
e2e_click_frame_menu プレイリスト更新
e2e_check "the update lists what it could not do" shown '#32770' '警告'
failures_read() {
  local text
  text="$(e2e_controls '#32770' '警告')"
  grep -qF 'プレイリスト更新中に処理できなかったものがあります。' <<<"$text" &&
    grep -qF 'Broken.m3u' <<<"$text" && grep -qE 'ファイル .*Broken\.m3u は開けません' <<<"$text"
}
e2e_check "the library's text and the playlist's name both read" failures_read
e2e_screenshot face-failures >/dev/null
e2e_click_child '#32770' '警告' OK
e2e_wait_no_window '#32770' '警告'
e2e_click_child KelvaneWindow Kelvane OK
rmdir "$LISTS/Broken.m3u"

e2e_check "right click shows the window again" show_again
e2e_click_frame_menu 終了
e2e_check "kelvane ends" bash -c 'for i in $(seq 1 50); do kill -0 "$1" 2>/dev/null || exit 0; sleep 0.2; done; exit 1' _ "$E2E_KELVANE_PID"

# In the font this prefix really gives, at 96 and 144 DPI: every caption of
# the options dialog fits its control and OK and Cancel end with their group
# (measured in-process, where the control's own font can be asked).
e2e_check "every caption of the options dialog fits in this prefix's font" \
  e2e_wine "$KELVANE_BUILD/tests/kelvane_win_tests.exe" \
  --gtest_filter=OptionFormWinTest.EveryCaptionFitsAndTheButtonsEndWithTheGroupsAtEveryDpi
e2e_finish
