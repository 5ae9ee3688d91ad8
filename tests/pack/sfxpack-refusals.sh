#!/usr/bin/env bash
# The packing tool refuses what cannot make a valid launcher: a non-zero exit,
# a clear message and no output file.
#   sfxpack-refusals.sh SFXPACK STUB WORKDIR PYTHON MAKE_SPLASH
set -u
sfxpack=$1 stub=$2 work=$3 python=$4 make_splash=$5
[ -x "$sfxpack" ] || { echo "not ok - $sfxpack is missing (build the host tools first)"; exit 1; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

passed=0 failed=0 skipped=0
ok() { echo "ok - $1"; passed=$((passed + 1)); }
bad() { echo "not ok - $1"; failed=$((failed + 1)); }
skip() { echo "skip - $1"; skipped=$((skipped + 1)); }

# expect_refusal NAME REGEX sfxpack-arguments... (the output is $OUT, default
# out.exe; run in the folder $IN, default the work folder)
expect_refusal() {
  local name=$1 regex=$2 out=${OUT:-out.exe} in=${IN:-.}; shift 2
  rm -f "$in/$out"
  (cd "$in" && exec "$sfxpack" "$@" -o "$out") >log.txt 2>&1
  local rc=$?
  if [ $rc -eq 0 ]; then bad "$name: exit code 0"; sed 's/^/    /' log.txt; return; fi
  if ! grep -Eq -- "$regex" log.txt; then bad "$name: message does not match /$regex/"; sed 's/^/    /' log.txt; return; fi
  if [ -e "$in/$out" ]; then bad "$name: an output file was left"; return; fi
  ok "$name (exit $rc: $(head -n1 log.txt))"
}

mkdir -p tree/sub && printf 'hello' >tree/a.txt && printf 'world' >tree/sub/b.txt
"$python" "$make_splash" splash.bmp

# The good case first, so the refusals below are not refusals of everything.
if "$sfxpack" --stub "$stub" --from tree --setup "" --splash splash.bmp -o good.exe >log.txt 2>&1; then
  # An empty setup name is allowed (nothing is started): its area starts with NUL.
  at=$(grep -abo 'KORVALIS3:' good.exe | head -n1 | cut -d: -f1)
  first=$(od -An -tx1 -j $((at + 10)) -N1 good.exe | tr -d ' ')
  if [ "$first" = 00 ]; then ok "a good folder is packed, empty setup name stamped"; else bad "empty setup name stamped as $first"; fi
else
  bad "a good folder is packed"; sed 's/^/    /' log.txt
fi

# Stubs.
head -c 5000 /dev/urandom >nostamp.exe
expect_refusal "stub without a stamp block" "0 stamp blocks" --stub nostamp.exe --from tree --setup a.txt
cat "$stub" "$stub" >twostamps.exe
expect_refusal "stub with two stamp blocks" "2 stamp blocks" --stub twostamps.exe --from tree --setup a.txt
expect_refusal "missing stub" "cannot open" --stub nosuch.exe --from tree --setup a.txt
expect_refusal "a package as the stub" '"good.exe" is already a package' --stub good.exe --from tree --setup a.txt
expect_refusal "a folder as the stub, named" '--stub "tree" is a folder' --stub tree --from tree --setup a.txt

# Folders and names.
expect_refusal "missing folder" "does not exist" --stub "$stub" --from nosuch --setup s
expect_refusal "a file as the folder" '--from "splash.bmp" is not a folder' --stub "$stub" --from splash.bmp --setup s
mkdir -p greek && printf x >"greek/$(printf '\xce\xa9').txt"
expect_refusal "name outside code page 1252" "U\+03A9.*not representable in code page 1252" --stub "$stub" --from greek --setup s
mkdir -p spool && printf x >spool/TEMP.HTAR
expect_refusal "top-level temp.htar" "temp.htar" --stub "$stub" --from spool --setup s
mkdir -p device && printf x >device/aux.txt
expect_refusal "reserved device name" "reserved device name" --stub "$stub" --from device --setup s
mkdir -p console/sub && printf x >console/sub/CONIN\$.txt
expect_refusal "console device name, with the file named" "sub.CONIN\\\$\.txt.*reserved device name" --stub "$stub" --from console --setup s
mkdir -p colon && printf x >colon/a:b
expect_refusal "colon in a name" "not allowed" --stub "$stub" --from colon --setup s
mkdir -p backslash && printf x >'backslash/a\b'
expect_refusal "backslash in a host name" "backslash" --stub "$stub" --from backslash --setup s
mkdir -p cases && printf x >cases/Read.me && printf y >cases/READ.ME
expect_refusal "names equal but for case" "when case is ignored" --stub "$stub" --from cases --setup s
mkdir -p accents && printf x >accents/café.txt && printf y >accents/CAFÉ.TXT
expect_refusal "names equal but for case, both as written" '"accents/CAFÉ.TXT" and "accents/café.txt"' --stub "$stub" --from accents --setup s
mkdir -p linked/real && printf x >linked/real/f.txt && ln -s real linked/alias
expect_refusal "folder that is a link, named, not left out" "linked/alias.*link to a folder" --stub "$stub" --from linked --setup ""
# A folder below DIR that cannot be listed is the one named. Permissions do
# not stop root: then run as nobody, in a folder of its own.
as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=nobody --regid="$(id -g nobody 2>/dev/null)" --clear-groups)
if [ ${#as_user[@]} -gt 0 ] && ! "${as_user[@]}" true 2>/dev/null; then
  skip "unreadable subfolder: no user other than root"
else
  u=$(mktemp -d) && cp "$sfxpack" "$stub" "$u" && mkdir -p "$u/u2/sub" && chmod -R a+rX "$u" && chmod 000 "$u/u2/sub"
  (cd "$u" && exec "${as_user[@]}" ./sfxpack --stub "./${stub##*/}" --from u2 --setup "" -o u.exe) >log.txt 2>&1
  [ $? -eq 1 ] && grep -q 'cannot list "u2/sub"' log.txt && ok "unreadable subfolder, named" \
    || { bad "unreadable subfolder, named"; sed 's/^/    /' log.txt; }
  chmod 755 "$u/u2/sub" && rm -rf "$u"
fi

# The output.
OUT=tree/sub/x.exe expect_refusal "output inside the folder" "inside the folder" --stub "$stub" --from tree --setup a.txt
IN=tree OUT=new.exe expect_refusal "output inside the folder, relative" "inside the folder" --stub "$stub" --from . --setup a.txt
OUT=nosuch/x.exe expect_refusal "output in a missing folder" '"nosuch/x.exe": No such file' --stub "$stub" --from tree --setup a.txt
cp "$stub" mine.exe && ln -sf mine.exe link.exe
"$sfxpack" --stub link.exe --from tree --setup a.txt -o ./mine.exe >log.txt 2>&1
[ $? -eq 1 ] && grep -q 'is the --stub file' log.txt && cmp -s mine.exe "$stub" && ok "output that is the stub" \
  || { bad "output that is the stub"; sed 's/^/    /' log.txt; }
# A link planted at a temporary name is neither followed nor kept as the output.
echo victim >victim.txt && ln -sf victim.txt p.exe.sfxpack-partial
"$sfxpack" --stub "$stub" --from tree --setup a.txt --build-id 20240102030405060 -o ref.exe >log.txt 2>&1
"$sfxpack" --stub "$stub" --from tree --setup a.txt --build-id 20240102030405060 -o p.exe >>log.txt 2>&1
[ "$(cat victim.txt)" = victim ] && [ ! -L p.exe ] && cmp -s p.exe ref.exe && ok "a link at a temporary name" \
  || { bad "a link at a temporary name"; sed 's/^/    /' log.txt; }
# The format's limits (sparse files: nothing is read before the refusal).
mkdir -p big && truncate -s 4294967296 big/huge.bin
expect_refusal "file of 4 GiB" "at most 4 GiB - 1 bytes" --stub "$stub" --from big --setup s
mkdir -p total && truncate -s 2147483648 total/one.bin && truncate -s 2147483649 total/two.bin
expect_refusal "data area over 4 GiB" "limit of the data area" --stub "$stub" --from total --setup s
mkdir -p many && (cd many && seq -f 'f%05g' 0 32768 | xargs touch)
expect_refusal "32769 files" "32769 files; an archive can name at most 32768" --stub "$stub" --from many --setup s

# Stamp values.
expect_refusal "setup program not packed, named" 'setup program "setup" is not among the files of "tree"' --stub "$stub" --from tree --setup setup
expect_refusal "setup name of 22 characters" "more than 21 characters" --stub "$stub" --from tree --setup abcdefghijklmnopqrstuv
expect_refusal "build id of 16 digits" "exactly 17 decimal digits" --stub "$stub" --from tree --setup a.txt --build-id 2024010203040506
expect_refusal "build id with a letter" "exactly 17 decimal digits" --stub "$stub" --from tree --setup a.txt --build-id 2024010203040506x
expect_refusal "required free space not a number" "byte count" --stub "$stub" --from tree --setup a.txt --required-free 12k
# Numbers past their field are refused, never wrapped; the largest is stamped as given.
expect_refusal "required free space of 2^64" "byte count" --stub "$stub" --from tree --setup a.txt --required-free 18446744073709551616
expect_refusal "build id of 18 digits" "exactly 17 decimal digits" --stub "$stub" --from tree --setup a.txt --build-id 202401020304050607
rm -f max.exe
if "$sfxpack" --stub "$stub" --from tree --setup a.txt --required-free 18446744073709551615 -o max.exe >log.txt 2>&1; then
  at=$(grep -abo 'KORVALIS4:' max.exe | head -n1 | cut -d: -f1)
  value=$(od -An -tx1 -j $((at + 10)) -N8 max.exe | tr -d ' ')
  [ "$value" = ffffffffffffffff ] && ok "required free space of 2^64-1 stamped" || bad "2^64-1 stamped as $value"
else
  bad "required free space of 2^64-1 accepted"; sed 's/^/    /' log.txt
fi

# Splash pictures.
printf 'GIF89a not a bitmap' >notbmp.bmp
expect_refusal "splash that is not a BMP" "not a BMP" --stub "$stub" --from tree --setup a.txt --splash notbmp.bmp
head -c 100 splash.bmp >short.bmp
expect_refusal "splash cut short" "file size" --stub "$stub" --from tree --setup a.txt --splash short.bmp
cp splash.bmp badoffset.bmp && printf '\xff\xff\x00\x00' | dd of=badoffset.bmp bs=1 seek=10 conv=notrunc 2>/dev/null
expect_refusal "splash with pixel offset outside the file" "pixel data offset" --stub "$stub" --from tree --setup a.txt --splash badoffset.bmp
expect_refusal "a folder as the splash, named" '--splash "tree" is a folder' --stub "$stub" --from tree --setup a.txt --splash tree

# Packing that fails once the output is begun (here the file size limit,
# as a full disk would) leaves no cut package, and keeps the one an earlier
# run made.
mkdir -p bulky && head -c 3000000 /dev/urandom >bulky/random.bin
limit=$(( $(stat -c %s "$stub") / 1024 + 1024 ))  # KiB: the stub and 1 MiB of the payload
fail_midway() {
  ( trap '' XFSZ; ulimit -f $limit; exec "$sfxpack" --stub "$stub" --from bulky --setup "" -o "$1" ) >log.txt 2>&1
}
if "$sfxpack" --stub "$stub" --from bulky --setup "" -o kept.exe >log.txt 2>&1 && cp kept.exe kept.before; then
  fail_midway kept.exe
  rc=$?
  if [ $rc -eq 0 ] || ! grep -q "cannot write" log.txt; then bad "failure while writing: exit $rc"; sed 's/^/    /' log.txt
  elif ! cmp -s kept.exe kept.before; then bad "failure while writing: the earlier package was not kept"
  elif [ "$(ls | grep -c '^kept\.exe')" -ne 1 ]; then bad "failure while writing: a partial file was left: $(ls | grep '^kept\.exe' | tr '\n' ' ')"
  else ok "failure while writing keeps the earlier package (exit $rc: $(head -n1 log.txt))"; fi
else
  bad "a folder of 3 MB is packed"; sed 's/^/    /' log.txt
fi
fail_midway fresh.exe
rc=$?
[ $rc -ne 0 ] && [ -z "$(ls | grep '^fresh\.exe')" ] && ok "failure while writing leaves no file" \
  || bad "failure while writing: exit $rc, left: $(ls | grep '^fresh\.exe' | tr '\n' ' ')"

# Command line.
"$sfxpack" --stub "$stub" --from tree --setup a.txt >log.txt 2>&1
[ $? -eq 2 ] && grep -q "required" log.txt && ok "missing -o is a usage error" || bad "missing -o is a usage error"

rm -rf big total many bulky
echo "$passed passed, $failed failed, $skipped skipped"
[ $failed -eq 0 ] || exit 1
[ $skipped -eq 0 ] || exit 77
