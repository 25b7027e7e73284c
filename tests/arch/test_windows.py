"""The Windows game from its zip (--windows-zip=ZIP, once per zip), unzipped as a player does
and played under Wine on the private Xvfb with this machine's Mesa, against this build's Linux
game in the same session: the same play, log and landed picture, and the same two failures."""
import os, subprocess, zipfile
import pytest
from harness import X, Game, Then
from test_game_per_arch import NATIVE, play
from PIL import ImageChops

# Wine's 32-bit half runs where the kernel runs 32-bit programs; the 64-bit one on any amd64 kernel.
WINE, RUNS = {'x86': '/usr/lib/wine/wine', 'x64': '/usr/lib/wine/wine64'}, {'x86': NATIVE['i386'], 'x64': True}


@pytest.fixture(scope='session')
def wine(build, tmp_path_factory):
    """Wine's settings: a prefix under the build, and a player's home, which it must leave empty."""
    prefix, home = os.path.join(build.runs, 'wine'), str(tmp_path_factory.mktemp('home'))
    environment = dict(WINEPREFIX=prefix, WINEDEBUG='-all', HOME=home, TESSARIA_TRACE='1',  # the steps
                       WINEDLLOVERRIDES='winemenubuilder.exe,mscoree,mshtml=d')  # no menus, .NET or browser
    os.makedirs(build.runs, exist_ok=True)  # Wine makes the prefix, not the folders above it
    if not os.path.exists(os.path.join(prefix, 'system.reg')):
        subprocess.run([WINE['x64'], 'wineboot', '-i'], env={**os.environ, **environment}, check=True, timeout=300)
    yield environment
    subprocess.run(['wineserver', '-k'], env={**os.environ, **environment})


@pytest.fixture(scope='session')
def linux(screen, build):  # this build's game played as the Windows one is, and its landed frame
    game = Game(os.path.join(build.runs, 'windows-linux'), program=build.game)
    try:
        return game, play(screen, game, 'linux')
    finally:
        game.end(0)


def windows(windows_zip, tmp_path, game, **options):  # the game unzipped, to be started
    arch = windows_zip.rsplit('-', 1)[-1][:-4]
    if not RUNS[arch]:
        pytest.skip('this kernel runs no 32-bit programs, so neither does Wine: the 64-bit game alone is played')
    zipfile.ZipFile(windows_zip).extractall(tmp_path)
    played = game(program=[WINE[arch], 'tessaria.exe'], source=tmp_path / os.path.basename(windows_zip)[:-4], **options)
    played.newline = '\r\n'  # the log is written in text mode
    return played


def test_windows_game(windows_zip, screen, game, wine, linux, tmp_path):
    played = windows(windows_zip, tmp_path, game)
    listing, top = zipfile.ZipFile(windows_zip).namelist(), os.path.basename(windows_zip)[:-4] + '/'
    shipped = {'tessaria.exe', 'SDL.dll', 'libnoise.dll', 'settings.lua', 'Vortel.png', 'menu.bmp', 'LICENSE.txt',
               'README.txt', 'SOURCES.txt', 'licenses/SDL/COPYING.txt', 'licenses/libnoise/LICENSE.md.txt'}
    assert {top + name for name in shipped} <= set(listing) and listing[0] == top, listing
    texts = [played.file(name) for name in ('README.txt', 'SOURCES.txt', 'settings.lua')]
    assert all(t.count('\n') == t.count('\r\n') > 5 for t in texts) and 'SDL_image 1.2.12' in texts[1], texts[1]
    # The keys go where the pointer is, as on a fresh server, not nowhere, as a game leaves it.
    screen.x.set_input_focus(X.PointerRoot, X.RevertToPointerRoot, X.CurrentTime)
    frame = play(screen, played, os.path.basename(windows_zip), wine)
    assert played.lines() == linux[0].lines(), "the Linux game's log"
    # The same Mesa draws both: the same pixels, maybe but for a few of GLU's roundings.
    histogram = [sum(n) for n in zip(*(c.histogram() for c in ImageChops.difference(frame, linux[1]).split()))]
    print(f"{played.dir}: channels differing from the Linux game's, by level:", {i: n for i, n in enumerate(histogram) if n and i})
    assert sum(histogram[3:]) <= 800 * 600 / 1000, "the Linux game's landed picture"
    assert os.listdir(wine['HOME']) == [], "nothing of Wine's in the player's home"


@pytest.mark.parametrize('files, status, last', [
    pytest.param({'Vortel.png': None}, 1, [Then('Unable to load Vortel.png: ')], id='no-splash'),
    pytest.param({'settings.lua': 'fullscreen = false\nscreenHeight = -1\n'}, 3, [
        'Unable to create a window with the desired OpenGL properties',
        'Asked for 800 x -1 pixels in a window, antialiasing 0: each side must be 1 to 16384 pixels'], id='no-window')])
def test_windows_game_failing(windows_zip, files, status, last, screen, wine, game, tmp_path):
    linux, played = game(files, name=f'linux-{tmp_path.name}'), windows(windows_zip, tmp_path, game, files=files)
    linux.start(), played.start(wine)
    ended = played.end(), linux.end()
    assert ended == (status, status) and played.lines()[-len(last):] == last, played.lines()
    assert played.lines() == linux.lines(), "the Linux game's log"
