"""The studio's page in a real browser: Debian's Chromium, headless, driven by Selenium.

Starts the studio, sets up a position by clicking, analyses it, checks the heat maps, the chosen shot and
its play are drawn, throws a person's stone in a game against the engine and sees the engine answer,
opens that game's replay.html from its file, then watches live a match that another process plays,
with a screenshot of each view in the output folder. The page must log no error to the browser's console.
Prints the page's load time and the time from Analyse to the drawn result.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait


def start_studio(studio, engine, matches):
    process = subprocess.Popen([studio, '--port', '0', '--engine', engine, '--matches', matches],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    line = process.stdout.readline()
    found = re.search(r'http://127\.0\.0\.1:(\d+)/', line)
    if not found:
        process.kill()
        sys.exit('the studio did not start: ' + line + process.stderr.read())
    return process, 'http://127.0.0.1:%s/' % found.group(1)


def start_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which('chromium') or '/usr/bin/chromium'
    # Headless, as root, and nothing that reaches for the network, which is closed here.
    for flag in ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                 '--disable-background-networking', '--disable-component-update', '--disable-sync',
                 '--user-data-dir=' + profile, '--window-size=1500,1000']:
        options.add_argument(flag)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    service = Service(shutil.which('chromedriver') or '/usr/bin/chromedriver')
    return webdriver.Chrome(service=service, options=options)


def click_sheet(driver, svg_id, x, y, button='left', shift=False):
    """Clicks the point (x, y) of the sheet in one of the page's views."""
    svg = driver.find_element(By.ID, svg_id)
    offset = driver.execute_script(
        'const svg = arguments[0], p = svg.createSVGPoint(); p.x = arguments[1]; p.y = arguments[2];'
        'const q = p.matrixTransform(svg.getScreenCTM()), box = svg.getBoundingClientRect();'
        'return [q.x - (box.left + box.width / 2), q.y - (box.top + box.height / 2)];', svg, x, y)
    actions = ActionChains(driver).move_to_element_with_offset(svg, round(offset[0]), round(offset[1]))
    if shift:
        actions.key_down('\ue008')
    if button == 'right':
        actions.context_click()
    else:
        actions.click()
    if shift:
        actions.key_up('\ue008')
    actions.perform()


def stones_in(driver, svg_id):
    return len(driver.find_elements(By.CSS_SELECTOR, '#%s g.layer-stones g.stone' % svg_id))


def check_board_and_think(driver, out):
    # Hammer yellow: red throws the first stone. Three stones by clicking, one removed and placed again.
    click_sheet(driver, 'sheet-house', 2.375, 4.88)
    click_sheet(driver, 'sheet-house', 2.0, 5.6)
    click_sheet(driver, 'sheet-house', 2.6, 8.2)
    assert stones_in(driver, 'sheet-house') == 3, 'three stones placed'
    assert driver.find_element(By.ID, 'shot-number').get_attribute('value') == '3'
    click_sheet(driver, 'sheet-house', 2.6, 8.2, button='right')
    assert stones_in(driver, 'sheet-house') == 2, 'a right-click removes a stone'
    click_sheet(driver, 'sheet-house', 2.5, 8.0, shift=True)
    assert stones_in(driver, 'sheet-house') == 3, 'a shift-click places one of the other team'
    driver.find_element(By.ID, 'copy-lines').click()
    lines = driver.find_element(By.ID, 'lines').get_attribute('value')
    numbers = [float(v) for v in lines.split('\n')[0].split()[1:]]
    wanted = [2.375, 4.88, 2.0, 5.6, 2.5, 8.0] + [0.0] * 26
    assert all(abs(a - b) < 0.02 for a, b in zip(numbers, wanted)) and len(numbers) == 32, lines
    assert 'SETSTATE 3 0 8 1' in lines, lines

    started = time.time()
    driver.find_element(By.ID, 'analyse').click()
    WebDriverWait(driver, 120).until(
        lambda d: 'Expected value' in d.find_element(By.ID, 'summary').text)
    waited = time.time() - started
    drawn_ms = int(driver.find_element(By.ID, 'sheet-house').get_attribute('data-analysed-ms'))
    assert len(driver.find_elements(By.CSS_SELECTOR, 'svg.heat-map image.heat-cells')) == 2, 'a map per curl'
    assert len(driver.find_elements(By.CSS_SELECTOR, 'canvas.strip')) == 2, 'strong strips per curl'
    region = driver.find_element(By.ID, 'summary').get_attribute('data-chosen-region')
    marks = {'draw': 'svg.heat-map .chosen-mark', 'strong': 'canvas.strip'}
    assert len(driver.find_elements(By.CSS_SELECTOR, marks[region])) >= 1, 'the chosen shot is marked'
    assert len(driver.find_elements(By.CSS_SELECTOR, '#sheet-house .spread-dot')) > 0, 'the spread is drawn'
    WebDriverWait(driver, 60).until(
        lambda d: d.find_element(By.ID, 'sheet-house').get_attribute('data-drawn') == 'outcome')
    assert len(driver.find_elements(By.CSS_SELECTOR, '#sheet-house g.layer-paths path')) >= 1, 'its path'
    heat = driver.find_elements(By.CSS_SELECTOR, 'svg.heat-map image.heat-cells')[0]
    ActionChains(driver).move_to_element(heat).perform()
    assert 'expected' in driver.find_element(By.ID, 'hover').text, 'hovering shows a candidate'
    driver.save_screenshot(os.path.join(out, 'studio-analysis.png'))
    print('analysis: %d ms from Analyse to the drawn result in the page (%.2f s seen by the test)'
          % (drawn_ms, waited))


