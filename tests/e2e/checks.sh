# Sourced by run_scenarios.sh: the checks of one scenario. They read the
# scenario's prefix ($WINEPREFIX), the entry list ($out/entries.txt, from
# payload_probe.exe) and the payload folder ($payload); each failure ends the
# run with a message that says what was expected and what was found.

fail() {
  echo "e2e FAILED: $*" >&2
  exit 1
}

# wait_for_line FILE LINE: waits until the driver has printed LINE.
wait_for_line() {
  for _ in $(seq 1200); do
    grep -qx -- "$2" "$1" 2>/dev/null && return 0
    grep -q '^error' "$1" 2>/dev/null && break
    sleep 0.1
  done
  fail "the driver did not print \"$2\"; it printed:
$(cat "$1")"
}

# expect_transcript NAME EXPECTED: the driver's whole transcript, line by line.
expect_transcript() {
  printf '%s\n' "$2" >"$out/$1.expected"
  diff -u "$out/$1.expected" "$out/$1.transcript" >"$out/$1.diff" ||
    fail "$1: the program did not behave as expected (- expected, + seen):
$(cat "$out/$1.diff")"
}

# ---- files -----------------------------------------------------------------
# The entry list as "ATTRIBUTES|DATE TIME|NAME" with host separators.
entries() {
  tr -d '\r' <"$out/entries.txt" |
    while read -r attributes date time name; do echo "$attributes|$date $time|${name//\\//}"; done
}

# Every file of the payload folder is carried, and nothing else.
check_payload_carried() {
  local carried present
  carried=$(entries | while IFS='|' read -r attributes _ name; do
    if (((0x$attributes & 0x18) == 0)); then echo "$name"; fi
  done | sort)
  present=$(cd "$payload" && find . -type f | sed 's|^\./||' | sort)
  [ -n "$carried" ] || fail "SETUP.EXE carries no files"
  [ "$carried" = "$present" ] ||
    fail "SETUP.EXE does not carry exactly the payload folder:
$(diff <(echo "$carried") <(echo "$present"))"
}

# check_file TARGET ATTRIBUTES STAMP NAME [KEPT]: one installed file has the
# payload's bytes (unless it is KEPT); its time is the stored one read as local
# time, which is the payload file's time to the archive's two seconds; it is
# read-only exactly when the stored attributes say so, as the payload file is.
check_file() {
  local target=$1 attributes=$2 stamp=$3 name=$4 kept=${5:-}
  local file=$target/$name original=$payload/$name
  [ -f "$file" ] || fail "$name is not installed in $target"
  if [ "$name" != "$kept" ]; then
    cmp -s "$file" "$original" || fail "$file differs from $original"
  fi
  local stored got source mode
  stored=$(date -d "$stamp" +%s)
  got=$(stat -c %Y "$file")
  source=$(stat -c %Y "$original")
  [ "$got" = "$stored" ] || fail "$file was modified $(date -d "@$got" '+%F %T'), stored $stamp"
  ((got - source < 2 && source - got < 2)) ||
    fail "$file was modified $(date -d "@$got" '+%F %T'), the payload's $(date -d "@$source" '+%F %T')"
  mode=$(stat -c %A "$file")
  if (((0x$attributes & 0x01) != 0)); then
    [ "${mode:2:1}" = - ] || fail "$file should be read-only (stored attributes $attributes): $mode"
  else
    [ "${mode:2:1}" = w ] || fail "$file should be writable (stored attributes $attributes): $mode"
  fi
  [ "${mode:2:1}" = "$(stat -c %A "$original" | cut -c3)" ] ||
    fail "$file is $mode, the payload's $original is $(stat -c %A "$original")"
}

