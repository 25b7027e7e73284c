"""The packages of every architecture side by side: each is lintian-clean (no error, no
warning), its game is built for its own processor and its dependencies were found among
that architecture's libraries; all of them hold the same files but for the game itself.
Run as: TESSARIA_DEBS="a.deb b.deb ..." python3 -m pytest tests/package/test_arch_packages.py"""
import os, re, subprocess
import pytest

DEBS = os.environ.get('TESSARIA_DEBS', '').split()
GAME = './usr/lib/games/tessaria/tessaria'
# ELF class and machine (e_ident[4], e_machine) of each architecture's programs.
ELF = {'amd64': (2, 62), 'i386': (1, 3), 'arm64': (2, 183), 'armhf': (1, 40)}


def run(*command):
    return subprocess.run(command, capture_output=True, text=True)


def arch_of(deb):
    return run('dpkg-deb', '-f', deb, 'Architecture').stdout.strip()


def contents(deb):
    """Path -> (mode, owner, md5 of its bytes) for every file and folder of the package."""
    sums = {}
    for line in run('dpkg-deb', '-I', deb, 'md5sums').stdout.splitlines():
        digest, path = line.split(None, 1)
        sums['./' + path] = digest
    listing = {}
    for line in run('dpkg-deb', '-c', deb).stdout.splitlines():
        fields = line.split()
        path = fields[5]
        listing[path] = (fields[0], fields[1], sums.get(path))
    return listing


@pytest.mark.parametrize('deb', DEBS, ids=[os.path.basename(d) for d in DEBS])
def test_package_of_one_architecture(deb, tmp_path):
    arch = arch_of(deb)
    assert os.path.basename(deb).endswith(f'_{arch}.deb')
    lintian = run('lintian', '--fail-on', 'error,warning', deb)
    print(lintian.stdout)
    assert lintian.returncode == 0, lintian.stdout

    subprocess.run(['dpkg-deb', '-x', deb, str(tmp_path)], check=True)
    with open(tmp_path / GAME, 'rb') as game:
        header = game.read(20)
    assert (header[4], int.from_bytes(header[18:20], 'little')) == ELF[arch]

    depends = run('dpkg-deb', '-f', deb, 'Depends').stdout
    for library in ('libsdl1.2debian', 'libsdl-image1.2', 'libglew2.2', 'liblua5.1-0', 'libnoise0',
                    'libgl1', 'libglu1-mesa', 'libc6', 'libstdc++6'):
        assert re.search(rf'\b{re.escape(library)}\b', depends), (library, depends)
    # The lowest C library each was linked against is that architecture's own.
    libc = re.search(r'libc6 \(>= ([^)]+)\)', depends).group(1)
    shlibs = run('dpkg-query', '-W', '-f', '${Version}', f'libc6:{arch}').stdout
    assert subprocess.run(['dpkg', '--compare-versions', shlibs, 'ge', libc]).returncode == 0


def test_every_architecture_ships_the_same_files_but_the_game():
    if len(DEBS) < 2:
        pytest.skip('one architecture only (a local run that left the others out)')
    first = contents(DEBS[0])
    assert GAME in first and './usr/share/metainfo/' in first
    for deb in DEBS[1:]:
        other = contents(deb)
        assert sorted(other) == sorted(first), deb
        differing = [p for p in first if p != GAME and other[p] != first[p]]
        assert differing == [], deb
        assert other[GAME][2] != first[GAME][2]
