#!/usr/bin/python3
"""The web page in a real browser: headless Chromium driven by Selenium
(Debian's python3-selenium and chromium-driver), the page served by Python's
own HTTP server on a free local port, as a visitor would load it. Each group
of tests has a browser profile of its own:

- PageTest, on a desktop: the panel at rest compared pixel for pixel with the
  native bench's frame of the same state; clicks, a held press, the kept
  speeds, their reset, a take-off with its three call-outs reaching Web
  Audio; the page's pass cost (printed, not asserted), its size with gzip
  (printed and held to the budget tools/CheckRelease.py holds the zip to),
  what it says of itself to a reader and a search engine, and a screenshot.
- KeyboardTest, with the keyboard alone: the keys, buttons and list of keys
  are the exported key table's; from the first Tab the panel, its focus ring,
  each speed selected, raised and lowered, a held key repeating (with or
  without the system's repeats), a take-off with T, and not one pointer
  event; what the live region says after each step; keys from the page but
  not from a text field; buttons that hold their press; every control named
  in Chromium's accessibility tree, in reading order.
- ReadingTest: the speeds beside the gauge are the ones it holds after a
  reload, whatever files were kept (a lone Speed2 file is not read), and "?"
  only where a host cannot know one; the lamps in words.
- PhoneTest, in Chromium's phone emulation at several widths and pixel ratios:
  no sideways scroll, the whole panel in view at whole device pixels, buttons
  a finger can hit, a tap, a held touch, a finger sliding off the panel, and
  a finger held on the raise button.
- OfflineTest: after one visit the page loads and runs with the network cut,
  and a new release's worker replaces the old files when asked.
- LinkTest: speeds from a link reach the gauge and are kept; bad links change
  nothing; the button makes such a link.
- SoundTest: nothing sounds before the first gesture; after it, what reaches
  the page's one output node on a take-off is single, single, double beeps,
  each starting within a pass of its lamp.

    PageTest.py --page build/web --bench build/native/lumivane-bench
                --module build/native/Lumivane.gau --out DIR
"""
import argparse
import functools
import gzip
import http.server
import json
import os
import re
import shutil
import socketserver
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from CheckRelease import PAGE_BUDGET, page_files  # noqa: E402  the zip's budget and file list, held once

ARGS = None
SERVER = None

# Panel pixels of the gauge's areas (bench/scenarios/fresh.txt names them).
SPEED1_SELECTOR = (10, 57)
SPEED2_SELECTOR = (10, 38)
SPEED3_SELECTOR = (10, 19)
INCREASE = (70, 45)
DECREASE = (40, 45)
PASS_SECONDS = 1 / 18


class PageHandler(http.server.SimpleHTTPRequestHandler):
    """The page's folder as a static host serves it. A test may cut it off
    (it then answers nothing and notes what was asked), or stand in a new
    release by naming another version for the service worker."""
    worker_version = None
    cut = False
    asked_while_cut = []

    def do_GET(self):
        if PageHandler.cut:
            PageHandler.asked_while_cut.append(self.path.split("?")[0])
            self.close_connection = True
            return
        if self.path.split("?")[0] == "/sw.js" and PageHandler.worker_version:
            with open(os.path.join(ARGS.page, "sw.js"), encoding="utf-8") as f:
                body = re.sub(r'const version = "[^"]*";', 'const version = "%s";' % PageHandler.worker_version,
                              f.read()).encode("utf-8")
            self.send_response(200)
            self.send_header("Content-Type", "text/javascript")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        super().do_GET()

    def log_message(self, *args):
        pass


def setUpModule():
    global SERVER
    SERVER = socketserver.ThreadingTCPServer(("127.0.0.1", 0), functools.partial(PageHandler, directory=ARGS.page))
    SERVER.daemon_threads = True
    threading.Thread(target=SERVER.serve_forever, daemon=True).start()


def tearDownModule():
    SERVER.shutdown()
    SERVER.server_close()


def page_url():
    return "http://127.0.0.1:%d/index.html" % SERVER.server_address[1]


def start_browser(profile, mobile=None):
    """Headless Chromium with a profile of its own; a phone's emulation when
    `mobile` gives Chromium's deviceMetrics."""
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    for flag in ("--headless=new", "--disable-gpu", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--no-first-run", "--window-size=1000,1000",
                 "--user-data-dir=" + profile):
        options.add_argument(flag)
    if os.geteuid() == 0:
        options.add_argument("--no-sandbox")  # Chromium refuses to run as root with it
    if mobile:
        options.add_experimental_option("mobileEmulation", {"deviceMetrics": mobile})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(executable_path=shutil.which("chromedriver")), options=options)
    driver.set_script_timeout(60)
    return driver


