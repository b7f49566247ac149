#!/usr/bin/env bash
# fldigi-peer.sh -- runs the real fldigi (tested with Debian fldigi 4.1.23) headless under Xvfb
# as an XML-RPC peer for automated tests.
#
#   fldigi-peer.sh start [-p PORT] [-a ARQ_PORT] [-d RUNDIR] [-t TIMEOUT_S]
#       Creates a throw-away run directory (mktemp unless -d), writes a pre-made
#       <config>/fldigi_def.xml (so the first-run wizard never appears), starts Xvfb on a free
#       display and fldigi in the background, then waits (bounded) until fldigi answers
#       fldigi.config_dir on PORT with its own config dir.  On success prints shell-style lines:
#           FLDIGI_PID=...  XVFB_PID=...  FLDIGI_DISPLAY=:N
#           FLDIGI_PORT=...  FLDIGI_CONFIG_DIR=.../cfg/  FLDIGI_RUNDIR=...
#           XVFB_READY_MS=...  FLDIGI_READY_MS=... (both from start of Xvfb)
#       (also saved in RUNDIR/peer.env) and exits 0.  On failure prints the tail of fldigi's
#       output to stderr, stops what it started, exits 1.
#   fldigi-peer.sh stop RUNDIR|FLDIGI_PID [XVFB_PID]
#       SIGTERM (then SIGKILL after 5 s) to exactly those PIDs, after checking that they still
#       are fldigi / Xvfb.  With RUNDIR the PIDs are read from RUNDIR/peer.env and RUNDIR is
#       deleted afterwards unless FLDIGI_KEEP=1.
#   fldigi-peer.sh status RUNDIR
#   fldigi-peer.sh run [start options] -- COMMAND [ARG...]
#       start, then COMMAND with the FLDIGI_* lines above in its environment, then stop;
#       exits with COMMAND's status.
#
# Port 7362 is shared by every test on this machine: for it, start takes the lock
# /tmp/varnock-port7362.lock (flock, waiting at most VARNOCK_PORT_LOCK_WAIT seconds, default
# 600) and hands it to fldigi, which holds it until it is stopped.  A caller that already holds
# the lock sets VARNOCK_PORT7362_LOCK_HELD=1.
#
# Defaults: PORT 7362, ARQ_PORT 7322, TIMEOUT_S 30.  Needs: bash, Xvfb, fldigi, coreutils
# (timeout, mktemp, date), util-linux (setsid, flock), awk.  Never kills anything by name.
# Notes (fldigi 4.1.23): the XML-RPC server listens on 0.0.0.0:PORT whatever
# --xmlrpc-server-address says; if PORT is taken fldigi runs on silently without a server
# (hence the pre-check and the bounded wait); the ARQ server also listens (127.0.0.1:ARQ_PORT),
# so parallel instances need -p and -a.
set -u

FLDIGI_BIN=${FLDIGI_BIN:-fldigi}
XVFB_BIN=${XVFB_BIN:-Xvfb}

die() { echo "fldigi-peer.sh: $*" >&2; exit 1; }

now_ms() { date +%s%3N; }

# alive PID [COMM]: true if PID exists, is not a zombie and (optionally) has
# the given /proc/PID/comm.  After this script exits, fldigi/Xvfb are
# re-parented, so "kill -0" alone would also succeed for a zombie.
alive() {
	local pid=$1 want=${2:-} st comm
	[ -r "/proc/$pid/stat" ] || return 1
	st=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || return 1
	[ "$st" = Z ] && return 1
	[ "$st" = X ] && return 1
	if [ -n "$want" ]; then
		comm=$(cat "/proc/$pid/comm" 2>/dev/null) || return 1
		[ "$comm" = "$want" ] || return 1
	fi
	return 0
}

# rpc PORT METHOD: one XML-RPC call without parameters over HTTP/1.0 (the
# server closes the connection after the answer); prints the raw response.
rpc() {
	local port=$1 method=$2 body
	printf -v body '<?xml version="1.0"?>\r\n<methodCall><methodName>%s</methodName>\r\n<params></params></methodCall>\r\n' "$method"
	timeout 3 bash -c '
		exec 3<>"/dev/tcp/127.0.0.1/$1" || exit 1
		printf "POST /RPC2 HTTP/1.0\r\nContent-Type: text/xml\r\nContent-length: %d\r\n\r\n%s" "${#2}" "$2" >&3
		cat <&3' _ "$port" "$body" 2>/dev/null
}

# take_port_lock PORT: for the shared port 7362, waits for the machine-wide lock on fd 9.
# fldigi inherits fd 9, so the lock stays taken until fldigi ends.
take_port_lock() {
	[ "$1" = 7362 ] || return 0
	[ "${VARNOCK_PORT7362_LOCK_HELD:-0}" = 1 ] && return 0
	exec 9>>"${VARNOCK_PORT7362_LOCK:-/tmp/varnock-port7362.lock}" || die "cannot open the port lock"
	flock -w "${VARNOCK_PORT_LOCK_WAIT:-600}" 9 || die "port 7362 lock not free"
}

