# Simulated devices for a script, sourced: set `devsim` (the program) first. start_device VAR N
# OPTIONS... starts one and puts its pty in VAR (not in a command substitution: its pid must reach
# the cleanup, which ends every one at the script's exit).
work=$(mktemp -d)
pids=()
devsims_cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap devsims_cleanup EXIT

start_device() {
    local var=$1 n=$2
    shift 2
    "$devsim" "$@" >"$work/dev$n.out" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 1 200); do
        if [ -s "$work/dev$n.out" ]; then
            printf -v "$var" '%s' "$(head -n1 "$work/dev$n.out")"
            return
        fi
        sleep 0.05
    done
    echo "velor-devsim printed no path" >&2
    exit 1
}
