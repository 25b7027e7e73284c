"""Each package built once more from a clone of this tree (as it is, changes and all) at
another path, later, under another umask, time zone and locale, by the same scripts/package:
the .deb must come out byte for byte the same. Run as:
  python3 -m pytest -c tests/pytest.ini tests/package/test_reproducible.py --reproduce=DEB ..."""
import os, shutil, subprocess, time
import pytest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
# Under umask 077 a clone's files are its owner's alone; the clock is three days ahead; the
# zone fourteen hours ahead of UTC (a POSIX rule: no time zone data needed); Estonian
# sorts z between s and t.
UMASK, LATER, ZONE, LOCALE = 0o077, ['faketime', '-f', '+3d'], 'ELSEWHERE-14', 'et_EE.UTF-8'
# The clone holds the files git knows and those it does not ignore, as they are now. A
# cross build takes the target's libnoise as the first build downloaded and unpacked it
# (scripts/cross), which is Debian's, not built here.
REBUILD = r'''umask 077
git clone -q --shared --no-checkout "$1" "$2"
git -C "$1" ls-files -z --cached --others --exclude-standard |
  tar -C "$1" --null --files-from=- --ignore-failed-read -cf - |
  tar -C "$2" --touch --no-same-permissions --no-same-owner -xf -
if [ -e "$1/build-$3/noise-root/usr/lib/libnoise.so" ]; then
  mkdir "$2/build-$3" && cp -a "$1/build-$3/noise-root" "$2/build-$3/"
fi
exec "$2/scripts/package" "$3"'''


def pytest_generate_tests(metafunc):
    debs = metafunc.config.getoption('reproduce')
    metafunc.parametrize('deb', debs, ids=[os.path.basename(d) for d in debs])


@pytest.fixture(scope='session')
def elsewhere(tmp_path_factory):
    """The environment of the second build: another zone, and a locale made for it alone.
    Only its clock is not in it (LATER)."""
    locales = tmp_path_factory.mktemp('locales')
    subprocess.run(['localedef', '-i', 'et_EE', '-f', 'UTF-8', locales / LOCALE], check=True)
    environment = {k: v for k, v in os.environ.items() if not k.startswith(('TESSARIA_', 'LC_'))}
    environment.update(TZ=ZONE, LOCPATH=str(locales), LC_ALL=LOCALE, LANG=LOCALE, LANGUAGE='et')
    probe = subprocess.run(LATER + ['sh', '-c', 'date +%z; printf "t\\nz\\ns\\n" | sort; date +%s'],
                           env=environment, capture_output=True, text=True)
    *shown, seconds = probe.stdout.split() or ['']
    assert shown == ['+1400', 's', 'z', 't'], probe.stdout + probe.stderr
    assert int(seconds) - time.time() > 2.9 * 86400, 'the clock three days ahead'
    return environment


def test_built_again_elsewhere_the_same_bytes(deb, elsewhere, tmp_path):
    if not os.path.exists(os.path.join(ROOT, '.git')):
        pytest.skip('the tree is no git clone, so nothing tells its own files from what builds left')
    arch = subprocess.run(['dpkg-deb', '-f', deb, 'Architecture'], capture_output=True, text=True).stdout.strip()
    clone = tmp_path / 'another place' / 'tessaria'  # deeper, and with a space
    first = os.stat(deb).st_mtime
    build = subprocess.run(LATER + ['bash', '-c', REBUILD, 'rebuild', ROOT, clone, arch], env=elsewhere,
                           stdout=subprocess.PIPE, text=True)
    assert build.returncode == 0, f'scripts/package {arch} in {clone}'
    again = build.stdout.strip()
    # Proof that the second build is another: in the clone, later, under the umask.
    assert again.startswith(f'{clone}/') and os.path.basename(again) == os.path.basename(deb), again
    assert os.stat(again).st_mtime >= first + 1, 'built a second or more later'
    modes = [os.stat(clone / name).st_mode & 0o777 for name in ('CMakeLists.txt', 'src', 'scripts/package')]
    assert modes == [0o666 & ~UMASK, 0o777 & ~UMASK, 0o777 & ~UMASK], [oct(m) for m in modes]
    same = open(again, 'rb').read() == open(deb, 'rb').read()
    why = ''
    if not same:
        shown = subprocess.run(['diffoscope', '--text', '-', deb, again] if shutil.which('diffoscope')
                               else ['cmp', deb, again], capture_output=True, text=True)
        why = shown.stdout[:6000] + shown.stderr
    assert same, f'{deb} and {again} differ:\n{why}'
