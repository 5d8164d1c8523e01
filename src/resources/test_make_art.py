"""Tests of make_art.py; run with: python3 -m unittest discover -s src/resources

The files are read back with a reader written here from the formats' layouts, not with the
writer's own code."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

import make_art

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "make_art.py")
NAMES = ("banner.bmp", "about.bmp", "vosko.ico", "quotefile.ico")


def read_dib(data, offset, in_icon):
    """Parses a BITMAPINFOHEADER at offset and the pixels after it. Returns (width, height,
    bits per pixel, rows top-down of (r, g, b, a), AND-mask rows top-down of 0/1 or None,
    bytes used from offset)."""
    (size, width, height, planes, bpp, compression, size_image,
     _, _, colours_used, _) = struct.unpack_from("<IiiHHIIiiII", data, offset)
    assert size == 40 and planes == 1 and compression == 0 and colours_used == 0, \
        (size, planes, compression, colours_used)
    if in_icon:
        assert height % 2 == 0, height
        height //= 2
    assert width > 0 and height > 0, (width, height)  # bottom-up
    stride = (width * bpp // 8 + 3) // 4 * 4
    pos = offset + size
    rows = []
    for y in range(height):
        line = data[pos + (height - 1 - y) * stride:pos + (height - y) * stride]
        assert len(line) == stride, "pixel data cut short"
        if bpp == 24:
            rows.append([(line[3 * x + 2], line[3 * x + 1], line[3 * x], 255)
                         for x in range(width)])
            assert not any(line[3 * width:]), "row padding must be zero"
        elif bpp == 32:
            rows.append([(line[4 * x + 2], line[4 * x + 1], line[4 * x], line[4 * x + 3])
                         for x in range(width)])
        else:
            raise AssertionError("unexpected bit count %d" % bpp)
    pos += stride * height
    mask = None
    if in_icon:
        mask_stride = (width + 31) // 32 * 4
        mask = []
        for y in range(height):
            line = data[pos + (height - 1 - y) * mask_stride:
                        pos + (height - y) * mask_stride]
            assert len(line) == mask_stride, "AND mask cut short"
            mask.append([(line[x // 8] >> (7 - x % 8)) & 1 for x in range(width)])
        pos += mask_stride * height
    assert size_image == pos - offset - size, (size_image, pos - offset - size)
    return width, height, bpp, rows, mask, pos - offset


def read_bmp(data):
    magic, file_size, reserved1, reserved2, bits_offset = struct.unpack_from("<2sIHHI", data)
    assert magic == b"BM" and reserved1 == reserved2 == 0
    assert file_size == len(data), (file_size, len(data))
    assert bits_offset == 14 + 40, bits_offset
    width, height, bpp, rows, _, used = read_dib(data, 14, False)
    assert 14 + used == len(data), "bytes after the pixels"
    return width, height, bpp, rows


def read_ico(data):
    """Returns [(width, height, rows, mask)], checking that the directory describes the
    images exactly: each entry's offset and size frame one image, images do not overlap and
    nothing is left over."""
    reserved, kind, count = struct.unpack_from("<HHH", data)
    assert reserved == 0 and kind == 1 and count > 0, (reserved, kind, count)
    images = []
    expected_offset = 6 + 16 * count
    for i in range(count):
        (w, h, colours, reserved, planes, bpp, length,
         offset) = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        assert colours == 0 and reserved == 0 and planes == 1 and bpp == 32
        assert offset == expected_offset, (offset, expected_offset)
        width, height, dib_bpp, rows, mask, used = read_dib(data, offset, True)
        assert (width % 256, height % 256) == (w, h), ((width, height), (w, h))
        assert dib_bpp == 32
        assert used == length, (used, length)
        images.append((width, height, rows, mask))
        expected_offset = offset + length
    assert expected_offset == len(data), "bytes after the last image"
    return images


class ArtFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.tmp.name, "art")  # does not exist yet: the script makes it
        subprocess.run([sys.executable, SCRIPT, cls.out], check=True)
        cls.data = {}
        for name in NAMES:
            with open(os.path.join(cls.out, name), "rb") as f:
                cls.data[name] = f.read()

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_banner_fits_above_the_buttons_and_is_wide_enough_to_be_clipped(self):
        width, height, bpp, _ = read_bmp(self.data["banner.bmp"])
        self.assertEqual(bpp, 24)
        # the main window's buttons and list start 38 pixels down
        self.assertTrue(34 <= height <= 36, height)
        self.assertGreaterEqual(width, 1500)

    def test_banner_writing_is_all_at_the_left(self):
        # a narrow dialog shows only the banner's left end, so the name and the line under
        # it must be there: the light (text) pixels all lie in the first 300 columns
        _, _, _, rows = read_bmp(self.data["banner.bmp"])
        light_columns = {x for row in rows for x, (r, g, b, _) in enumerate(row)
                         if min(r, g, b) > 200}
        self.assertTrue(light_columns, "no writing on the banner")
        self.assertLess(max(light_columns), 300)
        self.assertLess(min(light_columns), 60)

    def test_about_picture_is_a_64_pixel_square(self):
        width, height, bpp, _ = read_bmp(self.data["about.bmp"])
        self.assertEqual((width, height, bpp), (64, 64, 24))

    def test_icons_hold_a_16_and_a_32_pixel_image(self):
        for name in ("vosko.ico", "quotefile.ico"):
            sizes = sorted((w, h) for w, h, _, _ in read_ico(self.data[name]))
            self.assertEqual(sizes, [(16, 16), (32, 32)], name)

    def test_icon_masks_match_alpha(self):
        # where a pixel is fully transparent the AND-mask bit is set and its colour is black
        # (drawn through the mask it must leave the screen alone); everywhere else the bit is
        # clear, so the shape shows where alpha is not used
        for name in ("vosko.ico", "quotefile.ico"):
            for width, _, rows, mask in read_ico(self.data[name]):
                for y, row in enumerate(rows):
                    for x, (r, g, b, a) in enumerate(row):
                        where = "%s %d: (%d, %d)" % (name, width, x, y)
                        self.assertEqual(mask[y][x], 1 if a == 0 else 0, where)
                        if a == 0:
                            self.assertEqual((r, g, b), (0, 0, 0), where)

    def test_quote_file_icon_is_a_shape_on_a_transparent_background(self):
        for width, height, rows, _ in read_ico(self.data["quotefile.ico"]):
            corners = [rows[0][0], rows[0][width - 1], rows[height - 1][0],
                       rows[height - 1][width - 1]]
            self.assertEqual([a for _, _, _, a in corners], [0, 0, 0, 0], width)
            self.assertEqual(rows[height // 2][width // 2][3], 255, width)
            opaque = sum(1 for row in rows for p in row if p[3] == 255)
            self.assertTrue(0.3 < opaque / float(width * height) < 0.9, (width, opaque))

    def test_same_bytes_every_run(self):
        with tempfile.TemporaryDirectory() as again:
            subprocess.run([sys.executable, SCRIPT, again], check=True)
            for name in NAMES:
                with open(os.path.join(again, name), "rb") as f:
                    self.assertEqual(f.read(), self.data[name], name)


class Writers(unittest.TestCase):
    def test_bmp_rows_are_padded_and_stored_bottom_up(self):
        # 5 pixels of 3 bytes make 15, padded to 16
        canvas = make_art.Canvas(5, 3, (0.0, 0.0, 0.0))
        canvas.paint(0, 0, (1.0, 0.0, 0.0), 1.0)  # top-left red
        canvas.paint(4, 2, (0.0, 0.0, 1.0), 1.0)  # bottom-right blue
        data = make_art.bmp_bytes(canvas)
        self.assertEqual(len(data), 54 + 16 * 3)
        width, height, bpp, rows = read_bmp(data)
        self.assertEqual((width, height, bpp), (5, 3, 24))
        self.assertEqual(rows[0][0], (255, 0, 0, 255))
        self.assertEqual(rows[2][4], (0, 0, 255, 255))
        self.assertEqual(rows[1][2], (0, 0, 0, 255))
        # the file's first pixel row is the picture's bottom one
        self.assertEqual(data[54 + 12:54 + 15], bytes((255, 0, 0)))

    def test_icon_keeps_straight_colour_at_partial_alpha(self):
        # half-covered pure red must come out as red at alpha 128, not a darkened red
        canvas = make_art.Canvas(16, 16)
        canvas.paint(3, 5, (1.0, 0.0, 0.0), 0.5)
        (width, height, rows, mask), = read_ico(make_art.ico_bytes([canvas]))
        self.assertEqual(rows[5][3], (255, 0, 0, 128))
        self.assertEqual(mask[5][3], 0)
        self.assertEqual(mask[5][4], 1)

    def test_script_without_an_output_directory_fails(self):
        result = subprocess.run([sys.executable, SCRIPT], capture_output=True)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn(b"usage", result.stderr)


if __name__ == "__main__":
    unittest.main()
