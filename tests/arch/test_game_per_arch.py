"""The game built for each architecture, played on a private Xvfb with that architecture's
own Mesa (under qemu-user where the processor is foreign): the splash, a key into the game,
the landing with sky and lit ground, one dig, Escape ending it with status 0. Prints how
long the cold start took. Each run leaves its folder (log, output, screenshots) in $RUNS:
  TESSARIA_GAMES="amd64=build/tessaria arm64=build-arm64/tessaria ..." \
  python3 -m pytest -c tests/pytest.ini -s tests/arch/test_game_per_arch.py"""
import os, subprocess, time
import pytest
import harness
from harness import X, near, wait
from PIL import Image

QEMU = {'arm64': 'qemu-aarch64', 'armhf': 'qemu-arm'}
if subprocess.run(['sh', '-c', '/lib/ld-linux.so.2 --version'], capture_output=True).returncode:
    QEMU['i386'] = 'qemu-i386'  # a kernel without 32-bit programs, as cmake/toolchain-i386.cmake finds
QEMU_RUN = os.path.join(harness.ROOT, 'cmake', 'qemu-run')
GAMES = dict(pair.split('=', 1) for pair in os.environ.get('TESSARIA_GAMES', '').split())
SKY = (175, 215, 255)
# Grass seen from above: its colour times 0.7 of ambient light plus 0.80178 of the light.
LIT_GRASS = tuple(round(c * 1.50178) for c in (93, 168, 39))
# Under emulation on a busy machine a frame can take seconds, and a dig's frame minutes.
PATIENCE = 300


@pytest.mark.parametrize('arch', sorted(GAMES))
def test_game_of_each_architecture(arch, screen, game):
    environment, program = {}, os.path.abspath(GAMES[arch])
    if arch in QEMU:  # qemu-run starts the program named in the environment
        environment = dict(TESSARIA_QEMU=QEMU[arch], TESSARIA_QEMU_PROGRAM=program)
        program = QEMU_RUN
    game = game(name=f'arch-{arch}', program=program)
    started = time.monotonic()
    game.start(environment)
    w = screen.window(seconds=PATIENCE)
    assert w and game.wait_log('IntroState Init', PATIENCE), 'the splash starts'
    shown = wait(lambda: screen.shot(w).getbbox(), PATIENCE)
    splash = time.monotonic() - started
    # It fades in (slowly under emulation, where frames are slow): something of it shows,
    # and only where the picture lies, centred.
    width, height = Image.open(os.path.join(harness.ASSETS, 'Vortel.png')).size
    left, top = (800 - width) // 2, 600 - (600 - height) // 2 - height
    assert shown and left <= shown[0] and top <= shown[1] and shown[2] <= left + width and \
        shown[3] <= top + height, f'the splash shows: {shown}'
    screen.shot(w).save(os.path.join(game.dir, 'splash.png'))
    screen.tap('x', 0.3)
    pressed = time.monotonic()
    assert game.wait_log('PlayState Init', PATIENCE) and wait(game.read_steps, PATIENCE, 0.2)
    print(f'\n{arch}: splash {splash:.1f} s after the start, first step {time.monotonic() - pressed:.1f} s after the key')

    steps = lambda: game.read_steps()[-30:] if len(game.read_steps()) > 40 else []
    resting = lambda: (h := {step[2][2] for step in steps()}) and len(h) == 1 and h.pop() < 255
    assert wait(resting, PATIENCE, 0.2), 'the player lands and comes to rest'
    frame = screen.shot(w)
    frame.save(os.path.join(game.dir, 'landed.png'))
    count = lambda wanted: harness.count(frame, lambda c: near(c, wanted, 1))
    assert count(SKY) > 800 * 600 / 20 and count(LIT_GRASS) >= 10, 'sky and lit grass'

    standing = game.height()
    screen.move(0, 320)
    screen.fake(X.ButtonPress, 1)
    dug = wait(lambda: game.height() < standing - 5, PATIENCE, 0.2)
    screen.fake(X.ButtonRelease, 1)
    assert dug, 'holding the button digs and the player falls into the crater'
    screen.shot(w).save(os.path.join(game.dir, 'dug.png'))
    screen.tap('Escape', 0.3)
    assert game.end(PATIENCE) == 0, 'Escape ends the game with status 0'