port_in_use() {
	timeout 2 bash -c 'exec 3<>"/dev/tcp/127.0.0.1/$1"' _ "$1" 2>/dev/null
}

# stop_pid PID COMM: TERM, wait up to 5 s, then KILL; only if PID is COMM.
# signal_and_wait SIGNAL PID TENTHS: sends the signal, then waits up to TENTHS tenths of a second
# for the process to go; true once it has gone.
signal_and_wait() {
	kill "-$1" "$2" 2>/dev/null
	for _ in $(seq 1 "$3"); do
		alive "$2" || return 0
		sleep 0.1
	done
	return 1
}

stop_pid() {
	local pid=$1 comm=$2 i
	[ -n "$pid" ] || return 0
	if ! alive "$pid"; then
		return 0                          # already gone
	fi
	if ! alive "$pid" "$comm"; then
		echo "fldigi-peer.sh: PID $pid is not $comm; left alone" >&2
		return 0
	fi
	signal_and_wait TERM "$pid" 50 && return 0
	echo "fldigi-peer.sh: $comm ($pid) ignored SIGTERM, sending SIGKILL" >&2
	signal_and_wait KILL "$pid" 20 && return 0
	echo "fldigi-peer.sh: $comm ($pid) still alive" >&2
	return 1
}

write_config() {
	local cfg=$1 port=$2 arq=$3
	mkdir -p "$cfg" || return 1
	# A present fldigi_def.xml makes fldigi skip the first-run wizard; with
	# the wizard the XML-RPC server is never started.  Everything not listed
	# keeps fldigi's built-in default.
	cat > "$cfg/fldigi_def.xml" <<EOF
<FLDIGI_DEFS>
<!-- 3 = no audio device (SND_IDX_NULL); also fldigi's default -->
<AUDIOIO>3</AUDIOIO>
<CONFIRMEXIT>0</CONFIRMEXIT>
<NAGME>0</NAGME>
<SAVECONFIG>0</SAVECONFIG>
<SAVEMACROS>0</SAVEMACROS>
<CHECK_FOR_UPDATES>0</CHECK_FOR_UPDATES>
<KMLSERVER_ENABLED>0</KMLSERVER_ENABLED>
<PSKREP_AUTOSTART>0</PSKREP_AUTOSTART>
<DXC_AUTO_CONNECT>0</DXC_AUTO_CONNECT>
<XML_LOGBOOK>0</XML_LOGBOOK>
<MYCALL>N0CALL</MYCALL>
<XMLRPC_ADDRESS>127.0.0.1</XMLRPC_ADDRESS>
<XMLRPC_PORT>$port</XMLRPC_PORT>
<ARQ_ADDRESS>127.0.0.1</ARQ_ADDRESS>
<ARQ_PORT>$arq</ARQ_PORT>
</FLDIGI_DEFS>
EOF
}

do_start() {
	local port=7362 arq=7322 rundir="" tmo=30 opt
	OPTIND=1
	while getopts "p:a:d:t:" opt; do
		case $opt in
			p) port=$OPTARG ;;
			a) arq=$OPTARG ;;
			d) rundir=$OPTARG ;;
			t) tmo=$OPTARG ;;
			*) die "usage: $0 start [-p PORT] [-a ARQ_PORT] [-d RUNDIR] [-t TIMEOUT_S]" ;;
		esac
	done
	command -v "$FLDIGI_BIN" >/dev/null || die "fldigi not found"
	take_port_lock "$port"
	command -v "$XVFB_BIN" >/dev/null || die "Xvfb not found"
	if port_in_use "$port"; then
		die "port $port already in use (another fldigi?); not starting"
	fi
	if [ -z "$rundir" ]; then
		rundir=$(mktemp -d "${TMPDIR:-/tmp}/fldigi-peer.XXXXXX") || die "mktemp failed"
	else
		mkdir -p "$rundir" || die "cannot create $rundir"
	fi
	rundir=$(cd "$rundir" && pwd -P)
	local cfg="$rundir/cfg" home="$rundir/home"
	mkdir -p "$home" || die "cannot create $home"
	write_config "$cfg" "$port" "$arq" || die "cannot write config"

	local t0 xpid fpid disp i
	t0=$(now_ms)
	# Xvfb picks a free display itself and writes its number to fd 3 once
	# it accepts connections.
	: > "$rundir/display"
	"$XVFB_BIN" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
		3>"$rundir/display" </dev/null >"$rundir/xvfb.log" 2>&1 9>&- &
	xpid=$!
	disp=""
	for i in $(seq 1 100); do                 # <= 10 s
		disp=$(tr -dc '0-9' < "$rundir/display")
		[ -n "$disp" ] && break
		alive "$xpid" || break
		sleep 0.1
	done
	local txvfb=$(( $(now_ms) - t0 ))
	if [ -z "$disp" ]; then
		stop_pid "$xpid" Xvfb
		cat "$rundir/xvfb.log" >&2
		die "Xvfb did not start"
	fi

	# Own session, stdin from /dev/null, HOME inside the run dir so that
	# nothing of the user's ~/.fldigi or ~/.fltk is read or written.
	DISPLAY=":$disp" HOME="$home" setsid "$FLDIGI_BIN" \
		--config-dir "$cfg/" --home-dir "$home/" \
		--xmlrpc-server-address 127.0.0.1 --xmlrpc-server-port "$port" \
		--arq-server-address 127.0.0.1 --arq-server-port "$arq" \
		</dev/null >"$rundir/fldigi.log" 2>&1 &
	fpid=$!

	{
		echo "FLDIGI_PID=$fpid"
		echo "XVFB_PID=$xpid"
		echo "FLDIGI_DISPLAY=:$disp"
		echo "FLDIGI_PORT=$port"
		echo "FLDIGI_CONFIG_DIR=$cfg/"
		echo "FLDIGI_RUNDIR=$rundir"
	} > "$rundir/peer.env"

	# Bounded wait: fldigi must answer fldigi.config_dir with *its* config
	# dir (so a stale peer on the same port is never mistaken for ours).
	local deadline=$(( $(now_ms) + tmo * 1000 )) resp ok=0
	while [ "$(now_ms)" -lt "$deadline" ]; do
		if ! alive "$fpid"; then
			echo "fldigi-peer.sh: fldigi exited during start-up" >&2
			break
		fi
		resp=$(rpc "$port" fldigi.config_dir)
		case $resp in
			*"<value>$cfg/</value>"*) ok=1; break ;;
			*"<value>"*) echo "fldigi-peer.sh: port $port answered by another fldigi" >&2; break ;;
		esac
		sleep 0.05
	done
	if [ "$ok" != 1 ]; then
		echo "fldigi-peer.sh: fldigi not ready within ${tmo}s; tail of its output:" >&2
		grep -v '^ALSA lib' "$rundir/fldigi.log" | tail -n 20 >&2
		stop_pid "$fpid" fldigi
		stop_pid "$xpid" Xvfb
		echo "fldigi-peer.sh: run dir kept: $rundir" >&2
		exit 1
	fi
	echo "XVFB_READY_MS=$txvfb" >> "$rundir/peer.env"
	echo "FLDIGI_READY_MS=$(( $(now_ms) - t0 ))" >> "$rundir/peer.env"
	cat "$rundir/peer.env"
}

