#!/bin/sh
# Runs a command with the host-side pass sampler watching FOLDER, then stops the sampler.
# Usage: with_pass_sampler.sh FOLDER COMMAND [ARGS...]
folder=$1
shift
rm -rf "$folder"
mkdir -p "$folder"
python3 "$(dirname "$0")/pass_sampler.py" "$folder" &
sampler=$!
"$@"
status=$?
touch "$folder/quit"
wait "$sampler"
exit $status
