#!/usr/bin/env bash
# The main job: build the library and run the reference host on its bundled scenario.
set -euo pipefail
cd "$(dirname "$0")/.."
# TAVRI_JOBS limits how many compiles run at once (default: one per core).
source scripts/jobs.sh
scripts/setup.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release -j "$jobs" --target TavriGUIModules_x64 tavri_refhost
# The pictures that the scenario paints land beside it, in host/scenarios/
# (the run's last line says where).
cd build/linux-release
bin/tavri_refhost --library bin/TavriGUIModules_x64.sem ../../host/scenarios/bundled.txt
