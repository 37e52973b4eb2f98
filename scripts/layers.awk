# Checks #include lines against the layers of the source tree.
#
# Input: the repository's C++ files, one path a line, then a line "--", then
# the include lines of those files as `grep -Hn` prints them
# (path:line:text). An include is resolved as the compiler does: beside the
# including file first, then from the repository root; one that names no file
# of the repository (a system or third-party header) is not checked.
#
# The rule, by the folder of the including file:
#   platform/                 platform/
#   framework/                framework/, platform/
#   skin/                     skin/, framework/, platform/
#   modules/                  modules/, skin/, framework/, platform/
#   installer/                installer/, platform/
#   host/, tests/blackbox/    host/, tests/blackbox/, the helpers directly in
#   and the helpers directly  tests/, and of the library only the interface
#   in tests/                 headers, the reference holder and the stand-in
#                             controls (the `hostVisible` list below)
#   anything else             anything (white-box tests, fuzz targets, benchmarks)
# Prints one line per include that breaks the rule and exits 1 when there is any.

BEGIN {
    # What a host sees of the library: the interfaces and value types that
    # cross the boundary, the counted-reference holder it keeps them in
    # (header-only), the library's one set of UTF-8 conversions (so that a
    # host reads and prints text exactly as the modules convert it), and on
    # Linux the controls of the stand-in library that a host links in place
    # of the Windows system libraries.
    hostVisible["framework/MpTypes.h"] = 1
    hostVisible["framework/ModuleApi.h"] = 1
    hostVisible["framework/HostApi.h"] = 1
    hostVisible["framework/DrawingApi.h"] = 1
    hostVisible["framework/ComPtr.h"] = 1
    hostVisible["platform/StandIn.h"] = 1
    hostVisible["platform/Utf8.h"] = 1

    below["platform"] = "platform"
    below["framework"] = "framework platform"
    below["skin"] = "skin framework platform"
    below["modules"] = "modules skin framework platform"
    below["installer"] = "installer platform"
    below["host"] = "host"

    label["platform"] = "platform/"
    label["framework"] = "framework/"
    label["skin"] = "skin/"
    label["modules"] = "modules/"
    label["installer"] = "installer/"
    label["host"] = "the host side (host/, black-box tests)"

    readingFiles = 1
    failures = 0
}

# Removes "." and resolves ".." in a relative path; "" when it leaves the root.
function normalise(path,    parts, n, i, out, depth, result) {
    n = split(path, parts, "/")
    depth = 0
    for (i = 1; i <= n; i++) {
        if (parts[i] == "" || parts[i] == ".")
            continue
        if (parts[i] == "..") {
            if (depth == 0)
                return ""
            depth--
            continue
        }
        out[++depth] = parts[i]
    }
    result = ""
    for (i = 1; i <= depth; i++)
        result = result (i > 1 ? "/" : "") out[i]
    return result
}

function folderOf(path) {
    return sub(/\/[^\/]*$/, "", path) ? path : ""
}

# The layer a file belongs to, or "" for files the rule leaves free.
function layerOf(path) {
    if (path ~ /^(platform|framework|skin|modules|installer|host)\//) {
        sub(/\/.*/, "", path)
        return path
    }
    if (path ~ /^tests\/blackbox\// || path ~ /^tests\/[^\/]*$/)
        return "host"
    return ""
}

function allowed(fromLayer, target,    targetLayer, n, i, layers) {
    targetLayer = layerOf(target)
    if (fromLayer == "host" && (target in hostVisible))
        return 1
    n = split(below[fromLayer], layers, " ")
    for (i = 1; i <= n; i++)
        if (layers[i] == targetLayer)
            return 1
    return 0
}

readingFiles && $0 == "--" { readingFiles = 0; next }
readingFiles { known[$0] = 1; next }

{
    # path:line:text; paths hold no colon.
    colon = index($0, ":")
    file = substr($0, 1, colon - 1)
    rest = substr($0, colon + 1)
    colon = index(rest, ":")
    line = substr(rest, 1, colon - 1)
    text = substr(rest, colon + 1)

    fromLayer = layerOf(file)
    if (fromLayer == "")
        next
    if (!match(text, /include[ \t]*[<"][^">]+[">]/))
        next
    spec = substr(text, RSTART, RLENGTH)
    quoted = spec ~ /"/
    sub(/^include[ \t]*[<"]/, "", spec)
    sub(/[">]$/, "", spec)

    target = ""
    if (quoted) {
        folder = folderOf(file)
        candidate = normalise((folder == "" ? "" : folder "/") spec)
        if (candidate in known)
            target = candidate
    }
    if (target == "") {
        candidate = normalise(spec)
        if (candidate in known)
            target = candidate
    }
    if (target == "" || allowed(fromLayer, target))
        next

    failures++
    printf "%s:%s: %s may not include %s\n", file, line, label[fromLayer], target
}

END {
    if (failures > 0) {
        print ""
        print "Layers, lowest first: platform/, framework/, skin/, modules/; each may include"
        print "only its own layer and those below it. The installer sees only platform/."
        print "host/ and the black-box tests see of the library only the interface headers"
        print "(framework/MpTypes.h, ModuleApi.h, HostApi.h, DrawingApi.h), framework/ComPtr.h"
        print "platform/Utf8.h and platform/StandIn.h. The rule is in scripts/layers.awk."
        exit 1
    }
}