# check_installed TARGET [KEPT]: every carried file, and no other file.
check_installed() {
  local target=$1 kept=${2:-} count=0 read_only=0
  while IFS='|' read -r attributes stamp name; do
    (((0x$attributes & 0x18) != 0)) && continue
    check_file "$target" "$attributes" "$stamp" "$name" "$kept"
    count=$((count + 1))
    if (((0x$attributes & 0x01) != 0)); then read_only=$((read_only + 1)); fi
  done < <(entries)
  local present
  present=$(find "$target" -type f | wc -l)
  [ "$present" -eq "$count" ] || fail "$target holds $present files, $count carried"
  [ "$read_only" -gt 0 ] || fail "no carried file is read-only, so that bit went untested"
}

# check_installed_until TARGET DAMAGED: the files before the damaged entry are
# installed; the damaged one and all after it are not.
check_installed_until() {
  local target=$1 damaged=${2//\\//} count=0 reached=
  while IFS='|' read -r attributes stamp name; do
    [ "$name" = "$damaged" ] && reached=1
    (((0x$attributes & 0x18) != 0)) && continue
    if [ -z "$reached" ]; then
      check_file "$target" "$attributes" "$stamp" "$name"
      count=$((count + 1))
    else
      [ ! -e "$target/$name" ] || fail "$target/$name exists, but the run ended at $damaged"
    fi
  done < <(entries)
  [ -n "$reached" ] || fail "the damaged entry $damaged is not in the entry list"
  [ "$count" -gt 0 ] || fail "the damaged entry is the first file, so nothing before it was tested"
  local present
  present=$(find "$target" -type f | wc -l)
  [ "$present" -eq "$count" ] || fail "$target holds $present files, $count installed before $damaged"
}

# Everything on drive C: outside the Windows folder, for a before/after diff.
# Wine's own per-user caches (AppData\Local) change with any program run.
list_user_files() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path './users/*/AppData/Local' \
    -prune -o -print | sort)
}

# ---- registry --------------------------------------------------------------
# check_recorded DIR: HKCU\Software\Tarnivole "Dir" in the stopped prefix's
# user.reg is the REG_SZ DIR; an empty DIR means no key at all.
check_recorded() {
  local recorded
  recorded=$(awk '/^\[/ { inKey = index($0, "[Software\\\\Tarnivole]") == 1; next }
                  inKey && /^"Dir"="/ { print }' "$WINEPREFIX/user.reg" |
    sed -e 's/^"Dir"="//' -e 's/"$//' -e 's/\\\\/\\/g')
  if [ -z "$1" ]; then
    ! grep -qF '[Software\\Tarnivole]' "$WINEPREFIX/user.reg" ||
      fail "the registry key Software\\Tarnivole exists, but nothing should be recorded"
  else
    [ "$recorded" = "$1" ] || fail "registry Dir is [$recorded], expected [$1]"
  fi
}

# ---- Program Manager item ----------------------------------------------------
# Wine's shell answers the Program Manager commands by making the group a
# folder of the user's Start Menu and the item a shortcut in it.
group_folder() {
  find "$WINEPREFIX/drive_c/users" -type d -path '*/Start Menu/Programs/Tarnivole'
}

# check_item PROGRAM: the group holds one item, its shortcut points at
# PROGRAM, PROGRAM is installed there, and starting the item opens the
# product's window.
check_item() {
  local folder links seen
  folder=$(group_folder)
  [ -n "$folder" ] || fail "no Program Manager group Tarnivole"
  links=$(find "$folder" -name '*.lnk')
  [ "$links" = "$folder/Tarnivole.lnk" ] || fail "the group should hold Tarnivole.lnk, holds: $links"
  [ -f "$(on_c "$1")" ] || fail "the item's program $1 is not installed"
  seen=$("$wine" "$tools/shortcut_target.exe" --open "$links" 2>&1 | tr -d '\r') || true
  [ "$(sed -n 1p <<<"$seen")" = "target [$1]" ] || fail "the item does not point at [$1]: $seen"
  [[ "$(sed -n 2p <<<"$seen")" == "opened [QV Tarnivole"* ]] ||
    fail "starting the item did not open the product's window: $seen"
}

no_item() {
  [ -z "$(group_folder)" ] || fail "a Program Manager group was created: $(group_folder)"
}

