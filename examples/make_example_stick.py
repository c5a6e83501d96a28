#!/usr/bin/env python3
"""Writes the binary files of the example stick: ERS-7.MWC and the three data archives.

They look as if an earlier save had put three user actions on the stick (hello, bark_snd,
growl, numbered 24001 to 24003) beside a few actions of the installation itself. The text
files of the stick (R-CODE.R, ACTION.EXT, ACTION.CFG) are kept by hand. Run it from any
folder; it rewrites the files under examples/stick. Only needed to change the examples.
"""
import math
import pathlib
import struct

STICK = pathlib.Path(__file__).resolve().parent / "stick" / "OPEN-R"

# Kind codes of the configuration's CMAC records.
FULL_BODY, HEAD, MOUTH, SOUND, LEDS = 0x1010, 0x1030, 0x1020, 0x2010, 0x3030

HEAD_JOINTS = ["PRM:/r1/c1-Joint2:11", "PRM:/r1/c1/c2-Joint2:12", "PRM:/r1/c1/c2/c3-Joint2:13"]
MOUTH_JOINTS = ["PRM:/r1/c1/c2/c3/c4-Joint2:14"]


def counted(text):
    return bytes([len(text)]) + text.encode("ascii")


def padded(section):
    return section + bytes(-len(section) % 4)


def wav(seconds, pitch):
    """A short tone that swells and fades: 8 kHz, 8-bit, mono, plain 44-byte header."""
    count = int(8000 * seconds)
    samples = bytes(
        128 + int(100 * math.sin(math.pi * i / count) * math.sin(2 * math.pi * pitch * i / 8000))
        for i in range(count))
    fmt = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, 1, 8000, 8000, 1, 8)
    return (b"RIFF" + struct.pack("<I", 36 + count) + b"WAVE" + fmt + b"data" +
            struct.pack("<I", count) + samples)


def motion(name, joints, frames):
    """A key-frame motion; `frames` holds one tuple of joint angles (micro-radians) per frame."""
    header = b"OMTN" + struct.pack("<IIIHHHHI", 0, 24, 4, 1, 2, len(frames), 16, 0)
    names = padded(counted(name) + counted("VELK_MUR(synthetic)") + counted("DRX-1000"))
    joint_list = padded(struct.pack("<H", len(joints)) + b"".join(counted(j) for j in joints))
    keys = b"".join(
        struct.pack("<4I", 0 if i == 0 else 4, 0, 0, 0) + struct.pack(f"<{len(f)}i", *f)
        for i, f in enumerate(frames))
    return (header + struct.pack("<II", 1, 8 + len(names)) + names +
            struct.pack("<II", 2, 8 + len(joint_list)) + joint_list +
            struct.pack("<II", 3, 8 + len(keys)) + keys)


def led_pattern(masks):
    """An eye-LED pattern: a one-track MIDI file whose notes 48 to 61 are the LEDs."""
    events, previous, ticks = b"", 0, 0
    for mask in masks + [0]:
        for bit in range(14):
            if (mask ^ previous) >> bit & 1:
                events += bytes([ticks, 0x90, 48 + bit, 0x60 if mask >> bit & 1 else 0])
                ticks = 0
        previous, ticks = mask, ticks + 40
    track = (b"\x00\xff\x03\x08Velk_Mur" + b"\x00\xff\x51\x03\x03\xd0\x90" +
             b"\x00\xff\x58\x04\x04\x02\x18\x08" + events + b"\x00\xff\x2f\x00")
    return (b"MThd" + struct.pack(">IHHH", 6, 0, 1, 120) + b"MTrk" + struct.pack(">I", len(track)) +
            track)


def archive(slot_count, entries):
    """An ODAR archive: header, `slot_count` directory slots of 144 bytes, then the data."""
    out = bytearray(b"ODAR" + struct.pack("<HHII", 0, 3, slot_count, 144) + bytes(48))
    data_offset = 64 + slot_count * 144
    for tag, name, data in entries:
        out += tag + name.encode("ascii").ljust(128, b"\0") + struct.pack("<III", data_offset,
                                                                           len(data), 0)
        data_offset += len(data)
    out += bytes(144 * (slot_count - len(entries)))
    return bytes(out) + b"".join(data for _, _, data in entries)


def cmac(kind, name, value=1, flags=1):
    return b"CMAC" + struct.pack("<II8xH2x", kind, value, flags) + counted(name)


def configuration(blocks):
    body = b"".join(
        b"MCID" + struct.pack("<ii", number, len(records)) + b"".join(records)
        for number, records in blocks)
    return b"MWCM" + struct.pack("<Iii", 1, len(blocks), sum(len(r) for _, r in blocks)) + body


def head_frames(count):
    return [(0, 120000 * (i % 2), -80000 * (i % 3 == 1)) for i in range(count)]


def mouth_frames(count):
    return [(-300000 * (i % 2),) for i in range(count)]


def main():
    sounds = {"hello": wav(0.5, 440), "bark_snd": wav(0.3, 220), "growl": wav(0.6, 110)}
    (STICK / "MW/DATA/P/AUDIO.ODA").write_bytes(
        archive(3, [(b"WAVE", name, data) for name, data in sounds.items()]))
    motions = []
    for name, data in sounds.items():
        frames = len(data) // 640 + 1
        motions.append((b"OMTN", f"h_any#any_7{name}",
                        motion(f"h_any#any_7{name}", HEAD_JOINTS, head_frames(frames))))
        motions.append((b"OMTN", f"m_any#any_{name}",
                        motion(f"m_any#any_{name}", MOUTH_JOINTS, mouth_frames(frames))))
    (STICK / "MW/DATA/P/MOTION.ODA").write_bytes(archive(6, motions))
    (STICK / "MW/DATA/P/LED.ODA").write_bytes(
        archive(3, [(b"LED\0", name, led_pattern([0x0800, 0x0C30, 0x0FFF, 0x0C00, 0x3000]))
                    for name in sounds]))

    def generated(name):
        return [cmac(HEAD, f"h_any#any_7{name}"), cmac(MOUTH, f"m_any#any_{name}"),
                cmac(SOUND, name), cmac(LEDS, name)]

    # The installation's own actions (the fixed fields vary, as such files do) around the
    # blocks 24001 to 24003 of the earlier save, which the next save drops and rewrites.
    (STICK / "MW/CONF/ERS-7.MWC").write_bytes(configuration([
        (1101, [cmac(FULL_BODY, "a_sit#any_sit", 2, 0)]),
        (1102, [cmac(FULL_BODY, "a_any#any_stand", 2, 0), cmac(SOUND, "stand_snd", 3, 1)]),
        (24001, generated("hello")),
        (24002, [cmac(SOUND, "bark_snd")]),
        (24003, generated("growl")),
        (3150, [cmac(FULL_BODY, "a_any#any_dance1"), cmac(SOUND, "dance1_music"),
                cmac(LEDS, "dance1_eyes")]),
        (24000, [cmac(SOUND, "beep_low")]),
        (25002, [cmac(SOUND, "beep_high")]),
    ]))


if __name__ == "__main__":
    main()
