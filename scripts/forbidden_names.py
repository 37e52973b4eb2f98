#!/usr/bin/env python3
"""Reports the names and literals that library code does not use: wide text
(wchar_t and what is built on it) and the C library's long-sized number
readers. Usage: forbidden_names.py FILE...  (paths from the repository root)

Library code is everything in framework/, skin/, modules/ and platform/ but
the Windows files in platform/win32/, which convert to the system's wchar_t at
each call; the other files given are not checked. Each file is read token by
token, so comments, the contents of string and character literals and parts of
longer names never count. Prints one line per use (file:line: name: rule) and
exits 1 when there is any."""
import re
import sys

WIDE_TEXT = "wide text is char16_t / std::u16string (wchar_t is 32 bits on Linux)"
WIDE_FUNCTIONS = ("the C library's wide functions work on wchar_t, 32 bits on Linux: "
                  "work on char16_t text, with platform/Utf8.h and platform/ClassicNumbers.h")
LONG_READERS = ("long is 32 bits on Windows and 64 on Linux: read integers with "
                "platform::parseInt32 / parseUInt32 (platform/NumberText.h)")
WIDE_STREAMS = ("wide streams are wchar_t text in the process's locale: build char16_t text, "
                "and convert with platform/Utf8.h")
CONVERTER = "std::wstring_convert is deprecated and locale-bound: convert with platform/Utf8.h"

# Identifier: (the name as reported, the rule).
NAMES = {
    "wchar_t": ("wchar_t", WIDE_TEXT),
    "wstring": ("std::wstring", WIDE_TEXT),
    "wstring_view": ("std::wstring_view", WIDE_TEXT),
    "to_wstring": ("std::to_wstring", WIDE_TEXT),
    "wcslen": ("wcslen", WIDE_FUNCTIONS),
    "swprintf": ("swprintf", WIDE_FUNCTIONS),
    "iswspace": ("iswspace", WIDE_FUNCTIONS),
    "wcstol": ("wcstol", LONG_READERS),
    "wcstoul": ("wcstoul", LONG_READERS),
    "strtol": ("strtol", LONG_READERS),
    "strtoul": ("strtoul", LONG_READERS),
    "wstring_convert": ("std::wstring_convert", CONVERTER),
}
for stream in ("wios", "wistream", "wostream", "wiostream", "wifstream", "wofstream", "wfstream",
               "wistringstream", "wostringstream", "wstringstream", "wstreambuf", "wfilebuf",
               "wstringbuf", "wcin", "wcout", "wcerr", "wclog", "wosyncstream", "wsyncbuf"):
    NAMES[stream] = ("std::" + stream, WIDE_STREAMS)

# The encoding prefixes of string and character literals; R marks a raw string.
STRING_PREFIXES = {"L", "u", "U", "u8", "R", "LR", "uR", "UR", "u8R"}
CHARACTER_PREFIXES = {"L", "u", "U", "u8"}

LIBRARY = re.compile(r"^(framework|skin|modules|platform)/")
EXEMPT = re.compile(r"^platform/win32/")
IDENTIFIER_START = re.compile(r"[A-Za-z_]")
IDENTIFIER = re.compile(r"[A-Za-z_0-9]*")
# A preprocessing number: digits, letters, dots, exponent signs and the digit
# separator ' between digits or letters (1'000'000, 0x1p-3f).
NUMBER = re.compile(r"\.?[0-9](?:[eEpP][+-]|'[A-Za-z_0-9]|[A-Za-z_0-9.])*")
RAW_DELIMITER = re.compile(r'([^()\\\s"]{0,16})\(')


def is_library_code(path):
    return bool(LIBRARY.match(path)) and not EXEMPT.match(path)


class Scanner:
    """Walks a C++ source, skipping comments and literal contents, and
    collects each forbidden identifier and each wide literal with its line."""

    def __init__(self, text):
        self.text = text
        self.at = 0
        self.line = 1
        self.found = []

    def advance_to(self, end):
        self.line += self.text.count("\n", self.at, end)
        self.at = end

    def skip_line_comment(self):
        # A comment ends at a newline that no backslash splices to the next line.
        text = self.text
        end = self.at
        while True:
            newline = text.find("\n", end)
            if newline < 0:
                self.advance_to(len(text))
                return
            content_end = newline - 1 if text[newline - 1:newline] == "\r" else newline
            if text[content_end - 1:content_end] == "\\":
                end = newline + 1
                continue
            self.advance_to(newline)
            return

    def skip_block_comment(self):
        end = self.text.find("*/", self.at + 2)
        self.advance_to(len(self.text) if end < 0 else end + 2)

    def skip_quoted(self, quote):
        # From the opening quote to the closing one; an escape skips the next
        # character; an unterminated literal ends at the end of its line.
        text = self.text
        i = self.at + 1
        while i < len(text):
            c = text[i]
            if c == "\\":
                i += 2
                continue
            if c == quote:
                self.advance_to(i + 1)
                return
            if c == "\n":
                break
            i += 1
        self.advance_to(min(i, len(text)))

    def skip_raw_string(self):
        # At the quote of R"delimiter( ... )delimiter".
        match = RAW_DELIMITER.match(self.text, self.at + 1)
        if not match:
            self.skip_quoted('"')
            return
        closing = ")" + match.group(1) + '"'
        end = self.text.find(closing, match.end())
        self.advance_to(len(self.text) if end < 0 else end + len(closing))

    def report(self, name, rule):
        self.found.append((self.line, name, rule))

    def scan(self):
        text = self.text
        while self.at < len(text):
            c = text[self.at]
            if text.startswith("//", self.at):
                self.skip_line_comment()
            elif text.startswith("/*", self.at):
                self.skip_block_comment()
            elif c == '"':
                self.skip_quoted('"')
            elif c == "'":
                self.skip_quoted("'")
            elif IDENTIFIER_START.match(c):
                end = IDENTIFIER.match(text, self.at + 1).end()
                word = text[self.at:end]
                following = text[end:end + 1]
                self.advance_to(end)
                if following == '"' and word in STRING_PREFIXES:
                    if word.startswith("L"):
                        self.report(word + ('"(...)"' if word.endswith("R") else '"..."'),
                                    WIDE_TEXT)
                    if word.endswith("R"):
                        self.skip_raw_string()
                    else:
                        self.skip_quoted('"')
                elif following == "'" and word in CHARACTER_PREFIXES:
                    if word == "L":
                        self.report("L'...'", WIDE_TEXT)
                    self.skip_quoted("'")
                elif word in NAMES:
                    self.report(*NAMES[word])
            elif NUMBER.match(text, self.at):
                self.advance_to(NUMBER.match(text, self.at).end())
            else:
                self.advance_to(self.at + 1)
        return self.found


def main():
    failures = 0
    for path in sys.argv[1:]:
        if not is_library_code(path):
            continue
        with open(path, encoding="utf-8", errors="replace") as source:
            text = source.read()
        for line, name, rule in Scanner(text).scan():
            print(f"{path}:{line}: {name}: {rule}")
            failures += 1
    if failures:
        print()
        print("Library code (framework/, skin/, modules/, and platform/ outside platform/win32/)")
        print("uses no wchar_t text and no number reader whose answer depends on the width of")
        print("long. The rule is in scripts/forbidden_names.py.")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
