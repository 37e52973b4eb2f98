#!/usr/bin/env bash
# The include-layer rule of scripts/layers.awk, case by case: each case is an
# include line of one file of a small made-up tree and whether the rule lets it
# through. A rule that passes everything, or that resolves paths wrongly, fails
# here before it lets a real tree through unchecked.
set -euo pipefail
rule="$(dirname "$0")/../../scripts/layers.awk"

files=(
    platform/Utf8.h platform/StandIn.h platform/Clocks.h platform/common/Utf8.cpp
    framework/MpTypes.h framework/ModuleApi.h framework/HostApi.h framework/DrawingApi.h
    framework/ComPtr.h framework/GuiPins.h framework/GuiPins.cpp
    skin/ImageBase.h skin/ImageBase.cpp
    modules/logic/Holder.cpp modules/logic/Pair.h modules/widgets/Line.cpp
    host/TestHost.h host/TestHost.cpp host/refhost/main.cpp
    tests/Helper.h tests/blackbox/HolderTest.cpp tests/unit/PinsTest.cpp
    installer/core/Text.cpp installer/core/Text.h
    bench/pins.cpp
)

# including file | include line | pass or fail
cases=(
    'platform/common/Utf8.cpp|#include "../Utf8.h"|pass'
    'platform/common/Utf8.cpp|#include "../../framework/MpTypes.h"|fail'
    'framework/GuiPins.cpp|#include "GuiPins.h"|pass'
    'framework/GuiPins.cpp|#include "../platform/Utf8.h"|pass'
    'framework/GuiPins.h|#include "../skin/ImageBase.h"|fail'
    'framework/GuiPins.h|#include <skin/ImageBase.h>|fail'
    'framework/GuiPins.h|#  include "../skin/ImageBase.h"|fail'
    'framework/GuiPins.h|#include <gtest/gtest.h>|pass'
    'skin/ImageBase.cpp|#include "../framework/GuiPins.h"|pass'
    'skin/ImageBase.h|#include "../modules/logic/Pair.h"|fail'
    'modules/logic/Holder.cpp|#include "Pair.h"|pass'
    'modules/widgets/Line.cpp|#include "../../skin/ImageBase.h"|pass'
    'modules/widgets/Line.cpp|#include "../../host/TestHost.h"|fail'
    'host/TestHost.cpp|#include "TestHost.h"|pass'
    'host/TestHost.h|#include "../framework/ModuleApi.h"|pass'
    'host/TestHost.h|#include "../framework/ComPtr.h"|pass'
    'host/TestHost.cpp|#include "../platform/StandIn.h"|pass'
    'host/TestHost.cpp|#include "../platform/Utf8.h"|pass'
    'host/TestHost.cpp|#include "../platform/Clocks.h"|fail'
    'host/TestHost.cpp|#include "../framework/GuiPins.h"|fail'
    'host/refhost/main.cpp|#include "../TestHost.h"|pass'
    'host/refhost/main.cpp|#include "../../skin/ImageBase.h"|fail'
    'tests/blackbox/HolderTest.cpp|#include "host/TestHost.h"|pass'
    'tests/blackbox/HolderTest.cpp|#include "tests/Helper.h"|pass'
    'tests/blackbox/HolderTest.cpp|#include "framework/HostApi.h"|pass'
    'tests/blackbox/HolderTest.cpp|#include "framework/GuiPins.h"|fail'
    'tests/blackbox/HolderTest.cpp|#include "../../modules/logic/Pair.h"|fail'
    'tests/Helper.h|#include "skin/ImageBase.h"|fail'
    'tests/unit/PinsTest.cpp|#include "framework/GuiPins.h"|pass'
    'tests/unit/PinsTest.cpp|#include "modules/logic/Pair.h"|pass'
    'bench/pins.cpp|#include "skin/ImageBase.h"|pass'
    'installer/core/Text.cpp|#include "Text.h"|pass'
    'installer/core/Text.cpp|#include "platform/Utf8.h"|pass'
    'installer/core/Text.cpp|#include "framework/MpTypes.h"|fail'
)

failures=0
for entry in "${cases[@]}"; do
    IFS='|' read -r file line expected <<<"$entry"
    if { printf '%s\n' "${files[@]}" && echo "--" && echo "$file:1:$line"; } |
        awk -f "$rule" >/dev/null; then
        got=pass
    else
        got=fail
    fi
    if [ "$got" != "$expected" ]; then
        echo "$file: $line: expected $expected, got $got"
        failures=$((failures + 1))
    fi
done
echo "${#cases[@]} cases, $failures wrong"
[ "$failures" -eq 0 ]