class Browser(unittest.TestCase):
    """One Chromium with a profile of its own for each class of tests."""

    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.mkdtemp(prefix="lumivane-page-")
        cls.url = page_url()
        cls.driver = start_browser(os.path.join(cls.scratch, "profile"))
        cls.load()

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        shutil.rmtree(cls.scratch, ignore_errors=True)

    @classmethod
    def load(cls, fragment=""):
        if fragment:
            # A fragment alone is no navigation: leave the page first.
            cls.driver.get("about:blank")
        cls.driver.get(cls.url + fragment)
        cls.wait_started()

    @classmethod
    def wait_started(cls):
        cls.wait_for(lambda: cls.driver.execute_script(
            "return window.lumivanePage && lumivanePage.ready && lumivanePage.passes() > 3"), "the page to start")

    @classmethod
    def wait_for(cls, condition, what, seconds=20):
        end = time.time() + seconds
        while time.time() < end:
            value = condition()
            if value:
                return value
            time.sleep(0.05)
        raise AssertionError("timed out waiting for " + what)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def row(self, name):
        """The key table's row of the key of that name."""
        return self.js("""
            for (let row = 0; row < Module._page_key_count(); ++row)
                if (Module.UTF8ToString(Module._page_key_name(row)) === arguments[0]) return row;
            return -1;""", name)

    def readout(self):
        return self.js("return lumivanePage.readout()")

    def status(self):
        return self.driver.find_element(By.ID, "status").text

    def wait_readout(self, text):
        self.wait_for(lambda: self.readout() == text, "the readout %r (it shows %r)" % (text, self.readout()), 5)

    def at(self, point):
        """Moves to a panel pixel's centre; the offsets are from the canvas's centre."""
        canvas = self.driver.find_element(By.ID, "panel")
        box = self.js("const r = arguments[0].getBoundingClientRect(); return [r.width, r.height];", canvas)
        x = int((point[0] + 0.5) * box[0] / 100 - box[0] / 2)
        y = int((point[1] + 0.5) * box[1] / 70 - box[1] / 2)
        return ActionChains(self.driver).move_to_element_with_offset(canvas, x, y)

    def click(self, point):
        self.at(point).click().perform()

    def select(self, selector, shown):
        self.click(selector)
        self.wait_readout(shown)

    def wait_saved(self):
        self.wait_for(lambda: not self.js("return lumivanePage.saving()"), "the speeds to be saved")
        time.sleep(0.3)

    def kept_files(self):
        """The settings files as the page keeps them, None where missing."""
        return self.js("""
            return ['C:\\\\pelmo1', 'C:\\\\pelmo2', 'C:\\\\pelmo'].map(function (name) {
                try { return Module.FS.readFile('/settings/' + name, { encoding: 'utf8' }); }
                catch (error) { return null; } });""")

    def fly_takeoff(self):
        """Flies T's take-off; the airspeed at which each lamp first lit, and the log."""
        self.js("lumivanePage.lampLog.length = 0; lumivaneAudio.started.length = 0;")
        ActionChains(self.driver).send_keys("t").perform()
        speed3 = self.js("return lumivanePage.speeds()[2]")
        self.wait_for(lambda: self.js("return lumivanePage.lampLog.some(e => e.lamps === '000' && e.airspeed > %d)"
                                      % (speed3 + 10)), "the lamps to go dark past Speed3 + 10", 20)
        log = self.js("return lumivanePage.lampLog")
        lit = {}
        for entry in log:
            for lamp in range(3):
                if entry["lamps"][lamp] == "1" and lamp not in lit:
                    lit[lamp] = entry
        self.assertEqual(sorted(lit), [0, 1, 2], "lamps lit: %s" % log)
        self.assertEqual(log[-1]["lamps"], "000", "every lamp dark past Speed3 + 10: %s" % log[-1])
        return [lit[lamp] for lamp in range(3)], log

    def press(self, *keys):
        """Keys typed into whatever has the focus: no pointer moves."""
        ActionChains(self.driver).send_keys(*keys).perform()

    def said(self):
        return self.js("return document.getElementById('said').textContent")

    def shown_speeds(self):
        """The speeds beside the gauge as the page writes them."""
        return [self.driver.find_element(By.ID, "speed%d" % n).text for n in (1, 2, 3)]

    def watch(self):
        """From now on: every text the live region and the lamps' words take,
        and every pointer, mouse or touch event anywhere on the page."""
        self.js("""
            window.saidLog = []; window.lampWordsLog = []; window.pointerEvents = [];
            const log = (id, into) => new MutationObserver(() => into.push(document.getElementById(id).textContent))
                .observe(document.getElementById(id), { childList: true, subtree: true, characterData: true });
            log('said', saidLog);
            log('lamps', lampWordsLog);
            for (const kind of ['pointerdown', 'pointerup', 'pointermove', 'pointerover', 'mousedown', 'mouseup',
                                'mousemove', 'touchstart', 'touchend', 'wheel'])
                window.addEventListener(kind, (event) => pointerEvents.push(event.type), true);""")

    def said_log(self):
        return self.js("return saidLog.filter((text) => text !== '')")

    def keep_files(self, files):
        """Leaves the settings files (Speed1, Speed2, Speed3; None for none) in
        the page's folder and in IndexedDB, as an earlier visit would."""
        error = self.driver.execute_async_script("""
            const files = arguments[0], done = arguments[arguments.length - 1];
            ['C:\\\\pelmo1', 'C:\\\\pelmo2', 'C:\\\\pelmo'].forEach(function (name, i) {
                const path = '/settings/' + name;
                try { Module.FS.unlink(path); } catch (error) {}
                if (files[i] !== null) Module.FS.writeFile(path, files[i]);
            });
            Module.FS.syncfs(false, (error) => done(error ? String(error) : null));""", files)
        self.assertIsNone(error, "the settings files could not be kept")

    def assert_lamps_at(self, lit, speeds):
        # 20 knots past Speed3 over 10 s at 18 passes a second: under 0.7 knot a pass.
        for lamp, (entry, speed) in enumerate(zip(lit, speeds)):
            self.assertTrue(speed <= entry["airspeed"] < speed + 0.7,
                            "lamp %d lit at %s, Speed%d is %d" % (lamp + 1, entry["airspeed"], lamp + 1, speed))