# ---- screenshot ---------------------------------------------------------------
# pixels IMAGE GEOMETRY: "x y r g b" for every pixel of the area, at full
# image coordinates.
pixels() {
  local x0=${2#*+}
  local y0=${x0#*+}
  x0=${x0%%+*}
  convert "$1" -crop "$2" +repage -depth 8 txt:- |
    sed -n 's/^\([0-9]*\),\([0-9]*\): *(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3 \4 \5/p' |
    awk -v x0="$x0" -v y0="$y0" '{ print $1 + x0, $2 + y0, $3, $4, $5 }'
}

# check_screenshot IMAGE: the backdrop's gradient (row y is blue y / band,
# at most 255, with band = height / 256 or 1), the white title at one eighth
# of width and height, and the dialog centred on the screen.
check_screenshot() {
  local image=$1 width height band
  read -r width height < <(identify -format '%w %h\n' "$image")
  band=$((height >> 8))
  [ "$band" -gt 0 ] || band=1
  local gradient="function blue(y) { b = int(y / $band); return b > 255 ? 255 : b }"

  # The left column holds nothing but the gradient, the top row is black and
  # the bottom row blue 255 from edge to edge.
  local wrong
  wrong=$( (pixels "$image" "1x$height+0+0"; pixels "$image" "${width}x1+0+0"
    pixels "$image" "${width}x1+0+$((height - 1))") |
    awk "$gradient"' $3 != 0 || $4 != 0 || $5 != blue($2) { print; exit }')
  [ -z "$wrong" ] || fail "screenshot $image: backdrop pixel x y r g b = $wrong is not the gradient"
  [ "$height" -lt 256 ] || [ "$(pixels "$image" "${width}x1+0+$((height - 1))" |
    awk '{ print $5 }' | sort -u)" = 255 ] || fail "screenshot $image: bottom row is not blue 255"

  # The title: its white pixels start at (width/8, height/8), a glyph's side
  # bearing and the font's internal leading away at most.
  local titleX=$((width >> 3)) titleY=$((height >> 3)) box
  box=$(pixels "$image" "400x80+$((titleX - 16))+$((titleY - 16))" |
    awk '$3 == 255 && $4 == 255 && $5 == 255 {
           if (n++ == 0 || $1 < left) left = $1; if ($1 > right) right = $1
           if (n == 1 || $2 < top) top = $2 }
         END { print n + 0, left, top, right }')
  local count left top right
  read -r count left top right <<<"$box"
  [ "$count" -gt 100 ] || fail "screenshot $image: no white title near ($titleX, $titleY)"
  ((left >= titleX && left <= titleX + 6 && top >= titleY && top <= titleY + 16)) ||
    fail "screenshot $image: title starts at ($left, $top), expected at ($titleX, $titleY)"
  ((right - left > 150)) || fail "screenshot $image: title only $((right - left + 1)) pixels wide"

  # The dialog: where the centre row and the centre column (below the title)
  # leave the gradient.
  local spanX spanY
  spanX=$(pixels "$image" "${width}x1+0+$((height / 2))" |
    awk "$gradient"' $3 != 0 || $4 != 0 || $5 != blue($2) { if (!n++) first = $1; last = $1 }
                     END { print first, last }')
  spanY=$(pixels "$image" "1x$((height - height / 4))+$((width / 2))+$((height / 4))" |
    awk "$gradient"' $3 != 0 || $4 != 0 || $5 != blue($2) { if (!n++) first = $2; last = $2 }
                     END { print first, last }')
  local x0 x1 y0 y1
  read -r x0 x1 <<<"$spanX"
  read -r y0 y1 <<<"$spanY"
  [ -n "$x0" ] && [ -n "$y0" ] || fail "screenshot $image: no dialog at the centre of the screen"
  ((x0 == (width - (x1 - x0 + 1)) >> 1 && y0 == (height - (y1 - y0 + 1)) >> 1)) ||
    fail "screenshot $image: dialog spans x $x0..$x1, y $y0..$y1 on ${width}x$height: not centred"
}
