#!/usr/bin/env python3
"""Writes the seed corpora of the device fuzz targets into corpus/<target>/.

Usage: fuzz/make_device_seeds.py

The device targets read their input as instructions, one per write of the
program, for reshaping the simulated device's reply (see fuzz_support.h):
0 as it is, 1 none, 2 replaced (length, bytes), 3 cut (length), 4 one byte
changed (position, xor), 5 appended (length, bytes), 6 dribbled (gap ms),
7 late (delay in 4 ms). The identify, read and update targets take a few
choices first (firmware, rate, image).
"""
import pathlib

HERE = pathlib.Path(__file__).resolve().parent
PASS, DROP = b"\x00", b"\x01"


def replace(data: bytes) -> bytes:
    return b"\x02" + bytes([len(data)]) + data


def append(data: bytes) -> bytes:
    return b"\x05" + bytes([len(data)]) + data


def host(text: bytes, code: int = 1, channel: int = 0) -> bytes:
    return bytes([channel, code]) + text + b"\x00"


SEEDS = {
    "identify": {
        # firmware index, rate (even 38400, odd 115200), then per write
        "untouched": b"",
        "older-firmware-at-115200": b"\x01\x01",
        "other-version": b"\x00\x00" + PASS + replace(b"\r\nDAVOZI V.12.34z, x\r\n"),
        "version-without-comma": b"\x00\x00" + PASS + replace(b"\r\nDAVOZI V.1.4b\r\n"),
        "bios-prompt": b"\x00\x00" + PASS + DROP + PASS + replace(b"\r\ncmd:"),
        "three-channels-one-busy": b"\x00\x00" + PASS * 3 + replace(host(b" 3")) + PASS
        + replace(host(b"CONNECTED to X", channel=2)),
        "version-text": b" V.1.4b, x",
    },
    "host_frame": {
        "one-answer": host(b"APRS Beacon/Timer = 900 s"),
        "code-0-then-next": host(b"", code=0)[:2] + host(b"10"),
        "no-zero-byte": b"\x00\x01" + b"G" * 300,
        "two-channels": host(b"CHANNEL NOT CONNECTED", channel=1)
        + host(b"CHANNEL NOT CONNECTED", channel=2),
        "empty-text": b"\x00\x01\x00",
    },
    "read": {
        # firmware index, then per write
        "untouched": b"",
        **{f"firmware-{i}": bytes([i]) for i in range(1, 7)},
        "star-reply-without-blank": b"\x00" + replace(b"*3*"),
        "star-reply-three-stars": b"\x00" + replace(b"\r\n* 1 * 5 *\r\n"),
        "first-answer-late": b"\x00" + PASS * 3 + b"\x07\x40",
        "answers-dribble": b"\x00" + PASS * 3 + b"\x06\x60" * 4,
        "callsign-unconfirmed": b"\x00" + PASS * 6 + replace(host(b"DL1ABC")) + PASS
        + replace(host(b"DL1ABD")),
        "path-appended": b"\x00" + PASS * 40 + append(b" EXTRA"),
    },
    "read_reply": {
        # the step's index in the read's table, then the reply
        "beacon-timer": b"\x1e" b"APRS Beacon/Timer = 900 s",
        "leading-zeros": b"\x0b" b"007",
        "path": b"\x24" b"APRS Path = APRS via WIDE1-1 WIDE2-2",
        "symbol": b"\x26" b"APRS Symbol = a15 (x)",
        "connect-text": b"\x0c" b"1 Hello there",
        "monitor": b"\x06" b"iusc",
        "callsign": b"\x02" b"DL1ABC-7",
        "pr-mode": b"\x29" b"R600",
        "cross-mode": b"\x1a" b"APRS Gateway Modem Type = HF DUAL",
        "star": b"\x00" b"x* 3 * 4 *",
        "comment": b"\x21" b"APRS Comment = Gr\xfc\xdf = fine",
        "position": b"\x23" b"APRS Fix Position = 4807.38N 01131.00E",
        "hf-toggle": b"\x1b" b"APRS Tracking, HF mode toggle = 2",
        "aprs-call": b"\x03" b"APRS Mycall = NONE",
    },
    "update": {
        # chip identity for the table, image size (2 bytes), newer?, answer
        # yes?, rate, then per write
        "258-bytes-newer": b"\x1f\xa4\x40\x01\x00\x00\x00",
        "older-declined": b"\x1f\xa4\x40\x01\x01\x01\x00",
        "older-accepted-115200": b"\x1f\xa4\x10\x02\x01\x00\x01",
        "too-short": b"\x1f\xa4\x02\x02\x00\x00\x00",
        "other-chip": b"\x01\xa4\x40\x01\x00\x00\x00" + PASS * 6
        + replace(b"\x06") + replace(b"\x01\xa4\x00\x00\x21\x50"),
        "nak-to-the-count": b"\x1f\xa4\x40\x01\x00\x00\x00" + PASS * 9 + replace(b"\x15"),
    },
}


def main() -> None:
    for target, seeds in SEEDS.items():
        folder = HERE / "corpus" / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, data in seeds.items():
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
