"""Finds liborvane and declares the C functions the module calls."""

import ctypes
import os

SONAME = "liborvane.so.0"


class RenderOptions(ctypes.Structure):
    _fields_ = [
        ("struct_size", ctypes.c_size_t),
        ("size_rule", ctypes.c_int32),
        ("width", ctypes.c_int32),
        ("height", ctypes.c_int32),
        ("dpi", ctypes.c_double),
        ("quality", ctypes.c_int32),
        ("thin_lines", ctypes.c_int32),
        ("alpha", ctypes.c_int32),
        ("background", ctypes.c_uint32),
    ]


class RecordCount(ctypes.Structure):
    _fields_ = [("type", ctypes.c_uint32), ("count", ctypes.c_uint64)]


def _candidates():
    """Where the library may be, in the order tried."""
    here = os.path.dirname(os.path.abspath(__file__))
    yield os.path.join(here, SONAME)
    try:
        from . import _install  # written by cmake --install: the library folder from here
        yield os.path.normpath(os.path.join(here, _install.LIBRARY_DIR, SONAME))
    except ImportError:
        pass


def _load():
    explicit = os.environ.get("ORVANE_LIBRARY")  # a build tree's library
    if explicit:
        return ctypes.CDLL(explicit)
    for path in _candidates():
        if os.path.exists(path):
            return ctypes.CDLL(path)
    try:
        return ctypes.CDLL(SONAME)  # the system loader's search
    except OSError as error:
        raise ImportError(f"orvane: cannot load {SONAME} (set ORVANE_LIBRARY to its path): {error}") from None


def _declare(lib):
    c = ctypes
    picture = c.c_void_p
    status = c.c_int
    out_picture = c.POINTER(c.c_void_p)
    signatures = {
        "orvane_version": (c.c_char_p, []),
        "orvane_status_text": (c.c_char_p, [status]),
        "orvane_last_error": (c.c_char_p, [c.c_int]),
        "orvane_picture_load_bytes": (status, [c.c_char_p, c.c_size_t, out_picture]),
        "orvane_picture_load_file": (status, [c.c_char_p, out_picture]),
        "orvane_picture_free": (None, [picture]),
        "orvane_picture_size": (status, [picture, c.POINTER(c.c_int32), c.POINTER(c.c_int32)]),
        "orvane_picture_physical_size": (
            status, [picture, c.POINTER(c.c_double), c.POINTER(c.c_double), c.POINTER(c.c_int)]),
        "orvane_picture_emf_plus": (status, [picture, c.POINTER(c.c_int)]),
        "orvane_picture_records_not_drawn": (
            status, [picture, c.POINTER(RecordCount), c.c_size_t, c.POINTER(c.c_size_t)]),
        "orvane_render_size": (
            status, [picture, c.POINTER(RenderOptions), c.POINTER(c.c_int32), c.POINTER(c.c_int32)]),
        "orvane_render": (
            status, [picture, c.POINTER(RenderOptions), c.c_char_p, c.c_int32, c.c_int32, c.c_size_t]),
    }
    for name, (restype, argtypes) in signatures.items():
        function = getattr(lib, name)
        function.restype = restype
        function.argtypes = argtypes
    return lib


lib = _declare(_load())
