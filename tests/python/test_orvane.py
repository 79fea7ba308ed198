"""The Python module against the render tool: the same pixels for the same
options, errors as exceptions with English messages, and pictures taken out
of a .docx. ORVANE_RENDER names the tool, ORVANE_SOURCE_DIR the source tree
(default: the one holding this file)."""

import io
import os
import struct
import subprocess
import tempfile
import threading
import unittest
import zipfile
import zlib

import orvane

SOURCE = os.environ.get("ORVANE_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
TOOL = os.environ.get("ORVANE_RENDER", "orvane-render")
SOCER = os.path.join(SOURCE, "demo", "data", "Socer.EMF")
SHAPES = os.path.join(SOURCE, "fuzz", "corpus", "metafile", "shapes.emf")
WMF = os.path.join(SOURCE, "fuzz", "corpus", "wmf", "shapes.wmf")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def decode_png(data):
    """(width, height, RGBA bytes) of an 8-bit, non-interlaced RGB or RGBA PNG."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, (depth, colour, interlace)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 4 if colour == 6 else 3
    raw, stride = zlib.decompress(idat), width * channels
    out, previous = bytearray(), bytearray(stride)
    for y in range(height):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - channels] if i >= channels else 0
            b, c = previous[i], previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + a) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + b) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        previous = row
        for x in range(width):
            out += row[x * channels:(x + 1) * channels] + (b"" if channels == 4 else b"\xff")
    return width, height, bytes(out)


def tool_pixels(path, *options):
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "out.png")
        # A sanitizer runtime preloaded for this interpreter is not the tool's.
        env = {k: v for k, v in os.environ.items() if k != "LD_PRELOAD"}
        subprocess.run([TOOL, *options, path, out], check=True, env=env)
        return decode_png(read(out))


def with_emf_plus_header(emf, dual):
    """The EMF with a comment holding an EMF+ header record right after its header record."""
    header = struct.unpack_from("<I", emf, 4)[0]
    record = struct.pack("<III4sHHII", 70, 44, 32, b"EMF+", 0x4001, 1 if dual else 0, 28, 16) + bytes(16)
    out = bytearray(emf[:header] + record + emf[header:])
    struct.pack_into("<II", out, 48, len(out), struct.unpack_from("<I", emf, 52)[0] + 1)
    return bytes(out)


class PixelsTest(unittest.TestCase):
    CASES = [
        (SOCER, dict(size=(123, 97)), ["--size", "123x97"]),
        (SOCER, dict(fit=(64, 40), quality="med", background="#336699"),
         ["--fit", "64x40", "--quality", "med", "--background", "#336699"]),
        (SHAPES, dict(dpi=37.5, quality="very-high", thin_lines="exact"),
         ["--dpi", "37.5", "--quality", "very-high", "--thin-lines", "exact"]),
        (WMF, dict(quality="low"), ["--quality", "low"]),
    ]

    def test_pixels_match_the_tool_from_bytes_and_from_a_path(self):
        for path, options, tool_options in self.CASES:
            with self.subTest(path=path, options=options):
                width, height, expected = tool_pixels(path, *tool_options)
                for source in (read(path), path):
                    image = orvane.render(source, **options)
                    self.assertEqual((image.width, image.height), (width, height))
                    self.assertTrue(image.rgba == expected, "pixels differ from the tool's")

    def test_save_png_keeps_the_pixels(self):
        with tempfile.TemporaryDirectory() as folder:
            for options in (dict(size=(40, 30)), dict(size=(40, 30), background=0x102030)):
                image = orvane.render(SHAPES, **options)
                out = os.path.join(folder, "out.png")
                image.save_png(out)
                self.assertEqual(decode_png(read(out)), (40, 30, image.rgba))

    @unittest.skipUnless(__import__("importlib").util.find_spec("numpy"), "NumPy is not installed")
    def test_array_is_rows_of_rgba(self):
        image = orvane.render(SOCER, size=(21, 17))
        array = image.array()
        self.assertEqual(array.shape, (17, 21, 4))
        self.assertEqual(bytes(array[16, 20]), image.rgba[-4:])


class QueriesTest(unittest.TestCase):
    def test_picture_reports_what_it_holds(self):
        shapes = read(SHAPES)
        with orvane.load(with_emf_plus_header(shapes, dual=False)) as picture:
            self.assertEqual(picture.emf_plus, "only")
        with orvane.load(shapes) as picture:
            self.assertEqual((picture.size, picture.emf_plus, picture.records_not_drawn), ((64, 64), "none", {}))
            self.assertEqual(picture.physical_size, (1690 / 2540, 1693 / 2540, True))
            self.assertEqual(picture.render_size(fit=(32, 100)), (32, 32))


class ErrorsTest(unittest.TestCase):
    def test_library_errors_raise_with_english_messages(self):
        shapes = read(SHAPES)
        cases = [
            (b"", "unknown picture file extension (.)"),
            (b"no picture at all" * 5, "unknown picture file extension (.)"),
            (shapes[:len(shapes) // 2], "the file is cut short (stream read error)"),
            ("/nonexistent/picture.emf", "cannot open file /nonexistent/picture.emf"),
        ]
        for source, message in cases:
            with self.subTest(message=message):
                with self.assertRaises(orvane.Error) as caught:
                    orvane.render(source)
                self.assertEqual(str(caught.exception), message)
        with self.assertRaisesRegex(orvane.Error, "above the limit"):
            orvane.render(shapes, size=(16385, 10))
        with self.assertRaisesRegex(orvane.Error, "invalid argument"):
            orvane.render(shapes, size=(-1, 10))

    def test_bad_option_values_raise_value_error(self):
        for options in (dict(size=(9, 9), fit=(9, 9)), dict(quality="best"), dict(alpha="none"),
                        dict(thin_lines="thin"), dict(background="red"), dict(size=9),
                        dict(background=0, alpha="premultiplied")):
            with self.subTest(options=options), self.assertRaises(ValueError):
                orvane.render(SHAPES, **options)


class ThreadsTest(unittest.TestCase):
    def test_threads_draw_and_fail_each_on_their_own(self):
        sizes = [(40 + 7 * i, 30 + 5 * i) for i in range(4)]
        alone = [orvane.render(SOCER, size=size).rgba for size in sizes]
        bad = [read(SHAPES)[:500], b"not a picture" * 9]
        drawn, messages = [None] * 4, [set() for _ in range(4)]

        start = threading.Barrier(4)

        def work(i):
            drawn[i] = orvane.render(SOCER, size=sizes[i]).rgba
            start.wait()
            for _ in range(500):
                try:
                    orvane.load(bad[i % 2])
                except orvane.Error as error:
                    messages[i].add(str(error))

        threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        self.assertTrue(drawn == alone, "a drawing made beside others differs from the same one made alone")
        cut, unknown = {"the file is cut short (stream read error)"}, {"unknown picture file extension (.)"}
        self.assertEqual(messages, [cut, unknown, cut, unknown])


class DocxTest(unittest.TestCase):
    def test_pictures_of_a_docx_to_png(self):
        docx = io.BytesIO()
        with zipfile.ZipFile(docx, "w") as z:
            z.writestr("word/document.xml", "<w:document/>")
            z.write(SOCER, "word/media/image1.emf")
            z.write(WMF, "word/media/image2.wmf")
        with tempfile.TemporaryDirectory() as folder:
            # As in the README.
            with zipfile.ZipFile(docx) as z:
                for name in z.namelist():
                    if name.startswith("word/media/") and name.lower().endswith((".emf", ".wmf", ".emz", ".wmz")):
                        image = orvane.render(z.read(name), fit=(128, 128))
                        image.save_png(os.path.join(folder, os.path.basename(name) + ".png"))
            self.assertEqual(sorted(os.listdir(folder)), ["image1.emf.png", "image2.wmf.png"])
            for name, source in (("image1.emf.png", SOCER), ("image2.wmf.png", WMF)):
                self.assertEqual(decode_png(read(os.path.join(folder, name))), tool_pixels(source, "--fit", "128x128"))


if __name__ == "__main__":
    unittest.main()
