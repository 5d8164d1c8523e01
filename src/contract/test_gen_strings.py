"""Tests of gen_strings.py; run with: python3 -m unittest discover -s src/resources"""

import contextlib
import io
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

import gen_strings

HERE = os.path.dirname(os.path.abspath(__file__))

_OCTAL = "01234567"
_HEX = "0123456789abcdefABCDEF"
_C_SIMPLE = {"n": 0x0A, "t": 0x09, "\\": 0x5C, '"': 0x22, "?": 0x3F, "'": 0x27,
             "a": 0x07, "b": 0x08, "f": 0x0C, "r": 0x0D, "v": 0x0B}


def decode_cpp(literal):
    """Bytes of a C++ narrow string literal, read by the language's rules: an octal escape
    takes up to three digits, a hex escape every hex digit that follows."""
    assert literal[0] == '"' and literal[-1] == '"', literal
    body = literal[1:-1]
    out = bytearray()
    i = 0
    while i < len(body):
        c = body[i]
        if c == '"':
            raise AssertionError("unescaped double quote in %r" % literal)
        if c != "\\":
            out.append(ord(c))
            i += 1
            continue
        e = body[i + 1]
        if e in _OCTAL:
            j = i + 1
            while j < len(body) and j < i + 4 and body[j] in _OCTAL:
                j += 1
            out.append(int(body[i + 1:j], 8))
            i = j
        elif e == "x":
            j = i + 2
            while j < len(body) and body[j] in _HEX:
                j += 1
            value = int(body[i + 2:j], 16)
            if value > 0xFF:
                raise AssertionError("hex escape ran on into the next characters: %r" % literal)
            out.append(value)
            i = j
        else:
            out.append(_C_SIMPLE[e])
            i += 2
    return bytes(out)


def decode_windres(literal):
    """Bytes of a windres string literal: "" is a double quote, a backslash starts a C
    escape (octal up to three digits)."""
    assert literal[0] == '"' and literal[-1] == '"', literal
    body = literal[1:-1]
    out = bytearray()
    i = 0
    while i < len(body):
        c = body[i]
        if c == '"':
            if body[i + 1:i + 2] != '"':
                raise AssertionError("lone double quote in %r" % literal)
            out.append(0x22)
            i += 2
        elif c == "\\":
            e = body[i + 1]
            if e in _OCTAL:
                j = i + 1
                while j < len(body) and j < i + 4 and body[j] in _OCTAL:
                    j += 1
                out.append(int(body[i + 1:j], 8))
                i = j
            elif e == '"':
                raise AssertionError('windres warns on \\" ; write "" instead')
            else:
                out.append(_C_SIMPLE[e])
                i += 2
        elif ord(c) < 0x20 or ord(c) > 0x7E:
            raise AssertionError("raw byte %r in %r" % (c, literal))
        else:
            out.append(ord(c))
            i += 1
    return bytes(out)


# Byte sequences that trip naive escaping.
ROUND_TRIP = [
    b"plain text",
    b"",
    b'say "no"',
    b'""',
    b"C:\\PMAIL> rescom",
    b"ends with \\",
    b"\\n as two characters",
    b"line\nbreak\n",
    b"tab\there",
    b"\x017 octal followed by a digit",
    b"\xe9B high byte followed by a hex letter",
    b"\xff\x80\x7f\x1f",
    b"trailing blank ",
    b"what?? no trigraph??=",
    b"100% %d %s",
]


