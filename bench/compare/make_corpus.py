#!/usr/bin/env python3
"""Writes the benchmark corpus, the same bytes on every run for the same sizes.

    make_corpus.py DIR FILES CUES BIG_MB

DIR/batch-srt/NNNN.srt   FILES SubRip files of CUES cues each
DIR/batch-sub/NNNN.sub   the same cues as MicroDVD at 25 frames a second
DIR/big/big.srt          one SubRip file of about BIG_MB megabytes (10^6 bytes)
DIR/one/one.srt          a SubRip file of one cue, for start-up times

Text is Latin-1 (accented letters as single bytes), lines end in CR LF, and
no cue carries markup, so every converter has the same plain text to carry.
"""
import os
import random
import sys

SEED = 20240610
FPS = 25

WORDS = (
    "le la les un une des et mais ou donc car je tu il elle nous vous ils "
    "est sont était été avoir être faire dire aller voir savoir pouvoir "
    "café crème déjà très après où là-bas château garçon français naïve "
    "noël fenêtre forêt hôpital élève étoile cœur sœur bientôt voilà "
    "der die das und aber nicht über für schön grüße müde straße weiß "
    "el la los y pero señor niño mañana corazón canción también aquí "
    "o a os e mas não então coração ação você até amanhã "
    "the a and but not what where when why yes no here there time night"
).split()
# "œ" is not Latin-1; keep only words that fit in it.
WORDS = [w for w in WORDS if all(ord(c) < 256 for c in w)]


def text_lines(rng, pool):
    """One or two lines of text from the pool."""
    count = 1 if rng.random() < 0.45 else 2
    return [pool[rng.randrange(len(pool))] for _ in range(count)]


def make_pool(rng, size=4096):
    pool = []
    for _ in range(size):
        words = [rng.choice(WORDS) for _ in range(rng.randint(3, 9))]
        line = " ".join(words)
        line = line[0].upper() + line[1:]
        line += rng.choice((".", ".", ",", "?", "!", "...", ""))
        if rng.random() < 0.15:
            line = "- " + line
        pool.append(line.encode("latin-1"))
    return pool


def srt_time(ms):
    h, ms = divmod(ms, 3600000)
    m, ms = divmod(ms, 60000)
    s, ms = divmod(ms, 1000)
    return b"%02d:%02d:%02d,%03d" % (h, m, s, ms)


def cues(rng, pool, count, step_ms):
    """Yields (start_ms, stop_ms, lines): times rise, gaps and lengths vary."""
    t = rng.randrange(1000, 20000)
    for _ in range(count):
        length = max(200, int(step_ms * rng.uniform(0.4, 0.8)))
        gap = max(20, int(step_ms * rng.uniform(0.1, 0.4)))
        # Whole frames at 25 fps, so the MicroDVD copy holds the same times.
        start = t - t % 40
        stop = (t + length) - (t + length) % 40
        yield start, stop, text_lines(rng, pool)
        t += length + gap


def srt_bytes(cue_list):
    out = []
    for i, (start, stop, lines) in enumerate(cue_list, 1):
        out.append(b"%d\r\n%s --> %s\r\n%s\r\n\r\n"
                   % (i, srt_time(start), srt_time(stop), b"\r\n".join(lines)))
    return b"".join(out)


def sub_bytes(cue_list):
    return b"".join(b"{%d}{%d}%s\r\n" % (start * FPS // 1000, stop * FPS // 1000, b"|".join(lines))
                    for start, stop, lines in cue_list)


def main():
    root, files, cue_count, big_mb = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
    rng = random.Random(SEED)
    pool = make_pool(rng)
    for sub in ("batch-srt", "batch-sub", "big", "one"):
        os.makedirs(os.path.join(root, sub), exist_ok=True)

    for n in range(files):
        cue_list = list(cues(rng, pool, cue_count, 3500))
        name = "%04d" % n
        with open(os.path.join(root, "batch-srt", name + ".srt"), "wb") as f:
            f.write(srt_bytes(cue_list))
        with open(os.path.join(root, "batch-sub", name + ".sub"), "wb") as f:
            f.write(sub_bytes(cue_list))

    # The big file: as many cues as make BIG_MB, packed close enough in time
    # that the last starts before 10 hours, since ASS writes one hour digit
    # and converters clamp or wrap later times.
    target = int(big_mb * 1e6)
    estimate = max(1, target // 80)
    step = max(1, min(3500, 35_000_000 // estimate))
    written = 0
    with open(os.path.join(root, "big", "big.srt"), "wb") as f:
        index = 1
        t = 1000
        while written < target:
            chunk = []
            for _ in range(1000):
                lines = text_lines(rng, pool)
                chunk.append(b"%d\r\n%s --> %s\r\n%s\r\n\r\n"
                             % (index, srt_time(t), srt_time(t + max(1, step * 3 // 4)), b"\r\n".join(lines)))
                index += 1
                t += step
            data = b"".join(chunk)
            f.write(data)
            written += len(data)

    with open(os.path.join(root, "one", "one.srt"), "wb") as f:
        f.write(srt_bytes([(1000, 2500, ["Un café, très vite.".encode("latin-1")])]))


if __name__ == "__main__":
    main()
