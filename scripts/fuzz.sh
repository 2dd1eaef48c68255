#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs them for a bounded time: the line
# conversion, then the whole-file conversion.
# Usage: fuzz.sh [SECONDS]   (60 by default, shared by the two targets).
# Corpora and findings stay in build/fuzz/; a finding makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh needs clang: apt-get install clang libclang-rt-14-dev" >&2
  exit 1
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

header='DXCC,Call,Date,Time,End,Band,Mode,QRG,Name,Operator,Comment,QTH-Locator,QTH,RSTS,RSTS_NR,RSTR,RSTR_NR,QSLR,QSLS,QSL-Action,SPEZ,MY-QTH,Contest,QSL-Mgr,Region,WPX'
contact='W,HB9XYZ/P,05.03.2000,05.03.2000 14:07:33,05.03.2000 14:10:00,20m,SSB,14.200,Hans,OP1,Nice chat,JN47AB,Bern,59,001,57,002,1,0,S,SP,MYQTH,CT,MGR1,EU,HB9'
quoted='W,"HB9XYZ/P", "05.03.2000","05.03.2000 14:07:33",,20m,SSB,14.200,"Hans ""Hansi"" M.","OP1","Nice, chat" ok  ,JN47AB,"Bern",59,001,57,002,1,0,S,SP,MYQTH,CT,MGR1,EU,"HB9'
utf8='OE,OE1\xc3\x84B/\xc3\xbc,05\xc2\xb703\xc2\xb72000,05.03.2000 14\xc2\xb707\xc2\xb733,,2m,FM,144.5,J\xc3\xa9r\xc3\xb4me \xe2\x82\xac,,a|b,\xc3\x84\xc3\x9647AB,Wien,59,,59,,o,1,s,,,,,EU,OE'
latin1='F,F5\xe9,1.1.2000,x,,40m,CW,7.0,J\xe9r\xf4me,,,JN,Paris,599,,599,,0,1,x,,,,,EU,F'
short='W,HB9XYZ,05.03.2000'
commas=',,,,,,,,,,,,,,,,,,,,,,,,,'

# Writes a seed into a corpus folder: seed FOLDER NAME TEXT (printf %b escapes).
seed() { mkdir -p "$1" && printf '%b' "$3" >"$1/seed-$2"; }
lines=build/fuzz/corpus/line
for name in header contact quoted utf8 latin1 short commas; do seed "$lines" "$name" "${!name}"; done
files=build/fuzz/corpus/file
seed "$files" crlf "$header\r\n$contact\r\n$quoted\r\n"
seed "$files" lf "\xef\xbb\xbf$header\n\n$short\n$utf8\n\n"
seed "$files" cr "$contact\r$latin1\r\r$commas"
seed "$files" mixed "$short\n\r$contact\r\n\n$quoted"

findings=build/fuzz/findings
mkdir -p "$findings"
run() {  # run TARGET CORPUS SECONDS
  echo "Fuzzing $1 for $3 s"
  "build/fuzz/fuzz/$1" -max_total_time="$3" -max_len=4096 -dict=fuzz/convert_line.dict \
    -artifact_prefix="$findings/$1-" -print_final_stats=1 "$2"
}
run convert_line_fuzzer "$lines" $(((seconds + 1) / 2))
run convert_file_fuzzer "$files" $((seconds / 2))
