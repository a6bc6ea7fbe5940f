"""Prints Google Benchmark JSON as one line per run, with its time as a multiple of the
reference run (the benchmark named *Reference with the same arguments) from the same process."""
import json
import sys

runs = [b for b in json.load(sys.stdin)["benchmarks"] if b.get("run_type", "iteration") == "iteration"]


def args(b):
    return "/".join(b["name"].split("/")[1:])


refs = {args(b): b for b in runs if "Reference" in b["name"]}
for b in runs:
    if b.get("error_occurred"):
        print(f"{b['name']:<40} skipped: {b.get('error_message', '')}")
        continue
    line = f"{b['name']:<40} {b['real_time']:>12.3f} {b['time_unit']}"
    if b.get("bytes_per_second"):
        line += f"  {b['bytes_per_second'] / 1e6:>9.1f} MB/s"
    if "peak_rss_MiB" in b:
        line += f"  peak {b['peak_rss_MiB']:.1f} MiB"
    ref = refs.get(args(b))
    if ref and ref is not b:
        line += f"  x{b['real_time'] / ref['real_time']:.2f} of reference"
    print(line)
