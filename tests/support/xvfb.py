#!/usr/bin/env python3
"""A private Xvfb with Mesa's software OpenGL, on a display number it picks, always stopped.
  tests/support/xvfb.py COMMAND [ARG...]   runs the command on it, exits with its status
From Python: `with xvfb.display() as name: ...`."""
import contextlib, ctypes, os, signal, subprocess, sys

SCREEN = '1024x768x24'


def _die_with_parent():  # a killed parent leaves neither server nor command behind
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


@contextlib.contextmanager
def display(screen=SCREEN):
    """Its display name (':N') once it takes clients. -displayfd: the server takes the first
    free number and writes it once it listens, so parallel runs never race for a lock file."""
    read, write = os.pipe()
    server = subprocess.Popen(
        ['Xvfb', '-displayfd', str(write), '-screen', '0', screen, '-nolisten', 'tcp', '-noreset'],
        pass_fds=[write], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL, preexec_fn=_die_with_parent)
    os.close(write)
    try:
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError(f'Xvfb did not start (status {server.wait()})')
        yield ':' + number
    finally:
        server.terminate()
        try:
            server.wait(10)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait()


def _stop(signum, _frame):  # ends the `with` below, so the server is stopped
    raise SystemExit(128 + signum)


def main(command):
    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, _stop)
    with display() as name:
        child = subprocess.Popen(command, env={**os.environ, 'DISPLAY': name},
                                 preexec_fn=_die_with_parent)
        try:
            status = child.wait()
            return 128 - status if status < 0 else status  # killed by a signal: as a shell says
        finally:  # the command goes before its server
            if child.poll() is None:
                child.terminate()
                child.wait()


if __name__ == '__main__':
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1:]))
