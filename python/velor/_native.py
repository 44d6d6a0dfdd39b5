"""The ctypes declarations of libvelor's C interface (include/velor/velor.h)."""

from __future__ import annotations

import ctypes
import ctypes.util
import os
import sys
from pathlib import Path


class Outcome(ctypes.Structure):
    _fields_ = [
        ("kind", ctypes.c_int),
        ("reason", ctypes.c_int),
        ("port_message", ctypes.c_int),
        ("os_error", ctypes.c_int),
        ("bytes", ctypes.c_int64),
        ("bytes_total", ctypes.c_int64),
        ("failed_attempts", ctypes.c_int64),
        ("erase_delay", ctypes.c_int),
        ("write_delay", ctypes.c_int),
        ("program_delay", ctypes.c_int),
    ]


class Device(ctypes.Structure):
    _fields_ = [
        ("bootloader_version", ctypes.c_char_p),
        ("pages", ctypes.c_int64),
        ("blocks_per_page", ctypes.c_int64),
        ("block_size", ctypes.c_int64),
        ("description", ctypes.c_char_p),
    ]


class Event(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("percent", ctypes.c_int),
        ("pages_done", ctypes.c_int64),
        ("pages", ctypes.c_int64),
        ("bytes", ctypes.c_int64),
        ("bytes_total", ctypes.c_int64),
        ("attempt_command", ctypes.c_int),
        ("attempt_verdict", ctypes.c_int),
        ("page", ctypes.c_int64),
        ("block", ctypes.c_int64),
        ("erase_delay", ctypes.c_int),
        ("write_delay", ctypes.c_int),
        ("program_delay", ctypes.c_int),
        ("failed_attempts", ctypes.c_int64),
        ("kind", ctypes.c_int),
        ("reason", ctypes.c_int),
        ("text", ctypes.c_char_p),
    ]


EVENT_FN = ctypes.CFUNCTYPE(None, ctypes.POINTER(Event), ctypes.c_void_p)


def _candidates() -> list[str]:
    """Where the library may be: VELOR_LIBRARY, beside this package (the Windows zip), the system."""
    names = []
    override = os.environ.get("VELOR_LIBRARY")
    if override:
        names.append(override)
    here = Path(__file__).resolve().parent
    if sys.platform == "win32":
        # The zip's sdk folder holds velor.dll beside python/velor.
        names += [str(here.parent.parent / "velor.dll"), str(here.parent / "velor.dll"), "velor.dll"]
    else:
        names += [str(here.parent / "libvelor.so.1"), "libvelor.so.1"]
        found = ctypes.util.find_library("velor")
        if found:
            names.append(found)
    return names


def _load() -> ctypes.CDLL:
    errors = []
    for name in _candidates():
        try:
            return ctypes.CDLL(name)
        except OSError as e:
            errors.append(f"{name}: {e}")
    raise OSError("libvelor not found; set VELOR_LIBRARY to its path (" + "; ".join(errors) + ")")


def _declare(lib: ctypes.CDLL) -> ctypes.CDLL:
    c_int, c_char_p, c_void_p, c_size_t = ctypes.c_int, ctypes.c_char_p, ctypes.c_void_p, ctypes.c_size_t
    pp = ctypes.POINTER(c_void_p)
    table = {
        "velor_version": (c_char_p, []),
        "velor_status_text": (c_char_p, [c_int]),
        "velor_outcome_name": (c_char_p, [c_int]),
        "velor_reason_name": (c_char_p, [c_int]),
        "velor_ports": (c_int, [pp]),
        "velor_port_list_count": (c_size_t, [c_void_p]),
        "velor_port_list_get": (
            c_int,
            [c_void_p, c_size_t, ctypes.POINTER(c_char_p), ctypes.POINTER(c_char_p)],
        ),
        "velor_port_list_free": (None, [c_void_p]),
        "velor_image_load": (c_int, [c_char_p, pp]),
        "velor_image_load_text": (c_int, [c_char_p, c_size_t, pp]),
        "velor_image_embedded": (c_int, [pp]),
        "velor_image_sha256": (c_char_p, [c_void_p]),
        "velor_image_size": (ctypes.c_int64, [c_void_p]),
        "velor_image_message": (c_char_p, [c_void_p]),
        "velor_image_line": (ctypes.c_int64, [c_void_p]),
        "velor_image_ok": (c_int, [c_void_p]),
        "velor_image_free": (None, [c_void_p]),
        "velor_session_open": (c_int, [c_char_p, ctypes.c_uint32, pp]),
        "velor_session_set_events": (c_int, [c_void_p, EVENT_FN, c_void_p]),
        "velor_session_identify": (c_int, [c_void_p]),
        "velor_session_device": (c_int, [c_void_p, ctypes.POINTER(Device)]),
        "velor_session_write": (c_int, [c_void_p, c_void_p]),
        "velor_session_reset": (c_int, [c_void_p]),
        "velor_session_stop": (c_int, [c_void_p]),
        "velor_session_outcome": (c_int, [c_void_p, ctypes.POINTER(Outcome)]),
        "velor_session_message": (c_char_p, [c_void_p]),
        "velor_session_close": (c_int, [c_void_p]),
        "velor_session_free": (c_int, [c_void_p]),
    }
    for name, (restype, argtypes) in table.items():
        function = getattr(lib, name)
        function.restype = restype
        function.argtypes = argtypes
    return lib


lib = _declare(_load())
