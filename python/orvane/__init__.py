"""Anti-aliased drawing of vector pictures into RGBA pixels.

Reads EMF, WMF (with or without the placeable header), their compressed
forms .emz and .wmz, BMP and icons, recognised by their content, through
liborvane's C interface:

    import orvane
    image = orvane.render("drawing.emf", fit=(512, 512))
    image.save_png("drawing.png")

Failures raise orvane.Error with an English message; bad option values
raise ValueError. Different pictures may be drawn from different threads
at once (the library runs without the interpreter lock).
"""

import ctypes
import os

from ._library import RecordCount, RenderOptions, lib
from ._png import encode_png

__all__ = ["Error", "Image", "Picture", "load", "render", "__version__"]
__version__ = lib.orvane_version().decode()

_QUALITIES = {"very-low": 0, "low": 1, "med": 2, "high": 3, "very-high": 4}
_THIN_LINES = {"one-pixel": 0, "exact": 1}
_ALPHAS = {"straight": 0, "premultiplied": 1, "opaque": 2}
_SIZE_NATURAL, _SIZE_EXACT, _SIZE_FIT, _SIZE_DPI = range(4)
_EMF_PLUS = {0: "none", 1: "dual", 2: "only"}


class Error(Exception):
    """A failure of the library; `status` is its orvane_status number."""

    def __init__(self, message, status):
        super().__init__(message)
        self.status = status


def _check(status):
    if status != 0:
        raise Error(lib.orvane_last_error(0).decode("utf-8", "replace"), status)


class Image:
    """Drawn pixels: `height` rows of `width` pixels, 4 bytes (R, G, B, A) each, in `rgba`."""

    def __init__(self, width, height, rgba, alpha):
        self.width = width
        self.height = height
        self.rgba = rgba
        self.alpha = alpha  # "straight", "premultiplied" or "opaque"

    def png_bytes(self):
        """The image as a PNG file: RGB when opaque, RGBA with straight alpha otherwise."""
        if self.alpha == "premultiplied":
            raise ValueError("PNG holds straight alpha: render with alpha='straight' to save one")
        return encode_png(self.width, self.height, self.rgba, with_alpha=self.alpha != "opaque")

    def save_png(self, path):
        with open(path, "wb") as f:
            f.write(self.png_bytes())

    def array(self):
        """The pixels as a read-only NumPy array of shape (height, width, 4), dtype uint8."""
        try:
            import numpy
        except ImportError as error:
            raise ImportError("Image.array() needs NumPy") from error
        return numpy.frombuffer(self.rgba, dtype=numpy.uint8).reshape(self.height, self.width, 4)


def _pair(name, value):
    try:
        width, height = value
        return int(width), int(height)
    except (TypeError, ValueError):
        raise ValueError(f"{name} must be a (width, height) pair, not {value!r}") from None


def _background(value):
    if isinstance(value, int):
        return value
    if isinstance(value, str) and len(value) == 7 and value[0] == "#":
        try:
            return int(value[1:], 16)
        except ValueError:
            pass
    raise ValueError(f"background must be 0xRRGGBB or '#RRGGBB', not {value!r}")


def _choice(name, table, value):
    if not isinstance(value, str) or value not in table:
        raise ValueError(f"{name} must be one of {', '.join(table)}, not {value!r}")
    return table[value]


def _quality(value):
    if isinstance(value, int) and not isinstance(value, bool) and value in _QUALITIES.values():
        return value
    return _choice("quality", _QUALITIES, value)


def _options(size, fit, dpi, quality, background, alpha, thin_lines):
    """The C options for render()'s arguments; a background makes the image opaque."""
    if sum(x is not None for x in (size, fit, dpi)) > 1:
        raise ValueError("give at most one of size, fit and dpi")
    o = RenderOptions()
    o.struct_size = ctypes.sizeof(RenderOptions)
    if size is not None:
        o.size_rule = _SIZE_EXACT
        o.width, o.height = _pair("size", size)
    elif fit is not None:
        o.size_rule = _SIZE_FIT
        o.width, o.height = _pair("fit", fit)
    elif dpi is not None:
        o.size_rule, o.dpi = _SIZE_DPI, float(dpi)
    o.quality = _quality(quality)
    o.thin_lines = _choice("thin_lines", _THIN_LINES, thin_lines)
    o.alpha = _choice("alpha", _ALPHAS, alpha)
    o.background = 0xFFFFFF
    if background is not None:
        if alpha == "premultiplied":
            raise ValueError("a background gives an opaque image, not a premultiplied one")
        o.alpha = _ALPHAS["opaque"]
        o.background = _background(background)
    return o


