#!/bin/sh
# The demo's route planner (KRV.EXE): the stand-in planner over the demo road network in this
# folder. scripts/start.sh names the tools folder; without it, the one beside this data.
tools=${ZARN_TOOLS:-$(dirname "$0")/../../tools}
exec python3 "$tools/krv_planner.py" --mode krv "$@"