def check_play(driver, out):
    """A person's stone aimed by a click, played with noise, and the engine's answer."""
    driver.find_element(By.ID, 'tab-play').click()
    ends = driver.find_element(By.ID, 'play-ends')
    ends.clear()
    ends.send_keys('1')
    driver.find_element(By.ID, 'play-start').click()
    panel = driver.find_element(By.ID, 'mode-play')
    WebDriverWait(driver, 60).until(lambda d: panel.get_attribute('data-waiting') == 'person')
    Select(driver.find_element(By.ID, 'play-curl')).select_by_value('1')
    click_sheet(driver, 'sheet-house', 2.2, 5.3)
    WebDriverWait(driver, 120).until(
        lambda d: re.search(r'showing shot 2', d.find_element(By.ID, 'play-counter').text))
    WebDriverWait(driver, 60).until(lambda d: panel.get_attribute('data-waiting') == 'person')
    assert 'stone 3 of 16: red (you) to throw' in driver.find_element(By.ID, 'play-status').text
    assert stones_in(driver, 'sheet-house') >= 1, 'the stones of the end are drawn'
    assert 'noise moved it' in driver.find_element(By.ID, 'play-caption').text
    driver.save_screenshot(os.path.join(out, 'studio-play.png'))
    print('play: a person threw, the engine answered')
    return re.search(r'Recorded in (\S+) under', driver.find_element(By.ID, 'play-record').text).group(1)


def check_replay(driver, out, page):
    """The game's replay.html, opened from its file, draws with the same module as the studio."""
    driver.get('file://' + page + '#last')
    WebDriverWait(driver, 30).until(lambda d: d.find_element(By.ID, 'counter').text.startswith('shot '))
    assert len(driver.find_elements(By.CSS_SELECTOR, '#sheet-house g.stone')) >= 1, 'the replay draws stones'
    driver.find_element(By.ID, 'to-first').click()
    driver.find_element(By.ID, 'step-back').click()
    assert driver.find_element(By.ID, 'moving').text.startswith('stone 1 at ('), 'a shot steps along its path'
    driver.save_screenshot(os.path.join(out, 'replay.png'))
    print('replay: %s draws its game' % os.path.basename(os.path.dirname(page)))


def check_watch(driver, out, match_folder, match_process):
    """Follows the match that the other process plays, live."""
    driver.find_element(By.ID, 'tab-watch').click()
    name = os.path.basename(match_folder)
    deadline = time.time() + 60
    while time.time() < deadline:
        driver.find_element(By.ID, 'refresh-matches').click()
        time.sleep(0.5)
        options = driver.find_elements(By.CSS_SELECTOR, '#match-list option')
        if any(name in option.text for option in options):
            break
    Select(driver.find_element(By.ID, 'match-list')).select_by_visible_text(
        next(o.text for o in driver.find_elements(By.CSS_SELECTOR, '#match-list option') if name in o.text))
    Select(driver.find_element(By.ID, 'watch-speed')).select_by_value('4')
    driver.find_element(By.ID, 'watch').click()
    WebDriverWait(driver, 120).until(
        lambda d: re.search(r'showing shot [2-9]', d.find_element(By.ID, 'watch-counter').text))
    live = match_process.poll() is None
    driver.save_screenshot(os.path.join(out, 'studio-watch.png'))
    WebDriverWait(driver, 300).until(
        lambda d: 'The game is over' in d.find_element(By.ID, 'watch-caption').text)
    cells = [c.text for c in driver.find_elements(By.CSS_SELECTOR, '#watch-score td')]
    assert any(c.isdigit() for c in cells), 'the line score shows the end: %s' % cells
    print('watch: followed %s, %s' % (name, 'while it was being played' if live else 'after it ended'))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--studio', required=True)
    parser.add_argument('--engine', required=True)
    parser.add_argument('--match', required=True, help='curling-match')
    parser.add_argument('--out', required=True, help='where the screenshots go')
    arguments = parser.parse_args()
    os.makedirs(arguments.out, exist_ok=True)
    scratch = tempfile.mkdtemp(prefix='studio-browser-')
    matches = os.path.join(scratch, 'matches')
    os.makedirs(matches)
    studio, address = start_studio(arguments.studio, arguments.engine, matches)
    match_folder = os.path.join(matches, 'live-two-ends')
    match = None
    driver = None
    try:
        driver = start_browser(os.path.join(scratch, 'profile'))
        driver.get(address)
        WebDriverWait(driver, 30).until(lambda d: d.execute_script('return document.readyState') == 'complete')
        load_ms = driver.execute_script(
            'const t = performance.getEntriesByType("navigation")[0]; return t.loadEventEnd - t.startTime;')
        print('page load: %.0f ms' % load_ms)
        check_board_and_think(driver, arguments.out)
        folder = check_play(driver, arguments.out)
        check_replay(driver, arguments.out, os.path.join(matches, folder, 'replay.html'))
        driver.get(address)
        match = subprocess.Popen([arguments.match, '--ends', '2', '--out', match_folder],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        check_watch(driver, arguments.out, match_folder, match)
        errors = [entry for entry in driver.get_log('browser') if entry['level'] == 'SEVERE']
        assert not errors, 'the console shows errors: %s' % json.dumps(errors)
        print('no console error; screenshots in %s' % arguments.out)
    finally:
        if driver is not None:
            driver.quit()
        if match is not None:
            match.kill()
            match.wait()
        studio.kill()
        studio.wait()
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == '__main__':
    main()