class Picture:
    """A loaded picture. Use it from one thread at a time; close() (or `with`) frees it."""

    def __init__(self, data_or_path):
        self._handle = None
        handle = ctypes.c_void_p()
        if isinstance(data_or_path, (str, os.PathLike)):
            _check(lib.orvane_picture_load_file(os.fsencode(data_or_path), ctypes.byref(handle)))
        else:
            data = bytes(data_or_path)
            _check(lib.orvane_picture_load_bytes(data, len(data), ctypes.byref(handle)))
        self._handle = handle

    _free = lib.orvane_picture_free  # held here: __del__ may run when module globals are gone

    def close(self):
        if self._handle:
            self._free(self._handle)
            self._handle = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __del__(self):
        self.close()

    def _live(self):
        if not self._handle:
            raise ValueError("the picture is closed")
        return self._handle

    @property
    def size(self):
        """The picture's own size in pixels, (width, height)."""
        w, h = ctypes.c_int32(), ctypes.c_int32()
        _check(lib.orvane_picture_size(self._live(), ctypes.byref(w), ctypes.byref(h)))
        return w.value, h.value

    @property
    def width(self):
        return self.size[0]

    @property
    def height(self):
        return self.size[1]

    @property
    def physical_size(self):
        """(inches wide, inches high, stated): stated is False where 96 dpi was assumed."""
        wide, high, stated = ctypes.c_double(), ctypes.c_double(), ctypes.c_int()
        _check(lib.orvane_picture_physical_size(self._live(), ctypes.byref(wide), ctypes.byref(high),
                                                ctypes.byref(stated)))
        return wide.value, high.value, bool(stated.value)

    @property
    def emf_plus(self):
        """"none", "dual" (EMF+ beside drawn GDI records) or "only" (EMF+ only: draws nothing)."""
        content = ctypes.c_int()
        _check(lib.orvane_picture_emf_plus(self._live(), ctypes.byref(content)))
        return _EMF_PLUS[content.value]

    @property
    def records_not_drawn(self):
        """{EMF record type: count} of the records drawing leaves out."""
        count = ctypes.c_size_t()
        _check(lib.orvane_picture_records_not_drawn(self._live(), None, 0, ctypes.byref(count)))
        records = (RecordCount * count.value)()
        _check(lib.orvane_picture_records_not_drawn(self._live(), records, count.value, ctypes.byref(count)))
        return {r.type: r.count for r in records}

    def render_size(self, size=None, fit=None, dpi=None):
        """The (width, height) render() draws at for these options."""
        o = _options(size, fit, dpi, "high", None, "straight", "one-pixel")
        w, h = ctypes.c_int32(), ctypes.c_int32()
        _check(lib.orvane_render_size(self._live(), ctypes.byref(o), ctypes.byref(w), ctypes.byref(h)))
        return w.value, h.value

    def render(self, size=None, fit=None, dpi=None, quality="high", background=None, alpha="straight",
               thin_lines="one-pixel"):
        """Draws the picture; see orvane.render."""
        o = _options(size, fit, dpi, quality, background, alpha, thin_lines)
        w, h = ctypes.c_int32(), ctypes.c_int32()
        _check(lib.orvane_render_size(self._live(), ctypes.byref(o), ctypes.byref(w), ctypes.byref(h)))
        stride = w.value * 4
        buffer = ctypes.create_string_buffer(stride * h.value)
        _check(lib.orvane_render(self._live(), ctypes.byref(o), buffer, w.value, h.value, stride))
        mode = next(name for name, value in _ALPHAS.items() if value == o.alpha)
        return Image(w.value, h.value, buffer.raw, mode)


def load(data_or_path):
    """A Picture from bytes (any bytes-like object) or a path (str or os.PathLike)."""
    return Picture(data_or_path)


def render(data_or_path, size=None, fit=None, dpi=None, quality="high", background=None, alpha="straight",
           thin_lines="one-pixel"):
    """Draws a picture (bytes or a path) anti-aliased and returns the Image.

    At most one of: size=(w, h) exactly (one side 0 keeps the aspect ratio),
    fit=(w, h) the largest size inside the box, dpi=D from the picture's
    physical size; without any, the picture's own size capped to 2048.
    quality: "very-low", "low", "med", "high", "very-high" (or 0 to 4).
    background: 0xRRGGBB or "#RRGGBB", which makes the image opaque over
    that colour; alpha: "straight" (coverage as alpha), "premultiplied" or
    "opaque" (over white without a background). thin_lines: "one-pixel"
    (lines thinner than a pixel drawn one pixel wide) or "exact".
    """
    with Picture(data_or_path) as picture:
        return picture.render(size, fit, dpi, quality, background, alpha, thin_lines)
