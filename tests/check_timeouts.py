"""Fails when a test of the build folder given has no TIMEOUT: a hang would then be waited out."""
import json
import subprocess
import sys

ctest, build = sys.argv[1], sys.argv[2]
listing = subprocess.run([ctest, "--show-only=json-v1"], cwd=build, check=True,
                         capture_output=True, text=True, timeout=100).stdout
tests = json.loads(listing)["tests"]
if len(tests) < 10:
    sys.exit(f"only {len(tests)} tests listed: the test programs' lists were not read")
missing = [t["name"] for t in tests
           if not any(p["name"] == "TIMEOUT" and float(p["value"]) > 0
                      for p in t.get("properties", []))]
if missing:
    sys.exit("tests without a TIMEOUT:\n  " + "\n  ".join(missing))
print(f"{len(tests)} tests, each with a TIMEOUT")
