"""The packages of every architecture side by side: each is lintian-clean (no error, no
warning), its AppStream metadata valid, its game is built for its own processor and depends on the libraries it links
(of its own architecture: the field has no other); all hold the same files but the game.
Run as: python3 -m pytest -c tests/pytest.ini tests/package/test_arch_packages.py --deb a.deb --deb b.deb ..."""
import os, subprocess
import pytest

GAME = './usr/lib/games/tessaria/tessaria'
# ELF class and machine (e_ident[4], e_machine) of each architecture's programs.
ELF = {'amd64': (2, 62), 'i386': (1, 3), 'arm64': (2, 183), 'armhf': (1, 40)}
run = lambda *command: subprocess.run(command, capture_output=True, text=True).stdout


def test_package_of_one_architecture(deb, tmp_path):
    arch = run('dpkg-deb', '-f', deb, 'Architecture').strip()
    assert os.path.basename(deb).endswith(f'_{arch}.deb')
    lintian = subprocess.run(['lintian', '--fail-on', 'error,warning', deb], capture_output=True, text=True)
    assert lintian.returncode == 0, lintian.stdout
    subprocess.run(['dpkg-deb', '-x', deb, str(tmp_path)], check=True)
    metainfo = next((tmp_path / 'usr/share/metainfo').glob('*.metainfo.xml'))
    appstream = subprocess.run(['appstreamcli', 'validate', '--no-net', metainfo], capture_output=True, text=True)
    assert appstream.returncode == 0, appstream.stdout  # software centres can read it
    header = (tmp_path / GAME).read_bytes()[:20]
    assert (header[4], int.from_bytes(header[18:20], 'little')) == ELF[arch]
    depends = run('dpkg-deb', '-f', deb, 'Depends').split(', ')
    assert {d.split()[0] for d in depends} == {
        'libc6', 'libgcc-s1', 'libgl1', 'libglew2.2', 'libglu1-mesa', 'liblua5.1-0', 'libnoise0',
        'libsdl-image1.2', 'libsdl1.2debian', 'libstdc++6'}, depends


def test_every_architecture_ships_the_same_files_but_the_game(request):
    DEBS = request.config.option.deb
    if len(DEBS) < 2:
        pytest.skip('one architecture only (a local run that left the others out)')
    # Mode, owner and path of every entry (dpkg-deb lists the root, CPack does not), and the
    # md5sum of every file but the game.
    contents = lambda deb: ([e.split()[:2] + e.split()[5:] for e in run('dpkg-deb', '-c', deb).splitlines()
                             if e.split()[5] != './'],
                            [s for s in run('dpkg-deb', '-I', deb, 'md5sums').splitlines() if GAME[2:] not in s])
    first = contents(DEBS[0])
    assert any(GAME in entry for entry in first[0]) and len(first[1]) >= 9
    for deb in DEBS[1:]:
        assert contents(deb) == first, deb
