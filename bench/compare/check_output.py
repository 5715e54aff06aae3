#!/usr/bin/env python3
"""Checks that a converter's output holds the cues of its source.

    check_output.py SOURCE.srt OUTPUT

OUTPUT is SubRip or ASS/SSA (told apart by its content). The check passes
when it has as many cues as SOURCE, the first and last cues start within
60 ms of the source's (MicroDVD input at 25 fps rounds to 40 ms frames, and
ASS keeps centiseconds), and their text is the same (in ASS, the end of the
Dialogue line, lines joined by \\N). Prints one word on success, the
output's text encoding ("latin-1", "utf-8" or "ascii"), else the reason for
failing, and exits 1.
"""
import re
import sys

SRT_TIME = re.compile(rb"^(\d+):(\d\d):(\d\d)[,.](\d\d\d) --> ")
ASS_TIME = re.compile(r"(\d+):(\d\d):(\d\d)\.(\d\d)$")


def srt_cues(data):
    """(start_ms, text) of each SubRip block, text lines joined by LF."""
    cues = []
    lines = data.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n")
    i = 0
    while i < len(lines):
        m = SRT_TIME.match(lines[i])
        if not m:
            i += 1
            continue
        h, mi, s, ms = (int(g) for g in m.groups())
        i += 1
        text = []
        while i < len(lines) and lines[i].strip():
            text.append(lines[i])
            i += 1
        cues.append(((h * 3600 + mi * 60 + s) * 1000 + ms, b"\n".join(text)))
    return cues


def ass_cues(data):
    """(start_ms, line) of each Dialogue line; the text is checked as the
    line's end, so a writer's extra or missing field does not matter."""
    cues = []
    for line in data.replace(b"\r\n", b"\n").split(b"\n"):
        if not line.startswith(b"Dialogue:"):
            continue
        fields = line[len(b"Dialogue:"):].split(b",", 9)
        if len(fields) < 10:
            continue
        m = ASS_TIME.match(fields[1].strip().decode("ascii", "replace"))
        if not m:
            continue
        h, mi, s, cs = (int(g) for g in m.groups())
        cues.append(((h * 3600 + mi * 60 + s) * 1000 + cs * 10, line.rstrip(b"\r")))
    return cues


def decode(data):
    """The output's bytes as text, and which encoding they were in."""
    try:
        text = data.decode("utf-8")
        return text, "utf-8" if any(ord(c) > 127 for c in text) else "ascii"
    except UnicodeDecodeError:
        return data.decode("latin-1"), "latin-1"


def main():
    source = srt_cues(open(sys.argv[1], "rb").read())
    data = open(sys.argv[2], "rb").read()
    if not data.strip():
        print("empty output")
        return 1
    ass = b"[Events]" in data
    out = ass_cues(data) if ass else srt_cues(data)
    if len(out) != len(source):
        print("%d cues of %d" % (len(out), len(source)))
        return 1
    _, encoding = decode(data)
    for name, a, b in (("first", source[0], out[0]), ("last", source[-1], out[-1])):
        if abs(a[0] - b[0]) > 60:
            print("%s cue starts at %d ms, not %d ms" % (name, b[0], a[0]))
            return 1
        want = a[1].decode("latin-1").strip()
        got = (b[1].decode("latin-1") if encoding == "latin-1" else decode(b[1])[0]).strip().replace("\r", "")
        if ass:
            want = "," + want.replace("\n", "\\N")
        if not (got.endswith(want) if ass else got == want):
            print("%s cue text differs: %r" % (name, got[-40:]))
            return 1
    print(encoding)
    return 0


if __name__ == "__main__":
    sys.exit(main())
