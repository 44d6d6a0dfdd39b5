"""Writes the KALMIRA-5K-2 firmware through libvelor, from Python.

    import velor
    image = velor.embedded()
    with velor.Session("/dev/ttyUSB0", 115200) as s:
        s.identify()
        s.write(image, on_progress=lambda p: print(p.percent))

An operation runs on the calling thread and calls on_progress there; Session.stop() may be
called from any thread. A write whose outcome is not done raises OutcomeError, carrying the
outcome and reason codes and the system's message text.
"""

from __future__ import annotations

import ctypes
import threading
from dataclasses import dataclass
from typing import Callable, Optional, Union
from os import PathLike

from velor._native import EVENT_FN, Device as _Device, Event as _Event, Outcome as _Outcome, lib as _lib

__all__ = [
    "Image",
    "embedded",
    "Session",
    "Progress",
    "DeviceInfo",
    "Outcome",
    "VelorError",
    "ImageError",
    "OutcomeError",
    "ports",
    "version",
    "OUTCOME_DONE",
    "OUTCOME_REFUSED",
    "OUTCOME_FAILED",
    "OUTCOME_STOPPED",
    "OUTCOME_PORT_ERROR",
    "OUTCOME_ERROR",
]

OUTCOME_DONE, OUTCOME_REFUSED, OUTCOME_FAILED, OUTCOME_STOPPED, OUTCOME_PORT_ERROR, OUTCOME_ERROR = range(6)
_EVENT_PROGRESS = 2


def _text(raw: Optional[bytes]) -> str:
    return raw.decode("utf-8", "replace") if raw else ""


class VelorError(Exception):
    """A call the library refused: status is the velor_status code (negative)."""

    def __init__(self, status: int, text: str = "") -> None:
        self.status = status
        self.text = text or _text(_lib.velor_status_text(status))
        super().__init__(f"{self.text} ({status})")


class ImageError(VelorError):
    """A firmware text the load refused: text is the system's message, line the refused line."""

    def __init__(self, status: int, text: str, line: int) -> None:
        self.line = line
        super().__init__(status, text)


@dataclass(frozen=True)
class Outcome:
    kind: int
    reason: int
    port_message: int
    os_error: int
    bytes: int
    bytes_total: int
    failed_attempts: int
    calibration: tuple[int, int, int]
    message: str

    @property
    def kind_name(self) -> str:
        return _text(_lib.velor_outcome_name(self.kind))

    @property
    def reason_name(self) -> str:
        return _text(_lib.velor_reason_name(self.reason))

    @property
    def done(self) -> bool:
        return self.kind == OUTCOME_DONE


class OutcomeError(Exception):
    """An operation that ended other than done. number is the outcome's reason code (the message
    number a script branches on), text the system's message."""

    def __init__(self, outcome: Outcome) -> None:
        self.outcome = outcome
        self.number = outcome.reason
        self.text = outcome.message
        super().__init__(f"{outcome.kind_name}/{outcome.reason_name}: {outcome.message}")


@dataclass(frozen=True)
class Progress:
    percent: int
    pages_done: int
    pages: int
    bytes: int
    bytes_total: int


@dataclass(frozen=True)
class DeviceInfo:
    bootloader_version: str
    pages: int
    blocks_per_page: int
    block_size: int
    description: str


def _check(status: int) -> None:
    if status != 0:
        raise VelorError(status)


def version() -> str:
    return _text(_lib.velor_version())


def ports() -> list[tuple[str, str]]:
    """The serial ports present now: (name, description)."""
    handle = ctypes.c_void_p()
    _check(_lib.velor_ports(ctypes.byref(handle)))
    try:
        result = []
        for i in range(_lib.velor_port_list_count(handle)):
            name, description = ctypes.c_char_p(), ctypes.c_char_p()
            _check(_lib.velor_port_list_get(handle, i, ctypes.byref(name), ctypes.byref(description)))
            result.append((_text(name.value), _text(description.value)))
        return result
    finally:
        _lib.velor_port_list_free(handle)


