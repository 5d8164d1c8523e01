#!/usr/bin/env python3
"""Turn strings.txt, the one source of the Vosko string table, into build inputs.

    gen_strings.py strings.txt [--rc OUT.rc] [--cpp OUT.inc]

--rc writes a STRINGTABLE fragment for windres, to be #included by the DLL's
resource script. --cpp writes the entries of the table that the portable engine
compiles in (string_table.cpp includes it), one `{ID, "literal", LEN},` a line.
Without either option the file is only checked.

Input format (see the head of strings.txt): `ID<TAB>TEXT`, ids ascending in
0..65535; `#` lines are comments, blank lines are ignored. TEXT knows the
escapes \\n, \\t, \\\\, \\" and \\xHH and is otherwise printable ASCII; bytes
are kept as they are (Windows-1252), nothing is re-encoded. The five byte values
that Windows-1252 leaves undefined are refused: windres would drop the text.

Empty texts: resource compilers do not store an empty STRINGTABLE entry, and
LoadString answers 0 for it exactly as for a missing id. The .rc fragment
therefore lists empty entries as comments only, and the C++ table gives an
empty text for them, so both sides agree that an empty text is empty.

Every error is reported as FILE:LINE: error: ..., and the exit status is 1.
"""

import argparse
import os
import sys

MAX_ID = 65535
# Every loader in the library reads table texts into buffers of at most 255
# bytes (terminator included); a longer text would be cut there.
MAX_TEXT_BYTES = 254

_SIMPLE_ESCAPES = {
    ord("n"): 0x0A,
    ord("t"): 0x09,
    ord("\\"): 0x5C,
    ord('"'): 0x22,
}
_HEX_DIGITS = b"0123456789abcdefABCDEF"
# Byte values that Windows-1252 leaves undefined: windres cannot convert them and
# silently stores the whole text as empty.
_NOT_CP1252 = frozenset((0x81, 0x8D, 0x8F, 0x90, 0x9D))


class StringTableError(Exception):
    """A fault in the input, tied to its line number (1-based)."""

    def __init__(self, line, message):
        super().__init__(message)
        self.line = line
        self.message = message


def unescape(raw, line):
    """Decode the TEXT part of one entry (bytes) into the bytes of the text."""
    if raw.endswith(b" ") or raw.endswith(b"\t"):
        raise StringTableError(line, "text ends with a raw blank; write a trailing blank as \\x20")
    out = bytearray()
    i = 0
    while i < len(raw):
        b = raw[i]
        if b == 0x5C:  # backslash
            if i + 1 >= len(raw):
                raise StringTableError(line, "backslash at the end of the text; write a backslash as \\\\")
            e = raw[i + 1]
            if e in _SIMPLE_ESCAPES:
                out.append(_SIMPLE_ESCAPES[e])
                i += 2
                continue
            if e == ord("x"):
                digits = raw[i + 2:i + 4]
                if len(digits) != 2 or any(d not in _HEX_DIGITS for d in digits):
                    raise StringTableError(line, "\\x needs exactly two hexadecimal digits")
                value = int(digits, 16)
                if value == 0:
                    raise StringTableError(line, "\\x00: a text cannot hold a NUL byte")
                if value in _NOT_CP1252:
                    raise StringTableError(line, "\\x%02X is not a Windows-1252 character" % value)
                out.append(value)
                i += 4
                continue
            raise StringTableError(line, "unknown escape \\%s" % chr(e) if 0x20 < e < 0x7F
                                   else "unknown escape after a backslash")
        if b < 0x20 or b >= 0x7F:
            raise StringTableError(line, "raw byte 0x%02X in the text; write it as \\x%02X" % (b, b))
        out.append(b)
        i += 1
    return bytes(out)


def parse(data):
    """Parse the contents of strings.txt (bytes) into [(id, text bytes)].

    Raises StringTableError for the first fault; parse_all collects them all.
    """
    entries, errors = parse_all(data)
    if errors:
        raise errors[0]
    return entries


