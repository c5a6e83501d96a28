#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into fuzz/corpus/<target>/ from the example stick,
the example recordings and small inputs like those of the unit tests. Inputs that a fuzzer
later finds crashing are added beside them by hand and stay as regressions."""
import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent
CORPUS = ROOT / "fuzz" / "corpus"
STICK = ROOT / "examples" / "stick" / "OPEN-R"
AMS = STICK / "APP" / "PC" / "AMS"


def put(target, name, data):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data if isinstance(data, bytes) else data.encode("latin-1"))


def wav(samples, fmt_size=16, tag=1, channels=1, rate=8000, bits=8, data_length=None):
    fmt = struct.pack("<HHIIHH", tag, channels, rate, rate * channels * bits // 8,
                      channels * bits // 8, bits)
    if fmt_size == 18:
        fmt += b"\0\0"
    length = len(samples) if data_length is None else data_length
    body = b"WAVE" + b"fmt " + struct.pack("<I", fmt_size) + fmt
    body += b"data" + struct.pack("<I", length) + samples
    return b"RIFF" + struct.pack("<I", len(body)) + body


def cmac(kind, name):
    name = name.encode()
    return (b"CMAC" + struct.pack("<II", kind, 1) + bytes(8) + struct.pack("<HH", 1, 0)
            + bytes([len(name)]) + name)


def mwc(blocks):
    body = b"".join(b"MCID" + struct.pack("<ii", number, len(records)) + b"".join(records)
                    for number, records in blocks)
    total = sum(len(records) for _, records in blocks)
    return b"MWCM" + struct.pack("<Iii", 1, len(blocks), total) + body


def oda_entries(path):
    data = path.read_bytes()
    slots = struct.unpack_from("<I", data, 8)[0]
    for slot in range(slots):
        base = 64 + slot * 144
        name = data[base + 4:base + 132].split(b"\0")[0].decode()
        offset, length = struct.unpack_from("<II", data, base + 132)
        if name:
            yield name, data[offset:offset + length]


def main():
    voices = ROOT / "examples" / "voices"
    put("fuzz_wav_input", "hello.wav", (voices / "hello.wav").read_bytes())
    put("fuzz_wav_input", "bark_snd_head.wav", (voices / "bark_snd.wav").read_bytes()[:300])
    loud = bytes([0, 255] * 100)
    put("fuzz_wav_input", "short_layout.wav", wav(loud))
    put("fuzz_wav_input", "long_layout.wav", wav(loud, fmt_size=18))
    put("fuzz_wav_input", "stereo.wav", wav(loud, channels=2))
    put("fuzz_wav_input", "sixteen_bit.wav", wav(loud, bits=16))
    put("fuzz_wav_input", "length_past_end.wav", wav(loud, data_length=100000))
    put("fuzz_wav_input", "zero_length.wav", wav(b"", data_length=0))
    put("fuzz_wav_input", "header_only.wav", wav(b"")[:46])

    put("fuzz_mwc_copy", "example.mwc", (STICK / "MW" / "CONF" / "ERS-7.MWC").read_bytes())
    put("fuzz_mwc_copy", "owned_and_kept.mwc",
        mwc([(100, [cmac(0x1010, "sit")]),
             (24001, [cmac(0x2010, "hello"), cmac(0x3030, "hello")]),
             (25002, [cmac(0x1030, "h_any#any_7x")])]))
    put("fuzz_mwc_copy", "empty.mwc", mwc([]))
    put("fuzz_mwc_copy", "count_too_high.mwc", mwc([(1, [cmac(0x1010, "ab")])])[:-1])
    put("fuzz_mwc_copy", "wrong_version.mwc", b"MWCM" + struct.pack("<Iii", 2, 0, 0))

    put("fuzz_mwc_reader", "example.mwc", (STICK / "MW" / "CONF" / "ERS-7.MWC").read_bytes())
    put("fuzz_mwc_reader", "owned_and_kept.mwc",
        mwc([(100, [cmac(0x1010, "sit")]), (24001, [cmac(0x2010, "hello")])]) + b"tail")
    put("fuzz_mwc_reader", "count_too_high.mwc", mwc([(1, [cmac(0x1010, "ab")])])[:-1])

    data = STICK / "MW" / "DATA" / "P"
    for archive in ("AUDIO", "MOTION", "LED"):
        put("fuzz_oda_reader", archive.lower() + ".oda", (data / (archive + ".ODA")).read_bytes())
    for name, entry in list(oda_entries(data / "MOTION.ODA"))[:2]:
        put("fuzz_motion_reader", name.replace("#", "_") + ".mtn", entry)
    for name, entry in list(oda_entries(data / "LED.ODA"))[:2]:
        put("fuzz_led_reader", name + ".led", entry)
    put("fuzz_led_reader", "no_steps.led",
        b"MThd\0\0\0\x06\0\0\0\x01\0\x78MTrk\0\0\0\x1f\0\xff\x03\x08Velk_Mur"
        b"\0\xff\x51\x03\x03\xd0\x90\0\xff\x58\x04\x04\x02\x18\x08\0\xff\x2f\0")

    put("fuzz_rcode_roundtrip", "example.r", (AMS / "R-CODE.R").read_bytes())
    put("fuzz_rcode_roundtrip", "pre_only.r", "//{ \"A\" PRE\n  //[PRE]: WAIT\n//}\n")
    put("fuzz_rcode_roundtrip", "pre_and_lines.r",
        "x\r\n\t//{ \"Ev\" PRE\r\nSET a 1 //[PRE]\r\n//++sub\r\nWAIT\r\n\t//}\r\ntail")
    put("fuzz_rcode_roundtrip", "carriage_returns.r", "//{ \"A\"\nWAIT\rX\r\r\nY\r\n//}")
    put("fuzz_rcode_roundtrip", "two_records.r",
        "//{ \"A\"\r\nPLAY ACTION SIT\r\n//}\r\n//++top\r\n  //{ \"B\"\r\n//}\r\n")

    put("fuzz_catalogue", "action.ext", (AMS / "ACTION.EXT").read_bytes())
    put("fuzz_catalogue", "action.cfg", (AMS / "ACTION.CFG").read_bytes())
    put("fuzz_catalogue", "switched_off.cfg", "-OFF\t24001\t0\tx\r\nON 24002 0 comment\r\n")

    # One byte choosing the key, the value, a NUL, then the settings text.
    put("fuzz_settings", "existing.ini",
        "\0D:\\\0[VELK_MUR]\r\nMEMSTICK=E:\\\r\nLOCALDATA=C:\\voices\r\n")
    put("fuzz_settings", "other_section.ini", "\1C:\\v\0[OTHER]\nMEMSTICK=x\n; note\n")
    put("fuzz_settings", "no_line_end.ini", "\3new\0[velk_mur]\r\nLOCALDATA = \"q\"")
    put("fuzz_settings", "empty.ini", "\0E:\\")

    # velk_mur's arguments, separated by NUL bytes.
    put("fuzz_command_line", "test_stick_equals", "test\0--stick=/media/S\0--yes")
    put("fuzz_command_line", "generate_audio", "generate\0--audio\0~/v\0--no")
    put("fuzz_command_line", "save_help", "save\0--help")
    put("fuzz_command_line", "version", "--version")
    put("fuzz_command_line", "about_yes", "about\0--yes")


if __name__ == "__main__":
    main()
