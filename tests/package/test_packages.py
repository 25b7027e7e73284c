"""The Debian packages (--deb, one per architecture) as a packager and a player meet them:
each lintian-clean, with its files, fields, metadata, processor and libraries; the same files
in all but the game; each built again elsewhere to the same bytes (the Windows zips too,
--windows-zip); and this machine's one unpacked into a scratch root and played through its launcher.
  python3 -m pytest -c tests/pytest.ini tests/package --deb=A.deb --deb=B.deb ..."""
import os, re, shutil, subprocess, time
import pytest
from harness import REASON, ROOT, near, soon
from PIL import Image

GAME = './usr/lib/games/tessaria/tessaria'
# ELF class and machine (e_ident[4], e_machine) of each architecture's programs.
ELF = {'amd64': (2, 62), 'i386': (1, 3), 'arm64': (2, 183), 'armhf': (1, 40)}
HOST = subprocess.run(['dpkg', '--print-architecture'], capture_output=True, text=True).stdout.strip()
run = lambda *command, **options: subprocess.run(command, capture_output=True, text=True, **options)
architecture = lambda deb: ('windows-' + deb.rsplit('-', 1)[-1][:-4] if deb.endswith('.zip')
                            else run('dpkg-deb', '-f', deb, 'Architecture').stdout.strip())


def test_package_of_one_architecture(deb, tmp_path):
    arch = architecture(deb)
    assert os.path.basename(deb).endswith(f'_{arch}.deb')
    lintian = run('lintian', '--fail-on', 'error,warning', deb)
    assert lintian.returncode == 0, lintian.stdout
    fields, _, depends = run('dpkg-deb', '-f', deb, 'Package', 'Section', 'Depends').stdout.partition('Depends: ')
    assert fields == 'Package: tessaria\nSection: games\n', 'name and section'
    listing = {line.split()[5]: line.split()[:2] for line in run('dpkg-deb', '-c', deb).stdout.splitlines()}
    for path in ('games/tessaria', 'lib/games/tessaria/tessaria', 'share/applications/tessaria.desktop',
                 *('share/games/tessaria/' + f for f in ('settings.lua', 'Vortel.png', 'menu.bmp')),
                 'share/icons/hicolor/128x128/apps/tessaria.png', 'share/man/man6/tessaria.6.gz'):
        mode = '-rwxr-xr-x' if 'games/tessaria' in path and '.' not in path else '-rw-r--r--'
        assert listing.get('./usr/' + path) == [mode, 'root/root'], path
    subprocess.run(['dpkg-deb', '-x', deb, tmp_path], check=True)
    appstream = run('appstreamcli', 'validate', '--no-net', *(tmp_path / 'usr/share/metainfo').glob('*.xml'))
    assert appstream.returncode == 0, appstream.stdout  # software centres can read it
    header = (tmp_path / GAME).read_bytes()[:20]
    assert (header[4], int.from_bytes(header[18:20], 'little')) == ELF[arch]
    assert {d.split()[0] for d in depends.split(', ')} == {
        'libc6', 'libgcc-s1', 'libgl1', 'libglew2.2', 'libglu1-mesa', 'liblua5.1-0', 'libnoise0',
        'libsdl-image1.2', 'libsdl1.2debian', 'libstdc++6'}, depends


def test_every_architecture_ships_the_same_files_but_the_game(request):
    debs = request.config.option.deb
    if len(debs) < 2:
        pytest.skip('one architecture only: scripts/test --all-arches packages all four')
    # Mode, owner and path of every entry, and the md5sum of every file but the game.
    contents = lambda deb: ([e.split()[:2] + e.split()[5:] for e in run('dpkg-deb', '-c', deb).stdout.splitlines()],
                            [s for s in run('dpkg-deb', '-I', deb, 'md5sums').stdout.splitlines() if GAME[2:] not in s])
    first = contents(debs[0])
    assert any(GAME in entry for entry in first[0]) and len(first[1]) >= 9
    for deb in debs[1:]:
        assert contents(deb) == first, deb


# The second build: a clone of the tree as it is (changes and all) deeper, under a name with a
# space, under umask 077, three days later (faketime), in a zone fourteen hours ahead of UTC
# (a POSIX rule: no zone data needed) and an Estonian locale (z sorts between s and t). A
# cross build takes the target's libnoise as the first build unpacked it (scripts/cross), a
# Windows build the libraries the first built (scripts/windows-deps).
REBUILD = r'''umask 077
git clone -q --shared --no-checkout "$1" "$2"
git -C "$1" ls-files -z --cached --others --exclude-standard |
  tar -C "$1" --null --files-from=- --ignore-failed-read -cf - |
  tar -C "$2" --touch --no-same-permissions --no-same-owner -xf -
for kept in noise-root deps; do
  if [ -e "$1/build-$3/$kept" ]; then mkdir -p "$2/build-$3" && cp -a "$1/build-$3/$kept" "$2/build-$3/"; fi
done
exec faketime -f +3d "$2/scripts/package" "$3"'''


@pytest.fixture(scope='session')
def elsewhere(tmp_path_factory):
    locales = tmp_path_factory.mktemp('locales')
    subprocess.run(['localedef', '-i', 'et_EE', '-f', 'UTF-8', locales / 'et_EE.UTF-8'], check=True)
    environment = {k: v for k, v in os.environ.items() if not k.startswith(('TESSARIA_', 'LC_'))}
    environment.update(TZ='ELSEWHERE-14', LOCPATH=str(locales), LC_ALL='et_EE.UTF-8', LANG='et_EE.UTF-8')
    probe = run('faketime', '-f', '+3d', 'sh', '-c', 'date +%z; printf "t\\nz\\ns\\n" | sort; date +%s', env=environment)
    *shown, seconds = probe.stdout.split() or ['']
    assert shown == ['+1400', 's', 'z', 't'], probe.stdout + probe.stderr
    assert int(seconds) - time.time() > 2.9 * 86400, 'the clock three days ahead'
    return environment