class PageTest(Browser):
    def bench_frame(self):
        """The native bench's frame of the panel at rest, fresh settings, ×1."""
        scenario = os.path.join(self.scratch, "rest.txt")
        with open(scenario, "w") as f:
            f.write("settings speed1 missing\nsettings speed2 missing\nsettings speed3 missing\n"
                    "0 airspeed 0\n0.2 end\n")
        out = os.path.join(self.scratch, "bench")
        subprocess.run([ARGS.bench, ARGS.module, "--scenario", scenario, "--out", out, "--scale", "1",
                        "--frames", "all"], check=True, stdout=subprocess.DEVNULL, cwd=self.scratch)
        return Image.open(os.path.join(out, "frames", "pass-000003.png")).convert("RGB")

    def canvas_pixels(self):
        return self.js("""
            const c = document.getElementById('panel');
            return Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data);""")

    def test_1_loads_at_rest_as_the_bench_paints_it(self):
        errors = [entry for entry in self.driver.get_log("browser") if entry["level"] == "SEVERE"]
        self.assertEqual(errors, [], "console errors while loading")
        self.assertEqual(self.readout(), "100", "readout at rest")
        self.assertEqual(self.js("return lumivanePage.marks()"), [0, 0, 1], "selector squares at rest")
        # The readout is drawn from the page's cut font and the bench's from
        # the original: the same glyphs must give the same pixels.
        frame = self.bench_frame()
        pixels = self.canvas_pixels()
        self.assertEqual((frame.width, frame.height), (100, 70))
        different = [(x, y) for y in range(70) for x in range(100)
                     if tuple(pixels[(y * 100 + x) * 4:(y * 100 + x) * 4 + 3]) != frame.getpixel((x, y))]
        self.assertEqual(different[:10], [], "%d pixels differ from the bench's frame" % len(different))

    def test_2_clicks_select_and_adjust(self):
        self.select(SPEED2_SELECTOR, " 90")
        self.click(INCREASE)
        self.wait_readout(" 91")
        self.assertEqual(self.js("return lumivanePage.marks()"), [0, 1, 0], "Speed2's square lit")
        # The canvas is the program's latest frame, not the first one kept.
        latest = """
            const at = Module._page_frame(), bytes = Module._page_frame_width() * Module._page_frame_height() * 4;
            return Array.from(Module.HEAPU8.subarray(at, at + bytes));"""
        self.wait_for(lambda: self.canvas_pixels() == self.js(latest), "the canvas to show the latest frame", 5)
        self.at(INCREASE).context_click().perform()
        time.sleep(0.5)
        self.assertEqual(self.readout(), " 91", "after a right click on the increase area")
        self.wait_saved()

    def test_3_speeds_survive_a_reload(self):
        # The gauge reads C:\pelmo, C:\pelmo1, C:\pelmo2 in that order and
        # keeps its defaults when one is missing, in the simulator as here:
        # Speed3 and Speed1 are adjusted and put back, so that all three exist.
        for selector, shown in ((SPEED3_SELECTOR, "100"), (SPEED1_SELECTOR, " 80")):
            self.select(selector, shown)
            self.click(INCREASE)
            self.click(DECREASE)
            self.wait_readout(shown)
        self.wait_saved()
        self.load()
        self.assertEqual(self.js("return lumivanePage.speeds()")[1], 91, "Speed2 after a reload")
        self.select(SPEED2_SELECTOR, " 91")

    def test_4_a_held_press_repeats(self):
        self.wait_readout(" 91")
        self.at(INCREASE).click_and_hold().pause(1.0).release().perform()
        time.sleep(0.3)
        shown = int(self.readout())
        # One at the press, then at 0.4 s and every 0.1 s: about seven in 1 s.
        self.assertGreaterEqual(shown, 91 + 4, "after holding the increase area for 1 s")
        self.wait_saved()

    def test_5_reset_returns_to_the_defaults(self):
        # The page loads the gauge afresh once the files are gone: a mark
        # left on this document is gone from the next. (The reload may be over
        # before the click returns, as the driver waits for a navigation the
        # click starts.)
        # All three speeds away from their defaults first, each in its file.
        self.load("#speeds=85,95,105")
        self.assertEqual(self.kept_files(), ["85", "95", "105"])
        self.js("window.beforeReset = true")
        self.driver.find_element(By.ID, "reset").click()
        self.wait_for(lambda: self.js("return !window.beforeReset && window.lumivanePage && lumivanePage.ready "
                                      "&& lumivanePage.passes() > 3"), "the page to load again")
        # Every file gone from what the page keeps, not only the ones the
        # gauge happens to read first.
        self.assertEqual(self.kept_files(), [None, None, None])
        for selector, shown in ((SPEED1_SELECTOR, " 80"), (SPEED3_SELECTOR, "100"), (SPEED2_SELECTOR, " 90")):
            self.select(selector, shown)

    def test_6_takeoff_lights_the_lamps_and_plays_three_callouts(self):
        lit, _ = self.fly_takeoff()
        self.assert_lamps_at(lit, (80, 90, 100))
        time.sleep(0.5)
        plays = [play["clip"] for play in self.js("return lumivaneAudio.started")]
        self.assertEqual(plays, ["Wave1", "Wave1", "Wave2"], "plays that reached Web Audio")

    def test_7_measure_and_keep_a_screenshot(self):
        cost = self.js("return lumivanePage.benchmark(2000)")
        print("\none pass with painting in headless Chromium: %.4f ms" % cost)
        os.makedirs(ARGS.out, exist_ok=True)
        self.driver.save_screenshot(os.path.join(ARGS.out, "page.png"))
        self.assertGreater(cost, 0)

    def test_8_the_page_is_small_enough_to_send(self):
        # What a first visit receives from a server that compresses with gzip
        # at its usual level: every file the service worker keeps, and the
        # worker.
        with open(os.path.join(ARGS.page, "sw.js"), encoding="utf-8") as f:
            files = page_files(f.read()) + ["sw.js"]
        sent = {}
        for name in files:
            with open(os.path.join(ARGS.page, name), "rb") as f:
                sent[name] = len(gzip.compress(f.read(), compresslevel=6))
        print("\nthe page's files with gzip: %d bytes, budget %d (%s)" % (
            sum(sent.values()), PAGE_BUDGET, ", ".join("%s %d" % item for item in sent.items())))
        self.assertLessEqual(sum(sent.values()), PAGE_BUDGET)
        # The readout's font is cut to its glyphs: a few kilobytes, not 300.
        self.assertLess(os.path.getsize(os.path.join(ARGS.page, "lumivane.data")), 8 * 1024)

    def test_9_the_page_says_what_it_is(self):
        """What a search engine, a screen reader and an installing browser read."""
        found = self.js("""
            const named = (e) => (e.getAttribute('aria-label') || e.textContent).trim().length > 0;
            const describe = document.querySelector('meta[name=description]');
            return {
                lang: document.documentElement.lang,
                title: document.title,
                description: describe ? describe.content : '',
                unnamedButtons: Array.from(document.querySelectorAll('button')).filter((b) => !named(b)).length,
                unlabelledFields: Array.from(document.querySelectorAll('input'))
                    .filter((i) => !i.labels || i.labels.length === 0).length,
                canvasLabel: document.getElementById('panel').getAttribute('aria-label') || '',
                liveRegions: Array.from(document.querySelectorAll('[aria-live=polite]')).map((e) => e.textContent),
                manifest: (document.querySelector('link[rel=manifest]') || {}).href || '',
                viewport: (document.querySelector('meta[name=viewport]') || {}).content || '',
            };""")
        self.assertEqual(found["lang"], "en")
        self.assertIn("Lumivane", found["title"])
        self.assertGreaterEqual(len(found["description"]), 50, "meta description: %r" % found["description"])
        self.assertLessEqual(len(found["description"]), 160, "meta description: %r" % found["description"])
        self.assertEqual((found["unnamedButtons"], found["unlabelledFields"]), (0, 0), "unnamed controls")
        self.assertTrue(found["canvasLabel"], "the canvas has no label")
        self.assertEqual(len(found["liveRegions"]), 1, "one polite live region for what changes")
        self.assertIn("width=device-width", found["viewport"])
        manifest = json.loads(self.js("return fetch(arguments[0]).then((r) => r.text())", found["manifest"]))
        self.assertEqual((manifest["short_name"], manifest["display"]), ("Lumivane", "standalone"))
        sizes = {}
        for icon in manifest["icons"]:
            with Image.open(os.path.join(ARGS.page, icon["src"])) as image:
                sizes[icon["sizes"]] = image.size
        self.assertEqual(sizes, {"192x192": (192, 192), "512x512": (512, 512)}, "the manifest's icons")


def contrast(one, other):
    """WCAG's contrast ratio of two sRGB colours given as 0-255 triples."""
    def luminance(colour):
        linear = [c / 255 / 12.92 if c / 255 <= 0.04045 else ((c / 255 + 0.055) / 1.055) ** 2.4 for c in colour]
        return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]
    light, dark = sorted((luminance(one), luminance(other)), reverse=True)
    return (light + 0.05) / (dark + 0.05)


def rgb(css):
    return [int(part) for part in re.findall(r"[\d.]+", css)[:3]]


