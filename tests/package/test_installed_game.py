"""The Debian package as a player meets it: its files, fields and desktop entry (lintian and
the dependencies are test_arch_packages.py's, for every architecture);
then, unpacked into a scratch root (the machine is not changed), the installed launcher
started with a fresh HOME on a private X server. The package: --deb (scripts/test)."""
import os, re, subprocess, tempfile
from harness import near, wait
from PIL import Image

run = lambda *command: subprocess.run(command, capture_output=True, text=True)


def test_files_and_fields(deb):
    listing = {line.split()[5]: line.split()[:2] for line in run('dpkg-deb', '-c', deb).stdout.splitlines()}
    for path in ('games/tessaria', 'lib/games/tessaria/tessaria', 'share/games/tessaria/settings.lua',
                 'share/games/tessaria/Vortel.png', 'share/games/tessaria/menu.bmp',
                 'share/applications/tessaria.desktop', 'share/icons/hicolor/128x128/apps/tessaria.png',
                 'share/man/man6/tessaria.6.gz'):
        mode = '-rwxr-xr-x' if 'games/tessaria' in path and '.' not in path else '-rw-r--r--'
        assert listing.get('./usr/' + path) == [mode, 'root/root'], path
    fields = run('dpkg-deb', '-f', deb, 'Package', 'Section').stdout
    assert fields.startswith('Package: tessaria\nSection: games\n'), 'name and section'


def test_installed_game(screen, deb):
    root = tempfile.mkdtemp(prefix='tessaria-package.')
    subprocess.run(['dpkg-deb', '-x', deb, root], check=True)
    data, home = root + '/usr/share/games/tessaria', root + '/player home'  # a space in it
    player = home + '/.local/share/tessaria'
    assert run('desktop-file-validate', root + '/usr/share/applications/tessaria.desktop').returncode == 0
    icon = Image.open(root + '/usr/share/icons/hicolor/128x128/apps/tessaria.png')
    assert (icon.size, icon.mode) == ((128, 128), 'RGBA'), 'the icon: 128 x 128 with alpha'
    manual = run('man', '-l', root + '/usr/share/man/man6/tessaria.6.gz').stdout  # as `man tessaria` shows it
    statuses = re.findall(r'^ {7}(\d) ', manual.partition('EXIT STATUS')[2], re.M)
    assert statuses == list('012345'), 'the manual names every status the launcher and game end with'

    def launch(**environment):  # a game, whose status the checks below wait for
        if os.path.exists(player + '/log.txt'):
            os.remove(player + '/log.txt')
        env = {k: v for k, v in {**os.environ, 'XDG_DATA_HOME': None, 'HOME': home, **environment}.items()
               if v is not None}
        with open(root + '/stdout', 'wb') as out:
            return subprocess.Popen([root + '/usr/games/tessaria'], env=env, stdout=out, stderr=subprocess.PIPE)

    def log():
        return open(player + '/log.txt').read().split('\n')[:-1] if os.path.exists(player + '/log.txt') else []

    def splash_then_escape(then_key=None):
        w = screen.window()
        assert w and wait(lambda: 'IntroState Init' in log(), 30), 'the installed game shows its splash'
        screen.focus(w)  # keys go where the focus is, without a window manager
        if then_key:
            screen.tap(then_key)
            assert wait(lambda: 'PlayState Init' in log(), 30), 'a key leads into the game'
        screen.tap('Escape')

    try:
        game = launch()
        picture = Image.open(data + '/Vortel.png').convert('RGB')
        w = screen.window()
        centre = picture.getpixel((picture.width // 2, picture.height // 2))  # even sides: the centres meet
        assert w and wait(lambda: near(screen.pixel(w, 400, 300), centre, 2), 30), 'the splash fades in'
        screen.shot(w).save(os.path.join(os.path.dirname(deb), 'installed-splash.png'))
        splash_then_escape('Return')
        assert game.wait(30) == 0 and log()[-1:] == ['GameEngine Cleanup'], 'Escape ends it, logged in the folder'
        assert open(player + '/settings.lua').read() == open(data + '/settings.lua').read(), 'the shipped settings'
        for image in ('Vortel.png', 'menu.bmp'):
            assert os.readlink(f'{player}/{image}') == f'{data}/{image}', f'{image} links to the installed one'
        assert os.path.getsize(root + '/stdout') == 0, 'no collision trace on standard output'

        edited = open(player + '/settings.lua').read().replace('screenWidth = 800', 'screenWidth = 640')
        open(player + '/settings.lua', 'w').write(edited)
        game = launch()
        splash_then_escape()
        assert game.wait(30) == 0 and 'Settings loaded: 640 x 600' in log(), 'the edited settings are read'
        assert open(player + '/settings.lua').read() == edited, 'and kept'

        game = launch(DISPLAY=None)  # the game's own status comes through
        assert game.wait(30) == 1 and log()[-1:] == ['Unable to initialize SDL'], 'status 1 without a display'
        open(root + '/file', 'w').close()
        game = launch(XDG_DATA_HOME=root + '/file')
        assert game.wait(30) == 1 and b'cannot make' in game.stderr.read(), 'a folder that cannot be made'
    finally:
        subprocess.run(['rm', '-rf', root])
