#!/usr/bin/env python3
"""Writes framework/SrgbTableData.h: the four colour rows of SrgbTables as
buildSrgbTables (framework/SrgbTables.cpp) computes them, so that the library
has them as constant data and computes nothing while it loads. The steps are
those of buildSrgbTables, in double with the C library's pow, each entry
rounded to float32 when stored. The unit tests check, in both builds, that the
data and buildSrgbTables agree bit for bit.

    scripts/make_srgb_table_data.py > framework/SrgbTableData.h
"""
import math
import struct


def f32(x):
    """x rounded to the nearest float32, as a C++ float(double) does."""
    return struct.unpack("<f", struct.pack("<f", x))[0]


def literal(x):
    """A hexadecimal float32 literal that names x exactly."""
    if x == 0.0:
        return "0.0f"
    mantissa, exponent = x.hex().split("p")
    mantissa = mantissa.rstrip("0").rstrip(".")
    return f"{mantissa}p{exponent}f"


def srgb_decode(x):
    return x / 12.92 if x <= 0.0404482362771082 else math.pow((x + 0.055) / 1.055, 2.4)


def rows():
    k = f32(0.003921568859368563)  # byteScale
    decode, power, half_step, encode = ([0.0] * 256 for _ in range(4))
    for i in range(1, 256):
        x = i * k
        power[i] = f32(math.pow(x, 2.2))
        decode[i] = f32(srgb_decode(x))
        shifted = f32(f32(float(i)) - 0.5)
        half_step[i] = f32(srgb_decode(shifted * k))
    for i in range(1, 256):
        z = math.pow(i * k, 2.2)
        encode[i] = f32(z * 12.92 if z <= 0.00313066844250063
                        else 1.055 * math.pow(z, 0.4166666666666667) - 0.055)
    return [("srgbToLinear", decode), ("pow22", power), ("srgbToLinearHalfStep", half_step),
            ("pow22ToSrgb", encode)]


def main():
    print("// The four rows of SrgbTables as buildSrgbTables computes them. Written by")
    print("// scripts/make_srgb_table_data.py; the unit tests check that the two agree.")
    print("#pragma once")
    print()
    print('#include "SrgbTables.h"')
    print()
    print("// clang-format off")
    print("inline constexpr SrgbTables srgbTableData = {{")
    for name, row in rows():
        print(f"    // {name}")
        for start in range(0, 256, 4):
            print("    " + ", ".join(literal(v) for v in row[start:start + 4]) + ",")
    print("}};")
    print("// clang-format on")


if __name__ == "__main__":
    main()