def test_built_again_elsewhere_the_same_bytes(package, elsewhere, tmp_path):
    if not os.path.exists(os.path.join(ROOT, '.git')):
        pytest.skip('the tree is no git clone, so nothing tells its own files from what builds left')
    arch, clone = architecture(package), tmp_path / 'another place' / 'tessaria'
    build = subprocess.run(['bash', '-c', REBUILD, 'rebuild', ROOT, clone, arch], env=elsewhere,
                           stdout=subprocess.PIPE, text=True)
    assert build.returncode == 0, f'scripts/package {arch} in {clone}'
    again = build.stdout.strip()
    # Proof that the second build is another: in the clone, later, under the umask.
    assert again.startswith(f'{clone}/') and os.path.basename(again) == os.path.basename(package), again
    assert os.stat(again).st_mtime >= os.stat(package).st_mtime + 1, 'built a second or more later'
    modes = [os.stat(clone / name).st_mode & 0o777 for name in ('CMakeLists.txt', 'src', 'scripts/package')]
    assert modes == [0o600, 0o700, 0o700], [oct(m) for m in modes]
    same = open(again, 'rb').read() == open(package, 'rb').read()
    why = '' if same else run(*(['diffoscope', '--text', '-'] if shutil.which('diffoscope') else ['cmp']), package, again).stdout[:6000]
    assert same, f'{package} and {again} differ:\n{why}'


def test_installed_game(screen, deb, tmp_path):
    if architecture(deb) != HOST:
        pytest.skip(f'played where it runs: on {HOST}, its own package; others by tests/arch')
    root = tmp_path
    subprocess.run(['dpkg-deb', '-x', deb, root], check=True)
    data, home = root / 'usr/share/games/tessaria', root / 'player home'  # a space in it
    player = home / '.local/share/tessaria'
    desktop = run('desktop-file-validate', root / 'usr/share/applications/tessaria.desktop')
    assert desktop.returncode == 0, desktop.stdout
    icon = Image.open(root / 'usr/share/icons/hicolor/128x128/apps/tessaria.png')
    assert (icon.size, icon.mode) == ((128, 128), 'RGBA'), 'the icon: 128 x 128 with alpha'
    manual = run('man', '-l', root / 'usr/share/man/man6/tessaria.6.gz').stdout  # as `man tessaria` shows it
    statuses = re.findall(r'^ {7}(\d) ', manual.partition('EXIT STATUS')[2], re.M)
    assert statuses == list('012345'), 'the manual names every status the launcher and game end with'

    def launch(**environment):  # the launcher, started
        (player / 'log.txt').unlink(missing_ok=True)
        env = {k: v for k, v in {**os.environ, 'XDG_DATA_HOME': None, 'HOME': home, **environment}.items()
               if v is not None}
        with open(root / 'stdout', 'wb') as out:
            return subprocess.Popen([root / 'usr/games/tessaria'], env=env, stdout=out, stderr=subprocess.PIPE)

    log = lambda: (player / 'log.txt').read_text().split('\n')[:-1] if (player / 'log.txt').exists() else []

    def played(then_key=None, centre=None):  # the status of a game left from the splash with Escape
        game = launch()
        w = soon(screen.window, 'a window')
        soon(lambda: 'IntroState Init' in log(), 'the installed game shows its splash')
        if centre:
            soon(lambda: near(screen.pixel(w, 400, 300), centre, 2), 'the splash fades in')
        screen.focus(w)  # keys go where the focus is, without a window manager
        if then_key:
            screen.tap(then_key)
            soon(lambda: 'PlayState Init' in log(), 'a key leads into the game')
        screen.tap('Escape')
        return game.wait(30)

    picture = Image.open(data / 'Vortel.png').convert('RGB')
    status = played('Return', picture.getpixel((picture.width // 2, picture.height // 2)))  # even sides
    assert status == 0 and log()[-1:] == ['GameEngine Cleanup'], 'Escape ends it, logged in the folder'
    assert (player / 'settings.lua').read_text() == (data / 'settings.lua').read_text(), 'the shipped settings'
    for image in ('Vortel.png', 'menu.bmp'):
        assert os.readlink(player / image) == str(data / image), f'{image} links to the installed one'
    assert os.path.getsize(root / 'stdout') == 0, 'no collision trace on standard output'

    edited = (player / 'settings.lua').read_text().replace('screenWidth = 800', 'screenWidth = 640')
    (player / 'settings.lua').write_text(edited)
    status = played()
    assert status == 0 and 'Settings loaded: 640 x 600' in log(), 'the edited settings are read'
    assert (player / 'settings.lua').read_text() == edited, 'and kept'
    status = launch(DISPLAY=None).wait(30)  # the game's own status comes through
    assert status == 1 and log()[-2:] == ['Unable to initialize SDL', REASON], 'status 1 without a display'
    (root / 'file').touch()
    game = launch(XDG_DATA_HOME=str(root / 'file'))
    status = game.wait(30)
    assert status == 1 and b'cannot make' in game.stderr.read(), 'a folder that cannot be made'