class KeyboardTest(Browser):
    """The page with the keyboard alone, and with a screen reader: the keys
    and buttons are the key table's, a held key repeats as the gauge's own
    held press does, and the live region says each change once."""

    def table(self):
        """The key table as the program exports it, row by row."""
        return self.js("""
            const text = (name, row) => Module.UTF8ToString(Module['_page_key_' + name](row));
            const rows = [];
            for (let row = 0; row < Module._page_key_count(); ++row)
                rows.push({ name: text('name', row), keys: text('web', row).split(' '), does: text('does', row),
                            hint: text('hint', row), presses: Module._page_key_presses(row) === 1 });
            return rows;""")

    def button(self, hint):
        return self.driver.find_element(By.XPATH, "//div[@class='controls']/button[text()='%s']" % hint)

    def airspeed(self):
        return float(self.driver.find_element(By.ID, "airspeed").text)

    def wait_airspeed(self, value, what):
        self.wait_for(lambda: abs(self.airspeed() - value) < 0.01, "the airspeed %s %s (it is %s)"
                      % (value, what, self.airspeed()), 5)

    def test_1_the_keys_and_buttons_are_the_tables(self):
        table = self.table()
        self.assertGreater(len(table), 0)
        self.assertEqual(self.js("return lumivanePage.keys.map((k) => ({ name: k.name, keys: k.keys, does: k.does, "
                                 "hint: k.hint, presses: k.presses }))"), table, "the page's keys")
        shown = self.js("""
            const buttons = (id) => Array.from(document.querySelectorAll('#' + id + ' button'))
                .map((b) => [b.textContent, b.getAttribute('aria-label')]);
            return { panel: buttons('speed-keys'), airspeed: buttons('airspeed-keys'),
                     list: Array.from(document.querySelectorAll('#keys li')).map((li) => li.textContent) };""")
        self.assertEqual(shown["panel"], [[k["hint"], k["does"]] for k in table if k["presses"]], "the speeds' buttons")
        self.assertEqual(shown["airspeed"], [[k["hint"], k["does"]] for k in table if not k["presses"]],
                         "the airspeed's buttons")
        self.assertEqual(shown["list"], ["%s: %s" % (k["name"], k["does"]) for k in table], "the list of keys")
        sources = {}
        for name in ("index.html", "page.js", "page-keys.js", "page-pointer.js"):
            with open(os.path.join(os.path.dirname(__file__), "..", "..", "web", name), encoding="utf-8") as f:
                sources[name] = f.read()
        for key in table:
            with self.subTest(key=key["name"]):
                # A button's words are part of its accessible name (WCAG 2.5.3).
                self.assertIn(key["hint"].lower(), key["does"].lower(), "the label is not in the name")
                for name, text in sources.items():
                    for web in key["keys"]:
                        if len(web) > 1:
                            self.assertNotRegex(text, r"\b%s\b" % web, "%s names a key" % name)
                    self.assertNotRegex(text, r"keyCode|\.which\b", "%s reads a key code" % name)

    def test_2_keyboard_only_from_the_first_tab(self):
        self.load()
        self.watch()
        self.press(Keys.TAB)
        focus = self.js("""
            const panel = document.getElementById('panel'), style = getComputedStyle(panel);
            return { id: document.activeElement.id, visible: panel.matches(':focus-visible'),
                     style: style.outlineStyle, width: parseFloat(style.outlineWidth), colour: style.outlineColor,
                     page: getComputedStyle(document.body).backgroundColor };""")
        self.assertEqual(focus["id"], "panel", "the first Tab's stop")
        self.assertTrue(focus["visible"] and focus["style"] != "none" and focus["width"] >= 2,
                        "no focus ring to see: %s" % focus)
        self.assertGreaterEqual(contrast(rgb(focus["colour"]), rgb(focus["page"])), 3, "the focus ring: %s" % focus)

        # Each speed selected, raised and lowered: each step said once.
        steps = [("1", "Speed1 selected: 80"), (Keys.ARROW_RIGHT, "Speed1 selected: 81"),
                 (Keys.ARROW_LEFT, "Speed1 selected: 80"), ("2", "Speed2 selected: 90"),
                 (Keys.ARROW_RIGHT, "Speed2 selected: 91"), (Keys.ARROW_LEFT, "Speed2 selected: 90"),
                 ("3", "Speed3 selected: 100"), (Keys.ARROW_RIGHT, "Speed3 selected: 101"),
                 (Keys.ARROW_LEFT, "Speed3 selected: 100")]
        for key, sentence in steps:
            with self.subTest(sentence=sentence):
                before = len(self.said_log())
                self.press(key)
                self.wait_for(lambda: self.said() == sentence, "%r said (%r is)" % (sentence, self.said()), 5)
                time.sleep(0.6)
                self.assertEqual(self.said_log()[before:], [sentence], "said after the key")
        self.assertEqual(self.shown_speeds(), ["80", "90", "100"])

        # A key held for a second: the gauge's held press repeats it, and
        # only where it stops is said.
        before = len(self.said_log())
        ActionChains(self.driver).key_down(Keys.ARROW_RIGHT).pause(1.0).key_up(Keys.ARROW_RIGHT).perform()
        time.sleep(0.8)
        raised = int(self.readout())
        self.assertGreater(raised, 101, "after holding the key for 1 s")
        self.assertEqual(self.said_log()[before:], ["Speed3 selected: %d" % raised], "said of a held key")
        self.assertEqual(self.shown_speeds()[2], str(raised))

        # A take-off with T: each call-out said as it plays, the lamps' words
        # kept up to date without being said.
        before = len(self.said_log())
        self.js("lampWordsLog.length = 0")
        lit, _ = self.fly_takeoff()
        self.assert_lamps_at(lit, (80, 90, raised))
        self.assertEqual(self.said_log()[before:], ["Speed1: single beep", "Speed2: single beep",
                                                    "Speed3: double beep"], "said on the take-off")
        self.assertEqual(self.js("return lampWordsLog"), ["1", "1 and 2", "1, 2 and 3", "none"], "the lamps' words")
        self.assertEqual(self.js("return pointerEvents"), [], "pointer events on a keyboard-only flight")

    def hold_key(self, key, code, repeats):
        """A key held for a second of the page's pass clock through
        Chromium's input, with the system's repeats (every 33 ms) or
        without; the passes it was held for, as the page counted them from
        before the press to after the release. A busy machine slows the
        commands that send the repeats, and the release comes late by as
        many passes as the last of them took."""
        event = {"key": key, "code": code}
        passes = "return lumivanePage.passes()"
        first = self.js(passes)
        self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", dict(event, type="rawKeyDown"))
        while self.js(passes) < first + 18:
            time.sleep(0.033)
            if repeats:
                self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", dict(event, type="rawKeyDown", autoRepeat=True))
        self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", dict(event, type="keyUp"))
        held = self.js(passes) - first
        time.sleep(0.5)
        return held

    def test_3_a_held_key_repeats_as_the_gauge_does_whatever_the_system_repeats(self):
        self.press("3")
        raised, held = {}, {}
        for repeats in (False, True):
            with self.subTest(repeats=repeats):
                before = int(self.readout())
                held[repeats] = self.hold_key("ArrowRight", "ArrowRight", repeats)
                raised[repeats] = int(self.readout()) - before
                self.assertGreater(raised[repeats], 1, "raised by a held key")
        # The gauge's press, not the system's rate, sets the pace: the
        # system's thirty repeats add nothing beyond a step for each 1.8
        # passes (0.1 s) the key happened to be held longer.
        allowed = 1 + abs(held[True] - held[False]) / 1.8
        self.assertLessEqual(abs(raised[True] - raised[False]), allowed,
                             "raised with and without repeats: %s, over passes %s" % (raised, held))

    def test_4_keys_reach_the_gauge_from_the_page_but_not_from_a_text_field(self):
        # The link's field is shown from the keyboard: its button, then Enter.
        self.js("document.getElementById('copy-link').focus()")
        self.press(Keys.ENTER)
        self.wait_for(lambda: self.driver.find_element(By.ID, "link").is_displayed(), "the link's field")
        focus = {"the panel": "document.getElementById('panel').focus()",
                 "the page": "document.activeElement.blur()",
                 "a button": "document.getElementById('reset').focus()",
                 "the link's field": "document.getElementById('link').focus()"}
        cases = [("the panel", [Keys.PAGE_UP], 10), ("the page", [Keys.ARROW_UP], 1),
                 ("a button", [Keys.PAGE_UP], 10), ("the link's field", [Keys.ARROW_UP], 0),
                 ("the link's field", [Keys.PAGE_UP], 0), ("the link's field", ["t"], 0),
                 ("the panel", [Keys.CONTROL, Keys.ARROW_UP], 0), ("the panel", [Keys.ALT, Keys.ARROW_UP], 0)]
        self.js("document.getElementById('panel').focus()")
        self.press(Keys.HOME)
        self.wait_airspeed(0, "after Home")
        for where, keys, rise in cases:
            with self.subTest(where=where, keys=keys):
                before = self.airspeed()
                self.js(focus[where])
                chain = ActionChains(self.driver)
                for modifier in keys[:-1]:
                    chain.key_down(modifier)
                chain.send_keys(keys[-1])
                for modifier in keys[:-1]:
                    chain.key_up(modifier)
                chain.perform()
                if rise:
                    self.wait_airspeed(before + rise, "after the key")
                else:
                    time.sleep(0.5)
                    self.assertEqual(self.airspeed(), before, "a key taken")

    def test_5_buttons_press_as_their_keys_do(self):
        self.js("document.getElementById('panel').focus()")
        self.press(Keys.HOME)
        self.wait_airspeed(0, "after Home")
        for hint, airspeed in (("+10", 10), ("+1", 11), ("-1", 10), ("-10", 0), ("+10", 10), ("0", 0)):
            with self.subTest(button=hint):
                self.button(hint).click()
                self.wait_airspeed(airspeed, "after the button %s" % hint)
        self.button("Speed3").click()
        self.wait_for(lambda: self.js("return lumivanePage.marks()") == [0, 0, 1], "Speed3's mark", 5)
        # Held with the pointer, the press repeats; from the keyboard a button
        # is one press.
        before = int(self.readout())
        ActionChains(self.driver).click_and_hold(self.button("raise")).pause(1.0).release().perform()
        time.sleep(0.3)
        self.assertGreater(int(self.readout()), before + 1, "after holding the raise button for 1 s")
        for key in (Keys.ENTER, Keys.SPACE):
            with self.subTest(key=key):
                before = int(self.readout())
                self.js("arguments[0].focus()", self.button("lower"))
                self.press(key)
                self.wait_readout("%3d" % (before - 1))
                time.sleep(0.6)
                self.assertEqual(int(self.readout()), before - 1, "one press of the lower button")

    def test_6_a_screen_reader_finds_each_control_named_in_order(self):
        nodes = self.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
        # In document order: the tree walked depth first from its root.
        by_id = {node["nodeId"]: node for node in nodes}
        walk, shown = [nodes[0]], []
        while walk:
            node = walk.pop()
            if not node.get("ignored"):
                shown.append(node)
            walk.extend(by_id[child] for child in reversed(node.get("childIds", [])) if child in by_id)
        value = lambda node, what: (node.get(what) or {}).get("value", "")  # noqa: E731
        controls = [node for node in shown if value(node, "role") in ("button", "textbox", "application")]
        self.assertEqual([value(n, "role") for n in controls if not value(n, "name").strip()], [], "unnamed controls")
        panel = [value(n, "name") for n in controls if value(n, "role") == "application"]
        self.assertEqual(panel, ["The gauge's panel"], "the panel")
        status = [{p["name"]: p["value"]["value"] for p in n.get("properties", [])} for n in shown
                  if value(n, "role") == "status"]
        self.assertEqual([p.get("live") for p in status], ["polite"], "the live region")
        names = [value(n, "name") for n in controls if value(n, "role") == "button"]
        for key in self.table():
            self.assertIn(key["does"], names, "the button for %s" % key["name"])
        # The reading order: the heading, what it is, the panel and its
        # readings, what is said, the controls, the texts.
        order = [value(n, "role") + ":" + value(n, "name") for n in shown]

        def first(pattern):
            found = [i for i, entry in enumerate(order) if re.match(pattern, entry)]
            self.assertTrue(found, "%r in the accessibility tree" % pattern)
            return found[0]
        places = [first(p) for p in (r"heading:Lumivane$", r"StaticText:A take-off call-out gauge",
                                     r"application:", r"term:.*Airspeed", r"term:.*Lamps lit", r"status:",
                                     r"group:Speeds", r"group:Airspeed", r"heading:Trying it", r"heading:Keys")]
        self.assertEqual(places, sorted(places), "the reading order: %s" % order[:80])


    def test_7_rows_past_the_tables_and_a_refused_start_answer_plainly(self):
        count = self.js("return Module._page_key_count()")
        state = "return [lumivanePage.speeds(), Module.UTF8ToString(Module._page_selection())]"
        before = self.js(state)
        for row in (-1, count, count + 1, 2 ** 31 - 1, -2 ** 31):
            with self.subTest(row=row):
                self.assertEqual(self.js("""
                    const row = arguments[0];
                    // A text past the table is an empty string, never a
                    // null pointer read from beyond it.
                    const texts = ['name', 'web', 'does', 'hint'].map((name) => {
                        const text = Module['_page_key_' + name](row);
                        return text ? Module.UTF8ToString(text) : null;
                    });
                    Module._page_key_down(row, 0); Module._page_key_down(row, 1); Module._page_key_up(row);
                    return [texts, Module._page_key_presses(row)];""", row), [["", "", "", ""], 0])
        time.sleep(0.3)
        self.assertEqual(self.js(state), before, "a row past the table pressed something")
        clips = self.js("return Module._page_clip_count()")
        self.assertGreater(clips, 0)
        for index in (-1, clips, 2 ** 31 - 1, -2 ** 31):
            with self.subTest(clip=index):
                self.assertEqual(self.js("""
                    const i = arguments[0];
                    return [Module._page_clip_data(i), Module._page_clip_bytes(i), Module._page_clip_rate(i),
                            Module._page_clip_channels(i), Module._page_clip_bits(i)];""", index), [0] * 5)

        # A settings folder that cannot be made: refused, and said why; a
        # start after it is clean again.
        said = self.js("""
            Module.FS.writeFile('/not-a-folder', 'x');
            const refused = Module.ccall('page_start', 'number', ['string'], ['/not-a-folder/settings']);
            const why = Module.UTF8ToString(Module._page_problem());
            const again = Module.ccall('page_start', 'number', ['string'], ['/settings']);
            return [refused, why, again, Module.UTF8ToString(Module._page_problem())];""")
        self.assertEqual(said[0::2], [0, 1])
        self.assertIn("cannot make the settings folder /not-a-folder/settings", said[1])
        self.assertEqual(said[3], "", "the refusal outlives the start after it")


