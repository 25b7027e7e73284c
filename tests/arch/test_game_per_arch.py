"""The game built for each architecture, played on a private Xvfb with that architecture's
own Mesa (under qemu-user where the processor is foreign): the splash, a key into the game,
the landing with sky and lit ground, one dig, Escape ending it with status 0. Prints how
long the cold start took. Each run leaves its folder (log, output, screenshots) in DIR:
  TESSARIA_GAMES="amd64=build/tessaria arm64=build-arm64/tessaria ..." ASSETS=assets \
  scripts/xvfb.py python3 -m pytest -s --basetemp=DIR tests/arch/test_game_per_arch.py"""
import os, re, sys, time
import pytest
sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'support'))
import harness
from harness import Game, Screen, X, near, wait
from PIL import Image

QEMU = {'arm64': 'qemu-aarch64', 'armhf': 'qemu-arm'}
QEMU_RUN = os.path.join(os.path.dirname(__file__), '..', '..', 'cmake', 'qemu-run')
GAMES = dict(pair.split('=', 1) for pair in os.environ.get('TESSARIA_GAMES', '').split())
SKY = (175, 215, 255)
# Grass seen from above: its colour times 0.7 of ambient light plus 0.80178 of the light.
LIT_GRASS = tuple(round(c * 1.50178) for c in (93, 168, 39))
# Under emulation on a busy machine a frame can take seconds, and a dig's frame minutes.
PATIENCE = 300


def heights(game):
    """The player's height after each of the last steps: the end of a trace of megabytes."""
    with open(os.path.join(game.dir, 'stdout.txt'), 'rb') as out:
        out.seek(max(0, out.seek(0, 2) - 16384))
        text = out.read().decode(errors='replace')
    return [float(z) for z in re.findall(r'Post-Collision Position: \(\S+, \S+, (\S+)\)\n', text)]


@pytest.mark.parametrize('arch', sorted(GAMES))
def test_game_of_each_architecture(arch, tmp_path):
    harness.ASSETS = os.environ['ASSETS']
    environment, program = dict(os.environ), os.path.abspath(GAMES[arch])
    if arch in QEMU:  # qemu-run starts the program named in the environment
        environment.update(TESSARIA_QEMU=QEMU[arch], TESSARIA_QEMU_PROGRAM=program)
        program = os.path.abspath(QEMU_RUN)
    game = Game(str(tmp_path / 'run'), program=program)
    try:
        play(arch, game, Screen(), tmp_path, environment)
    finally:  # none outlives its test to stand in the next one's way
        if game.process and game.process.poll() is None:
            game.process.kill()


def play(arch, game, screen, folder, environment):
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
    screen.shot(w).save(folder / 'splash.png')
    screen.tap('x', 0.3)
    pressed = time.monotonic()
    assert game.wait_log('PlayState Init', PATIENCE) and wait(lambda: heights(game), PATIENCE)
    print(f'\n{arch}: splash {splash:.1f} s after the start, first step {time.monotonic() - pressed:.1f} s after the key')

    resting = lambda: len(h := heights(game)) > 40 and h[-1] < 255 and len(set(h[-30:])) == 1
    assert wait(resting, PATIENCE, 0.2), 'the player lands and comes to rest'
    frame = screen.shot(w)
    frame.save(folder / 'landed.png')
    count = lambda wanted: sum(n for n, c in frame.getcolors(800 * 600) if near(c, wanted, 1))
    assert count(SKY) > 800 * 600 / 20 and count(LIT_GRASS) >= 10, 'sky and lit grass'

    standing = heights(game)[-1]
    screen.move(0, 320)
    screen.fake(X.ButtonPress, 1)
    dug = wait(lambda: heights(game)[-1] < standing - 5, PATIENCE, 0.2)
    screen.fake(X.ButtonRelease, 1)
    assert dug, 'holding the button digs and the player falls into the crater'
    screen.shot(w).save(folder / 'dug.png')
    screen.tap('Escape', 0.3)
    assert game.end(PATIENCE) == 0, 'Escape ends the game with status 0'