class LiteralTests(unittest.TestCase):
    def test_cpp_literal_round_trips(self):
        for text in ROUND_TRIP:
            with self.subTest(text=text):
                self.assertEqual(decode_cpp(gen_strings.cpp_literal(text)), text)

    def test_rc_literal_round_trips(self):
        for text in ROUND_TRIP:
            with self.subTest(text=text):
                self.assertEqual(decode_windres(gen_strings.rc_literal(text)), text)

    def test_rc_literal_never_holds_a_trigraph(self):
        for text in (b"??=", b"???", b"?? ??", b"a??/b"):
            with self.subTest(text=text):
                literal = gen_strings.rc_literal(text)
                self.assertNotIn("??", literal)
                self.assertEqual(decode_windres(literal), text)

    def test_rc_literal_forms(self):
        cases = [
            (b'a"b', '"a""b"'),
            (b"a\\b", '"a\\\\b"'),
            (b"a\nb", '"a\\nb"'),
            (b"\xe9", '"\\351"'),
            (b"\x01" b"2", '"\\0012"'),
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                self.assertEqual(gen_strings.rc_literal(text), expected)


WINDRES = shutil.which("i686-w64-mingw32-windres")
CP1252_BYTES = bytes(b for b in range(1, 256) if b not in (0x81, 0x8D, 0x8F, 0x90, 0x9D))


def read_res_strings(data):
    """{id: text as Windows-1252 bytes} of the STRINGTABLE blocks of a .res file."""
    def name_or_id(at):
        if data[at:at + 2] == b"\xff\xff":
            return struct.unpack_from("<H", data, at + 2)[0], at + 4
        end = at
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[at:end].decode("utf-16-le"), end + 2

    texts = {}
    at = 0
    while at < len(data):
        size, header = struct.unpack_from("<II", data, at)
        kind, after = name_or_id(at + 8)
        block, _ = name_or_id(after)
        body = data[at + header:at + header + size]
        if kind == 6:
            offset = 0
            for index in range(16):
                length = struct.unpack_from("<H", body, offset)[0]
                offset += 2
                text = body[offset:offset + 2 * length].decode("utf-16-le")
                offset += 2 * length
                if length:
                    texts[(block - 1) * 16 + index] = text.encode("cp1252")
        at = (at + header + size + 3) & ~3
    return texts


@unittest.skipUnless(WINDRES, "i686-w64-mingw32-windres not installed")
class WindresTests(unittest.TestCase):
    def compile(self, entries):
        with tempfile.TemporaryDirectory() as folder:
            rc = os.path.join(folder, "strings.rc")
            res = os.path.join(folder, "strings.res")
            with open(rc, "w", encoding="ascii") as out:
                out.write(gen_strings.render_rc(entries))
            run = subprocess.run([WINDRES, "-i", rc, "-O", "res", "-o", res],
                                 capture_output=True, text=True)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertEqual(run.stderr, "")
            with open(res, "rb") as compiled:
                return read_res_strings(compiled.read())

    def test_windres_stores_exactly_the_bytes(self):
        entries = [(i + 1, text) for i, text in enumerate(ROUND_TRIP)]
        entries.append((100, CP1252_BYTES))
        expected = {ident: text for ident, text in entries if text}
        self.assertEqual(self.compile(entries), expected)

    def test_windres_stores_the_project_table(self):
        with open(os.path.join(HERE, "strings.txt"), "rb") as source:
            entries = gen_strings.parse(source.read())
        expected = {ident: text for ident, text in entries if text}
        self.assertEqual(self.compile(entries), expected)


class ParseTests(unittest.TestCase):
    def test_valid_input(self):
        data = (b"# comment\n\n"
                b"1\tline\\nbreak\n"
                b"2\t\n"
                b"3\tends with blank\\x20\n"
                b"4\tC:\\\\PMAIL \"quoted\" \\\"too\\\"\r\n"
                b"5\t\\xe9t\\xE9\n"
                b"65535\tlast")
        self.assertEqual(gen_strings.parse(data), [
            (1, b"line\nbreak"),
            (2, b""),
            (3, b"ends with blank "),
            (4, b'C:\\PMAIL "quoted" "too"'),
            (5, b"\xe9t\xe9"),
            (65535, b"last"),
        ])

    def test_faults_name_their_line(self):
        cases = [
            (b"1\tok\n1\tagain\n", 2, "duplicate id 1"),
            (b"5\tok\n3\tlower\n", 2, "must ascend"),
            (b"65536\ttoo big\n", 1, "out of range"),
            (b"-1\tnegative\n", 1, "bad id"),
            (b"x1\tletters\n", 1, "bad id"),
            (b"1 text without a tab\n", 1, "expected ID<TAB>TEXT"),
            (b"#\n1\tbad \\q escape\n", 2, "unknown escape \\q"),
            (b"1\tends in a backslash \\\n", 1, "backslash at the end"),
            (b"1\tshort hex \\x4\n", 1, "two hexadecimal digits"),
            (b"1\tnot hex \\xg1\n", 1, "two hexadecimal digits"),
            (b"1\tnul \\x00\n", 1, "NUL"),
            (b"1\traw blank at the end \n", 1, "raw blank"),
            (b"1\traw\ttab\n", 1, "raw byte 0x09"),
            (b"1\traw \xe9\n", 1, "raw byte 0xE9"),
            (b"1\tundefined \\x81\n", 1, "not a Windows-1252 character"),
            (b"1\tundefined \\x9d\n", 1, "not a Windows-1252 character"),
            (b"1\t" + b"x" * 255 + b"\n", 1, "255 bytes"),
        ]
        for data, line, words in cases:
            with self.subTest(data=data):
                with self.assertRaises(gen_strings.StringTableError) as caught:
                    gen_strings.parse(data)
                self.assertEqual(caught.exception.line, line)
                self.assertIn(words, caught.exception.message)

    def test_every_fault_is_reported(self):
        _, errors = gen_strings.parse_all(b"1\ta\n1\tb\n2\tc \n3\td\n")
        self.assertEqual([e.line for e in errors], [2, 3])


class MainTests(unittest.TestCase):
    def run_main(self, text):
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "strings.txt")
            with open(source, "wb") as out:
                out.write(text)
            rc = os.path.join(folder, "gen", "strings.rc")
            inc = os.path.join(folder, "gen", "string_table_data.inc")
            err = io.StringIO()
            with contextlib.redirect_stderr(err):
                status = gen_strings.main([source, "--rc", rc, "--cpp", inc])
            outputs = {}
            for path in (rc, inc):
                if os.path.exists(path):
                    with open(path, encoding="ascii") as generated:
                        outputs[os.path.basename(path)] = generated.read()
            return status, err.getvalue(), outputs

    def test_writes_both_files(self):
        status, err, outputs = self.run_main(b'150\t\n151\t## say "hi"\n')
        self.assertEqual((status, err), (0, ""))
        rc = outputs["strings.rc"]
        self.assertIn('STRINGTABLE\nBEGIN\n', rc)
        self.assertIn('  151, "## say ""hi"""\n', rc)
        self.assertNotIn("  150,", rc)  # empty texts are not stored
        self.assertTrue(rc.endswith("END\n"))
        self.assertNotIn("code_page", rc)
        inc = outputs["string_table_data.inc"]
        self.assertIn('{150, "", 0},\n', inc)
        self.assertIn('{151, "## say \\"hi\\"", 11},\n', inc)

    def test_high_bytes_set_the_code_page(self):
        status, _, outputs = self.run_main(b"1\tcaf\\xe9\n")
        self.assertEqual(status, 0)
        self.assertIn("#pragma code_page(1252)\nSTRINGTABLE", outputs["strings.rc"])

    def test_fault_exits_1_with_file_and_line_and_writes_nothing(self):
        status, err, outputs = self.run_main(b"# head\n7\tok\n7\tagain\n")
        self.assertEqual(status, 1)
        self.assertRegex(err, r"strings\.txt:3: error: duplicate id 7")
        self.assertEqual(outputs, {})

    def test_project_table_is_valid(self):
        with open(os.path.join(HERE, "strings.txt"), "rb") as source:
            entries, errors = gen_strings.parse_all(source.read())
        self.assertEqual(errors, [])
        self.assertTrue(entries)


if __name__ == "__main__":
    unittest.main()