class ReadingTest(Browser):
    """The speeds beside the gauge are the ones it holds, whatever files an
    earlier visit left; "?" only where a host cannot know one."""

    def test_1_a_lone_speed2_file_is_not_what_the_gauge_flies(self):
        # Written as a pilot writes it: Speed2 selected and raised once on a
        # fresh page, so only its file exists.
        self.press("2")
        self.wait_readout(" 90")
        self.press(Keys.ARROW_RIGHT)
        self.wait_readout(" 91")
        self.wait_saved()
        self.assertEqual(self.kept_files(), [None, "91", None])
        self.assertEqual(self.shown_speeds(), ["80", "91", "100"])
        # The gauge reads Speed3's file first and stops at the missing one.
        self.load()
        self.assertEqual(self.shown_speeds(), ["80", "90", "100"], "after a reload")
        lit, _ = self.fly_takeoff()
        self.assert_lamps_at(lit, (80, 90, 100))

    def test_2_the_speeds_shown_after_a_reload(self):
        beyond = " " * 70000 + "85"  # past what a host reads of a file
        rows = [(("85", "95", "105"), ["85", "95", "105"]), (("85", None, "105"), ["85", "90", "105"]),
                ((None, "95", "105"), ["80", "90", "105"]), (("85", "95", None), ["80", "90", "100"]),
                (("abc", "95", "105"), ["80", "95", "105"]), ((beyond, "95", "105"), ["?", "95", "105"])]
        for files, shown in rows:
            with self.subTest(files=[f if f is None or len(f) < 10 else "%d bytes" % len(f) for f in files]):
                self.wait_saved()
                self.keep_files(list(files))
                self.load()
                self.assertEqual(self.shown_speeds(), shown)
        # What the gauge shows of the speed a host could not read is known.
        self.press("1")
        self.wait_readout(" 85")
        self.wait_for(lambda: self.shown_speeds() == ["85", "95", "105"], "Speed1 once shown", 5)
        self.wait_for(lambda: self.said() == "Speed1 selected: 85", "Speed1's selection said", 5)

    def test_3_the_lamps_in_words(self):
        cases = {(0, 0, 0): "none", (1, 0, 0): "1", (0, 1, 0): "2", (0, 0, 1): "3", (1, 1, 0): "1 and 2",
                 (1, 0, 1): "1 and 3", (0, 1, 1): "2 and 3", (1, 1, 1): "1, 2 and 3"}
        found = self.js("return arguments[0].map((lamps) => PageSaid.lampWords(lamps))", list(cases))
        self.assertEqual(dict(zip(cases, found)), cases)