class Image:
    """A firmware image, loaded as the window loads it. Shared read-only by every session."""

    def __init__(self, handle: ctypes.c_void_p) -> None:
        self._handle = handle
        self.sha256: str = _text(_lib.velor_image_sha256(handle))
        self.size: int = _lib.velor_image_size(handle)

    @classmethod
    def _take(cls, status: int, handle: ctypes.c_void_p) -> "Image":
        if status != 0:
            if handle:
                text = _text(_lib.velor_image_message(handle))
                line = _lib.velor_image_line(handle)
                _lib.velor_image_free(handle)
                raise ImageError(status, text, line)
            raise VelorError(status)
        return cls(handle)

    @classmethod
    def load(cls, path: Union[str, "PathLike[str]"]) -> "Image":
        handle = ctypes.c_void_p()
        status = _lib.velor_image_load(str(path).encode("utf-8"), ctypes.byref(handle))
        return cls._take(status, handle)

    @classmethod
    def from_text(cls, text: Union[str, bytes]) -> "Image":
        data = text.encode("utf-8") if isinstance(text, str) else text
        handle = ctypes.c_void_p()
        status = _lib.velor_image_load_text(data, len(data), ctypes.byref(handle))
        return cls._take(status, handle)

    def close(self) -> None:
        if self._handle:
            _lib.velor_image_free(self._handle)
            self._handle = ctypes.c_void_p()

    def __del__(self) -> None:
        self.close()


def embedded() -> Image:
    """The release the library carries."""
    handle = ctypes.c_void_p()
    return Image._take(_lib.velor_image_embedded(ctypes.byref(handle)), handle)


class Session:
    """One device on one port. Use it as a context manager; one operation at a time."""

    def __init__(self, port: str, baud: int = 115200) -> None:
        self._handle = ctypes.c_void_p()
        _check(_lib.velor_session_open(port.encode("utf-8"), baud, ctypes.byref(self._handle)))
        self.port = port
        self._lock = threading.Lock()

    def __enter__(self) -> "Session":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()

    def close(self) -> None:
        if self._handle:
            _check(_lib.velor_session_free(self._handle))
            self._handle = ctypes.c_void_p()

    def __del__(self) -> None:
        if getattr(self, "_handle", None):
            _lib.velor_session_free(self._handle)

    def _run(self, call: Callable[[], int], on_event: Optional[Callable[[_Event], None]] = None) -> Outcome:
        failure: list[BaseException] = []

        def relay(event_pointer: "ctypes._Pointer[_Event]", _user: Optional[int]) -> None:
            if on_event is None or failure:
                return
            try:
                on_event(event_pointer.contents)
            except BaseException as e:  # raised again after the write stopped
                failure.append(e)
                _lib.velor_session_stop(self._handle)

        callback = EVENT_FN(relay)
        _check(_lib.velor_session_set_events(self._handle, callback, None))
        try:
            _check(call())
        finally:
            _lib.velor_session_set_events(self._handle, EVENT_FN(), None)
        if failure:
            raise failure[0]
        return self.outcome()

    def outcome(self) -> Outcome:
        raw = _Outcome()
        _check(_lib.velor_session_outcome(self._handle, ctypes.byref(raw)))
        return Outcome(
            raw.kind,
            raw.reason,
            raw.port_message,
            raw.os_error,
            raw.bytes,
            raw.bytes_total,
            raw.failed_attempts,
            (raw.erase_delay, raw.write_delay, raw.program_delay),
            _text(_lib.velor_session_message(self._handle)),
        )

    def identify(self) -> DeviceInfo:
        """Identifies the device; raises OutcomeError when none answers as it should."""
        outcome = self._run(lambda: _lib.velor_session_identify(self._handle))
        if not outcome.done:
            raise OutcomeError(outcome)
        raw = _Device()
        _check(_lib.velor_session_device(self._handle, ctypes.byref(raw)))
        return DeviceInfo(
            _text(raw.bootloader_version), raw.pages, raw.blocks_per_page, raw.block_size, _text(raw.description)
        )

    def write(self, image: Image, on_progress: Optional[Callable[[Progress], None]] = None) -> Outcome:
        """Writes image; returns the done outcome or raises OutcomeError. on_progress runs on this
        thread; an exception from it stops the write and is raised here."""

        def on_event(event: _Event) -> None:
            if on_progress is not None and event.type == _EVENT_PROGRESS:
                on_progress(Progress(event.percent, event.pages_done, event.pages, event.bytes, event.bytes_total))

        outcome = self._run(lambda: _lib.velor_session_write(self._handle, image._handle), on_event)
        if not outcome.done:
            raise OutcomeError(outcome)
        return outcome

    def reset(self) -> Outcome:
        outcome = self._run(lambda: _lib.velor_session_reset(self._handle))
        if not outcome.done:
            raise OutcomeError(outcome)
        return outcome

    def stop(self) -> bool:
        """Asks the running operation to stop before its next command (any thread). False when
        nothing runs."""
        status = _lib.velor_session_stop(self._handle)
        if status == -8:
            return False
        _check(status)
        return True
