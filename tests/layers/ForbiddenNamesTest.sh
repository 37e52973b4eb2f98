#!/usr/bin/env bash
# The forbidden-names rule of scripts/forbidden_names.py, case by case: each
# case is one file of a made-up tree, its text, and what the rule reports
# ("LINE:NAME ...", in order) or "pass". A rule that misses a use, that counts
# a comment or a string, or that loses the line, fails here before it lets a
# real tree through unchecked or stops a clean one.
set -euo pipefail
rule="$(cd "$(dirname "$0")/../.." && pwd)/scripts/forbidden_names.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cases=0
failures=0
# check FILE EXPECTED TEXT
check() {
    local file=$1 expected=$2 text=$3 output got status
    cases=$((cases + 1))
    rm -rf "${work:?}"/*
    mkdir -p "$work/$(dirname "$file")"
    printf '%s\n' "$text" >"$work/$file"
    status=0
    output=$(cd "$work" && python3 "$rule" "$file") || status=$?
    got=$(printf '%s\n' "$output" | sed -n "s|^$file:\([0-9]*\): \([^:]*\(::[^:]*\)*\): .*|\1:\2|p" |
        paste -sd ' ')
    [ -n "$got" ] || got=pass
    if [ "$got" != "$expected" ] || { [ "$got" = pass ] && [ "$status" -ne 0 ]; } ||
        { [ "$got" != pass ] && [ "$status" -ne 1 ]; }; then
        echo "$file: $(printf '%q' "$text"): expected $expected, got $got (exit $status)"
        failures=$((failures + 1))
    fi
}

# Each name, in each layer of the library.
check modules/logic/A.cpp '1:std::wstring' 'std::wstring text;'
check modules/widgets/A.cpp '1:wchar_t' 'const wchar_t* p = nullptr;'
check framework/A.h '1:std::wstring_convert' 'std::wstring_convert<Codec> converter;'
check skin/A.cpp '1:std::to_wstring' 'auto t = std::to_wstring(1);'
check platform/Utf8.h '1:wcslen' 'size_t n = wcslen(p);'
check platform/linux/A.cpp '1:wcstol' 'long v = std::wcstol(p, nullptr, 10);'
check platform/standin/A.cpp '1:wcstoul' 'auto v = ::wcstoul(p, nullptr, 16);'
check platform/common/A.cpp '1:strtol' 'long v = strtol(p, nullptr, 10);'
check modules/logic/A.cpp '1:strtoul' 'auto v = std::strtoul(p, nullptr, 10);'
check modules/logic/A.cpp '1:swprintf' 'swprintf(buffer, 8, fmt, 1);'
check modules/logic/A.cpp '1:iswspace' 'if (iswspace(c)) {}'
check modules/logic/A.cpp '1:std::wstring_view' 'std::wstring_view v;'
check modules/logic/A.cpp '1:std::wcout 2:std::wcerr' $'std::wcout << 1;\nstd::wcerr << 2;'
check modules/logic/A.cpp '1:std::wostringstream 1:std::wistringstream' \
    'std::wostringstream out; std::wistringstream in;'
check modules/logic/A.cpp '1:std::wstringstream 2:std::wifstream 3:std::wofstream' \
    $'std::wstringstream s;\nstd::wifstream i;\nstd::wofstream o;'
check modules/logic/A.cpp '1:std::wstring 3:std::wstring' $'using std::wstring;\n\nwstring s;'
# Wide literals, and the prefixes that are not wide.
check modules/logic/A.cpp '1:L"..."' 'auto t = L"text";'
check modules/logic/A.cpp "1:L'...'" "auto c = L'x';"
check modules/logic/A.cpp '1:LR"(...)"' 'auto t = LR"(C:\folder)";'
check modules/logic/A.cpp '1:L"..." 1:L"..."' 'auto t = L"a" L"b";'
check modules/logic/A.cpp 'pass' $'auto a = u"a"; auto b = U"b"; auto c = u8"c"; auto d = R"(d)";\nauto e = u8R"(e)"; auto f = uR"(f)"; auto g = UR"(g)"; auto h = u\'h\'; auto i = u8\'i\';'
check modules/logic/A.cpp 'pass' 'auto t = ALL"x"; auto u = "x"_L; char16_t c = u'\''L'\'';'
# Comments and the contents of literals do not count; the lines after them still do.
check modules/logic/A.cpp 'pass' '// never use wchar_t or std::wstring here'
check modules/logic/A.cpp '4:wchar_t' $'/* wchar_t\n   std::wstring\n*/\nwchar_t c;'
check modules/logic/A.cpp '1:wchar_t' '/* a */ wchar_t /* b */ c;'
check modules/logic/A.cpp 'pass' $'// a comment that goes on \\\nwchar_t c;'
check modules/logic/A.cpp '3:wchar_t' $'// a comment that goes on \\\r\n  on this line\nwchar_t c;'
check platform/common/A.cpp 'pass' 'throw std::range_error("wstring_convert::from_bytes");'
check modules/logic/A.cpp '1:wchar_t' 'auto t = "a \"wchar_t\" b"; wchar_t c;'
check modules/logic/A.cpp '1:wchar_t' 'auto t = "// no comment"; wchar_t c;'
check modules/logic/A.cpp '1:wchar_t' "char q = '\"'; wchar_t c;"
check modules/logic/A.cpp '1:wchar_t' "char s = '\\''; wchar_t c;"
check modules/logic/A.cpp '1:wchar_t' "int c = '/*'; wchar_t x; // */"
check modules/logic/A.cpp '1:wchar_t' "int n = 1'000'000; wchar_t c;"
check modules/logic/A.cpp '1:wchar_t' "float f = 0x1.8p-3f; int b = 0b1010'1010; wchar_t c;"
check modules/logic/A.cpp '1:wchar_t' 'auto t = R"x(a)" wchar_t)x"; wchar_t c;'
check modules/logic/A.cpp '3:wchar_t' $'auto t = R"(\nwchar_t L"x"\n)"; wchar_t c;'
check modules/logic/A.cpp 'pass' '#include <cwchar>'
check modules/logic/A.cpp 'pass' '#include "wstring_helpers.h"'
# Longer names that hold a forbidden one, and what is allowed in its place.
check modules/logic/A.cpp 'pass' 'std::u16string s; std::u16string_view v; char16_t c; char32_t d;'
check modules/logic/A.cpp 'pass' 'int mywchar_t; int strtol_clamped; int wcslenOf; int wstringLength;'
check modules/logic/A.cpp 'pass' 'auto v = std::strtoll(p, nullptr, 10); auto w = parseInt32(p);'
check modules/logic/A.cpp 'pass' 'std::wstring_conversion_is_not_a_name x; Lx"no";'
# Only library code: the Windows files of the platform layer and everything
# outside the library may use wide text.
check platform/win32/FileSystemWin32.cpp 'pass' 'const wchar_t* p = L"x"; std::wstring s;'
check platform/win32/sub/A.cpp 'pass' 'wchar_t c;'
check platform/win32x/A.cpp '1:wchar_t' 'wchar_t c;'
check host/ModuleLibrary.cpp 'pass' 'std::wstring s = L"x";'
check tests/unit/Utf8Test.cpp 'pass' 'wchar_t c = L'\''x'\'';'
check installer/win32/main.cpp 'pass' 'std::wstring s;'
check bench/A.cpp 'pass' 'std::wstring s;'
check A.cpp 'pass' 'std::wstring s;'

echo "$cases cases, $failures wrong"
[ "$failures" -eq 0 ]