# Phones from the narrowest the page is for: CSS width, height and pixel
# ratio (one not a whole number), and a phone on its side.
PHONES = [(360, 740, 3.0), (320, 640, 2.0), (412, 915, 2.625), (740, 360, 3.0)]


class PhoneTest(Browser):
    """Each phone in a Chromium of its own: its emulation holds for every page
    it loads."""

    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.mkdtemp(prefix="lumivane-phone-")
        cls.url = page_url()
        cls.driver = None

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def start_phone(self, width, height, ratio):
        cls = type(self)
        profile = os.path.join(cls.scratch, "%dx%d" % (width, height))
        cls.driver = start_browser(profile, {"width": width, "height": height, "pixelRatio": ratio, "touch": True})
        self.addCleanup(cls.driver.quit)
        cls.load()

    def layout(self):
        return self.js("""
            const root = document.documentElement, canvas = document.getElementById('panel');
            canvas.scrollIntoView({ block: 'nearest' });
            const box = canvas.getBoundingClientRect();
            return {
                scrollWidth: root.scrollWidth, clientWidth: root.clientWidth, clientHeight: root.clientHeight,
                ratio: devicePixelRatio, room: canvas.parentElement.clientWidth,
                panel: [box.left, box.top, box.right, box.bottom, box.width, box.height],
                buttons: Array.from(document.querySelectorAll('button')).filter((b) => b.offsetParent)
                    .map((b) => [b.textContent, b.getBoundingClientRect().width, b.getBoundingClientRect().height]),
                sizes: Array.from(document.querySelectorAll('button[data-scale]')).filter((b) => !b.hidden)
                    .map((b) => Number(b.dataset.scale)),
            };""")

    def touch(self, kind, panel=None, css=None):
        """A finger at a panel pixel's centre, or at a point of the page."""
        if panel is not None:
            box = self.js("const r = document.getElementById('panel').getBoundingClientRect();"
                          "return [r.left, r.top, r.width, r.height];")
            css = (box[0] + (panel[0] + 0.5) * box[2] / 100, box[1] + (panel[1] + 0.5) * box[3] / 70)
        points = [{"x": css[0], "y": css[1]}] if css else []
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})

    def test_fits_each_phone_and_answers_fingers(self):
        os.makedirs(ARGS.out, exist_ok=True)
        for width, height, ratio in PHONES:
            with self.subTest(phone="%dx%d@%g" % (width, height, ratio)):
                self.start_phone(width, height, ratio)
                self.check_phone(width, height, ratio)
                self.doCleanups()

    def check_phone(self, width, height, ratio):
        found = self.layout()
        self.assertEqual(found["ratio"], ratio)
        self.assertLessEqual(found["scrollWidth"], found["clientWidth"], "sideways scroll")
        left, top, right, bottom, shown_width, shown_height = found["panel"]
        self.assertTrue(left >= 0 and top >= 0 and right <= found["clientWidth"] and bottom <= found["clientHeight"],
                        "the panel out of view: %s" % found)
        # Whole device pixels per panel pixel (layout keeps a 64th of a CSS
        # pixel, the painter snaps to device pixels), as many as fit.
        pixels = round(shown_width * ratio / 100)
        self.assertAlmostEqual(shown_width * ratio, pixels * 100, delta=ratio / 64, msg="width %s" % shown_width)
        self.assertAlmostEqual(shown_height * ratio, pixels * 70, delta=ratio / 64, msg="height %s" % shown_height)
        room = int(min(found["room"] * ratio / 100, (found["clientHeight"] - 16) * ratio / 70))
        self.assertEqual(pixels, room, "device pixels per panel pixel, with room for %d" % room)
        for text, button_width, button_height in found["buttons"]:
            self.assertTrue(button_width >= 44 and button_height >= 44,
                            "%r is %gx%g" % (text, button_width, button_height))
        for scale in found["sizes"]:
            self.assertLessEqual(round(scale * ratio), room, "size x%d offered" % scale)
        if (width, height) == (360, 740):
            self.driver.save_screenshot(os.path.join(ARGS.out, "page-360.png"))
        if width > height:
            return  # the fingers once for each phone upright is enough
        # A tap selects, a held finger repeats as a held button does.
        self.touch("touchStart", SPEED2_SELECTOR)
        self.touch("touchEnd")
        self.wait_for(lambda: self.js("return lumivanePage.marks()") == [0, 1, 0], "Speed2's mark", 5)
        before = int(self.readout())
        self.touch("touchStart", INCREASE)
        time.sleep(1.0)
        self.touch("touchEnd")
        time.sleep(0.2)
        self.assertGreater(int(self.readout()), before + 1, "after a finger held on the increase area")
        # A finger that slides off the panel lets go there. (Down from
        # Speed2, which has room to fall to Speed1 and none to rise past 99.)
        self.touch("touchStart", DECREASE)
        time.sleep(0.2)
        self.touch("touchMove", (DECREASE[0], 69))
        self.touch("touchMove", css=(left + 5, bottom + 30))
        time.sleep(0.2)
        left_at = int(self.readout())
        time.sleep(0.8)
        self.touch("touchEnd")
        self.assertEqual(int(self.readout()), left_at, "the press went on after the finger left the panel")
        # A finger on a button for the panel presses for as long as it stays.
        for hint, held in (("Speed3", 0.1), ("raise", 1.0)):
            box = self.js("""
                const b = Array.from(document.querySelectorAll('#speed-keys button')).find((b) => b.textContent === arguments[0]);
                b.scrollIntoView({ block: 'center' });
                const r = b.getBoundingClientRect();
                return [r.left + r.width / 2, r.top + r.height / 2];""", hint)
            before = int(self.readout())
            self.touch("touchStart", css=box)
            time.sleep(held)
            self.touch("touchEnd")
            time.sleep(0.2)
        self.assertEqual(self.js("return lumivanePage.marks()"), [0, 0, 1], "Speed3's mark after its button")
        self.assertGreater(int(self.readout()), before + 1, "after a finger held on the raise button")


