#!/usr/bin/env python3
"""Google Benchmark's JSON output as "key value" lines, one per figure:
native.<name>.<field>, the name's "/" as "." and "/iterations:N" left out;
times in microseconds (cpu_us, real_us). Usage: flatten-benchmark.py FILE..."""
import json
import sys

SCALE = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
SKIP = {"name", "family_index", "per_family_instance_index", "run_name", "run_type", "repetitions",
        "repetition_index", "threads", "time_unit", "real_time", "cpu_time", "label", "aggregate_name"}

for path in sys.argv[1:]:
    try:
        with open(path) as f:
            runs = json.load(f)["benchmarks"]
    except (OSError, ValueError, KeyError):
        continue
    for run in runs:
        name = "/".join(p for p in run["name"].split("/") if not p.startswith("iterations:"))
        key = "native." + name.replace("/", ".")
        scale = SCALE.get(run.get("time_unit", "ns"), 1.0)
        print(f"{key}.real_us {run['real_time'] * scale}")
        print(f"{key}.cpu_us {run['cpu_time'] * scale}")
        if run.get("error_occurred"):
            print(f"{key}.error {run.get('error_message', 'error').replace(' ', '_')}")
        for field, value in run.items():
            if field not in SKIP and isinstance(value, (int, float)):
                print(f"{key}.{field} {value}")
