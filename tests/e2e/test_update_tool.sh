#!/usr/bin/env bash
# kelvane-update as a scheduled task runs it: under Wine, with nobody to close a
# message box. A track whose RIFF "RMP3" form lacks its "LIST" chunk raises the
# tag reader's notice; the tool must report it and finish, not wait forever.
. "$(dirname "$0")/tool_lib.sh"
# RIFF, size, "RMP3", a 4-byte data chunk, then no LIST chunk.
printf 'RIFF\x10\x00\x00\x00RMP3data\x04\x00\x00\x00abcdJUNK' >"$work/Music/broken.rmp"
cp "$KELVANE_SOURCE/tests/data/corpus/taglib/ape-id3v1.mp3" "$work/Music/tagged.mp3"
winmusic="$(winpath "$work/Music")"
printf '%s\\broken.rmp\r\n%s\\tagged.mp3\r\n' "$winmusic" "$winmusic" >"$work/Lists/Mixed.m3u"

out="$(tool --check-mp3 "$(winpath "$work/App")" "$(winpath "$work/Lists")" 2>&1)"
rc=$?
echo "$out"
fail=0
[ $rc -eq 0 ] || { echo "FAILED: exit status $rc (124 means it hung on a box)"; fail=1; }
grep -q '^added 1' <<<"$out" || { echo "FAILED: the playlist was not added"; fail=1; }
grep -a -A1 'LIST' <<<"$out" | grep -aq 'broken.rmp' || { echo "FAILED: the notice naming the file was not printed"; fail=1; }
ls "$work/App/playlist/" | grep -q "'Mixed' Artist.dat" || { echo "FAILED: no artist index written"; fail=1; }

# Arguments that would put the library somewhere unintended are refused with
# exit status 2 and write nothing: an empty or relative AppDir (the root of
# the current drive, or wherever the tool was started), and the library's own
# cache folder as the playlist folder (each update would double it).
winlists="$(winpath "$work/Lists")"
snapshot() { (cd "$work" && find . -type f -print0 | sort -z | xargs -0 md5sum); }
before="$(snapshot)"
root_log_before=$([ -e /playlist.log ] && echo yes || echo no)
for appdir in '' 'App'; do
  (cd "$work" && tool "$appdir" "$winlists" >/dev/null 2>&1)
  rc=$?
  [ $rc -eq 2 ] || { echo "FAILED: AppDir '$appdir' gave exit status $rc, not 2"; fail=1; }
done
root_log_after=$([ -e /playlist.log ] && echo yes || echo no)
[ "$root_log_before" = "$root_log_after" ] || { echo "FAILED: playlist.log written at the drive root"; fail=1; }
out="$(tool "$(winpath "$work/App")" "$(winpath "$work/App/playlist")\\" 2>&1)"
rc=$?
[ $rc -eq 2 ] || { echo "FAILED: the cache folder as playlist folder gave exit status $rc, not 2"; fail=1; }
grep -q 'cache folder' <<<"$out" || { echo "FAILED: no message for the cache folder: $out"; fail=1; }
after="$(snapshot)"
[ "$before" = "$after" ] || { echo "FAILED: refused runs changed files"; diff <(echo "$before") <(echo "$after"); fail=1; }

[ $fail -eq 0 ] && echo "update tool: all checks passed"
exit $fail