def parse_all(data):
    """Parse strings.txt (bytes); returns ([(id, text bytes)], [StringTableError])."""
    entries = []
    errors = []
    first_line = {}
    last_id = None
    for number, line in enumerate(data.split(b"\n"), start=1):
        if line.endswith(b"\r"):
            line = line[:-1]
        if not line.strip(b" \t") or line.startswith(b"#"):
            continue
        try:
            tab = line.find(b"\t")
            if tab < 0:
                raise StringTableError(number, "expected ID<TAB>TEXT")
            id_text = line[:tab]
            if not id_text or not id_text.isdigit():
                raise StringTableError(number, "bad id %r: expected a decimal number"
                                       % id_text.decode("latin-1"))
            ident = int(id_text)
            if ident > MAX_ID:
                raise StringTableError(number, "id %d out of range 0..%d" % (ident, MAX_ID))
            if ident in first_line:
                raise StringTableError(number, "duplicate id %d (first on line %d)"
                                       % (ident, first_line[ident]))
            if last_id is not None and ident < last_id:
                raise StringTableError(number, "id %d after id %d: ids must ascend" % (ident, last_id))
            text = unescape(line[tab + 1:], number)
            if len(text) > MAX_TEXT_BYTES:
                raise StringTableError(number, "text of id %d has %d bytes; at most %d fit the loaders"
                                       % (ident, len(text), MAX_TEXT_BYTES))
        except StringTableError as error:
            errors.append(error)
            continue
        first_line[ident] = number
        last_id = ident
        entries.append((ident, text))
    return entries, errors


def rc_literal(text):
    """A windres string literal (with its quotes) that yields exactly the bytes of text."""
    out = ['"']
    previous = None
    for b in text:
        if b == 0x3F and previous == 0x3F:
            out.append("\\077")  # the preprocessor never sees "??", so no trigraph
        elif b == 0x22:
            out.append('""')
        elif b == 0x5C:
            out.append("\\\\")
        elif b == 0x0A:
            out.append("\\n")
        elif b == 0x09:
            out.append("\\t")
        elif 0x20 <= b < 0x7F:
            out.append(chr(b))
        else:
            # Always three digits, so a following digit is never taken into the escape.
            out.append("\\%03o" % b)
        previous = b
    out.append('"')
    return "".join(out)


def cpp_literal(text):
    """A C++ narrow string literal (with its quotes) that yields exactly the bytes of text.

    Control and high bytes become three-digit octal escapes: an octal escape
    ends after three digits, whereas a hex escape would swallow any hex digit
    that follows it.
    """
    out = ['"']
    for b in text:
        if b == 0x22:
            out.append('\\"')
        elif b == 0x5C:
            out.append("\\\\")
        elif b == 0x3F:
            out.append("\\?")  # no "??" sequence can read as a trigraph
        elif b == 0x0A:
            out.append("\\n")
        elif b == 0x09:
            out.append("\\t")
        elif 0x20 <= b < 0x7F:
            out.append(chr(b))
        else:
            out.append("\\%03o" % b)
    out.append('"')
    return "".join(out)


def render_rc(entries, source_name="strings.txt"):
    lines = [
        "// Generated from %s by gen_strings.py. Do not edit." % source_name,
        "// Empty texts are not stored (LoadString returns 0 for them); they are",
        "// listed as comments only.",
    ]
    if any(b >= 0x80 for _, text in entries for b in text):
        lines.append("#pragma code_page(1252)")
    lines += ["STRINGTABLE", "BEGIN"]
    for ident, text in entries:
        if text:
            lines.append("  %d, %s" % (ident, rc_literal(text)))
        else:
            lines.append("  // %d: empty" % ident)
    lines.append("END")
    return "\n".join(lines) + "\n"


def render_cpp(entries, source_name="strings.txt"):
    lines = ["// Generated from %s by gen_strings.py. Do not edit." % source_name,
             "// {id, text, length in bytes}, ids ascending."]
    for ident, text in entries:
        lines.append("{%d, %s, %d}," % (ident, cpp_literal(text), len(text)))
    return "\n".join(lines) + "\n"


def _write(path, content):
    directory = os.path.dirname(path)
    if directory:
        os.makedirs(directory, exist_ok=True)
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="ascii", newline="\n") as out:
        out.write(content)
    os.replace(temporary, path)


def main(argv=None):
    parser = argparse.ArgumentParser(description="Generate the Vosko string table files.")
    parser.add_argument("source", help="strings.txt")
    parser.add_argument("--rc", help="STRINGTABLE fragment to write")
    parser.add_argument("--cpp", help="C++ table entries to write")
    args = parser.parse_args(argv)

    try:
        with open(args.source, "rb") as source:
            data = source.read()
    except OSError as error:
        print("%s: error: %s" % (args.source, error.strerror), file=sys.stderr)
        return 1

    entries, errors = parse_all(data)
    for error in errors:
        print("%s:%d: error: %s" % (args.source, error.line, error.message), file=sys.stderr)
    if errors:
        return 1

    name = os.path.basename(args.source)
    try:
        if args.rc:
            _write(args.rc, render_rc(entries, name))
        if args.cpp:
            _write(args.cpp, render_cpp(entries, name))
    except OSError as error:
        print("%s: error: %s" % (error.filename or args.source, error.strerror), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
