"""The studio's figures: for every benchmark position, the time from "Analyse" to the drawn result in a
real browser against the engine's own GO time; the page's load time; the studio's memory after 100
analyses. Run it on a quiet machine and quote the load average beside its figures:

    /usr/bin/python3 bench/studio/bench_studio.py --bin build/bin
"""
import argparse
import glob
import os
import re
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request
import json

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tests', 'studio'))
from browser_test import start_browser, start_studio  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402

REPLY = re.compile(rb'BESTSHOT -?\d+\.\d{6} -?\d+\.\d{6} \d+')


def read_positions(folder):
    positions = []
    for path in sorted(glob.glob(os.path.join(folder, '*.txt'))):
        lines = [line for line in open(path) if line.split()[:1] in (['POSITION'], ['SETSTATE'])]
        positions.append((os.path.basename(path)[:-4], ''.join(lines)))
    return positions


def await_reply(process, pattern, buffer):
    while not pattern.search(buffer):
        select.select([process.stdout], [], [])
        chunk = os.read(process.stdout.fileno(), 4096)
        if not chunk:
            sys.exit('the engine ended')
        buffer += chunk
    found = pattern.search(buffer)
    return buffer[:found.end()], buffer[found.end():]


def engine_go_times(engine, positions):
    """Seconds from GO to BESTSHOT for each position, in one engine session."""
    process = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, cwd=os.path.dirname(engine))
    process.stdin.write(b'ISREADY\n')
    process.stdin.flush()
    _, rest = await_reply(process, re.compile(rb'READYOK'), b'')
    times = []
    for _, commands in positions:
        process.stdin.write(commands.encode())
        process.stdin.flush()
        time.sleep(0.05)
        started = time.perf_counter()
        process.stdin.write(b'GO\n')
        process.stdin.flush()
        _, rest = await_reply(process, REPLY, rest)
        times.append(time.perf_counter() - started)
    process.kill()
    process.wait()
    return times


def page_analysis_times(driver, positions):
    """Milliseconds from Analyse to the drawn result in the page, each position asked for the first time."""
    times = []
    answered = []
    for _, commands in positions:
        area = driver.find_element(By.ID, 'lines')
        area.clear()
        area.send_keys(commands)
        driver.find_element(By.ID, 'paste-lines').click()
        driver.find_element(By.ID, 'analyse').click()
        WebDriverWait(driver, 120).until(lambda d: 'Expected value' in d.find_element(By.ID, 'summary').text)
        times.append(int(driver.find_element(By.ID, 'sheet-house').get_attribute('data-analysed-ms')))
        answered.append(int(driver.find_element(By.ID, 'sheet-house').get_attribute('data-answered-ms')))
    print('the page had each answer %s ms after Analyse' % answered)
    return times


def post_position(address, stones, shot_number):
    body = json.dumps({'stones': stones, 'shotNumber': shot_number}).encode()
    request = urllib.request.Request(address + 'api/analyse', data=body, method='POST')
    return urllib.request.urlopen(request, timeout=300).read()


def api_times(address, positions):
    """Seconds from the request to the whole answer of /api/analyse, each position asked the first time."""
    times = []
    for _, commands in positions:
        numbers = [float(v) for v in commands.split('\n')[0].split()[1:]]
        numbers += [0.0] * (32 - len(numbers))
        stones = [[numbers[2 * i], numbers[2 * i + 1]] if numbers[2 * i] or numbers[2 * i + 1] else None
                  for i in range(16)]
        shot_number = int(commands.split('SETSTATE')[1].split()[0])
        started = time.perf_counter()
        post_position(address, stones, shot_number)
        times.append(time.perf_counter() - started)
    return times


def memory_after_analyses(address, pid, count):
    for k in range(count):
        post_position(address, [[1.0 + 0.02 * k, 5.0], [2.6, 7.5]] + [None] * 14, 2)
    status = open('/proc/%d/status' % pid).read()
    field = lambda name: int(re.search(name + r':\s+(\d+) kB', status).group(1)) / 1024
    return field('VmRSS'), field('VmHWM')


class OneLineParser(argparse.ArgumentParser):
    """A bad command line is one line on stderr and exit code 2, as in the other benchmarks."""

    def error(self, message):
        self.exit(2, f"{self.prog}: {message} (try --help)\n")


def analysis_count(text):
    if not text.isdigit() or not 1 <= int(text) <= 10000:
        raise argparse.ArgumentTypeError(f"wants a whole number from 1 to 10000, not {text!r}")
    return int(text)


def main():
    parser = OneLineParser(
        prog='bench_studio.py',
        description='Times the studio against the engine on the benchmark positions, in headless Chromium.')
    parser.add_argument('--bin', required=True, metavar='FOLDER',
                        help='the folder of curling-studio and curling-engine (build/bin)')
    parser.add_argument('--positions', metavar='FOLDER',
                        default=os.path.join(HERE, '..', '..', 'tests', 'fixtures', 'positions'),
                        help='a folder of position files (default: tests/fixtures/positions)')
    parser.add_argument('--analyses', type=analysis_count, default=100, metavar='N',
                        help='analyses before the memory is read (1 to 10000, default 100)')
    arguments = parser.parse_args()
    studio_path = os.path.abspath(os.path.join(arguments.bin, 'curling-studio'))
    engine_path = os.path.abspath(os.path.join(arguments.bin, 'curling-engine'))
    positions = read_positions(arguments.positions)
    go = engine_go_times(engine_path, positions)
    scratch = tempfile.mkdtemp(prefix='studio-bench-')
    # The server's share on a studio of its own, so that no answer is one kept from the page's turn.
    bare, bare_address = start_studio(studio_path, engine_path, scratch)
    api = api_times(bare_address, positions)
    bare.kill()
    bare.wait()
    studio, address = start_studio(studio_path, engine_path, scratch)
    driver = None
    try:
        driver = start_browser(os.path.join(scratch, 'profile'))
        loads = []
        for _ in range(5):
            driver.get(address)
            WebDriverWait(driver, 30).until(lambda d: d.execute_script('return document.readyState') == 'complete')
            loads.append(driver.execute_script(
                'const t = performance.getEntriesByType("navigation")[0]; return t.loadEventEnd - t.startTime;'))
        drawn = page_analysis_times(driver, positions)
        print('%-28s %8s %8s %9s %10s' % ('position', 'GO ms', 'API ms', 'drawn ms', 'overhead'))
        for (name, _), g, a, d in zip(positions, go, api, drawn):
            print('%-28s %8.0f %8.0f %9d %10.0f' % (name, 1000 * g, 1000 * a, d, d - 1000 * g))
        overheads = [d - 1000 * g for g, d in zip(go, drawn)]
        server = [1000 * (a - g) for g, a in zip(go, api)]
        print('median overhead from Analyse to the drawn result %.0f ms, of it the server\'s answer %.0f ms '
              '(GO median %.0f ms, drawn median %.0f ms)' % (statistics.median(overheads), statistics.median(server),
                                                           1000 * statistics.median(go), statistics.median(drawn)))
        print('page load: median %.0f ms of %d loads' % (statistics.median(loads), len(loads)))
        rss, peak = memory_after_analyses(address, studio.pid, arguments.analyses)
        print('studio memory after %d more analyses: %.0f MiB resident, peak %.0f MiB'
              % (arguments.analyses, rss, peak))
    finally:
        if driver is not None:
            driver.quit()
        studio.kill()
        studio.wait()
        shutil.rmtree(scratch, ignore_errors=True)
    print('load average: %s' % open('/proc/loadavg').read().strip())


if __name__ == '__main__':
    main()
