#!/usr/bin/python3
"""Converts subtitle files with aeidon (python3-aeidon), all in one process.

    aeidon_convert.py FROM TO PATH...

FROM and TO are file extensions (srt, sub, ass). A PATH that is a folder
stands for its files ending in ".FROM". Each output goes beside its input
under ".TO". Text is Latin-1, lines end in CR LF, and frame-based input is
read at 25 frames a second.
"""
import os
import sys

import aeidon

FORMATS = {"srt": aeidon.formats.SUBRIP, "sub": aeidon.formats.MICRODVD, "ass": aeidon.formats.ASS}


def main():
    source, target, paths = sys.argv[1], sys.argv[2], sys.argv[3:]
    inputs = []
    for p in paths:
        if os.path.isdir(p):
            inputs += [os.path.join(p, n) for n in sorted(os.listdir(p)) if n.endswith("." + source)]
        else:
            inputs.append(p)
    failed = 0
    for path in inputs:
        try:
            project = aeidon.Project(framerate=aeidon.framerates.FPS_25_000)
            project.open_main(path, "iso-8859-1")
            out = aeidon.files.new(FORMATS[target], path[:-len(source)] + target, "iso-8859-1")
            out.newline = aeidon.newlines.WINDOWS
            project.save_main(out)
        except Exception as e:  # one bad file should not stop the batch
            print("%s: %s" % (path, e), file=sys.stderr)
            failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
