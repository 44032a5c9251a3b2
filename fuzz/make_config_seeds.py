#!/usr/bin/env python3
"""Writes the seed corpus of config_file_fuzzer into corpus/config/.

Usage: fuzz/make_config_seeds.py [path/to/vextune-cli]
With the command line tool given, every seed is checked to read cleanly.
"""
import pathlib
import struct
import subprocess
import sys

# Items after the version block: (member, kind, first version), kind f = flag
# byte, l = 32-bit little-endian, s = length-prefixed string.
LAYOUT = [("AddLinefeed", "f", 0), ("Echo", "f", 0), ("Callsign", "s", 0),
          ("Frack", "s", 0), ("Timestamp", "s", 0), ("SyncClock", "f", 0),
          ("MonitorI", "f", 0), ("MonitorU", "f", 0), ("MonitorS", "f", 0),
          ("MonitorC", "f", 0), ("Retry", "s", 0), ("MaxFrame", "s", 0),
          ("Persistence", "s", 0), ("Digipeat", "f", 0), ("Channel", "s", 0),
          ("TxDelay", "s", 0), ("ConnectMode", "l", 0), ("ConnectText", "s", 0),
          ("SlotTime", "s", 0), ("Ptt", "f", 0), ("Channels", "s", 0),
          ("FlowControl", "s", 0), ("Duplex", "f", 0), ("SendFlags", "f", 0),
          ("IPoll", "s", 0), ("Timer2", "s", 0), ("Timer3", "s", 0), ("UiPoll", "f", 0),
          ("CallCheck", "f", 0), ("AprsBeacon", "s", 0), ("AprsInterval", "s", 0),
          ("AprsComment", "s", 0), ("AprsTimestamp", "f", 0), ("AprsPosition", "s", 0),
          ("AprsDest", "s", 0), ("AprsDestSsid", "s", 0)]
for i in range(1, 9):
    LAYOUT += [(f"AprsVia{i}", "s", 0), (f"AprsVia{i}Ssid", "s", 0)]
LAYOUT += [("AprsCompressed", "f", 0), ("AprsAltTable", "f", 0), ("AprsSymbol", "s", 0),
           ("AprsTrackOnly", "f", 0), ("PrModeIndex", "l", 0), ("PrMode", "s", 0),
           ("LevelAfsk", "s", 0), ("LevelFsk", "s", 0), ("LevelRobust", "s", 0),
           ("AprsHfToggleOld", "f", 65549), ("AprsDigi", "l", 65550),
           ("AprsStatusEvery", "l", 65550), ("AprsStatusText", "s", 65550),
           ("AprsCall", "s", 65550), ("NmeaOutOld", "l", 65550), ("AprsValid", "s", 65550),
           ("CenterFreq", "s", 65550), ("TxFreqTrack", "f", 65550),
           ("AprsHfToggle", "l", 65560), ("AprsCrossMode", "l", 65560),
           ("AprsAltitude", "l", 65560), ("AprsFreqBeacon", "s", 65560),
           ("NmeaOut", "l", 65560), ("AprsUnprotoCross", "f", 65576),
           ("AprsAutoSpeed", "l", 65586)]

DEFAULTS = {"AddLinefeed": 1, "Echo": 1, "Callsign": "DAVOZI", "Frack": "500", "Timestamp": "0",
            "Retry": "10", "MaxFrame": "2", "Persistence": "32", "Digipeat": 1, "Channel": "0",
            "TxDelay": "25", "ConnectText": "", "SlotTime": "10", "Ptt": 1, "Channels": "10",
            "FlowControl": "3", "IPoll": "60", "Timer2": "150", "Timer3": "18000",
            "AprsBeacon": "0", "AprsInterval": "900", "AprsComment": "", "AprsTimestamp": 1,
            "AprsPosition": "", "AprsDest": "APRS", "AprsVia1": "RELAY", "AprsVia2": "WIDE",
            "AprsCompressed": 1, "AprsSymbol": "14", "PrModeIndex": 3, "PrMode": "1200",
            "LevelAfsk": "300", "LevelFsk": "600", "LevelRobust": "200", "AprsStatusText": "",
            "AprsCall": "", "AprsValid": "1200", "CenterFreq": "1700", "TxFreqTrack": 1,
            "AprsFreqBeacon": "0", "AprsAutoSpeed": 1}


def string(text):
    data = text.encode("cp1252")
    n = len(data)
    if n < 255:
        return bytes([n]) + data
    if n <= 65533:
        return b"\xff" + struct.pack("<H", n) + data
    return b"\xff\xff\xff" + struct.pack("<I", n) + data


def config_file(version, **values):
    out = string("VER ") + struct.pack("<i", version) if version else b""
    for name, kind, since in LAYOUT:
        if since > version:
            continue
        default = DEFAULTS.get(name, "00" if name.endswith("Ssid") else ("" if kind == "s" else 0))
        value = values.get(name, default)
        if kind == "f":
            out += bytes([value])
        elif kind == "l":
            out += struct.pack("<i", value)
        else:
            out += string(value)
    return out


SEEDS = {
    "current-defaults": config_file(65587),
    "current-unusual": config_file(
        65587, Callsign="dl1abc-7", AprsComment="60\u00b0 north", AprsPosition="1234.56N 01234.56E",
        AprsVia1="wide1-01", AprsVia2="WIDE2-00", TxDelay="007", AprsInterval="0",
        ConnectMode=2, ConnectText="Hello", PrMode="R600", PrModeIndex=2, AprsCrossMode=7,
        NmeaOut=4, AprsHfToggle=2, AprsFreqBeacon="120"),
    "current-refused-values": config_file(
        65587, Echo=2, TxDelay="300", ConnectMode=9, Callsign="TOOLONGCALL",
        PrMode="2400", AprsSymbol="94", AprsComment="x" * 81),
    "current-empty-destination": config_file(65587, AprsDest="", AprsVia3="IGNORED"),
    "current-long-digit-run": config_file(65587, Timer3="0" * 300 + "18000"),
    "v0-with-ssids": config_file(0, AprsDestSsid="03", AprsVia1Ssid="15", AprsVia2="wide"),
    "v65549-hf-toggle": config_file(65549, AprsHfToggleOld=1, AprsDestSsid="05"),
    "v65550": config_file(65550, NmeaOutOld=3, AprsCall="DK0XY", AprsStatusText="status"),
    "v65560": config_file(65560, AprsCrossMode=3),
    "v65576": config_file(65576, AprsUnprotoCross=1),
    "v65586": config_file(65586, AprsAutoSpeed=2),
}


def main():
    folder = pathlib.Path(__file__).resolve().parent / "corpus" / "config"
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in SEEDS.items():
        (folder / f"{name}.vxg").write_bytes(data)
    if len(sys.argv) > 1:
        for name in SEEDS:
            subprocess.run([sys.argv[1], "show", str(folder / f"{name}.vxg")], check=True,
                           stdout=subprocess.DEVNULL)
    print(f"{len(SEEDS)} seeds in {folder}")


if __name__ == "__main__":
    main()
