"""The output check must pass every converter that carried the cues and fail
every one that did not: a peer whose output is wrong must not count as fast.

    python3 -m unittest discover -s bench/compare
"""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_output.py")

SOURCE = (b"1\r\n00:00:01,000 --> 00:00:02,500\r\nCaf\xe9 cr\xe8me\r\nsecond line\r\n\r\n"
          b"2\r\n12:34:56,780 --> 12:34:58,000\r\nNa\xefve\r\n\r\n")

ASS_HEAD = b"[Script Info]\r\n\r\n[Events]\r\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n"


def ass(*lines):
    return ASS_HEAD + b"".join(b"Dialogue: " + line + b"\r\n" for line in lines)


CASES = [
    # name, output bytes, expected first word printed, passes
    ("SubRip, same bytes", SOURCE, "latin-1", True),
    ("SubRip, LF and UTF-8",
     SOURCE.replace(b"\r\n", b"\n").decode("latin-1").encode("utf-8"), "utf-8", True),
    ("SubRip, MicroDVD frames 40 ms off",
     SOURCE.replace(b"00:00:01,000", b"00:00:01,040"), "latin-1", True),
    ("ASS, ten fields",
     ass(b"0,0:00:01.00,0:00:02.50,Default,,0,0,0,,Caf\xe9 cr\xe8me\\Nsecond line",
         b"0,12:34:56.78,12:34:58.00,Default,,0,0,0,,Na\xefve"), "latin-1", True),
    ("ASS, an extra empty field before the style",
     ass(b"0,0:00:01.00,0:00:02.50,,Default,,0000,0000,0000,,Caf\xe9 cr\xe8me\\Nsecond line",
         b"0,12:34:56.78,12:34:58.00,,Default,,0000,0000,0000,,Na\xefve"), "latin-1", True),
    ("empty output", b"\r\n", "empty", False),
    ("a cue missing", SOURCE[:SOURCE.index(b"2\r\n")], "1", False),
    ("milliseconds read as seconds",
     SOURCE.replace(b"00:00:01,000", b"00:00:00,001"), "first", False),
    ("hours wrapped to one digit",
     ass(b"0,0:00:01.00,0:00:02.50,Default,,0,0,0,,Caf\xe9 cr\xe8me\\Nsecond line",
         b"0,2:34:56.78,2:34:58.00,Default,,0,0,0,,Na\xefve"), "last", False),
    ("accents dropped", SOURCE.replace(b"\xe9", b"?").replace(b"\xe8", b"?").replace(b"\xef", b"?"),
     "first", False),
    ("second line lost", SOURCE.replace(b"\r\nsecond line", b""), "first", False),
    ("ASS text truncated",
     ass(b"0,0:00:01.00,0:00:02.50,Default,,0,0,0,,Caf\xe9 cr\xe8me",
         b"0,12:34:56.78,12:34:58.00,Default,,0,0,0,,Na\xefve"), "first", False),
]


class CheckOutputTest(unittest.TestCase):
    def test_cases(self):
        with tempfile.TemporaryDirectory() as tmp:
            source = os.path.join(tmp, "source.srt")
            with open(source, "wb") as f:
                f.write(SOURCE)
            for name, data, word, passes in CASES:
                with self.subTest(name):
                    out = os.path.join(tmp, "out")
                    with open(out, "wb") as f:
                        f.write(data)
                    run = subprocess.run([sys.executable, CHECK, source, out],
                                         capture_output=True, text=True)
                    self.assertEqual(run.returncode == 0, passes, run.stdout)
                    self.assertEqual(run.stdout.split()[0], word, run.stdout)


if __name__ == "__main__":
    unittest.main()