class OfflineTest(Browser):
    def caches(self):
        return self.driver.execute_async_script("caches.keys().then(arguments[arguments.length - 1])")

    def test_loads_offline_after_one_visit_and_takes_a_new_release(self):
        self.assertTrue(self.driver.execute_async_script(
            "lumivanePage.offline.then(arguments[arguments.length - 1])"), "the service worker is not active")
        version = re.search(r'href="Lumivane-([0-9.]+)\.zip"', self.driver.page_source).group(1)
        self.assertEqual(self.caches(), ["lumivane-" + version])

        # The browser offline, and the server gone too: the browser's offline
        # mode does not reach a service worker's own requests.
        self.driver.set_network_conditions(offline=True, latency=0, download_throughput=0, upload_throughput=0)
        PageHandler.cut = True
        try:
            self.driver.refresh()
            self.wait_started()
            self.assertTrue(self.js("return navigator.serviceWorker.controller !== null"))
            self.select(SPEED2_SELECTOR, " 90")
            self.click(INCREASE)
            self.wait_readout(" 91")
            self.assertEqual(self.driver.execute_async_script(
                "fetch('FONT-LICENCE.txt').then(() => 'fetched', () => 'failed').then(arguments[0])"), "failed",
                "a file the worker does not keep, with the network cut")
            # The browser may ask for a newer worker; never for a page's file.
            self.assertEqual(set(PageHandler.asked_while_cut) - {"/sw.js"}, {"/FONT-LICENCE.txt"},
                             "asked of the server while cut off")
        finally:
            PageHandler.cut = False
            PageHandler.asked_while_cut.clear()
            self.driver.delete_network_conditions()

        # A new release: the page offers it, and taking it leaves only its cache.
        PageHandler.worker_version = version + "-next"
        try:
            self.driver.execute_async_script(
                "navigator.serviceWorker.getRegistration().then((r) => r.update()).then(arguments[0])")
            self.wait_for(lambda: self.driver.find_element(By.ID, "update").is_displayed(), "the offer of a new version")
            self.js("window.beforeUpdate = true")
            self.driver.find_element(By.ID, "take-update").click()
            self.wait_for(lambda: self.js("return !window.beforeUpdate && window.lumivanePage && lumivanePage.ready"),
                          "the page to load the new version")
            self.wait_for(lambda: self.caches() == ["lumivane-" + version + "-next"],
                          "the old release's cache to go (%s)" % self.caches())
        finally:
            PageHandler.worker_version = None


# Fragments the page must refuse, each breaking one rule, and ones it takes.
BAD_LINKS = ["#speeds=85,95", "#speeds=85,95,105,115", "#speeds=95,85,105", "#speeds=85,85,105",
             "#speeds=-1,95,105", "#speeds=85,95,201", "#speeds=199,199,200", "#speeds=0,0,2", "#speeds=85.5,95,105",
             "#speeds=a,b,c", "#speeds=", "#speeds=85,,105", "#speeds= 85,95,105", "#speeds=1e2,101,102",
             "#speeds=%38%35,95,105", "#speeds=" + "9" * 40]
GOOD_LINKS = {"#speeds=85,95,105": [85, 95, 105], "#speeds=0,1,2": [0, 1, 2],
              "#speeds=198,199,200": [198, 199, 200], "speeds=080,90,100": [80, 90, 100]}
NOT_LINKS = ["", "#", "#top", "#speed=85,95,105"]


