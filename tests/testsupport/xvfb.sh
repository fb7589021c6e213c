# Sourced by the scripts that start the real program: a virtual screen on a
# display number the server picks itself, so runs never collide.
# start_xvfb WORKDIR  sets XVFB_PID and exports DISPLAY; calls fail() if the
# server does not come up within five seconds.
start_xvfb() {
    local work=$1
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    XVFB_PID=$!
    exec 3>&-
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.05
    done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
}
