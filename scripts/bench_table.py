#!/usr/bin/env python3
"""Prints the ratio table of a zv_bench JSON report (Google Benchmark --benchmark_format=json).

Pairs are benchmarks whose names differ only in the last component, ".../ours" and
".../reference". With repetitions the medians are used, else the single run. Times are CPU time
per item (every paired benchmark processes one item per iteration); "speed-up" is the reference's
time over ours.
"""
import json
import sys


def load(path):
    with open(path) as f:
        report = json.load(f)
    runs = {}
    aggregated = any(b.get("run_type") == "aggregate" for b in report["benchmarks"])
    for b in report["benchmarks"]:
        if aggregated and b.get("aggregate_name") not in ("median", "cv"):
            continue
        name = b.get("run_name", b["name"])
        entry = runs.setdefault(name, {})
        kind = b.get("aggregate_name", "median")
        entry[kind] = b
    return report.get("context", {}), runs


def per_item_ns(b):
    scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
    items = b.get("items_per_second")
    if items:  # items per second of CPU time
        return 1e9 / items
    return b["cpu_time"] * scale


def cv_percent(entry):
    cv = entry.get("cv")
    if cv is None:
        return ""
    # Manually timed benchmarks (the end-to-end check) run their work in a child process.
    key = "real_time" if "manual_time" in cv.get("run_name", cv["name"]) else "cpu_time"
    return "%4.1f%%" % (100 * cv[key])


def chart(speedups):
    """A bar per pair, one '#' per half of a speed-up, fastest first: the chart of the docs."""
    width = max(len(k) for k in speedups)
    for name, value in sorted(speedups.items(), key=lambda kv: -kv[1]):
        print("    %-*s %-*s %5.2fx" % (width, name, 50, "#" * min(50, round(value * 2)), value))


def main():
    args = [a for a in sys.argv[1:] if a != "--chart"]
    if len(args) != 1:
        sys.exit("usage: bench_table.py [--chart] ZV_BENCH_JSON")
    context, runs = load(args[0])
    print("host: %s CPUs at %s MHz, load average %s, library build %s" % (
        context.get("num_cpus"), context.get("mhz_per_cpu"),
        " ".join("%.2f" % x for x in context.get("load_avg", [])),
        context.get("library_build_type")))

    pairs, singles = [], []
    for name in runs:
        base, _, last = name.rpartition("/")
        if last == "ours" and base + "/reference" in runs:
            pairs.append(base)
        elif last not in ("ours", "reference"):
            singles.append(name)

    width = max([len(p) for p in pairs] + [len(s) for s in singles] + [10])
    print()
    print("%-*s %12s %6s %12s %6s %9s %9s" % (width, "pair", "ours ns", "cv", "reference ns",
                                              "cv", "ours/ref", "speed-up"))
    speedups = {}
    for base in pairs:
        ours, ref = runs[base + "/ours"], runs[base + "/reference"]
        o, r = per_item_ns(ours["median"]), per_item_ns(ref["median"])
        speedups[base] = r / o
        print("%-*s %12.1f %6s %12.1f %6s %9.3f %8.2fx" % (width, base, o, cv_percent(ours), r,
                                                           cv_percent(ref), o / r, r / o))

    if singles:
        print()
        print("%-*s %12s %6s %14s  %s" % (width, "benchmark", "ns/item", "cv", "items/s", "notes"))
        for name in singles:
            entry = runs[name]
            ns = per_item_ns(entry["median"])
            notes = ""
            if "peak_rss_kB" in entry["median"]:
                notes = "peak memory %.1f MB" % (entry["median"]["peak_rss_kB"] / 1024)
            print("%-*s %12.1f %6s %14.3e  %s" % (width, name, ns, cv_percent(entry), 1e9 / ns,
                                                   notes))

    if "--chart" in sys.argv:
        print()
        print("speed-up, ours over reference (each # is 0.5x):")
        print()
        chart(speedups)

    # The goals of the performance work, as far as this report covers them.
    def worst(prefix):
        values = [(v, k) for k, v in speedups.items()
                  if (k.startswith(prefix) if prefix.endswith("/") else k == prefix)]
        return min(values) if values else None

    print()
    for label, prefix, goal in (("scanner alone vs sscanf", "scan/", 10),
                                ("StringToDevice vs C-library backend", "parse/", 5),
                                ("util::Format vs swprintf", "format/util/Format", 5),
                                ("formatting alone vs swprintf", "format/util/FormatTo", 5)):
        w = worst(prefix)
        if w:
            print("%-40s worst %6.2fx (%s), goal >= %dx: %s" % (
                label, w[0], w[1], goal, "met" if w[0] >= goal else "not met"))
    for name in singles:
        if name.startswith("check/") and "/1000000/" in name + "/":
            b = runs[name]["median"]
            seconds = per_item_ns(b) * 1e6 / 1e9
            print("%-40s %6.2f s, peak memory %.1f MB (%s), goal <= 1 s: %s" % (
                "end-to-end check of 1,000,000 rows", seconds, b.get("peak_rss_kB", 0) / 1024,
                name, "met" if seconds <= 1 else "not met"))
    cycles = [(per_item_ns(runs[b + "/ours"]["median"]), b) for b in pairs if b.startswith("cycle/")]
    if cycles:
        c = max(cycles)
        print("%-40s worst %6.1f ns (%s), goal <= 100 ns: %s" % (
            "parse + check + format, ours", c[0], c[1], "met" if c[0] <= 100 else "not met"))


if __name__ == "__main__":
    main()