class LinkTest(Browser):
    def test_1_reads_only_speeds_the_adjusts_could_set(self):
        results = self.js("return arguments[0].map((f) => lumivanePage.link.read(f))",
                          BAD_LINKS + list(GOOD_LINKS) + NOT_LINKS)
        for fragment, result in zip(BAD_LINKS + list(GOOD_LINKS) + NOT_LINKS, results):
            with self.subTest(fragment=fragment):
                if fragment in GOOD_LINKS:
                    self.assertEqual(result, {"speeds": GOOD_LINKS[fragment]})
                elif fragment in NOT_LINKS:
                    self.assertIsNone(result)
                else:
                    self.assertIn("problem", result)
                    self.assertLess(len(result["problem"]), 120, "the reason quotes too much back")

    def test_2_a_link_sets_the_speeds_the_gauge_flies(self):
        self.load("#speeds=85,95,105")
        self.assertIn("85, 95 and 105 from the link", self.status())
        self.assertEqual(self.js("return location.hash"), "", "the link's speeds stay in the address")
        self.assertEqual(self.kept_files(), ["85", "95", "105"])
        self.assertEqual(self.js("return lumivanePage.speeds()"), [85, 95, 105])
        for selector, shown in ((SPEED1_SELECTOR, " 85"), (SPEED2_SELECTOR, " 95"), (SPEED3_SELECTOR, "105")):
            self.select(selector, shown)
        lit, _ = self.fly_takeoff()
        self.assert_lamps_at(lit, (85, 95, 105))
        self.wait_saved()
        self.load()
        self.assertEqual(self.js("return lumivanePage.speeds()"), [85, 95, 105], "after a reload without the link")

    def test_3_a_bad_link_changes_nothing(self):
        for fragment in ("#speeds=95,85,105", "#speeds=85,95,201"):
            with self.subTest(fragment=fragment):
                self.load(fragment)
                self.assertIn("not used", self.status())
                self.assertEqual(self.kept_files(), ["85", "95", "105"])
                self.assertEqual(self.js("return lumivanePage.speeds()"), [85, 95, 105])

    def test_4_the_button_makes_a_link_to_the_speeds_beside_the_gauge(self):
        self.select(SPEED2_SELECTOR, " 95")
        self.click(INCREASE)
        self.wait_readout(" 96")
        self.driver.find_element(By.ID, "copy-link").click()
        field = self.driver.find_element(By.ID, "link")
        self.wait_for(field.is_displayed, "the link to be shown")
        self.assertEqual(field.get_attribute("value"), self.url + "#speeds=85,96,105")
        self.assertIn("85, 96 and 105", self.status())


class SoundTest(Browser):
    # What a take-off sends to the page's output node, as (audio time, peak)
    # for each render quantum of 128 frames, from a worklet hooked on it.
    TAP = """
        const done = arguments[arguments.length - 1];
        const audio = lumivaneAudio;
        const code = "registerProcessor('tap', class extends AudioWorkletProcessor {" +
            "constructor() { super(); this.peaks = []; }" +
            "process(inputs) { let peak = 0; for (const c of inputs[0]) for (const v of c) peak = Math.max(peak, Math.abs(v));" +
            "this.peaks.push(currentTime, peak); if (this.peaks.length >= 64) { this.port.postMessage(this.peaks); this.peaks = []; }" +
            "return true; } });";
        const url = URL.createObjectURL(new Blob([code], { type: 'text/javascript' }));
        audio.context.audioWorklet.addModule(url).then(function () {
            const tap = new AudioWorkletNode(audio.context, 'tap');
            window.tapped = [];
            tap.port.onmessage = (event) => window.tapped.push(...event.data);
            audio.output.connect(tap);
            tap.connect(audio.context.destination); // pulled, and silent: process() writes nothing
            done(audio.context.state);
        }, (error) => done('no tap: ' + error));"""

    @staticmethod
    def beeps(tapped, threshold=0.05, gap=0.02):
        """Start and end of each stretch of sound, gaps under 20 ms joined."""
        found = []
        for i in range(0, len(tapped) - 1, 2):
            at, peak = tapped[i], tapped[i + 1]
            if peak < threshold:
                continue
            if found and at - found[-1][1] <= gap:
                found[-1][1] = at
            else:
                found.append([at, at])
        return found

    def test_nothing_before_a_gesture_then_each_callout_with_its_lamp(self):
        self.assertIn("first tap, click or key", self.driver.find_element(By.ID, "sound").text)
        # Call-outs due before any gesture: the gauge starts them, nothing sounds.
        self.js("for (let i = 0; i < 9; ++i) { Module._page_key_down(%d, 0); Module._page_key_up(%d); }"
                % (self.row("Page Up"), self.row("Page Up")))
        self.wait_for(lambda: self.js("return lumivanePage.lamps()")[:2] == [1, 1], "Speed1's and Speed2's lamps")
        self.assertIsNone(self.js("return lumivaneAudio.context"), "sound made before a gesture")
        self.assertEqual(self.js("return lumivaneAudio.started"), [])
        self.js("Module._page_key_down(%d, 0); Module._page_key_up(%d);" % (self.row("Home"), self.row("Home")))
        self.wait_for(lambda: self.js("return lumivanePage.lamps()") == [0, 0, 0], "the lamps dark at rest")

        # A real click on the page's text: the gesture that starts the sound.
        self.driver.find_element(By.ID, "sound").click()
        self.wait_for(lambda: "on" in self.driver.find_element(By.ID, "sound").text, "the page to say sound is on", 5)
        state = self.driver.execute_async_script(self.TAP)
        self.assertEqual(state, "running")
        lit, _ = self.fly_takeoff()
        time.sleep(0.6)
        tapped = self.js("return window.tapped")
        beeps = self.beeps(tapped)
        # A call-out is its beeps less than 300 ms apart: one, one, then two.
        callouts = []
        for start, end in beeps:
            if callouts and start - callouts[-1][-1][1] < 0.3:
                callouts[-1].append((start, end))
            else:
                callouts.append([(start, end)])
        self.assertEqual([len(c) for c in callouts], [1, 1, 2], "beeps heard: %s" % beeps)
        onsets = [callout[0][0] - entry["audioTime"] for callout, entry in zip(callouts, lit)]
        print("\nbeep onsets after their lamps: %s ms" % ", ".join("%.2f" % (o * 1000) for o in onsets))
        for lamp, onset in enumerate(onsets):
            self.assertLessEqual(abs(onset), PASS_SECONDS, "Speed%d's beep %.1f ms from its lamp"
                                 % (lamp + 1, onset * 1000))


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--page", required=True)
    parser.add_argument("--bench", required=True)
    parser.add_argument("--module", required=True)
    parser.add_argument("--out", required=True)
    ARGS, rest = parser.parse_known_args()
    ARGS.page, ARGS.bench, ARGS.module, ARGS.out = map(os.path.abspath, (ARGS.page, ARGS.bench, ARGS.module, ARGS.out))
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