do_stop() {
	local target=${1:-} fpid="" xpid="" rundir=""
	[ -n "$target" ] || die "usage: $0 stop RUNDIR|FLDIGI_PID [XVFB_PID]"
	if [ -d "$target" ]; then
		rundir=$target
		[ -r "$rundir/peer.env" ] || die "$rundir/peer.env missing"
		fpid=$(sed -n 's/^FLDIGI_PID=//p' "$rundir/peer.env")
		xpid=$(sed -n 's/^XVFB_PID=//p' "$rundir/peer.env")
	else
		fpid=$target
		xpid=${2:-}
	fi
	local rc=0
	stop_pid "$fpid" fldigi || rc=1
	[ -n "$xpid" ] && { stop_pid "$xpid" Xvfb || rc=1; }
	if [ -n "$rundir" ] && [ "$rc" = 0 ] && [ "${FLDIGI_KEEP:-0}" != 1 ]; then
		# only remove what this script created
		[ -e "$rundir/peer.env" ] && [ -d "$rundir/cfg" ] && rm -rf -- "$rundir"
	fi
	return $rc
}

do_status() {
	local rundir=${1:-}
	[ -r "$rundir/peer.env" ] || die "usage: $0 status RUNDIR"
	cat "$rundir/peer.env"
	local fpid port
	fpid=$(sed -n 's/^FLDIGI_PID=//p' "$rundir/peer.env")
	port=$(sed -n 's/^FLDIGI_PORT=//p' "$rundir/peer.env")
	if alive "$fpid" fldigi && rpc "$port" fldigi.name | grep -q '<value>fldigi</value>'; then
		echo "STATUS=up"
	else
		echo "STATUS=down"; return 1
	fi
}

do_run() {
	local start_args=() env_text rc
	while [ $# -gt 0 ] && [ "$1" != "--" ]; do
		start_args+=("$1"); shift
	done
	[ "${1:-}" = "--" ] && shift
	[ $# -gt 0 ] || die "usage: $0 run [start options] -- COMMAND [ARG...]"
	env_text=$(do_start "${start_args[@]}") || exit 1
	local rundir
	rundir=$(printf '%s\n' "$env_text" | sed -n 's/^FLDIGI_RUNDIR=//p')
	# The lock now lives in fldigi; this shell lets go of its own copy.
	exec 9>&-
	trap 'do_stop "$rundir" || true; exit 143' TERM INT HUP
	(
		while IFS='=' read -r name value; do
			[ -n "$name" ] && export "$name=$value"
		done <<<"$env_text"
		exec "$@"
	)
	rc=$?
	do_stop "$rundir" || true
	return $rc
}

cmd=${1:-}
shift || true
case $cmd in
	start) do_start "$@" ;;
	stop) do_stop "$@" ;;
	status) do_status "$@" ;;
	run) do_run "$@" ;;
	*) die "usage: $0 start|stop|status|run ..." ;;
esac
