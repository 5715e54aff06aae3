#!/usr/bin/env python3
"""Prints the table of one compare.sh run as Markdown.

    table.py RESULTS.tsv HEADER_LINE...

Each line of RESULTS.tsv: group, tool, files, bytes, the seconds of each run
(comma-separated), peak RSS in KiB, the output check, a note. In the start-up
group "files" is the number of starts timed in one run.

Throughput and the ratios come from the fastest run (noise on a shared
machine only ever adds time); the median is shown beside it. MB are 10^6
bytes, peak RSS is in MiB.
"""
import statistics
import sys

GROUPS = {
    "batch-copy": "batch (SubRip), copy",
    "sub-copy": "batch (MicroDVD), copy",
    "big-copy": "big file, copy",
    "batch-srt-ass": "batch SubRip → ASS",
    "batch-sub-srt": "batch MicroDVD → SubRip, 25 fps",
    "big-srt-ass": "big file SubRip → ASS",
    "stdin-srt-ass": "standard input SubRip → ASS",
    "startup": "start-up: one 1-cue SubRip → ASS",
}
# The copy each conversion is held against in the "× cp" column.
BASELINE = {"batch-copy": "batch-copy", "sub-copy": "sub-copy", "big-copy": "big-copy",
            "batch-srt-ass": "batch-copy", "batch-sub-srt": "sub-copy", "big-srt-ass": "big-copy",
            "stdin-srt-ass": "big-copy"}
NOT_PEERS = {"vorlane-cli", "vorlane-cli --jobs 1", "cat", "cp", "cp -r"}


class Row:
    def __init__(self, line):
        f = line.rstrip("\n").split("\t")
        self.group, self.tool = f[0], f[1]
        self.files, self.bytes = int(f[2]), int(f[3])
        self.times = [float(t) for t in f[4].split(",")]
        self.rss_kib = int(f[5] or 0)
        self.check, self.note = f[6], f[7] if len(f) > 7 else ""
        self.fastest = min(self.times)
        self.median = statistics.median(self.times)
        self.ok = self.check.startswith("ok")

    @property
    def rate(self):
        """MB/s, or starts a second in the start-up group."""
        if self.group == "startup":
            return self.files / self.fastest
        return self.bytes / 1e6 / self.fastest


def num(x, digits=3):
    if x is None:
        return "–"
    if x >= 100:
        return "%.0f" % x
    return "%.*g" % (digits, x)


def output_cell(row):
    if row.ok:
        cell = "ok"
        if row.check.split()[-1] == "utf-8":
            cell += ", rewritten as UTF-8"
    elif row.check.startswith("exit status"):
        cell = "failed (" + row.check + ")"
    else:
        cell = "WRONG: " + row.check
    return cell + ("; " + row.note if row.note else "")


def main():
    rows = [Row(line) for line in open(sys.argv[1]) if line.strip()]
    copy = {r.group: r for r in rows if r.tool in ("cp", "cp -r")}
    fastest_peer = {}
    for r in rows:
        if r.tool not in NOT_PEERS and r.ok:
            best = fastest_peer.get(r.group)
            if best is None or r.rate > best.rate:
                fastest_peer[r.group] = r

    out = []
    for line in sys.argv[2:]:
        out.append("- " + line)
    out.append("")
    out.append("| what | tool | runs | files | MB | fastest s | median s | MB/s | files/s "
               "| × cp | × fastest peer | peak RSS MiB | output |")
    out.append("|---|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|---|")
    for r in rows:
        startup = r.group == "startup"
        base = copy.get(BASELINE.get(r.group, ""))
        peer = fastest_peer.get(r.group)
        if startup:
            # Per start, not per run.
            fastest, median = r.fastest / r.files, r.median / r.files
            mb = mbs = None
            files_s = r.files / r.fastest
        else:
            fastest, median = r.fastest, r.median
            mb, mbs = r.bytes / 1e6, r.rate
            files_s = r.files / r.fastest
        vs_cp = r.rate / base.rate if base and not startup else None
        vs_peer = r.rate / peer.rate if peer and r.tool not in ("cat", "cp", "cp -r") else None
        out.append("| %s | %s | %d | %d | %s | %s | %s | %s | %s | %s | %s | %.0f | %s |" % (
            GROUPS.get(r.group, r.group), r.tool, len(r.times), r.files, num(mb), num(fastest), num(median),
            num(mbs), num(files_s), num(vs_cp, 2), num(vs_peer, 3), r.rss_kib / 1024,
            output_cell(r) if r.tool not in ("cat", "cp", "cp -r") else ""))
    out.append("")
    out.append("Start-up rows give seconds per start, and starts per second under files/s.")
    out.append("× cp: throughput over that of copying the same files; × fastest peer: over "
               "that of the fastest peer whose output checked out, in the same row group.")

    summary = []
    by = {(r.group, r.tool): r for r in rows}
    for group, tool in (("batch-srt-ass", "vorlane-cli"), ("batch-srt-ass", "vorlane-cli --jobs 1"),
                        ("batch-sub-srt", "vorlane-cli"), ("big-srt-ass", "vorlane-cli"),
                        ("stdin-srt-ass", "vorlane-cli")):
        v, peer, base = by.get((group, tool)), fastest_peer.get(group), copy.get(BASELINE[group])
        if not v:
            continue
        parts = []
        if peer:
            parts.append("%s× the fastest peer (%s)" % (num(v.rate / peer.rate), peer.tool))
        if base:
            parts.append("%s× the throughput of %s" % (num(v.rate / base.rate, 2), base.tool))
        if group in ("big-srt-ass", "stdin-srt-ass"):
            parts.append("peak RSS %s× the input's size" % num(v.rss_kib * 1024 / v.bytes, 2))
        if not v.ok:
            parts.append("output WRONG")
        summary.append("- %s: %s %s" % (GROUPS[group], tool, ", ".join(parts)))
    v, ff = by.get(("startup", "vorlane-cli")), by.get(("startup", "ffmpeg"))
    if v and ff:
        a, b = v.fastest / v.files, ff.fastest / ff.files
        summary.append("- start-up: vorlane-cli %.1f ms a start, ffmpeg %.1f ms (%s of ffmpeg's)"
                       % (a * 1e3, b * 1e3, num(a / b, 2)))
    if summary:
        out.append("")
        out += summary
    print("\n".join(out))


if __name__ == "__main__":
    main()
